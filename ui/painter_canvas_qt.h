// The canvas on a QPainter: the screen, images and the printer.
#pragma once

#include <QColor>
#include <QFont>

#include "ui/canvas.h"

class QPainter;

namespace quilor::ui {

QColor ToQColor(Rgb colour);
Rgb FromQColor(const QColor& colour);

class PainterCanvas : public Canvas {
 public:
  // The painter stays the caller's and must outlive the canvas.
  explicit PainterCanvas(QPainter& painter);

  void SetPen(Rgb colour, int width = 1, PenStyle style = PenStyle::kSolid) override;
  void SetBrush(Rgb colour, BrushStyle style = BrushStyle::kSolid) override;
  void SetFont(const Font& font) override;
  void SetTextBackground(bool opaque) override;
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
  void SetClip(const Rect& r) override;
  void ClearClip() override;

 private:
  QPainter& painter_;
  QColor brushColour_;
  QColor textColour_ = Qt::black;
  bool brushClear_ = false;
  bool opaqueText_ = false;
};

}  // namespace quilor::ui
