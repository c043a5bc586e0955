#include <gtest/gtest.h>

#include <QLabel>

#include <QCheckBox>
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <cstdlib>

#include "core/files.h"
#include "core/options.h"
#include "mainwindow/main_window.h"
#include "ui/desktop.h"
#include "ui/texts_qt.h"
#include "output/general_options_dialog.h"
#include "output/installed_applications.h"
#include "platform/message_ui.h"
#include "platform/settings_store.h"
#include "../platform/temp_folder.h"
#include "ui_support/engine_session.h"

namespace quilor::ui {
namespace {

using quilor::testing::ReadWholeFile;
using quilor::testing::TempFolder;
using quilor::testing::WriteWholeFile;

// Saves a picture of the widget when QUILOR_SHOTS names a folder (to look at it).
void Shot(QWidget& widget, const char* name) {
  if (const char* folder = std::getenv("QUILOR_SHOTS")) widget.grab().save(QString(folder) + "/" + name + ".png");
}

// Types into a number field as the keyboard does, over what it holds.
void Type(NumberBox* box, const char* text) {
  box->selectAll();
  QTest::keyClick(box, Qt::Key_Backspace);
  QTest::keyClicks(box, text);
}

TEST(GeneralOptions, MemoryThresholdShowsTenForZeroAndRefusesNumbersOutOfRange) {
  Options->ResetSettings();
  Options->Set(opt::SizeThreshold, uint16_t{0});
  {
    TDlgOptionsGenerales dialog({});
    Shot(dialog, "general_options");
    EXPECT_EQ(dialog.MemoryEdit()->text().toStdString(), "10");
    EXPECT_TRUE(dialog.ButtonOkClick());
  }
  EXPECT_EQ(Options->Get(opt::SizeThreshold), 10);
  // Out of range or empty: one box naming the field and its range, nothing stored, the dialog open.
  for (const char* typed : {"51", "0", ""}) {
    ScopedScriptedUi ui;
    TDlgOptionsGenerales dialog({});
    dialog.findChild<QCheckBox*>()->toggle();
    const std::vector<uint8_t> before(Options->Data(), Options->Data() + Options->Size());
    Type(dialog.MemoryEdit(), typed);
    EXPECT_FALSE(dialog.ButtonOkClick()) << typed;
    ASSERT_EQ(ui.ui.Shown().size(), 1u) << typed;
    EXPECT_EQ(ui.ui.Shown()[0].text, "Show a Warning message: Incorrect value(s). Type a number from 1 to 50.");
    EXPECT_EQ(std::vector<uint8_t>(Options->Data(), Options->Data() + Options->Size()), before) << typed;
  }
  {
    TDlgOptionsGenerales dialog({});
    Type(dialog.MemoryEdit(), "abc");  // letters are not taken
    EXPECT_EQ(dialog.MemoryEdit()->text(), "");
    Type(dialog.MemoryEdit(), "25");
    EXPECT_TRUE(dialog.ButtonOkClick());
  }
  EXPECT_EQ(Options->Get(opt::SizeThreshold), 25);
  TDlgOptionsGenerales scenarioPage({}, true);
  EXPECT_EQ(scenarioPage.Pages()->currentIndex(), 1);
  // "Parameters files" shows the folder of the options file.
  ProgramFiles.options = "/home/user/.config/Quilor/quilor.prm";
  TDlgOptionsGenerales installation({});
  EXPECT_EQ(installation.findChild<QLineEdit*>("EditDossierParametres")->text(), "/home/user/.config/Quilor");
  ProgramFiles.options.clear();
}

TEST(GeneralOptions, ModifyAnsweredNoLeavesTheSettingsAsTheyWere) {
  TempFolder folder;
  const std::string settings = folder / "settings.ini";
  WriteWholeFile(settings, "[Software\\Brevalia\\Ontologies\\V8.3\\English]\nUserPath=/x\nMultiUser=1\n");
  SetSettingsFilePath(settings);
  const std::string before = ReadWholeFile(settings);
  ScopedScriptedUi ui;
  ui.ui.QueueAnswer(3);  // No
  bool closed = false;
  GeneralOptionsHooks hooks;
  hooks.closeProgram = [&] { closed = true; };
  TDlgOptionsGenerales dialog(hooks);
  dialog.ButtonParametresSetupClick();
  SetSettingsFilePath("");
  EXPECT_EQ(ReadWholeFile(settings), before);
  EXPECT_FALSE(closed);
  ASSERT_EQ(ui.ui.Shown().size(), 1u);
}

TEST(AboutBox, VersionFromTheBuildAndTheWebAddressOpened) {
  const QString version = TAboutQuilor::VersionText();
  EXPECT_TRUE(version.startsWith("Version 8.3.1 (build")) << version.toStdString();
  std::vector<std::vector<std::string>> started;
  SetProgramLauncher([&](const std::vector<std::string>& argv, const std::string&) {
    started.push_back(argv);
    return 0;
  });
  TAboutQuilor about;
  // The program's picture stands beside its name.
  const QLabel* icon = about.findChild<QLabel*>("ProgramIcon");
  ASSERT_NE(icon, nullptr);
  EXPECT_FALSE(icon->pixmap().isNull());
  EXPECT_FALSE(TAboutQuilor::ProgramIcon().isNull());
  Shot(about, "about");
  about.findChild<QPushButton*>("MoreOnWebSite")->click();
  SetProgramLauncher({});
  ASSERT_EQ(started.size(), 1u);
  // The address of the Help menu's web item.
  EXPECT_EQ(started[0].back(), kProgramWebAddress);
  TVekEditForm window;
  EXPECT_EQ(window.Command(CommandId::MenuHelpWeb)->text().toStdString(), TAboutQuilor::WebAddress());
}

TEST(InstalledApplications, RowsAndTheirTextForTheClipboard) {
  const auto query = [](const std::vector<std::string>& argv) {
    return argv.front() == "xdg-mime" ? std::string("libreoffice-calc.desktop") : std::string();
  };
  const std::vector<InstalledRow> rows = InstalledApplications(query);
  {
    TDlgInfoInstall dialog;
    Shot(dialog, "installed_applications");
  }
  ASSERT_GT(rows.size(), 10u);
  EXPECT_EQ(rows[0].application, "Quilor");
  // The dictionary's row gives the version of its data.
  {
    testing_support::EngineSession session;
    ASSERT_TRUE(session.Started());
    const std::vector<InstalledRow> started = InstalledApplications(query);
    EXPECT_EQ(started[1].application, GetMessageText(68));
    EXPECT_EQ(started[1].version, "1");
  }
  bool spreadsheet = false, browserUnavailable = false;
  for (const InstalledRow& row : rows) {
    spreadsheet |= row.information == "libreoffice-calc.desktop";
    browserUnavailable |= row.application == GetMessageText(1218) && row.information == GetMessageText(1212);
  }
  EXPECT_TRUE(spreadsheet);
  EXPECT_TRUE(browserUnavailable);
  const std::string text = InstalledApplicationsText(rows);
  EXPECT_EQ(text.rfind("Application\tVersion\tInformation\r\n", 0), 0u);
  size_t lines = 0;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
  EXPECT_EQ(lines, rows.size() + 1);
  // A program that does not exist tells nothing.
  EXPECT_EQ(RunDesktopQuery({"/nonexistent/program"}), "");
  EXPECT_EQ(RunDesktopQuery({"echo", "one", "two"}), "one two");
}

}  // namespace
}  // namespace quilor::ui
