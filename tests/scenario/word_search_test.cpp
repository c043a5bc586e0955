#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "core/name_index.h"
#include "engine/ontology_engine.h"
#include "core/options.h"
#include "engine/selection.h"
#include "engine/word_list.h"
#include "engine/ontology_test_support.h"
#include "ui/desktop.h"
#include "ui/main_window_port.h"
#include "ui/recording_canvas.h"
#include "ui/view_state.h"
#include "platform/message_ui.h"
#include "ui/scenario_editor_port.h"
#include "scenario/word_search.h"
#include "ui_support/engine_session.h"

namespace quilor::ui {
namespace {

using testing_support::EngineSession;

// Records the entry points the word search uses.
class RecordingEditor : public ScenarioEditorPort {
 public:
  bool open = true;
  bool groupSelected = true;
  std::vector<std::string> calls;

  bool IsOpen() const override { return open; }
  bool IsModified() const override { return false; }
  void Open() override { calls.push_back("Open"); }
  void SetPending(const std::string& name, int level, char kind) override {
    calls.push_back("SetPending " + name + " " + std::to_string(level) + kind);
  }
  void AddPendingToNewGroup() override { calls.push_back("AddPendingToNewGroup"); }
  void AddPendingToSelectedGroup() override { calls.push_back("AddPendingToSelectedGroup"); }
  bool AddWordInNewGroup(const std::string& word, char kind) override {
    calls.push_back("AddWordInNewGroup " + word + kind);
    return true;
  }
  bool InsertWords(const std::string& word, char kind, bool sub) override {
    calls.push_back("InsertWords " + word + kind + (sub ? " sub" : ""));
    return true;
  }
  bool AddWordAtPosition(int) override { return false; }
  std::string PendingName() const override { return {}; }
  char PendingKind() const override { return '?'; }
  void SearchName(const std::string&) override {}
  bool FindNodeByLabel(const std::string& text, bool groupsOnly) override {
    calls.push_back("FindNodeByLabel " + text + (groupsOnly ? " groups" : ""));
    return true;
  }
  bool FindNextNode(const std::string&, int&, bool) override { return false; }
  void SetSearchText(const std::string&) override {}
  bool OpenScenarioByName(const std::string&) override { return false; }
  bool SelectEnclosingGroup() override {
    calls.push_back("SelectEnclosingGroup");
    return groupSelected;
  }
  void CreateOrSelectGroup(const std::string& name, int position, bool asChild) override {
    calls.push_back("CreateOrSelectGroup " + name + " " + std::to_string(position) + (asChild ? " child" : ""));
  }
  void ExpandSelected() override { calls.push_back("ExpandSelected"); }
  bool NodeSelected() const override { return groupSelected; }
  void SelectParent() override {}
  void BeginUpdateTreeView() override {}
  void EndUpdateTreeView() override {}
  void SortTree() override {}
};

int CheckedCount(const TDlgRechMot& dialog) {
  int n = 0;
  for (size_t i = 0; i < dialog.Lines().size(); ++i) n += dialog.LineChecked(static_cast<int>(i)) ? 1 : 0;
  return n;
}

int LineStarting(const TDlgRechMot& dialog, const std::string& start) {
  for (size_t i = 0; i < dialog.Lines().size(); ++i)
    if (dialog.Lines()[i].shown.rfind(start, 0) == 0) return static_cast<int>(i);
  return -1;
}

// The meanings of the small ontology: "bank" has a money and a river reading.
class WordSearchMeanings : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = std::move(OntologyEngine);
    OntologyEngine = std::make_unique<TOntologyEngine>();
    ASSERT_TRUE(OntologyEngine->LoadBytes(WriteSemanticDictionary(testing_support::MakeMiniDictionary())).Ok());
    ScenParser().InitParser();
    ScenParser().lexiconKnows = [](const std::string&) { return false; };
  }
  void TearDown() override {
    ScenParser().lexiconKnows = nullptr;
    ScenParser().InitParser();
    OntologyEngine = std::move(saved_);
  }
  std::unique_ptr<TOntologyEngine> saved_;
  ScopedScriptedUi ui_;
  ScopedScriptedDesktop desktop_;
  FakeMainWindow main_;
  RecordingEditor editor_;
  TDlgRechMot dialog_{&main_, [this] { return &editor_; }};
};

