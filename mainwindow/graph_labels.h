// Where the texts of a graph go so that none overlaps another or leaves the
// graph's frame: each label takes the first of its candidate places that is
// free, or is left out (its object still shows and names itself under the
// mouse). The graphs reserve their fixed texts first (titles, axes), then
// place their labels. Plain geometry, shared by the screen and the printer.
#pragma once

#include <vector>

#include "ui/canvas.h"

namespace quilor::ui {

bool Overlap(const Rect& a, const Rect& b);
bool Inside(const Rect& inner, const Rect& outer);

class TLabelPlacer {
 public:
  // gap: the room kept between two labels side by side, so that two names
  // never read as one (a blank of the labels' font).
  explicit TLabelPlacer(const Rect& frame, int gap = 0) : frame_(frame), gap_(gap) {}
  // Marks r as taken (a box, or a text drawn without asking).
  void Reserve(const Rect& r) { used_.push_back(r); }
  // Marks the circle drawn in the square box as taken, except for the label
  // placed with that box as its own (a name written on its own area).
  void ReserveCircle(const Rect& box) { circles_.push_back(box); }
  // The first candidate top-left corner where a width x height label lies in
  // the frame, meets no taken place (but its own circle) and keeps the gap
  // from the labels placed before; false when there is none.
  bool Place(int width, int height, const std::vector<Point>& candidates, Point& at, const Rect* own = nullptr);
  bool Free(const Rect& r, const Rect* own = nullptr) const;
  const Rect& Frame() const { return frame_; }

 private:
  Rect frame_;
  int gap_ = 0;
  std::vector<Rect> used_;
  std::vector<Rect> circles_;
  std::vector<Rect> labels_;
};

// Circles (centre x, y, radius) pushed apart until none overlaps another,
// the first `fixed` of them staying where they are; each is kept inside the
// frame when it fits.
struct TCircle {
  double x = 0;
  double y = 0;
  double r = 0;
};
void SeparateCircles(std::vector<TCircle>& circles, size_t fixed, const Rect& frame, int gap = 2);

}  // namespace quilor::ui
