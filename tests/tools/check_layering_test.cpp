// tools/check-layering.sh on small trees of its own: it takes the floors from
// the README's Layout and fails on every include that does not go down.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/platform/temp_folder.h"
#include "tests/support/run_command.h"

namespace quilor {
namespace {

using testing::TempFolder;

using Check = testing::CommandRun;

Check RunCheck(const std::string& root) {
  return testing::RunCommand(std::string(QUILOR_SOURCE_DIR) + "/tools/check-layering.sh '" + root + "' 2>&1");
}

void Write(const TempFolder& tree, const std::string& name, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(tree / name).parent_path());
  std::ofstream(tree / name) << text;
}

// low/ on the ground, high/ and side/ side by side above it.
void WriteLayout(const TempFolder& tree) {
  Write(tree, "README.md",
        "# Tree\n\n## Layout\n\n- 1 `low/` the ground\n- 2 `high/` above it\n"
        "- 2 `side/` beside high/\n\n## Next\n\n- 9 `notes/` not a floor\n");
}

TEST(CheckLayering, IncludesThatGoDownPass) {
  TempFolder tree;
  WriteLayout(tree);
  Write(tree, "low/a.h", "#include <vector>\n#include \"low/b.h\"\n#include \"generated.h\"\n");
  Write(tree, "low/b.h", "");
  Write(tree, "high/c.cpp", "#include \"high/c.h\"\n#include \"low/a.h\"\n");
  Write(tree, "side/d.cpp", "#include \"low/b.h\"\n");
  // The tests may reach any floor; the build folder is not read.
  Write(tree, "tests/t.cpp", "#include \"high/c.h\"\n#include \"side/d.h\"\n");
  Write(tree, "build/x.cpp", "#include \"high/c.h\"\n");
  const Check check = RunCheck(tree.path());
  EXPECT_EQ(check.exitCode, 0) << check.out;
}

TEST(CheckLayering, EveryIncludeUpSidewaysOrOffTheLayoutIsNamed) {
  TempFolder tree;
  WriteLayout(tree);
  Write(tree, "low/a.h", "#include \"high/c.h\"\n");
  Write(tree, "side/d.cpp", "\n  #  include \"high/c.h\"\n");
  Write(tree, "high/c.h", "#include \"notes/n.h\"\n");
  Write(tree, "notes/n.h", "");
  const Check check = RunCheck(tree.path());
  EXPECT_EQ(check.exitCode, 1) << check.out;
  EXPECT_NE(check.out.find("low/a.h:1: includes \"high/c.h\": low/ (floor 1) reaches up to high/ (floor 2)"),
            std::string::npos)
      << check.out;
  EXPECT_NE(check.out.find("side/d.cpp:2: includes \"high/c.h\": side/ and high/ stand side by side (floor 2)"),
            std::string::npos)
      << check.out;
  EXPECT_NE(check.out.find("high/c.h:1: includes \"notes/n.h\": notes/ has no floor in the Layout"), std::string::npos)
      << check.out;
  EXPECT_NE(check.out.find("3 includes break the Layout"), std::string::npos) << check.out;
}

TEST(CheckLayering, AReadmeWithoutFloorsIsAnError) {
  TempFolder tree;
  Write(tree, "README.md", "# Tree\n\n## Layout\n\n- `low/` no floor number\n");
  Write(tree, "low/a.h", "");
  const Check check = RunCheck(tree.path());
  EXPECT_EQ(check.exitCode, 2) << check.out;
}

}  // namespace
}  // namespace quilor
