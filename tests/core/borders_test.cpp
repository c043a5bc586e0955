#include "core/borders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/messages.h"
#include "tests/platform/temp_folder.h"

namespace quilor {
namespace {

using testing::ReadWholeFile;
using testing::TempFolder;
using testing::WriteWholeFile;

TEST(BordersFile, LinesAreCutAndBadLinesSkipped) {
  TBorderList list;
  bool damaged = true;
  const std::string longTerm(100, 't');
  ParseBordersText("N#######\t" + longTerm + "\r\n" +
                   "X#######\tChapter\tcomment\r\n"
                   "X\tabcdef\tlate tab\n"   // the TAB inside the flag bytes does not count
                   "X#######\r\n"            // no TAB: skipped
                   "\r"                      // empty line: skipped
                   "X######\t\n" +           // 8 characters: skipped
                   std::string("ab\0defgh\tNul\0after\n", 19),
                   list, damaged);
  EXPECT_TRUE(damaged);
  ASSERT_EQ(list.Count(), 4u);
  EXPECT_EQ(list.Entries()[0].Text, std::string(79, 't'));
  EXPECT_FALSE(list.Entries()[0].Filters());
  EXPECT_EQ(list.Entries()[1].Text, "Chapter");
  EXPECT_TRUE(list.Entries()[1].Filters());
  EXPECT_EQ(list.Entries()[2].Text, "late tab");
  EXPECT_EQ(std::string(list.Entries()[2].Flags.data(), 8), "X\tabcdef");
  EXPECT_EQ(list.Entries()[3].Text, "Nul");
  EXPECT_EQ(list.Entries()[3].Flags[2], '\0');

  TBorderList clean;
  ParseBordersText("X#######\tA\nN#######\tB", clean, damaged);
  EXPECT_FALSE(damaged);
  EXPECT_EQ(clean.Count(), 2u);
}

TEST(BordersFile, RoundTripThroughTheDisk) {
  TempFolder dir;
  ScopedScriptedUi ui;
  TBorderList list;
  list.Add(MakeBorderEntry("Appendix", true));
  list.Add(MakeBorderEntry("Preface", false));
  TBorderEntry made;
  made.Text = "made in memory";
  made.Flags = {'X', '\0', '\0', '#', '\0', '\0', '\0', '\0'};
  list.Add(made);
  list.Add(MakeBorderEntry("", true));  // no text: not written
  const std::string path = dir / "mine.dlm";
  ASSERT_TRUE(WriteBordersFile(list, path));
  EXPECT_EQ(ReadWholeFile(path),
            "X#######\tAppendix\r\nN#######\tPreface\r\nX#######\tmade in memory\r\n");

  TBorderList back;
  ASSERT_TRUE(ReadBordersFile(back, path));
  ASSERT_EQ(back.Count(), 3u);
  EXPECT_EQ(FormatBordersText(back), ReadWholeFile(path));
  EXPECT_TRUE(ui.ui.Shown().empty());

  back.Rewind();
  int n = 0;
  while (back.Next()) ++n;
  EXPECT_EQ(n, 3);
  EXPECT_EQ(back.Next(), nullptr);
}

TEST(BordersFile, ErrorsAreReportedOnceAndKeepThePreviousFile) {
  TempFolder dir;
  ScopedScriptedUi ui;
  TBorderList list;
  EXPECT_FALSE(ReadBordersFile(list, dir / "missing.dlm"));
  EXPECT_FALSE(ReadBordersFile(list, dir.path()));
  ASSERT_EQ(ui.ui.Shown().size(), 2u);
  EXPECT_EQ(ui.ui.Shown()[0].text, GetMessageText(kMsgDiskReadError));

  ui.ui.ClearLog();
  WriteWholeFile(dir / "bad.dlm", "X#######\r\nshort\r\nX#######\tok\r\n");
  EXPECT_TRUE(ReadBordersFile(list, dir / "bad.dlm"));
  EXPECT_EQ(list.Count(), 1u);
  ASSERT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_EQ(ui.ui.Shown()[0].text, GetMessageText(kMsgBordersDamaged));

  ui.ui.ClearLog();
  const std::string path = dir / "keep.dlm";
  WriteWholeFile(path, "N#######\told\r\n");
  std::filesystem::create_symlink("/dev/full", path + ".tmp");
  EXPECT_FALSE(WriteBordersFile(list, path));
  EXPECT_EQ(ReadWholeFile(path), "N#######\told\r\n");
  WriteWholeFile(dir / "plain", "");
  EXPECT_FALSE(WriteBordersFile(list, dir / "plain/x.dlm"));
  ASSERT_EQ(ui.ui.Shown().size(), 2u);
  EXPECT_EQ(ui.ui.Shown()[0].text, GetMessageText(kMsgDiskWriteError));
}

TEST(BordersList, GlobalListLifecycle) {
  CreateBorderList();
  ASSERT_NE(BorderList, nullptr);
  EXPECT_TRUE(AddBorderEntry(MakeBorderEntry("one", true)));
  EXPECT_TRUE(AddBorderEntry(MakeBorderEntry("two", false)));
  RewindBorderList();
  EXPECT_EQ(NextBorderEntry()->Text, "one");
  EXPECT_EQ(NextBorderEntry()->Text, "two");
  EXPECT_EQ(NextBorderEntry(), nullptr);
  ClearBorderList();
  EXPECT_EQ(BorderList->Count(), 0u);
  EXPECT_TRUE(BorderList->Ready());
  DestroyBorderList();
  EXPECT_EQ(BorderList, nullptr);
  EXPECT_FALSE(AddBorderEntry(MakeBorderEntry("three", true)));
  EXPECT_EQ(NextBorderEntry(), nullptr);
}

}  // namespace
}  // namespace quilor
