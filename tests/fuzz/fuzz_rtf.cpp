// The RTF reader on hostile documents: no crash, no hang, never more output
// than input, and the same text however the document is cut.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "import/rtf_reader.h"
#include "tests/import/block_feed.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  quilor::RtfReader reader;
  const std::string whole = quilor::testing::ReadInBlocks(reader, text, 0);
  if (whole.size() > text.size()) std::abort();
  reader.Reset();
  if (quilor::testing::ReadInBlocks(reader, text, 1 + data[0] % 61) != whole) std::abort();
  return 0;
}
