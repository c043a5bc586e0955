#include "dico/lists.h"

#include "dico/wordnet.h"

namespace quilor::dico {

namespace {

// Blank-separated fields of a line, without its comment.
std::vector<std::string_view> SplitFields(std::string_view line) {
  size_t hash = line.find('#');
  if (hash != std::string_view::npos) line = line.substr(0, hash);
  std::vector<std::string_view> fields;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    if (i > start) fields.push_back(line.substr(start, i - start));
  }
  return fields;
}

bool Fail(std::string& error, std::string what) {
  error = std::move(what);
  return false;
}

bool ValidWord(std::string_view word) {
  if (word.empty() || word.size() > 79) return false;
  for (char c : word)
    if (c >= 'A' && c <= 'Z') return false;
  return true;
}

template <typename T, size_t N>
bool Lookup(std::string_view name, const std::pair<const char*, T> (&table)[N], T& value) {
  for (const auto& [n, v] : table)
    if (name == n) {
      value = v;
      return true;
    }
  return false;
}

constexpr std::pair<const char*, ConnectorKind> kConnectorKinds[] = {{"condition", ConnectorKind::Condition},
                                                                     {"cause", ConnectorKind::Cause},
                                                                     {"goal", ConnectorKind::Goal},
                                                                     {"addition", ConnectorKind::Addition},
                                                                     {"disjunction", ConnectorKind::Disjunction},
                                                                     {"opposition", ConnectorKind::Opposition},
                                                                     {"comparison", ConnectorKind::Comparison},
                                                                     {"time", ConnectorKind::Time},
                                                                     {"place", ConnectorKind::Place},
                                                                     {"manner", ConnectorKind::Manner}};
constexpr std::pair<const char*, ModalityKind> kModalityKinds[] = {
    {"time", ModalityKind::Time},           {"place", ModalityKind::Place}, {"manner", ModalityKind::Manner},
    {"assertion", ModalityKind::Assertion}, {"doubt", ModalityKind::Doubt}, {"negation", ModalityKind::Negation},
    {"intensity", ModalityKind::Intensity}};
constexpr std::pair<const char*, VerbKind> kVerbKinds[] = {{"factive", VerbKind::Factive},
                                                           {"stative", VerbKind::Stative},
                                                           {"reflexive", VerbKind::Reflexive},
                                                           {"performative", VerbKind::Performative}};
constexpr std::pair<const char*, Tense> kTenses[] = {
    {"present", Tense::Present}, {"past", Tense::Past}, {"future", Tense::Future}, {"other", Tense::Other}};
constexpr std::pair<const char*, Mood> kMoods[] = {
    {"indicative", Mood::Indicative}, {"conditional", Mood::Conditional}, {"subjunctive", Mood::Subjunctive},
    {"participle", Mood::Participle}, {"infinitive", Mood::Infinitive},   {"other", Mood::Other}};
constexpr std::pair<const char*, AdjectiveKind> kAdjectiveKinds[] = {{"objective", AdjectiveKind::Objective},
                                                                     {"subjective", AdjectiveKind::Subjective},
                                                                     {"numeral", AdjectiveKind::Numeral}};
constexpr std::pair<const char*, PronounKind> kPronounKinds[] = {{"relative", PronounKind::Relative},
                                                                 {"possessive", PronounKind::Possessive},
                                                                 {"personal", PronounKind::Personal},
                                                                 {"deixis", PronounKind::Deixis},
                                                                 {"others", PronounKind::Others}};
constexpr std::pair<const char*, int> kFamilies[] = {{"-", 0},  {"I", 1},   {"Thou", 2}, {"He", 3},
                                                     {"We", 4}, {"You", 5}, {"They", 6}, {"Somebody", 7}};

}  // namespace

