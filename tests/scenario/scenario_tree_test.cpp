#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/class_file.h"
#include "core/options.h"
#include "scenario/scenario_tree.h"
#include "scenario_tree_support.h"

namespace quilor::ui {
namespace {

using namespace scenario_tests;

std::string RoundTrip(const std::string& text, ScenarioTree* keep = nullptr) {
  ClassFileList list = ParseScenario(text);
  ScenarioTree tree;
  tree.Fill(list);
  ClassFileList out;
  EXPECT_TRUE(tree.Write(out));
  if (keep) *keep = tree;
  return FormatClassFileText(out);
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> Labels(const ScenarioTree& tree, int parent) {
  std::vector<std::string> out;
  for (int id : tree.ChildrenOf(parent)) out.push_back(tree.Label(id));
  return out;
}

std::vector<std::string> SortedLines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find('\n', at);
    lines.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end + 1 - at));
    at = end == std::string::npos ? text.size() : end + 1;
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

// Loaded, the tree is sorted by text: written back, an installed Scenario
// has the same lines (in the tree's order), each under the same group.
TEST(ScenarioTreeMapping, EveryInstalledScenarioComesBackWithTheSameLines) {
  const std::filesystem::path folder = std::filesystem::path(QUILOR_BINARY_DIR) / "Scenario";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".scn") continue;
    ++files;
    const std::string text = ReadFile(entry.path());
    const std::string out = RoundTrip(text);
    EXPECT_EQ(SortedLines(out), SortedLines(text)) << entry.path();
    // Written again, the sorted tree comes back byte for byte.
    EXPECT_EQ(RoundTrip(out), out) << entry.path();
  }
  EXPECT_GE(files, 3);
}

TEST(ScenarioTreeMapping, HandMadeFileKeepsEveryItemWithItsGroup) {
  // Items before any group, a depth jump (0 -> 2), an item deeper than its
  // group allows, a hidden group, an item in error and a class line.
  const std::string body =
      "G#0V\t7\tAnimals\r\n"
      "0#1#\tcat\tAnimals\r\n"
      "G#2H\t9\tWild\r\n"
      "0#3#\twolf\tWild\r\n"
      "0#5#\tlynx\tWild\r\n"
      "G#0V\t3\tMoney\r\n"
      "1#1?\tbank\tMoney\r\n"
      "3#1#\tmoney\tMoney\r\n"
      "V#1#\trun\tMoney\r\n";
  const std::string leading = "0#0#\tdog\tPets\r\n0#0#\tpuppy\tPets\r\n";
  ScenarioTree tree;
  const std::string out = RoundTrip(leading + body, &tree);
  // Sorted by text; every entry comes back with its group and depth. The
  // leading items come back in a group named by their second text, and the
  // error mark goes, which a save clears.
  EXPECT_EQ(out,
            "G#0V\t7\tAnimals\r\n"
            "0#1#\tcat\tAnimals\r\n"
            "G#2H\t9\tWild\r\n"
            "0#5#\tlynx\tWild\r\n"
            "0#3#\twolf\tWild\r\n"
            "G#0V\t3\tMoney\r\n"
            "1#1#\tbank\tMoney\r\n"
            "3#1#\tmoney\tMoney\r\n"
            "V#1#\trun\tMoney\r\n"
            "G#0V\t10\tPets\r\n"
            "0#1#\tdog\tPets\r\n"
            "0#1#\tpuppy\tPets\r\n");
  // Structure: wolf and lynx under Wild, Wild under Animals.
  const int animals = tree.TopLevel()[0];
  EXPECT_EQ(Labels(tree, animals), (std::vector<std::string>{"cat", "Wild"}));
  EXPECT_EQ(Labels(tree, tree.ChildrenOf(animals)[1]), (std::vector<std::string>{"lynx", "wolf"}));
  EXPECT_EQ(tree.Picture(tree.ChildrenOf(animals)[1]), kPicHiddenGroup);
  const int money = tree.TopLevel()[1];
  EXPECT_EQ(Labels(tree, money), (std::vector<std::string>{"bank (*)", "money (1)", "run (V)"}));
  EXPECT_EQ(tree.Picture(tree.ChildrenOf(money)[0]), kPicError);
  EXPECT_EQ(tree.Picture(tree.ChildrenOf(money)[2]), kPicVerb);
  EXPECT_FALSE(tree.Modified());
}

