#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "ui/painter_canvas_qt.h"
#include "ui/recording_canvas.h"

namespace quilor::ui {
namespace {

TEST(ColourTest, OptionsColoursAreBlueGreenRed) {
  const Rgb c = 0x00112233;  // as stored: blue 0x11, green 0x22, red 0x33
  EXPECT_EQ(RedOf(c), 0x33);
  EXPECT_EQ(GreenOf(c), 0x22);
  EXPECT_EQ(BlueOf(c), 0x11);
  EXPECT_EQ(ToQColor(c), QColor(0x33, 0x22, 0x11));
  EXPECT_EQ(FromQColor(QColor(0x33, 0x22, 0x11)), c);
}

TEST(RectTest, CentreCountsFromTheLeftEdge) {
  const Rect onPaper{20, 10, 220, 110};
  EXPECT_EQ(onPaper.Centre(), (Point{120, 60}));
  EXPECT_TRUE(onPaper.Contains({20, 10}));
  EXPECT_FALSE(onPaper.Contains({220, 10}));
}

TEST(RecordingCanvasTest, RecordsStateWithEachOperation) {
  RecordingCanvas canvas(6);
  canvas.SetBrush(MakeRgb(255, 0, 0));
  canvas.FillRect({0, 0, 10, 10});
  Font bold;
  bold.bold = true;
  canvas.SetFont(bold);
  canvas.TextOut(3, 4, "caf\xE9");
  ASSERT_EQ(canvas.Ops().size(), 2u);
  EXPECT_EQ(canvas.Ops()[0].brush, MakeRgb(255, 0, 0));
  EXPECT_TRUE(canvas.Ops()[1].font.bold);
  EXPECT_EQ(canvas.TextWidth("caf\xE9"), 24);
  EXPECT_EQ(canvas.Texts(), std::vector<std::string>{"caf\xE9"});
}

TEST(PainterCanvasTest, FillsWithTheOptionsColourAndDrawsWindows1252Text) {
  QImage image(40, 20, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    PainterCanvas canvas(painter);
    canvas.SetBrush(MakeRgb(0, 0, 255));
    canvas.FillRect({0, 0, 10, 10});
    canvas.SetFont(Font{});
    EXPECT_GT(canvas.TextWidth("\xE9t\xE9"), 0);
  }
  EXPECT_EQ(image.pixelColor(5, 5), QColor(0, 0, 255));
  EXPECT_EQ(image.pixelColor(15, 5), QColor(Qt::white));
}

// Each pen and brush style reaches the painter as its own Qt style; a clear
// brush fills nothing, an opaque text background fills behind the text, and
// text takes the font's colour while shapes keep the pen's.
TEST(PainterCanvasTest, PensBrushesAndTextColoursReachThePainter) {
  QImage image(60, 30, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  PainterCanvas canvas(painter);
  const std::pair<PenStyle, Qt::PenStyle> pens[] = {{PenStyle::kSolid, Qt::SolidLine},
                                                    {PenStyle::kDash, Qt::DashLine},
                                                    {PenStyle::kDot, Qt::DotLine},
                                                    {PenStyle::kDashDot, Qt::DashDotLine},
                                                    {PenStyle::kNone, Qt::NoPen}};
  for (const auto& [style, qt] : pens) {
    canvas.SetPen(MakeRgb(10, 20, 30), 3, style);
    EXPECT_EQ(painter.pen().style(), qt) << static_cast<int>(style);
    if (qt != Qt::NoPen) {
      EXPECT_EQ(painter.pen().width(), 3);
      EXPECT_EQ(painter.pen().color(), QColor(10, 20, 30));
    }
  }
  const std::pair<BrushStyle, Qt::BrushStyle> brushes[] = {{BrushStyle::kSolid, Qt::SolidPattern},
                                                           {BrushStyle::kCross, Qt::DiagCrossPattern},
                                                           {BrushStyle::kDiagonal, Qt::BDiagPattern},
                                                           {BrushStyle::kClear, Qt::NoBrush}};
  for (const auto& [style, qt] : brushes) {
    canvas.SetBrush(MakeRgb(200, 0, 0), style);
    EXPECT_EQ(painter.brush().style(), qt) << static_cast<int>(style);
  }
  canvas.FillRect({0, 0, 10, 10});  // clear: nothing
  EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::white));
  canvas.SetBrush(MakeRgb(0, 200, 0), BrushStyle::kSolid);
  canvas.SetPen(MakeRgb(0, 0, 200), 1, PenStyle::kSolid);
  Font font;
  font.colour = MakeRgb(255, 0, 0);
  font.size = 0;  // no size: the smallest
  canvas.SetFont(font);
  EXPECT_EQ(painter.font().pointSize(), 1);
  font.size = 12;
  font.bold = font.italic = font.underline = true;
  canvas.SetFont(font);
  EXPECT_EQ(painter.font().pointSize(), 12);
  EXPECT_TRUE(painter.font().bold() && painter.font().italic() && painter.font().underline());
  canvas.SetTextBackground(true);
  canvas.TextOut(20, 0, "i");
  EXPECT_EQ(image.pixelColor(20, 1), QColor(0, 200, 0));  // the background behind the text
  EXPECT_EQ(painter.pen().color(), QColor(0, 0, 200));    // the shapes' pen is back
  canvas.SetBrush(MakeRgb(0, 200, 0), BrushStyle::kClear);
  canvas.TextOut(40, 0, "i");
  EXPECT_EQ(image.pixelColor(40, 1), QColor(Qt::white));  // a clear brush: no background
}

}  // namespace
}  // namespace quilor::ui
