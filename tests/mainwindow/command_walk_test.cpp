#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
#include <QTimer>

#include <iostream>
#include <set>

#include "core/files.h"
#include "app/install_windows_qt.h"
#include "main_window_fixture.h"

namespace quilor::ui {
namespace {

using testing_support::MainWindowTest;

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
  const std::set<std::string> skipped = {"FileExitItem", "Fermer1", "MenuNouvelleFenetre"};
  // Commands that only change a state (a sort, a tree, a step through the
  // result types) may show nothing new.
  const std::set<std::string> stateOnly = {
      "MenuTriFrequence", "MenuTriResultatsAlphabetique", "PopupTriAlpha", "PopupTriFrequence",
      "ToolButtonResultatTri", "PopupMasquerLesBranches", "PopupToutDevelopper", "ToolButtonMasquerDevelopper",
      "MenuHistoDossierTraiterSousDossiers", "MenuToutLeTexte", "ToolButtonAfficherToutLeTexte",
      "MenuAfficherGraphe", "PopupImageGrapheCacher",
      // The graph tool buttons choose the kind of graph drawn in the panel.
      "ToolButtonGrapheActeurs", "ToolButtonGrapheAire", "ToolButtonGrapheEtoile", "ToolButtonGrapheRafales",
      "ToolButtonGrapheRepartition"};
  std::vector<std::string> silent;
  int tried = 0;
  for (const std::string& name : w.CommandNames()) {
    QAction* action = w.Command(name);
    if (skipped.count(name) || !action->isEnabled() || !action->isVisible()) continue;
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
    if (!seen && !stateOnly.count(name)) silent.push_back(name);
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

}  // namespace
}  // namespace quilor::ui
