// The graph options and colour options dialogs: live changes and Cancel.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollBar>

#include "core/options.h"
#include "ui/desktop.h"
#include "ui/main_window_port.h"
#include "output/display_options_dialog.h"

namespace quilor::ui {
namespace {

class DisplayOptionsTest : public ::testing::Test {
 protected:
  void SetUp() override { options.ResetSettings(); }
  TOptionsRecord options;
  FakeMainWindow port;
};

TEST_F(DisplayOptionsTest, AMaximumOutsideItsRangeShowsAndStoresEight) {
  for (int stored : {3, 101}) {
    options.Set(opt::GraphMaxObjects, static_cast<uint16_t>(stored));
    GraphOptionsDialog dialog(options, port);
    EXPECT_EQ(dialog.ObjectsBar()->value(), 8) << stored;
    EXPECT_EQ(dialog.ObjectsLabel()->text(), "8");
    EXPECT_EQ(options.Get(opt::GraphMaxObjects), 8);
  }
  EXPECT_EQ(port.redraws, 0);
}

TEST_F(DisplayOptionsTest, AnUnknownKindShowsTheStar) {
  for (int stored : {0, 6}) {
    options.Set(opt::GraphKind, static_cast<uint16_t>(stored));
    GraphOptionsDialog dialog(options, port);
    EXPECT_TRUE(dialog.KindButton(2)->isChecked()) << stored;
  }
}

TEST_F(DisplayOptionsTest, EachGraphChangeRedrawsAndCancelPutsEverythingBack) {
  options.Set(opt::GraphKind, 1);
  options.Set(opt::AreaGraph3D, 1);
  GraphOptionsDialog dialog(options, port);
  EXPECT_TRUE(dialog.ThreeDButton()->isChecked());
  EXPECT_TRUE(dialog.BurstsBox()->isChecked());
  dialog.KindButton(4)->click();
  EXPECT_EQ(options.Get(opt::GraphKind), 4);
  dialog.TransparentButton()->click();
  EXPECT_EQ(options.Get(opt::AreaGraph3D), 0);
  dialog.BurstsBox()->click();
  EXPECT_EQ(options.Get(opt::BurstsNotOnAllCategories), 1);
  dialog.ObjectsBar()->setValue(40);
  EXPECT_EQ(options.Get(opt::GraphMaxObjects), 40);
  EXPECT_EQ(dialog.ObjectsLabel()->text(), "40");
  const int redraws = port.redraws;
  EXPECT_EQ(redraws, 4);  // one per change
  dialog.reject();
  EXPECT_EQ(options.Get(opt::GraphKind), 1);
  EXPECT_EQ(options.Get(opt::AreaGraph3D), 1);
  EXPECT_EQ(options.Get(opt::BurstsNotOnAllCategories), 0);
  EXPECT_EQ(options.Get(opt::GraphMaxObjects), 30);
  EXPECT_EQ(port.redraws, redraws + 1);
}

TEST_F(DisplayOptionsTest, AChosenColourGoesIntoBothTablesAndRedraws) {
  ScopedScriptedDesktop scripted;
  scripted.desktop.colourAnswers.push_back(MakeRgb(1, 2, 3));
  ColourOptionsLogic::ColourTable current{};
  ColourOptionsDialog dialog(options, current, port);
  ASSERT_EQ(dialog.List()->count(), 10);
  dialog.List()->setCurrentRow(1);  // Verb: role 1
  dialog.Modify();
  EXPECT_EQ(options.Get(opt::Colour(1)), MakeRgb(1, 2, 3));
  EXPECT_EQ(current[1], MakeRgb(1, 2, 3));
  EXPECT_EQ(port.redraws, 1);
  // A cancelled chooser changes nothing.
  scripted.desktop.colourAnswers.push_back(std::nullopt);
  dialog.Modify();
  EXPECT_EQ(port.redraws, 1);
}

TEST_F(DisplayOptionsTest, SyntacticThenCancelRestoresBothTablesAndTheSwitch) {
  ScopedScriptedDesktop scripted;
  scripted.desktop.colourAnswers.push_back(MakeRgb(9, 9, 9));
  ColourOptionsLogic::ColourTable current{};
  current[11] = MakeRgb(5, 5, 5);
  const ColourOptionsLogic::ColourTable before = current;
  const uint32_t role11 = options.Get(opt::Colour(11));
  ColourOptionsDialog dialog(options, current, port);
  ASSERT_TRUE(dialog.SelectiveButton()->isChecked());
  dialog.List()->setCurrentRow(0);  // Class: role 11
  dialog.Modify();
  dialog.SyntacticButton()->setChecked(true);
  EXPECT_EQ(options.Get(opt::SelectiveColouring), 0);
  dialog.reject();
  EXPECT_EQ(current, before);
  EXPECT_EQ(options.Get(opt::Colour(11)), role11);
  EXPECT_EQ(options.Get(opt::SelectiveColouring), 1);
}

TEST_F(DisplayOptionsTest, RestoreThenCancelBringsBackThePaletteToo) {
  options.Set(opt::Colour(14), 0x123456);
  options.Set(opt::PaletteColour(3), 0x654321);
  ColourOptionsLogic::ColourTable current{};
  ColourOptionsDialog dialog(options, current, port);
  dialog.Restore();
  EXPECT_EQ(options.Get(opt::Colour(14)), 0x0000FF00u);
  EXPECT_EQ(current[14], 0x0000FF00u);
  EXPECT_NE(options.Get(opt::PaletteColour(3)), 0x654321u);
  dialog.reject();
  EXPECT_EQ(options.Get(opt::Colour(14)), 0x123456u);
  EXPECT_EQ(options.Get(opt::PaletteColour(3)), 0x654321u);
}

// The logic works without anything to redraw (no text shown): each change
// still reaches the options, and a row outside the list changes nothing.
TEST_F(DisplayOptionsTest, ChangesNeedNothingToRedraw) {
  ScopedScriptedDesktop scripted;
  scripted.desktop.colourAnswers.push_back(MakeRgb(4, 5, 6));
  ColourOptionsLogic::ColourTable current{};
  ColourOptionsLogic colours(options, current, {});
  EXPECT_FALSE(colours.Modify(-1, scripted.desktop));
  EXPECT_FALSE(colours.Modify(static_cast<int>(kColourRows.size()), scripted.desktop));
  EXPECT_EQ(colours.RowColour(-1), kBlack);
  ASSERT_TRUE(colours.Modify(0, scripted.desktop));
  const size_t role = static_cast<size_t>(kColourRows[0].role);
  EXPECT_EQ(options.Get(opt::Colour(role)), MakeRgb(4, 5, 6));
  EXPECT_EQ(colours.RowColour(0), MakeRgb(4, 5, 6));
  colours.SetSelective(false, true);
  EXPECT_FALSE(options.Switch(opt::SelectiveColouring));
  colours.Restore();
  EXPECT_NE(options.Get(opt::Colour(role)), MakeRgb(4, 5, 6));
  colours.Cancel();
  EXPECT_TRUE(options.Switch(opt::SelectiveColouring));

  GraphOptionsLogic graph(options, {});
  graph.SetKind(4);
  graph.SetMaximumObjects(500);
  EXPECT_EQ(options.Get(opt::GraphKind), 4);
  EXPECT_EQ(options.Get(opt::GraphMaxObjects), kMaxGraphObjects);
  graph.SetMaximumObjects(0);
  EXPECT_EQ(options.Get(opt::GraphMaxObjects), kMinGraphObjects);
  graph.SetBurstsOnAllCategories(false);
  EXPECT_TRUE(options.Switch(opt::BurstsNotOnAllCategories));
  graph.SetThreeD(false);
  EXPECT_FALSE(options.Switch(opt::AreaGraph3D));
  graph.Cancel();
  EXPECT_EQ(options.Get(opt::GraphKind), 1);
  EXPECT_TRUE(options.Switch(opt::AreaGraph3D));
}

}  // namespace
}  // namespace quilor::ui