TEST(ScenarioTreeMapping, TopLevelItemsAreNotWrittenAndGroupsGetFreshNumbers) {
  ScenarioTree tree;
  tree.Fill(ParseScenario("G#0V\t41\tA\r\n0#1#\tx\tA\r\n0#0#\tloose\tA\r\n"));
  ASSERT_EQ(tree.TopLevel().size(), 2u);  // "loose" sits at the top level
  tree.AddGroup(0, "B", true);
  tree.AddGroup(0, "C", false);
  ClassFileList out;
  ASSERT_TRUE(tree.Write(out));
  EXPECT_EQ(FormatClassFileText(out), "G#0V\t41\tA\r\n0#1#\tx\tA\r\nG#0V\t42\tB\r\nG#0H\t43\tC\r\n");
}

TEST(ScenarioTreeLabels, OnlyAKnownSuffixIsASuffix) {
  EXPECT_EQ(SplitDisplayLabel("run (V)").text, "run");
  EXPECT_EQ(SplitDisplayLabel("run (V)").kind, 'V');
  EXPECT_EQ(SplitDisplayLabel("bank (*)").kind, '1');
  EXPECT_EQ(SplitDisplayLabel("bank (3)").kind, '1');
  EXPECT_EQ(SplitDisplayLabel("slope (2)").kind, '2');
  EXPECT_EQ(SplitDisplayLabel("nature (1)").kind, '3');
  EXPECT_EQ(SplitDisplayLabel("mercury (planet)").text, "mercury (planet)");
  EXPECT_EQ(SplitDisplayLabel("mercury (planet)").kind, '0');
  EXPECT_EQ(SplitDisplayLabel("x (Q)").kind, '0');
  EXPECT_EQ(SplitDisplayLabel(" (V)").kind, '0');  // 4 characters carry none
  EXPECT_EQ(ItemDisplayLabel("nature", '3'), "nature (1)");
  EXPECT_EQ(ItemDisplayLabel("word", '0'), "word");
}

class ScenarioTreeEdit : public ::testing::Test {
 protected:
  void SetUp() override {
    tree.Fill(
        ParseScenario("G#0V\t1\tAnimals\r\n0#1#\tcat\tAnimals\r\n0#1#\tdog\tAnimals\r\n"
                      "G#1V\t2\tBirds\r\n0#2#\tcrow\tBirds\r\nG#0V\t3\tMoney\r\n0#1#\tcash\tMoney\r\n"));
    animals = tree.TopLevel()[0];
    birds = Find("Birds");
    money = tree.TopLevel()[1];
  }
  int Find(const std::string& label) {
    for (int id : tree.InTreeOrder())
      if (tree.Label(id) == label) return id;
    return 0;
  }
  ScenarioTree tree;
  int animals = 0, birds = 0, money = 0;
};

TEST_F(ScenarioTreeEdit, NewGroupLandsAtItsSortedPlaceWhateverItsCase) {
  tree.CreateOrSelectGroup("bees", 0, false);
  EXPECT_EQ(Labels(tree, 0), (std::vector<std::string>{"Animals", "bees", "Money"}));
  tree.CreateOrSelectGroup("ZOO", 0, false);
  EXPECT_EQ(Labels(tree, 0), (std::vector<std::string>{"Animals", "bees", "Money", "ZOO"}));
  // An existing group of the same name in another case is selected.
  tree.CreateOrSelectGroup("money", 0, false);
  EXPECT_EQ(tree.Selected(), money);
  EXPECT_EQ(tree.TopLevel().size(), 4u);
  EXPECT_TRUE(tree.Modified());
  // The name treatment: '_' after the first character is a blank, capitals on demand.
  tree.capitals = true;
  tree.CreateOrSelectGroup("ice_cream", 0, false);
  EXPECT_EQ(tree.Label(tree.Selected()), "Ice cream");
}

