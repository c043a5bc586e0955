// A hash index of the keys of the semantic dictionary's word tables: the
// value a walk of table t finds for a key, in one or two memory reads where
// the walk of a large trie reads a node or more per character. Built once
// from the tables (which it does not own and which must outlive it), then
// read by any number of threads. Its answers are those of the walk: a key
// the walk cannot reach (a character met twice in a chain of a damaged
// file) is not indexed.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <thread>
#include <vector>

#include "engine/semantic_dictionary_file.h"

namespace quilor {

class TSemanticWordIndex {
 public:
  // Indexes every key of the tables; false (the index then answers nothing)
  // when memory is short, a damaged table stops the walk of its keys, or
  // stop becomes true meanwhile.
  bool Build(const std::array<WideTrieImage, kWordTableCount>& tables, const std::atomic<bool>* stop = nullptr);
  bool Built() const { return built_; }
  // The value of key (as the walk compares it: bytes as they are) in table
  // t (1..kWordTableCount), 0 when it has none.
  int32_t Find(int t, std::string_view key) const;
  size_t Keys() const { return keys_; }
  size_t MemoryBytes() const { return slotCount_ * sizeof(Slot) + pool_.size(); }

 private:
  struct Slot {
    uint32_t hash = 0;  // 0: free
    uint32_t at = 0;    // the key in pool_: table number, length, bytes
    int32_t value = 0;
  };
  static uint32_t HashOf(int t, std::string_view key);
  // Adds the key kept at pool_[at] (each key once).
  void Insert(uint32_t at, int32_t value);

  std::unique_ptr<Slot[]> slots_;
  size_t slotCount_ = 0;
  size_t keys_ = 0;
  std::vector<unsigned char> pool_;
  bool built_ = false;
};

// The index of a dictionary's word tables, built on a thread of its own
// once its owner starts it; until it is ready (Ready() null) the tables
// are walked.
class TBackgroundWordIndex {
 public:
  TBackgroundWordIndex() = default;
  ~TBackgroundWordIndex() { Stop(); }
  TBackgroundWordIndex(const TBackgroundWordIndex&) = delete;
  TBackgroundWordIndex& operator=(const TBackgroundWordIndex&) = delete;

  // Starts building the index of the tables, which must stay until Stop;
  // once only until then (no thread: the tables stay walked).
  void Start(const std::array<WideTrieImage, kWordTableCount>& tables);
  // Stops a build under way and forgets the index and the walks counted.
  void Stop();
  const TSemanticWordIndex* Ready() const { return ready_.load(std::memory_order_acquire); }
  // Counts a walk of the tables (from any thread): true at the walk that
  // makes walks of them.
  bool CountWalk(uint32_t walks) { return walks_.fetch_add(1, std::memory_order_relaxed) + 1 == walks; }

 private:
  std::unique_ptr<TSemanticWordIndex> index_;
  std::atomic<const TSemanticWordIndex*> ready_{nullptr};
  std::atomic<bool> stop_{false};
  std::atomic<uint32_t> walks_{0};
  std::atomic<bool> started_{false};
  std::thread builder_;
};

}  // namespace quilor
