#include "mainwindow/request_server_qt.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>
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

}  // namespace

std::string RequestSocketPath() {
  std::string folder;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
      runtime != nullptr && *runtime == '/' && PrivateFolder(runtime)) {
    folder = runtime;
  } else {
    folder = "/tmp/quilor-" + std::to_string(::getuid());
    ::mkdir(folder.c_str(), 0700);
    if (!PrivateFolder(folder)) return {};
  }
  return folder + "/quilor-requests";
}

// Reads the frame of one connection as its bytes arrive, replies as soon as
// it is whole and hands the work on to the server's event loop: nothing here
// runs the loop, so the connection cannot go while it is being read.
class RequestServer::Connection : public QObject {
 public:
  Connection(QLocalSocket* socket, RequestServer& server) : QObject(&server), socket_(socket), server_(server) {
    ++server_.connections_;
    connect(socket_, &QLocalSocket::readyRead, this, [this] { Read(); });
    connect(socket_, &QLocalSocket::disconnected, this, [this] { Close(); });
    // A sender that stops half-way does not hold the connection.
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] {
      socket_->abort();
      Close();
    });
    timer_.start(server_.timeoutMs_);
  }
  ~Connection() override { --server_.connections_; }

 private:
  void Close() {
    timer_.stop();
    socket_->deleteLater();
    deleteLater();
  }

  void Read() {
    if (answered_) {
      socket_->readAll();
      return;
    }
    buffer_ += socket_->readAll().toStdString();
    if (length_ < 0 && buffer_.size() >= 4) {
      const uint32_t length = LoadLe32(buffer_.data());
      if (length > kMaxRequestFrame) {
        socket_->abort();
        Close();
        return;
      }
      length_ = static_cast<int64_t>(length);
      buffer_.erase(0, 4);
    }
    if (length_ < 0 || static_cast<int64_t>(buffer_.size()) < length_) return;
    answered_ = true;
    TakenRequest taken = server_.handler_(std::string_view(buffer_.data(), static_cast<size_t>(length_)));
    char bytes[4];
    StoreLe32(bytes, static_cast<uint32_t>(taken.reply));
    socket_->write(bytes, 4);
    socket_->flush();
    socket_->disconnectFromServer();
    if (taken.work) QMetaObject::invokeMethod(&server_, std::move(taken.work), Qt::QueuedConnection);
  }

  QLocalSocket* socket_;
  RequestServer& server_;
  QTimer timer_;
  std::string buffer_;
  int64_t length_ = -1;
  bool answered_ = false;
};

RequestServer::RequestServer(Handler handler, QObject* parent) : QObject(parent), handler_(std::move(handler)) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  // Room for a burst of senders before connects are refused.
  server_.setListenBacklogSize(128);
  connect(&server_, &QLocalServer::newConnection, this, [this] { Accept(); });
}

RequestServer::~RequestServer() {
  // The connections go first: they count themselves out of this server.
  qDeleteAll(children());
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
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    if (connections_ >= kMaxRequestConnections) {
      // The program is there but has its hands full: the sender hears busy
      // at once, unread, instead of a connection closed without a word.
      char bytes[4];
      StoreLe32(bytes, static_cast<uint32_t>(RequestReply::kBusy));
      // Closing at once could reset the connection before the sender has
      // written its request and read the reply: what it sends is read and
      // dropped until it closes, for a second at most.
      socket->write(bytes, 4);
      socket->flush();
      connect(socket, &QLocalSocket::readyRead, socket, [socket] { socket->readAll(); });
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      QTimer::singleShot(1000, socket, [socket] { socket->abort(); });
      continue;
    }
    new Connection(socket, *this);
  }
}

bool SendRequest(const std::string& path, std::string_view block, uint32_t& reply, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  const auto left = [&] { return std::max<int>(1, timeoutMs - static_cast<int>(clock.elapsed())); };
  QLocalSocket socket;
  for (;;) {
    socket.connectToServer(QString::fromStdString(path));
    if (socket.waitForConnected(left())) break;
    // A full queue of connections (or a socket being replaced) passes; no
    // socket at all does not.
    const auto error = socket.error();
    socket.abort();
    if (error == QLocalSocket::ServerNotFoundError || clock.elapsed() >= timeoutMs) return false;
    QThread::msleep(20);
  }
  char length[4];
  StoreLe32(length, static_cast<uint32_t>(block.size()));
  socket.write(length, 4);
  socket.write(block.data(), static_cast<qint64>(block.size()));
  // A busy program may answer before it reads the request: its reply counts
  // even when the request could not be written whole.
  socket.waitForBytesWritten(left());
  std::string answer;
  while (answer.size() < 4) {
    if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(left()) && socket.bytesAvailable() == 0) return false;
    answer += socket.readAll().toStdString();
  }
  reply = LoadLe32(answer.data());
  return true;
}

}  // namespace quilor::ui
