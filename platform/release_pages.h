// Memory a program keeps allocated but will not read again: its pages go
// back to the system now (reading them again gives zeros), instead of
// staying resident until the allocator reuses them.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>

namespace quilor {

// The pages wholly inside [p, p + bytes); the bytes around them are kept.
inline void ReleasePages(void* p, size_t bytes) {
  static const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t from = (reinterpret_cast<uintptr_t>(p) + page - 1) & ~(page - 1);
  const uintptr_t to = (reinterpret_cast<uintptr_t>(p) + bytes) & ~(page - 1);
  if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
}

}  // namespace quilor
