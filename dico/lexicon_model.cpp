#include "dico/lexicon_model.h"

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <set>

namespace quilor::dico {

using wordnet::Pos;

namespace {

bool IsVowel(char c) { return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u'; }
bool EndsWith(const std::string& s, std::string_view end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// Only plain words take generated inflections (no digits, dots or apostrophes).
bool Inflectable(const std::string& w) {
  if (w.size() < 2) return false;
  for (char c : w)
    if (!((c >= 'a' && c <= 'z') || c == '_' || c == '-')) return false;
  return w.back() != '_' && w.back() != '-';
}

// Applies an inflection to the head of an expression: the last word of a
// noun, the first of a verb (look_up -> looked_up).
std::string InflectLast(const std::string& w, std::string (*f)(const std::string&)) {
  size_t cut = w.find_last_of('_');
  if (cut == std::string::npos) return f(w);
  std::string last = f(w.substr(cut + 1));
  return last.empty() ? std::string() : w.substr(0, cut + 1) + last;
}
std::string InflectFirst(const std::string& w, std::string (*f)(const std::string&)) {
  size_t cut = w.find('_');
  if (cut == std::string::npos) return f(w);
  std::string first = f(w.substr(0, cut));
  return first.empty() ? std::string() : first + w.substr(cut);
}

int VowelGroups(const std::string& w) {
  int groups = 0;
  bool in = false;
  for (char c : w) {
    bool v = IsVowel(c) || c == 'y';
    if (v && !in) ++groups;
    in = v;
  }
  if (groups > 1 && w.size() > 2 && w.back() == 'e' && !IsVowel(w[w.size() - 2])) --groups;  // silent e
  return groups;
}

bool IsLetter(char c) { return c >= 'a' && c <= 'z'; }

// How much more often (WordNet tagged senses) a verb must be met than the
// homograph lemma of one of its past forms for that lemma's present to go.
constexpr int kHomographRatio = 5;

}  // namespace

std::string JoinedSpelling(const std::string& w) {
  std::string out;
  bool changed = false;
  for (size_t i = 0; i < w.size(); ++i) {
    char c = w[i];
    bool between = i > 0 && i + 1 < w.size() && IsLetter(w[i - 1]) && IsLetter(w[i + 1]);
    if (c == '\'' && between) {
      out += '_';
      changed = true;
    } else if (c == '.' && i + 1 < w.size() && w[i + 1] == '_' && i > 0 && IsLetter(w[i - 1])) {
      changed = true;  // "st._louis": the dot goes, the '_' stays
    } else if (c == '\'' || c == '.') {
      return {};  // other apostrophes and dots have no joined spelling
    } else {
      out += c;
    }
  }
  return changed ? out : std::string();
}

namespace {

// Proper names take a plural only when they name people or groups (Americans).
bool IsPeopleName(const wordnet::Database& wn, const std::string& lemma) {
  int lexFile = wn.FirstSenseLexFile(Pos::Noun, lemma);
  return lexFile == 14 || lexFile == 18;  // noun.group, noun.person
}

int ClassRank(TCategoryCode code) {
  // Fallback order of the parts of speech when nothing else decides.
  switch (MajorClassOfCode(code)) {
    case 1: return 1;
    case 4: return 2;
    case 3: return 3;
    default: return MajorClassOfCode(code) == 0 ? 0 : 4;
  }
}

}  // namespace

int FrequencyScore(TCategoryCode code, const FrequencyCounts& c, bool adverbsAreModalities) {
  switch (MajorClassOfCode(code)) {
    case 1: return c[kFreqVerb];
    // A preposition's tokens never count for a connector (for, after, until
    // stay prepositions); an adverb's count for the connector only when the
    // word has no modality reading to take them (then, still, so).
    case 2: return c[kFreqConjunction] + (adverbsAreModalities ? 0 : c[kFreqAdverb]);
    case 3: return c[kFreqAdverb];
    case 4: return c[kFreqAdjective];
    case 5:
      return c[kFreqPronoun] + ((code & 0x0F) == static_cast<int>(PronounKind::Relative) ? c[kFreqConjunction] : 0);
    case 6: return c[kFreqDeterminant];
    default: return c[kFreqNoun];
  }
}

std::vector<TCategoryCode> OrderReadings(std::vector<Candidate> candidates, const FrequencyCounts* counts) {
  struct Ranked {
    Candidate c;
    int score;
    size_t order;
  };
  std::vector<Ranked> ranked;
  bool closed = false;
  const bool modality = std::any_of(candidates.begin(), candidates.end(),
                                    [](const Candidate& c) { return MajorClassOfCode(c.code) == 3; });
  for (size_t i = 0; i < candidates.size(); ++i) {
    const Candidate& c = candidates[i];
    closed |= c.origin == ReadingOrigin::ClosedList;
    ranked.push_back({c, counts ? FrequencyScore(c.code, *counts, modality) : 0, i});
  }
  int total = 0;
  if (counts)
    for (int g = 0; g < kFreqGroupCount; ++g) total += (*counts)[g];
  if (closed && counts) {
    std::erase_if(ranked,
                  [&](const Ranked& r) { return r.c.origin != ReadingOrigin::ClosedList && r.score * 20 < total; });
  } else if (total >= kUnseenClassTokens &&
             std::any_of(ranked.begin(), ranked.end(), [](const Ranked& r) { return r.score > 0; })) {
    // A class the corpus never shows in this many tokens of the word is no
    // reading of it (the adverb "new", 1,450 adjective tokens).
    std::erase_if(ranked, [](const Ranked& r) { return r.score == 0; });
  }
  std::stable_sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
    if (a.score != b.score) return a.score > b.score;
    bool ac = a.c.origin == ReadingOrigin::ClosedList, bc = b.c.origin == ReadingOrigin::ClosedList;
    if (ac != bc) return ac;
    if (ac) return a.order < b.order;
    if (a.c.weight != b.c.weight) return a.c.weight > b.c.weight;
    if (ClassRank(a.c.code) != ClassRank(b.c.code)) return ClassRank(a.c.code) < ClassRank(b.c.code);
    return a.order < b.order;
  });
  std::vector<TCategoryCode> codes;
  for (const Ranked& r : ranked) {
    if (std::find(codes.begin(), codes.end(), r.c.code) != codes.end()) continue;
    codes.push_back(r.c.code);
    if (codes.size() == kMaxReadings) break;
  }
  // A noun read first only by its proper-name tokens (Brown, Frank, Miss)
  // is marked a proper name: the word written in lower case is read by its
  // next reading first (a brown dog, I miss you).
  if (counts && codes.size() >= 2 && codes[0] == kNounCode &&
      std::find(codes.begin(), codes.end(), kProperNameCode) == codes.end()) {
    int next = 0;  // the most frequent reading of another class
    for (const Ranked& r : ranked)
      if (MajorClassOfCode(r.c.code) != 0) next = std::max(next, r.score);
    if ((*counts)[kFreqNoun] - (*counts)[kFreqProperNames] < next) codes[0] = kProperNameCode;
  }
  // A word read first as an adjective whose noun has at least a fifth as
  // many tokens names when it stands alone after an article (the public, the
  // individual, the whole; but the poor, the old), and so does one whose
  // common noun, counted on enough tokens, has at least a tenth (the good
  // of, the present: 54 of 510 and 35 of 218; not white, 11 of 214).
  const int commonNouns = counts ? (*counts)[kFreqNoun] - (*counts)[kFreqProperNames] : 0;
  if (counts && !codes.empty() && MajorClassOfCode(codes[0]) == 4 &&
      ((*counts)[kFreqNoun] * kNamesAloneShare >= (*counts)[kFreqAdjective] ||
       (commonNouns >= kSeldomVerbShare && commonNouns * kNamesAloneShare * 2 >= (*counts)[kFreqAdjective])))
    std::replace(codes.begin(), codes.end(), kNounCode, static_cast<TCategoryCode>(kNounCode | kNamesAloneBit));
  // A word with a verb reading whose verb tokens are fewer than one in
  // kSeldomVerbShare of its tokens, counted on enough of them, is seldom a
  // verb: its noun carries the mark, and the verb is read only where the
  // clause asks for one (people, school, part; not work, need, change).
  if (counts && total >= kSeldomVerbShare && (*counts)[kFreqVerb] * kSeldomVerbShare < total &&
      std::any_of(codes.begin(), codes.end(), [](TCategoryCode c) { return MajorClassOfCode(c) == 1; }))
    for (TCategoryCode& c : codes)
      if ((c & ~kNamesAloneBit) == kNounCode) c |= kSeldomVerbBit;
  // An -ing form whose noun has kGerundNounShare times the verb's tokens
  // names after a preposition when nothing the verb could take follows (of
  // meaning and feeling: 96 nouns, 9 verbs; not feeling, 92 and 15).
  constexpr TCategoryCode kClassTenseMood = 0x0F7C;  // a verb's kind, auxiliary and flag bits aside
  constexpr TCategoryCode kPresentParticiple = VerbCode(VerbKind::Factive, Tense::Present, Mood::Participle);
  if (counts && (*counts)[kFreqNoun] >= kSeldomVerbShare &&
      (*counts)[kFreqNoun] >= kGerundNounShare * (*counts)[kFreqVerb] &&
      std::any_of(codes.begin(), codes.end(),
                  [](TCategoryCode c) { return (c & kClassTenseMood) == kPresentParticiple; }))
    for (TCategoryCode& c : codes)
      if ((c & ~(kNamesAloneBit | kSeldomVerbBit)) == kNounCode) c |= kGerundNamesBit;
  return codes;
}

std::string RegularPlural(const std::string& w) {
  if (w.empty()) return w;
  // fireman -> firemen, but human -> humans.
  static const std::set<std::string> kManPlurals = {"human",  "german",  "roman",  "shaman",  "talisman", "caiman",
                                                    "cayman", "ottoman", "dolman", "brahman", "hetman",   "firman"};
  if (EndsWith(w, "man") && !kManPlurals.count(w)) return w.substr(0, w.size() - 2) + "en";
  char last = w.back(), prev = w.size() > 1 ? w[w.size() - 2] : 0;
  if (EndsWith(w, "s") || EndsWith(w, "x") || EndsWith(w, "z") || EndsWith(w, "ch") || EndsWith(w, "sh"))
    return w + "es";
  if (last == 'y' && !IsVowel(prev)) return w.substr(0, w.size() - 1) + "ies";
  return w + "s";
}

std::string ThirdPersonSingular(const std::string& w) {
  if (w.empty()) return w;
  char prev = w.size() > 1 ? w[w.size() - 2] : 0;
  if (w.back() == 'o' && !IsVowel(prev)) return w + "es";
  return RegularPlural(w);
}

std::string RegularPast(const std::string& w) {
  if (w.empty()) return w;
  char prev = w.size() > 1 ? w[w.size() - 2] : 0;
  if (w.back() == 'e') return w + "d";
  if (w.back() == 'y' && !IsVowel(prev)) return w.substr(0, w.size() - 1) + "ied";
  return w + "ed";
}

std::string PresentParticiple(const std::string& w) {
  if (w.empty()) return w;
  if (EndsWith(w, "ie")) return w.substr(0, w.size() - 2) + "ying";
  if (w.back() == 'e' && w.size() > 2 && !EndsWith(w, "ee") && !EndsWith(w, "ye") && !EndsWith(w, "oe"))
    return w.substr(0, w.size() - 1) + "ing";
  return w + "ing";
}

std::string Comparative(const std::string& w) {
  if (w.size() < 3 || w.find_first_of("_-") != std::string::npos) return {};
  char prev = w[w.size() - 2];
  if (w.back() == 'y' && !IsVowel(prev) && VowelGroups(w) <= 2) return w.substr(0, w.size() - 1) + "ier";
  if (VowelGroups(w) != 1) return {};
  if (w.back() == 'e') return w + "r";
  return w + "er";
}

std::string Superlative(const std::string& w) {
  std::string c = Comparative(w);
  if (c.empty()) return c;
  return c.substr(0, c.size() - 1) + "st";
}

void LexiconModel::Add(const std::string& word, TCategoryCode code, ReadingOrigin origin, int weight) {
  if (word.empty() || word.size() > 79) return;
  candidates_[word].push_back({code, origin, weight});
}

VerbKind LexiconModel::KindOfVerb(const wordnet::Database& wn, const WordLists& lists, const std::string& lemma) {
  auto it = lists.verbKinds.find(lemma);
  if (it != lists.verbKinds.end()) return it->second;
  switch (wn.FirstSenseLexFile(Pos::Verb, lemma)) {
    case 42: return VerbKind::Stative;    // verb.stative
    case 31:                              // verb.cognition
    case 37:                              // verb.emotion
    case 39: return VerbKind::Reflexive;  // verb.perception
    default: return VerbKind::Factive;
  }
}

AdjectiveKind LexiconModel::KindOfAdjective(const wordnet::Database& wn, const WordLists& lists,
                                            const std::string& lemma) {
  auto it = lists.adjectiveKinds.find(lemma);
  if (it != lists.adjectiveKinds.end()) return it->second;
  const wordnet::IndexEntry* e = wn.FindLemma(Pos::Adjective, lemma);
  if (!e || e->synsets.empty()) return AdjectiveKind::Objective;
  const wordnet::Synset* s = wn.FindSynset(Pos::Adjective, e->synsets[0]);
  if (!s) return AdjectiveKind::Objective;
  if (s->lexFile == 1 || s->lexFile == 44) return AdjectiveKind::Objective;  // adj.pert, adj.ppl
  // A satellite takes the attribute of the head of its cluster.
  const wordnet::Synset* head = s;
  if (s->type == 's')
    for (const wordnet::Pointer& p : s->pointers)
      if (p.symbol == "&")
        if (const wordnet::Synset* h = wn.FindSynset(Pos::Adjective, p.offset)) {
          head = h;
          break;
        }
  if (!head->words.empty() && (head->words[0].text == "cardinal" || head->words[0].text == "ordinal") && head != s)
    return AdjectiveKind::Numeral;
  // The attribute list says which attributes are value judgements (quality,
  // beauty, importance: subjective) and which measurable properties; an
  // attribute it does not name describes, and the adjective is objective.
  for (const wordnet::Pointer& p : head->pointers) {
    if (p.symbol != "=" || p.pos != Pos::Noun) continue;
    if (const wordnet::Synset* attr = wn.FindSynset(Pos::Noun, p.offset))
      for (const wordnet::SynsetWord& w : attr->words) {
        auto k = lists.attributeKinds.find(w.text);
        if (k != lists.attributeKinds.end()) return k->second;
      }
  }
  return AdjectiveKind::Objective;
}

void LexiconModel::AddNouns(const wordnet::Database& wn, const ExpressionFilter& keep) {
  // A lemma is a proper name when WordNet never writes it in lower case.
  // The index keeps its lemmas in lower case: a word WordNet writes in lower
  // case but for the capitals after its hyphens is common too (anti-Semitism,
  // mid-April, neo-Darwinism), unless it names one thing (al-Qaeda).
  auto capitalsAfterHyphensOnly = [](const std::string& t) {
    bool capital = false;
    for (size_t k = 1; k < t.size(); ++k) {
      if (!(t[k] >= 'A' && t[k] <= 'Z')) continue;
      if (t[k - 1] != '-') return false;
      capital = true;
    }
    return capital;
  };
  std::set<std::string> common;
  for (const auto& [offset, synset] : wn.Synsets(Pos::Noun))
    for (const wordnet::SynsetWord& w : synset.words) {
      if (w.text.empty() || (w.text[0] >= 'A' && w.text[0] <= 'Z')) continue;
      common.insert(w.text);
      if (capitalsAfterHyphensOnly(w.text) && !synset.HasPointer("@i")) common.insert(wordnet::LowerAscii(w.text));
    }
  std::map<std::string, std::vector<std::string>> irregular;
  for (const auto& [form, bases] : wn.Exceptions(Pos::Noun))
    for (const std::string& base : bases) irregular[base].push_back(form);
  for (const wordnet::IndexEntry& e : wn.Lemmas(Pos::Noun)) {
    if (!keep.Keeps(e.lemma)) continue;
    bool proper = !common.count(e.lemma);
    int weight = wn.TaggedCount(Pos::Noun, e.lemma);
    TCategoryCode code = proper ? kProperNameCode : kNounCode;
    Add(e.lemma, code, ReadingOrigin::WordNetLemma, weight);
    auto irr = irregular.find(e.lemma);
    if (irr != irregular.end()) {
      for (const std::string& form : irr->second) Add(form, code, ReadingOrigin::WordNetForm, weight);
    } else if (Inflectable(e.lemma) && (!proper || IsPeopleName(wn, e.lemma))) {
      Add(InflectLast(e.lemma, RegularPlural), code, ReadingOrigin::WordNetForm, weight);
    }
  }
}

void LexiconModel::AddVerbs(const wordnet::Database& wn, const WordLists& lists, const ExpressionFilter& keep) {
  // Irregular forms: WordNet's exceptions, with the tense of our list.
  std::map<std::string, const IrregularVerb*> irregularList;
  for (const IrregularVerb& v : lists.irregularVerbs) irregularList[v.base] = &v;
  struct Forms {
    std::vector<std::pair<std::string, TCategoryCode>> forms;
    bool past = false, ing = false, third = false;
  };
  std::map<std::string, Forms> irregular;
  auto code = [](VerbKind k, Tense t, Mood m) { return VerbCode(k, t, m); };
  for (const auto& [form, bases] : wn.Exceptions(Pos::Verb))
    for (const std::string& base : bases) {
      Forms& f = irregular[base];
      VerbKind k = KindOfVerb(wn, lists, base);
      auto il = irregularList.find(base);
      bool inPast = false, inPart = false;
      if (il != irregularList.end()) {
        const IrregularVerb& v = *il->second;
        inPast = std::find(v.past.begin(), v.past.end(), form) != v.past.end();
        inPart = std::find(v.participle.begin(), v.participle.end(), form) != v.participle.end();
      }
      if (EndsWith(form, "ing")) {
        f.forms.emplace_back(form, code(k, Tense::Present, Mood::Participle));
        f.ing = true;
      } else if (!inPast && !inPart && EndsWith(form, "s") && !EndsWith(form, "ss")) {
        f.forms.emplace_back(form, code(k, Tense::Present, Mood::Indicative));
        f.third = true;
      } else {
        if (inPast || !inPart) f.forms.emplace_back(form, code(k, Tense::Past, Mood::Indicative));
        if (inPart || !inPast) f.forms.emplace_back(form, code(k, Tense::Past, Mood::Participle));
        // A spelling exception (stopped) replaces the regular form; an old
        // strong form (wrought) stands beside it.
        if (EndsWith(form, "ed")) f.past = true;
      }
    }
  // Irregular verbs whose forms the exception list lacks.
  for (const IrregularVerb& v : lists.irregularVerbs) {
    if (!wn.FindLemma(Pos::Verb, v.base)) continue;
    Forms& f = irregular[v.base];
    VerbKind k = KindOfVerb(wn, lists, v.base);
    for (const std::string& p : v.past) f.forms.emplace_back(p, code(k, Tense::Past, Mood::Indicative));
    for (const std::string& p : v.participle) f.forms.emplace_back(p, code(k, Tense::Past, Mood::Participle));
    f.past = true;
  }
  // A past form of a much more frequent verb (found, saw, felt) does not
  // also read as the present of its rare homograph (to found, to saw, to
  // felt): the resolver prefers a present and would pick it.
  std::map<std::string, int> pastOf;  // form -> the highest weight of a verb it is the past of
  for (const auto& [base, f] : irregular)
    for (const auto& [form, c] : f.forms)
      if (form != base && ((c >> 2) & 3) == static_cast<unsigned>(Tense::Past)) {
        int& w = pastOf[form];
        w = std::max(w, wn.TaggedCount(Pos::Verb, base));
      }
  for (const wordnet::IndexEntry& e : wn.Lemmas(Pos::Verb)) {
    if (!keep.Keeps(e.lemma, true)) continue;
    VerbKind k = KindOfVerb(wn, lists, e.lemma);
    int weight = wn.TaggedCount(Pos::Verb, e.lemma);
    auto past = pastOf.find(e.lemma);
    if (past == pastOf.end() || past->second <= kHomographRatio * weight)
      Add(e.lemma, code(k, Tense::Present, Mood::Indicative), ReadingOrigin::WordNetLemma, weight);
    std::vector<std::string>& forms = verbForms_[e.lemma];
    auto addForm = [&](const std::string& form, TCategoryCode c) {
      if (form.empty() || form.size() > 79) return;
      Add(form, c, ReadingOrigin::WordNetForm, weight);
      if (form != e.lemma && std::find(forms.begin(), forms.end(), form) == forms.end()) {
        forms.push_back(form);
        Claim(verbOfForm_, form, e.lemma, weight);
      }
    };
    Forms none;
    auto irr = irregular.find(e.lemma);
    const Forms& f = irr == irregular.end() ? none : irr->second;
    for (const auto& [form, c] : f.forms) addForm(form, c);
    if (!Inflectable(e.lemma)) continue;
    if (!f.third) addForm(InflectFirst(e.lemma, ThirdPersonSingular), code(k, Tense::Present, Mood::Indicative));
    if (!f.past) {
      std::string past = InflectFirst(e.lemma, RegularPast);
      addForm(past, code(k, Tense::Past, Mood::Indicative));
      addForm(past, code(k, Tense::Past, Mood::Participle));
    }
    if (!f.ing) addForm(InflectFirst(e.lemma, PresentParticiple), code(k, Tense::Present, Mood::Participle));
  }
}

void LexiconModel::AddAdjectives(const wordnet::Database& wn, const WordLists& lists, const ExpressionFilter& keep) {
  std::map<std::string, std::vector<std::string>> irregular;
  for (const auto& [form, bases] : wn.Exceptions(Pos::Adjective))
    for (const std::string& base : bases) irregular[base].push_back(form);
  for (const wordnet::IndexEntry& e : wn.Lemmas(Pos::Adjective)) {
    if (!keep.Keeps(e.lemma)) continue;
    AdjectiveKind kind = KindOfAdjective(wn, lists, e.lemma);
    TCategoryCode c = AdjectiveCode(kind);
    int weight = wn.TaggedCount(Pos::Adjective, e.lemma);
    Add(e.lemma, c, ReadingOrigin::WordNetLemma, weight);
    std::vector<std::string>& forms = adjectiveForms_[e.lemma];
    auto irr = irregular.find(e.lemma);
    std::vector<std::string> made;
    if (irr != irregular.end()) {
      made = irr->second;
    } else if (kind != AdjectiveKind::Numeral && wn.FirstSenseLexFile(Pos::Adjective, e.lemma) == 0) {
      std::string comparative = Comparative(e.lemma);
      if (!comparative.empty()) made = {comparative, Superlative(e.lemma)};
    }
    for (const std::string& form : made) {
      if (form == e.lemma) continue;
      Add(form, c, ReadingOrigin::WordNetForm, weight);
      if (std::find(forms.begin(), forms.end(), form) == forms.end()) {
        forms.push_back(form);
        Claim(adjectiveOfForm_, form, e.lemma, weight);
      }
    }
  }
}

void LexiconModel::AddAdverbs(const wordnet::Database& wn, const ExpressionFilter& keep) {
  for (const wordnet::IndexEntry& e : wn.Lemmas(Pos::Adverb))
    if (keep.Keeps(e.lemma))
      Add(e.lemma, ModalityCode(ModalityKind::Manner), ReadingOrigin::WordNetLemma,
          wn.TaggedCount(Pos::Adverb, e.lemma));
}

void LexiconModel::Finish(const WordLists& lists) {
  std::map<std::string, int> rank;
  for (const ClosedReading& r : lists.closed) Add(r.word, r.code, ReadingOrigin::ClosedList, -(rank[r.word]++));
  // A closed-list reading replaces WordNet's readings of its class; a listed
  // modality or connector also replaces WordNet's default adverb reading.
  for (const std::string& name : lists.givenNames)
    if (!candidates_.count(name)) Add(name, kProperNameCode, ReadingOrigin::ClosedList, 0);
  for (auto& [word, cands] : candidates_) {
    unsigned listedClasses = 0;
    for (const Candidate& c : cands)
      if (c.origin == ReadingOrigin::ClosedList) listedClasses |= 1u << MajorClassOfCode(c.code);
    if (listedClasses & ((1u << 2) | (1u << 3))) listedClasses |= 1u << 3;
    std::erase_if(cands, [&](const Candidate& c) {
      return c.origin != ReadingOrigin::ClosedList && (listedClasses & (1u << MajorClassOfCode(c.code)));
    });
    auto f = lists.frequencies.find(word);
    entries_[word] = OrderReadings(cands, f == lists.frequencies.end() ? nullptr : &f->second);
  }
  candidates_.clear();
  // The exclusion list may name an inflected form (grand_juries) that the
  // corpus met; a form of the verb and adjective indexes, or of closed.txt, stays.
  for (const std::string& form : lists.excludedExpressions)
    if (!rank.count(form) && !verbOfForm_.count(form) && !adjectiveOfForm_.count(form)) entries_.erase(form);
  // Words that begin a longer expression carry its mark on every reading. A
  // noun expression whose first word is no entry (los_angeles) makes that
  // word a noun of the same kind, so that the expression can be joined.
  std::map<std::string, TCategoryCode> firstWords;
  for (const auto& [word, codes] : entries_) {
    size_t cut = word.find('_');
    if (cut == std::string::npos || cut == 0 || MajorClassOfCode(codes[0]) != 0) continue;
    std::string first = word.substr(0, cut);
    if (!entries_.count(first) && Inflectable(first) && first.find('-') == std::string::npos)
      firstWords.emplace(first, codes[0]);
  }
  for (const auto& [first, code] : firstWords) entries_[first] = {code};
  // The scanner cuts words at apostrophes and dots, and the segment buffer
  // joins the pieces with '_': o'clock is found as o_clock, st._louis as st_louis.
  std::map<std::string, std::vector<TCategoryCode>> joinedForms;
  for (const auto& [word, codes] : entries_) {
    std::string joined = JoinedSpelling(word);
    if (!joined.empty() && joined != word && !entries_.count(joined)) joinedForms.emplace(joined, codes);
  }
  entries_.insert(joinedForms.begin(), joinedForms.end());
  // (The scanner also cuts words at hyphens: anti-semitism, co-author and
  // mid-april are joined from their first piece too.)
  std::set<std::string> starts;
  for (const auto& [word, codes] : entries_)
    for (size_t cut = word.find_first_of("_-"); cut != std::string::npos; cut = word.find_first_of("_-", cut + 1))
      starts.insert(word.substr(0, cut));
  for (auto& [word, codes] : entries_) {
    bool mark = starts.count(word) > 0;
    for (size_t i = 0; i < codes.size(); ++i) {
      if (mark) codes[i] |= LongerExpressionBit(codes[i]);
      if (i + 1 < codes.size()) codes[i] |= kAmbiguityBit;
    }
  }
}

ExpressionFilter::ExpressionFilter(const WordLists& lists) : excluded_(lists.excludedExpressions) {
  for (const ClosedReading& r : lists.closed) {
    if (r.word.find('_') != std::string::npos) {
      closedExpressions_.insert(r.word);
      continue;
    }
    closedWords_.insert(r.word);
  }
}

ExpressionFilter::Verdict ExpressionFilter::Judge(const std::string& written, bool verb) const {
  // a'man is joined as a_man: judge the spelling the segment buffer joins.
  const std::string joined = JoinedSpelling(written);
  const std::string& lemma = joined.empty() ? written : joined;
  if (closedExpressions_.count(written)) return kKept;
  const size_t cut = lemma.find('_');
  if (cut == std::string::npos || closedExpressions_.count(lemma)) return kKept;
  const std::string first = lemma.substr(0, cut);
  if (first == "the" || first == "a" || first == "an") return kArticleInitial;
  // Whether the words after the first are all closed-class words, and the first too.
  bool restClosed = true;
  for (size_t start = cut + 1; restClosed && start <= lemma.size();) {
    size_t end = lemma.find('_', start);
    if (end == std::string::npos) end = lemma.size();
    restClosed = closedWords_.count(lemma.substr(start, end - start)) > 0;
    start = end + 1;
  }
  if (restClosed && closedWords_.count(first)) return kFunctionWords;
  if (restClosed && verb) return kVerbParticle;
  return excluded_.count(lemma) || excluded_.count(written) ? kListed : kKept;
}

void LexiconModel::Claim(std::map<std::string, std::pair<std::string, int>>& owners, const std::string& form,
                         const std::string& base, int weight) {
  auto [it, added] = owners.emplace(form, std::make_pair(base, weight));
  if (!added && weight > it->second.second) it->second = {base, weight};
}

const std::string& LexiconModel::VerbOfForm(const std::string& form) const {
  static const std::string kNone;
  auto it = verbOfForm_.find(form);
  return it == verbOfForm_.end() ? kNone : it->second.first;
}

const std::string& LexiconModel::AdjectiveOfForm(const std::string& form) const {
  static const std::string kNone;
  auto it = adjectiveOfForm_.find(form);
  return it == adjectiveOfForm_.end() ? kNone : it->second.first;
}

void LexiconModel::Build(const wordnet::Database& wn, const WordLists& lists) {
  candidates_.clear();
  entries_.clear();
  verbForms_.clear();
  adjectiveForms_.clear();
  verbOfForm_.clear();
  adjectiveOfForm_.clear();
  const ExpressionFilter keep(lists);
  AddNouns(wn, keep);
  AddVerbs(wn, lists, keep);
  AddAdjectives(wn, lists, keep);
  AddAdverbs(wn, keep);
  Finish(lists);
}

std::string DescribeCode(TCategoryCode code) {
  static const char* const kVerbKinds[] = {"factive", "stative", "reflexive", "performative"};
  static const char* const kTenses[] = {"present", "past", "future", "other-tense"};
  static const char* const kConnectorByCode[] = {"?",           "condition",  "goal", "addition", "cause", "opposition",
                                                 "disjunction", "comparison", "time", "place",    "manner"};
  static const char* const kModalities[] = {"?",         "time",  "place",    "manner",
                                            "assertion", "doubt", "negation", "intensity"};
  static const char* const kAdjectives[] = {"?", "objective", "subjective", "numeral"};
  static const char* const kPronouns[] = {"?", "relative", "possessive", "personal", "deixis", "others"};
  static const char* const kFamilies[] = {"-", "I", "Thou", "He", "We", "You", "They", "Somebody"};
  std::string s;
  unsigned low = code & 0xFF;
  switch (MajorClassOfCode(code)) {
    case 1: {
      s = std::string("verb ") + kVerbKinds[code & 3] + " " + kTenses[(code >> 2) & 3] + " ";
      unsigned mood = (code >> 4) & 3;
      if (code & 0x40) s += mood == 3 ? "infinitive" : "participle";
      else s += mood == 0 ? "indicative" : mood == 1 ? "conditional" : mood == 2 ? "subjunctive" : "other-mood";
      if (code & kAuxiliaryBit) s += " auxiliary";
      break;
    }
    case 2: s = std::string("connector ") + (low <= 10 ? kConnectorByCode[low] : "?"); break;
    case 3: s = std::string("modality ") + (low <= 7 ? kModalities[low] : "?"); break;
    case 4: s = std::string("adjective ") + (low <= 3 ? kAdjectives[low] : "?"); break;
    case 5:
      s = std::string("pronoun ") + ((low & 15) <= 5 ? kPronouns[low & 15] : "?") + " " +
          ((low >> 4) <= 7 ? kFamilies[low >> 4] : "?");
      break;
    case 6:
      s = low == 1 ? "determiner" : "preposition";
      if (low != 1 && (code & kGerundBit)) s += " gerund";
      break;
    case 8: s = "unknown"; break;
    default: s = (code & 0x40) ? "abbreviation" : (code & 0x20) ? "proper-name" : "noun"; break;
  }
  if (MajorClassOfCode(code) == 5 || MajorClassOfCode(code) == 6)
    if (code & kFlagABit) s += " piece";
  if (HasLongerExpressionMark(code)) s += " +expr";
  return s;
}

void LexiconModel::Dump(std::ostream& out) const {
  char hex[8];
  for (const auto& [word, codes] : entries_) {
    out << word << '\t';
    for (size_t i = 0; i < codes.size(); ++i) {
      std::snprintf(hex, sizeof hex, "%04X", codes[i]);
      out << (i ? " " : "") << hex;
    }
    out << '\t';
    for (size_t i = 0; i < codes.size(); ++i) out << (i ? "; " : "") << DescribeCode(codes[i]);
    out << '\n';
  }
}

}  // namespace quilor::dico
