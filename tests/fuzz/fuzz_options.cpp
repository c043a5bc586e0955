// Options file images of any bytes: read, check the texts end inside their
// fields and the numbers are in range, and write-read gives the same image.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "core/options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quilor;
  // Small inputs are spread over a valid frame so that the checks are reached.
  std::string image(reinterpret_cast<const char*>(data), size);
  if (image.size() < kOptionsRecordSize) {
    TOptionsRecord base;
    std::string framed(reinterpret_cast<const char*>(base.Data()), base.Size());
    for (size_t i = 0; i + 2 < image.size(); i += 3) {
      size_t off = (static_cast<uint8_t>(image[i]) | (static_cast<uint8_t>(image[i + 1]) << 8)) % 14908 + 4;
      framed[off] = image[i + 2];
    }
    image = framed;
  }
  TOptionsRecord record;
  bool ok = ReadOptionsImage(image, record);
  if (record.Get(opt::Version) != kOptionsVersion || record.Get(opt::EndMarker) != kOptionsEndMarker) __builtin_trap();
  if (record.Data()[1710] != 0 || record.Data()[1971] != 0 || record.Data()[1188] != 0) __builtin_trap();
  if (record.Get(opt::RelationBase) < 1 || record.Get(opt::RelationBase) > 4) __builtin_trap();
  if (record.Get(opt::SizeThreshold) > 2047) __builtin_trap();
  for (size_t i = 0; i < opt::HistoryCount; ++i)
    if (record.Get(opt::FileHistoryEntry(i)).size() > 260) __builtin_trap();
  if (ok) {
    TOptionsRecord again;
    std::string_view written(reinterpret_cast<const char*>(record.Data()), record.Size());
    if (!ReadOptionsImage(written, again) || std::memcmp(again.Data(), record.Data(), record.Size()) != 0)
      __builtin_trap();
  }
  return 0;
}
