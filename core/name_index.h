// Name indexes: up to 65,535 names (verbs by infinitive, adjectives, the
// terminology extractor's words) with their other forms, mapped to entry
// numbers and counted in the analysed text; and the running text index.
//
// A name index holds two name tables, each a segmented trie (1..50 compact
// tries; a key's segment comes from its first three lower-cased bytes):
// the primary table (the names proper, valued by entry number) and the
// secondary table (other forms, valued by the primary entry they belong to).
//
// File layout of ".vv8" / ".av8" (little-endian):
//   0  1  version 19          1  4  header value 1      5  4  header value 2
//   9  4  primary key count  13  4  primary name count 17  4  secondary count
//  21  4  primary segments   25  4  secondary segments 29 14  unused
//  43  4  magic 1,234,567    47  1  unused
//  48     each primary, then each secondary segment: a 20-byte header
//         (12: u32 insert count, 16: u16 node count m, 18: empty flag), then
//         chars (m bytes), values (m x u16), links (m x i16, -1 = none)
//  then   the primary names, 80 bytes each, NUL-padded, in entry order; the
//         byte at position p of a name is stored as byte - p.
//
// Writing: NameIndexWriter builds an index in memory and writes the file:
//
//   NameIndexWriter w(7, 29);            // primary and secondary segment counts
//   int e = w.AddName("take");           // entry 1
//   w.AddForm("took", e); w.AddForm("taken", e);
//   w.Write("Dico/englex.vv8", &error);
//
// Reading: TStringHashIndex(mode 2, ...) loads the file of the dictionary
// mask with its extension replaced; a bad file ends the program through
// FatalError (exit code 1 corrupt or wrong version, 2 read error). Loaded
// segments keep room to grow, so that the analysis can add names.
#pragma once

#include <atomic>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/pools.h"
#include "core/trie.h"

namespace quilor {

constexpr int kMaxNameEntries = 65535;
constexpr int kMaxIndexSegments = 50;
constexpr uint32_t kSegmentCapacity = 32599;
constexpr uint8_t kNameIndexVersion = 19;
constexpr size_t kNameIndexHeaderSize = 48;
constexpr size_t kSegmentHeaderSize = 20;
constexpr size_t kStoredNameSize = 80;

constexpr int kMsgIndexOverflow = 16;

// The segment (1..segmentCount) of a key, from its lower-cased bytes.
int SegmentOfKey(const char* key, int segmentCount);
// True when every byte of the name can be stored shifted (byte > its position).
bool NameCanBeStored(const char* name);

class TSegmentedTrie {
 public:
  // Mode 0: every segment empty with 32,599 nodes; other modes: filled by a loader.
  TSegmentedTrie(int mode, int segmentCount);
  virtual ~TSegmentedTrie() = default;
  bool SegmentedTrieInsert(const char* key, uint16_t value);
  // The key's value, 0 when absent; found := the segment's found flag.
  uint16_t SegmentedTrieLookup(const char* key);
  // One line per segment and the totals, to an open log.
  void WriteSegmentStatistics(std::FILE* log);
  int SegmentCount() const { return static_cast<int>(segments_.size()); }
  TCompactTrie& Segment(int i) { return *segments_[i - 1]; }

  bool ready = false;
  bool found = false;
  int mode = 0;

 protected:
  std::vector<std::unique_ptr<TCompactTrie>> segments_;
};

class TNameTable : public TSegmentedTrie {
 public:
  TNameTable(int mode, int segmentCount, bool pooled);
  ~TNameTable() override = default;
  // Appends a name as entry count + 1. False when the table or the trie is
  // full (the slot is not used up) or memory is short. A full table with the
  // stop flag on reports message 16 once.
  bool AddName(const char* name);
  bool SetName(int i, const char* name);
  // The name's entry (0 when absent); stored receives the entry's name.
  int Find(const char* name, const char** stored = nullptr);
  // "" outside 1..count.
  const char* NameOf(int i) const;
  int Count() const { return count_.load(std::memory_order_relaxed); }
  void SetCount(int count) { count_.store(count, std::memory_order_relaxed); }

  bool stopOnOverflow = true;
  bool pooled;

