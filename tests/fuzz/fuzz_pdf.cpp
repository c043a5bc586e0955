// PDF documents through our PDF converter, with a small work budget so that
// a costly input ends as a failure instead of a timeout.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "import/filter_formats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = [] {
    quilor::DocumentFilter::Budget().time = std::chrono::milliseconds(2000);
    quilor::DocumentFilter::Budget().pages = 200;
    return true;
  }();
  (void)ready;
  static auto filter = quilor::CreateDocumentFilter(quilor::ConverterFormat::kPdf);
  static bool loaded = filter->Load(false, "");
  if (!loaded) return 0;
  filter->ExtractFromMemory(std::string_view(reinterpret_cast<const char*>(data), size));
  if (filter->Text().size() > quilor::DocumentFilter::kMaxTextBytes) __builtin_trap();
  filter->IFilterErrorText();
  filter->ClearText();
  return 0;
}
