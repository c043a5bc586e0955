#include "core/relation_store.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <utility>

#include "core/messages.h"
#include "core/worker_threads.h"
#include "platform/usable_cores.h"

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
      const uint32_t v = window.cells[row * kRelationLevels + k - 1];
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
  return Keep(r, position, byteB, byteA, value);
}

bool TRelationStore::AddPair(const TRelationWindow& items, int a, int b, uint32_t position, uint8_t byteB,
                             uint8_t byteA, uint32_t value) {
  TRelationRecord r{};
  for (int k = 1; k <= kRelationLevels; ++k) {
    // Two rows: a pair only where both have a value.
    const uint32_t first = items.At(a, k), second = items.At(b, k);
    if (first && second) {
      r.first[k - 1] = first;
      r.second[k - 1] = second;
    }
  }
  return Keep(r, position, byteB, byteA, value);
}

bool TRelationStore::Keep(TRelationRecord& r, uint32_t position, uint8_t byteB, uint8_t byteA, uint32_t value) {
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

bool TRelationStore::Previous(const TRelationWindow*& window, uint32_t& position, uint8_t& byteB, uint32_t& value) {
  if (AtStart()) return false;
  const TRelationRecord& r = records_[--cursor_.at];
  window = WindowOf(r);
  position = r.position;
  byteB = r.byteB;
  value = r.value;
  return true;
}

void TRelationStore::CollectGroups(int level, std::vector<Group>& groups, uint32_t& sorted, unsigned part,
                                   unsigned parts) const {
  const int k = level - 1;
  // A part takes the pairs whose key falls to it: 32 bits of a hash that
  // the table's slots do not use, scaled to the parts by a product (every
  // task reads every record: a division each would cost more than the
  // grouping of its own pairs).
  auto ofThisPart = [part, parts](uint64_t key) {
    const uint64_t hash = static_cast<uint32_t>((key * 0xC2B2AE3D27D4EB4Full) >> 24);
    return parts <= 1 || ((hash * parts) >> 32) == part;
  };
  // Equal pairs make one group, counted on its first record: the groups are
  // found with a hash table of the pairs seen (key second x 2^32 + first,
  // never 0 since a pair has a second), in the order of their first records.
  // A pair's count stays in its slot until the end: a repeated pair touches
  // no other memory.
  struct Slot {
    uint64_t key;
    uint32_t group;
    uint32_t count;
  };
  sorted = 0;
  groups.clear();
  // A slot's home is the top bits of the key's product: every bit of both
  // classes moves it (the low bits of a product depend on the first class
  // alone: the pairs of one first class would fill runs of slots).
  int bits = 12;
  std::vector<Slot> table(size_t{1} << bits);
  auto home = [](uint64_t key, int b) { return static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - b)); };
  auto place = [&home](std::vector<Slot>& t, int b, uint64_t key) -> Slot& {
    const size_t m = t.size() - 1;
    size_t h = home(key, b);
    while (t[h].key && t[h].key != key) h = (h + 1) & m;
    return t[h];
  };
  auto keyOf = [k](const TRelationRecord& r) { return (uint64_t{r.second[k]} << 32) | r.first[k]; };
  // The table outgrows the caches: the slot of a record some way ahead is
  // asked for while this one is placed. Each record is read once, when it
  // is that far ahead: its key (0 without a pair or in another part) waits
  // in a ring.
  constexpr size_t kAhead = 16;
  const size_t count = records_.Size();
  uint64_t ahead[kAhead] = {};
  auto readAhead = [&](size_t i) {
    const TRelationRecord& r = records_[i];
    uint64_t key = r.second[k] ? keyOf(r) : 0;
    if (key && !ofThisPart(key)) key = 0;
    if (key) __builtin_prefetch(&table[home(key, bits)]);
    ahead[i % kAhead] = key;
  };
  for (size_t i = 0; i < kAhead && i < count; ++i) readAhead(i);
  for (size_t i = 0; i < count; ++i) {
    const uint64_t key = ahead[i % kAhead];
    if (i + kAhead < count) readAhead(i + kAhead);
    if (!key) continue;
    ++sorted;
    Slot& slot = place(table, bits, key);
    if (slot.key) {
      ++slot.count;
      continue;
    }
    slot = {key, static_cast<uint32_t>(groups.size()), 1};
    groups.push_back({static_cast<uint32_t>(key), static_cast<uint32_t>(key >> 32), static_cast<uint32_t>(i), 1});
    if (groups.size() * 2 > table.size()) {
      std::vector<Slot> bigger(table.size() * 2);
      for (const Slot& old : table)
        if (old.key) place(bigger, bits + 1, old.key) = old;
      table.swap(bigger);
      ++bits;
    }
  }
  for (const Slot& s : table)
    if (s.key) groups[s.group].count = s.count;
}

