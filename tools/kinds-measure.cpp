// kinds-measure: how often the analysis gives the right sub-kind (the verb's
// kind, the connector's, the modality's, the adjective's, the pronoun's
// family) to words judged by hand in context.
//
//   kinds-measure --dico DIR [--sample FILE] [--misses]
//   kinds-measure --dico DIR --draw N [--corpus DIR] [--seed S]
//   kinds-measure --dico DIR --draw N --words W,W,... [--corpus DIR] [--seed S]
//   kinds-measure --dico DIR --draw N --plain DIR [--seed S]
//
// The sample (by default dico/kinds_sample.txt) holds one judged token a
// line: SOURCE TAB ACCEPTED TAB MOOD TAB CONTEXT. CONTEXT is the sentence
// with the token between [[ and ]]; ACCEPTED the labels that are right for
// it, separated by '|' ("verb reflexive", "connector time", "preposition");
// MOOD, for a verb, the moods that are right ("infinitive|indicative"), or
// "-". Each sentence is analysed alone (word scanner, segment buffer,
// resolver); the token's chosen reading is described as a label ("verb
// factive past participle") and agrees when every word of one accepted label
// is in it.
//
// A token counts in a family (verbs, connectors, modalities, adjectives,
// pronouns and determiners) when its first accepted label or its chosen
// reading is of that family, so that a reading given wrongly counts against
// the family as much as one missed. Per sub-kind: the tokens judged of it, how many agree, and
// how many other tokens were given it. Each family also shows the share right
// of the tokens judged of it, and of the tokens the analysis gave it. Per
// word (the token lower-cased): its tokens and how many agree.
//
// --draw prints N tokens of each family drawn at random (the family of the
// chosen reading, else of the Brown tag) from 48 files spread over the
// corpus, in the sample's format with the chosen label as ACCEPTED, for
// judging by hand.
//
// --words draws N tokens of each word listed (any case) from all the files,
// leaving out sentences the sample already holds; two names stand for
// homographs: @verb-noun (a word with a Verb and a Substantive reading) and
// @adjective-noun (a word with an Adjective and a Substantive reading, before
// a token Brown tags as a noun). ACCEPTED is then "?", to be judged from the
// sentence; the chosen label and the Brown tag follow as a comment. --tag T
// keeps the tokens Brown tags T, --first a sentence's first words: the less
// frequent uses of a word are drawn so.
//
// --plain draws N tokens at random from every file of a folder of plain
// text, one sentence a line: each word that has a reading of one of the
// five families, or no reading at all, is equally likely, whatever the
// analysis reads it as. ACCEPTED is "?", the group "random".
//
// --group G measures only the tokens of group G, --not-group G the others,
// so that the random draw and the tokens aimed at rules are scored apart.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/messages.h"
#include "core/tuning.h"
#include "dico/brown_tags.h"
#include "engine/analysis_dictionaries.h"
#include "engine/segment_buffer.h"
#include "engine/word_list.h"
#include "engine/word_lookup_cache.h"
#include "platform/message_ui.h"
#include "core/tool_main.h"

