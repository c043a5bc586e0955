// The graphs' layouts on a recording canvas, with the test's own figures.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/options.h"
#include "engine/selection.h"
#include "mainwindow/graph.h"
#include "mainwindow/graph_labels.h"
#include "mainwindow/graph_state.h"
#include "ui/view_state.h"
#include "ui/recording_canvas.h"
#include "tests/mainwindow/fake_graph_source.h"

namespace quilor::ui {
namespace {

using testing::FakeGraphSource;

class GraphTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Options->ResetSettings();
    ViewState.selection.Clear();
    ViewState.graph.Reset();
    ViewState.Reset();
    ViewState.GraphShown = true;
  }
  void TearDown() override {
    Options->ResetSettings();
    ViewState.selection.Clear();
    ViewState.graph.Reset();
    ViewState.Reset();
  }
  void SetKind(int kind) { Options->Set(opt::GraphKind, static_cast<uint16_t>(kind)); }
  // A class selection of `cls` at level 1 (the area and actors graphs).
  void SelectClass(uint32_t cls) {
    ViewState.SelectionActive = true;
    ViewState.selection.kind = kSelectClass;
    ViewState.selection.classLevel = 1;
    ViewState.selection.firstClass = cls;
  }
  // "sel" (class 1, 9 occurrences) and the actors 2..last related to it,
  // each met more often and more often before its verb than the one before.
  void RelateActors(int32_t last) {
    source.names[1] = "sel";
    source.occurrences[1] = 9;
    for (int32_t c = 2; c <= last; ++c) {
      source.names[c] = "a" + std::to_string(c);
      source.occurrences[c] = static_cast<uint32_t>(c + 2);
      source.preVerb[c] = static_cast<uint32_t>(c);
      source.candidates.push_back(c);
      source.pairs.push_back({1, static_cast<uint32_t>(c), static_cast<uint32_t>(c)});
    }
  }
  static const DrawOp* FindText(const RecordingCanvas& c, const std::string& text) {
    for (const DrawOp& op : c.Ops())
      if (op.kind == DrawOp::kText && op.text == text) return &op;
    return nullptr;
  }
  static int Count(const RecordingCanvas& c, DrawOp::Kind kind) {
    return static_cast<int>(
        std::count_if(c.Ops().begin(), c.Ops().end(), [kind](const DrawOp& op) { return op.kind == kind; }));
  }

  FakeGraphSource source;
  RecordingCanvas canvas;
};

TEST_F(GraphTest, PrepareGraphClampsTheMaximumAndPutsBackTheSize) {
  TGrapheQuilor graph(source);
  struct Row {
    int option, kind, expected;
  };
  for (const Row& row : {Row{2, kGraphAreas, 2}, Row{2, kGraphActors, 4}, Row{500, kGraphStar, 50},
                         Row{500, kGraphActors, 100}, Row{30, kGraphAreas, 15}}) {
    Options->Set(opt::GraphMaxObjects, static_cast<uint16_t>(row.option));
    SetKind(row.kind);
    graph.PrepareGraph();
    EXPECT_EQ(graph.MaximumObjects(), row.expected) << row.option << " kind " << row.kind;
  }
  for (int size : {0, 150}) {
    Options->Set(opt::GraphSetting344, static_cast<uint16_t>(size));
    graph.PrepareGraph();
    EXPECT_EQ(Options->Get(opt::GraphSetting344), 50);
  }
  Options->Set(opt::GraphSetting344, 70);
  graph.PrepareGraph();
  EXPECT_EQ(Options->Get(opt::GraphSetting344), 70);
}

