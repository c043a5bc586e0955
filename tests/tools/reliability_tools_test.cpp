// The tools under hostile input: memory bombs and memory exhaustion.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/office_builders.h"
#include "support/stream_support.h"

namespace quilor {
namespace {

using namespace testing_support;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

struct Outcome {
  int exitCode = -1;   // -1 when killed by a signal
  long peakBytes = 0;  // the child's peak resident size
};

// Runs a built tool with its output to /dev/null and standard error to
// errPath; addressSpace (bytes, 0 for none) limits the child's memory. The
// tool is started by a small process of its own, which measures its peak:
// a child forked from this (large) test program would count this program's
// pages as its own.
Outcome RunTool(const std::string& tool, const std::vector<std::string>& args, const std::string& errPath,
                size_t addressSpace = 0) {
  const std::string peakPath = errPath + ".peak";
  std::vector<std::string> argv = {QUILOR_PEAK_RSS, peakPath, std::string(QUILOR_BINARY_DIR) + "/tools/" + tool};
  argv.insert(argv.end(), args.begin(), args.end());
  pid_t pid = ::fork();
  if (pid == 0) {
    int out = ::open("/dev/null", O_WRONLY);
    int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (addressSpace) {
      rlimit limit{addressSpace, addressSpace};
      ::setrlimit(RLIMIT_AS, &limit);
    }
    std::vector<char*> raw;
    for (auto& a : argv) raw.push_back(a.data());
    raw.push_back(nullptr);
    ::setenv("XDG_CONFIG_HOME", (errPath + ".config").c_str(), 1);
    ::execv(raw[0], raw.data());
    ::_exit(127);
  }
  Outcome outcome;
  int status = 0;
  if (pid > 0 && ::waitpid(pid, &status, 0) == pid) {
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.exitCode = code >= 128 ? -1 : code;
    const std::string peak = ReadFileBytes(peakPath);
    outcome.peakBytes = peak.empty() ? 0 : std::stol(peak);
  }
  return outcome;
}

TEST(ReliabilityTools, ParagraphMarkWordDocumentStaysSmallInMemory) {
  if (kSanitized) GTEST_SKIP() << "the sanitizer's own memory hides the figure";
  TempFolder folder;
  // 50,000 paragraph marks, read again by 700 pieces: a 110 KB file of 35
  // million empty paragraphs.
  quilor::testing::WordLayout layout;
  layout.text = std::u16string(50000, u'\r');
  layout.repeats = 700;
  layout.ccp[0] = 50000u * 700u;
  std::string doc = folder.Write("marks.doc", quilor::testing::BuildWordFile(layout));
  ASSERT_LT(ReadFileBytes(doc).size(), 120000u);
  Outcome o = RunTool("quilor-convert", {doc}, folder.Path("err"));
  // Paragraph marks alone are no word: listed as a document without text.
  EXPECT_EQ(o.exitCode, 65) << ReadFileBytes(folder.Path("err"));
  EXPECT_LT(o.peakBytes, 100L << 20) << "peak resident bytes";
}

TEST(ReliabilityTools, AllocationFailureSaysMemoryLowAndExitsWithTheFatalCode) {
  if (kSanitized) GTEST_SKIP() << "the sanitizer cannot run with a limited address space";
  TempFolder folder;
  std::string text = folder.Write("text.txt", "Gardens and tigers\n");
  // Too little memory for the dictionaries. A 3-word run can fit in about
  // 120 MiB of address space, so a limit near that passes now and then;
  // 50 MiB is far below it and still enough to start and say so.
  Outcome o = RunTool("quilor-dump", {"--dico", std::string(QUILOR_BINARY_DIR) + "/Dico", text}, folder.Path("err"),
                      size_t{50} << 20);
  EXPECT_EQ(o.exitCode, 1);
  EXPECT_NE(ReadFileBytes(folder.Path("err")).find("Memory low. Please close some applications and try again."),
            std::string::npos)
      << ReadFileBytes(folder.Path("err"));
}

}  // namespace
}  // namespace quilor