namespace {

using namespace quilor;

const char* const kFamilies[] = {"verbs", "connectors", "modalities", "adjectives", "pronouns and determiners"};
constexpr int kFamilyCount = 5;

// The family of a label's first word (-1: none of the five). Determiners go
// with the pronouns: which, that and one are read as either.
int FamilyOf(const std::string& label) {
  static const char* const kFirst[] = {"verb", "connector", "modality", "adjective", "pronoun"};
  const std::string first = label.substr(0, label.find(' '));
  if (first == "determiner") return 4;
  for (int f = 0; f < kFamilyCount; ++f)
    if (first == kFirst[f]) return f;
  return -1;
}

// A readable label of a chosen reading, sub-kind second.
std::string Describe(const TCategoryRecord& r) {
  static const char* const kVerbKinds[] = {"?", "factive", "stative", "reflexive", "performative"};
  static const char* const kTenses[] = {"?", "present", "past", "future", "other-tense"};
  static const char* const kMoods[] = {"?",          "indicative", "conditional", "subjunctive",
                                       "participle", "infinitive", "other-mood"};
  static const char* const kConnectors[] = {"?",          "condition",  "cause", "goal",  "addition", "disjunction",
                                            "opposition", "comparison", "time",  "place", "manner"};
  static const char* const kModalities[] = {"?",         "time",  "place",    "manner",
                                            "assertion", "doubt", "negation", "intensity"};
  static const char* const kAdjectives[] = {"?", "objective", "subjective", "numeral", "others"};
  static const char* const kPronouns[] = {"?", "relative", "possessive", "personal", "deixis", "others"};
  auto pick = [](const char* const* names, size_t n, int i) {
    return names[i >= 0 && static_cast<size_t>(i) < n ? i : 0];
  };
  switch (NormaliseMajorClass(const_cast<TCategoryRecord&>(r))) {
    case kClassVerb: {
      std::string s = std::string("verb ") + pick(kVerbKinds, 5, r.Subclass) + " " + pick(kTenses, 5, r.SubField2) +
                      " " + pick(kMoods, 7, r.SubField3);
      if (IsGerund(r)) s += " gerund";
      if (IsAuxiliary(r)) s += " auxiliary";
      return s;
    }
    case kClassConnector: return std::string("connector ") + pick(kConnectors, 11, r.Subclass);
    case kClassModality: return std::string("modality ") + pick(kModalities, 8, r.Subclass);
    case kClassAdjective: return std::string("adjective ") + pick(kAdjectives, 5, r.Subclass);
    case kClassPronoun: return std::string("pronoun ") + pick(kPronouns, 6, r.Subclass);
    case kClassDeterminant: return "preposition";
    case kClassDeterminant2: return "determiner";
    case kClassUnknown: return "unknown";
    default: return "substantive";
  }
}

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> out;
  std::string part;
  std::istringstream in(s);
  while (std::getline(in, part, sep)) out.push_back(part);
  return out;
}

std::set<std::string> Words(const std::string& s) {
  std::set<std::string> out;
  std::istringstream in(s);
  for (std::string w; in >> w;) out.insert(w);
  return out;
}

bool Matches(const std::string& accepted, const std::string& chosen) {
  const std::set<std::string> have = Words(chosen);
  for (const std::string& w : Words(accepted))
    if (!have.count(w)) return false;
  return true;
}

std::string Key(const std::string& s) {
  std::string k;
  for (unsigned char c : s)
    if (std::isalnum(c)) k += static_cast<char>(std::tolower(c));
  return k;
}

// Analyses one sentence given as tokens and returns the chosen reading of
// each token ("-" for tokens no word reached). Punctuation tokens are glued
// to the word after them as the scanner expects.
std::vector<std::string> ChosenLabels(const std::vector<std::string>& tokens) {
  std::string text;
  std::string stream;
  std::vector<int> owner;
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (brown::IsPunctuationToken(tokens[i])) {
      text += tokens[i];
      continue;
    }
    text += ' ';
    text += tokens[i];
    const std::string k = Key(tokens[i]);
    stream += k;
    owner.insert(owner.end(), k.size(), static_cast<int>(i));
  }
  text += '\n';
  SegmentTextAsFile(reinterpret_cast<const unsigned char*>(text.data()), text.size(), false);
  std::vector<std::string> labels(tokens.size(), "-");
  size_t p = 0;
  for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n)) {
    if (std::strcmp(n->text, "/") == 0) continue;
    const std::string k = Key(n->text);
    if (k.empty()) continue;
    if (stream.compare(p, k.size(), k) != 0) {
      const size_t found = stream.find(k, p);
      if (found == std::string::npos) continue;
      p = found;
    }
    const std::string label = Describe(n->category.Category);
    for (size_t c = p; c < p + k.size(); ++c)
      if (labels[owner[c]] == "-") labels[owner[c]] = label;
    p += k.size();
  }
  TextWords.Clear();
  return labels;
}

struct Judged {
  std::string source, accepted, mood, context, group;
};

struct GroupFilter {
  std::string only, without;
  bool Keeps(const std::string& group) const {
    return (only.empty() || group == only) && (without.empty() || group != without);
  }
};

