// Conversion routing from a file: the first byte picks the name's extension,
// the rest is the file. The content's signature, the converters, the Word and
// PowerPoint readers, the raw extraction and its format decoders all run.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/files.h"
#include "core/messages.h"
#include "import/conversion_dispatch.h"
#include "import/document_filter.h"
#include "platform/settings_store.h"
#include "tests/fuzz/converter_fuzz_support.h"

using namespace quilor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string base = "/tmp/quilor-fuzz-route-" + std::to_string(getpid());
  static bool ready = [] {
    PrepareConvertersForFuzzing(base);
    return true;
  }();
  (void)ready;
  if (size < 1) return 0;
  static const char* const kExtensions[] = {".doc", ".docx", ".DOCX", ".pdf", ".ppt", ".pptx", ".odt", ".odp",
                                            ".xls", ".xlsx", ".xps",  ".swf", ".txt", ".xyz",  ""};
  const std::string path = base + "-doc" + kExtensions[data[0] % 15];
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data + 1, 1, size - 1, f);
    std::fclose(f);
  } else {
    return 0;
  }
  ClearConversionFailures();
  const int kind = DocumentKind(path);
  ConvertedSource source = PrepareConvertedSource(path, kind, LastFileResult.unknownExtension);
  if (source.text.size() > DocumentFilter::kMaxTextBytes) __builtin_trap();
  std::string text;
  ConvertedDocumentReader().Prepare(path, text);
  if (text.size() > DocumentFilter::kMaxTextBytes) __builtin_trap();
  ConversionFailureReport();
  std::remove(path.c_str());
  return 0;
}