bool ParseClosedLine(std::string_view line, std::vector<ClosedReading>& out, std::string& error) {
  std::vector<std::string_view> f = SplitFields(line);
  if (f.empty()) return true;
  if (f.size() < 2) return Fail(error, "a word without a class");
  if (!ValidWord(f[0])) return Fail(error, "the word must be lower case, 1 to 79 characters");
  bool piece = f.back() == "piece";
  if (piece) f.pop_back();
  std::string_view cls = f[1];
  size_t n = f.size();
  TCategoryCode code = 0;
  if (cls == "connector" && n == 3) {
    ConnectorKind k;
    if (!Lookup(f[2], kConnectorKinds, k)) return Fail(error, "unknown connector kind");
    code = ConnectorCode(k);
  } else if (cls == "modality" && n == 3) {
    ModalityKind k;
    if (!Lookup(f[2], kModalityKinds, k)) return Fail(error, "unknown modality kind");
    code = ModalityCode(k);
  } else if (cls == "pronoun" && n == 4) {
    PronounKind k;
    int person;
    if (!Lookup(f[2], kPronounKinds, k)) return Fail(error, "unknown pronoun subclass");
    if (!Lookup(f[3], kFamilies, person)) return Fail(error, "unknown pronoun family");
    code = PronounCode(k, person, piece);
  } else if ((cls == "article" || cls == "determiner") && n == 2) {
    code = DeterminerCode(piece);
  } else if (cls == "preposition" && (n == 2 || (n == 3 && f[2] == "gerund"))) {
    code = PrepositionCode(n == 3);
  } else if ((cls == "auxiliary" || cls == "verb") && n == 5) {
    VerbKind k;
    Tense t;
    Mood m;
    if (!Lookup(f[2], kVerbKinds, k) || !Lookup(f[3], kTenses, t) || !Lookup(f[4], kMoods, m))
      return Fail(error, "unknown verb kind, tense or mood");
    code = VerbCode(k, t, m, cls == "auxiliary");
  } else if (cls == "abbreviation" && n == 2) {
    code = kAbbreviationCode;
  } else if (cls == "noun" && n == 2) {
    code = kNounCode;
  } else if (cls == "adjective" && n == 3) {
    AdjectiveKind k;
    if (!Lookup(f[2], kAdjectiveKinds, k)) return Fail(error, "unknown adjective kind");
    code = AdjectiveCode(k);
  } else {
    return Fail(error, "unknown class or wrong number of details");
  }
  if (piece && cls != "pronoun" && cls != "article" && cls != "determiner")
    return Fail(error, "only pronouns and determinants can be pieces");
  out.push_back({std::string(f[0]), code});
  return true;
}

bool ParseIrregularLine(std::string_view line, std::vector<IrregularVerb>& out, std::string& error) {
  std::vector<std::string_view> f = SplitFields(line);
  if (f.empty()) return true;
  if (f.size() != 3) return Fail(error, "expected BASE PAST PARTICIPLE");
  IrregularVerb v;
  v.base = std::string(f[0]);
  auto split = [](std::string_view s, std::vector<std::string>& forms) {
    size_t start = 0;
    while (start <= s.size()) {
      size_t slash = s.find('/', start);
      if (slash == std::string_view::npos) slash = s.size();
      if (slash > start) forms.emplace_back(s.substr(start, slash - start));
      start = slash + 1;
    }
  };
  split(f[1], v.past);
  split(f[2], v.participle);
  if (!ValidWord(v.base) || v.past.empty() || v.participle.empty()) return Fail(error, "bad verb forms");
  for (const auto* forms : {&v.past, &v.participle})
    for (const std::string& w : *forms)
      if (!ValidWord(w)) return Fail(error, "bad verb form");
  out.push_back(std::move(v));
  return true;
}

bool ParseVerbKindLine(std::string_view line, std::map<std::string, VerbKind>& out, std::string& error) {
  std::vector<std::string_view> f = SplitFields(line);
  if (f.empty()) return true;
  VerbKind k;
  if (f.size() != 2 || !ValidWord(f[0]) || !Lookup(f[1], kVerbKinds, k)) return Fail(error, "expected VERB KIND");
  out[std::string(f[0])] = k;
  return true;
}

bool ParseAdjectiveKindLine(std::string_view line, WordLists& lists, std::string& error) {
  std::vector<std::string_view> f = SplitFields(line);
  if (f.empty()) return true;
  AdjectiveKind k;
  if (f.size() != 2 || !Lookup(f[1], kAdjectiveKinds, k)) return Fail(error, "expected ADJECTIVE KIND");
  std::string_view word = f[0];
  bool attribute = word[0] == '=';
  if (attribute) word.remove_prefix(1);
  if (!ValidWord(word)) return Fail(error, "the word must be lower case, 1 to 79 characters");
  (attribute ? lists.attributeKinds : lists.adjectiveKinds)[std::string(word)] = k;
  return true;
}

bool ParseFrequencyLine(std::string_view line, std::map<std::string, FrequencyCounts>& out, std::string& error) {
  std::vector<std::string_view> f = SplitFields(line);
  if (f.empty()) return true;
  // The proper-name count is optional (lists written before it had 7).
  if ((f.size() != 1 + kFreqGroupCount && f.size() != 1 + kFreqColumns) || !ValidWord(f[0]))
    return Fail(error, "expected WORD and 7 or 8 counts");
  FrequencyCounts counts{};
  for (size_t i = 0; i + 1 < f.size(); ++i) {
    std::string_view s = f[1 + i];
    if (s.empty() || s.size() > 9) return Fail(error, "bad count");
    int v = 0;
    for (char c : s) {
      if (c < '0' || c > '9') return Fail(error, "bad count");
      v = v * 10 + (c - '0');
    }
    counts[i] = v;
  }
  out[std::string(f[0])] = counts;
  return true;
}

