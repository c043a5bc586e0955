// The table of the objects the last drawing of a graph placed, which the
// graphs' mouse handlers read (what the graphs chose is the views' shared
// state, ui/view_state.h).
#pragma once

#include <cstdint>

namespace quilor::ui {

constexpr int kHitColumns = 97;
constexpr int kHitRows = 204;

// GraphHitTable[column][cell]. The star and bursts graphs use it as a grid
// (column 0: row edges); the area and actors graphs as five parallel lists
// of boxes (left, right, top, bottom, class id).
using THitTable = int32_t[kHitColumns][kHitRows];
extern THitTable GraphHitTable;
void ClearGraphHitTable();

}  // namespace quilor::ui
