// The RTF reader on hostile documents: no crash, no hang, never more output
// than input, and the same text however the document is cut.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "import/rtf_reader.h"

namespace {

std::string Read(const char* data, size_t size, size_t block) {
  quilor::RtfReader reader;
  std::string out;
  for (size_t at = 0; at < size; at += block) reader.Decode(data + at, std::min(block, size - at), out);
  reader.Finish(out);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t block = 1 + data[0] % 61;
  const char* text = reinterpret_cast<const char*>(data + 1);
  --size;
  const std::string whole = Read(text, size, size + 1);
  if (whole.size() > size) std::abort();
  if (Read(text, size, block) != whole) std::abort();
  return 0;
}
