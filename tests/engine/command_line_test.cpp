#include "engine/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/files.h"
#include "core/options.h"
#include "platform/message_ui.h"
#include "../platform/temp_folder.h"

namespace quilor {
namespace {

using testing::TempFolder;
using testing::WriteWholeFile;

class CommandLine : public ::testing::Test {
 protected:
  void SetUp() override {
    WorkContext->Reset();
    Options->ResetSettings();
    CommandLineFlags = {};
    document_ = folder_ / "My Text.TXT";
    WriteWholeFile(document_, "some words\n");
  }
  void TearDown() override { WorkContext->Reset(); }

  // Parses and returns the boxes shown.
  std::vector<BoxRequest> Parse(const std::vector<std::string>& params, bool expected = true) {
    ScopedScriptedUi ui;
    CommandLineFlags.terminationRequested = false;
    EXPECT_EQ(ParseCommandLine(params), expected);
    EXPECT_EQ(CommandLineFlags.terminationRequested, !expected);
    return ui.ui.Shown();
  }

  TempFolder folder_;
  std::string document_;
};

TEST_F(CommandLine, SwitchTable) {
  Parse({"/f", "-R", "/I", "/e7", "/sMy Scenario", "/cKeyWord", document_});
  const TWorkContext& wc = *WorkContext;
  EXPECT_TRUE(wc.SwitchF && wc.SwitchR && wc.SwitchI && wc.SwitchS && wc.SwitchEValid);
  EXPECT_EQ(wc.SwitchEValue, 7);
  // Only the switch letter is lower-cased: names and keys keep their case.
  EXPECT_EQ(wc.CommandLineScenario, "My Scenario");
  EXPECT_TRUE(CommandLineFlags.searchKeyGiven);
  EXPECT_EQ(wc.SearchKeys[0], "KeyWord");
  EXPECT_TRUE(wc.FileNamed);
  EXPECT_EQ(wc.CommandLineFile, document_);
  EXPECT_EQ(wc.FileParameterIndex, 7);
  EXPECT_EQ(CommandLineFlags.documentKind, kDocText);
  EXPECT_FALSE(CommandLineFlags.commandFileGiven);

  Parse({"/L", document_, "/h3Street"});
  EXPECT_TRUE(CommandLineFlags.commandFileGiven);
  EXPECT_TRUE(CommandLineFlags.keyKindValid);
  EXPECT_EQ(WorkContext->SearchKeyKinds[0], 3);
  EXPECT_EQ(WorkContext->SearchKeys[0], "Street");
  // Flags of an earlier parse are cleared.
  EXPECT_FALSE(WorkContext->SwitchF);
}

TEST_F(CommandLine, OddButValidSwitches) {
  // /h5abc keeps the text but marks the kind invalid; /e with a letter is not valid.
  Parse({"/h5abc", "/ex"});
  EXPECT_TRUE(CommandLineFlags.searchKeyGiven);
  EXPECT_FALSE(CommandLineFlags.keyKindValid);
  EXPECT_EQ(WorkContext->SearchKeys[0], "abc");
  EXPECT_FALSE(WorkContext->SwitchEValid);
  EXPECT_EQ(WorkContext->SwitchEValue, 0);
  // /s alone clears the name; a later document replaces an earlier one.
  std::string other = folder_ / "b.htm";
  WriteWholeFile(other, "<p>x</p>");
  Parse({"/s", document_, other});
  EXPECT_TRUE(WorkContext->SwitchS);
  EXPECT_EQ(WorkContext->CommandLineScenario, "");
  EXPECT_EQ(WorkContext->CommandLineFile, other);
  EXPECT_EQ(WorkContext->FileParameterIndex, 3);
  EXPECT_EQ(CommandLineFlags.documentKind, kDocHtml);
  // Search keys are cut to 79 characters.
  Parse({"/c" + std::string(200, 'k')});
  EXPECT_EQ(WorkContext->SearchKeys[0].size(), 79u);
}

TEST_F(CommandLine, AbsolutePathsAreDocumentsNotSwitches) {
  // Paths beginning with the letters of switches: /h, /s, /c, /e, /i.
  for (std::string name : {"home.txt", "s.txt", "c", "e", "i.rtf"}) {
    std::string path = folder_ / name;
    WriteWholeFile(path, "words");
    Parse({path});
    EXPECT_TRUE(WorkContext->FileNamed) << path;
    EXPECT_EQ(WorkContext->CommandLineFile, path);
    EXPECT_FALSE(CommandLineFlags.searchKeyGiven || WorkContext->SwitchS || WorkContext->SwitchI);
  }
  // With /i a file not yet there, in an existing folder, is still a document.
  Parse({folder_ / "later.txt", "/i"});
  EXPECT_TRUE(WorkContext->FileNamed);
  EXPECT_EQ(WorkContext->CommandLineFile, folder_ / "later.txt");
  // A folder is no document: "/tmp" is the switch /t, which does not exist.
  Parse({"/tmp"}, false);
  // A relative document is expanded to a full path.
  std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder_.path());
  Parse({"My Text.TXT"});
  std::filesystem::current_path(previous);
  EXPECT_EQ(WorkContext->CommandLineFile, document_);
}

TEST_F(CommandLine, BadParametersStopWithMessage48) {
  struct Case {
    std::vector<std::string> params;
    std::string shown;
  };
  const std::string missing = folder_ / "missing.txt";
  const std::vector<Case> cases = {
      {{""}, ""},           {{"/c"}, "/c"},
      {{"/h"}, "/h"},       {{"/e"}, "/e"},
      {{"/x"}, "/x"},       {{"/"}, "/"},
      {{"-"}, "-"},         {{"/Zed", "/f"}, "/Zed"},
      {{missing}, missing}, {{"/f", "/nowhere/a.txt"}, "/nowhere/a.txt"},
  };
  for (const Case& c : cases) {
    SetUp();
    std::vector<BoxRequest> shown = Parse(c.params, false);
    ASSERT_EQ(shown.size(), 1u) << c.shown;
    EXPECT_EQ(shown[0].text, "Incorrect command line parameter [" + c.shown + "]. Execution stopped.");
    EXPECT_EQ(shown[0].kind, kBoxOk);
    EXPECT_FALSE(WorkContext->FileNamed);
  }
  // Nothing after the bad parameter is applied.
  SetUp();
  Parse({"/f", "/q", "/r"}, false);
  EXPECT_TRUE(WorkContext->SwitchF);
  EXPECT_FALSE(WorkContext->SwitchR);
}

}  // namespace
}  // namespace quilor
