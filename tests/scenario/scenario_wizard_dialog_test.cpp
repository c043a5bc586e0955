#include <gtest/gtest.h>

#include <QRadioButton>

#include "core/class_file.h"
#include "engine/options.h"
#include "mainwindow/main_window_port.h"
#include "platform/message_ui.h"
#include "scenario/scenario_wizard_dialog.h"

namespace quilor::ui {
namespace {

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

}  // namespace
}  // namespace quilor::ui
