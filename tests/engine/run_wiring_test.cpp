// A whole run over real files with the built dictionaries: what the run
// leaves for the views (the diagnosis's Borders findings, the relation
// records of the searches, the run flags) and what it releases on failure.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "engine/analysis.h"
#include "core/borders.h"
#include "core/class_file.h"
#include "core/file_queue.h"
#include "core/files.h"
#include "core/gauge.h"
#include "core/messages.h"
#include "core/worker_threads.h"
#include "engine/analysis_results.h"
#include "engine/analysis_run.h"
#include "engine/diagnosis.h"
#include "engine/ontology_engine.h"
#include "engine/bursts.h"
#include "engine/category_counters.h"
#include "core/options.h"
#include "engine/results_report.h"
#include "engine/segment_buffer.h"
#include "engine/selection.h"
#include "engine/semantic_pass.h"
#include "engine/startup.h"
#include "engine/word_list.h"
#include "platform/message_ui.h"
#include "platform/settings_store.h"
#include "support/corpus.h"
#include "support/failing_allocation.h"
#include "support/stream_support.h"
#include "../platform/temp_folder.h"
#include "platform/usable_cores.h"

namespace quilor {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using testing::WriteWholeFile;

// The dictionaries and Scenarios of this build, else those of the default
// build (the sanitizer builds do not make them all).
std::string BuiltFolder(const char* name, std::initializer_list<std::string> files) {
  const std::string own = std::string(QUILOR_BINARY_DIR) + "/" + name;
  for (const std::string& f : files)
    if (!std::filesystem::exists(own + "/" + f)) return std::string(QUILOR_SOURCE_DIR) + "/build/default/" + name;
  return own;
}
const std::string kBuiltDico =
    BuiltFolder("Dico", {"englex.lv8", "englex.vv8", "englex.av8", "englex.sv8", "englex.zv8"});
const std::string kBuiltScenario = BuiltFolder("Scenario", {kDefaultScenarioName});

const char* kText =
    "The dog sleeps in the garden of the house. The cat eats the fish in the kitchen.\n"
    "Appendix\n"
    "The bank holds the money of the family. The river flows near the bank.\n";

class RunWiringTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* ext : {".lv8", ".vv8", ".av8", ".sv8", ".zv8"})
      if (!std::filesystem::exists(kBuiltDico + "/englex" + ext))
        GTEST_SKIP() << "no englex" << ext << " in this build";
    root_ = tmp_ / "root";
    for (const char* sub : {"bin", "Dico", "Scenario"}) fs::create_directories(root_ + "/" + sub);
    for (const char* ext : {".lv8", ".vv8", ".av8", ".sv8", ".zv8"})
      fs::create_symlink(kBuiltDico + "/englex" + ext, root_ + "/Dico/englex" + ext);
    if (!std::filesystem::exists(kBuiltScenario + "/" + kDefaultScenarioName))
      GTEST_SKIP() << "no Scenario in this build";
    fs::copy_file(kBuiltScenario + "/" + kDefaultScenarioName, root_ + "/Scenario/" + kDefaultScenarioName);
    SetProgramPathForTesting(root_ + "/bin/quilor");
    SetSettingsFilePath(tmp_ / "config/Quilor/settings.ini");
    data_ = std::make_unique<testing::ScopedEnvironment>("XDG_DATA_HOME", tmp_ / "data");
    Fresh();
    SetInstallPaths();
    ASSERT_TRUE(StartUp());
    ASSERT_TRUE(LoadCurrentScenario());
    text_ = tmp_ / "text.txt";
    WriteWholeFile(text_, kText);
  }
  void TearDown() override {
    if (root_.empty()) return;  // skipped
    EndAnalysisRun();
    CloseProgressGauge();
    SetGaugeViewFactory(nullptr);
    ShutDown();
    SetSettingsFilePath("");
    SetProgramPathForTesting("");
    Fresh();
  }
  static void Fresh() {
    Options->ResetSettings();
    WorkContext->Reset();
    GeneralState->Reset();
  }
  bool Run(const std::string& file) { return RunInto(analysis_, file); }
  static bool RunInto(TAnalysis& analysis, const std::string& file) {
    FileQueue.Clear();
    FileQueue.Add(file.c_str());
    const bool ok = RunAnalysis(analysis, 0, TakeRunSettings(*Options));
    CloseProgressGauge();
    return ok;
  }
  // What an analysis holds of its text, written out to be compared.
  static std::string Summary(const TAnalysis& analysis) {
    const TBurstResults& b = analysis.bursts;
    std::string out = "segmented " + std::to_string(analysis.segments.words) + " words " +
                      std::to_string(analysis.segments.propositions) + " propositions; run" +
                      (analysis.run.aborted ? " aborted" : "") + (analysis.run.stopped ? " stopped" : "") +
                      (analysis.run.memoryLow ? " short of memory" : "") + (analysis.run.running ? " running" : "");
    out += "\nwords " + std::to_string(b.wordCount) + " class bursts " + std::to_string(b.classBurstCount);
    for (const TBurstRecord& r : b.bursts)
      out += "\nburst " + std::to_string(r.itemId) + " " + std::to_string(r.firstPosition) + "-" +
             std::to_string(r.lastPosition) + " in " + std::to_string(r.episode);
    for (const TEpisodeRecord& e : b.episodes)
      out += "\nepisode " + std::to_string(e.firstPosition) + "-" + std::to_string(e.lastPosition);
    out += "\npropositions";
    for (uint32_t n : b.propositionNumbers) out += " " + std::to_string(n);
    out += "\nmarks ";
    for (size_t i = 0; i < b.burstMarks.size() || i < b.rankMarks.size(); ++i)
      out += std::to_string(b.BurstMarkAt(i)) + std::to_string(b.RankMarkAt(i) > 0);
    return out;
  }
  // Borders from ".dlm" text, named in the options and indexed.
  void UseBorders(const std::string& dlm) {
    WriteWholeFile(WorkContext->BordersFolder + "/test.dlm", dlm);
    Options->Set(opt::BordersFileName, "test.dlm");
    ASSERT_TRUE(LoadCurrentBorders());
  }
  std::vector<int> Findings() {
    TDiagnosisList list;
    list.Init();
    list.DiagnoseStyle(TDiagnosisInputs::Current(), nullptr);
    return list.Findings();
  }
  // Forty Brown files as one text.
  void WriteFortyFiles(std::string& file) {
    std::string corpus;
    ASSERT_TRUE(testing_support::CorpusFolder("plain", corpus));
    std::string words;
    for (int i = 1; i <= 40; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "/ca%02d.txt", i);
      words += testing_support::ReadFileBytes(corpus + name) + "\n";
    }
    file = tmp_ / "forty.txt";
    WriteWholeFile(file, words);
  }
  static bool Has(const std::vector<int>& v, int x) { return std::find(v.begin(), v.end(), x) != v.end(); }

  ScopedScriptedUi ui_;
  TempFolder tmp_;
  std::unique_ptr<testing::ScopedEnvironment> data_;
  std::string root_;
  std::string text_;
  TAnalysis analysis_;
};

