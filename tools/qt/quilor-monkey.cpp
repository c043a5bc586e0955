// Random input for the main window: runs the program itself on the given
// files and, from a seed, sends it random menu commands, clicks, double
// clicks, keys, drags, drops, requests on its socket, resizes and closes,
// answering whatever dialog comes up the same way.
//   quilor-monkey --seed N --seconds S FILE...
// Every step is written to stderr before it is taken ("step N: ..."), so
// that the steps before a crash or a sanitizer report are known. A step
// that has not come back after 10 s is a hang: the steps and the seed are
// written and the program aborts. At the end every question is answered
// No (else Cancel) and the windows are closed. Exit codes: 0 the time is up
// (or the window was closed by a step) and the program ended normally, 70 a
// hang, 71 the windows did not close within 20 s of the end, anything else
// the program's own. tools/window-monkey.sh runs it under
// Xvfb with a window manager, seed after seed.
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDropEvent>
#include <QLocalSocket>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/program_qt.h"
#include "engine/startup.h"
#include "mainwindow/copydata_request.h"
#include "mainwindow/main_window.h"
#include "mainwindow/request_server_qt.h"

namespace {

using namespace quilor;
using namespace quilor::ui;
using Clock = std::chrono::steady_clock;

constexpr int kHangSeconds = 10;
// Before the main window exists the start-up loads the dictionaries, which
// takes longer under a sanitizer: the clock runs from the start all the same.
constexpr int kStartSeconds = 120;
constexpr int kExitHang = 70;
constexpr int kExitNotClosed = 71;

std::atomic<int64_t> g_lastBeat{0};
std::atomic<bool> g_windowMade{false};
std::atomic<long> g_step{0};
std::atomic<bool> g_stopWatch{false};
bool g_notClosed = false;
uint64_t g_seed = 0;

int64_t Now() { return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count(); }

// Commands that start other programs (a browser, a second window, the
// tools of the Tools menu) are left out: they are not this program's.
bool Excluded(const QAction* action) {
  const QString name = action->objectName();
  for (const char* part : {"Help", "Web", "NouvelleFenetre", "MenuOutilsLumo", "MenuOutilsTarvik", "MenuOutilsDemora",
                           "MenuOutilsMellaro", "MenuOutilsPlugin"})
    if (name.contains(QLatin1String(part))) return true;
  return false;
}

// The program's boxes carry buttons of their own making: No is the button
// of the No role, whatever its text.
QAbstractButton* NoButton(const QMessageBox& box) {
  for (QAbstractButton* button : box.buttons())
    if (box.buttonRole(button) == QMessageBox::NoRole) return button;
  return nullptr;
}

QString Describe(const QWidget* w) {
  if (w == nullptr) return QStringLiteral("(none)");
  QString text = QString::fromLatin1(w->metaObject()->className());
  if (!w->objectName().isEmpty()) text += " " + w->objectName();
  const QWidget* top = w->window();
  if (top != w && top != nullptr) text += " in '" + top->windowTitle().left(30) + "'";
  return text;
}

class Monkey : public QObject {
 public:
  // Goes with the window.
  Monkey(TVekEditForm& window, std::vector<std::string> files, int seconds)
      : QObject(&window), window_(&window), files_(std::move(files)), random_(g_seed), end_(Now() + seconds * 1000LL) {
    folder_ = std::filesystem::temp_directory_path() / ("quilor-monkey-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    ::mkfifo((folder_ / "pipe.txt").c_str(), 0600);
    std::FILE* commands = std::fopen((folder_ / "run.cmd").c_str(), "w");
    if (commands != nullptr) {
      std::fprintf(commands, "Path=%s\n[Keys]\n1 jury\n[Files]\n%s\n", folder_.c_str(),
                   files_.empty() ? "" : files_.front().c_str());
      std::fclose(commands);
    }
    QTimer::singleShot(25, this, [this] { Tick(); });
  }
  ~Monkey() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

 private:
  int Pick(int n) { return n <= 1 ? 0 : static_cast<int>(random_() % static_cast<uint32_t>(n)); }
  bool Chance(int percent) { return Pick(100) < percent; }

  void Say(const QString& what) {
    std::fprintf(stderr, "step %ld: %s\n", g_step.load(), what.toLocal8Bit().constData());
    std::fflush(stderr);
  }

  // The widget a step acts on: the open dialog most of the time, else a
  // window of the program.
  QWidget* Target() {
    if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && Chance(85)) return modal;
    if (QWidget* popup = QApplication::activePopupWidget(); popup != nullptr && Chance(85)) return popup;
    std::vector<QWidget*> tops;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible() && w->width() > 0 && w->height() > 0) tops.push_back(w);
    if (tops.empty()) return nullptr;
    return tops[static_cast<size_t>(Pick(static_cast<int>(tops.size())))];
  }

