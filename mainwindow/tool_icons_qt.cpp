#include "mainwindow/tool_icons_qt.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

#include <cmath>

namespace quilor::ui {

namespace {

const QColor kInk(0x33, 0x44, 0x55);
const QColor kBlue(0x2a, 0x6f, 0xb8);
const QColor kOrange(0xe0, 0x8a, 0x1e);
const QColor kGreen(0x3c, 0x9a, 0x4a);
const QColor kPaper(0xfb, 0xfb, 0xf7);

// The graph kinds' and the text's pictures.
void DrawGraphPicture(QPainter& p, ToolPicture picture) {
  switch (picture) {
    case ToolPicture::kStar: {
      p.setBrush(kBlue);
      QPointF c(12, 12);
      for (int i = 0; i < 5; ++i) {
        const double a = i * 2 * M_PI / 5 - M_PI / 2;
        QPointF end(c.x() + 9 * std::cos(a), c.y() + 9 * std::sin(a));
        p.drawLine(c, end);
        p.drawEllipse(end, 2.2, 2.2);
      }
      p.setBrush(kOrange);
      p.drawEllipse(c, 3.5, 3.5);
      break;
    }
    case ToolPicture::kAreas:
      p.setBrush(QColor(0x2a, 0x6f, 0xb8, 160));
      p.drawEllipse(QPointF(9, 10), 6.5, 6.5);
      p.setBrush(QColor(0xe0, 0x8a, 0x1e, 160));
      p.drawEllipse(QPointF(15, 14), 6, 6);
      p.setBrush(QColor(0x3c, 0x9a, 0x4a, 160));
      p.drawEllipse(QPointF(17, 6), 3.5, 3.5);
      break;
    case ToolPicture::kActors:
      p.setBrush(kBlue);
      p.drawEllipse(QPointF(8, 8), 3, 3);
      p.drawChord(QRectF(3, 12, 10, 10), 0, 180 * 16);
      p.setBrush(kOrange);
      p.drawEllipse(QPointF(16, 9), 3, 3);
      p.drawChord(QRectF(11, 13, 10, 10), 0, 180 * 16);
      break;
    case ToolPicture::kDistribution:
      p.setBrush(kGreen);
      for (int i = 0; i < 5; ++i) {
        const double h = 4 + ((i * 7) % 5) * 3;
        p.drawRect(QRectF(3 + i * 4, 21 - h, 3, h));
      }
      break;
    case ToolPicture::kBursts:
      p.setPen(QPen(kBlue, 2));
      p.drawPolyline(QPolygonF({{2, 18}, {6, 16}, {9, 6}, {12, 17}, {15, 14}, {18, 4}, {22, 15}}));
      break;
    case ToolPicture::kWholeText:
      p.setBrush(kPaper);
      p.drawRect(QRectF(4, 2, 16, 20));
      for (int y = 6; y <= 18; y += 3) p.drawLine(QPointF(7, y), QPointF(y == 18 ? 13 : 17, y));
      break;
    default: break;
  }
}

// The Scenario's pictures: its tree, the search in it, the words added.
void DrawScenarioPicture(QPainter& p, ToolPicture picture) {
  switch (picture) {
    case ToolPicture::kScenario:
      p.drawLine(QPointF(6, 6), QPointF(6, 18));
      p.drawLine(QPointF(6, 12), QPointF(12, 12));
      p.drawLine(QPointF(6, 18), QPointF(12, 18));
      p.setBrush(kOrange);
      p.drawRect(QRectF(3, 3, 6, 5));
      p.setBrush(kBlue);
      p.drawRect(QRectF(12, 10, 8, 5));
      p.drawRect(QRectF(12, 16, 8, 5));
      break;
    case ToolPicture::kTree:
      p.drawLine(QPointF(7, 7), QPointF(7, 19));
      p.drawLine(QPointF(7, 13), QPointF(12, 13));
      p.drawLine(QPointF(7, 19), QPointF(12, 19));
      p.setBrush(kPaper);
      p.drawRect(QRectF(3, 2, 8, 6));
      p.drawLine(QPointF(5, 5), QPointF(9, 5));
      p.setBrush(kBlue);
      p.drawRect(QRectF(12, 11, 9, 4));
      p.drawRect(QRectF(12, 17, 9, 4));
      break;
    case ToolPicture::kSearchScenario:
      p.setBrush(kBlue);
      p.drawRect(QRectF(2, 3, 8, 5));
      p.drawLine(QPointF(5, 8), QPointF(5, 17));
      p.drawLine(QPointF(5, 17), QPointF(9, 17));
      p.setPen(QPen(kInk, 1.8));
      p.setBrush(kPaper);
      p.drawEllipse(QPointF(14, 12), 4.5, 4.5);
      p.setPen(QPen(kInk, 2.5));
      p.drawLine(QPointF(17.5, 15.5), QPointF(22, 20));
      break;
    case ToolPicture::kAddScenario:
    case ToolPicture::kInsertScenario: {
      const bool insert = picture == ToolPicture::kInsertScenario;
      p.setBrush(kBlue);
      p.drawRect(QRectF(2, 3, 10, 5));
      if (insert) {
        p.drawLine(QPointF(5, 8), QPointF(5, 16));
        p.drawLine(QPointF(5, 16), QPointF(9, 16));
      }
      p.setPen(QPen(kGreen, 3));
      const QPointF c(insert ? 16 : 14, insert ? 16 : 15);
      p.drawLine(QPointF(c.x() - 5, c.y()), QPointF(c.x() + 5, c.y()));
      p.drawLine(QPointF(c.x(), c.y() - 5), QPointF(c.x(), c.y() + 5));
      break;
    }
    default: break;
  }
}

// Draws on a 24 x 24 grid, scaled to the pixmap.
void Draw(QPainter& p, ToolPicture picture) {
  p.setRenderHint(QPainter::Antialiasing);
  QPen ink(kInk, 1.5);
  p.setPen(ink);
  DrawGraphPicture(p, picture);
  DrawScenarioPicture(p, picture);
  switch (picture) {
    case ToolPicture::kOpen:
      p.setBrush(kOrange);
      p.drawPolygon(QPolygonF({{2, 7}, {9, 7}, {11, 9}, {21, 9}, {21, 20}, {2, 20}}));
      break;
    case ToolPicture::kPrint:
      p.setBrush(kPaper);
      p.drawRect(QRectF(7, 3, 10, 7));
      p.setBrush(QColor(0xb0, 0xb8, 0xc0));
      p.drawRoundedRect(QRectF(3, 10, 18, 8), 2, 2);
      p.setBrush(kPaper);
      p.drawRect(QRectF(7, 15, 10, 6));
      break;
    case ToolPicture::kCopy:
      p.setBrush(kPaper);
      p.drawRect(QRectF(3, 3, 11, 14));
      p.drawRect(QRectF(9, 7, 11, 14));
      break;
    case ToolPicture::kSearch:
      p.setPen(QPen(kInk, 2));
      p.setBrush(kPaper);
      p.drawEllipse(QPointF(10, 10), 6, 6);
      p.setPen(QPen(kInk, 3));
      p.drawLine(QPointF(14.5, 14.5), QPointF(21, 21));
      break;
    case ToolPicture::kTerminology: {
      QFont f = p.font();
      f.setBold(true);
      f.setPixelSize(15);
      p.setFont(f);
      p.setPen(kBlue);
      p.drawText(QRectF(0, 0, 24, 24), Qt::AlignCenter, QStringLiteral("Tt"));
      break;
    }
    case ToolPicture::kHelp: {
      p.setBrush(kBlue);
      p.drawEllipse(QPointF(12, 12), 10, 10);
      QFont f = p.font();
      f.setBold(true);
      f.setPixelSize(15);
      p.setFont(f);
      p.setPen(Qt::white);
      p.drawText(QRectF(0, 0, 24, 24), Qt::AlignCenter, QStringLiteral("?"));
      break;
    }
    case ToolPicture::kPrevious:
    case ToolPicture::kNext: {
      p.setBrush(kBlue);
      const bool next = picture == ToolPicture::kNext;
      const double tip = next ? 20 : 4, back = next ? 8 : 16;
      p.drawPolygon(QPolygonF({{tip, 12}, {back, 4}, {back, 20}}));
      break;
    }
    case ToolPicture::kSort:
      for (int i = 0; i < 4; ++i) {
        p.setBrush(i == 0 ? kOrange : kBlue);
        p.drawRect(QRectF(3, 3 + i * 5, 6 + i * 4, 3));
      }
      p.drawLine(QPointF(20, 3), QPointF(20, 21));
      p.drawLine(QPointF(17, 18), QPointF(20, 21));
      p.drawLine(QPointF(23, 18), QPointF(20, 21));
      break;
    default: break;
  }
}
}  // namespace

QIcon DrawnIcon(ToolPicture picture) {
  QIcon icon;
  for (int size : {24, 48}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.scale(size / 24.0, size / 24.0);
    Draw(p, picture);
    p.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

QIcon ToolIcon(const QString& themeName, ToolPicture picture) {
  // Pictures no theme names (the graphs, the Scenario tool) are always ours.
  if (themeName.isEmpty()) return DrawnIcon(picture);
  return QIcon::fromTheme(themeName, DrawnIcon(picture));
}

}  // namespace quilor::ui
