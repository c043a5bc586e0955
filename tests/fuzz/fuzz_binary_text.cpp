// Text extraction from binary documents: output exactly as long as the
// input, the same however the document is cut.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "import/charset.h"

namespace {

std::string Read(quilor::BinaryTextExtractor extractor, const char* data, size_t size, size_t block) {
  extractor.Reset();
  std::string out;
  for (size_t at = 0; at < size; at += block) extractor.Decode(data + at, std::min(block, size - at), out);
  extractor.Finish(out);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const quilor::BinaryTextExtractor kinds[] = {quilor::BinaryTextExtractor::ForWordDocument(),
                                               quilor::BinaryTextExtractor::ForPowerPoint(),
                                               quilor::BinaryTextExtractor::ForOtherBinary()};
  const auto& extractor = kinds[data[0] % 3];
  const size_t block = 1 + data[0] / 3 % 61;
  const char* text = reinterpret_cast<const char*>(data + 1);
  --size;
  const std::string whole = Read(extractor, text, size, size + 1);
  if (whole.size() != size) std::abort();
  if (Read(extractor, text, size, block) != whole) std::abort();
  return 0;
}
