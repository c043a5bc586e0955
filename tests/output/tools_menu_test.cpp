#include "output/tools_menu.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QMenu>

#include "mainwindow/main_window.h"
#include "app/tools_menu_qt.h"
#include "../platform/temp_folder.h"

namespace quilor::ui {
namespace {

using quilor::testing::ReadWholeFile;
using quilor::testing::TempFolder;
using quilor::testing::WriteWholeFile;

TEST(ToolsMenu, EntriesCountOnlyWhatIsThere) {
  TempFolder bin, user, root, apps;
  ToolsMenuEntries none = FindToolsMenuEntries(bin.path(), "en", {user.path(), root.path()}, {apps.path()});
  EXPECT_TRUE(none.lumo.empty());
  EXPECT_FALSE(none.separatorShown);
  EXPECT_FALSE(none.siblingSeparatorShown);

  WriteWholeFile(bin / "lumoen", "#!/bin/sh\n");
  ::chmod((bin / "lumoen").c_str(), 0755);
  WriteWholeFile(user / "Plugin2.desktop",
                 "[Desktop Entry]\nName=Folder tool\nExec=/opt/x\nX-Quilor-Options=Directory\n");
  WriteWholeFile(user / "Plugin3.desktop", "[Desktop Entry]\nName=Count\nExec=/opt/count\n");
  const ToolsMenuEntries some = FindToolsMenuEntries(bin.path(), "en", {user.path(), root.path()}, {apps.path()});
  EXPECT_EQ(some.lumo, bin / "lumoen");
  EXPECT_FALSE(some.pluginShown[1]);  // "directory" plug-ins are not offered
  EXPECT_TRUE(some.pluginShown[2]);
  EXPECT_TRUE(some.separatorShown);
}

TEST(ToolsMenu, NothingFoundHidesTheEntriesAndTheirSeparator) {
  TVekEditForm window;
  InstallToolsMenu(window, ToolsMenuEntries{});
  QAction* lumo = window.Command(CommandId::MenuOutilsLumo);
  ASSERT_NE(lumo, nullptr);
  EXPECT_FALSE(lumo->isVisible());
  for (QObject* object : lumo->associatedObjects())
    if (auto* menu = qobject_cast<QMenu*>(object)) {
      const QList<QAction*> actions = menu->actions();
      const int at = static_cast<int>(actions.indexOf(lumo));
      ASSERT_GT(at, 0);
      EXPECT_TRUE(actions[at - 1]->isSeparator());
      EXPECT_FALSE(actions[at - 1]->isVisible());
    }
  ToolsMenuEntries entries;
  entries.plugins[0] = {"My tool", "/opt/tool %f", "-x"};
  entries.pluginShown[0] = true;
  entries.separatorShown = true;
  InstallToolsMenu(window, entries);
  EXPECT_TRUE(window.Command(CommandId::MenuOutilsPlugin1)->isVisible());
  EXPECT_EQ(window.Command(CommandId::MenuOutilsPlugin1)->text().toStdString(), "My tool");
}

TEST(ToolsMenu, ResultsForDemoraGoToAPrivateNewFile) {
  const std::string path = WriteResultsForDemora({"one\t1", "two\t2"}, "Qu");
  ASSERT_FALSE(path.empty());
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(ReadWholeFile(path), "one\t1\r\ntwo\t2\r\n");
  ::unlink(path.c_str());
}

}  // namespace
}  // namespace quilor::ui