 private:
  const char* Copy(const char* name, int slot);
  // Read by the semantic pass while the loading adds names (the names up
  // to an entry it reads were added before the words that refer to them).
  std::atomic<int> count_{0};
  bool overflowShown_ = false;
  std::vector<const char*> names_;
  std::vector<std::unique_ptr<char[]>> owned_;
};

class TStringHashIndex {
 public:
  // Mode 0: empty, in memory. Other modes: loads the file of the dictionary
  // mask with the given extension (segment counts from the file).
  TStringHashIndex(int mode, bool pooled, int primarySegments, int secondarySegments,
                   const std::string& dictionaryMask = std::string(), const char* extension = ".vv8");
  // Loads a file image (tests and fuzzing).
  TStringHashIndex(const uint8_t* data, size_t size, const std::string& name, bool pooled);
  virtual ~TStringHashIndex() = default;
  TStringHashIndex(const TStringHashIndex&) = delete;
  TStringHashIndex& operator=(const TStringHashIndex&) = delete;

  // True when present or added.
  bool AddNameIfAbsent(const char* name);
  // Another form of an entry (secondary table); False when refused.
  bool AddOtherForm(const char* form, int entry);
  // Primary table only; 0 when absent.
  int FindNameEntry(const char* name);
  int NameEntryCount() const { return primary_->Count(); }
  const char* NameOfEntry(int i) const { return primary_->NameOf(i); }
  bool SetNameOfEntry(int i, const char* name) { return primary_->SetName(i, name); }
  uint32_t CountOfEntry(int i) const { return i >= 1 && i <= kMaxNameEntries ? counters_[i] : 0; }
  // Other forms first, then the names: the entry's name, or False.
  bool LookupStoredName(const char* form, const char** name);
  bool LookupEntryNumber(const char* form, int& entry);
  void ClearEntryCounts();
  void RankEntriesByCount();
  // 0 outside 1..ranked count.
  int EntryAtRank(int k) const { return k >= 1 && k <= rankedCount_ ? static_cast<int>(ranked_[k - 1]) : 0; }
  int RankedCount() const { return rankedCount_; }

  // Class cells, filled by the semantic dictionary; the class is the low 16 bits.
  void SetClassCell(int i, uint32_t cell) {
    if (i >= 1 && i <= kMaxNameEntries) classCells_[i] = cell;
  }
  uint16_t ClassOf(int i) const {
    return i >= 1 && i <= primary_->Count() ? static_cast<uint16_t>(classCells_[i] & 0xFFFF) : 0;
  }
  // Counts one occurrence of entry: classField := the entry's class (0 when
  // none), whose counter in classCounters (when given and in range) goes up.
  bool CountOccurrence(uint32_t entry, uint32_t& classField, uint32_t* classCounters, size_t classCounterCount);

  // The file image of the index.
  std::vector<uint8_t> SaveImage() const;

  bool ready = false;
  bool pooled;
  int mode;
  uint32_t headerValue1 = 0;
  uint32_t headerValue2 = 0;
  uint32_t primaryKeyCount = 0;
  uint32_t formCount = 0;
  std::string fileName;
  std::string extension;
  TNameTable& Primary() { return *primary_; }
  TNameTable& Secondary() { return *secondary_; }

 protected:
  void Load(class DictionarySource& source);
  std::unique_ptr<TNameTable> primary_;
  std::unique_ptr<TNameTable> secondary_;
  std::vector<uint32_t> counters_ = std::vector<uint32_t>(kMaxNameEntries + 1);
  std::vector<uint32_t> ranked_ = std::vector<uint32_t>(kMaxNameEntries);
  std::vector<uint32_t> classCells_ = std::vector<uint32_t>(kMaxNameEntries + 1);
  int rankedCount_ = 0;
};

// The verb and adjective indexes (created at start-up, mode 2, pooled).
extern TStringHashIndex* VerbIndex;
extern TStringHashIndex* AdjectiveIndex;
TStringHashIndex* CreateVerbIndex(int mode, int primarySegments, int secondarySegments,
                                  const std::string& dictionaryMask);
TStringHashIndex* CreateAdjectiveIndex(int mode, int primarySegments, int secondarySegments,
                                       const std::string& dictionaryMask);
// The analysis's per-class counters, which the occurrence counts feed (set by the engine).
void SetClassOccurrenceCounters(uint32_t* counters, size_t count);
bool CountVerbOccurrence(uint32_t entry, uint32_t& classField);
bool CountAdjectiveOccurrence(uint32_t entry, uint32_t& classField);
uint16_t VerbClassOf(int i);
uint16_t AdjectiveClassOf(int i);

// The terminology extractor's pair index: words in the primary table, pair
// keys in the secondary one.
class TPairIndex : public TStringHashIndex {
 public:
  TPairIndex(int primarySegments = 6, int secondarySegments = 12);
  uint32_t PairCount() const { return headerValue1; }
  uint32_t RepeatCount() const { return headerValue2; }
  bool AddPair(const char* pairKey, const char* word);
  bool FindPair(const char* pairKey);
  bool CountCurrentPair(uint32_t& count, const char* pairText, const char* word);
  bool IncrementMergeCount(int i);
  uint32_t MergeCountOf(int i) const;
  bool PairInfo(int i, const char** name, uint32_t& link, uint32_t& count) const;
  bool RenameAndMergeEntry(int i, int j, const char* newName);
  int CurrentPair() const { return currentPair_; }

