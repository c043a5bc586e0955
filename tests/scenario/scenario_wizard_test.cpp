#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <sys/wait.h>
#include <unistd.h>

#include "core/class_file.h"
#include "engine/ontology_engine.h"
#include "core/options.h"
#include "engine/startup.h"
#include "engine/ontology_test_support.h"
#include "ui/desktop.h"
#include "ui/main_window_port.h"
#include "platform/message_ui.h"
#include "scenario/scenario_wizard.h"
#include "scenario/texts.h"
#include "scenario_tree_support.h"
#include "support/gone_process.h"
#include "support/stream_support.h"

namespace quilor::ui {
namespace {

using namespace scenario_tests;

using testing_support::ReadFileBytes;
using testing_support::TempFolder;

class ScenarioWizardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Options->ResetSettings();
    savedFolder_ = WorkContext->UserScenarioFolder;
    std::string f = folder.Path("x");
    WorkContext->UserScenarioFolder = f.substr(0, f.size() - 2);
    saved_ = std::move(OntologyEngine);
    OntologyEngine = std::make_unique<TOntologyEngine>();
    ASSERT_TRUE(OntologyEngine->LoadBytes(WriteSemanticDictionary(testing_support::MakeMiniDictionary())).Ok());
    folder.Write("Current.scn", "G#0V\t1\tOld\r\n0#1#\told\tOld\r\n");
    Options->Set(opt::ScenarioFileName, "Current.scn");
    LoadCurrentScenario();
    editor.Open();
  }
  void TearDown() override {
    OntologyEngine = std::move(saved_);
    WorkContext->UserScenarioFolder = savedFolder_;
    Options->ResetSettings();
    ScenarioFile.Clear();
  }
  std::vector<std::string> TopLabels() {
    std::vector<std::string> out;
    for (int id : editor.Tree().TopLevel()) out.push_back(editor.Tree().Label(id));
    return out;
  }
  TempFolder folder;
  ScopedScriptedUi ui;
  FakeMainWindow main;
  ScenarioEditor editor{&main};
  ScenarioWizard wizard{editor};
  std::unique_ptr<TOntologyEngine> saved_;
  std::string savedFolder_;
};

TEST_F(ScenarioWizardTest, TheEmptyWayLeavesNoNameNoEntriesAndOneRerun) {
  wizard.way = WizardWay::kEmpty;
  wizard.ButtonSuivantClick();
  EXPECT_EQ(wizard.page, 5);
  wizard.ButtonTerminerClick();
  EXPECT_TRUE(wizard.closed);
  EXPECT_EQ(Options->Get(opt::ScenarioFileName), "");
  EXPECT_EQ(ScenarioFile.Count(), 0u);
  EXPECT_EQ(editor.Tree().NodeCount(), 0u);
  EXPECT_EQ(OntologyEngine->ScenarioEntryCount(), 0u);
  EXPECT_EQ(main.reruns, 1);
}

TEST_F(ScenarioWizardTest, ASmallTextStaysOnTheFirstPage) {
  wizard.way = WizardWay::kFromText;
  wizard.textWordCount = [] { return 199u; };
  ui.ui.QueueAnswer(3);  // No: no other document
  wizard.ButtonSuivantClick();
  EXPECT_EQ(wizard.page, 1);
  EXPECT_EQ(ui.ui.Shown().back().text.rfind("The current text is quite small.", 0), 0u);
  wizard.textWordCount = [] { return 200u; };
  wizard.ButtonSuivantClick();
  EXPECT_EQ(wizard.page, 2);
  EXPECT_EQ(main.shownTypes, std::vector<int>{3});
  wizard.ButtonSuivantClick();
  wizard.threshold = "2x";
  wizard.ButtonSuivantClick();
  EXPECT_EQ(wizard.page, 3);
  EXPECT_EQ(ui.ui.Shown().back().text, "Incorrect value(s).");
}

