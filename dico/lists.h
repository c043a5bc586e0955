// Readers of the word lists in dico/lists/: closed classes, irregular verbs,
// verb and adjective kinds, and the frequency list. Each refuses a bad line
// with a message naming the list and the line.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "dico/codes.h"

namespace quilor::dico {

struct ClosedReading {
  std::string word;
  TCategoryCode code = 0;
};

// Brown-tag groups of the frequency list, in column order; after them, of
// the noun tokens, those tagged as proper names (np...), which the word
// written in lower case does not stand for.
enum FrequencyGroup {
  kFreqNoun,
  kFreqVerb,
  kFreqAdjective,
  kFreqPronoun,
  kFreqDeterminant,
  kFreqConjunction,
  kFreqAdverb,
  kFreqGroupCount,
  kFreqProperNames = kFreqGroupCount,
  kFreqColumns
};
using FrequencyCounts = std::array<int, kFreqColumns>;

struct IrregularVerb {
  std::string base;
  std::vector<std::string> past, participle;
};

struct WordLists {
  std::vector<ClosedReading> closed;  // in list order
  std::vector<IrregularVerb> irregularVerbs;
  std::map<std::string, VerbKind> verbKinds;
  std::map<std::string, AdjectiveKind> adjectiveKinds;
  std::map<std::string, AdjectiveKind> attributeKinds;  // by WordNet attribute noun
  std::map<std::string, FrequencyCounts> frequencies;
  std::vector<std::string> givenNames;
  std::set<std::string> excludedExpressions;  // WordNet expressions the lexicon leaves out
  std::array<int8_t, 77> styleNorms{};
  std::array<bool, 77> styleNormGiven{};
};

// One line of each list; blank lines and comments give true and nothing.
bool ParseClosedLine(std::string_view line, std::vector<ClosedReading>& out, std::string& error);
bool ParseIrregularLine(std::string_view line, std::vector<IrregularVerb>& out, std::string& error);
bool ParseVerbKindLine(std::string_view line, std::map<std::string, VerbKind>& out, std::string& error);
bool ParseAdjectiveKindLine(std::string_view line, WordLists& lists, std::string& error);
bool ParseFrequencyLine(std::string_view line, std::map<std::string, FrequencyCounts>& out, std::string& error);

// Whole lists from text; `name` only serves the messages.
bool ParseClosedList(std::string_view text, const std::string& name, WordLists& lists, std::string& error);
bool ParseIrregularList(std::string_view text, const std::string& name, WordLists& lists, std::string& error);
bool ParseVerbKindList(std::string_view text, const std::string& name, WordLists& lists, std::string& error);
bool ParseAdjectiveKindList(std::string_view text, const std::string& name, WordLists& lists, std::string& error);
bool ParseFrequencyList(std::string_view text, const std::string& name, WordLists& lists, std::string& error);
// Style norms: CODE (1..77) VALUE (-128..127), each code once.
bool ParseStyleNormList(std::string_view text, const std::string& name, WordLists& lists, std::string& error);
// Names, several a line.
bool ParseNameList(std::string_view text, const std::string& name, WordLists& lists, std::string& error);
// Expressions left out of the lexicon: one a line, words joined with '_'.
bool ParseExpressionExclusionList(std::string_view text, const std::string& name, WordLists& lists, std::string& error);

// Reads closed.txt, irregular_verbs.txt, verb_kinds.txt, adjective_kinds.txt, names.txt,
// excluded_expressions.txt and style_norms.txt (which must give all 77 norms)
// from a folder, and the frequency list when `frequencyFile` is not empty.
bool LoadWordLists(const std::string& folder, const std::string& frequencyFile, WordLists& lists, std::string& error);

}  // namespace quilor::dico
