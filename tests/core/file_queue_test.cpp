#include <gtest/gtest.h>

#include <string>

#include "core/file_queue.h"

namespace quilor {
namespace {

TEST(FileQueue, OutOfRangeIndexesGiveTheFirstName) {
  TPileFile queue;
  EXPECT_EQ(queue.Get(1), nullptr);  // empty
  ASSERT_TRUE(queue.Add("a.txt"));
  ASSERT_TRUE(queue.Add("b.txt"));
  ASSERT_TRUE(queue.Add("c.txt"));
  EXPECT_STREQ(queue.Get(2), "b.txt");
  EXPECT_STREQ(queue.Get(0), "a.txt");
  EXPECT_STREQ(queue.Get(4), "a.txt");
  EXPECT_STREQ(queue.Get(-1), "a.txt");
  EXPECT_STREQ(queue.Get(65536 + 3), "c.txt");  // a 16-bit index
  queue.Clear();
  EXPECT_EQ(queue.Count(), 0);
  EXPECT_EQ(queue.Get(1), nullptr);
  ASSERT_TRUE(queue.Add("d.txt"));
  EXPECT_STREQ(queue.Get(1), "d.txt");
}

TEST(FileQueue, HoldsTenThousandNamesAndRefusesMore) {
  TPileFile queue;
  for (int i = 1; i <= TPileFile::kCapacity; ++i) ASSERT_TRUE(queue.Add(std::to_string(i).c_str()));
  EXPECT_FALSE(queue.Add("one too many"));
  EXPECT_EQ(queue.Count(), 10000);
  EXPECT_STREQ(queue.Get(10000), "10000");
  queue.Clear();
  EXPECT_TRUE(queue.Add("again"));
}

TEST(FileQueue, KeepsItsOwnCopies) {
  TPileFile queue;
  std::string name = "first.txt";
  queue.Add(name.c_str());
  name[0] = 'X';
  EXPECT_STREQ(queue.Get(1), "first.txt");
}

}  // namespace
}  // namespace quilor
