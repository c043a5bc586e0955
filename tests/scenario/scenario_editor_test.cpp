#include <gtest/gtest.h>

#include <QWidget>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "core/class_file.h"
#include "core/files.h"
#include "core/messages.h"
#include "engine/ontology_engine.h"
#include "engine/word_list.h"
#include "core/options.h"
#include "ui/desktop.h"
#include "ui/main_window_port.h"
#include "scenario/anomaly_list.h"
#include "scenario/scenario_editor.h"
#include "scenario/scenario_editor_proxy_qt.h"
#include "scenario/texts.h"
#include "support/help_pages.h"
#include "support/stream_support.h"
#include "ui_support/engine_session.h"
#include "../engine/ontology_test_support.h"

namespace quilor::ui {
namespace {

using testing_support::ReadFileBytes;
using testing_support::TempFolder;

const std::string kScenario = "G#0V\t1\tAnimals\r\n0#1#\tcat\tAnimals\r\nG#0V\t2\tMoney\r\n0#1#\tcash\tMoney\r\n";

class ScenarioEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Options->ResetSettings();
    WorkContext->UserScenarioFolder = folder.Path("");
    while (WorkContext->UserScenarioFolder.size() > 1 && WorkContext->UserScenarioFolder.back() == '/')
      WorkContext->UserScenarioFolder.pop_back();
    Options->Set(opt::ScenarioFileName, "Test.scn");
    folder.Write("Test.scn", kScenario);
    folder.Write("Test.scn.bak", "old version\r\n");
    Reload();
    editor.compoundKnown = [](const std::string&) { return true; };
  }
  void TearDown() override {
    if (::geteuid() == 0) SetImmutable(false);
    ::chmod(folder.Path("").c_str(), 0755);
    Options->ResetSettings();
    ScenarioFile.Clear();
  }
  void Reload() {
    GroupNumbering.counter = 0;
    ScenarioFile.Clear();
    ASSERT_TRUE(LoadClassFile(ScenarioFile, folder.Path("Test.scn")));
    editor.Open();
  }
  // Makes the folder read-only; for root, whom permissions do not stop, the
  // folder is made immutable. False when neither can be done here.
  bool BlockSaves() {
    ::chmod(folder.Path("").c_str(), 0555);
    if (::geteuid() != 0) return true;
    return SetImmutable(true);
  }
  bool SetImmutable(bool on) {
    const int fd = ::open(folder.Path("").c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return ok;
  }
  TempFolder folder;
  ScopedScriptedUi ui;
  ScopedScriptedDesktop desktop;
  FakeMainWindow main;
  ScenarioEditor editor{&main};
};

TEST_F(ScenarioEditorTest, FailedSaveKeepsFilesModifiedFlagAndWindow) {
  editor.Tree().Select(editor.Tree().TopLevel()[0]);
  editor.AddWordInNewGroup("dog", '?');
  ASSERT_TRUE(editor.Tree().Modified());
  // The new group holds the word: a group of the same name is no duplicate.
  EXPECT_EQ(editor.Tree().Label(editor.Tree().Selected()), "dog");
  EXPECT_EQ(editor.Tree().Label(editor.Tree().Node(editor.Tree().Selected())->parent), "Dog");
  if (!BlockSaves()) GTEST_SKIP() << "the folder cannot be made read-only here";
  editor.ToolButtonEnregistrerClick();
  EXPECT_EQ(ReadFileBytes(folder.Path("Test.scn")), kScenario);
  EXPECT_EQ(ReadFileBytes(folder.Path("Test.scn.bak")), "old version\r\n");
  EXPECT_TRUE(editor.Tree().Modified());
  EXPECT_EQ(main.reruns, 0);
  EXPECT_FALSE(ui.ui.Shown().empty());  // the write error was shown
  // Closing asks to save; Yes with a failing save keeps the window open.
  ui.ui.QueueAnswer(1);
  EXPECT_FALSE(editor.FormClose());
  EXPECT_TRUE(editor.IsOpen());
  // Opening another Scenario after a failed save does not go on.
  ui.ui.QueueAnswer(1);
  EXPECT_FALSE(editor.OpenScenarioByName("Other.scn"));
  EXPECT_EQ(Options->Get(opt::ScenarioFileName), "Test.scn");
  // Cancel all goes back to the Scenario as loaded, not to the edited list.
  ui.ui.QueueAnswer(1);
  editor.MenuAnnulerModifsClick();
  EXPECT_FALSE(editor.Tree().Modified());
  EXPECT_EQ(FormatClassFileText(ScenarioFile), kScenario);
  EXPECT_EQ(editor.Tree().TopLevel().size(), 2u);
}

// A failed save leaves the Scenario in memory as its file holds it: the work
// stays the tree's, marked modified; closed without saving and opened again,
// the editor shows the file. The message names the file and the real cause.
TEST_F(ScenarioEditorTest, AFailedSaveLeavesTheScenarioAsItsFileHoldsIt) {
  editor.Tree().Select(editor.Tree().TopLevel()[0]);
  editor.AddWordInNewGroup("dog", '?');
  if (!BlockSaves()) GTEST_SKIP() << "the folder cannot be made read-only here";
  editor.ToolButtonEnregistrerClick();
  EXPECT_TRUE(editor.Tree().Modified());
  EXPECT_EQ(FormatClassFileText(ScenarioFile), kScenario);
  ASSERT_FALSE(ui.ui.Shown().empty());
  const std::string said = ui.ui.Shown().back().text;
  EXPECT_NE(said.find("\"" + WorkContext->UserScenarioFolder + "/Test.scn\""), std::string::npos) << said;
  EXPECT_EQ(said.find("disk full"), std::string::npos) << said;
  // The save question keeps the work on Enter; No closes without saving.
  ui.ui.QueueAnswer(2);
  EXPECT_TRUE(editor.FormClose());
  EXPECT_EQ(ui.ui.Shown().back().kind, kBoxSaveYesNoCancel);
  editor.Open();
  EXPECT_FALSE(editor.Tree().Modified());
  EXPECT_EQ(editor.Tree().TopLevel().size(), 2u);
  EXPECT_EQ(ReadFileBytes(folder.Path("Test.scn")), kScenario);
}

// A damaged file is never opened: the message names it, the editor keeps
// its tree, its work and its name, and the Scenario in memory stays.
TEST_F(ScenarioEditorTest, ADamagedFileIsNotOpened) {
  folder.Write("Broken.scn", "G#0V\t1\tPets\r\n\x01\x7f\xfe junk\r\n0#1#\tdog\tPets\r\n");
  editor.Tree().Select(editor.Tree().TopLevel()[0]);
  editor.AddWordInNewGroup("dog", '?');
  ui.ui.QueueAnswer(2);  // No to the save question
  EXPECT_FALSE(editor.OpenScenarioByName("Broken.scn"));
  EXPECT_EQ(Options->Get(opt::ScenarioFileName), "Test.scn");
  EXPECT_EQ(FormatClassFileText(ScenarioFile), kScenario);
  EXPECT_TRUE(editor.Tree().Modified());
  EXPECT_EQ(editor.Tree().TopLevel().size(), 3u);
  ASSERT_FALSE(ui.ui.Shown().empty());
  EXPECT_NE(ui.ui.Shown().back().text.find("Broken.scn\""), std::string::npos) << ui.ui.Shown().back().text;
  EXPECT_EQ(editor.Caption().find("Broken"), std::string::npos);
}

TEST_F(ScenarioEditorTest, SaveWritesKeepsBackupAndRerunsTheAnalysis) {
  editor.Tree().Select(editor.Tree().TopLevel()[1]);
  editor.InsertWords("bank", '?', false);
  editor.ToolButtonEnregistrerClick();
  EXPECT_FALSE(editor.Tree().Modified());
  EXPECT_EQ(main.reruns, 1);
  EXPECT_EQ(main.shownTypes, std::vector<int>{4});
  EXPECT_EQ(ReadFileBytes(folder.Path("Test.scn.bak")), kScenario);
  EXPECT_EQ(ReadFileBytes(folder.Path("Test.scn")),
            "G#0V\t1\tAnimals\r\n0#1#\tcat\tAnimals\r\nG#0V\t2\tMoney\r\n0#1#\tbank\tMoney\r\n0#1#\tcash\tMoney\r\n");
  EXPECT_FALSE(std::filesystem::exists(folder.Path("Test.scn.tmp")));
  EXPECT_EQ(WorkContext->SearchKeys[0], "Money");
  EXPECT_EQ(WorkContext->SearchKeyKinds[0], 4);
}

// The additions of other windows say whether the word went in; a run of
// them refreshes the window once, and the parent and sort commands work.
TEST_F(ScenarioEditorTest, AdditionsReportFailureAndRunsRefreshOnce) {
  int refreshes = 0;
  editor.refreshView = [&refreshes] { ++refreshes; };
  editor.Tree().Select(0);
  EXPECT_FALSE(editor.NodeSelected());
  EXPECT_FALSE(editor.InsertWords("bank", '?', false));  // nothing selected
  EXPECT_FALSE(editor.AddWordInNewGroup("", '?'));
  editor.Tree().Select(editor.Tree().TopLevel()[1]);
  ASSERT_TRUE(editor.NodeSelected());
  editor.BeginUpdateTreeView();
  EXPECT_TRUE(editor.InsertWords("bank", '?', false));
  EXPECT_TRUE(editor.InsertWords("bank", '?', false));  // already there: selected, not a failure
  EXPECT_TRUE(editor.AddWordInNewGroup("zebra", '?'));
  EXPECT_EQ(refreshes, 0);
  editor.EndUpdateTreeView();
  EXPECT_EQ(refreshes, 1);
  EXPECT_EQ(editor.Tree().Label(editor.Tree().Selected()), "zebra");
  editor.SelectParent();
  EXPECT_EQ(editor.Tree().Label(editor.Tree().Selected()), "Zebra");
  editor.SelectParent();  // a top-level group stays selected
  EXPECT_EQ(editor.Tree().Label(editor.Tree().Selected()), "Zebra");
  editor.SortTree();
  std::vector<std::string> top;
  for (int id : editor.Tree().TopLevel()) top.push_back(editor.Tree().Label(id));
  EXPECT_EQ(top, (std::vector<std::string>{"Animals", "Money", "Zebra"}));
}

TEST_F(ScenarioEditorTest, DefaultScenarioNameAsksBeforeSaving) {
  Options->Set(opt::ScenarioFileName, "concepts us v8.scn");
  folder.Write("concepts us v8.scn", kScenario);
  editor.Tree().SetModified(true);
  ui.ui.QueueAnswer(3);  // No
  editor.ToolButtonEnregistrerClick();
  ASSERT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_EQ(
      ui.ui.Shown()[0].text,
      "concepts us v8.scn is one of the default Scenarios. You should save it under another name and preserve the "
      "original. Do you really want to update this file?");
  EXPECT_FALSE(std::filesystem::exists(folder.Path("concepts us v8.scn.bak")));
  EXPECT_TRUE(editor.Tree().Modified());
}

TEST_F(ScenarioEditorTest, SaveAsRefusesAnotherFolderAndAsksBeforeOverwriting) {
  TempFolder elsewhere;
  desktop.desktop.saveAnswers.push_back(elsewhere.Path("Mine.scn"));
  editor.MenuEnregistrerSousClick();
  EXPECT_EQ(Options->Get(opt::ScenarioFileName), "Test.scn");
  ASSERT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_EQ(ui.ui.Shown()[0].text.rfind(GetMessageText(kMsgStoreInScenarioFolder), 0), 0u);
  EXPECT_FALSE(std::filesystem::exists(elsewhere.Path("Mine.scn")));
  // The same folder through another spelling of its path is the Scenario folder.
  folder.Write("Taken.scn", "keep\r\n");
  desktop.desktop.saveAnswers.push_back(folder.Path("./Taken"));
  ui.ui.QueueAnswer(3);  // No to the overwrite question
  editor.MenuEnregistrerSousClick();
  EXPECT_EQ(ReadFileBytes(folder.Path("Taken.scn")), "keep\r\n");
  EXPECT_EQ(Options->Get(opt::ScenarioFileName), "Test.scn");
  // A new name is saved with its extension, and the analysis re-runs.
  desktop.desktop.saveAnswers.push_back(folder.Path("Fresh"));
  editor.MenuEnregistrerSousClick();
  EXPECT_EQ(Options->Get(opt::ScenarioFileName), "Fresh.scn");
  EXPECT_EQ(ReadFileBytes(folder.Path("Fresh.scn")), kScenario);
  EXPECT_EQ(editor.Caption(), "Scenario Tool : Fresh.scn");
  EXPECT_EQ(main.reruns, 1);
}

TEST_F(ScenarioEditorTest, AccentFreeFormIsAddedWithTheOption) {
  Options->Set(opt::AddFormsWithoutAccent, 1);
  editor.Tree().Select(editor.Tree().TopLevel()[0]);
  editor.InsertWords("caf\xE9", '?', false);
  std::vector<std::string> labels;
  for (int id : editor.Tree().ChildrenOf(editor.Tree().TopLevel()[0])) labels.push_back(editor.Tree().Label(id));
  EXPECT_EQ(labels, (std::vector<std::string>{"cafe", "caf\xE9", "cat"}));
  // A verb keeps its accents only.
  editor.Tree().Select(editor.Tree().TopLevel()[0]);
  editor.InsertWords("r\xE9sum\xE9", 'V', false);
  EXPECT_EQ(editor.Tree().ChildrenOf(editor.Tree().TopLevel()[0]).size(), 4u);
}

TEST_F(ScenarioEditorTest, PendingItemGoesIntoANewGroupOrTheSelectedOne) {
  editor.SetPending("Running", 0, 'V');
  editor.AddPendingToNewGroup();
  EXPECT_EQ(editor.Tree().Label(editor.Tree().Selected()), "Running (V)");
  EXPECT_EQ(editor.PendingScenarioKind, '?');
  // Next to an item: the item first gets a group of its own.
  int cat = editor.Tree().ChildrenOf(editor.Tree().TopLevel()[0])[0];
  editor.Tree().Select(cat);
  editor.SetPending("dog", 0, '?');
  editor.AddPendingToSelectedGroup();
  const int group = editor.Tree().Node(editor.Tree().Selected())->parent;
  EXPECT_EQ(editor.Tree().Label(group), "Cat");  // groups in capitals by default
  EXPECT_EQ(editor.Tree().Node(cat)->parent, group);
}

TEST_F(ScenarioEditorTest, OpenRoutesOwlFilesAndRefusesOtherFolders) {
  std::string imported;
  editor.importOwl = [&](const std::string& path) {
    imported = path;
    return folder.Write("OwlOutput.scn", "G#0V\t1\tThing\r\n0#1#\tthing\tThing\r\n");
  };
  desktop.desktop.openAnswers.push_back({"/data/Pizza.OWL"});
  editor.ToolButtonOuvrirClick();
  EXPECT_EQ(imported, "/data/Pizza.OWL");
  EXPECT_EQ(Options->Get(opt::ScenarioFileName), "OwlOutput.scn");
  EXPECT_EQ(editor.Tree().Label(editor.Tree().TopLevel()[0]), "Thing");
  EXPECT_EQ(main.reruns, 1);
  TempFolder elsewhere;
  testing_support::ProgramsStarted explored;
  desktop.desktop.openAnswers.push_back({elsewhere.Write("Far.scn", kScenario)});
  ui.ui.ClearLog();
  editor.ToolButtonOuvrirClick();
  EXPECT_EQ(Options->Get(opt::ScenarioFileName), "OwlOutput.scn");
  // The user is told why, and where Scenarios must be, before the folders open.
  ASSERT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_EQ(ui.ui.Shown()[0].text.rfind(GetMessageText(kMsgOpenOnlyFromFolder), 0), 0u);
  EXPECT_NE(ui.ui.Shown()[0].text.find(WorkContext->UserScenarioFolder), std::string::npos);
  EXPECT_EQ(explored.calls.size(), 2u);  // the Scenario folder and the chosen file's folder
}

TEST_F(ScenarioEditorTest, TheOwlImportHasItsOwnCommandAndFilter) {
  std::string imported;
  editor.importOwl = [&](const std::string& path) {
    imported = path;
    return folder.Write("OwlOutput.scn", "G#0V\t1\tThing\r\n0#1#\tthing\tThing\r\n");
  };
  desktop.desktop.openAnswers.push_back({folder.Write("pizza.owl", "<rdf:RDF/>")});
  editor.ImportOwlClick();
  ASSERT_EQ(desktop.desktop.choices.size(), 1u);
  EXPECT_EQ(desktop.desktop.choices[0].filter, "OWL ontologies (*.owl)|*.owl;*.OWL");
  EXPECT_EQ(imported, folder.Path("pizza.owl"));
  EXPECT_EQ(Options->Get(opt::ScenarioFileName), "OwlOutput.scn");
  EXPECT_EQ(editor.Tree().Label(editor.Tree().TopLevel()[0]), "Thing");
  // Cancelled: nothing changes.
  imported.clear();
  editor.ImportOwlClick();
  EXPECT_TRUE(imported.empty());
}

// After an import, the engine's statistics of the Scenario it made close the
// import's log, which is then shown.
TEST_F(ScenarioEditorTest, TheOwlLogEndsWithTheScenariosStatistics) {
  const bool hadEngine = OntologyEngine != nullptr;
  if (!hadEngine) OntologyEngine = std::make_unique<TOntologyEngine>();
  const std::string log = folder.Write("pizza.owl.log", "*** Processing ended successfully\r\n");
  editor.importOwl = [&](const std::string&) {
    editor.owlLog = log;
    return folder.Write("OwlOutput.scn", "G#0V\t1\tThing\r\n0#1#\tthing\tThing\r\n0#1#\tobject\tThing\r\n");
  };
  testing_support::ProgramsStarted programs;
  desktop.desktop.openAnswers.push_back({folder.Write("pizza.owl", "<rdf:RDF/>")});
  editor.ImportOwlClick();
  if (!hadEngine) OntologyEngine.reset();
  const std::string text = ReadFileBytes(log);
  EXPECT_EQ(text.rfind("*** Processing ended successfully\r\n" + std::string(60, '*') +
                           "\r\n* Scenario inner stats \r\n* Words list indexes: 2\r\n* Group indexes: \r\n",
                       0),
            0u)
      << text;
  EXPECT_NE(text.find("Total entries for this index=1"), std::string::npos) << text;
  ASSERT_EQ(programs.calls.size(), 1u);
  EXPECT_NE(programs.Files()[0].find("pizza.owl.log"), std::string::npos) << programs.Files()[0];
}

TEST_F(ScenarioEditorTest, TheStatusLineTellsWhatIsTrue) {
  EXPECT_EQ(editor.StatusLine(), "");
  editor.Tree().Select(editor.Tree().TopLevel()[1]);
  editor.InsertWords("bank", '?', false);
  EXPECT_EQ(editor.StatusLine(), "This Scenario was modified: you should save it");
  // Another Scenario opened without saving this one: nothing is modified.
  folder.Write("Other.scn", kScenario);
  ui.ui.QueueAnswer(2);  // No to "save the work done?"
  ASSERT_TRUE(editor.OpenScenarioByName("Other.scn"));
  EXPECT_FALSE(editor.IsModified());
  EXPECT_EQ(editor.StatusLine(), "");
  // Cancel all brings the loaded Scenario back: not modified either.
  editor.Tree().Select(editor.Tree().TopLevel()[0]);
  editor.InsertWords("owl", '?', false);
  ui.ui.QueueAnswer(1);
  editor.MenuAnnulerModifsClick();
  EXPECT_EQ(editor.StatusLine(), "");
}

// level0 .. level8 nested, and a top-level group "loose" holding "x".
std::string DeepChain() {
  std::string text;
  for (int d = 0; d <= 8; ++d)
    text += "G#" + std::to_string(d) + "V\t" + std::to_string(d + 1) + "\tlevel" + std::to_string(d) + "\r\n";
  return text + "G#0V\t20\tloose\r\n0#1#\tx\tloose\r\n";
}

TEST_F(ScenarioEditorTest, AMoveOrAdditionPastTheDeepestDepthIsRefusedWithAMessage) {
  GroupNumbering.counter = 0;
  ScenarioFile.Clear();
  bool damaged = false;
  ASSERT_TRUE(ParseClassFileText(ScenarioFile, DeepChain(), damaged));
  editor.FillTreeFromScenario();
  auto find = [&](const std::string& label) {
    for (int id : editor.Tree().InTreeOrder())
      if (editor.Tree().Label(id) == label) return id;
    return 0;
  };
  const int loose = find("loose"), level8 = find("level8");
  editor.Tree().Select(loose);
  editor.CutSelected();
  editor.Tree().Select(level8);
  EXPECT_FALSE(editor.PasteOnSelected());
  ASSERT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_EQ(ui.ui.Shown()[0].text, GetMessageText(kMsgTooDeep));
  EXPECT_FALSE(editor.DropInside(loose, level8));
  EXPECT_EQ(ui.ui.Shown().size(), 2u);
  EXPECT_EQ(editor.Tree().Node(loose)->parent, 0);
  EXPECT_FALSE(editor.IsModified());
  // A group that reached depth 9 takes no word: the word search is told so.
  editor.Tree().Select(find("x"));
  editor.CutSelected();
  editor.Tree().Select(level8);
  ASSERT_TRUE(editor.PasteOnSelected());
  editor.Tree().Select(find("x"));
  editor.Tree().NewGroupBefore(find("x"));
  EXPECT_FALSE(editor.InsertWords("word", '?', false));
  EXPECT_EQ(ui.ui.Shown().back().text, GetMessageText(kMsgTooDeep));
  EXPECT_EQ(find("word"), 0);
}

TEST_F(ScenarioEditorTest, DeleteAsksUnlessTheOptionIsOff) {
  Options->Set(opt::ConfirmDeletions, 1);
  const int money = editor.Tree().TopLevel()[1];
  editor.Tree().Select(money);
  ui.ui.QueueAnswer(3, true);  // No, and don't ask again
  editor.ToolButtonSupprimerClick();
  ASSERT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_EQ(ui.ui.Shown()[0].text, "You want to delete  \"Money\" ?");
  EXPECT_NE(editor.Tree().Node(money), nullptr);
  EXPECT_FALSE(Options->Switch(opt::ConfirmDeletions));
  editor.ToolButtonSupprimerClick();
  EXPECT_EQ(editor.Tree().Node(money), nullptr);
  EXPECT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_FALSE(editor.Attributes().visible);
}

TEST_F(ScenarioEditorTest, AttributePanelTellsTheItemKind) {
  editor.Tree().Select(editor.Tree().TopLevel()[0]);
  editor.InsertWords("run", 'V', false);
  const AttributePanel item = editor.Attributes();
  EXPECT_EQ(item.groupName, "Animals");
  EXPECT_EQ(item.itemName, "run (Verbs)");
  editor.Tree().SetVisible(editor.Tree().TopLevel()[0], false);
  editor.Tree().Select(editor.Tree().TopLevel()[0]);
  EXPECT_EQ(editor.Attributes().checkCaption, "Invisible");
  EXPECT_EQ(editor.StatusLine(), "This Scenario was modified: you should save it");
}

// The tree as "depth:label" in tree order.
std::vector<std::string> Shape(const ScenarioTree& tree) {
  std::vector<std::string> out;
  for (int id : tree.InTreeOrder()) out.push_back(std::to_string(tree.Depth(id)) + ":" + tree.Label(id));
  return out;
}

using Lines = std::vector<std::string>;

// The search field's word goes into a new group of its own or into the
// group of the selection, cleaned of its spaces, with its accent-free form
// when the option asks for it; a word of the dictionary comes as its lemma.
TEST_F(ScenarioEditorTest, TheSearchFieldsWordGoesIntoANewGroupOrTheSelectedOne) {
  editor.lemmaOfSearchText = [](const std::string& key, char& kind) {
    kind = key == "running" ? 'V' : '?';
    return key == "running" ? std::string("run") : key;
  };
  editor.searchText = "  running  ";
  editor.AddSearchFieldInNewGroup();
  EXPECT_EQ(Shape(editor.Tree()), (Lines{"0:Animals", "1:cat", "0:Money", "1:cash", "0:Run", "1:run (V)"}));
  EXPECT_TRUE(editor.Tree().Modified());

  // Into the group of the selected item; a hyphen of a plain word becomes an underscore.
  Options->Set(opt::AddFormsWithoutAccent, 1);
  editor.Tree().Select(editor.Tree().ChildrenOf(editor.Tree().TopLevel()[0])[0]);  // cat
  editor.searchText = "caf\xE9-bar";
  editor.InsertSearchFieldInGroup();
  EXPECT_EQ(Shape(editor.Tree()),
            (Lines{"0:Animals", "1:cafe_bar", "1:caf\xE9_bar", "1:cat", "0:Money", "1:cash", "0:Run", "1:run (V)"}));
  EXPECT_EQ(editor.Tree().Label(editor.Tree().Selected()), "caf\xE9_bar");
  // Blank: nothing.
  editor.searchText = "   ";
  editor.InsertSearchFieldInGroup();
  editor.AddSearchFieldInNewGroup();
  EXPECT_EQ(editor.Tree().InTreeOrder().size(), 8u);
}

// The search button finds the next line holding the text, then starts again
// from the top.
TEST_F(ScenarioEditorTest, SearchGoesFromLineToLineAndStartsAgain) {
  editor.SetSearchText("CA");
  std::vector<std::string> found;
  for (int i = 0; i < 3; ++i) {
    editor.ToolButtonChercherClick();
    found.push_back(editor.Tree().Label(editor.Tree().Selected()));
  }
  EXPECT_EQ(found, (Lines{"cat", "cash", "cat"}));
  editor.SearchName("money");
  EXPECT_EQ(editor.Tree().Label(editor.Tree().Selected()), "Money");
  const int selected = editor.Tree().Selected();
  editor.SearchName("");
  editor.SearchName("horse");
  EXPECT_EQ(editor.Tree().Selected(), selected);
}

// What the main window may drop: words of the text, lines of the classes,
// verbs, adjectives and nouns; a drop names its kind after the list it comes from.
TEST_F(ScenarioEditorTest, DropsFromTheResultsTakeTheKindOfTheirList) {
  for (int type = 0; type <= 11; ++type) {
    const bool takes = (type >= 1 && type <= 3) || (type >= 8 && type <= 10);
    EXPECT_EQ(editor.TakesDropFromOtherWindow(false, type), takes) << type;
  }
  EXPECT_TRUE(editor.TakesDropFromOtherWindow(true, 0));
  main.textLoaded = false;
  EXPECT_FALSE(editor.TakesDropFromOtherWindow(true, 1));
  editor.DropFromOtherWindow(0, false, 0, "walk", 0, 8);
  EXPECT_EQ(editor.Tree().InTreeOrder().size(), 4u);  // no text: nothing taken
  main.textLoaded = true;
  const int money = editor.Tree().TopLevel()[1];
  editor.DropFromOtherWindow(0, false, 0, "walk", 0, 8);
  editor.DropFromOtherWindow(0, false, 0, "green", 0, 9);
  editor.DropFromOtherWindow(0, false, 0, "house", 0, 10);
  editor.DropFromOtherWindow(money, false, 0, "coin", 0, 1);
  EXPECT_EQ(Shape(editor.Tree()), (Lines{"0:Animals", "1:cat", "0:Green", "1:green (A)", "0:House", "1:house (S)",
                                         "0:Money", "1:cash", "1:coin", "0:Walk", "1:walk (V)"}));
  EXPECT_TRUE(editor.Tree().Modified());
}

// A word of the text dropped on the tree comes as the Scenario names it: a
// plural noun as its singular, a compound noun as it stands, a verb and an
// adjective with their kind; a word without a reference is said to have none.
TEST_F(ScenarioEditorTest, AWordOfTheTextComesAsTheScenarioNamesIt) {
  TextWords.Clear();
  TWordCategoryData noun, verb, adjective, determinant;
  noun.Category.MajorClass = kClassSubstantive;
  verb.Category.MajorClass = kClassVerb;
  adjective.Category.MajorClass = kClassAdjective;
  determinant.Category.MajorClass = kClassDeterminant;
  const std::pair<const char*, TWordCategoryData*> words[] = {
      {"horses", &noun}, {"sea-horses", &noun}, {"zorbled", &verb}, {"green", &adjective}, {"the", &determinant}};
  int32_t position = 0;
  for (const auto& [text, category] : words) TextWords.Append(text, " ", 0, 1, ++position, category);
  struct Expected {
    const char* name;
    char kind;
  };
  const Expected expected[] = {{"horse", '?'}, {"sea-horses", '?'}, {"zorbled", 'V'}, {"green", 'A'}, {"the", '?'}};
  for (int p = 1; p <= 5; ++p) {
    ASSERT_TRUE(editor.AddWordAtPosition(p)) << p;
    EXPECT_EQ(editor.PendingName(), expected[p - 1].name);
    EXPECT_EQ(editor.PendingKind(), expected[p - 1].kind);
  }
  ASSERT_EQ(ui.ui.Shown().size(), 1u);  // "the" has no reference
  EXPECT_EQ(ui.ui.Shown()[0].text, Msg(kMsgWordWithoutReference));
  Options->Set(opt::ScenarioOnAllCategories, uint8_t{1});
  EXPECT_TRUE(editor.AddWordAtPosition(5));
  EXPECT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_FALSE(editor.AddWordAtPosition(99));

  // Dropped from the text view onto a group: the word goes into it.
  const int money = editor.Tree().TopLevel()[1];
  editor.DropFromOtherWindow(money, true, 1, "", 0, 0);
  EXPECT_EQ(Shape(editor.Tree()), (Lines{"0:Animals", "1:cat", "0:Money", "1:cash", "1:horse"}));
  editor.DropFromOtherWindow(money, true, 99, "", 0, 0);  // no word there: nothing
  EXPECT_EQ(editor.Tree().InTreeOrder().size(), 5u);
  TextWords.Clear();
}

// A word inserted with "subclassify" gets a group of its own inside the
// selected one.
TEST_F(ScenarioEditorTest, ASubclassifiedWordGetsAGroupInsideTheSelectedOne) {
  editor.Tree().Select(editor.Tree().TopLevel()[0]);
  ASSERT_TRUE(editor.InsertWords("dog", '?', true));
  EXPECT_EQ(Shape(editor.Tree()), (Lines{"0:Animals", "1:cat", "1:Dog", "2:dog", "0:Money", "1:cash"}));
  editor.Tree().Select(0);
  EXPECT_FALSE(editor.InsertWords("fox", '?', false));  // nothing selected
  editor.Tree().Select(editor.Tree().TopLevel()[1]);
  EXPECT_FALSE(editor.InsertWords("", '?', false));
}

// What the commands may do follows the selection and the Scenario's state.
TEST_F(ScenarioEditorTest, CommandsAreOfferedOnlyWhenTheyWouldAct) {
  editor.Tree().Select(0);
  ScenarioEditorActions a = ScenarioActionStates(editor);
  EXPECT_FALSE(a.selection || a.rename || a.paste || a.upperCase || a.cancelAll || a.visibleCheck);
  EXPECT_TRUE(a.print);
  const int animals = editor.Tree().TopLevel()[0];
  const int cat = editor.Tree().ChildrenOf(animals)[0];
  editor.Tree().Select(animals);
  a = ScenarioActionStates(editor);
  EXPECT_TRUE(a.selection && a.rename && a.upperCase && a.visibleCheck);
  EXPECT_FALSE(a.paste);
  editor.Tree().SetVisible(animals, false);
  EXPECT_FALSE(ScenarioActionStates(editor).upperCase);
  editor.Tree().Select(cat);
  editor.CutSelected();
  a = ScenarioActionStates(editor);
  EXPECT_TRUE(a.selection && a.paste);
  EXPECT_FALSE(a.visibleCheck || a.upperCase);
  editor.Tree().SetModified(true);
  main.printing = true;
  a = ScenarioActionStates(editor);
  EXPECT_TRUE(a.cancelAll);
  EXPECT_FALSE(a.print);
  EXPECT_EQ(editor.Caption(), Msg(kMsgScenarioTool) + " : Test.scn");
}

// Dissociate splits the selected group into one group per item; New runs the
// wizard.
TEST_F(ScenarioEditorTest, DissociateAndNew) {
  editor.Tree().Select(editor.Tree().TopLevel()[0]);
  editor.InsertWords("dog", '?', false);
  editor.Tree().Select(editor.Tree().TopLevel()[0]);
  int refreshed = 0;
  editor.refreshView = [&] { ++refreshed; };
  editor.ToolButtonDissocierClick();
  EXPECT_EQ(refreshed, 1);
  EXPECT_EQ(Shape(editor.Tree()), (Lines{"0:Cat", "1:cat", "0:Dog", "1:dog", "0:Money", "1:cash"}));
  int wizards = 0;
  editor.runWizard = [&] { ++wizards; };
  editor.ToolButtonNouveauClick();
  EXPECT_EQ(wizards, 1);
}

// The main window reaches the editor through its proxy: before the editor
// is made each question says no; after, each request acts on its tree.
TEST_F(ScenarioEditorTest, TheProxyForwardsOnlyOnceTheEditorIsMade) {
  QWidget parent;
  ScenarioEditorProxy proxy(main, parent);
  SetCurrentScenarioEditor(nullptr);
  int start = 0;
  EXPECT_FALSE(proxy.IsOpen() || proxy.IsModified() || proxy.NodeSelected());
  EXPECT_FALSE(proxy.AddWordInNewGroup("dog", '?') || proxy.InsertWords("dog", '?', false) ||
               proxy.AddWordAtPosition(0) || proxy.FindNodeByLabel("Money", true) ||
               proxy.FindNextNode("cash", start, true) || proxy.SelectEnclosingGroup());
  EXPECT_EQ(proxy.PendingName(), "");
  EXPECT_EQ(proxy.PendingKind(), '?');
  proxy.SetPending("x", 0, 'V');
  proxy.AddPendingToNewGroup();
  proxy.AddPendingToSelectedGroup();
  proxy.SearchName("cash");
  proxy.SetSearchText("cash");
  proxy.CreateOrSelectGroup("x", 0, false);
  proxy.ExpandSelected();
  proxy.SelectParent();
  proxy.BeginUpdateTreeView();
  proxy.EndUpdateTreeView();
  proxy.SortTree();
  EXPECT_EQ(Shape(editor.Tree()), (Lines{"0:Animals", "1:cat", "0:Money", "1:cash"}));

  SetCurrentScenarioEditor(&editor);
  EXPECT_TRUE(proxy.IsOpen());
  proxy.SetPending("Running", 0, 'V');
  EXPECT_EQ(proxy.PendingName(), "Running");
  EXPECT_EQ(proxy.PendingKind(), 'V');
  proxy.AddPendingToNewGroup();
  EXPECT_TRUE(proxy.IsModified());
  EXPECT_TRUE(proxy.AddWordInNewGroup("dog", '?'));
  EXPECT_TRUE(proxy.FindNodeByLabel("Money", true));
  EXPECT_TRUE(proxy.NodeSelected());
  EXPECT_TRUE(proxy.InsertWords("coin", '?', false));
  proxy.SelectParent();
  EXPECT_EQ(editor.Tree().Label(editor.Tree().Selected()), "Money");
  proxy.SearchName("cash");
  EXPECT_EQ(editor.Tree().Label(editor.Tree().Selected()), "cash");
  EXPECT_TRUE(proxy.SelectEnclosingGroup());
  EXPECT_EQ(editor.Tree().Label(editor.Tree().Selected()), "Money");
  start = 0;
  EXPECT_TRUE(proxy.FindNextNode("coi", start, false));
  EXPECT_EQ(editor.Tree().Label(editor.Tree().Selected()), "coin");
  proxy.SetPending("penny", 0, '?');
  proxy.AddPendingToSelectedGroup();
  proxy.CreateOrSelectGroup("Birds", 0, false);
  EXPECT_EQ(editor.Tree().Label(editor.Tree().Selected()), "Birds");
  int refreshed = 0;
  editor.refreshView = [&] { ++refreshed; };
  proxy.BeginUpdateTreeView();
  proxy.ExpandSelected();
  proxy.SortTree();
  EXPECT_EQ(refreshed, 0);  // held while the tree is being updated
  proxy.EndUpdateTreeView();
  EXPECT_EQ(refreshed, 1);
  EXPECT_EQ(Shape(editor.Tree()), (Lines{"0:Animals", "1:cat", "0:Birds", "0:Dog", "1:dog", "0:Money", "1:cash",
                                         "1:Coin", "2:coin", "2:penny", "0:Running", "1:Running (V)"}));
  SetCurrentScenarioEditor(nullptr);
}

// With the dictionary, a verb or an adjective typed in the search field is
// added under its stored name, with its kind; a noun stays as typed.
TEST(ScenarioEditorDictionary, ATypedWordIsAddedUnderItsStoredName) {
  testing_support::EngineSession session;
  ASSERT_TRUE(session.Started());
  FakeMainWindow main;
  ScenarioEditor editor(&main);
  editor.Open();
  const std::pair<const char*, const char*> typed[] = {{"went", "go (V)"}, {"horses", "horses"}};
  for (const auto& [word, label] : typed) {
    editor.searchText = word;
    editor.AddSearchFieldInNewGroup();
    EXPECT_EQ(editor.Tree().Label(editor.Tree().Selected()), label) << word;
  }
}

class AnomalyListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GroupNumbering.forceRenumbering = false;
    ASSERT_TRUE(engine.LoadBytes(WriteSemanticDictionary(testing_support::MakeMiniDictionary())).Ok());
    engine.SetAnomalyReporter(&list);
    list.onFinish = [&](bool show) { finishes.push_back(show); };
  }
  void Load(const std::string& text) {
    GroupNumbering = {};
    file.Clear();
    bool damaged = false;
    ASSERT_TRUE(ParseClassFileText(file, text, damaged));
    engine.LoadScenario(file, false);
  }
  TOntologyEngine engine;
  AnomalyList list;
  ClassFileList file;
  std::vector<bool> finishes;
};

