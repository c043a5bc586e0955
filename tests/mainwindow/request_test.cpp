#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <atomic>
#include <filesystem>
#include <thread>

#include "core/file_queue.h"
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
  void ShowError(int number) override { errors.push_back(number); }
  void BringToFront() override {}
  void SwitchScenario(const std::string& name) override { scenarios.push_back(name); }
  void AnalyseQueue() override { ++analyses; }
  void OpenDocument(const std::string& path) override { opened.push_back(path); }
  void ListFolder(const std::string& path) override { folders.push_back(path); }
  CommandFileHooks CommandHooks() override {
    CommandFileHooks hooks;
    hooks.setCurrentFolder = [](const std::string&) {};
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
    SearchKeyGiven = KeyKindValid = false;
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
  EXPECT_TRUE(SearchKeyGiven && KeyKindValid);

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
    return static_cast<uint32_t>(block.size() == kRequestSize ? RequestReply::kDone : RequestReply::kWrongSize);
  });
  ASSERT_TRUE(server.Listen(path)) << server.ErrorText().toStdString();
  // A second server does not take the socket of a live one.
  RequestServer second([](std::string_view) { return 0u; });
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

}  // namespace
}  // namespace quilor::ui
