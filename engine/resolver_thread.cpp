#include "engine/resolver_thread.h"

#include "engine/word_list.h"

namespace quilor {

TResolverThread::TResolverThread(TSegmentResolver& resolver)
    : resolver_(resolver), pipe_([this](Batch& batch, size_t) { Resolve(batch); }, {}, "resolver") {
  resolver_.SetCancelFlag(&cancel_);
}

TResolverThread::~TResolverThread() {
  pipe_.Stop();
  if (appending_) resolver_.UseAppendThread(false);
  resolver_.SetCancelFlag(nullptr);
}

bool TResolverThread::Drain() {
  pipe_.Drain();
  // The worker waits for a batch: what it resolved is appended before the
  // caller reads the words.
  if (!resolver_.DrainAppends()) failed_.store(true, std::memory_order_relaxed);
  // Its flag is the caller's until the next batch.
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
  if (appending_) {
    // The appending thread announces the words as it appends them.
    resolver_.HandOverAppends();
    return;
  }
  // A reader following the words (the first semantic step) takes them now.
  TextWords.Announce();
}

}  // namespace quilor
