// The program's application object: our code runs from Qt's event loop, so
// a fatal error or an exhausted memory is caught where the loop calls it and
// ends the program with its exit code, never unwinding through Qt.
#pragma once

#include <QApplication>

#include <functional>

namespace quilor::ui {

// Runs call; a FatalError or an exhausted memory is caught, reported on
// standard error (memory also in a box) and its exit code returned; 0 when
// call returned normally.
int CallCatchingFatal(const std::function<void()>& call);

class QuilorApplication : public QApplication {
  Q_OBJECT
 public:
  QuilorApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

  // The exit code of a fatal error caught in the loop (0 when none).
  int FatalExitCode() const { return fatalExitCode_; }
  // What happens after a fatal error was caught (tests); by default the
  // loop is asked to end with its code and the current run to stop.
  void SetFatalHandler(std::function<void(int)> handler) { fatalHandler_ = std::move(handler); }

 private:
  void Fatal(int code);
  int fatalExitCode_ = 0;
  std::function<void(int)> fatalHandler_;
};

}  // namespace quilor::ui
