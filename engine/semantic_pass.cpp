#include "engine/semantic_pass.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/category.h"
#include "core/gauge.h"
#include "core/messages.h"
#include "core/name_index.h"
#include "engine/category_counters.h"
#include "engine/first_pass.h"
#include "engine/ontology_engine.h"
#include "core/options.h"
#include "engine/selection.h"
#include "engine/word_list.h"

namespace quilor {

namespace {

constexpr uint32_t kEpisodeWordLimit = 65536;
constexpr int kPairRecords = 20;  // items taking part in pairs
constexpr int kPairReach = 5;     // farthest item paired with the current one

bool IsMark(const TWordNode* n) { return n->text[0] == '/' && n->text[1] == 0; }

// The part of a name's item a word is, not an item of its own (PassByte).
constexpr uint8_t kNamePartBit = 1;
bool IsNamePart(const TWordNode* n) { return (n->category.PassByte & kNamePartBit) != 0; }

// The Scenario entry of a word counts when the Scenario counts its entry.
bool CountedEntry(const TOntologyEngine& engine, uint32_t entry) {
  return entry != 0 && engine.ScenarioEntryCounted(entry);
}

// Both relation stores at their start, the start kept in bookmarks 1 and 2.
void RewindStores(TAnalysisResults& r) {
  r.Relations.Rewind();
  r.Windows.Rewind();
  for (int slot : {1, 2}) {
    r.Relations.SaveCursor(slot);
    r.Windows.SaveCursor(slot);
  }
}

class SemanticPass {
 public:
  SemanticPass(TAnalysisResults& results, TOntologyEngine& engine) : r_(results), engine_(engine) {}

  // firstWords: the words of a first pass done beside the loading, or -1.
  bool Run(int64_t firstWords);

 private:
  bool Step() {
    GaugeStep(r_);
    return !r_.Cancelled;
  }
  void Prepare(bool firstDone);
  void ClassifyFirst();
  void SettleAmbiguous();
  // Pass 2 over the words of one document.
  void SettleDocument(TWordNode* first, TWordNode* end);
  // Names of persons become one item, a.m. and p.m. a time.
  void JoinNames();
  void JoinName(size_t from, size_t head);
  uint8_t CuesAround(size_t i) const;
  // The document in hand: its words and marks, and for each whether it
  // begins a sentence (or a quotation).
  std::vector<TWordNode*> words_in_;
  std::vector<uint8_t> initial_;
  void CollectPropositions();
  void CollectItem(TWordNode* n);
  void CloseProposition(const TWordNode* mark);
  void StoreRetention();
  void SortRelations();
  void AddSlot(const uint32_t classes[4]) {
    TPropositionState& p = r_.Proposition;
    if (p.slotCount >= static_cast<uint32_t>(kRelationRows)) return;
    for (int l = 1; l <= 4; ++l) p.items.Set(static_cast<int>(p.slotCount), l, classes[l - 1]);
    ++p.slotCount;
  }

  TAnalysisResults& r_;
  TOntologyEngine& engine_;
  bool scenarioInView_ = false;
  uint32_t words_ = 0;
};

namespace {

// The punctuation before a word (its tag, or that of the mark before it).
template <typename Mark>
bool TagHas(const char (&tag)[4], Mark isMark) {
  for (char c : tag) {
    if (!c) return false;
    if (isMark(c)) return true;
  }
  return false;
}
bool EndsSentence(const char (&tag)[4]) {
  return TagHas(tag, [](char c) { return c == '.' || c == '!' || c == '?' || c == ':'; });
}
bool OpensQuotation(const char (&tag)[4]) {
  return TagHas(tag, [](char c) { return c == '"' || c == '('; });
}

}  // namespace

void SemanticPass::Prepare(bool firstDone) {
  if (InfoJauge) {
    InfoJauge->DefinirMaximum(kSemanticGaugeSteps);
    InfoJauge->DefinirLibelle(1, GetMessageText(kMsgSemanticAnalysis), false);
    InfoJauge->DefinirLibelle(3, GetMessageText(kMsgFiles), true);
  }
  r_.ClearPreVerbCounts();
  r_.ProgressCounter = 0;
  r_.Cancelled = false;
  r_.ResultsReady = false;
  r_.RetentionCount = 0;
  r_.Proposition.Reset();
  // A first pass done beside the loading has counted into the engine already.
  if (!firstDone) {
    engine_.ClearTextCounts();
    engine_.ResetTextClasses();
  }
  engine_.ResetHistory();

  uint16_t base = Options ? Options->Get(opt::RelationBase) : 1;
  if (base < 1 || base > 4) {
    base = 1;
    if (Options) Options->Set(opt::RelationBase, base);
  }
  r_.RelationBase = base;
  r_.Relations.Clear();
  r_.Windows.Clear();
  RewindStores(r_);
  scenarioInView_ = Options && Options->Switch(opt::ScenarioOnAllCategories) && engine_.IsScenarioLoaded();
}

// Pass 1: nouns with one reading, verbs and adjectives.
void SemanticPass::ClassifyFirst() {
  TFirstPass first(engine_);
  first.Begin();
  for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n)) first.Take(n);
  words_ = first.Words();
}