 private:
  std::vector<uint32_t> mergeCounts_ = std::vector<uint32_t>(kMaxNameEntries + 1);
  std::vector<uint32_t> links_ = std::vector<uint32_t>(kMaxNameEntries + 1);
  int currentPair_ = 0;
};

// The running index of the analysed text's entries: a large trie (filled by
// the semantic dictionary's loader) with per-entry counters and names.
class TTextIndex {
 public:
  // Mode 2 marks every node as used, for a loader that fills the arrays.
  TTextIndex(int mode, uint32_t capacity);
  // Sizes the counter, rank and value arrays for the entries.
  void AllocateTextIndexCounts();
  uint32_t TextIndexLookup(const char* text) { return trie.Lookup(text); }
  // classField := 0; counts entries 1..entries (False outside).
  bool CountTextIndexEntry(uint32_t entry, uint32_t& classField);
  void ResetTextIndexCounts();
  uint32_t TextIndexCountOf(uint32_t i) const { return i >= 1 && i <= entries && i < counts_.size() ? counts_[i] : 0; }
  uint32_t TextIndexValueOf(uint32_t i) const { return i >= 1 && i <= entries && i < values_.size() ? values_[i] : 0; }
  void SetTextIndexValue(uint32_t i, uint32_t v) {
    if (i >= 1 && i <= entries && i < values_.size()) values_[i] = v;
  }
  // The name of entry i (nullptr when none): from the shared list when one
  // is given, else from names.
  const char* TextIndexNameOf(uint32_t i) {
    if (i < 1 || i > entries) return nullptr;
    if (!sharedNames_) return names.PagedTextArrayGet(i);
    return i < sharedNames_->size() && !(*sharedNames_)[i].empty() ? (*sharedNames_)[i].c_str() : nullptr;
  }
  // The names of the entries (1-based) as their owner keeps them, read
  // where they are instead of copied into names.
  void ShareNames(std::shared_ptr<const std::vector<std::string>> list) { sharedNames_ = std::move(list); }
  // Looks texts up in trie arrays its owner keeps (capacity + 1 nodes, all
  // used, kept alive by keep) instead of a copy; the trie is then only read.
  void ShareTrie(std::shared_ptr<const void> keep, unsigned char* chars, int32_t* links, uint32_t* values,
                 uint32_t capacity) {
    trie.AttachFilled(chars, links, values, capacity, capacity, false, 0);
    sharedTrie_ = std::move(keep);
  }
  void RankTextIndexByCount();
  // 0 when nothing is ranked or k is outside 1..ranked count.
  uint32_t TextIndexCountAtRank(uint32_t k) const;
  uint32_t TextIndexEntryAtRank(uint32_t k) const { return k >= 1 && k <= rankedCount ? ranks_[k - 1] : 0; }

  TLargeTrie trie;
  TPagedTextArray names{true};
  uint32_t entries = 0;
  uint32_t highestCounted = 0;
  uint32_t rankedCount = 0;

 private:
  std::vector<uint32_t> counts_;
  std::vector<uint32_t> ranks_;
  std::vector<uint32_t> values_;
  std::shared_ptr<const std::vector<std::string>> sharedNames_;
  std::shared_ptr<const void> sharedTrie_;
};

extern TTextIndex* TextIndex;
constexpr uint32_t kDefaultTextIndexCapacity = 5000000;
TTextIndex* CreateTextIndex(int mode, uint32_t capacity);

// Builds a ".vv8" / ".av8" file.
class NameIndexWriter {
 public:
  NameIndexWriter(int primarySegments, int secondarySegments, uint32_t headerValue1 = 0, uint32_t headerValue2 = 0);
  // The name's entry (an existing name keeps its entry); 0 when refused: an
  // empty name, 80 characters or more, a byte that cannot be stored shifted,
  // or a full index.
  int AddName(const std::string& name);
  // Another form of an entry; False when refused.
  bool AddForm(const std::string& form, int entry);
  std::vector<uint8_t> Build() const { return index_.SaveImage(); }
  bool Write(const std::string& path, std::string* error = nullptr) const;
  TStringHashIndex& Index() { return index_; }

 private:
  TStringHashIndex index_;
};

}  // namespace quilor
