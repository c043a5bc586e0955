// The program's local socket: other programs of the same user send a request
// record on it (tools/qt/quilor-send.cpp). Framing: a 4-byte little-endian
// length, then that many bytes; the reply is a 4-byte little-endian code
// (RequestReply). The server only frames; the window acts through a handler,
// which answers at once and leaves its work to run after the reply has gone.
// A connection that has not sent its whole frame within kRequestTimeoutMs is
// closed, and at most kMaxRequestConnections are held at once (the others
// are answered busy as they come, unread).
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <functional>
#include <string>
#include <string_view>

#include "mainwindow/request_dispatch.h"

namespace quilor::ui {

// The socket's path for this user: in $XDG_RUNTIME_DIR when it is a private
// folder of ours, else in a private folder /tmp/quilor-<uid> made for it.
// Empty when no private folder can be had.
std::string RequestSocketPath();

// Frames bigger than this are not read (the connection is closed).
constexpr uint32_t kMaxRequestFrame = 65536;
constexpr int kRequestTimeoutMs = 10000;
constexpr int kMaxRequestConnections = 32;

class RequestServer : public QObject {
  Q_OBJECT
 public:
  // Checks a frame and says what to reply; the work it returns runs from
  // the event loop once the reply has been written.
  using Handler = std::function<TakenRequest(std::string_view block)>;

  explicit RequestServer(Handler handler, QObject* parent = nullptr);
  ~RequestServer() override;
  // Listens on path; false when another running program has it or it
  // cannot be made (a stale socket of a dead program is replaced).
  bool Listen(const std::string& path);
  QString ErrorText() const { return error_; }
  // Connections being read.
  int OpenConnections() const { return connections_; }
  // The time a connection has to send its frame (kRequestTimeoutMs).
  void SetReadTimeout(int ms) { timeoutMs_ = ms; }

 private:
  class Connection;
  void Accept();

  Handler handler_;
  int connections_ = 0;
  int timeoutMs_ = kRequestTimeoutMs;
  QLocalServer server_;
  QString error_;
};

// Sends one request block and waits for the reply; false when no program
// answers within timeoutMs. A program whose queue of connections is full is
// tried again until then.
bool SendRequest(const std::string& path, std::string_view block, uint32_t& reply, int timeoutMs = 5000);

}  // namespace quilor::ui
