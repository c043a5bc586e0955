#include "mainwindow/results_lines.h"

#include <gtest/gtest.h>

namespace quilor::ui {
namespace {

std::vector<TRankedClass> Ranked(std::initializer_list<uint32_t> counts) {
  std::vector<TRankedClass> out;
  int n = 0;
  for (uint32_t c : counts) out.push_back({"class" + std::to_string(++n), c, 0});
  return out;
}

TEST(ResultLines, RankedClassesStopAtTheMinimumAndPadTheirCounts) {
  const auto lines = ClassLevelLines(Ranked({10, 9, 5, 3, 2}), 3, {});
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "class1\t0010");
  EXPECT_EQ(lines[3], "class4\t0003");
  // A count past four digits is written whole.
  EXPECT_EQ(PadCount(12345), "12345");
  EXPECT_EQ(PadCount(0), "0000");
  EXPECT_EQ(ClassLevelLines(Ranked({12345}), 1, {})[0], "class1\t12345");
}

TEST(ResultLines, ActorFiltersKeepTheSharedClassesWithTheirShare) {
  std::vector<TRankedClass> ranked = {{"before", 10, 8}, {"after", 10, 2}, {"half", 10, 5}};
  // Both boxes checked: two columns.
  EXPECT_EQ(ClassLevelLines(ranked, 1, {})[0], "before\t0010");
  // Actant unchecked: only the acted share counts.
  EXPECT_EQ(ClassLevelLines(ranked, 1, {true, false}),
            (std::vector<std::string>{"after\t0010\t(80%)", "half\t0010\t(50%)"}));
  // Acte unchecked: the actant share.
  EXPECT_EQ(ClassLevelLines(ranked, 1, {false, true}),
            (std::vector<std::string>{"before\t0010\t(80%)", "half\t0010\t(50%)"}));
}

TEST(ResultLines, RelationsNeedTwoDistinctOccurringClassesAndMoreThanOneOccurrence) {
  auto name = [](uint32_t c) { return "c" + std::to_string(c); };
  std::vector<TRelationGroup> groups = {
      {{1, 2}, 5},  // listed
      {{3, 0}, 9},  // a window naming one class
      {{4, 4}, 7},  // a class following itself
      {{1, 5}, 1},  // once only
      {{6, 1}, 2},  // listed
  };
  EXPECT_EQ(RelationLines(groups, name, {}), (std::vector<std::string>{"(c1 > c2)\t0005", "(c6 > c1)\t0002"}));
  // At the Scenario level a class that does not occur drops the line.
  EXPECT_EQ(RelationLines(groups, name, [](uint32_t c) { return c != 2; }),
            (std::vector<std::string>{"(c6 > c1)\t0002"}));
}

// Scenario: 1 Animals {2 dog, 3 cat {4 kitten}}, 5 Money {6 cash}, 7 Zebra (top, empty).
std::vector<TScenarioClass> Scenario() {
  std::vector<TScenarioClass> s(8);
  auto set = [&](uint32_t i, const char* name, uint32_t count, uint32_t parent, uint32_t depth) {
    s[i] = {name, count, parent, depth, count > 0, 0};
  };
  set(1, "Animals", 6, 0, 0);
  set(2, "dog", 3, 1, 1);
  set(3, "cat", 3, 1, 1);
  set(4, "kitten", 1, 3, 2);
  set(5, "Money", 8, 0, 0);
  set(6, "cash", 8, 5, 1);
  set(7, "Zebra", 0, 0, 0);
  return s;
}

TEST(ResultLines, ScenarioTreeFollowsRankThenTheGroupsBelow) {
  const TScenarioLines byCount = ScenarioLines(Scenario(), {5, 1}, false, false, 1, {});
  EXPECT_EQ(byCount.lines, (std::vector<std::string>{"Money\t0008\t0", "cash\t0008\t5", "Animals\t0006\t0",
                                                     "dog\t0003\t1", "cat\t0003\t1", "kitten\t0001\t3"}));
  EXPECT_EQ(byCount.tags, (std::vector<uint32_t>{5, 6, 1, 2, 3, 4}));
  // The alphabetical option keeps the Scenario's own order, not the alphabet.
  const TScenarioLines own = ScenarioLines(Scenario(), {5, 1}, true, false, 1, {});
  EXPECT_EQ(own.tags, (std::vector<uint32_t>{1, 2, 3, 4, 5, 6}));
  // Hidden branches and the minimum.
  EXPECT_EQ(ScenarioLines(Scenario(), {5, 1}, false, true, 1, {}).tags, (std::vector<uint32_t>{5, 1}));
  EXPECT_EQ(ScenarioLines(Scenario(), {5, 1}, false, false, 3, {}).tags, (std::vector<uint32_t>{5, 6, 1, 2, 3}));
  EXPECT_TRUE(ScenarioLines({TScenarioClass{}}, {}, false, false, 1, {}).lines.empty());
}

TEST(ResultLines, LemmasAndEpisodes) {
  const std::vector<TLemmaCount> ranked = {{"walk", 7}, {"run", 2}, {"say", 1}};
  EXPECT_EQ(LemmaLines(ranked, 2, true), (std::vector<std::string>{"walk\t0007", "run\t0002"}));
  // Index order reads every entry.
  const std::vector<TLemmaCount> indexOrder = {{"apple", 1}, {"boat", 3}, {"cat", 0}, {"dam", 2}};
  EXPECT_EQ(LemmaLines(indexOrder, 2, false), (std::vector<std::string>{"boat\t0003", "dam\t0002"}));

  std::vector<TBurstRecord> bursts = {{-7, 1, 4, 1, 9, 5}, {3, 2, 5, 20, 40, 30}, {12, 1, 3, 2, 8, 5}};
  EXPECT_EQ(EpisodeLines(bursts, 1, [](int32_t id) { return "item" + std::to_string(id); }),
            (std::vector<std::string>{"item-7\t0004", "item12\t0003"}));
}

}  // namespace
}  // namespace quilor::ui