// Pass 2: the names of persons and the ambiguous nouns, document by
// document, each noun chosen in the context of its sentence and its document.
void SemanticPass::SettleAmbiguous() {
  TWordNode* n = TextWords.First();
  while (n && n != TextWords.Tail()) {
    TWordNode* end = n;
    while (end && end != TextWords.Tail() && end->fileNumber == n->fileNumber) end = TWordList::NextNode(end);
    SettleDocument(n, end);
    n = end;
  }
  engine_.EndDocuments();
  words_in_.clear();
  initial_.clear();
  for (n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n)) {
    if (IsMark(n)) continue;
    TWordCategoryData& d = n->category;
    if (IsSubstantive(d.Category)) engine_.PushHistory({d.ClassIds[0], d.ClassIds[1], d.ClassIds[2], d.ClassIds[3]});
    else if (scenarioInView_ && engine_.ScenarioEntryOfWordForm(n->text)) SetSubstantive(d.Category);
  }
}

namespace {

bool IsCapitalised(const TWordNode* n) {
  const unsigned char c = static_cast<unsigned char>(n->text[0]);
  return n->category.Capitalisation == 1 || (c >= 'A' && c <= 'Z' && !n->text[1]);
}

bool IsTitle(const TWordNode* n) {
  std::string lower;
  for (const char* c = n->text; *c && lower.size() < 8; ++c) lower += static_cast<char>(*c | 0x20);
  return IsPersonTitle(lower);
}

bool TextIs(const TWordNode* n, std::initializer_list<const char*> words) {
  for (const char* w : words) {
    const char* a = n->text;
    const char* b = w;
    while (*a && *b && (*a | 0x20) == *b) ++a, ++b;
    if (!*a && !*b) return true;
  }
  return false;
}

// A day of the month or a year.
bool IsDateNumber(const TWordNode* n) {
  if (!IsNumeralAdjective(n->category.Category) && !(n->text[0] >= '0' && n->text[0] <= '9')) return false;
  int value = 0, digits = 0;
  for (const char* c = n->text; *c; ++c) {
    if (*c < '0' || *c > '9') return false;
    value = value * 10 + (*c - '0');
    if (++digits > 4) return false;
  }
  return (digits <= 2 && value >= 1 && value <= 31) || (digits == 4 && value >= 1000 && value <= 2100);
}

}  // namespace

uint8_t SemanticPass::CuesAround(size_t i) const {
  const TWordNode* n = words_in_[i];
  if (!IsCapitalised(n) || initial_[i]) return 0;
  const TWordNode* before = i > 0 && !IsMark(words_in_[i - 1]) ? words_in_[i - 1] : nullptr;
  const TWordNode* after = i + 1 < words_in_.size() && !IsMark(words_in_[i + 1]) ? words_in_[i + 1] : nullptr;
  uint8_t cues = 0;
  if (before && TextIs(before, {"in", "from", "of", "at", "near", "into", "across", "through", "to"})) cues |= kCuePlace;
  if (before && TextIs(before, {"in", "since", "until", "during", "by", "early", "late", "last", "next", "mid"}))
    cues |= kCueTime;
  if ((after && IsDateNumber(after) && after->tag[0] == ' ') || (before && IsDateNumber(before) && n->tag[0] == ' '))
    cues |= kCueTime;
  if (after && after->tag[0] == ' ' && !after->tag[1] &&
      (IsVerb(after->category.Category) || (IsCapitalised(after) && IsSubstantive(after->category.Category))))
    cues |= kCuePerson;
  if (before && IsTitle(before)) cues |= kCuePerson;
  return cues;
}

