// A word slot: one word of a segment with its readings, as the segment
// buffer, the lookup and the resolver pass it on, and the tests of its text
// that all of them make.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/category.h"
#include "platform/letter_case.h"

namespace quilor {

constexpr int kSlotArraySize = 128;
constexpr int kSlotReadings = 6;
constexpr int kSlotTextSize = 80;
constexpr int kSlotTagSize = 8;
constexpr int kSlotGapSize = 16;
constexpr int kSlotWrittenSize = 48;

// One word of a segment.
struct TWordSlot {
  char text[kSlotTextSize];                 // NUL-terminated; "/" is a proposition mark
  TCategoryRecord readings[kSlotReadings];  // reading 0 first
  int16_t readingCount;                     // index of the last reading (0: one reading)
  uint8_t flag;                             // copied to the class-mark byte of the word data
  uint8_t capitalisation;                   // 0 none, 1 initial capital, 2 all capitals
  char tag[kSlotTagSize];                   // punctuation before the word, " " when none
  uint8_t empty;                            // the slot holds no word
  uint8_t compound;                         // the word may start a longer expression
  uint8_t quotePosition;                    // position of a single quote to show (0 none)
  uint32_t lexicalEntry;
  // What the reader sees: the text between the word and the one before it
  // (blanks folded to one, line ends kept), and for the word of a joined
  // expression or number, the words with what stood between them (empty:
  // the word is written as its text; also when the joined form is too long).
  // Both empty for a mark.
  char gap[kSlotGapSize];
  char written[kSlotWrittenSize];

  bool IsMark() const { return text[0] == '/' && empty == 0; }
  const TCategoryRecord& Category() const { return readings[0]; }
};

// True when the word is all digits.
inline bool IsNumberWord(const char* word) {
  if (!word || !word[0]) return false;
  for (const char* c = word; *c; ++c)
    if (*c < '0' || *c > '9') return false;
  return true;
}

// A word that ends in s: more than 2 characters, "s" but not "ss" at the end.
inline bool EndsInS(const char* word, size_t length) {
  if (length <= 2) return false;
  const unsigned char a = ToLowerChar(static_cast<unsigned char>(word[length - 1]));
  const unsigned char b = ToLowerChar(static_cast<unsigned char>(word[length - 2]));
  return a == 's' && b != 's';
}
inline bool EndsInS(const char* word) { return EndsInS(word, std::strlen(word)); }

}  // namespace quilor
