// sense-measure: how often the semantic pass gives a noun the class of the
// sense the text means, estimated on a tagged corpus in the Brown format.
//
//   sense-measure --corpus DIR --dico DIR [--senses FILE] [--wordnet DIR]
//                 [--files all|even|odd] [--top N] [--show N] [--nouns FILE] [--level L]
//                 [--evidence W]
//
// Each corpus file is analysed as one text (word scanner, segment buffer,
// resolver and the semantic pass, with the dictionaries of --dico) and its
// words are aligned back to the tokens. A token tagged as a common noun (nn,
// nns and their possessives, any suffix) that the analysis read as a word of
// its own is scored by its lemma (a plural by its singular, through WordNet's
// exception list and the suffix rules): WordNet's tagged sense counts give the
// distribution of the lemma's true senses, and the token scores the share of
// that distribution whose sense lies in the class the pass chose.
// The first-sense baseline scores the class of the lemma's first sense the
// same way. --senses is the table quilor-ontology --senses writes (default
// DIR/englex.senses.txt). Lemmas without tagged senses are not scored.
//
// Prints the figures over the tokens of the N most frequent scored lemmas
// (--top, 300) and over all scored tokens, then the --show (20) most frequent
// lemmas: tokens, the measured and first-sense shares, and the class chosen
// most often with the share of the uses it got. --nouns FILE writes that line
// for every lemma of the top. The classes compared are those of level 3
// (Reference fields 1) unless --level says 1 or 2. --evidence sets how much
// one occurrence of a reading's field in the rest of the text weighs against
// the sense weights (SenseEvidenceWeight).
#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/category.h"
#include "core/messages.h"
#include "engine/analysis_dictionaries.h"
#include "engine/analysis_results.h"
#include "engine/ontology_engine.h"
#include "engine/segment_buffer.h"
#include "engine/semantic_pass.h"
#include "engine/word_list.h"
#include "platform/message_ui.h"
#include "platform/tool_main.h"
#include "tools/brown_text.h"

