// What the text and the graphs show after a click on a results line: the
// graphs of the line's own selection, nothing left over from an earlier
// selection, result type or text.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <cctype>
#include <map>
#include <string>

#include "app/install_windows_qt.h"
#include "core/options.h"
#include "engine/analysis_results.h"
#include "engine/category_counters.h"
#include "engine/command_line.h"
#include "engine/ontology_engine.h"
#include "mainwindow/graph_state.h"
#include "ui/selection_ops.h"
#include "engine/selection.h"
#include "engine/word_list.h"
#include "core/file_queue.h"
#include "core/messages.h"
#include "mainwindow/context_window.h"
#include "mainwindow/graph.h"
#include "mainwindow/graph_panel_widget.h"
#include "mainwindow/text_view_widget.h"
#include "ui/result_type_codes.h"
#include "mainwindow/graph_source.h"
#include "mainwindow/results_panel.h"
#include "mainwindow/results_panel_widget.h"
#include "ui/recording_canvas.h"
#include "ui/view_state.h"
#include "main_window_fixture.h"
#include "support/corpus.h"

namespace quilor::ui::testing_support {
namespace {

// The result-type index of the entry with this code and level (-1: none).
int ResultTypeIndex(TVekEditForm& w, int code, int level = 0) {
  const TResultTypeTable& table = ResultsOf(w)->Panel().ResultTypeTable();
  for (int i = 0; i <= table.Count(); ++i) {
    const TResultTypeEntry* e = table.Entry(i);
    if (e && e->code == code && (level == 0 || e->level == level)) return i;
  }
  return -1;
}

// The first results line that starts with `start` (-1: none).
int LineStartingWith(TVekEditForm& w, const std::string& start) {
  const auto& items = ResultsOf(w)->Panel().Items();
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].rfind(start, 0) == 0) return static_cast<int>(i);
  return -1;
}

// The graph of a kind as the graph panel draws it: the selection's name as title.
RecordingCanvas DrawGraph(int kind) {
  Options->Set(opt::GraphKind, static_cast<uint16_t>(kind));
  EngineGraphSource source;
  TGrapheQuilor graph(source);
  RecordingCanvas canvas(7);
  graph.Draw(canvas, {0, 0, 600, 300}, kModeRedraw, ViewState.selection.firstTerm);
  return canvas;
}

