#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/class_file.h"
#include "core/options.h"
#include "platform/message_ui.h"
#include "tests/platform/temp_folder.h"

namespace quilor {
namespace {

class ClassFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GroupNumbering = {};
    dir_ = std::filesystem::path(QUILOR_BINARY_DIR) / "class_file_test";
    std::filesystem::create_directories(dir_);
  }
  std::string Write(const std::string& name, const std::string& text) {
    std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  std::filesystem::path dir_;
  ScopedScriptedUi ui_;
};

TEST_F(ClassFileTest, FileRoundTripsByteForByte) {
  const std::string text =
      "G#0V\t1\tanimals\r\n"
      "0#1#\tdog\tanimals\r\n"
      "3#1#\tanimal\tanimals\r\n"
      "G#1H\t2\tpets\r\n"
      "S#2#\tcat\tpets\r\n"
      "2#2#\tcanine\t\r\n";
  std::string path = Write("round.scn", text);
  ClassFileList list;
  ASSERT_TRUE(LoadClassFile(list, path, "round.scn"));
  ASSERT_EQ(list.Count(), 6u);
  EXPECT_EQ(list.Entries()[2].level, 3);
  EXPECT_EQ(list.Entries()[5].level, 2);
  EXPECT_EQ(list.TextTotal(), 18u);  // dog, animal, cat, canine: groups not counted
  std::string out = (dir_ / "round-out.scn").string();
  ASSERT_TRUE(SaveClassFile(list, out, "round-out.scn"));
  EXPECT_EQ(testing::ReadWholeFile(out), text);
  EXPECT_FALSE(std::filesystem::exists(out + ".tmp"));
  EXPECT_TRUE(ui_.ui.Shown().empty());
}

TEST_F(ClassFileTest, LinesAreCutFieldsLimitedAndBlankCodeCharactersRead) {
  ClassFileList list;
  bool damaged = false;
  std::string longLabel(100, 'x');
  std::string longLine = "0#1#\t" + std::string(195, 'y');
  ASSERT_TRUE(ParseClassFileText(list, "G#0V\t1\t" + longLabel + "\n" + longLine + "\n" + "  1 \tone\n", damaged));
  EXPECT_FALSE(damaged);
  ASSERT_EQ(list.Count(), 3u);
  EXPECT_EQ(list.Entries()[0].text2->size(), 79u);
  EXPECT_EQ(list.Entries()[1].text1.size(), 79u);             // the line was cut at 164, the field at 79
  EXPECT_EQ(std::string(list.Entries()[2].code, 4), " #1#");  // a blank first character stays
  EXPECT_EQ(*list.Entries()[2].text2, "one");                 // a single TAB gives text 1 twice
}

// A file with damaged lines fails the integrity check: it is reported once,
// naming the file, and refused whole; the list keeps what it held, so that a
// damaged file never becomes a Scenario that a save would write back.
TEST_F(ClassFileTest, ADamagedFileIsReportedByNameAndRefusedWhole) {
  const std::string path = Write("damaged.scn", "G#0V\t1\tok\r\nbad\r\nno tab here\r\n0#1#\tword\tok\r\n");
  ClassFileList list;
  bool damaged = false;
  ASSERT_TRUE(ParseClassFileText(list, "G#0V\t4\tkept\r\n", damaged));
  GroupNumbering.counter = 12;
  EXPECT_FALSE(LoadClassFile(list, path, "damaged.scn"));
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_EQ(list.Entries()[0].text2, std::optional<std::string>("kept"));
  EXPECT_EQ(GroupNumbering.counter, 12);
  ASSERT_EQ(ui_.ui.Shown().size(), 1u);
  EXPECT_NE(ui_.ui.Shown()[0].text.find("integrity"), std::string::npos);
  EXPECT_NE(ui_.ui.Shown()[0].text.find("\"" + path + "\""), std::string::npos);
  // Random bytes likewise.
  std::string noise;
  for (int i = 0; i < 4096; ++i) noise += static_cast<char>((i * 7919 + 13) % 256);
  EXPECT_FALSE(LoadClassFile(list, Write("noise.scn", noise)));
  EXPECT_EQ(list.Count(), 1u);
  // Blank lines (an editor's last line) are no damage.
  EXPECT_TRUE(LoadClassFile(list, Write("blank.scn", "G#0V\t1\tok\r\n\r\n0#1#\tword\tok\r\n  \r\n")));
  EXPECT_EQ(list.Count(), 2u);
  EXPECT_EQ(ui_.ui.Shown().size(), 2u);
}

TEST_F(ClassFileTest, GroupsAreRenumberedFromTheFirstBadNumberOn) {
  ClassFileList list;
  bool damaged = false;
  ASSERT_TRUE(ParseClassFileText(list, "G#0V\t7\ta\nG#0V\tx\tb\nG#0V\t9\tc\nG#0V\t007\td\n", damaged));
  EXPECT_EQ(list.Entries()[0].text1, "7");
  EXPECT_EQ(list.Entries()[1].text1, "1");
  EXPECT_EQ(list.Entries()[2].text1, "2");  // renumbering goes on for the rest of the file
  EXPECT_EQ(list.Entries()[3].text1, "3");
  GroupNumbering.counter = 0x7FFFFFFF;
  EXPECT_FALSE(list.Add(list.Entries()[0]));  // counter exhausted: refused with its message
  EXPECT_EQ(ui_.ui.Shown().size(), 1u);
}

TEST_F(ClassFileTest, ReadAndWriteErrorsGiveTheirMessageAndFalse) {
  ClassFileList list;
  // A missing file is said to be missing, not a disk read error.
  const std::string absent = (dir_ / "absent.scn").string();
  EXPECT_FALSE(LoadClassFile(list, absent, "absent.scn"));
  ASSERT_EQ(ui_.ui.Shown().size(), 1u);
  EXPECT_EQ(ui_.ui.Shown()[0].text, "File not found: " + absent);
  // One that is there but cannot be read (a folder) is a read error.
  std::filesystem::create_directories(dir_ / "folder.scn");
  EXPECT_FALSE(LoadClassFile(list, (dir_ / "folder.scn").string(), "folder.scn"));
  ASSERT_EQ(ui_.ui.Shown().size(), 2u);
  EXPECT_NE(ui_.ui.Shown()[1].text.find("\"folder.scn\""), std::string::npos);
  ClassFileEntry e;
  e.text1 = "word";
  list.Add(e);
  const std::string unwritable = (dir_ / "no-such-dir" / "x.scn").string();
  EXPECT_FALSE(SaveClassFile(list, unwritable, "x.scn"));
  ASSERT_EQ(ui_.ui.Shown().size(), 3u);
  // The write error names the file and the system's reason, not always a full disk.
  EXPECT_NE(ui_.ui.Shown()[2].text.find("\"" + unwritable + "\""), std::string::npos) << ui_.ui.Shown()[2].text;
  EXPECT_NE(ui_.ui.Shown()[2].text.find(std::strerror(ENOENT)), std::string::npos) << ui_.ui.Shown()[2].text;
  EXPECT_EQ(ui_.ui.Shown()[2].text.find("disk full"), std::string::npos) << ui_.ui.Shown()[2].text;
}

TEST_F(ClassFileTest, TheScenarioDateGoesIntoTheOptionsOnLoadAndSave) {
  namespace fs = std::filesystem;
  auto seconds = [](const std::string& path) {
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::seconds>(fs::last_write_time(path).time_since_epoch()).count());
  };
  ClassFileList list;
  bool damaged = false;
  ASSERT_TRUE(ParseClassFileText(list, "G#0V\t1\tanimals\r\n0#1#\tdog\tanimals\r\n", damaged));
  const std::string saved = (dir_ / "dated.scn").string();
  Options->Set(opt::ScenarioFileDate, 0);
  ASSERT_TRUE(SaveClassFile(list, saved));
  EXPECT_NE(Options->Get(opt::ScenarioFileDate), 0u);
  EXPECT_EQ(Options->Get(opt::ScenarioFileDate), seconds(saved));

  const std::string older = Write("older.scn", "G#0V\t1\tplants\r\n");
  fs::last_write_time(older, fs::last_write_time(older) - std::chrono::hours(240));
  ClassFileList read;
  ASSERT_TRUE(LoadClassFile(read, older));
  EXPECT_EQ(Options->Get(opt::ScenarioFileDate), seconds(older));
  // A Scenario that is not there has no date: none is taken from the error.
  int64_t date = -1;
  EXPECT_FALSE(LoadClassFile(read, (dir_ / "gone.scn").string(), "gone.scn", &date));
  EXPECT_EQ(date, 0);
  EXPECT_EQ(Options->Get(opt::ScenarioFileDate), 0u);
  Options->ResetSettings();
}

}  // namespace
}  // namespace quilor
