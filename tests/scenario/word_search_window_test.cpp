#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QMimeData>
#include <QDropEvent>
#include <QCoreApplication>

#include <cstdlib>
#include <memory>

#include "../mainwindow/main_window_fixture.h"
#include "core/options.h"
#include "engine/ontology_engine.h"
#include "engine/ontology_test_support.h"
#include "engine/word_list.h"
#include "app/install_windows_qt.h"
#include "ui/main_window_port.h"
#include "ui/drag_formats.h"
#include "scenario/scenario_editor_window.h"
#include "scenario/word_search_window.h"

namespace quilor::ui {
namespace {

TEST(WordSearchWindowView, ShowsTheMeaningsAndForwardsChecks) {
  auto saved = std::move(OntologyEngine);
  OntologyEngine = std::make_unique<TOntologyEngine>();
  ASSERT_TRUE(OntologyEngine->LoadBytes(WriteSemanticDictionary(quilor::testing_support::MakeMiniDictionary())).Ok());
  ScenParser().InitParser();
  ScenParser().lexiconKnows = [](const std::string&) { return false; };
  {
    FakeMainWindow main;
    TDlgRechMot logic(&main, [] { return nullptr; });
    WordSearchWindow window(logic);
    EXPECT_FALSE(window.ButtonChercher()->isEnabled());
    window.EditUnMot()->setEditText("bank");
    EXPECT_EQ(logic.FieldText(), "bank");
    QListWidget* list = window.ListBoxSens();
    ASSERT_EQ(list->count(), static_cast<int>(logic.Lines().size()));
    EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
    EXPECT_TRUE(window.ButtonChercher()->isEnabled());
    list->item(3)->setCheckState(Qt::Checked);
    EXPECT_EQ(logic.CheckedMeaning(), 4);
    EXPECT_EQ(list->item(0)->checkState(), Qt::Unchecked);
    window.RadioButtonClasse()->click();
    EXPECT_TRUE(logic.ClassMode());
    EXPECT_FALSE(window.CheckBoxMotEntier()->isEnabled());
    EXPECT_FALSE(window.CheckBoxDepuisDebut()->isEnabled());
    window.RadioButtonAjouter()->click();
    EXPECT_TRUE(logic.AddMode());
    EXPECT_TRUE(window.RadioButtonAjouter()->isChecked());
    EXPECT_FALSE(window.RadioButtonInserer()->isChecked());
    window.resize(520, 420);
    if (const char* shot = std::getenv("QUILOR_WORD_SEARCH_SHOT")) window.grab().save(QString::fromLocal8Bit(shot));
  }
  ScenParser().lexiconKnows = nullptr;
  ScenParser().InitParser();
  OntologyEngine = std::move(saved);
}

// Enter in the field searches only when the Search button would: never
// with an empty field.
TEST(WordSearchWindowView, EnterSearchesOnlyWhenSearchIsEnabled) {
  FakeMainWindow main;
  TDlgRechMot logic(&main, [] { return nullptr; });
  WordSearchWindow window(logic);
  ASSERT_FALSE(window.ButtonChercher()->isEnabled());
  QTest::keyClick(window.EditUnMot(), Qt::Key_Return);
  EXPECT_EQ(main.textTabShown, 0);
  window.EditUnMot()->setEditText("zzqx");
  ASSERT_TRUE(window.ButtonChercher()->isEnabled());
  QTest::keyClick(window.EditUnMot(), Qt::Key_Return);
  EXPECT_EQ(main.textTabShown, 1);
  EXPECT_EQ(main.messages.size(), 1u);
}

// Back in word mode, Search is offered again only with a word and a text;
// the link with the Scenario is kept in the options; Close keeps the mode.
TEST(WordSearchWindowView, ModesAndTheScenarioLinkAreKept) {
  TOptionsRecord options;
  options.ResetSettings();
  TOptionsRecord* saved = Options;
  Options = &options;
  {
    FakeMainWindow main;
    TDlgRechMot logic(&main, [] { return nullptr; });
    logic.FormCreate();
    logic.EditUnMotChange("harbour");
    logic.RadioButtonClasseClick();
    logic.RadioButtonMotClick();
    EXPECT_TRUE(logic.SearchEnabled());
    main.textLoaded = false;
    logic.RadioButtonMotClick();
    EXPECT_FALSE(logic.SearchEnabled());
    main.textLoaded = true;
    logic.EditUnMotChange("");
    logic.RadioButtonMotClick();
    EXPECT_FALSE(logic.SearchEnabled());
    for (const bool on : {false, true}) {
      logic.SetLinkScenario(on);
      EXPECT_EQ(logic.LinkScenario(), on);
      EXPECT_EQ(options.Switch(opt::WordSearchLinkScenario), on);
    }
    logic.SetAddMode(true);
    logic.FormClose();
    EXPECT_TRUE(options.Switch(opt::WordSearchAdd));
    EXPECT_FALSE(logic.LineChecked(-1));
    EXPECT_FALSE(logic.LineChecked(100000));
  }
  Options = saved;
}

// A results line dragged onto the window fills the field with its name; a
// drag the window cannot use is not taken, nor anything while no text is shown.
TEST(WordSearchWindowView, ALineDroppedFromTheResultsFillsTheField) {
  FakeMainWindow main;
  TDlgRechMot logic(&main, [] { return nullptr; });
  WordSearchWindow window(logic);
  const auto drop = [&](QMimeData& data) {
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &dropped);
    return std::make_pair(enter.isAccepted(), dropped.isAccepted());
  };
  QMimeData line;
  line.setData(kMimeResultItem, QByteArray::fromStdString(EncodeResultsLineDrag({1, 1, "harbour"})));
  EXPECT_EQ(drop(line), std::make_pair(true, true));
  EXPECT_EQ(logic.FieldText(), "harbour");
  QMimeData other;
  other.setText("harbour");
  EXPECT_EQ(drop(other), std::make_pair(false, false));
  QMimeData broken;
  broken.setData(kMimeResultItem, "no line");
  EXPECT_FALSE(drop(broken).second);
  QMimeData word;
  word.setData(kMimeTextWord, QByteArray::fromStdString(EncodeTextWordDrag(-5)));
  EXPECT_EQ(drop(word), std::make_pair(true, false));  // no word at that place
  main.textLoaded = false;
  line.setData(kMimeResultItem, QByteArray::fromStdString(EncodeResultsLineDrag({1, 1, "river"})));
  EXPECT_EQ(drop(line), std::make_pair(false, false));
  EXPECT_EQ(logic.FieldText(), "harbour");
}

}  // namespace
}  // namespace quilor::ui

