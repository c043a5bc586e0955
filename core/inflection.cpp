#include "core/inflection.h"

#include <cstring>

namespace quilor {

thread_local TCategoryRecord GuessedVerbCategory;

bool IsPluralForm(const char* word, int length) {
  return length >= 2 && word[length - 2] != '_' && word[length - 1] == 's' && word[length - 2] != 's';
}

bool IsPlural(const char* word) { return IsPluralForm(word, static_cast<int>(std::strlen(word))); }

bool Singular(char* word, char* alternative) {
  alternative[0] = 0;
  const int n = static_cast<int>(std::strlen(word));
  if (n < 4 || word[n - 2] == '_' || word[n - 1] != 's') return false;
  word[n - 1] = 0;
  if (n >= 5 && word[n - 2] == 'e') {
    // word now has n - 1 characters and ends in 'e' at n - 2.
    const char before = word[n - 3];
    switch (before) {
      case 'h':
      case 'o':
      case 'x':
      case 'z':  // boxes: box, boxe
        std::memcpy(alternative, word, n);
        word[n - 2] = 0;
        break;
      case 'i':  // flies: fly, flie
        std::memcpy(alternative, word, n);
        word[n - 3] = 'y';
        word[n - 2] = 0;
        break;
      case 's':  // buses: buse, bus
        std::memcpy(alternative, word, n - 2);
        alternative[n - 2] = 0;
        break;
      default: break;
    }
  }
  return true;
}

bool Plural(char* word) {
  const int n = static_cast<int>(::strnlen(word, kWordBufferSize));
  if (n < 2 || n >= kWordBufferSize || word[n - 2] == '_') return false;
  const char c = word[n - 1];
  const char p = word[n - 2];
  auto append = [&](const char* suffix, int from) {
    const int m = static_cast<int>(std::strlen(suffix));
    if (from + m + 1 > kWordBufferSize) return false;
    std::memcpy(word + from, suffix, m + 1);
    return true;
  };
  auto appendLong = [&](const char* suffix, int from) { return n < 76 && append(suffix, from); };
  switch (c) {
    case '_': return false;
    case 'h': return (p == 's' || p == 'c') ? appendLong("es", n) : append("s", n);
    case 'o':
    case 'q':
    case 's':
    case 'x':
    case 'z': return appendLong("es", n);
    case 'y':
      if (std::strchr("aeiou", p) && p) return append("s", n);
      return appendLong("ies", n - 1);
    default: return append("s", n);
  }
}

bool MakePlural(char* word) { return Plural(word); }

bool VerbFormCandidates(char* word, char* candidate2, char* candidate3) {
  candidate2[0] = 0;
  candidate3[0] = 0;
  GuessedVerbCategory = TCategoryRecord{};
  const int n = static_cast<int>(std::strlen(word));
  if (n < 4) return false;
  auto guess = [](uint8_t tense, uint8_t mood) {
    GuessedVerbCategory.SubField2 = tense;
    GuessedVerbCategory.SubField3 = mood;
  };
  switch (word[n - 1]) {
    case 'd':
      if (word[n - 2] != 'e') break;
      std::memcpy(candidate2, word, n - 2);  // tried: tri
      candidate2[n - 2] = 0;
      word[n - 1] = 0;  // trie
      guess(kTensePast, kMoodParticiple);
      if (word[n - 3] == 'i') {
        std::memcpy(candidate3, candidate2, n - 1);  // try
        candidate3[n - 3] = 'y';
      }
      break;
    case 'g':
      if (n < 5 || word[n - 2] != 'n' || word[n - 3] != 'i') break;
      std::memcpy(candidate2, word, n - 3);  // walking: walke
      candidate2[n - 3] = 'e';
      candidate2[n - 2] = 0;
      word[n - 3] = 0;  // walk
      guess(kTensePresent, kMoodParticiple);
      break;
    case 'n':
      std::memcpy(candidate2, word, n + 1);  // taken
      word[n - 1] = 0;                       // take
      guess(kTensePresent, kMoodIndicative);
      break;
    case 's':
      word[n - 1] = 0;  // tries: trie
      guess(kTensePresent, kMoodIndicative);
      if (word[n - 2] == 'e') {
        std::memcpy(candidate2, word, n - 2);  // tri
        candidate2[n - 2] = 0;
        if (word[n - 3] == 'i') {
          std::memcpy(candidate3, word, n - 3);  // try
          candidate3[n - 3] = 'y';
          candidate3[n - 2] = 0;
        }
      }
      break;
    default: break;
  }
  return true;
}

}  // namespace quilor
