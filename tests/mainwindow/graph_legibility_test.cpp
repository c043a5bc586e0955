// The graphs' texts on real analyses, measured in the recorder: no label
// overlaps another or leaves the graph's frame, for every graph kind, at the
// graph sizes of a window from 1024 x 700 up, on screen and printed.
#include <gtest/gtest.h>

#include <QListView>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "core/options.h"
#include "engine/selection.h"
#include "mainwindow/graph.h"
#include "mainwindow/graph_labels.h"
#include "mainwindow/graph_source.h"
#include "app/install_windows_qt.h"
#include "ui/recording_canvas.h"
#include "ui/result_type_codes.h"
#include "mainwindow/results_panel_widget.h"
#include "ui/view_state.h"
#include "main_window_fixture.h"
#include "support/corpus.h"

namespace quilor::ui::testing_support {
namespace {

constexpr int kCharWidth = 7;
constexpr int kLineHeight = 13;

// Every text drawn, as the box it covers; what overlaps or leaves the frame.
std::string LabelProblems(const RecordingCanvas& canvas, const Rect& frame, int charWidth = kCharWidth,
                          int lineHeight = kLineHeight) {
  std::vector<std::pair<Rect, std::string>> texts;
  for (const DrawOp& op : canvas.Ops()) {
    if (op.kind != DrawOp::kText || op.text.empty()) continue;
    const Point p = op.points.front();
    Rect box{p.x, p.y, p.x + charWidth * static_cast<int>(op.text.size()), p.y + lineHeight};
    // A clipped text covers its clip at most.
    if (op.rect.Width() > 0)
      box = {std::max(box.left, op.rect.left), std::max(box.top, op.rect.top), std::min(box.right, op.rect.right),
             std::min(box.bottom, op.rect.bottom)};
    texts.emplace_back(box, op.text);
  }
  std::ostringstream problems;
  for (size_t i = 0; i < texts.size(); ++i) {
    if (!Inside(texts[i].first, frame)) problems << "[" << texts[i].second << "] leaves the frame; ";
    for (size_t j = i + 1; j < texts.size(); ++j)
      if (Overlap(texts[i].first, texts[j].first))
        problems << "[" << texts[i].second << "] meets [" << texts[j].second << "]; ";
  }
  return problems.str();
}

std::string Plain(const std::string& name) { return quilor::testing_support::CorpusFile("plain", name); }

// ca01 to caNN.
std::vector<std::string> BrownFiles(int count) {
  std::vector<std::string> files;
  for (int n = 1; n <= count; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "ca%02d.txt", n);
    files.push_back(Plain(name));
  }
  return files;
}

// How many of the circles drawn in the boxes cover another.
int CoveredCircles(const std::vector<Rect>& circles) {
  int covered = 0;
  for (size_t i = 0; i < circles.size(); ++i)
    for (size_t j = i + 1; j < circles.size(); ++j) {
      const double dx = circles[i].Centre().x - circles[j].Centre().x;
      const double dy = circles[i].Centre().y - circles[j].Centre().y;
      // One pixel of rounding between two circles that touch.
      if (std::sqrt(dx * dx + dy * dy) + 1 < (circles[i].Width() + circles[j].Width()) / 2.0) ++covered;
    }
  return covered;
}

// The selected class's graph of the current kind drawn in r at a fixed
// scale, as the window draws it or as a page does.
RecordingCanvas DrawnGraph(const Rect& r, bool printing, bool colour, int charWidth, int lineHeight) {
  EngineGraphSource source;
  TGrapheQuilor graph(source);
  graph.SetFixedScale(true);
  graph.SetPrinting(printing, colour);
  RecordingCanvas canvas(charWidth, lineHeight);
  ViewState.GraphShown = true;
  graph.Draw(canvas, r, kModeRedraw, ViewState.selection.firstTerm);
  return canvas;
}

class GraphLegibility : public MainWindowTest {
 protected:
  // Analyses the files and selects the first class of the References list,
  // as a click on it does, for a graph of the kind.
  void SelectFirstClassOf(const std::vector<std::string>& files, int kind) {
    TVekEditForm& w = Start();
    InstallWindows(w);
    if (files.size() == 1) ASSERT_TRUE(Open(files.front()));
    else ASSERT_TRUE(w.Session().AnalyseList(files));
    w.ShowResultType(ClassListIndexOfLevel(1));
    auto* results = w.findChild<ResultsPanelWidget*>();
    ASSERT_NE(results, nullptr);
    ASSERT_GT(results->ResultsList()->model()->rowCount(), 0);
    QListView* list = results->ResultsList();
    list->setCurrentIndex(list->model()->index(0, 0));
    emit list->clicked(list->model()->index(0, 0));
    ASSERT_TRUE(ViewState.SelectionActive);
    Options->Set(opt::GraphKind, static_cast<uint16_t>(kind));
  }
  // The area graph on a page, where a row is many pixels high: every ring and
  // every area inside the frame, no area over another or over the selected
  // class, no name over another.
  void CheckPrintedAreas(const std::vector<std::string>& files, const std::string& what) {
    ASSERT_NO_FATAL_FAILURE(SelectFirstClassOf(files, kGraphAreas));
    // A printer's pixels: ten times a screen's.
    constexpr int kWide = 10 * kCharWidth, kHigh = 10 * kLineHeight;
    // A portrait page and a landscape one.
    for (const Rect& frame : {Rect{240, 500, 9240, 13000}, Rect{240, 500, 13240, 8700}})
      for (bool colour : {true, false}) {
        const RecordingCanvas canvas = DrawnGraph(frame, true, colour, kWide, kHigh);
        std::vector<Rect> areas;
        int outside = 0;
        for (const DrawOp& op : canvas.Ops()) {
          if (op.kind != DrawOp::kEllipse && op.kind != DrawOp::kShadedEllipse) continue;
          if (!Inside(op.rect, frame)) ++outside;
          // The rings behind are not filled.
          if (op.kind == DrawOp::kShadedEllipse || op.brushStyle != BrushStyle::kClear) areas.push_back(op.rect);
        }
        ASSERT_GT(areas.size(), 10u) << what;
        EXPECT_EQ(outside, 0) << what << (colour ? "" : ", black and white") << ", " << frame.Width() << " x "
                              << frame.Height();
        EXPECT_EQ(CoveredCircles(areas), 0)
            << what << (colour ? "" : ", black and white") << ", " << frame.Width() << " x " << frame.Height();
        // A name stands on its own area, centred, or off every area.
        int covering = 0;
        for (const DrawOp& op : canvas.Ops()) {
          if (op.kind != DrawOp::kText || op.text.empty()) continue;
          const Point p = op.points.front();
          const Rect text{p.x, p.y, p.x + kWide * static_cast<int>(op.text.size()), p.y + kHigh};
          for (const Rect& a : areas) {
            const double r = a.Width() / 2.0;
            const double nx = std::clamp<double>(a.Centre().x, text.left, text.right);
            const double ny = std::clamp<double>(a.Centre().y, text.top, text.bottom);
            const double dx = nx - a.Centre().x, dy = ny - a.Centre().y;
            const bool own =
                std::abs(text.Centre().x - a.Centre().x) <= 1 && std::abs(text.Centre().y - a.Centre().y) <= 1;
            if (dx * dx + dy * dy < r * r && !own && ++covering <= 3)
              ADD_FAILURE() << what << ": [" << op.text << "] covers an area";
          }
        }
        EXPECT_EQ(covering, 0) << what;
        // Every area keeps its name: nothing names it under the mouse on paper.
        size_t names = 0;
        for (const DrawOp& op : canvas.Ops()) names += op.kind == DrawOp::kText && !op.text.empty();
        EXPECT_GE(names, areas.size()) << what << ", " << frame.Width() << " x " << frame.Height();
        EXPECT_EQ(LabelProblems(canvas, frame, kWide, kHigh), "")
            << what << (colour ? "" : ", black and white") << ", " << frame.Width() << " x " << frame.Height();
      }
    CloseWindow();
  }

