// sense-measure: how often the semantic pass gives a noun the class of the
// sense the text means, estimated on a tagged corpus in the Brown format.
//
//   sense-measure --corpus DIR --dico DIR [--senses FILE] [--wordnet DIR]
//                 [--files all|even|odd] [--top N] [--show N] [--nouns FILE] [--level L]
//                 [--evidence W] [--gloss W] [--unclassified FILE] [--choices FILE]
//   sense-measure --examples --dico DIR [--wordnet DIR] [--show N] [--misses FILE] [--gloss W]
//
// Each corpus file is analysed as one text (word scanner, segment buffer,
// resolver and the semantic pass, with the dictionaries of --dico) and its
// words are aligned back to the tokens. A token tagged as a common noun (nn,
// nns and their possessives, any suffix) that the analysis read as a word of
// its own is scored by its lemma (a plural by its singular, through WordNet's
// exception list and the suffix rules): WordNet's tagged sense counts give the
// distribution of the lemma's true senses, and the token scores the share of
// that distribution whose sense lies in the class the pass chose. A token
// the pass made part of a name item without a class of its own (Fulton in
// Fulton County) is scored with the item's class, which the word carrying
// the item holds; the office before a person's name (Mayor in Mayor
// Hartsfield) keeps a class of its own and is scored by it. (A name part
// scored nothing until the name items came; a single capital alone stays
// without a class.)
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
// the sense weights (Tuning.senseEvidenceWeight); --gloss how much the words
// near the noun that a reading's gloss signature (DIR/englex.gv8) holds
// speak for it (Tuning.glossEvidenceWeight; 0, the program's, leaves the
// glosses out). --unclassified FILE writes every
// scored token that got no class, one a line: lemma, the token, the word kind
// the analysis read it as ("name part" for a part of a name item), the file
// and the words around it. --choices FILE writes every scored token: lemma,
// the class chosen, its share and the first sense's, the file and the words
// around it (to compare the choices of two settings token by token).
//
// --examples measures token by token on WordNet's own usage examples (the
// quoted examples of the glosses of data.noun) instead: an example that
// contains a lemma of its synset whose senses fall in more than one class of
// level 1 is analysed alone as a text, and the classes the pass gives that
// token at levels 1, 2 and 3 are compared with those of the example's own
// synset; beside them, always taking the lemma's first sense. The examples
// are split by synset offset: the even ones to tune the choice on, the odd
// ones to report. Prints per half and level the share right and the
// first-sense share, then the lemmas with the most misses; --misses FILE
// writes every missed example of the tuning half (the reported half is
// never shown).
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
#include "core/tuning.h"
#include "core/messages.h"
#include "engine/analysis_dictionaries.h"
#include "engine/analysis_results.h"
#include "engine/ontology_engine.h"
#include "engine/segment_buffer.h"
#include "engine/semantic_pass.h"
#include "engine/word_list.h"
#include "platform/message_ui.h"
#include "core/tool_main.h"
#include "dico/wordnet.h"
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

// The table quilor-ontology --senses writes: per lemma, the level-1 class
// and the tagged count of each of its senses in WordNet's order.
template <typename Visit>
bool ReadSenseTable(const std::string& path, Visit visit) {
  std::ifstream in(path);
  if (!in) return false;
  std::string line;
  std::vector<std::pair<uint32_t, int>> senses;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string lemma, item;
    fields >> lemma;
    senses.clear();
    while (fields >> item) {
      const size_t colon = item.find(':');
      if (colon == std::string::npos) continue;
      senses.push_back({static_cast<uint32_t>(std::stoul(item.substr(0, colon))), std::stoi(item.substr(colon + 1))});
    }
    visit(lemma, senses);
  }
  return true;
}

