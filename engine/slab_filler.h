// Faults in the pages of the word lists' slabs on a thread of its own: a list
// is written from one end to the other, and the first write of every page
// would cost its writer a fault. Filling leaves the bytes as they are, so it
// may go on while the slab is used (or after it is gone: then it fails).
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

namespace quilor {

class SlabFiller {
 public:
  explicit SlabFiller(size_t slabBytes) : slabBytes_(slabBytes) {}
  ~SlabFiller();
  SlabFiller(const SlabFiller&) = delete;
  SlabFiller& operator=(const SlabFiller&) = delete;

  // Hands a new slab over. The first is left to its writer: a process that
  // never needs a second one (a short text, a tool, a test) starts no
  // thread, and a process that forks keeps to one thread as long as it can.
  // With one processor, or the thread refused, every writer faults its own.
  void Fill(void* slab);
  // The thread was started.
  bool Running() const;

 private:
  void Run();

  // A few slabs waiting at most: more are faulted in by their writers. The
  // queue allocates nothing, so the thread takes no allocator lock while it
  // runs.
  static constexpr size_t kWaiting = 8;

  const size_t slabBytes_;
  mutable std::mutex lock_;
  std::condition_variable changed_;
  void* waiting_[kWaiting] = {};
  size_t first_ = 0;
  size_t count_ = 0;
  size_t slabs_ = 0;
  std::thread thread_;
  bool stop_ = false;
};

}  // namespace quilor