void SemanticPass::JoinName(size_t from, size_t head) {
  auto giveBack = [&](TWordNode* n) {
    TWordCategoryData& d = n->category;
    if (d.ClassIds[0]) engine_.UncountClassOccurrences(d.ClassIds);
    std::fill(std::begin(d.ClassIds), std::end(d.ClassIds), 0u);
  };
  for (size_t k = from; k < head; ++k) {
    if (IsMark(words_in_[k])) continue;
    giveBack(words_in_[k]);
    words_in_[k]->category.PassByte |= kNamePartBit;
  }
  TWordNode* h = words_in_[head];
  giveBack(h);
  const auto& person = engine_.PersonClasses();
  TWordCategoryData& d = h->category;
  for (int l = 0; l < 3; ++l) d.ClassIds[l] = person[static_cast<size_t>(l)];
  engine_.CountClassOccurrences(d.ClassIds);
  h->readingValue = static_cast<int32_t>(person[0]);
}

// A title, initials, given names and a surname (Mrs. John F. Harper, Sen.
// Kennedy, W. J. Harper, William B. Hartsfield) are one person: the
// last word carries the item, the others none. A single capital letter
// followed by a period is an initial, never a unit or an element; a.m. and
// p.m. are a time of the day.
void SemanticPass::JoinNames() {
  const size_t count = words_in_.size();
  auto periodAfter = [&](size_t i) { return i + 1 < count && words_in_[i + 1]->tag[0] == '.'; };
  auto singleCapital = [&](size_t i) {
    const char* t = words_in_[i]->text;
    return t[0] >= 'A' && t[0] <= 'Z' && !t[1];
  };
  // A substantive with a capital, or an initial whatever its category (A., I.).
  auto candidate = [&](size_t i) {
    const TWordNode* n = words_in_[i];
    return !IsMark(n) && IsCapitalised(n) && !IsNamePart(n) &&
           (IsSubstantive(n->category.Category) || (singleCapital(i) && periodAfter(i)));
  };
  const uint32_t personField = engine_.PersonClasses()[2];
  uint32_t surnameFields[4] = {personField};
  {
    int k = 1;
    for (const char* field : {"work", "music", "art"}) surnameFields[k++] = static_cast<uint32_t>(engine_.FindClassIndex(3, field));
  }
  std::vector<NamePart> kinds;
  for (size_t i = 0; i < count; ++i) {
    TWordNode* n = words_in_[i];
    if (IsMark(n)) continue;
    // a.m. and p.m.: a time of the day carried by the first letter.
    // The period after the m may stand before a mark the resolver put there.
    auto periodAfterM = [&]() {
      for (size_t k = i + 2; k < count && k <= i + 3; ++k) {
        if (words_in_[k]->tag[0] == '.') return true;
        if (!IsMark(words_in_[k])) return false;
      }
      return false;
    };
    if (TextIs(n, {"a", "p"}) && i + 2 < count && TextIs(words_in_[i + 1], {"m"}) &&
        std::strcmp(words_in_[i + 1]->tag, ".") == 0 && periodAfterM()) {
      const auto& time = engine_.TimeOfDayClasses(n->text[0] == 'p' || n->text[0] == 'P');
      if (time[0]) {
        TWordNode* m = words_in_[i + 1];
        TWordCategoryData& d = n->category;
        if (IsSubstantive(d.Category) && d.ClassIds[0]) engine_.UncountClassOccurrences(d.ClassIds);
        SetSubstantive(d.Category);
        std::fill(std::begin(d.ClassIds), std::end(d.ClassIds), 0u);
        for (int l = 0; l < 3; ++l) d.ClassIds[l] = time[static_cast<size_t>(l)];
        engine_.CountClassOccurrences(d.ClassIds);
        n->readingValue = static_cast<int32_t>(time[0]);
        if (m->category.ClassIds[0]) engine_.UncountClassOccurrences(m->category.ClassIds);
        std::fill(std::begin(m->category.ClassIds), std::end(m->category.ClassIds), 0u);
        m->category.PassByte |= kNamePartBit;
        i += 1;
        continue;
      }
    }
    if (!candidate(i)) continue;
    // The run of capitalised words that follow one another (a period only
    // after a title or an initial; "Mr. and Mrs." holds together).
    kinds.clear();
    size_t last = i;
    kinds.push_back(engine_.NamePartOf(n->text, periodAfter(i)));
    for (size_t j = i + 1; j < count; ++j) {
      const NamePart before = kinds.back();
      const bool abbreviated = before == NamePart::kTitle || before == NamePart::kInitial;
      const char* tag = words_in_[j]->tag;
      const bool joined = (tag[0] == ' ' && !tag[1]) || (abbreviated && tag[0] == '.' && (!tag[1] || tag[1] == ' '));
      if (before == NamePart::kTitle && joined && TextIs(words_in_[j], {"and"}) && j + 1 < count &&
          candidate(j + 1) && IsTitle(words_in_[j + 1])) {
        kinds.push_back(NamePart::kTitle);  // "and" between two titles
        last = j;
        continue;
      }
      if (!joined || !candidate(j)) break;
      kinds.push_back(engine_.NamePartOf(words_in_[j]->text, periodAfter(j)));
      last = j;
    }
    // The name begins at its first title, initial or person.
    size_t start = 0;
    while (start < kinds.size() && kinds[start] != NamePart::kTitle && kinds[start] != NamePart::kInitial &&
           kinds[start] != NamePart::kPerson)
      ++start;
    if (start >= kinds.size()) {
      i = last;
      continue;
    }
    size_t end = start;
    while (end + 1 < kinds.size()) {
      const NamePart previous = kinds[end], next = kinds[end + 1];
      const bool afterAbbreviation = previous == NamePart::kTitle || previous == NamePart::kInitial;
      bool take = next == NamePart::kTitle || next == NamePart::kInitial || next == NamePart::kPerson ||
                  next == NamePart::kName || afterAbbreviation;
      if (next == NamePart::kRole && !afterAbbreviation) take = false;
      if (!take && next == NamePart::kNone) {
        const uint32_t field = engine_.FirstField(words_in_[i + end + 1]->text);
        take = field && std::find(std::begin(surnameFields), std::end(surnameFields), field) != std::end(surnameFields);
      }
      if (!take) break;
      ++end;
    }
    if (end > start) {
      JoinName(i + start, i + end);
    }
    i = i + std::max(end, start);
  }
  // A capital letter alone is no unit, element or letter: no item.
  for (size_t i = 0; i < count; ++i) {
    TWordNode* n = words_in_[i];
    if (IsMark(n) || IsNamePart(n) || !singleCapital(i) || !IsSubstantive(n->category.Category)) continue;
    TWordCategoryData& d = n->category;
    if (d.ClassIds[0] == engine_.PersonClasses()[0] && d.ClassIds[0]) continue;  // the last word of a name
    if (d.ClassIds[0]) engine_.UncountClassOccurrences(d.ClassIds);
    std::fill(std::begin(d.ClassIds), std::end(d.ClassIds), 0u);
    d.PassByte |= kNamePartBit;
  }
}