class Measure {
 public:
  explicit Measure(int level) : level_(level) {}
  bool LoadSenses(const std::string& path) {
    return ReadSenseTable(path, [&](const std::string& lemma, const std::vector<std::pair<uint32_t, int>>& senses) {
      Senses s;
      for (auto [cls, count] : senses) {
        if (level_ > 1 && cls) cls = OntologyEngine->TripleAt(static_cast<uint16_t>(cls)).cls[level_ - 1];
        s.senses.push_back({cls, count});
        s.total += count;
      }
      if (s.total > 0) senses_.emplace(lemma, std::move(s));
    });
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
    std::vector<char> namePart(tokens.size(), 0);
    std::vector<int> kind(tokens.size(), -1);  // the major class read
    auto results = std::make_unique<TAnalysisResults>(TextWords.Count(), TakeRunSettings(*Options));
    if (results->Built && RunSemanticPass(*results)) {
      AlignWords(tokens, [&](TWordNode* n, int first, int last) {
        if (first != last) {
          for (int i = first; i <= last; ++i) chosen[static_cast<size_t>(i)] = -2;
          return;
        }
        const TWordCategoryData& d = n->category;
        if (chosen[static_cast<size_t>(first)] == -1) {
          chosen[static_cast<size_t>(first)] = IsSubstantive(d.Category) ? d.ClassIds[level_ - 1] : 0;
          namePart[static_cast<size_t>(first)] = IsSubstantive(d.Category) && IsPartOfName(*n);
          // 1: scored by the item's class, 2: by the part's own (an office).
          if (namePart[static_cast<size_t>(first)] && d.ClassIds[level_ - 1]) namePart[static_cast<size_t>(first)] = 2;
          else if (namePart[static_cast<size_t>(first)]) chosen[static_cast<size_t>(first)] = ItemClass(n);
          TCategoryRecord c = d.Category;
          kind[static_cast<size_t>(first)] = NormaliseMajorClass(c);
        }
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
      if (cls && namePart[i] == 1) ++byItem_;
      if (namePart[i] == 2) ++ownClass_;
      if (choicesOut_) {
        char shares[64];
        std::snprintf(shares, sizeof shares, "%.3f\t%.3f", s.Share(cls), s.Share(s.senses.front().first));
        *choicesOut_ << lemma << '\t' << Name(cls) << '\t' << shares << '\t' << FileName(path) << '\t'
                     << Around(tokens, i) << '\n';
      }
      if (!cls) {
        ++(namePart[i] ? nameParts_ : chosen[i] == -1 ? unreached_ : unclassified_);
        if (unclassifiedOut_) WriteUnclassified(path, tokens, i, lemma, namePart[i] ? -2 : kind[i]);
      }
    }
    TextWords.Clear();
  }

  void ListUnclassified(const std::string& path) { unclassifiedOut_ = std::make_unique<std::ofstream>(path); }
  void ListChoices(const std::string& path) { choicesOut_ = std::make_unique<std::ofstream>(path); }

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
    std::printf(
        "tokens without a class: %ld (parts of a name: %ld; read as another word kind or unclassified: %ld; "
        "not reached: %ld); inside joined expressions (not scored): %ld; parts of a name scored by their item: %ld, by "
        "a class of their own (an office): %ld\n\n",
        nameParts_ + unclassified_ + unreached_, nameParts_, unclassified_, unreached_, joined_, byItem_, ownClass_);
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
    std::printf(
        "noun\ttokens\tmeasured\tfirst sense\tclass chosen most\tof uses\tclass of the first sense\twithout a class\n");
    for (size_t i = 0; i < show && i < order.size(); ++i) std::fputs(line(order[i].second).c_str(), stdout);
    if (!nounFile.empty()) {
      std::ofstream out(nounFile);
      out << "noun\ttokens\tmeasured\tfirst sense\tclass chosen most\tof uses\tclass of the first sense\twithout a "
             "class\n";
      for (size_t i = 0; i < top && i < order.size(); ++i) out << line(order[i].second);
    }
  }

 private:
  void WriteUnclassified(const std::string& file, const std::vector<Token>& tokens, size_t i, const std::string& lemma,
                         int major) {
    static const char* const kKinds[] = {"unset",   "verb",        "connector",  "modality",    "adjective",
                                         "pronoun", "preposition", "determiner", "substantive", "unknown"};
    const char* kind = major == -2                                      ? "name part"
                       : major < 0                                      ? "not reached"
                       : static_cast<size_t>(major) < std::size(kKinds) ? kKinds[major]
                                                                        : "other";
    *unclassifiedOut_ << lemma << '\t' << tokens[i].word << '\t' << kind << '\t' << FileName(file) << '\t'
                      << Around(tokens, i) << '\n';
  }
  static std::string FileName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
  }
  // The token in the words around it.
  static std::string Around(const std::vector<Token>& tokens, size_t i) {
    std::string around;
    for (size_t k = i > 6 ? i - 6 : 0; k < tokens.size() && k <= i + 6; ++k) {
      if (!around.empty()) around += ' ';
      around += k == i ? "[[" + tokens[k].word + "]]" : tokens[k].word;
    }
    return around;
  }
  // The class of the name item a word is part of: the class of the word
  // after it that carries the item (Hartsfield in Mayor Hartsfield, County
  // in Fulton County); 0 when no capitalised word of the same run does.
  uint32_t ItemClass(const TWordNode* n) const {
    for (const TWordNode* m = TWordList::NextNode(n); m && m != TextWords.Tail(); m = TWordList::NextNode(m)) {
      if (!IsSubstantive(m->category.Category) || !std::isupper(static_cast<unsigned char>(m->text[0]))) return 0;
      if (!IsPartOfName(*m)) return m->category.ClassIds[level_ - 1];
    }
    return 0;
  }
  std::string Name(uint32_t cls) const {
    return cls && OntologyEngine ? OntologyEngine->ClassName(level_, static_cast<int32_t>(cls)) : std::string("(none)");
  }
  std::unordered_map<std::string, Senses> senses_;
  std::unordered_map<std::string, std::string> exceptions_;
  std::map<std::string, NounTally> nouns_;
  long unclassified_ = 0, nameParts_ = 0, unreached_ = 0, joined_ = 0, byItem_ = 0, ownClass_ = 0;
  int level_ = 1;
  std::unique_ptr<std::ofstream> unclassifiedOut_, choicesOut_;
};