TEST_F(WordSearchMeanings, TheSenseChosenLastComesFirstAndAloneChecked) {
  dialog_.EditUnMotChange("bank");
  ASSERT_GE(dialog_.Lines().size(), 6u);
  EXPECT_EQ(dialog_.Lines()[0].shown, "bank = bank (bank_group) ");
  EXPECT_EQ(CheckedCount(dialog_), 1);
  EXPECT_EQ(dialog_.CheckedMeaning(), 1);
  EXPECT_TRUE(dialog_.ControlsEnabled());
  EXPECT_TRUE(dialog_.FromTop());
  // The user checks the river sense: it alone is checked, and it is preferred next time.
  const int river = LineStarting(dialog_, "bank = riverbank");
  ASSERT_GT(river, 0);
  dialog_.ListBoxSensClickCheck(river, true);
  EXPECT_EQ(CheckedCount(dialog_), 1);
  EXPECT_TRUE(dialog_.LineChecked(river));
  EXPECT_EQ(dialog_.CheckedMeaning(), river + 1);
  dialog_.EditUnMotChange("bank");
  EXPECT_EQ(dialog_.Lines()[0].shown, "bank = riverbank (slope) ");
  EXPECT_TRUE(dialog_.LineChecked(0));
  EXPECT_EQ(CheckedCount(dialog_), 1);
  // Unchecking leaves no meaning; an empty field disables the controls.
  dialog_.ListBoxSensClickCheck(0, false);
  EXPECT_EQ(dialog_.CheckedMeaning(), 0);
  EXPECT_EQ(CheckedCount(dialog_), 0);
  // The word search's switch shows a word without operator with "+".
  Options->Set(opt::WordSearchSwitch553, 1);
  dialog_.EditUnMotChange("bank, dog");
  EXPECT_EQ(dialog_.Lines().front().line.op, '+');
  EXPECT_EQ(dialog_.Lines().back().line.op, ',');
  Options->Set(opt::WordSearchSwitch553, 0);
  dialog_.EditUnMotChange("bank");
  EXPECT_EQ(dialog_.Lines().front().line.op, ' ');
  dialog_.EditUnMotChange("");
  EXPECT_FALSE(dialog_.ControlsEnabled());
  EXPECT_FALSE(dialog_.SearchEnabled());
  EXPECT_TRUE(dialog_.Lines().empty());
}

TEST_F(WordSearchMeanings, NumbersAreSplitAsTheOptionsNormaliseThem) {
  // With numbers normalised, the analysis keeps "3.5" one word: so does the search.
  Options->Set(opt::Normalisation, uint8_t{1});
  dialog_.EditUnMotChange("3.5");
  ASSERT_EQ(ScenParser().WordCount(), 1);
  EXPECT_EQ(ScenParser().Words()[0].text, "3.5");
  Options->Set(opt::Normalisation, uint8_t{0});
  dialog_.EditUnMotChange("3.5");
  EXPECT_EQ(ScenParser().WordCount(), 2);
}

TEST_F(WordSearchMeanings, AddingAClassUsesItsNameNeverTheDisplayedLine) {
  dialog_.EditUnMotChange("bank");
  dialog_.RadioButtonClasseClick();
  // Insert mode with Subclassify: the class goes into a sub-group of the selected group.
  dialog_.SetAddMode(false);
  dialog_.SetSubclassify(true);
  dialog_.ButtonInsererClick();
  EXPECT_EQ(editor_.calls,
            (std::vector<std::string>{"SetPending bank 1?", "SelectEnclosingGroup", "CreateOrSelectGroup bank -1 child",
                                      "AddPendingToSelectedGroup", "ExpandSelected"}));
  EXPECT_FALSE(Options->Switch(opt::WordSearchAdd));
  // A level-2 line in add mode: a new group; the choice is stored.
  editor_.calls.clear();
  const int group = LineStarting(dialog_, "> bank_group");
  ASSERT_GT(group, 0);
  dialog_.ListBoxSensClickCheck(group, true);
  dialog_.SetAddMode(true);
  dialog_.ButtonInsererClick();
  EXPECT_EQ(editor_.calls,
            (std::vector<std::string>{"SetPending bank_group 2?", "AddPendingToNewGroup", "ExpandSelected"}));
  EXPECT_TRUE(Options->Switch(opt::WordSearchAdd));
  // Insert mode without a group selected: a new group too.
  editor_.calls.clear();
  editor_.groupSelected = false;
  dialog_.SetAddMode(false);
  dialog_.ButtonInsererClick();
  EXPECT_EQ(editor_.calls, (std::vector<std::string>{"SetPending bank_group 2?", "SelectEnclosingGroup",
                                                     "AddPendingToNewGroup", "ExpandSelected"}));
  // No checked meaning: a beep and nothing else.
  editor_.calls.clear();
  dialog_.ListBoxSensClickCheck(group, false);
  dialog_.ButtonInsererClick();
  EXPECT_TRUE(editor_.calls.empty());
  EXPECT_EQ(desktop_.desktop.beeps, 1);
}

