// The reader of tagged corpus files (word/tag tokens).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/tagged_corpus.h"

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
  if (words + ends > size) __builtin_trap();
  return 0;
}
