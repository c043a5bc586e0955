#include "scenario/terminology_extractor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "core/messages.h"
#include "core/name_index.h"
#include "core/pools.h"
#include "core/options.h"
#include "engine/selection.h"
#include "engine/word_list.h"
#include "ui/desktop.h"
#include "ui/main_window_port.h"
#include "ui/recording_canvas.h"
#include "ui/scenario_editor_port.h"
#include "ui_support/engine_session.h"

namespace quilor::ui {
namespace {

using testing_support::EngineSession;

constexpr uint32_t kFrequentClass = 10;  // occurs often in the text
constexpr uint32_t kRareClass = 11;      // occurs once

TWordCategoryData Kind(uint8_t major, uint32_t level1 = 0) {
  TWordCategoryData d;
  d.Category.MajorClass = major;
  d.ClassIds[0] = level1;
  return d;
}

// Builds a word list word by word.
class Words {
 public:
  explicit Words(TWordList& list) : list_(list) { list_.Clear(); }
  Words& Noun(const char* text, const char* tag = " ") {
    return Add(text, tag, Kind(kClassSubstantive, kFrequentClass));
  }
  Words& RareNoun(const char* text) { return Add(text, " ", Kind(kClassSubstantive, kRareClass)); }
  Words& Adjective(const char* text) { return Add(text, " ", Kind(kClassAdjective)); }
  Words& Determinant(const char* text) { return Add(text, " ", Kind(kClassDeterminant)); }
  Words& Verb(const char* text = "runs") { return Add(text, " ", Kind(kClassVerb)); }
  Words& Mark() { return Add("/", " ", TWordCategoryData{}); }