  void Tick() {
    // The next step is due before this one is taken: a step that runs the
    // event loop (a dialog, an analysis) lets the next ones come, and they
    // act inside it, as a user would.
    g_lastBeat = Now();
    QTimer::singleShot(10 + Pick(40), this, [this] { Tick(); });
    ++g_step;
    if (Now() >= end_) {
      Finish();
    } else {
      Step();
    }
    g_lastBeat = Now();
  }

  void Finish() {
    if (!ending_) {
      Say(QStringLiteral("time is up: closing"));
      closingSince_ = Now();
    }
    ending_ = true;
    // A window that has not closed 20 s after it was asked to, every
    // question answered, is a fault of its own: it is reported and left.
    if (Now() - closingSince_ > 20000) {
      Say(QStringLiteral("the windows did not close within 20 s: leaving them"));
      g_notClosed = true;
      QCoreApplication::exit(0);
      return;
    }
    if (QWidget* popup = QApplication::activePopupWidget()) {
      SayWhileClosing("close the popup " + Describe(popup));
      popup->close();
      return;
    }
    // A question that would keep the window open on Cancel (save the work
    // first?) is answered No: the run ends without saving, as it began.
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      if (QAbstractButton* no = NoButton(*box)) {
        SayWhileClosing("answer No to '" + box->text().left(60) + "'");
        no->click();
        return;
      }
    }
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      QString what = Describe(dialog);
      if (auto* box = qobject_cast<QMessageBox*>(dialog)) what += " '" + box->text().left(80) + "'";
      SayWhileClosing("reject the dialog " + what);
      dialog->reject();
      return;
    }
    if (window_ && window_->isVisible()) {
      SayWhileClosing("close the main window");
      window_->close();
      return;
    }
    QCoreApplication::exit(0);
  }

  // What the closing does, said once until it does something else.
  void SayWhileClosing(const QString& what) {
    if (what == lastClosingStep_) return;
    lastClosingStep_ = what;
    Say(what);
  }

  void Step() {
    const int kind = Pick(100);
    if (kind < 18) Command();
    else if (kind < 45) Click();
    else if (kind < 62) Key();
    else if (kind < 70) Drag();
    else if (kind < 76) Drop();
    else if (kind < 84) Request();
    else if (kind < 88) Resize();
    else if (kind < 96) Answer();
    else Close();
  }

  void Command() {
    QWidget* top = Target();
    if (top == nullptr) return;
    std::vector<QAction*> actions;
    for (QAction* a : top->window()->findChildren<QAction*>())
      if (a->isEnabled() && a->isVisible() && !a->isSeparator() && a->menu() == nullptr && !Excluded(a))
        actions.push_back(a);
    if (actions.empty()) return;
    QAction* action = actions[static_cast<size_t>(Pick(static_cast<int>(actions.size())))];
    Say("command " + action->objectName() + " '" + action->text().left(30) + "'");
    action->trigger();
  }

  QPoint Somewhere(const QWidget* w) { return QPoint(Pick(std::max(1, w->width())), Pick(std::max(1, w->height()))); }

  // The deepest child under a point of top, and the point in its terms.
  QWidget* Under(QWidget* top, QPoint& at) {
    QWidget* child = top->childAt(at);
    if (child == nullptr) return top;
    at = child->mapFrom(top, at);
    return child;
  }

  Qt::KeyboardModifiers Modifiers() {
    const int m = Pick(10);
    return m == 0 ? Qt::ControlModifier : m == 1 ? Qt::ShiftModifier : Qt::NoModifier;
  }

  void Click() {
    QWidget* top = Target();
    if (top == nullptr) return;
    QPoint at = Somewhere(top);
    QPointer<QWidget> target = Under(top, at);
    const Qt::MouseButton button = Chance(80) ? Qt::LeftButton : Qt::RightButton;
    const bool twice = Chance(15);
    Say(QString("%1 %2 on %3 at %4,%5")
            .arg(twice ? "double click" : "click", button == Qt::LeftButton ? "left" : "right", Describe(target))
            .arg(at.x())
            .arg(at.y()));
    if (twice) QTest::mouseDClick(target, button, Modifiers(), at);
    else QTest::mouseClick(target, button, Modifiers(), at);
  }

  void Key() {
    static const Qt::Key kKeys[] = {Qt::Key_Return, Qt::Key_Escape,   Qt::Key_Tab,    Qt::Key_Space,     Qt::Key_Up,
                                    Qt::Key_Down,   Qt::Key_Left,     Qt::Key_Right,  Qt::Key_Home,      Qt::Key_End,
                                    Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_F2,
                                    Qt::Key_F3,     Qt::Key_F5,       Qt::Key_A,      Qt::Key_C,         Qt::Key_E,
                                    Qt::Key_S,      Qt::Key_X,        Qt::Key_1,      Qt::Key_Period};
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr || Chance(20)) target = Target();
    if (target == nullptr) return;
    const Qt::Key key = kKeys[Pick(static_cast<int>(std::size(kKeys)))];
    const Qt::KeyboardModifiers modifiers = Chance(15) ? Qt::AltModifier : Modifiers();
    Say(QString("key %1 (modifiers %2) to %3")
            .arg(key, 0, 16)
            .arg(static_cast<int>(modifiers), 0, 16)
            .arg(Describe(target)));
    QTest::keyClick(target, key, modifiers);
  }

  void Drag() {
    QWidget* top = Target();
    if (top == nullptr) return;
    QPoint from = Somewhere(top);
    QPointer<QWidget> target = Under(top, from);
    if (!target) return;
    const QPoint to = from + QPoint(Pick(200) - 100, Pick(200) - 100);
    Say(QString("drag on %1 from %2,%3 to %4,%5")
            .arg(Describe(target))
            .arg(from.x())
            .arg(from.y())
            .arg(to.x())
            .arg(to.y()));
    QTest::mousePress(target, Qt::LeftButton, {}, from);
    for (int i = 1; i <= 4 && target; ++i) QTest::mouseMove(target, from + (to - from) * i / 4);
    if (target) QTest::mouseRelease(target, Qt::LeftButton, {}, to);
  }

  std::string SomeFile() {
    switch (Pick(6)) {
      case 0: return (folder_ / "pipe.txt").string();
      case 1: return folder_.string();
      case 2: return (folder_ / "missing.txt").string();
      case 3: return "relative.txt";
      default:
        return files_.empty() ? folder_.string() : files_[static_cast<size_t>(Pick(static_cast<int>(files_.size())))];
    }
  }

  void Drop() {
    if (!window_ || !window_->isVisible()) return;
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    const int n = 1 + Pick(3);
    for (int i = 0; i < n; ++i)
      urls.push_back(Chance(90) ? QUrl::fromLocalFile(QString::fromStdString(SomeFile()))
                                : QUrl(QStringLiteral("https://example.invalid/x")));
    mime->setUrls(urls);
    const QPoint at = Somewhere(window_);
    Say("drop " + urls.front().toString() + QString(" (+%1) at %2,%3").arg(n - 1).arg(at.x()).arg(at.y()));
    QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window_, &enter);
    if (window_) {
      QDropEvent drop(QPointF(at), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
      QCoreApplication::sendEvent(window_, &drop);
    }
    delete mime;
  }

  void Request() {
    TCopyDataRequest request;
    request.command = Pick(4) == 0 ? 1u : 0u;
    request.path = request.command == 1 && Chance(70) ? (folder_ / "run.cmd").string() : SomeFile();
    if (Chance(50)) request.keys[0] = "jury";
    request.keyKind = static_cast<uint16_t>(Pick(3));
    std::string block = EncodeRequest(request);
    const int shape = Pick(6);
    if (shape == 0) block.resize(static_cast<size_t>(Pick(3000)));  // a wrong size
    std::string frame(4, '\0');
    const uint32_t length = static_cast<uint32_t>(block.size());
    for (int i = 0; i < 4; ++i) frame[static_cast<size_t>(i)] = static_cast<char>(length >> (8 * i));
    frame += block;
    if (shape == 1) frame.resize(static_cast<size_t>(Pick(static_cast<int>(frame.size()))));  // half sent
    const bool closeAtOnce = shape == 2;
    Say(QString("request command %1 '%2', %3 bytes%4")
            .arg(request.command)
            .arg(QString::fromStdString(request.path).left(60))
            .arg(frame.size())
            .arg(closeAtOnce ? ", closed at once" : ""));
    auto* socket = new QLocalSocket(this);
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::errorOccurred, socket, &QObject::deleteLater);
    socket->connectToServer(QString::fromStdString(RequestSocketPath()));
    socket->write(frame.data(), static_cast<qint64>(frame.size()));
    if (closeAtOnce) {
      socket->flush();
      socket->abort();
    } else {
      // Gone after a while whatever happens.
      QTimer::singleShot(3000, socket, [socket] { socket->abort(); });
    }
  }

  void Resize() {
    if (!window_ || !window_->isVisible()) return;
    const int w = 1024 + Pick(600), h = 700 + Pick(400);
    Say(QString("resize the main window to %1x%2").arg(w).arg(h));
    window_->resize(w, h);
  }

  void Answer() {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return Key();
    const bool accept = Chance(50);
    Say(QString("%1 dialog %2").arg(accept ? "accept" : "reject", Describe(dialog)));
    if (accept) dialog->accept();
    else dialog->reject();
  }

  void Close() {
    QWidget* top = Target();
    if (top == nullptr) return;
    // The main window itself rarely: that ends the run.
    if (top == window_ && !Chance(2)) return;
    Say("close " + Describe(top));
    top->close();
  }

  QPointer<TVekEditForm> window_;
  std::vector<std::string> files_;
  std::mt19937 random_;
  int64_t end_;
  bool ending_ = false;
  int64_t closingSince_ = 0;
  QString lastClosingStep_;
  std::filesystem::path folder_;
};