bool ParseClosedList(std::string_view text, const std::string& name, WordLists& lists, std::string& error) {
  return wordnet::ForEachLine(text, name, error, false, [&](std::string_view l, std::string& why) {
    return ParseClosedLine(l, lists.closed, why);
  });
}
bool ParseIrregularList(std::string_view text, const std::string& name, WordLists& lists, std::string& error) {
  return wordnet::ForEachLine(text, name, error, false, [&](std::string_view l, std::string& why) {
    return ParseIrregularLine(l, lists.irregularVerbs, why);
  });
}
bool ParseVerbKindList(std::string_view text, const std::string& name, WordLists& lists, std::string& error) {
  return wordnet::ForEachLine(text, name, error, false, [&](std::string_view l, std::string& why) {
    return ParseVerbKindLine(l, lists.verbKinds, why);
  });
}
bool ParseAdjectiveKindList(std::string_view text, const std::string& name, WordLists& lists, std::string& error) {
  return wordnet::ForEachLine(text, name, error, false, [&](std::string_view l, std::string& why) {
    return ParseAdjectiveKindLine(l, lists, why);
  });
}
bool ParseFrequencyList(std::string_view text, const std::string& name, WordLists& lists, std::string& error) {
  return wordnet::ForEachLine(text, name, error, false, [&](std::string_view l, std::string& why) {
    return ParseFrequencyLine(l, lists.frequencies, why);
  });
}

bool ParseNameList(std::string_view text, const std::string& name, WordLists& lists, std::string& error) {
  return wordnet::ForEachLine(text, name, error, false, [&](std::string_view l, std::string& why) {
    for (std::string_view w : SplitFields(l)) {
      if (!ValidWord(w)) return Fail(why, "the name must be lower case, 1 to 79 characters");
      lists.givenNames.emplace_back(w);
    }
    return true;
  });
}

bool ParseExpressionExclusionList(std::string_view text, const std::string& name, WordLists& lists,
                                  std::string& error) {
  return wordnet::ForEachLine(text, name, error, false, [&](std::string_view l, std::string& why) {
    std::vector<std::string_view> f = SplitFields(l);
    if (f.empty()) return true;
    if (f.size() != 1) return Fail(why, "one expression a line");
    const std::string_view w = f[0];
    if (!ValidWord(w) || w.find('_') == std::string_view::npos || w.front() == '_' || w.back() == '_')
      return Fail(why, "the expression must be lower case, 1 to 79 characters, its words joined with '_'");
    lists.excludedExpressions.emplace(w);
    return true;
  });
}

bool ParseStyleNormList(std::string_view text, const std::string& name, WordLists& lists, std::string& error) {
  return wordnet::ForEachLine(text, name, error, false, [&](std::string_view l, std::string& why) {
    std::vector<std::string_view> f = SplitFields(l);
    if (f.empty()) return true;
    auto number = [](std::string_view t, int& v) {
      bool minus = !t.empty() && t[0] == '-';
      if (minus) t.remove_prefix(1);
      if (t.empty() || t.size() > 3) return false;
      v = 0;
      for (char c : t) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
      }
      if (minus) v = -v;
      return true;
    };
    int code, value;
    if (f.size() != 2 || !number(f[0], code) || !number(f[1], value)) return Fail(why, "expected CODE VALUE");
    if (code < 1 || code > 77 || value < -128 || value > 127) return Fail(why, "code or value out of range");
    if (lists.styleNormGiven[code - 1]) return Fail(why, "code given twice");
    lists.styleNormGiven[code - 1] = true;
    lists.styleNorms[code - 1] = static_cast<int8_t>(value);
    return true;
  });
}

bool LoadWordLists(const std::string& folder, const std::string& frequencyFile, WordLists& lists, std::string& error) {
  struct {
    const char* file;
    bool (*parse)(std::string_view, const std::string&, WordLists&, std::string&);
  } const kLists[] = {
      {"closed.txt", ParseClosedList},        {"irregular_verbs.txt", ParseIrregularList},
      {"verb_kinds.txt", ParseVerbKindList},  {"adjective_kinds.txt", ParseAdjectiveKindList},
      {"names.txt", ParseNameList},           {"excluded_expressions.txt", ParseExpressionExclusionList},
      {"style_norms.txt", ParseStyleNormList}};
  std::string text;
  for (const auto& l : kLists) {
    std::string path = folder + "/" + l.file;
    if (!wordnet::ReadWholeFile(path, text, error) || !l.parse(text, path, lists, error)) return false;
  }
  for (bool given : lists.styleNormGiven)
    if (!given) return Fail(error, folder + "/style_norms.txt: a style norm is missing");
  if (!frequencyFile.empty())
    return wordnet::ReadWholeFile(frequencyFile, text, error) && ParseFrequencyList(text, frequencyFile, lists, error);
  return true;
}

}  // namespace quilor::dico
