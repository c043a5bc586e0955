// The lexicon in text form as the matrix builder reads it (englex.txt): one
// word a line, a tab, its category codes in hexadecimal separated by blanks,
// then anything after a second tab. Kept apart from the builder so that it
// can be fuzzed.
#pragma once

#include <cstdlib>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/category.h"

namespace quilor::dico {

struct LexiconReading {
  int cls;
  int sub;  // pronoun subclass (0 otherwise)
};

using LexiconList = std::unordered_map<std::string, std::vector<LexiconReading>>;

// Adds the words of text to lexicon: the first line of a word wins; a line
// without a tab, with an empty word or without a valid code is left out.
inline void ParseLexiconList(std::string_view text, LexiconList& lexicon) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    const size_t tab = line.find('\t');
    if (tab == std::string_view::npos || tab == 0) continue;
    const size_t tab2 = line.find('\t', tab + 1);
    const std::string_view codes =
        line.substr(tab + 1, tab2 == std::string_view::npos ? std::string_view::npos : tab2 - tab - 1);
    std::vector<LexiconReading> readings;
    size_t at = 0;
    while (at < codes.size()) {
      while (at < codes.size() && (codes[at] == ' ' || codes[at] == '\t' || codes[at] == '\r')) ++at;
      size_t stop = at;
      while (stop < codes.size() && codes[stop] != ' ' && codes[stop] != '\t' && codes[stop] != '\r') ++stop;
      if (stop == at) break;
      const std::string hex(codes.substr(at, stop - at));
      at = stop;
      char* after = nullptr;
      const unsigned long v = std::strtoul(hex.c_str(), &after, 16);
      if (!after || *after || v > 0xFFFF) break;
      TCategoryRecord r;
      DecodeCategory(static_cast<TCategoryCode>(v), r);
      readings.push_back({NormaliseMajorClass(r), IsPronoun(r) ? r.Subclass : 0});
    }
    if (!readings.empty()) lexicon.emplace(std::string(line.substr(0, tab)), std::move(readings));
  }
}

}  // namespace quilor::dico
