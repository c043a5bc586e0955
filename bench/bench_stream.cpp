// Loading speed and memory of the word stream: a text of at least 10,000,000
// words (the Brown sample of the shared corpus repeated, tags stripped) is
// written to a temporary file and loaded into TextWords by an analysis run.
//
//   bench_stream [CORPUS_DIR] [MIN_WORDS]
//
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

#include "core/file_queue.h"
#include "core/messages.h"
#include "engine/analysis_run.h"
#include "engine/word_list.h"
#include "import/read_ahead.h"
#include "platform/message_ui.h"

namespace {

using namespace quilor;

long MaxRssBytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss * 1024L;  // kilobytes on Linux
}

// The corpus text without its tags: "word/tag" tokens become "word".
std::string StrippedCorpus(const std::string& dir, long& words) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n.size() == 4 && n[0] == 'c') names.push_back(n);  // ca01 .. cj80
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  std::string out;
  words = 0;
  for (const std::string& n : names) {
    std::ifstream in(dir + "/" + n);
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream tokens(line);
      std::string token;
      bool any = false;
      while (tokens >> token) {
        size_t slash = token.rfind('/');
        if (slash != std::string::npos && slash > 0) token.resize(slash);
        out += token;
        out += ' ';
        // Punctuation tokens are no words for the scanner.
        if (std::any_of(token.begin(), token.end(), [](unsigned char c) { return std::isalnum(c); })) ++words;
        any = true;
      }
      if (any) out += '\n';
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  std::string corpus = argc > 1 ? argv[1] : "/work/shared/corpus/brown";
  long minWords = argc > 2 ? std::atol(argv[2]) : 10000000L;
  char path[] = "/tmp/quilor-bench-XXXXXX.txt";
  int fd = mkstemps(path, 4);
  if (fd < 0) {
    std::perror("mkstemps");
    return 1;
  }
  close(fd);

  // The text is made in a child process, so that its memory does not count.
  pid_t child = fork();
  if (child == 0) {
    long perCopy = 0;
    std::string text = StrippedCorpus(corpus, perCopy);
    if (perCopy == 0) _exit(2);
    std::ofstream out(path, std::ios::binary);
    for (long written = 0; written < minWords; written += perCopy) out << text;
    _exit(out ? 0 : 3);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "could not make the text from %s\n", corpus.c_str());
    std::remove(path);
    return 1;
  }

  ScriptedMessageUi ui(false);  // the size question and the word cap answer by default
  SetMessageUi(&ui);
  InitMessages();
  FileQueue.Clear();
  FileQueue.Add(path);
  CreateReadAheadThread();

  long baseline = MaxRssBytes();
  auto start = std::chrono::steady_clock::now();
  bool ok = RunAnalysis(0);
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
