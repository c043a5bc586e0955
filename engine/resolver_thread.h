// The segment resolver on a thread of its own: the segment buffer hands over
// the slots it would push to the resolver, gathered in batches, and the
// worker pushes them in the same order. While a file is read, the worker
// alone writes what the resolver writes (TextWords, the category counters,
// the verb and adjective indexes, its own lookup cache); Drain waits until
// it has pushed every slot, after which the caller's thread may read them.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>

#include "engine/batch_pipe.h"
#include "engine/segment_resolver.h"

namespace quilor {

class TResolverThread {
 public:
  // The resolver's cancel flag becomes the worker's own.
  explicit TResolverThread(TSegmentResolver& resolver);
  // Pushes what remains and ends the worker.
  ~TResolverThread();
  TResolverThread(const TResolverThread&) = delete;
  TResolverThread& operator=(const TResolverThread&) = delete;

  // False when no thread could be started (the caller resolves itself).
  // With appendThread the resolver appends on a thread of its own besides.
  bool Start(bool appendThread = false) {
    if (!pipe_.Start()) return false;
    appending_ = appendThread && resolver_.UseAppendThread(true);
    return true;
  }
  // One slot to push (copied); the worker gets it with its batch.
  void Push(const TWordSlot& slot) {
    Batch& b = pipe_.Filling();
    b.slots[b.count++] = slot;
    if (b.count == kBatchSlots) pipe_.HandOver();
  }
  // Hands over the batch being gathered and waits until the worker has
  // pushed every slot. False when a push failed since the last Drain (the
  // worker then took no more slots); the failure is forgotten.
  bool Drain();
  // A push failed on the worker since the last Drain.
  bool Failed() const { return failed_.load(std::memory_order_relaxed); }

 private:
  static constexpr size_t kBatchSlots = 4096;
  // A line each: the batch being gathered is written for every slot while
  // the worker reads the one it pushes.
  struct alignas(64) Batch {
    std::unique_ptr<TWordSlot[]> slots{new TWordSlot[kBatchSlots]};
    size_t count = 0;
    bool Empty() const { return count == 0; }
    void Clear() { count = 0; }
  };

  void Resolve(Batch& batch);

  TSegmentResolver& resolver_;
  bool appending_ = false;  // the resolver appends on a thread of its own
  std::atomic<bool> failed_{false};
  bool cancel_ = false;  // the resolver's cancel flag (the worker's, or the caller's after Drain)
  TBatchPipe<Batch> pipe_;
};

}  // namespace quilor
