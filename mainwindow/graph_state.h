// What the graphs and their mouse handlers keep besides the views' shared
// state (ui/view_state.h: the graph panel's flags, the selection
// flags, the chosen slice and text part) and the engine's selection: the
// relation pair a graph click shifts, the title's category, the chosen
// burst, the hint text, and the table of the objects the last drawing placed.
#pragma once

#include <cstdint>
#include <string>

namespace quilor::ui {

constexpr int kHitColumns = 97;
constexpr int kHitRows = 204;

// GraphHitTable[column][cell]. The star and bursts graphs use it as a grid
// (column 0: row edges); the area and actors graphs as five parallel lists
// of boxes (left, right, top, bottom, class id).
using THitTable = int32_t[kHitColumns][kHitRows];
extern THitTable GraphHitTable;
void ClearGraphHitTable();

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

extern TGraphViewState GraphView;

}  // namespace quilor::ui
