// Compound files and the PowerPoint text inside them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "import/powerpoint_document.h"
#include "platform/compound_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quilor::CompoundFile file;
  if (!file.Open(std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
  std::string out;
  for (size_t i = 0; i < file.Entries().size(); ++i) {
    file.Children(static_cast<int>(i));
    file.ReadStream(static_cast<int>(i), out);
  }
  std::string text;
  quilor::ReadPowerPointText(file, text, 1 << 20);
  return 0;
}
