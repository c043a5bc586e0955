// The dictionary matrix reader on hostile bytes: a short image is refused;
// any accepted one, however extreme its weights, must let the resolver
// choose readings without overflow or a reading out of range.
#include <cstddef>
#include <cstdint>

#include "core/category.h"
#include "engine/dictionary_matrix.h"
#include "engine/segment_resolver.h"
#include "engine/word_list.h"
#include "platform/message_ui.h"
#include "tests/fuzz/segment_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quilor;
  static ScriptedMessageUi ui;
  SetMessageUi(&ui);
  ui.ClearLog();
  fuzzing::InstallSmallDictionaries();
  TDictionaryMatrix m;
  if (!ParseDictionaryMatrix(data, size, m)) return 0;
  DictionaryMatrix = m;
  static const char kText[] =
      "The work is hard. They work hard. I can use the use of a can, so in order to like it, Mr. new York.";
  SegmentTextAsFile(reinterpret_cast<const unsigned char*>(kText), sizeof kText - 1, false);
  for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n))
    if (n->category.Category.MajorClass > kClassUnknown) __builtin_trap();
  TextWords.Clear();
  DictionaryMatrix = TDictionaryMatrix{};
  return 0;
}