TEST_F(ScenarioTreeEdit, VerbItemIsWrittenWithItsKindAndGroup) {
  tree.CreateOrSelectGroup("run", 0, false);
  ASSERT_TRUE(tree.AddPendingItem("run", 0, 'V', true));
  EXPECT_EQ(tree.Label(tree.Selected()), "run (V)");
  ClassFileList out;
  ASSERT_TRUE(tree.Write(out));
  const std::string text = FormatClassFileText(out);
  EXPECT_NE(text.find("G#0V\t4\trun\r\nV#1#\trun\trun\r\n"), std::string::npos) << text;
}

TEST_F(ScenarioTreeEdit, DuplicateAddSelectsTheExistingNode) {
  tree.Select(money);
  const size_t before = tree.NodeCount();
  EXPECT_FALSE(tree.AddPendingItem("Crow", 0, '?', true));
  EXPECT_EQ(tree.NodeCount(), before);
  EXPECT_EQ(tree.Label(tree.Selected()), "crow");
  EXPECT_TRUE(tree.Node(birds)->expanded);
  // A class item of level 3 is another label and is added.
  tree.Select(money);
  EXPECT_TRUE(tree.AddPendingItem("crow", 3, '?', true));
  EXPECT_EQ(Labels(tree, money), (std::vector<std::string>{"cash", "crow (1)"}));
}

// A move to a node that is not there, into an item, or into the node's own
// branch is refused and leaves the tree as it was.
TEST_F(ScenarioTreeEdit, AMoveToNoPlaceOrIntoItselfLeavesTheTree) {
  const int cat = Find("cat");
  const std::vector<int> order = tree.InTreeOrder();
  for (const auto& [node, parent] : std::vector<std::pair<int, int>>{
           {animals, 999}, {animals, -1}, {999, 0}, {animals, birds}, {animals, animals}, {money, cat}}) {
    EXPECT_FALSE(tree.MoveNode(node, parent)) << node << " into " << parent;
    EXPECT_EQ(tree.InTreeOrder(), order);
  }
  EXPECT_FALSE(tree.Modified());
  EXPECT_TRUE(tree.MoveNode(birds, money));
  EXPECT_EQ(tree.Node(birds)->parent, money);
}

TEST_F(ScenarioTreeEdit, PasteIntoItselfOrADescendantIsRefused) {
  tree.Cut(animals);
  EXPECT_FALSE(tree.Paste(birds));
  EXPECT_FALSE(tree.Paste(Find("crow")));
  EXPECT_FALSE(tree.Paste(animals));
  EXPECT_EQ(tree.CutMark(), animals);
  EXPECT_EQ(tree.ChildrenOf(animals).size(), 3u);
  // Onto an item of another group: into that item's group.
  EXPECT_TRUE(tree.Paste(Find("cash")));
  EXPECT_EQ(tree.CutMark(), 0);
  EXPECT_EQ(Labels(tree, 0), (std::vector<std::string>{"Money"}));
  EXPECT_EQ(Labels(tree, money), (std::vector<std::string>{"cash", "Animals"}));
}

// Moving the last item out of a group deletes the group only when it is a
// group of the top level; an emptied group inside another stays.
TEST_F(ScenarioTreeEdit, OnlyAnEmptiedTopLevelGroupGoesWithItsLastItem) {
  tree.Cut(Find("crow"));
  ASSERT_TRUE(tree.Paste(Find("cash")));
  ASSERT_NE(tree.Node(birds), nullptr);
  EXPECT_TRUE(tree.ChildrenOf(birds).empty());
  EXPECT_EQ(Labels(tree, animals), (std::vector<std::string>{"Birds", "cat", "dog"}));
  EXPECT_EQ(Labels(tree, money), (std::vector<std::string>{"cash", "crow"}));
  tree.Cut(Find("cash"));
  ASSERT_TRUE(tree.Paste(Find("cat")));
  EXPECT_EQ(Labels(tree, 0), (std::vector<std::string>{"Animals", "Money"}));  // one item left
  tree.Cut(Find("crow"));
  ASSERT_TRUE(tree.Paste(birds));
  EXPECT_EQ(Labels(tree, 0), (std::vector<std::string>{"Animals"}));
  EXPECT_EQ(tree.Node(money), nullptr);
  EXPECT_EQ(Labels(tree, birds), (std::vector<std::string>{"crow"}));
}

