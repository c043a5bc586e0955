// quilor-style's norm list and a corpus's category list.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tools/style_lists.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto norms = quilor::style_lists::ParseNorms(text);
  for (const auto& n : norms)
    if (n.value < -128 || n.value > 127) __builtin_trap();
  for (const auto& f : quilor::style_lists::ParseCategoryList(text))
    if (f.name.empty() || f.name.find('/') != std::string::npos) __builtin_trap();
  return 0;
}
