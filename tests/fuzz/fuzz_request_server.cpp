// The request server's framing on a real local socket: the input is a
// script of clients that connect, write parts of frames (lengths of any
// value included), wait, read and close early, in any order. Whatever they
// do, every reply is one of the codes, every connection is closed once its
// client has gone, and nothing is touched after it is freed.
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "mainwindow/request_dispatch.h"
#include "mainwindow/request_server_qt.h"

namespace {

using namespace quilor::ui;

// A window that is sometimes busy and whose work lets the events run, as an
// analysis or a message box does.
class Target : public RequestTarget {
 public:
  bool busy = false;
  bool Busy() const override { return busy; }
  bool ReleaseText() override { return true; }
  void ShowError(int) override { Pump(5); }
  void BringToFront() override {}
  void SwitchScenario(const std::string&) override {}
  void AnalyseQueue() override { Pump(5); }
  void OpenDocument(const std::string&) override { Pump(5); }
  void ListFolder(const std::string&) override {}
  CommandFileHooks CommandHooks() override { return {}; }
  void ClearReanalysis() override {}
  static void Pump(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
  }
};

// The events of the window's loop: the script runs them from the top, where
// the program's event loop would be, and so also deletes what was left to be
// deleted later, as that loop does (events run alone leave some of it).
void RunLoop(int ms) {
  Target::Pump(ms);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct World {
  int argc = 1;
  char name[8] = "fuzz";
  char* argv[2] = {name, nullptr};
  QCoreApplication app{argc, argv};
  Target target;
  RequestDispatcher dispatcher{target};
  RequestServer server{[this](std::string_view block) { return dispatcher.Take(block); }};
  std::string path;
  World() {
    path = "/tmp/quilor-fuzz-requests-" + std::to_string(::getpid());
    server.SetReadTimeout(30);
    if (!server.Listen(path)) __builtin_trap();
  }
};

World& TheWorld() {
  static World* world = new World;
  return *world;
}

bool GoodReply(const std::string& bytes) {
  if (bytes.size() != 4) return false;
  const uint32_t code = static_cast<uint8_t>(bytes[0]) | static_cast<uint32_t>(static_cast<uint8_t>(bytes[1])) << 8 |
                        static_cast<uint32_t>(static_cast<uint8_t>(bytes[2])) << 16 |
                        static_cast<uint32_t>(static_cast<uint8_t>(bytes[3])) << 24;
  return code == 0 || code == 1 || code == 2 || code == 451;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  World& world = TheWorld();
  std::array<std::unique_ptr<QLocalSocket>, 4> clients;
  std::array<std::string, 4> replies;
  size_t at = 0;
  auto next = [&]() -> uint8_t { return at < size ? data[at++] : 0; };
  while (at < size) {
    const uint8_t op = next();
    const size_t k = (op >> 4) % clients.size();
    switch (op % 8) {
      case 0:  // connect
        if (!clients[k]) {
          clients[k] = std::make_unique<QLocalSocket>();
          clients[k]->connectToServer(QString::fromStdString(world.path));
          replies[k].clear();
        }
        break;
      case 1: {  // a frame header: small, the record's size, or too long
        if (!clients[k]) break;
        const uint8_t kind = next();
        const uint32_t length = kind < 64 ? kind : kind < 192 ? 2167u : 0x80000000u + kind;
        const char header[4] = {static_cast<char>(length), static_cast<char>(length >> 8),
                                static_cast<char>(length >> 16), static_cast<char>(length >> 24)};
        clients[k]->write(header, 4);
        break;
      }
      case 2: {  // raw bytes from the input
        if (!clients[k]) break;
        const size_t n = std::min<size_t>(next(), size - at);
        clients[k]->write(reinterpret_cast<const char*>(data + at), static_cast<qint64>(n));
        at += n;
        break;
      }
      case 3: {  // filler to complete a record
        if (!clients[k]) break;
        const size_t n = static_cast<size_t>(next()) * 16;
        clients[k]->write(std::string(n, static_cast<char>(op)).data(), static_cast<qint64>(n));
        break;
      }
      case 4:  // close early
        if (clients[k]) clients[k]->abort();
        clients[k].reset();
        break;
      case 5:  // the window turns busy or free
        world.target.busy = !world.target.busy;
        break;
      default:  // events run; replies are read
        RunLoop(1 + next() % 8);
        for (size_t c = 0; c < clients.size(); ++c)
          if (clients[c]) replies[c] += clients[c]->readAll().toStdString();
        break;
    }
  }
  RunLoop(2);
  for (size_t c = 0; c < clients.size(); ++c) {
    if (!clients[c]) continue;
    replies[c] += clients[c]->readAll().toStdString();
    if (!replies[c].empty() && !GoodReply(replies[c])) __builtin_trap();
    clients[c]->abort();
    clients[c].reset();
  }
  // Every connection ends once its client has gone (or its time is up).
  QElapsedTimer timer;
  timer.start();
  while (world.server.OpenConnections() > 0 && timer.elapsed() < 2000) RunLoop(1);
  if (world.server.OpenConnections() != 0) __builtin_trap();
  world.target.busy = false;
  return 0;
}
