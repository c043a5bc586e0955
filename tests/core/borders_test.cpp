#include "core/borders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/file_size_limit.h"
#include "core/messages.h"
#include "core/options.h"
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
                       "X\tabcdef\tlate tab\n"  // the TAB inside the flag bytes does not count
                       "X#######\r\n"           // no TAB: skipped
                       "\r"                     // empty line: skipped
                       "X######\t\n" +          // 8 characters: skipped
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
  EXPECT_EQ(ReadWholeFile(path), "X#######\tAppendix\r\nN#######\tPreface\r\nX#######\tmade in memory\r\n");

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
  {
    testing_support::ScopedFileSizeLimit limit(4);  // the save fails part way
    EXPECT_FALSE(WriteBordersFile(list, path));
  }
  EXPECT_EQ(ReadWholeFile(path), "N#######\told\r\n");
  WriteWholeFile(dir / "plain", "");
  EXPECT_FALSE(WriteBordersFile(list, dir / "plain/x.dlm"));
  ASSERT_EQ(ui.ui.Shown().size(), 2u);
  EXPECT_EQ(ui.ui.Shown()[0].text, GetMessageText(kMsgDiskWriteError));
}

TEST(BordersList, GlobalListLifecycle) {
  CreateBorderList();
  ASSERT_NE(Borders.list.get(), nullptr);
  EXPECT_TRUE(AddBorderEntry(MakeBorderEntry("one", true)));
  EXPECT_TRUE(AddBorderEntry(MakeBorderEntry("two", false)));
  RewindBorderList();
  EXPECT_EQ(NextBorderEntry()->Text, "one");
  EXPECT_EQ(NextBorderEntry()->Text, "two");
  EXPECT_EQ(NextBorderEntry(), nullptr);
  ClearBorderList();
  EXPECT_EQ(Borders.list->Count(), 0u);
  EXPECT_TRUE(Borders.list->Ready());
  DestroyBorderList();
  EXPECT_EQ(Borders.list.get(), nullptr);
  EXPECT_FALSE(AddBorderEntry(MakeBorderEntry("three", true)));
  EXPECT_EQ(NextBorderEntry(), nullptr);
}

}  // namespace
}  // namespace quilor

namespace quilor {
namespace {

class BordersIndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateBorderList();
    Options->ResetSettings();
  }
  void TearDown() override {
    FreeBordersIndex();
    DestroyBorderList();
    Options->ResetSettings();
  }
};

TEST_F(BordersIndexTest, LookupGivesTheFilterFlagIgnoringCase) {
  AddBorderEntry(MakeBorderEntry("Appendix", true));
  AddBorderEntry(MakeBorderEntry("Preface", false));
  AddBorderEntry(MakeBorderEntry("", true));
  ASSERT_TRUE(BuildBordersIndex());
  EXPECT_TRUE(Borders.inUse);
  int filter = -1;
  EXPECT_TRUE(LookupBorder("APPENDIX", filter));
  EXPECT_EQ(filter, 1);
  EXPECT_TRUE(LookupBorder("preface", filter));
  EXPECT_EQ(filter, 0);
  EXPECT_FALSE(LookupBorder("chapter", filter));
  EXPECT_FALSE(LookupBorder("", filter));
  EXPECT_FALSE(LookupBorder(std::string(200, 'a'), filter));
  FreeBordersIndex();
  EXPECT_FALSE(Borders.inUse);
  EXPECT_FALSE(LookupBorder("Appendix", filter));
}

TEST_F(BordersIndexTest, ARepeatedBorderStillFilters) {
  // Read from a file where the term is listed twice, once as kept.
  TBorderList read;
  bool damaged = false;
  ParseBordersText("X#######\tNotes\r\nX#######\tnotes\r\nN#######\tIndex\r\nX#######\tINDEX\r\n", read, damaged);
  for (const auto& e : read.Entries()) AddBorderEntry(e);
  ASSERT_TRUE(BuildBordersIndex());
  int filter = 0;
  ASSERT_TRUE(LookupBorder("Notes", filter));
  EXPECT_EQ(filter, 1);
  ASSERT_TRUE(LookupBorder("index", filter));
  EXPECT_EQ(filter, 1);
}

TEST_F(BordersIndexTest, InUseFollowsTheShowBordersOption) {
  AddBorderEntry(MakeBorderEntry("Preface", false));
  Options->Set(opt::ShowBorders, 1);
  ASSERT_TRUE(BuildBordersIndex());
  EXPECT_FALSE(Borders.inUse);  // only kept Borders, shown in the text
  Options->Set(opt::ShowBorders, 0);
  ASSERT_TRUE(BuildBordersIndex());
  EXPECT_TRUE(Borders.inUse);
  Options->Set(opt::ShowBorders, 1);
  AddBorderEntry(MakeBorderEntry("Appendix", true));
  ASSERT_TRUE(BuildBordersIndex());
  EXPECT_TRUE(Borders.inUse);

  DestroyBorderList();
  EXPECT_FALSE(BuildBordersIndex());
  EXPECT_FALSE(Borders.inUse);
}

TEST_F(BordersIndexTest, FullIndexReportsOnceAndKeepsWhatFits) {
  ScopedScriptedUi ui;
  // Terms that share little: about 40 nodes each, far more than the index holds.
  auto term = [](int i) {
    std::string t = std::to_string(i * 7919 + 1000);
    return std::string(t.rbegin(), t.rend()) + " a border term of some length";
  };
  for (int i = 0; i < 3000; ++i) AddBorderEntry(MakeBorderEntry(term(i), i == 0));
  ASSERT_TRUE(BuildBordersIndex());
  ASSERT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_EQ(ui.ui.Shown()[0].text, GetMessageText(kMsgBordersOverflow));
  int filter = 0;
  EXPECT_TRUE(LookupBorder(term(0), filter));
  EXPECT_EQ(filter, 1);
  EXPECT_FALSE(LookupBorder(term(2999), filter));
}

}  // namespace
}  // namespace quilor
