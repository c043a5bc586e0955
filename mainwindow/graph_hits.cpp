// The graph's hit tests, hints and clicks.
#include <algorithm>

#include "core/options.h"
#include "engine/selection.h"
#include "mainwindow/graph.h"
#include "mainwindow/graph_state.h"
#include "ui/view_state.h"
#include "ui/result_type_codes.h"

namespace quilor::ui {

bool TGrapheQuilor::GridHitTest(int x, int y) {
  if (!ViewState.GraphShown) return false;
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
  if (!ViewState.GraphShown || itemCount_ <= 0) return false;
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
  ViewState.graph.HintBuffer.clear();
  const int level = std::clamp(ViewState.selection.classLevel, 1, 4);
  switch (drawnKind_) {
    case kGraphAreas:
    case kGraphActors:
    case kGraphStar:
      if (!(drawnKind_ == kGraphStar ? GridHitTest(x, y) : BoxHitTest(x, y))) return false;
      ViewState.graph.HintBuffer = source_.ClassName(level, hitClass_);
      return true;
    case kGraphDistribution: return SliceHint(x);
    case kGraphBursts: return BurstHint(x, y);
    default: return false;
  }
}

bool TGrapheQuilor::MouseUpOnGraph(int x, int y) {
  if (!ViewState.GraphShown) return false;
  switch (drawnKind_) {
    case kGraphDistribution: SliceAt(x); return true;
    case kGraphBursts: {
      const int32_t row = BurstAt(x, y);
      if (row > 0) ViewState.graph.ChosenBurstRow = row;
      return true;
    }
    default: return SelectClassAt(x, y);
  }
}

bool TGrapheQuilor::SelectClassAt(int x, int y) {
  if (!ViewState.GraphShown || !ViewState.GraphDrawn) return false;
  const bool hit = drawnKind_ == kGraphAreas || drawnKind_ == kGraphActors ? BoxHitTest(x, y) : GridHitTest(x, y);
  if (!hit) return false;
  const int base = source_.RelationBase();
  const uint32_t cls = static_cast<uint32_t>(hitClass_);
  uint32_t(&pair)[2] = ViewState.graph.SelectedRelationPair;
  // A relation selected elsewhere is the pair the click shifts.
  if (ViewState.selection.kind == kSelectRelation && ViewState.SelectionActive) {
    pair[0] = ViewState.selection.firstClass;
    pair[1] = ViewState.selection.secondClass;
  }
  if (!ViewState.SelectionActive || ViewState.selection.kind == kSelectLexicalEntry) {
    ViewState.SelectionActive = true;
    ViewState.selection.kind = kSelectClass;
    ViewState.CurrentResultTypeEntry = ClassListIndexOfLevel(base);
    ViewState.selection.classLevel = base;
  }
  const int level = std::clamp(ViewState.selection.classLevel, 1, 4);
  ViewState.selection.firstTerm = source_.ClassName(level, hitClass_).substr(0, 91);
  ViewState.selection.firstClass = cls;
  ViewState.selection.secondClass = 0;
  if (hitSide_ == 2) {
    pair[1] = pair[0];
    pair[0] = cls;
  } else {
    pair[0] = pair[1];
    pair[1] = cls;
  }
  const int code = ResultTypeCodeOf(ViewState.CurrentResultTypeEntry);
  if (code == kCodeRelations) {
    ViewState.selection.kind = kSelectRelation;
    ViewState.selection.firstTerm = source_.ClassName(base, static_cast<int32_t>(pair[0])).substr(0, 91);
    ViewState.selection.secondTerm = source_.ClassName(base, static_cast<int32_t>(pair[1]));
    ViewState.selection.firstClass = pair[0];
    ViewState.selection.secondClass = pair[1];
  } else if (code == 1 || code == 3 || code == 4 || code == 8 || code == 12) {
    ViewState.selection.kind = kSelectClass;
  }
  return true;
}

}  // namespace quilor::ui
