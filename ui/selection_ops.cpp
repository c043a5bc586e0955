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

void RedrawViews() {
  ViewState.DisplayIndex = 0;
  if (MainWindowPort* main = ViewMainWindow()) main->RazAffichageEtGraphe();
}

std::string WordTextAt(int32_t position) {
  const TWordNode* node = TextWords.NodeAt(position);
  return node ? node->text : std::string();
}

void ClearSelection() {
  ViewState.SelectionActive = false;
  ViewState.ExtractMode = false;
  ViewState.TextPartStart = 0;
  ViewState.TextPartEnd = 0;
  ViewState.TextViewWordLimit = kNoWordLimit;
  ViewState.CurrentWordPosition = 0;
  ColorationSyntaxique();
  ViewState.DisplayIndex = 0;
  ViewState.RelationCursorSlots.fill(static_cast<size_t>(-1));
  TextWords.Rewind();
  TextWords.SaveCursor(kBookmarkSearchStart);
  TextWords.SaveCursor(kBookmarkPageStart);
}

void BeginNewSelection() {
  if (ResultsShown()) ClearSelection();
  ViewState.SelectionActive = true;
  ViewState.ExtractMode = true;
  ViewState.CategoryFilters.fill(0);
  ViewState.selection.ranges.fill(TSelectionRange{});
  ViewState.selection.patterns.fill(TWordCategoryData{});
  ViewState.selection.activePatterns.fill(false);
  ViewState.selection.relationRecord = static_cast<size_t>(-1);
  ViewState.RelationCursorSlots.fill(static_cast<size_t>(-1));
  ViewState.selection.matchPosition = ViewState.selection.previousMatchPosition = 0;
  if (AnalysisResults) {
    AnalysisResults->PredecessorList.clear();
    AnalysisResults->SuccessorList.clear();
    AnalysisResults->PredecessorCount = AnalysisResults->SuccessorCount = 0;
  }
}

void BeginNewSelectionAndRedraw() {
  BeginNewSelection();
  if (ResultsShown()) RedrawViews();
}

void SearchSelectionUpTo(int32_t position, int maxSteps) {
  TextWords.Rewind();
  ViewState.selection.relationRecord = static_cast<size_t>(-1);
  bool found = false;
  for (int step = 0; step < maxSteps; ++step) {
    found = FindNextSelectedOccurrence(false, TextWords, ViewState.selection);
    if (!found || ViewState.selection.matchPosition >= position) break;
  }
  TextWords.SeekPosition(std::max(ViewState.selection.foundFirstPosition, 0));
  TextWords.BackToPropositionStart();
  TextWords.SaveCursor(kBookmarkPageStart);
  // An extract of a class or a relation goes on from the relation record
  // before the one found, not from the first: the page opens there.
  const size_t record = ViewState.selection.relationRecord;
  if (found && (ViewState.selection.kind == kSelectClass || ViewState.selection.kind == kSelectRelation) &&
      record != static_cast<size_t>(-1))
    ViewState.RelationCursorSlots[0] = record == 0 ? static_cast<size_t>(-1) : record - 1;
}

void MettreAffichageSurPartieDuTexte() { MettreAffichageSurPosition(ViewState.TextPartStart); }

void MettreAffichageSurPosition(int32_t position) {
  TextWords.SeekPosition(position);
  TextWords.BackToPropositionStart();
  const TWordNode* node = TextWords.Cursor();
  ViewState.CurrentWordPosition = node != TextWords.Tail() ? node->position : TextWords.HighestPosition();
  TextWords.SaveCursor(kBookmarkPageStart);
  TextWords.SaveCursor(kBookmarkPageEnd);
}

void AffichePropositionsDeLaSFS(const TBurstResults& bursts) {
  // The words of the characteristic propositions carry a rank mark: they
  // become the marked words the selection finds.
  size_t ordinal = 0;
  for (TWordNode* n = TextWords.First(); n != TextWords.Tail(); n = TWordList::NextNode(n), ++ordinal)
    n->mark = bursts.RankMarkAt(ordinal) > 0 ? 1 : 0;
  ViewState.GraphShown = false;
  ViewState.GraphDrawn = false;
  ViewState.selection.kind = kSelectMarked;
  BeginNewSelectionAndRedraw();
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
