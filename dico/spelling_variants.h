// British and American spellings of the same word, paired from two word
// lists (Debian's wbritish and wamerican) by the regular differences of the
// two spellings: colour/color, centre/center, organisation/organization,
// analyse/analyze, defence/defense, catalogue/catalog, anaemia/anemia,
// travelled/traveled, programme/program, judgement/judgment.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quilor::dico {

// The words of a word list, one a line: those made of lower-case ASCII
// letters only (names, possessives and accented words are left out).
std::vector<std::string> ParseSpellingList(std::string_view text);

// The American spellings a British one may have by the regular differences
// (each difference applied wherever it occurs, and their combinations).
std::vector<std::string> AmericanCandidates(std::string_view british);

// (British, American) pairs: a word found in the British list only whose
// American candidate is found in the American list only; sorted by the
// British word, at most one pair per British word.
std::vector<std::pair<std::string, std::string>> PairSpellings(const std::vector<std::string>& british,
                                                               const std::vector<std::string>& american);

}  // namespace quilor::dico
