// Every key of an expression in the lexicon ("in_order", "well-known") and
// each of its word-boundary prefixes, in a two-hash Bloom filter whose two
// bits share a 64-bit word: a candidate it lacks is no key and starts none,
// so the segment lookup asks the lexicon only for candidates it may hold.
// Built once per lexicon; read by any number of threads afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace quilor {

class TExpressionFilter {
 public:
  static constexpr size_t kBits = size_t{1} << 22;

  // Calls its visitor once for every key of the lexicon; false when the walk
  // stopped early (a damaged lexicon).
  using KeyWalk = std::function<bool(const std::function<void(const std::string& key)>& visit)>;

  // Walks every key of the lexicon. Without memory for the bits or for the
  // walk, or when a damaged lexicon stops the walk early, the filter lets
  // every candidate by.
  void Build(const KeyWalk& walkKeys);
  // False only when the lexicon has no key that is, or starts with, the
  // candidate; a candidate without a separator ('_', '-') always passes.
  bool MayStart(const char* candidate, size_t length) const;

 private:
  void Add(const char* text, size_t length);
  std::unique_ptr<uint64_t[]> bits_;
};

}  // namespace quilor
