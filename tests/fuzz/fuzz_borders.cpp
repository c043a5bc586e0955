// ".dlm" text of any bytes: every entry fits its limits and the written file
// reads back as the same entries.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/borders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quilor;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  TBorderList list;
  bool damaged = false;
  ParseBordersText(text, list, damaged);
  for (const auto& e : list.Entries())
    if (e.Text.size() > kBorderTextMax) __builtin_trap();
  TBorderList again;
  bool damagedAgain = false;
  std::string written = FormatBordersText(list);
  ParseBordersText(written, again, damagedAgain);
  if (FormatBordersText(again) != written) __builtin_trap();
  return 0;
}
