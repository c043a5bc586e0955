#include <gtest/gtest.h>

#include <filesystem>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>

#include "core/class_file.h"
#include "core/files.h"
#include "core/options.h"
#include "ui/main_window_port.h"
#include "platform/message_ui.h"
#include "scenario/scenario_wizard_dialog.h"
#include "support/help_pages.h"
#include "support/stream_support.h"

namespace quilor::ui {
namespace {

using testing_support::TempFolder;

class ScenarioWizardDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { Options->ResetSettings(); }
  void TearDown() override {
    Options->ResetSettings();
    ScenarioFile.Clear();
  }
  ScopedScriptedUi ui;
  FakeMainWindow main;
  ScenarioEditor editor{&main};
};

TEST_F(ScenarioWizardDialogTest, TheEmptyWayThroughTheWindow) {
  ScenarioWizardDialog dialog(editor);
  dialog.Next();  // no choice
  EXPECT_EQ(ui.ui.Shown().back().text, "You must choose an option");
  dialog.findChild<QRadioButton*>("RadioButtonNouveauScenVide")->setChecked(true);
  dialog.Next();
  EXPECT_EQ(dialog.Wizard().page, 5);
  dialog.Back();
  EXPECT_EQ(dialog.Wizard().page, 1);
  dialog.Next();
  dialog.Done();
  EXPECT_TRUE(dialog.Wizard().closed);
  EXPECT_EQ(main.reruns, 1);
  EXPECT_EQ(Options->Get(opt::ScenarioFileName), "");
}

// "Open a document now?" answered Yes opens the main window's file dialog.
TEST_F(ScenarioWizardDialogTest, YesToOpenADocumentOpensTheFileDialog) {
  main.textLoaded = false;
  int dialogs = 0;
  editor.openDocument = [&dialogs] { ++dialogs; };
  ScenarioWizardDialog dialog(editor);
  dialog.findChild<QRadioButton*>("RadioButtonNouveauScenAPartirDuTexte")->setChecked(true);
  ui.ui.QueueAnswer(1);  // Yes
  dialog.Next();
  EXPECT_EQ(ui.ui.Shown().back().text.rfind("Before using this option you must have opened", 0), 0u);
  EXPECT_EQ(dialogs, 1);
  ui.ui.QueueAnswer(3);  // No
  dialog.Next();
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(dialog.Wizard().page, 1);
}

// Its title, a heading on every page, the threshold field's label, and Help.
TEST_F(ScenarioWizardDialogTest, PagesHaveHeadingsLabelsTitleAndHelp) {
  ScenarioWizardDialog dialog(editor);
  EXPECT_EQ(dialog.windowTitle(), "New Scenario wizard");
  auto* pages = dialog.findChild<QStackedWidget*>();
  ASSERT_NE(pages, nullptr);
  ASSERT_EQ(pages->count(), 6);
  for (int i = 0; i < pages->count(); ++i) {
    const QList<QLabel*> labels = pages->widget(i)->findChildren<QLabel*>();
    ASSERT_FALSE(labels.isEmpty()) << "page " << i + 1;
    EXPECT_TRUE(labels[0]->font().bold()) << "page " << i + 1;
    EXPECT_FALSE(labels[0]->text().isEmpty()) << "page " << i + 1;
  }
  auto* threshold = dialog.findChild<QLineEdit*>("ValSeuilFreq");
  ASSERT_NE(threshold, nullptr);
  bool labelled = false;
  for (QLabel* label : pages->widget(2)->findChildren<QLabel*>()) labelled = labelled || label->buddy() == threshold;
  EXPECT_TRUE(labelled);
  auto* help = dialog.findChild<QPushButton*>("ButtonAide");
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(testing_support::HelpPagesOpenedBy("966.html", [&] { help->click(); }),
            std::vector<std::string>{"966.html"});
}

}  // namespace
}  // namespace quilor::ui
