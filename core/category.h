// Lexical category codes (16 bits, as stored in the dictionaries) and the
// 6-byte category record they decode into, with the tests, setters and
// labels that the rest of the program applies to a word's category.
//
// Code layout:
//   bit 15      another reading of the same word exists (next depth)
//   bit 14      Fundamental
//   bit 13      flag A (Pronoun, Determinant)
//   bit 12      flag B (Determinant)
//   bits 8-11   major class code
//   Verb:        bits 0-1 kind, 2-3 tense, 4-5 mood pair, 6 participle, 7 Auxiliary
//   Pronoun:     bits 0-3 subclass, 4-7 person
//   Substantive: feature bits 4, 5, 6
//   others:      low byte = subclass number
#pragma once

#include <cstdint>

#include "core/tuning.h"

namespace quilor {

using TCategoryCode = uint16_t;

// Major classes of a category record.
enum MajorClassCode : uint8_t {
  kClassUnset = 0,
  kClassVerb = 1,
  kClassConnector = 2,
  kClassModality = 3,
  kClassAdjective = 4,
  kClassPronoun = 5,
  kClassDeterminant = 6,
  kClassDeterminant2 = 7,
  kClassSubstantive = 8,
  kClassUnknown = 9,
};

// Bits of TCategoryRecord::Flags.
enum CategoryFlagBits : uint8_t {
  kFlagFundamental = 1 << 0,
  kFlagAuxiliary = 1 << 1,
  kFlagAmbiguous = 1 << 2,
  kFlagGerund = 1 << 3,
};

// Bits of the 16-bit code.
constexpr TCategoryCode kCodeBitAnotherReading = 0x8000;
constexpr TCategoryCode kCodeBitFundamental = 0x4000;

// Verb moods and tenses of the record.
enum VerbMood : uint8_t {
  kMoodIndicative = 1,
  kMoodConditional = 2,
  kMoodSubjunctive = 3,
  kMoodParticiple = 4,
  kMoodInfinitive = 5,
  kMoodOther = 6
};
enum VerbTense : uint8_t { kTensePresent = 1, kTensePast = 2, kTenseFuture = 3, kTenseOther = 4 };

// Spare of a Substantive reading, bits of the lexicon's marks, read by the
// resolver only (the words of a text never carry them): a noun that names
// alone after an article though an adjective reading comes first (the
// public); a word seldom a verb, whose verb reading is taken only where its
// clause asks for a verb (people, school, part).
constexpr uint8_t kSpareNamesAlone = 1;
constexpr uint8_t kSpareSeldomVerb = 2;
// The noun of an -ing form that names after a preposition when nothing its
// verb could take follows (of meaning and feeling).
constexpr uint8_t kSpareGerundNames = 4;

struct TCategoryRecord {
  uint8_t MajorClass = 0;
  uint8_t Subclass = 0;
  uint8_t SubField2 = 0;
  uint8_t SubField3 = 0;
  uint8_t Flags = 0;
  uint8_t Spare = 0;
};
static_assert(sizeof(TCategoryRecord) == 6);

// Category data of one word of the analysed text (28 bytes).
struct TWordCategoryData {
  uint32_t ClassIds[4] = {0, 0, 0, 0};  // levels 1 References .. 4 Scenario
  TCategoryRecord Category;             // the word's reading
  uint8_t ReadingExtra[2] = {0, 0};     // two further bytes of the slot's reading
  uint8_t ClassMark = 0;                // byte 24: 0 none, 1 classified, 2 marked otherwise
  uint8_t Capitalisation = 0;           // byte 25: 0 none, 1 initial capital, 2 all capitals
  uint8_t PassByte = 0;                 // byte 26
  uint8_t SlotFlag = 0;                 // byte 27: position of a single quote to show (0 none)
};
static_assert(sizeof(TWordCategoryData) == 28);

void DecodeCategory(TCategoryCode code, TCategoryRecord& record);
// True when both codes have the same major class code (bits 8-11).
inline bool SameMajorClass(TCategoryCode a, TCategoryCode b) { return ((a ^ b) & 0x0F00) == 0; }

// Class tests.
inline bool IsVerb(const TCategoryRecord& r) { return r.MajorClass == kClassVerb; }
inline bool IsConnector(const TCategoryRecord& r) { return r.MajorClass == kClassConnector; }
inline bool IsModality(const TCategoryRecord& r) { return r.MajorClass == kClassModality; }
inline bool IsAdjective(const TCategoryRecord& r) { return r.MajorClass == kClassAdjective; }
inline bool IsPronoun(const TCategoryRecord& r) { return r.MajorClass == kClassPronoun; }
inline bool IsDeterminant(const TCategoryRecord& r) { return r.MajorClass == kClassDeterminant; }
inline bool IsDeterminantVariant(const TCategoryRecord& r) { return r.MajorClass == kClassDeterminant2; }
inline bool IsSubstantive(const TCategoryRecord& r) {
  return r.MajorClass == kClassUnset || r.MajorClass == kClassSubstantive;
}
inline bool IsClassUnset(const TCategoryRecord& r) { return r.MajorClass == kClassUnset; }
inline bool IsUnknownClass(const TCategoryRecord& r) { return r.MajorClass == kClassUnknown; }
// Flag tests.
inline bool IsFundamental(const TCategoryRecord& r) { return (r.Flags & kFlagFundamental) != 0; }
inline bool IsAuxiliary(const TCategoryRecord& r) { return (r.Flags & kFlagAuxiliary) != 0; }
inline bool IsAmbiguous(const TCategoryRecord& r) { return (r.Flags & kFlagAmbiguous) != 0; }
inline bool IsGerund(const TCategoryRecord& r) { return (r.Flags & kFlagGerund) != 0; }
// Verb tests (the record must be a verb for them to mean anything).
inline bool IsFactive(const TCategoryRecord& r) { return IsVerb(r) && r.Subclass == 1; }
inline bool IsStative(const TCategoryRecord& r) { return IsVerb(r) && r.Subclass == 2; }
inline bool IsReflexive(const TCategoryRecord& r) { return IsVerb(r) && r.Subclass == 3; }
inline bool IsPerformative(const TCategoryRecord& r) { return Tuning.performatives && IsVerb(r) && r.Subclass == 4; }
inline bool HasVerbKind(const TCategoryRecord& r, int kind) { return IsVerb(r) && r.Subclass == kind; }
inline bool HasTense(const TCategoryRecord& r, int tense) { return IsVerb(r) && r.SubField2 == tense; }
inline bool HasMood(const TCategoryRecord& r, int mood) { return IsVerb(r) && r.SubField3 == mood; }
inline bool IsPresentTense(const TCategoryRecord& r) { return HasTense(r, kTensePresent); }
inline bool IsPastTense(const TCategoryRecord& r) { return HasTense(r, kTensePast); }
inline bool IsFutureTense(const TCategoryRecord& r) { return HasTense(r, kTenseFuture); }
inline bool IsIndicative(const TCategoryRecord& r) { return HasMood(r, kMoodIndicative); }
inline bool IsParticiple(const TCategoryRecord& r) { return HasMood(r, kMoodParticiple); }
inline bool IsInfinitive(const TCategoryRecord& r) { return HasMood(r, kMoodInfinitive); }
inline bool IsPastParticiple(const TCategoryRecord& r) { return IsParticiple(r) && r.SubField2 == kTensePast; }
inline bool IsPresentParticiple(const TCategoryRecord& r) { return IsParticiple(r) && r.SubField2 == kTensePresent; }
// Connector (1..10), modality (1..7), adjective (1..3) subclass tests.
inline bool IsConnectorOf(const TCategoryRecord& r, int sub) { return IsConnector(r) && r.Subclass == sub; }
inline bool IsAdditionConnector(const TCategoryRecord& r) { return IsConnectorOf(r, 4); }
inline bool IsComparisonConnector(const TCategoryRecord& r) { return IsConnectorOf(r, 7); }
inline bool IsModalityOf(const TCategoryRecord& r, int sub) { return IsModality(r) && r.Subclass == sub; }
inline bool IsAdjectiveOf(const TCategoryRecord& r, int sub) { return IsAdjective(r) && r.Subclass == sub; }
inline bool IsNumeralAdjective(const TCategoryRecord& r) { return IsAdjectiveOf(r, 3); }
// Pronoun tests.
inline bool IsRelativePronoun(const TCategoryRecord& r) { return IsPronoun(r) && r.Subclass == 1; }
inline bool IsPossessivePronoun(const TCategoryRecord& r) { return IsPronoun(r) && r.Subclass == 2; }
inline bool IsPersonalPronoun(const TCategoryRecord& r) { return IsPronoun(r) && r.Subclass == 3; }
inline bool IsDeixis(const TCategoryRecord& r) { return IsPronoun(r) && r.Subclass == 4; }
inline bool IsOtherPronoun(const TCategoryRecord& r) { return IsPronoun(r) && r.Subclass == 5; }
inline bool HasPerson(const TCategoryRecord& r, int person) { return r.SubField2 == person; }
inline bool IsPersonOrDeixis(const TCategoryRecord& r) {
  return IsDeixis(r) || (IsPersonalPronoun(r) && r.SubField2 >= 1 && r.SubField2 <= 7);
}
// Sub-field tests.
inline bool SubField2IsOne(const TCategoryRecord& r) { return r.SubField2 == 1; }
inline bool SubField3IsOne(const TCategoryRecord& r) { return r.SubField3 == 1; }
inline bool SubField3HasBit0(const TCategoryRecord& r) { return (r.SubField3 & 1) != 0; }
inline bool SubField3HasBit1(const TCategoryRecord& r) { return (r.SubField3 & 2) != 0; }
inline bool SubField3HasBits0And1(const TCategoryRecord& r) { return (r.SubField3 & 3) == 3; }
// Class 0 becomes 8 (Substantive); returns the class.
uint8_t NormaliseMajorClass(TCategoryRecord& r);

// Setters: each clears the whole record first.
void SetSubstantive(TCategoryRecord& r);
void SetSubstantiveFeatures(TCategoryRecord& r);
void SetFactiveVerb(TCategoryRecord& r);
void SetStativeVerb(TCategoryRecord& r);
void SetReflexiveVerb(TCategoryRecord& r);
void SetConnector(TCategoryRecord& r, uint8_t subclass);
void SetModality(TCategoryRecord& r, uint8_t subclass);
void SetFundamentalDeterminant(TCategoryRecord& r);
void SetNumeralAdjective(TCategoryRecord& r);
void SetObjectiveAdjective(TCategoryRecord& r);
// Setters that keep the rest of the record.
inline void SetAmbiguityFlag(TCategoryRecord& r) { r.Flags |= kFlagAmbiguous; }
inline void CopyTenseAndMood(TCategoryRecord& r, const TCategoryRecord& source) {
  r.SubField2 = source.SubField2;
  r.SubField3 = source.SubField3;
}

// Bit operations.
inline void ClearCodeBits(TCategoryCode mask, TCategoryCode& code) { code = static_cast<TCategoryCode>(code & ~mask); }
inline void ClearByteBits(uint8_t mask, uint8_t& b) { b = static_cast<uint8_t>(b & ~mask); }
inline bool FlagBit2(uint8_t b) { return (b & 0x04) != 0; }
inline bool FlagBit3(uint8_t b) { return (b & 0x08) != 0; }
inline bool FlagBit5(uint8_t b) { return (b & 0x20) != 0; }
inline bool FlagBit6(uint8_t b) { return (b & 0x40) != 0; }
inline bool FlagBit7(uint8_t b) { return (b & 0x80) != 0; }
inline bool AnyFlagBit5632(uint8_t b) { return (b & 0x6C) != 0; }

// Word-data operations.
inline void SetClassifiedMark(TWordCategoryData& d) { d.ClassMark = 1; }
inline void ClearClassifiedMark(TWordCategoryData& d) { d.ClassMark &= 0xFE; }
inline bool HasClassMark(const TWordCategoryData& d) { return d.ClassMark == 1 || d.ClassMark == 2; }
inline bool HasClassifiedMark(const TWordCategoryData& d) { return d.ClassMark == 1; }
inline bool HasOtherMark(const TWordCategoryData& d) { return d.ClassMark == 2; }
inline bool IsCapitalised(const TWordCategoryData& d) { return d.Capitalisation != 0; }
inline bool IsAllCapitals(const TWordCategoryData& d) { return d.Capitalisation == 2; }
// Capitalisation byte of a word slot (same coding).
inline bool SlotIsCapitalised(uint8_t capitalisation, const TCategoryRecord&) { return capitalisation != 0; }
inline bool SlotIsAllCapitals(uint8_t capitalisation, const TCategoryRecord&) { return capitalisation == 2; }
// Classes equal; subclasses equal unless the pattern's is 0; SubField2 equal unless the pattern's is 0.
bool CategoryMatchesPattern(const TWordCategoryData& d, const TCategoryRecord& pattern);

// Texts. Both return the shared 257-byte label buffer (valid until the next call).
// " (<class name>)"
const char* CategoryClassLabel(const TCategoryRecord& r);
// "   ( [>ambiguity<] <class> <sub-labels> )"; details add a verb's mood and tense.
const char* DescribeCategory(const TCategoryRecord& r, bool withDetails);
// The word as displayed: capitals as the word data says, the single quote of
// the slot flag, '_' as blanks unless compound words are shown linked.
// Returns the shared 80-byte display buffer.
const char* DisplayForm(const char* word, const TWordCategoryData& d, bool linkCompoundWords = false);
// Display spacing of a punctuation token (buffer of at least 4 bytes).
void SpacePunctuation(char* token);

}  // namespace quilor
