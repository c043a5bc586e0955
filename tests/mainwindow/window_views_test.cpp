// The main window's views as a user meets them: the graph panel and its
// track bar, the status bar, the results list's columns, the popup captions,
// the context window and the feedback after a stop, a close or an empty folder.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QSplitter>
#include <QListView>
#include <QPushButton>
#include <QMenuBar>
#include <QScreen>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <fstream>
#include <set>

#include "engine/command_line.h"
#include "core/options.h"
#include "engine/selection.h"
#include "core/files.h"
#include "mainwindow/context_window.h"
#include "mainwindow/copy_window.h"
#include "mainwindow/graph.h"
#include "mainwindow/graph_panel_widget.h"
#include "mainwindow/graph_track_bar.h"
#include "app/install_windows_qt.h"
#include "ui/hint_pause_qt.h"
#include "ui/recording_canvas.h"
#include "ui/result_type_codes.h"
#include "mainwindow/results_panel_widget.h"
#include "scenario/scenario_editor.h"
#include "ui/view_state.h"
#include "main_window_fixture.h"
#include "support/corpus.h"

namespace quilor::ui::testing_support {
namespace {

TEST(GraphTrackBar, EachKindHasItsRangeAndAMoveSaysHowManyObjects) {
  Options->ResetSettings();
  InitMessages();
  Options->Set(opt::GraphMaxObjects, uint16_t{30});
  Options->Set(opt::DistributionGraphSetting, uint16_t{20});
  const TGraphTrackBar areas = ConfigureGraphTrackBar(kGraphAreas);
  EXPECT_TRUE(areas.visible && areas.enabled);
  EXPECT_EQ(areas.minimum, 4);
  EXPECT_EQ(areas.maximum, 100);
  EXPECT_EQ(areas.lineStep, 2);
  EXPECT_EQ(areas.pageStep, 4);
  EXPECT_EQ(areas.position, 30);
  EXPECT_EQ(ConfigureGraphTrackBar(kGraphDistribution).position, 20);
  EXPECT_EQ(ConfigureGraphTrackBar(kGraphDistribution).maximum, 36);
  for (int kind : {kGraphStar, kGraphBursts}) EXPECT_FALSE(ConfigureGraphTrackBar(kind).visible) << kind;
  // A 600-pixel distribution graph with bars of 20 shows 14 objects.
  EXPECT_EQ(GraphTrackBarChange(kGraphDistribution, 20, 600), "Maximum number of objects: 14");
  EXPECT_EQ(GraphTrackBarChange(kGraphActors, 42, 600), "Maximum number of objects: 42");
  EXPECT_EQ(Options->Get(opt::GraphMaxObjects), 42);
  EXPECT_EQ(GraphTrackBarChange(kGraphStar, 12, 600), "");
  EXPECT_EQ(Options->Get(opt::GraphMaxObjects), 42);
  Options->ResetSettings();
}

// The graph panel shows only with a graph: hidden after an analysis (no
// extract), shown with a selection, hidden whole by "Hide the graph"; the
// title of a released text never reappears.
TEST_F(MainWindowTest, TheGraphPanelShowsOnlyAGraph) {
  TVekEditForm& w = StartShown();
  Options->Set(opt::GraphKind, uint16_t{kGraphStar});
  Options->Set(opt::ShowGraph, uint8_t{1});
  ASSERT_TRUE(Open(sample_));
  EXPECT_FALSE(w.PanelGraph()->isVisibleTo(&w));
  w.ShowResultType(ClassListIndexOfLevel(1));
  ClickLine(w, 0);
  ASSERT_TRUE(ViewState.ExtractMode);
  EXPECT_TRUE(w.PanelGraph()->isVisibleTo(&w));
  QApplication::processEvents();  // the panel shown takes its size and draws
  QTabWidget* tabs = w.PageControl3();
  EXPECT_EQ(tabs->tabText(tabs->indexOf(w.GraphContainer())), QStringLiteral("Graph: Star"));
  // The track bar follows the kind: none for the star, the objects for the areas.
  EXPECT_FALSE(w.GraphTrackBar()->isVisibleTo(&w));
  w.Command(CommandId::ToolButtonGrapheAire)->trigger();
  ASSERT_TRUE(w.GraphTrackBar()->isVisibleTo(&w));
  EXPECT_EQ(w.GraphTrackBar()->maximum(), 100);
  w.GraphTrackBar()->setValue(Options->Get(opt::GraphMaxObjects) + 2);
  EXPECT_EQ(w.StatusText(1).toStdString(),
            "Maximum number of objects: " + std::to_string(Options->Get(opt::GraphMaxObjects)));
  // Hide the graph: the whole panel goes.
  ASSERT_TRUE(w.Command(CommandId::PopupImageGrapheCacher)->isEnabled());
  w.Command(CommandId::PopupImageGrapheCacher)->trigger();
  EXPECT_FALSE(w.PanelGraph()->isVisibleTo(&w));
  // A tool button asks for a graph again, with a selection of its own.
  w.Command(CommandId::ToolButtonGrapheEtoile)->trigger();
  EXPECT_TRUE(w.PanelGraph()->isVisibleTo(&w));
  // Another text: the previous title is gone and no graph shows.
  const std::string title = ViewState.selection.firstTerm;
  ASSERT_FALSE(title.empty());
  ASSERT_TRUE(Open(sample_));
  EXPECT_TRUE(ViewState.selection.firstTerm.empty());
  EXPECT_FALSE(w.PanelGraph()->isVisibleTo(&w));
  CloseWindow();
}

// The open-question sibling of the Tools menu is started with a file that
// holds the results list shown.
TEST_F(MainWindowTest, TheOpenQuestionSiblingReceivesTheResultsList) {
  const fs::path apps = fs::path(tmp_.path()) / "data/applications";
  fs::create_directories(apps);
  const fs::path script = fs::path(tmp_.path()) / "demora.sh";
  const fs::path received = fs::path(tmp_.path()) / "received.txt";
  {
    std::ofstream out(script);
    out << "#!/bin/sh\ncat \"$1\" > " << received.string() << ".part && mv " << received.string() << ".part "
        << received.string() << "\n";
  }
  fs::permissions(script, fs::perms::owner_all);
  {
    std::ofstream out(apps / "demora.desktop");
    out << "[Desktop Entry]\nName=Demora\nExec=" << script.string() << " %f\n";
  }
  TVekEditForm& w = StartWithViews();
  ASSERT_TRUE(Open(sample_));
  w.ShowResultType(ClassListIndexOfLevel(1));
  const std::vector<std::string> lines = ResultsOf(w)->Panel().Items();
  ASSERT_FALSE(lines.empty());
  QAction* demora = w.Command(CommandId::MenuOutilsDemora);
  ASSERT_TRUE(demora->isVisible());
  demora->trigger();
  for (int i = 0; i < 200 && !fs::exists(received); ++i) QTest::qWait(25);
  ASSERT_TRUE(fs::exists(received));
  std::ifstream in(received);
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first, lines[0] + "\r");
  CloseWindow();
}

// Counts and shares line up: every count of a list ends at the same x, and
// the Scenario list's columns are named, its third number too.
// A canvas whose bold letters are wider than its plain ones, as a real font's are.
class BoldWiderCanvas : public RecordingCanvas {
 public:
  BoldWiderCanvas() : RecordingCanvas(7) {}
  void SetFont(const Font& font) override {
    bold_ = font.bold;
    RecordingCanvas::SetFont(font);
  }
  int TextWidth(const std::string& text) override { return static_cast<int>(text.size()) * (bold_ ? 9 : 7); }

