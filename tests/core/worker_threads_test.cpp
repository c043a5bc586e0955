// Work shared among threads of the program's own.
#include "core/worker_threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <new>
#include <thread>
#include <vector>

#include "platform/usable_cores.h"

namespace quilor {
namespace {

// Every index runs once; the first on the caller's thread, the others on
// threads of their own when there are processors for them, all on the
// caller's thread when there is one. A failed allocation on a thread ends
// nothing there: it is thrown again on the caller's thread afterwards.
TEST(WorkerThreads, RunInParallelRunsEachIndexOnceAndBringsBackAFailedAllocation) {
  const std::thread::id caller = std::this_thread::get_id();
  for (unsigned cap : {1u, 4u}) {
    ScopedCoresCap cores(cap);
    std::vector<std::atomic<int>> runs(5);
    std::vector<std::thread::id> where(5);
    RunInParallel(5, "test", [&](size_t i) {
      runs[i].fetch_add(1);
      where[i] = std::this_thread::get_id();
    });
    for (size_t i = 0; i < 5; ++i) {
      EXPECT_EQ(runs[i].load(), 1) << cap << " " << i;
      if (i == 0 || cap == 1) EXPECT_EQ(where[i], caller) << cap << " " << i;
      else EXPECT_NE(where[i], caller) << i;
    }

    std::atomic<int> done{0};
    RunInParallel(3, "test", [&](size_t i) {
      if (i == 2 && cap > 1) throw std::bad_alloc();
      done.fetch_add(1);
    });
    if (cap > 1) {
      EXPECT_EQ(done.load(), 2);
      EXPECT_THROW(ThrowIfWorkerFailed(), std::bad_alloc);
    }
    EXPECT_NO_THROW(ThrowIfWorkerFailed());
  }
}

// A failed allocation on the caller's thread (the first index, or one whose
// thread could not start) waits for the other threads before it is thrown:
// thrown past a thread still running, it would end the program.
TEST(WorkerThreads, RunInParallelJoinsItsThreadsBeforeAFailureOnTheCallersThread) {
  for (unsigned cap : {1u, 4u}) {
    ScopedCoresCap cores(cap);
    std::atomic<int> done{0};
    EXPECT_THROW(RunInParallel(3, "test",
                               [&](size_t i) {
                                 if (i == 0) throw std::bad_alloc();
                                 std::this_thread::sleep_for(std::chrono::milliseconds(50));
                                 done.fetch_add(1);
                               }),
                 std::bad_alloc);
    // Every thread that started has finished its body.
    EXPECT_EQ(done.load(), 2) << cap;
    EXPECT_NO_THROW(ThrowIfWorkerFailed());
  }
}

}  // namespace
}  // namespace quilor
