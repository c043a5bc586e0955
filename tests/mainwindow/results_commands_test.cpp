#include <gtest/gtest.h>

#include <QMimeData>
#include <QListView>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include "core/category.h"
#include "core/options.h"
#include "engine/selection.h"
#include "engine/word_list.h"
#include "ui/drag_formats.h"
#include "ui/main_window_port.h"
#include "mainwindow/results_commands.h"
#include "mainwindow/results_panel_widget.h"
#include "mainwindow/text_view_widget.h"
#include "ui/view_state.h"
#include "platform/text_encoding.h"
#include "ui/scenario_editor_port.h"
#include "ui_support/sample_views_fixture.h"

namespace quilor::ui {
namespace {

TEST(DragPayloads, RoundTripAndRefuseWhatTheyDoNotKnow) {
  ResultsLineDrag d{8, 1, "walk"}, back;
  ASSERT_TRUE(DecodeResultsLineDrag(EncodeResultsLineDrag(d), back));
  EXPECT_EQ(back.resultType, 8);
  EXPECT_EQ(back.classLevel, 1);
  EXPECT_EQ(back.name, "walk");
  // A name keeps its own TABs and is cut at 79 characters.
  ASSERT_TRUE(DecodeResultsLineDrag("1\t3\tgood\tday" + std::string(100, 'x'), back));
  EXPECT_EQ(back.name.size(), 79u);
  for (const char* bad :
       {"", "1\t2", "x\t1\tname", "1\t9\tname", "-1\t1\tname", "99999999999\t1\tn", "1\t1\t", "1 \t1\tname"})
    EXPECT_FALSE(DecodeResultsLineDrag(bad, back)) << bad;
  int position = 0;
  ASSERT_TRUE(DecodeTextWordDrag(EncodeTextWordDrag(42), position));
  EXPECT_EQ(position, 42);
  for (const char* bad : {"", "0", "-3", "12a", "+5", "123456789012"})
    EXPECT_FALSE(DecodeTextWordDrag(bad, position)) << bad;
  EXPECT_EQ(ClassLevelOfResultType(1, 4), 3);
  EXPECT_EQ(ClassLevelOfResultType(3, 4), 1);
  EXPECT_EQ(ClassLevelOfResultType(8, 4), 4);
}

class ResultsCommandsOnTheSample : public testing_support::SampleViewsTest {
 protected:
  void SetUp() override {
    SampleViewsTest::SetUp();
    panel_.SetScenarioEditor(&editor_);
  }
  // Shows result type `index` and clicks its first line.
  std::string PickFirstLine(int index) {
    panel_.SelectResultType(index);
    EXPECT_FALSE(panel_.Items().empty());
    panel_.ClickLine(0);
    return panel_.ItemName(0);
  }
  // The first word of the text whose category satisfies `want`; 0 when none.
  template <typename Want>
  int32_t FirstWordWhere(Want want) {
    for (int32_t p = 1; p <= TextWords.HighestPosition(); ++p)
      if (const TWordNode* n = TextWords.NodeAt(p); n && want(n->category.Category)) return p;
    return 0;
  }
  FakeScenarioEditor editor_;
};

// The popup of each line of the left list, its first result clicked: what
// it shows as "open Scenario, search in it, sort, alphabetical, tree, branches
// hidden, add" (1 shown or checked), with the editor open and then closed.
TEST_F(ResultsCommandsOnTheSample, ThePopupOffersWhatTheResultTypeAllows) {
  auto popup = [this](const ScenarioEditorPort* editor) {
    const TResultsPopupState s = ResultsPopupState(panel_, editor);
    std::string flags;
    for (bool f : {s.openScenarioVisible, s.searchInScenarioVisible, s.sortVisible, s.alphabeticalChecked,
                   s.treeVisible, s.branchesHiddenChecked, s.addVisible})
      flags += f ? '1' : '0';
    return flags;
  };
  // Style (the first line takes no type's rule), fields 1 and 2, references,
  // Scenario, relations, frequent and all categories, verbs, adjectives,
  // substantives.
  const std::vector<std::string> open{"0100001", "0000001", "0000001", "0000001", "0110100", "0000000",
                                      "0000000", "0000000", "0000001", "0000001", "0000001"};
  for (int index = 0; index < static_cast<int>(open.size()); ++index) {
    editor_.open = true;
    panel_.SelectResultType(index);
    if (!panel_.Items().empty()) panel_.ClickLine(0);
    EXPECT_EQ(popup(&editor_), open[static_cast<size_t>(index)]) << index;
    editor_.open = false;
    EXPECT_EQ(popup(&editor_), index == 4 ? "1010100" : "1000000") << index;
    EXPECT_EQ(popup(nullptr), index == 4 ? "0010100" : "0000000") << index;
  }
  // The Scenario's sort and branches are checked as they are.
  Options->Set(opt::SortAlphabetical, 1);
  panel_.SelectResultType(4);
  EXPECT_EQ(popup(&editor_), "1011100");
  Options->Set(opt::SortAlphabetical, 0);
}

TEST_F(ResultsCommandsOnTheSample, TheSelectedResultGoesToTheScenarioByItsKind) {
  // A verb lemma is a word of kind V.
  const std::string verb = PickFirstLine(8);
  ASSERT_FALSE(verb.empty());
  ASSERT_TRUE(AddSelectedResultToScenario(panel_, &editor_, false));
  ASSERT_TRUE(AddSelectedResultToScenario(panel_, &editor_, true));
  EXPECT_EQ(editor_.calls, (std::vector<std::string>{"AddWordInNewGroup " + ViewState.selection.firstTerm + " V",
                                                     "InsertWords " + ViewState.selection.firstTerm + " V"}));
  // A class of the fields list goes as a class of level 3.
  editor_.calls.clear();
  PickFirstLine(1);
  const std::string name = ViewState.selection.firstTerm;
  ASSERT_FALSE(name.empty());
  ASSERT_TRUE(AddSelectedResultToScenario(panel_, &editor_, false));
  ASSERT_TRUE(AddSelectedResultToScenario(panel_, &editor_, true));
  EXPECT_EQ(editor_.calls,
            (std::vector<std::string>{"SetPending " + name + " 3 ?", "AddPendingToNewGroup " + name,
                                      "SetPending " + name + " 3 ?", "AddPendingToSelectedGroup " + name}));
  // A closed editor takes nothing.
  editor_.calls.clear();
  editor_.open = false;
  EXPECT_FALSE(AddSelectedResultToScenario(panel_, &editor_, false));
  EXPECT_TRUE(editor_.calls.empty());
}

TEST_F(ResultsCommandsOnTheSample, TheWordUnderTheCursorIsAddedOrInsertedWithItsSubClass) {
  const int32_t noun = FirstWordWhere([](const TCategoryRecord& c) { return IsSubstantive(c); });
  const int32_t other = FirstWordWhere([](const TCategoryRecord& c) { return !IsSubstantive(c); });
  ASSERT_GT(noun, 0);
  ASSERT_GT(other, 0);
  Options->Set(opt::ScenarioOnAllCategories, 0);
  editor_.wordFound = "river";
  editor_.wordAtPosition = true;
  main_.messages.clear();
  ASSERT_TRUE(AddTextWordToScenario(&editor_, main_, noun, false));
  ASSERT_TRUE(AddTextWordToScenario(&editor_, main_, noun, true));
  EXPECT_EQ(editor_.calls,
            (std::vector<std::string>{"AddWordAtPosition " + std::to_string(noun), "AddPendingToNewGroup river",
                                      "AddWordAtPosition " + std::to_string(noun), "InsertWords river ? sub"}));
  EXPECT_TRUE(main_.messages.empty());
  // A word that is not a substantive counts only with the Scenario on every category.
  ASSERT_TRUE(AddTextWordToScenario(&editor_, main_, other, false));
  ASSERT_EQ(main_.messages.size(), 1u);
  EXPECT_NE(main_.messages[0].find("without reference"), std::string::npos);
  Options->Set(opt::ScenarioOnAllCategories, 1);
  ASSERT_TRUE(AddTextWordToScenario(&editor_, main_, other, false));
  EXPECT_EQ(main_.messages.size(), 1u);
  // Nothing while printing, or when no word is there.
  editor_.calls.clear();
  main_.printing = true;
  EXPECT_FALSE(AddTextWordToScenario(&editor_, main_, noun, false));
  EXPECT_TRUE(editor_.calls.empty());
  main_.printing = false;
  editor_.wordAtPosition = false;
  EXPECT_FALSE(AddTextWordToScenario(&editor_, main_, noun, false));
  EXPECT_EQ(editor_.calls, std::vector<std::string>{"AddWordAtPosition " + std::to_string(noun)});
  Options->Set(opt::ScenarioOnAllCategories, 0);
}

TEST_F(ResultsCommandsOnTheSample, ResultsLinesDragTheirNameAndTakeDroppedWords) {
  ResultsPanelWidget widget(panel_);
  widget.ResultTypeList()->setCurrentRow(8);  // Verbs
  QAbstractItemModel* model = widget.ResultsList()->model();
  ASSERT_GT(model->rowCount(), 1);
  std::unique_ptr<QMimeData> data(model->mimeData({model->index(1, 0)}));
  ASSERT_TRUE(data);
  ResultsLineDrag drag;
  ASSERT_TRUE(DecodeResultsLineDrag(data->data(kMimeResultItem).toStdString(), drag));
  EXPECT_EQ(drag.resultType, 8);
  EXPECT_EQ(drag.name, panel_.ItemName(1));
  EXPECT_TRUE(model->flags(model->index(1, 0)) & Qt::ItemIsDragEnabled);

  // A word of the text dropped on the list asks for its search; other data is refused.
  QSignalSpy dropped(&widget, &ResultsPanelWidget::textWordDropped);
  QMimeData word;
  word.setData(kMimeTextWord, "12");
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &word, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget.ResultsList()->viewport(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &word, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget.ResultsList()->viewport(), &drop);
  EXPECT_EQ(dropped.count(), 1);
  QMimeData text;
  text.setText("hello");
  QDropEvent other(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget.ResultsList()->viewport(), &other);
  EXPECT_EQ(dropped.count(), 1);
}

TEST_F(ResultsCommandsOnTheSample, TheTextPageExplainsTheClickedWordAndFollowsTheWheel) {
  TextViewWidget view;
  view.resize(600, 300);
  view.show();
  view.ForcerAffichage();
  ASSERT_TRUE(view.Page().HasWords());
  // Find a word on the page: the first point where the page answers.
  QPoint at;
  int32_t position = 0;
  for (int y = 5; y < 200 && at.isNull(); y += 4)
    for (int x = 5; x < 500 && at.isNull(); x += 4)
      if (const std::optional<TPageItem> hit = view.Page().WordAt(x, y); hit && hit->kind == kItemWord) {
        at = QPoint(x, y);
        position = hit->position;
      }
  ASSERT_FALSE(at.isNull());
  QSignalSpy place(&view, &TextViewWidget::placeText);
  ViewState.HitWordPosition = 0;
  QTest::mouseMove(view.ImageTexte(), at);
  EXPECT_EQ(ViewState.HitWordPosition, position);
  ASSERT_GE(place.count(), 1);
  EXPECT_EQ(place.last().at(0).toString(),
            QString::number(position) + "/" + QString::number(TextWords.HighestPosition()));
  ASSERT_FALSE(main_.messages.empty());  // the word's category in the status line
  // A click is a drag that ends where it began: the word is explained.
  QTest::mouseClick(view.ImageTexte(), Qt::LeftButton, {}, at);
  EXPECT_EQ(ViewState.DragWordPosition, position);
  EXPECT_FALSE(view.ImageTexte()->toolTip().isEmpty());
  EXPECT_TRUE(view.ImageTexte()->toolTip().startsWith(QString::fromStdString(Cp1252ToUtf8(DescribeWordAt(position)))));
  // The wheel moves the page by the wheel's delta, at most to the last word.
  const int32_t first = ViewState.CurrentWordPosition;
  view.Wheel(-120);
  EXPECT_GT(ViewState.CurrentWordPosition, first);
  view.Wheel(120000);
  EXPECT_EQ(ViewState.CurrentWordPosition, 1);
  main_.printing = true;
  view.Wheel(-120);
  EXPECT_EQ(ViewState.CurrentWordPosition, 1);
  main_.printing = false;
}

TEST_F(ResultsCommandsOnTheSample, AScenarioLineSaysWhenTheOpenScenarioIsModified) {
  panel_.SelectResultType(4);
  ASSERT_FALSE(panel_.Items().empty());
  panel_.ClickLine(0);
  EXPECT_EQ(panel_.Status(), "Ontology: your classification");
  editor_.modified = true;
  panel_.ClickLine(0);
  EXPECT_EQ(panel_.Status(), "This Scenario was modified: you should save it");
  editor_.open = false;
  panel_.ClickLine(0);
  EXPECT_EQ(panel_.Status(), "Ontology: your classification");
}

TEST_F(ResultsCommandsOnTheSample, AClickInTheScenarioListsMarginAsksToReduceOrExpand) {
  ResultsPanelWidget widget(panel_);
  widget.resize(300, 500);
  widget.show();
  QSignalSpy margin(&widget, &ResultsPanelWidget::treeMarginClicked);
  widget.ResultTypeList()->setCurrentRow(3);  // References: no tree
  QTest::mouseClick(widget.ResultsList()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(margin.count(), 0);
  widget.ResultTypeList()->setCurrentRow(4);  // the Scenario
  ASSERT_FALSE(panel_.Items().empty());
  QTest::mouseClick(widget.ResultsList()->viewport(), Qt::LeftButton, {}, QPoint(60, 5));
  EXPECT_EQ(margin.count(), 0);
  QTest::mouseClick(widget.ResultsList()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(margin.count(), 1);
}

}  // namespace
}  // namespace quilor::ui
