// Finding the next byte of a small set in a text, eight bytes at a time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quilor {

namespace byte_scan {

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHigh = 0x8080808080808080ull;

// Non-zero when a byte of v is zero (exact whenever the answer is "none").
constexpr uint64_t HasZero(uint64_t v) { return (v - kOnes) & ~v & kHigh; }
constexpr uint64_t HasByte(uint64_t v, unsigned char b) { return HasZero(v ^ (kOnes * b)); }

}  // namespace byte_scan

// A table that is true for the listed bytes.
constexpr std::array<bool, 256> ByteSet(std::initializer_list<unsigned char> bytes) {
  std::array<bool, 256> t{};
  for (unsigned char c : bytes) t[c] = true;
  return t;
}

// Index of the first byte from i on for which stop[] is true, or n. Stops
// must list every byte below 0x80 for which stop[] is true; bytes from 0x80
// on are checked one by one through stop[].
template <unsigned char... Stops>
size_t FindStop(const unsigned char* s, size_t i, size_t n, const std::array<bool, 256>& stop) {
  using namespace byte_scan;
#if defined(__SSE2__)
  // Sixteen bytes at a time: a byte from 0x80 on, or one of the stops.
  while (i + 16 <= n) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    __m128i hit = (_mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(Stops))) | ...);
    int mask = _mm_movemask_epi8(_mm_or_si128(hit, v));
    if (mask == 0) {
      i += 16;
      continue;
    }
    size_t end = i + 16;
    while (i < end && !stop[s[i]]) ++i;
    if (i < end) return i;
  }
#endif
  for (;;) {
    while (i + 8 <= n) {
      uint64_t v;
      std::memcpy(&v, s + i, 8);
      if ((v & kHigh) | (HasByte(v, Stops) | ...)) break;
      i += 8;
    }
    size_t end = i + 8 < n ? i + 8 : n;
    while (i < end && !stop[s[i]]) ++i;
    if (i < end || i == n) return i;
  }
}

}  // namespace quilor
