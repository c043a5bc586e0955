// What the segmenter's fuzz targets share: a small lexicon with ambiguous
// words, contractions and expressions, and a run of a text through the word
// scanner, the segment buffer and the resolver (SegmentTextAsFile).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/chartables.h"
#include "core/lexicon.h"
#include "core/name_index.h"
#include "engine/segment_buffer.h"
#include "engine/word_list.h"
#include "engine/word_scanner.h"

namespace quilor::fuzzing {

inline void InstallSmallDictionaries() {
  if (MainDictionary) return;
  LexiconWriter w(DefaultWorkingTables());
  w.AddWord("the", {0x5601});
  w.AddWord("a", {0x5601});
  w.AddWord("work", {0x1001, 0x1100});
  w.AddWord("use", {0x1001, 0x1100});
  w.AddWord("can", {0x1181});
  w.AddWord("is", {0x1182});
  w.AddWord("they", {0x5533});
  w.AddWord("i", {0x5513});
  w.AddWord("it", {0x5533});
  w.AddWord("s", {0x0001, 0x7601});
  w.AddWord("t", {0x1001});
  w.AddWord("in", {0x5680});
  w.AddWord("in_order", {0x1402});
  w.AddWord("in_order_to", {0x4202});
  w.AddWord("new", {0x1401, 0x1303});
  w.AddWord("new_york", {0x1020});
  w.AddWord("mr", {0x0040});
  w.AddWord("e-mail", {0x0001});
  w.AddWord("so", {0xD204, 0x1303});
  w.AddWord("like", {0xD207, 0x1102, 0x4680});
  w.AddWord("hard", {0x1401, 0x1303});
  // Words whose class the next word decides.
  w.AddWord("there", {0x0505, 0x0302});
  w.AddWord("that", {0x1501, 0x5601});
  w.AddWord("more", {0x0307, 0x4601});
  w.AddWord("about", {0x5680, 0x1307});
  w.AddWord("still", {0x1301, 0x5205});
  w.AddWord("also", {0x5203});
  w.AddWord("she", {0x5533});
  w.AddWord("lives", {0x0001, 0x0101});
  w.AddWord("way", {0x1001, 0x1303});
  // Words whose kind their clause decides, and expressions that may take a verb.
  w.AddWord("as", {0x5207, 0x5204, 0x5208, 0x4680});
  w.AddWord("as_to", {0x4600});
  w.AddWord("to", {0x4680});
  w.AddWord("since", {0x5204, 0x5208, 0x5680});
  w.AddWord("while", {0x4208, 0x4205, 0x0001});
  w.AddWord("for", {0x5680, 0x5204});
  w.AddWord("her", {0x0532, 0x0533});
  w.AddWord("one", {0x1403, 0x1573});
  w.AddWord("which", {0x0501, 0x4601});
  w.AddWord("will", {0x1189, 0x1001});
  w.AddWord("well", {0x1303, 0x1001});
  w.AddWord("yet", {0x0301, 0x4205});
  w.AddWord("too", {0x1307, 0x5203});
  w.AddWord("lay", {0x1105, 0x1100, 0x1401, 0x1001});
  w.AddWord("brown", {0x1020, 0x1401, 0x1100});
  w.AddWord("cat", {0x1001, 0x1100});
  w.AddWord("sleeps", {0x0100, 0x0001});
  w.AddWord("cat_sleeps", {0x0001});
  w.AddWord("he", {0x0533});
  static std::vector<uint8_t> image = w.Build();
  MainDictionary = new TMainDictionary(image.data(), image.size(), "fuzz.lv8");
  VerbIndex = new TStringHashIndex(0, true, 50, 1, std::string(), ".vv8");
  AdjectiveIndex = new TStringHashIndex(0, true, 50, 1, std::string(), ".av8");
}

}  // namespace quilor::fuzzing
