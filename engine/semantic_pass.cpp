#include "engine/semantic_pass.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/category.h"
#include "core/gauge.h"
#include "core/messages.h"
#include "core/name_index.h"
#include "engine/category_counters.h"
#include "engine/first_pass.h"
#include "engine/ontology_engine.h"
#include "core/worker_threads.h"
#include "engine/selection.h"
#include "engine/word_list.h"
#include "platform/letter_case.h"
#include "platform/usable_cores.h"

namespace quilor {

namespace {

constexpr uint32_t kEpisodeWordLimit = 65536;
constexpr int kPairRecords = 20;  // items taking part in pairs
constexpr int kPairReach = 5;     // farthest item paired with the current one

bool IsMark(const TWordNode* n) { return n->text[0] == '/' && n->text[1] == 0; }

// The part of a name's item a word is, not an item of its own (PassByte).
constexpr uint8_t kNamePartBit = 1;
// A name part that keeps a class of its own though it is no item: the
// office before a person's name (the President in President Kennedy).
constexpr uint8_t kOfficeBit = 16;
// Pass 2 only: the word begins a sentence or a quotation; a noun whose
// reading is the default so far, to be chosen with its sentence.
constexpr uint8_t kInitialBit = 2;
constexpr uint8_t kOpenBit = 4;
bool IsNamePart(const TWordNode* n) { return (n->category.PassByte & kNamePartBit) != 0; }
bool IsOffice(const TWordNode* n) { return (n->category.PassByte & kOfficeBit) != 0; }

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

// The capitalised words of the text that stand before another (Fulton of
// Fulton County), by their texts alone, read once before pass 2 and shared
// by its parts, which only read it: a part that read them again from its
// document's first word read the whole text before it.
class CapitalPairs {
 public:
  CapitalPairs() {
    for (const TWordNode* x = TextWords.First(); x && x != TextWords.Tail(); x = TWordList::NextNode(x)) {
      const TWordNode* y = TWordList::NextNode(x);
      if (y == TextWords.Tail() || y->fileNumber != x->fileNumber || IsMark(x) || IsMark(y)) continue;
      if (y->tag[0] == ' ' && !y->tag[1] && IsUpperCaseLetter(static_cast<unsigned char>(x->text[0])) &&
          IsUpperCaseLetter(static_cast<unsigned char>(y->text[0])))
        pairs_[x->text].push_back({x, y->text});
    }
  }
  struct Pair {
    const TWordNode* first;
    const char* next;
  };
  // The words that followed the text of n before n in its document, the
  // nearest first.
  template <class Take>
  const char* Before(const TWordNode* n, Take take) const {
    const auto found = pairs_.find(n->text);
    if (found == pairs_.end()) return nullptr;
    const std::vector<Pair>& pairs = found->second;
    for (auto it = pairs.rbegin(); it != pairs.rend(); ++it)
      if (it->first->fileNumber == n->fileNumber && Precedes(it->first, n) && take(it->next)) return it->next;
    return nullptr;
  }

 private:
  static bool Precedes(const TWordNode* a, const TWordNode* b) {
    if (a->position != b->position) return a->position < b->position;
    for (const TWordNode* p = a; p != TextWords.Tail() && p->position == b->position; p = TWordList::NextNode(p))
      if (p == b) return a != b;
    return false;
  }
  std::unordered_map<std::string_view, std::vector<Pair>> pairs_;
};

// Pass 2 of the semantic pass: the names of persons and the ambiguous nouns
// of a document, each noun chosen in the context of its sentence and its
// document. The nouns of the document are gathered and counted in it first,
// then chosen sentence by sentence. A long text may be settled in parts at
// once, each part with an engine of its own, a document cut between parts
// only after a sentence's end: each part gathers its sentences, the counts
// of the document are added up, then each part chooses in its sentences.
class DocumentSettler {
 public:
  DocumentSettler(TOntologyEngine& engine, const uint32_t (&surnameFields)[4]) : engine_(engine) {
    std::copy(std::begin(surnameFields), std::end(surnameFields), surnameFields_);
  }
  // Returns the first node after the document that begins at first.
  TWordNode* SettleDocument(TWordNode* first);
  // Gathers the nouns of the sentences from `from` (a document's first word
  // or the word after a sentence's end) up to `end` or the document's end,
  // counted in the document begun last; returns the node where it stopped.
  TWordNode* Gather(TWordNode* from, TWordNode* end);
  // Chooses among the readings of the nouns gathered; `firstPlace` is the
  // place in its document of the first word gathered.
  void SettleGathered(uint32_t firstPlace);
  // What Gather left for SettleGathered, kept aside while other documents are settled.
  struct Gathered {
    std::deque<TWordNode*> nouns;
    std::vector<uint32_t> nounPlaces;
    std::deque<std::pair<TWordNode*, TWordNode*>> sentenceSpans;
    TWordNode* documentFirst = nullptr;
    uint16_t documentFile = 0;
    TWordNode* sentenceFirst = nullptr;
    TWordNode* end = nullptr;
    uint32_t generation = 0;
    uint32_t words = 0;  // words gathered (marks left out)
  };
  Gathered TakeGathered();
  void RestoreGathered(Gathered&& g);
  uint32_t Substantives() const { return substantives_; }
  // Where the text index's counts of the nouns chosen go instead of the
  // text index (for a part, added up once all are done); null: counted.
  std::vector<uint32_t>* textIndexEntries = nullptr;
  // The text's capitalised pairs, for the names of places said again.
  const CapitalPairs* capitalPairs = nullptr;

