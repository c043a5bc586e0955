#include "ui/selection_ops.h"

#include <algorithm>

#include "core/name_index.h"
#include "engine/analysis_results.h"
#include "engine/bursts.h"
#include "engine/selection.h"
#include "engine/word_list.h"
#include "ui/main_window_port.h"
#include "ui/view_state.h"

namespace quilor::ui {

void RedrawViews(TViewState& view) {
  view.DisplayIndex = 0;
  if (MainWindowPort* main = ViewMainWindow()) main->RazAffichageEtGraphe();
}

std::string WordTextAt(int32_t position) {
  const TWordNode* node = TextWords.NodeAt(position);
  return node ? node->text : std::string();
}

void ClearSelection(TViewState& view, TWordList& words) {
  view.SelectionActive = false;
  view.ExtractMode = false;
  view.TextPartStart = 0;
  view.TextPartEnd = 0;
  view.TextViewWordLimit = kNoWordLimit;
  view.CurrentWordPosition = 0;
  ColorationSyntaxique(view);
  view.DisplayIndex = 0;
  view.RelationCursorSlots.fill(static_cast<size_t>(-1));
  words.Rewind();
  words.SaveCursor(kBookmarkSearchStart);
  words.SaveCursor(kBookmarkPageStart);
}

void BeginNewSelection(TViewState& view, TWordList& words, const std::unique_ptr<TAnalysisResults>& results) {
  if (ResultsShown()) ClearSelection(view, words);
  view.SelectionActive = true;
  view.ExtractMode = true;
  view.CategoryFilters.fill(0);
  view.selection.ranges.fill(TSelectionRange{});
  view.selection.patterns.fill(TWordCategoryData{});
  view.selection.activePatterns.fill(false);
  view.selection.relationRecord = static_cast<size_t>(-1);
  view.RelationCursorSlots.fill(static_cast<size_t>(-1));
  view.selection.matchPosition = view.selection.previousMatchPosition = 0;
  if (results) {
    results->PredecessorList.clear();
    results->SuccessorList.clear();
    results->PredecessorCount = results->SuccessorCount = 0;
  }
}

void BeginNewSelectionAndRedraw(TViewState& view, TWordList& words, const std::unique_ptr<TAnalysisResults>& results) {
  BeginNewSelection(view, words, results);
  if (ResultsShown()) RedrawViews(view);
}

void SearchSelectionUpTo(int32_t position, int maxSteps, TViewState& view, TWordList& words) {
  words.Rewind();
  view.selection.relationRecord = static_cast<size_t>(-1);
  bool found = false;
  for (int step = 0; step < maxSteps; ++step) {
    found = FindNextSelectedOccurrence(false, words, view.selection);
    if (!found || view.selection.matchPosition >= position) break;
  }
  words.SeekPosition(std::max(view.selection.foundFirstPosition, 0));
  words.BackToPropositionStart();
  words.SaveCursor(kBookmarkPageStart);
  // An extract of a class or a relation goes on from the relation record
  // before the one found, not from the first: the page opens there.
  const size_t record = view.selection.relationRecord;
  if (found && (view.selection.kind == kSelectClass || view.selection.kind == kSelectRelation) &&
      record != static_cast<size_t>(-1))
    view.RelationCursorSlots[0] = record == 0 ? static_cast<size_t>(-1) : record - 1;
}

void MettreAffichageSurPartieDuTexte(TViewState& view, TWordList& words) {
  MettreAffichageSurPosition(view.TextPartStart, view, words);
}

void MettreAffichageSurPosition(int32_t position, TViewState& view, TWordList& words) {
  words.SeekPosition(position);
  words.BackToPropositionStart();
  const TWordNode* node = words.Cursor();
  view.CurrentWordPosition = node != words.Tail() ? node->position : words.HighestPosition();
  words.SaveCursor(kBookmarkPageStart);
  words.SaveCursor(kBookmarkPageEnd);
}

void AffichePropositionsDeLaSFS(const TBurstResults& bursts, TViewState& view, TWordList& words,
                                const std::unique_ptr<TAnalysisResults>& results) {
  // The words of the characteristic propositions carry a rank mark: they
  // become the marked words the selection finds.
  size_t ordinal = 0;
  for (TWordNode* n = words.First(); n != words.Tail(); n = TWordList::NextNode(n), ++ordinal)
    n->mark = bursts.RankMarkAt(ordinal) > 0 ? 1 : 0;
  view.GraphShown = false;
  view.GraphDrawn = false;
  view.selection.kind = kSelectMarked;
  BeginNewSelectionAndRedraw(view, words, results);
}

bool SelectLemmaOccurrences(const TCategoryRecord& category, const std::string& word) {
  TStringHashIndex* index = nullptr;
  uint8_t lemmaCategory = 0;
  int resultType = 0;
  if (IsVerb(category)) {
    index = VerbIndex, lemmaCategory = kClassVerb, resultType = 9;
  } else if (IsAdjective(category)) {
    index = AdjectiveIndex, lemmaCategory = kClassAdjective, resultType = 10;
  }
  int entry = 0;
  if (!index || word.empty() || !index->LookupEntryNumber(word.c_str(), entry) || entry <= 0) return false;
  if (index->CountOfEntry(entry) < ListedMinimumCount()) return false;
  BeginNewSelection();
  ViewState.selection.kind = kSelectLexicalEntry;
  ViewState.selection.lexicalEntry = static_cast<uint32_t>(entry);
  ViewState.selection.majorClass = lemmaCategory;
  const char* name = index->NameOfEntry(entry);
  ViewState.selection.firstTerm = name ? name : word;
  ViewState.CurrentResultTypeEntry = resultType;
  RedrawViews();
  return true;
}

}  // namespace quilor::ui
