#include <gtest/gtest.h>

#include <QAction>

#include <iostream>

#include "mainwindow/install_windows_qt.h"
#include "mainwindow/main_window.h"

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
