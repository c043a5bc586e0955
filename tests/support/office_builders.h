// Builders of small compound files, Word documents and zip packages for the
// import tests and the fuzz seeds.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace quilor::testing {

// A version-3 compound file whose root holds the given streams (name, bytes).
// Streams under 4,096 bytes go to the mini stream. The FAT is sector 0, so
// FAT entry k lies at byte 512 + 4k for k < 128.
std::string BuildCompoundFile(const std::vector<std::pair<std::string, std::string>>& streams);

void Put16(std::string& s, size_t at, uint16_t v);
void Put32(std::string& s, size_t at, uint32_t v);

struct WordLayout {
  std::u16string text;  // all stories, back to back
  std::array<uint32_t, 8>
      ccp{};              // main, footnotes, headers, macros, annotations, endnotes, text boxes, header text boxes
  bool eightBit = false;  // the pieces hold 8-bit characters
  int pieces = 1;         // the text cut into this many pieces
  int repeats = 0;        // when not 0: this many pieces, each the whole text again
  bool encrypted = false;
  uint16_t lid = 0x0409;
};
// The "WordDocument" and "1Table" streams of a Word 97 document. The text
// starts at byte 0x400 of the first; the piece table is all of the second.
std::pair<std::string, std::string> BuildWordStreams(const WordLayout& layout);
std::string BuildWordFile(const WordLayout& layout);

// A zip archive of the given parts (name, bytes), deflated.
std::string BuildZip(const std::vector<std::pair<std::string, std::string>>& parts);

// A PDF of pages whose contents are all one Flate stream of blanks (a
// decoding bomb: small on disk, costly for every page).
std::string BuildPdfSharingOneStream(int pages, size_t blanks);

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace quilor::testing
