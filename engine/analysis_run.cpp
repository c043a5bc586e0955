#include "engine/analysis_run.h"

#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <new>
#include <utility>

#include "core/borders.h"
#include "core/file_queue.h"
#include "core/files.h"
#include "core/gauge.h"
#include "core/messages.h"
#include "core/worker_threads.h"
#include "engine/analysis.h"
#include "engine/analysis_results.h"
#include "engine/bursts.h"
#include "engine/category_counters.h"
#include "engine/first_pass.h"
#include "engine/ontology_engine.h"
#include "engine/selection.h"
#include "engine/semantic_pass.h"
#include "engine/text_scanner.h"
#include "engine/word_list.h"
#include "import/text_loader.h"
#include "platform/usable_cores.h"

namespace quilor {

namespace {

constexpr int64_t kMegabyte = 1024000;

// Clears the running flag on every way out of the run that set it.
class RunningGuard {
 public:
  explicit RunningGuard(TRunFlags& run) : run_(run) { run_.running = true; }
  ~RunningGuard() { run_.running = false; }
  RunningGuard(const RunningGuard&) = delete;
  RunningGuard& operator=(const RunningGuard&) = delete;

 private:
  TRunFlags& run_;
};

// Below this many bytes of files a text is read, looked up and resolved on
// the caller's thread alone: a pipeline's threads would start, hand over a
// few segments and end, at a cost above what they save.
constexpr uint64_t kSharedWorkFromBytes = 64 * 1024;

// The bytes of the queued files; above the bound when any is not a regular
// file whose size can be read.
uint64_t QueuedFileBytes() {
  uint64_t total = 0;
  for (int i = 1; i <= FileQueue.Count(); ++i) {
    struct stat st {};
    const char* name = FileQueue.Get(i);
    if (!name || ::stat(name, &st) != 0 || !S_ISREG(st.st_mode)) return kSharedWorkFromBytes;
    total += static_cast<uint64_t>(st.st_size);
    if (total >= kSharedWorkFromBytes) break;
  }
  return total;
}

}  // namespace

void ShowRunGauge(const TRunFlags& run, bool visible) {
  if (!run.gaugeWanted) return;
  TInfoJauge& gauge = CreateInfoJauge(visible);
  gauge.DefinirMaximum(0);
  gauge.SetLetMessagesRun(true);
}

void CloseProgressGauge() {
  if (Progress.gauge) CloseInfoJauge();
}

void StopRun(TAnalysis& analysis) {
  if (analysis.loading) analysis.loading->Finish();
  analysis.run.aborted = true;
  analysis.run.running = false;
  CloseProgressGauge();
  RestoreCursor();
}

bool CheckRunStop(TAnalysis& analysis) {
  if (Progress.gauge && !Progress.gauge->Continue()) Progress.cancelRequested = true;
  // A worker that found no memory stops the run; it ends after its threads.
  if (WorkerMemoryLow()) Progress.cancelRequested = true;
  if (Progress.cancelRequested || analysis.run.aborted) {
    StopRun(analysis);
    return true;
  }
  return false;
}

bool LoadTexts(TAnalysis& analysis) {
  TextWords.Clear();
  {
    auto scanner = std::make_unique<TextScanner>(analysis);
    auto loader = std::make_unique<TTextLoader>("", *scanner);
  }
  if (Progress.cancelRequested) {
    analysis.run.stopped = true;
    return false;
  }
  return true;
}

bool LoadAndSegment(TAnalysis& analysis) {
  analysis.run.stopped = false;
  analysis.run.aborted = false;
  GeneralState->RunStarted = 1;
  LoaderState.active = true;
  LoaderState.sizeThreshold =
      static_cast<int64_t>(std::max<uint16_t>(analysis.run.settings.sizeThreshold, 2)) * kMegabyte;
  TextWords.Clear();
  if (Progress.gauge) Progress.gauge->DefinirMaximum(0);
  if (CheckRunStop(analysis)) return false;
  ClearCategoryCounters();
  if (!LoadTexts(analysis)) {
    StopRun(analysis);
    return false;
  }
  if (CheckRunStop(analysis)) return false;
  // The loader finished the segment buffer and the resolver after each file.
  ComputePercentages();
  return !CheckRunStop(analysis);
}

// A run that failed after loading leaves nothing behind: no gauge, no
// results, no words.
bool ReleaseFailedRun(TRunFlags& run) {
  run.aborted = true;
  CloseProgressGauge();
  EndAnalysisRun();
  RestoreCursor();
  return false;
}

bool ReleaseMemoryLowRun(TRunFlags& run) {
  run.memoryLow = true;
  return ReleaseFailedRun(run);
}

bool RunAnalysis(TAnalysis& analysis, uint8_t runKind, const TRunSettings& settings) {
  // A run started while one runs changes nothing.
  TRunFlags& run = analysis.run;
  if (run.running) return false;
  RunningGuard running(run);
  run.settings = settings;
  // Whatever met "Memory low" during the run left something out of it: the
  // run fails rather than show part of the text as the whole.
  const uint64_t memoryLowBefore = MemoryLowReports();
  run.memoryLow = false;
  auto leftOut = [memoryLowBefore] { return MemoryLowReports() != memoryLowBefore; };
  const bool shortText = QueuedFileBytes() < kSharedWorkFromBytes;
  ScopedCoresCap oneCore(shortText ? 1 : 0);
  // A long text reads the semantic word tables often from its start.
  if (!shortText && OntologyEngine && OntologyEngine->Ready()) OntologyEngine->BuildWordIndexAhead();
  Progress.cancelRequested = false;
  run.aborted = false;
  run.stopped = false;
  if (!settings.bordersNamed) Borders.inUse = false;
  ShowHourglass();
  // The results and words of the previous text go before the new one is
  // read: the first step of the semantic pass, when there is a processor for
  // it, walks the words while they are loaded, from the list's first node.
  EndAnalysisRun();
  ShowRunGauge(run, true);
  TFirstPassBesideLoading first;
  if (OntologyEngine && OntologyEngine->Ready() && UsableCores() > 1)
    first.Start(*OntologyEngine, settings.numbersAsWords);
  if (!LoadAndSegment(analysis)) {
    first.Finish(false);
    run.memoryLow = leftOut();
    CloseProgressGauge();
    ThrowIfWorkerFailed();
    return false;
  }
  first.Finish(true);
  ThrowIfWorkerFailed();
  Progress.cancelRequested = false;
  ShowHourglass();
  run.kind = runKind;
  // Without a semantic dictionary the run ends with the categorised words.
  // The gauge stays for the caller, which closes it after refreshing its views.
  if (!OntologyEngine || !OntologyEngine->Ready()) {
    if (leftOut()) return ReleaseMemoryLowRun(run);
    RestoreCursor();
    return true;
  }
  AnalysisResults.reset(new (std::nothrow)
                            TAnalysisResults(RunCounts.words ? RunCounts.words : TextWords.Count(), settings));
  if (!AnalysisResults || !AnalysisResults->Built) return ReleaseFailedRun(run);
  const TResultsSteps steps = BurstSteps(analysis.bursts);
  if (!RunSemanticPass(*AnalysisResults, &first, 0, &steps))
    return leftOut() ? ReleaseMemoryLowRun(run) : ReleaseFailedRun(run);
  SetRunRelations(AnalysisResults->Windows, TextWords, std::move(AnalysisResults->WindowWords));
  ThrowIfWorkerFailed();
  if (leftOut()) return ReleaseMemoryLowRun(run);
  RestoreCursor();
  return true;
}

void EndAnalysisRun() {
  ClearRunRelations();
  AnalysisResults.reset();
  TextWords.Clear();
}

}  // namespace quilor