// Next and Back lead through the pages of each way; a page that needs an
// answer says so and stays.
TEST_F(ScenarioWizardTest, NextAndBackWalkThePagesOfEachWay) {
  // No way chosen: the first page stays, with a message.
  wizard.ButtonSuivantClick();
  EXPECT_EQ(wizard.page, 1);
  EXPECT_EQ(ui.ui.Shown().back().text, Msg(kMsgChooseAWay));
  wizard.ButtonPrecedentClick();
  EXPECT_EQ(wizard.page, 1);

  // From the text: pages 1, 2, 3 and 4, the threshold kept; and back to 1.
  wizard.way = WizardWay::kFromText;
  wizard.textWordCount = [] { return 5000u; };
  std::vector<int> pages;
  for (int i = 0; i < 4; ++i) {
    if (wizard.page == 3) wizard.threshold = "7";
    wizard.ButtonSuivantClick();
    pages.push_back(wizard.page);
  }
  EXPECT_EQ(pages, (std::vector<int>{2, 3, 4, 4}));
  EXPECT_EQ(Options->Get(opt::WizardThreshold), 7u);
  pages.clear();
  for (int i = 0; i < 4; ++i) {
    wizard.ButtonPrecedentClick();
    pages.push_back(wizard.page);
  }
  EXPECT_EQ(pages, (std::vector<int>{3, 2, 1, 1}));

  // The level chosen shows its list in the main window.
  main.shownTypes.clear();
  for (WizardLevel level : {WizardLevel::kReferenceFields1, WizardLevel::kReferenceFields2, WizardLevel::kReferences,
                            WizardLevel::kUnclassified, WizardLevel::kSubstantives})
    wizard.LevelClicked(level);
  EXPECT_EQ(main.shownTypes, (std::vector<int>{1, 2, 3, 10, 3}));

  // Without a text, the wizard offers to open one.
  main.textLoaded = false;
  int opened = 0;
  wizard.openDocument = [&] { ++opened; };
  ui.ui.QueueAnswer(1);
  wizard.ButtonSuivantClick();
  EXPECT_EQ(wizard.page, 1);
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(ui.ui.Shown().back().text, Msg(kMsgOpenADocumentFirst));
  wizard.LevelClicked(WizardLevel::kUnclassified);
  EXPECT_EQ(main.shownTypes.size(), 5u);

  // Existing Scenarios: page 6, straight back to 1; there Next without a file asks for one.
  wizard.way = WizardWay::kExisting;
  wizard.ButtonSuivantClick();
  EXPECT_EQ(wizard.page, 6);
  wizard.ButtonPrecedentClick();
  EXPECT_EQ(wizard.page, 1);
  wizard.ButtonSuivantClick();
  wizard.ButtonSuivantClick();
  EXPECT_EQ(wizard.page, 6);
  EXPECT_FALSE(wizard.closed);
  EXPECT_EQ(ui.ui.Shown().back().text, Msg(kMsgSelectFiles));
  // With one, Next on page 6 finishes: the Scenario is the file's.
  folder.Write("A.scn", "G#0V\t1\tAlpha\r\n0#1#\ta\tAlpha\r\n");
  wizard.selectedFiles = {"A.scn"};
  wizard.ButtonSuivantClick();
  EXPECT_TRUE(wizard.closed);
  EXPECT_EQ(TopLabels(), std::vector<std::string>{"Alpha"});
  wizard.ButtonPrecedentClick();
  EXPECT_EQ(wizard.page, 1);

  // The empty way: page 5, and back.
  wizard.way = WizardWay::kEmpty;
  wizard.ButtonSuivantClick();
  EXPECT_EQ(wizard.page, 5);
  wizard.ButtonPrecedentClick();
  EXPECT_EQ(wizard.page, 1);
}

// Finishing the way from the text keeps the choices for the next run: the
// level of the classes, the unclassified references, the group above them.
TEST_F(ScenarioWizardTest, FinishingFromTheTextKeepsTheChoices) {
  const std::pair<WizardLevel, int> levels[] = {{WizardLevel::kReferenceFields1, 3},
                                                {WizardLevel::kReferenceFields2, 2},
                                                {WizardLevel::kReferences, 1},
                                                {WizardLevel::kUnclassified, 1},
                                                {WizardLevel::kSubstantives, 0}};
  for (const auto& [level, stored] : levels) {
    for (const bool subclassify : {true, false}) {
      SCOPED_TRACE(stored);
      wizard.way = WizardWay::kFromText;
      wizard.level = level;
      wizard.subclassify = subclassify;
      wizard.ButtonTerminerClick();
      EXPECT_EQ(Options->Get(opt::WizardLevel), stored);
      EXPECT_EQ(Options->Switch(opt::WizardUnclassifiedReferences), level == WizardLevel::kUnclassified);
      EXPECT_EQ(Options->Switch(opt::WizardNoRootGroup), !subclassify);
    }
  }
  // No way chosen: finishing says so.
  wizard.way = WizardWay::kNone;
  wizard.closed = false;
  wizard.ButtonTerminerClick();
  EXPECT_FALSE(wizard.closed);
  EXPECT_EQ(ui.ui.Shown().back().text, Msg(kMsgChooseAWay));
}

