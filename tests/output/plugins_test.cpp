#include "output/plugins.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "core/files.h"
#include "support/help_pages.h"
#include "../platform/temp_folder.h"

namespace quilor::ui {
namespace {

using quilor::testing::ScopedEnvironment;
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
  testing_support::ProgramsStarted started;
  EXPECT_TRUE(StartOutsideProgram("/opt/a %f", "--go"));
  EXPECT_EQ(started.calls, (std::vector<std::vector<std::string>>{{"/opt/a", "--go"}}));
}

// The user's folders follow the XDG variables, or the home folder when they
// are unset or not absolute.
TEST(Plugins, FoldersFollowTheEnvironment) {
  {
    ScopedEnvironment home("HOME", "/home/ann");
    {
      ScopedEnvironment config("XDG_CONFIG_HOME", "/cfg");
      EXPECT_EQ(PluginFolders::Current().user, "/cfg/Quilor/plugins");
    }
    {
      ScopedEnvironment config("XDG_CONFIG_HOME", "cfg");
      EXPECT_EQ(PluginFolders::Current().user, "/home/ann/.config/Quilor/plugins");
    }
    ScopedEnvironment config("XDG_CONFIG_HOME");
    EXPECT_EQ(PluginFolders::Current().user, "/home/ann/.config/Quilor/plugins");
    ScopedEnvironment relative("HOME", "ann");
    EXPECT_EQ(PluginFolders::Current().user, "");
  }
  {
    ScopedEnvironment data("XDG_DATA_HOME", "/data");
    ScopedEnvironment dirs("XDG_DATA_DIRS", "/a::relative:/b");
    EXPECT_EQ(ApplicationFolders(),
              (std::vector<std::string>{"/data/applications", "/a/applications", "/b/applications"}));
  }
  {
    ScopedEnvironment data("XDG_DATA_HOME", "data");
    ScopedEnvironment home("HOME", "/home/ann");
    ScopedEnvironment dirs("XDG_DATA_DIRS", "");
    EXPECT_EQ(ApplicationFolders(),
              (std::vector<std::string>{"/home/ann/.local/share/applications", "/usr/local/share/applications",
                                        "/usr/share/applications"}));
  }
  ScopedEnvironment data("XDG_DATA_HOME");
  ScopedEnvironment dirs("XDG_DATA_DIRS");
  ScopedEnvironment home("HOME");
  EXPECT_EQ(ApplicationFolders(),
            (std::vector<std::string>{"/usr/local/share/applications", "/usr/share/applications"}));
}

// A sibling's entry may name its program by a name found in PATH; an entry
// whose program cannot be run is passed over for the next folder's.
TEST(Plugins, SiblingsAreFoundThroughPathAndTheNextFolder) {
  TempFolder first, second, bin;
  const std::string program = bin / "mellaro-run";
  WriteWholeFile(program, "#!/bin/sh\n");
  ::chmod(program.c_str(), 0644);  // not executable yet
  ScopedEnvironment path("PATH", "/nonexistent:" + bin.path());
  WriteWholeFile(first / "mellaro.desktop", "[Desktop Entry]\nExec=mellaro-run --x\n");
  WriteWholeFile(second / "mellaro.desktop", "[Desktop Entry]\nName=M2\nVersion=2.1\nExec=" + program + "\n");
  SiblingProgram mellaro;
  EXPECT_FALSE(DetectMellaro(mellaro, {first.path(), second.path()}));
  EXPECT_FALSE(mellaro.found);
  ::chmod(program.c_str(), 0755);
  ASSERT_TRUE(DetectMellaro(mellaro, {first.path(), second.path()}));
  EXPECT_EQ(mellaro.path, program);
  EXPECT_EQ(mellaro.exec, "mellaro-run --x");
  EXPECT_EQ(mellaro.name, "Mellaro");  // the first entry has no name of its own
  // The first entry gone, the second is found with its name and version.
  std::filesystem::remove(first / "mellaro.desktop");
  ASSERT_TRUE(DetectMellaro(mellaro, {first.path(), second.path()}));
  EXPECT_EQ(mellaro.name, "M2");
  EXPECT_EQ(mellaro.version, "2.1");
}

TEST(Plugins, QuotesEscapesAndTabsSplitAsTheDesktopDoes) {
  EXPECT_EQ(ExecArguments("\"/opt/my prog\"\t-a\\b \"say \\\"hi\\\"\" %"),
            (std::vector<std::string>{"/opt/my prog", "-a\\b", "say \"hi\"", "%"}));
  EXPECT_EQ(ExecArguments("  prog  ", "  -x  -y "), (std::vector<std::string>{"prog", "-x", "-y"}));
  // Options of their own are not taken without a program.
  EXPECT_TRUE(ExecArguments("%f", "-x").empty());
  EXPECT_FALSE(StartOutsideProgram("%U", "-x"));
}

}  // namespace
}  // namespace quilor::ui
