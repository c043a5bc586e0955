#include "import/plain_text.h"

namespace quilor {

bool LooksLikeUtf8(const unsigned char* block, size_t length, bool moreFollows) {
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
    else return false;  // stray continuation byte, overlong lead or beyond U+10FFFF
    for (size_t k = 1; k < need; ++k) {
      if (i + k >= length) return moreFollows && multiByte;
      unsigned char n = block[i + k];
      if ((n & 0xC0) != 0x80) return false;
      if (k == 1) {
        if (c == 0xE0 && n < 0xA0) return false;   // overlong
        if (c == 0xED && n > 0x9F) return false;   // surrogates
        if (c == 0xF0 && n < 0x90) return false;   // overlong
        if (c == 0xF4 && n > 0x8F) return false;   // beyond U+10FFFF
      }
    }
    multiByte = true;
    i += need;
  }
  return multiByte;
}

}  // namespace quilor
