#include "engine/semantic_pass.h"

#include <algorithm>
#include <string_view>

#include "core/category.h"
#include "core/gauge.h"
#include "core/messages.h"
#include "core/name_index.h"
#include "engine/category_counters.h"
#include "engine/first_pass.h"
#include "engine/ontology_engine.h"
#include "engine/options.h"
#include "engine/selection.h"
#include "engine/word_list.h"

namespace quilor {

namespace {

constexpr uint32_t kEpisodeWordLimit = 65536;
constexpr int kPairRecords = 20;  // items taking part in pairs
constexpr int kPairReach = 5;     // farthest item paired with the current one

bool IsMark(const TWordNode* n) { return n->text[0] == '/' && n->text[1] == 0; }

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

// Pass 2: the ambiguous nouns, chosen in the context of the text.
void SemanticPass::SettleAmbiguous() {
  bool sentenceStart = true;
  for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n)) {
    if (IsMark(n)) {
      sentenceStart = sentenceStart || EndsSentence(n->tag);
      continue;
    }
    const bool initial = sentenceStart || OpensQuotation(n->tag);
    sentenceStart = false;
    TWordCategoryData& d = n->category;
    if (IsSubstantive(d.Category)) {
      int32_t value = 0;
      if (d.ClassIds[0] == 0 && engine_.ClassifyWord(n->text, value, true, initial)) {
        const auto& best = engine_.BestClasses();
        std::copy(best.begin(), best.end(), d.ClassIds);
        SetAmbiguityFlag(d.Category);
        n->readingValue = value > 0 ? value : 0;
        n->lexicalEntry = engine_.BestBaseForm();
        uint32_t unused = 0;
        if (TextIndex) TextIndex->CountTextIndexEntry(n->lexicalEntry, unused);
      }
      engine_.PushHistory({d.ClassIds[0], d.ClassIds[1], d.ClassIds[2], d.ClassIds[3]});
    } else if (scenarioInView_ && engine_.ScenarioEntryOfWordForm(n->text)) {
      SetSubstantive(d.Category);
    }
  }
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
    if (IsSubstantive(d.Category)) {
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
