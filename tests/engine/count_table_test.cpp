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

// Keys that share one half of their bits are different keys, a key whose
// low half is zero among them; a number set through CountOf is kept through
// the growths.
TEST(CountTable, KeysDifferingInOneHalfAreApart) {
  TCountTable table;
  const uint64_t keys[] = {uint64_t{1} << 32, 1, (uint64_t{1} << 32) | 1, uint64_t{7} << 60, 7};
  for (size_t i = 0; i < std::size(keys); ++i) table.CountOf(keys[i]) = static_cast<uint32_t>(100 + i);
  for (uint64_t k = 1000; k < 5000; ++k) table.Increment(k << 32);  // several growths
  for (size_t i = 0; i < std::size(keys); ++i) EXPECT_EQ(table.Get(keys[i]), 100 + i) << keys[i];
  EXPECT_EQ(table.Get(uint64_t{2} << 32), 0u);
  EXPECT_EQ(table.Get(uint64_t{1000} << 32), 1u);
  EXPECT_EQ(table.Size(), std::size(keys) + 4000);
}

}  // namespace
}  // namespace quilor