int Measure(const std::string& samplePath, bool misses, const GroupFilter& groups) {
  std::ifstream in(samplePath);
  if (!in) {
    std::fprintf(stderr, "kinds-measure: cannot read %s\n", samplePath.c_str());
    return 66;
  }
  struct Row {
    long judged = 0, agreed = 0, givenWrongly = 0;
  };
  std::map<std::string, Row> subKinds;
  long familyTokens[kFamilyCount] = {}, familyAgreed[kFamilyCount] = {};
  long judgedIn[kFamilyCount] = {}, judgedRight[kFamilyCount] = {}, givenIn[kFamilyCount] = {},
       givenRight[kFamilyCount] = {};
  long moods = 0, moodsAgreed = 0;
  std::map<std::string, Row> moodRows;
  std::map<std::string, Row> perWord, perGroup;
  std::string line;
  int lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (line.empty() || line[0] == '#') continue;
    const std::vector<std::string> f = Split(line, '\t');
    if (f.size() < 4) {
      std::fprintf(stderr, "kinds-measure: %s:%d: four fields expected\n", samplePath.c_str(), lineNumber);
      return 65;
    }
    // A fifth field names the group the token was drawn for (a comment
    // begins with '#').
    const Judged j{f[0], f[1], f[2], f[3], f.size() > 4 && !f[4].empty() && f[4][0] != '#' ? f[4] : std::string()};
    if (!groups.Keeps(j.group)) continue;
    std::vector<std::string> tokens;
    int target = -1;
    std::istringstream words(j.context);
    for (std::string w; words >> w;) {
      if (w.size() > 4 && w.compare(0, 2, "[[") == 0 && w.compare(w.size() - 2, 2, "]]") == 0) {
        target = static_cast<int>(tokens.size());
        w = w.substr(2, w.size() - 4);
      }
      tokens.push_back(w);
    }
    if (target < 0) {
      std::fprintf(stderr, "kinds-measure: %s:%d: no [[token]]\n", samplePath.c_str(), lineNumber);
      return 65;
    }
    const std::string chosen = ChosenLabels(tokens)[target];
    const std::vector<std::string> accepted = Split(j.accepted, '|');
    bool ok = false;
    for (const std::string& a : accepted) ok |= Matches(a, chosen);
    const std::string& judgedLabel = accepted.empty() ? std::string() : accepted[0];
    const std::vector<std::string> judgedWords = Split(judgedLabel, ' ');
    const std::string judgedKind = judgedWords.size() >= 2 && FamilyOf(judgedLabel) >= 0
                                       ? judgedWords[0] + " " + judgedWords[1]
                                   : judgedWords.empty() ? std::string("?")
                                                         : judgedWords[0];
    const std::vector<std::string> chosenWords = Split(chosen, ' ');
    const std::string chosenKind =
        chosenWords.size() >= 2 && FamilyOf(chosen) >= 0 ? chosenWords[0] + " " + chosenWords[1] : chosen;
    Row& word = perWord[Key(tokens[target])];
    ++word.judged;
    word.agreed += ok;
    if (!j.group.empty()) {
      Row& group = perGroup[j.group];
      ++group.judged;
      group.agreed += ok;
    }
    Row& row = subKinds[judgedKind];
    ++row.judged;
    row.agreed += ok;
    if (!ok) ++subKinds[chosenKind].givenWrongly;
    const int jf = FamilyOf(judgedLabel), cf = FamilyOf(chosen);
    for (int fam = 0; fam < kFamilyCount; ++fam)
      if (jf == fam || cf == fam) {
        ++familyTokens[fam];
        if (ok) ++familyAgreed[fam];
      }
    if (jf >= 0) {
      ++judgedIn[jf];
      judgedRight[jf] += ok;
    }
    if (cf >= 0) {
      ++givenIn[cf];
      givenRight[cf] += ok;
    }
    bool moodOk = true;
    if (j.mood != "-" && cf == 0) {
      moodOk = false;
      for (const std::string& m : Split(j.mood, '|')) moodOk |= Matches(m, chosen);
      ++moods;
      moodsAgreed += moodOk;
      Row& mr = moodRows[Split(j.mood, '|')[0]];
      ++mr.judged;
      mr.agreed += moodOk;
    }
    if (misses && (!ok || !moodOk))
      std::printf("miss\t%s\t%s\t%s\tchosen: %s\t%s\n", j.source.c_str(), j.accepted.c_str(), j.mood.c_str(),
                  chosen.c_str(), j.context.c_str());
  }
  std::printf("sub-kind\tjudged\tagreed\tpercent\tgiven wrongly\n");
  for (const auto& [kind, r] : subKinds)
    std::printf("%s\t%ld\t%ld\t%.1f\t%ld\n", kind.c_str(), r.judged, r.agreed,
                r.judged ? 100.0 * r.agreed / r.judged : 0.0, r.givenWrongly);
  auto pct = [](long part, long whole) { return whole ? 100.0 * part / whole : 0.0; };
  std::printf("\nfamily\ttokens\tagreed\tpercent\tjudged of it: right\tgiven it: right\n");
  for (int fam = 0; fam < kFamilyCount; ++fam)
    std::printf("%s\t%ld\t%ld\t%.1f\t%ld: %.1f\t%ld: %.1f\n", kFamilies[fam], familyTokens[fam], familyAgreed[fam],
                pct(familyAgreed[fam], familyTokens[fam]), judgedIn[fam], pct(judgedRight[fam], judgedIn[fam]),
                givenIn[fam], pct(givenRight[fam], givenIn[fam]));
  std::printf("\nmood (judged verbs read as verbs)\t%ld\t%ld\t%.1f\n", moods, moodsAgreed,
              moods ? 100.0 * moodsAgreed / moods : 0.0);
  for (const auto& [mood, r] : moodRows)
    std::printf("  %s\t%ld\t%ld\t%.1f\n", mood.c_str(), r.judged, r.agreed,
                r.judged ? 100.0 * r.agreed / r.judged : 0.0);
  if (!perGroup.empty()) {
    std::printf("\ngroup\ttokens\tagreed\tpercent\n");
    for (const auto& [group, r] : perGroup)
      std::printf("%s\t%ld\t%ld\t%.1f\n", group.c_str(), r.judged, r.agreed, pct(r.agreed, r.judged));
  }
  // Words met often enough for a share to say something; the rest in one line.
  std::printf("\nword (3 tokens or more)\ttokens\tagreed\tpercent\n");
  Row rest;
  for (const auto& [w, r] : perWord) {
    if (r.judged < 3) {
      rest.judged += r.judged;
      rest.agreed += r.agreed;
      continue;
    }
    std::printf("%s\t%ld\t%ld\t%.1f\n", w.c_str(), r.judged, r.agreed, pct(r.agreed, r.judged));
  }
  std::printf("(other words)\t%ld\t%ld\t%.1f\n", rest.judged, rest.agreed, pct(rest.agreed, rest.judged));
  return 0;
}

