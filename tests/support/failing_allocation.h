// Allocation failures injected into the threads of one role (the role a
// worker gives RunWorker): once armed, every allocation on such a thread
// after the first `after` ones fails, as when the memory has run out, until
// disarmed: operator new throws std::bad_alloc, the program's own mapped
// slabs are refused.
#pragma once

#include <cstddef>

namespace quilor::testing {

void FailAllocationsOn(const char* role, long after);
void StopFailingAllocations();
// Allocations refused since armed.
long RefusedAllocations();

// Arms for its lifetime.
class ScopedAllocationFailure {
 public:
  ScopedAllocationFailure(const char* role, long after) { FailAllocationsOn(role, after); }
  ~ScopedAllocationFailure() { StopFailingAllocations(); }
  ScopedAllocationFailure(const ScopedAllocationFailure&) = delete;
  ScopedAllocationFailure& operator=(const ScopedAllocationFailure&) = delete;
};

}  // namespace quilor::testing
