// A one-way pipe from one thread to one or more workers: the producer
// gathers work into batches and hands them over in order. Each batch is
// processed by one worker, several batches at once when there are several
// workers, then delivered by the same worker, one batch at a time and in the
// order they were handed over. A ring of batches lets the producer fill the
// next one while the workers empty the others; when every batch is the
// workers' the producer waits.
#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace quilor {

// Batch: default-constructible, with Empty() and Clear().
template <typename Batch, size_t kBatches = 8>
class TBatchPipe {
 public:
  using Process = std::function<void(Batch&, size_t worker)>;
  using Deliver = std::function<void(Batch&)>;

  explicit TBatchPipe(Process process, Deliver deliver = {})
      : process_(std::move(process)), deliver_(std::move(deliver)) {}
  ~TBatchPipe() { Stop(); }
  TBatchPipe(const TBatchPipe&) = delete;
  TBatchPipe& operator=(const TBatchPipe&) = delete;

  // Starts the workers (numbered 0 to workers - 1); false when not even one
  // thread could be started. Called once.
  bool Start(size_t workers = 1) {
    for (size_t w = 0; w < workers; ++w) {
      try {
        threads_.emplace_back([this, w] { Execute(w); });
      } catch (const std::system_error&) {
        break;
      }
    }
    return !threads_.empty();
  }
  size_t Workers() const { return threads_.size(); }

  // Hands over what was gathered, waits for it and ends the workers.
  void Stop() {
    if (threads_.empty()) return;
    Drain();
    {
      std::lock_guard<std::mutex> lock(lock_);
      stop_ = true;
    }
    changed_.notify_all();
    for (std::thread& t : threads_) t.join();
    threads_.clear();
  }

  // The batch the producer fills (the producer's alone until handed over).
  Batch& Filling() { return batches_[handed_ % kBatches]; }

  // The filling batch goes to the workers; Filling is then an empty one.
  void HandOver() {
    std::unique_lock<std::mutex> lock(lock_);
    ++handed_;
    changed_.notify_all();
    // Every batch is the workers': wait until one is delivered.
    changed_.wait(lock, [this] { return handed_ - delivered_ < kBatches; });
    batches_[handed_ % kBatches].Clear();
  }

  // Hands over a batch being filled and waits until every batch has been
  // delivered; what the workers wrote is then the caller's to read.
  void Drain() {
    if (!Filling().Empty()) HandOver();
    std::unique_lock<std::mutex> lock(lock_);
    changed_.wait(lock, [this] { return delivered_ == handed_; });
  }

 private:
  void Execute(size_t worker) {
    std::unique_lock<std::mutex> lock(lock_);
    for (;;) {
      changed_.wait(lock, [this] { return stop_ || taken_ < handed_; });
      if (taken_ == handed_) return;  // told to stop with nothing left
      const uint64_t sequence = taken_++;
      Batch& batch = batches_[sequence % kBatches];
      lock.unlock();
      process_(batch, worker);
      lock.lock();
      // Delivered in order, whichever worker finished first.
      changed_.wait(lock, [this, sequence] { return delivered_ == sequence; });
      if (deliver_) {
        lock.unlock();
        deliver_(batch);
        lock.lock();
      }
      ++delivered_;
      changed_.notify_all();
    }
  }

  Process process_;
  Deliver deliver_;
  std::array<Batch, kBatches> batches_;
  std::vector<std::thread> threads_;
  std::mutex lock_;  // guards what follows
  std::condition_variable changed_;
  uint64_t handed_ = 0;     // batches handed over; the filling one is the next
  uint64_t taken_ = 0;      // batches taken by a worker
  uint64_t delivered_ = 0;  // batches done and delivered, in order
  bool stop_ = false;
};

}  // namespace quilor
