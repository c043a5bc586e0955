// The segmenter on hostile text: any bytes, in running or line mode, looked
// up and resolved on the caller's thread or on worker threads, give a word
// stream whose positions never go back, without a crash or a hang.
#include <cstddef>
#include <cstdint>

#include "engine/word_list.h"
#include "platform/message_ui.h"
#include "tests/fuzz/segment_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quilor;
  static ScriptedMessageUi ui;
  SetMessageUi(&ui);
  ui.ClearLog();
  fuzzing::InstallSmallDictionaries();
  const bool lineMode = size > 0 && (data[0] & 1);
  const bool threads = size > 0 && (data[0] & 6) == 6;
  SegmentTextAsFile(data, size, lineMode, threads);
  int32_t last = 0;
  for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n)) {
    if (n->position < last) __builtin_trap();
    last = n->position;
  }
  TextWords.Clear();
  return 0;
}
