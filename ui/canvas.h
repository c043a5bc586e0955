// The one drawing interface of the views. The text view, the graphs and the
// print sections draw through it; the screen and the printer implement it on
// a QPainter (ui/painter_canvas_qt.h), tests on a recorder
// (ui/recording_canvas.h). Coordinates are device pixels; rectangles
// exclude their right and bottom edges. Texts are Windows-1252, as the engine
// keeps them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/colour.h"

namespace quilor::ui {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  // The centre as the views compute it: left + (right - left) div 2.
  Point Centre() const { return {left + (right - left) / 2, top + (bottom - top) / 2}; }
  bool operator==(const Rect&) const = default;
};

enum class PenStyle { kSolid, kDash, kDot, kNone, kDashDot };
// kCross and kDiagonal hatch the shape with the brush colour over what lies beneath.
enum class BrushStyle { kSolid, kClear, kCross, kDiagonal };

struct Font {
  std::string name = "DejaVu Sans";
  int size = 8;  // points
  Rgb colour = kBlack;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool operator==(const Font&) const = default;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  // Drawing state.
  virtual void SetPen(Rgb colour, int width = 1, PenStyle style = PenStyle::kSolid) = 0;
  virtual void SetBrush(Rgb colour, BrushStyle style = BrushStyle::kSolid) = 0;
  virtual void SetFont(const Font& font) = 0;
  // Text drawn with an opaque background (the brush) or transparent.
  virtual void SetTextBackground(bool opaque) = 0;

  // Shapes: outlined with the pen, filled with the brush.
  virtual void FillRect(const Rect& r) = 0;  // brush only
  virtual void Rectangle(const Rect& r) = 0;
  virtual void RoundRect(const Rect& r, int radiusX, int radiusY) = 0;
  virtual void Ellipse(const Rect& r) = 0;
  virtual void Polygon(const std::vector<Point>& points) = 0;
  virtual void Line(Point from, Point to) = 0;
  // Pie slice of the ellipse in r between two angles in degrees (0 = 3 o'clock,
  // counter-clockwise).
  virtual void Pie(const Rect& r, double startDegrees, double spanDegrees) = 0;
  // The "3D" picture of an object: an ellipse shaded from a light centre to its colour.
  virtual void ShadedEllipse(const Rect& r, Rgb colour) = 0;

  // Text, top-left at (x, y), in the current font.
  virtual void TextOut(int x, int y, const std::string& text) = 0;
  // Text clipped to r.
  virtual void TextRect(const Rect& r, int x, int y, const std::string& text) = 0;
  virtual int TextWidth(const std::string& text) = 0;
  virtual int TextHeight(const std::string& text) = 0;

  // Clipping (empty rect: none).
  virtual void SetClip(const Rect& r) = 0;
  virtual void ClearClip() = 0;
};

}  // namespace quilor::ui
