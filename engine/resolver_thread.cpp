#include "engine/resolver_thread.h"

#include <system_error>

namespace quilor {

TResolverThread::TResolverThread(TSegmentResolver& resolver) : resolver_(resolver) {
  resolver_.SetCancelFlag(&cancel_);
}

TResolverThread::~TResolverThread() {
  if (thread_.joinable()) {
    Drain();
    {
      std::lock_guard<std::mutex> lock(lock_);
      stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  resolver_.SetCancelFlag(nullptr);
}

bool TResolverThread::Start() {
  try {
    thread_ = std::thread([this] { Execute(); });
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

void TResolverThread::HandOver() {
  std::unique_lock<std::mutex> lock(lock_);
  ++waiting_;
  changed_.notify_all();
  // Every batch is the worker's: wait until it gives one back.
  changed_.wait(lock, [this] { return waiting_ < kBatches; });
  fill_ = (fill_ + 1) % kBatches;
  batches_[fill_].count = 0;
}

bool TResolverThread::Drain() {
  if (batches_[fill_].count > 0) HandOver();
  {
    std::unique_lock<std::mutex> lock(lock_);
    changed_.wait(lock, [this] { return waiting_ == 0; });
  }
  // The worker waits for a batch: its flag is the caller's until the next one.
  cancel_ = false;
  return !failed_.exchange(false);
}

void TResolverThread::Resolve(Batch& batch) {
  const size_t count = batch.count;  // the batch is the worker's until it is pushed
  for (size_t i = 0; i < count && !cancel_; ++i) {
    const TWordSlot& s = batch.slots[i];
    bool ok = resolver_.PushSlot(s);
    if (ok && resolver_.RepetitionRequested()) ok = resolver_.PushSlot(s);
    if (!ok) {
      cancel_ = true;
      failed_.store(true, std::memory_order_relaxed);
    }
  }
}

void TResolverThread::Execute() {
  std::unique_lock<std::mutex> lock(lock_);
  for (;;) {
    changed_.wait(lock, [this] { return stop_ || waiting_ > 0; });
    if (waiting_ == 0) return;  // told to stop with nothing left
    Batch& batch = batches_[take_];
    lock.unlock();
    Resolve(batch);
    lock.lock();
    take_ = (take_ + 1) % kBatches;
    --waiting_;
    changed_.notify_all();
  }
}

}  // namespace quilor
