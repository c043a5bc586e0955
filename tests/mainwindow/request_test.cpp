#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include <QLocalSocket>

#include "core/file_queue.h"
#include "core/files.h"
#include "engine/command_line.h"
#include "core/options.h"
#include "mainwindow/copydata_request.h"
#include "mainwindow/request_dispatch.h"
#include "mainwindow/request_server_qt.h"
#include "../platform/temp_folder.h"

namespace quilor::ui {
namespace {

using quilor::testing::TempFolder;
using quilor::testing::WriteWholeFile;

class FakeTarget : public RequestTarget {
 public:
  bool busy = false;
  bool releaseOk = true;
  int releases = 0;
  std::vector<int> errors;
  std::vector<std::string> scenarios;
  int analyses = 0;
  std::vector<std::string> opened;
  std::vector<std::string> folders;

  bool Busy() const override { return busy; }
  bool ReleaseText() override {
    ++releases;
    return releaseOk;
  }
  // Runs while the work shows a box or analyses: the event loop goes on.
  std::function<void()> whileWorking;
  std::function<void(const std::string&)> setFolder = [](const std::string&) {};
  void ShowError(int number) override {
    errors.push_back(number);
    if (whileWorking) whileWorking();
  }
  void BringToFront() override {}
  void SwitchScenario(const std::string& name) override { scenarios.push_back(name); }
  void AnalyseQueue() override {
    ++analyses;
    if (whileWorking) whileWorking();
  }
  void OpenDocument(const std::string& path) override { opened.push_back(path); }
  void ListFolder(const std::string& path) override { folders.push_back(path); }
  CommandFileHooks CommandHooks() override {
    CommandFileHooks hooks;
    hooks.setCurrentFolder = setFolder;
    return hooks;
  }
  void ClearReanalysis() override {}
};

class Requests : public ::testing::Test {
 protected:
  void SetUp() override {
    previousFolder_ = std::filesystem::current_path();
    WorkContext->Reset();
    Options->ResetSettings();
    Options->Set(opt::ScenarioFileName, std::string_view("Concepts US V8.scn"));
    FileQueue.Clear();
    CommandLineFlags = {};
    document_ = folder_ / "text.txt";
    WriteWholeFile(document_, "Some words.\n");
  }
  void TearDown() override {
    // A request changes the current folder: the next tests must not find themselves in a removed one.
    std::filesystem::current_path(previousFolder_);
    FileQueue.Clear();
    WorkContext->Reset();
  }

