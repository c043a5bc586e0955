// The tagged-corpus and plain-text readers of the style profile.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/style_profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  size_t words = 0;
  size_t ends = 0;
  auto word = [&](std::string_view w) {
    if (w.empty() || w.size() > 79 || w.data() < text.data() || w.data() + w.size() > text.data() + text.size())
      __builtin_trap();
    ++words;
  };
  auto end = [&] { ++ends; };
  quilor::ReadTaggedText(text, word, end);
  quilor::ReadPlainText(text, word, end);
  if (words + ends > 2 * size) __builtin_trap();
  return 0;
}
