#include "mainwindow/application_qt.h"

#include <cstdio>
#include <new>

#include "core/messages.h"
#include "core/gauge.h"
#include "platform/fatal.h"
#include "platform/text_encoding.h"

namespace quilor::ui {

QuilorApplication::QuilorApplication(int& argc, char** argv) : QApplication(argc, argv) {}

int CallCatchingFatal(const std::function<void()>& call) {
  try {
    call();
    return 0;
  } catch (const FatalError& e) {
    std::fprintf(stderr, "%s\n", Cp1252ToUtf8(e.what()).c_str());
    return e.ExitCode() != 0 ? e.ExitCode() : kExitFatal;
  } catch (const std::bad_alloc&) {
    // The memory is gone: say so with the one text that needs none.
    const std::string text = GetMessageText(kMsgMemoryLow);
    std::fprintf(stderr, "%s\n", Cp1252ToUtf8(text).c_str());
    ShowSystemError(text);
    return kExitFatal;
  }
}

bool QuilorApplication::notify(QObject* receiver, QEvent* event) {
  bool result = false;
  const int code = CallCatchingFatal([&] { result = QApplication::notify(receiver, event); });
  if (code != 0) Fatal(code);
  return result;
}

void QuilorApplication::Fatal(int code) {
  if (fatalExitCode_ == 0) fatalExitCode_ = code;
  // A run that let events run through the gauge stops at its next check.
  Progress.cancelRequested = true;
  if (fatalHandler_) fatalHandler_(code);
  else exit(code);
}

}  // namespace quilor::ui
