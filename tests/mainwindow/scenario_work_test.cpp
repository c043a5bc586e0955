// The Scenario editor's unsaved work against the main window: a Scenario
// switched from outside, and quitting.
#include <gtest/gtest.h>

#include <QAction>

#include "app/install_windows_qt.h"
#include "core/options.h"
#include "engine/startup.h"
#include "scenario/scenario_editor.h"
#include "scenario/scenario_editor_window.h"
#include "main_window_fixture.h"

namespace quilor::ui::testing_support {
namespace {

using quilor::testing::ReadWholeFile;
using quilor::testing::WriteWholeFile;

const std::string kScenarioA = "G#0V\t1\tAnimals\r\n0#1#\tcat\tAnimals\r\n";
const std::string kScenarioB = "G#0V\t1\tMoney\r\n0#1#\tcash\tMoney\r\n";

class ScenarioWorkTest : public MainWindowTest {
 protected:
  // The window started with every window installed, Scenario A current and
  // the editor open on it.
  ScenarioEditor& OpenEditorOnA() {
    TVekEditForm& w = Start();
    InstallWindows(w);
    w.show();
    folder_ = WorkContext->UserScenarioFolder;
    WriteWholeFile(folder_ + "/A.scn", kScenarioA);
    WriteWholeFile(folder_ + "/B.scn", kScenarioB);
    EXPECT_TRUE(MakeScenarioCurrent("A.scn"));
    Options->Set(opt::RunWizardWhenEmpty, 0);
    ScenarioEditorWindow* editorWindow = ScenarioEditorWindowInstance(&w, &w);
    editorWindow->Editor().Open();
    return editorWindow->Editor();
  }
  std::string folder_;
};

// Another program (or a command file) switches the Scenario while the
// editor is open on unsaved work: the editor asks first (Cancel keeps
// everything), then shows the new Scenario, so that its next save writes
// that Scenario's own tree, never the previous one's.
TEST_F(ScenarioWorkTest, AScenarioSwitchedFromOutsideGoesThroughTheEditor) {
  ScenarioEditor& editor = OpenEditorOnA();
  TVekEditForm& w = *window_;
  editor.Tree().Select(editor.Tree().TopLevel()[0]);
  editor.AddWordInNewGroup("dog", '?');
  ASSERT_TRUE(editor.Tree().Modified());

  ui_.ui.QueueAnswer(3);  // Cancel
  w.SwitchScenario("B.scn");
  ASSERT_FALSE(ui_.ui.Shown().empty());
  EXPECT_EQ(ui_.ui.Shown().back().kind, kBoxSaveYesNoCancel);
  EXPECT_EQ(Options->Get(opt::ScenarioFileName), "A.scn");
  EXPECT_TRUE(editor.Tree().Modified());
  EXPECT_EQ(editor.Tree().TopLevel().size(), 2u);

  ui_.ui.QueueAnswer(2);  // No: the work is given up, B comes
  w.SwitchScenario("B.scn");
  EXPECT_EQ(Options->Get(opt::ScenarioFileName), "B.scn");
  EXPECT_FALSE(editor.Tree().Modified());
  ASSERT_EQ(editor.Tree().TopLevel().size(), 1u);
  EXPECT_EQ(editor.Tree().Label(editor.Tree().TopLevel()[0]), "Money");
  EXPECT_TRUE(ScenarioEditorWindowInstance(&w, &w)->windowTitle().endsWith(QStringLiteral(": B.scn")));
  editor.ToolButtonEnregistrerClick();
  EXPECT_EQ(ReadWholeFile(folder_ + "/B.scn"), kScenarioB);
  EXPECT_EQ(ReadWholeFile(folder_ + "/A.scn"), kScenarioA);
  CloseWindow();
}

// Quitting with unsaved work in a Scenario without a name: Yes, then Cancel
// in the Save As dialog, keeps both windows open; No then closes both.
TEST_F(ScenarioWorkTest, CancelWhileQuittingClosesNothing) {
  ScenarioEditor& editor = OpenEditorOnA();
  TVekEditForm& w = *window_;
  Options->Set(opt::ScenarioFileName, "");
  editor.ToolButtonCreerGroupeClick();
  ASSERT_TRUE(editor.Tree().Modified());
  ScenarioEditorWindow* editorWindow = ScenarioEditorWindowInstance(&w, &w);
  editorWindow->show();

  ui_.ui.QueueAnswer(1);  // Yes; the Save As dialog is cancelled (no answer scripted)
  EXPECT_FALSE(w.close());
  EXPECT_TRUE(w.isVisible());
  EXPECT_TRUE(editor.IsOpen());
  EXPECT_TRUE(editorWindow->isVisible());
  EXPECT_TRUE(editor.Tree().Modified());
  EXPECT_FALSE(w.Session().ClosePending());

  ui_.ui.QueueAnswer(2);  // No
  EXPECT_TRUE(w.close());
  EXPECT_FALSE(editor.IsOpen());
  EXPECT_FALSE(editorWindow->isVisible());
  window_.reset();
}

}  // namespace
}  // namespace quilor::ui::testing_support