TEST_F(GraphTest, StarGraphSumsTheRowsOfOneClassWhereTheFormulaPutsThem) {
  SetKind(kGraphStar);
  source.names = {{1, "A"}, {2, "B"}};
  source.predecessors = {{5, 1}, {3, 2}, {2, 1}};
  TGrapheQuilor graph(source);
  graph.Draw(canvas, {0, 0, 600, 300}, kModeRedraw, "word");
  // Rows of 17 pixels: 17 rows, 15 in use; two items start at row 1 + (15 - 2 - 1) div 2 = 7.
  ASSERT_EQ(graph.RowHeight(), 17);
  ASSERT_EQ(graph.RowsInUse(), 15);
  EXPECT_EQ(GraphHitTable[2][7], 1);
  EXPECT_EQ(GraphHitTable[2][8], 2);
  EXPECT_EQ(GraphHitTable[2][9], 0);
  EXPECT_EQ(GraphHitTable[0][7], 2 + 7 * 17);
  // Left band: base x = (600 - 300) div 2 + 2 x 15 = 180; rows 7 and 8 lie past the middle row.
  const DrawOp* a = FindText(canvas, "A");
  const DrawOp* b = FindText(canvas, "B");
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->points[0].x, 180 - 8 * (15 - 7) - 5 + 2);
  EXPECT_EQ(b->points[0].x, 180 - 8 * (15 - 8) - 5 + 2);
  const DrawOp* seven = FindText(canvas, "7");
  const DrawOp* three = FindText(canvas, "3");
  ASSERT_TRUE(seven && three);
  EXPECT_EQ(seven->points[0].x, 116 + 5 + 2);  // beside the inner edge of A's box
  EXPECT_EQ(FindText(canvas, "5"), nullptr);
  EXPECT_TRUE(ViewState.GraphDrawn);
}

TEST_F(GraphTest, StarGraphEndsALongListWithDotsAndMendsTheCentreOnPaper) {
  SetKind(kGraphStar);
  for (uint32_t c = 1; c <= 40; ++c) {
    source.names[static_cast<int32_t>(c)] = "C" + std::to_string(c);
    source.successors.push_back({40 - c + 1, c});
  }
  TGrapheQuilor graph(source);
  graph.Draw(canvas, {0, 0, 600, 200}, kModeRedraw, "word");
  const int rows = graph.RowsInUse();
  ASSERT_GT(rows, 0);
  for (int r = 1; r <= rows; ++r) EXPECT_NE(GraphHitTable[4][r], 0) << r;
  EXPECT_NE(FindText(canvas, "..."), nullptr);

  // A rectangle that starts at x = 100 puts the centre box at 100 + 300.
  canvas.Clear();
  graph.Draw(canvas, {100, 0, 700, 200}, kModeRedraw, "word");
  const DrawOp* centre = FindText(canvas, "word");
  ASSERT_TRUE(centre);
  EXPECT_EQ(centre->points[0].x, 400 - 14 - 2 + 2);
  EXPECT_EQ(GraphHitTable[1][0], 100);
}

TEST_F(GraphTest, StarGraphWithoutNeighboursNamesTheLevel) {
  SetKind(kGraphStar);
  source.relationBase = 3;
  ViewState.SelectionActive = true;
  ViewState.selection.kind = kSelectLexicalEntry;
  TGrapheQuilor graph(source);
  graph.Draw(canvas, {0, 0, 500, 300}, kModeRedraw, "run");
  EXPECT_NE(FindText(canvas, "No relation found (Reference fields 1)"), nullptr);
  EXPECT_EQ(ViewState.selection.classLevel, 3);
  // A failed collection leaves only the background.
  source.neighboursFail = true;
  canvas.Clear();
  graph.Draw(canvas, {0, 0, 500, 300}, kModeRedraw, "run");
  EXPECT_EQ(canvas.Texts().size(), 0u);
}

