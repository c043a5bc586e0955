// What the graphs and their mouse handlers share with the main window: the
// graph panel's flags, the main window's share of the selection, the chosen
// slice, burst and text part, the hint text, and the table of the objects
// the last drawing placed. The engine's selection (engine/selection.h) keeps
// the selection kind, the class level and the selected terms.
#pragma once

#include <cstdint>
#include <string>

namespace quilor::ui {

constexpr int kHitColumns = 97;
constexpr int kHitRows = 204;
constexpr int32_t kNoWordLimit = 0x7FFFFFFF;

// GraphHitTable[column][cell]. The star and bursts graphs use it as a grid
// (column 0: row edges); the area and actors graphs as five parallel lists
// of boxes (left, right, top, bottom, class id).
using THitTable = int32_t[kHitColumns][kHitRows];
extern THitTable GraphHitTable;
void ClearGraphHitTable();

struct TGraphViewState {
  bool GraphShown = false;   // the graph panel is visible
  bool GraphDrawn = false;   // set at the end of every drawing
  bool SelectionActive = false;
  bool ExtractMode = false;
  int32_t SelectedItemId = 0;
  uint32_t SelectedRelationPair[2] = {0, 0};
  std::string SelectedItemName;       // Windows-1252, at most 91 characters
  uint32_t SelectedLemmaCategory = 0;  // 1 verb, 4 adjective, 8 substantive
  uint32_t TitleCategory = 0;          // the colour role of the title
  int ResultTypeToShow = 0;            // result-type table indexes
  int LastResultType = 0;
  // The bursts graph.
  int32_t ChosenBurstRow = 0;  // 1-based
  int32_t ChosenBurstClass = 0;
  int32_t ChosenEpisode = 0;
  // The distribution graph and the text part it chooses.
  int32_t DisplayIndex = 0;
  int32_t TextPartStart = 0;
  int32_t TextViewWordLimit = kNoWordLimit;
  int32_t HitWordPosition = 0;
  std::string HintBuffer;  // at most 256 characters

  void Reset() { *this = TGraphViewState(); }
};

extern TGraphViewState GraphView;

}  // namespace quilor::ui
