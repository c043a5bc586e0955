#include <gtest/gtest.h>

#include <filesystem>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QMimeData>
#include <QPrinter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <regex>

#include "core/class_file.h"
#include "core/files.h"
#include "core/options.h"
#include "ui/desktop.h"
#include "ui/drag_formats.h"
#include "ui/texts_qt.h"
#include "generated/message_names.h"
#include "scenario/scenario_editor_window.h"
#include "scenario/scenario_print.h"
#include "support/help_pages.h"
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
    GroupNumbering.counter = 0;
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
  for (int i = 0; i < window.TreeWidget()->topLevelItemCount(); ++i)
    items += CountItems(window.TreeWidget()->topLevelItem(i));
  EXPECT_EQ(items, 200);
  EXPECT_EQ(window.windowTitle(), "Scenario Tool : Big.scn");
  // Groups and items show their pictures at 16 by 16 pixels.
  for (QTreeWidgetItem* item : {window.TreeWidget()->topLevelItem(0), window.TreeWidget()->topLevelItem(0)->child(0)})
    EXPECT_EQ(item->icon(0).availableSizes(), QList<QSize>{QSize(16, 16)});
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
  EXPECT_EQ(window.StatusText(), "This Scenario was modified: you should save it");
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

// At the size it opens with, every tool button shows, with its picture and
// its hint; none hides behind the tool bar's extension button.
TEST_F(ScenarioWindowTest, AtItsDefaultSizeEveryToolCommandShows) {
  window.show();
  QApplication::processEvents();
  QToolBar* toolbar = window.ToolBar();
  int shown = 0;
  for (QAction* a : toolbar->actions()) {
    if (a->isSeparator()) continue;
    QWidget* button = toolbar->widgetForAction(a);
    ASSERT_NE(button, nullptr) << a->text().toStdString();
    EXPECT_TRUE(button->isVisible()) << a->text().toStdString();
    EXPECT_FALSE(a->icon().isNull()) << a->text().toStdString();
    EXPECT_TRUE(a->toolTip().startsWith(a->text())) << a->toolTip().toStdString();
    ++shown;
  }
  EXPECT_EQ(shown, 10);
  auto* extension = toolbar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
  EXPECT_TRUE(extension == nullptr || !extension->isVisible());
  EXPECT_GE(window.width(), window.minimumWidth());
  window.hide();
}

// The Help menu (F1), Edit > Options and the explanation page.
TEST_F(ScenarioWindowTest, HelpOptionsAndTheExplanationPage) {
  auto* help = window.findChild<QAction*>(QStringLiteral("MenuAideScenario"));
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(help->shortcut(), QKeySequence(Qt::Key_F1));
  EXPECT_EQ(testing_support::HelpPagesOpenedBy("964.html", [&] { help->trigger(); }),
            std::vector<std::string>{"964.html"});
  int options = 0;
  auto* optionsAction = window.findChild<QAction*>(QStringLiteral("MenuOptions"));
  ASSERT_NE(optionsAction, nullptr);
  window.Refresh();
  EXPECT_FALSE(optionsAction->isEnabled());  // no general options to open
  editor.showOptions = [&options] { ++options; };
  window.Refresh();
  EXPECT_TRUE(optionsAction->isEnabled());
  optionsAction->trigger();
  EXPECT_EQ(options, 1);
  ASSERT_EQ(window.Pages()->count(), 2);
  EXPECT_EQ(window.Pages()->tabText(1), "Explanation");
  EXPECT_TRUE(window.ExplanationPage()->toPlainText().contains("10 levels deep"));
}

// The status line is a fixed part of the window: a menu's hint passing over
// it does not take it away.
TEST_F(ScenarioWindowTest, TheStatusLineStaysWhenTheMouseCrossesTheMenus) {
  window.show();
  editor.Tree().Select(editor.Tree().TopLevel()[0]);
  editor.InsertWords("bank", '?', false);
  window.Refresh();
  EXPECT_EQ(window.StatusText(), "This Scenario was modified: you should save it");
  QStatusTipEvent tip{QString()};
  QApplication::sendEvent(&window, &tip);
  QApplication::processEvents();
  EXPECT_EQ(window.StatusText(), "This Scenario was modified: you should save it");
  EXPECT_TRUE(window.findChild<QLabel*>(QStringLiteral("StatusBar1"))->isVisible());
  window.hide();
}

