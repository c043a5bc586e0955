#include "mainwindow/graph_source.h"

#include <algorithm>

#include "engine/ontology_engine.h"
#include "core/options.h"
#include "engine/selection.h"
#include "engine/word_list.h"
#include "mainwindow/graph_state.h"
#include "ui/view_state.h"

namespace quilor::ui {

namespace {

bool IsMark(const TWordNode& node) { return node.text && node.text[0] == '/' && node.text[1] == '\0'; }

// The first search criterion, when it is in use.
bool MatchesFirstCriterion(const TWordNode& node) {
  return ViewState.selection.activePatterns[0] && WordMatchesPattern(node.category, ViewState.selection.patterns[0]);
}

}  // namespace

int EngineGraphSource::RelationBase() const {
  const int base = AnalysisResults ? AnalysisResults->RelationBase : (Options ? Options->Get(opt::RelationBase) : 1);
  return std::clamp(base, 1, 4);
}

std::string EngineGraphSource::ClassName(int level, int32_t id) const {
  return OntologyEngine ? OntologyEngine->ClassName(level, id) : "?";
}

int32_t EngineGraphSource::FindClass(int level, std::string_view name) const {
  return OntologyEngine ? OntologyEngine->FindClassIndex(level, name) : 0;
}

uint32_t EngineGraphSource::ClassOccurrences(int level, int32_t id) const {
  return OntologyEngine ? OntologyEngine->ClassOccurrences(level, id) : 0;
}

int32_t EngineGraphSource::LevelClassCount(int level) const {
  if (!OntologyEngine) return 0;
  return level == 4 ? static_cast<int32_t>(OntologyEngine->ScenarioEntryCount())
                    : OntologyEngine->LevelClassCount(level);
}

bool EngineGraphSource::ClassWithin(int level, uint32_t cls, uint32_t selected) const {
  if (cls == 0) return false;
  return level == 4 ? ScenarioEntryWithin(cls, selected) : cls == selected;
}

std::vector<TClassPair> EngineGraphSource::PairsByCount(int level) const {
  std::vector<TClassPair> pairs;
  if (!AnalysisResults) return pairs;
  TClassPair p;
  for (size_t i = 0; AnalysisResults->Relations.KindEntry(level, i, p.first, p.second, p.count); ++i)
    pairs.push_back(p);
  return pairs;
}

bool EngineGraphSource::CollectNeighbours(std::vector<TNeighbour>& predecessors, std::vector<TNeighbour>& successors) {
  predecessors.clear();
  successors.clear();
  if (!AnalysisResults) return false;
  if (!AnalysisResults->CollectSelectionNeighbours(ViewState.selection)) return false;
  predecessors = AnalysisResults->PredecessorList;
  successors = AnalysisResults->SuccessorList;
  predecessors.resize(std::min<size_t>(predecessors.size(), AnalysisResults->PredecessorCount));
  successors.resize(std::min<size_t>(successors.size(), AnalysisResults->SuccessorCount));
  return true;
}

std::vector<int32_t> EngineGraphSource::ActorCandidates(int level) const {
  std::vector<int32_t> candidates;
  if (!OntologyEngine) return candidates;
  if (level == 4) {
    for (uint32_t e = 1; e <= OntologyEngine->ScenarioEntryCount(); ++e)
      if (OntologyEngine->ScenarioEntryCounted(e) && OntologyEngine->ScenarioEntryOccurrences(e) > 0)
        candidates.push_back(static_cast<int32_t>(e));
    return candidates;
  }
  for (int32_t rank = 1; rank <= OntologyEngine->RankedClassTotal(level); ++rank)
    candidates.push_back(OntologyEngine->RankedClass(level, rank));
  return candidates;
}

uint32_t EngineGraphSource::PreVerbCount(int level, int32_t id) const {
  return AnalysisResults && id > 0 ? AnalysisResults->PreVerbCount(level, static_cast<uint32_t>(id)) : 0;
}

uint32_t EngineGraphSource::MinimumClassCount() const {
  return AnalysisResults ? AnalysisResults->MinimumClassCount : 0;
}

const std::vector<TBurstRecord>& EngineGraphSource::Bursts() const {
  bursts_.clear();
  if (AnalysisResults)
    bursts_.assign(AnalysisResults->Bursts.begin(),
                   AnalysisResults->Bursts.begin() +
                       std::min<size_t>(AnalysisResults->BurstCount, AnalysisResults->Bursts.size()));
  return bursts_;
}

uint32_t EngineGraphSource::ClassBurstCount() const { return AnalysisResults ? AnalysisResults->ClassBurstCount : 0; }

double EngineGraphSource::MeanBurstSize() const { return AnalysisResults ? AnalysisResults->MeanBurstSize : 0; }

uint32_t EngineGraphSource::EpisodeCount() const {
  return AnalysisResults ? std::min(AnalysisResults->EpisodeCount, kMaxEpisodes) : 0;
}

TEpisodeRecord EngineGraphSource::Episode(uint32_t i) const {
  const TEpisodeRecord* e = AnalysisResults ? AnalysisResults->Episode(i) : nullptr;
  return e ? *e : TEpisodeRecord{0, 0, 0};
}

std::string EngineGraphSource::BurstName(int32_t itemId) const {
  return AnalysisResults ? AnalysisResults->ItemName(itemId) : "?";
}

int32_t EngineGraphSource::HighestPosition() const { return TextWords.HighestPosition(); }

void EngineGraphSource::ForEachCountedWord(const std::function<void(int32_t)>& visit) {
  TextWords.SaveCursor(kBookmarkWalk);
  if (ViewState.selection.kind == kSelectRelation && ViewState.SelectionActive) {
    // The occurrences the forward selection search finds, from the start.
    const TSelection kept = ViewState.selection;
    ViewState.selection.relationRecord = static_cast<size_t>(-1);
    TextWords.Rewind();
    int32_t last = -1;
    while (FindNextSelectedOccurrence(false, TextWords, ViewState.selection)) {
      if (ViewState.selection.matchPosition == last) break;
      last = ViewState.selection.matchPosition;
      visit(ViewState.selection.matchPosition);
    }
    ViewState.selection = kept;
  } else {
    const bool byCriterion = !ViewState.SelectionActive && ViewState.selection.kind != kSelectLexicalEntry;
    for (TWordNode* node = TextWords.First(); node && node != TextWords.Tail(); node = TWordList::NextNode(node)) {
      if (IsMark(*node)) continue;
      if (byCriterion ? MatchesFirstCriterion(*node) : WordMatchesSelection(*node, ViewState.selection))
        visit(node->position);
    }
  }
  TextWords.RestoreCursor(kBookmarkWalk);
}

std::string EngineGraphSource::SelectionCaption() const {
  std::string caption;
  AppendSelectionCaption(caption, ViewState.selection);
  return caption;
}

std::string EngineGraphSource::FirstCriterionText() const {
  // A search key names the criterion; else the category searched is named
  // by the selection's term.
  if (WorkContext && !WorkContext->SearchKeys[0].empty()) return WorkContext->SearchKeys[0];
  return ViewState.selection.activePatterns[0] ? ViewState.selection.firstTerm : std::string();
}

}  // namespace quilor::ui
