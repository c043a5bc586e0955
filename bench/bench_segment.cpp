// Speed and memory of loading with segmentation and disambiguation: a text of
// at least 10,000,000 words (the Brown sample of the shared corpus repeated,
// tags stripped) is read by an analysis run with the English dictionaries,
// so that every word is looked up, joined, resolved and appended with its
// category and the proposition marks.
//
//   bench_segment [CORPUS_DIR] [MIN_WORDS] [DICO_DIR]
//
// DICO_DIR defaults to the Dico folder of the build. Reports words per
// second and the peak resident bytes per word (the rise of ru_maxrss over
// the run, the dictionaries being loaded before, divided by the words).
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/bench_text.h"
#include "engine/analysis.h"
#include "core/file_queue.h"
#include "core/messages.h"
#include "engine/analysis_dictionaries.h"
#include "engine/analysis_run.h"
#include "engine/segment_buffer.h"
#include "engine/word_list.h"
#include "import/read_ahead.h"
#include "platform/fatal.h"
#include "platform/message_ui.h"

namespace {

// <build>/Dico beside <build>/bench/bench_segment.
std::string BuildDico() {
  char path[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "Dico";
  path[n] = '\0';
  std::string exe(path);
  std::string dir = exe.substr(0, exe.find_last_of('/'));
  return dir.substr(0, dir.find_last_of('/')) + "/Dico";
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace quilor;
  std::string corpus = argc > 1 ? argv[1] : std::string(QUILOR_CORPUS_ROOT) + "/brown";
  long minWords = argc > 2 ? std::atol(argv[2]) : 10000000L;
  std::string dico = argc > 3 ? argv[3] : BuildDico();
  char path[] = "/tmp/quilor-bench-XXXXXX.txt";
  if (!bench::MakeBenchText(corpus, minWords, path)) return 1;

  ScriptedMessageUi ui(false);  // the size question and the word cap answer by default
  SetMessageUi(&ui);
  InitMessages();
  try {
    OpenAnalysisDictionaries(dico);
  } catch (const FatalError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    std::remove(path);
    return 1;
  }
  FileQueue.Clear();
  FileQueue.Add(path);
  CreateReadAheadThread();

  TAnalysis analysis;
  long baseline = bench::MaxRssBytes();
  const double cpuBefore = CpuSeconds();
  auto start = std::chrono::steady_clock::now();
  bool ok = RunAnalysis(analysis, 0, TakeRunSettings(*Options));
  auto stop = std::chrono::steady_clock::now();
  const double cpu = CpuSeconds() - cpuBefore;
  long peak = bench::MaxRssBytes();
  CloseProgressGauge();

  double seconds = std::chrono::duration<double>(stop - start).count();
  double words = 0, marks = 0;
  for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n))
    (std::strcmp(n->text, "/") == 0 ? marks : words) += 1;
  std::printf("run %s, %.0f words and %.0f proposition marks in %.3f s\n", ok ? "ok" : "FAILED", words, marks, seconds);
  std::printf("words per second: %.0f (target >= 2,000,000)\n", words / seconds);
  // On a shared machine the processor time (both threads) tells the cost better.
  std::printf("words per processor second: %.0f\n", words / cpu);
  std::printf("peak resident bytes per word: %.1f (target <= 80)\n", (peak - baseline) / words);
  std::printf("messages shown: %zu\n", ui.Shown().size());
  std::remove(path);
  FreeReadAheadThread();
  CloseAnalysisDictionaries();
  SetMessageUi(nullptr);
  return ok ? 0 : 1;
}
