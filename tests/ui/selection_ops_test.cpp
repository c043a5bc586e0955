#include "ui/selection_ops.h"

#include <gtest/gtest.h>

#include "engine/bursts.h"
#include "core/options.h"
#include "engine/selection.h"
#include "ui/main_window_port.h"
#include "ui/view_state.h"
#include "tests/engine/burst_text_builder.h"

namespace quilor::ui {
namespace {

using testing_words::Category;
using testing_words::TextBuilder;

class SelectionOps : public ::testing::Test {
 protected:
  void SetUp() override {
    ViewState.Reset();
    ViewState.selection.Clear();
    SetViewMainWindow(&main_);
    TextWords.Clear();
  }
  void TearDown() override {
    SetViewMainWindow(nullptr);
    TextWords.Clear();
    ViewState.Reset();
    ViewState.selection.Clear();
  }
  FakeMainWindow main_;
};

TEST_F(SelectionOps, NewSelectionStartsFromACleanSlateAndRedrawsOnlyWhenResultsAreShown) {
  ViewState.TextPartStart = 40;
  ViewState.TextViewWordLimit = 60;
  ViewState.CategoryFilters[3] = 1;
  ViewState.selection.activePatterns[0] = true;
  ViewState.selection.relationRecord = 7;
  BeginNewSelectionAndRedraw();
  EXPECT_TRUE(ViewState.SelectionActive);
  EXPECT_TRUE(ViewState.ExtractMode);
  EXPECT_EQ(ViewState.TextPartStart, 0);
  EXPECT_EQ(ViewState.TextViewWordLimit, kNoWordLimit);
  EXPECT_EQ(ViewState.CategoryFilters[3], 0);
  EXPECT_FALSE(ViewState.selection.activePatterns[0]);
  EXPECT_EQ(ViewState.selection.relationRecord, static_cast<size_t>(-1));
  EXPECT_EQ(main_.redraws, 1);

  main_.textLoaded = false;
  ViewState.TextPartStart = 40;
  BeginNewSelectionAndRedraw();
  EXPECT_EQ(ViewState.TextPartStart, 40);  // not cleared: no results are shown
  EXPECT_EQ(main_.redraws, 1);

  ClearSelection();
  EXPECT_FALSE(ViewState.SelectionActive);
  EXPECT_FALSE(ViewState.ExtractMode);
}

TEST_F(SelectionOps, TextPartGoesBackToTheStartOfItsProposition) {
  TextBuilder b(TextWords);
  b.Filler(5);
  b.Mark();     // after word 5
  b.Filler(5);  // words 6..10
  b.Mark();
  ViewState.TextPartStart = 8;
  MettreAffichageSurPartieDuTexte();
  // The cursor stands on the mark that opens the proposition of word 8.
  EXPECT_STREQ(TextWords.Cursor()->text, "/");
  EXPECT_EQ(ViewState.CurrentWordPosition, 5);
  TextWords.Rewind();
  TextWords.RestoreCursor(2);
  EXPECT_EQ(TextWords.Cursor()->position, 5);
  // The first word of a proposition belongs to the one it opens.
  ViewState.TextPartStart = 6;
  MettreAffichageSurPartieDuTexte();
  EXPECT_EQ(ViewState.CurrentWordPosition, 5);
}

TEST_F(SelectionOps, CharacteristicPropositionsAreTheWordsWithARankMark) {
  TextBuilder b(TextWords);
  b.Filler(3);
  b.Mark();
  b.Filler(3);
  TBurstResults bursts;
  bursts.rankMarks = {0, 0, 0, 0, 0, 7, 0};  // the 6th node: word 5
  AffichePropositionsDeLaSFS(bursts);
  EXPECT_EQ(ViewState.selection.kind, kSelectMarked);
  EXPECT_TRUE(ViewState.ExtractMode);
  TextWords.Rewind();
  ASSERT_TRUE(FindNextSelectedOccurrence(false, TextWords, ViewState.selection));
  EXPECT_EQ(ViewState.selection.matchPosition, 5);
  EXPECT_FALSE(FindNextSelectedOccurrence(false, TextWords, ViewState.selection));
}

TEST_F(SelectionOps, ColouringsFollowTheOptionsAndTheSelectiveBytes) {
  const Rgb verb = Options->Get(opt::Colour(kClassVerb));
  const Rgb classified = Options->Get(opt::Colour(kColourClassified));
  ColorationReferent();
  EXPECT_FALSE(ViewState.SyntacticColouring);
  EXPECT_EQ(ViewState.CurrentColours[kClassVerb], kBlack);
  EXPECT_EQ(ViewState.CurrentColours[kColourClassified], classified);
  ViewState.CategoryFilters[kClassConnector] = 1;
  ColorationSelective();
  EXPECT_FALSE(ViewState.SyntacticColouring);  // kept
  EXPECT_EQ(ViewState.CurrentColours[kClassVerb], kBlack);
  EXPECT_EQ(ViewState.CurrentColours[kClassConnector], Options->Get(opt::Colour(kClassConnector)));
  ColorationSyntaxique();
  EXPECT_TRUE(ViewState.SyntacticColouring);
  EXPECT_EQ(ViewState.CurrentColours[kClassVerb], verb);
  // A class byte 0 is a substantive.
  EXPECT_EQ(CategoryColour(0), ViewState.CurrentColours[kClassSubstantive]);
}

}  // namespace
}  // namespace quilor::ui
