// Feeds a document to a block reader in blocks of a chosen size.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace quilor::testing {

// Decodes data in blocks of blockSize bytes (0: one block) and finishes.
template <class Reader>
std::string ReadInBlocks(Reader& reader, std::string_view data, size_t blockSize) {
  std::string out;
  if (blockSize == 0) blockSize = data.size();
  for (size_t at = 0; at < data.size(); at += blockSize) {
    size_t n = std::min(blockSize, data.size() - at);
    reader.Decode(data.data() + at, n, out);
  }
  reader.Finish(out);
  return out;
}

// Decodes data cut once at cut.
template <class Reader>
std::string ReadWithCut(Reader& reader, std::string_view data, size_t cut) {
  std::string out;
  reader.Decode(data.data(), cut, out);
  reader.Decode(data.data() + cut, data.size() - cut, out);
  reader.Finish(out);
  return out;
}

// Collapses runs of blanks (space, CR, LF, TAB, NUL) to one space and trims.
inline std::string Squeeze(std::string_view text) {
  std::string out;
  bool blank = false;
  for (char c : text) {
    if (c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == '\0') {
      blank = true;
      continue;
    }
    if (blank && !out.empty()) out.push_back(' ');
    blank = false;
    out.push_back(c);
  }
  return out;
}

}  // namespace quilor::testing
