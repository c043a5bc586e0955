// A one-way pipe from one thread to one or more workers: the producer
// gathers work into batches and hands them over in order. Each batch is
// processed by one worker, several batches at once when there are several
// workers, then delivered one batch at a time and in the order they were
// handed over.
//
// Every worker has a ring of batches of its own, which only the producer
// fills and only that worker processes: batch n goes to worker n % workers.
// A worker that has processed a batch goes on with the next one of its ring
// without waiting for the batches before it to be delivered; whichever
// worker finds the next batch in order processed delivers it, and every
// processed batch that follows, one worker at a time. So a worker held up
// on one batch holds up the delivery, not the other workers' processing.
// The producer waits only when the next worker's ring is full of batches
// not yet delivered, a worker only when its ring is empty.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "core/worker_threads.h"

namespace quilor {

// Batch: default-constructible, with Empty() and Clear().
template <typename Batch, size_t kRing = 4>
class TBatchPipe {
 public:
  using Process = std::function<void(Batch&, size_t worker)>;
  using Deliver = std::function<void(Batch&)>;

  // role: what the workers are for (WorkerRole on their threads).
  explicit TBatchPipe(Process process, Deliver deliver = {}, const char* role = "batch worker")
      : process_(std::move(process)), deliver_(std::move(deliver)), role_(role) {}
  ~TBatchPipe() { Stop(); }
  TBatchPipe(const TBatchPipe&) = delete;
  TBatchPipe& operator=(const TBatchPipe&) = delete;

  // Starts the workers (numbered 0 to workers - 1); fewer when the system
  // gives fewer threads; false when not even one could be started (the
  // caller's thread then processes and delivers each batch as it is handed
  // over). Called once.
  bool Start(size_t workers = 1) {
    while (workers > 0) {
      lanes_.clear();
      for (size_t w = 0; w < workers; ++w) lanes_.push_back(std::make_unique<Lane>());
      delivering_ = false;
      delivered_ = 0;
      for (size_t w = 0; w < workers; ++w) {
        try {
          threads_.emplace_back([this, w] { Execute(w); });
        } catch (const std::exception&) {
          break;
        }
      }
      if (threads_.size() == workers) return true;
      // The workers count on their number: those started end, and as many
      // start again.
      workers = threads_.size();
      EndWorkers();
    }
    lanes_.clear();
    return false;
  }
  size_t Workers() const { return threads_.size(); }

  // Hands over what was gathered, waits for it and ends the workers.
  void Stop() {
    if (threads_.empty()) return;
    Drain();
    EndWorkers();
  }

  // The batch the producer fills (the producer's alone until handed over).
  Batch& Filling() { return lanes_.empty() ? spare_ : Slot(handed_); }

  // The filling batch goes to its worker; Filling is then an empty one,
  // once the next worker's ring has room.
  void HandOver() {
    if (lanes_.empty()) {
      // No worker: the batch is processed and delivered here.
      process_(spare_, 0);
      if (deliver_) deliver_(spare_);
      spare_.Clear();
      return;
    }
    Lane& lane = LaneOf(handed_);
    const uint32_t local = LocalIndex(handed_) + 1;
    lane.handed.store(local, std::memory_order_release);
    lane.handed.notify_one();
    ++handed_;
    // The next batch is free once its worker has delivered what it held.
    Lane& next = LaneOf(handed_);
    const uint32_t wanted = LocalIndex(handed_) + 1;
    for (uint32_t done = next.done.load(std::memory_order_acquire); wanted - done > kRing;
         done = next.done.load(std::memory_order_acquire))
      next.done.wait(done, std::memory_order_acquire);
    Slot(handed_).Clear();
  }

  // Hands over a batch being filled and waits until every batch has been
  // delivered; what the workers wrote is then the caller's to read.
  void Drain() {
    if (!Filling().Empty()) HandOver();
    if (lanes_.empty()) return;
    for (size_t w = 0; w < lanes_.size(); ++w) {
      Lane& lane = *lanes_[w];
      // Batches handed to this worker so far.
      const uint32_t handed = static_cast<uint32_t>((handed_ + lanes_.size() - 1 - w) / lanes_.size());
      for (uint32_t done = lane.done.load(std::memory_order_acquire); done != handed;
           done = lane.done.load(std::memory_order_acquire))
        lane.done.wait(done, std::memory_order_acquire);
    }
  }

 private:
  static constexpr uint32_t kStopped = UINT32_MAX;

  struct Lane {
    std::array<Batch, kRing> ring;
    // Batches handed to this worker (kStopped: end). The producer writes it.
    alignas(64) std::atomic<uint32_t> handed{0};
    // Batches of this ring processed by its worker (under deliveryLock_).
    alignas(64) uint32_t processed = 0;
    // Batches of this ring delivered. The delivering worker writes it.
    alignas(64) std::atomic<uint32_t> done{0};
  };

  void EndWorkers() {
    for (auto& lane : lanes_) {
      lane->handed.store(kStopped, std::memory_order_release);
      lane->handed.notify_one();
    }
    for (std::thread& t : threads_) t.join();
    threads_.clear();
  }

  Lane& LaneOf(uint64_t sequence) { return *lanes_[sequence % lanes_.size()]; }
  uint32_t LocalIndex(uint64_t sequence) const { return static_cast<uint32_t>(sequence / lanes_.size()); }
  Batch& Slot(uint64_t sequence) { return LaneOf(sequence).ring[LocalIndex(sequence) % kRing]; }

  void Execute(size_t worker) {
    Lane& lane = *lanes_[worker];
    for (uint32_t local = 0;; ++local) {
      uint32_t handed = lane.handed.load(std::memory_order_acquire);
      while (handed != kStopped && handed <= local) {
        lane.handed.wait(handed, std::memory_order_acquire);
        handed = lane.handed.load(std::memory_order_acquire);
      }
      if (handed == kStopped) return;  // told to stop: every batch was delivered
      // A batch whose work found no memory is still delivered in its turn,
      // so that the producer never waits for it; the run then ends.
      RunWorker(role_, [&] { process_(lane.ring[local % kRing], worker); });
      {
        std::lock_guard<std::mutex> hold(deliveryLock_);
        lane.processed = local + 1;
        if (delivering_) continue;  // the worker delivering takes this one too
        delivering_ = true;
      }
      DeliverInOrder();
    }
  }

  // Delivers the batches that come next in order and are processed, until
  // the next one is not; the one worker at a time that has delivering_.
  void DeliverInOrder() {
    for (;;) {
      Lane& lane = LaneOf(delivered_);
      const uint32_t local = LocalIndex(delivered_);
      {
        std::lock_guard<std::mutex> hold(deliveryLock_);
        if (lane.processed <= local) {
          delivering_ = false;
          return;
        }
      }
      if (deliver_) RunWorker(role_, [&] { deliver_(lane.ring[local % kRing]); });
      ++delivered_;
      lane.done.store(local + 1, std::memory_order_release);
      lane.done.notify_one();
    }
  }

  Process process_;
  Deliver deliver_;
  const char* role_;
  std::vector<std::unique_ptr<Lane>> lanes_;
  std::vector<std::thread> threads_;
  Batch spare_;          // the batch filled while no worker runs
  uint64_t handed_ = 0;  // batches handed over; the filling one is the next (the producer's)
  std::mutex deliveryLock_;
  bool delivering_ = false;  // a worker delivers (under deliveryLock_)
  uint64_t delivered_ = 0;   // batches delivered: the delivering worker's
};

}  // namespace quilor
