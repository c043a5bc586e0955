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

TEST(ScenarioWizardDialogTest, TheEmptyWayThroughTheWindow) {
  ScopedScriptedUi ui;
  Options->ResetSettings();
  FakeMainWindow main;
  ScenarioEditor editor(&main);
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
  Options->ResetSettings();
  ScenarioFile.Clear();
}

// "Open a document now?" answered Yes opens the main window's file dialog.
TEST(ScenarioWizardDialogTest, YesToOpenADocumentOpensTheFileDialog) {
  ScopedScriptedUi ui;
  Options->ResetSettings();
  FakeMainWindow main;
  main.textLoaded = false;
  ScenarioEditor editor(&main);
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
  Options->ResetSettings();
}

// Its title, a heading on every page, the threshold field's label, and Help.
TEST(ScenarioWizardDialogTest, PagesHaveHeadingsLabelsTitleAndHelp) {
  ScopedScriptedUi ui;
  Options->ResetSettings();
  FakeMainWindow main;
  ScenarioEditor editor(&main);
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
  {
    testing_support::HelpPageOpened pages("966.html");
    help->click();
    ASSERT_EQ(pages.Opened().size(), 1u);
    EXPECT_NE(pages.Opened()[0].find("966.html"), std::string::npos);
  }
  Options->ResetSettings();
}

}  // namespace
}  // namespace quilor::ui
