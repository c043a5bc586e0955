// The XML text handlers alone: the input is one part, stored in a package
// built here, so that the fuzzer works on the XML and not on the zip layer.
#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "import/filter_formats.h"

namespace {

std::string Package(const char* part, const std::string& xml) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_t* zip = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
  zip_source_keep(buffer);
  zip_file_add(zip, part, zip_source_buffer(zip, xml.data(), xml.size(), 0), ZIP_FL_OVERWRITE);
  zip_set_file_compression(zip, 0, ZIP_CM_STORE, 0);
  zip_close(zip);
  std::string out;
  zip_source_open(buffer);
  zip_source_seek(buffer, 0, SEEK_END);
  out.resize(static_cast<size_t>(zip_source_tell(buffer)));
  zip_source_seek(buffer, 0, SEEK_SET);
  zip_source_read(buffer, out.data(), out.size());
  zip_source_close(buffer);
  zip_source_free(buffer);
  zip_error_fini(&error);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::string xml(reinterpret_cast<const char*>(data + 1), size - 1);
  struct {
    quilor::ConverterFormat format;
    const char* part;
  } const kKinds[] = {{quilor::ConverterFormat::kOffice2007, "word/document.xml"},
                      {quilor::ConverterFormat::kPowerPoint2007, "ppt/slides/slide1.xml"},
                      {quilor::ConverterFormat::kOpenDocumentText, "content.xml"}};
  const auto& kind = kKinds[data[0] % 3];
  auto filter = quilor::CreateDocumentFilter(kind.format);
  filter->Load(false, "");
  filter->ExtractFromMemory(Package(kind.part, xml));
  return 0;
}