void Watch() {
  while (!g_stopWatch) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const int64_t beat = g_lastBeat;
    const bool made = g_windowMade;
    const int limit = made ? kHangSeconds : kStartSeconds;
    if (beat != 0 && Now() - beat > limit * 1000LL) {
      std::fprintf(stderr, "monkey: HANG of more than %d s %s step %ld, seed %llu\n", limit,
                   made ? "at" : "before the main window, at", g_step.load(), static_cast<unsigned long long>(g_seed));
      std::fflush(stderr);
      // Where the window's thread is, when a debugger is at hand.
      const std::string where = "command -v gdb >/dev/null && gdb -q -p " + std::to_string(::getpid()) +
                                " -batch -ex 'thread 1' -ex bt 2>/dev/null | grep -E '^#' | head -40 >&2";
      if (std::system(where.c_str()) != 0) std::fprintf(stderr, "monkey: no stack (gdb missing)\n");
      std::_Exit(kExitHang);
    }
  }
}

// A box the program shows before its main window exists (a bad file name
// on the command line) would wait for an answer that never comes: each is
// written to the log and closed, as a user would close it.
void AnswerBoxesBeforeTheWindow() {
  auto* timer = new QTimer(qApp);
  timer->setInterval(500);
  QObject::connect(timer, &QTimer::timeout, timer, [timer] {
    if (g_windowMade) {
      timer->deleteLater();
      return;
    }
    auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    QString text = box->windowTitle();
    if (auto* message = qobject_cast<QMessageBox*>(box)) text += ": " + message->text();
    std::fprintf(stderr, "step 0: before the main window, close box '%s'\n", text.left(200).toLocal8Bit().constData());
    std::fflush(stderr);
    g_lastBeat = Now();
    box->reject();
  });
  timer->start();
}

