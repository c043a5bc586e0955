// A request sent in pieces, as a slow or busy sender writes it: the record
// is read whole once its last byte comes, whatever the pieces.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>

#include <atomic>
#include <chrono>
#include <thread>

#include "mainwindow/copydata_request.h"
#include "mainwindow/request_server_qt.h"
#include "platform/byte_order.h"
#include "tests/platform/temp_folder.h"

namespace quilor::ui {
namespace {

TEST(RequestLimits, ARecordSentInPiecesIsReadWhole) {
  quilor::testing::TempFolder folder;
  const std::string path = folder / "requests.sock";
  std::vector<std::string> blocks;
  RequestServer server([&](std::string_view block) {
    blocks.emplace_back(block);
    return TakenRequest{block.size() == kRequestSize ? RequestReply::kDone : RequestReply::kWrongSize, {}};
  });
  ASSERT_TRUE(server.Listen(path)) << server.ErrorText().toStdString();
  const std::string record = EncodeRequest(TCopyDataRequest{});
  ASSERT_EQ(record.size(), kRequestSize);
  std::atomic<bool> done{false};
  std::string reply;
  std::thread sender([&] {
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(path));
    if (socket.waitForConnected(5000)) {
      char length[4];
      StoreLe32(length, static_cast<uint32_t>(record.size()));
      // The length alone, then the record in two pieces, each let through first.
      for (const std::string& piece : {std::string(length, 4), record.substr(0, 7), record.substr(7)}) {
        socket.write(piece.data(), static_cast<qint64>(piece.size()));
        socket.waitForBytesWritten(5000);
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
      }
      while (reply.size() < 4 && socket.waitForReadyRead(5000)) reply += socket.readAll().toStdString();
    }
    done = true;
  });
  QElapsedTimer timer;
  timer.start();
  while (!done && timer.elapsed() < 15000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  sender.join();
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0], record);
  ASSERT_EQ(reply.size(), 4u);
  EXPECT_EQ(LoadLe32(reply.data()), 0u);
}

}  // namespace
}  // namespace quilor::ui
