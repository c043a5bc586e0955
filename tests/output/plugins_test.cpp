#include "output/plugins.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "core/files.h"
#include "../platform/temp_folder.h"

namespace quilor::ui {
namespace {

using quilor::testing::TempFolder;
using quilor::testing::WriteWholeFile;

TEST(Plugins, SlotsAreUsedOnlyWithAProgram) {
  TempFolder user, root;
  WriteWholeFile(user / "Plugin1.desktop", "[Desktop Entry]\nExec=/opt/one/run\n");
  WriteWholeFile(root / "Plugin3.desktop", "[Desktop Entry]\nName=Three\nExec=\n");
  WriteWholeFile(root / "Plugin4.desktop", "[Desktop Entry]\nName=Four\nExec=/opt/four %f\nX-Quilor-Options=--fast\n");
  // The user's entry wins over the install tree's.
  WriteWholeFile(root / "Plugin1.desktop", "[Desktop Entry]\nName=Shadowed\nExec=/opt/other\n");
  std::array<PluginSlot, 4> slots;
  ASSERT_TRUE(LoadPluginList(slots, {user.path(), root.path()}));
  EXPECT_TRUE(slots[0].InUse());
  EXPECT_EQ(slots[0].label, "Unknown plugin");
  EXPECT_EQ(slots[0].program, "/opt/one/run");
  EXPECT_FALSE(slots[1].InUse());
  EXPECT_FALSE(slots[2].InUse());
  EXPECT_TRUE(slots[3].InUse());
  EXPECT_EQ(slots[3].label, "Four");
  EXPECT_EQ(slots[3].options, "--fast");
  TempFolder none;
  EXPECT_FALSE(LoadPluginList(slots, {none.path(), none.path()}));
  // A name of any length makes a menu command of reasonable width; one at
  // the limit is kept whole.
  WriteWholeFile(root / "Plugin2.desktop", "[Desktop Entry]\nName=" + std::string(3000, 'w') + "\nExec=/opt/two\n");
  WriteWholeFile(root / "Plugin3.desktop",
                 "[Desktop Entry]\nName=" + std::string(kMaxPluginLabel, 'x') + "\nExec=/opt/3\n");
  ASSERT_TRUE(LoadPluginList(slots, {user.path(), root.path()}));
  EXPECT_EQ(slots[1].label, std::string(kMaxPluginLabel - 3, 'w') + "...");
  EXPECT_EQ(slots[2].label, std::string(kMaxPluginLabel, 'x'));
}

TEST(Plugins, SiblingsNeedTheirDesktopEntryAndTheirProgram) {
  TempFolder apps, bin;
  const std::string program = bin / "demora";
  WriteWholeFile(program, "#!/bin/sh\n");
  ::chmod(program.c_str(), 0755);
  SiblingProgram demora;
  EXPECT_FALSE(DetectDemora(demora, {apps.path()}));
  WriteWholeFile(apps / "demora.desktop", "[Desktop Entry]\nName=Demora 4\nVersion=4\nExec=\"" + program + "\" %U\n");
  ASSERT_TRUE(DetectDemora(demora, {apps.path()}));
  EXPECT_EQ(demora.path, program);
  EXPECT_EQ(demora.name, "Demora 4");
  // An entry whose program is gone finds nothing.
  WriteWholeFile(apps / "mellaro.desktop", "[Desktop Entry]\nExec=" + (bin / "missing") + "\n");
  SiblingProgram mellaro;
  EXPECT_FALSE(DetectMellaro(mellaro, {apps.path()}));
}

TEST(Plugins, CommandLinesAreSplitWithoutAShellAndLoseTheirFieldCodes) {
  EXPECT_EQ(ExecArguments("/opt/a %f --x \"two words\" 100%% %U", "-o \"an option\""),
            (std::vector<std::string>{"/opt/a", "--x", "two words", "100%", "-o", "an option"}));
  EXPECT_EQ(ExecArguments("prog; rm -rf ~"), (std::vector<std::string>{"prog;", "rm", "-rf", "~"}));
  EXPECT_TRUE(ExecArguments("").empty());
  std::vector<std::vector<std::string>> started;
  SetProgramLauncher([&](const std::vector<std::string>& argv, const std::string&) {
    started.push_back(argv);
    return 0;
  });
  EXPECT_TRUE(StartOutsideProgram("/opt/a %f", "--go"));
  SetProgramLauncher({});
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0], (std::vector<std::string>{"/opt/a", "--go"}));
}

}  // namespace
}  // namespace quilor::ui
