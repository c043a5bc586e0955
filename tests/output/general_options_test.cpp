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
#include "core/messages.h"
#include "generated/message_names.h"
#include "import/conversion_dispatch.h"
#include "mainwindow/main_window.h"
#include "ui/desktop.h"
#include "ui/texts_qt.h"
#include "output/general_options_dialog.h"
#include "output/general_options_logic.h"
#include "output/installed_applications.h"
#include "platform/message_ui.h"
#include "platform/settings_store.h"
#include "support/help_pages.h"
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

// Each switch of the dialog reads its own option and writes it back alone
// ("Show file names" is stored as its opposite).
TEST(GeneralOptions, EachSwitchGoesToItsOwnOptionAndBack) {
  struct Switch {
    bool GeneralOptionsValues::*field;
    U8Field option;
    bool inverted;
  };
  const Switch switches[] = {
      {&GeneralOptionsValues::confirmDeletions, opt::ConfirmDeletions, false},
      {&GeneralOptionsValues::wizardWhenEmpty, opt::RunWizardWhenEmpty, false},
      {&GeneralOptionsValues::openScenarioAtStart, opt::OpenScenarioAtStart, false},
      {&GeneralOptionsValues::showHelpPanel, opt::ShowHelpPanel, false},
      {&GeneralOptionsValues::keepFileHistory, opt::KeepFileHistory, false},
      {&GeneralOptionsValues::largeFonts, opt::LargeFonts, false},
      {&GeneralOptionsValues::sortAlphabetical, opt::SortAlphabetical, false},
      {&GeneralOptionsValues::linkCompoundWords, opt::LinkCompoundWords, false},
      {&GeneralOptionsValues::groupsInCapitals, opt::GroupsInCapitals, false},
      {&GeneralOptionsValues::formsWithoutAccent, opt::AddFormsWithoutAccent, false},
      {&GeneralOptionsValues::extractsByProposition, opt::ExtractsByProposition, false},
      {&GeneralOptionsValues::showFileNames, opt::HideFileNames, true},
  };
  const auto setAll = [&](bool on) {
    for (const Switch& s : switches) Options->Set(s.option, static_cast<uint8_t>(on != s.inverted ? 1 : 0));
  };
  for (const Switch& changed : switches) {
    for (bool on : {true, false}) {
      SCOPED_TRACE(std::to_string(&changed - switches) + (on ? " on" : " off"));
      Options->ResetSettings();
      // Every other switch the other way: a value read or written in the wrong place shows.
      setAll(!on);
      Options->Set(opt::SizeThreshold, uint16_t{17});
      Options->Set(changed.option, static_cast<uint8_t>(on != changed.inverted ? 1 : 0));
      GeneralOptionsValues values = GeneralOptionsValues::FromOptions();
      for (const Switch& s : switches) EXPECT_EQ(values.*s.field, &s == &changed ? on : !on);
      EXPECT_EQ(values.memoryText, "17");
      // Turned round and stored: only that option changes.
      values.*changed.field = !on;
      values.memoryText = "50";
      ASSERT_TRUE(values.ToOptions());
      for (const Switch& s : switches) EXPECT_EQ(Options->Switch(s.option), (!on) != s.inverted);
      EXPECT_EQ(Options->Get(opt::SizeThreshold), 50);
    }
  }
  Options->ResetSettings();
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
  testing_support::ProgramsStarted started;
  TAboutQuilor about;
  // The program's picture stands beside its name.
  const QLabel* icon = about.findChild<QLabel*>("ProgramIcon");
  ASSERT_NE(icon, nullptr);
  EXPECT_FALSE(icon->pixmap().isNull());
  EXPECT_FALSE(TAboutQuilor::ProgramIcon().isNull());
  Shot(about, "about");
  about.findChild<QPushButton*>("MoreOnWebSite")->click();
  // The address of the Help menu's web item.
  EXPECT_EQ(started.Files(), std::vector<std::string>{kProgramWebAddress});
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

// A desktop query gives the first line its program writes, and no more than
// what it writes in two seconds; a program that writes nothing gives nothing.
TEST(InstalledApplications, DesktopQueriesTakeTheFirstLineInTime) {
  EXPECT_EQ(RunDesktopQuery({}), "");
  EXPECT_EQ(RunDesktopQuery({"printf", "first\nsecond\n"}), "first");
  EXPECT_EQ(RunDesktopQuery({"true"}), "");
  // A program that hangs after its answer is stopped; the answer stays.
  EXPECT_EQ(RunDesktopQuery({"sh", "-c", "echo early; exec sleep 30"}), "early");
}

// A switched-off Word 97-2003 filter shows as built in; a row with nothing to
// tell shows "unavailable" without a version.
TEST(InstalledApplications, FiltersAndMissingProgramsAreShownAsTheyAre) {
  const auto none = [](const std::vector<std::string>&) { return std::string(); };
  ConversionSwitches saved = ReadConversionSwitches();
  ConversionSwitches off = saved;
  off.officeFilter = false;
  WriteConversionSwitches(off);
  const std::vector<InstalledRow> rows = InstalledApplications(none);
  WriteConversionSwitches(saved);
  const auto row = [&](const std::string& application) {
    for (const InstalledRow& r : rows)
      if (r.application == application) return r;
    return InstalledRow{};
  };
  EXPECT_EQ(row(GetMessageText(msg::kOffice97To2003)).information, GetMessageText(1213));
  EXPECT_EQ(row(GetMessageText(msg::kOffice97To2003)).version, GetMessageText(1186));
  const InstalledRow spreadsheet = row(GetMessageText(1217));
  EXPECT_EQ(spreadsheet.information, GetMessageText(1212));
  EXPECT_EQ(spreadsheet.version, "");
  EXPECT_EQ(row("Lumo").information, GetMessageText(1212));
  // Each filter is followed by the extensions it serves.
  for (size_t i = 0; i + 1 < rows.size(); ++i)
    if (rows[i].version == GetMessageText(1186)) {
      EXPECT_EQ(rows[i + 1].application.rfind("  ", 0), 0u) << rows[i].application;
      EXPECT_EQ(rows[i + 1].information, rows[i].application);
    }
}

}  // namespace
}  // namespace quilor::ui
