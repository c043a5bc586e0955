// The main window with every command installed: asking for a graph keeps the
// selection where the graph does not need another one.
#include <QApplication>
#include <QListView>

#include "app/install_windows_qt.h"
#include "engine/selection.h"
#include "mainwindow/graph.h"
#include "mainwindow/graph_state.h"
#include "mainwindow/results_panel_widget.h"
#include "ui/result_type_codes.h"
#include "ui/view_state.h"
#include "main_window_fixture.h"

namespace quilor::ui::testing_support {
namespace {

TEST_F(MainWindowTest, AskingForTheBurstsGraphKeepsTheSelection) {
  TVekEditForm& w = Start();
  InstallWindows(w);
  ASSERT_TRUE(Open(sample_));
  Options->Set(opt::ShowGraph, uint8_t{0});
  ViewState.GraphShown = false;
  w.ShowResultType(1);
  const std::vector<std::string> lines = ResultLines();
  ASSERT_GT(lines.size(), 3u);
  w.ClickResultLine(static_cast<int>(lines.size()) - 1);  // the last line
  const std::string chosen = ViewState.selection.firstTerm;
  ASSERT_FALSE(chosen.empty());
  w.Command(CommandId::ToolButtonGrapheRafales)->trigger();
  EXPECT_EQ(Options->Get(opt::GraphKind), kGraphBursts);
  EXPECT_TRUE(ViewState.GraphShown);
  EXPECT_EQ(ViewState.selection.firstTerm, chosen);
  CloseWindow();
}

// Closing the text leaves no line of its results in the list, and a text
// opened again lists its own.
TEST_F(MainWindowTest, ClosingTheTextEmptiesTheResultsList) {
  TVekEditForm& w = Start();
  InstallWindows(w);
  ASSERT_TRUE(Open(sample_));
  w.ShowResultType(1);
  const std::vector<std::string> lines = ResultLines();
  ASSERT_FALSE(lines.empty());
  w.Session().CmFermer();
  EXPECT_FALSE(w.TextLoaded());
  EXPECT_TRUE(ResultLines().empty());
  ASSERT_TRUE(Open(sample_));
  w.ShowResultType(1);
  EXPECT_EQ(ResultLines(), lines);
  CloseWindow();
}

}  // namespace
}  // namespace quilor::ui::testing_support