TEST_F(GraphTest, ALemmaTitleTakesItsCategoryColourAndABadCategoryTheClassColour) {
  SetKind(kGraphStar);
  source.predecessors = {{2, 1}};
  source.names = {{1, "A"}};
  ViewState.graph.SelectedRelationPair[0] = 0;
  ViewState.SelectionActive = true;
  ViewState.selection.kind = kSelectLexicalEntry;
  for (uint8_t category : {uint8_t{1}, uint8_t{200}}) {
    ViewState.selection.majorClass = category;
    canvas.Clear();
    TGrapheQuilor graph(source);
    graph.Draw(canvas, {0, 0, 500, 300}, kModeRedraw, "run");
    const DrawOp* title = FindText(canvas, "run");
    ASSERT_TRUE(title);
    EXPECT_EQ(title->font.colour, Options->Get(opt::Colour(category == 1 ? 1 : 11))) << int(category);
  }
}

TEST_F(GraphTest, StarGraphInRelationModeReadsThePairsOfTheSelectedClass) {
  SetKind(kGraphStar);
  source.names = {{1, "sel"}, {2, "before"}, {3, "after"}};
  source.pairs = {{2, 1, 4}, {1, 3, 6}, {1, 1, 2}};
  SelectClass(1);
  TGrapheQuilor graph(source);
  graph.Draw(canvas, {0, 0, 500, 300}, kModeRedraw, "sel");
  EXPECT_NE(FindText(canvas, "before"), nullptr);
  EXPECT_NE(FindText(canvas, "after"), nullptr);
  EXPECT_NE(FindText(canvas, "4"), nullptr);
  EXPECT_NE(FindText(canvas, "6"), nullptr);
  // A title that is no class draws nothing but the background.
  canvas.Clear();
  graph.Draw(canvas, {0, 0, 500, 300}, kModeRedraw, "nothing");
  EXPECT_TRUE(canvas.Texts().empty());
}

// The colours of the options, each in its place: the boxes of role 14
// outlined in role 12, the centre's name in role 11, the links in role 13 and
// each side's counts in its own; printed in black, black on white, no counts.
TEST_F(GraphTest, TheStarGraphTakesTheColoursOfTheOptionsOrBlackOnPaper) {
  SetKind(kGraphStar);
  auto role = [](size_t r) { return static_cast<Rgb>(0x10000 * r + 0x100 * (r - 10) + r); };
  for (size_t r = 11; r <= 15; ++r) Options->Set(opt::Colour(r), role(r));
  source.names = {{1, "sel"}, {2, "before"}, {3, "after"}};
  source.pairs = {{2, 1, 4}, {1, 3, 6}};
  SelectClass(1);
  TGrapheQuilor graph(source);
  graph.Draw(canvas, {0, 0, 500, 300}, kModeRedraw, "sel");
  std::vector<const DrawOp*> boxes;
  int links = 0;
  for (const DrawOp& op : canvas.Ops()) {
    if (op.kind == DrawOp::kRectangle) boxes.push_back(&op);
    if (op.kind == DrawOp::kLine && op.pen == role(13)) ++links;
  }
  ASSERT_EQ(boxes.size(), 3u);  // the centre, then one box each side
  for (const DrawOp* box : boxes) {
    EXPECT_EQ(box->pen, role(12));
    EXPECT_EQ(box->brush, role(14));
    EXPECT_EQ(box->brushStyle, box == boxes[0] ? BrushStyle::kClear : BrushStyle::kSolid);
  }
  EXPECT_EQ(links, 2);
  ASSERT_TRUE(FindText(canvas, "sel") && FindText(canvas, "before") && FindText(canvas, "4") && FindText(canvas, "6"));
  EXPECT_EQ(FindText(canvas, "sel")->font.colour, role(11));
  EXPECT_EQ(FindText(canvas, "before")->font.colour, kBlack);
  EXPECT_EQ(FindText(canvas, "4")->font.colour, role(12));
  EXPECT_EQ(FindText(canvas, "6")->font.colour, role(13));

  canvas.Clear();
  graph.SetPrinting(true, false);
  graph.Draw(canvas, {0, 0, 500, 300}, kModeRedraw, "sel");
  ASSERT_NE(FindText(canvas, "after"), nullptr);
  EXPECT_EQ(FindText(canvas, "4"), nullptr);
  for (const DrawOp& op : canvas.Ops()) {
    EXPECT_EQ(op.kind == DrawOp::kText ? op.font.colour : op.pen, kBlack) << op.kind << op.text;
    if (op.kind == DrawOp::kRectangle) {
      EXPECT_TRUE(op.brush == kWhite || op.brushStyle == BrushStyle::kClear);
    }
  }
}

