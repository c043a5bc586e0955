// Loads arbitrary bytes as a lexicon file; a loaded lexicon is then looked up.
#include <cstddef>
#include <cstdint>

#include "core/lexicon.h"
#include "platform/fatal.h"
#include "tests/fuzz/silent_ui.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quilor::InstallSilentMessageUi();
  try {
    quilor::TMainDictionary d(data, size, "fuzz.lv8");
    static const char* words[] = {"walk", "walked", "walking", "cats", "tries", "the", "a", "zebra", "\xe9t\xe9s"};
    for (const char* w : words)
      for (int r = 0; r < 7; ++r) quilor::LookupWord(d, r, static_cast<int>(std::char_traits<char>::length(w)), true, true, w);
  } catch (const quilor::FatalError&) {
  }
  quilor::ResetWorkingTables();
  return 0;
}
