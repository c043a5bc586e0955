#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QScrollBar>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QTest>
#include <QTextEdit>

#include "core/file_queue.h"
#include "core/options.h"
#include "engine/selection.h"
#include "engine/word_list.h"
#include "mainwindow/context_window.h"
#include "mainwindow/copy_window.h"
#include "ui/desktop.h"
#include "ui/main_window_port.h"
#include "mainwindow/results_panel_widget.h"
#include "mainwindow/text_view_widget.h"
#include "ui/view_state.h"
#include "ui/scenario_editor_port.h"
#include "tests/support/stream_support.h"
#include "ui_support/engine_session.h"
#include "ui_support/sample_views_fixture.h"

namespace quilor::ui {
namespace {

using testing_support::EngineSession;
using testing_support::TempFolder;

// The editor open, every call recorded.
using OpenEditor = FakeScenarioEditor;

using ViewsOnTheSample = testing_support::SampleViewsTest;

TEST_F(ViewsOnTheSample, ResultsListShowsThePanelsLinesAndForwardsClicks) {
  ResultsPanelWidget widget(panel_);
  QAbstractItemModelTester tester(widget.ResultsList()->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
  widget.resize(300, 500);
  widget.show();
  ASSERT_EQ(widget.ResultTypeList()->count(), 11);
  widget.ResultTypeList()->setCurrentRow(3);  // References
  ASSERT_EQ(widget.ResultsList()->model()->rowCount(), static_cast<int>(panel_.Items().size()));
  ASSERT_GT(panel_.Items().size(), 0u);
  EXPECT_TRUE(widget.ActantBox()->isEnabled());
  const QRect first = widget.ResultsList()->visualRect(widget.ResultsList()->model()->index(0, 0));
  QTest::mouseClick(widget.ResultsList()->viewport(), Qt::LeftButton, {}, first.center());
  EXPECT_EQ(ViewState.selection.kind, kSelectClass);
  EXPECT_EQ(panel_.Explanation().rfind("I found ", 0), 0u);
  // Categories disable the actor boxes.
  widget.ResultTypeList()->setCurrentRow(6);
  EXPECT_FALSE(widget.ActantBox()->isEnabled());
  EXPECT_FALSE(widget.grab().isNull());
}

TEST_F(ViewsOnTheSample, DoubleClickSearchesTheNameInTheOpenEditorOnly) {
  panel_.SelectResultType(3);
  ASSERT_FALSE(panel_.Items().empty());
  panel_.DoubleClickLine(0);  // no editor: nothing
  OpenEditor editor;
  panel_.SetScenarioEditor(&editor);
  panel_.DoubleClickLine(0);
  const std::string name = panel_.Items()[0].substr(0, panel_.Items()[0].find('\t'));
  EXPECT_EQ(editor.searched, (std::vector<std::string>{name, name + "/next0"}));
  // The style lines have no name to search.
  panel_.SelectResultType(0);
  editor.searched.clear();
  panel_.DoubleClickLine(0);
  EXPECT_TRUE(editor.searched.empty());
}

// While a print runs, a double click on a line searches nothing.
TEST_F(ViewsOnTheSample, DoubleClickWhilePrintingSearchesNothing) {
  panel_.SelectResultType(3);
  ASSERT_FALSE(panel_.Items().empty());
  OpenEditor editor;
  panel_.SetScenarioEditor(&editor);
  main_.printing = true;
  panel_.DoubleClickLine(0);
  EXPECT_TRUE(editor.searched.empty());
  main_.printing = false;
  panel_.DoubleClickLine(0);
  EXPECT_FALSE(editor.searched.empty());
}

TEST_F(ViewsOnTheSample, TextViewDrawsThePageAndScrolls) {
  TextViewWidget view;
  view.resize(500, 300);
  view.show();
  view.ForcerAffichage();
  EXPECT_TRUE(view.Page().HasWords());
  EXPECT_EQ(ViewState.CurrentWordPosition, 1);
  EXPECT_EQ(view.ScrollBarTexte()->maximum(), TextWords.HighestPosition());
  view.Scroll(ScrollCode::kLineDown, 0);
  EXPECT_GT(ViewState.CurrentWordPosition, 1);
  view.Scroll(ScrollCode::kLineUp, 0);
  EXPECT_EQ(ViewState.CurrentWordPosition, 1);
}

// The scroll bar moves the text as its parts are pressed: an arrow by a
// line, the trough by a page, its ends to the first and the last words;
// dragging the thumb only says which word it is at.
TEST_F(ViewsOnTheSample, TheScrollBarMovesTheTextByLinePageAndEnd) {
  TextViewWidget view;
  view.resize(500, 120);
  view.show();
  view.ForcerAffichage();
  QStringList statuses;
  QObject::connect(&view, &TextViewWidget::statusText, [&](const QString& text) { statuses << text; });
  QScrollBar* bar = view.ScrollBarTexte();
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  const int32_t line = ViewState.CurrentWordPosition;
  EXPECT_GT(line, 1);
  bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(ViewState.CurrentWordPosition, 1);
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  const int32_t page = ViewState.CurrentWordPosition;
  EXPECT_GT(page, line);
  bar->triggerAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_LT(ViewState.CurrentWordPosition, page);
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(ViewState.CurrentWordPosition, TextWords.HighestPosition());
  bar->triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_LE(ViewState.CurrentWordPosition, 1);
  const int32_t before = ViewState.CurrentWordPosition;
  bar->setSliderPosition(40);
  bar->triggerAction(QAbstractSlider::SliderMove);
  EXPECT_EQ(ViewState.CurrentWordPosition, before);
  ASSERT_FALSE(statuses.isEmpty());
  EXPECT_TRUE(statuses.back().endsWith(QStringLiteral("40"))) << statuses.back().toStdString();
}

TEST(CopyWindowWidget, CopyWithNothingSelectedTakesEverythingAndTheScenarioCommandsNeedTheEditor) {
  TextWords.Clear();
  TWordCategoryData d;
  for (int i = 1; i <= 30; ++i) TextWords.Append(("w" + std::to_string(i)).c_str(), " ", 0, 1, i, &d);
  ScopedScriptedDesktop desktop;
  CopyWindow window;
  window.SetChosenWordPosition(12);
  window.ChargerTexteSelectionne(false);
  EXPECT_EQ(window.RichEdit()->textCursor().position(), window.Content().caretOffset);
  window.Copy();
  EXPECT_EQ(desktop.desktop.clipboard, window.Content().Joined());
  EXPECT_TRUE(window.RichEdit()->textCursor().hasSelection());
  // No Scenario editor: add and insert stay disabled and do nothing.
  window.UpdateCommands();
  EXPECT_FALSE(window.AddAction()->isEnabled());
  EXPECT_FALSE(window.InsertAction()->isEnabled());
  EXPECT_FALSE(window.SearchAction()->isEnabled());
  TextWords.Clear();
}

TEST(CopyWindowWidget, TheSelectedWordGoesToTheScenarioAsAKey) {
  TextWords.Clear();
  TWordCategoryData d;
  TextWords.Append("River", " ", 0, 1, 1, &d);
  TextWords.Append("banks", " ", 0, 1, 2, &d);
  OpenEditor editor;
  CopyWindow window;
  window.SetScenarioEditor(&editor);
  window.ChargerTexteSelectionne(false);
  QTextCursor c = window.RichEdit()->textCursor();
  c.setPosition(1);
  c.setPosition(6, QTextCursor::KeepAnchor);
  window.RichEdit()->setTextCursor(c);
  window.UpdateCommands();
  EXPECT_TRUE(window.AddAction()->isEnabled());
  window.AddToScenario();
  window.InsertIntoScenario();
  EXPECT_EQ(editor.added, std::vector<std::string>{"river?"});
  EXPECT_EQ(editor.inserted, std::vector<std::string>{"river?"});
  TextWords.Clear();
}

TEST(ContextWindowWidget, ShowsTheDocumentAndItsAddress) {
  TempFolder folder;
  TextWords.Clear();
  TWordCategoryData d;
  for (int i = 1; i <= 60; ++i) TextWords.Append(("w" + std::to_string(i)).c_str(), " ", 0, 1, i, &d);
  FileQueue.Clear();
  FileQueue.Add(folder.Write("doc.txt", "x").c_str());
  folder.Write("doc.url", "[InternetShortcut]\nURL=https://example.org/\n");
  ContextWindow window;
  window.resize(500, 300);
  window.show();
  window.AfficherLeContexte(40);
  EXPECT_EQ(window.Model().FirstWordPosition(), 30);
  EXPECT_EQ(window.UrlField()->text(), "https://example.org/");
  EXPECT_TRUE(window.WebAction()->isEnabled());
  EXPECT_FALSE(window.OpenWithProgramAction()->isEnabled());  // one document
  EXPECT_FALSE(window.SearchAction()->isEnabled());
  window.close();
  EXPECT_EQ(window.Model().HighlightedPosition(), 0);
  FileQueue.Clear();
  TextWords.Clear();
}

}  // namespace
}  // namespace quilor::ui
