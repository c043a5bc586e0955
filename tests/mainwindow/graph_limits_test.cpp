// The graph's boxes at the ends of their table: every box drawn, the first
// as the last, answers the pointer, and nothing else does.
#include <gtest/gtest.h>

#include "core/options.h"
#include "engine/selection.h"
#include "mainwindow/graph.h"
#include "mainwindow/graph_state.h"
#include "mainwindow/text_mouse.h"
#include "tests/mainwindow/fake_graph_source.h"
#include "ui/recording_canvas.h"
#include "ui/result_type_codes.h"
#include "ui/view_state.h"

namespace quilor::ui {
namespace {

using testing::FakeGraphSource;

class GraphLimitsTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    Options->ResetSettings();
    ViewState.selection.Clear();
    ViewState.graph.Reset();
    ViewState.Reset();
  }
  // "sel" (class 1) and the classes 2..last related to it.
  void Relate(int kind, uint32_t last) {
    Options->Set(opt::GraphKind, static_cast<uint16_t>(kind));
    ViewState.GraphShown = true;
    ViewState.SelectionActive = true;
    ViewState.selection.kind = kSelectClass;
    ViewState.selection.classLevel = 1;
    ViewState.selection.firstClass = 1;
    source.names[1] = "sel";
    source.occurrences[1] = 9;
    for (uint32_t c = 2; c <= last; ++c) {
      source.names[static_cast<int32_t>(c)] = "c" + std::to_string(c);
      source.occurrences[static_cast<int32_t>(c)] = c + 2;
      source.preVerb[static_cast<int32_t>(c)] = c;
      source.candidates.push_back(static_cast<int32_t>(c));
      source.pairs.push_back({c % 2 ? 1 : c, c % 2 ? c : 1, c});
    }
  }
  FakeGraphSource source;
  RecordingCanvas canvas;
};

TEST_F(GraphLimitsTest, EveryBoxOfTheAreasAndActorsGraphsAnswersThePointer) {
  for (int kind : {kGraphAreas, kGraphActors}) {
    for (uint32_t last : {2u, 5u}) {
      SCOPED_TRACE(std::to_string(kind) + " up to " + std::to_string(last));
      Reset();
      source = FakeGraphSource();
      Relate(kind, last);
      TGrapheQuilor graph(source);
      graph.Draw(canvas, {0, 0, 640, 400}, kModeRedraw, "sel");
      ASSERT_GE(graph.ItemCount(), 1);
      for (int k = 0; k < graph.ItemCount(); ++k) {
        const int x = (GraphHitTable[0][k] + GraphHitTable[1][k]) / 2,
                  y = (GraphHitTable[2][k] + GraphHitTable[3][k]) / 2;
        const int32_t cls = GraphHitTable[4][k];
        ASSERT_TRUE(graph.HintAt(x, y)) << "box " << k;
        // Boxes may overlap: a lone box names its own class.
        if (graph.ItemCount() == 1) {
          EXPECT_EQ(ViewState.graph.HintBuffer, source.names[cls]);
        }
        EXPECT_TRUE(graph.BoxHitTest(x, y)) << "box " << k;
      }
      // A corner of the picture holds no box.
      EXPECT_FALSE(graph.HintAt(1, 1));
    }
  }
}

// While the window is busy (a drag, a print), hovering the text says nothing.
TEST(TextMouseLimits, HoveringWhileBusyOrAnalysingSaysNothing) {
  FakeMainWindow port;
  std::vector<std::string> panel;
  TextMouse mouse(
      port,
      [](int, int) {
        TPageItem hit;
        hit.position = 12;
        hit.kind = kItemWord;
        return std::optional<TPageItem>(hit);
      },
      [&](const std::string& s) { panel.push_back(s); });
  mouse.MouseMove(10, 5, true);
  port.analysisRunning = true;
  mouse.MouseMove(10, 5, false);
  EXPECT_TRUE(panel.empty());
  EXPECT_TRUE(port.messages.empty());
  port.analysisRunning = false;
  mouse.MouseMove(10, 5, false);
  EXPECT_EQ(panel.size(), 1u);
  ViewState.Reset();
}

}  // namespace
}  // namespace quilor::ui
