// The string-table compiler on small tables of its own: a named line gives
// its msg:: constant, and a name that would mislead stops the build.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/platform/temp_folder.h"
#include "tests/support/run_command.h"

namespace quilor {
namespace {

using testing::TempFolder;

struct Compiled {
  int exitCode = -1;
  std::string out;     // what it says on error
  std::string header;  // the names it wrote
};

Compiled Compile(const TempFolder& folder, const std::string& table) {
  std::ofstream(folder / "table.txt") << table;
  const std::string header = folder / "names.h";
  const std::string command = std::string(QUILOR_RESGEN) + " '" + (folder / "table.cpp") + "' '" + header + "' '" +
                              (folder / "table.txt") + "' 2>&1";
  const testing::CommandRun done = testing::RunCommand(command);
  Compiled run;
  run.exitCode = done.exitCode;
  run.out = done.out;
  std::ostringstream text;
  text << std::ifstream(header).rdbuf();
  run.header = text.str();
  return run;
}

TEST(StringTableCompiler, NamedLinesGiveTheirConstantsAndOthersNone) {
  TempFolder folder;
  const Compiled run = Compile(folder, "# a table\n527 Open\tOpen\n528\tUnnamed\n605 SaveAs\tSave as\n");
  ASSERT_EQ(run.exitCode, 0) << run.out;
  EXPECT_NE(run.header.find("inline constexpr int kOpen = 527;"), std::string::npos) << run.header;
  EXPECT_NE(run.header.find("inline constexpr int kSaveAs = 605;"), std::string::npos) << run.header;
  EXPECT_EQ(run.header.find("528"), std::string::npos) << run.header;
}

// A text in UTF-8 becomes the program's Windows-1252 bytes, escapes included.
TEST(StringTableCompiler, TextsBecomeWindows1252Bytes) {
  TempFolder folder;
  const Compiled run = Compile(folder, "1\t\xE2\x82\xAC 5 \xE2\x80\x9Cq\xE2\x80\x9D\\t\n");
  ASSERT_EQ(run.exitCode, 0) << run.out;
  std::ostringstream table;
  table << std::ifstream(folder / "table.cpp").rdbuf();
  EXPECT_NE(table.str().find("\\200 5 \\223q\\224\\011"), std::string::npos) << table.str();
}

TEST(StringTableCompiler, NamesAndTextsThatWouldMisleadStopTheBuild) {
  struct Case {
    const char* table;
    const char* says;
  };
  const Case cases[] = {
      {"1 Open\tOpen\n2 Open\tOpen again\n", "given to two numbers"},
      {"1 Open\tOpen\n1 Opened\tOpen\n", "has two names"},
      {"1 open\tOpen\n", "bad message name"},
      {"1 Open-It\tOpen\n", "bad message name"},
      {"1 \tOpen\n", "bad message name"},
      {"1\tOpen \xC3\n", "invalid UTF-8"},
      {"1\tOpen \xC0\xAF\n", "invalid UTF-8"},
      {"1\tOpen \xE4\xB8\xAD\n", "outside Windows-1252"},
      {"1\tOpen \xC2\x81\n", "outside Windows-1252"},
      {"1\tOpen \\q\n", "unknown escape"},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    const Compiled run = Compile(folder, c.table);
    EXPECT_EQ(run.exitCode, 1) << c.table;
    EXPECT_NE(run.out.find(c.says), std::string::npos) << c.table << run.out;
  }
}

}  // namespace
}  // namespace quilor
