#include "platform/letter_case.h"

#include <array>

namespace quilor {

namespace {

constexpr bool IsCapital(int c) {
  return (c >= 'A' && c <= 'Z') || c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9F || (c >= 0xC0 && c <= 0xD6) ||
         (c >= 0xD8 && c <= 0xDE);
}

constexpr std::array<int32_t, 256> MakeCapitals() {
  std::array<int32_t, 256> t{};
  for (int c = 0; c < 256; ++c) t[c] = IsCapital(c) ? -1 : 0;
  return t;
}

constexpr std::array<unsigned char, 256> MakeLower() {
  std::array<unsigned char, 256> t{};
  for (int c = 0; c < 256; ++c) t[c] = static_cast<unsigned char>(c);
  for (int c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<unsigned char>(c + 32);
  t[0x8A] = 0x9A;
  t[0x8C] = 0x9C;
  t[0x8E] = 0x9E;
  t[0x9F] = 0xFF;
  for (int c = 0xC0; c <= 0xDE; ++c)
    if (c != 0xD7) t[c] = static_cast<unsigned char>(c + 0x20);
  return t;
}

constexpr std::array<unsigned char, 256> MakeUpper() {
  std::array<unsigned char, 256> t{};
  for (int c = 0; c < 256; ++c) t[c] = static_cast<unsigned char>(c);
  for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<unsigned char>(c - 32);
  t[0x9A] = 0x8A;
  t[0x9C] = 0x8C;
  t[0x9E] = 0x8E;
  t[0xFF] = 0x9F;
  for (int c = 0xE0; c <= 0xFE; ++c)
    if (c != 0xF7) t[c] = static_cast<unsigned char>(c - 0x20);
  return t;
}

constexpr auto kCapitals = MakeCapitals();
constexpr auto kLower = MakeLower();
constexpr auto kUpper = MakeUpper();

}  // namespace

const int32_t CapitalLetterTable[256] = {
#define Q(i) kCapitals[i]
#define R(i) Q(i), Q(i + 1), Q(i + 2), Q(i + 3), Q(i + 4), Q(i + 5), Q(i + 6), Q(i + 7)
#define S(i) R(i), R(i + 8), R(i + 16), R(i + 24)
    S(0),   S(32),  S(64), S(96), S(128),
    S(160), S(192), S(224)
#undef Q
};
const unsigned char LowerCaseMap[256] = {
#define Q(i) kLower[i]
    S(0),   S(32),  S(64), S(96), S(128),
    S(160), S(192), S(224)
#undef Q
};
const unsigned char UpperCaseMap[256] = {
#define Q(i) kUpper[i]
    S(0),   S(32),  S(64), S(96), S(128),
    S(160), S(192), S(224)
#undef Q
#undef R
#undef S
};

}  // namespace quilor
