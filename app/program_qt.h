// The program's start: the application, the main window on the screen, the
// request socket and the event loop, then the exit code. app/main.cpp
// is this alone; testing tools run the same program with hooks of their own.
#pragma once

#include <functional>

namespace quilor::ui {

class TVekEditForm;

struct ProgramHooks {
  // Once the application and the window layer are installed, before the
  // main window is made (the set-up wizard may be replaced here).
  std::function<void()> beforeWindow;
  // Once the main window is made, before the event loop starts.
  std::function<void(TVekEditForm&)> windowMade;
};

// argc and argv as main has them (Qt takes its own arguments out first).
int RunProgram(int& argc, char** argv, const ProgramHooks& hooks = {});

}  // namespace quilor::ui