TEST_F(ScenarioTreeEdit, CutThenDeleteClearsTheMark) {
  tree.Cut(birds);
  tree.Delete(animals);
  EXPECT_EQ(tree.CutMark(), 0);
  EXPECT_FALSE(tree.Paste(money));
  EXPECT_EQ(tree.Node(birds), nullptr);
  EXPECT_EQ(tree.NodeCount(), 2u);
}

TEST_F(ScenarioTreeEdit, PastingTheOnlyChildOfATopLevelGroupDeletesThatGroup) {
  tree.Cut(Find("cash"));
  ASSERT_TRUE(tree.Paste(birds));
  EXPECT_EQ(tree.Node(money), nullptr);
  EXPECT_EQ(Labels(tree, birds), (std::vector<std::string>{"crow", "cash"}));
  // A moved node is written at its new depth.
  ClassFileList out;
  ASSERT_TRUE(tree.Write(out));
  EXPECT_NE(FormatClassFileText(out).find("0#2#\tcash\tBirds"), std::string::npos);
}

TEST_F(ScenarioTreeEdit, DropOnAnItemMakesItAGroupOfItsOwn) {
  const int cash = Find("cash");
  ASSERT_TRUE(tree.DropMove(Find("dog"), cash));
  const int group = tree.Node(cash)->parent;
  EXPECT_NE(group, money);
  EXPECT_EQ(tree.Label(group), "cash");
  EXPECT_EQ(tree.Node(group)->parent, money);
  EXPECT_EQ(Labels(tree, group), (std::vector<std::string>{"cash", "dog"}));
  // Dropping a group onto its own descendant is refused.
  EXPECT_FALSE(tree.DropMove(animals, Find("crow")));
  EXPECT_EQ(tree.Node(animals)->parent, 0);
}

TEST_F(ScenarioTreeEdit, DissociateSplitsATopLevelGroup) {
  tree.Dissociate(animals);
  // The emptied top-level group goes with its last child.
  EXPECT_EQ(Labels(tree, 0), (std::vector<std::string>{"Birds", "cat", "dog", "Money"}));
  EXPECT_EQ(Labels(tree, Find("cat")), std::vector<std::string>{"cat"});
}

TEST_F(ScenarioTreeEdit, FindNextNodeWalksAndShortens) {
  // In tree order (sorted): Animals, Birds, crow, cat, dog, Money, cash.
  int start = 0;
  EXPECT_TRUE(tree.FindNextNode("c", start, false));
  EXPECT_EQ(tree.Label(tree.Selected()), "crow");
  EXPECT_TRUE(tree.FindNextNode("c", start, false));
  EXPECT_EQ(tree.Label(tree.Selected()), "cat");
  EXPECT_TRUE(tree.FindNextNode("c", start, false));
  EXPECT_EQ(tree.Label(tree.Selected()), "cash");
  EXPECT_TRUE(tree.FindNextNode("c", start, false));  // past the last node: from the first again
  EXPECT_EQ(tree.Label(tree.Selected()), "crow");
  // 9 letters: searched again with 7, then 6 letters.
  start = 0;
  EXPECT_FALSE(tree.FindNextNode("animalisx", start, false));
  EXPECT_FALSE(tree.FindNextNode("animaxxxx", start, true));  // "animax" still unknown
  EXPECT_TRUE(tree.FindNextNode("animalxxx", start, true));   // "animal" found
  EXPECT_EQ(tree.Selected(), animals);
  // 5 letters: 4 only, never 3.
  start = 0;
  EXPECT_TRUE(tree.FindNextNode("crowz", start, true));
  start = 0;
  EXPECT_FALSE(tree.FindNextNode("casxz", start, true));
}