// Below the Scenario level the title names the class of the area and actors
// graphs (a title that is no class draws nothing); at the Scenario level the
// selection keeps its own class whatever the title.
TEST_F(GraphTest, TheTitleNamesTheClassOfTheAreaAndActorsGraphsBelowTheScenarioLevel) {
  source.names = {{1, "sel"}, {2, "x"}, {3, "y"}};
  source.occurrences = {{1, 4}, {2, 5}, {3, 6}};
  source.pairs = {{2, 1, 3}, {3, 2, 2}};
  for (int kind : {kGraphAreas, kGraphActors}) {
    SetKind(kind);
    SelectClass(1);
    TGrapheQuilor graph(source);
    canvas.Clear();
    graph.Draw(canvas, {0, 0, 400, 300}, kModeRedraw, "x");
    EXPECT_EQ(ViewState.selection.firstClass, 2u) << kind;
    EXPECT_FALSE(canvas.Texts().empty()) << kind;
    canvas.Clear();
    graph.Draw(canvas, {0, 0, 400, 300}, kModeRedraw, "nothing");
    EXPECT_TRUE(canvas.Texts().empty()) << kind;
    ViewState.selection.classLevel = 4;
    ViewState.selection.firstClass = 1;
    canvas.Clear();
    graph.Draw(canvas, {0, 0, 400, 300}, kModeRedraw, "group");
    EXPECT_EQ(ViewState.selection.firstClass, 1u) << kind;
    EXPECT_FALSE(canvas.Texts().empty()) << kind;
  }
}

TEST_F(GraphTest, AreaGraphKeepsEachSideToHalfTheMaximumInsideTheRectangle) {
  SetKind(kGraphAreas);
  Options->Set(opt::GraphMaxObjects, 8);
  source.names[1] = "sel";
  source.occurrences[1] = 20;
  for (uint32_t c = 2; c <= 13; ++c) {
    source.names[static_cast<int32_t>(c)] = "c" + std::to_string(c);
    source.occurrences[static_cast<int32_t>(c)] = c * 3;
    // Even classes precede the selected one, odd ones follow it.
    source.pairs.push_back(c % 2 == 0 ? TClassPair{c, 1, 15 - c} : TClassPair{1, c, 15 - c});
  }
  SelectClass(1);
  TGrapheQuilor graph(source);
  const Rect rect{0, 0, 640, 400};
  graph.Draw(canvas, rect, kModeRedraw, "sel");
  ASSERT_EQ(graph.ItemCount(), 8);
  int left = 0, right = 0;
  for (int k = 0; k < graph.ItemCount(); ++k) {
    const Rect box{GraphHitTable[0][k], GraphHitTable[2][k], GraphHitTable[1][k], GraphHitTable[3][k]};
    EXPECT_GE(box.left, rect.left + 1);
    EXPECT_LE(box.right, rect.right);
    EXPECT_GE(box.top, rect.top);
    EXPECT_LE(box.bottom, rect.bottom);
    (GraphHitTable[4][k] % 2 == 0 ? left : right)++;
  }
  EXPECT_EQ(left, 4);
  EXPECT_EQ(right, 4);
  // On screen the outer rings reach past the rectangle, drawn clipped to it;
  // on paper only the rings that lie whole inside it are drawn.
  auto outside = [&](const Rect& frame) {
    int count = 0;
    for (const DrawOp& op : canvas.Ops()) {
      if (op.kind != DrawOp::kEllipse && op.kind != DrawOp::kShadedEllipse) continue;
      if (op.rect.left >= frame.left && op.rect.top >= frame.top && op.rect.right <= frame.right &&
          op.rect.bottom <= frame.bottom)
        continue;
      ++count;
      EXPECT_EQ(op.clip, frame);
    }
    return count;
  };
  EXPECT_GT(outside(rect), 0);
  canvas.Clear();
  graph.SetPrinting(true, true);
  const Rect page{20, 40, 620, 420};
  graph.Draw(canvas, page, kModeRedraw, "sel");
  EXPECT_EQ(outside(page), 0);
}

