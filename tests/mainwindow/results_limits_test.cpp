// The results lists at their edges: no class, one class, and the most lines
// a list shows.
#include <gtest/gtest.h>

#include "mainwindow/results_lines.h"

namespace quilor::ui {
namespace {

TScenarioClass Entry(const std::string& name, uint32_t count) {
  TScenarioClass c;
  c.name = name;
  c.count = count;
  c.occurs = count > 0;
  return c;
}

TEST(ResultsLimits, AScenarioWithoutEntriesListsNothingAndOneEntryOneLine) {
  for (bool alphabetical : {false, true}) {
    SCOPED_TRACE(alphabetical);
    EXPECT_TRUE(ScenarioLines({}, {}, alphabetical, false, 0, {}).lines.empty());
    EXPECT_TRUE(ScenarioLines({TScenarioClass()}, {1}, alphabetical, false, 0, {}).lines.empty());
    const TScenarioLines one = ScenarioLines({TScenarioClass(), Entry("Animals", 3)}, {1}, alphabetical, false, 0, {});
    EXPECT_EQ(one.lines, std::vector<std::string>{"Animals\t0003\t0"});
    EXPECT_EQ(one.tags, std::vector<uint32_t>{1});
  }
}

TEST(ResultsLimits, AListStopsAtItsMostLines) {
  for (size_t classes : {kMaxResultLines, kMaxResultLines + 1}) {
    SCOPED_TRACE(classes);
    std::vector<TRankedClass> ranked(classes, TRankedClass{"c", 2, 0});
    EXPECT_EQ(ClassLevelLines(ranked, 1, {}).size(), kMaxResultLines);
    std::vector<TScenarioClass> scenario(classes + 1, Entry("e", 2));
    std::vector<uint32_t> ranking;
    for (uint32_t i = 1; i <= classes; ++i) ranking.push_back(i);
    for (bool alphabetical : {false, true}) {
      const TScenarioLines lines = ScenarioLines(scenario, ranking, alphabetical, false, 0, {});
      EXPECT_EQ(lines.lines.size(), kMaxResultLines);
      EXPECT_EQ(lines.tags.back(), kMaxResultLines);
    }
  }
  // One line short of the most: every class has its line.
  std::vector<TRankedClass> ranked(kMaxResultLines - 1, TRankedClass{"c", 2, 0});
  EXPECT_EQ(ClassLevelLines(ranked, 1, {}).size(), kMaxResultLines - 1);
}

}  // namespace
}  // namespace quilor::ui
