// The relation stores of an analysis.
//
// For each proposition of the text the semantic pass records which classified
// items it holds. TRelationStore keeps, per record, the first pair of classes
// of each of the four class levels and can list the distinct pairs of a level
// with their counts, highest first. TPropositionWindowList keeps every
// proposition's whole window of items.
//
// Records live in chunked arrays (no per-record heap block, no links): a
// record is addressed by its number, the cursor and the bookmarks are numbers,
// the record count itself stands for the empty tail.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <vector>

#include "platform/release_pages.h"

namespace quilor {

constexpr int kRelationRows = 21;
constexpr int kRelationLevels = 4;
constexpr int kRelationBookmarks = 8;

// 21 rows of 4 columns: column k (1..4) holds the items of class level k, row
// by row; 0 is empty.
struct TRelationWindow {
  uint32_t cells[kRelationRows * kRelationLevels] = {};

  // row 0..20, level 1..4; out of range reads 0 and writes nothing.
  uint32_t At(int row, int level) const { return InRange(row, level) ? cells[row * kRelationLevels + level - 1] : 0; }
  void Set(int row, int level, uint32_t value) {
    if (InRange(row, level)) cells[row * kRelationLevels + level - 1] = value;
  }
  void Clear() { *this = TRelationWindow(); }
  static bool InRange(int row, int level) {
    return row >= 0 && row < kRelationRows && level >= 1 && level <= kRelationLevels;
  }
};

// An array of plain records grown in chunks of fixed size; a failed growth
// is an answer (false), never an exception.
template <typename T, size_t ChunkSize = 8192>
class TChunkedArray {
 public:
  bool PushBack(const T& value) {
    if (size_ == chunks_.size() * ChunkSize && !Grow()) return false;
    chunks_[size_ / ChunkSize][size_ % ChunkSize] = value;
    ++size_;
    return true;
  }
  // Room for n more values at the end, their values unset until written:
  // first is the index of the first. False when memory is short (the size
  // is then unchanged).
  bool Extend(size_t n, size_t& first) {
    first = size_;
    try {
      chunks_.reserve((size_ + n + ChunkSize - 1) / ChunkSize);
    } catch (const std::bad_alloc&) {
      return false;
    }
    while (chunks_.size() * ChunkSize < size_ + n)
      if (!Grow()) return false;
    size_ += n;
    return true;
  }
  // Moves from's values into the room that begins at first (threads may
  // fill rooms apart at once), each of its chunks given back (its pages to
  // the system) once copied;
  // change(value) rewrites each first. from is left empty.
  template <typename Change>
  void MoveInto(size_t first, TChunkedArray& from, Change change) {
    for (size_t c = 0, done = 0; c < from.chunks_.size(); ++c, done += ChunkSize) {
      T* values = from.chunks_[c].get();
      const size_t n = std::min(ChunkSize, from.size_ - done);
      for (size_t i = 0; i < n; ++i) change(values[i]);
      for (size_t i = 0; i < n;) {
        const size_t to = first + done + i;
        const size_t run = std::min(n - i, ChunkSize - to % ChunkSize);
        std::copy_n(values + i, run, &chunks_[to / ChunkSize][to % ChunkSize]);
        i += run;
      }
      // Freed memory would stay resident until reused: a long text's
      // records would be held twice while they are joined.
      ReleasePages(values, ChunkSize * sizeof(T));
      from.chunks_[c].reset();
    }
    from.Clear();
  }
  // Forgets the values from n on (n at most Size()), keeping the chunks.
  void Truncate(size_t n) { size_ = std::min(size_, n); }
  // i must be below Size().
  T& operator[](size_t i) { return chunks_[i / ChunkSize][i % ChunkSize]; }
  const T& operator[](size_t i) const { return chunks_[i / ChunkSize][i % ChunkSize]; }
  size_t Size() const { return size_; }
  void Clear() {
    chunks_.clear();
    chunks_.shrink_to_fit();
    size_ = 0;
  }
  size_t BytesReserved() const { return chunks_.size() * ChunkSize * sizeof(T); }

 private:
  bool Grow() {
    T* chunk = new (std::nothrow) T[ChunkSize];
    if (!chunk) return false;
    try {
      chunks_.emplace_back(chunk);
    } catch (const std::bad_alloc&) {
      delete[] chunk;
      return false;
    }
    return true;
  }

  std::vector<std::unique_ptr<T[]>> chunks_;
  size_t size_ = 0;
};

// The cursor and the 8 bookmarks of a store, with their backup set.
class TRecordCursor {
 public:
  void Reset() {
    at = 0;
    for (auto& b : bookmarks_) b = 0;
    for (auto& b : backup_) b = 0;
  }
  size_t at = 0;  // the record under the cursor; the count means the tail
  // slot 1..8; other slots do nothing.
  void Save(int slot) {
    if (slot >= 1 && slot <= kRelationBookmarks) bookmarks_[slot - 1] = at;
  }
  void Restore(int slot, size_t count) {
    if (slot >= 1 && slot <= kRelationBookmarks) at = bookmarks_[slot - 1] <= count ? bookmarks_[slot - 1] : count;
  }
  size_t Bookmark(int slot) const { return slot >= 1 && slot <= kRelationBookmarks ? bookmarks_[slot - 1] : 0; }
  void Backup() {
    for (int i = 0; i < kRelationBookmarks; ++i) backup_[i] = bookmarks_[i];
  }
  void RestoreBackup() {
    for (int i = 0; i < kRelationBookmarks; ++i) bookmarks_[i] = backup_[i];
  }

