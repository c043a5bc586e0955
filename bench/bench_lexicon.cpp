// Loading time and lookup speed of the English lexicon: englex.lv8 is loaded
// several times (the best and the median time are reported), then every
// word of the Brown sample is looked up (first reading, with the fall-backs).
//
//   bench_lexicon [DICO_DIR] [CORPUS_DIR]
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/chartables.h"
#include "core/lexicon.h"

namespace {

using namespace quilor;
using Clock = std::chrono::steady_clock;

long MaxRssBytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss * 1024L;
}

}  // namespace

int main(int argc, char** argv) {
  std::string dico = argc > 1 ? argv[1] : std::string(QUILOR_SOURCE_DIR) + "/build/default/Dico";
  std::string corpus = argc > 2 ? argv[2] : std::string(QUILOR_CORPUS_ROOT) + "/brown";
  std::string lexicon = dico + "/englex.lv8";
  if (!std::filesystem::exists(lexicon)) {
    std::fprintf(stderr, "bench_lexicon: %s not found\n", lexicon.c_str());
    return 1;
  }
  long rssBefore = MaxRssBytes();
  std::vector<double> times;
  for (int i = 0; i < 7; ++i) {
    auto t0 = Clock::now();
    TMainDictionary d(lexicon, 2);
    times.push_back(std::chrono::duration<double>(Clock::now() - t0).count());
    if (!d.ready) {
      std::fprintf(stderr, "bench_lexicon: %s did not load\n", lexicon.c_str());
      return 1;
    }
  }
  std::sort(times.begin(), times.end());
  std::printf("englex.lv8 (%ju bytes): load best %.3f s, median %.3f s; peak memory +%.1f MB\n",
              static_cast<uintmax_t>(std::filesystem::file_size(lexicon)), times.front(), times[times.size() / 2],
              (MaxRssBytes() - rssBefore) / 1e6);

  std::vector<std::string> words;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(corpus, ec)) {
    if (e.path().filename().string().size() != 4) continue;
    std::ifstream in(e.path());
    std::string token;
    while (in >> token) {
      size_t slash = token.rfind('/');
      std::string w = token.substr(0, slash);
      if (w.empty() || w.size() > 79) continue;
      for (char& c : w) c = static_cast<char>(ToLowerChar(static_cast<unsigned char>(c)));
      words.push_back(w);
    }
  }
  if (words.empty()) {
    std::printf("no corpus at %s: lookups not measured\n", corpus.c_str());
    return 0;
  }
  TMainDictionary d(lexicon, 2);
  long found = 0;
  auto t0 = Clock::now();
  for (const std::string& w : words)
    if (LookupWord(d, 0, static_cast<int>(w.size()), true, false, w.c_str()) > 0) ++found;
  double s = std::chrono::duration<double>(Clock::now() - t0).count();
  std::printf("LookupWord: %zu words in %.3f s (%.0f words/s), %ld found\n", words.size(), s, words.size() / s, found);
  return 0;
}