// The corpus's file names from its cats.txt, sorted; empty (and said) when there is none.
std::vector<std::string> CorpusFileNames(const std::string& corpus) {
  std::vector<std::string> names;
  std::ifstream cats(corpus + "/cats.txt");
  std::string name, cat;
  while (cats >> name >> cat) names.push_back(name);
  std::sort(names.begin(), names.end());
  if (names.empty()) std::fprintf(stderr, "kinds-measure: no cats.txt in %s\n", corpus.c_str());
  return names;
}

int Draw(const std::string& corpus, int perFamily, unsigned seed) {
  const std::vector<std::string> names = CorpusFileNames(corpus);
  if (names.empty()) return 66;
  struct Candidate {
    std::string line;
  };
  std::vector<Candidate> pools[kFamilyCount];
  const size_t files = std::min<size_t>(48, names.size());
  for (size_t k = 0; k < files; ++k) {
    const std::string& name = names[k * names.size() / files];
    std::ifstream in(corpus + "/" + name);
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
      ++lineNumber;
      std::vector<std::string> tokens, tags;
      std::istringstream words(line);
      for (std::string t; words >> t;) {
        const size_t slash = t.rfind('/');
        if (slash == std::string::npos || slash == 0) continue;
        std::string w = t.substr(0, slash);
        if (w == "``" || w == "''") w = "\"";
        tokens.push_back(w);
        tags.push_back(t.substr(slash + 1));
      }
      if (tokens.empty()) continue;
      const std::vector<std::string> labels = ChosenLabels(tokens);
      for (size_t i = 0; i < tokens.size(); ++i) {
        if (brown::IsPunctuationToken(tokens[i]) || labels[i] == "-") continue;
        int fam = FamilyOf(labels[i]);
        if (fam < 0) {
          switch (brown::GroupOfTag(tags[i])) {
            case brown::kVerb: fam = 0; break;
            case brown::kConjunction: fam = 1; break;
            case brown::kAdverb: fam = 2; break;
            case brown::kAdjective: fam = 3; break;
            case brown::kPronoun: fam = 4; break;
            default:
              // Wh-determiners and existential "there" are judged with the pronouns.
              if (tags[i].rfind("wdt", 0) == 0 || tags[i].rfind("ex", 0) == 0) fam = 4;
              break;
          }
        }
        if (fam < 0) continue;
        std::string context;
        for (size_t t = 0; t < tokens.size(); ++t)
          context += (t ? " " : "") + (t == i ? "[[" + tokens[t] + "]]" : tokens[t]);
        const std::vector<std::string> w = Split(labels[i], ' ');
        const std::string kind = w.size() >= 2 && FamilyOf(labels[i]) >= 0 ? w[0] + " " + w[1] : labels[i];
        pools[fam].push_back({name + ":" + std::to_string(lineNumber) + "\t" + kind + "\t-\t" + context + "\t# " +
                              tags[i] + " " + labels[i]});
      }
    }
  }
  std::mt19937 random(seed);
  for (int fam = 0; fam < kFamilyCount; ++fam) {
    std::shuffle(pools[fam].begin(), pools[fam].end(), random);
    std::printf("# %s (%zu candidates)\n", kFamilies[fam], pools[fam].size());
    for (int k = 0; k < perFamily && k < static_cast<int>(pools[fam].size()); ++k)
      std::printf("%s\n", pools[fam][k].line.c_str());
  }
  return 0;
}