TEST_F(RunWiringTest, BordersFindingsComeFromTheRun) {
  // A Border that cuts the second half: some propositions were filtered.
  UseBorders("X#######\tAppendix\r\n");
  ASSERT_TRUE(Run(text_));
  EXPECT_GT(RunCounts.filteredPropositions, 0u);
  std::vector<int> f = Findings();
  EXPECT_TRUE(Has(f, kMsgBordersUsed));
  EXPECT_FALSE(Has(f, kMsgBordersNoEffect));

  // A Border the text does not hold has no effect.
  UseBorders("X#######\tGlossary\r\n");
  ASSERT_TRUE(Run(text_));
  EXPECT_EQ(RunCounts.filteredPropositions, 0u);
  f = Findings();
  EXPECT_TRUE(Has(f, kMsgBordersNoEffect));
  EXPECT_FALSE(Has(f, kMsgBordersUsed));

  // A Border at the first word takes the whole text out.
  const std::string cut = tmp_ / "cut.txt";
  WriteWholeFile(cut, std::string("Appendix\n") + kText);
  UseBorders("X#######\tAppendix\r\n");
  Run(cut);
  EXPECT_EQ(Findings().front(), kMsgAllFilteredByBorders);

  // Without a Borders file the run clears the flag: no Borders finding.
  Options->Set(opt::BordersFileName, "");
  Borders.inUse = true;
  ASSERT_TRUE(Run(text_));
  EXPECT_FALSE(Borders.inUse);
  f = Findings();
  EXPECT_FALSE(Has(f, kMsgBordersUsed));
  EXPECT_FALSE(Has(f, kMsgBordersNoEffect));
}