namespace {

using namespace quilor;
using namespace quilor::brown;

// A lemma's senses: the level-1 class and the tagged count of each.
struct Senses {
  std::vector<std::pair<uint32_t, int>> senses;
  int total = 0;
  double Share(uint32_t cls) const {
    if (!total || !cls) return 0;
    long sum = 0;
    for (const auto& [c, n] : senses)
      if (c == cls) sum += n;
    return static_cast<double>(sum) / total;
  }
};

struct NounTally {
  long tokens = 0;
  double measured = 0, first = 0, best = 0;
  std::map<uint32_t, long> chosen;
};

bool CommonNounTag(std::string tag, bool& plural) {
  const size_t dash = tag.find('-');
  if (dash != std::string::npos && dash > 0) tag.resize(dash);
  if (!tag.empty() && tag.back() == '$') tag.pop_back();
  plural = tag == "nns";
  return tag == "nn" || tag == "nns";
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

class Measure {
 public:
  explicit Measure(int level) : level_(level) {}
  bool LoadSenses(const std::string& path) {
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream fields(line);
      std::string lemma, item;
      fields >> lemma;
      Senses s;
      while (fields >> item) {
        const size_t colon = item.find(':');
        if (colon == std::string::npos) continue;
        uint32_t cls = static_cast<uint32_t>(std::stoul(item.substr(0, colon)));
        if (level_ > 1 && cls) cls = OntologyEngine->TripleAt(static_cast<uint16_t>(cls)).cls[level_ - 1];
        const int count = std::stoi(item.substr(colon + 1));
        s.senses.push_back({cls, count});
        s.total += count;
      }
      if (s.total > 0) senses_.emplace(lemma, std::move(s));
    }
    return true;
  }

  void LoadExceptions(const std::string& path) {
    std::ifstream in(path);
    std::string form, base;
    while (in >> form >> base) {
      exceptions_.emplace(form, base);
      in.ignore(1 << 16, '\n');
    }
  }

  // The scored lemma of a noun token, empty when it has no tagged senses.
  std::string LemmaOf(const std::string& word, bool plural) const {
    const std::string w = Lower(word);
    if (plural) {
      auto e = exceptions_.find(w);
      if (e != exceptions_.end() && senses_.count(e->second)) return e->second;
      std::string singular, alternative;
      if (SingularOf(w, singular, alternative)) {
        if (senses_.count(singular)) return singular;
        if (!alternative.empty() && senses_.count(alternative)) return alternative;
      }
    }
    return senses_.count(w) ? w : std::string();
  }

  void File(const std::string& path) {
    std::vector<Token> tokens;
    std::string text;
    ReadBrownFile(path, tokens, text);
    SegmentTextAsFile(reinterpret_cast<const unsigned char*>(text.data()), text.size(), false);
    std::vector<long> chosen(tokens.size(), -1);  // -1: not reached or joined into an expression
    auto results = std::make_unique<TAnalysisResults>(TextWords.Count());
    if (results->Built && RunSemanticPass(*results)) {
      AlignWords(tokens, [&](TWordNode* n, int first, int last) {
        if (first != last) {
          for (int i = first; i <= last; ++i) chosen[static_cast<size_t>(i)] = -2;
          return;
        }
        const TWordCategoryData& d = n->category;
        if (chosen[static_cast<size_t>(first)] == -1)
          chosen[static_cast<size_t>(first)] = IsSubstantive(d.Category) ? d.ClassIds[level_ - 1] : 0;
      });
    }
    for (size_t i = 0; i < tokens.size(); ++i) {
      bool plural = false;
      if (!CommonNounTag(tokens[i].tag, plural)) continue;
      const std::string lemma = LemmaOf(tokens[i].word, plural);
      if (lemma.empty()) continue;
      if (chosen[i] == -2) {
        ++joined_;
        continue;
      }
      const Senses& s = senses_.at(lemma);
      NounTally& t = nouns_[lemma];
      const uint32_t cls = chosen[i] > 0 ? static_cast<uint32_t>(chosen[i]) : 0;
      ++t.tokens;
      t.measured += s.Share(cls);
      t.first += s.Share(s.senses.front().first);
      double best = 0;
      for (const auto& [c, n] : s.senses) best = std::max(best, s.Share(c));
      t.best += best;
      ++t.chosen[cls];
      if (!cls) ++unclassified_;
    }
    TextWords.Clear();
  }

  void Report(size_t top, size_t show, const std::string& nounFile) const {
    std::vector<std::pair<long, std::string>> order;
    for (const auto& [lemma, t] : nouns_) order.emplace_back(-t.tokens, lemma);
    std::sort(order.begin(), order.end());
    auto sum = [&](size_t n, long& tokens, double& measured, double& first, double& best) {
      tokens = 0, measured = first = best = 0;
      for (size_t i = 0; i < n && i < order.size(); ++i) {
        const NounTally& t = nouns_.at(order[i].second);
        tokens += t.tokens, measured += t.measured, first += t.first, best += t.best;
      }
    };
    long tokens;
    double measured, first, best;
    std::printf("nouns\ttokens\tmeasured\tfirst sense\tbest class\n");
    sum(top, tokens, measured, first, best);
    std::printf("top %zu\t%ld\t%.2f\t%.2f\t%.2f\n", top, tokens, 100 * measured / tokens, 100 * first / tokens,
                100 * best / tokens);
    sum(order.size(), tokens, measured, first, best);
    std::printf("all %zu\t%ld\t%.2f\t%.2f\t%.2f\n", order.size(), tokens, 100 * measured / tokens, 100 * first / tokens,
                100 * best / tokens);
    std::printf("tokens without a class: %ld; inside joined expressions (not scored): %ld\n\n", unclassified_, joined_);
    auto line = [&](const std::string& lemma) {
      const NounTally& t = nouns_.at(lemma);
      uint32_t most = 0;
      long mostCount = -1;
      for (const auto& [c, n] : t.chosen)
        if (n > mostCount) most = c, mostCount = n;
      const Senses& s = senses_.at(lemma);
      char buffer[512];
      auto none = t.chosen.find(0);
      std::snprintf(buffer, sizeof buffer, "%s\t%ld\t%.1f\t%.1f\t%s\t%.0f%%\t%s\t%ld\n", lemma.c_str(), t.tokens,
                    100 * t.measured / t.tokens, 100 * t.first / t.tokens, Name(most).c_str(),
                    100.0 * mostCount / t.tokens, Name(s.senses.front().first).c_str(),
                    none == t.chosen.end() ? 0L : none->second);
      return std::string(buffer);
    };
    std::printf("noun\ttokens\tmeasured\tfirst sense\tclass chosen most\tof uses\tclass of the first sense\twithout a class\n");
    for (size_t i = 0; i < show && i < order.size(); ++i) std::fputs(line(order[i].second).c_str(), stdout);
    if (!nounFile.empty()) {
      std::ofstream out(nounFile);
      out << "noun\ttokens\tmeasured\tfirst sense\tclass chosen most\tof uses\tclass of the first sense\twithout a class\n";
      for (size_t i = 0; i < top && i < order.size(); ++i) out << line(order[i].second);
    }
  }

 private:
  std::string Name(uint32_t cls) const {
    return cls && OntologyEngine ? OntologyEngine->ClassName(level_, static_cast<int32_t>(cls)) : std::string("(none)");
  }
  std::unordered_map<std::string, Senses> senses_;
  std::unordered_map<std::string, std::string> exceptions_;
  std::map<std::string, NounTally> nouns_;
  long unclassified_ = 0, joined_ = 0;
  int level_ = 1;
};

int Run(int argc, char** argv) {
  std::string corpus = "/work/shared/corpus/brown", dico, senses, wordnet = "/usr/share/wordnet", files = "all",
              nounFile;
  size_t top = 300, show = 20;
  int level = 3;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string a = argv[i];
    if (a == "--corpus") corpus = argv[i + 1];
    else if (a == "--dico") dico = argv[i + 1];
    else if (a == "--senses") senses = argv[i + 1];
    else if (a == "--wordnet") wordnet = argv[i + 1];
    else if (a == "--files") files = argv[i + 1];
    else if (a == "--top") top = static_cast<size_t>(std::atoi(argv[i + 1]));
    else if (a == "--show") show = static_cast<size_t>(std::atoi(argv[i + 1]));
    else if (a == "--nouns") nounFile = argv[i + 1];
    else if (a == "--evidence") SenseEvidenceWeight = std::atoi(argv[i + 1]);
    else if (a == "--level") level = std::clamp(std::atoi(argv[i + 1]), 1, 3);
  }
  if (dico.empty()) {
    std::fprintf(stderr,
                 "usage: sense-measure --corpus DIR --dico DIR [--senses FILE] [--wordnet DIR] [--files all|even|odd] "
                 "[--top N] [--show N] [--nouns FILE] [--level L]\n");
    return 2;
  }
  if (senses.empty()) senses = dico + "/englex.senses.txt";
  ScriptedMessageUi ui(true);
  SetMessageUi(&ui);
  InitMessages();
  OpenAnalysisDictionaries(dico);
  StartOntologyEngine(dico + "/englex.sv8");
  Measure m(level);
  if (!m.LoadSenses(senses)) {
    std::fprintf(stderr, "sense-measure: cannot read %s\n", senses.c_str());
    return 2;
  }
  m.LoadExceptions(wordnet + "/noun.exc");
  std::map<std::string, std::string> categories;
  {
    std::ifstream cats(corpus + "/cats.txt");
    std::string name, cat;
    while (cats >> name >> cat) categories[name] = cat;
  }
  for (const auto& [name, cat] : categories) {
    const int number = std::atoi(name.c_str() + 2);
    if ((files == "even" && number % 2 != 0) || (files == "odd" && number % 2 == 0)) continue;
    m.File(corpus + "/" + name);
  }
  m.Report(top, show, nounFile);
  StopOntologyEngine();
  CloseAnalysisDictionaries();
  SetMessageUi(nullptr);
  return 0;
}

}  // namespace

int main(int argc, char** argv) { return quilor::RunTool(Run, argc, argv); }
