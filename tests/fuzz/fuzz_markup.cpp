// The markup reader on hostile documents: no crash, no hang, never more
// output than input, and the same text however the document is cut.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/files.h"
#include "import/markup_reader.h"
#include "tests/import/block_feed.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const int kKinds[] = {quilor::kDocHtml, quilor::kDocXml, quilor::kDocSgml};
  const int kind = kKinds[data[0] % 3];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  quilor::MarkupReader reader;
  reader.Reset(kind);
  const std::string whole = quilor::testing::ReadInBlocks(reader, text, 0);
  if (whole.size() > text.size()) std::abort();
  reader.Reset(kind);
  if (quilor::testing::ReadInBlocks(reader, text, 1 + data[0] / 3 % 61) != whole) std::abort();
  return 0;
}