TEST_F(GraphTest, AreaGraphDrawsAroundAClassWithoutOccurrences) {
  SetKind(kGraphAreas);
  source.names = {{1, "sel"}, {2, "x"}, {3, "y"}};
  source.occurrences = {{2, 5}, {3, 0}};
  source.pairs = {{2, 1, 3}, {1, 3, 2}};
  SelectClass(1);
  TGrapheQuilor graph(source);
  graph.SetFixedScale(true);
  graph.Draw(canvas, {0, 0, 400, 300}, kModeRedraw, "sel");
  EXPECT_EQ(graph.ItemCount(), 1);  // y has no occurrences
  EXPECT_NE(FindText(canvas, "x"), nullptr);
  // Fixed scale with nothing placed.
  source.pairs.clear();
  canvas.Clear();
  graph.Draw(canvas, {0, 0, 400, 300}, kModeRedraw, "sel");
  EXPECT_EQ(graph.ItemCount(), 0);
  EXPECT_NE(FindText(canvas, "sel"), nullptr);
}

TEST_F(GraphTest, AreaGraphDrawsTheHighlightedClassLastAndFindsItFirst) {
  SetKind(kGraphAreas);
  source.names = {{1, "sel"}, {2, "x"}, {3, "y"}};
  source.occurrences = {{1, 4}, {2, 5}, {3, 6}};
  source.pairs = {{2, 1, 3}, {3, 1, 2}};
  SelectClass(1);
  TGrapheQuilor graph(source);
  graph.Draw(canvas, {0, 0, 400, 300}, 2, "sel");
  ASSERT_EQ(graph.ItemCount(), 2);
  EXPECT_EQ(GraphHitTable[4][1], 2);
  // Its name is placed first of the areas' names: no other takes its place.
  const std::vector<std::string> texts = canvas.Texts();
  const auto x = std::find(texts.begin(), texts.end(), "x");
  const auto y = std::find(texts.begin(), texts.end(), "y");
  ASSERT_NE(x, texts.end());
  EXPECT_TRUE(y == texts.end() || x < y);
}

TEST_F(GraphTest, ActorsGraphNeedsRoomAndStopsAtTheMaximum) {
  SetKind(kGraphActors);
  Options->Set(opt::GraphMaxObjects, 4);
  RelateActors(10);
  source.candidates.push_back(500);  // beyond the level's classes: skipped by the counts
  source.occurrences[500] = 3;
  source.classCount = 20;
  source.pairs.push_back({500, 1, 3});
  SelectClass(1);
  TGrapheQuilor graph(source);
  graph.Draw(canvas, {0, 0, 79, 200}, kModeRedraw, "sel");
  EXPECT_EQ(Count(canvas, DrawOp::kEllipse) + Count(canvas, DrawOp::kShadedEllipse), 0);
  EXPECT_TRUE(canvas.Texts().empty());

  canvas.Clear();
  graph.Draw(canvas, {0, 0, 500, 300}, kModeRedraw, "sel");
  EXPECT_EQ(graph.ItemCount(), 4);
  EXPECT_NE(FindText(canvas, "Non-significant sample"), nullptr);
  // The axes' names and the warning are written over the bubbles, after every one.
  size_t lastBubble = 0, firstFixed = canvas.Ops().size();
  for (size_t i = 0; i < canvas.Ops().size(); ++i) {
    const DrawOp& op = canvas.Ops()[i];
    if (op.kind == DrawOp::kEllipse || op.kind == DrawOp::kShadedEllipse) lastBubble = i;
    if (op.kind == DrawOp::kText && (op.text == "Actant" || op.text == "Acted" || op.text == "Non-significant sample"))
      firstFixed = std::min(firstFixed, i);
  }
  EXPECT_LT(lastBubble, firstFixed);
  EXPECT_LT(firstFixed, canvas.Ops().size());
  for (int k = 0; k < graph.ItemCount(); ++k) {
    EXPECT_GE(GraphHitTable[0][k], 10);
    EXPECT_LE(GraphHitTable[1][k], 490);
  }
  // Mode -2 twice gives back the links of the selected class only.
  graph.Draw(canvas, {0, 0, 500, 300}, kModeToggleLinks, "sel");
  EXPECT_TRUE(graph.DrawEveryLink());
  graph.Draw(canvas, {0, 0, 500, 300}, kModeToggleLinks, "sel");
  EXPECT_FALSE(graph.DrawEveryLink());
}