// A text of one word is too short to diagnose: the one finding says so, in
// the results list too, and no style or tendency is made up from it.
TEST_F(RunWiringTest, AOneWordTextGetsTheOneFindingOfAFailedInput) {
  const std::string one = tmp_ / "one.txt";
  WriteWholeFile(one, "Hello\n");
  ASSERT_TRUE(Run(one));
  ASSERT_EQ(TextWords.HighestPosition(), 1);
  EXPECT_EQ(Findings(), (std::vector<int>{kMsgCorruptedInput}));
  TDiagnosisList list;
  list.Init();
  RecordingDiagnosisView view;
  list.DiagnoseStyle(TDiagnosisInputs::Current(), &view);
  EXPECT_EQ(view.lines, (std::vector<std::string>{"Corrupted input file. Execution failed."}));

  // Two words are a text.
  WriteWholeFile(one, "Hello world\n");
  ASSERT_TRUE(Run(one));
  const std::vector<int> two = Findings();
  EXPECT_FALSE(Has(two, kMsgCorruptedInput));
  EXPECT_TRUE(Has(two, kMsgTendenciesNotSignificant));
}

// Start-up reads the semantic dictionary and builds the lexicon's tables on
// threads of their own: the dictionaries come out whole all the same.
TEST_F(RunWiringTest, DictionariesReadOnSeveralThreadsAreWhole) {
  ASSERT_TRUE(OntologyEngine && OntologyEngine->Ready());
  EXPECT_GE(OntologyEngine->DictionaryClassCount(1), 10000);
  EXPECT_GT(OntologyEngine->FindClassIndex(3, "animal"), 0);
  ASSERT_TRUE(Run(text_));
  EXPECT_GT(OntologyEngine->RankedClassTotal(1), 0);
  ShutDown();
  SetInstallPaths();
  ASSERT_TRUE(StartUp());  // a second start-up after a shut-down
  EXPECT_TRUE(OntologyEngine && OntologyEngine->Ready());
}

TEST_F(RunWiringTest, ClassSearchesFindTheirOccurrencesAfterARun) {
  GeneralState->RunStarted = 0;
  ASSERT_TRUE(Run(text_));
  EXPECT_EQ(GeneralState->RunStarted, 1);
  ASSERT_NE(RunRelations.source, nullptr);
  ASSERT_GT(OntologyEngine->RankedClassTotal(1), 0);

  // Level 1: the most frequent class is found, and found again further on.
  TSelection selection;
  selection.kind = kSelectClass;
  selection.classLevel = 1;
  selection.firstClass = static_cast<uint32_t>(OntologyEngine->RankedClass(1, 1));
  TextWords.Rewind();
  ASSERT_TRUE(FindNextSelectedOccurrence(false, TextWords, selection));
  EXPECT_GT(selection.matchPosition, 0);

  // Level 4: a group is found through the words of its sub-groups.
  ASSERT_TRUE(OntologyEngine->IsScenarioLoaded());
  EXPECT_NE(Options->Get(opt::ScenarioFileDate), 0u);  // the date of the Scenario read
  const RelationRecordSource& records = *RunRelations.source;
  uint32_t deep = 0;
  for (size_t r = 0; r < records.RecordCount() && !deep; ++r)
    for (int slot = 0; slot < kRelationWindowSize && !deep; ++slot) {
      const uint32_t e = records.WindowClass(r, slot, 4);
      if (e && OntologyEngine->ScenarioEntryDepth(e) > 0) deep = e;
    }
  ASSERT_NE(deep, 0u) << "the text should reach a sub-group of the Scenario";
  uint32_t root = deep;
  while (OntologyEngine->ScenarioEntryParent(root)) root = OntologyEngine->ScenarioEntryParent(root);
  selection.Clear();
  selection.kind = kSelectClass;
  selection.classLevel = 4;
  selection.firstClass = root;
  TextWords.Rewind();
  EXPECT_TRUE(FindNextSelectedOccurrence(false, TextWords, selection));
  // The level-4 count is the group's, as the ranking shows it.
  EXPECT_EQ(OntologyEngine->ClassOccurrences(4, OntologyEngine->RankedClass(4, 1)),
            OntologyEngine->RankedClassOccurrences(4, 1));
  EXPECT_GT(OntologyEngine->ClassOccurrences(4, OntologyEngine->RankedClass(4, 1)), 0u);

  // Releasing the text drops the records.
  EndAnalysisRun();
  EXPECT_EQ(RunRelations.source, nullptr);
  TextWords.Rewind();
  EXPECT_FALSE(FindNextSelectedOccurrence(false, TextWords, selection));
}

