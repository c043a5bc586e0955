// Counts under non-zero 64-bit keys in one open-addressed table (linear
// probing, grown at half full): the counting of the semantic pass asks it
// for nearly every ambiguous noun of a text.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quilor {

class TCountTable {
 public:
  // The count of key (0 when never counted).
  uint32_t Get(uint64_t key) const {
    if (key == 0) return zeroCount_;
    if (used_ == 0) return 0;
    const size_t mask = slots_.size() - 1;
    for (size_t i = Hash(key) & mask;; i = (i + 1) & mask) {
      if (slots_[i].key == key) return slots_[i].count;
      if (slots_[i].key == 0) return 0;
    }
  }
  // One more for key (may throw std::bad_alloc as it grows).
  void Increment(uint64_t key) {
    if (key == 0) {
      ++zeroCount_;
      return;
    }
    if (2 * (used_ + 1) > slots_.size()) Grow();
    const size_t mask = slots_.size() - 1;
    size_t i = Hash(key) & mask;
    while (slots_[i].key != 0 && slots_[i].key != key) i = (i + 1) & mask;
    if (slots_[i].key == 0) {
      slots_[i].key = key;
      ++used_;
    }
    ++slots_[i].count;
  }
  void Clear() {
    if (used_) std::fill(slots_.begin(), slots_.end(), Slot{});
    used_ = 0;
    zeroCount_ = 0;
  }
  size_t Size() const { return used_ + (zeroCount_ ? 1 : 0); }

 private:
  // A key and its count side by side: a probe reads one place of memory.
  struct Slot {
    uint64_t key = 0;
    uint32_t count = 0;
  };
  static size_t Hash(uint64_t k) {
    k ^= k >> 33;
    k *= 0xff51afd7ed558ccdULL;
    k ^= k >> 33;
    return static_cast<size_t>(k);
  }
  void Grow() {
    std::vector<Slot> grown(slots_.empty() ? 1024 : slots_.size() * 2);
    const size_t mask = grown.size() - 1;
    for (const Slot& s : slots_) {
      if (s.key == 0) continue;
      size_t i = Hash(s.key) & mask;
      while (grown[i].key != 0) i = (i + 1) & mask;
      grown[i] = s;
    }
    slots_.swap(grown);
  }

  std::vector<Slot> slots_;
  size_t used_ = 0;
  uint32_t zeroCount_ = 0;
};

}  // namespace quilor
