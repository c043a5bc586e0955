// The printed page: metrics, frame, pagination and the section rows.
#include "mainwindow/print_layout.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>

#include "core/options.h"
#include "engine/analysis_results.h"
#include "engine/category_counters.h"
#include "engine/selection.h"
#include "engine/word_list.h"
#include "mainwindow/analysis_session.h"
#include "mainwindow/print_sections.h"
#include "ui/recording_canvas.h"
#include "ui/selection_ops.h"
#include "ui/view_state.h"

namespace quilor::ui {
namespace {

class FakeSurface : public PrintSurface {
 public:
  Canvas& PageCanvas() override { return canvas; }
  bool NewPage() override {
    if (failNewPage) return false;
    ++newPages;
    return true;
  }
  RecordingCanvas canvas{7, 10};
  int newPages = 0;
  bool failNewPage = false;
};

TPrintRow Row(const std::string& name) {
  TPrintRow row;
  row.name = name;
  return row;
}

TPageMetrics A4At300(int points) { return ComputePageMetrics(points, 300, 2480, 3508, {0, 0, 2480, 3508}); }

TEST(PrintPageMetrics, LineHeightPlusFortyPercentHeaderAndHalfWidth) {
  const TPageMetrics m = A4At300(10);
  EXPECT_EQ(m.lineHeight, 41 + 16);  // 10 x 300 / 72, plus 40 %
  EXPECT_EQ(m.linesPerPage, 3508 / 57 - 3);
  EXPECT_EQ(m.header, (Rect{20, 57, 2460, 114}));
  EXPECT_EQ(m.halfWidth, 1220);
  // A page of 20 pixels or less keeps the clip's right edge.
  EXPECT_EQ(ComputePageMetrics(10, 300, 20, 3508, {0, 0, 15, 3508}).header.right, 15);
}

TEST(PrintPageMetrics, HugeAndZeroFontsStillGiveFourRowsAndNoZeroLine) {
  for (int points : {0, 1, 500, 100000}) {
    const TPageMetrics m = A4At300(points);
    ASSERT_GE(m.lineHeight, 1) << points;
    // Rows are lines 4 .. linesPerPage - 1, and the last one ends above the footer rule.
    EXPECT_GE(m.linesPerPage - 1 - kFirstRowLine, kMinLinesPerPage) << points;
    EXPECT_LE(m.linesPerPage * m.lineHeight, m.pageHeight - 2 * m.lineHeight) << points;
  }
  // A page too short for anything: never a division by zero.
  const TPageMetrics tiny = ComputePageMetrics(12, 96, 10, 5, {0, 0, 10, 5});
  EXPECT_GE(tiny.lineHeight, 1);
}

TEST(PrintPager, BreaksOnFullPageWithFrameAndNumbersEveryPage) {
  FakeSurface surface;
  TPageMetrics m = ComputePageMetrics(10, 72, 600, 200, {0, 0, 600, 200});
  ASSERT_EQ(m.lineHeight, 14);
  ASSERT_EQ(m.linesPerPage, 200 / 14 - 3);  // 11: rows on lines 4..10
  TPrintPager pager(surface, m, Font{}, "Title", "Statistics on  a list of files");
  for (int i = 0; i < 15; ++i) ASSERT_TRUE(pager.WriteRow(Row("row" + std::to_string(i))));
  pager.Finish();
  EXPECT_EQ(surface.newPages, 2);  // 7 + 7 + 1 rows
  int maxY = 0;
  std::vector<std::string> pages, footers;
  for (const DrawOp& op : surface.canvas.Ops()) {
    if (op.kind != DrawOp::kText) continue;
    if (op.text.rfind("row", 0) == 0) maxY = std::max(maxY, op.points[0].y);
    if (op.points[0].y == m.lineHeight && op.text != "Title") pages.push_back(op.text);
    if (op.text.find("list of files") != std::string::npos) footers.push_back(op.text);
  }
  EXPECT_EQ(pages, (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(footers, std::vector<std::string>(3, "statistics on  a list of files"));
  EXPECT_LT(maxY + m.lineHeight, m.pageHeight - 2 * m.lineHeight);
  EXPECT_EQ(maxY, (m.linesPerPage - 1) * m.lineHeight);
}

TEST(PrintPager, RowNamesKeepTo238Characters) {
  FakeSurface surface;
  TPrintPager pager(surface, ComputePageMetrics(10, 72, 600, 200, {0, 0, 600, 200}), Font{}, "T", "f");
  ASSERT_TRUE(pager.WriteRow(Row("n" + std::string(400, 'x'))));
  bool found = false;
  for (const DrawOp& op : surface.canvas.Ops())
    if (op.kind == DrawOp::kText && op.text[0] == 'n') {
      EXPECT_EQ(op.text.size(), 238u);
      found = true;
    }
  EXPECT_TRUE(found);
}

TEST(PrintPager, APageThatCannotBeBegunStopsTheSection) {
  FakeSurface surface;
  surface.failNewPage = true;
  TPrintPager pager(surface, ComputePageMetrics(10, 72, 600, 200, {0, 0, 600, 200}), Font{}, "T", "f");
  int written = 0;
  while (pager.WriteRow(Row("r")) && written < 100) ++written;
  EXPECT_EQ(written, 7);
  EXPECT_TRUE(pager.Aborted());
}

// Metrics of no height and no lines (a caller's mistake) still lay rows
// one under the other, the fewest rows a page holds on each page.
TEST(PrintPager, MetricsOfNoHeightStillLayRowsApart) {
  FakeSurface surface;
  TPageMetrics m = ComputePageMetrics(10, 72, 600, 200, {0, 0, 600, 200});
  m.lineHeight = 0;
  m.linesPerPage = 0;
  TPrintPager pager(surface, m, Font{}, "T", "f");
  std::vector<int> ys;
  for (int i = 0; i <= kMinLinesPerPage; ++i) {
    ASSERT_TRUE(pager.WriteRow(Row("r")));
    EXPECT_EQ(surface.newPages, i < kMinLinesPerPage ? 0 : 1) << i;
  }
  for (const DrawOp& op : surface.canvas.Ops())
    if (op.kind == DrawOp::kText && op.text == "r") ys.push_back(op.points[0].y);
  ASSERT_EQ(ys.size(), static_cast<size_t>(kMinLinesPerPage + 1));
  for (size_t i = 1; i < static_cast<size_t>(kMinLinesPerPage); ++i) EXPECT_GT(ys[i], ys[i - 1]) << i;
}

// Running text stops with the section too: once a page cannot be begun,
// not even a closing point is printed past the last line.
TEST(PrintPager, TextStopsWithTheSectionWhenAPageCannotBeBegun) {
  FakeSurface surface;
  surface.failNewPage = true;
  TPrintPager pager(surface, ComputePageMetrics(10, 72, 300, 200, {0, 0, 300, 200}), Font{}, "T", "f");
  int placed = 0;
  while (pager.PlaceText(" word", Font{}) && placed < 10000) ++placed;
  ASSERT_TRUE(pager.Aborted());
  const size_t drawn = surface.canvas.Ops().size();
  EXPECT_FALSE(pager.PlaceText(".", Font{}, true));
  EXPECT_FALSE(pager.PlaceText("a", Font{}));
  EXPECT_EQ(surface.canvas.Ops().size(), drawn);
}

TEST(PrintPager, AWordWiderThanTheLinePrintsOnceOnTheNextLine) {
  FakeSurface surface;
  const TPageMetrics m = ComputePageMetrics(10, 72, 300, 400, {0, 0, 300, 400});
  TPrintPager pager(surface, m, Font{}, "T", "f");
  const std::string wide(60, 'w');  // 420 pixels: wider than the line
  ASSERT_TRUE(pager.PlaceText("short", Font{}));
  ASSERT_TRUE(pager.PlaceText(wide, Font{}));
  ASSERT_TRUE(pager.PlaceText("after", Font{}));
  std::vector<std::pair<std::string, int>> placed;
  for (const DrawOp& op : surface.canvas.Ops())
    if (op.kind == DrawOp::kText) placed.push_back({op.text, op.points[0].y});
  ASSERT_EQ(placed.size(), 3u);
  EXPECT_EQ(placed[0].first, "short");
  EXPECT_EQ(placed[1].first, wide);
  EXPECT_EQ(placed[1].second, placed[0].second + m.lineHeight);
  EXPECT_EQ(placed[2].second, placed[1].second + m.lineHeight);
}

// Running text: a closing mark stays on the line of the word it closes (the
// word left room for it), and a line begins without a blank.
TEST(PrintPager, PunctuationStaysOnItsLineAndALineStartsWithoutABlank) {
  FakeSurface surface;
  const TPageMetrics m = ComputePageMetrics(10, 72, 300, 400, {0, 0, 300, 400});
  TPrintPager pager(surface, m, Font{}, "T", "f");
  const int room = 2 * 7;  // ".\"" on the recorder
  const std::string word(static_cast<size_t>((m.header.right - m.header.left - room - 1) / 7), 'w');
  ASSERT_TRUE(pager.PlaceText(word, Font{}));
  ASSERT_TRUE(pager.PlaceText(".", Font{}, true));
  ASSERT_TRUE(pager.PlaceText(" next", Font{}));
  std::vector<const DrawOp*> placed;
  for (const DrawOp& op : surface.canvas.Ops())
    if (op.kind == DrawOp::kText && op.points[0].y > m.lineHeight * 2) placed.push_back(&op);
  ASSERT_EQ(placed.size(), 3u);
  EXPECT_EQ(placed[1]->points[0].y, placed[0]->points[0].y);
  EXPECT_EQ(placed[1]->points[0].x, placed[0]->points[0].x + 7 * static_cast<int>(word.size()));
  EXPECT_EQ(placed[2]->text, "next");
  EXPECT_EQ(placed[2]->points[0].x, m.header.left);
  EXPECT_EQ(placed[2]->points[0].y, placed[0]->points[0].y + m.lineHeight);
}

// Text placed after a row begins a line of its own under the row, at the
// left edge, and never runs on in the row's line.
TEST(PrintPager, TextAfterARowBeginsALineOfItsOwn) {
  FakeSurface surface;
  const TPageMetrics m = ComputePageMetrics(10, 72, 300, 400, {0, 0, 300, 400});
  ASSERT_GT(m.header.left, 0);
  TPrintPager pager(surface, m, Font{}, "T", "f");
  ASSERT_TRUE(pager.PlaceText("before", Font{}));
  ASSERT_TRUE(pager.WriteRow(Row("row")));
  ASSERT_TRUE(pager.PlaceText("after", Font{}));
  const DrawOp* row = nullptr;
  const DrawOp* after = nullptr;
  for (const DrawOp& op : surface.canvas.Ops()) {
    if (op.kind == DrawOp::kText && op.text == "row") row = &op;
    if (op.kind == DrawOp::kText && op.text == "after") after = &op;
  }
  ASSERT_TRUE(row && after);
  EXPECT_EQ(after->points[0].x, m.header.left);
  EXPECT_EQ(after->points[0].y, row->points[0].y + m.lineHeight);
}

// Texts of n characters, each character as wide as the font's size.
TextMeasure Monospace(int size) {
  return [size](const std::string& text, bool) { return static_cast<int>(text.size()) * size; };
}

TEST(PrintColumns, ColumnsStayAtTheirSpotsMoveRightWhenWideAndLeftAtTheEdge) {
  TPrintRow header;
  header.name = "Class";
  header.columns = {"Freq.", "Rate", "Actant", "Acted"};
  TPrintRow row;
  row.name = "a rather long class name";
  row.columns = {"12", "1.234%", "40%", "60%"};
  const std::vector<TPrintRow> rows{header, row};
  TColumnFrame frame;
  frame.nameX = 10;
  frame.spots = {400, 500, 600, 700, 800};
  frame.rightLimit = 800;
  frame.gap = 5;
  frame.minNameWidth = 50;
  // Narrow texts: the spots of the page.
  TColumnLayout narrow = LayOutColumns(rows, frame, Monospace(10));
  EXPECT_EQ(narrow.right, frame.spots);
  EXPECT_EQ(narrow.nameEnd, 400 - 50 - 5);
  EXPECT_TRUE(narrow.fits);
  // Wide texts: each column clear of the one before, the set kept inside the edge.
  TColumnLayout wide = LayOutColumns(rows, frame, Monospace(30));
  ASSERT_EQ(wide.right.size(), 5u);
  EXPECT_LE(wide.right[3], 800);
  const int widest[] = {150, 180, 180, 150};  // "Freq.", "1.234%", "Actant", "Acted" at 30 a character
  for (size_t k = 1; k < 4; ++k) EXPECT_GE(wide.right[k] - wide.right[k - 1], 5 + widest[k]) << k;
  EXPECT_LT(wide.nameEnd, narrow.nameEnd);
  // So wide that no name would fit: the section's font must be smaller.
  EXPECT_FALSE(LayOutColumns(rows, frame, Monospace(60)).fits);
}

TEST(PrintColumns, ElideWrapAndPaperColours) {
  const auto width = [](const std::string& t) { return static_cast<int>(t.size()) * 10; };
  EXPECT_EQ(ElideText("short", 100, width), "short");
  EXPECT_EQ(ElideText("a much longer name", 100, width), "a much...");
  EXPECT_EQ(ElideText("name", 20, width), "");
  EXPECT_EQ(WrapText("one two three four", 90, width), (std::vector<std::string>{"one two", "three", "four"}));
  EXPECT_EQ(WrapText("abcdefghijkl", 50, width), (std::vector<std::string>{"abcde", "fghij", "kl"}));
  // Pale colours come darker, of the same hue; dark ones stay.
  const Rgb yellow = PaperColour(MakeRgb(255, 255, 0));
  EXPECT_LT(GreenOf(yellow), 140);
  EXPECT_EQ(RedOf(yellow), GreenOf(yellow));
  EXPECT_EQ(BlueOf(yellow), 0);
  EXPECT_EQ(PaperColour(MakeRgb(0, 0, 128)), MakeRgb(0, 0, 128));
  EXPECT_EQ(PaperColour(kBlack), kBlack);
}

// A print that cannot start names its output, else its printer; on a
// computer with no printer set up there is no name to give, and the message
// says how to choose one rather than ending on "on:".
TEST(PrintStart, AFailureNamesTheOutputThePrinterOrHowToChooseOne) {
  EXPECT_EQ(PrintStartFailure("/no/x.pdf", "Office"), "The print could not be started on: /no/x.pdf");
  EXPECT_EQ(PrintStartFailure("", "Office"), "The print could not be started on: Office");
  const std::string none = PrintStartFailure("", "");
  EXPECT_EQ(none.find("could not be started on"), std::string::npos);
  EXPECT_NE(none.find("Printer"), std::string::npos);
}

TEST(PrintPageMetrics, AFontTooBigForTheLinesIsMadeSmaller) {
  EXPECT_EQ(A4At300(10).fontPoints, 10);
  const TPageMetrics huge = A4At300(500);
  EXPECT_LT(huge.fontPoints, 500);
  // The font it keeps fits the line height, with its 40 %.
  EXPECT_LE(huge.fontPoints * 300 / 72 * 14 / 10, huge.lineHeight);
  EXPECT_EQ(MetricsForFont(huge, 10).lineHeight, A4At300(10).lineHeight);
}

TEST(PrintRows, ClassRowsAreTheRankedClassesAtOrAboveTheMinimum) {
  const std::vector<TRankedClass> ranked = {{"dam", 12, 3}, {"river", 5, 5}, {"", 5, 0}, {"sea", 2, 0}};
  const std::vector<TPrintRow> rows = ClassRows(ranked, 5, 200);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_TRUE(rows[0].bold);
  EXPECT_EQ(rows[0].columns[1], "Rate");
  EXPECT_EQ(rows[1].name, "dam");
  EXPECT_EQ(rows[1].columns, (std::array<std::string, 4>{"   12", "6.000%", "25%", "75%"}));
  EXPECT_EQ(rows[2].columns[2], "100%");
  // No base: rates of 0 %.
  EXPECT_EQ(ClassRows(ranked, 5, 0)[1].columns[1], "0.000%");
}

TEST(PrintRows, RelationsNeverCountOneNorRepeatAClass) {
  const std::vector<TRelationGroup> groups = {{{1, 2}, 4}, {{1, 2}, 1}, {{3, 3}, 5},
                                              {{2, 0}, 6}, {{2, 3}, 2}, {{1, 3}, 22}};
  const auto name = [](uint32_t c) { return std::string(1, static_cast<char>('A' + c - 1)); };
  const auto occ = [](uint32_t c) { return c * 10; };
  const std::vector<TPrintRow> rows = RelationRows(groups, name, occ);
  ASSERT_EQ(rows.size(), 4u);
  // The header says what the last column is of.
  EXPECT_EQ(rows[0].name, "Ratio: count / occurrences of the rarer class");
  EXPECT_EQ(rows[0].columns[3], "Ratio");
  EXPECT_EQ(rows[1].name, "A > B");
  EXPECT_EQ(rows[1].columns[2], "   4");
  EXPECT_EQ(rows[1].columns[3], "0.40");  // 4 / min(10, 20)
  EXPECT_EQ(rows[2].name, "B > C");
  // Counted more often than its rarer class occurs: a ratio above 1, no
  // percentage above 100.
  EXPECT_EQ(rows[3].columns[3], "2.20");
  for (const TPrintRow& r : rows) EXPECT_EQ(r.columns[3].find('%'), std::string::npos);
  for (const TPrintRow& r : rows) EXPECT_NE(r.columns[2], "   1");
}

TEST(PrintRows, EpisodesAndLemmas) {
  const std::vector<TBurstRecord> bursts = {
      {1, 1, 4, 10, 20, 15.0f}, {2, 1, 3, 11, 30, 20.5f}, {3, 2, 5, 40, 50, 45.0f}};
  const std::vector<TPrintRow> rows =
      EpisodeRows(bursts, [](int32_t id) { return id == 2 ? "" : "item" + std::to_string(id); });
  std::vector<std::string> names;
  for (const TPrintRow& r : rows) names.push_back(r.name);
  EXPECT_EQ(names, (std::vector<std::string>{"Episode 1", "", "item1", "Episode 2", "", "item3"}));
  EXPECT_EQ(rows[2].columns, (std::array<std::string, 4>{"   4", "  10", "  20", "15.0"}));
  const std::vector<TPrintRow> lemmas = LemmaRows({{"be", 8}, {"", 6}, {"go", 4}, {"run", 1}, {"see", 9}}, 2, 0, 845);
  ASSERT_EQ(lemmas.size(), 3u);
  EXPECT_EQ(lemmas[2].name, "go");
  EXPECT_EQ(lemmas[2].columns[1], "0.000%");
}

TEST(PrintRows, ScenarioTreeLinesGoOnWhileALaterSiblingFollows) {
  // 1 top (depth 0), 2 and 4 under it, 3 under 2.
  std::vector<TScenarioClass> classes(5);
  classes[1] = {"top", 9, 0, 0, true, 0};
  classes[2] = {"a", 4, 1, 1, true, 0};
  classes[3] = {"a1", 2, 2, 2, true, 0};
  classes[4] = {"b", 3, 1, 1, true, 0};
  const std::vector<TPrintRow> rows = ScenarioRows(classes, {1}, 0, 100);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[2].name, "a");
  EXPECT_EQ(rows[2].treeLines, 1u << 1);  // "b" follows at depth 1
  EXPECT_EQ(rows[3].depth, 2);
  EXPECT_EQ(rows[3].treeLines, 1u << 1);  // level 1 goes on, no later sibling at depth 2
  EXPECT_EQ(rows[4].treeLines, 0u);
  EXPECT_EQ(rows[1].firstColumn, 1);
}

class FakeTarget : public PrintTarget {
 public:
  PrintSurface* Begin(const Font&, TPageMetrics& metrics) override {
    ++begun;
    metrics = ComputePageMetrics(10, 72, 600, 800, {0, 0, 600, 800});
    return fail ? nullptr : &surface;
  }
  void End() override { ++ended; }
  FakeSurface surface;
  int begun = 0, ended = 0;
  bool fail = false;
};

TEST(PrintSectionsRun, NothingTickedOpensNothingAndAThrowingGraphClearsTheBusyFlag) {
  FakeTarget target;
  TPrintRequest request;
  request.font.size = 10;  // the page's metrics are made for it
  EXPECT_TRUE(PrintSections(request, target).ok);
  EXPECT_EQ(target.begun, 0);
  request.flags[kPrintGraph] = true;
  request.drawGraph = [](Canvas&, const Rect&) {
    EXPECT_TRUE(PrintRunning);
    throw std::runtime_error("drawer");
  };
  EXPECT_THROW(PrintSections(request, target), std::runtime_error);
  EXPECT_FALSE(PrintRunning);
  EXPECT_EQ(target.ended, 1);
  // The graph drawn inside the page frame, in the rectangle from left 20.
  Rect drawn;
  request.drawGraph = [&](Canvas&, const Rect& r) { drawn = r; };
  const TPrintOutcome outcome = PrintSections(request, target);
  EXPECT_EQ(outcome.printed, std::vector<int>{kPrintGraph});
  EXPECT_EQ(drawn.left, 20);
  EXPECT_EQ(drawn.top, 3 * 14);
  EXPECT_EQ(drawn.bottom, 800 - 2 * 14);
  // An output that cannot be opened: not done, the flag cleared.
  target.fail = true;
  EXPECT_FALSE(PrintSections(request, target).ok);
  EXPECT_FALSE(PrintRunning);
}

// Printed in colour, whatever a section draws (here the graph) has its
// lines and texts darkened for paper, its fills as they are; printed in
// black, the colours are left to the section.
TEST(PrintSectionsRun, InColourTheGraphsLinesAndTextsAreDarkenedForPaper) {
  const Rgb pale = MakeRgb(255, 255, 0);
  FakeTarget target;
  TPrintRequest request;
  request.font.size = 10;
  request.flags[kPrintGraph] = true;
  request.drawGraph = [=](Canvas& c, const Rect& r) {
    c.SetPen(pale);
    c.SetBrush(pale);
    c.Line({r.left, r.top}, {r.right, r.bottom});
    Font f;
    f.colour = pale;
    c.SetFont(f);
    c.TextOut(r.left, r.top, "label");
  };
  auto drawn = [&target] {
    const DrawOp* line = nullptr;
    const DrawOp* label = nullptr;
    for (const DrawOp& op : target.surface.canvas.Ops()) {
      if (op.kind == DrawOp::kLine) line = &op;
      if (op.kind == DrawOp::kText && op.text == "label") label = &op;
    }
    return std::make_pair(line, label);
  };
  request.colour = true;
  ASSERT_TRUE(PrintSections(request, target).ok);
  auto [line, label] = drawn();
  ASSERT_NE(line, nullptr);
  ASSERT_NE(label, nullptr);
  EXPECT_NE(PaperColour(pale), pale);
  EXPECT_EQ(line->pen, PaperColour(pale));
  EXPECT_EQ(line->brush, pale);
  EXPECT_EQ(label->font.colour, PaperColour(pale));
  target.surface.canvas.Clear();
  request.colour = false;
  ASSERT_TRUE(PrintSections(request, target).ok);
  std::tie(line, label) = drawn();
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->font.colour, pale);
}

// Printed extracts are spaced and quoted as the text page shows them: an
// extract that follows another on its line is set apart by a blank, opens
// with the quote its mark opened, and closes its quotes where the whole text
// does, after a quote the text never closed (`"x y.` quoted on).
TEST(PrintSectionsRun, ExtractsKeepTheirBlanksAndQuotes) {
  TextWords.Clear();
  int32_t position = 0;
  auto word = [&](const char* text, const char* tag = " ") {
    TWordCategoryData d;
    d.Category.MajorClass = kClassDeterminant;
    TextWords.Append(text, tag, 0, 1, ++position, &d);
  };
  auto mark = [&](const char* tag) {
    TWordCategoryData d;
    TextWords.Append("/", tag, 0, 1, position, &d);
  };
  word("x", "\"");
  word("y");
  mark(".\"");
  word("z");
  word("w");
  word("v", "\",");
  word("said");
  mark(".\"");
  word("Failure");
  word("burden");
  word("on", "\"");
  word("taxes");
  mark(".");
  // The first and the third proposition are the extracts.
  ViewState.selection.Clear();
  ViewState.selection.kind = kSelectLexicalEntry;
  ViewState.selection.lexicalEntry = 0;
  ViewState.selection.majorClass = kClassSubstantive;
  BeginNewSelection();
  ViewState.selection.kind = kSelectMarked;
  for (TWordNode* n = TextWords.First(); n; n = TWordList::NextNode(n))
    if (n->text && (std::string(n->text) == "x" || std::string(n->text) == "burden")) n->mark = 1;
  ViewState.SelectionActive = true;
  ViewState.ExtractMode = true;
  AnalysisResults = std::make_unique<TAnalysisResults>(TextWords.Count(), TakeRunSettings(*Options));
  FakeTarget target;
  TPrintRequest request;
  request.font.size = 10;
  request.flags[kPrintText] = true;
  ASSERT_TRUE(PrintSections(request, target).ok);
  std::string printed;
  for (const std::string& text : target.surface.canvas.Texts()) printed += text;
  EXPECT_NE(printed.find("\"x y.\" \"Failure burden\" on taxes."), std::string::npos) << printed;
  AnalysisResults.reset();
  ViewState.Reset();
  ViewState.selection.Clear();
  TextWords.Clear();
}

// The findings of a text too short for a style are printed beside its
// table, but not the error said when it was read: only the Borders' message
// when they took everything out.
TEST(PrintSectionsRun, TheStyleOfAOneWordTextPrintsTheBordersFindingAlone) {
  TextWords.Clear();
  TWordCategoryData d;
  TextWords.Append("alone", " ", 0, 1, 1, &d);
  AnalysisResults = std::make_unique<TAnalysisResults>(TextWords.Count(), TakeRunSettings(*Options));
  TPrintRequest request;
  request.font.size = 10;
  request.flags[kPrintStyle] = true;
  auto printed = [&request] {
    FakeTarget target;
    EXPECT_TRUE(PrintSections(request, target).ok);
    std::string all;
    for (const std::string& text : target.surface.canvas.Texts()) all += text + "|";
    return all;
  };
  for (uint32_t filtered : {0u, 3u}) {
    RunCounts.filteredPropositions = filtered;
    const std::string all = printed();
    EXPECT_EQ(all.find("Corrupted input"), std::string::npos) << all;
    EXPECT_EQ(all.find("All the text is filtered by the borders|!|") != std::string::npos, filtered > 0) << all;
  }
  RunCounts.filteredPropositions = 0;
  AnalysisResults.reset();
  TextWords.Clear();
}

TEST(PrintSectionsRun, FooterOfOneFileOrAList) {
  EXPECT_EQ(PrintFooter(1, "/a/B.txt"), "/a/B.txt");
  EXPECT_EQ(PrintFooter(3, "x"), "Statistics on  a list of files");
  WorkContext->CurrentFileName = "/texts/Some Report.txt";
  EXPECT_EQ(CurrentPrintTitle(), "Some Report.txt");
  WorkContext->CurrentFileName.clear();
  EXPECT_EQ(CurrentPrintTitle(), "");
  EXPECT_EQ(SentenceCase("REFERENCE fields 1"), "Reference fields 1");
  EXPECT_EQ(PrintItemByName("episodes"), kPrintEpisodes);
  EXPECT_EQ(PrintItemByName("nope"), -1);
}

}  // namespace
}  // namespace quilor::ui
