#include "mainwindow/request_server_qt.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QLocalSocket>

#include <cstdlib>
#include <memory>

#include "platform/byte_order.h"

namespace quilor::ui {

namespace {

bool PrivateFolder(const std::string& folder) {
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0) return false;
  return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

// Reads the frame of one connection as its bytes arrive.
class Connection : public QObject {
 public:
  Connection(QLocalSocket* socket, RequestServer::Handler& handler, QObject* parent)
      : QObject(parent), socket_(socket), handler_(handler) {
    connect(socket_, &QLocalSocket::readyRead, this, [this] { Read(); });
    connect(socket_, &QLocalSocket::disconnected, this, [this] {
      socket_->deleteLater();
      deleteLater();
    });
  }

 private:
  void Read() {
    buffer_ += socket_->readAll().toStdString();
    if (length_ < 0 && buffer_.size() >= 4) {
      const uint32_t length = LoadLe32(buffer_.data());
      if (length > kMaxRequestFrame) {
        socket_->abort();
        return;
      }
      length_ = static_cast<int64_t>(length);
      buffer_.erase(0, 4);
    }
    if (length_ < 0 || static_cast<int64_t>(buffer_.size()) < length_ || answered_) return;
    answered_ = true;
    const uint32_t reply = handler_(std::string_view(buffer_.data(), static_cast<size_t>(length_)));
    char bytes[4];
    StoreLe32(bytes, reply);
    socket_->write(bytes, 4);
    socket_->flush();
    socket_->disconnectFromServer();
  }

  QLocalSocket* socket_;
  RequestServer::Handler& handler_;
  std::string buffer_;
  int64_t length_ = -1;
  bool answered_ = false;
};

}  // namespace

std::string RequestSocketPath() {
  std::string folder;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime == '/' && PrivateFolder(runtime)) {
    folder = runtime;
  } else {
    folder = "/tmp/quilor-" + std::to_string(::getuid());
    ::mkdir(folder.c_str(), 0700);
    if (!PrivateFolder(folder)) return {};
  }
  return folder + "/quilor-requests";
}

RequestServer::RequestServer(Handler handler, QObject* parent) : QObject(parent), handler_(std::move(handler)) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&server_, &QLocalServer::newConnection, this, [this] { Accept(); });
}

bool RequestServer::Listen(const std::string& path) {
  if (path.empty()) {
    error_ = "no private folder for the request socket";
    return false;
  }
  const QString name = QString::fromStdString(path);
  // Someone answers: another program has the socket, leave it. (Listening
  // would replace its socket file, so ask first.)
  QLocalSocket probe;
  probe.connectToServer(name);
  if (probe.waitForConnected(500)) {
    probe.abort();
    error_ = "another program has the request socket";
    return false;
  }
  // A socket left by a program that ended is replaced.
  QLocalServer::removeServer(name);
  if (server_.listen(name)) return true;
  error_ = server_.errorString();
  return false;
}

void RequestServer::Accept() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) new Connection(socket, handler_, this);
}

bool SendRequest(const std::string& path, std::string_view block, uint32_t& reply, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(QString::fromStdString(path));
  if (!socket.waitForConnected(timeoutMs)) return false;
  char length[4];
  StoreLe32(length, static_cast<uint32_t>(block.size()));
  socket.write(length, 4);
  socket.write(block.data(), static_cast<qint64>(block.size()));
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  std::string answer;
  while (answer.size() < 4) {
    if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(timeoutMs)) return false;
    answer += socket.readAll().toStdString();
  }
  reply = LoadLe32(answer.data());
  return true;
}

}  // namespace quilor::ui
