// Bursts, episodes and characteristic propositions of a 65,535-word text.
//
// The text is synthetic and the same on every run: a proposition mark every
// 6 to 14 words; 30% substantives classified under 800 classes drawn with a
// Zipf-like law, topics that change every 2,000 words (so that classes
// come in bursts), and the verbs, connectors, modalities and pronouns of an
// ordinary English text. Prints the best and the median of the runs.
//
//   bench_bursts [runs]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "engine/bursts.h"
#include "tests/engine/burst_text_builder.h"

namespace {

using namespace quilor;
using testing_words::Category;
using Clock = std::chrono::steady_clock;

void BuildText(TWordList& list, int32_t words) {
  testing_words::TextBuilder b(list);
  std::mt19937 random(20261207);
  std::uniform_real_distribution<double> unit(0, 1);
  int untilMark = 10;
  int topic = 0;
  while (b.Position() < words) {
    if (b.Position() % 2000 == 0) topic = static_cast<int>(random() % 40);
    const double u = unit(random);
    if (u < 0.30) {
      // Zipf-like over 800 classes, the topic's own 20 classes favoured.
      const uint32_t rank = static_cast<uint32_t>(std::pow(800.0, unit(random)));
      const uint32_t cls = unit(random) < 0.4 ? 1000 + static_cast<uint32_t>(topic) * 20 + rank % 20 : rank;
      b.Class(cls);
    } else if (u < 0.45) {
      b.Word(Category(kClassVerb, static_cast<uint8_t>(1 + random() % 4)));
    } else if (u < 0.53) {
      b.Word(Category(kClassConnector, static_cast<uint8_t>(1 + random() % 10)));
    } else if (u < 0.58) {
      b.Word(Category(kClassModality, static_cast<uint8_t>(1 + random() % 7)));
    } else if (u < 0.65) {
      b.Word(Category(kClassPronoun, 3, static_cast<uint8_t>(1 + random() % 7)));
    } else {
      b.Filler();
    }
    if (--untilMark == 0) {
      b.Mark();
      untilMark = 6 + static_cast<int>(random() % 9);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
  TWordList list;
  BuildText(list, 65535);
  TBurstResults results;
  TBurstSettings settings;
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    ComputeBurstResults(list, settings, results);
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("words %d, nodes %u: %zu bursts (%u of classes), %zu episodes, %u candidates, %u characteristic\n",
              list.HighestPosition(), list.Count(), results.bursts.size(), results.classBurstCount,
              results.episodes.size(), results.candidateCount, results.characteristicCount);
  std::printf("bursts, episodes and characteristic propositions: best %.2f ms, median %.2f ms over %d runs\n", ms[0],
              ms[ms.size() / 2], runs);
  return 0;
}
