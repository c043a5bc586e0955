// Loads arbitrary bytes as a lexicon file; a loaded lexicon is then looked up
// and its keys walked, alone and to build its expression filter.
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>

#include "core/lexicon.h"
#include "platform/fatal.h"
#include "tests/fuzz/silent_ui.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quilor::InstallSilentMessageUi();
  try {
    quilor::TMainDictionary d(data, size, "fuzz.lv8");
    static const std::string words[] = {"walk",       "walked", "walking",     "cats",
                                        "tries",      "the",    "a",           "zebra",
                                        "\xe9t\xe9s", "gatas",  "rapidamente", std::string(120, 'w') + "ed"};
    for (int language : {quilor::kLanguageEnglish, quilor::kLanguagePortuguese}) {
      d.language = language;
      for (const std::string& w : words)
        for (int r = 0; r < 7; ++r) quilor::LookupWord(d, r, static_cast<int>(w.size()), true, true, w.c_str());
    }
    size_t keys = 0;
    d.ForEachKey([&](const std::string& key, quilor::TCategoryCode) {
      if (key.size() >= quilor::kWordBufferSize) __builtin_trap();
      ++keys;
    });
    // The expression filter of a damaged lexicon hides no candidate it was
    // built from, or lets every candidate by.
    d.BuildExpressionFilter();
    while (d.ready && !d.BuiltExpressionFilter()) std::this_thread::yield();
    if (const quilor::TExpressionFilter* filter = d.BuiltExpressionFilter()) {
      d.ForEachKey([&](const std::string& key, quilor::TCategoryCode) {
        if (key.find_first_of("_-") != std::string::npos && !filter->MayStart(key.data(), key.size())) __builtin_trap();
      });
    }
  } catch (const quilor::FatalError&) {
  }
  quilor::ResetWorkingTables();
  return 0;
}
