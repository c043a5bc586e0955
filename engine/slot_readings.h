// Reading and choosing among the readings of a segment's slots: the helpers
// the token rules of the lookup and the resolver share.
#pragma once

#include <cstring>

#include "core/category.h"
#include "core/chartables.h"
#include "engine/word_slot.h"

namespace quilor {

// Case-insensitive comparison of a slot's word with a lower-case word.
inline bool Is(const TWordSlot& s, const char* lower) {
  const unsigned char* a = reinterpret_cast<const unsigned char*>(s.text);
  for (; *lower; ++a, ++lower)
    if (ToLowerChar(*a) != static_cast<unsigned char>(*lower)) return false;
  return *a == 0;
}

// "and" or "or", joining two words alike.
inline bool IsAndOr(const TWordSlot& s) { return Is(s, "and") || Is(s, "or"); }

// A verb that may take a bare verb right after it (help pay, let go,
// please find, dare approach, go get).
inline bool TakesBareVerb(const TWordSlot& s) {
  static const char* const kVerbs[] = {"help", "helps", "helped", "let", "lets", "please", "dare", "dared",
                                       "make", "makes", "made",   "go",  "come", "bid",    "need", "needs"};
  for (const char* v : kVerbs)
    if (Is(s, v)) return true;
  return false;
}

inline bool AnyReading(const TWordSlot& s, bool (*test)(const TCategoryRecord&)) {
  for (int r = 0; r <= s.readingCount && r < kSlotReadings; ++r)
    if (test(s.readings[r])) return true;
  return false;
}

// The index of the first reading of a class (and, when not 0, of a
// subclass); -1 when the word has none.
inline int ReadingOf(const TWordSlot& s, int majorClass, int subclass = 0) {
  for (int r = 0; r <= s.readingCount && r < kSlotReadings; ++r)
    if (s.readings[r].MajorClass == majorClass && (subclass == 0 || s.readings[r].Subclass == subclass)) return r;
  return -1;
}

inline void SingleReading(TWordSlot& s, const TCategoryRecord& r) {
  const TCategoryRecord keep = r;
  for (TCategoryRecord& other : s.readings) other = TCategoryRecord{};
  s.readings[0] = keep;
  s.readingCount = 0;
}

template <typename Setter>
void SetSingle(TWordSlot& s, Setter set) {
  TCategoryRecord r;
  set(r);
  SingleReading(s, r);
}

// The first reading that passes the test becomes the only one; false when
// the word has none.
inline bool KeepFirstReading(TWordSlot& s, bool (*test)(const TCategoryRecord&)) {
  for (int r = 0; r <= s.readingCount && r < kSlotReadings; ++r)
    if (test(s.readings[r])) {
      SingleReading(s, s.readings[r]);
      return true;
    }
  return false;
}

// The first reading of a class (and subclass) becomes the only one; false
// when the word has none.
inline bool KeepReadingOf(TWordSlot& s, int majorClass, int subclass = 0) {
  const int r = ReadingOf(s, majorClass, subclass);
  if (r < 0) return false;
  SingleReading(s, s.readings[r]);
  return true;
}

inline bool HasParticipleReading(const TWordSlot& s) {
  for (int r = 0; r <= s.readingCount && r < kSlotReadings; ++r)
    if (IsVerb(s.readings[r]) && IsParticiple(s.readings[r])) return true;
  return false;
}

inline bool IsFiniteVerb(const TCategoryRecord& r) { return IsVerb(r) && !IsParticiple(r); }

// The base form of a verb: present, neither a participle nor an -s form.
inline bool IsBaseVerb(const TCategoryRecord& r) { return IsVerb(r) && IsPresentTense(r) && !IsParticiple(r); }
inline bool HasBaseVerb(const TWordSlot& s) { return AnyReading(s, IsBaseVerb); }

// An article or a possessive: what follows is a noun or describes one.
inline bool IsArticleOrPossessive(const TWordSlot& s) {
  return IsPossessivePronoun(s.Category()) || Is(s, "the") || Is(s, "a") || Is(s, "an");
}

inline bool IsFormOfBeOrHave(const TWordSlot& s) {
  static const char* const kForms[] = {"be",   "is",  "are", "was",    "were", "been", "being", "am",
                                       "have", "has", "had", "having", "s",    "re",   "m",     "ve"};
  for (const char* f : kForms)
    if (Is(s, f)) return true;
  return false;
}

// A modal or do: the verb after it is bare (may rain, will report, did go).
inline bool IsModal(const TWordSlot& s) {
  return IsVerb(s.Category()) && IsAuxiliary(s.Category()) && !IsFormOfBeOrHave(s);
}

// A pronoun that is never an object.
inline bool IsSubjectOnly(const TWordSlot& s) {
  return Is(s, "i") || Is(s, "he") || Is(s, "she") || Is(s, "we") || Is(s, "they");
}

// Whether the punctuation before a word cuts its clause from the words
// before it (a comma, a colon, a bracket, a quote, a dash); the apostrophe
// of a contraction and the hyphen of a compound do not.
inline bool PauseBefore(const TWordSlot& s) {
  if (std::strcmp(s.tag, " ") == 0 || std::strcmp(s.tag, "'") == 0 || std::strcmp(s.tag, "-") == 0) return false;
  for (const char* c = s.tag; *c; ++c)
    if (std::strchr(",;:()[]{}\"!?.", *c) || (c[0] == '-' && c[1] == '-')) return true;
  return false;
}

}  // namespace quilor
