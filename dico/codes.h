// The category codes that the English lexicon stores, built from named
// parts. The bit layout is the one the category decoder reads; the choices
// that the decoder leaves open (plain noun, abbreviation, longer expression)
// are written down in dico/README.md.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/category.h"

namespace quilor::dico {

// Record numbering (the one of the labels) of connectors and modalities.
enum class ConnectorKind : uint8_t {
  Condition = 1,
  Cause,
  Goal,
  Addition,
  Disjunction,
  Opposition,
  Comparison,
  Time,
  Place,
  Manner
};
enum class ModalityKind : uint8_t { Time = 1, Place, Manner, Assertion, Doubt, Negation, Intensity };
enum class VerbKind : uint8_t { Factive = 0, Stative = 1, Reflexive = 2, Performative = 3 };
enum class Tense : uint8_t { Present = 0, Past = 1, Future = 2, Other = 3 };
enum class Mood : uint8_t { Indicative, Conditional, Subjunctive, Other, Participle, Infinitive };
enum class AdjectiveKind : uint8_t { Objective = 1, Subjective = 2, Numeral = 3 };
enum class PronounKind : uint8_t { Relative = 1, Possessive = 2, Personal = 3, Deixis = 4, Others = 5 };

constexpr TCategoryCode kAmbiguityBit = kCodeBitAnotherReading;
constexpr TCategoryCode kFundamentalBit = kCodeBitFundamental;
constexpr TCategoryCode kFlagABit = 0x2000;   // pronouns and determinants
constexpr TCategoryCode kGerundBit = 0x1000;  // prepositions: a following -ing form is a gerund
constexpr TCategoryCode kAuxiliaryBit = 0x0080;

// Substantives: class bits 0; bit 0 marks the entry so that the code is never 0.
constexpr TCategoryCode kNounCode = 0x0001;
constexpr TCategoryCode kProperNameCode = 0x0020;    // decodes to feature bit 1: never singularised
constexpr TCategoryCode kAbbreviationCode = 0x0040;  // feature bits 0 and 1: a dot after it ends no sentence
// A noun read after an adjective reading that names alone often enough: after
// an article, with nothing to describe after it, it is the noun (the public).
constexpr TCategoryCode kNamesAloneBit = 0x0002;
// A noun whose word is seldom a verb, though it has a verb reading: the
// resolver reads the verb only where the clause asks for one (people,
// school; but to people the land).
constexpr TCategoryCode kSeldomVerbBit = 0x0004;
// The noun of an -ing form counted at least kGerundNounShare times as often
// as its verb: after a preposition, with nothing after it that the verb
// could take, it is the noun (of meaning and feeling; but of reading,
// training, planning).
constexpr TCategoryCode kGerundNamesBit = 0x0008;

constexpr uint8_t MajorClassOfCode(TCategoryCode code) { return (code >> 8) & 0x0F; }

constexpr TCategoryCode VerbCode(VerbKind kind, Tense tense, Mood mood, bool auxiliary = false) {
  unsigned moodBits = 0;
  switch (mood) {
    case Mood::Indicative: moodBits = 0x00; break;
    case Mood::Conditional: moodBits = 0x10; break;
    case Mood::Subjunctive: moodBits = 0x20; break;
    case Mood::Other: moodBits = 0x30; break;
    case Mood::Participle: moodBits = 0x40; break;
    case Mood::Infinitive: moodBits = 0x70; break;
  }
  return static_cast<TCategoryCode>(0x0100 | static_cast<unsigned>(kind) | (static_cast<unsigned>(tense) << 2) |
                                    moodBits | (auxiliary ? kAuxiliaryBit : 0));
}

// Connector codes number some kinds differently from the record.
constexpr TCategoryCode ConnectorCode(ConnectorKind kind) {
  constexpr uint8_t kCodeOfKind[11] = {0, 1, 4, 2, 3, 6, 5, 7, 8, 9, 10};
  return static_cast<TCategoryCode>(0x0200 | kFundamentalBit | kCodeOfKind[static_cast<int>(kind)]);
}
constexpr TCategoryCode ModalityCode(ModalityKind kind) {
  return static_cast<TCategoryCode>(0x0300 | static_cast<unsigned>(kind));
}
constexpr TCategoryCode AdjectiveCode(AdjectiveKind kind) {
  return static_cast<TCategoryCode>(0x0400 | static_cast<unsigned>(kind));
}
// person: 1 "I", 2 "Thou", 3 "He", 4 "We", 5 "You", 6 "They", 7 "Somebody", 0 none.
constexpr TCategoryCode PronounCode(PronounKind kind, int person, bool flagA = false) {
  return static_cast<TCategoryCode>(0x0500 | static_cast<unsigned>(kind) | ((person & 0x0F) << 4) |
                                    (flagA ? kFlagABit : 0));
}
// Prepositions (record class 6) and articles/determiners (record class 7).
constexpr TCategoryCode PrepositionCode(bool gerund) {
  return static_cast<TCategoryCode>(0x0600 | kFundamentalBit | (gerund ? kGerundBit : 0));
}
constexpr TCategoryCode DeterminerCode(bool flagA = false) {
  return static_cast<TCategoryCode>(0x0601 | kFundamentalBit | (flagA ? kFlagABit : 0));
}

// The "a longer expression may start with this word" mark: bit 12, except on
// prepositions, whose bit 12 is the gerund flag and which take bit 7 (their
// low byte is otherwise unused).
constexpr TCategoryCode LongerExpressionBit(TCategoryCode code) {
  return MajorClassOfCode(code) == 6 && (code & 0xFF) != 1 ? 0x0080 : 0x1000;
}
constexpr bool HasLongerExpressionMark(TCategoryCode code) { return (code & LongerExpressionBit(code)) != 0; }

}  // namespace quilor::dico
