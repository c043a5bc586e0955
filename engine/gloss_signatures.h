// The gloss signature file (.gv8): for every reading of an ambiguous noun
// (the text-index entry of its base form and its class of level 1), the
// words its dictionary definitions name: the definition's own words, its
// synonyms, the words and definitions of its hypernyms, its hyponyms, its
// domains, its parts and wholes. Each word carries a weight that grows with
// how few readings name it. A word of the noun's sentence that a reading's
// signature holds is evidence for that reading.
//
// Layout (little-endian): the magic "QGLOSS1\n"; five counts (words, forms,
// readings, items, pool bytes); the forms (pool offset, length, word);
// the readings sorted by (entry, class) (entry, class, first item); the
// items, each a word number (24 bits) and a weight in quarters (8 bits),
// sorted by word within a reading; the pool of the forms' letters.
// Reading checks every count, offset, word number and order against the
// file before anything uses it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quilor {

// An item's weight is stored in these parts of one.
constexpr double kGlossWeightUnits = 4;

// What the builder hands to the writer and the reader keeps.
struct GlossSignatureImage {
  struct Form {
    std::string text;  // lower case: a word or one of its irregular forms
    uint32_t word = 0;
  };
  struct Reading {
    uint32_t entry = 0;           // text-index entry of the base form
    uint16_t cls = 0;             // class of level 1
    std::vector<uint32_t> items;  // word << 8 | weight in quarters, sorted by word
  };
  uint32_t wordCount = 0;
  std::vector<Form> forms;
  std::vector<Reading> readings;  // sorted by (entry, cls), no two alike
};

std::string WriteGlossSignatures(const GlossSignatureImage& image);

class GlossSignatures {
 public:
  // False with the reason when the bytes are not a whole, consistent file.
  bool Load(std::string_view bytes, std::string& error);
  bool LoadFile(const std::string& path, std::string& error);
  bool Empty() const { return keys_.empty(); }

  // The word of a lower-case form, or of the base form its regular
  // inflection (-s, -es, -ies, -ed, -ing) leads to; 0 when none.
  uint32_t WordOf(std::string_view lower) const;
  // The items of a reading (word << 8 | weight in quarters), sorted by word.
  std::span<const uint32_t> Signature(uint32_t entry, uint16_t cls) const;
  // Sum of the weights of the words (sorted, distinct) a reading names,
  // word `except` left out.
  double Overlap(uint32_t entry, uint16_t cls, std::span<const uint32_t> words, uint32_t except = 0) const;

 private:
  uint32_t Exact(std::string_view lower) const;
  std::string pool_;
  std::unordered_map<std::string_view, uint32_t> forms_;
  std::vector<uint64_t> keys_;                         // entry << 16 | class, ascending
  std::unordered_map<uint32_t, uint32_t> entryFirst_;  // entry -> the index of its first key
  std::vector<uint32_t> firsts_;                       // one more than the keys
  std::vector<uint32_t> items_;
};

}  // namespace quilor