// One short text at a time into TextWords, through one segment buffer for
// the whole run (a buffer prepares its dictionary look-ups once).
class ShortTexts : public TextBlockSource {
 public:
  ShortTexts() : scanner_(*this, buffer_) {}
  void Segment(const std::string& text) {
    TextWords.Clear();
    text_ = &text;
    done_ = false;
    buffer_.Init();
    scanner_.ResetForFile();
    while (scanner_.ScanTextBlock()) {
    }
    buffer_.Finish();
  }
  bool NextTextBlock() override {
    if (done_) return false;
    done_ = true;
    scanner_.SetBlock(reinterpret_cast<const unsigned char*>(text_->data()), text_->size());
    return true;
  }

 private:
  TSegmentBuffer buffer_;
  TWordScanner scanner_;
  const std::string* text_ = nullptr;
  bool done_ = false;
};

// WordNet's usage examples, each analysed alone: the class of the target
// token against the class of the example's own synset.
class ExampleMeasure {
 public:
  // The level-1 class of every sense of every lemma, in WordNet's order.
  bool LoadSenses(const std::string& path) {
    return ReadSenseTable(path, [&](const std::string& lemma, const std::vector<std::pair<uint32_t, int>>& senses) {
      std::vector<uint32_t>& classes = senses_[lemma];
      for (const auto& sense : senses) classes.push_back(sense.first);
    });
  }

