// Clicks and hovers on the graph and the text page.
#include <gtest/gtest.h>

#include "core/options.h"
#include "engine/category_counters.h"
#include "engine/selection.h"
#include "engine/word_list.h"
#include "mainwindow/graph.h"
#include "mainwindow/graph_mouse.h"
#include "mainwindow/graph_state.h"
#include "ui/recording_canvas.h"
#include "ui/result_type_codes.h"
#include "mainwindow/text_mouse.h"
#include "ui/view_state.h"
#include "tests/mainwindow/fake_graph_source.h"

namespace quilor::ui {
namespace {

using testing::FakeGraphSource;

class GraphMouseTest : public ::testing::Test {
 protected:
  GraphMouseTest()
      : graph(source), mouse(graph, source, port, [this](int32_t mode) {
          modes.push_back(mode);
          Draw(mode);
        }) {}
  void SetUp() override {
    Options->ResetSettings();
    ViewState.selection.Clear();
    ViewState.graph.Reset();
    ViewState.Reset();
    ViewState.GraphShown = true;
    source.names = {{1, "A"}, {2, "B"}, {3, "C"}};
    source.occurrences = {{1, 5}, {2, 6}, {3, 7}};
    source.predecessors = {{5, 1}, {3, 2}};
    source.successors = {{4, 3}};
    source.pairs = {{1, 2, 5}, {2, 3, 4}};  // A -> B, B -> C
  }
  void TearDown() override {
    Options->ResetSettings();
    ViewState.selection.Clear();
    ViewState.graph.Reset();
    ViewState.Reset();
  }
  void Draw(int32_t mode = kModeRedraw) {
    canvas.Clear();
    graph.Draw(canvas, {0, 0, 600, 300}, mode,
               ViewState.selection.firstTerm.empty() ? "word" : ViewState.selection.firstTerm);
  }
  // A point inside row r of a band of the star grid (column 2 left, 4 right).
  static Point InStarCell(int column, int r) {
    return {(GraphHitTable[column - 1][0] + GraphHitTable[column][0]) / 2, GraphHitTable[0][r] - 3};
  }
  static int RowOf(int column, int32_t cls) {
    for (int r = 1; r < kHitRows; ++r)
      if (GraphHitTable[column][r] == cls) return r;
    return 0;
  }