// A gauge view that records whether it is shown and presses Stop once the
// semantic pass has begun.
class StopInSemanticPass : public NullGaugeView {
 public:
  explicit StopInSemanticPass(int* shown) : shown_(shown) {}
  void SetShown(bool shown) override { *shown_ = shown ? 1 : 0; }
  void SetCaption(int line, const std::string& text) override {
    if (line == 1 && text == GetMessageText(kMsgSemanticAnalysis)) inPass_ = true;
  }
  void ProcessEvents() override {
    if (inPass_ && Progress.gauge && !pressed_) {
      pressed_ = true;
      Progress.gauge->ButtonArretClick();
    }
  }

 private:
  int* shown_;
  bool inPass_ = false;
  bool pressed_ = false;
};

TEST_F(RunWiringTest, TwoAnalysesInOneProcessKeepWhatEachMadeAlone) {
  std::string corpus;
  ASSERT_TRUE(testing_support::CorpusFolder("plain", corpus));
  const std::string first = corpus + "/ca01.txt", second = corpus + "/cg12.txt";
  std::string alone[2];
  {
    TAnalysis a;
    ASSERT_TRUE(RunInto(a, first));
    ASSERT_GT(a.segments.words, 0u);
    alone[0] = Summary(a);
  }
  {
    TAnalysis b;
    ASSERT_TRUE(RunInto(b, second));
    alone[1] = Summary(b);
  }
  ASSERT_NE(alone[0], alone[1]);
  ASSERT_NE(alone[0].find("episode"), std::string::npos);
  // One after the other, the first kept while the second runs.
  TAnalysis one, two;
  ASSERT_TRUE(RunInto(one, first));
  ASSERT_TRUE(RunInto(two, second));
  EXPECT_EQ(Summary(one), alone[0]);
  EXPECT_EQ(Summary(two), alone[1]);
  // The first again, into its own object, while the second's stays.
  ASSERT_TRUE(RunInto(one, first));
  EXPECT_EQ(Summary(one), alone[0]);
  EXPECT_EQ(Summary(two), alone[1]);
}

TEST_F(RunWiringTest, AStoppedSemanticPassReleasesTheRun) {
  int shown = -1;
  SetGaugeViewFactory([&] { return std::make_unique<StopInSemanticPass>(&shown); });
  ui_.ui.QueueAnswer(1);  // Yes to "Do you really want to stop this process?"
  FileQueue.Clear();
  FileQueue.Add(text_.c_str());
  EXPECT_FALSE(RunAnalysis(analysis_, 0, TakeRunSettings(*Options)));
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(Progress.gauge, nullptr);
  EXPECT_EQ(AnalysisResults, nullptr);
  EXPECT_EQ(TextWords.Count(), 0u);
  EXPECT_EQ(RunRelations.source, nullptr);
  EXPECT_FALSE(analysis_.run.running);

  // A gauge asked for hidden is made hidden.
  ShowRunGauge(analysis_.run, false);
  EXPECT_EQ(shown, 0);
  CloseProgressGauge();
}

TEST_F(RunWiringTest, StopFinishesTheSegmentBufferOfALoading) {
  TextWords.Clear();
  TSegmentBuffer buffer;
  buffer.Init();
  ASSERT_TRUE(buffer.PushWord("dogs", ""));
  ASSERT_TRUE(buffer.PushWord("sleep", " "));
  EXPECT_EQ(TextWords.Count(), 0u);  // still in the segment
  TAnalysis analysis;
  analysis.loading = &buffer;
  analysis.run.running = true;
  StopRun(analysis);
  EXPECT_TRUE(analysis.run.aborted);
  EXPECT_FALSE(analysis.run.running);
  EXPECT_GE(TextWords.Count(), 2u);
}

