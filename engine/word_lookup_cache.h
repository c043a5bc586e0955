// A run's memory of the dictionary's answers: natural text repeats its words,
// so each distinct word is looked up once (its readings, the expressions it
// may start, the lexical entry of its verb or adjective reading). The cache
// forgets everything when the main dictionary changes, and stops growing at
// a fixed number of entries. Entries live in one open-addressed table
// allocated with the first lookup; keys longer than 31 bytes are not kept.
// A cache asks the dictionary with an answer of its own and only reads the
// dictionary (and the ontology engine's): caches on several threads look
// words up at once, without a lock.
#pragma once

#include <cstddef>
#include <cstdint>

#include <cstring>
#include <memory>

#include "core/category.h"
#include "core/lexicon.h"

namespace quilor {

constexpr int kCachedReadings = 6;

class TWordLookupCache {
 public:
  static constexpr size_t kFirstSlots = size_t{1} << 12;
  static constexpr size_t kSlots = size_t{1} << 17;  // the table grows up to this
  static constexpr size_t kMaxEntries = kSlots / 4 * 3;

  struct Entry {
    TCategoryRecord readings[kCachedReadings] = {};  // empty past the count
    TCategoryCode firstCode = 0;
    uint8_t count = 0;    // readings found (0: unknown word)
    bool longer = false;  // an expression key may go on from here
    uint32_t lexicalEntry = 0;
  };

  // The readings of a word (at most six, while each says another follows),
  // the code of the first; the count (0 when unknown).
  TWordLookupCache() = default;
  TWordLookupCache(const TWordLookupCache&) = delete;
  TWordLookupCache& operator=(const TWordLookupCache&) = delete;

  int WordReadings(const char* word, TCategoryRecord (&out)[kCachedReadings], TCategoryCode* firstCode);
  // Asks the memory for the place of a word's readings ahead of
  // WordReadings: the words of a segment are then fetched together.
  void Prefetch(const char* word) const;
  // Whether the dictionary knows an expression candidate ("in_order"), and
  // whether a longer key may start with it.
  bool ExpressionKnown(const char* candidate, bool& longerMayFollow);
  // The lexical entry of a word's verb or adjective reading (0 none),
  // computed once by the given function.
  uint32_t LexicalEntry(const char* word, const TCategoryRecord& reading,
                        uint32_t (*compute)(const char*, const TCategoryRecord&));
  void Clear();
  size_t Size() const { return used_; }

 private:
  static constexpr size_t kKeySize = 31;
  struct Slot {
    uint32_t hash;
    uint8_t keyLength;  // 0: free
    char key[kKeySize];
    Entry entry;
  };
  // The slot of the key (kind, text, extra bytes): its own, or the free one
  // where it would go; nullptr when the key cannot be kept.
  Slot* Locate(char kind, const char* text, const void* extra, size_t extraSize);
  // The hash of a key held in a buffer of kKeySize + 1 bytes whose bytes
  // past the key are zero: it is read eight bytes at a time.
  static uint32_t HashOf(const char* key, size_t length) {
    uint64_t h = 0x9E3779B97F4A7C15ull ^ length;
    for (size_t i = 0; i < length; i += 8) {
      uint64_t v;
      std::memcpy(&v, key + i, sizeof v);
      h = (h ^ v) * 0xFF51AFD7ED558CCDull;
      h ^= h >> 32;
    }
    return static_cast<uint32_t>(h);
  }
  static_assert((kKeySize + 1) % 8 == 0, "a key buffer holds whole eight-byte words");
  // Whether a kept key (zero past its length, as every key is kept) is the
  // key in the buffer: four reads of eight bytes, the last two overlapping.
  static bool SameKey(const char* kept, const char* key) {
    uint64_t a[4], b[4];
    std::memcpy(a, kept, 24);
    std::memcpy(&a[3], kept + kKeySize - 8, 8);
    std::memcpy(b, key, 24);
    std::memcpy(&b[3], key + kKeySize - 8, 8);
    return ((a[0] ^ b[0]) | (a[1] ^ b[1]) | (a[2] ^ b[2]) | (a[3] ^ b[3])) == 0;
  }
  void CheckDictionary();

  // Expression candidates: a direct-mapped table, a new candidate replaces
  // the one in its place.
  static constexpr size_t kPairSlots = size_t{1} << 16;
  struct PairSlot {
    uint8_t keyLength;  // 0: free
    uint8_t known;
    uint8_t longer;
    char key[kKeySize + 2];
  };

  // The lexicon's expression filter is asked for after this many candidates
  // (a short text never pays for the walk of the whole lexicon).
  static constexpr uint32_t kCandidatesBeforeFilter = 4096;
  uint32_t candidatesWithoutFilter_ = 0;

  bool Grow();

  std::unique_ptr<Slot[]> slots_;
  size_t slotCount_ = 0;
  std::unique_ptr<PairSlot[]> pairs_;
  size_t used_ = 0;
  const void* dictionary_ = nullptr;
  char key_[kKeySize + 1] = {};
  TLexiconAnswer answer_;
  size_t keyLength_ = 0;
};

}  // namespace quilor
