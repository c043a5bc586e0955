// Word lookup speed: LookupWord over the word tokens of the Brown corpus.
//
// Until the real dictionary exists, the lexicon is written by LexiconWriter
// from the corpus's word types, with codes that follow their tags. Inflected
// verb forms and plural nouns are left out, so that the lookup's fall-backs
// (plural, -ed, -ing, -s) run on them as they will on a real text.
//
// bench_lookup [corpus folder] [passes] [word list...]
// Each word list (first word of each line, as in WordNet's index files) adds
// its words as Substantives, for a lexicon of a real dictionary's size.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/lexicon.h"
#include "platform/fatal.h"
#include "platform/message_ui.h"

using namespace quilor;

namespace {

// A plausible category code for a Brown tag; 0 leaves the form to the fall-backs.
TCategoryCode CodeOfTag(const std::string& tag) {
  auto is = [&](std::initializer_list<const char*> tags) {
    return std::any_of(tags.begin(), tags.end(), [&](const char* t) { return tag == t; });
  };
  if (is({"nns", "nps", "vbd", "vbn", "vbg", "vbz"})) return 0;
  if (is({"nn", "np", "nr", "nn$", "np$"})) return 0x0F00;
  if (tag == "vb") return 0x0170;
  if (tag.rfind("be", 0) == 0 || tag.rfind("hv", 0) == 0 || tag.rfind("do", 0) == 0 || tag == "md") return 0x0181;
  if (tag.rfind("jj", 0) == 0 || tag == "od") return 0x0401;
  if (tag == "cd") return 0x0403;
  if (tag.rfind("pp", 0) == 0 || tag == "pn" || tag.rfind("wp", 0) == 0) return 0x0533;
  if (is({"at", "dt", "dti", "dts", "dtx", "abn", "abx", "ap"})) return 0x0602;
  if (tag == "in") return 0x0209;
  if (tag == "cc" || tag == "cs") return 0x0204;
  if (tag.rfind("rb", 0) == 0 || is({"ql", "rn", "*", "wrb"})) return 0x0303;
  if (tag == "wdt") return 0x0501;
  return 0x0F00;
}

struct Corpus {
  std::vector<std::string> tokens;
  std::map<std::string, std::vector<TCategoryCode>> types;
};

Corpus ReadCorpus(const std::filesystem::path& folder) {
  Corpus c;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.size() != 4 || name[0] != 'c') continue;
    std::ifstream in(entry.path());
    std::string item;
    while (in >> item) {
      const size_t slash = item.rfind('/');
      if (slash == std::string::npos || slash == 0) continue;
      std::string word = item.substr(0, slash), tag = item.substr(slash + 1);
      tag = tag.substr(0, tag.find('-'));
      if (tag.find('+') != std::string::npos) tag = "nn";
      if (!std::any_of(word.begin(), word.end(), [](char ch) { return std::isalpha(static_cast<unsigned char>(ch)); }))
        continue;
      LowerCaseString(word);
      if (word.size() > 79) word.resize(79);
      c.tokens.push_back(word);
      const TCategoryCode code = CodeOfTag(tag);
      if (!code) continue;
      auto& codes = c.types[word];
      if (codes.size() < kMaxReadings && std::find(codes.begin(), codes.end(), code) == codes.end())
        codes.push_back(code);
    }
  }
  return c;
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::path(QUILOR_CORPUS_ROOT) / "brown";
  const int passes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  if (!fs::exists(folder)) {
    std::fprintf(stderr, "corpus not found: %s\n", folder.string().c_str());
    return 1;
  }
  ScopedScriptedUi ui;
  Corpus corpus = ReadCorpus(folder);
  for (int a = 3; a < argc; ++a) {
    std::ifstream in(argv[a]);
    std::string line;
    while (std::getline(in, line)) {
      if (line.empty() || line[0] == ' ') continue;
      std::string word = line.substr(0, line.find(' '));
      LowerCaseString(word);
      if (word.size() < 80 && !corpus.types.count(word)) corpus.types[word] = {0x0F00};
    }
  }
  LexiconWriter writer(DefaultWorkingTables());
  for (const auto& [word, codes] : corpus.types) writer.AddWord(word, codes);
  std::string error;
  const std::vector<uint8_t> image = writer.Build(&error);
  if (image.empty()) {
    std::fprintf(stderr, "lexicon: %s\n", error.c_str());
    return 1;
  }
  TMainDictionary d(image.data(), image.size(), "brown.lv8");
  uint64_t nodes = 0;
  for (int t = 1; t <= kLexiconSubTries; ++t) nodes += d.NodeCount(t);

  std::vector<int> lengths;
  lengths.reserve(corpus.tokens.size());
  for (const auto& t : corpus.tokens) lengths.push_back(static_cast<int>(t.size()));
  uint64_t calls = 0, found = 0, foundAsWritten = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int pass = 0; pass < passes; ++pass) {
    for (size_t i = 0; i < corpus.tokens.size(); ++i) {
      const char* w = corpus.tokens[i].c_str();
      // Readings are asked in turn while the last one says another follows.
      for (int r = 0; r < kMaxReadings; ++r) {
        ++calls;
        const int result = LookupWord(d, r, lengths[i], true, true, w);
        if (result <= 0) break;
        if (r == 0) {
          ++found;
          foundAsWritten += d.WordFoundAsWritten;
        }
        if (!(d.value & kCodeBitAnotherReading)) break;
      }
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("word types %zu, lexicon nodes %llu (%.1f MB of tries), tokens %zu x %d passes\n", corpus.types.size(),
              static_cast<unsigned long long>(nodes), nodes * 7 / 1e6, corpus.tokens.size(), passes);
  std::printf("found %.1f%% of tokens (%.1f%% as written, the rest through the fall-backs)\n",
              100.0 * found / (corpus.tokens.size() * passes),
              100.0 * foundAsWritten / (corpus.tokens.size() * passes));
  std::printf("LookupWord: %llu calls in %.3f s = %.2f million lookups/s\n", static_cast<unsigned long long>(calls),
              seconds, calls / seconds / 1e6);
  return 0;
}
