// Conversions between the program's Windows-1252 text and UTF-8, for the
// edges of the program (terminal output, file names, window captions).
#pragma once

#include <string>
#include <string_view>

namespace quilor {

// Every byte maps to a code point; the five undefined bytes keep their value.
char32_t Cp1252ToCodePoint(unsigned char c);
// The Windows-1252 byte of each of the 65,536 UTF-16 code units: '?' where
// the code page has none (U+0080..U+009F, the five undefined bytes' values
// included, and U+FFFF).
const unsigned char* Cp1252OfUnits();
inline unsigned char UnicodeToAnsi(char16_t unit) { return Cp1252OfUnits()[unit]; }
std::string Cp1252ToUtf8(std::string_view text);
// Characters Windows-1252 has no byte for become '?'; invalid UTF-8 bytes too.
std::string Utf8ToCp1252(std::string_view text);

// Reads the character that starts at text[at] and moves `at` past it. A
// byte that starts no well-formed sequence (a stray or missing continuation
// byte, a cut sequence, an overlong form, a surrogate, a value beyond
// U+10FFFF) gives false, and `at` moves past that one byte.
bool NextUtf8CodePoint(std::string_view text, size_t& at, char32_t& cp);
// The Windows-1252 byte of a code point, or -1 where the code page has none;
// the five undefined bytes' values keep their byte, as Cp1252ToCodePoint
// gives them.
int Cp1252ByteOf(char32_t cp);

// A file name (UTF-8 bytes as the system gives them) made safe to show:
// valid UTF-8 where every control character, DEL, backslash and byte that is
// no part of valid UTF-8 is written as an escape ("\t", "\n", "\r", "\\",
// "\xNN"), so that no name can break or forge a line of a report.
std::string DisplayFileName(std::string_view name);

}  // namespace quilor
