#include "engine/word_lookup_cache.h"

#include <cstring>
#include <new>

#include "core/lexicon.h"

namespace quilor {

void TWordLookupCache::Clear() {
  if (slots_ && used_ > 0)
    for (size_t i = 0; i < slotCount_; ++i) slots_[i].keyLength = 0;
  if (pairs_)
    for (size_t i = 0; i < kPairSlots; ++i) pairs_[i].keyLength = 0;
  used_ = 0;
  candidatesWithoutFilter_ = 0;
  dictionary_ = MainDictionary;
}

void TWordLookupCache::CheckDictionary() {
  if (dictionary_ != MainDictionary) Clear();
}

TWordLookupCache::Slot* TWordLookupCache::Locate(char kind, const char* text, const void* extra, size_t extraSize) {
  const size_t room = kKeySize - 1 - extraSize;
  const size_t textLength = ::strnlen(text, room + 1);
  if (textLength > room) return nullptr;
  keyLength_ = 1 + extraSize + textLength;
  std::memset(key_, 0, sizeof key_);
  key_[0] = kind;
  if (extraSize) std::memcpy(key_ + 1, extra, extraSize);
  std::memcpy(key_ + 1 + extraSize, text, textLength);
  const uint32_t h = HashOf(key_, keyLength_);
  if ((!slots_ || (used_ >= slotCount_ / 4 * 3 && slotCount_ < kSlots)) && !Grow() && !slots_) return nullptr;
  if (used_ >= slotCount_ - 1) return nullptr;  // full: a free slot must stay to end the probes
  const size_t mask = slotCount_ - 1;
  for (size_t i = h & mask;; i = (i + 1) & mask) {
    Slot& s = slots_[i];
    if (s.keyLength == 0) {
      s.hash = h;
      return &s;
    }
    if (s.hash == h && s.keyLength == keyLength_ && SameKey(s.key, key_)) return &s;
  }
}

void TWordLookupCache::Prefetch(const char* word) const {
  if (!slots_) return;
  char key[kKeySize + 1] = {};
  key[0] = 'w';
  const size_t textLength = ::strnlen(word, kKeySize);
  if (textLength >= kKeySize) return;
  std::memcpy(key + 1, word, textLength);
  // A slot spans two cache lines as a rule: the key is read in the first,
  // the readings in the second.
  const Slot* slot = &slots_[HashOf(key, textLength + 1) & (slotCount_ - 1)];
  __builtin_prefetch(slot);
  __builtin_prefetch(reinterpret_cast<const char*>(slot) + sizeof(Slot) - 1);
}

bool TWordLookupCache::Grow() {
  const size_t count = slots_ ? slotCount_ * 2 : kFirstSlots;
  std::unique_ptr<Slot[]> grown(new (std::nothrow) Slot[count]);
  if (!grown) return false;
  for (size_t i = 0; i < count; ++i) grown[i].keyLength = 0;
  for (size_t i = 0; i < slotCount_; ++i) {
    if (slots_[i].keyLength == 0) continue;
    size_t j = slots_[i].hash & (count - 1);
    while (grown[j].keyLength != 0) j = (j + 1) & (count - 1);
    grown[j] = slots_[i];
  }
  slots_ = std::move(grown);
  slotCount_ = count;
  return true;
}

namespace {

// Keeps a newly computed entry in its free slot while the table has room.
bool Keep(TWordLookupCache::Entry& to, const TWordLookupCache::Entry& e, size_t& used, size_t max) {
  if (used >= max) return false;
  to = e;
  ++used;
  return true;
}

}  // namespace

int TWordLookupCache::WordReadings(const char* word, TCategoryRecord (&out)[kCachedReadings],
                                   TCategoryCode* firstCode) {
  CheckDictionary();
  if (!MainDictionary) return 0;
  Slot* slot = Locate('w', word, nullptr, 0);
  Entry e;
  if (slot && slot->keyLength) {
    e = slot->entry;
  } else {
    const TMainDictionary& d = *MainDictionary;
    TLexiconAnswer& a = answer_;
    const int length = static_cast<int>(std::strlen(word));
    for (int r = 0; r < kCachedReadings; ++r) {
      if (LookupWord(d, a, r, length, true, true, word) <= 0 || a.value == 0) break;
      if (r == 0) e.firstCode = a.value;
      e.readings[e.count++] = a.record;
      if (!IsAmbiguous(a.record)) break;
    }
    if (slot && Keep(slot->entry, e, used_, kMaxEntries)) {
      slot->keyLength = static_cast<uint8_t>(keyLength_);
      std::memcpy(slot->key, key_, kKeySize);
    }
  }
  // The readings past the count are empty in every entry.
  std::memcpy(out, e.readings, sizeof out);
  if (firstCode) *firstCode = e.firstCode;
  return e.count;
}

bool TWordLookupCache::ExpressionKnown(const char* candidate, bool& longerMayFollow) {
  CheckDictionary();
  longerMayFollow = false;
  if (!MainDictionary) return false;
  const size_t length = std::strlen(candidate);
  const TExpressionFilter* filter = MainDictionary->BuiltExpressionFilter();
  if (!filter && ++candidatesWithoutFilter_ == kCandidatesBeforeFilter) MainDictionary->BuildExpressionFilter();
  if (filter && !filter->MayStart(candidate, length)) return false;
  PairSlot* slot = nullptr;
  if (length <= kKeySize + 2) {
    if (!pairs_) {
      pairs_.reset(new (std::nothrow) PairSlot[kPairSlots]);
      if (pairs_)
        for (size_t i = 0; i < kPairSlots; ++i) pairs_[i].keyLength = 0;
    }
    if (pairs_) {
      uint32_t h = 2166136261u;
      for (size_t i = 0; i < length; ++i) h = (h ^ static_cast<unsigned char>(candidate[i])) * 16777619u;
      slot = &pairs_[h & (kPairSlots - 1)];
      if (slot->keyLength == length && std::memcmp(slot->key, candidate, length) == 0) {
        longerMayFollow = slot->longer;
        return slot->known;
      }
    }
  }
  const bool known = MainDictionary->LookupLexiconReading(0, candidate, answer_) > 0 && answer_.value != 0;
  longerMayFollow = known || answer_.keyReached;
  if (slot) {
    slot->keyLength = static_cast<uint8_t>(length);
    slot->known = known;
    slot->longer = longerMayFollow;
    std::memcpy(slot->key, candidate, length);
  }
  return known;
}

uint32_t TWordLookupCache::LexicalEntry(const char* word, const TCategoryRecord& reading,
                                        uint32_t (*compute)(const char*, const TCategoryRecord&)) {
  CheckDictionary();
  Slot* slot = Locate('e', word, &reading, sizeof reading);
  if (slot && slot->keyLength) return slot->entry.lexicalEntry;
  Entry e;
  e.lexicalEntry = compute(word, reading);
  if (slot && Keep(slot->entry, e, used_, kMaxEntries)) {
    slot->keyLength = static_cast<uint8_t>(keyLength_);
    std::memcpy(slot->key, key_, kKeySize);
  }
  return e.lexicalEntry;
}

}  // namespace quilor
