// Classification of the nouns of the Brown corpus, file by file as the
// semantic pass does it: pass 1 over every noun, pass 2 on the ambiguous ones.
//   bench_ontology_classify [englex.sv8] [corpus folder]
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/ontology_engine.h"

namespace {

// The nouns (tags nn, nns, np, nps with their suffixes) of a tagged file.
std::vector<std::string> NounsOf(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::vector<std::string> nouns;
  std::string token;
  while (in >> token) {
    size_t slash = token.rfind('/');
    if (slash == std::string::npos || slash == 0) continue;
    std::string tag = token.substr(slash + 1);
    tag = tag.substr(0, tag.find('-'));
    if (tag == "nn" || tag == "nns" || tag == "np" || tag == "nps") nouns.push_back(token.substr(0, slash));
  }
  return nouns;
}

}  // namespace

int main(int argc, char** argv) {
  std::string path = argc > 1 ? argv[1] : std::string(QUILOR_SOURCE_DIR) + "/build/default/Dico/englex.sv8";
  std::string corpus = argc > 2 ? argv[2] : std::string(QUILOR_CORPUS_ROOT) + "/brown";
  quilor::TOntologyEngine engine;
  engine.LoadFile(path);
  std::vector<std::vector<std::string>> files;
  for (const auto& e : std::filesystem::directory_iterator(corpus)) {
    std::string name = e.path().filename().string();
    if (name.size() == 4 && std::isalpha(static_cast<unsigned char>(name[0]))) files.push_back(NounsOf(e.path()));
  }
  size_t nouns = 0, known = 0, ambiguous = 0, added = 0;
  auto t0 = std::chrono::steady_clock::now();
  for (const auto& words : files) {
    engine.ResetTextClasses();
    engine.ClearTextCounts();
    engine.ResetHistory();
    std::vector<const std::string*> second;
    int32_t value = 0;
    for (const std::string& w : words) {
      ++nouns;
      if (engine.ClassifySubstantive(w, nullptr, value)) {
        if (engine.IsAddedClass(1, static_cast<int32_t>(engine.BestClasses()[0]))) ++added;
        else ++known;
      } else {
        second.push_back(&w);
      }
    }
    for (const std::string* w : second) {
      ++ambiguous;
      if (engine.ClassifyWord(*w, value, true)) engine.PushHistory(engine.BestClasses());
    }
    for (int l = 1; l <= 3; ++l) engine.RankLevel(l);
  }
  double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  std::printf("%zu files, %zu nouns in %.3f s (%.0f nouns/s)\n", files.size(), nouns, s, nouns / s);
  std::printf("one reading %zu, ambiguous %zu, added classes %zu (%.1f%% of nouns known to the dictionary)\n", known,
              ambiguous, added,
              100.0 * static_cast<double>(known + ambiguous) / static_cast<double>(nouns ? nouns : 1));
  return 0;
}
