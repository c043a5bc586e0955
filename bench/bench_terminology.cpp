// The terminology extractor on a large text: the scan of the candidate terms
// (words that start a compound, compounds of nouns, adjectives and linking
// determinants) and the filter that merges plurals and makes the list lines.
// The text is synthetic and the same on every run: 1,000,000 words in
// propositions of 10, drawn from 30,000 nouns (singular and plural forms),
// 500 adjectives, determinants and verbs. Prints the best and the median.
//
//   bench_terminology [runs]
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "engine/word_list.h"
#include "scenario/terminology_extractor.h"

namespace {

using namespace quilor;
using namespace quilor::ui;
using Clock = std::chrono::steady_clock;

constexpr int kWords = 1000000;
constexpr uint32_t kNouns = 30000;

std::string Noun(uint32_t n) {
  std::string word;
  for (uint32_t v = n + 1; v; v /= 26) word += static_cast<char>('a' + v % 26);
  return "n" + word + (n % 3 == 0 ? "s" : "");
}

void BuildText(TWordList& words) {
  words.Clear();
  uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) & 0xFFFFFF;
  };
  std::vector<std::string> nouns;
  for (uint32_t n = 0; n < kNouns; ++n) nouns.push_back(Noun(n));
  for (int i = 1; i <= kWords; ++i) {
    TWordCategoryData d;
    std::string text;
    const uint32_t r = next() % 10;
    if (r < 5) {
      // Frequent nouns far more often than rare ones.
      const uint32_t n = next() % (next() % 2 ? 300 : kNouns);
      d.Category.MajorClass = kClassSubstantive;
      d.ClassIds[0] = 1 + n % 50;
      text = nouns[n];
    } else if (r < 7) {
      d.Category.MajorClass = kClassAdjective;
      text = "adj" + std::to_string(next() % 500);
    } else if (r < 8) {
      d.Category.MajorClass = kClassDeterminant;
      text = "the";
    } else {
      d.Category.MajorClass = kClassVerb;
      text = "goes";
    }
    words.Append(text.c_str(), next() % 9 == 0 ? "," : " ", 0, 1, i, &d);
    if (i % 10 == 0) {
      TWordCategoryData mark;
      words.Append("/", ".", 0, 1, i, &mark);
    }
  }
}

void Measure(const char* name, int runs, const std::function<void()>& f) {
  std::vector<double> ms;
  for (int r = 0; r < runs; ++r) {
    const auto start = Clock::now();
    f();
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%-44s best %9.3f ms   median %9.3f ms\n", name, ms.front(), ms[ms.size() / 2]);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  static TWordList words;
  BuildText(words);
  TermSource source;
  source.level1Occurrences = [](uint32_t cls) { return cls != 0 ? 100u : 0u; };
  source.scenarioEntry = [](const std::string&) { return 0u; };
  source.scenarioName = [](uint32_t) { return std::string(); };
  TermFilter all;
  size_t lines = 0;
  bool complete = false;
  Measure("scan, 1,000,000 words", runs, [&] {
    TermCandidates candidates;
    candidates.Scan(words, source);
    complete = candidates.Complete();
  });
  Measure("scan and filter (compounds and words)", runs, [&] {
    TermCandidates candidates;
    candidates.Scan(words, source);
    lines = candidates.Filter(all, source).size();
  });
  std::printf("  (%zu lines, scan %s)\n", lines, complete ? "complete" : "stopped at a full index");
  return 0;
}