// The job's title is set before the job begins: it is the PDF's title.
TEST_F(ScenarioWindowTest, ThePrintJobHasItsTitle) {
  TempFolder folder;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(folder.Path("tree.pdf")));
  printer.setPageMargins(QMarginsF(5, 40, 5, 5), QPageLayout::Millimeter);
  ASSERT_GE(window.PrintTree(printer), 1);
  // The margins of the other printed pages: 15 mm at least, more when asked.
  const QMarginsF margins = printer.pageLayout().margins(QPageLayout::Millimeter);
  EXPECT_NEAR(margins.left(), 15.0, 0.01);
  EXPECT_NEAR(margins.top(), 40.0, 0.01);
  EXPECT_NEAR(margins.right(), 15.0, 0.01);
  EXPECT_NEAR(margins.bottom(), 15.0, 0.01);
  EXPECT_FALSE(printer.fullPage());
  const std::string pdf = ReadFileBytes(folder.Path("tree.pdf"));
  std::string title;
  for (char c : std::string("Scenario Big.scn")) title += std::string(1, '\0') + c;
  EXPECT_NE(pdf.find(title), std::string::npos);
}

TEST(ScenarioPrintLayoutTest, PagesHoldTheirLinesAndConnectors) {
  ScenarioTree tree;
  GroupNumbering.counter = 0;
  ClassFileList list;
  bool damaged = false;
  ASSERT_TRUE(ParseClassFileText(list, TwoHundredNodes() + "G#1H\t99\tHidden\r\n0#2?\tbad\tHidden\r\n", damaged));
  tree.Fill(list);
  std::vector<ScenarioPrintLine> lines = ScenarioPrintLines(tree);
  ASSERT_EQ(lines.size(), 202u);
  // Sorted by text: Hidden comes first in Group 120, before its words.
  EXPECT_EQ(lines[191].text, "###Hidden");
  EXPECT_EQ(lines[192].text, "Error bad");
  EXPECT_EQ(lines[1].continues, std::vector<bool>{true});
  EXPECT_EQ(lines[9].continues, std::vector<bool>{false});   // word19, last of its group
  EXPECT_EQ(lines[191].continues, std::vector<bool>{true});  // Hidden: Group 120's words follow it
  EXPECT_EQ(lines[192].continues, (std::vector<bool>{true, false}));
  EXPECT_EQ(lines[201].continues, std::vector<bool>{false});  // word209, the last line
  // 1000 pixels, font 10: line height 14, 71 bands, 65 lines a page.
  const ScenarioPrintLayout layout = LayoutScenarioPrint(lines, 800, 1000, 10, 20);
  EXPECT_EQ(layout.linesPerPage, 65);
  EXPECT_EQ(layout.PageCount(), 4);
}

// The large-fonts option reaches the tree, the attribute panel and the
// status line, and going back to normal fonts gives them back.
TEST_F(ScenarioWindowTest, TheLargeFontsOptionReachesTheTreeAndItsPanels) {
  auto* panel = window.findChild<QWidget*>(QStringLiteral("PanelAttributs"));
  auto* status = window.findChild<QLabel*>(QStringLiteral("StatusBar1"));
  ASSERT_NE(panel, nullptr);
  ASSERT_NE(status, nullptr);
  const int normal = QApplication::font().pointSize();
  ASSERT_NE(normal, 14);
  Options->Set(opt::LargeFonts, 1);
  window.Refresh();
  EXPECT_EQ(window.TreeWidget()->font().pointSize(), 14);
  EXPECT_EQ(panel->font().pointSize(), 14);
  EXPECT_EQ(status->font().pointSize(), 14);
  // The panel's texts keep inside its page.
  window.resize(600, 700);
  window.show();
  editor.Tree().Select(editor.Tree().TopLevel()[0]);
  window.Refresh();
  QApplication::processEvents();
  EXPECT_LE(panel->sizeHint().height(), window.Pages()->currentWidget()->height());
  // Changed in the main window's options: the fonts follow when the editor
  // is active again.
  Options->Set(opt::LargeFonts, 0);
  window.activateWindow();
  QApplication::setActiveWindow(&window);
  QEvent activation(QEvent::ActivationChange);
  QApplication::sendEvent(&window, &activation);
  EXPECT_EQ(window.TreeWidget()->font().pointSize(), normal);
  EXPECT_EQ(status->font().pointSize(), normal);
}

