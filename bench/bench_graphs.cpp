// Drawing the five graphs of a large analysis: the time of one Draw into a
// 1,200 x 800 picture (the screen's painter) and onto the recording canvas
// (the layout alone). The figures are synthetic and the same on every run:
// a text of 1,000,000 words of which 40,000 are counted by the distribution
// graph, 20,000 relation pairs among 2,000 classes, 6,000 neighbours on each
// side, 2,950 bursts over 190 episodes. Prints the best and the median.
//
//   bench_graphs [runs]
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "core/options.h"
#include "engine/selection.h"
#include "mainwindow/graph.h"
#include "mainwindow/graph_state.h"
#include "ui/painter_canvas_qt.h"
#include "ui/recording_canvas.h"
#include "ui/view_state.h"
#include "tests/mainwindow/fake_graph_source.h"

namespace {

using namespace quilor;
using namespace quilor::ui;
using Clock = std::chrono::steady_clock;

void Fill(testing::FakeGraphSource& s) {
  std::mt19937 random(20261207);
  s.classCount = 2000;
  for (int32_t c = 1; c <= 2000; ++c) {
    s.names[c] = "class_" + std::to_string(c);
    s.occurrences[c] = 2 + random() % 500;
    s.preVerb[c] = random() % s.occurrences[c];
    s.candidates.push_back(c);
  }
  for (int i = 0; i < 20000; ++i)
    s.pairs.push_back({1 + static_cast<uint32_t>(random() % 2000), 1 + static_cast<uint32_t>(random() % 2000),
                       static_cast<uint32_t>(20000 - i) / 100 + 1});
  for (uint32_t i = 0; i < 6000; ++i) {
    s.predecessors.push_back({6000 - i, 1 + static_cast<uint32_t>(random() % 2000)});
    s.successors.push_back({6000 - i, 1 + static_cast<uint32_t>(random() % 2000)});
  }
  s.highest = 1000000;
  for (int i = 0; i < 40000; ++i) s.counted.push_back(static_cast<int32_t>(random() % 1000000));
  for (uint32_t e = 0; e < 190; ++e) s.episodes.push_back({e * 5263, e * 5263 + 5262, 15});
  for (uint32_t b = 0; b < 2950; ++b) {
    const uint32_t start = static_cast<uint32_t>(random() % 990000);
    s.bursts.push_back({static_cast<int32_t>(1 + random() % 2000), 1 + b % 190,
                        3 + static_cast<uint32_t>(random() % 12), start,
                        start + 500 + static_cast<uint32_t>(random() % 5000), 0});
  }
  s.classBursts = 2950;
  s.meanBurstSize = 6;
}

template <typename F>
void Time(const char* what, int runs, F&& draw) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    draw();
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%-28s best %8.2f ms, median %8.2f ms over %d runs\n", what, ms[0], ms[ms.size() / 2], runs);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  testing::FakeGraphSource source;
  Fill(source);
  Options->Set(opt::GraphMaxObjects, 100);
  ViewState.GraphShown = true;
  ViewState.SelectionActive = true;
  ViewState.selection.kind = kSelectClass;
  ViewState.selection.classLevel = 1;
  ViewState.selection.firstClass = 1;
  ViewState.selection.firstTerm = "class_1";
  TGrapheQuilor graph(source);
  graph.SetFixedScale(true);
  const Rect rect{0, 0, 1200, 800};
  struct Kind {
    int kind;
    const char* name;
  };
  for (const Kind k : {Kind{kGraphStar, "star"}, Kind{kGraphAreas, "area"}, Kind{kGraphActors, "actors"},
                       Kind{kGraphBursts, "bursts"}, Kind{kGraphDistribution, "distribution"}}) {
    Options->Set(opt::GraphKind, static_cast<uint16_t>(k.kind));
    QImage image(1200, 800, QImage::Format_RGB32);
    Time((std::string(k.name) + " (picture)").c_str(), runs, [&] {
      QPainter painter(&image);
      painter.setRenderHint(QPainter::Antialiasing);
      PainterCanvas canvas(painter);
      graph.Draw(canvas, rect, kModeRedraw, ViewState.selection.firstTerm);
    });
    Time((std::string(k.name) + " (layout)").c_str(), runs, [&] {
      RecordingCanvas canvas;
      graph.Draw(canvas, rect, kModeRedraw, ViewState.selection.firstTerm);
    });
  }
  return 0;
}
