#include "core/run_settings.h"

#include <gtest/gtest.h>

namespace quilor {
namespace {

// The engine is handed TRunSettings{} where no options were read (tests,
// tools): it must then run as on a new options record.
TEST(RunSettings, ThoseOfANewRecordAreTheDefaults) {
  TOptionsRecord record;
  const TRunSettings taken = TakeRunSettings(record);
  const TRunSettings defaults;
  EXPECT_EQ(taken.classThresholdInWords, defaults.classThresholdInWords);
  EXPECT_EQ(taken.classMinWords, defaults.classMinWords);
  EXPECT_EQ(taken.classPertinence, defaults.classPertinence);
  EXPECT_EQ(taken.relationBase, defaults.relationBase);
  EXPECT_EQ(taken.characteristicParts, defaults.characteristicParts);
  EXPECT_EQ(taken.sizeThreshold, defaults.sizeThreshold);
  EXPECT_EQ(taken.bordersNamed, defaults.bordersNamed);
  EXPECT_EQ(taken.showBorders, defaults.showBorders);
  EXPECT_EQ(taken.numbersAsWords, defaults.numbersAsWords);
  EXPECT_EQ(taken.scenarioOnAllCategories, defaults.scenarioOnAllCategories);
}

TEST(RunSettings, ValuesOutOfTheirRangeArePutRightInTheRecordToo) {
  TOptionsRecord record;
  record.Set(opt::SizeThreshold, uint16_t{1});
  record.Set(opt::RelationBase, uint16_t{7});
  record.Set(opt::BordersFileName, "mine.dlm");
  record.Set(opt::Normalisation, uint8_t{1});
  const TRunSettings s = TakeRunSettings(record);
  EXPECT_EQ(s.sizeThreshold, 2);
  EXPECT_EQ(record.Get(opt::SizeThreshold), 2);
  EXPECT_EQ(s.relationBase, 1);
  EXPECT_EQ(record.Get(opt::RelationBase), 1);
  EXPECT_TRUE(s.bordersNamed);
  EXPECT_TRUE(s.numbersAsWords);
  // Values in range are taken as they are.
  record.Set(opt::RelationBase, uint16_t{3});
  record.Set(opt::SizeThreshold, uint16_t{40});
  EXPECT_EQ(TakeRunSettings(record).relationBase, 3);
  EXPECT_EQ(TakeRunSettings(record).sizeThreshold, 40);
}

}  // namespace
}  // namespace quilor