// On screen, where the mouse names a bubble, the names of a crowd of small
// bubbles are written on their own bubble, over their neighbours: the
// smallest actors, placed first, sit centred on theirs.
TEST_F(GraphTest, OnScreenTheActorsOfACrowdAreNamedOnTheirBubbles) {
  SetKind(kGraphActors);
  RelateActors(12);
  for (auto& [id, name] : source.names) name = "actor" + std::to_string(id) + "name";
  source.classCount = 20;
  SelectClass(1);
  TGrapheQuilor graph(source);
  graph.Draw(canvas, {0, 0, 500, 300}, kModeRedraw, "actor1name");
  int centred = 0;
  for (int k = 0; k < graph.ItemCount(); ++k) {
    const Rect box{GraphHitTable[0][k], GraphHitTable[2][k], GraphHitTable[1][k], GraphHitTable[3][k]};
    const std::string name = source.names[GraphHitTable[4][k]];
    const DrawOp* text = FindText(canvas, name);
    ASSERT_NE(text, nullptr) << name;
    const Point on{box.Centre().x - canvas.TextWidth(name) / 2, box.Centre().y - canvas.TextHeight(name) / 2};
    if (text->points[0] != on) continue;
    ++centred;
    EXPECT_TRUE(name == "actor2name" || name == "actor11name" || name == "actor12name") << name;
  }
  EXPECT_EQ(centred, 3);
}

// On paper, whose pixels are ten times finer here, the bubbles keep their
// size against the text: not dots beside their names.
TEST_F(GraphTest, ActorsBubblesKeepTheirSizeOnPaper) {
  SetKind(kGraphActors);
  RelateActors(8);
  source.classCount = 20;
  SelectClass(1);
  // The smallest bubble's width against the text's height.
  auto smallest = [](const RecordingCanvas& c) {
    int width = 1 << 30;
    for (const DrawOp& op : c.Ops())
      if (op.kind == DrawOp::kEllipse || op.kind == DrawOp::kShadedEllipse) width = std::min(width, op.rect.Width());
    return width;
  };
  TGrapheQuilor graph(source);
  RecordingCanvas screen(7, 13);
  graph.Draw(screen, {0, 0, 700, 400}, kModeRedraw, "sel");
  RecordingCanvas paper(70, 130);
  graph.SetPrinting(true, true);
  graph.Draw(paper, {0, 0, 7000, 4000}, kModeRedraw, "sel");
  ASSERT_LT(smallest(screen), 1 << 30);
  ASSERT_LT(smallest(paper), 1 << 30);
  EXPECT_GE(smallest(paper) * 13, smallest(screen) * 130 * 9 / 10);
}

