#include "mainwindow/application_qt.h"

#include <cstdio>
#include <new>

#include "core/messages.h"
#include "engine/analysis_run.h"
#include "platform/fatal.h"
#include "platform/text_encoding.h"

namespace quilor::ui {

QuilorApplication::QuilorApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool QuilorApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const FatalError& e) {
    Fatal(e.ExitCode(), e.what());
  } catch (const std::bad_alloc&) {
    // The memory is gone: say so with the one text that needs none.
    ShowSystemError(GetMessageText(kMsgMemoryLow));
    Fatal(kExitFatal, GetMessageText(kMsgMemoryLow));
  }
  return false;
}

void QuilorApplication::Fatal(int code, const char* what) {
  std::fprintf(stderr, "%s\n", Cp1252ToUtf8(what).c_str());
  if (fatalExitCode_ == 0) fatalExitCode_ = code;
  // A run that let events run through the gauge stops at its next check.
  CancelRequested = true;
  if (fatalHandler_) fatalHandler_(code);
  else exit(code);
}

}  // namespace quilor::ui