  bool LoadWordNet(const std::string& folder, std::string& error) {
    std::string index, data;
    if (!wordnet::ReadWholeFile(folder + "/index.noun", index, error) ||
        !wordnet::ReadWholeFile(folder + "/data.noun", data, error))
      return false;
    if (!db_.AddIndexFile(wordnet::Pos::Noun, index, "index.noun", error) ||
        !db_.AddDataFile(wordnet::Pos::Noun, data, "data.noun", error))
      return false;
    std::ifstream exc(folder + "/noun.exc");
    std::string form, base;
    while (exc >> form >> base) {
      exceptions_.emplace(form, base);
      exc.ignore(1 << 16, '\n');
    }
    return true;
  }

  void Run(const std::string& missFile) {
    std::ofstream misses;
    if (!missFile.empty()) misses.open(missFile);
    for (const auto& [offset, synset] : db_.Synsets(wordnet::Pos::Noun)) {
      for (const std::string& text : QuotedExamples(synset.gloss)) {
        Example e;
        if (!Target(synset, text, e)) continue;
        Score(e, misses);
      }
    }
  }

  void Report(size_t show) const {
    const char* halves[] = {"tune (even offsets)", "report (odd offsets)"};
    std::printf("examples with an ambiguous lemma of their synset: %ld (tune %ld, report %ld)\n", total_[0] + total_[1],
                total_[0], total_[1]);
    std::printf("targets inside a longer expression (not scored): %ld\n\n", joined_);
    std::printf("half\tlevel\texamples\tmeasured\tfirst sense\n");
    for (int h = 0; h < 2; ++h)
      for (int l = 0; l < 3; ++l)
        std::printf("%s\t%d\t%ld\t%.2f\t%.2f\n", halves[h], l + 1, scored_[h], Percent(right_[h][l], scored_[h]),
                    Percent(first_[h][l], scored_[h]));
    for (int h = 0; h < 2; ++h) {
      for (int l = 0; l < 3; l += 2) {
        std::printf("\nlemmas with the most misses, %s, level %d: lemma, examples, right, first sense right\n",
                    halves[h], l + 1);
        std::vector<std::pair<long, std::string>> order;
        for (const auto& [lemma, t] : lemmas_[h]) order.emplace_back(-(t.examples - t.right[l]), lemma);
        std::sort(order.begin(), order.end());
        for (size_t i = 0; i < show && i < order.size(); ++i) {
          const LemmaTally& t = lemmas_[h].at(order[i].second);
          std::printf("%s\t%ld\t%ld\t%ld\n", order[i].second.c_str(), t.examples, t.right[l], t.first[l]);
        }
      }
    }
  }

 private:
  struct Example {
    uint32_t offset = 0;
    std::string lemma, text;
    size_t sense = 0;  // the synset's place among the lemma's senses
    int firstToken = 0, lastToken = 0;
    std::vector<brown::Token> tokens;
  };
  struct LemmaTally {
    long examples = 0;
    long right[3] = {}, first[3] = {};
  };

  static double Percent(long a, long b) { return b ? 100.0 * static_cast<double>(a) / static_cast<double>(b) : 0; }

  static std::vector<std::string> QuotedExamples(const std::string& gloss) {
    std::vector<std::string> out;
    size_t p = 0;
    while ((p = gloss.find('"', p)) != std::string::npos) {
      const size_t end = gloss.find('"', p + 1);
      if (end == std::string::npos) break;
      if (end > p + 1) out.push_back(gloss.substr(p + 1, end - p - 1));
      p = end + 1;
    }
    return out;
  }

  uint32_t ClassAt(uint32_t level1, int level) const {
    if (!level1 || level == 1) return level1;
    return OntologyEngine->TripleAt(static_cast<uint16_t>(level1)).cls[level - 1];
  }

  // A lemma whose senses fall in more than one class of level 1.
  bool Ambiguous(const std::string& lemma) const {
    auto it = senses_.find(lemma);
    if (it == senses_.end()) return false;
    for (uint32_t c : it->second)
      if (c && c != it->second.front()) return true;
    return false;
  }

