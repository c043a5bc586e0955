// Display category codes 1..77 and their counters.
//
// While a text loads, every word's category record is counted under its
// display codes; after loading, ComputePercentages makes the family totals
// and the percentages. Codes 44, 67, 68 and 69 are overwritten later by the
// semantic pass. Labels come from the string table (message code + 89).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/category.h"

namespace quilor {

constexpr int kDisplayCodeCount = 77;
constexpr int kCategoryLabelBase = 89;  // message of code k: k + 89

// Display codes named by the program.
enum DisplayCategoryCode : int {
  kCodeAuxiliary = 3,
  kCodeFactive = 4,
  kCodePerformative = 7,
  kCodeIndicative = 10,
  kCodeOtherModes = 15,
  kCodePresent = 16,
  kCodeOtherTenses = 19,
  kCodeConnector = 20,
  kCodeConnectorFirst = 21,
  kCodeConnectorLast = 30,
  kCodeModality = 32,
  kCodeModalityFirst = 33,
  kCodeModalityLast = 39,
  kCodeFundamental = 40,
  kCodeVerb = 43,
  kCodeReferent = 44,
  kCodeConnectorCopy = 45,
  kCodeModalityCopy = 46,
  kCodeWord = 48,
  kCodeProposition = 49,
  kCodeAdjective = 51,
  kCodePronoun = 52,
  kCodePreposition = 53,
  kCodeSubstantive = 54,
  kCodeRelativePronoun = 56,
  kCodePersonalPronoun = 58,
  kCodeDeixis = 59,
  kCodeOtherPronoun = 60,
  kCodeDeterminant = 61,
  kCodeObjective = 62,
  kCodeOtherAdjective = 65,
  kCodeReferentNucleus = 67,
  kCodeReferentPrincipal = 68,
  kCodeReferentSecondary = 69,
  kCodePersonFirst = 70,
  kCodePersonLast = 76,
  kCodeGerund = 77,
};

// What an analysis counts of its text, cleared whole before each analysis.
struct TRunCounts {
  // Indexed by display code 0..77 (0 is never counted).
  uint32_t categories[kDisplayCodeCount + 1] = {};
  double percentages[kDisplayCodeCount + 1] = {};
  // Every word that is not a proposition mark; every word plus one per '_'
  // inside it; every '/' mark.
  uint32_t words = 0;
  uint32_t wordParts = 0;
  uint32_t propositions = 0;
  // Propositions the Borders took out of the text.
  uint32_t filteredPropositions = 0;

  bool operator==(const TRunCounts&) const = default;
};
extern TRunCounts RunCounts;

// Clears the cancel flag of the run, the three text counters, the counters
// and the percentages (before each analysis).
void ClearCategoryCounters();
// Counts one word handed over by the segment resolver: its text ("/" is a
// proposition mark) and its category record with the class mark of its
// category data (0 none, 1 classified, 2 marked otherwise).
void CountCategory(std::string_view text, const TCategoryRecord& category, uint8_t classMark);
void CountCategory(std::string_view text, const TWordCategoryData& data);
// Counts one inserted proposition mark.
void CountProposition();
// Family totals and percentages; False (nothing computed) when no word was counted.
bool ComputePercentages();

// The display code of a record (0 when none); a class 0 is read as 8.
int DisplayCode(const TCategoryRecord& category);
inline int DisplayCode(const TWordCategoryData& data) { return DisplayCode(data.Category); }
// 70..76 for a personal pronoun or deixis of person 1..7, else 0.
int PersonCode(const TCategoryRecord& category);
inline int PersonCode(const TWordCategoryData& data) { return PersonCode(data.Category); }
// The record a display code stands for (for searches and colouring); the
// record is cleared first and stays cleared for codes without a category.
void CategoryCodeToRecord(int code, TCategoryRecord& category);
// The same into word data, whose 28 bytes are cleared first.
void CategoryCodeToRecord(int code, TWordCategoryData& data);
// The label of a code: a member of a family (verb features 3-19, connectors
// 21-30, modalities 33-39, pronouns 56-60, adjectives 62-65, persons 70-76)
// after its family's label, every other code by its own label alone; ""
// outside 1..77.
std::string CategoryLabel(int code);
// The kind codes of the style diagnosis and burst labels.
int ItemKindCode(int kind);
// The base of percentages of the calculation base of the work context:
// 2 -> propositions of the segmenter, any other -> the words of the text.
uint32_t CalculationBase(uint32_t segmenterPropositions, uint32_t textWords);

}  // namespace quilor
