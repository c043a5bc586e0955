// A run's memory of the dictionary's answers: natural text repeats its words,
// so each distinct word is looked up once (its readings, the expressions it
// may start, the lexical entry of its verb or adjective reading). The cache
// forgets everything when the main dictionary changes, and stops growing at
// a fixed number of entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "core/category.h"

namespace quilor {

constexpr int kCachedReadings = 6;

class TWordLookupCache {
 public:
  static constexpr size_t kMaxEntries = 262144;

  struct Entry {
    TCategoryRecord readings[kCachedReadings] = {};
    TCategoryCode firstCode = 0;
    uint8_t count = 0;        // readings found (0: unknown word)
    bool longer = false;      // an expression key may go on from here
    uint32_t lexicalEntry = 0;
  };

  // The readings of a word (at most six, while each says another follows),
  // the code of the first; the count (0 when unknown).
  int WordReadings(const char* word, TCategoryRecord (&out)[kCachedReadings], TCategoryCode* firstCode);
  // Whether the dictionary knows an expression candidate ("in_order"), and
  // whether a longer key may start with it.
  bool ExpressionKnown(const char* candidate, bool& longerMayFollow);
  // The lexical entry of a word's verb or adjective reading (0 none),
  // computed once by the given function.
  uint32_t LexicalEntry(const char* word, const TCategoryRecord& reading, uint32_t (*compute)(const char*, const TCategoryRecord&));
  void Clear();
  size_t Size() const { return map_.size(); }

 private:
  const Entry* Find(const std::string& key);
  void Store(const std::string& key, const Entry& e);
  void CheckDictionary();

  std::unordered_map<std::string, Entry> map_;
  const void* dictionary_ = nullptr;
  std::string key_;
};

}  // namespace quilor
