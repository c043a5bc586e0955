// A fixed table of short words and a value for each, looked up by hash: the
// readers try a name at almost every character of markup.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quilor {

template <class Value, size_t Slots>
class WordTable {
  static_assert((Slots & (Slots - 1)) == 0, "a power of two");

 public:
  struct Row {
    std::string_view word;
    Value value;
  };

  template <size_t N>
  constexpr explicit WordTable(const Row (&rows)[N]) {
    static_assert(N < Slots / 2, "room for every row");
    for (const Row& row : rows) {
      size_t slot = Hash(row.word) & (Slots - 1);
      while (!slots_[slot].word.empty()) slot = (slot + 1) & (Slots - 1);
      slots_[slot] = row;
    }
  }

  // The value of word, or missing.
  constexpr Value Find(std::string_view word, Value missing) const {
    if (word.empty()) return missing;
    for (size_t slot = Hash(word) & (Slots - 1);; slot = (slot + 1) & (Slots - 1)) {
      if (slots_[slot].word.empty()) return missing;
      if (slots_[slot].word == word) return slots_[slot].value;
    }
  }

 private:
  static constexpr uint32_t Hash(std::string_view word) {
    uint32_t h = 2166136261u;
    for (char c : word) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h ^ (h >> 15);
  }

  std::array<Row, Slots> slots_{};
};

}  // namespace quilor
