#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/stream_support.h"

namespace quilor {
namespace {

using namespace testing_support;

struct Result {
  int exitCode = -1;
  std::string out;
};

// Runs the tool with arguments; stderr goes to errPath.
Result RunDump(const std::string& args, const std::string& errPath) {
  std::string command = std::string(QUILOR_BINARY_DIR) + "/tools/quilor-dump " + args + " 2>" + errPath;
  Result result;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
  int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

TEST(QuilorDump, PrintsOneLineOfSixColumnsPerWord) {
  TempFolder folder;
  std::string err = folder.Path("err");
  Result r = RunDump("--dico " + std::string(QUILOR_BINARY_DIR) + "/Dico " + TestDataPath("import/sample-utf16le.txt") + " " +
                         TestDataPath("import/sample-ansi.txt"),
                     err);
  ASSERT_EQ(r.exitCode, 0) << ReadFileBytes(err);
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = r.out.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(r.out.substr(start, end - start));
  ASSERT_EQ(lines.size(), 56u);
  EXPECT_EQ(lines[0], "1\t1\tCaf\xC3\xA9\t \t\t");
  EXPECT_EQ(lines[24], "25\t1\tQu\xC3\xA9\t. \xC2\xBF\t\t");
  EXPECT_EQ(lines[55], "56\t2\t\xC3\x89T\xC3\x89\t \t\t");
  EXPECT_TRUE(ReadFileBytes(err).empty());
}

TEST(QuilorDump, FirstReadingFillsTheClassAndLabelColumns) {
  TempFolder folder;
  std::string err = folder.Path("err");
  std::string text = folder.Write("text.txt", "The children went because\n");
  Result r = RunDump("--dico " + std::string(QUILOR_BINARY_DIR) + "/Dico " + text, err);
  ASSERT_EQ(r.exitCode, 0) << ReadFileBytes(err);
  EXPECT_EQ(r.out,
            "1\t1\tThe\t \t7\tDeterminant\n"
            "2\t1\tchildren\t \t8\tSubstantive\n"
            "3\t1\twent\t \t1\tVerb Factive Indicative Past\n"
            "4\t1\tbecause\t \t2\tConnector Cause\n");
  // Without a lexicon the run stops with the dictionary message.
  r = RunDump("--dico " + folder.Path("none") + " " + text, err);
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(ReadFileBytes(err).find("Corrupted dictionary files"), std::string::npos);
  EXPECT_TRUE(r.out.empty());
}

TEST(QuilorDump, ErrorsGiveAMessageAndANonZeroExit) {
  TempFolder folder;
  std::string err = folder.Path("err");
  Result r = RunDump(folder.Path("missing.txt"), err);
  EXPECT_EQ(r.exitCode, 66);
  EXPECT_NE(ReadFileBytes(err).find("File not found: " + folder.Path("missing.txt")), std::string::npos);
  EXPECT_TRUE(r.out.empty());

  r = RunDump(folder.Path(""), err);  // a folder
  EXPECT_EQ(r.exitCode, 66);
  EXPECT_NE(ReadFileBytes(err).find("File cannot be read:"), std::string::npos);

  r = RunDump("--frobnicate " + TestDataPath("import/sample-ansi.txt"), err);
  EXPECT_EQ(r.exitCode, 64);
  EXPECT_NE(ReadFileBytes(err).find("Unknown option: --frobnicate"), std::string::npos);

  r = RunDump("", err);
  EXPECT_EQ(r.exitCode, 64);
  EXPECT_NE(ReadFileBytes(err).find("Usage: quilor-dump"), std::string::npos);

  r = RunDump("--dico", err);
  EXPECT_EQ(r.exitCode, 64);

  // A document kind without a reader is reported and gives no words.
  std::string page = folder.Write("page.html", "<p>words</p>");
  r = RunDump(page, err);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_TRUE(r.out.empty());
  EXPECT_NE(ReadFileBytes(err).find("page.html"), std::string::npos);
}

}  // namespace
}  // namespace quilor
