#include <gtest/gtest.h>

#include <QPushButton>
#include <QRadioButton>

#include <filesystem>

#include "ui/desktop.h"
#include "output/setup_wizard_dialog.h"
#include "output/setup_wizard_model.h"
#include "platform/message_ui.h"
#include "../platform/temp_folder.h"

namespace quilor::ui {
namespace {

TEST(SetupWizardModelTest, PagesAndButtons) {
  SetupWizardModel m;
  EXPECT_EQ(m.Page(), 1);
  EXPECT_FALSE(m.BackEnabled());
  EXPECT_TRUE(m.NextEnabled());
  EXPECT_FALSE(m.DoneEnabled());
  EXPECT_EQ(m.Next("/home/u"), SetupWizardModel::NextResult::kChooseOption);
  EXPECT_EQ(m.Page(), 1);

  m.SetUsers(SetupWizardModel::Users::kSingle);
  EXPECT_EQ(m.Next("/home/u"), SetupWizardModel::NextResult::kMoved);
  EXPECT_EQ(m.Page(), 3);
  EXPECT_TRUE(m.DoneEnabled());
  EXPECT_FALSE(m.NextEnabled());
  m.Back();
  EXPECT_EQ(m.Page(), 1);
  EXPECT_FALSE(m.Choice().multiUser);

  m.SetUsers(SetupWizardModel::Users::kMulti);
  m.Next("/home/u");
  EXPECT_EQ(m.Page(), 2);
  EXPECT_EQ(m.Folder(), "/home/u");
  EXPECT_TRUE(m.DoneEnabled());
  m.SetFolder("");  // the browser cancelled
  EXPECT_FALSE(m.DoneEnabled());
  EXPECT_EQ(m.Next(""), SetupWizardModel::NextResult::kBrowseFolder);
  EXPECT_EQ(m.Page(), 2);
  m.SetFolder("/data");
  m.SetCopySamples(false);
  m.Next("");
  EXPECT_EQ(m.Page(), 3);
  m.Back();
  EXPECT_EQ(m.Page(), 2);
  const SetupWizardChoice c = m.Choice();
  EXPECT_TRUE(c.multiUser);
  EXPECT_EQ(c.folder, "/data");
  EXPECT_FALSE(c.copySampleTexts);
  EXPECT_FALSE(SetupWizardModel::ClosedChoice().multiUser);
}

TEST(SetupWizardDialogTest, NextWithoutAChoiceAsksForOne) {
  ScopedScriptedUi ui;
  TAssistantSetup dialog;
  dialog.ButtonSuivantClick();
  ASSERT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_EQ(ui.ui.Shown()[0].text, "You must choose an option");
  EXPECT_EQ(dialog.Model().Page(), 1);
  EXPECT_FALSE(dialog.DoneButton()->isEnabled());
}

TEST(SetupWizardDialogTest, AFolderThatCannotBeMadeLeavesTheWizardUsable) {
  ScopedScriptedUi ui;
  ScopedScriptedDesktop desktop;
  testing::TempFolder tmp;
  const std::string blocker = tmp / "file";
  testing::WriteWholeFile(blocker, "x");  // a file where a folder should go
  TAssistantSetup dialog;
  dialog.MultiButton()->setChecked(true);
  desktop.desktop.folderAnswers.push_back(blocker);
  dialog.ButtonSuivantClick();
  ASSERT_EQ(dialog.Model().Page(), 2);
  dialog.ButtonDossierSortieClick();
  EXPECT_EQ(dialog.Model().Folder(), blocker);
  ASSERT_TRUE(dialog.DoneButton()->isEnabled());
  dialog.ButtonTerminerClick();
  ASSERT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_EQ(ui.ui.Shown()[0].text, "I can't create the output file (disk full or I/O error).");
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Model().Page(), 2);
  EXPECT_TRUE(dialog.DoneButton()->isEnabled());
  EXPECT_TRUE(dialog.BackButton()->isEnabled());

  // A folder that can be made: the wizard closes with the multi-user choice.
  desktop.desktop.folderAnswers.push_back(tmp.path());
  dialog.ButtonDossierSortieClick();
  dialog.ButtonTerminerClick();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(dialog.Result().multiUser);
  EXPECT_TRUE(std::filesystem::is_directory(tmp / "Quilor/English"));
}

TEST(SetupWizardDialogTest, SingleUserNeedsNoFolder) {
  ScopedScriptedUi ui;
  TAssistantSetup dialog;
  dialog.MonoButton()->setChecked(true);
  dialog.ButtonSuivantClick();
  EXPECT_EQ(dialog.Model().Page(), 3);
  dialog.ButtonTerminerClick();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.Result().multiUser);
  EXPECT_TRUE(ui.ui.Shown().empty());
}

}  // namespace
}  // namespace quilor::ui