// The words of a tagged corpus line and their tags (`` and '' as '"').
void ReadTaggedLine(const std::string& line, std::vector<std::string>& tokens, std::vector<std::string>& tags) {
  tokens.clear();
  tags.clear();
  std::istringstream words(line);
  for (std::string t; words >> t;) {
    const size_t slash = t.rfind('/');
    if (slash == std::string::npos || slash == 0) continue;
    std::string w = t.substr(0, slash);
    if (w == "``" || w == "''") w = "\"";
    tokens.push_back(w);
    tags.push_back(t.substr(slash + 1));
  }
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// N tokens of each listed word, or of the homograph pools, from every file;
// the sentences the sample holds are left out.
struct DrawFilter {
  std::string tag;     // only tokens of this Brown tag (its suffix after '-' dropped)
  bool first = false;  // only a sentence's first word
};

int DrawWords(const std::string& corpus, int perWord, const std::string& list, const std::string& group,
              const DrawFilter& filter, const std::string& samplePath, unsigned seed) {
  const std::vector<std::string> names = CorpusFileNames(corpus);
  if (names.empty()) return 66;
  std::set<std::string> judgedSources;
  {
    std::ifstream in(samplePath);
    std::string line;
    while (std::getline(in, line))
      if (!line.empty() && line[0] != '#') judgedSources.insert(line.substr(0, line.find('\t')));
  }
  const std::vector<std::string> wanted = Split(list, ',');
  std::map<std::string, size_t> pool;
  for (const std::string& w : wanted) pool.emplace(Lower(w), pool.size());
  TWordLookupCache cache;
  std::map<std::string, std::pair<bool, bool>> homographs;  // verb-noun, adjective-noun
  auto kindsOf = [&](const std::string& w) {
    auto it = homographs.find(w);
    if (it != homographs.end()) return it->second;
    TCategoryRecord r[kCachedReadings];
    const int n = cache.WordReadings(w.c_str(), r, nullptr);
    bool verb = false, noun = false, adjective = false;
    for (int k = 0; k < n; ++k) {
      verb |= IsVerb(r[k]);
      noun |= IsSubstantive(r[k]) && !IsClassUnset(r[k]);
      adjective |= IsAdjective(r[k]);
    }
    return homographs[w] = {verb && noun, adjective && noun};
  };
  struct Candidate {
    size_t line;
    size_t token;
  };
  std::vector<std::string> lines, sources;
  std::vector<std::vector<Candidate>> candidates(pool.size());
  std::vector<std::string> tokens, tags;
  for (const std::string& name : names) {
    std::ifstream in(corpus + "/" + name);
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
      ++lineNumber;
      const std::string source = name + ":" + std::to_string(lineNumber);
      if (judgedSources.count(source)) continue;
      ReadTaggedLine(line, tokens, tags);
      bool kept = false;
      bool firstWord = true;
      for (size_t i = 0; i < tokens.size(); ++i) {
        if (brown::IsPunctuationToken(tokens[i])) continue;
        const bool atStart = firstWord;
        firstWord = false;
        if (filter.first && !atStart) continue;
        if (!filter.tag.empty() && tags[i].substr(0, tags[i].find('-')) != filter.tag) continue;
        const std::string w = Lower(tokens[i]);
        size_t which = pool.size();
        if (auto it = pool.find(w); it != pool.end()) {
          which = it->second;
        } else if (pool.count("@verb-noun") && kindsOf(w).first) {
          which = pool["@verb-noun"];
        } else if (pool.count("@adjective-noun") && i + 1 < tokens.size() &&
                   brown::GroupOfTag(tags[i + 1]) == brown::kNoun && kindsOf(w).second) {
          which = pool["@adjective-noun"];
        }
        if (which == pool.size()) continue;
        if (!kept) {
          lines.push_back(line);
          sources.push_back(source);
          kept = true;
        }
        candidates[which].push_back({lines.size() - 1, i});
      }
    }
  }
  std::mt19937 random(seed);
  for (const auto& [word, which] : pool) {
    std::vector<Candidate>& c = candidates[which];
    std::shuffle(c.begin(), c.end(), random);
    std::printf("# %s (%zu candidates)\n", word.c_str(), c.size());
    for (int k = 0; k < perWord && k < static_cast<int>(c.size()); ++k) {
      ReadTaggedLine(lines[c[k].line], tokens, tags);
      const std::string label = ChosenLabels(tokens)[c[k].token];
      std::string context;
      for (size_t t = 0; t < tokens.size(); ++t)
        context += (t ? " " : "") + (t == c[k].token ? "[[" + tokens[t] + "]]" : tokens[t]);
      const std::string g = word[0] == '@' ? word.substr(1) : group;
      std::printf("%s\t?\t-\t%s\t%s\t# %s %s\n", sources[c[k].line].c_str(), context.c_str(), g.c_str(),
                  tags[c[k].token].c_str(), label.c_str());
    }
  }
  return 0;
}

