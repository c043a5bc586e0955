// A canvas that records what is drawn, for tests and tools. Text is measured
// by a fixed-width rule so that layouts are the same on every machine.
#pragma once

#include <string>
#include <vector>

#include "ui/canvas.h"

namespace quilor::ui {

struct DrawOp {
  enum Kind { kFillRect, kRectangle, kRoundRect, kEllipse, kPolygon, kLine, kPie, kShadedEllipse, kText };
  Kind kind = kFillRect;
  Rect rect;                  // shapes, text clip
  std::vector<Point> points;  // polygon, line (2 points), text origin (1 point)
  std::string text;
  Rgb pen = kBlack;
  int penWidth = 1;
  PenStyle penStyle = PenStyle::kSolid;
  Rgb brush = kWhite;
  BrushStyle brushStyle = BrushStyle::kSolid;
  Font font;
  bool opaqueText = false;
  double start = 0;  // pie
  double span = 0;
  Rect clip;  // the clip in force (empty: none)
};

class RecordingCanvas : public Canvas {
 public:
  // Each character is charWidth pixels wide; a line is lineHeight pixels high
  // (0: the font size + 5).
  explicit RecordingCanvas(int charWidth = 7, int lineHeight = 0) : charWidth_(charWidth), lineHeight_(lineHeight) {}

  void SetPen(Rgb colour, int width = 1, PenStyle style = PenStyle::kSolid) override;
  void SetBrush(Rgb colour, BrushStyle style = BrushStyle::kSolid) override;
  void SetFont(const Font& font) override { font_ = font; }
  void SetTextBackground(bool opaque) override { opaque_ = opaque; }
  void FillRect(const Rect& r) override;
  void Rectangle(const Rect& r) override;
  void RoundRect(const Rect& r, int radiusX, int radiusY) override;
  void Ellipse(const Rect& r) override;
  void Polygon(const std::vector<Point>& points) override;
  void Line(Point from, Point to) override;
  void Pie(const Rect& r, double startDegrees, double spanDegrees) override;
  void ShadedEllipse(const Rect& r, Rgb colour) override;
  void TextOut(int x, int y, const std::string& text) override;
  void TextRect(const Rect& r, int x, int y, const std::string& text) override;
  int TextWidth(const std::string& text) override;
  int TextHeight(const std::string& text) override;
  void SetClip(const Rect& r) override { clip_ = r; }
  void ClearClip() override { clip_ = {}; }

  const std::vector<DrawOp>& Ops() const { return ops_; }
  void Clear() { ops_.clear(); }
  // The texts drawn, in order.
  std::vector<std::string> Texts() const;
  const Font& CurrentFont() const { return font_; }
  const Rect& Clip() const { return clip_; }

 private:
  DrawOp Base(DrawOp::Kind kind) const;

  int charWidth_;
  int lineHeight_;
  Rgb pen_ = kBlack;
  int penWidth_ = 1;
  PenStyle penStyle_ = PenStyle::kSolid;
  Rgb brush_ = kWhite;
  BrushStyle brushStyle_ = BrushStyle::kSolid;
  Font font_;
  bool opaque_ = false;
  Rect clip_;
  std::vector<DrawOp> ops_;
};

}  // namespace quilor::ui
