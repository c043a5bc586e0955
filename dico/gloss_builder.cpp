#include "dico/gloss_builder.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace quilor::ontology_build {

using wordnet::Pos;

namespace {

// Words too common to tell one sense from another.
const std::unordered_set<std::string>& StopWords() {
  static const std::unordered_set<std::string> words = {
      "a",        "an",        "the",      "of",        "to",         "in",         "on",         "at",
      "by",       "for",       "with",     "from",      "as",         "into",       "onto",       "over",
      "under",    "about",     "above",    "below",     "after",      "before",     "and",        "or",
      "but",      "nor",       "so",       "yet",       "if",         "then",       "than",       "that",
      "this",     "these",     "those",    "there",     "here",       "it",         "its",        "he",
      "she",      "they",      "we",       "you",       "i",          "me",         "him",        "her",
      "them",     "us",        "my",       "your",      "his",        "their",      "our",        "one",
      "ones",     "be",        "is",       "are",       "was",        "were",       "been",       "being",
      "am",       "have",      "has",      "had",       "having",     "do",         "does",       "did",
      "doing",    "done",      "not",      "no",        "yes",        "which",      "who",        "whom",
      "whose",    "what",      "when",     "where",     "why",        "how",        "all",        "any",
      "some",     "each",      "every",    "other",     "another",    "such",       "same",       "own",
      "very",     "more",      "most",     "much",      "many",       "few",        "less",       "least",
      "can",      "could",     "may",      "might",     "must",       "shall",      "should",     "will",
      "would",    "also",      "just",     "only",      "even",       "still",      "again",      "too",
      "up",       "down",      "out",      "off",       "two",        "three",      "four",       "five",
      "six",      "seven",     "eight",    "nine",      "ten",        "first",      "second",     "new",
      "old",      "get",       "got",      "make",      "made",       "go",         "went",       "way",
      "thing",    "something", "anything", "nothing",   "someone",    "somebody",   "everything", "especially",
      "usually",  "often",     "used",     "use",       "using",      "etc",        "e.g.",       "i.e.",
      "esp",      "part",      "kind",     "sort",      "type",       "form",       "act",        "state",
      "quality",  "person",    "someone",  "something", "especially", "typically",  "usually",    "characterized",
      "relating", "related",   "having",   "being",     "consisting", "containing", "made",       "give",
      "take",     "like",      "well",     "small",     "large",      "great"};
  return words;
}

bool Letters(std::string_view w) {
  if (w.size() < 2) return false;
  for (char c : w)
    if (!(std::islower(static_cast<unsigned char>(c)) || c == '-' || c == '\'')) return false;
  return std::islower(static_cast<unsigned char>(w.front())) != 0;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The base forms of a word of a definition (WordNet's exception lists, then
// the suffix rules of each part of speech against its index).
class BaseForms {
 public:
  explicit BaseForms(const wordnet::Database& db) : db_(db) {
    for (int p = 0; p < wordnet::kPosCount; ++p)
      for (const auto& [form, bases] : db.Exceptions(static_cast<Pos>(p)))
        for (const std::string& b : bases) exceptions_[form].push_back(b);
  }
  std::vector<std::string> Of(const std::string& w) const {
    std::vector<std::string> out;
    auto add = [&](const std::string& b) {
      if (std::find(out.begin(), out.end(), b) == out.end()) out.push_back(b);
    };
    if (auto it = exceptions_.find(w); it != exceptions_.end())
      for (const std::string& b : it->second) add(b);
    static const std::vector<std::pair<const char*, const char*>> kRules[4] = {
        {{"s", ""},
         {"ses", "s"},
         {"xes", "x"},
         {"zes", "z"},
         {"ches", "ch"},
         {"shes", "sh"},
         {"men", "man"},
         {"ies", "y"}},
        {{"s", ""}, {"ies", "y"}, {"es", "e"}, {"es", ""}, {"ed", "e"}, {"ed", ""}, {"ing", "e"}, {"ing", ""}},
        {{"er", ""}, {"est", ""}, {"er", "e"}, {"est", "e"}},
        {}};
    for (int p = 0; p < wordnet::kPosCount; ++p) {
      const Pos pos = static_cast<Pos>(p);
      if (db_.FindLemma(pos, w)) add(w);
      for (const auto& [suffix, ending] : kRules[p]) {
        const std::string_view s(suffix);
        if (w.size() <= s.size() + 1 || !std::string_view(w).ends_with(s)) continue;
        std::string b = w.substr(0, w.size() - s.size()) + ending;
        if (db_.FindLemma(pos, b)) add(b);
      }
    }
    return out;
  }

 private:
  const wordnet::Database& db_;
  std::unordered_map<std::string, std::vector<std::string>> exceptions_;
};

// How much each source of a signature word weighs.
enum Source {
  kDefinition = 3,
  kSynonym = 3,
  kHypernym = 2,
  kHypernymDefinition = 1,
  kSecondHypernym = 1,
  kHyponym = 1,
  kDomain = 2,
  kPartOrWhole = 1,
  kDerived = 2,
  kAttribute = 1
};

struct Collector {
  const wordnet::Database& db;
  const BaseForms& bases;
  std::map<std::string, int> words;  // word -> heaviest source
  const std::set<std::string>* own = nullptr;

  void Add(const std::string& w, int weight) {
    if (!Letters(w) || StopWords().count(w) || own->count(w)) return;
    int& best = words[w];
    best = std::max(best, weight);
  }
  void AddSynsetWords(const wordnet::Synset& s, int weight) {
    for (const wordnet::SynsetWord& sw : s.words) {
      const std::string text = Lower(sw.text);
      size_t start = 0;
      while (start <= text.size()) {
        size_t end = text.find('_', start);
        if (end == std::string::npos) end = text.size();
        Add(text.substr(start, end - start), weight);
        start = end + 1;
      }
    }
  }
  void AddDefinition(const wordnet::Synset& s, int weight) {
    const std::string text = Lower(GlossDefinition(s.gloss));
    std::string token;
    auto flush = [&] {
      while (!token.empty() && (token.back() == '-' || token.back() == '\'')) token.pop_back();
      if (!token.empty() && !StopWords().count(token))
        for (const std::string& b : bases.Of(token)) Add(b, weight);
      token.clear();
    };
    for (char c : text) {
      if (std::islower(static_cast<unsigned char>(c)) || (!token.empty() && (c == '-' || c == '\''))) token += c;
      else flush();
    }
    flush();
  }
  template <class F>
  void ForPointers(const wordnet::Synset& s, std::initializer_list<std::string_view> symbols, F f) {
    for (const wordnet::Pointer& p : s.pointers) {
      if (std::find(symbols.begin(), symbols.end(), p.symbol) == symbols.end()) continue;
      if (const wordnet::Synset* t = db.FindSynset(p.pos, p.offset)) f(*t);
    }
  }
  void AddSense(const wordnet::Synset& s) {
    AddDefinition(s, kDefinition);
    AddSynsetWords(s, kSynonym);
    ForPointers(s, {"@", "@i"}, [&](const wordnet::Synset& h) {
      AddSynsetWords(h, kHypernym);
      AddDefinition(h, kHypernymDefinition);
      ForPointers(h, {"@", "@i"}, [&](const wordnet::Synset& h2) { AddSynsetWords(h2, kSecondHypernym); });
    });
    ForPointers(s, {"~", "~i"}, [&](const wordnet::Synset& x) { AddSynsetWords(x, kHyponym); });
    ForPointers(s, {";c", ";r", ";u"}, [&](const wordnet::Synset& x) {
      AddSynsetWords(x, kDomain);
      AddDefinition(x, kDomain);
    });
    ForPointers(s, {"%m", "%s", "%p", "#m", "#s", "#p"},
                [&](const wordnet::Synset& x) { AddSynsetWords(x, kPartOrWhole); });
    ForPointers(s, {"+"}, [&](const wordnet::Synset& x) { AddSynsetWords(x, kDerived); });
    ForPointers(s, {"="}, [&](const wordnet::Synset& x) { AddSynsetWords(x, kAttribute); });
  }
};

}  // namespace

std::string GlossDefinition(std::string_view gloss) {
  // The examples are the quoted parts; a definition never holds a quote.
  std::string out;
  bool quoted = false;
  for (char c : gloss) {
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (!quoted) out += c;
  }
  while (!out.empty() && (out.back() == ' ' || out.back() == ';')) out.pop_back();
  return out;
}

GlossSignatureImage BuildGlossSignatures(const wordnet::Database& db, const std::vector<SignatureLemma>& lemmas,
                                         size_t cap) {
  const BaseForms bases(db);
  struct Raw {
    uint32_t entry;
    uint16_t cls;
    std::map<std::string, int> words;
  };
  std::vector<Raw> raw;
  for (const SignatureLemma& l : lemmas) {
    std::set<uint16_t> classes(l.classes.begin(), l.classes.end());
    classes.erase(0);
    if (classes.size() < 2) continue;
    const wordnet::IndexEntry* e = db.FindLemma(Pos::Noun, l.lemma);
    if (!e) continue;
    std::set<std::string> own;
    {
      size_t start = 0;
      while (start <= l.lemma.size()) {
        size_t end = l.lemma.find('_', start);
        if (end == std::string::npos) end = l.lemma.size();
        own.insert(l.lemma.substr(start, end - start));
        start = end + 1;
      }
      own.insert(l.lemma);
    }
    for (uint16_t cls : classes) {
      Collector c{db, bases, {}, &own};
      for (size_t k = 0; k < e->synsets.size() && k < l.classes.size(); ++k)
        if (l.classes[k] == cls)
          if (const wordnet::Synset* s = db.FindSynset(Pos::Noun, e->synsets[k])) c.AddSense(*s);
      if (!c.words.empty()) raw.push_back({l.entry, cls, std::move(c.words)});
    }
  }
  // Word numbers in alphabetical order; how many readings name each word.
  std::map<std::string, uint32_t> df;
  for (const Raw& r : raw)
    for (const auto& [w, s] : r.words) ++df[w];
  GlossSignatureImage image;
  std::unordered_map<std::string, uint32_t> number;
  uint32_t next = 1;
  for (const auto& [w, n] : df) {
    number[w] = next;
    image.forms.push_back({w, next});
    ++next;
  }
  image.wordCount = next;
  // Irregular forms lead to their base words.
  std::set<std::string> seen;
  for (const auto& [w, n] : df) seen.insert(w);
  for (int p = 0; p < wordnet::kPosCount; ++p)
    for (const auto& [form, forms] : db.Exceptions(static_cast<Pos>(p))) {
      if (seen.count(form) || !Letters(form)) continue;
      for (const std::string& b : forms)
        if (auto it = number.find(b); it != number.end()) {
          image.forms.push_back({form, it->second});
          seen.insert(form);
          break;
        }
    }
  const double total = static_cast<double>(raw.size()) + 1;
  std::sort(raw.begin(), raw.end(),
            [](const Raw& a, const Raw& b) { return a.entry != b.entry ? a.entry < b.entry : a.cls < b.cls; });
  for (const Raw& r : raw) {
    if (!image.readings.empty() && image.readings.back().entry == r.entry && image.readings.back().cls == r.cls)
      continue;
    std::vector<std::pair<double, uint32_t>> weighted;
    for (const auto& [w, source] : r.words) {
      const double idf = std::log(total / (static_cast<double>(df[w]) + 1));
      weighted.push_back({source * idf, number[w]});
    }
    std::sort(weighted.begin(), weighted.end(), [](const auto& a, const auto& b) {
      return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    if (weighted.size() > cap) weighted.resize(cap);
    GlossSignatureImage::Reading out{r.entry, r.cls, {}};
    for (const auto& [weight, word] : weighted) {
      const long quarters = std::lround(weight * kGlossWeightUnits);
      if (quarters <= 0) continue;
      out.items.push_back(word << 8 | static_cast<uint32_t>(std::min(255L, quarters)));
    }
    std::sort(out.items.begin(), out.items.end());
    if (!out.items.empty()) image.readings.push_back(std::move(out));
  }
  return image;
}

}  // namespace quilor::ontology_build