  // The word a token stands for when it is an inflected form of it.
  bool FormOf(const std::string& token, const std::string& word) const {
    if (token == word) return true;
    auto e = exceptions_.find(token);
    if (e != exceptions_.end() && e->second == word) return true;
    std::string singular, alternative;
    return SingularOf(token, singular, alternative) && (singular == word || alternative == word);
  }

  // Finds the first lemma of the synset, ambiguous, that the example holds.
  bool Target(const wordnet::Synset& synset, const std::string& text, Example& e) const {
    e.tokens.clear();
    std::vector<std::string> lower;
    std::string word;
    auto flush = [&]() {
      if (word.empty()) return;
      e.tokens.push_back({word, "nn", 0});
      lower.push_back(Lower(word));
      word.clear();
    };
    for (char c : text) {
      if (std::isalnum(static_cast<unsigned char>(c)) || ((c == '\'' || c == '-' || c == '.') && !word.empty()))
        word += c;
      else flush();
    }
    flush();
    for (std::string& w : lower)
      while (!w.empty() && (w.back() == '.' || w.back() == '\'' || w.back() == '-')) w.pop_back();
    for (const wordnet::SynsetWord& sw : synset.words) {
      std::string lemma = Lower(sw.text);
      const size_t paren = lemma.find('(');
      if (paren != std::string::npos) lemma.resize(paren);
      if (!Ambiguous(lemma)) continue;
      std::vector<std::string> parts;
      std::string part;
      for (char c : lemma) {
        if (c == '_') parts.push_back(part), part.clear();
        else part += c;
      }
      parts.push_back(part);
      for (size_t i = 0; i + parts.size() <= lower.size(); ++i) {
        bool match = true;
        for (size_t k = 0; k + 1 < parts.size() && match; ++k) match = lower[i + k] == parts[k];
        if (!match || !FormOf(lower[i + parts.size() - 1], parts.back())) continue;
        const wordnet::IndexEntry* entry = db_.FindLemma(wordnet::Pos::Noun, lemma);
        if (!entry) break;
        auto at = std::find(entry->synsets.begin(), entry->synsets.end(), synset.offset);
        if (at == entry->synsets.end()) break;
        e.offset = synset.offset;
        e.lemma = lemma;
        e.text = text;
        e.sense = static_cast<size_t>(at - entry->synsets.begin());
        e.firstToken = static_cast<int>(i);
        e.lastToken = static_cast<int>(i + parts.size() - 1);
        return true;
      }
    }
    return false;
  }

  void Score(const Example& e, std::ofstream& misses) {
    const std::vector<uint32_t>& classes = senses_.at(e.lemma);
    if (e.sense >= classes.size()) return;
    const int half = e.offset % 2 == 0 ? 0 : 1;
    ++total_[half];
    const std::string text = e.text + "\n";
    texts_.Segment(text);
    uint32_t chosen[3] = {0, 0, 0};
    bool joined = false;
    auto results = std::make_unique<TAnalysisResults>(TextWords.Count(), TakeRunSettings(*Options));
    if (results->Built && RunSemanticPass(*results)) {
      brown::AlignWords(e.tokens, [&](TWordNode* n, int first, int last) {
        if (last < e.firstToken || first > e.lastToken) return;
        if (first < e.firstToken || last > e.lastToken) {
          joined = true;
          return;
        }
        if (first != e.firstToken || last != e.lastToken) return;
        if (IsSubstantive(n->category.Category))
          for (int l = 0; l < 3; ++l) chosen[l] = n->category.ClassIds[l];
      });
    }
    TextWords.Clear();
    if (joined) {
      --total_[half];
      ++joined_;
      return;
    }
    ++scored_[half];
    LemmaTally& t = lemmas_[half][e.lemma];
    ++t.examples;
    bool missed = false;
    for (int l = 0; l < 3; ++l) {
      const uint32_t truth = ClassAt(classes[e.sense], l + 1);
      const bool right = truth && chosen[l] == truth;
      const bool first = truth && ClassAt(classes.front(), l + 1) == truth;
      right_[half][l] += right;
      first_[half][l] += first;
      t.right[l] += right;
      t.first[l] += first;
      if (l == 0) missed = !right;
    }
    if (missed && half == 0 && misses.is_open())
      misses << e.lemma << '\t' << e.sense + 1 << '\t' << Name(ClassAt(classes[e.sense], 1)) << '\t' << Name(chosen[0])
             << '\t' << Name(ClassAt(classes[e.sense], 3), 3) << '\t' << Name(chosen[2], 3) << '\t' << e.text << '\n';
  }

