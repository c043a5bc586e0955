// Every key of an expression in the lexicon ("in_order", "well-known") and
// each of its word-boundary prefixes, in a two-hash Bloom filter whose two
// bits share a 64-bit word: a candidate it lacks is no key and starts none,
// so the segment lookup asks the lexicon only for candidates it may hold.
// Built once per lexicon; read by any number of threads afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace quilor {

class TMainDictionary;

class TExpressionFilter {
 public:
  static constexpr size_t kBits = size_t{1} << 22;

  // Walks every key of the lexicon. Without memory for the bits or for the
  // walk, or when a damaged lexicon stops the walk early, the filter lets
  // every candidate by.
  void Build(const TMainDictionary& lexicon);
  // False only when the lexicon has no key that is, or starts with, the
  // candidate; a candidate without a separator ('_', '-') always passes.
  bool MayStart(const char* candidate, size_t length) const;

 private:
  void Add(const char* text, size_t length);
  std::unique_ptr<uint64_t[]> bits_;
};

}  // namespace quilor
