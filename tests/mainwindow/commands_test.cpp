#include <gtest/gtest.h>

#include <QMenu>

#include <QAction>

#include <set>

#include "app/install_windows_qt.h"
#include "mainwindow/main_window.h"
#include "ui/view_state.h"

namespace quilor::ui {
namespace {

// Every command of the window has its handler once the windows are
// installed, except the two that do nothing by design ("Save as", "Export for
// the Web") and the outside programs that are not installed (hidden). Those
// stay disabled: no menu item or tool button does nothing when chosen.
TEST(MainWindowCommands, EveryCommandHasItsHandlerOrStaysDisabled) {
  TVekEditForm window;
  InstallWindows(window);
  using enum CommandId;
  const std::set<CommandId> noAction = {FichierEnregistrerSous, MenuEnregistrerEnHTML};
  const std::set<CommandId> outsidePrograms = {MenuOutilsLumo,    MenuOutilsTarvik,  MenuOutilsDemora,
                                               MenuOutilsMellaro, MenuOutilsPlugin1, MenuOutilsPlugin2,
                                               MenuOutilsPlugin3, MenuOutilsPlugin4};
  for (CommandId id : window.CommandsWithoutHandler()) {
    QAction* action = window.Command(id);
    EXPECT_FALSE(action->isEnabled()) << CommandName(id);
    const bool absentProgram = outsidePrograms.count(id) && !action->isVisible();
    EXPECT_TRUE(noAction.count(id) || absentProgram) << CommandName(id) << " has no handler";
  }
}

}  // namespace
}  // namespace quilor::ui

#include <QAbstractItemModel>
#include <QApplication>
#include <QListView>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "engine/selection.h"
#include "mainwindow/results_panel.h"
#include "mainwindow/results_panel_widget.h"
#include "output/report_dialog.h"
#include "main_window_fixture.h"

namespace quilor::ui::testing_support {
namespace {

// With every window installed: copy results, the sorts and the whole text work on an analysed sample.
TEST_F(MainWindowTest, CopyResultsPutsTheListsLinesOnTheClipboard) {
  TVekEditForm& w = Start();
  InstallWindows(w);
  ASSERT_TRUE(Open(sample_));
  w.ShowResultType(7);  // all word categories
  ASSERT_TRUE(w.Command(CommandId::CopyResultatsDsClipBrd)->isEnabled());
  w.Command(CommandId::CopyResultatsDsClipBrd)->trigger();
  const std::string& clipboard = desktop_.desktop.clipboard;
  EXPECT_FALSE(clipboard.empty());
  EXPECT_NE(clipboard.find("\r\n"), std::string::npos);
  w.Command(CommandId::MenuTriFrequence)->trigger();  // "Sort alphabetically"
  EXPECT_TRUE(Options->Switch(opt::SortAlphabetical));
  w.Command(CommandId::MenuTriResultatsAlphabetique)->trigger();  // "Sort by frequency"
  EXPECT_FALSE(Options->Switch(opt::SortAlphabetical));
  w.Command(CommandId::MenuToutLeTexte)->trigger();
  EXPECT_FALSE(ViewState.SelectionActive);
  CloseWindow();
}

// The graph's popup: its kinds, the item of the graph drawn checked, then
// copy, hide, the graph options and the colours; hiding turns the option off.
TEST_F(MainWindowTest, TheGraphPopupChecksItsKindAndHidesTheGraph) {
  TVekEditForm& w = Start();
  InstallWindows(w);
  ASSERT_TRUE(Open(sample_));
  QMenu* popup = nullptr;
  for (QMenu* menu : w.GraphContainer()->findChildren<QMenu*>()) popup = menu;
  ASSERT_NE(popup, nullptr);
  Options->Set(opt::GraphKind, uint16_t{2});
  emit popup->aboutToShow();
  std::vector<std::string> names;
  for (QAction* a : popup->actions()) {
    if (a->isSeparator()) continue;
    names.push_back(a->objectName().toStdString());
    if (a->isCheckable() && a->isChecked()) names.back() += "*";
  }
  EXPECT_EQ(names, (std::vector<std::string>{"PopupGrapheAires", "PopupGrapheEtoile*", "PopupGrapheDensite",
                                             "PopupGrapheRafales", "PopupGrapheActeurs", "PopupImageGrapheCopier",
                                             "PopupImageGrapheCacher", "MenuGraphe", "MenuCouleurs"}));
  w.Command(CommandId::MenuAfficherGraphe)->trigger();
  EXPECT_TRUE(ViewState.GraphShown);
  ASSERT_TRUE(w.Command(CommandId::PopupImageGrapheCacher)->isEnabled());
  w.Command(CommandId::PopupImageGrapheCacher)->trigger();
  EXPECT_FALSE(ViewState.GraphShown);
  EXPECT_FALSE(Options->Switch(opt::ShowGraph));
  CloseWindow();
}

// Tools > Report after a click on a Scenario class: the report may be made of
// the current selection or of its branch.
TEST_F(MainWindowTest, TheReportOffersTheSelectionOfTheScenarioList) {
  TVekEditForm& w = Start();
  InstallWindows(w);
  ASSERT_TRUE(Open(sample_));
  auto* results = w.findChild<ResultsPanelWidget*>();
  ASSERT_NE(results, nullptr);
  results->ResultTypeList()->setCurrentRow(kTypeScenario);
  QAbstractItemModel* model = results->ResultsList()->model();
  ASSERT_GT(model->rowCount(), 1);
  const QRect line = results->ResultsList()->visualRect(model->index(1, 0));
  QTest::mouseClick(results->ResultsList()->viewport(), Qt::LeftButton, {}, line.center());
  ASSERT_EQ(ViewState.selection.classLevel, 4);

  // What the report dialog offers, read when it shows.
  std::vector<bool> enabled;
  QTimer closer;
  closer.setInterval(20);
  QObject::connect(&closer, &QTimer::timeout, [&] {
    auto* report = qobject_cast<TDlgReportMng*>(QApplication::activeModalWidget());
    if (!report) return;
    for (int type = 0; type < 3; ++type) enabled.push_back(report->TableButton(type)->isEnabled());
    report->reject();
  });
  closer.start();
  w.Command(CommandId::MenuGenererUnRapport)->trigger();
  closer.stop();
  EXPECT_EQ(enabled, (std::vector<bool>{true, true, true}));

  // A class of another level is no Scenario entry: only the whole Scenario.
  results->ResultTypeList()->setCurrentRow(3);  // References
  const QRect first = results->ResultsList()->visualRect(results->ResultsList()->model()->index(0, 0));
  QTest::mouseClick(results->ResultsList()->viewport(), Qt::LeftButton, {}, first.center());
  ASSERT_EQ(ViewState.selection.kind, kSelectClass);
  enabled.clear();
  closer.start();
  w.Command(CommandId::MenuGenererUnRapport)->trigger();
  closer.stop();
  EXPECT_EQ(enabled, (std::vector<bool>{false, false, true}));
  CloseWindow();
}

}  // namespace
}  // namespace quilor::ui::testing_support
