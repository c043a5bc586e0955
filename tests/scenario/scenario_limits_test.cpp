// The Scenario tree at its deepest: a branch that reaches the last depth a
// class file holds is read, saved and read again at the same depths, and an
// edit that would go past it is refused.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "core/class_file.h"
#include "core/options.h"
#include "platform/message_ui.h"
#include "scenario/anomaly_list.h"
#include "scenario/scenario_editor.h"
#include "scenario/scenario_tree.h"
#include "scenario_tree_support.h"
#include "ui/main_window_port.h"

namespace quilor::ui {
namespace {

using namespace scenario_tests;

std::string Saved(ScenarioTree& tree) {
  ClassFileList out;
  EXPECT_TRUE(tree.Write(out));
  return FormatClassFileText(out);
}

// Groups at depths 0 to 8, one inside the other, and an item at depth 9.
std::string DeepestBranch() {
  std::string text;
  for (int d = 0; d < ScenarioTree::kDeepestDepth; ++d)
    text += "G#" + std::to_string(d) + "V\t" + std::to_string(d + 1) + "\tLevel" + std::to_string(d) + "\r\n";
  return text + "0#9#\tleaf\tLevel8\r\n";
}

TEST(ScenarioLimits, ABranchEndingAtTheDeepestDepthComesBackAtTheSameDepths) {
  const std::string text = DeepestBranch();
  ScenarioTree tree;
  tree.Fill(ParseScenario(text));
  const int leaf = FindLabel(tree, "leaf");
  ASSERT_NE(leaf, 0);
  EXPECT_EQ(tree.Depth(leaf), ScenarioTree::kDeepestDepth);
  EXPECT_EQ(tree.Label(tree.Node(leaf)->parent), "Level8");
  const std::string saved = Saved(tree);
  EXPECT_EQ(saved, text);
  ScenarioTree again;
  again.Fill(ParseScenario(saved));
  EXPECT_EQ(again.Depth(FindLabel(again, "leaf")), ScenarioTree::kDeepestDepth);
  EXPECT_EQ(Saved(again), text);
}

TEST(ScenarioLimits, NothingGoesBelowTheDeepestDepth) {
  ScenarioTree tree;
  tree.Fill(ParseScenario(DeepestBranch()));
  // An item beside the leaf fits.
  tree.Select(FindLabel(tree, "Level8"));
  EXPECT_TRUE(tree.AddPendingItem("stone", 0, '0', true));
  EXPECT_FALSE(tree.RefusedTooDeep());
  EXPECT_EQ(tree.Depth(FindLabel(tree, "stone")), ScenarioTree::kDeepestDepth);
  // A group there can be made, but it can hold nothing.
  tree.Select(FindLabel(tree, "Level8"));
  EXPECT_TRUE(tree.CreateOrSelectGroup("Bottom", -1, true));
  const int bottom = tree.Selected();
  EXPECT_EQ(tree.Depth(bottom), ScenarioTree::kDeepestDepth);
  EXPECT_FALSE(tree.AddPendingItem("pebble", 0, '0', true));
  EXPECT_TRUE(tree.RefusedTooDeep());
  EXPECT_EQ(FindLabel(tree, "pebble"), 0);
  tree.Select(bottom);
  EXPECT_FALSE(tree.CreateOrSelectGroup("Below", -1, true));
  EXPECT_TRUE(tree.RefusedTooDeep());
  EXPECT_EQ(FindLabel(tree, "Below"), 0);
}

// Choosing another line of the anomaly list selects the first place of its
// entry, not the one after the place the previous line reached.
TEST(ScenarioLimits, AnotherAnomalyLineStartsAtItsFirstOccurrence) {
  ScenarioTree tree;
  tree.Fill(
      ParseScenario("G#0V\t1\tAlpha\r\n0#1#\tcat\tAlpha\r\n0#1#\tdog\tAlpha\r\n"
                    "G#0V\t2\tBeta\r\n0#1#\tcat\tBeta\r\n0#1#\tdog\tBeta\r\n"));
  AnomalyList list;
  list.Ajouter(0, "dog");
  list.Ajouter(0, "cat");
  auto where = [&] { return tree.Label(tree.Node(tree.Selected())->parent) + "/" + tree.Label(tree.Selected()); };
  ASSERT_TRUE(list.SearchLine(0, &tree, {}));
  EXPECT_EQ(where(), "Alpha/dog");
  ASSERT_TRUE(list.SearchLine(1, &tree, {}));
  EXPECT_EQ(where(), "Alpha/cat");
  ASSERT_TRUE(list.SearchLine(1, &tree, {}));
  EXPECT_EQ(where(), "Beta/cat");
  ASSERT_TRUE(list.SearchLine(0, &tree, {}));
  EXPECT_EQ(where(), "Alpha/dog");
  // A line past the end, or an empty list, selects nothing.
  EXPECT_FALSE(list.SearchLine(2, &tree, {}));
  EXPECT_FALSE(list.SearchLine(-1, &tree, {}));
  EXPECT_EQ(where(), "Alpha/dog");
}

// A word put in a group of its own names the group, from one letter up to
// the longest name a Scenario line holds; a longer word is cut there.
TEST(ScenarioLimits, AWordInANewGroupNamesTheGroupUpToTheLongestName) {
  Options->ResetSettings();
  ScenarioFile.Clear();
  GroupNumbering = {};
  ScopedScriptedUi ui;
  FakeMainWindow main;
  ScenarioEditor editor{&main};
  editor.compoundKnown = [](const std::string&) { return true; };
  editor.Open();
  for (const std::string& word : {std::string("x"), std::string(79, 'w'), std::string(80, 'v')}) {
    SCOPED_TRACE(word.size());
    editor.AddWordInNewGroup(word, '0');
    auto lower = [](std::string t) {
      for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      return t;
    };
    int found = 0;  // the group is named by the word, its first letter a capital
    for (int id : editor.Tree().TopLevel())
      if (lower(editor.Tree().Label(id)) == word.substr(0, 79)) found = id;
    ASSERT_NE(found, 0);
    EXPECT_EQ(editor.Tree().Label(editor.Tree().ChildrenOf(found).at(0)), word.substr(0, 79));
  }
  EXPECT_FALSE(editor.AddWordInNewGroup("", '0'));
  ScenarioFile.Clear();
  Options->ResetSettings();
}

// Inserted with subclassing, a word gets a group of its own inside the
// chosen group while a group fits there; in a group at the last depth a
// group can hold nothing, and the word goes in beside the others.
TEST(ScenarioLimits, ASubclassedWordGetsItsOwnGroupOnlyWhereAGroupHoldsIt) {
  Options->ResetSettings();
  ScenarioFile = ParseScenario(DeepestBranch());
  ScopedScriptedUi ui;
  FakeMainWindow main;
  ScenarioEditor editor{&main};
  editor.Open();
  ScenarioTree& tree = editor.Tree();
  auto branch = [&](const std::string& label) {
    std::string path;
    for (const ScenarioNode* n = tree.Node(FindLabel(tree, label)); n; n = tree.Node(n->parent))
      path = tree.Label(n->id) + (path.empty() ? "" : "/") + path;
    return path.substr(path.find("Level6/"));
  };
  tree.Select(FindLabel(tree, "Level7"));
  EXPECT_TRUE(editor.InsertWords("dog", '?', true));
  EXPECT_EQ(branch("dog"), "Level6/Level7/Dog/dog");
  tree.Select(FindLabel(tree, "Level8"));
  EXPECT_TRUE(editor.InsertWords("fox", '?', true));
  EXPECT_EQ(branch("fox"), "Level6/Level7/Level8/fox");
  EXPECT_EQ(tree.Depth(FindLabel(tree, "fox")), ScenarioTree::kDeepestDepth);
  EXPECT_TRUE(ui.ui.Shown().empty());
  ScenarioFile.Clear();
  Options->ResetSettings();
}

}  // namespace
}  // namespace quilor::ui