bool TRelationStore::GroupPairs(int level) {
  const int k = level - 1;
  std::vector<Group>& groups = byPair_[k];
  groups = {};
  byCount_[k] = {};
  kindCursor_[k] = 0;
  sortedCount_[k] = 0;
  uint32_t sorted = 0;
  try {
    CollectGroups(level, groups, sorted);
    std::sort(groups.begin(), groups.end(), [](const Group& a, const Group& b) { return a.Key() < b.Key(); });
  } catch (const std::bad_alloc&) {
    groups = {};
    return false;
  }
  sortedCount_[k] = sorted;
  return true;
}

void TRelationStore::PlaceByCount(const std::vector<Group>& groups, std::vector<Group>& list) {
  // The groups come in the order of their first records: placed by count,
  // highest first, each count keeping that order, they are in the order
  // OrderByCount gives (count, then first record) without a sort.
  uint32_t highest = 0;
  for (const Group& g : groups) highest = std::max(highest, g.count);
  std::vector<uint32_t> start(size_t{highest} + 2, 0);
  for (const Group& g : groups) ++start[highest - g.count + 1];
  for (size_t c = 1; c < start.size(); ++c) start[c] += start[c - 1];
  list.resize(groups.size());
  for (const Group& g : groups) list[start[highest - g.count]++] = g;
}

bool TRelationStore::SortPairs(int level, const RelationProgress& progress) {
  if (!ValidLevel(level)) return false;
  if (!GroupPairs(level)) {
    ReportMemoryLow(true);
    return false;
  }
  return !progress || progress();
}

bool TRelationStore::OrderByCount(int level) {
  const int k = level - 1;
  std::vector<Group>& list = byCount_[k];
  kindCursor_[k] = 0;
  // The groups by pair are not kept: they become the list by count.
  list = std::move(byPair_[k]);
  std::sort(list.begin(), list.end(), [](const Group& a, const Group& b) {
    return a.count > b.count || (a.count == b.count && a.record < b.record);
  });
  byPair_[k] = {};
  return true;
}

bool TRelationStore::SortByCount(int level) {
  if (!ValidLevel(level)) return false;
  if (!OrderByCount(level)) {
    ReportMemoryLow(true);
    return false;
  }
  return true;
}

std::vector<TRelationStore::Group> TRelationStore::MergeByFirstRecord(std::vector<std::vector<Group>>& lists) {
  // Neighbours are merged two by two until one list is left: each group is
  // copied once per round, about log2(lists) times.
  while (lists.size() > 1) {
    std::vector<std::vector<Group>> merged((lists.size() + 1) / 2);
    for (size_t i = 0; i < lists.size(); i += 2) {
      std::vector<Group>& into = merged[i / 2];
      if (i + 1 == lists.size()) {
        into.swap(lists[i]);
        continue;
      }
      into.resize(lists[i].size() + lists[i + 1].size());
      std::merge(lists[i].begin(), lists[i].end(), lists[i + 1].begin(), lists[i + 1].end(), into.begin(),
                 [](const Group& a, const Group& b) { return a.record < b.record; });
      std::vector<Group>().swap(lists[i]);
      std::vector<Group>().swap(lists[i + 1]);
    }
    lists.swap(merged);
  }
  std::vector<Group> all;
  if (!lists.empty()) all.swap(lists[0]);
  return all;
}