TEST_F(AnomalyListTest, ThreeAnomaliesGiveThreeExactLinesAndOpenTheList) {
  Load(
      "G#0V\t1\tPets\r\n0#1#\tdog\tPets\r\n0#1#\tdog\tPets\r\n3#1#\tunknownfield\tPets\r\n"
      "G#2V\t2\tDeep \"one\"\r\n");
  ASSERT_EQ(list.Entries().size(), 3u);
  EXPECT_EQ(list.Entries()[0].line, "\"dog\" is duplicated (second entry ignored)");
  EXPECT_EQ(list.Entries()[1].line, "\"unknownfield\" doesn't exists in the dictionary");
  EXPECT_EQ(list.Entries()[2].line,
            "\"Deep \"one\"\" is deeper than its group allows (attached to the nearest shallower group)");
  EXPECT_EQ(list.Entries()[2].text, "Deep \"one\"");
  EXPECT_EQ(list.Caption(), "Anomalies (Scenario)");
  EXPECT_EQ(finishes, std::vector<bool>{true});
  EXPECT_TRUE(list.Shown());

  // A clean Scenario empties the list and opens nothing.
  Load("G#0V\t1\tPets\r\n0#1#\tdog\tPets\r\n");
  EXPECT_TRUE(list.Entries().empty());
  EXPECT_EQ(finishes, (std::vector<bool>{true, false}));
  EXPECT_FALSE(list.Shown());
}

TEST_F(AnomalyListTest, SearchingALineWalksTheTreeAndWrapsRound) {
  Load("G#0V\t1\tPets\r\n0#1#\tdog\tPets\r\n0#1#\tdog\tPets\r\nG#0V\t2\tDogs\r\n");
  ScenarioTree tree;
  tree.Fill(file);
  int opened = 0;
  EXPECT_FALSE(list.SearchLine(0, nullptr, [&] { ++opened; }));
  EXPECT_EQ(opened, 1);
  std::vector<std::string> seen;
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(list.SearchLine(0, &tree, {}));
    seen.push_back(tree.Label(tree.Selected()) + "@" + std::to_string(tree.Depth(tree.Selected())));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"Dogs@0", "dog@1", "dog@1", "Dogs@0"}));
}

}  // namespace
}  // namespace quilor::ui
