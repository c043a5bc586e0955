// Text extraction from binary documents: output exactly as long as the
// input, the same however the document is cut.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "import/charset.h"
#include "tests/import/block_feed.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  quilor::BinaryTextExtractor kinds[] = {quilor::BinaryTextExtractor::ForWordDocument(),
                                         quilor::BinaryTextExtractor::ForPowerPoint(),
                                         quilor::BinaryTextExtractor::ForOtherBinary()};
  auto& extractor = kinds[data[0] % 3];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string whole = quilor::testing::ReadInBlocks(extractor, text, 0);
  if (whole.size() != text.size()) std::abort();
  extractor.Reset();
  if (quilor::testing::ReadInBlocks(extractor, text, 1 + data[0] / 3 % 61) != whole) std::abort();
  return 0;
}
