// Loads arbitrary bytes as a verb or adjective name index; a loaded index is
// then looked up, grown and ranked.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/name_index.h"
#include "platform/fatal.h"
#include "tests/fuzz/silent_ui.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quilor::InstallSilentMessageUi();
  try {
    quilor::TStringHashIndex index(data, size, "fuzz.vv8", false);
    static const char* words[] = {"take", "took", "go", "went", "be", "a", "zz", "\xe9lu"};
    const char* name = nullptr;
    for (const char* w : words) {
      index.LookupStoredName(w, &name);
      int entry = 0;
      if (index.LookupEntryNumber(w, entry)) {
        uint32_t field = 0;
        index.CountOccurrence(static_cast<uint32_t>(entry), field, nullptr, 0);
      }
      index.AddNameIfAbsent((std::string(w) + "x").c_str());
    }
    for (int i = 0; i <= index.NameEntryCount() && i < 100; ++i) index.NameOfEntry(i);
    index.RankEntriesByCount();
    index.SaveImage();
  } catch (const quilor::FatalError&) {
  }
  return 0;
}
