// The semantic pass over TextWords, once the words have their categories:
// classifies the content words into the ontology engine's classes and counts
// them, settles the ambiguous nouns, applies the Scenario, records each
// proposition's items and the relations between neighbouring items, then
// sorts the relations and ranks the classes of every level.
//
// What the pass leaves in the results' stores: one window-list record per
// proposition with items (value 1 the position of its first word, value 2
// the position of its end mark); relation records carrying the same two
// positions (position and value), byte B = 1 for every pair of a proposition
// but its first, byte A = 1 for a short verbal proposition (a verb and at
// most 3 items).
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/analysis_results.h"

namespace quilor {

constexpr int kMsgSemanticAnalysis = 483;
constexpr int kMsgFiles = 583;
constexpr int kSemanticGaugeSteps = 28;

class TFirstPassBesideLoading;
struct TSelection;

// The whole pass into results; false when the gauge's Stop cancelled it or
// no ontology engine is ready. With the first pass done beside the loading
// of these words (first->Done()) the pass begins with the second. The
// second settles a long text in parts at once, and the third collects the
// propositions' items in parts at once (parts: 0 for one per usable
// processor, fewer for a short text, 1 for none); the results are the same.
// The steps (when given) run after the rankings of a text under 65,536 words.
bool RunSemanticPass(TAnalysisResults& results, const TFirstPassBesideLoading* first = nullptr, size_t parts = 0,
                     const TResultsSteps* steps = nullptr);
// After the pass: the word is part of another word's item (a title, a given
// name or an initial of a person's name, a name before a place's head), not
// an item of its own.
bool IsPartOfName(const TWordNode& word);
// One step of the progress gauge; a Stop sets the results' cancel byte.
void GaugeStep(TAnalysisResults& results);

// Cursor operations over both relation stores of the current results (each
// does nothing when there are none). Saving and restoring a slot also saves
// and restores the search place of the selection (selection.h).
void SaveRelationCursors(int slot, const TSelection& selection);  // slots 1, 2 or 5
void RestoreRelationCursors(int slot, TSelection& selection);

}  // namespace quilor
