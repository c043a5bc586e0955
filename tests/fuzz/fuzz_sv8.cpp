// The semantic dictionary reader on hostile bytes: a bad file is refused with
// its status; an accepted one must survive look-ups of every kind.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/ontology_engine.h"
#include "platform/message_ui.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static quilor::ScriptedMessageUi ui;
  quilor::SetMessageUi(&ui);
  ui.ClearLog();
  quilor::TOntologyEngine engine;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (!engine.LoadBytes(bytes).Ok()) return 0;
  // The index of the word tables is built from the same tables, beside the
  // look-ups (a long text has it built so).
  engine.BuildWordIndexAhead();
  int32_t value = 0;
  for (const char* w : {"dog", "bank", "cash", "riverbank", "dogs", "$5", "a-b", "x", "zzzzzz"}) {
    engine.CollectReadings(w);
    engine.ClassifySubstantive(w, nullptr, value);
    engine.ClassifyWord(w, value, true);
    engine.LookupEntry(w);
    engine.FindClassIndex(1, w);
    engine.FindClassIndex(2, w);
    engine.FindClassIndex(3, w);
    engine.TextIndexLookup(w);
  }
  for (int l = 1; l <= 3; ++l) {
    engine.RankLevel(l);
    engine.ClassName(l, 1);
  }
  return 0;
}
