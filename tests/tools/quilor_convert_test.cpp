// quilor-convert prints the text of every kind of document it reads, as the
// analysis reads it, and lists the documents that gave no text.
#include <gtest/gtest.h>

#include <string>

#include "support/stream_support.h"
#include "tests/support/run_command.h"

namespace quilor {
namespace {

using namespace testing_support;

testing::CommandRun RunConvert(const std::string& args, const std::string& errPath) {
  return testing::RunCommand("XDG_CONFIG_HOME=" + errPath + ".config " + std::string(QUILOR_BINARY_DIR) +
                             "/tools/quilor-convert " + args + " 2>" + errPath);
}

TEST(QuilorConvert, PrintsTheTextOfEveryKind) {
  TempFolder folder;
  const std::string err = folder.Path("err");
  const std::string sample = std::string(QUILOR_SOURCE_DIR) + "/samples/sample.txt";
  testing::CommandRun r = RunConvert(sample, err);
  EXPECT_EQ(r.exitCode, 0) << ReadFileBytes(err);
  EXPECT_NE(r.out.find("The river had risen in the night"), std::string::npos) << r.out.substr(0, 300);
  const std::string rtf = folder.Write("garden.rtf", "{\\rtf1\\ansi Gardens and {\\b tigers}.\\par}");
  const std::string htm = folder.Write("garden.htm", "<html><body><p>Gardens &amp; tigers</p></body></html>");
  r = RunConvert(rtf + " " + htm, err);
  EXPECT_EQ(r.exitCode, 0) << ReadFileBytes(err);
  EXPECT_NE(r.out.find("Gardens and tigers."), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Gardens & tigers"), std::string::npos) << r.out;
}

TEST(QuilorConvert, ADocumentWithoutAWordGaveNoText) {
  TempFolder folder;
  const std::string err = folder.Path("err");
  for (const auto& [name, bytes] : {std::pair<const char*, const char*>{"blanks.txt", " \n\t \n"},
                                    {"page.htm", "<html><body></body></html>"},
                                    {"nothing.rtf", "{\\rtf1 }"},
                                    {"empty.txt", ""}}) {
    const std::string path = folder.Write(name, bytes);
    testing::CommandRun r = RunConvert(path, err);
    EXPECT_EQ(r.exitCode, 65) << name << ": " << ReadFileBytes(err);
    EXPECT_NE(ReadFileBytes(err).find(name), std::string::npos) << name << ": " << ReadFileBytes(err);
  }
}

}  // namespace
}  // namespace quilor
