#include "mainwindow/graph_state.h"

#include <cstring>

namespace quilor::ui {

THitTable GraphHitTable = {};

void ClearGraphHitTable() { std::memset(GraphHitTable, 0, sizeof GraphHitTable); }

}  // namespace quilor::ui