TEST_F(ScenarioWizardTest, FromTheTextThresholdKKeepsClassesWithKOccurrences) {
  // dog three times, cash once, bank (river sense) twice.
  int32_t value = 0;
  for (int i = 0; i < 3; ++i) OntologyEngine->ClassifySubstantive("dog", nullptr, value);
  OntologyEngine->ClassifySubstantive("cash", nullptr, value);
  OntologyEngine->CountClassOccurrences(std::array<uint32_t, 4>{3, 3, 3, 0}.data());
  OntologyEngine->CountClassOccurrences(std::array<uint32_t, 4>{3, 3, 3, 0}.data());
  OntologyEngine->RankLevel(1);
  ASSERT_TRUE(ScenarioFromText(editor, 1, 2, false, false));
  ASSERT_EQ(TopLabels(), std::vector<std::string>{"List of classes"});
  std::vector<std::string> groups;
  for (int id : editor.Tree().ChildrenOf(editor.Tree().TopLevel()[0])) groups.push_back(editor.Tree().Label(id));
  EXPECT_EQ(groups, (std::vector<std::string>{"Dog", "Riverbank"}));
  EXPECT_EQ(Options->Get(opt::ScenarioFileName), "");
  EXPECT_TRUE(editor.Tree().Modified());
  EXPECT_EQ(editor.StatusLine(), "This Scenario was modified: you should save it");
  EXPECT_EQ(OntologyEngine->ScenarioEntryCount(), 3u);
  EXPECT_NE(FormatClassFileText(ScenarioFile).find("1#2#\tdog\tDog"), std::string::npos);
  // A level with no class in the text says so and changes nothing.
  editor.Tree().SetModified(false);
  EXPECT_FALSE(ScenarioFromText(editor, 3, 1, false, true));
  EXPECT_EQ(ui.ui.Shown().back().text.rfind("No class of this level", 0), 0u);
  EXPECT_EQ(TopLabels(), std::vector<std::string>{"List of classes"});
}

TEST_F(ScenarioWizardTest, MergingKeepsTheOrderAndAnUnreadableFileKeepsThePreviousScenario) {
  folder.Write("A.scn", "G#0V\t1\tAlpha\r\n0#1#\ta\tAlpha\r\n");
  folder.Write("B.scn", "G#0V\t1\tBeta\r\n0#1#\tb\tBeta\r\n");
  wizard.way = WizardWay::kExisting;
  wizard.ButtonSuivantClick();
  EXPECT_EQ(wizard.page, 6);
  wizard.ButtonTerminerClick();  // nothing selected
  EXPECT_FALSE(wizard.closed);
  EXPECT_EQ(ui.ui.Shown().back().text, "You must select one or more file(s) before using this function");
  wizard.selectedFiles = {"B.scn", "Missing.scn"};
  wizard.ButtonTerminerClick();
  EXPECT_FALSE(wizard.closed);
  EXPECT_EQ(Options->Get(opt::ScenarioFileName), "Current.scn");
  EXPECT_EQ(TopLabels(), std::vector<std::string>{"Old"});
  size_t files = 0;
  for (const auto& e : std::filesystem::directory_iterator(WorkContext->UserScenarioFolder))
    files += e.is_regular_file();
  EXPECT_EQ(files, 3u);  // no partial merge left behind
  wizard.selectedFiles = {"B.scn", "A.scn"};
  wizard.ButtonTerminerClick();
  EXPECT_TRUE(wizard.closed);
  EXPECT_EQ(Options->Get(opt::ScenarioFileName), "");
  EXPECT_EQ(FormatClassFileText(ScenarioFile),
            "G#0V\t1\tBeta\r\n0#1#\tb\tBeta\r\nG#0V\t1\tAlpha\r\n0#1#\ta\tAlpha\r\n");
  EXPECT_EQ(TopLabels(), (std::vector<std::string>{"Alpha", "Beta"}));
  EXPECT_EQ(main.reruns, 1);
  // Its file is gone: it lives in the editor only, modified, until saved.
  EXPECT_TRUE(editor.IsModified());
  EXPECT_EQ(editor.StatusLine(), "This Scenario was modified: you should save it");
  ui.ui.QueueAnswer(3);  // Cancel to "save the work done?"
  EXPECT_FALSE(editor.FormClose());
  EXPECT_EQ(ui.ui.Shown().back().text, "Do you want to save the work done in the current Scenario?");
}

