#include <gtest/gtest.h>

#include <QMimeData>
#include <QPrinter>
#include <QStatusBar>
#include <QTreeWidget>

#include <regex>

#include "core/class_file.h"
#include "engine/options.h"
#include "mainwindow/desktop.h"
#include "mainwindow/drag_formats.h"
#include "scenario/scenario_editor_window.h"
#include "scenario/scenario_print.h"
#include "support/stream_support.h"

namespace quilor::ui {
namespace {

using testing_support::ReadFileBytes;
using testing_support::TempFolder;

// 20 groups of 9 items each, one nested group: 200 nodes.
std::string TwoHundredNodes() {
  std::string text;
  for (int g = 1; g <= 20; ++g) {
    const std::string name = "Group " + std::to_string(100 + g);
    text += "G#0V\t" + std::to_string(g) + "\t" + name + "\r\n";
    for (int i = 1; i <= 9; ++i) text += "0#1#\tword" + std::to_string(g * 10 + i) + "\t" + name + "\r\n";
  }
  return text;
}

class ScenarioWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Options->ResetSettings();
    ClassFileGroupCounter = 0;
    ScenarioFile.Clear();
    bool damaged = false;
    ASSERT_TRUE(ParseClassFileText(ScenarioFile, TwoHundredNodes(), damaged));
    Options->Set(opt::ScenarioFileName, "Big.scn");
    editor.Open();
  }
  void TearDown() override {
    Options->ResetSettings();
    ScenarioFile.Clear();
  }
  ScopedScriptedUi ui;
  ScopedScriptedDesktop desktop;
  FakeMainWindow main;
  ScenarioEditor editor{&main};
  ScenarioEditorWindow window{editor};
};

int CountItems(QTreeWidgetItem* item) {
  int n = 1;
  for (int i = 0; i < item->childCount(); ++i) n += CountItems(item->child(i));
  return n;
}

TEST_F(ScenarioWindowTest, ShowsTheModelAndFollowsItsEdits) {
  int items = 0;
  for (int i = 0; i < window.TreeWidget()->topLevelItemCount(); ++i) items += CountItems(window.TreeWidget()->topLevelItem(i));
  EXPECT_EQ(items, 200);
  EXPECT_EQ(window.windowTitle(), "Scenario Tool : Big.scn");
  // Selecting in the view selects in the model; Cut then Delete leaves Paste disabled.
  QTreeWidgetItem* group = window.TreeWidget()->topLevelItem(2);
  window.TreeWidget()->setCurrentItem(group->child(0));
  EXPECT_EQ(editor.Tree().Label(editor.Tree().Selected()), "word31");
  editor.CutSelected();
  window.Refresh();
  Options->Set(opt::ConfirmDeletions, 0);
  editor.ToolButtonSupprimerClick();
  window.Refresh();
  EXPECT_FALSE(ScenarioActionStates(editor).paste);
  window.TreeWidget()->setCurrentItem(window.TreeWidget()->topLevelItem(0));
  EXPECT_FALSE(editor.PasteOnSelected());
  EXPECT_EQ(window.TreeWidget()->topLevelItem(2)->childCount(), 8);
  EXPECT_EQ(window.statusBar()->currentMessage(), "This Scenario was modified: you should save it");
}

TEST_F(ScenarioWindowTest, TwoHundredNodesPrintOnTheExpectedNumberOfPdfPages) {
  TempFolder folder;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(folder.Path("tree.pdf")));
  printer.setPageSize(QPageSize(QPageSize::A4));
  const int pages = window.PrintTree(printer);
  // The same layout computed apart: 1.4 line heights of the font, the title
  // and page-number bands taken off.
  const std::string pdf = ReadFileBytes(folder.Path("tree.pdf"));
  const std::regex page("/Type\\s*/Page[^s]");
  const auto count = std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator());
  EXPECT_EQ(count, pages);
  EXPECT_GE(pages, 3);
  EXPECT_LE(pages, 6);
}

TEST(ScenarioPrintLayoutTest, PagesHoldTheirLinesAndConnectors) {
  ScenarioTree tree;
  ClassFileGroupCounter = 0;
  ClassFileList list;
  bool damaged = false;
  ASSERT_TRUE(ParseClassFileText(list, TwoHundredNodes() + "G#1H\t99\tHidden\r\n0#2?\tbad\tHidden\r\n", damaged));
  tree.Fill(list);
  std::vector<ScenarioPrintLine> lines = ScenarioPrintLines(tree);
  ASSERT_EQ(lines.size(), 202u);
  EXPECT_EQ(lines[200].text, "###Hidden");
  EXPECT_EQ(lines[201].text, "Error bad");
  EXPECT_EQ(lines[1].continues, std::vector<bool>{true});
  EXPECT_EQ(lines[9].continues, std::vector<bool>{false});   // word19, last of its group
  EXPECT_EQ(lines[200].continues, std::vector<bool>{false}); // Hidden is the last child of Group 120
  // 1000 pixels, font 10: line height 14, 71 bands, 65 lines a page.
  const ScenarioPrintLayout layout = LayoutScenarioPrint(lines, 800, 1000, 10, 20);
  EXPECT_EQ(layout.linesPerPage, 65);
  EXPECT_EQ(layout.PageCount(), 4);
}

}  // namespace
}  // namespace quilor::ui

namespace quilor::ui {
namespace {

// Lines of the results list dropped on the tree: lemma lists and class
// lists only, and only while a text is loaded; anything else is refused.
TEST_F(ScenarioWindowTest, TakesResultLinesDroppedFromTheMainWindow) {
  const int before = window.TreeWidget()->topLevelItemCount();
  QMimeData verb;
  verb.setData(kMimeResultItem, QByteArray::fromStdString(EncodeResultsLineDrag({8, 3, "ponder"})));
  main.textLoaded = false;
  EXPECT_FALSE(window.DropFromOtherWindow(&verb, 0));
  main.textLoaded = true;
  ASSERT_TRUE(window.DropFromOtherWindow(&verb, 0));
  EXPECT_EQ(window.TreeWidget()->topLevelItemCount(), before + 1);
  const int group = editor.Tree().EnclosingGroup(editor.Tree().Selected());
  EXPECT_EQ(editor.Tree().Label(group), "Ponder");
  // The Scenario list itself (4), a relation (5) and foreign data are refused.
  for (int type : {4, 5, 0}) {
    QMimeData other;
    other.setData(kMimeResultItem, QByteArray::fromStdString(EncodeResultsLineDrag({type, 3, "x"})));
    EXPECT_FALSE(window.DropFromOtherWindow(&other, 0)) << type;
  }
  QMimeData broken, text;
  broken.setData(kMimeResultItem, "8\tname");
  text.setText("ponder");
  EXPECT_FALSE(window.DropFromOtherWindow(&broken, 0));
  EXPECT_FALSE(window.DropFromOtherWindow(&text, 0));
  EXPECT_EQ(window.TreeWidget()->topLevelItemCount(), before + 1);
}

}  // namespace
}  // namespace quilor::ui
