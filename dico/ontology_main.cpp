// quilor-ontology: writes englex.sv8, the gloss signatures of the ambiguous
// nouns (englex.gv8) and the default Scenario files from WordNet's nouns.
//
//   quilor-ontology --wordnet DIR --out DICO_DIR --scenario SCENARIO_DIR [--lexicon englex.lv8]
//                   [--names names.txt] [--senses FILE] [--british FILE --american FILE]
//
// --names reads the given names (dico/lists/names.txt) that are classed as
// persons; --senses writes, per noun lemma, the level-1 class and tagged
// count of each of its WordNet senses (lemma TAB class:count ...), the
// reference of tools/sense-measure. --british and --american are the word
// lists of Debian's wbritish and wamerican (/usr/share/dict/british-english,
// american-english); with them "Concepts UK V8.scn" is written too.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/chartables.h"
#include "dico/gloss_builder.h"
#include "dico/lists.h"
#include "dico/semantic_builder.h"
#include "dico/spelling_variants.h"

using namespace quilor;

namespace {

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  std::string wordnetDir = "/usr/share/wordnet", outDir = ".", scenarioDir, lexicon, names, senses, british, american;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string a = argv[i];
    if (a == "--wordnet") wordnetDir = argv[i + 1];
    else if (a == "--out") outDir = argv[i + 1];
    else if (a == "--scenario") scenarioDir = argv[i + 1];
    else if (a == "--lexicon") lexicon = argv[i + 1];
    else if (a == "--names") names = argv[i + 1];
    else if (a == "--senses") senses = argv[i + 1];
    else if (a == "--british") british = argv[i + 1];
    else if (a == "--american") american = argv[i + 1];
    else {
      std::fprintf(stderr, "quilor-ontology: unknown option %s\n", a.c_str());
      return 2;
    }
  }
  wordnet::Database db;
  std::string error;
  if (!db.Load(wordnetDir, error)) {
    std::fprintf(stderr, "quilor-ontology: %s\n", error.c_str());
    return 1;
  }
  ontology_build::BuildOptions options;
  std::memcpy(options.letterGroups, DefaultWorkingTables().letterGroup, 256);
  if (!lexicon.empty()) {
    // The word tables are chosen by the letter groups of the lexicon they go with.
    std::ifstream in(lexicon, std::ios::binary);
    char head[284];
    if (in.read(head, sizeof head)) std::memcpy(options.letterGroups, head + 28, 256);
    else std::fprintf(stderr, "quilor-ontology: %s unreadable, default letter groups used\n", lexicon.c_str());
  }
  if (!names.empty()) {
    dico::WordLists lists;
    std::string text;
    if (!wordnet::ReadWholeFile(names, text, error) || !dico::ParseNameList(text, names, lists, error)) {
      std::fprintf(stderr, "quilor-ontology: %s\n", error.c_str());
      return 1;
    }
    options.givenNames = lists.givenNames;
  }
  if (!british.empty() && !american.empty()) {
    std::string britishText, americanText;
    if (!wordnet::ReadWholeFile(british, britishText, error) ||
        !wordnet::ReadWholeFile(american, americanText, error)) {
      std::fprintf(stderr, "quilor-ontology: %s\n", error.c_str());
      return 1;
    }
    options.britishSpellings =
        dico::PairSpellings(dico::ParseSpellingList(britishText), dico::ParseSpellingList(americanText));
    std::printf("British spellings paired with American ones: %zu\n", options.britishSpellings.size());
  }
  ontology_build::SemanticBuilder builder(db, options);
  SemanticDictionary d;
  if (!builder.Build(d, error)) {
    std::fprintf(stderr, "quilor-ontology: %s\n", error.c_str());
    return 1;
  }
  for (const std::string& w : builder.Statistics().warnings)
    std::fprintf(stderr, "quilor-ontology: warning: %s\n", w.c_str());
  std::filesystem::create_directories(outDir);
  if (!WriteFile(outDir + "/englex.sv8", WriteSemanticDictionary(d))) {
    std::fprintf(stderr, "quilor-ontology: cannot write %s/englex.sv8\n", outDir.c_str());
    return 1;
  }
  {
    std::unordered_map<std::string_view, uint32_t> entries;
    for (size_t i = 0; i < d.textNames.size(); ++i) entries.emplace(d.textNames[i], static_cast<uint32_t>(i));
    std::vector<ontology_build::SignatureLemma> lemmas;
    for (const auto& lemma : builder.SenseTable()) {
      auto it = entries.find(lemma.lemma);
      if (it == entries.end()) continue;
      ontology_build::SignatureLemma l{lemma.lemma, it->second, {}};
      for (const auto& [cls, count] : lemma.senses) l.classes.push_back(cls);
      lemmas.push_back(std::move(l));
    }
    const GlossSignatureImage glosses = ontology_build::BuildGlossSignatures(db, lemmas);
    if (!WriteFile(outDir + "/englex.gv8", WriteGlossSignatures(glosses))) {
      std::fprintf(stderr, "quilor-ontology: cannot write %s/englex.gv8\n", outDir.c_str());
      return 1;
    }
    size_t items = 0;
    for (const auto& r : glosses.readings) items += r.items.size();
    std::printf("gloss signatures: %zu readings, %zu words, %u distinct\n", glosses.readings.size(), items,
                glosses.wordCount - 1);
  }
  if (!senses.empty()) {
    std::ofstream out(senses, std::ios::trunc);
    for (const auto& lemma : builder.SenseTable()) {
      out << lemma.lemma;
      for (const auto& [cls, count] : lemma.senses) out << '\t' << cls << ':' << count;
      out << '\n';
    }
    if (!out) {
      std::fprintf(stderr, "quilor-ontology: cannot write %s\n", senses.c_str());
      return 1;
    }
  }
  const auto& st = builder.Statistics();
  std::printf(
      "classes: level 1 %d, level 2 %d, level 3 %d; lemmas %d, irregular forms %d, plural lemmas read as plurals %d, "
      "British spellings read as American %d, readings %d, word-table nodes %zu\n",
      st.classes[0], st.classes[1], st.classes[2], st.lemmas, st.irregularForms, st.pluralLemmas, st.britishForms,
      st.records, st.wordTableNodes);
  if (!scenarioDir.empty()) {
    std::filesystem::create_directories(scenarioDir);
    for (const auto& s : builder.DefaultScenarios()) {
      if (!WriteFile(scenarioDir + "/" + s.name, FormatClassFileText(s.list))) {
        std::fprintf(stderr, "quilor-ontology: cannot write %s\n", s.name.c_str());
        return 1;
      }
      std::printf("%s: %zu lines\n", s.name.c_str(), s.list.Count());
    }
  }
  return 0;
}