TEST_F(WordSearchMeanings, WordModeAddsTheTypedWordAndAClosedEditorOpensFirst) {
  dialog_.EditUnMotChange("Sea Bank");
  dialog_.SetSubclassify(false);
  dialog_.ButtonInsererClick();
  dialog_.SetAddMode(true);
  dialog_.ButtonInsererClick();
  EXPECT_EQ(editor_.calls, (std::vector<std::string>{"InsertWords sea_bank?", "AddWordInNewGroup sea_bank?"}));
  editor_.calls.clear();
  editor_.open = false;
  dialog_.ButtonInsererClick();
  EXPECT_EQ(editor_.calls, (std::vector<std::string>{"Open"}));
  // Without an editor nothing happens.
  TDlgRechMot alone(&main_, [] { return nullptr; });
  alone.EditUnMotChange("bank");
  alone.ButtonInsererClick();
}

TEST_F(WordSearchMeanings, AScenarioLineIsSearchedAsItsGroupAndNeverAdded) {
  GroupNumbering.counter = 0;
  ClassFileList file;
  bool damaged = false;
  ASSERT_TRUE(ParseClassFileText(file, "G#0V\t1\tPets\r\n0#1#\tcat\tPets\r\n", damaged));
  OntologyEngine->LoadScenario(file, false);
  Options->Set(opt::WordSearchLinkScenario, 1);
  dialog_.EditUnMotChange("cat");
  ASSERT_FALSE(dialog_.Lines().empty());
  EXPECT_EQ(dialog_.Lines()[0].shown, "cat = pets (Scenario)");
  EXPECT_EQ(MeaningName(dialog_.Lines()[0].line), "pets");
  dialog_.RadioButtonClasseClick();
  dialog_.ButtonInsererClick();
  EXPECT_TRUE(editor_.calls.empty());
  EXPECT_EQ(desktop_.desktop.beeps, 1);
  // The search selects the group in the editor and the Scenario line of the results.
  dialog_.ButtonChercherClick();
  EXPECT_EQ(editor_.calls, (std::vector<std::string>{"FindNodeByLabel pets groups"}));
  EXPECT_EQ(main_.shownTypes, (std::vector<int>{4}));
  EXPECT_EQ(main_.selectedTags, (std::vector<uint32_t>{1u}));
  EXPECT_EQ(ViewState.selection.firstTerm, "pets");
}

TEST(WordSearchLemma, TheScenarioClassOfAVerbIsFoundByItsLemma) {
  TStringHashIndex* saved = VerbIndex;
  TStringHashIndex verbs(0, true, 2, 2);
  ASSERT_TRUE(verbs.ready);
  VerbIndex = &verbs;
  ASSERT_TRUE(verbs.AddNameIfAbsent("walk"));
  const int entry = verbs.FindNameEntry("walk");
  ASSERT_GT(entry, 0);
  verbs.SetClassCell(entry, 12);
  MeaningLine line;
  line.category.MajorClass = kClassVerb;
  line.text = "walked (Verb \"walk\") ";
  line.className = "walk";
  EXPECT_EQ(IndexClassOfLine(line), 12u);
  line.className = line.text;  // the displayed line is no lemma
  EXPECT_EQ(IndexClassOfLine(line), 0u);
  line.category.MajorClass = kClassSubstantive;
  line.className = "walk";
  EXPECT_EQ(IndexClassOfLine(line), 0u);
  VerbIndex = saved;
}

