// The ranged options at their limits: what a user sets at either end of a
// range comes back after a save and a restart; a value one past an end (a
// damaged or foreign file) comes back as the default.
#include <gtest/gtest.h>

#include <string>

#include "core/options.h"
#include "tests/platform/temp_folder.h"

namespace quilor {
namespace {

using testing::TempFolder;

template <typename Field>
struct Ranged {
  const char* name;
  Field field;
  uint32_t low, high, fallback;
};

const Ranged<U16Field> kShortOptions[] = {
    {"graph objects", opt::GraphMaxObjects, 4, 100, 8}, {"graph kind", opt::GraphKind, 1, 5, 2},
    {"document kind", opt::DocumentKind, 1, 43, 10},    {"class words", opt::ClassMinWords, 1, 999, 3},
    {"pertinence", opt::ClassPertinence, 1, 999, 15},   {"relation base", opt::RelationBase, 1, 4, 1},
    {"parts", opt::CharacteristicParts, 1, 100, 90},    {"size threshold", opt::SizeThreshold, 0, 2047, 25},
    {"open filter", opt::OpenFilterIndex, 1, 22, 12}};
const Ranged<U32Field> kLongOptions[] = {{"chart type", opt::ExcelChartType, 0, 5, 0},
                                         {"table type", opt::ExcelTableType, 0, 2, 0},
                                         {"max charts", opt::ExcelMaxCharts, 1, 255, 8}};

// Saves a record holding the value and reads it back as the next start would.
template <typename Field>
uint32_t AfterRestart(Field field, uint32_t value) {
  TempFolder dir;
  TOptionsRecord saved;
  saved.Set(field, static_cast<decltype(saved.Get(field))>(value));
  const std::string path = dir / "quilor.prm";
  EXPECT_TRUE(WriteOptionsFile(path, saved));
  TOptionsRecord read;
  EXPECT_TRUE(ReadOptionsFile(path, read));
  return read.Get(field);
}

template <typename Field, size_t N>
void CheckEnds(const Ranged<Field> (&options)[N]) {
  for (const auto& o : options) {
    EXPECT_EQ(AfterRestart(o.field, o.high), o.high) << o.name;
    EXPECT_EQ(AfterRestart(o.field, o.low), o.low) << o.name;
    EXPECT_EQ(AfterRestart(o.field, o.high + 1), o.fallback) << o.name;
    if (o.low > 0) {
      EXPECT_EQ(AfterRestart(o.field, o.low - 1), o.fallback) << o.name;
    }
  }
}

TEST(OptionsLimits, EachEndOfARangeSurvivesARestartAndOnePastItIsTheDefault) {
  CheckEnds(kShortOptions);
  CheckEnds(kLongOptions);
}

}  // namespace
}  // namespace quilor
