#include "engine/reading_exclusions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

namespace quilor {
namespace {

TCategoryRecord Reading(uint8_t majorClass) {
  TCategoryRecord r;
  r.MajorClass = majorClass;
  return r;
}

TCategoryRecord PresentVerb() {
  TCategoryRecord r = Reading(kClassVerb);
  r.SubField2 = kTensePresent;
  r.SubField3 = kMoodIndicative;
  return r;
}

void SetWord(TWordSlot& s, const char* text, std::initializer_list<TCategoryRecord> readings) {
  std::strcpy(s.text, text);
  int r = 0;
  for (const TCategoryRecord& c : readings) s.readings[r++] = c;
  s.readingCount = static_cast<int16_t>(r - 1);
}

// The rules that read the words left of a word rule out none of the
// readings of a word that cannot name nor describe: after an article, a
// verb that is also a connector keeps both readings.
TEST(ReadingExclusions, AWordThatCannotNameKeepsItsReadingsAfterAnArticle) {
  TWordSlot slots[3] = {};
  SetWord(slots[0], "the", {Reading(kClassDeterminant2)});
  SetWord(slots[1], "like", {PresentVerb(), Reading(kClassConnector)});
  EXPECT_EQ(ExcludedReadings(slots, 2, 1, 0, 1), 0);
  // A word that can also name loses its finite verb there.
  SetWord(slots[1], "like", {PresentVerb(), Reading(kClassSubstantive)});
  EXPECT_EQ(ExcludedReadings(slots, 2, 1, 0, 1), 1);
}

}  // namespace
}  // namespace quilor