namespace quilor::ui::testing_support {
namespace {

// The search command opens the window; a found word is shown in the text view.
TEST_F(MainWindowTest, SearchCommandOpensTheWordSearchWhichShowsTheWordFound) {
  TVekEditForm& w = Start();
  InstallWindows(w);
  EXPECT_FALSE(w.Command(CommandId::MenuChercher)->isEnabled());
  ASSERT_TRUE(Open(sample_));
  ASSERT_TRUE(w.Command(CommandId::MenuChercher)->isEnabled());
  w.PageControlTexte()->setCurrentIndex(1);
  w.Command(CommandId::MenuChercher)->trigger();
  WordSearchWindow* search = OpenWordSearch();
  ASSERT_NE(search, nullptr);
  // A tool window of the main window: it stays above it.
  EXPECT_EQ(search->windowType(), Qt::Tool);
  EXPECT_EQ(search->parentWidget(), &w);
  search->EditUnMot()->setEditText("hale");
  search->CheckBoxMotEntier()->setChecked(true);
  search->ButtonChercher()->click();
  EXPECT_EQ(w.PageControlTexte()->currentWidget(), w.TextContainer());
  const TWordNode* first = TextWords.Bookmark(1);
  ASSERT_NE(first, nullptr);
  EXPECT_LE(first->position, TextWords.Bookmark(7)->position);
  EXPECT_STREQ(TextWords.Bookmark(7)->text, "Hale");
  if (const char* shot = std::getenv("QUILOR_WORD_SEARCH_MAIN_SHOT")) {
    w.resize(1100, 700);
    w.show();
    search->move(600, 300);
    w.grab().save(QString::fromLocal8Bit(shot));
    search->grab().save(QString::fromLocal8Bit(shot) + ".search.png");
  }
  search->close();
  EXPECT_EQ(OpenWordSearch(), nullptr);
  // The Scenario editor's "create item" opens the word search on the selected label.
  ScenarioEditor editor(&w);
  ScenarioEditorWindow editorWindow(editor);
  const int group = editor.Tree().AddGroup(0, "weather", true);
  editor.Tree().Select(editor.Tree().AddItem(group, "rain", '?'));
  editorWindow.Refresh();
  QAction* createItem = nullptr;
  for (QAction* a : editorWindow.findChildren<QAction*>())
    if (a->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_I)) createItem = a;
  ASSERT_NE(createItem, nullptr);
  createItem->trigger();
  ASSERT_NE(OpenWordSearch(), nullptr);
  EXPECT_EQ(OpenWordSearch()->Logic().FieldText(), "rain");
  EXPECT_FALSE(OpenWordSearch()->Logic().Lines().empty());
  CloseWindow();
  EXPECT_EQ(OpenWordSearch(), nullptr);
  EXPECT_FALSE(OpenWordSearchWith("rain"));
}

}  // namespace
}  // namespace quilor::ui::testing_support

