#include "ui/recording_canvas.h"

namespace quilor::ui {

void RecordingCanvas::SetPen(Rgb colour, int width, PenStyle style) {
  pen_ = colour;
  penWidth_ = width;
  penStyle_ = style;
}

void RecordingCanvas::SetBrush(Rgb colour, BrushStyle style) {
  brush_ = colour;
  brushStyle_ = style;
}

DrawOp RecordingCanvas::Base(DrawOp::Kind kind) const {
  DrawOp op;
  op.kind = kind;
  op.pen = pen_;
  op.penWidth = penWidth_;
  op.penStyle = penStyle_;
  op.brush = brush_;
  op.brushStyle = brushStyle_;
  op.font = font_;
  op.opaqueText = opaque_;
  op.clip = clip_;
  return op;
}

void RecordingCanvas::FillRect(const Rect& r) {
  DrawOp op = Base(DrawOp::kFillRect);
  op.rect = r;
  ops_.push_back(std::move(op));
}

void RecordingCanvas::Rectangle(const Rect& r) {
  DrawOp op = Base(DrawOp::kRectangle);
  op.rect = r;
  ops_.push_back(std::move(op));
}

void RecordingCanvas::RoundRect(const Rect& r, int, int) {
  DrawOp op = Base(DrawOp::kRoundRect);
  op.rect = r;
  ops_.push_back(std::move(op));
}

void RecordingCanvas::Ellipse(const Rect& r) {
  DrawOp op = Base(DrawOp::kEllipse);
  op.rect = r;
  ops_.push_back(std::move(op));
}

void RecordingCanvas::Polygon(const std::vector<Point>& points) {
  DrawOp op = Base(DrawOp::kPolygon);
  op.points = points;
  ops_.push_back(std::move(op));
}

void RecordingCanvas::Line(Point from, Point to) {
  DrawOp op = Base(DrawOp::kLine);
  op.points = {from, to};
  ops_.push_back(std::move(op));
}

void RecordingCanvas::Pie(const Rect& r, double startDegrees, double spanDegrees) {
  DrawOp op = Base(DrawOp::kPie);
  op.rect = r;
  op.start = startDegrees;
  op.span = spanDegrees;
  ops_.push_back(std::move(op));
}

void RecordingCanvas::ShadedEllipse(const Rect& r, Rgb colour) {
  DrawOp op = Base(DrawOp::kShadedEllipse);
  op.rect = r;
  op.brush = colour;
  ops_.push_back(std::move(op));
}

void RecordingCanvas::TextOut(int x, int y, const std::string& text) {
  DrawOp op = Base(DrawOp::kText);
  op.points = {{x, y}};
  op.text = text;
  op.rect = clip_;
  ops_.push_back(std::move(op));
}

void RecordingCanvas::TextRect(const Rect& r, int x, int y, const std::string& text) {
  DrawOp op = Base(DrawOp::kText);
  op.points = {{x, y}};
  op.text = text;
  op.rect = r;
  ops_.push_back(std::move(op));
}

int RecordingCanvas::TextWidth(const std::string& text) { return static_cast<int>(text.size()) * charWidth_; }

int RecordingCanvas::TextHeight(const std::string&) { return lineHeight_ > 0 ? lineHeight_ : font_.size + 5; }

std::vector<std::string> RecordingCanvas::Texts() const {
  std::vector<std::string> texts;
  for (const DrawOp& op : ops_)
    if (op.kind == DrawOp::kText) texts.push_back(op.text);
  return texts;
}

}  // namespace quilor::ui
