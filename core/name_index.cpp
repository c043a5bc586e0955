#include "core/name_index.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "core/dictionary_file.h"
#include "core/messages.h"

namespace quilor {

TStringHashIndex* VerbIndex = nullptr;
TStringHashIndex* AdjectiveIndex = nullptr;
TTextIndex* TextIndex = nullptr;

namespace {

uint32_t* g_classCounters = nullptr;
size_t g_classCounterCount = 0;

// Quicksort of entry numbers by count, highest first (Hoare partition, middle pivot).
void SortByCount(uint32_t* list, int64_t lo, int64_t hi, const uint32_t* counts) {
  while (lo < hi) {
    const uint32_t pivot = counts[list[lo + (hi - lo) / 2]];
    int64_t i = lo, j = hi;
    while (i <= j) {
      while (counts[list[i]] > pivot) ++i;
      while (counts[list[j]] < pivot) --j;
      if (i <= j) std::swap(list[i++], list[j--]);
    }
    // Recurse into the smaller side to bound the stack.
    if (j - lo < hi - i) {
      SortByCount(list, lo, j, counts);
      lo = i;
    } else {
      SortByCount(list, i, hi, counts);
      hi = j;
    }
  }
}

// Offsets of the headers.
constexpr size_t kOffHeader1 = 1;
constexpr size_t kOffHeader2 = 5;
constexpr size_t kOffKeyCount = 9;
constexpr size_t kOffPrimaryNames = 13;
constexpr size_t kOffSecondaryNames = 17;
constexpr size_t kOffPrimarySegments = 21;
constexpr size_t kOffSecondarySegments = 25;
constexpr size_t kOffMagic = 43;
constexpr size_t kSegOffInserts = 12;
constexpr size_t kSegOffNodes = 16;
constexpr size_t kSegOffEmpty = 18;
constexpr int kNameBatch = 500;

}  // namespace

int SegmentOfKey(const char* key, int segmentCount) {
  if (segmentCount < 2) return 1;
  const unsigned k0 = LowerCaseMap[static_cast<unsigned char>(key[0])];
  const unsigned k1 = k0 ? LowerCaseMap[static_cast<unsigned char>(key[1])] : 0;
  const unsigned k2 = k1 ? LowerCaseMap[static_cast<unsigned char>(key[2])] : 0;
  unsigned s = k0;
  if (k1) s = (k0 + k1 + k2) % 73;
  return static_cast<int>(s % static_cast<unsigned>(segmentCount)) + 1;
}

bool NameCanBeStored(const char* name) {
  for (int p = 0; name[p]; ++p)
    if (static_cast<unsigned char>(name[p]) <= p) return false;
  return true;
}

TSegmentedTrie::TSegmentedTrie(int mode_, int segmentCount) : mode(mode_) {
  if (segmentCount < 1 || segmentCount > kMaxIndexSegments) {
    ReportMemoryLow(true);
    return;
  }
  segments_.resize(static_cast<size_t>(segmentCount));
  for (auto& s : segments_) {
    s = std::make_unique<TCompactTrie>();
    if (mode == 0) s->CreateCompactTrie(kSegmentCapacity);
  }
  ready = true;
}

bool TSegmentedTrie::SegmentedTrieInsert(const char* key, uint16_t value) {
  if (segments_.empty() || !key || !key[0]) return false;
  return segments_[SegmentOfKey(key, SegmentCount()) - 1]->CompactTrieInsert(key, value);
}

uint16_t TSegmentedTrie::SegmentedTrieLookup(const char* key) {
  found = false;
  if (segments_.empty() || !key || !key[0]) return 0;
  TCompactTrie& t = *segments_[SegmentOfKey(key, SegmentCount()) - 1];
  const uint16_t v = t.CompactTrieLookup(key);
  found = t.state.found;
  return v;
}

void TSegmentedTrie::WriteSegmentStatistics(std::FILE* log) {
  if (!log) return;
  uint64_t total = 0, largest = 0;
  int largestSegment = 0;
  for (int i = 1; i <= SegmentCount(); ++i) {
    TCompactTrie& t = Segment(i);
    const uint64_t keys = t.state.newKeys;
    std::fprintf(log, " Seg[%2d]=%6llu, index= %4.1f%%\n", i, static_cast<unsigned long long>(keys),
                 static_cast<double>(t.Used()) / kSegmentCapacity * 100.0);
    total += keys;
    if (keys > largest) {
      largest = keys;
      largestSegment = i;
    }
  }
  std::fprintf(log, " Max. value=%llu, Segment=%d\n", static_cast<unsigned long long>(largest), largestSegment);
  std::fprintf(log, " Avg  value=%llu\n",
               static_cast<unsigned long long>(SegmentCount() ? total / static_cast<uint64_t>(SegmentCount()) : 0));
  std::fprintf(log, " Total entries for this index=%llu\n", static_cast<unsigned long long>(total));
}

TNameTable::TNameTable(int mode_, int segmentCount, bool pooled_)
    : TSegmentedTrie(mode_, segmentCount), pooled(pooled_), names_(kMaxNameEntries + 1, nullptr) {
  if (!pooled) owned_.resize(kMaxNameEntries + 1);
}

const char* TNameTable::Copy(const char* name, int slot) {
  if (pooled) return GeneralStringPool().Add(name);
  const size_t n = std::strlen(name);
  char* copy = new (std::nothrow) char[n + 1];
  if (!copy) return nullptr;
  std::memcpy(copy, name, n + 1);
  owned_[slot].reset(copy);
  return copy;
}

bool TNameTable::AddName(const char* name) {
  if (!name || !name[0]) return false;
  if (Count() >= kMaxNameEntries) {
    if (stopOnOverflow && !overflowShown_) {
      overflowShown_ = true;
      ShowError(GetMessageText(kMsgIndexOverflow));
    }
    return false;
  }
  const int slot = Count() + 1;
  const char* copy = Copy(name, slot);
  if (ReportMemoryLow(copy == nullptr)) return false;
  if (!SegmentedTrieInsert(name, static_cast<uint16_t>(slot))) {
    // A full trie: the slot stays free for a later name.
    if (!pooled) owned_[slot].reset();
    return false;
  }
  names_[slot] = copy;
  SetCount(slot);
  return true;
}

bool TNameTable::SetName(int i, const char* name) {
  if (i < 1 || i > kMaxNameEntries || !name) return false;
  if (!name[0]) {
    names_[i] = nullptr;
    if (!pooled) owned_[i].reset();
    return true;
  }
  const char* copy = Copy(name, i);
  if (ReportMemoryLow(copy == nullptr)) return false;
  names_[i] = copy;
  return true;
}

int TNameTable::Find(const char* name, const char** stored) {
  const uint16_t e = SegmentedTrieLookup(name);
  if (stored) *stored = e ? NameOf(e) : "";
  return e;
}

const char* TNameTable::NameOf(int i) const {
  if (i < 1 || i > Count() || !names_[i]) return "";
  return names_[i];
}

TStringHashIndex::TStringHashIndex(int mode_, bool pooled_, int primarySegments, int secondarySegments,
                                   const std::string& dictionaryMask, const char* extension_)
    : pooled(pooled_), mode(mode_), extension(extension_) {
  if (mode == 0) {
    primary_ = std::make_unique<TNameTable>(0, primarySegments, pooled);
    secondary_ = std::make_unique<TNameTable>(0, secondarySegments, pooled);
    ready = primary_->ready && secondary_->ready;
    return;
  }
  fileName = WithExtension(dictionaryMask, extension_);
  FileDictionarySource source(fileName);
  Load(source);
}

TStringHashIndex::TStringHashIndex(const uint8_t* data, size_t size, const std::string& name, bool pooled_)
    : pooled(pooled_), mode(2), fileName(name) {
  MemoryDictionarySource source(data, size, name);
  Load(source);
}

void TStringHashIndex::Load(DictionarySource& source) {
  uint8_t header[kNameIndexHeaderSize];
  source.Read(header, sizeof header);
  if (header[0] != kNameIndexVersion || ReadU32(header + kOffMagic) != kDictionaryMagic) source.WrongVersion();
  const uint32_t primaryNames = ReadU32(header + kOffPrimaryNames);
  const uint32_t primarySegments = ReadU32(header + kOffPrimarySegments);
  const uint32_t secondarySegments = ReadU32(header + kOffSecondarySegments);
  if (primaryNames > kMaxNameEntries) source.Corrupt("name count");
  if (primarySegments < 1 || primarySegments > kMaxIndexSegments || secondarySegments < 1 ||
      secondarySegments > kMaxIndexSegments)
    source.Corrupt("segment count");

  auto primary = std::make_unique<TNameTable>(mode, static_cast<int>(primarySegments), pooled);
  auto secondary = std::make_unique<TNameTable>(mode, static_cast<int>(secondarySegments), pooled);
  for (TNameTable* table : {primary.get(), secondary.get()}) {
    for (int s = 1; s <= table->SegmentCount(); ++s) {
      uint8_t sh[kSegmentHeaderSize];
      source.Read(sh, sizeof sh);
      const uint32_t m = ReadU16(sh + kSegOffNodes);
      if (m > kCompactTrieMaxCapacity) source.Corrupt("segment node count");
      if (static_cast<uint64_t>(m) * 5 > source.Remaining()) source.ReadError();
      // Loaded segments get the largest capacity, so that names can be added.
      TCompactTrie& t = table->Segment(s);
      t.CreateCompactTrieForLoading(kCompactTrieMaxCapacity);
      auto& a = t.MutableArrays();
      source.Read(a.chars, m);
      source.Read(a.values, static_cast<uint64_t>(m) * 2);
      source.Read(a.links, static_cast<uint64_t>(m) * 2);
      if (!TrieArraysHoldTogether(a.chars, a.links, m)) source.Corrupt("segment links");
      for (uint32_t i = 0; i < m; ++i)
        if (a.values[i] > primaryNames) source.Corrupt("segment value");
      t.MarkUsed(m);
      a.inserts = ReadU32(sh + kSegOffInserts);
      a.empty = m == 0;
      t.state.newKeys = a.inserts;
    }
  }
  if (static_cast<uint64_t>(primaryNames) * kStoredNameSize > source.Remaining()) source.ReadError();
  std::vector<uint8_t> batch(kNameBatch * kStoredNameSize);
  for (uint32_t done = 0; done < primaryNames;) {
    const uint32_t n = std::min<uint32_t>(kNameBatch, primaryNames - done);
    source.Read(batch.data(), static_cast<uint64_t>(n) * kStoredNameSize);
    for (uint32_t k = 0; k < n; ++k) {
      const uint8_t* stored = batch.data() + k * kStoredNameSize;
      char name[kStoredNameSize];
      int p = 0;
      for (; p < static_cast<int>(kStoredNameSize) - 1 && stored[p]; ++p) {
        const unsigned v = stored[p] + static_cast<unsigned>(p);
        name[p] = static_cast<char>(v < 256 ? v : stored[p]);
      }
      name[p] = 0;
      primary->SetCount(static_cast<int>(done + k + 1));
      if (name[0] && !primary->SetName(static_cast<int>(done + k + 1), name))
        StopIfAllocationFailed("name index", true);
    }
    done += n;
  }
  primary->SetCount(static_cast<int>(primaryNames));

  headerValue1 = ReadU32(header + kOffHeader1);
  headerValue2 = ReadU32(header + kOffHeader2);
  primaryKeyCount = ReadU32(header + kOffKeyCount);
  formCount = ReadU32(header + kOffSecondaryNames);
  primary_ = std::move(primary);
  secondary_ = std::move(secondary);
  ready = true;
}

std::vector<uint8_t> TStringHashIndex::SaveImage() const {
  std::vector<uint8_t> out(kNameIndexHeaderSize, 0);
  out[0] = kNameIndexVersion;
  WriteU32(&out[kOffHeader1], headerValue1);
  WriteU32(&out[kOffHeader2], headerValue2);
  WriteU32(&out[kOffKeyCount], static_cast<uint32_t>(primary_->Count()));
  WriteU32(&out[kOffPrimaryNames], static_cast<uint32_t>(primary_->Count()));
  WriteU32(&out[kOffSecondaryNames], formCount);
  WriteU32(&out[kOffPrimarySegments], static_cast<uint32_t>(primary_->SegmentCount()));
  WriteU32(&out[kOffSecondarySegments], static_cast<uint32_t>(secondary_->SegmentCount()));
  WriteU32(&out[kOffMagic], kDictionaryMagic);
  for (TNameTable* table : {primary_.get(), secondary_.get()}) {
    for (int s = 1; s <= table->SegmentCount(); ++s) {
      const auto& a = table->Segment(s).Arrays();
      const uint16_t m = static_cast<uint16_t>(a.used);
      uint8_t sh[kSegmentHeaderSize] = {};
      WriteU32(sh + kSegOffInserts, a.inserts);
      WriteU16(sh + kSegOffNodes, m);
      sh[kSegOffEmpty] = a.empty ? 1 : 0;
      out.insert(out.end(), sh, sh + sizeof sh);
      if (m) {
        out.insert(out.end(), a.chars, a.chars + m);
        for (uint32_t i = 0; i < m; ++i) {
          uint8_t b[2];
          WriteU16(b, a.values[i]);
          out.insert(out.end(), b, b + 2);
        }
        for (uint32_t i = 0; i < m; ++i) {
          uint8_t b[2];
          WriteU16(b, static_cast<uint16_t>(a.links[i]));
          out.insert(out.end(), b, b + 2);
        }
      }
    }
  }
  for (int e = 1; e <= primary_->Count(); ++e) {
    uint8_t stored[kStoredNameSize] = {};
    const char* name = primary_->NameOf(e);
    for (size_t p = 0; p < kStoredNameSize - 1 && name[p]; ++p)
      stored[p] = static_cast<uint8_t>(static_cast<unsigned char>(name[p]) - p);
    out.insert(out.end(), stored, stored + sizeof stored);
  }
  return out;
}

bool TStringHashIndex::AddNameIfAbsent(const char* name) {
  if (FindNameEntry(name) > 0) return true;
  return primary_->AddName(name);
}

bool TStringHashIndex::AddOtherForm(const char* form, int entry) {
  if (entry < 1 || entry > primary_->Count()) return false;
  if (!secondary_->SegmentedTrieInsert(form, static_cast<uint16_t>(entry))) return false;
  ++formCount;
  return true;
}

int TStringHashIndex::FindNameEntry(const char* name) { return primary_->Find(name); }

bool TStringHashIndex::LookupEntryNumber(const char* form, int& entry) {
  entry = secondary_->SegmentedTrieLookup(form);
  if (entry == 0) entry = primary_->SegmentedTrieLookup(form);
  return entry > 0;
}

bool TStringHashIndex::LookupStoredName(const char* form, const char** name) {
  int entry = 0;
  const bool found = LookupEntryNumber(form, entry);
  if (name) *name = found ? primary_->NameOf(entry) : "";
  return found;
}

void TStringHashIndex::ClearEntryCounts() {
  std::fill(counters_.begin(), counters_.end(), 0u);
  rankedCount_ = 0;
}

void TStringHashIndex::RankEntriesByCount() {
  rankedCount_ = 0;
  for (int e = 1; e <= primary_->Count(); ++e)
    if (counters_[e] > 0) ranked_[rankedCount_++] = static_cast<uint32_t>(e);
  if (rankedCount_ > 1) SortByCount(ranked_.data(), 0, rankedCount_ - 1, counters_.data());
}

bool TStringHashIndex::CountOccurrence(uint32_t entry, uint32_t& classField, uint32_t* classCounters,
                                       size_t classCounterCount) {
  classField = 0;
  if (entry >= 1 && entry <= static_cast<uint32_t>(primary_->Count())) {
    ++counters_[entry];
    const uint16_t c = ClassOf(static_cast<int>(entry));
    if (c != 0) {
      if (classCounters && c < classCounterCount) ++classCounters[c];
      classField = c;
    }
  }
  return true;
}

TStringHashIndex* CreateVerbIndex(int mode, int primarySegments, int secondarySegments, const std::string& mask) {
  return new TStringHashIndex(mode, true, primarySegments, secondarySegments, mask, ".vv8");
}

TStringHashIndex* CreateAdjectiveIndex(int mode, int primarySegments, int secondarySegments, const std::string& mask) {
  return new TStringHashIndex(mode, true, primarySegments, secondarySegments, mask, ".av8");
}

void SetClassOccurrenceCounters(uint32_t* counters, size_t count) {
  g_classCounters = counters;
  g_classCounterCount = counters ? count : 0;
}

bool CountVerbOccurrence(uint32_t entry, uint32_t& classField) {
  classField = 0;
  return VerbIndex ? VerbIndex->CountOccurrence(entry, classField, g_classCounters, g_classCounterCount) : true;
}

bool CountAdjectiveOccurrence(uint32_t entry, uint32_t& classField) {
  classField = 0;
  return AdjectiveIndex ? AdjectiveIndex->CountOccurrence(entry, classField, g_classCounters, g_classCounterCount)
                        : true;
}

uint16_t VerbClassOf(int i) { return VerbIndex ? VerbIndex->ClassOf(i) : 0; }
uint16_t AdjectiveClassOf(int i) { return AdjectiveIndex ? AdjectiveIndex->ClassOf(i) : 0; }

// The index lives for one extraction: its names are its own, freed with it,
// not kept in the program's string pool.
TPairIndex::TPairIndex(int primarySegments, int secondarySegments)
    : TStringHashIndex(0, false, primarySegments, secondarySegments) {
  if (ready) {
    primary_->stopOnOverflow = false;
    secondary_->stopOnOverflow = false;
  }
}

bool TPairIndex::AddPair(const char* pairKey, const char* word) {
  if (!ready || FindNameEntry(word) <= 0) return false;
  if (secondary_->SegmentedTrieLookup(pairKey) > 0) {
    ++headerValue2;
    return true;
  }
  if (headerValue1 < static_cast<uint32_t>(kMaxNameEntries) &&
      secondary_->SegmentedTrieInsert(pairKey, static_cast<uint16_t>(headerValue1 + 1))) {
    ++headerValue1;
    counters_[headerValue1] = 1;
  }
  return true;
}

bool TPairIndex::FindPair(const char* pairKey) {
  currentPair_ = ready ? secondary_->SegmentedTrieLookup(pairKey) : 0;
  return currentPair_ > 0;
}

bool TPairIndex::CountCurrentPair(uint32_t& count, const char* pairText, const char* word) {
  count = 0;
  if (currentPair_ < 1 || currentPair_ > kMaxNameEntries) return false;
  count = ++counters_[currentPair_];
  if (count != 2) return true;
  const bool named = secondary_->SetName(currentPair_, pairText);
  if (secondary_->Count() < currentPair_) secondary_->SetCount(currentPair_);
  const int entry = FindNameEntry(word);
  if (entry > 0) links_[currentPair_] = static_cast<uint32_t>(entry);
  return named && entry > 0;
}

bool TPairIndex::IncrementMergeCount(int i) {
  if (i < 1 || i > kMaxNameEntries) return false;
  ++mergeCounts_[i];
  return true;
}

uint32_t TPairIndex::MergeCountOf(int i) const { return i >= 1 && i <= kMaxNameEntries ? mergeCounts_[i] + 1 : 0; }

bool TPairIndex::PairInfo(int i, const char** name, uint32_t& link, uint32_t& count) const {
  if (i < 1 || i > static_cast<int>(headerValue1)) return false;
  if (name) *name = secondary_->NameOf(i);
  link = links_[i];
  count = counters_[i];
  return true;
}

bool TPairIndex::RenameAndMergeEntry(int i, int j, const char* newName) {
  if (i < 1 || i > kMaxNameEntries || j < 1 || j > kMaxNameEntries) return false;
  if (!SetNameOfEntry(i, newName)) return false;
  mergeCounts_[j] += mergeCounts_[i] + 1;
  mergeCounts_[i] = 0;
  return true;
}

TTextIndex::TTextIndex(int mode, uint32_t capacity) : trie(capacity, mode) {}

void TTextIndex::AllocateTextIndexCounts() {
  if (entries == 0) return;
  counts_.assign(static_cast<size_t>(entries) + 1, 0);
  ranks_.assign(static_cast<size_t>(entries) + 1, 0);
  values_.resize(static_cast<size_t>(entries) + 1, 0);
}

bool TTextIndex::CountTextIndexEntry(uint32_t entry, uint32_t& classField) {
  classField = 0;
  if (entry < 1 || entry > entries || entry >= counts_.size()) return false;
  ++counts_[entry];
  if (entry > highestCounted) highestCounted = entry;
  return true;
}

void TTextIndex::ResetTextIndexCounts() {
  rankedCount = 0;
  highestCounted = 0;
  std::fill(counts_.begin(), counts_.end(), 0u);
}

void TTextIndex::RankTextIndexByCount() {
  rankedCount = 0;
  const uint32_t last = std::min<uint32_t>(entries, counts_.empty() ? 0 : static_cast<uint32_t>(counts_.size() - 1));
  for (uint32_t e = 1; e <= last; ++e)
    if (counts_[e] > 0) ranks_[rankedCount++] = e;
  if (rankedCount > 1) SortByCount(ranks_.data(), 0, rankedCount - 1, counts_.data());
}

uint32_t TTextIndex::TextIndexCountAtRank(uint32_t k) const {
  if (rankedCount == 0 || k < 1 || k > rankedCount) return 0;
  return counts_[ranks_[k - 1]];
}

TTextIndex* CreateTextIndex(int mode, uint32_t capacity) { return new TTextIndex(mode, capacity); }

NameIndexWriter::NameIndexWriter(int primarySegments, int secondarySegments, uint32_t headerValue1,
                                 uint32_t headerValue2)
    : index_(0, false, primarySegments, secondarySegments) {
  index_.headerValue1 = headerValue1;
  index_.headerValue2 = headerValue2;
  if (index_.ready) index_.Primary().stopOnOverflow = false;
}

int NameIndexWriter::AddName(const std::string& name) {
  if (!index_.ready || name.empty() || name.size() >= kStoredNameSize || std::strlen(name.c_str()) != name.size() ||
      !NameCanBeStored(name.c_str()))
    return 0;
  const int e = index_.FindNameEntry(name.c_str());
  if (e > 0) return e;
  return index_.Primary().AddName(name.c_str()) ? index_.NameEntryCount() : 0;
}

bool NameIndexWriter::AddForm(const std::string& form, int entry) {
  if (!index_.ready || form.empty() || form.size() >= kStoredNameSize) return false;
  return index_.AddOtherForm(form.c_str(), entry);
}

bool NameIndexWriter::Write(const std::string& path, std::string* error) const {
  return WriteFileBytes(path, Build(), error);
}

}  // namespace quilor
