// ".dlm" text of any bytes: every entry fits its limits, the written file
// reads back as the same entries, and the index answers for every term.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/borders.h"
#include "platform/message_ui.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quilor;
  static ScriptedMessageUi ui;
  SetMessageUi(&ui);
  ui.ClearLog();
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

  // Index what was read and look every term up again.
  if (!Borders.list) CreateBorderList();
  ClearBorderList();
  for (const auto& e : list.Entries()) AddBorderEntry(e);
  BuildBordersIndex();
  for (const auto& e : list.Entries()) {
    int filter = -1;
    if (LookupBorder(e.Text, filter) && filter != 0 && filter != 1) __builtin_trap();
  }
  return 0;
}