TEST(WordSearchDrawing, OperatorBranchAndScenarioColours) {
  RecordingCanvas canvas;
  TScenParser::Record record;
  record.line.op = '+';
  record.line.level = 2;
  record.shown = "> slope";
  DrawMeaningLine(canvas, Rect{0, 0, 300, 16}, record, false);
  std::vector<DrawOp> lines, texts;
  for (const DrawOp& op : canvas.Ops()) (op.kind == DrawOp::kLine ? lines : texts).push_back(op);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "+");
  EXPECT_EQ(texts[0].points[0].x, 2);
  // The branch: from the top to the middle at 20 pixels, then 20 pixels across; the text after it.
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].points, (std::vector<Point>{{20, 0}, {20, 8}}));
  EXPECT_EQ(lines[1].points, (std::vector<Point>{{20, 8}, {40, 8}}));
  EXPECT_EQ(texts[1].points[0].x, 40);
  EXPECT_EQ(texts[1].font.colour, kBlack);
  // A Scenario line: blue, yellow when selected; a level-1 line's text 6 pixels after the operator.
  RecordingCanvas scenario;
  record.line.level = 4;
  DrawMeaningLine(scenario, Rect{0, 0, 300, 16}, record, true);
  ASSERT_EQ(scenario.Ops().size(), 2u);
  EXPECT_EQ(scenario.Ops()[1].font.colour, MakeRgb(255, 255, 0));
  EXPECT_EQ(scenario.Ops()[1].points[0].x, 2 + 7 + 6);
  RecordingCanvas plain;
  DrawMeaningLine(plain, Rect{0, 0, 300, 16}, record, false);
  EXPECT_EQ(plain.Ops()[1].font.colour, MakeRgb(0, 0, 255));
}

// The search in an analysed text.
class WordSearchOnTheSample : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(session_.Started());
    ViewState.Reset();
    ViewState.selection.Clear();
    SetViewMainWindow(&main_);
    Options->Set(opt::ThresholdKind, 0);
    ASSERT_TRUE(session_.Analyse({EngineSession::SamplePath("sample.txt")}));
    ScenParser().InitParser();
  }
  void TearDown() override {
    SetViewMainWindow(nullptr);
    ViewState.selection.Clear();
    ViewState.Reset();
  }
  std::string WordAt(int32_t position) {
    for (TWordNode* n = TextWords.First(); n != TextWords.Tail(); n = TWordList::NextNode(n))
      if (n->position == position) return n->text ? n->text : "";
    return {};
  }
  EngineSession session_;
  ScopedScriptedDesktop desktop_;
  FakeMainWindow main_;
  RecordingEditor editor_;
  TDlgRechMot dialog_{&main_, [this] { return &editor_; }};
};

TEST_F(WordSearchOnTheSample, SuccessiveSearchesGoOnThenStartAgainFromTheTop) {
  dialog_.EditUnMotChange("The");
  ASSERT_TRUE(dialog_.SearchEnabled());
  std::vector<int32_t> found;
  for (int i = 0; i < 40 && main_.messages.empty(); ++i) dialog_.ButtonChercherClick();
  found = main_.positions;
  ASSERT_GE(found.size(), 3u);
  EXPECT_TRUE(std::is_sorted(found.begin(), found.end()));
  EXPECT_EQ(std::adjacent_find(found.begin(), found.end()), found.end());
  for (int32_t p : found) EXPECT_EQ(WordAt(p).substr(0, 3) == "the" || WordAt(p).substr(0, 3) == "The", true) << p;
  ASSERT_EQ(main_.messages.size(), 1u);
  EXPECT_EQ(main_.messages[0], "I can't find (anymore) \"the\" in this text.");
  EXPECT_EQ(desktop_.desktop.beeps, 1);
  EXPECT_TRUE(dialog_.FromTop());
  EXPECT_GE(main_.textTabShown, 1);
  EXPECT_EQ(dialog_.History(), (std::vector<std::string>{"the"}));
  EXPECT_EQ(WorkContext->SearchKeys[0], "the");
  // The next search starts from the top again.
  main_.positions.clear();
  dialog_.ButtonChercherClick();
  ASSERT_EQ(main_.positions.size(), 1u);
  EXPECT_EQ(main_.positions[0], found[0]);
  EXPECT_FALSE(dialog_.FromTop());
}

