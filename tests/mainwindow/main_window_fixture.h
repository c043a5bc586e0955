// A main window started on the built dictionaries in a temporary install
// tree, with scripted message boxes, desktop and set-up wizard.
#pragma once

#include <gtest/gtest.h>

#include <QListView>
#include <QTest>

#include <filesystem>
#include <memory>
#include <string>

#include "core/files.h"
#include "core/messages.h"
#include "engine/analysis_run.h"
#include "core/options.h"
#include "engine/startup.h"
#include "app/install_windows_qt.h"
#include "ui/desktop.h"
#include "mainwindow/main_window.h"
#include "mainwindow/results_panel_widget.h"
#include "platform/message_ui.h"
#include "platform/settings_store.h"
#include "../platform/temp_folder.h"

namespace quilor::ui::testing_support {

namespace fs = std::filesystem;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = tmp_ / "root";
    for (const char* sub : {"bin", "Dico", "Scenario", "Text"}) fs::create_directories(root_ + "/" + sub);
    const std::string dico = std::string(QUILOR_BINARY_DIR) + "/Dico";
    for (const char* ext : {".lv8", ".vv8", ".av8", ".sv8", ".zv8"})
      fs::create_symlink(dico + "/englex" + ext, root_ + "/Dico/englex" + ext);
    fs::copy_file(std::string(QUILOR_BINARY_DIR) + "/Scenario/" + kDefaultScenarioName,
                  root_ + "/Scenario/" + kDefaultScenarioName);
    sample_ = std::string(QUILOR_SOURCE_DIR) + "/samples/sample.txt";
    SetProgramPathForTesting(root_ + "/bin/quilor");
    SetSettingsFilePath(tmp_ / "config/Quilor/settings.ini");
    data_ = std::make_unique<testing::ScopedEnvironment>("XDG_DATA_HOME", tmp_ / "data");
    SetSetupWizard(&wizard_);
    previous_ = fs::current_path();
    Options->ResetSettings();
    WorkContext->Reset();
    GeneralState->Reset();
    ConfigurationPaths.userFolder.clear();
    InitMessages();
  }
  void TearDown() override {
    window_.reset();
    SetSetupWizard(nullptr);
    SetSettingsFilePath("");
    data_.reset();
    SetProgramPathForTesting("");
    fs::current_path(previous_);
    Options->ResetSettings();
    WorkContext->Reset();
  }
  // Creates and starts the window on a 1280 x 1024 monitor.
  TVekEditForm& Start(const std::vector<std::string>& args = {}) {
    window_ = std::make_unique<TVekEditForm>();
    EXPECT_TRUE(window_->FormCreate(args, MonitorArea{0, 0, 1280, 1024}));
    return *window_;
  }
  // Starts the window with its views and commands installed.
  TVekEditForm& StartWithViews() {
    TVekEditForm& w = Start();
    InstallWindows(w);
    return w;
  }
  // The same, shown at 1024 x 700 (the smallest size the window serves).
  TVekEditForm& StartShown() {
    TVekEditForm& w = StartWithViews();
    w.resize(1024, 700);
    w.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
    return w;
  }
  // Closes the window as its close box does (the engine shuts down).
  void CloseWindow() {
    window_->close();
    window_.reset();
  }
  bool Open(const std::string& path) {
    window_->Session().chosenFileName = path;
    return window_->Session().CmOuvrir(true, false);
  }
  // The lines the results list shows.
  std::vector<std::string> ResultLines() const {
    QAbstractItemModel* model = window_->findChild<ResultsPanelWidget*>()->ResultsList()->model();
    std::vector<std::string> lines;
    for (int row = 0; row < model->rowCount(); ++row)
      lines.push_back(model->index(row, 0).data().toString().toStdString());
    return lines;
  }

  testing::TempFolder tmp_;
  std::unique_ptr<testing::ScopedEnvironment> data_;
  std::string root_;
  std::string sample_;
  ScriptedSetupWizard wizard_;
  ScopedScriptedUi ui_;
  ScopedScriptedDesktop desktop_;
  fs::path previous_;
  std::unique_ptr<TVekEditForm> window_;
};

// The Results tab's widgets of a window.
inline ResultsPanelWidget* ResultsOf(TVekEditForm& w) { return w.findChild<ResultsPanelWidget*>(); }

// Clicks results line `line` as the mouse does.
inline void ClickLine(TVekEditForm& w, int line) {
  QListView* list = ResultsOf(w)->ResultsList();
  const QModelIndex index = list->model()->index(line, 0);
  list->setCurrentIndex(index);
  emit list->clicked(index);
}

}  // namespace quilor::ui::testing_support