void SemanticPass::SettleDocument(TWordNode* first, TWordNode* end) {
  words_in_.clear();
  initial_.clear();
  bool sentenceStart = true;
  for (TWordNode* n = first; n && n != end; n = TWordList::NextNode(n)) {
    words_in_.push_back(n);
    if (IsMark(n)) {
      sentenceStart = sentenceStart || EndsSentence(n->tag);
      initial_.push_back(0);
      continue;
    }
    initial_.push_back(sentenceStart || OpensQuotation(n->tag));
    sentenceStart = false;
  }
  JoinNames();
  // Every noun's reading without evidence, counted in the document.
  engine_.BeginDocument();
  const size_t count = words_in_.size();
  std::vector<NearNoun> near(count);
  std::vector<uint8_t> open(count, 0);
  for (size_t i = 0; i < count; ++i) {
    TWordNode* n = words_in_[i];
    if (IsMark(n) || IsNamePart(n) || !IsSubstantive(n->category.Category)) continue;
    TWordCategoryData& d = n->category;
    if (d.ClassIds[0] == 0) {
      if (!engine_.DefaultReading(n->text, initial_[i])) continue;
      open[i] = 1;
      const auto& best = engine_.BestClasses();
      near[i].baseForm = engine_.BestBaseForm();
      for (int l = 0; l < 3; ++l) near[i].cls[l] = best[static_cast<size_t>(l)];
    } else {
      near[i].baseForm = n->lexicalEntry;
      for (int l = 0; l < 3; ++l) near[i].cls[l] = d.ClassIds[l];
    }
    engine_.CountInDocument(near[i]);
  }
  // Sentence by sentence, the ambiguous nouns in the light of the others.
  std::vector<NearNoun> sentence;
  std::vector<size_t> members;
  size_t i = 0;
  while (i < count) {
    sentence.clear();
    members.clear();
    size_t j = i;
    for (; j < count; ++j) {
      if (IsMark(words_in_[j])) {
        if (EndsSentence(words_in_[j]->tag)) {
          ++j;
          break;
        }
        continue;
      }
      if (near[j].cls[0]) {
        members.push_back(j);
        sentence.push_back(near[j]);
      }
    }
    engine_.SetSentence(sentence);
    for (size_t m = 0; m < members.size(); ++m) {
      const size_t k = members[m];
      if (!open[k]) continue;
      TWordNode* n = words_in_[k];
      TWordCategoryData& d = n->category;
      engine_.SetCues(CuesAround(k));
      int32_t value = 0;
      if (engine_.ClassifyWord(n->text, value, true, initial_[k])) {
        const auto& best = engine_.BestClasses();
        std::copy(best.begin(), best.end(), d.ClassIds);
        SetAmbiguityFlag(d.Category);
        n->readingValue = value > 0 ? value : 0;
        n->lexicalEntry = engine_.BestBaseForm();
        uint32_t unused = 0;
        if (TextIndex) TextIndex->CountTextIndexEntry(n->lexicalEntry, unused);
        for (int l = 0; l < 3; ++l) sentence[m].cls[l] = d.ClassIds[l];
      }
    }
    engine_.SetCues(0);
    i = j;
  }
  engine_.SetSentence({});
}

