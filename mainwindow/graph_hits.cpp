// The graph's hit tests, hints and clicks.
#include <algorithm>

#include "engine/options.h"
#include "engine/selection.h"
#include "mainwindow/graph.h"
#include "mainwindow/graph_state.h"
#include "mainwindow/result_type_codes.h"

namespace quilor::ui {

bool TGrapheQuilor::GridHitTest(int x, int y) {
  if (!GraphView.GraphShown) return false;
  int column = 0;
  for (int c = 1; c <= 95; ++c)
    if (GraphHitTable[c][0] >= x) {
      column = c;
      break;
    }
  int row = 0;
  for (int r = 1; r <= 202; ++r) {
    if (GraphHitTable[0][r] == 0) break;
    if (y <= GraphHitTable[0][r]) {
      row = r;
      break;
    }
  }
  if (column == 0 || row == 0) return false;
  hitSide_ = column;
  hitRow_ = row;
  hitClass_ = GraphHitTable[column][row];
  return hitClass_ != 0;
}

bool TGrapheQuilor::BoxHitTest(int x, int y) {
  if (!GraphView.GraphShown || itemCount_ <= 0) return false;
  hitSide_ = x < CentreX() ? 2 : 0;
  for (int k = std::min(itemCount_, kMaxBoxes) - 1; k >= 0; --k) {
    if (GraphHitTable[0][k] < x && x < GraphHitTable[1][k] && GraphHitTable[2][k] < y && y < GraphHitTable[3][k] &&
        GraphHitTable[4][k] > 0) {
      hitClass_ = GraphHitTable[4][k];
      return true;
    }
  }
  return false;
}

bool TGrapheQuilor::HintAt(int x, int y) {
  GraphView.HintBuffer.clear();
  const int level = std::clamp(Selection.classLevel, 1, 4);
  switch (drawnKind_) {
    case kGraphAreas:
    case kGraphActors:
    case kGraphStar:
      if (!(drawnKind_ == kGraphStar ? GridHitTest(x, y) : BoxHitTest(x, y))) return false;
      GraphView.HintBuffer = source_.ClassName(level, hitClass_);
      return true;
    case kGraphDistribution:
      return SliceHint(x);
    case kGraphBursts:
      return BurstHint(x, y);
    default:
      return false;
  }
}

bool TGrapheQuilor::MouseUpOnGraph(int x, int y) {
  if (!GraphView.GraphShown) return false;
  switch (drawnKind_) {
    case kGraphDistribution:
      SliceAt(x);
      return true;
    case kGraphBursts: {
      const int32_t row = BurstAt(x, y);
      if (row > 0) GraphView.ChosenBurstRow = row;
      return true;
    }
    default:
      return SelectClassAt(x, y);
  }
}

bool TGrapheQuilor::SelectClassAt(int x, int y) {
  if (!GraphView.GraphShown || !GraphView.GraphDrawn) return false;
  const bool hit = drawnKind_ == kGraphAreas || drawnKind_ == kGraphActors ? BoxHitTest(x, y) : GridHitTest(x, y);
  if (!hit) return false;
  const int base = source_.RelationBase();
  const uint32_t cls = static_cast<uint32_t>(hitClass_);
  if (!GraphView.SelectionActive || Selection.kind == kSelectLexicalEntry) {
    GraphView.SelectionActive = true;
    Selection.kind = kSelectClass;
    GraphView.ResultTypeToShow = ClassListIndexOfLevel(base);
    Selection.classLevel = base;
  }
  const int level = std::clamp(Selection.classLevel, 1, 4);
  GraphView.SelectedItemName = source_.ClassName(level, hitClass_).substr(0, 91);
  GraphView.SelectedItemId = hitClass_;
  uint32_t (&pair)[2] = GraphView.SelectedRelationPair;
  if (hitSide_ == 2) {
    pair[1] = pair[0];
    pair[0] = cls;
  } else {
    pair[0] = pair[1];
    pair[1] = cls;
  }
  const int code = ResultTypeCodeOf(GraphView.ResultTypeToShow);
  if (code == kCodeRelations) {
    Selection.kind = kSelectRelation;
    GraphView.SelectedItemName = source_.ClassName(base, static_cast<int32_t>(pair[0])).substr(0, 91);
    Selection.secondTerm = source_.ClassName(base, static_cast<int32_t>(pair[1]));
  } else if (code == 1 || code == 3 || code == 4 || code == 8 || code == 12) {
    Selection.kind = kSelectClass;
  }
  // The engine's searches follow the new selection.
  Selection.firstTerm = GraphView.SelectedItemName;
  Selection.firstClass = Selection.kind == kSelectRelation ? pair[0] : cls;
  Selection.secondClass = Selection.kind == kSelectRelation ? pair[1] : 0;
  return true;
}

}  // namespace quilor::ui
