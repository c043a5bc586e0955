#include "app/program_qt.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "app/install_windows_qt.h"
#include "core/files.h"
#include "core/messages.h"
#include "engine/command_line.h"
#include "engine/startup.h"
#include "mainwindow/application_qt.h"
#include "mainwindow/main_window.h"
#include "mainwindow/message_ui_qt.h"
#include "mainwindow/request_dispatch.h"
#include "mainwindow/request_server_qt.h"
#include "output/general_options_dialog.h"
#include "output/setup_wizard_dialog.h"
#include "platform/fatal.h"
#include "platform/text_encoding.h"
#include "ui/desktop_qt.h"

namespace quilor::ui {

namespace {

// Start-up changes the current folder: the file arguments are made absolute
// against the caller's folder first (switches start with '/' or '-').
std::vector<std::string> ProgramArguments(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (!a.empty() && a[0] != '/' && a[0] != '-') a = quilor::ExpandPathName(a);
    args.push_back(a);
  }
  return args;
}

}  // namespace

int RunProgram(int& argc, char** argv, const ProgramHooks& hooks) {
  // Qt takes its own arguments (-platform ...) out of argv first.
  QuilorApplication app(argc, argv);
  const std::vector<std::string> args = ProgramArguments(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quilor"));
  QApplication::setWindowIcon(TAboutQuilor::ProgramIcon());
  int code = kExitOk;
  try {
    InstallQtMessageUiAndGauge();
    InstallQtDesktop();
    SetupWizardDialogRunner wizard;
    SetSetupWizard(&wizard);
    InitMessages();
    if (hooks.beforeWindow) hooks.beforeWindow();
    TVekEditForm window;
    InstallWindows(window);
    MonitorArea monitor;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      const QRect r = screen->availableGeometry();
      monitor = {r.x(), r.y(), r.width(), r.height()};
    } else {
      monitor = {0, 0, 1280, 1024};
    }
    if (!window.FormCreate(args, monitor)) {
      window.close();
      SetSetupWizard(nullptr);
      return CommandLineFlags.terminationRequested ? kExitOk : kExitFatal;
    }
    // Other programs of the user send their requests on a private socket; a
    // second running program leaves it to the first.
    // Each is answered as soon as it is checked; its work runs afterwards.
    RequestDispatcher requests(window);
    RequestServer server([&requests](std::string_view block) { return requests.Take(block); });
    const std::string socketPath = RequestSocketPath();
    if (!socketPath.empty()) server.Listen(socketPath);
    QTimer::singleShot(0, &window, [&window] { window.FormShow(); });
    if (hooks.windowMade) hooks.windowMade(window);
    code = QApplication::exec();
    if (app.FatalExitCode() != 0) code = app.FatalExitCode();
    SetSetupWizard(nullptr);
  } catch (const FatalError& e) {
    std::fprintf(stderr, "%s\n", Cp1252ToUtf8(e.what()).c_str());
    return e.ExitCode();
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "%s\n", Cp1252ToUtf8(GetMessageText(kMsgMemoryLow)).c_str());
    return kExitFatal;
  }
  return code;
}

}  // namespace quilor::ui