void SemanticPass::CollectItem(TWordNode* n) {
  TWordCategoryData& d = n->category;
  TPropositionState& p = r_.Proposition;
  if (!IsSubstantive(d.Category)) {
    if (IsVerb(d.Category)) p.hasVerb = true;
    if (!CountedEntry(engine_, d.ClassIds[3])) return;
    ++p.itemCount;
    p.hasItems = true;
    AddSlot(d.ClassIds);
    SetClassifiedMark(d);
    return;
  }
  if (!HasClassMark(d)) return;
  ++p.itemCount;
  p.hasItems = true;
  uint32_t item[4] = {d.ClassIds[0], d.ClassIds[1], d.ClassIds[2], d.ClassIds[3]};
  if (!CountedEntry(engine_, item[3])) item[3] = 0;
  AddSlot(item);
  if (!p.hasVerb)
    for (int l = 1; l <= 4; ++l) r_.CountPreVerb(l, d.ClassIds[l - 1]);
  ++p.substantiveCount;
}

void SemanticPass::CloseProposition(const TWordNode* mark) {
  TPropositionState& p = r_.Proposition;
  if (p.hasItems) {
    if (!p.hasVerb || p.itemCount > 3) p.shortVerbal = false;
    const uint32_t first = p.firstNode ? static_cast<uint32_t>(p.firstNode->position) : 0;
    const uint32_t end = mark ? static_cast<uint32_t>(mark->position) : first;
    const uint8_t shortVerbal = p.shortVerbal ? 1 : 0;
    if (r_.Windows.Append(p.items, first, end, static_cast<int>(p.slotCount))) {
      const int n = static_cast<int>(std::min<uint32_t>(p.itemCount, kPairRecords));
      auto pair = [&](int a, int b, uint8_t notFirst) {
        return r_.Relations.AddPair(p.items, a, b, first, notFirst, shortVerbal, end);
      };
      if (n < 3) {
        // One record for the window, whose rows past the first two are
        // empty: the pair of rows 0 and 1 (none with a single item).
        pair(0, 1, 0);
      } else {
        bool ok = true;
        for (int i = 0; ok && i <= n - 2; ++i) {
          ok = pair(i, i + 1, i == 0 ? 0 : 1);
          for (int dist = 2; ok && dist <= kPairReach && dist <= i; ++dist) ok = pair(i - dist, i, 1);
        }
      }
    }
  }
  // Whatever became of the relations, the next proposition starts empty.
  p.Reset();
}

// Pass 3: the Scenario's retention and the items of every proposition.
void SemanticPass::CollectPropositions() {
  TPropositionState& p = r_.Proposition;
  p.Reset();
  p.firstNode = TextWords.First();
  for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n)) {
    p.position = n->position;
    if (IsMark(n)) {
      CloseProposition(n);
      TWordNode* next = TWordList::NextNode(n);
      p.firstNode = next != TextWords.Tail() ? next : nullptr;
      continue;
    }
    TWordCategoryData& d = n->category;
    if (IsNamePart(n)) {
      ClearClassifiedMark(d);
    } else if (IsSubstantive(d.Category)) {
      engine_.LoadClasses(d.ClassIds);
      int32_t value = 0;
      if (engine_.ScenarioMatch(n->text, value, n->lexicalEntry, r_.MinimumClassCount)) {
        ++r_.RetentionCount;
        SetClassifiedMark(d);
        const auto& best = engine_.BestClasses();
        std::copy(best.begin(), best.end(), d.ClassIds);
      } else {
        ClearClassifiedMark(d);
      }
    }
    CollectItem(n);
  }
  // A text that does not end on a mark keeps its last proposition.
  if (p.hasItems) CloseProposition(nullptr);
  p.Reset();
}