#include <QMimeData>
#include <QTextCursor>
#include <QTextEdit>

#include "mainwindow/copy_window.h"
#include "ui/drag_formats.h"
#include "mainwindow/results_panel_widget.h"
#include "ui/selection_ops.h"
#include "ui/view_state.h"
#include "ui_support/engine_session.h"

namespace quilor::ui {
namespace {

using quilor::testing_support::EngineSession;

// A results line dragged onto the window fills its field with the line's item name.
TEST(WordSearchWindowDrops, AResultsLineAndAWordOfTheText) {
  EngineSession session;
  ASSERT_TRUE(session.Started());
  FakeMainWindow main;
  SetViewMainWindow(&main);
  ASSERT_TRUE(session.Analyse({EngineSession::SamplePath("sample.txt")}));
  TResultsPanel panel({AnalysisResults, TextWords, FileQueue, ViewState});
  panel.RefreshAfterAnalysis();
  ASSERT_FALSE(panel.Items().empty());
  ResultsListModel model(panel);
  std::unique_ptr<QMimeData> data(model.mimeData({model.index(0)}));
  ASSERT_NE(data, nullptr);
  ASSERT_TRUE(data->hasFormat(kMimeResultItem));
  ResultsLineDrag line;
  ASSERT_TRUE(DecodeResultsLineDrag(data->data(kMimeResultItem).toStdString(), line));
  const std::string name = line.name;
  EXPECT_FALSE(name.empty());
  EXPECT_EQ(name.find('\t'), std::string::npos);
  EXPECT_EQ(panel.Items()[0].rfind(name, 0), 0u);

  TDlgRechMot logic(&main, [] { return nullptr; });
  WordSearchWindow window(logic);
  EXPECT_TRUE(window.DropMime(*data));
  EXPECT_EQ(logic.FieldText(), name);
  EXPECT_EQ(window.EditUnMot()->currentText().toStdString(), name);

  // A word of the text view, by its position.
  int32_t hale = 0;
  for (TWordNode* n = TextWords.First(); n != TextWords.Tail(); n = TWordList::NextNode(n))
    if (n->text && std::string(n->text) == "Hale") hale = n->position;
  EXPECT_EQ(WordTextAt(hale), "Hale");
  QMimeData word;
  word.setData(kMimeTextWord, QByteArray::number(hale));
  EXPECT_TRUE(window.DropMime(word));
  EXPECT_EQ(logic.FieldText(), "Hale");

  // The copy window's search sends its selection, at most 78 characters.
  CopyWindow copy;
  EXPECT_FALSE(copy.SearchAction()->isEnabled());
  std::vector<std::string> searched;
  copy.SetSearchWord([&](const std::string& text) { searched.push_back(text); });
  EXPECT_TRUE(copy.SearchAction()->isEnabled());
  copy.RichEdit()->setPlainText(QString(100, QChar('w')));
  QTextCursor all = copy.RichEdit()->textCursor();
  all.select(QTextCursor::Document);
  copy.RichEdit()->setTextCursor(all);
  copy.SearchAction()->trigger();
  ASSERT_EQ(searched.size(), 1u);
  EXPECT_EQ(searched[0], std::string(78, 'w'));
  SetViewMainWindow(nullptr);
  ViewState.Reset();
}

}  // namespace
}  // namespace quilor::ui