// A merge killed half-way leaves its "Qu<pid>_<n>.scn" in the Scenario
// folder; the next merge removes those of processes that are gone, and
// nothing else.
TEST_F(ScenarioWizardTest, AMergeRemovesWhatAKilledMergeLeft) {
  const pid_t gone = testing_support::GoneProcessId();
  ASSERT_GT(gone, 0);
  const std::string dead = std::to_string(gone);
  const std::string self = std::to_string(::getpid());
  const std::vector<std::string> stale = {"Qu" + dead + "_0.scn", "Qu" + dead + "_17.scn"};
  const std::vector<std::string> kept = {
      "Qu" + self + "_5.scn",  // this process's
      "Qu1_0.scn",             // a process that runs
      "Quartz.scn",
      "Qu" + dead + ".scn",
      "Qu" + dead + "_.scn",
      "Qu" + dead + "_0.scn.bak",
      "qu" + dead + "_0.scn",
      "Qu" + dead + "_0x.scn",  // names of other patterns
  };
  for (const std::string& name : stale) folder.Write(name, "G#0V\t1\tHalf\r\n");
  for (const std::string& name : kept) folder.Write(name, "G#0V\t1\tKeep\r\n");
  folder.Write("A.scn", "G#0V\t1\tAlpha\r\n0#1#\ta\tAlpha\r\n");
  const std::string merged = MergeScenarioFiles({"A.scn"});
  ASSERT_FALSE(merged.empty());
  for (const std::string& name : stale) EXPECT_FALSE(std::filesystem::exists(folder.Path(name))) << name;
  for (const std::string& name : kept) EXPECT_TRUE(std::filesystem::exists(folder.Path(name))) << name;
  EXPECT_TRUE(std::filesystem::exists(merged));
  // The wizard's listing clears them too.
  folder.Write(stale[0], "G#0V\t1\tHalf\r\n");
  EXPECT_EQ(RemoveStaleMergeFiles(), 1);
  EXPECT_FALSE(std::filesystem::exists(folder.Path(stale[0])));
}

// Groups at the depths 0 to 8, each holding an item one deeper (1 to 9),
// merged with another file, saved under a name and read back.
TEST_F(ScenarioWizardTest, AMergedScenarioKeepsEveryDepthThroughSaveAndRead) {
  ScopedScriptedDesktop desktop;
  std::string deep;
  for (int d = 0; d <= 8; ++d) {
    const std::string group = "level" + std::to_string(d);
    deep += "G#" + std::to_string(d) + "V\t" + std::to_string(d + 1) + "\t" + group + "\r\n";
    deep += "0#" + std::to_string(d + 1) + "#\tw" + std::to_string(d) + "\t" + group + "\r\n";
  }
  folder.Write("Deep.scn", deep);
  folder.Write("Other.scn", "G#0V\t1\tOther\r\n0#1#\tz\tOther\r\n");
  wizard.way = WizardWay::kExisting;
  wizard.selectedFiles = {"Deep.scn", "Other.scn"};
  wizard.ButtonTerminerClick();
  ASSERT_TRUE(wizard.closed);
  std::string expected;
  for (int d = 0; d <= 8; ++d) {
    expected += "/level" + std::to_string(d);
    int item = 0;
    for (int id : editor.Tree().InTreeOrder())
      if (editor.Tree().Label(id) == "w" + std::to_string(d)) item = id;
    EXPECT_EQ(PathOf(editor.Tree(), item), expected + "/w" + std::to_string(d));
    EXPECT_EQ(editor.Tree().Depth(item), d + 1);
  }
  const std::vector<std::string> merged = Paths(editor.Tree());
  desktop.desktop.saveAnswers.push_back(folder.Path("Merged.scn"));
  editor.ToolButtonEnregistrerClick();
  EXPECT_FALSE(editor.IsModified());
  GroupNumbering.counter = 0;
  ClassFileList saved;
  ASSERT_TRUE(LoadClassFile(saved, folder.Path("Merged.scn")));
  ScenarioTree again;
  again.Fill(saved);
  EXPECT_EQ(Paths(again), merged);
}

}  // namespace
}  // namespace quilor::ui