TEST_F(ScenarioTreeEdit, RenameCleansOrMarksTheText) {
  EXPECT_FALSE(tree.Rename(Find("cat"), "x"));  // an item inside a group is not renamed in place
  EXPECT_TRUE(tree.Rename(money, "Cash  flow"));
  EXPECT_EQ(tree.Label(money), "Cash flow");
  EXPECT_TRUE(tree.Rename(money, ""));
  EXPECT_EQ(tree.Label(money), "Cash flow ???");
  // Upper case changes visible groups only, and marks the Scenario modified
  // only when a letter changed.
  tree.SetModified(false);
  EXPECT_FALSE(tree.UpperCase(birds));  // "Birds" is upper case already
  EXPECT_FALSE(tree.Modified());
  EXPECT_FALSE(tree.UpperCase(Find("cat")));
  EXPECT_EQ(tree.Label(Find("cat")), "cat");
  tree.Rename(birds, "small birds");
  tree.SetVisible(birds, false);
  tree.SetModified(false);
  EXPECT_FALSE(tree.UpperCase(birds));
  EXPECT_EQ(tree.Label(birds), "small birds");
  EXPECT_FALSE(tree.Modified());
  tree.Rename(animals, "wild-life animals");
  tree.SetModified(false);
  EXPECT_TRUE(tree.UpperCase(animals));
  EXPECT_EQ(tree.Label(animals), "Wild-Life Animals");
  EXPECT_TRUE(tree.Modified());
}

}  // namespace
}  // namespace quilor::ui

