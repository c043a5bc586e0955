#include "engine/analysis_run.h"

#include <algorithm>
#include <memory>
#include <new>

#include "core/gauge.h"
#include "engine/analysis_results.h"
#include "engine/bursts.h"
#include "engine/category_counters.h"
#include "engine/ontology_engine.h"
#include "engine/semantic_pass.h"
#include "engine/word_list.h"
#include "import/text_loader.h"

namespace quilor {

bool CancelRequested = false;
bool RunAborted = false;
bool RunStopped = false;
bool RunRunning = false;
uint8_t RunKind = 0;
bool RunGaugeWanted = true;
uint16_t SizeThresholdOption = 2;

namespace {

constexpr int64_t kMegabyte = 1024000;

// Clears the running flag on every way out of the run that set it.
class RunningGuard {
 public:
  RunningGuard() { RunRunning = true; }
  ~RunningGuard() { RunRunning = false; }
  RunningGuard(const RunningGuard&) = delete;
  RunningGuard& operator=(const RunningGuard&) = delete;
};

}  // namespace

void ShowRunGauge(bool visible) {
  (void)visible;  // the gauge's view decides whether it is shown
  if (!RunGaugeWanted) return;
  TInfoJauge& gauge = CreateInfoJauge();
  gauge.DefinirMaximum(0);
  gauge.SetLetMessagesRun(true);
}

void CloseProgressGauge() {
  if (InfoJauge) CloseInfoJauge();
}

void StopRun() {
  RunAborted = true;
  RunRunning = false;
  CloseProgressGauge();
}

bool CheckRunStop() {
  if (GaugeShown && InfoJauge && !InfoJauge->Continue()) CancelRequested = true;
  if (CancelRequested || RunAborted) {
    StopRun();
    return true;
  }
  return false;
}

bool LoadTexts() {
  TextWords.Clear();
  {
    auto loader = std::make_unique<TTextLoader>("");
  }
  if (CancelRequested) {
    RunStopped = true;
    return false;
  }
  return true;
}

bool LoadAndSegment() {
  RunStopped = false;
  RunAborted = false;
  LoaderActive = true;
  if (SizeThresholdOption < 2) SizeThresholdOption = 2;
  SizeThreshold = static_cast<int64_t>(std::max<uint16_t>(2, SizeThresholdOption)) * kMegabyte;
  TextWords.Clear();
  if (InfoJauge) InfoJauge->DefinirMaximum(0);
  if (CheckRunStop()) return false;
  ClearCategoryCounters();
  if (!LoadTexts()) {
    StopRun();
    return false;
  }
  if (CheckRunStop()) return false;
  // The loader finished the segment buffer and the resolver after each file.
  ComputePercentages();
  return !CheckRunStop();
}

bool RunAnalysis(uint8_t runKind) {
  // A run started while one runs changes nothing.
  if (RunRunning) return false;
  RunningGuard running;
  CancelRequested = false;
  RunAborted = false;
  RunStopped = false;
  ShowRunGauge(true);
  if (!LoadAndSegment()) {
    CloseProgressGauge();
    return false;
  }
  CancelRequested = false;
  RunKind = runKind;
  // Without a semantic dictionary the run ends with the categorised words.
  // The gauge stays for the caller, which closes it after refreshing its views.
  if (!OntologyEngine || !OntologyEngine->Ready()) return true;
  AnalysisResults.reset();
  AnalysisResults.reset(new (std::nothrow) TAnalysisResults(CountedWords ? CountedWords : TextWords.Count()));
  if (!AnalysisResults || !AnalysisResults->Built) return false;
  InstallBurstSteps();
  return RunSemanticPass(*AnalysisResults);
}

void EndAnalysisRun(bool clearWords) {
  AnalysisResults.reset();
  if (clearWords && TextWords.Built()) TextWords.Clear();
}

}  // namespace quilor
