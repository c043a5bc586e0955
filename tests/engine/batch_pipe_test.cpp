// The batch pipe: batches processed by several workers at once come out in
// the order they went in, and Drain leaves nothing in flight.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/batch_pipe.h"

namespace quilor {
namespace {

struct Numbers {
  std::vector<int> values;
  bool Empty() const { return values.empty(); }
  void Clear() { values.clear(); }
};

TEST(BatchPipeThreads, SeveralWorkersDeliverInTheOrderHandedOver) {
  std::vector<int> delivered;
  std::vector<size_t> workersSeen(3, 0);
  {
    TBatchPipe<Numbers, 4> pipe(
        [&](Numbers& batch, size_t worker) {
          // The first batches of a round take longest: later ones finish first.
          if (batch.values.front() % 30 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
          for (int& v : batch.values) v *= 2;
          ++workersSeen[worker];
        },
        [&](Numbers& batch) { delivered.insert(delivered.end(), batch.values.begin(), batch.values.end()); });
    ASSERT_TRUE(pipe.Start(3));
    ASSERT_EQ(pipe.Workers(), 3u);
    for (int i = 0; i < 3000; ++i) {
      pipe.Filling().values.push_back(i);
      if (pipe.Filling().values.size() == 10) pipe.HandOver();
    }
    pipe.Filling().values.push_back(3000);  // a last, partial batch
    pipe.Drain();
    ASSERT_EQ(delivered.size(), 3001u);
    for (int i = 0; i <= 3000; ++i) ASSERT_EQ(delivered[static_cast<size_t>(i)], 2 * i) << i;
    // After a drain the pipe takes more.
    pipe.Filling().values.push_back(5);
  }
  // The destructor delivered what was left.
  EXPECT_EQ(delivered.back(), 10);
  size_t batches = 0;
  for (size_t n : workersSeen) batches += n;
  EXPECT_EQ(batches, 302u);
}

TEST(BatchPipeThreads, OneWorkerWithoutDelivery) {
  std::vector<int> seen;
  TBatchPipe<Numbers> pipe(
      [&](Numbers& batch, size_t) { seen.insert(seen.end(), batch.values.begin(), batch.values.end()); });
  ASSERT_TRUE(pipe.Start());
  for (int i = 0; i < 100; ++i) {
    pipe.Filling().values.push_back(i);
    pipe.HandOver();
  }
  pipe.Drain();
  ASSERT_EQ(seen.size(), 100u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(seen[static_cast<size_t>(i)], i);
  // Nothing handed over: Drain returns at once.
  pipe.Drain();
}

// A worker held up on a batch holds up the delivery, not the other workers:
// they go on with the batches of their rings, and everything still comes
// out in order once the first is done.
TEST(BatchPipeThreads, OtherWorkersGoOnWhileOneIsHeldUp) {
  std::mutex m;
  std::condition_variable changed;
  bool laterBatchDone = false;
  bool waitedInVain = false;
  std::vector<int> delivered;
  {
    TBatchPipe<Numbers, 3> pipe(
        [&](Numbers& batch, size_t) {
          std::unique_lock<std::mutex> hold(m);
          if (batch.values.front() == 0) {
            // Held until the other worker has done its second batch (3).
            waitedInVain = !changed.wait_for(hold, std::chrono::seconds(5), [&] { return laterBatchDone; });
          } else if (batch.values.front() == 3) {
            laterBatchDone = true;
            changed.notify_all();
          }
        },
        [&](Numbers& batch) { delivered.push_back(batch.values.front()); });
    ASSERT_TRUE(pipe.Start(2));
    for (int i = 0; i < 8; ++i) {
      pipe.Filling().values.push_back(i);
      pipe.HandOver();
    }
    pipe.Drain();
  }
  EXPECT_FALSE(waitedInVain);
  EXPECT_EQ(delivered, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
}

// Without a worker (none could start) the caller's thread processes and
// delivers each batch as it hands it over, instead of waiting for ever once
// the ring is full.
TEST(BatchPipeThreads, WithoutWorkersTheCallerDoesTheWork) {
  std::vector<int> delivered;
  TBatchPipe<Numbers, 2> pipe(
      [](Numbers& batch, size_t worker) {
        EXPECT_EQ(worker, 0u);
        for (int& v : batch.values) v += 1;
      },
      [&](Numbers& batch) { delivered.insert(delivered.end(), batch.values.begin(), batch.values.end()); });
  EXPECT_FALSE(pipe.Start(0));
  EXPECT_EQ(pipe.Workers(), 0u);
  for (int i = 0; i < 20; ++i) {
    pipe.Filling().values.push_back(i);
    pipe.HandOver();
  }
  pipe.Filling().values.push_back(20);
  pipe.Drain();
  ASSERT_EQ(delivered.size(), 21u);
  for (int i = 0; i <= 20; ++i) EXPECT_EQ(delivered[static_cast<size_t>(i)], i + 1);
}

}  // namespace
}  // namespace quilor