 private:
  size_t bookmarks_[kRelationBookmarks] = {};
  size_t backup_[kRelationBookmarks] = {};
};

struct TRelationRecord {
  uint32_t first[kRelationLevels];   // first non-zero value of each column (0 when fewer than two)
  uint32_t second[kRelationLevels];  // the next non-zero value
  uint32_t position;                 // as given to Add
  uint32_t value;                    // as given to Add
  uint8_t byteA;                     // the first byte argument of Add
  uint8_t byteB;                     // the second byte argument of Add
};

// Called between the phases of a sort: False stops the work that remains.
using RelationProgress = std::function<bool()>;

class TPropositionWindowList;
class TRelationStore;

// The windows and the relation records of one run of a text, collected
// apart from the others' at the same time.
struct TStoresPart {
  TPropositionWindowList* windows;
  TRelationStore* relations;
};
// Appends each part's windows to windows and its records to relations, the
// parts in order, copying the parts at once; the parts are left empty.
// False (message 0 shown, none of the parts' windows and records appended)
// when memory is short.
bool JoinStores(TPropositionWindowList& windows, TRelationStore& relations, const std::vector<TStoresPart>& parts);

class TRelationStore {
 public:
  TRelationStore() { Clear(); }
  TRelationStore(const TRelationStore&) = delete;
  TRelationStore& operator=(const TRelationStore&) = delete;

  // Empty: no record, no sorted list, cursor and bookmarks at the start.
  void Clear();

  // Records the pairs of the window (the first two non-zero values of each
  // column), position, value and the two bytes. False (message 0 shown, the
  // store unchanged) when memory is short.
  bool Add(const TRelationWindow& window, uint32_t position, uint8_t byteB, uint8_t byteA, uint32_t value);
  // The same for the window of rows a and b (a < b) of items alone, the
  // other rows empty.
  bool AddPair(const TRelationWindow& items, int a, int b, uint32_t position, uint8_t byteB, uint8_t byteA,
               uint32_t value);

  size_t Count() const { return records_.Size(); }
  void Rewind() { cursor_.at = 0; }
  bool AtStart() const { return cursor_.at == 0; }
  bool AtEnd() const { return cursor_.at >= records_.Size(); }
  void SaveCursor(int slot) { cursor_.Save(slot); }
  void RestoreCursor(int slot) { cursor_.Restore(slot, records_.Size()); }
  void BackupBookmarks() { cursor_.Backup(); }
  void RestoreBookmarks() { cursor_.RestoreBackup(); }
  size_t CursorIndex() const { return cursor_.at; }

  // The record under the cursor, the cursor moving on; False at the end.
  // The window is the store's own: row 0 holds the firsts and row 1 the
  // seconds of each column, the rest is zero.
  bool Next(const TRelationWindow*& window, uint32_t& position, uint8_t& byteB, uint32_t& value);
  // Moves back one record and gives it; False (cursor kept) at the first.
  bool Previous(const TRelationWindow*& window, uint32_t& position, uint8_t& byteB, uint32_t& value);
  // Record i (0-based); nullptr outside.
  const TRelationRecord* Record(size_t i) const { return i < records_.Size() ? &records_[i] : nullptr; }

  // Groups the records of level k (1..4) that have a pair by equal pair, in
  // ascending pair order (second, then first); each group counts its records.
  // Calling it again starts over. progress is asked once the groups are
  // made; False when it says stop or memory is short (message 0 shown).
  bool SortPairs(int level, const RelationProgress& progress = {});
  // Orders the groups of level k by count, highest first, for the readers.
  // False when memory is short (message 0 shown).
  bool SortByCount(int level);
  // SortPairs and SortByCount of the four levels at once, the first level
  // in parts and the second in half as many, rounded up (0: half the usable
  // processors, at most four, at least one); the groups are the same. False
  // when memory is short (message 0 shown).
  bool SortAllLevels(unsigned parts = 0);
  // Records of level k that took part in the last SortPairs.
  uint32_t SortedCount(int level) const { return ValidLevel(level) ? sortedCount_[level - 1] : 0; }

  // Walks the groups of level k in count order.
  void RewindKind(int level);
  bool KindAtEnd(int level) const;
  // The group under the level's cursor, the cursor moving on: its count, the
  // byte A, position and window of its first record. False at the end.
  bool NextOfKind(int level, uint32_t& count, uint8_t& byteA, uint32_t& position, const TRelationWindow*& window);
  // Distinct pairs of level k in count order; the entry at rank 0..KindCount-1.
  size_t KindCount(int level) const { return ValidLevel(level) ? byCount_[level - 1].size() : 0; }
  bool KindEntry(int level, size_t rank, uint32_t& first, uint32_t& second, uint32_t& count) const;

