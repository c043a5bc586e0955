#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/analysis.h"
#include "core/gauge.h"
#include "engine/analysis_run.h"
#include "core/options.h"
#include "engine/word_list.h"
#include "import/text_loader.h"
#include "support/stream_support.h"

namespace quilor {
namespace {

using namespace testing_support;

std::string Words(int n, const std::string& stem = "w") {
  std::string text;
  for (int i = 0; i < n; ++i) text += stem + " ";
  return text;
}

bool EndsWith(const std::string& s, const std::string& end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

TEST(AnalysisRunLimits, WordCapHoldsForManySmallFiles) {
  StreamTestState state;
  TempFolder folder;
  LoaderSettings.wordCap = 10;
  std::vector<std::string> files;
  for (int i = 0; i < 5; ++i) files.push_back(folder.Write("f" + std::to_string(i) + ".txt", Words(4)));
  EXPECT_TRUE(RunOnFiles(files));  // the words loaded so far are analysed
  auto rows = TextWordRows();
  ASSERT_EQ(rows.size(), 10u);
  EXPECT_EQ(rows.back().fileNumber, 3);
  ASSERT_EQ(state.ui.ui.Shown().size(), 1u);
  EXPECT_TRUE(EndsWith(state.ui.ui.Shown()[0].text, "This text is too long to be entirely shown."));
  EXPECT_EQ(state.ui.ui.Shown()[0].text.rfind("Stop ! The total size of the text is bigger than 0 MB.", 0), 0u);
}

TEST(AnalysisRunLimits, WordCapInTheMiddleOfAFile) {
  StreamTestState state;
  TempFolder folder;
  LoaderSettings.wordCap = 7;
  std::string a = folder.Write("a.txt", Words(20));
  std::string b = folder.Write("b.txt", Words(3));
  EXPECT_TRUE(RunOnFiles({a, b}));
  EXPECT_EQ(TextWordRows().size(), 7u);
  EXPECT_EQ(state.ui.ui.Shown().size(), 1u);
}

// Thirty files of 100,000 bytes: the total passes 2,048,000 bytes in the 21st.
class SizeQuestion : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 30; ++i) files.push_back(folder.Write("f" + std::to_string(i) + ".txt", Words(25000, "abc")));
  }
  TempFolder folder;
  std::vector<std::string> files;
};

TEST_F(SizeQuestion, AskedOnceForAQueueOfSmallFiles) {
  StreamTestState state;
  Options->Set(opt::SizeThreshold, 0);  // raised to 2 in the record
  EXPECT_TRUE(RunOnFiles(files));
  EXPECT_EQ(Options->Get(opt::SizeThreshold), 2);
  EXPECT_EQ(LoaderState.sizeThreshold, 2048000);
  EXPECT_EQ(TextWordRows().size(), 30u * 25000u);
  ASSERT_EQ(state.ui.ui.Shown().size(), 1u);
  EXPECT_EQ(state.ui.ui.Shown()[0].kind, kBoxYesNoCancel);
  EXPECT_EQ(state.ui.ui.Shown()[0].text,
            "Be careful ! The total size of the text is bigger than 2 MB. This can cause an unexpected "
            "application failure. Continue?");
}

TEST_F(SizeQuestion, NoStopsLoadingAndKeepsTheWords) {
  StreamTestState state;
  TAnalysis analysis;
  state.ui.ui.QueueAnswer(2);
  EXPECT_TRUE(RunOnFiles(files, analysis));
  auto rows = TextWordRows();
  EXPECT_EQ(rows.size(), 21u * 25000u);
  EXPECT_EQ(rows.back().fileNumber, 21);
  EXPECT_FALSE(analysis.run.running);
}

TEST_F(SizeQuestion, CancelAbandonsTheRun) {
  StreamTestState state;
  TAnalysis analysis;
  state.ui.ui.QueueAnswer(3);
  EXPECT_FALSE(RunOnFiles(files, analysis));
  EXPECT_TRUE(analysis.run.stopped);
  EXPECT_TRUE(analysis.run.aborted);
  EXPECT_FALSE(analysis.run.running);
  EXPECT_EQ(Progress.gauge, nullptr);
}

// A gauge view that records the word counts shown and presses Stop on request.
class RecordingView : public NullGaugeView {
 public:
  explicit RecordingView(std::vector<std::string>* values, int pressStopAt)
      : values_(values), pressStopAt_(pressStopAt) {}
  void SetValue(int line, const std::string& text) override {
    if (line == 2 && !text.empty()) values_->push_back(text);
  }
  void ProcessEvents() override {
    if (++events_ == pressStopAt_ && Progress.gauge) Progress.gauge->ButtonArretClick();
  }

