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

}  // namespace
}  // namespace quilor::ui
