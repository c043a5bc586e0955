#include "core/expression_filter.h"

#include <cstring>
#include <new>
#include <string>

#include "core/chartables.h"

namespace quilor {

namespace {

// Two hashes of a lower-cased text (the halves of one 64-bit hash); whether
// the text holds a separator of expression words.
bool FilterHashes(const char* text, size_t length, uint32_t& a, uint32_t& b) {
  uint64_t h = 0xCBF29CE484222325ull;
  bool separator = false;
  for (size_t i = 0; i < length; ++i) {
    separator |= text[i] == '_' || text[i] == '-';
    const unsigned char c = ToLowerChar(static_cast<unsigned char>(text[i]));
    h = (h ^ c) * 0x100000001B3ull;
  }
  h ^= h >> 29;
  a = static_cast<uint32_t>(h);
  b = static_cast<uint32_t>(h >> 32);
  return separator;
}

// Both bits of a text lie in the one word of the filter that the first hash
// chooses: a test costs one read of memory.
uint64_t FilterMask(uint32_t a, uint32_t b) { return uint64_t{1} << (a % 64) | uint64_t{1} << (b % 64); }

bool HasSeparator(const char* text, size_t length) {
  for (size_t i = 0; i < length; ++i)
    if (text[i] == '_' || text[i] == '-') return true;
  return false;
}

}  // namespace

void TExpressionFilter::Add(const char* text, size_t length) {
  uint32_t a, b;
  FilterHashes(text, length, a, b);
  bits_[(a % kBits) / 64] |= FilterMask(a, b);
}

void TExpressionFilter::Build(const KeyWalk& walkKeys) {
  bits_.reset(new (std::nothrow) uint64_t[kBits / 64]());
  if (!bits_) return;
  bool complete = false;
  try {
    complete = walkKeys([this](const std::string& key) {
      if (!HasSeparator(key.data(), key.size())) return;
      for (size_t i = 1; i < key.size(); ++i)
        if (key[i] == '_' || key[i] == '-') Add(key.data(), i);
      Add(key.data(), key.size());
    });
  } catch (const std::bad_alloc&) {
    complete = false;
  }
  // Without every key the filter could hide one: every candidate is walked.
  if (!complete) bits_.reset();
}

bool TExpressionFilter::MayStart(const char* candidate, size_t length) const {
  if (!bits_) return true;
  uint32_t a, b;
  if (!FilterHashes(candidate, length, a, b)) return true;
  const uint64_t mask = FilterMask(a, b);
  return (bits_[(a % kBits) / 64] & mask) == mask;
}

}  // namespace quilor