 private:
  Words& Add(const char* text, const char* tag, const TWordCategoryData& d) {
    EXPECT_TRUE(list_.Append(text, tag, 0, 1, ++position_, &d));
    return *this;
  }
  TWordList& list_;
  int32_t position_ = 0;
};

TermSource Source(std::map<std::string, uint32_t> scenario = {}) {
  TermSource source;
  source.level1Occurrences = [](uint32_t cls) { return cls == kFrequentClass ? 9u : cls == kRareClass ? 1u : 0u; };
  source.scenarioEntry = [scenario](const std::string& key) {
    auto it = scenario.find(key);
    return it == scenario.end() ? 0u : it->second;
  };
  source.scenarioName = [](uint32_t entry) { return "Group" + std::to_string(entry); };
  return source;
}

std::vector<std::string> Extract(const TWordList& words, TermFilter filter, const TermSource& source = Source()) {
  TermCandidates candidates;
  EXPECT_TRUE(candidates.Scan(words, source));
  std::vector<std::string> lines = candidates.Filter(filter, source);
  std::sort(lines.begin(), lines.end());
  return lines;
}

TermFilter Only(bool compounds, bool unclassified, bool mostSignificant = false) {
  TermFilter f;
  f.showCompounds = compounds;
  f.showUnclassified = unclassified;
  f.mostSignificant = mostSignificant;
  return f;
}

class TermCandidatesTest : public ::testing::Test {
 protected:
  TWordList words_;
};

TEST_F(TermCandidatesTest, SingularAndPluralAreListedOnceWithTheirSummedCount) {
  Words w(words_);
  w.Noun("cat").Verb().Noun("cats").Verb().Noun("cat").Verb().Noun("Cats").Verb().Noun("cats").Verb();
  w.Noun("dog").Verb().RareNoun("owl").Verb().RareNoun("owl").Verb();
  EXPECT_EQ(Extract(words_, Only(false, true)), (std::vector<std::string>{"cat\tcat\t5"}));
  // Most significant: a single word must occur more than twice.
  Words again(words_);
  again.Noun("dog").Verb().Noun("dog").Verb().Noun("cow").Verb().Noun("cow").Verb().Noun("cow").Verb();
  EXPECT_EQ(Extract(words_, Only(false, true, true)), (std::vector<std::string>{"cow\tcow\t3"}));
  EXPECT_EQ(Extract(words_, Only(false, true)), (std::vector<std::string>{"cow\tcow\t3", "dog\tdog\t2"}));
  // A word with a Scenario entry is classified: not listed.
  EXPECT_EQ(Extract(words_, Only(false, true), Source({{"cow", 4}})), (std::vector<std::string>{"dog\tdog\t2"}));
}

TEST_F(TermCandidatesTest, NounDeterminantNounIsOneCompoundCountedOncePerOccurrence) {
  Words w(words_);
  for (int i = 0; i < 2; ++i) w.Noun("owner").Determinant("the").Noun("house").Verb();
  EXPECT_EQ(Extract(words_, Only(true, false)), (std::vector<std::string>{"owner\towner_the_house\t2"}));
  // Most significant: a compound must occur three times.
  EXPECT_TRUE(Extract(words_, Only(true, false, true)).empty());
  w.Noun("owner").Determinant("the").Noun("house").Mark();
  EXPECT_EQ(Extract(words_, Only(true, false, true)), (std::vector<std::string>{"owner\towner_the_house\t3"}));
  // The head word was counted on its own as well.
  EXPECT_EQ(Extract(words_, Only(false, true)), (std::vector<std::string>{"owner\towner\t3"}));
}

TEST_F(TermCandidatesTest, WhatEndsACompoundAndWhatStartsNone) {
  Words w(words_);
  for (int i = 0; i < 2; ++i) {
    w.Noun("river").Noun("bank", ",").Verb();  // punctuation before "bank"
    w.Noun("tax")
        .Noun(
            "\x80"
            "100")
        .Verb();                                // a currency amount
    w.Noun("sea").Mark().Noun("shore").Verb();  // a proposition end
    w.Noun("sky").RareNoun("blue").Verb();      // a class the text has once
    w.Determinant("the").Noun("road").Verb();   // a link starts nothing
    w.Noun("x").Noun("y");                      // a single letter starts nothing
    w.Verb();
  }
  EXPECT_TRUE(Extract(words_, Only(true, false)).empty());
  const std::vector<std::string> single = Extract(words_, Only(false, true));
  EXPECT_EQ(single, (std::vector<std::string>{"bank\tbank\t2", "river\triver\t2", "road\troad\t2", "sea\tsea\t2",
                                              "shore\tshore\t2", "sky\tsky\t2", "tax\ttax\t2"}));
}

TEST_F(TermCandidatesTest, PendingAdjectiveIsRecordedWithTheCompound) {
  Words w(words_);
  for (int i = 0; i < 2; ++i) w.Adjective("big").Noun("cat").Noun("food").Adjective("2nd").Verb();
  EXPECT_EQ(Extract(words_, Only(true, false)),
            (std::vector<std::string>{"cat\tbig_cat\t2", "cat\tbig_cat_food\t2", "cat\tcat_food\t2"}));
  // A word of another kind drops the adjective.
  Words other(words_);
  for (int i = 0; i < 2; ++i) other.Adjective("big").Verb().Noun("cat").Noun("food").Verb();
  EXPECT_EQ(Extract(words_, Only(true, false)), (std::vector<std::string>{"cat\tcat_food\t2"}));
}

TEST_F(TermCandidatesTest, ACompoundStopsGrowingPastSeventyFiveCharacters) {
  const std::string a(20, 'a'), b(20, 'b'), c(20, 'c'), d(20, 'd');
  Words w(words_);
  for (int i = 0; i < 2; ++i) w.Noun(a.c_str()).Noun(b.c_str()).Noun(c.c_str()).Noun(d.c_str()).Verb();
  const std::vector<std::string> lines = Extract(words_, Only(true, false));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(ParseTermLine(lines[0]).term, a + "_" + b);
  EXPECT_EQ(ParseTermLine(lines[1]).term, a + "_" + b + "_" + c);  // 62 characters; d would make 83
  for (const std::string& line : lines) EXPECT_LE(ParseTermLine(line).term.size(), kMaxCompoundLength + 1);
}

TEST_F(TermCandidatesTest, TheScanLeavesTheCursorAndBookmarksWhereTheyWere) {
  Words w(words_);
  w.Noun("cat").Verb().Noun("cat").Verb().Noun("dog");
  words_.Rewind();
  TWordCategoryData* category = nullptr;
  const char* tag = nullptr;
  int32_t position = 0;
  words_.NextWord(category, tag, position);
  words_.NextWord(category, tag, position);
  words_.SaveCursor(kBookmarkWordSearch);
  TWordNode* cursor = words_.Cursor();
  const char* before = GeneralStringPool().Add("x");
  Extract(words_, Only(true, true));
  // The run's names went with its index: nothing was left in the program's pool.
  EXPECT_EQ(GeneralStringPool().Add("y"), before + 2);
  EXPECT_EQ(words_.Cursor(), cursor);
  EXPECT_EQ(words_.Bookmark(kBookmarkWordSearch), cursor);
}

TEST_F(TermCandidatesTest, AFullIndexStopsTheScanAndTheFilterStillRuns) {
  Words w(words_);
  w.Noun("cat").Verb().Noun("cat").Verb();
  char name[16];
  for (int i = 0; i < kMaxNameEntries + 5; ++i) {
    std::snprintf(name, sizeof name, "w%05d", i);
    w.Noun(name, ",");
  }
  w.Noun("dog").Verb().Noun("dog").Verb();  // past the stop: not counted
  TermCandidates candidates;
  const TermSource source = Source();
  ASSERT_TRUE(candidates.Scan(words_, source));
  EXPECT_FALSE(candidates.Complete());
  EXPECT_EQ(candidates.Filter(Only(true, true), source), std::vector<std::string>{"cat\tcat\t2"});
  Words small(words_);
  small.Noun("dog").Verb();
  TermCandidates next;  // every run counts in an index of its own
  ASSERT_TRUE(next.Scan(words_, source));
  EXPECT_TRUE(next.Complete());
}

TEST(TermLines, ParsedAtTabsOrAtTheDisplaySeparators) {
  TermLine l = ParseTermLine("Cat\tcat_food\t12");
  EXPECT_EQ(l.head, "Cat");
  EXPECT_EQ(l.term, "cat_food");
  EXPECT_EQ(l.count, "12");
  l = ParseTermLine("bank = money (finance)");
  EXPECT_EQ(l.head, "bank");
  EXPECT_EQ(l.term, "money (finance)");
  EXPECT_EQ(MakeTermLine("a", "b", 0), "a\tb\t*");
}

TEST(TermLines, DrawnAsHeadArrowTermCountOnAShadeOfTheCount) {
  EXPECT_EQ(TermLineShade(2), 0xFFE8E8u);
  EXPECT_EQ(TermLineShade(3), 0xFFD0D0u);
  EXPECT_EQ(TermLineShade(9), 0xFFA5A5u);
  EXPECT_EQ(TermLineShade(14), 0xFF8080u);
  EXPECT_EQ(TermLineShade(15), 0xFF4040u);
  EXPECT_EQ(TermLineShade(100000), 0xFF4040u);
  RecordingCanvas canvas;
  DrawTermLine(canvas, Rect{0, 0, 300, 16}, "cat\tcat_food\t7", false, false);
  EXPECT_EQ(canvas.Texts(), std::vector<std::string>{"cat => cat_food (7)"});
  ASSERT_FALSE(canvas.Ops().empty());
}

// ------------------------------------------------------------------ the dialog

class TermDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = Options;
    Options = &options_;
    Words w(words_);
    // Five candidates, "cat" with a compound.
    for (int i = 0; i < 3; ++i) w.Noun("cat").Noun("food").Verb().Noun("dog").Verb().Noun("cow").Verb();
    for (int i = 0; i < 2; ++i) w.Noun("hen").Verb().Noun("cat").Verb();
  }
  void TearDown() override { Options = saved_; }
  TOptionsRecord options_;
  TOptionsRecord* saved_ = nullptr;
  TWordList words_;
  FakeMainWindow main_;
  FakeScenarioEditor editor_;
  ScopedScriptedDesktop desktop_;
  TDlgExtracteurTerminologique dialog_{&main_, [this] { return &editor_; }, Source(), &words_};
};

