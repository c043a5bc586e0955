// Counts (or any numbers) under non-zero 64-bit keys in one open-addressed
// table of 12-byte slots, probed linearly and grown at three quarters full:
// the ontology engine keeps one for every class a reading of an ambiguous
// noun may count in.
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
      if (slots_[i].Key() == key) return slots_[i].count;
      if (slots_[i].Free()) return 0;
    }
  }
  // One more for key (may throw std::bad_alloc as it grows).
  void Increment(uint64_t key) { ++CountOf(key); }
  // The count of key for the caller to change, made 0 when never counted
  // (may throw std::bad_alloc as it grows). The reference holds until the
  // next key is added.
  uint32_t& CountOf(uint64_t key) {
    if (key == 0) return zeroCount_;
    if (4 * (used_ + 1) > 3 * slots_.size()) Grow();
    const size_t mask = slots_.size() - 1;
    size_t i = Hash(key) & mask;
    while (!slots_[i].Free() && slots_[i].Key() != key) i = (i + 1) & mask;
    if (slots_[i].Free()) {
      slots_[i].SetKey(key);
      ++used_;
    }
    return slots_[i].count;
  }
  void Clear() {
    if (used_) std::fill(slots_.begin(), slots_.end(), Slot{});
    used_ = 0;
    zeroCount_ = 0;
  }
  size_t Size() const { return used_ + (zeroCount_ ? 1 : 0); }

 private:
  // A key and its count side by side: a probe reads one place of memory.
  // The key is kept in two halves, so that a slot takes 12 bytes.
  struct Slot {
    uint32_t low = 0;
    uint32_t high = 0;
    uint32_t count = 0;
    uint64_t Key() const { return (uint64_t{high} << 32) | low; }
    bool Free() const { return (low | high) == 0; }
    void SetKey(uint64_t key) {
      low = static_cast<uint32_t>(key);
      high = static_cast<uint32_t>(key >> 32);
    }
  };
  static_assert(sizeof(Slot) == 12);
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
      if (s.Free()) continue;
      size_t i = Hash(s.Key()) & mask;
      while (!grown[i].Free()) i = (i + 1) & mask;
      grown[i] = s;
    }
    slots_.swap(grown);
  }

  std::vector<Slot> slots_;
  size_t used_ = 0;
  uint32_t zeroCount_ = 0;
};

}  // namespace quilor