  // The star graph on a page, where a row is many pixels high: the boxes
  // stand apart, each name inside its box and each count off every box.
  void CheckPrintedStar(const std::vector<std::string>& files, const std::string& what);

  // Every graph kind of the first class of the files at the window's graph sizes and on a page.
  void CheckEveryGraph(const std::vector<std::string>& files, const std::string& what) {
    ASSERT_NO_FATAL_FAILURE(SelectFirstClassOf(files, kGraphStar));
    // The graph panel of a 1024 x 700 window, of a larger one, and a printed page.
    const Rect sizes[] = {{0, 0, 700, 260}, {0, 0, 760, 330}, {0, 0, 1260, 460}, {0, 0, 1500, 700}};
    for (int kind = 1; kind <= 5; ++kind) {
      Options->Set(opt::GraphKind, static_cast<uint16_t>(kind));
      for (const Rect& r : sizes) {
        for (bool printing : {false, true}) {
          const RecordingCanvas canvas = DrawnGraph(r, printing, true, kCharWidth, kLineHeight);
          EXPECT_EQ(LabelProblems(canvas, r), "")
              << what << ", kind " << kind << ", " << r.Width() << " x " << r.Height() << (printing ? ", printed" : "");
        }
      }
    }
    CloseWindow();
  }
};

TEST_F(GraphLegibility, NoLabelMeetsAnotherOnTheSample) { CheckEveryGraph({sample_}, "sample"); }

TEST_F(GraphLegibility, NoLabelMeetsAnotherOnABrownText) { CheckEveryGraph({Plain("ca01.txt")}, "ca01"); }

TEST_F(GraphLegibility, NoLabelMeetsAnotherOnTwentyFiles) { CheckEveryGraph(BrownFiles(20), "20 files"); }

// On a novel the actors crowd the middle of their graph: no bubble covers
// another, at the graph size of a 1024 x 700 window and larger.
TEST_F(GraphLegibility, NoActorCoversAnotherOnANovel) {
  ASSERT_NO_FATAL_FAILURE(
      SelectFirstClassOf({std::string(QUILOR_SOURCE_DIR) + "/../shared/corpus/books/alice.txt"}, kGraphActors));
  for (const Rect& r : {Rect{0, 0, 700, 260}, Rect{0, 0, 1260, 460}}) {
    const RecordingCanvas canvas = DrawnGraph(r, false, true, kCharWidth, kLineHeight);
    std::vector<Rect> bubbles;
    for (const DrawOp& op : canvas.Ops())
      if ((op.kind == DrawOp::kEllipse && op.brushStyle != BrushStyle::kClear) || op.kind == DrawOp::kShadedEllipse)
        bubbles.push_back(op.rect);  // the rings behind are not filled
    ASSERT_GT(bubbles.size(), 10u);
    EXPECT_EQ(CoveredCircles(bubbles), 0) << r.Width() << " x " << r.Height();
    EXPECT_EQ(LabelProblems(canvas, r), "") << r.Width() << " x " << r.Height();
  }
  CloseWindow();
}

// The star graph's counts stand on their own row beside their box, never on another box.
TEST_F(GraphLegibility, StarCountsStayOffTheBoxes) {
  ASSERT_NO_FATAL_FAILURE(SelectFirstClassOf({Plain("ca01.txt")}, kGraphStar));
  EngineGraphSource source;
  TGrapheQuilor graph(source);
  RecordingCanvas canvas(kCharWidth, kLineHeight);
  const Rect r{0, 0, 760, 330};
  graph.Draw(canvas, r, kModeRedraw, ViewState.selection.firstTerm);
  std::vector<Rect> boxes;
  for (const DrawOp& op : canvas.Ops())
    if (op.kind == DrawOp::kRectangle) boxes.push_back(op.rect);
  int counts = 0;
  for (const DrawOp& op : canvas.Ops()) {
    if (op.kind != DrawOp::kText || op.text.find_first_not_of("0123456789") != std::string::npos) continue;
    ++counts;
    const Point p = op.points.front();
    const Rect box{p.x, p.y, p.x + kCharWidth * static_cast<int>(op.text.size()), p.y + kLineHeight};
    for (const Rect& b : boxes) EXPECT_FALSE(Overlap(box, b)) << op.text;
  }
  EXPECT_GT(counts, 0);
  CloseWindow();
}

void GraphLegibility::CheckPrintedStar(const std::vector<std::string>& files, const std::string& what) {
  ASSERT_NO_FATAL_FAILURE(SelectFirstClassOf(files, kGraphStar));
  EngineGraphSource source;
  TGrapheQuilor graph(source);
  graph.SetPrinting(true, true);
  // A printer's pixels: ten times a screen's.
  constexpr int kWide = 10 * kCharWidth, kHigh = 10 * kLineHeight;
  RecordingCanvas canvas(kWide, kHigh);
  const Rect r{0, 0, 9000, 12000};
  graph.Draw(canvas, r, kModeRedraw, ViewState.selection.firstTerm);
  // Each box with its outline: the four lines drawn right after its fill.
  std::vector<Rect> boxes;
  const std::vector<DrawOp>& ops = canvas.Ops();
  for (size_t k = 0; k < ops.size(); ++k) {
    if (ops[k].kind != DrawOp::kRectangle) continue;
    Rect box = ops[k].rect;
    for (size_t l = k + 1; l < ops.size() && l <= k + 4 && ops[l].kind == DrawOp::kLine; ++l)
      for (const Point& p : ops[l].points) {
        box.left = std::min(box.left, p.x);
        box.right = std::max(box.right, p.x);
        box.top = std::min(box.top, p.y);
        box.bottom = std::max(box.bottom, p.y);
      }
    boxes.push_back(box);
  }
  ASSERT_GT(boxes.size(), 10u);
  for (size_t i = 0; i < boxes.size(); ++i)
    for (size_t j = i + 1; j < boxes.size(); ++j) {
      const Rect& a = boxes[i];
      const Rect& b = boxes[j];
      const bool apart = a.right < b.left || b.right < a.left || a.bottom < b.top || b.bottom < a.top;
      EXPECT_TRUE(apart) << what << ", " << i << " and " << j << ": " << a.left << "," << a.top << "," << a.right << ","
                         << a.bottom << " " << b.left << "," << b.top << "," << b.right << "," << b.bottom;
    }
  for (const DrawOp& op : canvas.Ops()) {
    if (op.kind != DrawOp::kText || op.text.empty()) continue;
    const Point p = op.points.front();
    const Rect text{p.x, p.y, p.x + kWide * static_cast<int>(op.text.size()), p.y + kHigh};
    const bool count = op.text.find_first_not_of("0123456789") == std::string::npos;
    for (const Rect& b : boxes) {
      if (count) {
        EXPECT_FALSE(Overlap(text, b)) << what << ": " << op.text;
      } else if (Overlap(text, b)) {
        EXPECT_TRUE(text.left > b.left && text.right < b.right) << what << ": " << op.text;
      }
    }
    // A name stands whole inside its own box.
    if (!count && op.text != "...") {
      bool boxed = false;
      for (const Rect& b : boxes) boxed |= Inside(text, b);
      EXPECT_TRUE(boxed) << what << ": " << op.text;
    }
  }
  CloseWindow();
}

TEST_F(GraphLegibility, PrintedStarBoxesStandApartWithTheirNamesInside) {
  CheckPrintedStar({Plain("ca01.txt")}, "ca01");
}

// Ten documents fill every row of the page with boxes.
TEST_F(GraphLegibility, PrintedStarNamesStayInsideTheirBoxesOnTenFiles) {
  CheckPrintedStar(BrownFiles(10), "10 files");
}

TEST_F(GraphLegibility, PrintedAreasStayApartInsideTheFrameOnABrownText) {
  CheckPrintedAreas({Plain("ca01.txt")}, "ca01");
}

TEST_F(GraphLegibility, PrintedAreasStayApartInsideTheFrameOnTenFiles) {
  CheckPrintedAreas(BrownFiles(10), "10 files");
}

}  // namespace
}  // namespace quilor::ui::testing_support