TEST_F(TermDialog, RunListsSortedLinesAndCopyPutsExactlyThemOnTheClipboard) {
  dialog_.RunTermExtraction();
  EXPECT_EQ(dialog_.Lines(),
            (std::vector<std::string>{"cat\tcat\t5", "cat\tcat_food\t3", "cow\tcow\t3", "dog\tdog\t3", "hen\then\t2"}));
  EXPECT_TRUE(dialog_.ScenarioButtonsEnabled());
  EXPECT_EQ(dialog_.StatusText(), GetMessageText(kMsgTermCanAdd));
  dialog_.PopupMenuCopyClick();
  EXPECT_EQ(desktop_.desktop.clipboard,
            "cat\tcat\t5\r\ncat\tcat_food\t3\r\ncow\tcow\t3\r\ndog\tdog\t3\r\nhen\then\t2\r\n");
  EXPECT_EQ(dialog_.StatusText(), GetMessageText(kMsgTermCopied));
  // Fewer than four lines: a sample that says little; the options follow the radio buttons.
  dialog_.show = TDlgExtracteurTerminologique::Show::kCompounds;
  dialog_.RunTermExtraction();
  EXPECT_EQ(dialog_.Lines(), std::vector<std::string>{"cat\tcat_food\t3"});
  EXPECT_EQ(dialog_.StatusText(), GetMessageText(kMsgTermNonSignificant));
  // The dialog opens next time on the lines and the filter of the last run.
  using Show = TDlgExtracteurTerminologique::Show;
  for (const Show show : {Show::kCompounds, Show::kUnclassified, Show::kAll})
    for (const bool most : {false, true}) {
      dialog_.show = show;
      dialog_.mostSignificant = most;
      dialog_.RunTermExtraction();
      TDlgExtracteurTerminologique next{&main_, [this] { return &editor_; }, Source(), &words_};
      EXPECT_EQ(next.show, show) << static_cast<int>(show) << most;
      EXPECT_EQ(next.mostSignificant, most) << static_cast<int>(show);
    }
}