// The attribute page ("Selection") takes what the tree takes: a results line
// dropped there is added by the main window's command for its selected result.
TEST_F(ScenarioWindowTest, AResultsLineDroppedOnTheAttributePageIsAdded) {
  auto* page = window.findChild<QWidget*>(QStringLiteral("TabSheetAttributs"));
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(page->acceptDrops());
  int added = 0;
  editor.addSelectedResult = [&added] { ++added; };
  QMimeData verb;
  verb.setData(kMimeResultItem, QByteArray::fromStdString(EncodeResultsLineDrag({8, 3, "ponder"})));
  main.textLoaded = false;
  EXPECT_FALSE(window.DropOnPanel(&verb));
  main.textLoaded = true;
  EXPECT_TRUE(window.DropOnPanel(&verb));
  EXPECT_EQ(added, 1);
  // A relation line is refused, as by the tree.
  QMimeData relation;
  relation.setData(kMimeResultItem, QByteArray::fromStdString(EncodeResultsLineDrag({5, 3, "x"})));
  EXPECT_FALSE(window.DropOnPanel(&relation));
  EXPECT_EQ(added, 1);
}

}  // namespace
}  // namespace quilor::ui

namespace quilor::ui {
namespace {

// Lines of the results list dropped on the tree: lemma lists and class
// lists only, and only while a text is loaded; anything else is refused.
// What the user does in the view reaches the Scenario: a label edited in
// place renames its node, a branch opened or closed stays so, and the search
// field's Search finds the next line, or waits for a text.
TEST_F(ScenarioWindowTest, EditsInTheViewReachTheScenario) {
  QTreeWidget* view = window.TreeWidget();
  QTreeWidgetItem* first = view->topLevelItem(0);
  const int group = editor.Tree().TopLevel()[0];
  ASSERT_EQ(editor.Tree().Label(group), "Group 101");
  first->setText(0, "Harbour");
  EXPECT_EQ(editor.Tree().Label(group), "Harbour");
  EXPECT_TRUE(editor.Tree().Modified());
  QApplication::processEvents();
  first = view->topLevelItem(0);
  first->setExpanded(true);
  EXPECT_TRUE(editor.Tree().Node(editor.Tree().TopLevel()[0])->expanded);
  first->setExpanded(false);
  EXPECT_FALSE(editor.Tree().Node(editor.Tree().TopLevel()[0])->expanded);

  QLineEdit* field = nullptr;
  QPushButton* search = nullptr;
  for (QPushButton* b : window.findChildren<QPushButton*>())
    if (b->text() == MessageText(msg::kSearch)) search = b;
  for (QLineEdit* e : window.findChildren<QLineEdit*>())
    if (e->parentWidget() == search->parentWidget()) field = e;
  ASSERT_TRUE(field && search);
  view->setCurrentItem(view->topLevelItem(5));
  const int before = editor.Tree().Selected();
  search->click();  // nothing typed: nothing searched
  EXPECT_EQ(editor.Tree().Selected(), before);
  QTest::keyClicks(field, "word157");
  search->click();
  EXPECT_EQ(editor.Tree().Label(editor.Tree().Selected()), "word157");
  field->clear();
  QTest::keyClicks(field, "word13");
  QTest::keyClick(field, Qt::Key_Return);
  EXPECT_EQ(editor.Tree().Label(editor.Tree().Selected()), "word13");
}

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
