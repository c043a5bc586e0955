// The request record another program sends to the window.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "mainwindow/copydata_request.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quilor::ui;
  const std::string_view block(reinterpret_cast<const char*>(data), size);
  const auto request = DecodeRequest(block);
  if (request.has_value() != (size == kRequestSize)) __builtin_trap();
  if (request) {
    if (request->path.size() > 261 || request->scenario.size() > 261) __builtin_trap();
    // Whatever was decoded encodes to a record that decodes the same.
    const auto again = DecodeRequest(EncodeRequest(*request));
    if (!again || again->command != request->command || again->keyKind != request->keyKind) __builtin_trap();
  }
  return 0;
}