TEST_F(RunWiringTest, TheWordsKeepTheirReadingValues) {
  ASSERT_TRUE(Run(text_));
  int withValue = 0;
  for (TWordNode* n = TextWords.First(); n != TextWords.Tail(); n = TWordList::NextNode(n)) {
    if (n->category.ClassIds[0] == 0) continue;
    if (OntologyEngine->LookupReading(n->text, 0) && !OntologyEngine->LastReadingAmbiguous()) {
      EXPECT_EQ(n->readingValue, OntologyEngine->Reading().value) << n->text;
    }
    if (n->readingValue > 0) ++withValue;
  }
  EXPECT_GT(withValue, 0);

  // The kept characteristic propositions are explained with their count.
  TFindingExplanation e = TDiagnosisList::ExplainFinding(566);
  EXPECT_EQ(e.message, 369);
  EXPECT_EQ(e.text, std::to_string(AnalysisResults->CharacteristicCount) + " propositions kept on " +
                        std::to_string(AnalysisResults->CandidateCount));
}

// The first step of the semantic pass walks the words on a thread of its own
// while they are loaded: the words, counts and relations are those of a pass
// that walks them after the loading.
TEST_F(RunWiringTest, FirstPassOnAThreadBesideTheLoadingGivesTheWholePassResults) {
  std::string text;
  for (int i = 0; i < 400; ++i)
    text += std::string(kText) + "In 1961 the " + std::to_string(i) + " jurors of Fulton County met twice, then " +
            "three times; a zorbling and the zorblings of Ms. Quux.\n";
  WriteWholeFile(text_, text);
  Options->Set(opt::Normalisation, uint8_t{1});
  ASSERT_TRUE(Run(text_));
  auto state = [] {
    std::string out;
    for (TWordNode* n = TextWords.First(); n != TextWords.Tail(); n = TWordList::NextNode(n)) {
      const TWordCategoryData& d = n->category;
      out += std::string(n->text) + " " + std::to_string(n->lexicalEntry) + " " + std::to_string(n->readingValue) +
             " " + std::to_string(DisplayCode(d.Category)) + " " + std::to_string(d.ClassMark);
      for (uint32_t c : d.ClassIds) out += " " + std::to_string(c);
      out += "\n";
    }
    for (int level = 1; level <= 3; ++level) {
      out += "level " + std::to_string(level) + " " + std::to_string(OntologyEngine->RankedClassTotal(level));
      for (int rank = 1; rank <= std::min(20, OntologyEngine->RankedClassTotal(level)); ++rank)
        out += " " + std::to_string(OntologyEngine->RankedClass(level, rank)) + ":" +
               std::to_string(OntologyEngine->RankedClassOccurrences(level, rank));
      out += "\n";
    }
    out += "relations " + std::to_string(AnalysisResults->Relations.Count()) + " " +
           std::to_string(AnalysisResults->Relations.KindCount(1)) + " retention " +
           std::to_string(AnalysisResults->RetentionCount);
    return out;
  };
  const std::string beside = state();
  ASSERT_GT(TextWords.Count(), 20000u);
  // The same words again, the first step done by the pass itself.
  ASSERT_TRUE(RunSemanticPass(*AnalysisResults));
  EXPECT_EQ(state(), beside);
}

// The first semantic step follows the words of a run on a thread of its own
// from the run's first word: the words of the previous text, still in the
// list when the run starts, are neither taken nor counted, and the new
// text gets the results it gets after a run of itself.
TEST_F(RunWiringTest, TheFirstPassThreadFollowsOnlyTheNewText) {
  ASSERT_TRUE(Run(text_));
  ASSERT_TRUE(Run(text_));
  ASSERT_TRUE(AnalysisResults);
  const std::string expected = ResultsReport(*AnalysisResults);
  std::string longer;
  for (int i = 0; i < 300; ++i) longer += "The teacher reads a long letter to the children of the village school.\n";
  const std::string other = tmp_ / "other.txt";
  WriteWholeFile(other, longer);
  for (int round = 0; round < 3; ++round) {
    ASSERT_TRUE(Run(other));
    ASSERT_TRUE(Run(text_));
    ASSERT_TRUE(AnalysisResults);
    EXPECT_EQ(ResultsReport(*AnalysisResults), expected) << round;
  }
}

