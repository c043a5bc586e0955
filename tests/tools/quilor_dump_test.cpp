#include <gtest/gtest.h>

#include <algorithm>
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
  std::vector<std::string> marks;
  for (size_t start = 0, end; (end = r.out.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = r.out.substr(start, end - start);
    (line.find("\t/\t") != std::string::npos ? marks : lines).push_back(line);
  }
  ASSERT_EQ(lines.size(), 56u);
  EXPECT_EQ(lines[0], "1\t1\tCaf\xC3\xA9\t \t8\tSubstantive");
  // The sentence's punctuation stays with the mark that closes it.
  EXPECT_EQ(lines[24], "25\t1\tQu\xC3\xA9\t \t8\tSubstantive");
  EXPECT_NE(std::find(marks.begin(), marks.end(), "24\t1\t/\t. \xC2\xBF\t\t"), marks.end());
  EXPECT_EQ(lines[55], "56\t2\t\xC3\x89T\xC3\x89\t \t8\tSubstantive");
  EXPECT_TRUE(ReadFileBytes(err).empty());
}

TEST(QuilorDump, ChosenReadingFillsTheClassAndLabelColumns) {
  TempFolder folder;
  std::string err = folder.Path("err");
  std::string text = folder.Write("text.txt", "The children went because\n");
  Result r = RunDump("--dico " + std::string(QUILOR_BINARY_DIR) + "/Dico " + text, err);
  ASSERT_EQ(r.exitCode, 0) << ReadFileBytes(err);
  EXPECT_EQ(r.out,
            "1\t1\tThe\t \t7\tDeterminant\n"
            "2\t1\tchildren\t \t8\tSubstantive\n"
            "3\t1\twent\t \t1\tVerb Factive Indicative Past\n"
            "4\t1\tbecause\t \t2\tConnector Cause\n"
            "4\t1\t/\t \t\t\n");
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

  // A file that holds no text is reported and gives no words.
  std::string picture = folder.Write("photo.txt", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR words", 22));
  r = RunDump(picture, err);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_TRUE(r.out.empty());
  EXPECT_NE(ReadFileBytes(err).find("not a text document"), std::string::npos);
  EXPECT_NE(ReadFileBytes(err).find("photo.txt"), std::string::npos);
}

}  // namespace
}  // namespace quilor
