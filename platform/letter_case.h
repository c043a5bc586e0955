// The case of Windows-1252 letters: which characters are capitals and how
// case changes, in fixed tables (the working character tables of a lexicon
// are in core/chartables.h).
#pragma once

#include <cstdint>

namespace quilor {

extern const int32_t CapitalLetterTable[256];  // -1 for capitals, 0 otherwise
extern const unsigned char LowerCaseMap[256];
extern const unsigned char UpperCaseMap[256];

inline bool IsUpperCaseLetter(unsigned char c) { return CapitalLetterTable[c] != 0; }
inline bool IsUpperCaseChar(unsigned char c) { return CapitalLetterTable[c] != 0; }
inline unsigned char ToLowerChar(unsigned char c) { return LowerCaseMap[c]; }
inline unsigned char ToUpperChar(unsigned char c) { return UpperCaseMap[c]; }

}  // namespace quilor
