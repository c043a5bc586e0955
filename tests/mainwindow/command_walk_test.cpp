#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <iostream>
#include <set>

#include "core/files.h"
#include "core/options.h"
#include "engine/selection.h"
#include "app/install_windows_qt.h"
#include "mainwindow/results_panel_widget.h"
#include "ui/result_type_codes.h"
#include "ui/view_state.h"
#include "main_window_fixture.h"
#include "support/corpus.h"

namespace quilor::ui {
namespace {

using testing_support::MainWindowTest;
using testing_support::fs::path;

// Every command of the main window, tried once on the analysed sample as a
// user would: a modal dialog it opens is closed (and saved as a picture when
// QUILOR_SHOTS names a folder), a window it opens is closed again. Nothing
// may crash or hang; the commands after which nothing could be seen are
// listed, and only those that change a state of the window are allowed there.
TEST_F(MainWindowTest, EveryCommandOnTheSampleShowsOrChangesSomething) {
  TVekEditForm& w = Start();
  InstallWindows(w);
  std::vector<std::vector<std::string>> started;
  SetProgramLauncher([&](const std::vector<std::string>& argv, const std::string&) {
    started.push_back(argv);
    return 0;
  });
  ASSERT_TRUE(Open(sample_));
  int analyses = 0;
  w.AddRefreshCallback([&analyses] { ++analyses; });
  const QString shots = qEnvironmentVariable("QUILOR_SHOTS");

  // Closes whatever modal dialog the command opened, once it shows.
  int dialogs = 0;
  std::string current;
  QTimer closer;
  closer.setInterval(30);
  QObject::connect(&closer, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    ++dialogs;
    if (!shots.isEmpty()) modal->grab().save(shots + "/walk-" + QString::fromStdString(current) + ".png");
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    else modal->close();
  });
  closer.start();

  // Commands that end the session or the window, or start another program.
  using enum CommandId;
  const std::set<CommandId> skipped = {FileExitItem, Fermer1, MenuNouvelleFenetre};
  // Commands that only change a state (a sort, a tree, a step through the
  // result types) may show nothing new.
  const std::set<CommandId> stateOnly = {
      MenuTriFrequence, MenuTriResultatsAlphabetique, PopupTriAlpha, PopupTriFrequence, ToolButtonResultatTri,
      PopupMasquerLesBranches, PopupToutDevelopper, ToolButtonMasquerDevelopper, MenuHistoDossierTraiterSousDossiers,
      MenuToutLeTexte, MenuAfficherGraphe, PopupImageGrapheCacher,
      // The graph tool buttons choose the kind of graph drawn in the panel.
      ToolButtonGrapheActeurs, ToolButtonGrapheAire, ToolButtonGrapheEtoile, ToolButtonGrapheRafales,
      ToolButtonGrapheRepartition};
  std::vector<std::string> silent;
  int tried = 0;
  for (CommandId id : CommandsByName()) {
    const std::string name(CommandName(id));
    QAction* action = w.Command(id);
    if (skipped.count(id) || !action->isEnabled() || !action->isVisible()) continue;
    ++tried;
    current = name;
    std::set<QWidget*> before;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (top->isVisible()) before.insert(top);
    const int dialogsBefore = dialogs;
    const size_t boxesBefore = ui_.ui.Shown().size();
    const size_t startedBefore = started.size();
    const std::string clipboardBefore = desktop_.desktop.clipboard;
    const qint64 imageBefore = desktop_.desktop.clipboardImage.cacheKey();
    const size_t choicesBefore = desktop_.desktop.choices.size();
    const QString status0 = w.StatusText(0), status1 = w.StatusText(1);
    const int typeBefore = w.SelectedResultType();
    const int analysesBefore = analyses;
    action->trigger();
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 150) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    bool seen = dialogs != dialogsBefore || ui_.ui.Shown().size() != boxesBefore || started.size() != startedBefore ||
                desktop_.desktop.clipboard != clipboardBefore ||
                desktop_.desktop.clipboardImage.cacheKey() != imageBefore ||
                desktop_.desktop.choices.size() != choicesBefore || w.StatusText(0) != status0 ||
                w.StatusText(1) != status1 || w.SelectedResultType() != typeBefore || analyses != analysesBefore;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top == &w || !top->isVisible() || before.count(top)) continue;
      seen = true;
      if (!shots.isEmpty()) top->grab().save(shots + "/walk-" + QString::fromStdString(name) + ".png");
      top->close();
    }
    if (!seen && !stateOnly.count(id)) silent.push_back(name);
    ASSERT_FALSE(w.Closed()) << name;
  }
  closer.stop();
  SetProgramLauncher({});
  std::string list;
  for (const std::string& name : silent) list += " " + name;
  std::cout << "commands tried: " << tried << "; nothing seen after:" << (list.empty() ? " none" : list) << "\n";
  EXPECT_GT(tried, 40);
  EXPECT_TRUE(silent.empty()) << list;
  CloseWindow();
}