  static std::string Name(uint32_t cls, int level = 1) {
    return cls ? OntologyEngine->ClassName(level, static_cast<int32_t>(cls)) : std::string("(none)");
  }

  wordnet::Database db_;
  ShortTexts texts_;
  std::unordered_map<std::string, std::vector<uint32_t>> senses_;
  std::unordered_map<std::string, std::string> exceptions_;
  long total_[2] = {}, scored_[2] = {}, joined_ = 0;
  long right_[2][3] = {}, first_[2][3] = {};
  std::map<std::string, LemmaTally> lemmas_[2];
};

int Run(int argc, char** argv) {
  std::string corpus = std::string(QUILOR_CORPUS_ROOT) + "/brown", dico, senses, wordnet = "/usr/share/wordnet",
              files = "all", nounFile, unclassifiedFile, choicesFile;
  size_t top = 300, show = 20;
  int level = 3;
  bool examples = false;
  std::string missFile;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--examples") {
      examples = true;
      continue;
    }
    if (i + 1 >= argc) break;
    if (a == "--misses") missFile = argv[i + 1];
    if (a == "--corpus") corpus = argv[i + 1];
    else if (a == "--dico") dico = argv[i + 1];
    else if (a == "--senses") senses = argv[i + 1];
    else if (a == "--wordnet") wordnet = argv[i + 1];
    else if (a == "--files") files = argv[i + 1];
    else if (a == "--top") top = static_cast<size_t>(std::atoi(argv[i + 1]));
    else if (a == "--show") show = static_cast<size_t>(std::atoi(argv[i + 1]));
    else if (a == "--nouns") nounFile = argv[i + 1];
    else if (a == "--unclassified") unclassifiedFile = argv[i + 1];
    else if (a == "--choices") choicesFile = argv[i + 1];
    else if (a == "--evidence") Tuning.senseEvidenceWeight = std::atoi(argv[i + 1]);
    else if (a == "--gloss") Tuning.glossEvidenceWeight = std::atoi(argv[i + 1]);
    else if (a == "--level") level = std::clamp(std::atoi(argv[i + 1]), 1, 3);
    ++i;
  }
  if (dico.empty()) {
    std::fprintf(stderr,
                 "usage: sense-measure --corpus DIR --dico DIR [--senses FILE] [--wordnet DIR] [--files all|even|odd] "
                 "[--top N] [--show N] [--nouns FILE] [--level L] [--unclassified FILE] [--choices FILE]\n");
    return 2;
  }
  if (senses.empty()) senses = dico + "/englex.senses.txt";
  ScriptedMessageUi ui(true);
  SetMessageUi(&ui);
  InitMessages();
  OpenAnalysisDictionaries(dico);
  StartOntologyEngine(dico + "/englex.sv8");
  if (examples) {
    ExampleMeasure x;
    std::string error;
    if (!x.LoadSenses(senses) || !x.LoadWordNet(wordnet, error)) {
      std::fprintf(stderr, "sense-measure: %s\n", error.empty() ? ("cannot read " + senses).c_str() : error.c_str());
      return 2;
    }
    x.Run(missFile);
    x.Report(show);
    StopOntologyEngine();
    CloseAnalysisDictionaries();
    SetMessageUi(nullptr);
    return 0;
  }
  Measure m(level);
  if (!unclassifiedFile.empty()) m.ListUnclassified(unclassifiedFile);
  if (!choicesFile.empty()) m.ListChoices(choicesFile);
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
