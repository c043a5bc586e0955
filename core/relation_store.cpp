#include "core/relation_store.h"

#include <algorithm>

#include "core/messages.h"

namespace quilor {

namespace {

// A vector that may fail to grow: false (message 0 shown) instead of an exception.
template <typename V>
bool Reserve(V& v, size_t n) {
  try {
    v.reserve(n);
    return true;
  } catch (const std::bad_alloc&) {
    ReportMemoryLow(true);
    return false;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// TRelationStore

void TRelationStore::Clear() {
  records_.Clear();
  cursor_.Reset();
  for (int k = 0; k < kRelationLevels; ++k) {
    byPair_[k] = {};
    byCount_[k] = {};
    kindCursor_[k] = 0;
    sortedCount_[k] = 0;
  }
}

bool TRelationStore::Add(const TRelationWindow& window, uint32_t position, uint8_t byteB, uint8_t byteA,
                         uint32_t value) {
  TRelationRecord r{};
  for (int k = 1; k <= kRelationLevels; ++k) {
    uint32_t first = 0, second = 0;
    for (int row = 0; row < kRelationRows; ++row) {
      const uint32_t v = window.At(row, k);
      if (!v) continue;
      if (!first) {
        first = v;
      } else {
        second = v;
        break;
      }
    }
    if (!second) first = 0;
    r.first[k - 1] = first;
    r.second[k - 1] = second;
  }
  r.position = position;
  r.value = value;
  r.byteA = byteA;
  r.byteB = byteB;
  if (!records_.PushBack(r)) {
    ReportMemoryLow(true);
    return false;
  }
  return true;
}

const TRelationWindow* TRelationStore::WindowOf(const TRelationRecord& r) {
  window_.Clear();
  for (int k = 1; k <= kRelationLevels; ++k) {
    window_.Set(0, k, r.first[k - 1]);
    window_.Set(1, k, r.second[k - 1]);
  }
  return &window_;
}

bool TRelationStore::Next(const TRelationWindow*& window, uint32_t& position, uint8_t& byteB, uint32_t& value) {
  if (AtEnd()) return false;
  const TRelationRecord& r = records_[cursor_.at++];
  window = WindowOf(r);
  position = r.position;
  byteB = r.byteB;
  value = r.value;
  return true;
}

bool TRelationStore::Previous(const TRelationWindow*& window, uint32_t& position, uint8_t& byteB,
                              uint32_t& value) {
  if (AtStart()) return false;
  const TRelationRecord& r = records_[--cursor_.at];
  window = WindowOf(r);
  position = r.position;
  byteB = r.byteB;
  value = r.value;
  return true;
}

bool TRelationStore::SortPairs(int level, const RelationProgress& progress) {
  if (!ValidLevel(level)) return false;
  const int k = level - 1;
  std::vector<Group>& groups = byPair_[k];
  groups = {};
  byCount_[k] = {};
  kindCursor_[k] = 0;
  sortedCount_[k] = 0;

  // Records with a pair, keyed second x 2^32 + first.
  struct Keyed {
    uint64_t key;
    uint32_t record;
  };
  std::vector<Keyed> keyed;
  size_t n = 0;
  for (size_t i = 0; i < records_.Size(); ++i)
    if (records_[i].second[k]) ++n;
  if (!Reserve(keyed, n)) return false;
  for (size_t i = 0; i < records_.Size(); ++i) {
    const TRelationRecord& r = records_[i];
    if (r.second[k]) keyed.push_back({(uint64_t{r.second[k]} << 32) | r.first[k], static_cast<uint32_t>(i)});
  }
  std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
    return a.key < b.key || (a.key == b.key && a.record < b.record);
  });

  // Equal neighbours make one group, counted on its first record. The
  // groups are always complete before a stop is acted upon.
  size_t distinct = 0;
  for (size_t i = 0; i < keyed.size(); ++i)
    if (i == 0 || keyed[i].key != keyed[i - 1].key) ++distinct;
  if (!Reserve(groups, distinct)) return false;
  for (size_t i = 0; i < keyed.size(); ++i) {
    if (i == 0 || keyed[i].key != keyed[i - 1].key) groups.push_back({keyed[i].record, 1});
    else ++groups.back().count;
  }
  sortedCount_[k] = static_cast<uint32_t>(keyed.size());
  return !progress || progress();
}

bool TRelationStore::SortByCount(int level) {
  if (!ValidLevel(level)) return false;
  const int k = level - 1;
  std::vector<Group>& list = byCount_[k];
  list = {};
  kindCursor_[k] = 0;
  if (!Reserve(list, byPair_[k].size())) return false;
  list = byPair_[k];
  std::sort(list.begin(), list.end(), [](const Group& a, const Group& b) {
    return a.count > b.count || (a.count == b.count && a.record < b.record);
  });
  byPair_[k] = {};
  return true;
}

void TRelationStore::RewindKind(int level) {
  if (ValidLevel(level)) kindCursor_[level - 1] = 0;
}

bool TRelationStore::KindAtEnd(int level) const {
  return !ValidLevel(level) || kindCursor_[level - 1] >= byCount_[level - 1].size();
}

bool TRelationStore::NextOfKind(int level, uint32_t& count, uint8_t& byteA, uint32_t& position,
                                const TRelationWindow*& window) {
  if (KindAtEnd(level)) return false;
  const Group& g = byCount_[level - 1][kindCursor_[level - 1]++];
  const TRelationRecord& r = records_[g.record];
  count = g.count;
  byteA = r.byteA;
  position = r.position;
  window = WindowOf(r);
  return true;
}

bool TRelationStore::KindEntry(int level, size_t rank, uint32_t& first, uint32_t& second, uint32_t& count) const {
  first = second = count = 0;
  if (rank >= KindCount(level)) return false;
  const Group& g = byCount_[level - 1][rank];
  const TRelationRecord& r = records_[g.record];
  first = r.first[level - 1];
  second = r.second[level - 1];
  count = g.count;
  return true;
}

// ---------------------------------------------------------------------------
// TPropositionWindowList

void TPropositionWindowList::Clear() {
  records_.Clear();
  rows_.Clear();
  cursor_.Reset();
}

bool TPropositionWindowList::Append(const TRelationWindow& window, uint32_t value1, uint32_t value2) {
  int used = 0;
  for (int row = 0; row < kRelationRows; ++row)
    for (int k = 1; k <= kRelationLevels; ++k)
      if (window.At(row, k)) used = row + 1;
  const size_t start = rows_.Size();
  if (start + static_cast<size_t>(used) > UINT32_MAX) {
    ReportMemoryLow(true);
    return false;
  }
  for (int row = 0; row < used; ++row) {
    Row r;
    for (int k = 1; k <= kRelationLevels; ++k) r.cls[k - 1] = window.At(row, k);
    if (!rows_.PushBack(r)) {
      // The rows appended so far stay unreferenced.
      ReportMemoryLow(true);
      return false;
    }
  }
  if (!records_.PushBack({static_cast<uint32_t>(start), value1, value2, static_cast<uint32_t>(used)})) {
    ReportMemoryLow(true);
    return false;
  }
  return true;
}

void TPropositionWindowList::Give(size_t i, const TRelationWindow*& window, uint32_t& value1, uint32_t& value2) {
  const Record& r = records_[i];
  window_.Clear();
  for (uint32_t row = 0; row < r.rows; ++row)
    for (int k = 1; k <= kRelationLevels; ++k) window_.Set(static_cast<int>(row), k, rows_[r.firstItem + row].cls[k - 1]);
  window = &window_;
  value1 = r.value1;
  value2 = r.value2;
}

bool TPropositionWindowList::Next(const TRelationWindow*& window, uint32_t& value1, uint32_t& value2) {
  if (AtEnd()) return false;
  Give(cursor_.at++, window, value1, value2);
  return true;
}

bool TPropositionWindowList::Previous(const TRelationWindow*& window, uint32_t& value1, uint32_t& value2) {
  if (AtStart()) return false;
  Give(--cursor_.at, window, value1, value2);
  return true;
}

}  // namespace quilor
