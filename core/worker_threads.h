// Work done on threads of the program's own. Only the thread that shows
// messages may show one, and an exception that leaves a thread ends the
// program: a worker runs its body through RunWorker, which records a failed
// allocation instead. The thread that waits for the workers then ends the
// run as a failed allocation of its own would (ThrowIfWorkerFailed):
// "Memory low" and exit code 1.
#pragma once

#include <cstddef>
#include <functional>
#include <new>

namespace quilor {

// True on the thread that shows messages (the one that started the program).
bool OnMessageThread();

// What this thread is for ("" on the message thread and on threads that did
// not say); set by RunWorker for the length of its body.
const char* WorkerRole();

// A worker found no memory: recorded for the message thread to report.
void RecordWorkerMemoryLow();
bool WorkerMemoryLow();
// On the thread that waits for the workers: a recorded failure is cleared
// and thrown again here as std::bad_alloc.
void ThrowIfWorkerFailed();

// Tests make allocations fail: the program's allocators that do not go
// through operator new (mapped slabs) ask AllocationRefused first.
using AllocationProbe = bool (*)();
void SetAllocationProbe(AllocationProbe probe);
bool AllocationRefused();

namespace detail {
class WorkerRoleScope {
 public:
  explicit WorkerRoleScope(const char* role);
  ~WorkerRoleScope();
  WorkerRoleScope(const WorkerRoleScope&) = delete;
  WorkerRoleScope& operator=(const WorkerRoleScope&) = delete;

 private:
  const char* previous_;
};
}  // namespace detail

// Runs body(i) for every i below count and returns when all are done: each
// past the first on a thread of its own when there is more than one
// processor, the first (and any whose thread cannot start) on the caller's
// thread. A failed allocation on a thread is recorded as RunWorker does;
// what a body throws on the caller's thread is thrown again once every
// thread has ended (the caller's bodies not yet begun are left out).
void RunInParallel(size_t count, const char* role, const std::function<void(size_t)>& body);

// Runs a worker's body; a failed allocation in it is recorded, not thrown.
template <typename Body>
void RunWorker(const char* role, Body&& body) noexcept {
  detail::WorkerRoleScope scope(role);
  try {
    body();
  } catch (const std::bad_alloc&) {
    RecordWorkerMemoryLow();
  }
}

}  // namespace quilor
