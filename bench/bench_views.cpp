// The result views on a large text: one page of the text view drawn into a
// 1,200 x 800 picture (the screen's painter) and onto the recording canvas
// (the layout alone), an extract page whose selected words are rare, paging
// forward through the text, the copy window's passage, and the results lines
// of a full level (65,535 ranked classes: built, their columns measured and
// placed) and of a large Scenario tree. The
// text is synthetic and the same on every run: 1,000,000 words in
// propositions of 12, two documents. Prints the best and the median.
//
//   bench_views [runs]
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "engine/selection.h"
#include "engine/word_list.h"
#include "mainwindow/copy_text_model.h"
#include "ui/painter_canvas_qt.h"
#include "ui/recording_canvas.h"
#include "mainwindow/results_lines.h"
#include "ui/selection_ops.h"
#include "mainwindow/text_page_layout.h"
#include "ui/view_state.h"

namespace {

using namespace quilor;
using namespace quilor::ui;
using Clock = std::chrono::steady_clock;

constexpr int kWords = 1000000;

void BuildText() {
  TextWords.Clear();
  const char* words[] = {"the", "river", "had",     "risen",  "in",   "night",
                         "and", "by",    "morning", "fields", "were", "water"};
  for (int i = 1; i <= kWords; ++i) {
    TWordCategoryData d;
    d.Category.MajorClass = static_cast<uint8_t>(1 + i % 8);
    d.ClassMark = i % 5 == 0 ? 1 : 0;
    d.ClassIds[0] = static_cast<uint32_t>(i % 2000);
    const uint32_t entry = i % 10000 == 0 ? 77 : 1;  // the rare lemma: one word in 10,000
    TextWords.Append(words[i % 12], i % 7 == 0 ? "," : " ", entry, i <= kWords / 2 ? 1 : 2, i, &d);
    if (i % 12 == 0) {
      TWordCategoryData mark;
      TextWords.Append("/", ".", 0, i <= kWords / 2 ? 1 : 2, i, &mark);
    }
  }
}

void Measure(const char* name, int runs, const std::function<void()>& f) {
  std::vector<double> ms;
  for (int r = 0; r < runs; ++r) {
    const auto start = Clock::now();
    f();
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%-44s best %9.3f ms   median %9.3f ms\n", name, ms.front(), ms[ms.size() / 2]);
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  const auto built = Clock::now();
  BuildText();
  std::printf("%-44s %9.3f ms\n", "building 1,000,000 words",
              std::chrono::duration<double, std::milli>(Clock::now() - built).count());
  ColorationSyntaxique();
  TExtraitDuTexte page;
  page.DocumentCount = [] { return 2; };
  page.DocumentName = [](uint16_t f) { return "document" + std::to_string(f) + ".txt"; };
  const Rect r{0, 0, 1200, 800};
  QImage image(1200, 800, QImage::Format_RGB32);
  auto toMiddle = [] {
    TextWords.SeekPosition(kWords / 2 - 100);
    TextWords.SaveCursor(kBookmarkPageStart);
  };

  Measure("text page, screen painter", runs, [&] {
    toMiddle();
    QPainter painter(&image);
    PainterCanvas canvas(painter);
    page.DrawPage(canvas, r);
  });
  std::printf("  (%d lines, %d words)\n", page.LineCount(), page.WordsDrawn());
  Measure("text page, recording canvas", runs, [&] {
    toMiddle();
    RecordingCanvas canvas(7);
    page.DrawPage(canvas, r);
  });

  BeginNewSelection();
  ViewState.selection.kind = kSelectLexicalEntry;
  ViewState.selection.lexicalEntry = 77;
  ViewState.selection.majorClass = static_cast<uint8_t>(1 + 10000 % 8);
  Measure("extract page, 100 rare words in 1,000,000", std::max(1, runs / 4), [&] {
    TextWords.Rewind();
    TextWords.SaveCursor(kBookmarkPageStart);
    RecordingCanvas canvas(7);
    page.DrawPage(canvas, r);
  });
  std::printf("  (%d lines, %d words)\n", page.LineCount(), page.WordsDrawn());
  ClearSelection();

  Measure("1,000 pages forward (layout each)", 1, [&] {
    TextWords.Rewind();
    TextWords.SaveCursor(kBookmarkPageStart);
    for (int i = 0; i < 1000; ++i) {
      RecordingCanvas canvas(7);
      page.DrawPage(canvas, r);
      page.PageForward(false);
    }
  });
  Measure("copy window passage around word 900,000", runs, [&] { BuildCopyText(900000, false); });

  std::vector<TRankedClass> ranked;
  for (uint32_t c = 0; c < 65535; ++c) ranked.push_back({"class_" + std::to_string(c), 70000 - c, c % 100});
  Measure("65,535 ranked class lines with actor column", runs, [&] {
    ClassLevelLines(ranked, 1, TActorFilters{true, false});
  });
  const std::vector<std::string> classLines = ClassLevelLines(ranked, 1, TActorFilters{true, false});
  std::vector<int> measured;
  Measure("columns of those lines measured, screen painter", std::max(1, runs / 4), [&] {
    QPainter painter(&image);
    PainterCanvas canvas(painter);
    canvas.SetFont(Font{});
    measured = MeasureResultColumns(canvas, classLines);
  });
  Measure("the measured columns placed (a resize)", runs, [&] { PlaceResultColumns(measured, 300); });
  std::vector<TScenarioClass> scenario(65536);
  std::vector<uint32_t> tops;
  for (uint32_t i = 1; i <= 65535; ++i) {
    const bool top = i % 50 == 1;
    const uint32_t parent = top ? 0 : i - (i - 1) % 50;
    scenario[i] = {"group_" + std::to_string(i), 1 + i % 40, parent, top ? 0u : 1u, true, 0};
    if (top) tops.push_back(i);
  }
  Measure("Scenario tree of 65,535 entries", runs, [&] { ScenarioLines(scenario, tops, false, false, 1, {}); });
  TextWords.Clear();
  return 0;
}
