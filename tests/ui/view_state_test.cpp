#include "ui/view_state.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/category.h"
#include "core/options.h"
#include "core/run_settings.h"
#include "engine/analysis_results.h"

namespace quilor::ui {
namespace {

// The three colourings of the text: every category in its colour; only the
// classified words; only the categories the filters keep.
TEST(ViewStateTest, EachColouringKeepsTheColoursItShows) {
  Options->ResetSettings();
  for (size_t i = 0; i < opt::ColourCount; ++i) Options->Set(opt::Colour(i), MakeRgb(1, 2, static_cast<int>(i) + 10));
  TViewState state;
  ColorationSyntaxique(state);
  EXPECT_TRUE(state.SyntacticColouring);
  for (size_t i = 0; i < opt::ColourCount; ++i)
    EXPECT_EQ(state.CurrentColours[i], MakeRgb(1, 2, static_cast<int>(i) + 10));

  ColorationReferent(state);
  EXPECT_FALSE(state.SyntacticColouring);
  for (size_t i = 0; i < opt::ColourCount; ++i)
    EXPECT_EQ(state.CurrentColours[i], i < kColourClassified ? kBlack : MakeRgb(1, 2, static_cast<int>(i) + 10)) << i;

  state.CategoryFilters.fill(1);
  state.CategoryFilters[2] = 0;
  state.CategoryFilters[7] = 0;
  state.CategoryFilters[8] = 0;  // past the categories: no colour of its own
  ColorationSelective(state);
  for (size_t i = 0; i < opt::ColourCount; ++i)
    EXPECT_EQ(state.CurrentColours[i], i == 2 || i == 7 ? kBlack : MakeRgb(1, 2, static_cast<int>(i) + 10)) << i;

  // A word of no class takes the nouns' colour; a class past the roles is black.
  EXPECT_EQ(CategoryColour(0, state), state.CurrentColours[kClassSubstantive]);
  EXPECT_EQ(CategoryColour(3, state), state.CurrentColours[3]);
  EXPECT_EQ(CategoryColour(kColourRoleCount - 1, state), state.CurrentColours[kColourRoleCount - 1]);
  EXPECT_EQ(CategoryColour(kColourRoleCount, state), kBlack);
  Options->ResetSettings();
}

// The lists show classes met at least the analysis' minimum, and never fewer than once.
TEST(ViewStateTest, TheListedMinimumIsTheAnalysisOwnAndAtLeastOne) {
  std::unique_ptr<TAnalysisResults> saved = std::move(AnalysisResults);
  EXPECT_EQ(ListedMinimumCount(), 1u);
  AnalysisResults = std::make_unique<TAnalysisResults>(10, TakeRunSettings(*Options));
  AnalysisResults->MinimumClassCount = 0;
  EXPECT_EQ(ListedMinimumCount(), 1u);
  AnalysisResults->MinimumClassCount = 4;
  EXPECT_EQ(ListedMinimumCount(), 4u);
  AnalysisResults = std::move(saved);

  TViewState state;
  state.DisplayIndex = 7;
  state.TextViewWordLimit = 12;
  state.CurrentWordPosition = 99;
  ResetCurseur(state);
  EXPECT_EQ(state.DisplayIndex, -1);
  EXPECT_EQ(state.TextViewWordLimit, kScrollWordLimit);
  EXPECT_EQ(state.CurrentWordPosition, 0);
}

}  // namespace
}  // namespace quilor::ui
