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
  Result r = RunDump("--dico " + folder.Path("Dico") + " " + TestDataPath("import/sample-utf16le.txt") + " " +
                         TestDataPath("import/sample-ansi.txt"),
                     err);
  ASSERT_EQ(r.exitCode, 0) << ReadFileBytes(err);
  std::vector<std::string> lines;
  size_t marks = 0;
  for (size_t start = 0, end; (end = r.out.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = r.out.substr(start, end - start);
    // Proposition marks: class 0, their own label.
    if (line.find("\t/\t") != std::string::npos) {
      EXPECT_NE(line.find("\t0\tProposition"), std::string::npos) << line;
      ++marks;
    } else {
      lines.push_back(line);
    }
  }
  ASSERT_EQ(lines.size(), 56u);
  EXPECT_GE(marks, 2u);
  // Without a lexicon every word reads as a Substantive.
  EXPECT_EQ(lines[0], "1\t1\tCaf\xC3\xA9\t \t8\tSubstantive");
  EXPECT_EQ(lines[24], "25\t1\tQu\xC3\xA9\t \t8\tSubstantive");
  EXPECT_EQ(lines[55], "56\t2\t\xC3\x89T\xC3\x89\t \t8\tSubstantive");
  EXPECT_TRUE(ReadFileBytes(err).empty());
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