// The tokens of a plain line as the sample writes them: punctuation before
// and after a word apart (the apostrophe inside a word stays).
std::vector<std::string> PlainTokens(const std::string& line) {
  std::vector<std::string> tokens;
  std::istringstream in(line);
  auto alnum = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; };
  for (std::string chunk; in >> chunk;) {
    size_t b = 0, e = chunk.size();
    while (b < e && !alnum(chunk[b])) tokens.push_back(chunk.substr(b++, 1));
    size_t end = e;
    while (end > b && !alnum(chunk[end - 1])) --end;
    if (end > b) tokens.push_back(chunk.substr(b, end - b));
    for (size_t k = end; k < e && end > b; ++k) tokens.push_back(chunk.substr(k, 1));
  }
  return tokens;
}

int DrawPlain(const std::string& folder, int count, unsigned seed) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    if (entry.path().extension() == ".txt") names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  TWordLookupCache cache;
  std::map<std::string, bool> drawable;
  auto candidate = [&](const std::string& word) {
    const std::string w = Lower(word);
    auto it = drawable.find(w);
    if (it != drawable.end()) return it->second;
    TCategoryRecord r[kCachedReadings];
    const int n = cache.WordReadings(w.c_str(), r, nullptr);
    bool any = n == 0;
    for (int k = 0; k < n; ++k) any |= FamilyOf(Describe(r[k])) >= 0;
    return drawable[w] = any;
  };
  struct Candidate {
    uint32_t line;
    uint32_t token;
  };
  std::vector<std::string> lines, sources;
  std::vector<Candidate> pool;
  for (const std::string& name : names) {
    std::ifstream in(folder + "/" + name);
    if (!in) continue;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
      ++lineNumber;
      const std::vector<std::string> tokens = PlainTokens(line);
      bool kept = false;
      for (size_t i = 0; i < tokens.size(); ++i) {
        if (brown::IsPunctuationToken(tokens[i]) || !candidate(tokens[i])) continue;
        if (!kept) {
          lines.push_back(line);
          sources.push_back(name.substr(0, name.rfind('.')) + ":" + std::to_string(lineNumber));
          kept = true;
        }
        pool.push_back({static_cast<uint32_t>(lines.size() - 1), static_cast<uint32_t>(i)});
      }
    }
  }
  if (pool.empty()) {
    std::fprintf(stderr, "kinds-measure: no text in %s\n", folder.c_str());
    return 66;
  }
  std::mt19937 random(seed);
  std::shuffle(pool.begin(), pool.end(), random);
  std::printf("# random (%zu candidates)\n", pool.size());
  int drawn = 0;
  for (size_t k = 0; k < pool.size() && drawn < count; ++k) {
    const std::vector<std::string> tokens = PlainTokens(lines[pool[k].line]);
    const std::string label = ChosenLabels(tokens)[pool[k].token];
    if (label == "-") continue;
    std::string context;
    for (size_t t = 0; t < tokens.size(); ++t)
      context += (t ? " " : "") + (t == pool[k].token ? "[[" + tokens[t] + "]]" : tokens[t]);
    std::printf("%s\t?\t-\t%s\trandom\t# %s\n", sources[pool[k].line].c_str(), context.c_str(), label.c_str());
    ++drawn;
  }
  return 0;
}

