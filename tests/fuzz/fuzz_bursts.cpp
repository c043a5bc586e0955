// Bursts, episodes, characteristic propositions, the searches and the
// diagnosis over word lists of any shape: each input byte pair is a word
// (class, subclass or class id), a stretch of plain words or a proposition
// mark; positions may jump. The episodes must cover the text in order, every burst must
// belong to one, and the searches must end.
#include <cstddef>
#include <cstdint>

#include "engine/bursts.h"
#include "engine/selection.h"
#include "tests/engine/burst_text_builder.h"

using namespace quilor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TWordList list;
  int32_t position = 0;
  for (size_t i = 0; i + 1 < size; i += 2) {
    const uint8_t a = data[i];
    const uint8_t b = data[i + 1];
    if (a == 0xFF) {
      list.Append("/", " ", 0, 1, position, nullptr);
      continue;
    }
    if ((a & 0x3F) == 0x3E) {  // a stretch of plain words
      const TWordCategoryData plain = testing_words::Category(kClassSubstantive);
      for (int k = 0; k < b; ++k) list.Append("f", " ", 0, 1, ++position, &plain);
      continue;
    }
    position += (a & 0x80) ? (b % 8) * 40 : 1;  // long jumps stretch the text
    TWordCategoryData d = testing_words::Category(static_cast<uint8_t>(a % 10), static_cast<uint8_t>(b % 12),
                                                  static_cast<uint8_t>(b >> 4));
    if (a % 10 == kClassSubstantive) d = testing_words::ClassWord(b % 3 == 0 ? 70000u + b : b % 40u);
    list.Append((a & 0x40) ? "Word" : "w", " ", b, 1, position, &d);
  }
  const uint8_t first = size > 0 ? data[0] : 0;
  TBurstResults r;
  TBurstSettings settings;
  settings.relationBase = first % 6;
  settings.characteristicPercent = size > 1 ? data[1] - 50 : 20;
  ComputeBurstResults(list, settings, r);
  if (r.bursts.size() > kMaxBursts || r.episodes.size() > kMaxEpisodes) __builtin_trap();
  uint32_t next = 1;
  for (const TEpisodeRecord& e : r.episodes) {
    if (e.firstPosition != next || e.lastPosition < e.firstPosition) __builtin_trap();
    next = e.lastPosition + 1;
  }
  for (const TBurstRecord& burst : r.bursts) {
    if (burst.firstPosition > burst.lastPosition) __builtin_trap();
    if (!r.episodes.empty() && (burst.episode < 1 || burst.episode > r.episodes.size())) __builtin_trap();
  }

  TSelection s;
  s.ranges[0] = {first % 7, first / 7 % 12};
  s.ranges[1] = {size > 2 ? data[2] % 7 : 0, 1};
  s.categoryRangeView = (first & 1) != 0;
  BuildSearchPatterns(s);
  for (bool backward : {false, true}) {
    list.Rewind();
    if (backward) list.SetCursor(list.Tail());
    size_t steps = 0;
    while (FindNextSelectedOccurrence(backward, list, s))
      if (++steps > list.Count() + 1) __builtin_trap();
  }
  s.kind = kSelectMarked;
  list.Rewind();
  while (FindNextSelectedOccurrence(false, list, s)) {
  }
  list.Rewind();
  list.SaveCursor(kBookmarkWordSearch);
  size_t found = 0;
  while (FindWordInText("wo", false, list) >= 0)
    if (++found > list.Count()) __builtin_trap();
  return 0;
}
