#include "platform/usable_cores.h"

#include <gtest/gtest.h>
#include <sched.h>

namespace quilor {
namespace {

TEST(UsableCoresTest, QuotaLinesGiveWholeProcessorsRoundedUp) {
  const std::pair<const char*, unsigned> lines[] = {
      {"max 100000", 0}, {"100000 100000", 1}, {"150000 100000", 2}, {"50000 100000", 1},
      {"", 0},           {"garbage", 0},       {"12x 100000", 0},    {"100000 0", 0}};
  for (auto [line, cores] : lines) EXPECT_EQ(CoresOfCpuMax(line), cores) << line;
  EXPECT_EQ(CoresOfCfsQuota(-1, 100000), 0u);
  EXPECT_EQ(CoresOfCfsQuota(300000, 100000), 3u);
  EXPECT_EQ(CoresOfCfsQuota(250000, 100000), 3u);
}

// A run given one processor (taskset -c 0) counts one, whatever the machine has.
TEST(UsableCoresTest, FollowsTheAffinityMask) {
  cpu_set_t saved;
  ASSERT_EQ(sched_getaffinity(0, sizeof saved, &saved), 0);
  int first = -1;
  for (int c = 0; c < CPU_SETSIZE && first < 0; ++c)
    if (CPU_ISSET(c, &saved)) first = c;
  ASSERT_GE(first, 0);
  cpu_set_t one;
  CPU_ZERO(&one);
  CPU_SET(first, &one);
  ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
  const unsigned cores = UsableCores();
  sched_setaffinity(0, sizeof saved, &saved);
  EXPECT_EQ(cores, 1u);
  EXPECT_GE(UsableCores(), 1u);
  EXPECT_LE(UsableCores(), static_cast<unsigned>(CPU_COUNT(&saved)));
}

// A short text's run counts one processor until it ends, then the machine's again.
TEST(UsableCoresTest, ACapHoldsUntilItsScopeEnds) {
  const unsigned found = UsableCores();
  {
    ScopedCoresCap shortText(1);
    EXPECT_EQ(UsableCores(), 1u);
    {
      ScopedCoresCap none(0);
      EXPECT_EQ(UsableCores(), found);
    }
    EXPECT_EQ(UsableCores(), 1u);
  }
  EXPECT_EQ(UsableCores(), found);
}

}  // namespace
}  // namespace quilor
