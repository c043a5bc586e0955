#include <gtest/gtest.h>

#include <cstdint>
#include <map>

#include "engine/count_table.h"

namespace quilor {
namespace {

// The table counts as a map does through its growths, for the key 0 too, and
// is empty again after Clear.
TEST(CountTable, CountsAsAMapThroughGrowthAndClear) {
  TCountTable table;
  std::map<uint64_t, uint32_t> expected;
  uint64_t key = 12345;
  for (int i = 0; i < 20000; ++i) {
    key = key * 6364136223846793005ull + 1442695040888963407ull;
    const uint64_t k = (key >> 40) % 3000 == 0 ? 0 : (key >> 20);  // repeats and the key 0
    table.Increment(k);
    ++expected[k];
  }
  EXPECT_EQ(table.Size(), expected.size());
  for (const auto& [k, count] : expected) EXPECT_EQ(table.Get(k), count) << k;
  EXPECT_EQ(table.Get(1), expected.count(1) ? expected[1] : 0u);
  table.Clear();
  EXPECT_EQ(table.Size(), 0u);
  for (const auto& entry : expected) EXPECT_EQ(table.Get(entry.first), 0u);
  table.Increment(7);
  EXPECT_EQ(table.Get(7), 1u);
}

}  // namespace
}  // namespace quilor
