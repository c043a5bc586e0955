// Load time of the semantic dictionary: bench_sv8_load [englex.sv8] [runs]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/name_index.h"
#include "engine/ontology_engine.h"

int main(int argc, char** argv) {
  std::string path = argc > 1 ? argv[1] : std::string(QUILOR_SOURCE_DIR) + "/build/default/Dico/englex.sv8";
  int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  std::vector<double> ms;
  quilor::TOntologyEngine* last = nullptr;
  for (int i = 0; i < std::max(runs, 1); ++i) {
    auto t0 = std::chrono::steady_clock::now();
    auto* engine = new quilor::TOntologyEngine;
    engine->LoadFile(path);
    auto t1 = std::chrono::steady_clock::now();
    ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    delete last;
    last = engine;
  }
  std::sort(ms.begin(), ms.end());
  std::printf("englex.sv8 load: min %.1f ms, median %.1f ms over %zu runs\n", ms.front(), ms[ms.size() / 2], ms.size());
  std::printf("classes: level 1 %d, level 2 %d, level 3 %d; text index names %u\n", last->DictionaryClassCount(1),
              last->DictionaryClassCount(2), last->DictionaryClassCount(3), last->TextIndexNameCount());
  delete last;
  // As at start-up: the engine, the text index of base forms and the links.
  std::vector<double> start;
  for (int i = 0; i < std::max(runs, 1); ++i) {
    auto t0 = std::chrono::steady_clock::now();
    quilor::StartOntologyEngine(path);
    auto t1 = std::chrono::steady_clock::now();
    start.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    quilor::StopOntologyEngine();
    delete quilor::TextIndex;
    quilor::TextIndex = nullptr;
  }
  std::sort(start.begin(), start.end());
  std::printf("start-up with the text index: min %.1f ms, median %.1f ms\n", start.front(), start[start.size() / 2]);
  return 0;
}