// What a user can see change: the window's texts, lists, selection and
// options, the clipboard, the boxes, and the windows and trees of the
// program's other windows (the Scenario editor's groups).
struct Seen {
  std::vector<std::string> values;
  bool operator==(const Seen&) const = default;
};

int RowsUnder(const QAbstractItemModel* model, const QModelIndex& parent) {
  int rows = model->rowCount(parent);
  int total = rows;
  for (int r = 0; r < rows; ++r) total += RowsUnder(model, model->index(r, 0, parent));
  return total;
}

Seen Look(TVekEditForm& w, ScopedScriptedUi& ui, ScopedScriptedDesktop& desktop) {
  Seen s;
  auto add = [&s](const std::string& v) { s.values.push_back(v); };
  add(w.StatusText(0).toStdString());
  add(w.StatusText(1).toStdString());
  add(w.InfoLabel()->text().toStdString());
  add(std::to_string(w.SelectedResultType()));
  auto* results = w.findChild<ResultsPanelWidget*>();
  const TResultsPanel& panel = results->Panel();
  for (const std::string& line : panel.Items()) add(line);
  add(std::to_string(panel.SelectedLine()) + "/" + std::to_string(panel.BranchesHidden()));
  add(std::to_string(ViewState.selection.kind) + "/" + std::to_string(ViewState.selection.firstClass) + "/" +
      std::to_string(ViewState.selection.secondClass) + "/" + ViewState.selection.firstTerm + "/" +
      std::to_string(ViewState.ExtractMode) + "/" + std::to_string(ViewState.SelectionActive) + "/" +
      std::to_string(ViewState.GraphShown));
  add(std::to_string(Options->Get(opt::SortAlphabetical)) + "/" + std::to_string(Options->Get(opt::GraphKind)) + "/" +
      std::to_string(Options->Get(opt::ShowGraph)));
  add(desktop.desktop.clipboard);
  add(std::to_string(desktop.desktop.clipboardImage.cacheKey()));
  add(std::to_string(ui.ui.Shown().size()));
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top == &w || !top->isVisible() || qobject_cast<QMenu*>(top)) continue;
    add(top->objectName().toStdString());
    for (QAbstractItemView* view : top->findChildren<QAbstractItemView*>()) {
      if (!view->model()) continue;
      add(std::to_string(RowsUnder(view->model(), {})));
      const QModelIndex current = view->currentIndex();
      add(std::to_string(current.row()) + "/" + std::to_string(current.parent().row()) + "/" +
          current.data().toString().toStdString());
    }
    for (QLineEdit* edit : top->findChildren<QLineEdit*>()) add(edit->text().toStdString());
  }
  return s;
}