TEST_F(TermDialog, AddingStopsAtAFailureAndOnlyTheAddedLinesLeave) {
  dialog_.RunTermExtraction();
  editor_.failAfter = 2;
  editor_.selected = true;
  dialog_.subclassify = false;
  dialog_.PopupMenuInsererClick({0, 2, 3, 4});
  EXPECT_EQ(editor_.inserted, (std::vector<std::string>{"cat?", "cow?"}));
  EXPECT_EQ(editor_.parentSelections, 2);
  EXPECT_EQ(dialog_.Lines(), (std::vector<std::string>{"cat\tcat_food\t3", "dog\tdog\t3", "hen\then\t2"}));
  EXPECT_EQ(editor_.sorts, 1);
  EXPECT_EQ(editor_.updateDepth, 0);
  EXPECT_TRUE(options_.Switch(opt::DoNotSubclassify));
  // Add mode, or insert with nothing selected in the editor: a new group each.
  editor_.failAfter = -1;
  editor_.selected = false;
  dialog_.insertMode = true;
  dialog_.ButtonInsererClick({0});
  dialog_.PopupMenuAjouterClick({1});
  EXPECT_EQ(editor_.added, (std::vector<std::string>{"cat_food?", "hen?"}));
  EXPECT_EQ(dialog_.Lines(), std::vector<std::string>{"dog\tdog\t3"});
  // A closed editor is opened, and nothing is added.
  editor_.open = false;
  dialog_.PopupMenuAjouterClick({0});
  EXPECT_EQ(editor_.opened, 1);
  EXPECT_EQ(dialog_.Lines().size(), 1u);
}

