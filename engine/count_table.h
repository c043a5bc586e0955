// Counts under non-zero 64-bit keys in one open-addressed table (linear
// probing, grown at half full): the counting of the semantic pass asks it
// for nearly every ambiguous noun of a text.
#pragma once

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
    const size_t mask = keys_.size() - 1;
    for (size_t i = Hash(key) & mask;; i = (i + 1) & mask) {
      if (keys_[i] == key) return counts_[i];
      if (keys_[i] == 0) return 0;
    }
  }
  // One more for key (may throw std::bad_alloc as it grows).
  void Increment(uint64_t key) {
    if (key == 0) {
      ++zeroCount_;
      return;
    }
    if (2 * (used_ + 1) > keys_.size()) Grow();
    const size_t mask = keys_.size() - 1;
    size_t i = Hash(key) & mask;
    while (keys_[i] != 0 && keys_[i] != key) i = (i + 1) & mask;
    if (keys_[i] == 0) {
      keys_[i] = key;
      ++used_;
    }
    ++counts_[i];
  }
  void Clear() {
    if (used_) {
      std::fill(keys_.begin(), keys_.end(), 0);
      std::fill(counts_.begin(), counts_.end(), 0);
    }
    used_ = 0;
    zeroCount_ = 0;
  }
  size_t Size() const { return used_ + (zeroCount_ ? 1 : 0); }

 private:
  static size_t Hash(uint64_t k) {
    k ^= k >> 33;
    k *= 0xff51afd7ed558ccdULL;
    k ^= k >> 33;
    return static_cast<size_t>(k);
  }
  void Grow() {
    std::vector<uint64_t> keys(keys_.empty() ? 1024 : keys_.size() * 2, 0);
    std::vector<uint32_t> counts(keys.size(), 0);
    const size_t mask = keys.size() - 1;
    for (size_t j = 0; j < keys_.size(); ++j) {
      if (keys_[j] == 0) continue;
      size_t i = Hash(keys_[j]) & mask;
      while (keys[i] != 0) i = (i + 1) & mask;
      keys[i] = keys_[j];
      counts[i] = counts_[j];
    }
    keys_.swap(keys);
    counts_.swap(counts);
  }

  std::vector<uint64_t> keys_;
  std::vector<uint32_t> counts_;
  size_t used_ = 0;
  uint32_t zeroCount_ = 0;
};

}  // namespace quilor