// In every state of the results (each result type, with and without a line
// selected, the Scenario editor closed and open), every command of the
// results toolbar and of the popups that is enabled and shown changes what a
// user sees; none is offered that would do nothing.
TEST_F(MainWindowTest, EveryEnabledResultsCommandActsInEveryState) {
  TVekEditForm& w = Start();
  InstallWindows(w);
  w.resize(1024, 700);
  w.show();
  ASSERT_TRUE(Open(quilor::testing_support::CorpusFile("plain", "ca01.txt")));
  auto* results = w.findChild<ResultsPanelWidget*>();
  QListView* list = results->ResultsList();
  std::vector<CommandId> ids;
  for (CommandId id : CommandsByName())
    for (const char* prefix : {"ToolButtonResultat", "ToolButtonMasquer", "ToolButtonChercherDsScenario",
                               "PopupResultat", "PopupTri", "PopupMasquer", "PopupToutDevelopper", "MenuTri"})
      if (CommandName(id).starts_with(prefix)) ids.push_back(id);
  ASSERT_GT(ids.size(), 12u);
  const int types = static_cast<int>(results->ResultTypeList()->count());
  std::vector<std::string> idle;
  int tried = 0;
  for (bool editorOpen : {false, true}) {
    for (int type = 0; type < types; ++type) {
      for (bool line : {false, true}) {
        // The state, as the user makes it, again before each command.
        auto enter = [&] {
          for (QWidget* top : QApplication::topLevelWidgets())
            if (top != &w && top->isVisible() && !(editorOpen && top->objectName() == QLatin1String("TDlgScenario")))
              top->close();
          if (editorOpen && !w.Command(CommandId::MenuScenario)->isEnabled()) return false;
          if (editorOpen) w.Command(CommandId::MenuScenario)->trigger();
          w.ShowResultType(type);
          if (line) {
            if (list->model()->rowCount() == 0) return false;
            list->setCurrentIndex(list->model()->index(0, 0));
            emit list->clicked(list->model()->index(0, 0));
          }
          // The popup shows what it offers, then goes.
          emit list->customContextMenuRequested(QPoint(5, 5));
          w.ResultsPopup()->hide();
          QCoreApplication::processEvents();
          return true;
        };
        for (CommandId id : ids) {
          if (!enter()) break;
          const std::string name(CommandName(id));
          QAction* action = w.Command(id);
          if (!action->isEnabled() || !action->isVisible()) continue;
          ++tried;
          const Seen before = Look(w, ui_, desktop_);
          action->trigger();
          QCoreApplication::processEvents();
          if (Look(w, ui_, desktop_) == before)
            idle.push_back(name + " (type " + std::to_string(type) + (line ? ", a line" : "") +
                           (editorOpen ? ", editor open" : "") + ")");
        }
      }
    }
  }
  std::string list_;
  for (const std::string& n : idle) list_ += n + "; ";
  EXPECT_GT(tried, 100);
  EXPECT_TRUE(idle.empty()) << list_;
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top != &w) top->close();
  CloseWindow();
}

// The results toolbar hides Add and Insert for the Scenario list and shows
// them again for the others; a button shown again is enabled exactly as its
// command is (with the Scenario editor closed, Add and Insert act on nothing).
TEST_F(MainWindowTest, ResultsToolButtonsShownAgainFollowTheirCommands) {
  TVekEditForm& w = Start();
  InstallWindows(w);
  ASSERT_TRUE(Open(sample_));
  auto* results = w.findChild<ResultsPanelWidget*>();
  ASSERT_NE(results, nullptr);
  auto pickFirstLine = [&] {
    QListView* list = results->ResultsList();
    ASSERT_GT(list->model()->rowCount(), 0);
    const QModelIndex first = list->model()->index(0, 0);
    list->setCurrentIndex(first);
    emit list->clicked(first);
  };
  auto check = [&](const char* when) {
    int checked = 0;
    for (QAction* shown : w.ResultsToolBar()->actions()) {
      auto* b = qobject_cast<QToolButton*>(w.ResultsToolBar()->widgetForAction(shown));
      if (!b || !b->defaultAction() || !shown->isVisible()) continue;
      EXPECT_EQ(b->isEnabled(), b->defaultAction()->isEnabled()) << b->objectName().toStdString() << " " << when;
      ++checked;
    }
    EXPECT_GT(checked, 4) << when;
    QToolButton* add =
        w.ResultsToolBar()->findChild<QToolButton*>(QStringLiteral("ToolButtonResultatsScenarioAjouter"));
    ASSERT_NE(add, nullptr);
    EXPECT_FALSE(add->isEnabled()) << when;
  };
  w.ShowResultType(ClassListIndexOfLevel(1));
  pickFirstLine();
  check("before the Scenario list");
  w.ShowResultType(kTypeScenario);
  w.ShowResultType(ClassListIndexOfLevel(1));
  pickFirstLine();
  check("after the Scenario list");
  CloseWindow();
}

}  // namespace
}  // namespace quilor::ui