 private:
  // The open nouns of the sentence gathered in sentence_ and members_.
  // from..to (to not included): the words of the sentence, for the gloss
  // signatures of the open nouns' readings.
  void SettleSentence(TWordNode* from = nullptr, TWordNode* to = nullptr);
  // The gloss word of a word's text, 0 when the signatures know none.
  uint32_t GlossWordOf(const TWordNode* n) const;
  TWordNode* JoinNamesAt(TWordNode* n);
  // The steps of JoinNamesAt.
  // The node x's next word or mark in the document being settled, else null.
  TWordNode* NextInDocument(const TWordNode* x) const { return InDocument(TWordList::NextNode(x)); }
  bool PeriodAfter(const TWordNode* w) const {
    const TWordNode* x = NextInDocument(w);
    return x && x->tag[0] == '.';
  }
  // a.m. and p.m., No. before a number, U. S.: true when n begins one,
  // joined, with after the node that follows it.
  bool JoinAbbreviationAt(TWordNode* n, TWordNode*& after);
  // A substantive with a capital, or an initial whatever its category (A., I.).
  bool NameCandidate(const TWordNode* w) const;
  // A word naming an office that was read as another kind of word is the
  // office before a person's name (General Howe, General Washington; but
  // General Motors, General Court, Superior Court).
  void OfficeBeforeName(TWordNode* w);
  // The run of capitalised words from n into run_, their kinds into kinds_.
  void GatherNameRun(TWordNode* n);
  // Joins the names before a place's head to its item; the index after the
  // head (0 when the run has none).
  size_t PlaceHeadEnd();
  // A famous bearer's surname known best as a common noun (Court, Grant,
  // Gore) is a person's name only after a given name or a name known best
  // as a person's, a title, an initial, an office known only as one or a
  // title written out (General Grant, Bill Gates, Judge Parsons; but
  // Superior Court, Gore Court); it begins a name only before a name
  // (Father Weigel).
  bool SurnameAfter(size_t k) const;
  // A word that can only be a name after a word naming an office.
  bool NameWordAt(size_t k) const;
  // Where the person's name begins in the run, from the index `from` on.
  size_t NameStart(size_t from) const;
  // The last word of the name that begins at start.
  size_t NameEnd(size_t start) const;
  // Joins the name start..last into one person; true when a Jr. or Sr.
  // after it was joined too, with after the node that follows it.
  bool JoinPersonName(size_t start, size_t last, TWordNode*& after);
  // A name the document gave before a place's head, said again without it.
  void NamePlaceAgain(size_t start, size_t last);
  // The head of a place's, a body's or a building's name that the word's
  // text stood before earlier in its document (County for the Fulton of
  // Fulton County), or null.
  const char* PlaceNamedBy(const TWordNode* n);
  // The token of readings the first step left in a noun not yet walked.
  ReadingsToken ReadingsOfNode(const TWordNode* w) const {
    if (!(w->category.PassByte & kPassReadingsBit)) return {};
    return engine_.TextToken(static_cast<uint32_t>(w->readingValue));
  }
  // What the words around a noun of the document say it names.
  uint8_t CuesAround(const TWordNode* n) const;
  // The word just before n in its document (null: none, or a mark).
  const TWordNode* WordBefore(const TWordNode* n) const;
  // The node x when it is a word or mark of the document being settled, else null.
  TWordNode* InDocument(TWordNode* x) const {
    return x && x != TextWords.Tail() && x->fileNumber == documentFile_ ? x : nullptr;
  }
  TOntologyEngine& engine_;
  // The nouns of a document that speak in their sentence (those with a
  // class of level 1), in text order, each sentence followed by a null.
  std::deque<TWordNode*> nouns_;
  // The first word of each of those sentences and the node after its last,
  // kept only when the gloss signatures are read (they alone need them).
  std::deque<std::pair<TWordNode*, TWordNode*>> sentenceSpans_;
  const GlossSignatures* glosses_ = nullptr;
  bool glossesAsked_ = false;
  // The words of the sentence, the gloss word of each once asked for
  // (kNotAsked before), and the gloss words near the noun being classified.
  static constexpr uint32_t kNotAsked = ~0u;
  std::vector<TWordNode*> sentenceWords_;
  std::vector<uint32_t> glossWords_;
  std::vector<uint32_t> nearWords_;
  // The gloss words at most kGlossWindow words from the sentence's word at index i.
  void GatherNearWords(size_t i);
  uint32_t substantives_ = 0;  // substantives gathered, name parts among them
  // The first word gathered: a document's first, or a word after a
  // sentence's end (the word before it is then a mark).
  TWordNode* documentFirst_ = nullptr;
  uint16_t documentFile_ = 0;
  std::vector<NearNoun> sentence_;
  std::vector<uint32_t> nounPlaces_;  // beside nouns_: each noun's place from the first word gathered
  std::vector<TWordNode*> members_;
  std::vector<TWordNode*> run_;
  std::vector<NameWord> kinds_;
  bool tokensKept_ = false;  // the open nouns' tokens of readings hold
  uint32_t tokenGeneration_ = 0;
  uint32_t surnameFields_[4] = {};
  // Left by Gather for SettleGathered.
  TWordNode* sentenceFirst_ = nullptr;
  TWordNode* gatherEnd_ = nullptr;
  uint32_t gatheredWords_ = 0;
};

// The proposition being collected by pass 3.
struct TPropositionState {
  TRelationWindow items;          // rows 0..20: the classes of levels 1-4 of each item
  uint32_t itemCount = 0;         // goes on counting past 21
  uint32_t slotCount = 0;         // rows used, at most 21
  uint32_t substantiveCount = 0;  // substantive items
  bool hasItems = false;
  bool hasVerb = false;
  bool shortVerbal = true;  // no verb or more than 3 items clears it at closing
  TWordNode* firstNode = nullptr;
  int32_t position = 0;  // the current word's position

  void Reset() { *this = TPropositionState(); }
};

class SemanticPass {
 public:
  // parts: pass 2's parts (0: one per usable processor on a long text).
  SemanticPass(TAnalysisResults& results, TOntologyEngine& engine, size_t parts, const TResultsSteps* steps)
      : r_(results), engine_(engine), parts_(parts), steps_(steps) {}

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
  // Pass 2 in parts at once (parts > 1); substantives of the text returned.
  uint32_t SettleInParts(size_t parts, const CapitalPairs& capitalPairs);
  void RememberLastSubstantives();
  uint32_t substantives_ = 0;  // substantives of the text, name parts among them
  uint32_t surnameFields_[4] = {};
  // parts: 0 for one per usable processor.
  void CollectPropositions(size_t parts);
  void StoreRetention();
  void SortRelations();

  TAnalysisResults& r_;
  TOntologyEngine& engine_;
  size_t parts_ = 0;
  const TResultsSteps* steps_ = nullptr;
  bool scenarioInView_ = false;
  uint32_t words_ = 0;
};

// Pass 3 over a run of whole propositions: the Scenario's retention and the
// items of each proposition. It changes only its own state and its words,
// so that runs of the text can be collected at once and joined in order.
class PropositionRun {
 public:
  // The run's windows, relation records and window words go to these; its
  // pre-verb counts to preVerb when given, else to preVerbItems.
  PropositionRun(const TOntologyEngine& engine, uint32_t minimumClassCount, TRelationStore& relations,
                 TPropositionWindowList& windows, std::vector<TWordNode*>& windowWords, TAnalysisResults* preVerb)
      : engine_(engine),
        minimumClassCount_(minimumClassCount),
        relations_(relations),
        windows_(windows),
        windowWords_(windowWords),
        preVerb_(preVerb) {
    if (engine.IsScenarioLoaded()) entryCounts.assign(engine.ScenarioEntryCount() + 1, 0);
  }
  // The words from..to (to not included), from the first of a proposition
  // on; a run that ends the text keeps its last proposition without a mark.
  void Collect(TWordNode* from, TWordNode* to);

  uint32_t retained = 0;              // retained substantives
  std::vector<uint32_t> entryCounts;  // occurrences by Scenario entry
  std::vector<std::array<uint32_t, 4>> preVerbItems;
  // The classes the last substantive tested kept (what a one-part pass
  // leaves as the engine's current reading).
  std::optional<std::array<uint32_t, 4>> lastClasses;
  bool windowWordsKept = true;  // false: memory was short, the words are dropped

 private:
  void CollectItem(TWordNode* n);
  void CloseProposition(const TWordNode* mark);
  void KeepWindowWord(uint32_t first);
  void AddSlot(const uint32_t classes[4]) {
    if (p_.slotCount >= static_cast<uint32_t>(kRelationRows)) return;
    for (int l = 1; l <= 4; ++l) p_.items.Set(static_cast<int>(p_.slotCount), l, classes[l - 1]);
    ++p_.slotCount;
  }

  const TOntologyEngine& engine_;
  const uint32_t minimumClassCount_;
  TRelationStore& relations_;
  TPropositionWindowList& windows_;
  std::vector<TWordNode*>& windowWords_;
  TAnalysisResults* preVerb_;
  TPropositionState p_;
  // The walk that finds each window's first word follows the run: the
  // words it steps over are those the run has just read.
  std::optional<TRecordWordWalk> windowWalk_;
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
  if (Progress.gauge) {
    Progress.gauge->DefinirMaximum(kSemanticGaugeSteps);
    Progress.gauge->DefinirLibelle(1, GetMessageText(kMsgSemanticAnalysis), false);
    Progress.gauge->DefinirLibelle(3, GetMessageText(kMsgFiles), true);
  }
  r_.ClearPreVerbCounts();
  r_.ProgressCounter = 0;
  r_.Cancelled = false;
  r_.ResultsReady = false;
  r_.RetentionCount = 0;
  // A first pass done beside the loading has counted into the engine already.
  if (!firstDone) {
    engine_.ClearTextCounts();
    engine_.ResetTextClasses();
  }
  engine_.ResetHistory();

  // The settings come with their base in range; a base that is not is the first level.
  const uint16_t base = r_.Settings.relationBase;
  r_.RelationBase = base >= 1 && base <= 4 ? base : 1;
  r_.Relations.Clear();
  r_.Windows.Clear();
  RewindStores(r_);
  scenarioInView_ = r_.Settings.scenarioOnAllCategories && engine_.IsScenarioLoaded();
}

// Pass 1: nouns with one reading, verbs and adjectives.
void SemanticPass::ClassifyFirst() {
  TFirstPass first(engine_);
  first.Begin(r_.Settings.numbersAsWords);
  for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n)) first.Take(n);
  words_ = first.Words();
}