// Two names side by side keep a gap between them, so that they never read as
// one ("bond" "mayor" as "bondmayor"); a box reserved beside a label needs none.
TEST(LabelPlacer, NamesSideBySideKeepAGapBoxesDoNot) {
  TLabelPlacer labels({0, 0, 200, 100}, 7);
  Point at;
  ASSERT_TRUE(labels.Place(28, 10, {{0, 0}}, at));
  ASSERT_TRUE(labels.Place(35, 10, {{28, 0}, {35, 0}, {0, 20}}, at));
  EXPECT_EQ(at, (Point{35, 0}));
  EXPECT_FALSE(labels.Place(10, 10, {{-1, 50}, {195, 50}}, at));  // out of the frame
  labels.Reserve({0, 40, 20, 50});
  ASSERT_TRUE(labels.Place(10, 10, {{20, 40}}, at));
  EXPECT_EQ(at, (Point{20, 40}));
}

TEST_F(GraphTest, DistributionCountsEveryWordIntoTheLastSlice) {
  SetKind(kGraphDistribution);
  source.highest = 50;
  for (int32_t p = 1; p <= 50; ++p) source.counted.push_back(p);
  ViewState.SelectionActive = true;
  TGrapheQuilor graph(source);
  graph.Draw(canvas, {0, 0, 600, 300}, kModeRedraw, "");
  EXPECT_EQ(graph.LastSlice(), 19);
  EXPECT_DOUBLE_EQ(graph.WordsPerSlice(), 2.55);
  int total = 0;
  for (int i = 0; i <= graph.LastSlice(); ++i) total += graph.SliceCount(i);
  EXPECT_EQ(total, 50);
  EXPECT_EQ(graph.SliceCount(19), 2);  // words 49 and 50
  EXPECT_NE(FindText(canvas, "caption"), nullptr);
  EXPECT_NE(FindText(canvas, "50"), nullptr);

  // Pointing at a bar chooses its slice; the gap between two bars changes nothing.
  const int left = 4, width = 14;
  EXPECT_TRUE(graph.SliceAt(left + 2 * width * 3 + 3));
  EXPECT_EQ(ViewState.DisplayIndex, 2);
  EXPECT_EQ(ViewState.TextPartStart, 5);
  EXPECT_FALSE(graph.SliceAt(left + 2 * width * 3 + width + 3));
  EXPECT_EQ(ViewState.DisplayIndex, 2);
  EXPECT_TRUE(graph.SliceHint(left + 2 * width * 20 + 1));
  EXPECT_EQ(ViewState.graph.HintBuffer, "Number of words : 2 - Start : 48 - End : 50");
}

TEST_F(GraphTest, DistributionOfAShortTextOrAWidePageStaysInsideTheTable) {
  SetKind(kGraphDistribution);
  Options->Set(opt::DistributionGraphSetting, 10);
  source.highest = 5;
  source.counted = {0, 1, 5, 5};
  TGrapheQuilor graph(source);
  graph.Draw(canvas, {0, 0, 600, 300}, kModeRedraw, "");
  EXPECT_EQ(Options->Get(opt::DistributionGraphSetting), 14);
  EXPECT_EQ(Count(canvas, DrawOp::kRectangle), 0);
  EXPECT_FALSE(graph.SliceAt(100));

  source.highest = 100000;
  source.counted = {0, 99999, 100000};
  canvas.Clear();
  graph.Draw(canvas, {0, 0, 40000, 300}, kModeRedraw, "");
  EXPECT_EQ(graph.LastSlice(), kMaxSlices);
  EXPECT_EQ(graph.SliceCount(kMaxSlices), 2);
}

TEST_F(GraphTest, BurstsUnderTwentyAreAllDrawnAndTheLabelFindsItsBurst) {
  SetKind(kGraphBursts);
  source.highest = 1000;
  for (uint32_t i = 0; i < 19; ++i)
    source.bursts.push_back({static_cast<int32_t>(i + 1), 1, 3, i * 50, i * 50 + 20, 0});
  source.classBursts = 19;
  TGrapheQuilor graph(source);
  graph.Draw(canvas, {0, 0, 800, 400}, kModeRedraw, "");
  EXPECT_EQ(graph.DrawnBursts().size(), 19u);
  EXPECT_EQ(graph.BurstThreshold(), 0u);
  // The label of burst 5.
  const DrawOp* label = FindText(canvas, "burst5");
  ASSERT_TRUE(label);
  const int x = label->points[0].x + 3;
  const int y = label->points[0].y + 5;
  EXPECT_EQ(graph.BurstAt(x, y), 5);
  EXPECT_TRUE(graph.BurstHint(x, y));
  EXPECT_EQ(ViewState.graph.HintBuffer, "burst5");
}