int Usage() {
  std::fprintf(stderr, "usage: quilor-monkey --seed N --seconds S FILE...\n");
  return 64;
}

}  // namespace

int main(int argc, char** argv) {
  int seconds = 60;
  std::vector<std::string> files;
  std::vector<char*> programArgs = {argv[0]};
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--seed" && i + 1 < argc) {
      g_seed = std::strtoull(argv[++i], nullptr, 10);
    } else if (arg == "--seconds" && i + 1 < argc) {
      seconds = std::atoi(argv[++i]);
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage();
    } else {
      std::error_code error;
      files.push_back(std::filesystem::absolute(arg, error).string());
      programArgs.push_back(argv[i]);
    }
  }
  if (seconds <= 0) return Usage();
  std::fprintf(stderr, "monkey: seed %llu, %d s\n", static_cast<unsigned long long>(g_seed), seconds);
  programArgs.push_back(nullptr);
  int programArgc = static_cast<int>(programArgs.size()) - 1;

  ScriptedSetupWizard singleUser;  // the first start's question: one user
  ProgramHooks hooks;
  hooks.beforeWindow = [&singleUser] {
    SetSetupWizard(&singleUser);
    AnswerBoxesBeforeTheWindow();
  };
  hooks.windowMade = [&](TVekEditForm& window) {
    new Monkey(window, files, seconds);
    g_lastBeat = Now();
    g_windowMade = true;
  };
  // The clock runs from the start: a program that stops before its window
  // is there is seen too.
  g_lastBeat = Now();
  std::thread watchdog(Watch);
  int code = RunProgram(programArgc, programArgs.data(), hooks);
  if (code == 0 && g_notClosed) code = kExitNotClosed;
  g_stopWatch = true;
  watchdog.join();
  std::fprintf(stderr, "monkey: seed %llu ended after %ld steps with exit code %d\n",
               static_cast<unsigned long long>(g_seed), g_step.load(), code);
  return code;
}
