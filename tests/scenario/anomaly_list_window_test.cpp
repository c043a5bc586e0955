#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>

#include "core/class_file.h"
#include "core/options.h"
#include "ui/desktop.h"
#include "support/help_pages.h"
#include "platform/message_ui.h"
#include "scenario/anomaly_list_window.h"
#include "scenario/scenario_editor.h"

namespace quilor::ui {
namespace {

TEST(AnomalyListWindowTest, ALineFindsItsEntryOrOpensTheEditor) {
  ScopedScriptedUi ui;
  AnomalyList list;
  list.Report(kMsgDuplicated, "dog");
  list.Finish(true);
  FakeMainWindow main;
  ScenarioEditor editor(&main);
  int opened = 0;
  AnomalyListWindow window(
      list, [&] { return &editor; }, [&] { ++opened; });
  ASSERT_EQ(window.List()->count(), 1);
  EXPECT_EQ(window.List()->item(0)->text(), "\"dog\" is duplicated (second entry ignored)");
  EXPECT_EQ(window.windowTitle(), "Anomalies (Scenario)");
  window.List()->setCurrentRow(0);
  emit window.List()->itemClicked(window.List()->item(0));
  EXPECT_EQ(opened, 1);  // the editor is not open yet
  GroupNumbering.counter = 0;
  ScenarioFile.Clear();
  bool damaged = false;
  ASSERT_TRUE(ParseClassFileText(ScenarioFile, "G#0V\t1\tPets\r\n0#1#\tdog\tPets\r\n", damaged));
  editor.Open();
  emit window.List()->itemClicked(window.List()->item(0));
  EXPECT_EQ(editor.Tree().Label(editor.Tree().Selected()), "dog");
  EXPECT_EQ(opened, 1);
  ScenarioFile.Clear();
  Options->ResetSettings();
}

// The list's Help button opens the Scenario Tool's help topic.
TEST(AnomalyListWindowTest, HelpOpensTheScenarioToolsTopic) {
  ScopedScriptedUi ui;
  AnomalyList list;
  AnomalyListWindow window(list, {}, {});
  auto* help = window.findChild<QPushButton*>(QStringLiteral("ButtonAide"));
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(help->text(), "Help");
  EXPECT_EQ(testing_support::HelpPagesOpenedBy("964.html", [&] { help->click(); }),
            std::vector<std::string>{"964.html"});
}

}  // namespace
}  // namespace quilor::ui
