// Speed and memory of a whole analysis: a text of at least 10,000,000 words
// (the plain text of the Brown sample of the shared corpus, repeated) is loaded,
// segmented, classified, related and ranked by one analysis run.
//
//   bench_analysis [DICO_DIR] [CORPUS_DIR] [MIN_WORDS] [LETTERS] [PASSES]
//
// With LETTERS the text is instead MIN_WORDS random words of that many
// letters (the word list's worst case: long words, nearly all different).
// DICO_DIR holds the lexicon, the matrix, the name indexes and englex.sv8 (by default the build's
// Dico folder). Reports words per second of the whole run and of the
// semantic pass alone (run again PASSES times over the same words, default
// once: the fastest and the median of the runs), the peak resident
// bytes per word (the rise of ru_maxrss over the run, divided by the words)
// and the peak resident memory of the whole process.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/analysis.h"
#include "core/tool_main.h"
#include "bench/bench_text.h"
#include "core/file_queue.h"
#include "core/messages.h"
#include "engine/analysis_dictionaries.h"
#include "engine/analysis_results.h"
#include "engine/analysis_run.h"
#include "engine/category_counters.h"
#include "engine/ontology_engine.h"
#include "engine/semantic_pass.h"
#include "engine/word_list.h"
#include "import/read_ahead.h"
#include "platform/fatal.h"
#include "platform/message_ui.h"

namespace {

using namespace quilor;

int Bench(int argc, char** argv) {
  std::string dico = argc > 1 ? argv[1] : std::string(QUILOR_SOURCE_DIR) + "/build/default/Dico";
  std::string corpus = argc > 2 ? argv[2] : std::string(QUILOR_CORPUS_ROOT) + "/plain";
  long minWords = argc > 3 ? std::atol(argv[3]) : 10000000L;
  int letters = argc > 4 ? std::atoi(argv[4]) : 0;
  const int passes = argc > 5 ? std::max(1, std::atoi(argv[5])) : 1;

  ScriptedMessageUi ui(false);  // the size question and the word cap answer by default
  SetMessageUi(&ui);
  InitMessages();
  OpenAnalysisDictionaries(dico);
  StartOntologyEngine(dico + "/englex.sv8");

  char path[] = "/tmp/quilor-bench-XXXXXX.txt";
  if (!(letters > 0 ? bench::MakeLongWordText(minWords, letters, path)
                    : bench::MakeBenchText(corpus, minWords, path, bench::CorpusForm::kPlain)))
    return 1;
  FileQueue.Clear();
  FileQueue.Add(path);
  CreateReadAheadThread();

  TAnalysis analysis;
  long baseline = bench::MaxRssBytes();
  const double cpuStart = bench::CpuSeconds();
  auto start = std::chrono::steady_clock::now();
  bool ok = RunAnalysis(analysis, 0, TakeRunSettings(*Options)) && AnalysisResults && AnalysisResults->ResultsReady;
  auto stop = std::chrono::steady_clock::now();
  const double cpuSeconds = bench::CpuSeconds() - cpuStart;
  long peak = bench::MaxRssBytes();
  CloseProgressGauge();
  std::remove(path);

  double seconds = std::chrono::duration<double>(stop - start).count();
  // Words proper: the proposition marks among the nodes are not counted.
  double words = static_cast<double>(RunCounts.words);
  size_t relations = AnalysisResults ? AnalysisResults->Relations.Count() : 0;
  size_t pairs = AnalysisResults ? AnalysisResults->Relations.KindCount(1) : 0;
  std::printf(
      "run %s, %.0f words (%u nodes with the marks) in %.3f s, %zu relation records, %zu distinct pairs of level 1\n",
      ok ? "ok" : "FAILED", words, TextWords.Count(), seconds, relations, pairs);
  std::printf("whole analysis, words per second: %.0f (target >= 2,500,000)\n", words / seconds);
  // On a shared machine the wall time counts the waits for a core; the
  // processor time of the process (all its threads) does not.
  std::printf("processor time %.3f s, words per processor second: %.0f\n", cpuSeconds, words / cpuSeconds);
  std::printf("peak resident bytes per word: %.1f (target <= 100)\n", (peak - baseline) / words);
  std::printf("peak resident memory of the process: %.1f MiB (%.1f MiB before the run: the dictionaries)\n",
              peak / 1048576.0, baseline / 1048576.0);

  if (ok) {
    std::vector<double> times;
    for (int i = 0; ok && i < passes; ++i) {
      auto again = std::chrono::steady_clock::now();
      ok = RunSemanticPass(*AnalysisResults);
      times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - again).count());
    }
    std::sort(times.begin(), times.end());
    const double passSeconds = times.front();
    std::printf("semantic pass alone: %.3f s, %.0f words per second", passSeconds, words / passSeconds);
    if (times.size() > 1) std::printf(" (fastest of %zu runs; median %.3f s)", times.size(), times[times.size() / 2]);
    std::printf("\n");
  }
  std::printf("messages shown: %zu\n", ui.Shown().size());
  AnalysisResults.reset();
  StopOntologyEngine();
  CloseAnalysisDictionaries();
  FreeReadAheadThread();
  SetMessageUi(nullptr);
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) { return quilor::RunTool(Bench, argc, argv); }
