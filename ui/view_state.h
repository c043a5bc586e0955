// What the result views share, in one object: where the text view stands
// and what it shows, the selection (what is selected and where its search
// stands: the engine's searches are handed it), what the graphs chose, the
// colours words are drawn in and the flags of the graph panel. The text
// view, the context and copy windows, the results list and the graphs read
// and write it.
//
// The selection's fields stand for these names of the views:
//   SelectionKind          selection.kind: 0 none, 1 a relation, 2 a class,
//                          3 the marked words, 4 a lemma
//   SelectedLevel          selection.classLevel (1..4)
//   SelectedItem           selection.firstClass (kinds 1 and 2: the class, or
//                          the first class of the relation pair, the second
//                          being selection.secondClass) or
//                          selection.lexicalEntry (kind 4: the index entry)
//   SelectedLemmaCategory  selection.majorClass (1 verb, 4 adjective, 8 substantive)
//   SelectedItemName       selection.firstTerm (selection.secondTerm: the end
//                          of a relation)
//   MatchPosition          selection.matchPosition
//   the five highlight criteria records: selection.patterns with
//                          selection.activePatterns ("in use")
// The selection operations that change it are in ui/selection_ops.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/category.h"
#include "engine/analysis_results.h"
#include "engine/selection.h"
#include "ui/colour.h"

namespace quilor::ui {

class MainWindowPort;

// TextViewWordLimit when the text view has no end: the value the selection
// puts back, and the one a scroll puts back (both mean "none").
constexpr int32_t kNoWordLimit = 0x7FFFFFFF;
constexpr int32_t kScrollWordLimit = 99999999;

constexpr int kColourRoleCount = 17;
// Colour roles of CurrentColours besides the categories (entry c for major class c).
constexpr int kColourClassified = 11;  // classified substantives, graph text and highlight
constexpr int kColourBackground = 15;  // the page background
constexpr int kCategoryFilterCount = 21;
constexpr int kExplanationSize = 159;

// What the graphs and their mouse handlers chose: the relation pair a graph
// click shifts, the title's category, the chosen burst and the hint text.
struct TGraphViewState {
  // The relation a graph click makes: a click on the left side puts the
  // class first, elsewhere second.
  uint32_t SelectedRelationPair[2] = {0, 0};
  uint32_t TitleCategory = 0;  // the colour role of the title
  int LastResultType = 0;      // result-type index shown again later
  // The bursts graph.
  int32_t ChosenBurstRow = 0;  // 1-based
  int32_t ChosenBurstClass = 0;
  int32_t ChosenEpisode = 0;
  std::string HintBuffer;  // at most 256 characters

  void Reset() { *this = TGraphViewState(); }
};

struct TViewState {
  // The text view.
  int32_t CurrentWordPosition = 0;           // position of the word last read from TextWords
  bool ExtractMode = false;                  // the page shows only the selected propositions
  int32_t TextViewWordLimit = kNoWordLimit;  // the page ends past this position
  int32_t DisplayIndex = 0;                  // -1 after a scroll
  int32_t HitWordPosition = 0;               // written by WordAt
  int32_t HitItemKind = 0;                   // 0 word, 1 document header
  TCategoryRecord HitCategory;               // the category record of the word WordAt found
  int32_t LastCursorPosition = 0;            // the scroll position the main window keeps (PosCurseur)
  int32_t DragWordPosition = 0;              // the word a drag started on

  // Colours (0x00BBGGRR): a working copy of the options' 17 colour roles.
  std::array<Rgb, kColourRoleCount> CurrentColours{};
  bool SyntacticColouring = true;

  // The main window's part of the selection.
  bool SelectionActive = false;
  // Selective-colouring bytes: entry c (1..7) for the words of major class c.
  std::array<uint8_t, kCategoryFilterCount> CategoryFilters{};
  int CurrentResultTypeEntry = 0;       // the result-type index that made the selection
  int32_t TextPartStart = 0;            // start word position of the text part shown
  int32_t TextPartEnd = 0;              // its end (the episodes); 0 none
  int32_t CurrentBurst = 0;             // burst record (1-based rank) of an episode line
  int32_t CurrentItem = 0;              // result item id of an episode line
  int CurrentItemKind = 0;              // the item kind of a category line
  std::string SelectedLineExplanation;  // explanation of the selected results line (159 characters)
  std::string LastCountText;            // the padded count of the last results line built

  // The selection: its kind, classes and terms, the highlight criteria and
  // where its search stands.
  TSelection selection;

  // The relation search's place (selection.relationRecord) before the text
  // page's first proposition (slot 0) and before the proposition of its last
  // line (slot 1), for the extract pages of relations and classes.
  std::array<size_t, 2> RelationCursorSlots{static_cast<size_t>(-1), static_cast<size_t>(-1)};

  // The graph panel.
  bool GraphShown = false;  // the graph panel is visible
  bool GraphDrawn = false;  // set when a graph was drawn
  TGraphViewState graph;

  void Reset() { *this = TViewState(); }
};

extern TViewState ViewState;

// The main window the selection operations redraw through (not owned);
// nullptr: nothing is redrawn and results count as not shown.
void SetViewMainWindow(MainWindowPort* port);
MainWindowPort* ViewMainWindow();
// Results of an analysis are shown (the main window says so).
bool ResultsShown();

// The category colour of a major class: entry c of CurrentColours, a class
// byte 0 counting as 8 (Substantive); black outside the table.
Rgb CategoryColour(uint8_t majorClass, const TViewState& state = ViewState);

// Colourings of the words.
// Syntactic: every category in its colour (the options' colour roles).
void ColorationSyntaxique(TViewState& state = ViewState);
// Referent: only the classified substantives stand out (the category slots
// 0..10 black).
void ColorationReferent(TViewState& state = ViewState);
// Selective: syntactic colours, but the word categories whose selective byte
// is 0 in black; the syntactic flag is kept as it was.
void ColorationSelective(TViewState& state = ViewState);

// The smallest count a results line lists and a lemma selection accepts: the
// analysis's minimum class count, at least 1 (a short text under the
// pertinence threshold has a minimum of 0, which would list every word of the
// dictionary).
uint32_t ListedMinimumCount(const TAnalysisResults* results = AnalysisResults.get());

// The text view goes back to the start of the text with no end (after a scroll).
void ResetCurseur(TViewState& state = ViewState);

}  // namespace quilor::ui