  static bool ValidLevel(int level) { return level >= 1 && level <= kRelationLevels; }

 private:
  friend bool JoinStores(TPropositionWindowList&, TRelationStore&, const std::vector<TStoresPart>&);
  // A distinct pair of a level: its classes, its first record and how many
  // records hold it.
  struct Group {
    uint32_t first;
    uint32_t second;
    uint32_t record;
    uint32_t count;
    uint64_t Key() const { return (uint64_t{second} << 32) | first; }
  };
  const TRelationWindow* WindowOf(const TRelationRecord& r);
  // Completes r and appends it; false (message 0 shown) when memory is short.
  bool Keep(TRelationRecord& r, uint32_t position, uint8_t byteB, uint8_t byteA, uint32_t value);
  // The work of SortPairs and SortByCount without messages (any thread):
  // false when memory is short.
  bool GroupPairs(int level);
  bool OrderByCount(int level);
  // The groups of a level's pairs in the order of their first records, and
  // the records that have a pair (may throw std::bad_alloc); with parts > 1
  // only the pairs that fall to the part.
  void CollectGroups(int level, std::vector<Group>& groups, uint32_t& sorted, unsigned part = 0,
                     unsigned parts = 1) const;
  // Groups in the order of their first records into list by count, as
  // OrderByCount orders them (may throw std::bad_alloc).
  static void PlaceByCount(const std::vector<Group>& groups, std::vector<Group>& list);
  // The groups of parts, each list in the order of its first records, in
  // one list in that order (may throw std::bad_alloc); lists is left empty.
  static std::vector<Group> MergeByFirstRecord(std::vector<std::vector<Group>>& lists);

  TChunkedArray<TRelationRecord> records_;
  TRecordCursor cursor_;
  std::vector<Group> byPair_[kRelationLevels];
  std::vector<Group> byCount_[kRelationLevels];
  size_t kindCursor_[kRelationLevels] = {};
  uint32_t sortedCount_[kRelationLevels] = {};
  TRelationWindow window_;
};

// Every proposition's window of items with two values.
class TPropositionWindowList {
 public:
  TPropositionWindowList() { Clear(); }
  TPropositionWindowList(const TPropositionWindowList&) = delete;
  TPropositionWindowList& operator=(const TPropositionWindowList&) = delete;

  void Clear();
  // Keeps the window's rows up to the last non-empty one; a caller that
  // knows the rows from some row on to be empty says so in rows. False
  // (message 0 shown, the list unchanged) when memory is short.
  bool Append(const TRelationWindow& window, uint32_t value1, uint32_t value2, int rows = kRelationRows);
  size_t Count() const { return records_.Size(); }
  void Rewind() { cursor_.at = 0; }
  bool AtStart() const { return cursor_.at == 0; }
  bool AtEnd() const { return cursor_.at >= records_.Size(); }
  // At the end, or on the record bookmarked in slot.
  bool AtEndOrBookmark(int slot) const { return AtEnd() || cursor_.at == cursor_.Bookmark(slot); }
  void SaveCursor(int slot) { cursor_.Save(slot); }
  void RestoreCursor(int slot) { cursor_.Restore(slot, records_.Size()); }
  void BackupBookmarks() { cursor_.Backup(); }
  void RestoreBookmarks() { cursor_.RestoreBackup(); }

  // The record under the cursor (its window rebuilt in the list's own copy),
  // the cursor moving on; False at the end.
  bool Next(const TRelationWindow*& window, uint32_t& value1, uint32_t& value2);
  // Record i (below Count()) read in place: its first value and the item of
  // a row (0..20) and level (1..4), 0 where the window is empty.
  uint32_t Value1(size_t i) const { return records_[i].value1; }
  uint32_t Cell(size_t i, int row, int level) const {
    const Record& r = records_[i];
    if (row < 0 || static_cast<uint32_t>(row) >= r.rows || level < 1 || level > kRelationLevels) return 0;
    return rows_[r.firstItem + static_cast<uint32_t>(row)].cls[level - 1];
  }
  // Moves back one record and gives it; False (cursor kept) at the first.
  bool Previous(const TRelationWindow*& window, uint32_t& value1, uint32_t& value2);

 private:
  friend bool JoinStores(TPropositionWindowList&, TRelationStore&, const std::vector<TStoresPart>&);
  struct Record {
    uint32_t firstItem;  // index of its first row in items_
    uint32_t value1;
    uint32_t value2;
    uint32_t rows;
  };
  struct Row {
    uint32_t cls[kRelationLevels];
  };
  void Give(size_t i, const TRelationWindow*& window, uint32_t& value1, uint32_t& value2);

  TChunkedArray<Record> records_;
  TChunkedArray<Row> rows_;
  TRecordCursor cursor_;
  TRelationWindow window_;
};

}  // namespace quilor
