// The selection operations the windows share: clearing the selection,
// beginning a new one, putting the text view on a part of the text, showing
// the characteristic propositions and selecting the occurrences of a lemma.
// They change a views' state (ui/view_state.h) and its selection and the
// bookmarks of the words it shows (by default ViewState and TextWords), and
// redraw through the main window port.
#pragma once

#include <cstdint>
#include <string>

#include "core/category.h"
#include "engine/analysis_results.h"
#include "engine/word_list.h"
#include "ui/view_state.h"

namespace quilor {
struct TBurstResults;
}

namespace quilor::ui {

// The selection is off: no extract, no text part, no end, the text view at
// the start of the text (TextWords rewound, bookmarks 3 and 1 there), the
// syntactic colours.
void ClearSelection(TViewState& view = ViewState, TWordList& words = TextWords);
// ClearSelection when results are shown; then the selection and the extract
// mode are on, the category filters and highlight criteria cleared, the
// relation search rewound and the star graph's neighbour lists emptied.
void BeginNewSelection(TViewState& view = ViewState, TWordList& words = TextWords,
                       const std::unique_ptr<TAnalysisResults>& results = AnalysisResults);
// The same, then a redraw when results are shown.
void BeginNewSelectionAndRedraw(TViewState& view = ViewState, TWordList& words = TextWords,
                                const std::unique_ptr<TAnalysisResults>& results = AnalysisResults);
// The text view goes to the proposition holding the text part's start
// (ViewState.TextPartStart): CurrentWordPosition and bookmarks 1 and 2 there.
void MettreAffichageSurPartieDuTexte(TViewState& view = ViewState, TWordList& words = TextWords);
// The same for any word position: CurrentWordPosition and bookmarks 1 and 2
// at the start of its proposition.
void MettreAffichageSurPosition(int32_t position, TViewState& view = ViewState, TWordList& words = TextWords);
// Runs the selection search from the start of the text until it reaches
// position (at most maxSteps occurrences), so that the text view (a page of
// the text or an extract) opens on the occurrence found.
void SearchSelectionUpTo(int32_t position, int maxSteps, TViewState& view = ViewState, TWordList& words = TextWords);
// Shows the most characteristic propositions (the marked words, selection
// kind 3): the words bursts gives a rank mark.
void AffichePropositionsDeLaSFS(const TBurstResults& bursts, TViewState& view = ViewState, TWordList& words = TextWords,
                                const std::unique_ptr<TAnalysisResults>& results = AnalysisResults);
// For a verb or an adjective whose lemma is counted at least the minimum
// class count: a new selection of that lemma (kind 4) and a redraw. True
// when done. `word` is the lemma or a form of it (Windows-1252).
bool SelectLemmaOccurrences(const TCategoryRecord& category, const std::string& word);
// The text of the word at a position of TextWords (its cursor kept); empty
// when no word stands there.
std::string WordTextAt(int32_t position);
// Redraws the text page and the graph through the main window (when there is one).
void RedrawViews(TViewState& view = ViewState);

}  // namespace quilor::ui
