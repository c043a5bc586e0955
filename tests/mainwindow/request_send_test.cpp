#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <sys/stat.h>

#include "core/file_queue.h"
#include "engine/command_line.h"
#include "core/options.h"
#include "mainwindow/request_dispatch.h"
#include "mainwindow/request_server_qt.h"
#include "main_window_fixture.h"

namespace quilor::ui {
namespace {

using testing_support::MainWindowTest;

// quilor-send, run as another program would, reaches the running window on
// its socket: the window analyses the named file with the given key. With
// no program listening, quilor-send says so by its exit code.
class SendToTheRunningWindow : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    runtime_ = tmp_ / "runtime";
    std::filesystem::create_directories(runtime_);
    ::chmod(runtime_.c_str(), 0700);
    hadRuntime_ = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    previousRuntime_ = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime_));
  }
  void TearDown() override {
    if (hadRuntime_) qputenv("XDG_RUNTIME_DIR", previousRuntime_);
    else qunsetenv("XDG_RUNTIME_DIR");
    MainWindowTest::TearDown();
  }
  // Runs quilor-send with args while the window's events go on; its exit code.
  int Send(const QStringList& args, const std::function<bool()>& until = {}) {
    QProcess send;
    send.start(QString::fromStdString(std::string(QUILOR_BINARY_DIR) + "/tools/quilor-send"), args);
    EXPECT_TRUE(send.waitForStarted(10000));
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 60000 && (send.state() != QProcess::NotRunning || (until && !until())))
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return send.exitCode();
  }
  std::string runtime_;
  QByteArray previousRuntime_;
  bool hadRuntime_ = false;
};

TEST_F(SendToTheRunningWindow, AnalysesTheFileWithItsKeyAndSaysWhenNobodyListens) {
  TVekEditForm& w = Start();
  {
    RequestDispatcher requests(w);
    RequestServer server([&requests](std::string_view block) { return requests.Take(block); });
    const std::string socket = RequestSocketPath();
    ASSERT_EQ(socket.rfind(runtime_, 0), 0u) << socket;
    ASSERT_TRUE(server.Listen(socket)) << server.ErrorText().toStdString();
    EXPECT_EQ(Send({"--key", "1:jury", QString::fromStdString(sample_)}, [&w] { return w.TextLoaded(); }), 0);
    EXPECT_TRUE(w.TextLoaded());
    EXPECT_EQ(w.Session().AnalysedFile(), sample_);
    EXPECT_EQ(WorkContext->SearchKeys[0], "jury");
    EXPECT_EQ(WorkContext->SearchKeyKinds[0], 1);
    // A usage mistake never reaches the window.
    EXPECT_EQ(Send({"--key", "jury", QString::fromStdString(sample_)}), 64);
  }
  EXPECT_NE(Send({QString::fromStdString(sample_)}), 0);
  CloseWindow();
}

}  // namespace
}  // namespace quilor::ui
