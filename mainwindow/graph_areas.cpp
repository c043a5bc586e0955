// The area graph (classes around the selected one, sized by their
// occurrences) and the actors graph (classes placed by how often they come
// before the verb and how strongly they are related).
#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "core/options.h"
#include "engine/selection.h"
#include "mainwindow/graph.h"
#include "mainwindow/graph_state.h"
#include "ui/view_state.h"
#include "mainwindow/graph_texts.h"

namespace quilor::ui {

namespace {

constexpr Rgb kDarkGreen = 0x008000;
// The row of the window's graph font (1.2 x a 13-pixel text, plus 1).
constexpr int kWindowGraphRow = 17;

int Round(double v) { return static_cast<int>(std::lround(v)); }

int RaiseOdd(int v) { return (v % 2 != 0) ? v + 1 : v; }

Rect Offset(const Rect& r, int dx, int dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

// Moves r so that it lies inside bounds (when it fits).
Rect KeepInside(Rect r, const Rect& bounds) {
  if (r.right > bounds.right) r = Offset(r, bounds.right - r.right, 0);
  if (r.left < bounds.left) r = Offset(r, bounds.left - r.left, 0);
  if (r.bottom > bounds.bottom) r = Offset(r, 0, bounds.bottom - r.bottom);
  if (r.top < bounds.top) r = Offset(r, 0, bounds.top - r.top);
  return r;
}

// The factor that fits the boxes' spread to the rectangle: W / (W - 2m) on
// each axis, m the smaller margin, at most 100; the smaller axis, times 0.9.
double AxisFactor(int extent, int marginA, int marginB) {
  const int whole = extent + 10;
  const int m = std::min(marginA, marginB);
  const int rest = whole - 2 * m;
  if (rest <= 0) return 100.0;
  return std::min(100.0, static_cast<double>(whole) / rest);
}

}  // namespace

void TGrapheQuilor::AddBox(const Rect& box, uint32_t cls) {
  if (itemCount_ >= kMaxBoxes) return;
  GraphHitTable[0][itemCount_] = box.left;
  GraphHitTable[1][itemCount_] = box.right;
  GraphHitTable[2][itemCount_] = box.top;
  GraphHitTable[3][itemCount_] = box.bottom;
  GraphHitTable[4][itemCount_] = static_cast<int32_t>(cls);
  ++itemCount_;
}

void TGrapheQuilor::MoveBoxToEnd(uint32_t cls) {
  for (int k = 0; k < itemCount_; ++k) {
    if (GraphHitTable[4][k] != static_cast<int32_t>(cls)) continue;
    int32_t keep[5];
    for (int c = 0; c < 5; ++c) keep[c] = GraphHitTable[c][k];
    for (int j = k; j + 1 < itemCount_; ++j)
      for (int c = 0; c < 5; ++c) GraphHitTable[c][j] = GraphHitTable[c][j + 1];
    for (int c = 0; c < 5; ++c) GraphHitTable[c][itemCount_ - 1] = keep[c];
    return;
  }
}

// The concentric rings behind the area and actors graphs: twice as many as
// fit, a ring step of an eighth of the half height; the ring step. The
// screen's picture cuts the outer rings at its edge; on paper only the rings
// that lie whole inside the graph's frame are drawn, so that none is cut
// short against the page's margins.
int TGrapheQuilor::DrawRings() {
  const int cx = CentreX();
  const int cy = CentreY();
  const int ringStep = std::max(1, (cy - rect_.top) / 8);
  const int rings = std::max(3, rect_.Height() / (2 * ringStep));
  rowsInUse_ = rings;
  const double aspect = static_cast<double>(rect_.Width()) / std::max(rect_.Height(), 1);
  canvas_->SetBrush(Role(14), BrushStyle::kClear);
  canvas_->SetPen(MonochromePrint() ? kBlack : Role(15) == kWhite ? 0xE0E0E0 : kWhite);
  for (int i = 2 * rings; i >= 1; --i) {
    const int ry = i * ringStep;
    const int rx = Round(ry * aspect);
    const Rect ring{cx - rx, cy - ry, cx + rx, cy + ry};
    if (printing_ && !Inside(ring, rect_)) continue;
    canvas_->Ellipse(ring);
  }
  return ringStep;
}

void TGrapheQuilor::FitAreasToFrame(std::vector<PlacedArea>& areas, const Rect& bounds) const {
  const int cx = CentreX();
  const int cy = CentreY();
  const double factor =
      0.9 * std::min(AxisFactor(rect_.Width(), bounds.left - rect_.left, rect_.right - bounds.right),
                     AxisFactor(rect_.Height(), bounds.top - rect_.top, rect_.bottom - bounds.bottom));
  for (PlacedArea& a : areas) {
    const Point c = a.box.Centre();
    const int nx = cx + Round((c.x - cx) * factor);
    const int ny = cy + Round((c.y - cy) * factor);
    a.box = Offset(a.box, nx - c.x, ny - c.y);
  }
}

void TGrapheQuilor::SeparateAreas(std::vector<PlacedArea>& areas, std::vector<TCircle> circles, const Rect& frame) {
  const size_t fixed = circles.size();
  for (const PlacedArea& a : areas) {
    const Point c = a.box.Centre();
    circles.push_back({static_cast<double>(c.x), static_cast<double>(c.y), a.box.Width() / 2.0});
  }
  SeparateCircles(circles, fixed, frame);
  for (size_t i = 0; i < areas.size(); ++i) {
    const TCircle& c = circles[fixed + i];
    const int r = areas[i].box.Width() / 2;
    const int x = static_cast<int>(std::lround(c.x));
    const int y = static_cast<int>(std::lround(c.y));
    areas[i].box = {x - r, y - r, x + r, y + r};
  }
}

void TGrapheQuilor::AreaGraph() {
  if (!SelectedClassOfTitle()) return;
  if (!PrepareGraph()) return;
  graphHeight_ = rect_.Height() - 2 * rowHeight_;
  if (graphHeight_ <= 9) return;
  SetGraphColours();
  const int level = std::clamp(ViewState.selection.classLevel, 1, 4);
  const int cx = CentreX();
  const int cy = CentreY();
  const int halfHeight = cy - rect_.top;
  const int ringStep = DrawRings();
  const double aspect = static_cast<double>(rect_.Width()) / std::max(rect_.Height(), 1);
  canvas_->SetPen(MonochromePrint() ? kBlack : Role(12));

  const uint32_t selected = ViewState.selection.firstClass;
  const uint32_t selectedCount = source_.ClassOccurrences(level, static_cast<int32_t>(selected));
  const std::vector<TClassPair> pairs = source_.PairsByCount(level);
  std::set<uint32_t> placed;
  std::vector<PlacedArea> areas;
  Rect bounds{rect_.right, rect_.bottom, rect_.left, rect_.top};
  const double reach = std::sqrt(static_cast<double>(rect_.Width() / 2) * (rect_.Width() / 2) +
                                 static_cast<double>(halfHeight) * halfHeight);
  for (int side = 0; side < 2; ++side) {
    const bool left = side == 0;
    int n = 0;
    for (const TClassPair& p : pairs) {
      if (n >= maxObjects_) break;
      if (p.count == 0) continue;
      const uint32_t mine = left ? p.second : p.first;
      const uint32_t other = left ? p.first : p.second;
      if (!source_.ClassWithin(level, mine, selected)) continue;
      if (other == 0 || other == selected || placed.count(other)) continue;
      const uint32_t k = source_.ClassOccurrences(level, static_cast<int32_t>(other));
      if (k == 0) continue;
      placed.insert(other);
      ++n;
      // A selected class the text does not count gives its neighbours the ring step.
      const double ratio = selectedCount > 0 ? static_cast<double>(k) / selectedCount : 1.0;
      int r = std::clamp(Round(ringStep * std::sqrt(ratio)), 2, 2 * ringStep);
      const double d = reach / p.count;
      double v = static_cast<double>((2 * (n + 1)) % std::max(rows_, 1)) / std::max(rows_, 1) * d;
      if (n % 2 != 0) v = -v;
      const double h = std::sqrt(std::fabs(d * d - v * v)) * aspect;
      int y = RaiseOdd(cy + Round(v));
      int x = RaiseOdd(left ? cx - Round(h) : cx + Round(h));
      r = RaiseOdd(r);
      Rect box{x - r, y - r, x + r, y + r};
      if (!fixedScale_) box = KeepInside(box, {rect_.left + 1, rect_.top, rect_.right, rect_.bottom});
      areas.push_back({box, other, left});
      bounds = {std::min(bounds.left, box.left), std::min(bounds.top, box.top), std::max(bounds.right, box.right),
                std::max(bounds.bottom, box.bottom)};
    }
  }
  if (fixedScale_ && !areas.empty()) FitAreasToFrame(areas, bounds);
  // No area covers another or the selected class in the middle.
  {
    std::vector<TCircle> centre;
    const bool pair = ViewState.selection.kind == kSelectRelation && ViewState.selection.secondClass != 0;
    if (pair) {
      centre.push_back({static_cast<double>(cx - ringStep), static_cast<double>(cy), static_cast<double>(ringStep)});
      centre.push_back({static_cast<double>(cx + ringStep), static_cast<double>(cy), static_cast<double>(ringStep)});
    } else {
      centre.push_back({static_cast<double>(cx), static_cast<double>(cy), static_cast<double>(ringStep)});
    }
    SeparateAreas(areas, std::move(centre), rect_);
  }
  for (const PlacedArea& a : areas) AddBox(a.box, a.cls);

  const bool opaque = Options && Options->Switch(opt::AreaGraph3D);
  auto drawArea = [&](const PlacedArea& a) {
    if (opaque && !MonochromePrint()) {
      canvas_->SetPen(kDarkGreen);
      canvas_->SetBrush(kDarkGreen, BrushStyle::kSolid);
      canvas_->ShadedEllipse(a.box, Role(14));
    } else {
      canvas_->SetPen(MonochromePrint() ? kBlack : Role(12));
      canvas_->SetBrush(MonochromePrint() ? kBlack : Role(14), BrushStyle::kCross);
      canvas_->Ellipse(a.box);
    }
  };
  for (const PlacedArea& a : areas) drawArea(a);

  // The selected class (or the pair) in the middle.
  canvas_->SetPen(MonochromePrint() ? kBlack : Role(12));
  canvas_->SetBrush(MonochromePrint() ? kWhite : Role(14), BrushStyle::kSolid);
  TLabelPlacer labels(rect_, canvas_->TextWidth(" "));
  // On paper, where nothing names an area under the mouse, a name written
  // beside its area keeps off every other area.
  if (printing_)
    for (const PlacedArea& a : areas) labels.ReserveCircle(a.box);
  std::vector<std::pair<Rect, std::string>> centreLabels;
  auto centreCircle = [&](int x, const std::string& name) {
    const Rect circle{x - ringStep, cy - ringStep, x + ringStep, cy + ringStep};
    if (opaque && !MonochromePrint()) canvas_->ShadedEllipse(circle, Role(14));
    else canvas_->Ellipse(circle);
    if (printing_) labels.ReserveCircle(circle);
    centreLabels.emplace_back(circle, name);
  };
  if (ViewState.selection.kind == kSelectRelation && ViewState.selection.secondClass != 0) {
    centreCircle(cx - ringStep, source_.ClassName(level, static_cast<int32_t>(ViewState.selection.firstClass)));
    centreCircle(cx + ringStep, source_.ClassName(level, static_cast<int32_t>(ViewState.selection.secondClass)));
  } else {
    centreCircle(cx, title_);
  }
  canvas_->SetPen(MonochromePrint() ? kBlack : Role(12));
  DrawClassesArrow();

  // The labels last, so that no area covers one: the selected class's first,
  // then each area's on its area, above it, below it or beside it.
  SetFontColour(MonochromePrint() ? kBlack : Role(11));
  for (const auto& [circle, name] : centreLabels) {
    const int x = circle.Centre().x;
    const int w = canvas_->TextWidth(name);
    const int h = canvas_->TextHeight(name);
    PlaceText(labels, name,
              {{x - w / 2, cy - h / 2},
               {x - w / 2, cy - ringStep - h - 1},
               {x - w / 2, cy + ringStep + 1},
               {std::max(rect_.left, x - w / 2), rect_.top}},
              &circle);
  }
  auto labelArea = [&](const PlacedArea& a) {
    const bool highlighted = Highlighted(a.cls);
    SetFontColour(highlighted && !MonochromePrint() ? Role(11) : kBlack);
    PlaceName(labels, source_.ClassName(level, static_cast<int32_t>(a.cls)), a.box);
  };
  // The highlighted class's label is placed first: it is the one looked at.
  for (const PlacedArea& a : areas)
    if (Highlighted(a.cls)) labelArea(a);
  for (const PlacedArea& a : areas)
    if (!Highlighted(a.cls)) labelArea(a);

  // The highlighted class first for the mouse.
  for (const PlacedArea& a : areas)
    if (Highlighted(a.cls)) MoveBoxToEnd(a.cls);
}

void TGrapheQuilor::ActorsGraph() {
  if (!SelectedClassOfTitle()) return;
  if (!PrepareGraph()) return;
  if (rect_.Height() <= 59 || rect_.Width() <= 79) return;
  SetGraphColours();
  const int level = std::clamp(ViewState.selection.classLevel, 1, 4);
  const int cx = CentreX();
  DrawRings();

  // Summed relation counts and number of relations of each class.
  const int32_t classCount = std::max(source_.LevelClassCount(level), 0);
  std::vector<uint64_t> summed(static_cast<size_t>(classCount) + 1, 0);
  std::vector<uint32_t> records(static_cast<size_t>(classCount) + 1, 0);
  const std::vector<TClassPair> pairs = source_.PairsByCount(level);
  for (const TClassPair& p : pairs) {
    if (p.count == 0) continue;
    for (uint32_t cls : {p.first, p.second}) {
      if (cls == 0 || cls > static_cast<uint32_t>(classCount)) continue;  // beyond the level's classes
      summed[cls] += p.count;
      ++records[cls];
    }
  }
  auto summedOf = [&](int32_t cls) { return cls > 0 && cls <= classCount ? summed[static_cast<size_t>(cls)] : 0; };
  auto recordsOf = [&](int32_t cls) { return cls > 0 && cls <= classCount ? records[static_cast<size_t>(cls)] : 0u; };

  std::vector<int32_t> candidates = source_.ActorCandidates(level);
  std::stable_sort(candidates.begin(), candidates.end(),
                   [&](int32_t a, int32_t b) { return summedOf(a) > summedOf(b); });
  const uint32_t selected = ViewState.selection.firstClass;
  const uint32_t minimum = source_.MinimumClassCount();
  struct Actor {
    int32_t cls;
    uint32_t occurrences;
    double score;
  };
  std::vector<Actor> actors;
  auto scoreOf = [&](int32_t cls, uint32_t occ) {
    const uint64_t s = summedOf(cls);
    return s > 1 && occ > 0 ? static_cast<double>(recordsOf(cls)) / s * std::log2(occ / 2.0) : 0.0;
  };
  // The selected class first (when the text has it), then the others, up to the maximum.
  const uint32_t selectedOcc = source_.ClassOccurrences(level, static_cast<int32_t>(selected));
  if (selected != 0 && selectedOcc > 0)
    actors.push_back(
        {static_cast<int32_t>(selected), selectedOcc, scoreOf(static_cast<int32_t>(selected), selectedOcc)});
  for (int32_t cls : candidates) {
    if (static_cast<int>(actors.size()) >= maxObjects_) break;
    if (cls <= 0 || static_cast<uint32_t>(cls) == selected) continue;
    const uint32_t occ = source_.ClassOccurrences(level, cls);
    if (occ <= 1 || occ < minimum) continue;
    actors.push_back({cls, occ, scoreOf(cls, occ)});
  }
  double largest = 0;
  for (const Actor& a : actors) largest = std::max(largest, a.score);

  const Rect inner{rect_.left + 20, rect_.top + 20, rect_.right - 20, rect_.bottom - 20};
  const int topOffset = rowHeight_ / 2;
  // Bubbles are sized in the window's pixels; a page's pixels are finer, so
  // there they keep the same size against the page's rows of text.
  const double bubbleScale = printing_ ? std::max(1.0, rowHeight_ / static_cast<double>(kWindowGraphRow)) : 1.0;
  std::map<uint32_t, Point> centres;
  std::vector<PlacedArea> bubbles;
  for (const Actor& a : actors) {
    const uint32_t pre = source_.PreVerbCount(level, a.cls);
    const int share = Round(static_cast<double>(pre) / a.occurrences * 100);
    const int x = inner.right - Round(inner.Width() * share / 100.0);
    double s = largest > 0 ? a.score / largest : 0;
    if (a.occurrences == 1 || summedOf(a.cls) == 0) s = 0.5;
    const int y = inner.bottom - Round(inner.Height() * s) + topOffset;
    const int size =
        Round(bubbleScale * std::clamp(4 + Round(2 * std::sqrt(static_cast<double>(a.occurrences))), 6, 24));
    const Rect box = KeepInside({x - size, y - size, x + size, y + size},
                                {rect_.left + 10, rect_.top + 10, rect_.right - 10, rect_.bottom - 10});
    bubbles.push_back({box, static_cast<uint32_t>(a.cls), false});
  }
  // No bubble covers another (the classes of a long text crowd the middle):
  // each moves as little as it takes, as the areas of the area graph do.
  SeparateAreas(bubbles, {}, {rect_.left + 10, rect_.top + 10, rect_.right - 10, rect_.bottom - 10});
  for (const PlacedArea& b : bubbles) {
    AddBox(b.box, b.cls);
    centres[b.cls] = b.box.Centre();
  }

  // Axes.
  canvas_->SetPen(MonochromePrint() ? kBlack : Role(12));
  canvas_->Line({inner.left, inner.bottom}, {inner.right, inner.bottom});
  canvas_->Line({inner.left, inner.bottom}, {inner.left, inner.top});
  SetFontColour(kBlack);
  TLabelPlacer labels(rect_, canvas_->TextWidth(" "));
  // The axes' names and the warning take their places before the bubbles'
  // names, and are written after the bubbles, which would cover them.
  std::vector<std::pair<Point, std::string>> fixedTexts;
  auto fixedText = [&](const std::string& text, const std::vector<Point>& candidates) {
    Point at;
    if (labels.Place(canvas_->TextWidth(text), canvas_->TextHeight(text), candidates, at))
      fixedTexts.emplace_back(at, text);
  };
  auto axisText = [&](int x, int baseline, const std::string& text, bool right) {
    const int w = canvas_->TextWidth(text);
    fixedText(text, {{right ? x - w : x, baseline - canvas_->TextHeight(text)}});
  };
  axisText(inner.left + 2, inner.bottom - 2, GraphText(kTextActant), false);
  axisText(inner.right - 2, inner.bottom - 2, GraphText(kTextActed), true);
  axisText(inner.left, std::min(rect_.bottom, inner.bottom + canvas_->TextHeight("0") + 2), "100", false);
  axisText(inner.right, std::min(rect_.bottom, inner.bottom + canvas_->TextHeight("0") + 2), "0", true);
  if (bubbles.size() < 5) {
    const std::string warning = GraphText(kTextNonSignificant);
    const int w = canvas_->TextWidth(warning);
    fixedText(warning, {{cx - w / 2, rect_.top + 2}, {cx - w / 2, rect_.top + rowHeight_ + 2}});
  }
  // On paper, where nothing names a bubble under the mouse,
  // a name written beside its bubble keeps off every other bubble.
  if (printing_)
    for (const PlacedArea& b : bubbles) labels.ReserveCircle(b.box);

  // Links between the placed classes of the relations shown.
  const uint32_t pairFirst = ViewState.selection.firstClass;
  const uint32_t pairSecond = ViewState.selection.secondClass;
  const bool relationSelected = ViewState.selection.kind == kSelectRelation;
  auto involves = [&](const TClassPair& p, uint32_t cls) {
    return cls != 0 && (source_.ClassWithin(level, p.first, cls) || source_.ClassWithin(level, p.second, cls));
  };
  SetLinkPen();
  for (const TClassPair& p : pairs) {
    if (p.count == 0) continue;
    const uint32_t hl = highlighted_ >= 0 ? static_cast<uint32_t>(highlighted_) : 0;
    bool shown = drawEveryLink_ || (hl != 0 && (p.first == hl || p.second == hl));
    if (!shown) shown = relationSelected ? involves(p, pairFirst) || involves(p, pairSecond) : involves(p, selected);
    if (!shown) continue;
    // A group under the selected one stands for it.
    uint32_t a = p.first, b = p.second;
    if (!centres.count(a) && selected && source_.ClassWithin(level, a, selected)) a = selected;
    if (!centres.count(b) && selected && source_.ClassWithin(level, b, selected)) b = selected;
    if (a == b || !centres.count(a) || !centres.count(b)) continue;
    canvas_->Line(centres[a], centres[b]);
  }

  DrawBubbles(level, bubbles, labels);
  SetFontColour(kBlack);
  for (const auto& [at, text] : fixedTexts) canvas_->TextOut(at.x, at.y, text);
}

void TGrapheQuilor::DrawBubbles(int level, const std::vector<PlacedArea>& bubbles, TLabelPlacer& labels) {
  const bool opaque = Options && Options->Switch(opt::AreaGraph3D);
  auto drawBubble = [&](const PlacedArea& bubble) {
    const uint32_t occ = source_.ClassOccurrences(level, static_cast<int32_t>(bubble.cls));
    const Rgb colour = occ < 51 ? Role(14) : Role(13);
    canvas_->SetPen(MonochromePrint() ? kBlack : Role(12));
    if (opaque && !MonochromePrint()) {
      canvas_->ShadedEllipse(bubble.box, colour);
    } else {
      canvas_->SetBrush(MonochromePrint() ? kWhite : colour, BrushStyle::kCross);
      canvas_->Ellipse(bubble.box);
    }
  };
  // The names after every bubble: on their bubble, above, below or beside it.
  auto labelBubble = [&](const PlacedArea& bubble) {
    const bool highlighted = Highlighted(bubble.cls);
    SetFontColour(highlighted && !MonochromePrint() ? Role(11) : kBlack);
    PlaceName(labels, source_.ClassName(level, static_cast<int32_t>(bubble.cls)), bubble.box);
  };
  for (const PlacedArea& b : bubbles)
    if (!Highlighted(b.cls)) drawBubble(b);
  for (const PlacedArea& b : bubbles)
    if (Highlighted(b.cls)) {
      drawBubble(b);
      MoveBoxToEnd(b.cls);
    }
  for (const PlacedArea& b : bubbles)
    if (Highlighted(b.cls)) labelBubble(b);
  for (const PlacedArea& b : bubbles)
    if (!Highlighted(b.cls)) labelBubble(b);
}

}  // namespace quilor::ui
