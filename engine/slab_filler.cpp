#include "engine/slab_filler.h"

#include <sys/mman.h>

#include <exception>

#include "platform/usable_cores.h"

namespace quilor {

SlabFiller::~SlabFiller() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    stop_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void SlabFiller::Fill(void* slab) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    ++slabs_;
    if (slabs_ == 1) return;
    if (slabs_ == 2) {
      // With one processor the writer's own faults cost no more.
      if (UsableCores() < 2) return;
      try {
        thread_ = std::thread([this] { Run(); });
      } catch (const std::exception&) {
        return;  // the writers fault the pages in themselves
      }
    }
    if (!thread_.joinable() || count_ == kWaiting) return;
    waiting_[(first_ + count_) % kWaiting] = slab;
    ++count_;
  }
  changed_.notify_one();
}

bool SlabFiller::Running() const {
  std::lock_guard<std::mutex> guard(lock_);
  return thread_.joinable();
}

void SlabFiller::Run() {
  std::unique_lock<std::mutex> lock(lock_);
  for (;;) {
    changed_.wait(lock, [this] { return stop_ || count_ > 0; });
    if (stop_) return;
    void* slab = waiting_[first_];
    first_ = (first_ + 1) % kWaiting;
    --count_;
    lock.unlock();
    madvise(slab, slabBytes_, MADV_POPULATE_WRITE);
    lock.lock();
  }
}

}  // namespace quilor