TEST_F(GraphTest, ManyBurstsInASmallGraphGetAThresholdButTheChosenEpisodeShows) {
  SetKind(kGraphBursts);
  source.highest = 6000;
  source.episodes = {{0, 2999, 30}, {3000, 6000, 30}};
  for (uint32_t i = 0; i < 60; ++i)
    source.bursts.push_back({static_cast<int32_t>(i + 1), i < 30 ? 1u : 2u, 3 + i % 5, i * 100, i * 100 + 50, 0});
  source.classBursts = 60;
  source.meanBurstSize = 5;
  ViewState.graph.ChosenEpisode = 2;
  TGrapheQuilor graph(source);
  graph.Draw(canvas, {0, 0, 300, 120}, kModeRedraw, "");
  EXPECT_GT(graph.BurstThreshold(), 0u);
  EXPECT_LT(graph.DrawnBursts().size(), 60u);
  // The chosen episode's bursts come first, each where its label meets no other.
  ASSERT_FALSE(graph.DrawnBursts().empty());
  EXPECT_GT(graph.DrawnBursts().front(), 30);
  canvas.Clear();
  graph.Draw(canvas, {0, 0, 3000, 400}, kModeRedraw, "");
  for (uint32_t i = 31; i <= 60; ++i)
    EXPECT_NE(std::find(graph.DrawnBursts().begin(), graph.DrawnBursts().end(), static_cast<int32_t>(i)),
              graph.DrawnBursts().end())
        << i;
  // With room for all of them, the threshold stays 0.
  source.bursts.resize(25);
  source.classBursts = 25;
  graph.Draw(canvas, {0, 0, 1200, 900}, kModeRedraw, "");
  EXPECT_EQ(graph.BurstThreshold(), 0u);
  EXPECT_EQ(graph.DrawnBursts().size(), 25u);
}

TEST_F(GraphTest, BurstsOfAnEmptyTextStayOnTheAxis) {
  SetKind(kGraphBursts);
  source.highest = 0;
  source.bursts = {{3, 1, 4, 0, 0, 0}};
  source.episodes = {{0, 0, 1}};
  ViewState.graph.ChosenEpisode = 1;
  TGrapheQuilor graph(source);
  graph.Draw(canvas, {0, 0, 400, 200}, kModeRedraw, "");
  ASSERT_EQ(graph.DrawnBursts().size(), 1u);
  for (const DrawOp& op : canvas.Ops())
    for (const Point& p : op.points) EXPECT_TRUE(p.x >= -1000 && p.x <= 1000);
  EXPECT_EQ(graph.BurstAt(10, 20), 1);
}

TEST_F(GraphTest, CategoryBurstsNeedTheSwitchUnlessChosen) {
  SetKind(kGraphBursts);
  Options->Set(opt::BurstsNotOnAllCategories, 1);
  source.highest = 500;
  source.bursts = {{-5, 1, 4, 10, 40, 0}, {3, 1, 4, 50, 90, 0}, {-7, 1, 4, 100, 140, 0}};
  source.classBursts = 1;
  ViewState.graph.ChosenBurstClass = -7;
  TGrapheQuilor graph(source);
  graph.Draw(canvas, {0, 0, 600, 300}, kModeRedraw, "");
  std::vector<int32_t> drawn = graph.DrawnBursts();
  std::sort(drawn.begin(), drawn.end());
  EXPECT_EQ(drawn, (std::vector<int32_t>{2, 3}));
}

}  // namespace
}  // namespace quilor::ui