// A worker thread that runs out of memory shows nothing and throws nothing
// out of its thread: the run stops, and ends on the thread that started it
// with a failed allocation ("Memory low", exit code 1, from the caller's
// catch). The next run is whole.
TEST_F(RunWiringTest, AWorkerWithoutMemoryEndsTheRunOnTheCallersThread) {
  // Forty Brown files as one text: enough words for the workers to need
  // more memory as they go.
  std::string file;
  ASSERT_NO_FATAL_FAILURE(WriteFortyFiles(file));
  ASSERT_TRUE(Run(file));
  const uint32_t whole = TextWords.Count();
  EXPECT_GT(whole, 50000u);
  // The word lookups do without their cache when it cannot grow: their run
  // is whole. The others end the run. The resolved words are appended on a
  // thread of their own where more than four processors are free.
  const char* appending = UsableCores() > 4 ? "append" : "resolver";
  const std::pair<const char*, bool> roles[] = {{"first pass", true}, {appending, true}, {"word lookup", false}};
  for (const auto& [role, ends] : roles) {
    SCOPED_TRACE(role);
    ui_.ui.ClearLog();
    {
      testing::ScopedAllocationFailure failing(role, 0);
      if (ends) {
        EXPECT_THROW(Run(file), std::bad_alloc);
      } else {
        EXPECT_TRUE(Run(file));
      }
      EXPECT_GT(testing::RefusedAllocations(), 0);
    }
    if (!ends) {
      EXPECT_EQ(TextWords.Count(), whole);
    }
    EXPECT_FALSE(analysis_.run.running);
    EXPECT_FALSE(WorkerMemoryLow());
    EXPECT_TRUE(ui_.ui.Shown().empty());  // the caller's catch reports it
    ASSERT_TRUE(Run(file));
    EXPECT_EQ(TextWords.Count(), whole);
  }
}

// A run of the semantic pass that finds no memory while it keeps the
// relations of its propositions leaves pairs out: the relations and all
// that is ranked from them would be those of part of the text. The run
// fails as "Memory low" (shown once), nothing of it stays, and the next
// run is whole.
TEST_F(RunWiringTest, RelationsLeftOutForWantOfMemoryFailTheRun) {
  if (UsableCores() < 2) GTEST_SKIP() << "the pass runs on one thread here";
  std::string file;
  ASSERT_NO_FATAL_FAILURE(WriteFortyFiles(file));
  ASSERT_TRUE(Run(file));
  ASSERT_TRUE(AnalysisResults);
  const std::string whole = ResultsReport(*AnalysisResults);
  const uint32_t words = TextWords.Count();
  // Early (the first record) and late (part of the pairs kept).
  for (const long after : {0L, 20L}) {
    SCOPED_TRACE(after);
    ui_.ui.ClearLog();
    {
      testing::ScopedAllocationFailure failing("relations", after);
      EXPECT_FALSE(Run(file));
      ASSERT_GT(testing::RefusedAllocations(), 0);
    }
    EXPECT_TRUE(analysis_.run.memoryLow);
    EXPECT_FALSE(AnalysisResults) << "part of the relations kept as the results";
    EXPECT_EQ(TextWords.Count(), 0u) << "the text of a failed run stays";
    EXPECT_FALSE(WorkerMemoryLow());
    ASSERT_EQ(ui_.ui.Shown().size(), 1u);
    EXPECT_EQ(ui_.ui.Shown()[0].text, GetMessageText(kMsgMemoryLow));
    ASSERT_TRUE(Run(file));
    EXPECT_FALSE(analysis_.run.memoryLow);
    EXPECT_EQ(TextWords.Count(), words);
    ASSERT_TRUE(AnalysisResults);
    EXPECT_EQ(ResultsReport(*AnalysisResults), whole);
  }
}

TEST(WorkerThreads, MemoryLowOnAWorkerIsRecordedForTheMessageThread) {
  ScopedScriptedUi ui;
  EXPECT_TRUE(OnMessageThread());
  bool onMessageThread = true;
  bool gaveUp = false;
  bool threw = false;
  std::thread worker([&] {
    RunWorker("test worker", [&] {
      onMessageThread = OnMessageThread();
      gaveUp = ReportMemoryLow(true);
      StopIfAllocationFailed("test", true);
      threw = false;  // not reached
    });
    threw = true;
  });
  worker.join();
  EXPECT_FALSE(onMessageThread);
  EXPECT_TRUE(gaveUp);
  EXPECT_TRUE(threw);
  EXPECT_TRUE(ui.ui.Shown().empty());
  EXPECT_TRUE(WorkerMemoryLow());
  EXPECT_THROW(ThrowIfWorkerFailed(), std::bad_alloc);
  EXPECT_FALSE(WorkerMemoryLow());
  EXPECT_NO_THROW(ThrowIfWorkerFailed());
  // On the message thread the message is shown at once.
  EXPECT_TRUE(ReportMemoryLow(true));
  EXPECT_EQ(ui.ui.Shown().size(), 1u);
}

}  // namespace
}  // namespace quilor