bool HasText(const RecordingCanvas& canvas, const std::string& text) {
  const auto texts = canvas.Texts();
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// The counts written on the distribution bars (the bars are wide enough):
// every number drawn but the axis's end, the text's highest position.
int CountedWords(const RecordingCanvas& canvas) {
  int sum = 0;
  for (const std::string& t : canvas.Texts())
    if (!t.empty() && t.find_first_not_of("0123456789") == std::string::npos) sum += std::stoi(t);
  return sum - TextWords.HighestPosition();
}

class SelectionGraphsTest : public MainWindowTest {
 protected:
  // The window with its views, at the smallest size it is used at.
  TVekEditForm& StartWindow() {
    TVekEditForm& w = Start();
    InstallWindows(w);
    w.resize(1024, 700);
    w.show();
    return w;
  }
  // A text open, the graph shown, the distribution's bars wide enough for their counts.
  TVekEditForm& OpenText(const std::string& path) {
    TVekEditForm& w = StartWindow();
    Options->Set(opt::ShowGraph, uint8_t{1});
    Options->Set(opt::DistributionGraphSetting, uint16_t{14});
    EXPECT_TRUE(Open(path));
    return w;
  }
  TVekEditForm& OpenSample() { return OpenText(sample_); }
};

TEST_F(SelectionGraphsTest, AWordCategoryHasItsGraphs) {
  TVekEditForm& w = OpenSample();
  const int all = ResultTypeIndex(w, kResultCategories, 1);
  ASSERT_GE(all, 0);
  w.ShowResultType(all);
  const int factive = LineStartingWith(w, "Factive");
  ASSERT_GE(factive, 0);
  ClickLine(w, factive);
  EXPECT_EQ(ViewState.selection.firstTerm, "Factive");
  // The star graph: the category in the centre, its neighbours or the
  // sentence that says there are none.
  const RecordingCanvas star = DrawGraph(kGraphStar);
  EXPECT_TRUE(HasText(star, "Factive"));
  EXPECT_GT(star.Texts().size(), 2u);
  // The area graph of a category is its star graph.
  const RecordingCanvas areas = DrawGraph(kGraphAreas);
  EXPECT_TRUE(HasText(areas, "Factive"));
  // The distribution graph counts the category's words, under its name.
  const RecordingCanvas distribution = DrawGraph(kGraphDistribution);
  EXPECT_GT(CountedWords(distribution), 0);
  EXPECT_TRUE(HasText(distribution, "Factive"));
  // A family header line: its graphs too.
  const int verbs = LineStartingWith(w, "* ");
  ASSERT_GE(verbs, 0);
  ClickLine(w, verbs);
  EXPECT_GT(CountedWords(DrawGraph(kGraphDistribution)), 0);
  EXPECT_GT(DrawGraph(kGraphStar).Texts().size(), 2u);
  CloseWindow();
}

// The panel of the graphs, and a click of its picture as the mouse does.
GraphPanel* GraphOf(TVekEditForm& w) { return w.findChild<GraphPanel*>(); }

// The kind buttons say which graph is drawn: the area button asked for a
// word category, whose area graph is its star graph, leaves the star's
// button checked, as the panel's title says.
TEST_F(SelectionGraphsTest, TheKindButtonsFollowTheGraphDrawn) {
  TVekEditForm& w = OpenSample();
  w.ShowResultType(ResultTypeIndex(w, kResultCategories, 1));
  const int factive = LineStartingWith(w, "Factive");
  ASSERT_GE(factive, 0);
  ClickLine(w, factive);
  GraphPanel* panel = GraphOf(w);
  panel->ShowKind(kGraphAreas);
  QApplication::processEvents();
  panel->Refresh(kModeRedraw);
  EXPECT_TRUE(panel->KindButton(kGraphStar)->isChecked());
  EXPECT_FALSE(panel->KindButton(kGraphAreas)->isChecked());
  // A class has its own area graph: the area button stays checked.
  w.ShowResultType(ClassListIndexOfLevel(1));
  ClickLine(w, 0);
  panel->ShowKind(kGraphAreas);
  QApplication::processEvents();
  panel->Refresh(kModeRedraw);
  EXPECT_TRUE(panel->KindButton(kGraphAreas)->isChecked());
  EXPECT_FALSE(panel->KindButton(kGraphStar)->isChecked());
  CloseWindow();
}

void ClickGraph(TVekEditForm& w, int x, int y) {
  QWidget* picture = GraphOf(w)->Picture();
  QTest::mouseClick(picture, Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
}

std::string Ca01() { return quilor::testing_support::CorpusFile("plain", "ca01.txt"); }

TEST_F(SelectionGraphsTest, ShowGraphIsOfferedOnceTheGraphIsHidden) {
  TVekEditForm& w = OpenSample();
  w.ShowResultType(ClassListIndexOfLevel(1));
  ClickLine(w, 0);
  ASSERT_TRUE(ViewState.GraphShown);
  EXPECT_FALSE(w.Command(CommandId::MenuAfficherGraphe)->isEnabled());
  w.Command(CommandId::PopupImageGrapheCacher)->trigger();
  EXPECT_TRUE(w.Command(CommandId::MenuAfficherGraphe)->isEnabled());
  w.Command(CommandId::MenuAfficherGraphe)->trigger();
  EXPECT_TRUE(ViewState.GraphShown);
  EXPECT_TRUE(w.Command(CommandId::PopupImageGrapheCacher)->isEnabled());
  CloseWindow();
}

TEST_F(SelectionGraphsTest, TheContextOpensItsDocumentOfAList) {
  TVekEditForm& w = StartWindow();
  ASSERT_TRUE(w.Session().OpenChosenFiles({sample_, Ca01()}, 0));
  ViewState.HitWordPosition = 20;
  w.Command(CommandId::MenuContexte)->trigger();
  ContextWindow* context = w.findChild<ContextWindow*>();
  ASSERT_NE(context, nullptr);
  ASSERT_TRUE(context->OpenWithProgramAction()->isEnabled());
  context->OpenWithProgramAction()->trigger();
  EXPECT_EQ(FileQueue.Count(), 1);
  EXPECT_EQ(WorkContext->CurrentFileName, sample_);
  EXPECT_TRUE(w.TextLoaded());
  CloseWindow();
}

TEST_F(SelectionGraphsTest, EpisodesDetectedShowsTheFirstEpisode) {
  TVekEditForm& w = StartWindow();
  ASSERT_TRUE(Open(Ca01()));
  TResultsPanel& panel = ResultsOf(w)->Panel();
  w.ShowResultType(kTypeStyle);
  int episodes = -1;
  for (size_t i = 0; i < panel.Items().size(); ++i)
    if (panel.Items()[i].find(GetMessageText(563)) != std::string::npos) episodes = static_cast<int>(i);
  ASSERT_GE(episodes, 0) << "ca01 has episodes";
  ClickLine(w, episodes);
  // The left list follows: the first episode's line, and its lines listed.
  EXPECT_EQ(panel.CurrentResultType, panel.FirstEpisodeIndex + 1);
  EXPECT_EQ(ResultsOf(w)->ResultTypeList()->currentRow(), panel.FirstEpisodeIndex + 1);
  EXPECT_EQ(ResultsOf(w)->ResultsList()->model()->rowCount(), static_cast<int>(panel.Items().size()));
  CloseWindow();
}

TEST_F(SelectionGraphsTest, ADistributionSliceMovesTheTextView) {
  TVekEditForm& w = OpenText(Ca01());
  ASSERT_TRUE(w.TextLoaded());
  w.ShowResultType(ClassListIndexOfLevel(1));
  ClickLine(w, 0);
  w.Command(CommandId::ToolButtonGrapheRepartition)->trigger();
  QApplication::processEvents();
  ASSERT_TRUE(ViewState.GraphShown);
  ASSERT_EQ(GraphOf(w)->Graph().DrawnKind(), kGraphDistribution);
  TextViewWidget* text = w.findChild<TextViewWidget*>();
  ASSERT_NE(text, nullptr);
  const int32_t before = text->Page().FirstWordPosition();
  // The bar of slice 10: the graph's left edge moved in by 4, bars every 28 pixels.
  ClickGraph(w, 4 + 28 * 11 + 7, GraphOf(w)->Picture()->height() / 2);
  EXPECT_GT(ViewState.TextPartStart, 0);
  const int32_t after = text->Page().FirstWordPosition();
  EXPECT_NE(after, before);
  EXPECT_GE(after, ViewState.TextPartStart - 60);
  CloseWindow();
}

TEST_F(SelectionGraphsTest, ABurstChosenInOneTextIsForgottenWithIt) {
  StartWindow();
  ASSERT_TRUE(Open(Ca01()));
  ASSERT_GT(AnalysisResults->BurstCount, 0u);
  // As a click on the bursts graph leaves them.
  ViewState.graph.ChosenBurstRow = 1;
  ViewState.graph.ChosenBurstClass = AnalysisResults->Burst(0)->itemId;
  ViewState.graph.ChosenEpisode = static_cast<int32_t>(AnalysisResults->Burst(0)->episode);
  ASSERT_TRUE(Open(sample_));
  EXPECT_EQ(ViewState.graph.ChosenBurstRow, 0);
  EXPECT_EQ(ViewState.graph.ChosenBurstClass, 0);
  EXPECT_EQ(ViewState.graph.ChosenEpisode, 0);
  CloseWindow();
}

TEST_F(SelectionGraphsTest, ACategoryBundleHasItsOwnGraph) {
  TVekEditForm& w = OpenText(Ca01());
  ASSERT_TRUE(w.TextLoaded());
  // A class first: its name must not stay on the bundle's graph.
  w.ShowResultType(ClassListIndexOfLevel(1));
  ClickLine(w, 0);
  const std::string className = ViewState.selection.firstTerm;
  ASSERT_FALSE(className.empty());
  // The first bundle of a category, and its line in its episode.
  const TResultsPanel& panel = ResultsOf(w)->Panel();
  int episode = -1, line = -1, code = 0;
  for (uint32_t i = 0; i < AnalysisResults->BurstCount && episode < 0; ++i) {
    const TBurstRecord* b = AnalysisResults->Burst(i);
    if (b->itemId >= 0) continue;
    episode = static_cast<int>(b->episode);
    code = -b->itemId;
    line = 0;
    for (uint32_t j = 0; j < i; ++j) line += AnalysisResults->Burst(j)->episode == b->episode ? 1 : 0;
  }
  ASSERT_GE(episode, 0) << "ca01 has a bundle of a category";
  w.ShowResultType(panel.FirstEpisodeIndex + episode);
  ClickLine(w, line);
  EXPECT_EQ(ViewState.selection.firstTerm, CategoryLabel(code));
  const RecordingCanvas distribution = DrawGraph(kGraphDistribution);
  EXPECT_TRUE(HasText(distribution, CategoryLabel(code)));
  EXPECT_FALSE(HasText(distribution, className));
  EXPECT_GT(CountedWords(distribution), 0);
  CloseWindow();
}

TEST_F(SelectionGraphsTest, AnotherResultTypeEndsTheSelection) {
  TVekEditForm& w = OpenSample();
  w.ShowResultType(ClassListIndexOfLevel(1));
  ClickLine(w, 0);
  ASSERT_TRUE(ViewState.SelectionActive);
  ASSERT_TRUE(w.PanelGraph()->isVisibleTo(&w));
  // The user picks the style in the left list.
  ResultsOf(w)->ResultTypeList()->setCurrentRow(kTypeStyle);
  EXPECT_FALSE(ViewState.SelectionActive);
  EXPECT_FALSE(ViewState.ExtractMode);
  EXPECT_TRUE(ViewState.selection.firstTerm.empty());
  EXPECT_FALSE(w.PanelGraph()->isVisibleTo(&w));
  CloseWindow();
}

TEST_F(SelectionGraphsTest, AKeyAbsentFromTheTextShowsTheWholeText) {
  TVekEditForm& w = StartWindow();
  ASSERT_TRUE(Open(sample_));
  // A class of the dictionary that the sample never names, and a word no
  // class bears: neither selects anything.
  std::string absent;
  for (int32_t c = 1; c <= OntologyEngine->LevelClassCount(1) && absent.empty(); ++c)
    if (OntologyEngine->ClassOccurrences(1, c) == 0 && OntologyEngine->ClassName(1, c).size() > 3)
      absent = OntologyEngine->ClassName(1, c);
  ASSERT_FALSE(absent.empty());
  for (const std::string& key : {absent, std::string("qqzzxx")}) {
    WorkContext->SearchKeys[0] = key;
    WorkContext->SearchKeyKinds[0] = 0;
    CommandLineFlags.searchKeyGiven = CommandLineFlags.keyKindValid = true;
    ASSERT_TRUE(Open(sample_));
    EXPECT_FALSE(ViewState.ExtractMode) << key;
    EXPECT_FALSE(ViewState.SelectionActive) << key;
    TextViewWidget* text = w.findChild<TextViewWidget*>();
    QApplication::processEvents();
    text->ForcerAffichage();
    EXPECT_GT(text->Page().WordsDrawn(), 10) << key;
    EXPECT_NE(w.StatusText(1).toStdString().find(key), std::string::npos) << key;
  }
  CloseWindow();
}

TEST_F(SelectionGraphsTest, AScenarioKeySelectsItsLine) {
  TVekEditForm& w = StartWindow();
  ASSERT_TRUE(Open(sample_));
  w.ShowResultType(kTypeScenario);
  const TResultsPanel& panel = ResultsOf(w)->Panel();
  // The last group of the list, so that a line above it cannot pass.
  ASSERT_GT(panel.LineTags().size(), 2u);
  int chosen = -1;
  for (size_t i = 0; i < panel.LineTags().size(); ++i) {
    const uint32_t tag = panel.LineTags()[i];
    if (tag > 0 && OntologyEngine->ScenarioEntryOccurrences(tag) > 0) chosen = static_cast<int>(i);
  }
  ASSERT_GT(chosen, 0);
  const uint32_t tag = panel.LineTags()[static_cast<size_t>(chosen)];
  WorkContext->SearchKeys[0] = OntologyEngine->ScenarioClassName(static_cast<int32_t>(tag));
  WorkContext->SearchKeyKinds[0] = 4;
  CommandLineFlags.searchKeyGiven = CommandLineFlags.keyKindValid = true;
  ASSERT_TRUE(Open(sample_));
  EXPECT_EQ(panel.CurrentResultType, kTypeScenario);
  ASSERT_GE(panel.SelectedLine(), 0);
  EXPECT_EQ(panel.LineTags()[static_cast<size_t>(panel.SelectedLine())], tag);
  EXPECT_EQ(ResultsOf(w)->ResultsList()->currentIndex().row(), panel.SelectedLine());
  CloseWindow();
}

TEST_F(SelectionGraphsTest, AClassChosenOnAGraphSelectsItsLine) {
  TVekEditForm& w = OpenSample();
  const TResultsPanel& panel = ResultsOf(w)->Panel();
  w.ShowResultType(ClassListIndexOfLevel(1));
  ASSERT_GE(panel.Items().size(), 2u);
  const std::string name = panel.ItemName(1);
  w.ShowResultType(kTypeStyle);
  // As a click on a burst or a graph's class leaves the selection, the
  // class list of its level is shown.
  BeginNewSelection();
  ViewState.selection.kind = kSelectClass;
  ViewState.selection.classLevel = 1;
  ViewState.selection.firstClass = static_cast<uint32_t>(OntologyEngine->FindClassIndex(1, name));
  ViewState.selection.firstTerm = name;
  w.ShowResultType(ClassListIndexOfLevel(1));
  EXPECT_EQ(panel.SelectedLine(), 1);
  EXPECT_EQ(ResultsOf(w)->ResultsList()->currentIndex().row(), 1);
  EXPECT_TRUE(ViewState.SelectionActive);
  EXPECT_EQ(ViewState.selection.firstTerm, name);
  CloseWindow();
}

TEST_F(SelectionGraphsTest, ARightClickSelectsItsLine) {
  TVekEditForm& w = OpenSample();
  w.ShowResultType(ClassListIndexOfLevel(1));
  QApplication::processEvents();
  QListView* list = ResultsOf(w)->ResultsList();
  const TResultsPanel& panel = ResultsOf(w)->Panel();
  ASSERT_GE(panel.Items().size(), 2u);
  const QRect line = list->visualRect(list->model()->index(1, 0));
  ASSERT_FALSE(line.isEmpty());
  emit list->customContextMenuRequested(line.center());
  w.ResultsPopup()->close();
  EXPECT_EQ(panel.SelectedLine(), 1);
  EXPECT_EQ(list->currentIndex().row(), 1);
  EXPECT_EQ(ViewState.selection.firstTerm, panel.ItemName(1));
  CloseWindow();
}

bool HasLetterOrDigit(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](unsigned char c) { return std::isalnum(c) != 0; });
}

