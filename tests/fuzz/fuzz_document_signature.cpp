// The kind of a document from its first bytes, on hostile input.
#include <cstdint>
#include <cstdlib>

#include "core/files.h"
#include "import/document_signature.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int byExtension = data[0] % 19;
  const bool unknown = data[0] & 0x80;
  int kind = quilor::DocumentKindFromContent(reinterpret_cast<const char*>(data + 1), size - 1, byExtension, unknown);
  if (kind < 0 || kind > quilor::kDocExcel) std::abort();
  return 0;
}
