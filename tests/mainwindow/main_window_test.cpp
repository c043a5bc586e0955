#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTextBrowser>

#include "engine/analysis_results.h"
#include "engine/word_list.h"
#include "mainwindow/application_qt.h"
#include "mainwindow/main_window_layout.h"
#include "platform/fatal.h"
#include "main_window_fixture.h"

namespace quilor::ui {
namespace {

using testing_support::MainWindowTest;

// A window opened low on the screen moves up to stand whole on it (the copy
// window opened over the text of a maximised window on a 1000-pixel screen);
// one larger than the screen shrinks to it.
TEST(MainWindowPlacementTest, AWindowStandsWholeOnItsMonitor) {
  struct Row {
    MonitorArea frame, monitor, expected;
  };
  const Row rows[] = {
      {{300, 600, 612, 490}, {0, 0, 1600, 1000}, {300, 510, 612, 490}},
      {{1200, 100, 612, 490}, {0, 0, 1600, 1000}, {988, 100, 612, 490}},
      {{-50, -20, 612, 490}, {0, 0, 1600, 1000}, {0, 0, 612, 490}},
      {{100, 100, 900, 800}, {0, 0, 800, 600}, {0, 0, 800, 600}},
      {{1700, 1100, 612, 490}, {1600, 0, 1024, 700}, {1700, 210, 612, 490}},
  };
  for (const Row& r : rows) {
    const MonitorArea got = KeepWholeOnMonitor(r.frame, r.monitor);
    EXPECT_EQ((std::vector<int>{got.left, got.top, got.width, got.height}),
              (std::vector<int>{r.expected.left, r.expected.top, r.expected.width, r.expected.height}))
        << r.frame.left << "," << r.frame.top;
  }
}

TEST(MainWindowPlacementTest, FollowsTheMonitor) {
  const MainWindowPlacement big = PlaceMainWindow({0, 0, 1280, 1024});
  EXPECT_EQ(big.left, 10);
  EXPECT_EQ(big.top, 40);
  EXPECT_EQ(big.width, 910);
  EXPECT_EQ(big.height, 944);
  EXPECT_EQ(big.resultsPanelWidth, 340);
  EXPECT_EQ(big.graphPanelHeight, 944 / 2 - 20);

  const MainWindowPlacement small = PlaceMainWindow({0, 0, 800, 600});
  EXPECT_EQ(small.width, 560);
  EXPECT_EQ(small.resultsPanelWidth, 256);

  EXPECT_EQ(PlaceMainWindow({0, 0, 1024, 768}).resultsPanelWidth, 288);
  EXPECT_EQ(PlaceMainWindow({0, 0, 600, 480}).resultsPanelWidth, kDesignedResultsPanelWidth);
  // A second monitor below the first: same margins on its own area.
  const MainWindowPlacement lower = PlaceMainWindow({1280, 1024, 1280, 1024});
  EXPECT_EQ(lower.left, 1290);
  EXPECT_EQ(lower.top, 1064);
  EXPECT_EQ(lower.height, 944);
}

// Large fonts: a taller help panel, a wider results panel, taller lines in
// bigger letters; either way the results list scrolls over 350 pixels. A
// font taller than the option's line gets a line of its own height.
TEST(MainWindowPlacementTest, ListFontsFollowTheLargeFontsOption) {
  const ListFonts large = ListFontsFor(true);
  EXPECT_EQ((std::vector<int>{large.infoPanelHeight, large.resultsPanelMinimumWidth, large.itemHeight, large.fontSize,
                              large.horizontalExtent}),
            (std::vector<int>{110, 250, 20, 10, 350}));
  const ListFonts normal = ListFontsFor(false);
  EXPECT_EQ((std::vector<int>{normal.infoPanelHeight, normal.resultsPanelMinimumWidth, normal.itemHeight,
                              normal.fontSize, normal.horizontalExtent}),
            (std::vector<int>{64, 0, 14, 8, 350}));
  EXPECT_EQ(ListItemHeight(normal, 13), 14);
  EXPECT_EQ(ListItemHeight(large, 13), 20);
  EXPECT_EQ(ListItemHeight(normal, 19), 19);
}

// The menus of the bar by object name.
QAction* MenuOf(TVekEditForm& w, const char* name) {
  for (QAction* a : w.menuBar()->actions())
    if (a->menu() != nullptr && a->menu()->objectName() == QLatin1String(name)) return a;
  return nullptr;
}

TEST_F(MainWindowTest, StartsOnTheWelcomePageWithTextCommandsDisabled) {
  TVekEditForm& w = Start();
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Quilor (English)"));
  EXPECT_TRUE(w.StartupDone());
  EXPECT_EQ(w.geometry(), QRect(10, 40, 910, 944));
  QTabWidget* tabs = w.PageControl1();
  EXPECT_EQ(tabs->currentWidget(), w.ExplainTab());
  EXPECT_EQ(tabs->tabText(tabs->indexOf(w.ExplainTab())), QStringLiteral("Welcome"));
  EXPECT_FALSE(tabs->isTabVisible(tabs->indexOf(w.ResultsTab())));
  EXPECT_EQ(w.ExplainTitle()->text(), QStringLiteral("Welcome in Quilor"));
  EXPECT_FALSE(w.ExplainText()->toPlainText().isEmpty());
  ASSERT_NE(MenuOf(w, "MenuAfficher1"), nullptr);
  EXPECT_FALSE(MenuOf(w, "MenuAfficher1")->isEnabled());
  EXPECT_FALSE(MenuOf(w, "MenuEdit1")->isEnabled());
  EXPECT_FALSE(w.Command(CommandId::MenuImprimer1)->isEnabled());
  EXPECT_FALSE(w.Command(CommandId::MenuRelations)->isEnabled());
  EXPECT_TRUE(w.Command(CommandId::FichierOuvrir)->isEnabled());
  EXPECT_FALSE(w.PanelText()->isVisibleTo(&w));
  EXPECT_FALSE(w.PanelGraph()->isVisibleTo(&w));
  // The welcome page goes down to the status line: no empty info panel under it.
  QWidget* infos = w.findChild<QWidget*>(QStringLiteral("PanelInfos"));
  ASSERT_NE(infos, nullptr);
  EXPECT_FALSE(infos->isVisibleTo(&w));
  CloseWindow();
}

TEST_F(MainWindowTest, OpeningAndClosingTheSample) {
  TVekEditForm& w = Start();
  int refreshes = 0;
  int releases = 0;
  w.AddRefreshCallback([&] { ++refreshes; });
  w.AddReleaseCallback([&] { ++releases; });
  w.SetCommandHandler(CommandId::MenuImprimer1, [] {});
  ASSERT_TRUE(Open(sample_));
  EXPECT_EQ(refreshes, 1);
  EXPECT_TRUE(w.Session().TextOpen());
  EXPECT_TRUE(w.TextLoaded());
  EXPECT_GT(TextWords.Count(), 50);
  EXPECT_TRUE(AnalysisResults != nullptr);
  EXPECT_TRUE(w.StatusText(0).contains(QString::fromStdString(sample_))) << w.StatusText(0).toStdString();
  EXPECT_TRUE(MenuOf(w, "MenuAfficher1")->isEnabled());
  EXPECT_TRUE(w.Command(CommandId::MenuImprimer1)->isEnabled());
  // A command whose window does not exist yet stays disabled.
  EXPECT_FALSE(w.Command(CommandId::MenuContexte)->isEnabled());
  QTabWidget* tabs = w.PageControl1();
  EXPECT_EQ(tabs->currentWidget(), w.ResultsTab());
  EXPECT_EQ(tabs->tabText(tabs->indexOf(w.ExplainTab())), QStringLiteral("Explain"));
  EXPECT_TRUE(w.PanelText()->isVisibleTo(&w));
  QWidget* infos = w.findChild<QWidget*>(QStringLiteral("PanelInfos"));
  ASSERT_NE(infos, nullptr);
  EXPECT_EQ(infos->isVisibleTo(&w), Options->Switch(opt::ShowHelpPanel));

  w.Command(CommandId::Fermer1)->trigger();
  EXPECT_FALSE(infos->isVisibleTo(&w));
  EXPECT_FALSE(w.Session().TextOpen());
  EXPECT_GE(releases, 1);
  EXPECT_EQ(AnalysisResults, nullptr);
  EXPECT_EQ(TextWords.Count(), 0);
  EXPECT_EQ(tabs->currentWidget(), w.ExplainTab());
  EXPECT_EQ(tabs->tabText(tabs->indexOf(w.ExplainTab())), QStringLiteral("Welcome"));
  EXPECT_FALSE(w.Command(CommandId::MenuImprimer1)->isEnabled());
  CloseWindow();
}

TEST_F(MainWindowTest, CommandLineFileIsAnalysedWhenShown) {
  TVekEditForm& w = Start({sample_});
  w.FormShow(false);
  EXPECT_TRUE(w.Session().TextOpen());
  EXPECT_EQ(w.Session().AnalysedFile(), sample_);
  CloseWindow();
}

TEST(FatalErrorTest, NeverCrossesTheEventLoop) {
  ScopedScriptedUi ui;
  EXPECT_EQ(CallCatchingFatal([] {}), 0);
  EXPECT_EQ(CallCatchingFatal([] { Terminate(kExitDictionaryRead, "cannot read"); }), kExitDictionaryRead);
  EXPECT_EQ(CallCatchingFatal([] { throw std::bad_alloc(); }), kExitFatal);
  ASSERT_EQ(ui.ui.SystemErrors().size(), 1u);
  EXPECT_EQ(ui.ui.SystemErrors()[0], "Memory low. Please close some applications and try again.");
}

}  // namespace
}  // namespace quilor::ui
