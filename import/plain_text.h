// Decoding of plain text into the program's Windows-1252 text, block by block
// and in place. A UTF-16 character cut by the end of a block is left for the
// next block ("carry"); at the end of the source it gives nothing.
#pragma once

#include <cstddef>

namespace quilor {

// DOS text (OEM code page 437): box drawing becomes blanks, characters
// Windows-1252 lacks become '?'.
void OemToAnsi(unsigned char* text, size_t length);
// Macintosh text, through the working Macintosh table.
void MacToAnsi(unsigned char* text, size_t length);

// What the bytes of a block say about UTF-8: none beyond ASCII, only
// well-formed sequences, or a byte that no UTF-8 text holds. A sequence cut by
// the end of the block counts as well-formed when more bytes follow.
enum class Utf8Evidence { kAsciiOnly, kWellFormed, kMalformed };
Utf8Evidence ScanUtf8(const unsigned char* block, size_t length, bool moreFollows);

// True when block holds well-formed UTF-8 with at least one multi-byte
// sequence. A sequence cut by the end of the block counts as well-formed when
// more bytes follow.
bool LooksLikeUtf8(const unsigned char* block, size_t length, bool moreFollows);

// UTF-16 to Windows-1252 in place; surrogate pairs give '#', like the
// characters beyond U+FFFF of UTF-8. carry: an odd byte, or a first surrogate
// with what follows it, left for the next block.
size_t DecodeUtf16Block(unsigned char* block, size_t length, bool bigEndian, bool moreFollows,
                        unsigned char (&carried)[4], size_t& carry);

}  // namespace quilor
