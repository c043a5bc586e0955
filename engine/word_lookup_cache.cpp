#include "engine/word_lookup_cache.h"

#include <cstring>

#include "core/lexicon.h"

namespace quilor {

void TWordLookupCache::Clear() {
  map_.clear();
  dictionary_ = MainDictionary;
}

void TWordLookupCache::CheckDictionary() {
  if (dictionary_ != MainDictionary) Clear();
}

const TWordLookupCache::Entry* TWordLookupCache::Find(const std::string& key) {
  const auto it = map_.find(key);
  return it == map_.end() ? nullptr : &it->second;
}

void TWordLookupCache::Store(const std::string& key, const Entry& e) {
  if (map_.size() < kMaxEntries) map_.emplace(key, e);
}

int TWordLookupCache::WordReadings(const char* word, TCategoryRecord (&out)[kCachedReadings], TCategoryCode* firstCode) {
  CheckDictionary();
  if (!MainDictionary) return 0;
  key_.assign(1, 'w');
  key_ += word;
  const Entry* cached = Find(key_);
  Entry e;
  if (cached) {
    e = *cached;
  } else {
    TMainDictionary& d = *MainDictionary;
    const int length = static_cast<int>(std::strlen(word));
    for (int r = 0; r < kCachedReadings; ++r) {
      if (LookupWord(d, r, length, true, true, word) <= 0 || d.value == 0) break;
      if (r == 0) e.firstCode = d.value;
      e.readings[e.count++] = d.record;
      if (!IsAmbiguous(d.record)) break;
    }
    Store(key_, e);
  }
  for (int r = 0; r < kCachedReadings; ++r) out[r] = r < e.count ? e.readings[r] : TCategoryRecord{};
  if (firstCode) *firstCode = e.firstCode;
  return e.count;
}

bool TWordLookupCache::ExpressionKnown(const char* candidate, bool& longerMayFollow) {
  CheckDictionary();
  longerMayFollow = false;
  if (!MainDictionary) return false;
  key_.assign(1, 'x');
  key_ += candidate;
  if (const Entry* cached = Find(key_)) {
    longerMayFollow = cached->longer;
    return cached->count != 0;
  }
  TMainDictionary& d = *MainDictionary;
  Entry e;
  const bool known = LookupWord(d, 0, static_cast<int>(std::strlen(candidate)), false, false, candidate) > 0 &&
                     d.value != 0;
  e.count = known ? 1 : 0;
  e.longer = known || d.WordFoundAsWritten;
  Store(key_, e);
  longerMayFollow = e.longer;
  return known;
}

uint32_t TWordLookupCache::LexicalEntry(const char* word, const TCategoryRecord& reading,
                                        uint32_t (*compute)(const char*, const TCategoryRecord&)) {
  CheckDictionary();
  key_.assign(1, 'e');
  key_.append(reinterpret_cast<const char*>(&reading), sizeof reading);
  key_ += word;
  if (const Entry* cached = Find(key_)) return cached->lexicalEntry;
  Entry e;
  e.lexicalEntry = compute(word, reading);
  // An entry that could not be made is asked again next time.
  if (e.lexicalEntry != 0) Store(key_, e);
  return e.lexicalEntry;
}

}  // namespace quilor