void SemanticPass::StoreRetention() {
  const uint32_t kept = r_.RetentionCount;
  for (int code : {kCodeReferent, kCodeReferentNucleus, kCodeReferentPrincipal}) CategoryCounters[code] = kept;
  CategoryCounters[kCodeReferentSecondary] = 0;
  // Their percentages follow the counts they now hold.
  for (int code : {kCodeReferent, kCodeReferentNucleus, kCodeReferentPrincipal, kCodeReferentSecondary})
    CategoryPercentages[code] = CountedWords ? static_cast<double>(CategoryCounters[code]) / CountedWords * 100.0 : 0.0;
  if (engine_.IsScenarioLoaded()) engine_.PropagateScenarioCounts();
}

void SemanticPass::SortRelations() {
  // The four levels are sorted at once; the gauge then takes their steps.
  if (!r_.Relations.SortAllLevels()) return;
  for (int step = 0; step < 3 * kRelationLevels && !r_.Cancelled; ++step) GaugeStep(r_);
}

bool SemanticPass::Run(int64_t firstWords) {
  Prepare(firstWords >= 0);
  if (!Step()) return false;
  if (firstWords >= 0) words_ = static_cast<uint32_t>(firstWords);
  else ClassifyFirst();
  if (!Step()) return false;
  SettleAmbiguous();
  if (!Step()) return false;
  CollectPropositions();
  StoreRetention();
  if (!Step()) return false;
  SortRelations();
  if (r_.Cancelled) return false;
  for (int level = 1; level <= 3; ++level) {
    GaugeStep(r_);
    engine_.RankLevel(level);
  }
  engine_.RankScenario();
  r_.BurstCount = 0;
  r_.EpisodeCount = 0;
  if (words_ < kEpisodeWordLimit) {
    GaugeStep(r_);
    if (EpisodeStep) EpisodeStep(r_);
    GaugeStep(r_);
    if (CharacteristicStep) CharacteristicStep(r_);
  }
  TextWords.Rewind();
  TextWords.SaveCursor(1);
  TextWords.SaveCursor(2);
  RewindStores(r_);
  r_.ResultsReady = !r_.Cancelled;
  r_.ProgressCounter = kSemanticGaugeSteps - 1;
  GaugeStep(r_);
  return !r_.Cancelled;
}

}  // namespace

void GaugeStep(TAnalysisResults& results) {
  ++results.ProgressCounter;
  if (!InfoJauge) return;
  InfoJauge->MajBar(static_cast<int32_t>(results.ProgressCounter));
  if (!InfoJauge->Continue()) results.Cancelled = true;
}

bool RunSemanticPass(TAnalysisResults& results, const TFirstPassBesideLoading* first) {
  if (!OntologyEngine || !OntologyEngine->Ready() || !results.Built) return false;
  SemanticPass pass(results, *OntologyEngine);
  return pass.Run(first && first->Done() ? int64_t{first->Words()} : -1);
}

void RewindRelationStores() {
  if (!AnalysisResults) return;
  AnalysisResults->Relations.Rewind();
  AnalysisResults->Windows.Rewind();
}

void SaveRelationCursors(int slot) {
  SaveSearchPlace(slot);
  if (!AnalysisResults) return;
  AnalysisResults->Relations.SaveCursor(slot);
  AnalysisResults->Windows.SaveCursor(slot);
}

void RestoreRelationCursors(int slot) {
  RestoreSearchPlace(slot);
  if (!AnalysisResults) return;
  AnalysisResults->Relations.RestoreCursor(slot);
  AnalysisResults->Windows.RestoreCursor(slot);
}

void BackupRelationBookmarks() {
  if (!AnalysisResults || !AnalysisResults->ResultsReady) return;
  BackupSearchPlaces();
  AnalysisResults->Relations.BackupBookmarks();
  AnalysisResults->Windows.BackupBookmarks();
}

void RestoreRelationBookmarks() {
  if (!AnalysisResults || !AnalysisResults->ResultsReady) return;
  RestoreSearchPlaces();
  AnalysisResults->Relations.RestoreBookmarks();
  AnalysisResults->Windows.RestoreBookmarks();
}

}  // namespace quilor