// Pass 2: the names of persons and the ambiguous nouns, document by
// document, each noun chosen in the context of its sentence and its document.
void SemanticPass::SettleAmbiguous() {
  surnameFields_[0] = engine_.PersonClasses()[2];
  {
    int k = 1;
    for (const char* field : {"work", "music", "art"})
      surnameFields_[k++] = static_cast<uint32_t>(engine_.FindClassIndex(3, field));
  }
  // Parts are worth their threads only on a long text.
  constexpr size_t kMostParts = 16;
  constexpr uint32_t kWordsPerPart = 20000;
  size_t parts = parts_;
  if (parts == 0) parts = std::min<size_t>({UsableCores(), kMostParts, TextWords.Count() / kWordsPerPart});
  const CapitalPairs capitalPairs;
  if (parts > 1 && engine_.EveryReadingWeighted()) {
    substantives_ = SettleInParts(parts, capitalPairs);
  } else {
    DocumentSettler settler(engine_, surnameFields_);
    settler.capitalPairs = &capitalPairs;
    TWordNode* n = TextWords.First();
    while (n && n != TextWords.Tail()) n = settler.SettleDocument(n);
    substantives_ = settler.Substantives();
  }
  engine_.EndDocuments();
  RememberLastSubstantives();
  if (scenarioInView_) {
    // A word of the Scenario's word lists counts as a substantive.
    for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n)) {
      TWordCategoryData& d = n->category;
      if (!IsMark(n) && !IsSubstantive(d.Category) && engine_.ScenarioEntryOfWordForm(n->text))
        SetSubstantive(d.Category);
    }
  }
}

namespace {

// A part of pass 2 may begin at a document's first word or after a
// sentence's end.
bool BeginsSentences(const TWordNode* n) {
  if (n == TextWords.First()) return true;
  const TWordNode* before = TWordList::PreviousNode(n);
  return before->fileNumber != n->fileNumber || (IsMark(before) && EndsSentence(before->tag));
}

// The nouns of a part: a whole document, or a document's sentences that
// another part's sentences go on (or that go on another's).
struct SettledSpan {
  bool beginsDocument = false;
  bool whole = false;
  TOntologyEngine::DocumentCounts counts;
  DocumentSettler::Gathered gathered;
  uint32_t firstPlace = 0;  // the place in its document of its first word
  size_t document = 0;      // not whole: its document among those cut between parts
  std::vector<TOntologyEngine::OccurrenceChange> gatherLog, settleLog;
};

}  // namespace

// The parts begin near even shares of the nodes, where a part may begin;
// each gathers its sentences with an engine of its own, and settles them at
// once when they make whole documents. The counts of a document cut between
// parts are added up, then each part settles its sentences of such a
// document. Last, the class counts the parts changed are replayed here in
// the text's order (a document's gathering before its settling), and their
// own counts and text index counts added.
uint32_t SemanticPass::SettleInParts(size_t parts, const CapitalPairs& capitalPairs) {
  const uint32_t count = TextWords.Count();
  std::vector<TWordNode*> starts{TextWords.First()};
  size_t last = 0;  // the index of the last start
  for (size_t p = 1; p < parts; ++p) {
    size_t i = std::max<size_t>(last + 1, count * p / parts);
    if (i >= count) break;
    TWordNode* n = TWordList::NodeAhead(TextWords.First(), i);
    while (n != TextWords.Tail() && !BeginsSentences(n)) n = TWordList::NextNode(n), ++i;
    if (n == TextWords.Tail()) break;
    starts.push_back(n);
    last = i;
  }
  parts = starts.size();
  starts.push_back(TextWords.Tail());
  std::vector<std::unique_ptr<TOntologyEngine>> engines;
  std::vector<DocumentSettler> settlers;
  std::vector<std::vector<uint32_t>> entries(parts);
  std::vector<std::vector<SettledSpan>> spans(parts);
  for (size_t p = 0; p < parts; ++p) {
    engines.push_back(std::make_unique<TOntologyEngine>(engine_, TOntologyEngine::PartOf{}));
    settlers.emplace_back(*engines.back(), surnameFields_);
    settlers.back().textIndexEntries = &entries[p];
    settlers.back().capitalPairs = &capitalPairs;
  }
  RunInParallel(parts, "semantic pass", [&](size_t p) {
    TOntologyEngine& engine = *engines[p];
    DocumentSettler& settler = settlers[p];
    for (TWordNode* n = starts[p]; n != starts[p + 1];) {
      SettledSpan span;
      span.beginsDocument = n == TextWords.First() || TWordList::PreviousNode(n)->fileNumber != n->fileNumber;
      engine.BeginDocument();
      TWordNode* stop = settler.Gather(n, starts[p + 1]);
      span.gatherLog = engine.TakeOccurrenceLog();
      span.whole = span.beginsDocument && (stop == TextWords.Tail() || stop->fileNumber != n->fileNumber);
      if (span.whole) {
        settler.SettleGathered(0);
        span.settleLog = engine.TakeOccurrenceLog();
      } else {
        span.counts = engine.CountsOfDocument();
        span.gathered = settler.TakeGathered();
      }
      spans[p].push_back(std::move(span));
      n = stop;
    }
  });
  ThrowIfWorkerFailed();
  // Each document cut between parts: its spans in order, with their places.
  std::vector<std::vector<SettledSpan*>> documents;
  for (auto& part : spans)
    for (SettledSpan& span : part) {
      if (span.whole) continue;
      if (span.beginsDocument || documents.empty()) documents.emplace_back();
      const std::vector<SettledSpan*>& before = documents.back();
      span.firstPlace = before.empty() ? 0 : before.back()->firstPlace + before.back()->gathered.words;
      span.document = documents.size() - 1;
      documents.back().push_back(&span);
    }
  RunInParallel(parts, "semantic pass", [&](size_t p) {
    TOntologyEngine& engine = *engines[p];
    DocumentSettler& settler = settlers[p];
    for (SettledSpan& span : spans[p]) {
      if (span.whole) continue;
      engine.BeginDocument();
      for (const SettledSpan* other : documents[span.document]) engine.AddToDocument(other->counts);
      const uint32_t firstPlace = span.firstPlace;
      settler.RestoreGathered(std::move(span.gathered));
      settler.SettleGathered(firstPlace);
      span.settleLog = engine.TakeOccurrenceLog();
    }
  });
  ThrowIfWorkerFailed();
  std::vector<const SettledSpan*> order;
  for (const auto& part : spans)
    for (const SettledSpan& span : part) order.push_back(&span);
  for (size_t i = 0; i < order.size();) {
    size_t j = i + 1;
    while (j < order.size() && !order[j]->beginsDocument) ++j;
    for (size_t k = i; k < j; ++k) engine_.ReplayOccurrences(order[k]->gatherLog);
    for (size_t k = i; k < j; ++k) engine_.ReplayOccurrences(order[k]->settleLog);
    i = j;
  }
  uint32_t substantives = 0;
  for (size_t p = 0; p < parts; ++p) {
    engine_.AddOwnCounts(*engines[p]);
    substantives += settlers[p].Substantives();
    uint32_t unused = 0;
    if (TextIndex)
      for (uint32_t entry : entries[p]) TextIndex->CountTextIndexEntry(entry, unused);
  }
  return substantives;
}

