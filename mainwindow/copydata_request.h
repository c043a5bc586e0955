// The request another program sends to the running window: a fixed record of
// 2,167 bytes, little-endian, carried whole over the program's local socket.
//
//   offset  size   field
//        0     4   command: 0 analyse the file and apply the key, 1 the file is a command file
//        4   261   Scenario file name (empty: keep the current one)
//      265   261   file path
//      526  1600   key text (20 slots of 80 characters laid end to end)
//     2126     2   kind of key 1
//     2128    39   not read
//
// Texts are NUL-terminated Windows-1252 within their field; a field without a
// NUL ends at the field's end.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quilor::ui {

constexpr size_t kRequestSize = 2167;
constexpr size_t kRequestKeySlots = 20;
constexpr size_t kRequestKeySlotSize = 80;

struct TCopyDataRequest {
  uint32_t command = 0;
  std::string scenario;                            // at most 260 characters
  std::string path;                                // at most 260 characters
  std::array<std::string, kRequestKeySlots> keys;  // at most 79 characters each
  uint16_t keyKind = 0;
};

// Nothing when the block is not exactly 2,167 bytes.
std::optional<TCopyDataRequest> DecodeRequest(std::string_view block);
// The 2,167-byte record; longer texts are cut to their field.
std::string EncodeRequest(const TCopyDataRequest& request);

}  // namespace quilor::ui
