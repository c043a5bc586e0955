#include "import/plain_text.h"

#include "core/chartables.h"
#include "platform/text_encoding.h"

namespace quilor {

namespace {
constexpr unsigned char kOemHigh[128] = {
    0xc7, 0xfc, 0xe9, 0xe2, 0xe4, 0xe0, 0xe5, 0xe7, 0xea, 0xeb, 0xe8, 0xef, 0xee, 0xec, 0xc4, 0xc5, 0xc9, 0xe6, 0xc6,
    0xf4, 0xf6, 0xf2, 0xfb, 0xf9, 0xff, 0xd6, 0xdc, 0xa2, 0xa3, 0xa5, 0x3f, 0x83, 0xe1, 0xed, 0xf3, 0xfa, 0xf1, 0xd1,
    0xaa, 0xba, 0xbf, 0x3f, 0xac, 0xbd, 0xbc, 0xa1, 0xab, 0xbb, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20,
    0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20,
    0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20,
    0x20, 0x3f, 0xdf, 0x3f, 0x3f, 0x3f, 0x3f, 0xb5, 0x3f, 0x3f, 0x3f, 0x3f, 0x3f, 0x3f, 0x3f, 0x3f, 0x3f, 0x3f, 0xb1,
    0x3f, 0x3f, 0x3f, 0x3f, 0xf7, 0x3f, 0xb0, 0x3f, 0xb7, 0x3f, 0x3f, 0xb2, 0x3f, 0xa0,
};
}  // namespace

void OemToAnsi(unsigned char* text, size_t length) {
  for (size_t i = 0; i < length; ++i)
    if (text[i] >= 0x80) text[i] = kOemHigh[text[i] - 0x80];
}

void MacToAnsi(unsigned char* text, size_t length) {
  for (size_t i = 0; i < length; ++i) text[i] = Tables.macToAnsi[text[i]];
}

Utf8Evidence ScanUtf8(const unsigned char* block, size_t length, bool moreFollows) {
  bool multiByte = false;
  size_t i = 0;
  while (i < length) {
    unsigned char c = block[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t need;
    if (c >= 0xC2 && c <= 0xDF) need = 2;
    else if (c >= 0xE0 && c <= 0xEF) need = 3;
    else if (c >= 0xF0 && c <= 0xF4) need = 4;
    else return Utf8Evidence::kMalformed;  // stray continuation byte, overlong lead or beyond U+10FFFF
    for (size_t k = 1; k < need; ++k) {
      if (i + k >= length) {
        if (!moreFollows) return Utf8Evidence::kMalformed;
        return multiByte ? Utf8Evidence::kWellFormed : Utf8Evidence::kAsciiOnly;
      }
      unsigned char n = block[i + k];
      if ((n & 0xC0) != 0x80) return Utf8Evidence::kMalformed;
      if (k == 1) {
        if (c == 0xE0 && n < 0xA0) return Utf8Evidence::kMalformed;  // overlong
        if (c == 0xED && n > 0x9F) return Utf8Evidence::kMalformed;  // surrogates
        if (c == 0xF0 && n < 0x90) return Utf8Evidence::kMalformed;  // overlong
        if (c == 0xF4 && n > 0x8F) return Utf8Evidence::kMalformed;  // beyond U+10FFFF
      }
    }
    multiByte = true;
    i += need;
  }
  return multiByte ? Utf8Evidence::kWellFormed : Utf8Evidence::kAsciiOnly;
}

bool LooksLikeUtf8(const unsigned char* block, size_t length, bool moreFollows) {
  return ScanUtf8(block, length, moreFollows) == Utf8Evidence::kWellFormed;
}

size_t DecodeUtf16Block(unsigned char* block, size_t length, bool bigEndian, bool moreFollows,
                        unsigned char (&carried)[4], size_t& carry) {
  size_t units = length / 2;
  size_t out = 0;
  size_t i = 0;
  auto unitAt = [&](size_t u) -> char16_t {
    unsigned char a = block[2 * u], b = block[2 * u + 1];
    return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
  };
  carry = 0;
  while (i < units) {
    char16_t u = unitAt(i);
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (i + 1 >= units) {
        if (moreFollows) {
          carry = length - 2 * i;  // the first surrogate and an odd byte, if any
          for (size_t k = 0; k < carry; ++k) carried[k] = block[2 * i + k];
          return out;
        }
        block[out++] = '?';
        ++i;
        continue;
      }
      char16_t next = unitAt(i + 1);
      if (next >= 0xDC00 && next <= 0xDFFF) {
        block[out++] = '#';
        i += 2;
        continue;
      }
      block[out++] = '?';
      ++i;
      continue;
    }
    block[out++] = (u >= 0xDC00 && u <= 0xDFFF) ? '?' : UnicodeToAnsi(u);
    ++i;
  }
  if (moreFollows && length % 2) {
    carry = 1;
    carried[0] = block[length - 1];
  }
  return out;
}

}  // namespace quilor