int Run(int argc, char** argv) {
  std::string corpus = std::string(QUILOR_CORPUS_ROOT) + "/brown", dico, sample = "dico/kinds_sample.txt", words,
              group = "words", plain;
  DrawFilter filter;
  GroupFilter groups;
  int draw = 0;
  unsigned seed = 19;
  bool misses = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--misses") {
      misses = true;
      continue;
    }
    if (a == "--first") {
      filter.first = true;
      continue;
    }
    if (i + 1 >= argc) break;
    if (a == "--corpus") corpus = argv[++i];
    else if (a == "--dico") dico = argv[++i];
    else if (a == "--sample") sample = argv[++i];
    else if (a == "--draw") draw = std::atoi(argv[++i]);
    else if (a == "--words") words = argv[++i];
    else if (a == "--group") group = groups.only = argv[++i];
    else if (a == "--not-group") groups.without = argv[++i];
    else if (a == "--plain") plain = argv[++i];
    else if (a == "--tag") filter.tag = argv[++i];
    else if (a == "--seed") seed = static_cast<unsigned>(std::atoi(argv[++i]));
    else if (a == "--reading-cost") Tuning.laterReadingCost = std::atoi(argv[++i]);
  }
  if (dico.empty()) {
    std::fprintf(stderr,
                 "usage: kinds-measure --dico DIR [--sample FILE] [--misses] [--group G | --not-group G]\n"
                 "       kinds-measure --dico DIR --draw N [--words W,... [--group G] [--tag T] [--first]]\n"
                 "                     [--corpus DIR] [--seed S]\n"
                 "       kinds-measure --dico DIR --draw N --plain DIR [--seed S]\n");
    return 64;
  }
  ScriptedMessageUi ui(true);
  SetMessageUi(&ui);
  InitMessages();
  OpenAnalysisDictionaries(dico);
  int rc = 0;
  if (draw <= 0) rc = Measure(sample, misses, groups);
  else if (!plain.empty()) rc = DrawPlain(plain, draw, seed);
  else if (words.empty()) rc = Draw(corpus, draw, seed);
  else rc = DrawWords(corpus, draw, words, group, filter, sample, seed);
  CloseAnalysisDictionaries();
  SetMessageUi(nullptr);
  return rc;
}

}  // namespace

int main(int argc, char** argv) { return quilor::RunTool(Run, argc, argv); }
