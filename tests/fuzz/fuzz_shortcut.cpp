// Internet-shortcut text of any bytes: the address never exceeds the capacity.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  for (size_t capacity : {size_t{0}, size_t{7}, size_t{260}}) {
    std::string url;
    if (quilor::ParseShortcutUrl(text, url, capacity) && url.size() > capacity) __builtin_trap();
  }
  return 0;
}