namespace quilor::ui {
namespace {

using namespace scenario_tests;

// The tree written, read back from its text and filled again.
ScenarioTree Reread(ScenarioTree& tree) {
  ClassFileList out;
  EXPECT_TRUE(tree.Write(out));
  ScenarioTree again;
  again.Fill(ParseScenario(FormatClassFileText(out)));
  return again;
}

// Groups level0 .. level8, each inside the one before; "loose", holding the
// item "x", sits in level0.
std::string Chain() {
  std::string text;
  for (int d = 0; d <= 8; ++d)
    text += "G#" + std::to_string(d) + "V\t" + std::to_string(d + 1) + "\tlevel" + std::to_string(d) + "\r\n";
  return text + "G#1V\t20\tloose\r\n0#2#\tx\tloose\r\n";
}

TEST(ScenarioTreeDepth, EveryDepthRoundTripsAfterCutPasteOrDrop) {
  for (const char* way : {"paste", "drop"}) {
    for (int depth = 0; depth <= ScenarioTree::kDeepestDepth; ++depth) {
      SCOPED_TRACE(std::string(way) + " to depth " + std::to_string(depth));
      ScenarioTree tree;
      tree.Fill(ParseScenario(Chain()));
      const int loose = FindLabel(tree, "loose");
      const int target = depth == 0 ? 0 : FindLabel(tree, "level" + std::to_string(depth - 1));
      const std::vector<std::string> before = Paths(tree);
      bool moved = false;
      if (depth == 0) {
        moved = tree.MoveNode(loose, 0);
      } else if (std::string(way) == "paste") {
        tree.Cut(loose);
        moved = tree.Paste(target);
      } else {
        moved = tree.DropMove(loose, target);
      }
      // "loose" and its item need depth + 1: the file holds depths 0 to 9.
      const bool fits = depth + 1 <= ScenarioTree::kDeepestDepth;
      EXPECT_EQ(moved, fits);
      EXPECT_EQ(tree.RefusedTooDeep(), !fits);
      std::string expected;
      for (int d = 0; d < depth; ++d) expected += "/level" + std::to_string(d);
      expected += "/loose/x";
      if (fits) {
        EXPECT_EQ(PathOf(tree, FindLabel(tree, "x")), expected);
      } else {
        EXPECT_EQ(Paths(tree), before);  // nothing moved
      }
      const std::vector<std::string> now = Paths(tree);
      ScenarioTree again = Reread(tree);
      EXPECT_EQ(Paths(again), now);
    }
  }
}

TEST(ScenarioTreeDepth, AnItemFitsAtTheDeepestDepthAGroupThereHoldsNothing) {
  ScenarioTree tree;
  tree.Fill(ParseScenario(Chain() + "G#0V\t30\tempty\r\n"));
  const int level8 = FindLabel(tree, "level8");
  const int x = FindLabel(tree, "x");
  tree.Cut(x);
  ASSERT_TRUE(tree.Paste(level8));
  EXPECT_EQ(tree.Depth(x), 9);
  const int empty = FindLabel(tree, "empty");
  ASSERT_TRUE(tree.DropMove(empty, level8));
  EXPECT_EQ(tree.Depth(empty), 9);
  ScenarioTree again = Reread(tree);
  EXPECT_EQ(Paths(again), Paths(tree));
  // Nothing goes into a group at depth 9.
  tree.Select(empty);
  EXPECT_FALSE(tree.AddPendingItem("y", 0, '?', false));
  EXPECT_TRUE(tree.RefusedTooDeep());
  tree.Select(empty);
  EXPECT_FALSE(tree.CreateOrSelectGroup("sub", -1, true));
  EXPECT_TRUE(tree.RefusedTooDeep());
  EXPECT_FALSE(tree.DropMove(x, empty));
  EXPECT_TRUE(tree.RefusedTooDeep());
  EXPECT_TRUE(tree.ChildrenOf(empty).empty());
  // A refusal is not remembered past the next edit.
  tree.Select(FindLabel(tree, "level0"));
  EXPECT_TRUE(tree.AddPendingItem("y", 0, '?', false));
  EXPECT_FALSE(tree.RefusedTooDeep());
}

// Depths kept from the file must not hand a node to another group.
TEST(ScenarioTreeDepth, KeptFileDepthsNeverMoveANodeOnSave) {
  // An item read at depth 5 below a group at 0, then a group added before it.
  ScenarioTree tree;
  tree.Fill(ParseScenario("G#0V\t1\tA\r\n0#5#\tzed\tA\r\n"));
  const int a = tree.TopLevel()[0];
  tree.AddGroup(a, "b", true);
  tree.SortChildren(a);
  ASSERT_EQ(Labels(tree, a), (std::vector<std::string>{"b", "zed"}));
  EXPECT_EQ(Paths(Reread(tree)), Paths(tree));
  // A group read at depth 9 that is given an item: the item stays in it.
  ScenarioTree deep;
  deep.Fill(ParseScenario("G#0V\t1\tA\r\nG#9V\t2\tB\r\n"));
  const int b = FindLabel(deep, "B");
  ASSERT_EQ(deep.Node(b)->parent, deep.TopLevel()[0]);
  deep.Select(b);
  ASSERT_TRUE(deep.AddPendingItem("y", 0, '?', false));
  EXPECT_EQ(Paths(Reread(deep)), Paths(deep));
}

// A hand-written file may put an item into a group at depth 9: its line
// carries depth 9 too, and its group's name says where it belongs. The
// item stays there on save, and one of the group above stays above.
TEST(ScenarioTreeDepth, AnItemOfADepthNineGroupStaysInItOnSave) {
  std::string text;
  for (int d = 0; d <= 9; ++d)
    text += "G#" + std::to_string(d) + "V\t" + std::to_string(d + 1) + "\tlevel" + std::to_string(d) + "\r\n";
  text += "0#9#\tdeep\tlevel9\r\n0#9#\tzed\tlevel8\r\n";
  ScenarioTree tree;
  EXPECT_EQ(RoundTrip(text, &tree), text);
  EXPECT_EQ(tree.Node(FindLabel(tree, "deep"))->parent, FindLabel(tree, "level9"));
  EXPECT_EQ(tree.Node(FindLabel(tree, "zed"))->parent, FindLabel(tree, "level8"));
}

TEST(ScenarioTreeMapping, TheTreeIsSortedByTextOnLoad) {
  ScenarioTree tree;
  tree.Fill(ParseScenario("G#0V\t1\tzoo\r\n0#1#\tb\tzoo\r\n0#1#\tA\tzoo\r\nG#0V\t2\tant\r\n"));
  EXPECT_EQ(Labels(tree, 0), (std::vector<std::string>{"ant", "zoo"}));
  EXPECT_EQ(Labels(tree, tree.TopLevel()[1]), (std::vector<std::string>{"A", "b"}));
  EXPECT_FALSE(tree.Modified());
}

}  // namespace
}  // namespace quilor::ui
