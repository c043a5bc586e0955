// Loading speed and memory of the word stream: a text of at least 10,000,000
// words (the Brown sample of the shared corpus repeated, tags stripped) is
// written to a temporary file and loaded into TextWords by an analysis run.
//
//   bench_stream [CORPUS_DIR] [MIN_WORDS] [LETTERS]
//
// With LETTERS the text is instead MIN_WORDS random words of that many
// letters: the word list's memory per word with long words.
// Reports words per second and peak resident bytes per word (the rise of
// ru_maxrss over the run, divided by the words loaded).
#include <dirent.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_text.h"
#include "engine/analysis.h"
#include "core/file_queue.h"
#include "core/messages.h"
#include "engine/analysis_run.h"
#include "engine/word_list.h"
#include "import/read_ahead.h"
#include "platform/message_ui.h"

namespace {

using namespace quilor;
using bench::MaxRssBytes;
using bench::StrippedCorpus;

}  // namespace

int main(int argc, char** argv) {
  std::string corpus = argc > 1 ? argv[1] : std::string(QUILOR_CORPUS_ROOT) + "/brown";
  long minWords = argc > 2 ? std::atol(argv[2]) : 10000000L;
  int letters = argc > 3 ? std::atoi(argv[3]) : 0;
  char path[] = "/tmp/quilor-bench-XXXXXX.txt";
  if (!(letters > 0 ? bench::MakeLongWordText(minWords, letters, path) : bench::MakeBenchText(corpus, minWords, path)))
    return 1;

  ScriptedMessageUi ui(false);  // the size question and the word cap answer by default
  SetMessageUi(&ui);
  InitMessages();
  FileQueue.Clear();
  FileQueue.Add(path);
  CreateReadAheadThread();

  TAnalysis analysis;
  long baseline = MaxRssBytes();
  auto start = std::chrono::steady_clock::now();
  bool ok = RunAnalysis(analysis, 0, TakeRunSettings(*Options));
  auto stop = std::chrono::steady_clock::now();
  long peak = MaxRssBytes();
  CloseProgressGauge();

  double seconds = std::chrono::duration<double>(stop - start).count();
  double words = static_cast<double>(TextWords.Count());
  std::printf("run %s, %.0f words in %.3f s\n", ok ? "ok" : "FAILED", words, seconds);
  std::printf("words per second: %.0f (target >= 10,000,000)\n", words / seconds);
  std::printf("peak resident bytes per word: %.1f (target <= 80)\n", (peak - baseline) / words);
  std::printf("messages shown: %zu\n", ui.Shown().size());
  std::remove(path);
  FreeReadAheadThread();
  SetMessageUi(nullptr);
  return ok ? 0 : 1;
}