// An extract shows each proposition with its own punctuation: what closed
// the proposition before it is not written again at the start of its line,
// and its first word follows the line's mark without a blank.
TEST_F(SelectionGraphsTest, AnExtractLineNeverStartsWithThePunctuationBeforeIt) {
  TVekEditForm& w = StartWindow();
  ASSERT_TRUE(Open(quilor::testing_support::CorpusFile("plain", "ca01.txt")));
  w.ShowResultType(ClassListIndexOfLevel(1));
  ClickLine(w, 0);
  ASSERT_TRUE(ViewState.ExtractMode);
  TextViewWidget* text = w.findChild<TextViewWidget*>();
  RecordingCanvas canvas(7);
  TextWords.RestoreCursor(1);
  text->Page().DrawPage(canvas, Rect{0, 0, 700, 2000});
  std::map<int, std::vector<std::string>> lines;
  for (const DrawOp& op : canvas.Ops())
    if (op.kind == DrawOp::kText && !op.text.empty()) lines[op.points[0].y].push_back(op.text);
  ASSERT_GT(lines.size(), 5u);
  for (const auto& [y, texts] : lines) {
    EXPECT_TRUE(HasLetterOrDigit(texts.front())) << y << " [" << texts.front() << "]";
    EXPECT_NE(texts.front()[0], ' ') << y << " [" << texts.front() << "]";
  }
  CloseWindow();
}

}  // namespace
}  // namespace quilor::ui::testing_support
