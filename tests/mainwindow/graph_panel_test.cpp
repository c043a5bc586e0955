// The graph panel driven with the mouse, offscreen.
#include <gtest/gtest.h>

#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "core/options.h"
#include "engine/selection.h"
#include "mainwindow/graph_panel_widget.h"
#include "mainwindow/graph_state.h"
#include "ui/result_type_codes.h"
#include "ui/view_state.h"
#include "tests/mainwindow/fake_graph_source.h"

namespace quilor::ui {
namespace {

class GraphPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Options->ResetSettings();
    Options->Set(opt::GraphKind, kGraphStar);
    ViewState.selection.Clear();
    ViewState.graph.Reset();
    ViewState.Reset();
    ViewState.GraphShown = true;
    source.names = {{1, "A"}, {2, "B"}, {3, "C"}};
    source.predecessors = {{5, 1}, {3, 2}};
    source.successors = {{4, 3}};
    panel = std::make_unique<GraphPanel>(source, port);
    panel->resize(600, 340);
    panel->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
    ViewState.selection.firstTerm = "word";
    panel->Refresh();
  }
  void TearDown() override {
    panel.reset();
    Options->ResetSettings();
    ViewState.selection.Clear();
    ViewState.graph.Reset();
    ViewState.Reset();
  }
  // The middle of the star grid's cell of a class (column 2 left, 4 right).
  static QPoint CellOf(int column, int32_t cls) {
    for (int r = 1; r < kHitRows; ++r)
      if (GraphHitTable[column][r] == cls)
        return {(GraphHitTable[column - 1][0] + GraphHitTable[column][0]) / 2, GraphHitTable[0][r] - 3};
    return {};
  }

  testing::FakeGraphSource source;
  FakeMainWindow port;
  std::unique_ptr<GraphPanel> panel;
};

TEST_F(GraphPanelTest, HoveringAndClickingTheStarGraph) {
  const QPoint b = CellOf(2, 2);
  ASSERT_FALSE(b.isNull());
  QTest::mouseMove(panel->Picture(), b);
  ASSERT_FALSE(port.messages.empty());
  EXPECT_EQ(port.messages.back(), "B");
  ViewState.graph.SelectedRelationPair[0] = 3;
  QTest::mouseClick(panel->Picture(), Qt::LeftButton, {}, b);
  EXPECT_EQ(ViewState.selection.kind, kSelectClass);
  EXPECT_EQ(ViewState.selection.firstClass, 2u);
  EXPECT_EQ(ViewState.graph.SelectedRelationPair[0], 2u);
  EXPECT_EQ(ViewState.graph.SelectedRelationPair[1], 3u);
  EXPECT_EQ(port.redraws, 1);
}

TEST_F(GraphPanelTest, AClickBesideEverythingChangesNothing) {
  ViewState.selection.kind = kSelectLexicalEntry;
  ViewState.SelectionActive = true;
  ViewState.selection.firstClass = 8;
  QTest::mouseClick(panel->Picture(), Qt::LeftButton, {}, QPoint(2, panel->Picture()->height() - 3));
  EXPECT_EQ(ViewState.selection.kind, kSelectLexicalEntry);
  EXPECT_EQ(ViewState.selection.firstClass, 8u);
  EXPECT_EQ(port.redraws, 0);
}

TEST_F(GraphPanelTest, AtTheScenarioLevelAClickShowsTheScenarioList) {
  source.relationBase = 4;
  panel->Refresh();
  QTest::mouseClick(panel->Picture(), Qt::LeftButton, {}, CellOf(4, 3));
  EXPECT_EQ(ResultTypeCodeOf(ViewState.CurrentResultTypeEntry), 8);
  ASSERT_FALSE(port.shownTypes.empty());
  EXPECT_EQ(port.shownTypes.back(), 4);
}

TEST_F(GraphPanelTest, ThePopupNamesEachKindByItsGraphLabel) {
  QStringList captions;
  for (int kind = 1; kind <= 5; ++kind) captions << panel->Popup()->actions()[kind - 1]->text();
  EXPECT_EQ(captions,
            (QStringList{"Graph: Area", "Graph: Star", "Graph: Distribution", "Graph: Episodes", "Graph: Actors"}));
}

TEST_F(GraphPanelTest, ToolButtonsAndPopupChooseTheKind) {
  panel->KindButton(kGraphDistribution)->click();
  EXPECT_EQ(Options->Get(opt::GraphKind), kGraphDistribution);
  EXPECT_TRUE(panel->KindButton(kGraphDistribution)->isChecked());
  EXPECT_FALSE(panel->KindButton(kGraphStar)->isChecked());
  EXPECT_EQ(port.redraws, 1);  // the graph was shown: only a redraw
  panel->Popup()->actions()[kGraphActors - 1]->trigger();
  EXPECT_EQ(Options->Get(opt::GraphKind), kGraphActors);
  EXPECT_EQ(port.redraws, 2);
  // Without a graph shown the popup only sets the kind.
  ViewState.GraphShown = false;
  panel->Popup()->actions()[kGraphAreas - 1]->trigger();
  EXPECT_EQ(Options->Get(opt::GraphKind), kGraphAreas);
  EXPECT_EQ(port.redraws, 2);
  // Without a text a kind button only sets the kind; with one it asks for the graph.
  QSignalSpy asked(panel.get(), &GraphPanel::graphRequested);
  for (bool text : {false, true}) {
    port.textLoaded = text;
    panel->KindButton(kGraphStar)->click();
    EXPECT_EQ(Options->Get(opt::GraphKind), kGraphStar);
    EXPECT_EQ(ViewState.GraphShown, text);
    EXPECT_EQ(asked.count(), text ? 1 : 0);
  }
  EXPECT_EQ(port.redraws, 2);
}

}  // namespace
}  // namespace quilor::ui
