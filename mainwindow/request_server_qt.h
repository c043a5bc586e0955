// The program's local socket: other programs of the same user send a request
// record on it (tools/qt/quilor-send.cpp). Framing: a 4-byte little-endian
// length, then that many bytes; the reply is a 4-byte little-endian code
// (RequestReply). The server only frames; the window acts through a handler.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <functional>
#include <string>
#include <string_view>

namespace quilor::ui {

// The socket's path for this user: in $XDG_RUNTIME_DIR when it is a private
// folder of ours, else in a private folder /tmp/quilor-<uid> made for it.
// Empty when no private folder can be had.
std::string RequestSocketPath();

// Frames bigger than this are not read (the connection is closed).
constexpr uint32_t kMaxRequestFrame = 65536;

class RequestServer : public QObject {
  Q_OBJECT
 public:
  using Handler = std::function<uint32_t(std::string_view block)>;

  explicit RequestServer(Handler handler, QObject* parent = nullptr);
  // Listens on path; false when another running program has it or it
  // cannot be made (a stale socket of a dead program is replaced).
  bool Listen(const std::string& path);
  QString ErrorText() const { return error_; }

 private:
  void Accept();

  Handler handler_;
  QLocalServer server_;
  QString error_;
};

// Sends one request block and waits for the reply; false when no program
// answers within timeoutMs.
bool SendRequest(const std::string& path, std::string_view block, uint32_t& reply, int timeoutMs = 5000);

}  // namespace quilor::ui
