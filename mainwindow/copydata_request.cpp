#include "mainwindow/copydata_request.h"

#include <algorithm>

#include "platform/byte_order.h"

namespace quilor::ui {

namespace {

constexpr size_t kCommandOffset = 0;
constexpr size_t kScenarioOffset = 4;
constexpr size_t kPathOffset = 265;
constexpr size_t kTextFieldSize = 261;
constexpr size_t kKeyOffset = 526;
constexpr size_t kKindOffset = 2126;

std::string FieldText(std::string_view block, size_t offset, size_t size) {
  const std::string_view field = block.substr(offset, size);
  return std::string(field.substr(0, std::min(field.find('\0'), size)));
}

void PutText(std::string& block, size_t offset, size_t size, const std::string& text) {
  const size_t length = std::min(text.size(), size - 1);
  std::copy_n(text.begin(), length, block.begin() + static_cast<std::ptrdiff_t>(offset));
}

}  // namespace

std::optional<TCopyDataRequest> DecodeRequest(std::string_view block) {
  if (block.size() != kRequestSize) return std::nullopt;
  TCopyDataRequest request;
  request.command = LoadLe32(block.data() + kCommandOffset);
  request.scenario = FieldText(block, kScenarioOffset, kTextFieldSize);
  request.path = FieldText(block, kPathOffset, kTextFieldSize);
  for (size_t i = 0; i < kRequestKeySlots; ++i)
    request.keys[i] = FieldText(block, kKeyOffset + i * kRequestKeySlotSize, kRequestKeySlotSize - 1);
  request.keyKind = LoadLe16(block.data() + kKindOffset);
  return request;
}

std::string EncodeRequest(const TCopyDataRequest& request) {
  std::string block(kRequestSize, '\0');
  StoreLe32(block.data() + kCommandOffset, request.command);
  PutText(block, kScenarioOffset, kTextFieldSize, request.scenario);
  PutText(block, kPathOffset, kTextFieldSize, request.path);
  for (size_t i = 0; i < kRequestKeySlots; ++i)
    PutText(block, kKeyOffset + i * kRequestKeySlotSize, kRequestKeySlotSize, request.keys[i]);
  StoreLe16(block.data() + kKindOffset, request.keyKind);
  return block;
}

}  // namespace quilor::ui