 private:
  std::vector<std::string>* values_;
  int pressStopAt_;
  int events_ = 0;
};

TEST(AnalysisRunGauge, ProgressEveryFiftyThousandWordsAndAfterEachFile) {
  StreamTestState state;
  TempFolder folder;
  std::vector<std::string> values;
  SetGaugeViewFactory([&] { return std::make_unique<RecordingView>(&values, -1); });
  std::string a = folder.Write("a.txt", Words(120000));
  std::string b = folder.Write("b.txt", Words(5));
  ASSERT_TRUE(RunOnFiles({a, b}));
  EXPECT_EQ(values, (std::vector<std::string>{"50000", "100000", "120000", "120005"}));
}

TEST(AnalysisRunGauge, StopEndsTheRunAndKeepsTheWordsRead) {
  StreamTestState state;
  TAnalysis analysis;
  TempFolder folder;
  std::vector<std::string> values;
  SetGaugeViewFactory([&] { return std::make_unique<RecordingView>(&values, 2); });
  state.ui.ui.QueueAnswer(1);  // Yes to "Do you really want to stop this process?"
  std::string a = folder.Write("a.txt", Words(3));
  std::string b = folder.Write("b.txt", Words(3));
  EXPECT_FALSE(RunOnFiles({a, b}, analysis));
  EXPECT_TRUE(Progress.cancelRequested);
  EXPECT_EQ(TextWordRows().size(), 3u);
  EXPECT_FALSE(analysis.run.running);
  ASSERT_EQ(state.ui.ui.Shown().size(), 1u);
  EXPECT_EQ(state.ui.ui.Shown()[0].text, "Do you really want to stop this process?");
  // The stop was this run's: the next run reads both files.
  SetGaugeViewFactory(nullptr);
  EXPECT_TRUE(RunOnFiles({a, b}, analysis));
  EXPECT_FALSE(Progress.cancelRequested);
  EXPECT_EQ(TextWordRows().size(), 6u);
}

// While a document loads, the gauge names what its lines count.
TEST(AnalysisRunGauge, TheLinesSayTheyCountTheLoadingAndTheWords) {
  class CaptionView : public NullGaugeView {
   public:
    explicit CaptionView(std::map<int, std::string>* captions) : captions_(captions) {}
    void SetCaption(int line, const std::string& text) override { (*captions_)[line] = text; }

   private:
    std::map<int, std::string>* captions_;
  };
  StreamTestState state;
  TempFolder folder;
  std::map<int, std::string> captions;
  SetGaugeViewFactory([&] { return std::make_unique<CaptionView>(&captions); });
  ASSERT_TRUE(RunOnFiles({folder.Write("a.txt", Words(5))}));
  SetGaugeViewFactory(nullptr);
  EXPECT_EQ(captions[1], "Loading");
  EXPECT_EQ(captions[2], "Words");
}

TEST(AnalysisRunFlags, ASecondRunChangesNothing) {
  StreamTestState state;
  TempFolder folder;
  std::string a = folder.Write("a.txt", Words(3));
  TAnalysis analysis;
  ASSERT_TRUE(RunOnFiles({a}, analysis));
  Progress.cancelRequested = true;
  analysis.run.running = true;  // as while a run lets events run
  EXPECT_FALSE(RunAnalysis(analysis, 0, TakeRunSettings(*Options)));
  EXPECT_EQ(TextWordRows().size(), 3u);
  EXPECT_TRUE(Progress.cancelRequested);
  EXPECT_TRUE(analysis.run.running);
  analysis.run.running = false;
  Progress.cancelRequested = false;
  EndAnalysisRun();
  EXPECT_EQ(TextWords.Count(), 0u);
}

TEST_F(SizeQuestion, AskedAtTheThresholdOfTheOptionsRecord) {
  StreamTestState state;
  Options->Set(opt::SizeThreshold, 1);
  EXPECT_TRUE(RunOnFiles(files));
  EXPECT_EQ(LoaderState.sizeThreshold, 2 * 1024000);
  ASSERT_EQ(state.ui.ui.Shown().size(), 1u);
  EXPECT_NE(state.ui.ui.Shown()[0].text.find("bigger than 2 MB"), std::string::npos);
  // The record's default (25) lets these 3 MB through without a question.
  state.ui.ui.ClearLog();
  Options->Set(opt::SizeThreshold, TOptionsRecord().Get(opt::SizeThreshold));
  EXPECT_EQ(Options->Get(opt::SizeThreshold), 25);
  EXPECT_TRUE(RunOnFiles(files));
  EXPECT_EQ(LoaderState.sizeThreshold, 25 * 1024000);
  EXPECT_TRUE(state.ui.ui.Shown().empty());
}

}  // namespace
}  // namespace quilor
