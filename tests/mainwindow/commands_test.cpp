#include <gtest/gtest.h>

#include <QAction>

#include <iostream>

#include "mainwindow/install_windows_qt.h"
#include "mainwindow/main_window.h"
#include "mainwindow/view_state.h"

namespace quilor::ui {
namespace {

// Every command of the window either has its window or stays disabled: no
// menu item or tool button does nothing when chosen.
TEST(MainWindowCommands, CommandsWithoutTheirWindowAreDisabled) {
  TVekEditForm window;
  InstallWindows(window);
  const std::vector<std::string> missing = window.CommandsWithoutHandler();
  for (const std::string& name : missing) {
    QAction* action = window.Command(name);
    ASSERT_NE(action, nullptr);
    EXPECT_FALSE(action->isEnabled()) << name;
  }
  std::string list;
  for (const std::string& name : missing) list += " " + name;
  std::cout << "commands without their window:" << (list.empty() ? " none" : list) << "\n";
}

}  // namespace
}  // namespace quilor::ui

#include "main_window_fixture.h"

namespace quilor::ui::testing_support {
namespace {

// With every window installed: copy results, the sorts and the whole text work on an analysed sample.
TEST_F(MainWindowTest, CopyResultsPutsTheListsLinesOnTheClipboard) {
  TVekEditForm& w = Start();
  InstallWindows(w);
  ASSERT_TRUE(Open(sample_));
  w.ShowResultType(7);  // all word categories
  ASSERT_TRUE(w.Command("CopyResultatsDsClipBrd")->isEnabled());
  w.Command("CopyResultatsDsClipBrd")->trigger();
  const std::string& clipboard = desktop_.desktop.clipboard;
  EXPECT_FALSE(clipboard.empty());
  EXPECT_NE(clipboard.find("\r\n"), std::string::npos);
  w.Command("MenuTriFrequence")->trigger();  // "Sort alphabetically"
  EXPECT_TRUE(Options->Switch(opt::SortAlphabetical));
  w.Command("MenuTriResultatsAlphabetique")->trigger();  // "Sort by frequency"
  EXPECT_FALSE(Options->Switch(opt::SortAlphabetical));
  w.Command("MenuToutLeTexte")->trigger();
  EXPECT_FALSE(ViewState.SelectionActive);
  CloseWindow();
}

}  // namespace
}  // namespace quilor::ui::testing_support
