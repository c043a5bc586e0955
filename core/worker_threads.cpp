#include "core/worker_threads.h"

#include <atomic>
#include <exception>
#include <thread>
#include <vector>

#include "platform/usable_cores.h"

namespace quilor {

namespace {

// Made before main, on the thread that runs it.
const std::thread::id g_messageThread = std::this_thread::get_id();
thread_local const char* t_role = "";
std::atomic<bool> g_memoryLow{false};
std::atomic<AllocationProbe> g_probe{nullptr};

}  // namespace

bool OnMessageThread() { return std::this_thread::get_id() == g_messageThread; }

const char* WorkerRole() { return t_role; }

void RecordWorkerMemoryLow() { g_memoryLow.store(true, std::memory_order_release); }

bool WorkerMemoryLow() { return g_memoryLow.load(std::memory_order_acquire); }

void ThrowIfWorkerFailed() {
  if (g_memoryLow.exchange(false, std::memory_order_acq_rel)) throw std::bad_alloc();
}

void SetAllocationProbe(AllocationProbe probe) { g_probe.store(probe, std::memory_order_release); }

bool AllocationRefused() {
  const AllocationProbe probe = g_probe.load(std::memory_order_acquire);
  return probe != nullptr && probe();
}

void RunInParallel(size_t count, const char* role, const std::function<void(size_t)>& body) {
  std::vector<std::thread> threads;
  // What a body on this thread threw: thrown again once every thread is
  // joined (a thread left running when threads goes ends the program).
  std::exception_ptr failed;
  auto here = [&](size_t i) {
    if (failed) return;
    try {
      body(i);
    } catch (...) {
      failed = std::current_exception();
    }
  };
  const bool helpers = count > 1 && UsableCores() > 1;
  for (size_t i = 1; i < count; ++i) {
    bool started = false;
    if (helpers) {
      try {
        threads.emplace_back([&body, role, i] { RunWorker(role, [&body, i] { body(i); }); });
        started = true;
      } catch (const std::exception&) {
      }
    }
    if (!started) here(i);  // no thread: this one does it
  }
  if (count > 0) here(0);
  for (std::thread& t : threads) t.join();
  if (failed) std::rethrow_exception(failed);
}

namespace detail {

WorkerRoleScope::WorkerRoleScope(const char* role) : previous_(t_role) { t_role = role ? role : ""; }
WorkerRoleScope::~WorkerRoleScope() { t_role = previous_; }

}  // namespace detail

}  // namespace quilor
