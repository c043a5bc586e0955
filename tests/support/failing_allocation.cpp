#include "support/failing_allocation.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "core/worker_threads.h"

namespace quilor::testing {
namespace {

std::atomic<bool> g_armed{false};
const char* g_role = "";
std::atomic<long> g_left{0};
std::atomic<long> g_refused{0};

bool Refuse() {
  if (!g_armed.load(std::memory_order_acquire)) return false;
  if (std::strcmp(WorkerRole(), g_role) != 0) return false;
  if (g_left.fetch_sub(1, std::memory_order_relaxed) > 0) return false;
  g_refused.fetch_add(1, std::memory_order_relaxed);
  return true;
}

}  // namespace

void FailAllocationsOn(const char* role, long after) {
  g_role = role;
  g_left = after;
  g_refused = 0;
  SetAllocationProbe(Refuse);
  g_armed.store(true, std::memory_order_release);
}

void StopFailingAllocations() {
  g_armed.store(false, std::memory_order_release);
  SetAllocationProbe(nullptr);
}

long RefusedAllocations() { return g_refused.load(); }

}  // namespace quilor::testing

// The test program's own allocator: malloc and free, with the failures
// above. Every plain form is replaced, so that a sanitizer's allocator never
// frees what this one allocated (the aligned forms stay the library's).
namespace {
void* Allocate(std::size_t size) {
  if (quilor::testing::Refuse()) throw std::bad_alloc();
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* AllocateOrNull(std::size_t size) noexcept {
  try {
    return Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
