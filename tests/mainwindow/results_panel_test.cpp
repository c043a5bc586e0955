#include "mainwindow/results_panel.h"

#include <gtest/gtest.h>

#include <set>

#include "core/name_index.h"
#include "engine/analysis_results.h"
#include "engine/ontology_engine.h"
#include "engine/options.h"
#include "engine/selection.h"
#include "engine/word_list.h"
#include "mainwindow/main_window_port.h"
#include "mainwindow/recording_canvas.h"
#include "mainwindow/view_state.h"
#include "tests/support/stream_support.h"
#include "tests/ui_support/analysed_text.h"

namespace quilor::ui {
namespace {

using testing_support::AnalyseFiles;
using testing_support::EnsureEngineStarted;
using testing_support::SamplePath;

TEST(ResultTypeTable, FixedEntriesThenOneLinePerEpisode) {
  TResultTypeTable table;
  EXPECT_EQ(BuildResultTypeList(table, 12, 3, 500), 10);
  ASSERT_EQ(table.Lines().size(), 14u);
  EXPECT_EQ(table.Count(), 13);
  EXPECT_EQ(table.Lines()[0], "Text style");
  EXPECT_EQ(table.Lines()[3], "References");
  EXPECT_EQ(table.Lines()[11], "Episode 1");
  EXPECT_EQ(table.Entry(11)->code, kResultEpisode);
  // Bursts but no episode, and the table's cap.
  EXPECT_EQ(BuildResultTypeList(table, 2, 0, 500), 10);
  EXPECT_EQ(table.Count(), 10);
  BuildResultTypeList(table, 900, 300, 500);
  EXPECT_EQ(table.Count(), 200);
  // An empty text: one line, no entry, nothing to show.
  EXPECT_EQ(BuildResultTypeList(table, 12, 3, 1), 0);
  EXPECT_EQ(table.Lines(), std::vector<std::string>{"Empty or unreadable text"});
  EXPECT_EQ(table.Count(), -1);
  EXPECT_EQ(table.Entry(0), nullptr);
}

TEST(ResultSentences, ReadAsTheProgramWritesThem) {
  EXPECT_EQ(ClassExplanation("0012", "x"), "I found 0012 equivalents of \"x\", in this text.");
  EXPECT_EQ(LemmaExplanation(kResultVerbs, 7, "walk"), "I found 7 occurrences of the verb \"walk\" in this text.");
  EXPECT_EQ(LemmaExplanation(kResultAdjectives, 2, "low"),
            "I found 2 occurrences of the adjective \"low\" in this text.");
  EXPECT_EQ(LemmaExplanation(kResultSubstantives, 3, "dam"), "I found 3 occurrences of \"dam\" in this text.");
  EXPECT_EQ(RelationExplanation("0003", "a", "b"),
            "I found 0003 relations starting form  (a) and ending at (b), in this text.");
  EXPECT_EQ(BundleExplanation("0004", "dam", 12.5), "Bundle on 0004 equivalents of \"dam\", length : 12.5% of the text.");
  EXPECT_EQ(CategoryBundleExplanation("Connector Cause", 4, 3), "Bundle on Category \"Connector Cause\", 4 words, length :  3.0% of the text.");
}

class SampleResults : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureEngineStarted();
    ViewState.Reset();
    Selection.Clear();
    SetViewMainWindow(&main_);
    // The pertinence threshold: a short text's minimum class count is 0.
    Options->Set(opt::ThresholdKind, 0);
    ASSERT_TRUE(AnalyseFiles({SamplePath()}));
    panel_.RefreshAfterAnalysis();
  }
  void TearDown() override {
    SetViewMainWindow(nullptr);
    Options->Set(opt::SortAlphabetical, 0);
    Options->Set(opt::ThresholdKind, 1);
  }
  void Show(int index) { panel_.SelectResultType(index); }
  int LineOf(const std::string& name) const {
    for (size_t i = 0; i < panel_.Items().size(); ++i)
      if (panel_.Items()[i].rfind(name + "\t", 0) == 0) return static_cast<int>(i);
    return -1;
  }
  FakeMainWindow main_;
  TResultsPanel panel_;
};

TEST_F(SampleResults, FirstReferenceSelectsItsClassAndMarksItsOccurrences) {
  EXPECT_EQ(panel_.ResultTypeTable().Lines().size(), 11u);  // 90 words: no burst
  Show(3);
  std::cerr << "count " << panel_.ResultTypeTable().Count() << " ranked " << OntologyEngine->RankedClassTotal(1) << " words " << TextWords.Count() << " min " << ListedMinimumCount() << " cur " << panel_.CurrentResultType << "\n";
  ASSERT_FALSE(panel_.Items().empty());
  for (const std::string& l : panel_.Items()) std::cerr << l << "\n";
  panel_.ClickLine(0);
  std::cerr << panel_.Explanation() << "\n" << panel_.Status() << "\n";
  EXPECT_EQ(Selection.kind, kSelectClass);
  EXPECT_EQ(Selection.classLevel, 1);
}

}  // namespace
}  // namespace quilor::ui