TEST_F(WordSearchOnTheSample, WholeWordSearchIgnoresCase) {
  dialog_.EditUnMotChange("hale");
  dialog_.SetWholeWord(true);
  dialog_.ButtonChercherClick();
  ASSERT_EQ(main_.positions.size(), 1u);
  EXPECT_EQ(WordAt(main_.positions[0]), "Hale");
  // A whole word is not a beginning: "hal" finds nothing.
  dialog_.EditUnMotChange("hal");
  dialog_.SetWholeWord(true);
  dialog_.ButtonChercherClick();
  EXPECT_EQ(main_.positions.size(), 1u);
  EXPECT_EQ(main_.messages.size(), 1u);
  // Nothing while printing or without a text.
  main_.printing = true;
  dialog_.ButtonChercherClick();
  EXPECT_EQ(main_.messages.size(), 1u);
}

TEST_F(WordSearchOnTheSample, AVerbLineSelectsAndAddsItsLemma) {
  dialog_.EditUnMotChange("walked");
  int verb = -1;
  for (size_t i = 0; i < dialog_.Lines().size(); ++i)
    if (IsVerb(dialog_.Lines()[i].line.category)) verb = static_cast<int>(i);
  ASSERT_GE(verb, 0);
  EXPECT_TRUE(dialog_.Lines()[static_cast<size_t>(verb)].enabled);
  EXPECT_EQ(dialog_.Lines()[static_cast<size_t>(verb)].line.className, "walk");
  dialog_.ListBoxSensClickCheck(verb, true);
  dialog_.RadioButtonClasseClick();
  dialog_.SetAddMode(false);
  dialog_.SetSubclassify(true);
  dialog_.ButtonInsererClick();
  EXPECT_EQ(editor_.calls, (std::vector<std::string>{"InsertWords walkV sub"}));
  dialog_.ButtonChercherClick();
  EXPECT_TRUE(main_.messages.empty());
  EXPECT_EQ(ViewState.selection.kind, kSelectLexicalEntry);
  EXPECT_EQ(ViewState.selection.firstTerm, "walk");
  EXPECT_TRUE(ViewState.SelectionActive);
}

TEST_F(WordSearchOnTheSample, DropsFillTheField) {
  int32_t hale = 0;
  for (TWordNode* n = TextWords.First(); n != TextWords.Tail(); n = TWordList::NextNode(n))
    if (n->text && std::string(n->text) == "Hale") hale = n->position;
  ASSERT_GT(hale, 0);
  EXPECT_TRUE(dialog_.DropTextWord(hale));
  EXPECT_EQ(dialog_.FieldText(), "Hale");
  EXPECT_FALSE(dialog_.Lines().empty());
  EXPECT_TRUE(dialog_.DropResultItem("water"));
  EXPECT_EQ(dialog_.FieldText(), "water");
  EXPECT_FALSE(dialog_.DropTextWord(-5));
  main_.textLoaded = false;
  EXPECT_FALSE(dialog_.DropResultItem("river"));
  EXPECT_EQ(dialog_.FieldText(), "water");
}

}  // namespace
}  // namespace quilor::ui

namespace quilor::ui {
namespace {

TEST_F(WordSearchOnTheSample, AClassIsSelectedByItsNameNeverTheDisplayedLine) {
  dialog_.RadioButtonClasseClick();
  dialog_.EditUnMotChange("river");
  ASSERT_GT(dialog_.CheckedMeaning(), 0);
  const MeaningLine line = dialog_.Lines()[static_cast<size_t>(dialog_.CheckedMeaning() - 1)].line;
  ASSERT_GE(line.level, 1);
  dialog_.ButtonChercherClick();
  EXPECT_EQ(ViewState.selection.firstTerm, line.className);
  EXPECT_EQ(ViewState.selection.firstTerm.find(" = "), std::string::npos);
  if (main_.messages.empty()) {
    EXPECT_EQ(ViewState.selection.kind, kSelectClass);
    EXPECT_EQ(ViewState.selection.classLevel, line.level);
  }
  // Without a checked meaning the class search reports that nothing was found.
  dialog_.ListBoxSensClickCheck(dialog_.CheckedMeaning() - 1, false);
  main_.messages.clear();
  dialog_.ButtonChercherClick();
  ASSERT_EQ(main_.messages.size(), 1u);
  EXPECT_EQ(main_.messages[0], "I can't find (anymore) \"river\" in this text.");
}

}  // namespace
}  // namespace quilor::ui
