#include "mainwindow/graph.h"

#include <algorithm>
#include <cmath>

#include "core/messages.h"
#include "core/options.h"
#include "engine/selection.h"
#include "mainwindow/graph_state.h"
#include "ui/view_state.h"
#include "mainwindow/graph_texts.h"

namespace quilor::ui {

namespace {

constexpr int kMaxRows = 202;
constexpr Rgb kGrey = 0x808080;

int Round(double v) { return static_cast<int>(std::lround(v)); }

}  // namespace

TGrapheQuilor::TGrapheQuilor(GraphSource& source) : source_(source) { ClearGraphHitTable(); }

Rgb TGrapheQuilor::Role(int role) const {
  if (!Options || role < 0 || role >= static_cast<int>(opt::ColourCount)) return kBlack;
  return Options->Get(opt::Colour(static_cast<size_t>(role)));
}

Rgb TGrapheQuilor::TitleColour() const {
  if (MonochromePrint()) return kBlack;
  // A category beyond the colour roles takes the class colour.
  const uint32_t category = ViewState.graph.TitleCategory;
  return Role(category < opt::ColourCount ? static_cast<int>(category) : 11);
}

void TGrapheQuilor::SetFontColour(Rgb colour) {
  font_.colour = colour;
  canvas_->SetFont(font_);
}

void TGrapheQuilor::TextCentred(int x, int baseline, const std::string& text) {
  canvas_->TextOut(x - canvas_->TextWidth(text) / 2, baseline - canvas_->TextHeight(text), text);
}

void TGrapheQuilor::TextLeft(int x, int baseline, const std::string& text) {
  canvas_->TextOut(x, baseline - canvas_->TextHeight(text), text);
}

void TGrapheQuilor::TextRight(int x, int baseline, const std::string& text) {
  canvas_->TextOut(x - canvas_->TextWidth(text), baseline - canvas_->TextHeight(text), text);
}

void TGrapheQuilor::Draw(Canvas& canvas, const Rect& rect, int32_t mode, const std::string& title) {
  title_ = title.substr(0, std::min<size_t>(title.size(), 160));
  rect_ = rect;
  canvas_ = &canvas;
  // Nothing leaves the graph's rectangle (the outer rings reach past it), on
  // paper as on the screen's picture.
  canvas.SetClip(rect);
  highlighted_ = mode;
  if (mode == kModeToggleLinks) drawEveryLink_ = !drawEveryLink_;
  else if (mode == kModeRedraw) drawEveryLink_ = false;
  drawnKind_ = 0;
  const bool largeFonts = Options && Options->Switch(opt::LargeFonts);
  // Rows are measured in the font the labels are written in.
  font_.size = largeFonts ? 14 : 8;
  font_.colour = kBlack;
  canvas.SetFont(font_);
  rowHeight_ = Round(1.2 * canvas.TextHeight("AP")) + 1;
  rows_ = rect.Height() / std::max(rowHeight_, 1) - (printing_ ? 1 : 0);
  rows_ = std::min(rows_, kMaxRows);
  if (rows_ > 0) {
    canvas.SetBrush(Role(15), BrushStyle::kSolid);
    if (!printing_) canvas.FillRect(rect);
    const int kind = Options ? static_cast<int>(Options->Get(opt::GraphKind)) : static_cast<int>(kGraphStar);
    if (kind == kGraphDistribution) {
      drawnKind_ = kGraphDistribution;
      DistributionGraph();
    } else if (kind == kGraphBursts) {
      drawnKind_ = kGraphBursts;
      BurstsGraph();
    } else {
      DispatchByType(kind);
    }
  }
  canvas.SetBrush(kWhite, BrushStyle::kSolid);
  canvas.SetPen(kBlack);
  font_.colour = kBlack;
  canvas.SetFont(font_);
  canvas.ClearClip();
  canvas_ = nullptr;
  ViewState.GraphDrawn = true;
}

void TGrapheQuilor::DispatchByType(int kind) {
  if (title_.empty()) return;
  const int selection = ViewState.selection.kind;
  if (!ViewState.SelectionActive || selection == kSelectLexicalEntry) {
    drawnKind_ = kGraphStar;
    StarGraph();
  } else if (selection == kSelectRelation || selection == kSelectClass) {
    drawnKind_ = kind == kGraphAreas ? kGraphAreas : kind == kGraphActors ? kGraphActors : kGraphStar;
    if (drawnKind_ == kGraphAreas) AreaGraph();
    else if (drawnKind_ == kGraphActors) ActorsGraph();
    else StarGraph();
  }
}

bool TGrapheQuilor::PrepareGraph() {
  ClearGraphHitTable();
  itemCount_ = 0;
  if (Options) {
    const int size = Options->Get(opt::GraphSetting344);
    if (size < 1 || size > 100) Options->Set(opt::GraphSetting344, 50);
  }
  const int option = std::clamp<int>(Options ? Options->Get(opt::GraphMaxObjects) : 30, 4, 100);
  const int kind = Options ? static_cast<int>(Options->Get(opt::GraphKind)) : static_cast<int>(kGraphStar);
  maxObjects_ = kind == kGraphActors ? option : option / 2;
  rowsInUse_ = rows_ - 2;
  if (!printing_) {
    shadow_ = 0;
    rect_.top += 2;
  } else {
    shadow_ = Round(rowHeight_ * 0.125);
  }
  return rowsInUse_ > 0;
}

void TGrapheQuilor::SetGraphColours() {
  const bool largeFonts = Options && Options->Switch(opt::LargeFonts);
  if (MonochromePrint()) {
    font_.colour = kBlack;
    canvas_->SetTextBackground(false);
    canvas_->SetBrush(kWhite, BrushStyle::kSolid);
    canvas_->SetPen(kBlack);
  } else {
    font_.colour = Role(11);
    canvas_->SetBrush(Role(14), BrushStyle::kClear);
    canvas_->SetPen(Role(12));
  }
  font_.size = largeFonts ? 14 : 8;
  canvas_->SetFont(font_);
}

void TGrapheQuilor::SetLinkPen() {
  if (!MonochromePrint()) canvas_->SetPen(Role(13));
}

bool TGrapheQuilor::PlaceText(TLabelPlacer& labels, const std::string& text, const std::vector<Point>& candidates,
                              const Rect* own) {
  Point at;
  if (text.empty() || !labels.Place(canvas_->TextWidth(text), canvas_->TextHeight(text), candidates, at, own))
    return false;
  canvas_->TextOut(at.x, at.y, text);
  return true;
}

bool TGrapheQuilor::PlaceName(TLabelPlacer& labels, const std::string& name, const Rect& box) {
  const int w = canvas_->TextWidth(name);
  const int h = canvas_->TextHeight(name);
  const Point c = box.Centre();
  std::vector<Point> candidates{{c.x - w / 2, c.y - h / 2},
                                {c.x - w / 2, box.top - h - 1},
                                {c.x - w / 2, box.bottom + 1},
                                {box.right + 2, c.y - h / 2},
                                {box.left - 2 - w, c.y - h / 2}};
  // Then at its corners, on the nearest rows above and below that are free.
  for (int row = 1; row <= 8; ++row) {
    const int above = box.top - row * (h + 1);
    const int below = box.bottom + 1 + (row - 1) * (h + 1);
    for (const int y : {above, below})
      for (const int x : {c.x - w / 2, box.right, box.left - w}) candidates.push_back({x, y});
  }
  // Last, anywhere on those rows within twice its width of the object.
  for (int row = 1; row <= 8; ++row)
    for (int step = -8; step <= 8; ++step)
      for (const int y : {box.top - row * (h + 1), box.bottom + 1 + (row - 1) * (h + 1)})
        candidates.push_back({c.x - w / 2 + step * w / 4, y});
  return PlaceText(labels, name, candidates, &box);
}

void TGrapheQuilor::DrawArrow(int x1, int x2, int y) {
  const int h = printing_ ? std::abs(x2 - x1) / 10 : 5;
  canvas_->Line({x1, y}, {x2, y});
  const int back = x2 >= x1 ? -h : h;
  canvas_->Line({x2, y}, {x2 + back, y - h});
  canvas_->Line({x2, y}, {x2 + back, y + h});
}

void TGrapheQuilor::DrawBox(int left, int top, int bottom, int right) {
  if (printing_) {
    canvas_->Line({left, top}, {right, top});
    canvas_->Line({right, top}, {right, bottom});
    canvas_->Line({right, bottom}, {left, bottom});
    canvas_->Line({left, bottom}, {left, top});
  } else {
    canvas_->Rectangle({left, top, right, bottom});
  }
}

void TGrapheQuilor::DrawRaisedBox(int left, int top, int bottom, int right) {
  if (printing_) {
    // On paper the outline is drawn on the box itself, never shifted off it.
    DrawBox(left, top, bottom, right);
    return;
  }
  canvas_->SetPen(kGrey);
  canvas_->Line({right - 1, top + 5}, {right - 1, bottom + 2});
  canvas_->Line({right - 1, bottom + 2}, {left, bottom + 2});
  canvas_->SetPen(kWhite);
  canvas_->Line({left, bottom + 2}, {left, top + 3});
  canvas_->Line({left, top + 3}, {right - 1, top + 3});
  canvas_->SetPen(Role(12));
}

void TGrapheQuilor::DrawClassesArrow() {
  const int length = canvas_->TextWidth(GraphText(kTextClassesArrow, true));
  const int y = rect_.bottom - 2 * rowHeight_;
  DrawArrow(CentreX() - length / 2, CentreX() + length / 2, y);
}

// The class of the title (relation mode, the area and actors graphs): at the
// Scenario level the selection's own class; otherwise the title must be a
// class name of the level. For a relation the class is the pair's first.
bool TGrapheQuilor::SelectedClassOfTitle() {
  const int level = std::clamp(ViewState.selection.classLevel, 1, 4);
  if (level != 4) {
    const int32_t id = source_.FindClass(level, title_);
    if (id <= 0) return false;
    ViewState.selection.firstClass = static_cast<uint32_t>(id);
  }
  return true;
}

void TGrapheQuilor::StarGraph() {
  const bool neighbourMode = !ViewState.SelectionActive || ViewState.selection.kind == kSelectLexicalEntry;
  std::vector<TNeighbour> predecessors, successors;
  if (neighbourMode) {
    if (!source_.CollectNeighbours(predecessors, successors)) return;
    ViewState.selection.classLevel = source_.RelationBase();
  } else {
    const int level = std::clamp(ViewState.selection.classLevel, 1, 4);
    if (level != 4) {
      const int32_t id = source_.FindClass(level, title_);
      if (id <= 0) return;
      ViewState.selection.firstClass = static_cast<uint32_t>(id);
    }
  }
  const int level = std::clamp(ViewState.selection.classLevel, 1, 4);
  if (!PrepareGraph()) return;
  graphHeight_ = rect_.Height() - 2 * rowHeight_;
  if (graphHeight_ <= 9) return;
  SetGraphColours();

  std::string centre = title_;
  if (neighbourMode && ViewState.selection.kind == kSelectLexicalEntry) {
    ViewState.graph.TitleCategory = ViewState.selection.majorClass;
    SetFontColour(TitleColour());
  } else if (!neighbourMode && ViewState.selection.kind == kSelectRelation) {
    centre = source_.ClassName(level, static_cast<int32_t>(ViewState.selection.firstClass)) + " -> " +
             source_.ClassName(level, static_cast<int32_t>(ViewState.selection.secondClass));
  }
  const int cx = CentreX();
  const int cy = CentreY();
  const int w = canvas_->TextWidth(centre);
  const int h = canvas_->TextHeight(centre);
  Rect box{std::max(rect_.left, cx - w / 2 - 2), std::max(rect_.top, cy - h / 4), cx + w / 2 + 2, 0};
  box.right = std::min(box.right, rect_.right);
  box.bottom = box.top + h + 2;
  TLabelPlacer labels(rect_, canvas_->TextWidth(" "));
  labels.Reserve({box.left, box.top, box.right, box.bottom + 2});
  canvas_->Rectangle(box);
  DrawRaisedBox(box.left, box.top, box.bottom, box.right);
  canvas_->TextRect(box, box.left + 2, box.top + 1, centre);
  font_.colour = MonochromePrint() ? kBlack : Role(11);
  canvas_->SetFont(font_);

  const int bandWidth = rect_.Width() / 2;
  GraphHitTable[1][0] = rect_.left;
  GraphHitTable[2][0] = box.left;
  GraphHitTable[3][0] = box.right;
  GraphHitTable[4][0] = rect_.right;
  GraphHitTable[5][0] = rect_.right;
  for (int r = 1; r <= rowsInUse_ && r < kHitRows; ++r) GraphHitTable[0][r] = rect_.top + r * rowHeight_;

  if (neighbourMode && predecessors.empty() && successors.empty()) {
    SetFontColour(kBlack);
    const std::string message = GraphText(kTextNoRelation) + " (" + LevelName(source_.RelationBase()) + ")";
    const int mw = canvas_->TextWidth(message);
    const int mh = canvas_->TextHeight(message);
    PlaceText(labels, message,
              {{cx - mw / 2, cy - 2 * rowHeight_ - mh}, {std::max(rect_.left, cx - mw / 2), rect_.top}});
  }

  // One row per class, in the order met; a class met again adds its count.
  const uint32_t selected = ViewState.selection.firstClass;
  auto collect = [&](auto&& each) {
    std::vector<StarItem> items;
    each([&](uint32_t cls, int64_t count) {
      if (count <= 0) return;
      for (StarItem& item : items)
        if (item.cls == cls) {
          item.count += count;
          return;
        }
      if (cls == 0 || (!neighbourMode && cls == selected)) return;
      items.push_back({cls, count});
    });
    return items;
  };
  std::vector<TClassPair> pairs;
  if (!neighbourMode) pairs = source_.PairsByCount(level);
  const std::vector<StarItem> left = collect([&](auto&& add) {
    if (neighbourMode) {
      for (const TNeighbour& n : predecessors) add(n.cls, n.count);
    } else {
      for (const TClassPair& p : pairs)
        if (p.count > 0 && source_.ClassWithin(level, p.second, selected)) add(p.first, p.count);
    }
  });
  const std::vector<StarItem> right = collect([&](auto&& add) {
    if (neighbourMode) {
      for (const TNeighbour& n : successors) add(n.cls, n.count);
    } else {
      for (const TClassPair& p : pairs)
        if (p.count > 0 && source_.ClassWithin(level, p.first, selected)) add(p.second, p.count);
    }
  });
  DrawStarSide(left, -1, bandWidth, box, labels);
  DrawStarSide(right, +1, bandWidth, box, labels);
  canvas_->SetPen(MonochromePrint() ? kBlack : Role(12));
  DrawClassesArrow();
}

void TGrapheQuilor::DrawStarSide(const std::vector<StarItem>& all, int d, int bandWidth, const Rect& centreBox,
                                 TLabelPlacer& labels) {
  const int n = std::min<int>(static_cast<int>(all.size()), rowsInUse_);
  const int level = std::clamp(ViewState.selection.classLevel, 1, 4);
  const int baseX = rect_.left + (rect_.Width() + d * bandWidth) / 2 - 2 * d * rowsInUse_;
  // The side's room: from the frame's edge to the centre box, a margin each side.
  const int outer = d < 0 ? rect_.left + 2 : rect_.right - 2;
  const int innerLimit = d < 0 ? centreBox.left - 4 : centreBox.right + 4;
  int lastRow = 0;
  int lastX = baseX;
  for (int k = 1; k <= n; ++k) {
    const StarItem& item = all[static_cast<size_t>(k - 1)];
    const int r = k + (rowsInUse_ - n - 1) / 2;
    int xc = r < rowsInUse_ / 2 ? baseX + 8 * d * r : baseX + 8 * d * (rowsInUse_ - r);
    std::string name = source_.ClassName(level, static_cast<int32_t>(item.cls));
    const std::string count = MonochromePrint() ? std::string() : std::to_string(item.count);
    // Room inside a box and between a box and its count: a few pixels on
    // screen, a part of a blank on paper, whose pixels are many times smaller.
    const int pad = printing_ ? std::max(2, canvas_->TextWidth(" ") / 2) : 2;
    const int countWidth = count.empty() ? 0 : canvas_->TextWidth(count) + 2 * pad;
    // A name wider than the side's room is cut, with "..." at its end.
    const int room = std::abs(innerLimit - outer) - countWidth - 4;
    while (name.size() > 1 && canvas_->TextWidth(name) + 2 * pad > room) name = name.substr(0, name.size() - 4) + "...";
    const int halfWidth = canvas_->TextWidth(name) / 2 + pad;
    // The box and its count stay between the frame's edge and the centre.
    if (d < 0) xc = std::clamp(xc, outer + halfWidth, std::max(outer + halfWidth, innerLimit - countWidth - halfWidth));
    else xc = std::clamp(xc, std::min(outer - halfWidth, innerLimit + countWidth + halfWidth), outer - halfWidth);
    if (r >= 1 && r < kHitRows) GraphHitTable[d < 0 ? 2 : 4][r] = static_cast<int32_t>(item.cls);
    // On paper the box takes the middle of its row, a twelfth of the row free
    // above and below: the boxes of two rows never meet.
    const int rowTop = rect_.top + (r - 1) * rowHeight_;
    const int top = printing_ ? rowTop + rowHeight_ / 12 : rowTop + 4;
    const int bottom = printing_ ? rowTop + rowHeight_ - rowHeight_ / 12 : rowTop + rowHeight_ + 2;
    canvas_->SetPen(MonochromePrint() ? kBlack : Role(12));
    canvas_->SetBrush(MonochromePrint() ? kWhite : Role(14), BrushStyle::kSolid);
    canvas_->Rectangle({xc - halfWidth, top, xc + halfWidth, bottom});
    DrawRaisedBox(xc - halfWidth, top, bottom, xc + halfWidth);
    const bool highlighted = Highlighted(item.cls);
    SetFontColour(highlighted && !MonochromePrint() ? Role(11) : kBlack);
    labels.Reserve({xc - halfWidth, top, xc + halfWidth, bottom});
    canvas_->TextOut(xc - halfWidth + pad, top + 1, name);
    // The link from inside the box to the centre box.
    SetLinkPen();
    const int inner = d < 0 ? xc + halfWidth : xc - halfWidth;
    const int y = (top + bottom) / 2;
    canvas_->Line({inner - d * 14, y},
                  {d < 0 ? centreBox.left : centreBox.right, (centreBox.top + centreBox.bottom) / 2});
    // The count beside the box's inner edge, on the box's row.
    if (!count.empty()) {
      SetFontColour(Role(d < 0 ? 12 : 13));
      const int cw = canvas_->TextWidth(count);
      PlaceText(labels, count, {{d < 0 ? inner + pad : inner - pad - cw, top + 1}});
    }
    lastRow = r;
    lastX = xc;
  }
  if (static_cast<int>(all.size()) > n && n > 0) {
    SetFontColour(kBlack);
    const int w = canvas_->TextWidth("...");
    PlaceText(labels, "...", {{lastX - w / 2, rect_.top + lastRow * rowHeight_ + 4}});
  }
  canvas_->SetBrush(Role(14), BrushStyle::kClear);
}

}  // namespace quilor::ui
