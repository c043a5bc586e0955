#include "ui/painter_canvas_qt.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <QRadialGradient>

#include "ui/texts_qt.h"
#include "platform/text_encoding.h"

namespace quilor::ui {

namespace {

QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

}  // namespace

QColor ToQColor(Rgb colour) { return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour)); }

Rgb FromQColor(const QColor& colour) { return MakeRgb(colour.red(), colour.green(), colour.blue()); }

PainterCanvas::PainterCanvas(QPainter& painter) : painter_(painter) {}

void PainterCanvas::SetPen(Rgb colour, int width, PenStyle style) {
  if (style == PenStyle::kNone) {
    painter_.setPen(Qt::NoPen);
    return;
  }
  QPen pen(ToQColor(colour));
  pen.setWidth(width);
  pen.setStyle(style == PenStyle::kDash      ? Qt::DashLine
               : style == PenStyle::kDot     ? Qt::DotLine
               : style == PenStyle::kDashDot ? Qt::DashDotLine
                                             : Qt::SolidLine);
  painter_.setPen(pen);
}

void PainterCanvas::SetBrush(Rgb colour, BrushStyle style) {
  brushColour_ = ToQColor(colour);
  brushClear_ = style == BrushStyle::kClear;
  if (brushClear_) painter_.setBrush(Qt::NoBrush);
  else if (style == BrushStyle::kCross) painter_.setBrush(QBrush(brushColour_, Qt::DiagCrossPattern));
  else if (style == BrushStyle::kDiagonal) painter_.setBrush(QBrush(brushColour_, Qt::BDiagPattern));
  else painter_.setBrush(brushColour_);
}

void PainterCanvas::SetFont(const Font& font) {
  QFont f(QString::fromStdString(font.name));
  f.setPointSize(font.size > 0 ? font.size : 1);
  f.setBold(font.bold);
  f.setItalic(font.italic);
  f.setUnderline(font.underline);
  // A painter without text antialiasing draws text in its exact colours.
  if (!painter_.testRenderHint(QPainter::TextAntialiasing)) f.setStyleStrategy(QFont::NoAntialias);
  painter_.setFont(f);
  // The text colour is the font's; shapes keep the pen set by SetPen.
  textColour_ = ToQColor(font.colour);
}

void PainterCanvas::SetTextBackground(bool opaque) { opaqueText_ = opaque; }

void PainterCanvas::FillRect(const Rect& r) {
  if (!brushClear_) painter_.fillRect(ToQRect(r), painter_.brush());
}

void PainterCanvas::Rectangle(const Rect& r) { painter_.drawRect(ToQRect(r).adjusted(0, 0, -1, -1)); }

void PainterCanvas::RoundRect(const Rect& r, int radiusX, int radiusY) {
  painter_.drawRoundedRect(ToQRect(r).adjusted(0, 0, -1, -1), radiusX / 2.0, radiusY / 2.0);
}

void PainterCanvas::Ellipse(const Rect& r) { painter_.drawEllipse(ToQRect(r).adjusted(0, 0, -1, -1)); }

void PainterCanvas::Polygon(const std::vector<Point>& points) {
  QPolygon polygon;
  for (const Point& p : points) polygon << QPoint(p.x, p.y);
  painter_.drawPolygon(polygon);
}

void PainterCanvas::Line(Point from, Point to) { painter_.drawLine(from.x, from.y, to.x, to.y); }

void PainterCanvas::Pie(const Rect& r, double startDegrees, double spanDegrees) {
  painter_.drawPie(ToQRect(r).adjusted(0, 0, -1, -1), static_cast<int>(startDegrees * 16),
                   static_cast<int>(spanDegrees * 16));
}

void PainterCanvas::ShadedEllipse(const Rect& r, Rgb colour) {
  const QRectF box = ToQRect(r);
  QRadialGradient gradient(box.left() + box.width() * 0.35, box.top() + box.height() * 0.3,
                           std::max(box.width(), box.height()) * 0.75);
  const QColor base = ToQColor(colour);
  gradient.setColorAt(0.0, base.lighter(190));
  gradient.setColorAt(0.55, base);
  gradient.setColorAt(1.0, base.darker(160));
  painter_.save();
  painter_.setPen(Qt::NoPen);
  painter_.setBrush(gradient);
  painter_.drawEllipse(box);
  painter_.restore();
}

void PainterCanvas::TextOut(int x, int y, const std::string& text) {
  const QString s = FromCp1252(text);
  const QFontMetrics metrics(painter_.font());
  if (opaqueText_ && !brushClear_)
    painter_.fillRect(QRect(x, y, metrics.horizontalAdvance(s), metrics.height()), brushColour_);
  const QPen shapes = painter_.pen();
  painter_.setPen(textColour_);
  painter_.drawText(x, y + metrics.ascent(), s);
  painter_.setPen(shapes);
}

void PainterCanvas::TextRect(const Rect& r, int x, int y, const std::string& text) {
  painter_.save();
  painter_.setClipRect(ToQRect(r), Qt::IntersectClip);
  TextOut(x, y, text);
  painter_.restore();
}

int PainterCanvas::TextWidth(const std::string& text) {
  return QFontMetrics(painter_.font()).horizontalAdvance(FromCp1252(text));
}

int PainterCanvas::TextHeight(const std::string&) { return QFontMetrics(painter_.font()).height(); }

void PainterCanvas::SetClip(const Rect& r) { painter_.setClipRect(ToQRect(r)); }

void PainterCanvas::ClearClip() { painter_.setClipping(false); }

}  // namespace quilor::ui
