#include "mainwindow/graph_labels.h"

#include <algorithm>
#include <cmath>

namespace quilor::ui {

bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Inside(const Rect& inner, const Rect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

namespace {

// Whether the circle drawn in the square box meets r.
bool CircleMeets(const Rect& box, const Rect& r) {
  const double radius = box.Width() / 2.0;
  const double cx = box.left + radius;
  const double cy = box.top + box.Height() / 2.0;
  // The point of r nearest the centre.
  const double nx = std::clamp(cx, static_cast<double>(r.left), static_cast<double>(r.right));
  const double ny = std::clamp(cy, static_cast<double>(r.top), static_cast<double>(r.bottom));
  return (nx - cx) * (nx - cx) + (ny - cy) * (ny - cy) < radius * radius;
}

}  // namespace

bool TLabelPlacer::Free(const Rect& r, const Rect* own) const {
  if (!Inside(r, frame_)) return false;
  for (const Rect& u : used_)
    if (Overlap(r, u)) return false;
  for (const Rect& c : circles_)
    if (!(own && c == *own) && CircleMeets(c, r)) return false;
  const Rect spaced{r.left - gap_, r.top, r.right + gap_, r.bottom};
  for (const Rect& l : labels_)
    if (Overlap(spaced, l)) return false;
  return true;
}

bool TLabelPlacer::Place(int width, int height, const std::vector<Point>& candidates, Point& at, const Rect* own) {
  for (const Point& p : candidates) {
    const Rect r{p.x, p.y, p.x + width, p.y + height};
    if (!Free(r, own)) continue;
    labels_.push_back(r);
    at = p;
    return true;
  }
  return false;
}

void SeparateCircles(std::vector<TCircle>& circles, size_t fixed, const Rect& frame, int gap) {
  auto keepInside = [&frame](TCircle& c) {
    if (2 * c.r > frame.Width() || 2 * c.r > frame.Height()) return;
    c.x = std::clamp(c.x, frame.left + c.r, frame.right - c.r);
    c.y = std::clamp(c.y, frame.top + c.r, frame.bottom - c.r);
  };
  for (size_t i = fixed; i < circles.size(); ++i) keepInside(circles[i]);
  for (int round = 0; round < 200; ++round) {
    bool moved = false;
    for (size_t i = 0; i < circles.size(); ++i) {
      for (size_t j = std::max(i + 1, fixed); j < circles.size(); ++j) {
        TCircle& a = circles[i];
        TCircle& b = circles[j];
        double dx = b.x - a.x;
        double dy = b.y - a.y;
        double d = std::sqrt(dx * dx + dy * dy);
        const double wanted = a.r + b.r + gap;
        if (d >= wanted) continue;
        if (d < 1e-6) {
          // Same centre: apart along a direction of their own.
          dx = std::cos(static_cast<double>(j));
          dy = std::sin(static_cast<double>(j));
          d = 1;
        }
        const double push = wanted - d;
        const bool aMoves = i >= fixed;
        const double share = aMoves ? push / 2 : push;
        b.x += dx / d * share;
        b.y += dy / d * share;
        if (aMoves) {
          a.x -= dx / d * share;
          a.y -= dy / d * share;
          keepInside(a);
        }
        keepInside(b);
        moved = true;
      }
    }
    if (!moved) break;
  }
}

}  // namespace quilor::ui