// The engine's history holds the classes of the last substantives of the
// text, as if every substantive had been pushed in text order.
void SemanticPass::RememberLastSubstantives() {
  std::vector<const TWordNode*> last;
  TWordNode* n = TextWords.Tail();
  while (n && n != TextWords.First() && last.size() < static_cast<size_t>(kHistorySize)) {
    n = TWordList::PreviousNode(n);
    if (n && !IsMark(n) && IsSubstantive(n->category.Category)) last.push_back(n);
  }
  // The pushes before these only moved the ring's cursor on.
  engine_.ResetHistory();
  const uint32_t earlier = substantives_ - std::min<uint32_t>(substantives_, static_cast<uint32_t>(last.size()));
  engine_.SkipHistory(static_cast<int>(earlier % kHistorySize));
  for (auto it = last.rbegin(); it != last.rend(); ++it) {
    const TWordCategoryData& d = (*it)->category;
    engine_.PushHistory({d.ClassIds[0], d.ClassIds[1], d.ClassIds[2], d.ClassIds[3]});
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

// A title written out (General for Gen.): before a word with a person's
// reading it may begin a name, though it is known best as a common word.
bool IsTitleWrittenOut(const TWordNode* n) { return TextIs(n, {"general", "reverend", "representative"}); }

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

// A number in figures (160, 1,500, 2.5, 1/2) just before the word.
bool InFiguresBefore(const TWordNode* before, const TWordNode* n) {
  if (!before || IsMark(before) || before->text[0] < '0' || before->text[0] > '9' || n->tag[0] != ' ' || n->tag[1])
    return false;
  for (const char* c = before->text; *c; ++c)
    if ((*c < '0' || *c > '9') && *c != ',' && *c != '.' && *c != '/') return false;
  return true;
}

}  // namespace

const TWordNode* DocumentSettler::WordBefore(const TWordNode* n) const {
  const TWordNode* before = n == documentFirst_ ? nullptr : TWordList::PreviousNode(n);
  return before && !IsMark(before) ? before : nullptr;
}

// What the words around a capitalised noun say it names; and for any noun,
// a number in figures just before it says it counts a unit (160 feet, 10
// yards), where it has a unit's reading.
uint8_t DocumentSettler::CuesAround(const TWordNode* n) const {
  // Its neighbours in its proposition and its document.
  const TWordNode* before = WordBefore(n);
  const uint8_t unit = InFiguresBefore(before, n) ? kCueUnit : 0;
  // Every reading of an office before a name names a person: the name
  // after it tells none of them from another.
  if (!IsCapitalised(n) || (n->category.PassByte & kInitialBit) || IsOffice(n)) return unit;
  const TWordNode* after = InDocument(TWordList::NextNode(n));
  if (after && IsMark(after)) after = nullptr;
  uint8_t cues = unit;
  if (before && TextIs(before, {"in", "from", "of", "at", "near", "into", "across", "through", "to"}))
    cues |= kCuePlace;
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

namespace {

// The token of readings the first step left in an ambiguous noun; the
// reading value is then 0, as for any word without a reading.
uint32_t TakeReadingsToken(TWordNode* n) {
  TWordCategoryData& d = n->category;
  if (!(d.PassByte & kPassReadingsBit)) return 0;
  d.PassByte &= static_cast<uint8_t>(~kPassReadingsBit);
  const uint32_t token = static_cast<uint32_t>(n->readingValue);
  n->readingValue = 0;
  return token;
}

// The word that carried an item gives it back.
void GiveBack(TOntologyEngine& engine, TWordNode* n) {
  TakeReadingsToken(n);
  TWordCategoryData& d = n->category;
  if (d.ClassIds[0]) engine.UncountClassOccurrences(d.ClassIds);
  std::fill(std::begin(d.ClassIds), std::end(d.ClassIds), 0u);
}

// A word that is part of another word's item.
void MakePart(TOntologyEngine& engine, TWordNode* n) {
  GiveBack(engine, n);
  n->category.PassByte |= kNamePartBit;
}

// The office before a person's name is part of the person's item, so that
// office and name make no pair of their own; but it names an office, and
// keeps its readings to be chosen as any noun's are. When a famous bearer
// made the word a person's name too (Constable the painter, King the
// preacher), the readings that hold only with its capital are left out,
// as for a word that begins a sentence: the bearer is no office.
void MakeOffice(TWordNode* n, bool alsoAName) {
  n->category.PassByte |= kNamePartBit | kOfficeBit;
  if (alsoAName) n->category.PassByte |= kInitialBit;
}

// The word takes classes of its own (levels 1-3), counted.
void TakeClasses(TOntologyEngine& engine, TWordNode* n, const std::array<uint32_t, 4>& classes) {
  GiveBack(engine, n);
  TWordCategoryData& d = n->category;
  for (int l = 0; l < 3; ++l) d.ClassIds[l] = classes[static_cast<size_t>(l)];
  engine.CountClassOccurrences(d.ClassIds);
  n->readingValue = static_cast<int32_t>(classes[0]);
}

bool SingleCapital(const TWordNode* n) { return n->text[0] >= 'A' && n->text[0] <= 'Z' && !n->text[1]; }

}  // namespace

// A title, initials, given names and a surname (Mrs. John F. Harper, Sen.
// Kennedy, W. J. Harper, William B. Hartsfield) are one person: the last
// word carries the item, the others none. "a.m." and "p.m." are a time of
// the day carried by their first letter. The run of words that begins at n
// is looked at once; the words after the last one it took are returned.
bool DocumentSettler::JoinAbbreviationAt(TWordNode* n, TWordNode*& after) {
  // a.m. and p.m. (the period after the m may stand before a mark).
  if (TextIs(n, {"a", "p"})) {
    TWordNode* m = NextInDocument(n);
    if (m && TextIs(m, {"m"}) && std::strcmp(m->tag, ".") == 0) {
      TWordNode* x = NextInDocument(m);
      if (x && x->tag[0] != '.' && IsMark(x)) x = NextInDocument(x);
      const auto& time = engine_.TimeOfDayClasses(n->text[0] == 'p' || n->text[0] == 'P');
      if (x && x->tag[0] == '.' && time[0]) {
        SetSubstantive(n->category.Category);
        TakeClasses(engine_, n, time);
        MakePart(engine_, m);
        after = NextInDocument(m);
        return true;
      }
    }
  }
  // No. before a number is the number's sign (No. 5, Lodge No. 142),
  // whatever the word was read as.
  if (TextIs(n, {"no"})) {
    const TWordNode* x = NextInDocument(n);
    const auto& sign = engine_.NumberSignClasses();
    if (x && x->tag[0] == '.' && x->text[0] >= '0' && x->text[0] <= '9' && sign[0]) {
      SetSubstantive(n->category.Category);
      TakeClasses(engine_, n, sign);
      after = NextInDocument(n);
      return true;
    }
  }
  // U. S. (U.S.) is the country, not a person's initials: the S carries
  // it, and a word after it begins its own item (U. S. Army).
  if (TextIs(n, {"u"}) && IsCapitalised(n) && PeriodAfter(n)) {
    TWordNode* x = NextInDocument(n);
    const auto& country = engine_.CountryClasses();
    if (x && TextIs(x, {"s"}) && IsCapitalised(x) && PeriodAfter(x) && country[0]) {
      MakePart(engine_, n);
      SetSubstantive(x->category.Category);
      TakeClasses(engine_, x, country);
      after = NextInDocument(x);
      return true;
    }
  }
  return false;
}

bool DocumentSettler::NameCandidate(const TWordNode* w) const {
  return !IsMark(w) && IsCapitalised(w) && !IsNamePart(w) &&
         (IsSubstantive(w->category.Category) || (SingleCapital(w) && PeriodAfter(w)));
}

void DocumentSettler::OfficeBeforeName(TWordNode* w) {
  if (IsMark(w) || !IsCapitalised(w) || IsSubstantive(w->category.Category) || IsNamePart(w)) return;
  TWordNode* x = NextInDocument(w);
  if (!x || !(x->tag[0] == ' ' && !x->tag[1]) || !NameCandidate(x) || !engine_.NameWordOf(w->text, false).role) return;
  // The name: an initial, or a word known best with its capital; after a
  // title written out (General for Gen.) without an article, any word
  // with a person's reading, as after the title (General Grant, General
  // Gates; but the General Court, Superior Court: Court the player is no
  // name there).
  const NameWord name = engine_.NameWordOf(x->text, PeriodAfter(x), ReadingsOfNode(x));
  const TWordNode* before = TWordList::PreviousNode(w);
  const bool titleWrittenOut =
      IsTitleWrittenOut(w) && !(before && !IsMark(before) && TextIs(before, {"the", "a", "an"}));
  if (name.part == NamePart::kInitial ||
      ((name.part == NamePart::kPerson || name.part == NamePart::kName) && name.name) ||
      (name.part == NamePart::kPerson && titleWrittenOut))
    SetSubstantive(w->category.Category);
}

void DocumentSettler::GatherNameRun(TWordNode* n) {
  run_.clear();
  kinds_.clear();
  run_.push_back(n);
  kinds_.push_back(engine_.NameWordOf(n->text, PeriodAfter(n), ReadingsOfNode(n)));
  for (TWordNode* j = NextInDocument(n); j; j = NextInDocument(j)) {
    const NamePart before = kinds_.back().part;
    const bool abbreviated = before == NamePart::kTitle || before == NamePart::kInitial;
    const char* tag = j->tag;
    const bool joined = (tag[0] == ' ' && !tag[1]) || (abbreviated && tag[0] == '.' && (!tag[1] || tag[1] == ' '));
    TWordNode* k = NextInDocument(j);
    if (before == NamePart::kTitle && joined && TextIs(j, {"and"}) && k && NameCandidate(k) && IsTitle(k)) {
      run_.push_back(j);
      kinds_.push_back({NamePart::kTitle});  // "and" between two titles
      continue;
    }
    if (joined) OfficeBeforeName(j);
    if (!joined || !NameCandidate(j)) break;
    run_.push_back(j);
    kinds_.push_back(engine_.NameWordOf(j->text, PeriodAfter(j), ReadingsOfNode(j)));
  }
}

size_t DocumentSettler::PlaceHeadEnd() {
  for (size_t h = 1; h < kinds_.size(); ++h) {
    const NamePart before = kinds_[h - 1].part;
    if (before == NamePart::kTitle || before == NamePart::kInitial) break;
    if (!kinds_[h].head) continue;
    size_t head = h;
    while (head + 1 < kinds_.size() && kinds_[head + 1].head) ++head;
    for (size_t k = 0; k < head; ++k)
      if (kinds_[k].part == NamePart::kPerson || (kinds_[k].part == NamePart::kName && kinds_[k].name))
        MakePart(engine_, run_[k]);
    return head + 1;
  }
  return 0;
}

bool DocumentSettler::SurnameAfter(size_t k) const {
  if (!kinds_[k].commonFirst) return true;
  if (k == 0) return false;
  const NamePart before = kinds_[k - 1].part;
  return before == NamePart::kTitle || before == NamePart::kInitial || before == NamePart::kRole ||
         (kinds_[k - 1].role && before == NamePart::kNone) || kinds_[k - 1].personName ||
         IsTitleWrittenOut(run_[k - 1]);
}

bool DocumentSettler::NameWordAt(size_t k) const {
  const NamePart part = kinds_[k].part;
  return (part == NamePart::kPerson && SurnameAfter(k)) || part == NamePart::kInitial ||
         (part == NamePart::kName && kinds_[k].name);
}

size_t DocumentSettler::NameStart(size_t from) const {
  // The name begins at its first title, initial or person, or at a word
  // naming a person's office before a name (Mayor Hartsfield, Judge Pye).
  size_t start = from;
  while (start < kinds_.size()) {
    const NamePart part = kinds_[start].part;
    if (part == NamePart::kTitle || part == NamePart::kInitial ||
        (part == NamePart::kPerson &&
         (!kinds_[start].commonFirst ||
          (start + 1 < kinds_.size() && !kinds_[start + 1].commonFirst && NameWordAt(start + 1)))))
      break;
    if (kinds_[start].role && start + 1 < kinds_.size() && NameWordAt(start + 1)) break;
    ++start;
  }
  // An office before a name further on begins the name when a word known
  // best as a common noun lies between (Fulton Superior Court Judge Durwood
  // Pye: the person is Judge Durwood Pye, not the court).
  for (size_t k = start + 1; k + 1 < kinds_.size(); ++k) {
    if (!kinds_[k].role || kinds_[k].part == NamePart::kPerson || !NameWordAt(k + 1) ||
        !(kinds_[k + 1].name || kinds_[k + 1].part == NamePart::kInitial))
      continue;
    bool common = false;
    for (size_t j = start; j < k && !common; ++j)
      common = kinds_[j].part != NamePart::kTitle && kinds_[j].part != NamePart::kInitial && !kinds_[j].name;
    if (common) start = k;
    break;
  }
  return start;
}

size_t DocumentSettler::NameEnd(size_t start) const {
  size_t last = start;
  while (last + 1 < kinds_.size()) {
    const NamePart previous = kinds_[last].part, following = kinds_[last + 1].part;
    const bool afterAbbreviation = previous == NamePart::kTitle || previous == NamePart::kInitial;
    const bool person = following == NamePart::kPerson && SurnameAfter(last + 1);
    // A word with a reading only its capital gives is a name here only
    // when that reading is the one it is known best by (not the Georgia
    // Constitution, the frigate).
    bool take = following == NamePart::kTitle || following == NamePart::kInitial || person ||
                (following == NamePart::kName && kinds_[last + 1].name) || afterAbbreviation;
    // An office ends a name only when a word known best as a person's
    // name comes before it and nothing after it: it is the surname
    // (Sidney Baker; but Land Rover, Parks Commissioner).
    // A word known best as a day or a month ends no name after a word
    // that is no given name (Fulton Superior Court Friday; but Sadie
    // Beth March, Mr. March).
    if (kinds_[last + 1].timeName && !afterAbbreviation && !kinds_[last].personName) take = false;
    if (following == NamePart::kRole && !afterAbbreviation)
      take = previous == NamePart::kPerson && kinds_[last].personName && last + 2 == kinds_.size();
    if (!take && (following == NamePart::kNone || following == NamePart::kPerson)) {
      const uint32_t field = engine_.FirstField(run_[last + 1]->text, ReadingsOfNode(run_[last + 1]));
      take =
          field && std::find(std::begin(surnameFields_), std::end(surnameFields_), field) != std::end(surnameFields_);
    }
    // After a title and a name known best as a person's, the capitalised
    // word that ends the run is the surname, whatever else it names
    // (Mrs. Ethel Coles, Sen. John Tower); a capital letter alone is none
    // (Sen. Walter H. Jones R-Bergen: the party).
    if (!take && kinds_[start].part == NamePart::kTitle && kinds_[last].personName && last + 2 == kinds_.size() &&
        !SingleCapital(run_[last + 1]))
      take = true;
    if (!take) break;
    ++last;
  }
  return last;
}

bool DocumentSettler::JoinPersonName(size_t start, size_t last, TWordNode*& after) {
  // A word naming an office that begins the name (not a title, an
  // initial or a person's name) keeps a class of its own, also when a
  // famous bearer made it a surname too (King Saud, Pope John, Dean
  // Thaddeus Seymour: the word is known best as the office).
  const NamePart first = kinds_[start].part;
  const bool office = kinds_[start].role && first != NamePart::kTitle && first != NamePart::kInitial &&
                      (first != NamePart::kPerson || kinds_[start].commonFirst);
  for (size_t k = start; k < last; ++k) {
    if (k == start && office) MakeOffice(run_[k], first == NamePart::kPerson);
    else MakePart(engine_, run_[k]);
  }
  TakeClasses(engine_, run_[last], engine_.PersonClasses());
  // Jr. or Sr. after a comma (Robert O. Spurdle, Jr.) ends the same
  // name: it is no son of its own.
  if (last + 1 == run_.size())
    if (TWordNode* suffix = NextInDocument(run_[last]); suffix && suffix->tag[0] == ',' &&
                                                        (!suffix->tag[1] || suffix->tag[1] == ' ') &&
                                                        IsCapitalised(suffix) && TextIs(suffix, {"jr", "sr"})) {
      MakePart(engine_, suffix);
      after = NextInDocument(suffix);
      return true;
    }
  return false;
}

void DocumentSettler::NamePlaceAgain(size_t start, size_t last) {
  const bool joinedPerson = last > start && start == 0;
  if (!joinedPerson && !IsNamePart(run_[0]) && kinds_[0].name && kinds_[0].part == NamePart::kPerson &&
      !kinds_[0].place && (run_.size() == 1 || !kinds_[1].head)) {
    const TWordNode* after = NextInDocument(run_[0]);
    if (after && !IsMark(after) && !IsVerb(after->category.Category))
      if (const char* head = PlaceNamedBy(run_[0])) {
        const std::array<uint32_t, 4> place = engine_.FirstReadingClasses(head);
        if (place[0]) {
          SetSubstantive(run_[0]->category.Category);
          TakeClasses(engine_, run_[0], place);
        }
      }
  }
}

TWordNode* DocumentSettler::JoinNamesAt(TWordNode* n) {
  TWordNode* after = nullptr;
  if (JoinAbbreviationAt(n, after)) return after;
  OfficeBeforeName(n);
  if (!NameCandidate(n)) return NextInDocument(n);
  // The run of capitalised words that follow one another (a period only
  // after a title or an initial; "Mr. and Mrs." holds together).
  GatherNameRun(n);
  // A place's, a body's or a building's name: the names before its head
  // (Fulton County, Roosevelt Hotel) are part of the head's item, unless a
  // title or an initial before the head makes them a person's; common
  // nouns before it (State Welfare Department) keep items of their own.
  const size_t start = NameStart(PlaceHeadEnd());
  size_t last = start;
  if (start < kinds_.size()) {
    last = NameEnd(start);
    if (last > start && JoinPersonName(start, last, after)) return after;
  }
  // A person's name known best as one and no place's (not Junior, Parks,
  // Oklahoma) that the document gave before a place's head (Fulton
  // County) names that place again without the head, before a word that
  // is no verb
  // (Fulton legislators, the Fulton ordinary's court, Fulton Superior
  // Court); before a verb it may be a person (Fulton said).
  NamePlaceAgain(start, last);
  // A capital letter alone is no unit, element or letter: no item.
  for (size_t k = 0; k < run_.size(); ++k)
    if (!(k >= start && k <= last && last > start) && SingleCapital(run_[k]) && !IsNamePart(run_[k]) &&
        IsSubstantive(run_[k]->category.Category))
      MakePart(engine_, run_[k]);
  return NextInDocument(run_.back());
}

const char* DocumentSettler::PlaceNamedBy(const TWordNode* n) {
  if (!capitalPairs) return nullptr;
  return capitalPairs->Before(n, [this](const char* next) { return engine_.NameWordOf(next, false).head; });
}

TWordNode* DocumentSettler::SettleDocument(TWordNode* first) {
  engine_.BeginDocument();
  TWordNode* end = Gather(first, nullptr);
  SettleGathered(0);
  return end;
}

TWordNode* DocumentSettler::Gather(TWordNode* first, TWordNode* end) {
  // Names first, then every noun's reading without evidence, counted in the
  // document; an ambiguous noun keeps it open (PassByte) until its sentence
  // is looked at.
  // An open noun keeps the token of its readings in its reading value until
  // its sentence is looked at; the tokens hold while the engine's memory of
  // readings is not emptied.
  tokenGeneration_ = engine_.KeptReadings().generation;
  documentFirst_ = first;
  documentFile_ = first->fileNumber;
  nouns_.clear();
  nounPlaces_.clear();
  sentenceSpans_.clear();
  if (!glossesAsked_) {
    glosses_ = engine_.Glosses();
    glossesAsked_ = true;
  }
  TWordNode* sentenceFirst = first;
  bool sentenceStart = true;
  bool sentenceHasNouns = false;
  TWordNode* namesDone = first;  // the first word no run has looked at yet
  // The walk finds the document's end as it goes.
  TWordNode* n = first;
  uint32_t at = 0;
  for (; InDocument(n) && n != end; n = TWordList::NextNode(n)) {
    if (IsMark(n)) {
      if (EndsSentence(n->tag)) {
        sentenceStart = true;
        if (sentenceHasNouns) {
          nouns_.push_back(nullptr);
          nounPlaces_.push_back(0);
          if (glosses_) sentenceSpans_.emplace_back(sentenceFirst, n);
        }
        sentenceHasNouns = false;
      }
      if (n == namesDone) namesDone = TWordList::NextNode(n);
      continue;
    }
    ++at;
    TWordCategoryData& d = n->category;
    if (sentenceStart) sentenceFirst = n;
    if (sentenceStart || OpensQuotation(n->tag)) d.PassByte |= kInitialBit;
    sentenceStart = false;
    // Names are joined before the word's token is taken: a word that
    // becomes part of a name, or a person, gives its token back.
    if (n == namesDone) namesDone = JoinNamesAt(n);
    const uint32_t readings = TakeReadingsToken(n);
    if (!IsSubstantive(d.Category)) continue;
    ++substantives_;
    if (IsNamePart(n) && !IsOffice(n)) continue;
    NearNoun near;
    if (d.ClassIds[0] == 0) {
      if (!engine_.DefaultReading(n->text, d.PassByte & kInitialBit, engine_.TextToken(readings))) continue;
      // After a number in figures the unit it counts is its default, the
      // reading its neighbours hear of it.
      if (InFiguresBefore(WordBefore(n), n)) engine_.TakeUnitReading();
      const auto& best = engine_.BestClasses();
      std::copy(best.begin(), best.begin() + 3, d.ClassIds);
      n->lexicalEntry = engine_.BestBaseForm();
      n->readingValue = static_cast<int32_t>(engine_.KeptReadings().readings);
      d.PassByte |= kOpenBit;
    }
    near.baseForm = n->lexicalEntry;
    for (int l = 0; l < 3; ++l) near.cls[l] = d.ClassIds[l];
    engine_.CountInDocument(near, d.PassByte & kOpenBit);
    if (d.ClassIds[0]) {
      nouns_.push_back(n);
      nounPlaces_.push_back(at);
      sentenceHasNouns = true;
    }
  }
  sentenceFirst_ = sentenceFirst;
  gatherEnd_ = n;
  gatheredWords_ = at;
  return n;
}

void DocumentSettler::SettleGathered(uint32_t firstPlace) {
  // Sentence by sentence, the open nouns in the light of the others.
  tokensKept_ = engine_.KeptReadings().generation == tokenGeneration_;
  // The nouns' nodes lie far apart in a long document: each is asked for
  // ahead of its turn, and an open noun's text a little later.
  constexpr size_t kNodeAhead = 16, kTextAhead = 8;
  const size_t count = nouns_.size();
  size_t span = 0;
  for (size_t i = 0; i < count; ++i) {
    if (i + kNodeAhead < count)
      if (const TWordNode* ahead = nouns_[i + kNodeAhead]) {
        __builtin_prefetch(ahead);
        __builtin_prefetch(reinterpret_cast<const char*>(ahead) + sizeof(TWordNode) - 1);
      }
    if (i + kTextAhead < count)
      if (const TWordNode* ahead = nouns_[i + kTextAhead]; ahead && (ahead->category.PassByte & kOpenBit))
        __builtin_prefetch(ahead->text);
    TWordNode* noun = nouns_[i];
    if (!noun) {
      const auto [from, to] = span < sentenceSpans_.size() ? sentenceSpans_[span] : std::pair<TWordNode*, TWordNode*>{};
      ++span;
      SettleSentence(from, to);
      continue;
    }
    NearNoun near;
    near.at = firstPlace + nounPlaces_[i];
    near.baseForm = noun->lexicalEntry;
    for (int l = 0; l < 3; ++l) near.cls[l] = noun->category.ClassIds[l];
    sentence_.push_back(near);
    members_.push_back(noun);
  }
  SettleSentence(members_.empty() ? nullptr : sentenceFirst_, gatherEnd_);
}

DocumentSettler::Gathered DocumentSettler::TakeGathered() {
  return {std::move(nouns_), std::move(nounPlaces_), std::move(sentenceSpans_),
          documentFirst_,    documentFile_,          sentenceFirst_,
          gatherEnd_,        tokenGeneration_,       gatheredWords_};
}

void DocumentSettler::RestoreGathered(Gathered&& g) {
  nouns_ = std::move(g.nouns);
  nounPlaces_ = std::move(g.nounPlaces);
  sentenceSpans_ = std::move(g.sentenceSpans);
  documentFirst_ = g.documentFirst;
  documentFile_ = g.documentFile;
  sentenceFirst_ = g.sentenceFirst;
  gatherEnd_ = g.end;
  tokenGeneration_ = g.generation;
  gatheredWords_ = g.words;
}

uint32_t DocumentSettler::GlossWordOf(const TWordNode* n) const {
  char lower[32];
  size_t k = 0;
  for (const char* c = n->text; c && *c; ++c) {
    if (k == sizeof lower) return 0;
    lower[k++] = static_cast<char>(*c >= 'A' && *c <= 'Z' ? *c - 'A' + 'a' : *c);
  }
  return k >= 3 ? glosses_->WordOf(std::string_view(lower, k)) : 0;
}

void DocumentSettler::GatherNearWords(size_t i) {
  const size_t last = std::min(sentenceWords_.size() - 1, i + kGlossWindow);
  for (size_t k = i > kGlossWindow ? i - kGlossWindow : 0; k <= last; ++k) {
    if (k == i) continue;
    if (glossWords_[k] == kNotAsked) {
      // Words of the closed classes name no sense.
      const TCategoryRecord& c = sentenceWords_[k]->category.Category;
      glossWords_[k] = IsConnector(c) || IsModality(c) || IsPronoun(c) || IsDeterminant(c) || IsDeterminantVariant(c)
                           ? 0
                           : GlossWordOf(sentenceWords_[k]);
    }
    if (glossWords_[k]) nearWords_.push_back(glossWords_[k]);
  }
  std::sort(nearWords_.begin(), nearWords_.end());
  nearWords_.erase(std::unique(nearWords_.begin(), nearWords_.end()), nearWords_.end());
}

void DocumentSettler::SettleSentence(TWordNode* from, TWordNode* to) {
  engine_.SetSentence(sentence_);
  sentenceWords_.clear();
  if (glosses_ && from) {
    bool open = false;
    for (const TWordNode* m : members_) open = open || (m->category.PassByte & kOpenBit);
    for (TWordNode* w = open ? from : nullptr; InDocument(w) && w != to; w = TWordList::NextNode(w))
      if (!IsMark(w)) sentenceWords_.push_back(w);
    glossWords_.assign(sentenceWords_.size(), kNotAsked);
  }
  size_t at = 0;  // the index of the member in sentenceWords_, members being in text order
  for (size_t m = 0; m < members_.size(); ++m) {
    TWordNode* n = members_[m];
    TWordCategoryData& d = n->category;
    if (!(d.PassByte & kOpenBit)) continue;
    engine_.SetCues(CuesAround(n));
    engine_.SetNounAt(sentence_[m].at);
    nearWords_.clear();
    while (at < sentenceWords_.size() && sentenceWords_[at] != n) ++at;
    if (at < sentenceWords_.size()) GatherNearWords(at);
    engine_.SetSentenceWords(nearWords_);
    engine_.SetOwnWord(nearWords_.empty() ? 0 : GlossWordOf(n));
    int32_t value = 0;
    std::fill(std::begin(d.ClassIds), std::end(d.ClassIds), 0u);
    ReadingsToken token;
    if (tokensKept_) token = {static_cast<uint32_t>(n->readingValue), tokenGeneration_};
    n->readingValue = 0;
    if (engine_.ClassifyWordAmong(n->text, value, true, d.PassByte & kInitialBit, token)) {
      const auto& best = engine_.BestClasses();
      std::copy(best.begin(), best.end(), d.ClassIds);
      SetAmbiguityFlag(d.Category);
      n->readingValue = value > 0 ? value : 0;
      n->lexicalEntry = engine_.BestBaseForm();
      uint32_t unused = 0;
      if (textIndexEntries) textIndexEntries->push_back(n->lexicalEntry);
      else if (TextIndex) TextIndex->CountTextIndexEntry(n->lexicalEntry, unused);
      for (int l = 0; l < 3; ++l) sentence_[m].cls[l] = d.ClassIds[l];
      engine_.SentenceNounChanged(sentence_[m]);
    }
  }
  for (TWordNode* member : members_) member->category.PassByte &= static_cast<uint8_t>(~(kOpenBit | kInitialBit));
  engine_.SetCues(0);
  engine_.SetSentenceWords({});
  engine_.SetOwnWord(0);
  engine_.SetSentence({});
  sentence_.clear();
  members_.clear();
}

void PropositionRun::CollectItem(TWordNode* n) {
  TWordCategoryData& d = n->category;
  TPropositionState& p = p_;
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
  if (!p.hasVerb) {
    if (preVerb_) {
      for (int l = 1; l <= 4; ++l) preVerb_->CountPreVerb(l, d.ClassIds[l - 1]);
    } else {
      preVerbItems.push_back({d.ClassIds[0], d.ClassIds[1], d.ClassIds[2], d.ClassIds[3]});
    }
  }
  ++p.substantiveCount;
}

void PropositionRun::CloseProposition(const TWordNode* mark) {
  TPropositionState& p = p_;
  if (p.hasItems) {
    if (!p.hasVerb || p.itemCount > 3) p.shortVerbal = false;
    const uint32_t first = p.firstNode ? static_cast<uint32_t>(p.firstNode->position) : 0;
    const uint32_t end = mark ? static_cast<uint32_t>(mark->position) : first;
    const uint8_t shortVerbal = p.shortVerbal ? 1 : 0;
    if (windows_.Append(p.items, first, end, static_cast<int>(p.slotCount))) {
      KeepWindowWord(first);
      const int n = static_cast<int>(std::min<uint32_t>(p.itemCount, kPairRecords));
      auto pair = [&](int a, int b, uint8_t notFirst) {
        return relations_.AddPair(p.items, a, b, first, notFirst, shortVerbal, end);
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

void PropositionRun::KeepWindowWord(uint32_t first) {
  if (!windowWordsKept) return;
  try {
    windowWords_.push_back(windowWalk_->Next(first));
  } catch (const std::bad_alloc&) {
    // The run's relation records walk the words themselves.
    windowWordsKept = false;
    std::vector<TWordNode*>().swap(windowWords_);
  }
}

void PropositionRun::Collect(TWordNode* from, TWordNode* to) {
  TPropositionState& p = p_;
  p.Reset();
  windowWalk_.emplace(TextWords, from);
  p.firstNode = from != TextWords.Tail() ? from : nullptr;
  for (TWordNode* n = from; n && n != to; n = TWordList::NextNode(n)) {
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
      std::array<uint32_t, 4> classes{d.ClassIds[0], d.ClassIds[1], d.ClassIds[2], d.ClassIds[3]};
      uint32_t entry = 0;
      if (engine_.RetentionOf(n->text, classes, n->lexicalEntry, minimumClassCount_, entry)) {
        ++retained;
        SetClassifiedMark(d);
        std::copy(classes.begin(), classes.end(), d.ClassIds);
      } else {
        ClearClassifiedMark(d);
      }
      if (entry) ++entryCounts[entry];
      lastClasses = classes;
    }
    CollectItem(n);
  }
  // A text that does not end on a mark keeps its last proposition (a run
  // that ends before the text's end ends after a mark).
  if (p.hasItems) CloseProposition(nullptr);
  p.Reset();
  if (!windowWordsKept) std::vector<TWordNode*>().swap(windowWords_);
}

namespace {

// The first word of each of at most parts runs of whole propositions of
// about the same length, the text's first word first: every other begins
// after a mark.
std::vector<TWordNode*> PropositionRunStarts(const TWordList& words, size_t parts) {
  std::vector<TWordNode*> starts{words.First()};
  const size_t count = words.Count();
  TWordNode* node = words.First();
  size_t at = 0;  // node's index
  for (size_t k = 1; k < parts; ++k) {
    const size_t target = count * k / parts;
    if (target <= at) continue;
    node = TWordList::NodeAhead(node, target - at);
    at = target;
    while (at < count && !IsMark(node)) {
      node = TWordList::NextNode(node);
      ++at;
    }
    if (at + 1 >= count) break;  // no word after the mark
    node = TWordList::NextNode(node);
    ++at;
    starts.push_back(node);
  }
  return starts;
}

// Runs shorter than this are not worth a thread of their own.
constexpr size_t kRunWordsAtLeast = 32768;
constexpr size_t kMostRuns = 8;

}  // namespace

// Pass 3: the Scenario's retention and the items of every proposition, in
// runs of whole propositions at once. The first run writes into the results
// as it goes; every other run into stores of its own, appended in order.
void SemanticPass::CollectPropositions(size_t parts) {
  std::vector<TWordNode*>().swap(r_.WindowWords);
  size_t wanted = parts;
  if (wanted == 0)
    wanted = std::min<size_t>({UsableCores(), kMostRuns, std::max<size_t>(1, TextWords.Count() / kRunWordsAtLeast)});
  const std::vector<TWordNode*> starts = PropositionRunStarts(TextWords, std::max<size_t>(1, wanted));
  const size_t runs = starts.size();
  struct OwnStores {
    TRelationStore relations;
    TPropositionWindowList windows;
    std::vector<TWordNode*> windowWords;
  };
  std::vector<std::unique_ptr<OwnStores>> own(runs);
  std::vector<std::optional<PropositionRun>> collected(runs);
  for (size_t k = 0; k < runs; ++k) {
    if (k == 0) {
      collected[k].emplace(engine_, r_.MinimumClassCount, r_.Relations, r_.Windows, r_.WindowWords, &r_);
    } else {
      own[k] = std::make_unique<OwnStores>();
      collected[k].emplace(engine_, r_.MinimumClassCount, own[k]->relations, own[k]->windows, own[k]->windowWords,
                           nullptr);
    }
  }
  RunInParallel(runs, "relations",
                [&](size_t k) { collected[k]->Collect(starts[k], k + 1 < runs ? starts[k + 1] : TextWords.Tail()); });
  // A run that found no memory dropped records: the message is shown here
  // and the pass ends as failed (Run).
  try {
    ThrowIfWorkerFailed();
  } catch (const std::bad_alloc&) {
    ReportMemoryLow(true);
  }
  bool windowWordsKept = true;
  std::vector<TStoresPart> stores;
  for (size_t k = 0; k < runs; ++k) {
    PropositionRun& run = *collected[k];
    r_.RetentionCount += run.retained;
    for (size_t e = 1; e < run.entryCounts.size(); ++e)
      if (run.entryCounts[e]) engine_.CountScenarioOccurrence(static_cast<uint32_t>(e), run.entryCounts[e]);
    if (run.lastClasses) engine_.LoadClasses(run.lastClasses->data());
    windowWordsKept = windowWordsKept && run.windowWordsKept;
    if (k == 0) continue;
    for (const auto& item : run.preVerbItems)
      for (int l = 1; l <= 4; ++l) r_.CountPreVerb(l, item[static_cast<size_t>(l - 1)]);
    stores.push_back({&own[k]->windows, &own[k]->relations});
    if (windowWordsKept) {
      try {
        r_.WindowWords.insert(r_.WindowWords.end(), own[k]->windowWords.begin(), own[k]->windowWords.end());
      } catch (const std::bad_alloc&) {
        windowWordsKept = false;
      }
    }
  }
  // Without room for them the other runs' windows and records are left out
  // (the message is shown, and the pass fails).
  if (!JoinStores(r_.Windows, r_.Relations, stores)) windowWordsKept = false;
  if (!windowWordsKept) std::vector<TWordNode*>().swap(r_.WindowWords);
}

void SemanticPass::StoreRetention() {
  const uint32_t kept = r_.RetentionCount;
  for (int code : {kCodeReferent, kCodeReferentNucleus, kCodeReferentPrincipal}) RunCounts.categories[code] = kept;
  RunCounts.categories[kCodeReferentSecondary] = 0;
  // Their percentages follow the counts they now hold.
  for (int code : {kCodeReferent, kCodeReferentNucleus, kCodeReferentPrincipal, kCodeReferentSecondary})
    RunCounts.percentages[code] =
        RunCounts.words ? static_cast<double>(RunCounts.categories[code]) / RunCounts.words * 100.0 : 0.0;
  if (engine_.IsScenarioLoaded()) engine_.PropagateScenarioCounts();
}

void SemanticPass::SortRelations() {
  // The four levels are sorted at once; the gauge then takes their steps.
  if (!r_.Relations.SortAllLevels()) return;
  for (int step = 0; step < 3 * kRelationLevels && !r_.Cancelled; ++step) GaugeStep(r_);
}

bool SemanticPass::Run(int64_t firstWords) {
  // Relations or windows left out for want of memory would be shown as the
  // whole analysis: a pass that met "Memory low" fails.
  const uint64_t memoryLowBefore = MemoryLowReports();
  Prepare(firstWords >= 0);
  if (!Step()) return false;
  if (firstWords >= 0) words_ = static_cast<uint32_t>(firstWords);
  else ClassifyFirst();
  if (!Step()) return false;
  SettleAmbiguous();
  if (!Step()) return false;
  CollectPropositions(parts_);
  if (MemoryLowReports() != memoryLowBefore) return false;
  StoreRetention();
  if (!Step()) return false;
  SortRelations();
  if (r_.Cancelled || MemoryLowReports() != memoryLowBefore) return false;
  for (int level = 1; level <= 3; ++level) {
    GaugeStep(r_);
    engine_.RankLevel(level);
  }
  engine_.RankScenario();
  r_.BurstCount = 0;
  r_.EpisodeCount = 0;
  if (words_ < kEpisodeWordLimit) {
    GaugeStep(r_);
    if (steps_ && steps_->episodes) steps_->episodes(r_);
    GaugeStep(r_);
    if (steps_ && steps_->characteristic) steps_->characteristic(r_);
  }
  TextWords.Rewind();
  TextWords.SaveCursor(kBookmarkPageStart);
  TextWords.SaveCursor(kBookmarkPageEnd);
  RewindStores(r_);
  if (MemoryLowReports() != memoryLowBefore) return false;
  r_.ResultsReady = !r_.Cancelled;
  r_.ProgressCounter = kSemanticGaugeSteps - 1;
  GaugeStep(r_);
  return !r_.Cancelled;
}

}  // namespace

bool IsPartOfName(const TWordNode& word) { return IsNamePart(&word); }

void GaugeStep(TAnalysisResults& results) {
  ++results.ProgressCounter;
  if (!Progress.gauge) return;
  Progress.gauge->MajBar(static_cast<int32_t>(results.ProgressCounter));
  if (!Progress.gauge->Continue()) results.Cancelled = true;
}

bool RunSemanticPass(TAnalysisResults& results, const TFirstPassBesideLoading* first, size_t parts,
                     const TResultsSteps* steps) {
  if (!OntologyEngine || !OntologyEngine->Ready() || !results.Built) return false;
  SemanticPass pass(results, *OntologyEngine, parts, steps);
  return pass.Run(first && first->Done() ? int64_t{first->Words()} : -1);
}

void SaveRelationCursors(int slot, const TSelection& selection) {
  SaveSearchPlace(slot, selection);
  if (!AnalysisResults) return;
  AnalysisResults->Relations.SaveCursor(slot);
  AnalysisResults->Windows.SaveCursor(slot);
}

void RestoreRelationCursors(int slot, TSelection& selection) {
  RestoreSearchPlace(slot, selection);
  if (!AnalysisResults) return;
  AnalysisResults->Relations.RestoreCursor(slot);
  AnalysisResults->Windows.RestoreCursor(slot);
}

}  // namespace quilor
