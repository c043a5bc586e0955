// Office Open XML and OpenDocument packages: the first byte picks the
// converter, the rest is the package.
#include <cstddef>
#include <cstdint>
#include <string>

#include "import/filter_formats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const quilor::ConverterFormat kFormats[] = {
      quilor::ConverterFormat::kOffice2007, quilor::ConverterFormat::kPowerPoint2007,
      quilor::ConverterFormat::kOpenDocumentText, quilor::ConverterFormat::kOpenDocumentPresentation};
  auto filter = quilor::CreateDocumentFilter(kFormats[data[0] % 4]);
  filter->Load(false, "");
  filter->ExtractFromMemory(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  filter->IFilterErrorText();
  return 0;
}