 private:
  bool bold_ = false;
};

TEST_F(MainWindowTest, ResultsColumnsAlignAndAreNamed) {
  TVekEditForm& w = StartShown();
  ASSERT_TRUE(Open(quilor::testing_support::CorpusFile("plain", "ca01.txt")));
  w.ShowResultType(ClassListIndexOfLevel(1));
  ResultsPanelWidget* results = ResultsOf(w);
  QListView* list = results->ResultsList();
  const auto& items = list->model()->rowCount();
  ASSERT_GT(items, 2);
  // The lines keep their columns (no TAB flattened to a blank).
  EXPECT_TRUE(list->model()->index(0, 0).data().toString().contains(QLatin1Char('\t')));
  // Drawn, the counts end at one x whatever the length of the names.
  TResultsPanel& panel = results->Panel();
  RecordingCanvas canvas(7);
  panel.LayOutColumns(canvas, 300);
  std::set<int> ends;
  std::set<size_t> lengths;
  for (int line = 0; line < items; ++line) {
    canvas.Clear();
    panel.DrawLine(canvas, Rect{0, 0, 300, 16}, line);
    const std::vector<std::string> columns = SplitColumns(panel.Items()[static_cast<size_t>(line)]);
    lengths.insert(columns[0].size());
    for (const DrawOp& op : canvas.Ops())
      if (op.kind == DrawOp::kText && op.text == columns[1])
        ends.insert(op.points[0].x + 7 * static_cast<int>(op.text.size()));
  }
  EXPECT_GT(lengths.size(), 1u);  // names of several lengths
  EXPECT_EQ(ends.size(), 1u);
  EXPECT_EQ(panel.ColumnCaptions()[1], "Count");
  w.ShowResultType(kTypeScenario);
  const std::vector<std::string> captions = panel.ColumnCaptions();
  ASSERT_GE(captions.size(), 3u);
  EXPECT_EQ(captions[2], "Parent group");
  EXPECT_TRUE(results->Header()->isVisible());
  // The captions are drawn bold: measured bold, none runs into the gap
  // before the next one.
  BoldWiderCanvas wide;
  Font bold;
  bold.bold = true;
  panel.MeasureColumns(wide, bold);
  panel.LayOutColumns(300);
  wide.SetFont(bold);
  panel.DrawHeader(wide, Rect{0, 0, 300, 16});
  int previousEnd = -1000;
  int drawn = 0;
  for (const DrawOp& op : wide.Ops()) {
    if (op.kind != DrawOp::kText) continue;
    EXPECT_GE(op.points[0].x, previousEnd + kColumnGap / 2) << op.text;
    previousEnd = op.points[0].x + 9 * static_cast<int>(op.text.size());
    ++drawn;
  }
  EXPECT_EQ(drawn, 3);
  CloseWindow();
}

// The feedback a user needs: messages start at the left of the status bar,
// a stop says so, a released text takes its explanation along, a folder
// without documents says why, and a key absent from the text leaves the
// whole text and a message rather than an empty extract.
TEST_F(MainWindowTest, TheWindowSaysWhatHappened) {
  TVekEditForm& w = StartShown();
  ASSERT_TRUE(Open(sample_));
  const QLabel* message = nullptr;
  for (QLabel* label : w.statusBar()->findChildren<QLabel*>())
    if (label->objectName() == QLatin1String("StatusPanel1")) message = label;
  ASSERT_NE(message, nullptr);
  QApplication::processEvents();
  EXPECT_LT(message->geometry().left(), w.statusBar()->width() / 2);
  w.ShowResultType(ClassListIndexOfLevel(1));
  ClickLine(w, 0);
  EXPECT_FALSE(w.InfoLabel()->text().isEmpty());
  w.Session().CmFermer();
  EXPECT_TRUE(w.InfoLabel()->text().isEmpty());
  // A folder of unknown kinds.
  const std::string folder = tmp_ / "odd";
  fs::create_directories(folder);
  std::ofstream(folder + "/notes.xyz") << "text";
  w.OpenFolder(folder);
  EXPECT_EQ(w.StatusText(1).toStdString(), "No document of a kind this program reads in this folder.");
  // A key that names no class of the text.
  WorkContext->SearchKeys[0] = "zzzqqq";
  WorkContext->SearchKeyKinds[0] = 1;
  CommandLineFlags.searchKeyGiven = CommandLineFlags.keyKindValid = true;
  ASSERT_TRUE(Open(sample_));
  EXPECT_FALSE(ViewState.ExtractMode);
  EXPECT_NE(w.StatusText(1).toStdString().find("zzzqqq"), std::string::npos);
  WorkContext->SearchKeys[0].clear();
  CloseWindow();
}

// The Scenario tool opens beside a main window that was maximised: the
// window goes back to its normal size.
TEST_F(MainWindowTest, TheScenarioToolRestoresAMaximisedWindow) {
  TVekEditForm& w = StartWithViews();
  w.showMaximized();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  ASSERT_TRUE(w.isMaximized());
  w.Command(CommandId::MenuScenario)->trigger();
  QApplication::processEvents();
  EXPECT_FALSE(w.isMaximized());
  ASSERT_NE(CurrentScenarioEditor(), nullptr);
  EXPECT_TRUE(CurrentScenarioEditor()->IsOpen());
  CurrentScenarioEditor()->FormClose();
  CloseWindow();
}

// A Ctrl+Shift click on the area graph shows more objects: the track bar
// stands at the new number.
TEST_F(MainWindowTest, TheTrackBarFollowsAClickThatChangesTheObjects) {
  TVekEditForm& w = StartShown();
  Options->Set(opt::GraphKind, uint16_t{kGraphAreas});
  Options->Set(opt::ShowGraph, uint8_t{1});
  Options->Set(opt::GraphMaxObjects, uint16_t{20});
  ASSERT_TRUE(Open(sample_));
  w.ShowResultType(ClassListIndexOfLevel(1));
  ClickLine(w, 0);
  QApplication::processEvents();
  ASSERT_TRUE(ViewState.GraphShown);
  GraphPanel* panel = w.findChild<GraphPanel*>();
  ASSERT_NE(panel, nullptr);
  ASSERT_EQ(w.GraphTrackBar()->value(), 20);
  QTest::mouseClick(panel->Picture(), Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier,
                    panel->Picture()->rect().center());
  EXPECT_EQ(Options->Get(opt::GraphMaxObjects), 24);
  EXPECT_EQ(w.GraphTrackBar()->value(), 24);
  CloseWindow();
}

// The main window's copy command opens the copy window whole on its screen,
// in extract mode on the selected propositions (the selected word marked in
// each); its Help button opens its help page.
TEST_F(MainWindowTest, TheCopyWindowShowsTheSelectionWholeOnItsScreenWithItsHelp) {
  TVekEditForm& w = StartShown();
  ASSERT_TRUE(Open(sample_));
  w.ShowResultType(ClassListIndexOfLevel(1));
  ClickLine(w, 0);
  ASSERT_TRUE(ViewState.ExtractMode);
  w.Command(CommandId::CopyTexteDsClipBrd)->trigger();
  CopyWindow* copy = w.findChild<CopyWindow*>();
  ASSERT_NE(copy, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(copy));
  EXPECT_FALSE(copy->Content().marked.empty());
  const QRect room = w.screen()->availableGeometry();
  EXPECT_TRUE(room.contains(copy->geometry())) << copy->geometry().top() << " " << copy->geometry().bottom();
  fs::create_directories(HelpFolder());
  std::ofstream(HelpFolder() + "/834.html") << "<html></html>";
  std::vector<std::string> launched;
  SetProgramLauncher([&launched](const std::vector<std::string>& argv, const std::string&) {
    launched = argv;
    return 0;
  });
  QPushButton* help = copy->findChild<QPushButton*>(QStringLiteral("ButtonAide"));
  ASSERT_NE(help, nullptr);
  help->click();
  SetProgramLauncher(nullptr);
  ASSERT_EQ(launched.size(), 2u);
  EXPECT_EQ(launched[1], HelpFolder() + "/834.html");
  copy->close();
  CloseWindow();
}

// The popups copy with "Copy"; the context window names no foreign system,
// shows its whole toolbar, has its help and opens clear of the menu bar.
TEST_F(MainWindowTest, PopupCaptionsAndTheContextWindow) {
  TVekEditForm& w = StartShown();
  ASSERT_TRUE(Open(sample_));
  for (CommandId id :
       {CommandId::PopupResultatsCopier, CommandId::PopupImageTexteCopier, CommandId::PopupImageGrapheCopier})
    EXPECT_EQ(w.Command(id)->text(), QStringLiteral("Copy")) << CommandName(id);
  EXPECT_EQ(w.ResultsPopup()->actions().front()->text(), QStringLiteral("Copy"));
  ViewState.HitWordPosition = 20;
  w.Command(CommandId::MenuContexte)->trigger();
  ContextWindow* context = w.findChild<ContextWindow*>();
  ASSERT_NE(context, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(context));
  EXPECT_FALSE(context->OpenWithDesktopAction()->text().contains(QStringLiteral("Windows")));
  ASSERT_NE(context->HelpAction(), nullptr);
  QToolButton* more = context->ToolBar()->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
  EXPECT_TRUE(more == nullptr || !more->isVisible());
  const int menuBottom = w.menuBar()->mapToGlobal(QPoint(0, w.menuBar()->height())).y();
  EXPECT_GE(context->frameGeometry().top(), menuBottom);
  // Whole on its screen: no command beyond the screen's edge.
  const QRect room = w.screen()->availableGeometry();
  if (context->width() <= room.width()) {
    EXPECT_LE(context->geometry().right(), room.right());
  }
  context->close();
  CloseWindow();
}

// The lists follow the large-fonts option: their lines' height and letters,
// the status bar's and the help panel's; the results list scrolls sideways
// when narrower than its extent. Changing the option changes them all.
TEST_F(MainWindowTest, TheListsFollowTheLargeFontsOption) {
  TVekEditForm& w = StartShown();
  ASSERT_TRUE(Open(sample_));
  Options->Set(opt::LargeFonts, uint8_t{1});
  w.ApplyListFonts();
  w.ShowResultType(ClassListIndexOfLevel(1));
  QApplication::processEvents();
  ResultsPanelWidget* results = ResultsOf(w);
  QListView* list = results->ResultsList();
  QListWidget* types = results->ResultTypeList();
  ASSERT_GT(list->model()->rowCount(), 1);
  auto lineHeight = [](QAbstractItemView* view) { return view->visualRect(view->model()->index(1, 0)).height(); };
  EXPECT_GE(lineHeight(list), 20);
  EXPECT_EQ(lineHeight(types), lineHeight(list));
  EXPECT_EQ(w.statusBar()->font().pointSize(), 10);
  EXPECT_EQ(w.PageControl1()->font().pointSize(), 10);
  EXPECT_EQ(w.findChild<QWidget*>(QStringLiteral("PanelInfos"))->minimumHeight(), 110);
  EXPECT_GE(w.findChild<QWidget*>(QStringLiteral("PanelResultats"))->minimumWidth(), 250);
  // Narrower than 350 pixels, the list scrolls sideways to show its lines whole.
  w.findChild<QSplitter*>(QStringLiteral("Fond"))->setSizes({260, 764});
  QApplication::processEvents();
  ASSERT_LT(list->viewport()->width(), 350);
  EXPECT_GE(list->viewport()->width() + list->horizontalScrollBar()->maximum(), 350);
  // Without large fonts: smaller letters and lines.
  Options->Set(opt::LargeFonts, uint8_t{0});
  w.ApplyListFonts();
  QApplication::processEvents();
  EXPECT_LT(lineHeight(list), 20);
  EXPECT_GE(lineHeight(list), 14);
  EXPECT_EQ(lineHeight(types), lineHeight(list));
  EXPECT_EQ(w.statusBar()->font().pointSize(), 8);
  EXPECT_EQ(w.findChild<QWidget*>(QStringLiteral("PanelInfos"))->minimumHeight(), 64);
  CloseWindow();
}

// Every hint hides after the same pause: a button's own, and a line's of an
// item view, which the view would otherwise show with the platform's pause.
TEST_F(MainWindowTest, EveryHintHidesAfterTheSamePause) {
  Start();
  QToolButton button;
  button.setToolTip(QStringLiteral("Open"));
  QHelpEvent onButton(QEvent::ToolTip, QPoint(2, 2), QPoint(20, 20));
  QApplication::sendEvent(&button, &onButton);
  EXPECT_EQ(button.toolTipDuration(), kHintHidePauseMs);
  EXPECT_EQ(kHintHidePauseMs, 7000);
  QListWidget lines;
  lines.addItem(QStringLiteral("first"));
  lines.item(0)->setToolTip(QStringLiteral("Show the Episodes graph"));
  lines.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&lines));
  QString shownText;
  int shownPause = 0;
  SetHintShower([&](const QPoint&, const QString& text, QWidget*, int pause) {
    shownText = text;
    shownPause = pause;
  });
  const QPoint at = lines.visualItemRect(lines.item(0)).center();
  QHelpEvent onLine(QEvent::ToolTip, at, lines.viewport()->mapToGlobal(at));
  QApplication::sendEvent(lines.viewport(), &onLine);
  SetHintShower(nullptr);
  EXPECT_EQ(shownText, QStringLiteral("Show the Episodes graph"));
  EXPECT_EQ(shownPause, 7000);
  CloseWindow();
}

}  // namespace
}  // namespace quilor::ui::testing_support