  std::filesystem::path previousFolder_;
  TempFolder folder_;
  std::string document_;
  FakeTarget target_;
};

TEST_F(Requests, AnalyseCommandQueuesTheFileAndKeepsTheKeys) {
  TCopyDataRequest request;
  request.path = document_;
  request.scenario = "CONCEPTS us V8.scn";  // the current one in other letters: no switch
  request.keys[0] = "house";
  request.keyKind = 2;
  EXPECT_EQ(HandleRequest(EncodeRequest(request), target_), RequestReply::kDone);
  EXPECT_EQ(target_.releases, 1);
  EXPECT_TRUE(target_.scenarios.empty());
  EXPECT_EQ(target_.analyses, 1);
  ASSERT_EQ(FileQueue.Count(), 1);
  EXPECT_EQ(std::string(FileQueue.Get(1)), document_);
  EXPECT_EQ(WorkContext->SearchKeys[0], "house");
  EXPECT_EQ(WorkContext->SearchKeyKinds[0], 2);
  EXPECT_TRUE(CommandLineFlags.searchKeyGiven && CommandLineFlags.keyKindValid);

  request.scenario = "Other.scn";
  HandleRequest(EncodeRequest(request), target_);
  EXPECT_EQ(target_.scenarios, std::vector<std::string>{"Other.scn"});
}

TEST_F(Requests, WrongSizeOrBusyChangesNothing) {
  FileQueue.Add("/kept.txt");
  EXPECT_EQ(HandleRequest(std::string(2000, '\0'), target_), RequestReply::kWrongSize);
  EXPECT_EQ(target_.errors, std::vector<int>{451});
  EXPECT_EQ(target_.releases, 0);  // the text is not released for a bad record

  target_.busy = true;
  TCopyDataRequest request;
  request.path = document_;
  EXPECT_EQ(HandleRequest(EncodeRequest(request), target_), RequestReply::kBusy);
  EXPECT_EQ(target_.releases, 0);
  EXPECT_EQ(target_.analyses, 0);
  EXPECT_STREQ(FileQueue.Get(1), "/kept.txt");
}

TEST_F(Requests, CommandFileRequestConsumesOnlyARealCommandFile) {
  const std::string commands = folder_ / "run.cmd";
  WriteWholeFile(commands, "[Files]\n" + document_ + "\n");
  TCopyDataRequest request;
  request.command = 1;
  request.path = commands;
  HandleRequest(EncodeRequest(request), target_);
  // One file: opened as File > Open does.
  EXPECT_EQ(target_.opened, std::vector<std::string>{document_});
  EXPECT_EQ(WorkContext->PendingCommandFile, commands);

  // A document sent as a command file is never marked for deletion.
  request.path = document_;
  HandleRequest(EncodeRequest(request), target_);
  EXPECT_TRUE(WorkContext->PendingCommandFile.empty());
  EXPECT_EQ(target_.analyses, 1);  // an empty queue: the analysis reports the empty text
}

TEST_F(Requests, DropsOpenTheFirstFileOrListAFolder) {
  EXPECT_TRUE(HandleDrop({document_, folder_.path()}, target_));
  EXPECT_EQ(target_.opened, std::vector<std::string>{document_});
  EXPECT_TRUE(HandleDrop({folder_.path()}, target_));
  EXPECT_EQ(target_.folders, std::vector<std::string>{folder_.path()});
  EXPECT_FALSE(HandleDrop({folder_ / "missing.txt"}, target_));
  EXPECT_FALSE(HandleDrop({"/" + std::string(300, 'a')}, target_));
  target_.busy = true;
  EXPECT_FALSE(HandleDrop({document_}, target_));
  EXPECT_EQ(target_.opened.size(), 1u);
}

TEST_F(Requests, SocketRoundTripCarriesTheRecordAndTheReply) {
  const std::string path = folder_ / "requests.sock";
  std::vector<size_t> sizes;
  RequestServer server([&](std::string_view block) {
    sizes.push_back(block.size());
    return TakenRequest{block.size() == kRequestSize ? RequestReply::kDone : RequestReply::kWrongSize, {}};
  });
  ASSERT_TRUE(server.Listen(path)) << server.ErrorText().toStdString();
  // A second server does not take the socket of a live one.
  RequestServer second([](std::string_view) { return TakenRequest{}; });
  EXPECT_FALSE(second.Listen(path));

  std::atomic<int> done{0};
  uint32_t replies[2] = {99, 99};
  bool sent[2] = {false, false};
  std::thread sender([&] {
    sent[0] = SendRequest(path, EncodeRequest(TCopyDataRequest{}), replies[0]);
    sent[1] = SendRequest(path, std::string(2000, 'x'), replies[1]);
    done = 1;
  });
  QElapsedTimer timer;
  timer.start();
  while (done == 0 && timer.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  sender.join();
  EXPECT_TRUE(sent[0]);
  EXPECT_EQ(replies[0], 0u);
  EXPECT_TRUE(sent[1]);
  EXPECT_EQ(replies[1], 451u);
  EXPECT_EQ(sizes, (std::vector<size_t>{2167, 2000}));

  uint32_t reply = 0;
  EXPECT_FALSE(SendRequest(folder_ / "nobody.sock", "x", reply, 200));
}

// Runs the event loop until done() or ms have passed.
void PumpUntil(const std::function<bool()>& done, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

TEST_F(Requests, ReplyComesBeforeTheWorkAndBadRecordsShareOneBox) {
  RequestDispatcher dispatcher(target_);
  TCopyDataRequest request;
  request.path = document_;
  TakenRequest taken = dispatcher.Take(EncodeRequest(request));
  EXPECT_EQ(taken.reply, RequestReply::kDone);
  EXPECT_EQ(target_.analyses, 0);  // the reply goes before any work
  ASSERT_TRUE(taken.work);
  // Until the work of the one taken has run, the program is busy.
  EXPECT_EQ(dispatcher.Take(EncodeRequest(request)).reply, RequestReply::kBusy);
  taken.work();
  EXPECT_EQ(target_.analyses, 1);
  EXPECT_EQ(std::string(FileQueue.Get(1)), document_);

  // Five bad records: five replies, one box, shown by the work only.
  std::vector<TakenRequest> bad;
  for (int i = 0; i < 5; ++i) bad.push_back(dispatcher.Take(std::string(2000, '\0')));
  for (const TakenRequest& b : bad) EXPECT_EQ(b.reply, RequestReply::kWrongSize);
  EXPECT_TRUE(bad[0].work);
  for (size_t i = 1; i < bad.size(); ++i) EXPECT_FALSE(bad[i].work) << i;
  EXPECT_TRUE(target_.errors.empty());
  bad[0].work();
  EXPECT_EQ(target_.errors, std::vector<int>{451});
  // Once that box is closed, the next bad record has a box again.
  EXPECT_TRUE(dispatcher.Take(std::string(10, 'x')).work);
}

TEST_F(Requests, OnlyAnAbsolutePathToARegularFileIsTaken) {
  const std::string pipe = folder_ / "pipe";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::filesystem::current_path(folder_.path());
  for (uint32_t command : {0u, 1u, 2u, 77u}) {
    for (const std::string& path : {std::string("text.txt"), std::string("./text.txt"), folder_.path(), pipe,
                                    std::string("/dev/null"), folder_ / "missing.txt"}) {
      TCopyDataRequest request;
      request.command = command;
      request.path = path;
      EXPECT_EQ(HandleRequest(EncodeRequest(request), target_), RequestReply::kRefused) << command << " " << path;
    }
  }
  EXPECT_EQ(target_.releases, 0);
  EXPECT_EQ(target_.analyses, 0);
  EXPECT_TRUE(target_.opened.empty());
  // A command other than the two is refused even with a good path, and
  // the path does not become the current file.
  WorkContext->CurrentFileName = "before";
  for (uint32_t command : {2u, 3u, 0xFFFFFFFFu}) {
    TCopyDataRequest other;
    other.command = command;
    other.path = document_;
    EXPECT_EQ(HandleRequest(EncodeRequest(other), target_), RequestReply::kRefused) << command;
  }
  EXPECT_EQ(WorkContext->CurrentFileName, "before");
  EXPECT_EQ(target_.releases, 0);
  EXPECT_EQ(target_.analyses, 0);
  // The same file by its absolute path is taken.
  TCopyDataRequest request;
  request.path = document_;
  EXPECT_EQ(HandleRequest(EncodeRequest(request), target_), RequestReply::kDone);
}

// A command file consumed by a later request is the one that was sent, even
// when its Path= line moved the current folder to one with a file of the
// same name.
TEST_F(Requests, TheConsumedCommandFileIsTheOneSentNeverANamesake) {
  const std::filesystem::path sent = folder_ / "sent";
  const std::filesystem::path other = folder_ / "other";
  std::filesystem::create_directories(sent);
  std::filesystem::create_directories(other);
  WriteWholeFile(other / "run.cmd", "a file of the user's\n");
  WriteWholeFile(sent / "run.cmd", "Path=" + other.string() + "\n[Files]\n" + document_ + "\n");
  target_.setFolder = [](const std::string& folder) { ChangeCurrentFolder(folder); };
  std::filesystem::current_path(sent);

  TCopyDataRequest commands;
  commands.command = 1;
  commands.path = "run.cmd";  // relative: refused, nothing read
  EXPECT_EQ(HandleRequest(EncodeRequest(commands), target_), RequestReply::kRefused);
  TCopyDataRequest document;
  document.path = document_;
  EXPECT_EQ(HandleRequest(EncodeRequest(document), target_), RequestReply::kDone);
  EXPECT_TRUE(std::filesystem::exists(other / "run.cmd"));
  EXPECT_TRUE(std::filesystem::exists(sent / "run.cmd"));

  std::filesystem::current_path(sent);
  commands.path = (sent / "run.cmd").string();
  EXPECT_EQ(HandleRequest(EncodeRequest(commands), target_), RequestReply::kDone);
  EXPECT_EQ(std::filesystem::current_path(), other);
  EXPECT_EQ(HandleRequest(EncodeRequest(document), target_), RequestReply::kDone);
  EXPECT_FALSE(std::filesystem::exists(sent / "run.cmd"));  // consumed
  EXPECT_TRUE(std::filesystem::exists(other / "run.cmd"));
}

// Over a real socket: the work of a request runs the event loop for longer
// than its sender waits (an analysis, a message box). Every sender has its
// reply within its own wait, the work runs after it, and a sender that
// closes at once or gives up harms nothing.
TEST_F(Requests, SendersAreAnsweredAtOnceWhateverTheWorkDoesAfter) {
  const std::string path = folder_ / "requests.sock";
  RequestDispatcher dispatcher(target_);
  RequestServer server([&dispatcher](std::string_view block) { return dispatcher.Take(block); });
  ASSERT_TRUE(server.Listen(path)) << server.ErrorText().toStdString();
  int worksEnded = 0;
  target_.whileWorking = [&worksEnded] {
    PumpUntil([] { return false; }, 1500);
    ++worksEnded;
  };

  TCopyDataRequest request;
  request.path = document_;
  std::atomic<int> done{0};
  uint32_t replies[6] = {99, 99, 99, 99, 99, 99};
  bool sent[6] = {};
  std::thread sender([&] {
    // One that writes its frame and goes without reading.
    QLocalSocket quitter;
    quitter.connectToServer(QString::fromStdString(path));
    if (quitter.waitForConnected(1000)) {
      const std::string frame = std::string("\x77\x08\0\0", 4) + EncodeRequest(request);
      quitter.write(frame.data(), static_cast<qint64>(frame.size()));
      quitter.waitForBytesWritten(1000);
    }
    quitter.abort();
    // One that comes while the first one's work goes on.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    sent[0] = SendRequest(path, EncodeRequest(request), replies[0], 500);
    done = 1;
  });
  PumpUntil([&] { return done != 0; }, 20000);
  sender.join();
  PumpUntil([&] { return worksEnded == 1; }, 10000);
  EXPECT_EQ(target_.analyses, 1);
  EXPECT_TRUE(sent[0]);
  EXPECT_EQ(replies[0], 1u);  // busy

  // Five bad records: each answered while the box of the first is open.
  done = 0;
  std::thread bad([&] {
    for (int i = 1; i <= 5; ++i) sent[i] = SendRequest(path, std::string(2000, 'x'), replies[i], 500);
    done = 1;
  });
  PumpUntil([&] { return done != 0; }, 20000);
  bad.join();
  PumpUntil([&] { return worksEnded == 2; }, 10000);
  PumpUntil([] { return false; }, 100);
  for (int i = 1; i <= 5; ++i) {
    EXPECT_TRUE(sent[i]) << i;
    EXPECT_EQ(replies[i], 451u) << i;
  }
  EXPECT_EQ(target_.errors, std::vector<int>{451});
  EXPECT_EQ(server.OpenConnections(), 0);
}

// Opens count connections that send two bytes of a frame and no more, and
// holds them until release.
void HoldHalfSentConnections(const std::string& path, int count, std::atomic<int>& opened,
                             const std::atomic<bool>& release) {
  std::vector<std::unique_ptr<QLocalSocket>> sockets;
  for (int i = 0; i < count; ++i) {
    auto s = std::make_unique<QLocalSocket>();
    s->connectToServer(QString::fromStdString(path));
    if (s->waitForConnected(5000)) {
      s->write("\x10\x00", 2);
      s->waitForBytesWritten(5000);
      ++opened;
    }
    sockets.push_back(std::move(s));
  }
  while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

// Connections that never finish their frame are closed after the time-out,
// and no more than the limit are held meanwhile.
TEST_F(Requests, HalfSentConnectionsAreLimitedAndTimedOut) {
  const std::string path = folder_ / "requests.sock";
  std::atomic<int> handled{0};
  RequestServer server([&handled](std::string_view) {
    ++handled;
    return TakenRequest{};
  });
  server.SetReadTimeout(300);
  ASSERT_TRUE(server.Listen(path)) << server.ErrorText().toStdString();

  constexpr int kHalf = kMaxRequestConnections + 8;
  std::atomic<int> opened{0};
  std::atomic<bool> release{false};
  std::thread half([&] { HoldHalfSentConnections(path, kHalf, opened, release); });
  int most = 0;
  PumpUntil(
      [&] {
        most = std::max(most, server.OpenConnections());
        return opened == kHalf;
      },
      10000);
  EXPECT_EQ(opened.load(), kHalf);
  EXPECT_LE(most, kMaxRequestConnections);
  PumpUntil([&] { return server.OpenConnections() == 0; }, 5000);
  EXPECT_EQ(server.OpenConnections(), 0);
  EXPECT_EQ(handled.load(), 0);
  release = true;
  half.join();
}

// While the limit of connections is held (senders that have not finished),
// one more sender hears busy at once: the program is there.
TEST_F(Requests, ASenderBeyondTheLimitHearsBusy) {
  const std::string path = folder_ / "requests.sock";
  std::atomic<int> handled{0};
  RequestServer server([&handled](std::string_view) {
    ++handled;
    return TakenRequest{};
  });
  server.SetReadTimeout(20000);
  ASSERT_TRUE(server.Listen(path)) << server.ErrorText().toStdString();
  std::atomic<int> opened{0};
  std::atomic<bool> release{false};
  std::thread half([&] { HoldHalfSentConnections(path, kMaxRequestConnections, opened, release); });
  PumpUntil([&] { return opened == kMaxRequestConnections && server.OpenConnections() == kMaxRequestConnections; },
            10000);
  ASSERT_EQ(server.OpenConnections(), kMaxRequestConnections);
  uint32_t reply = 0;
  bool answered = false;
  std::atomic<bool> done{false};
  std::thread beyond([&] {
    TCopyDataRequest request;
    request.path = document_;
    answered = SendRequest(path, EncodeRequest(request), reply, 8000);
    done = true;
  });
  PumpUntil([&] { return done.load(); }, 15000);
  beyond.join();
  EXPECT_TRUE(answered) << "the connection was closed without a reply";
  EXPECT_EQ(reply, static_cast<uint32_t>(RequestReply::kBusy));
  EXPECT_EQ(handled.load(), 0);
  release = true;
  half.join();
  PumpUntil([&] { return server.OpenConnections() == 0; }, 5000);
}

// A burst of senders while a taken request's work goes on for longer than
// they wait: every one is answered in time, taken or busy.
TEST_F(Requests, ABurstOfSendersIsAnsweredWhileTheWorkGoesOn) {
  const std::string path = folder_ / "requests.sock";
  RequestDispatcher dispatcher(target_);
  RequestServer server([&dispatcher](std::string_view block) { return dispatcher.Take(block); });
  ASSERT_TRUE(server.Listen(path)) << server.ErrorText().toStdString();
  target_.whileWorking = [] { PumpUntil([] { return false; }, 2000); };
  TCopyDataRequest request;
  request.path = document_;
  const std::string block = EncodeRequest(request);
  constexpr int kBurst = 100;
  std::atomic<int> taken{0}, busy{0}, finished{0};
  std::vector<std::thread> burst;
  for (int i = 0; i < kBurst; ++i)
    burst.emplace_back([&] {
      uint32_t reply = 99;
      if (SendRequest(path, block, reply, 1500)) ++(reply == 0 ? taken : reply == 1 ? busy : finished);
      ++finished;
    });
  PumpUntil([&] { return finished == kBurst; }, 30000);
  for (std::thread& t : burst) t.join();
  PumpUntil([&] { return target_.analyses == taken; }, 10000);
  EXPECT_EQ(taken + busy, kBurst);
  EXPECT_GE(taken.load(), 1);
  EXPECT_EQ(target_.analyses, taken.load());
}

}  // namespace
}  // namespace quilor::ui
