#include "mainwindow/command_file.h"

#include <gtest/gtest.h>

#include "core/file_queue.h"
#include "engine/command_line.h"
#include "core/options.h"
#include "../platform/temp_folder.h"

namespace quilor::ui {
namespace {

using quilor::testing::TempFolder;
using quilor::testing::WriteWholeFile;

class CommandFile : public ::testing::Test {
 protected:
  void SetUp() override {
    WorkContext->Reset();
    Options->ResetSettings();
    FileQueue.Clear();
    CommandLineFlags = {};
    hooks_.setCurrentFolder = [this](const std::string& folder) { folders_.push_back(folder); };
    hooks_.switchScenario = [this](const std::string& name) { scenarios_.push_back(name); };
    hooks_.enablePdfFilter = [this] { ++pdfEnabled_; };
  }
  void TearDown() override {
    FileQueue.Clear();
    WorkContext->Reset();
    Options->ResetSettings();
  }

  CommandFileOutcome Apply(const std::string& text) {
    CommandFileOutcome outcome;
    ApplyCommandFile(ParseCommandFile(text), hooks_, outcome);
    return outcome;
  }

  CommandFileHooks hooks_;
  std::vector<std::string> folders_;
  std::vector<std::string> scenarios_;
  int pdfEnabled_ = 0;
};

TEST_F(CommandFile, KeyLinesTakeKindTextAndClassNumber) {
  const CommandFileContent content = ParseCommandFile("[Keys]\n1 house,12\n1 house\n1,2\n2 a,b,7\n3 x,\nab\n");
  ASSERT_EQ(content.keys.size(), 5u);
  EXPECT_EQ(content.keys[0].kind, 1);
  EXPECT_EQ(content.keys[0].text, "house");
  EXPECT_EQ(content.keys[0].classNumber, 12);
  EXPECT_EQ(content.keys[1].text, "house");
  EXPECT_EQ(content.keys[1].classNumber, 0);
  // In a three-character line the comma is the separator: no class number.
  EXPECT_EQ(content.keys[2].text, "2");
  EXPECT_EQ(content.keys[2].classNumber, 0);
  // The last comma cuts; an earlier one stays in the text.
  EXPECT_EQ(content.keys[3].text, "a,b");
  EXPECT_EQ(content.keys[3].classNumber, 7);
  // A comma as the last character is not searched: it stays in the text.
  EXPECT_EQ(content.keys[4].text, "x,");
}

TEST_F(CommandFile, TwentyKeysAtMostAndLongKeysCut) {
  std::string text = "[KEYS]\r\n";
  for (int i = 0; i < 21; ++i) text += "1 key" + std::to_string(i) + "\r\n";
  text += "[Files]\n";
  const CommandFileContent content = ParseCommandFile(text);
  ASSERT_EQ(content.keys.size(), 20u);
  EXPECT_EQ(content.keys[19].text, "key19");
  EXPECT_TRUE(content.hasSection);

  const CommandFileContent longKey = ParseCommandFile("[Keys]\n4 " + std::string(300, 'k') + "\n");
  ASSERT_EQ(longKey.keys.size(), 1u);
  EXPECT_EQ(longKey.keys[0].text.size(), 79u);
}

TEST_F(CommandFile, SettingsAreAppliedInOrder) {
  Options->Set(opt::ScenarioFileName, std::string_view("Concepts US V8.scn"));
  Options->Set(opt::ConvertPdf, uint8_t{0});
  Apply(
      "path=/somewhere\nFileType=anything\nScenario=concepts us v8.scn\nScenario=Mine.scn\n"
      "ThresholdFreq=TRUE\nThreshold=42\nThresholdFreq=no\nThreshold=7\nThreshold=1000\nThreshold=x\n"
      "MsWordFilter=true\nPDFFilter=true\nUnknown=1\nPath=\n");
  EXPECT_EQ(folders_, std::vector<std::string>{"/somewhere"});
  // Same name in other letter case: no switch.
  EXPECT_EQ(scenarios_, std::vector<std::string>{"Mine.scn"});
  EXPECT_EQ(Options->Get(opt::ClassMinWords), 42);
  EXPECT_EQ(Options->Get(opt::ClassPertinence), 7);
  EXPECT_FALSE(Options->Switch(opt::ThresholdKind));
  EXPECT_TRUE(Options->Switch(opt::WordDetailedReading));
  EXPECT_TRUE(Options->Switch(opt::ConvertPdf));
  EXPECT_EQ(pdfEnabled_, 1);
}

TEST_F(CommandFile, KeysGoToTheWorkContextWithBothRequestFlags) {
  WorkContext->SearchKeyKinds[1] = 3;
  Apply("[Keys]\n2 cat,5\nx dog\n");
  EXPECT_EQ(WorkContext->SearchKeys[0], "cat");
  EXPECT_EQ(WorkContext->SearchKeyKinds[0], 2);
  EXPECT_EQ(WorkContext->SearchKeyClassNumbers[0], 5);
  EXPECT_EQ(WorkContext->SearchKeys[1], "dog");
  EXPECT_EQ(WorkContext->SearchKeyKinds[1], 3);  // no valid digit: the kind stays
  EXPECT_TRUE(CommandLineFlags.searchKeyGiven);
  EXPECT_TRUE(CommandLineFlags.keyKindValid);
}

TEST_F(CommandFile, ReadingFillsTheQueueAndSaysWhetherItWasACommandFile) {
  TempFolder folder;
  const std::string commands = folder / "run.lst";
  WriteWholeFile(commands, "[Files]\n/a.txt\n/b.txt\n[Other]\n/c.txt\n");
  FileQueue.Add("/old.txt");
  WorkContext->SearchKeyClassNumbers[3] = 9;
  const CommandFileOutcome outcome = ReadCommandFile(commands, hooks_);
  EXPECT_TRUE(outcome.opened);
  EXPECT_TRUE(outcome.hasSection);
  ASSERT_EQ(FileQueue.Count(), 3);
  EXPECT_STREQ(FileQueue.Get(1), "/a.txt");
  EXPECT_STREQ(FileQueue.Get(3), "/c.txt");  // an unknown section leaves "[Files]" on
  EXPECT_EQ(WorkContext->SearchKeyClassNumbers[3], 0);

  // A document given as a command file has no section: the caller keeps it.
  const std::string document = folder / "thesis.txt";
  WriteWholeFile(document, "Path=not a setting line of a thesis\nSome text.\n");
  EXPECT_FALSE(ReadCommandFile(document, hooks_).hasSection);
  EXPECT_EQ(FileQueue.Count(), 0);

  const CommandFileOutcome missing = ReadCommandFile(folder / "missing.lst", hooks_);
  EXPECT_FALSE(missing.opened);
  EXPECT_EQ(FileQueue.Count(), 0);
}

TEST_F(CommandFile, LongLinesAreCut) {
  const CommandFileContent content = ParseCommandFile("[Files]\n/" + std::string(600, 'a') + "\n");
  ASSERT_EQ(content.files.size(), 1u);
  EXPECT_EQ(content.files[0].size(), kCommandLineMax);
}

}  // namespace
}  // namespace quilor::ui
