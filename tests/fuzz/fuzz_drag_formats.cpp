// What another program may drop on our windows under our drag formats.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ui/drag_formats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quilor::ui;
  const std::string_view payload(reinterpret_cast<const char*>(data), size);
  ResultsLineDrag line;
  if (DecodeResultsLineDrag(payload, line)) {
    if (line.name.empty() || line.name.size() > 79 || line.classLevel < 0 || line.classLevel > 4) __builtin_trap();
    ResultsLineDrag again;
    if (!DecodeResultsLineDrag(EncodeResultsLineDrag(line), again) || again.name != line.name ||
        again.resultType != line.resultType)
      __builtin_trap();
  }
  int position = 0;
  if (DecodeTextWordDrag(payload, position) && position <= 0) __builtin_trap();
  return 0;
}
