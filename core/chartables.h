// Character tables and text conversions.
//
// The system works on single-byte Windows-1252 text. The fixed tables of
// platform/letter_case.h decide what a capital is and how case changes; the
// six working tables (character
// class, letter group, language byte, Macintosh map, collation, style norms)
// start from built-in defaults and are replaced by each lexicon load.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/letter_case.h"

namespace quilor {

// Character classes of the working class table.
enum CharClassCode : unsigned char {
  kCharOther = 0,
  kCharLetter = 1,
  kCharUnderscore = 2,
  kCharPunctuation = 3,
  kCharLineEnd = 4,
  kCharDigit = 5,
};

constexpr int kStyleNormCount = 77;

// Working tables (replaced by a lexicon load).
struct WorkingTables {
  unsigned char charClass[256];
  unsigned char letterGroup[256];
  unsigned char languageByte;
  unsigned char macToAnsi[256];
  unsigned char collation[256];
  int8_t styleNorms[kStyleNormCount];
};
extern WorkingTables Tables;
// The built-in defaults.
const WorkingTables& DefaultWorkingTables();
// Copies the defaults into the working tables.
void ResetWorkingTables();

inline unsigned char CharClass(unsigned char c) { return Tables.charClass[c]; }

void LowerCaseChars(char* buffer, int n);
void UpperCaseChars(char* buffer, int n);
void LowerCaseString(char* text);
void LowerCaseString(std::string& text);
// Upper-cases the character at i in place.
void UpperCaseCharAt(char* buffer, int i);

// A word into a dictionary key, in place (buffer of at least 81 bytes):
// lower-cased, runs of other characters folded to one '_', at most 80
// characters, no trailing '_'.
void NormaliseKey(char* word);
// Names of Scenario groups and items; True when no character was dropped.
bool NormaliseExpression(std::string& text, bool keyMode);
// Folds accented small letters (buffer of at least 80 bytes); True when one was folded.
bool FoldAccents(char* word);
// XML text of a Windows-1252 string: whole characters and references are
// appended until the text passes 507 characters (never cut inside a
// reference); control characters become blanks.
std::string XmlEscape(const char* text);
// The number in hexadecimal with at least 3 digits and a '/' after the first two.
std::string FormatHexWithSlash(uint32_t number);

// UTF-8 to Windows-1252. Writes at most capacity - 1 characters and a NUL;
// returns the output length + 1 (0 without destination). Sequences with a
// missing or wrong continuation byte, or cut by the end, give nothing; code
// points above U+FFFF give '#'.
size_t Utf8ToAnsi(const char* source, size_t sourceLength, char* destination, size_t capacity);
// Number of bytes at the end of source that begin a UTF-8 sequence the input
// does not complete (0 to 3): a reader keeps them for the next block.
size_t Utf8IncompleteTail(const char* source, size_t sourceLength);
// n UTF-16 units to Windows-1252 (destination holds n + 1); returns n.
size_t WideToAnsi(const char16_t* units, char* destination, size_t n);
// Swaps the two bytes of each of the byteCount / 2 units.
void SwapByteOrder(void* buffer, size_t byteCount);
// n UTF-16 units to UTF-8; outCount := n.
void WideToUtf8(const char16_t* units, size_t n, size_t& outCount, std::string& text);
// 'd' UTF-8, 'o' UTF-16 big-endian, 'p' UTF-16 little-endian, 0 otherwise
// (and always 0 for fewer than 4 bytes).
char DetectByteOrderMark(const unsigned char* block, size_t length);

}  // namespace quilor
