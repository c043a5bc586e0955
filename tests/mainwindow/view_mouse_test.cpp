// The mouse over a real analysed text: the text page and the graph panel,
// driven with QTest on the offscreen platform.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWidget>

#include <memory>

#include "core/options.h"
#include "engine/selection.h"
#include "engine/word_list.h"
#include "mainwindow/graph_panel_widget.h"
#include "mainwindow/graph_source.h"
#include "mainwindow/graph_state.h"
#include "ui/painter_canvas_qt.h"
#include "mainwindow/text_mouse.h"
#include "mainwindow/text_page_layout.h"
#include "ui/view_state.h"
#include "tests/ui_support/engine_session.h"

namespace quilor::ui {
namespace {

using testing_support::EngineSession;

// A text page as the main window shows it: drawn into an image, the mouse to TextMouse.
class PageWidget : public QWidget {
 public:
  PageWidget(MainWindowPort& port, std::vector<std::string>& panel)
      : mouse(
            port, [this](int x, int y) { return page.WordAt(x, y); },
            [&panel](const std::string& s) { panel.push_back(s); }) {
    setMouseTracking(true);
  }
  void Layout() {
    image = QImage(size(), QImage::Format_RGB32);
    QPainter painter(&image);
    PainterCanvas canvas(painter);
    TextWords.Rewind();
    TextWords.SaveCursor(1);
    page.DrawPage(canvas, {0, 0, width(), height()});
  }
  TExtraitDuTexte page;
  TextMouse mouse;
  QImage image;

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, image); }
  void mouseMoveEvent(QMouseEvent* e) override {
    mouse.MouseMove(e->position().toPoint().x(), e->position().toPoint().y(), false);
  }
};

class ViewMouseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session_ = std::make_unique<EngineSession>();
    ASSERT_TRUE(session_->Started());
    ViewState.Reset();
    ViewState.graph.Reset();
    ViewState.selection.Clear();
    ASSERT_TRUE(session_->Analyse({EngineSession::SamplePath("sample.txt")}));
    ColorationSyntaxique();
  }
  void TearDown() override {
    ViewState.selection.Clear();
    ViewState.Reset();
    ViewState.graph.Reset();
    session_.reset();
  }
  std::unique_ptr<EngineSession> session_;
  FakeMainWindow main_;
};

TEST_F(ViewMouseTest, HoveringAWordShowsItsPlaceAndCategoryOnce) {
  std::vector<std::string> panel;
  PageWidget widget(main_, panel);
  widget.resize(700, 300);
  widget.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
  widget.Layout();
  ASSERT_GT(widget.page.LineCount(), 0);
  // The third item of the first line: a word.
  const TPageLine& line = widget.page.Line(0);
  ASSERT_GE(line.count, 3);
  const TPageItem& item = line.items[3];
  const QPoint at(item.right - 2, line.bottom - 4);
  QTest::mouseMove(&widget, at);
  QTest::mouseMove(&widget, at + QPoint(-1, 0));
  ASSERT_EQ(panel.size(), 1u);
  EXPECT_EQ(panel[0], std::to_string(item.position) + "/" + std::to_string(TextWords.HighestPosition()));
  ASSERT_EQ(main_.messages.size(), 1u);
  EXPECT_EQ(main_.messages[0], DescribeCategory(item.category, true));
  EXPECT_EQ(widget.mouse.Hint(), "Click me");
}

TEST_F(ViewMouseTest, TheStarGraphOfTheSampleSelectsAClassOnClick) {
  EngineGraphSource source;
  ViewState.GraphShown = true;
  Options->Set(opt::GraphKind, 2);
  // A class that has a predecessor in the relations of the sample.
  const std::vector<TClassPair> pairs = source.PairsByCount(1);
  ASSERT_FALSE(pairs.empty());
  const uint32_t selected = pairs[0].second != pairs[0].first ? pairs[0].second : pairs[1].second;
  ASSERT_TRUE(SelectClassByName(ViewState.selection, 1, source.ClassName(1, static_cast<int32_t>(selected))));
  ViewState.SelectionActive = true;
  GraphPanel panel(source, main_);
  panel.resize(800, 400);
  panel.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
  panel.Refresh();
  // The first class of the left band.
  int row = 1;
  while (row < kHitRows && GraphHitTable[2][row] == 0) ++row;
  ASSERT_LT(row, kHitRows);
  const int32_t cls = GraphHitTable[2][row];
  QTest::mouseClick(panel.Picture(), Qt::LeftButton, {},
                    QPoint((GraphHitTable[1][0] + GraphHitTable[2][0]) / 2, GraphHitTable[0][row] - 3));
  EXPECT_EQ(ViewState.selection.kind, kSelectClass);
  EXPECT_EQ(ViewState.selection.firstClass, static_cast<uint32_t>(cls));
  EXPECT_EQ(ViewState.selection.firstTerm, source.ClassName(1, cls));
  EXPECT_EQ(main_.redraws, 1);
}

}  // namespace
}  // namespace quilor::ui