bool TRelationStore::SortAllLevels(unsigned parts) {
  // The levels share nothing but the records, which they only read. The
  // two levels with the most pairs are grouped in parts at once, each part
  // its own pairs; the part of a level that ends last merges the level's
  // groups in the order of their first records and orders them by count,
  // while the other levels' parts go on.
  if (parts == 0) parts = std::clamp(UsableCores() / 2, 1u, 4u);
  struct Task {
    int level;
    unsigned part, parts;
    std::vector<Group> groups;
    uint32_t sorted = 0;
    bool ok = false;
  };
  std::vector<Task> tasks;
  std::atomic<unsigned> partsLeft[kRelationLevels];
  for (int level = 1; level <= kRelationLevels; ++level) {
    const unsigned n = level == 1 ? parts : level == 2 ? (parts + 1) / 2 : 1;
    partsLeft[level - 1].store(n, std::memory_order_relaxed);
    for (unsigned part = 0; part < n; ++part) tasks.push_back({level, part, n, {}});
  }
  bool ok[kRelationLevels] = {};
  auto finishLevel = [this, &tasks, &ok](int level) {
    const size_t k = static_cast<size_t>(level - 1);
    std::vector<Group>& list = byCount_[k];
    byPair_[k] = {};
    list = {};
    kindCursor_[k] = 0;
    sortedCount_[k] = 0;
    uint32_t sorted = 0;
    bool partsOk = true;
    try {
      std::vector<std::vector<Group>> lists;
      for (Task& task : tasks) {
        if (task.level != level) continue;
        partsOk = partsOk && task.ok;
        sorted += task.sorted;
        lists.push_back(std::move(task.groups));
      }
      if (partsOk) PlaceByCount(MergeByFirstRecord(lists), list);
    } catch (const std::bad_alloc&) {
      partsOk = false;
    }
    if (!partsOk) {
      list = {};
      return;
    }
    sortedCount_[k] = sorted;
    ok[k] = true;
  };
  RunInParallel(tasks.size(), "relation sorting", [this, &tasks, &partsLeft, &finishLevel](size_t t) {
    Task& task = tasks[t];
    try {
      CollectGroups(task.level, task.groups, task.sorted, task.part, task.parts);
      task.ok = true;
    } catch (const std::bad_alloc&) {
      task.groups = {};
    }
    // The last part of its level sees the groups of the others.
    if (partsLeft[task.level - 1].fetch_sub(1, std::memory_order_acq_rel) == 1) finishLevel(task.level);
  });
  for (bool b : ok)
    if (!b) {
      for (auto& list : byCount_) list = {};
      ReportMemoryLow(true);
      return false;
    }
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
  // The group holds its pair: the records are not read.
  const Group& g = byCount_[level - 1][rank];
  first = g.first;
  second = g.second;
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

bool TPropositionWindowList::Append(const TRelationWindow& window, uint32_t value1, uint32_t value2, int rows) {
  int used = std::clamp(rows, 0, kRelationRows);
  auto empty = [&window](int row) {
    const uint32_t* c = &window.cells[row * kRelationLevels];
    return (c[0] | c[1] | c[2] | c[3]) == 0;
  };
  static_assert(kRelationLevels == 4, "a row is four cells");
  while (used > 0 && empty(used - 1)) --used;
  const size_t start = rows_.Size();
  if (start + static_cast<size_t>(used) > UINT32_MAX) {
    ReportMemoryLow(true);
    return false;
  }
  for (int row = 0; row < used; ++row) {
    Row r;
    for (int k = 0; k < kRelationLevels; ++k) r.cls[k] = window.cells[row * kRelationLevels + k];
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
    for (int k = 1; k <= kRelationLevels; ++k)
      window_.Set(static_cast<int>(row), k, rows_[r.firstItem + row].cls[k - 1]);
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

// ---------------------------------------------------------------------------
// Stores filled apart

bool JoinStores(TPropositionWindowList& windows, TRelationStore& relations, const std::vector<TStoresPart>& parts) {
  // Where each part's rows, windows and records go.
  struct Place {
    size_t row, window, record;
  };
  std::vector<Place> places(parts.size());
  Place end{0, 0, 0};
  for (size_t k = 0; k < parts.size(); ++k) {
    places[k] = end;
    end.row += parts[k].windows->rows_.Size();
    end.window += parts[k].windows->records_.Size();
    end.record += parts[k].relations->records_.Size();
  }
  const Place before{windows.rows_.Size(), windows.records_.Size(), relations.records_.Size()};
  Place first{};
  const bool ok = before.row + end.row <= UINT32_MAX && windows.rows_.Extend(end.row, first.row) &&
                  windows.records_.Extend(end.window, first.window) &&
                  relations.records_.Extend(end.record, first.record);
  if (!ok) {
    windows.rows_.Truncate(before.row);
    windows.records_.Truncate(before.window);
    relations.records_.Truncate(before.record);
  } else {
    RunInParallel(parts.size(), "joining records", [&](size_t k) {
      const Place& at = places[k];
      const uint32_t rowsBefore = static_cast<uint32_t>(first.row + at.row);
      windows.rows_.MoveInto(first.row + at.row, parts[k].windows->rows_, [](TPropositionWindowList::Row&) {});
      windows.records_.MoveInto(first.window + at.window, parts[k].windows->records_,
                                [rowsBefore](TPropositionWindowList::Record& r) { r.firstItem += rowsBefore; });
      relations.records_.MoveInto(first.record + at.record, parts[k].relations->records_, [](TRelationRecord&) {});
    });
  }
  for (const TStoresPart& part : parts) {
    part.windows->Clear();
    part.relations->Clear();
  }
  return !ReportMemoryLow(!ok);
}

}  // namespace quilor