  FakeGraphSource source;
  FakeMainWindow port;
  TGrapheQuilor graph;
  std::vector<int32_t> modes;
  GraphMouse mouse;
  RecordingCanvas canvas;
};

TEST_F(GraphMouseTest, ALeftBandClickSelectsTheClassAndPutsItFirstInThePair) {
  Options->Set(opt::GraphKind, kGraphStar);
  ViewState.graph.SelectedRelationPair[0] = 9;
  Draw();
  const Point p = InStarCell(2, RowOf(2, 2));
  mouse.MouseUp(p.x, p.y, {.left = true});
  EXPECT_TRUE(ViewState.SelectionActive);
  EXPECT_EQ(ViewState.selection.kind, kSelectClass);
  EXPECT_EQ(ViewState.selection.firstClass, 2u);
  EXPECT_EQ(ViewState.selection.firstTerm, "B");
  EXPECT_EQ(ViewState.selection.classLevel, 1);
  EXPECT_EQ(ViewState.graph.SelectedRelationPair[0], 2u);
  EXPECT_EQ(ViewState.graph.SelectedRelationPair[1], 9u);
  EXPECT_EQ(ViewState.CurrentResultTypeEntry, 3);  // References
  EXPECT_EQ(port.redraws, 1);
  EXPECT_TRUE(ViewState.ExtractMode);

  // A right-band click puts the class second.
  Draw();
  const Point q = InStarCell(4, RowOf(4, 3));
  mouse.MouseUp(q.x, q.y, {.left = true});
  EXPECT_EQ(ViewState.selection.firstClass, 3u);
  EXPECT_EQ(ViewState.graph.SelectedRelationPair[0], 9u);
  EXPECT_EQ(ViewState.graph.SelectedRelationPair[1], 3u);
}

TEST_F(GraphMouseTest, AClickBesideEveryObjectPutsTheSelectionBack) {
  Options->Set(opt::GraphKind, kGraphStar);
  Draw();
  ViewState.selection.kind = kSelectLexicalEntry;
  ViewState.selection.firstClass = 7;
  ViewState.selection.firstTerm = "run";
  ViewState.SelectionActive = true;
  ViewState.CurrentResultTypeEntry = 8;
  ViewState.graph.SelectedRelationPair[0] = 4;
  ViewState.graph.LastResultType = 8;
  const TSelection before = ViewState.selection;
  mouse.MouseUp(599, 299, {.left = true, .ctrl = true});
  EXPECT_EQ(ViewState.selection.kind, before.kind);
  EXPECT_EQ(ViewState.selection.firstClass, 7u);
  EXPECT_EQ(ViewState.selection.firstTerm, "run");
  EXPECT_EQ(ViewState.CurrentResultTypeEntry, 8);
  EXPECT_EQ(ViewState.graph.SelectedRelationPair[0], 4u);
  EXPECT_EQ(port.redraws, 0);
  // The right button never selects.
  Draw();
  const Point p = InStarCell(2, RowOf(2, 1));
  mouse.MouseUp(p.x, p.y, {.right = true});
  EXPECT_EQ(ViewState.selection.firstClass, 7u);
}

TEST_F(GraphMouseTest, AtTheScenarioLevelAClickShowsTheScenarioList) {
  Options->Set(opt::GraphKind, kGraphStar);
  source.relationBase = 4;
  Draw();
  const Point p = InStarCell(2, RowOf(2, 1));
  mouse.MouseUp(p.x, p.y, {.left = true});
  EXPECT_EQ(ViewState.CurrentResultTypeEntry, 4);
  EXPECT_EQ(ResultTypeCodeOf(ViewState.CurrentResultTypeEntry), 8);
  ASSERT_FALSE(port.shownTypes.empty());
  EXPECT_EQ(port.shownTypes.back(), 4);
  EXPECT_EQ(ViewState.selection.kind, kSelectClass);
  EXPECT_EQ(ViewState.selection.classLevel, 4);
}

TEST_F(GraphMouseTest, CtrlClickGoesFromTheClassToItsRelationAndBack) {
  Options->Set(opt::GraphKind, kGraphStar);
  Draw();
  const Point p = InStarCell(2, RowOf(2, 1));
  mouse.MouseUp(p.x, p.y, {.left = true});
  ASSERT_EQ(ViewState.selection.kind, kSelectClass);
  Draw();
  // Ctrl: the relations list with the pair (A, A), then the click shifts it.
  const Point q = InStarCell(4, RowOf(4, 2));
  mouse.MouseUp(q.x, q.y, {.left = true, .ctrl = true});
  EXPECT_EQ(ViewState.CurrentResultTypeEntry, kIndexRelations);
  EXPECT_EQ(ViewState.selection.kind, kSelectRelation);
  EXPECT_EQ(ViewState.selection.firstClass, 1u);
  EXPECT_EQ(ViewState.selection.secondClass, 2u);
  EXPECT_EQ(ViewState.selection.firstTerm, "A");
  EXPECT_EQ(ViewState.selection.secondTerm, "B");
  // Ctrl on the relation goes back to the class list of the relation base.
  Draw();
  const Point r = InStarCell(4, RowOf(4, 2));
  mouse.MouseUp(r.x, r.y, {.left = true, .ctrl = true});
  EXPECT_EQ(ViewState.CurrentResultTypeEntry, 3);
  EXPECT_EQ(ViewState.graph.LastResultType, 3);
  EXPECT_EQ(ViewState.selection.kind, kSelectClass);
  EXPECT_EQ(ViewState.selection.firstClass, 2u);
}

TEST_F(GraphMouseTest, ShiftAndCtrlShiftChangeTheNumberOfObjects) {
  Options->Set(opt::GraphKind, kGraphAreas);
  ViewState.SelectionActive = true;
  ViewState.selection.kind = kSelectClass;
  ViewState.selection.classLevel = 1;
  ViewState.selection.firstClass = 1;
  ViewState.selection.firstTerm = "A";
  source.pairs = {{2, 1, 3}, {1, 3, 2}};
  Options->Set(opt::GraphMaxObjects, 30);
  Draw();
  ASSERT_LE(graph.ItemCount(), 6);
  mouse.MouseUp(10, 10, {.left = true, .shift = true});
  EXPECT_EQ(Options->Get(opt::GraphMaxObjects), 30);
  mouse.MouseUp(10, 10, {.left = true, .shift = true, .ctrl = true});
  EXPECT_EQ(Options->Get(opt::GraphMaxObjects), 34);
  Options->Set(opt::GraphMaxObjects, 98);
  mouse.MouseUp(10, 10, {.left = true, .shift = true, .ctrl = true});
  EXPECT_EQ(Options->Get(opt::GraphMaxObjects), 100);
  modes.clear();
  mouse.MouseUp(10, 10, {.left = true, .shift = true, .ctrl = true});
  EXPECT_EQ(Options->Get(opt::GraphMaxObjects), 100);
  EXPECT_TRUE(modes.empty());  // Seven objects or more: a shift-click shows four fewer than are drawn;
  // six, none fewer.
  for (int32_t c = 4; c <= 10; ++c) {
    source.names[c] = "c" + std::to_string(c);
    source.occurrences[c] = 2;
    source.pairs.push_back({static_cast<uint32_t>(c), 1, 1});
  }
  for (int maximum : {10, 30}) {
    Options->Set(opt::GraphMaxObjects, static_cast<uint16_t>(maximum));
    Draw();
    const int drawn = graph.ItemCount();
    ASSERT_EQ(drawn, std::min(maximum / 2, 8) + 1);  // eight before the class, one after
    modes.clear();
    mouse.MouseUp(10, 10, {.left = true, .shift = true});
    EXPECT_EQ(Options->Get(opt::GraphMaxObjects), drawn > 6 ? drawn - 4 : maximum);
    EXPECT_EQ(modes.size(), drawn > 6 ? 1u : 0u);
  }
}

TEST_F(GraphMouseTest, HoveringAClassHighlightsItOnceAndNamesIt) {
  Options->Set(opt::GraphKind, kGraphStar);
  Draw();
  const Point p = InStarCell(2, RowOf(2, 2));
  mouse.MouseMove(p.x, p.y, {});
  mouse.MouseMove(p.x + 1, p.y, {});
  EXPECT_EQ(modes, (std::vector<int32_t>{2}));
  ASSERT_FALSE(port.messages.empty());
  EXPECT_EQ(port.messages.back(), "B");
  // Not while the button is down.
  const Point q = InStarCell(2, RowOf(2, 1));
  mouse.MouseMove(q.x, q.y, {.left = true});
  EXPECT_EQ(modes.size(), 1u);
}

TEST_F(GraphMouseTest, AClickOnABarShowsThatPartOfTheText) {
  Options->Set(opt::GraphKind, kGraphDistribution);
  source.highest = 50;
  source.counted = {3, 30};
  Draw();
  mouse.MouseUp(4 + 2 * 14 * 5 + 2, 200, {.left = true});
  EXPECT_EQ(ViewState.DisplayIndex, 4);
  EXPECT_EQ(ViewState.TextPartStart, 10);
  EXPECT_EQ(port.redraws, 1);
}

// A click on a burst of the bursts graph selects its class, shows the class's
// list and the part of the text the burst spans; a burst of a category names
// the category and shows its part; a class the level does not hold selects
// nothing.
TEST_F(GraphMouseTest, AClickOnABurstSelectsItsClassAndShowsItsPart) {
  Options->Set(opt::GraphKind, kGraphBursts);
  source.highest = 1000;
  source.bursts = {{2, 1, 3, 100, 180, 0}, {-5, 1, 4, 300, 420, 0}, {9, 2, 3, 600, 700, 0}};
  source.classBursts = 2;
  source.names[2] = "burst2";
  Draw();
  auto clickOn = [&](const std::string& label) {
    for (const DrawOp& op : canvas.Ops())
      if (op.kind == DrawOp::kText && op.text == label) {
        mouse.MouseUp(op.points[0].x + 3, op.points[0].y + 5, {.left = true});
        return true;
      }
    return false;
  };
  ASSERT_TRUE(clickOn("burst2"));
  EXPECT_EQ(ViewState.selection.kind, kSelectClass);
  EXPECT_EQ(ViewState.selection.firstTerm, "burst2");
  EXPECT_EQ(ViewState.selection.firstClass, 2u);
  EXPECT_EQ(ViewState.selection.classLevel, 1);
  ASSERT_FALSE(port.shownTypes.empty());
  EXPECT_EQ(port.shownTypes.back(), ClassListIndexOfLevel(1));
  EXPECT_EQ(ViewState.graph.ChosenBurstClass, 2);
  EXPECT_EQ(ViewState.graph.ChosenEpisode, 1);
  EXPECT_EQ(ViewState.TextPartStart, 100);
  EXPECT_EQ(ViewState.TextViewWordLimit, 180);

  Draw();
  const size_t shown = port.shownTypes.size();
  ASSERT_TRUE(clickOn("burst-5"));
  ASSERT_FALSE(port.infos.empty());
  EXPECT_EQ(port.infos.back(), CategoryLabel(5));
  EXPECT_EQ(port.shownTypes.size(), shown);  // no class list for a category
  EXPECT_EQ(ViewState.TextPartStart, 300);
  EXPECT_EQ(ViewState.TextViewWordLimit, 420);

  Draw();
  ASSERT_TRUE(clickOn("burst9"));
  EXPECT_EQ(ViewState.graph.ChosenEpisode, 2);
  EXPECT_EQ(ViewState.TextPartStart, 300);  // unchanged: class 9 is not at the relation level
  EXPECT_EQ(port.shownTypes.size(), shown);
}

TEST(TextMouse, HoveringAWordWritesItsPlaceAndCategoryOnce) {
  FakeMainWindow port;
  std::vector<std::string> panel;
  int calls = 0;
  TextMouse mouse(
      port,
      [&](int x, int) {
        ++calls;
        TPageItem hit;
        hit.position = x < 100 ? 12 : x < 300 ? 13 : 14;
        hit.kind = x < 300 ? kItemWord : kItemHeader;
        SetFactiveVerb(hit.category);
        return std::optional<TPageItem>(hit);
      },
      [&](const std::string& s) { panel.push_back(s); });
  mouse.MouseMove(10, 5, false);
  mouse.MouseMove(11, 5, false);
  EXPECT_EQ(calls, 2);
  ASSERT_EQ(panel.size(), 1u);
  EXPECT_EQ(panel[0].substr(0, 3), "12/");
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_NE(port.messages[0].find("Verb"), std::string::npos);
  EXPECT_EQ(mouse.Hint(), "Click me");
  mouse.MouseMove(150, 5, false);
  EXPECT_EQ(port.messages.size(), 2u);
  // A document's header offers its context.
  mouse.MouseMove(300, 5, false);
  ASSERT_EQ(port.messages.size(), 3u);
  EXPECT_EQ(port.messages[2], "Click here to show the context");
  EXPECT_EQ(mouse.Hint(), "Click here to show the context");
  port.textLoaded = false;
  mouse.MouseMove(10, 5, false);
  EXPECT_EQ(port.messages.size(), 3u);
  ViewState.Reset();
}

// A drag from the text names the word it began on before the hovered
// category; a drag begun on no word (position 0, though the text opens with a
// mark there) or on a document's header names none.
TEST(TextMouse, ADragNamesTheWordItBeganOnAndOnlyAWord) {
  FakeMainWindow port;
  TextMouse mouse(
      port, [](int, int) { return std::optional<TPageItem>(); }, [](const std::string&) {});
  TextWords.Clear();
  TWordCategoryData d;
  TextWords.Append("/", "\"", 0, 1, 0, &d);
  TextWords.Append("river", " ", 0, 1, 1, &d);
  TextWords.Append("sea", " ", 0, 1, 2, &d);
  ViewState.graph.HintBuffer = " (noun)";
  std::string hint;
  for (int32_t position : {1, 2, 0, 3}) {
    ViewState.HitWordPosition = position;
    mouse.StartDrag();
    ASSERT_TRUE(mouse.EndDrag(hint));
    EXPECT_EQ(hint, position == 1 ? "river (noun)" : position == 2 ? "sea (noun)" : " (noun)") << position;
  }
  ViewState.HitItemKind = kItemHeader;
  EXPECT_FALSE(mouse.EndDrag(hint));
  // Nothing under the mouse forgets the category hovered last.
  port.textLoaded = true;
  mouse.MouseMove(1, 1, false);
  EXPECT_TRUE(ViewState.graph.HintBuffer.empty());
  ViewState.Reset();
  TextWords.Clear();
}

}  // namespace
}  // namespace quilor::ui