TEST_F(TermDialog, ClickLocatesTheTermInTheTextAndTheScenarioKeepingTheWordSearchsPlace) {
  dialog_.RunTermExtraction();
  words_.Rewind();
  words_.SaveCursor(kBookmarkWordSearch);
  TWordNode* searchPlace = words_.Bookmark(kBookmarkWordSearch);
  dialog_.ListBox1Click(3);  // dog: words 4, 11, 18
  dialog_.ListBox1Click(3);
  dialog_.ListBox1Click(3);
  dialog_.ListBox1Click(3);  // past the last: nothing, the next starts again
  dialog_.ListBox1Click(3);
  EXPECT_EQ(main_.positions, (std::vector<int32_t>{4, 11, 18, 4}));
  EXPECT_EQ(words_.Bookmark(kBookmarkWordSearch), searchPlace);
  EXPECT_EQ(dialog_.StatusText(), "dog");
  // The Scenario is searched once per line: the key as a group, then a node beginning with it.
  EXPECT_EQ(editor_.searchTexts, std::vector<std::string>{"dog"});
  EXPECT_EQ(editor_.searched, (std::vector<std::string>{"dog/groups", "dog/next0"}));
  // Another line starts from the first word again.
  dialog_.ListBox1Click(0);
  EXPECT_EQ(main_.positions.back(), 1);
}

TEST_F(TermDialog, ATermOfTheScenarioIsLookedForAsItsGroup) {
  TDlgExtracteurTerminologique dialog{&main_, [this] { return &editor_; }, Source({{"cat", 7}}), &words_};
  dialog.locateInText = false;
  dialog.RunTermExtraction();
  ASSERT_EQ(dialog.Lines().size(), 4u);  // cat is classified: not listed on its own
  EXPECT_EQ(dialog.Lines()[0], "cat\tcat_food\t3");
  editor_.foundByLabel = true;
  dialog.ListBox1Click(0);
  EXPECT_TRUE(main_.positions.empty());
  EXPECT_EQ(editor_.searchTexts, std::vector<std::string>{"cat"});
  EXPECT_EQ(editor_.searched, std::vector<std::string>{"Group7/groups"});
  // A closed editor is not searched.
  editor_.open = false;
  dialog.ListBox1Click(1);
  EXPECT_EQ(editor_.searched.size(), 1u);
  // The switches are kept at close.
  dialog.locateInScenario = false;
  dialog.FormClose();
  EXPECT_FALSE(options_.Switch(opt::TermLocateAutomatically));
  EXPECT_FALSE(options_.Switch(opt::TermLocateInText));
}

// On a real analysis, over the ontology engine and the default Scenario.
TEST(TermExtractionOnAText, ListsTheUnclassifiedTermsAndLocatesThem) {
  EngineSession session;
  ASSERT_TRUE(session.Started());
  const std::string text =
      "The cat eats fish. A cat sleeps. The cats play. The cats run. The cats jump.\r\n"
      "The garden gate is red. The garden gate is open. The garden gate is closed.\r\n";
  ASSERT_TRUE(session.Analyse({session.Write("cats.txt", text)}));
  FakeMainWindow main;
  TDlgExtracteurTerminologique dialog{&main, [] { return nullptr; }};
  dialog.show = TDlgExtracteurTerminologique::Show::kAll;
  dialog.mostSignificant = false;
  dialog.RunTermExtraction();
  // The cats are in the default Scenario (animals): only the compound is listed.
  EXPECT_EQ(dialog.Lines(), std::vector<std::string>{"garden\tgarden_gate\t3"});
  EXPECT_EQ(dialog.StatusText(), GetMessageText(kMsgTermNonSignificant));
  dialog.locateInText = true;
  dialog.ListBox1Click(0);
  ASSERT_EQ(main.positions.size(), 1u);
  TWordNode* cursor = TextWords.Cursor();
  TextWords.SeekPosition(main.positions[0]);
  EXPECT_STREQ(TextWords.Cursor()->text, "garden");
  TextWords.SetCursor(cursor);
}

}  // namespace
}  // namespace quilor::ui
