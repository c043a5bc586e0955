#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/relation_store.h"
#include "platform/message_ui.h"

namespace quilor {
namespace {

// A window with the given values of one level at rows 0, 1, ...
TRelationWindow Column(int level, std::initializer_list<uint32_t> values) {
  TRelationWindow w;
  int row = 0;
  for (uint32_t v : values) w.Set(row++, level, v);
  return w;
}

std::vector<std::pair<std::pair<uint32_t, uint32_t>, uint32_t>> Listed(TRelationStore& s, int level) {
  std::vector<std::pair<std::pair<uint32_t, uint32_t>, uint32_t>> out;
  uint32_t first, second, count;
  for (size_t i = 0; s.KindEntry(level, i, first, second, count); ++i) out.push_back({{first, second}, count});
  return out;
}

TEST(RelationStoreTest, PairsAreTheFirstTwoValuesOfEachColumnInRowOrder) {
  TRelationStore s;
  TRelationWindow w;
  w.Set(3, 1, 7);
  w.Set(5, 1, 9);
  w.Set(8, 1, 11);  // beyond the pair
  w.Set(20, 2, 4);  // a single value gives no pair
  w.Set(0, 3, 2);
  w.Set(20, 3, 6);  // the last row still counts
  ASSERT_TRUE(s.Add(w, 12, 1, 0, 99));
  const TRelationRecord* r = s.Record(0);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->first[0], 7u);
  EXPECT_EQ(r->second[0], 9u);
  EXPECT_EQ(r->first[1], 0u);
  EXPECT_EQ(r->second[1], 0u);
  EXPECT_EQ(r->first[2], 2u);
  EXPECT_EQ(r->second[2], 6u);
  EXPECT_EQ(r->first[3], 0u);
  EXPECT_EQ(s.Record(1), nullptr);

  // The window given out holds the firsts in row 0 and the seconds in row 1.
  const TRelationWindow* out = nullptr;
  uint32_t position = 0, value = 0;
  uint8_t byteB = 9;
  ASSERT_TRUE(s.Next(out, position, byteB, value));
  EXPECT_EQ(position, 12u);
  EXPECT_EQ(value, 99u);
  EXPECT_EQ(byteB, 1);
  EXPECT_EQ(out->At(0, 1), 7u);
  EXPECT_EQ(out->At(1, 1), 9u);
  EXPECT_EQ(out->At(2, 1), 0u);
  EXPECT_EQ(out->At(1, 3), 6u);
  EXPECT_FALSE(s.Next(out, position, byteB, value));
}

// The pair of two rows of a window is the record of a window holding those
// two rows alone, whichever levels are empty in either.
TEST(RelationStoreTest, APairOfRowsGivesTheRecordOfTheWindowOfThoseRows) {
  TRelationWindow items;
  const uint32_t values[5][4] = {{1, 2, 0, 4}, {5, 0, 0, 8}, {0, 10, 11, 12}, {13, 14, 15, 0}, {0, 0, 0, 0}};
  for (int row = 0; row < 5; ++row)
    for (int level = 1; level <= 4; ++level) items.Set(row, level, values[row][level - 1]);
  items.Set(19, 1, 21);
  items.Set(19, 3, 23);
  const std::pair<int, int> pairs[] = {{0, 1}, {0, 2}, {1, 3}, {2, 3}, {3, 4}, {0, 19}, {2, 19}};
  for (const auto& [a, b] : pairs) {
    SCOPED_TRACE(std::to_string(a) + "-" + std::to_string(b));
    TRelationWindow alone;
    for (int level = 1; level <= 4; ++level) {
      alone.Set(a, level, items.At(a, level));
      alone.Set(b, level, items.At(b, level));
    }
    TRelationStore expected, pair;
    ASSERT_TRUE(expected.Add(alone, 7, 1, 1, 30));
    ASSERT_TRUE(pair.AddPair(items, a, b, 7, 1, 1, 30));
    const TRelationRecord& e = *expected.Record(0);
    const TRelationRecord& g = *pair.Record(0);
    for (int k = 0; k < kRelationLevels; ++k) {
      EXPECT_EQ(g.first[k], e.first[k]) << k;
      EXPECT_EQ(g.second[k], e.second[k]) << k;
    }
    EXPECT_EQ(std::tie(g.position, g.value, g.byteA, g.byteB), std::tie(e.position, e.value, e.byteA, e.byteB));
  }
}

TEST(RelationStoreTest, CursorWalksBothWaysAndBookmarksAreChecked) {
  TRelationStore s;
  for (uint32_t i = 1; i <= 3; ++i) ASSERT_TRUE(s.Add(Column(1, {i, i + 1}), i, 0, 0, i * 10));
  const TRelationWindow* w = nullptr;
  uint32_t position = 0, value = 0;
  uint8_t b = 0;
  EXPECT_TRUE(s.AtStart());
  EXPECT_FALSE(s.Previous(w, position, b, value));  // on the first record: nothing, cursor kept
  EXPECT_TRUE(s.AtStart());
  ASSERT_TRUE(s.Next(w, position, b, value));
  s.SaveCursor(3);
  ASSERT_TRUE(s.Next(w, position, b, value));
  ASSERT_TRUE(s.Next(w, position, b, value));
  EXPECT_TRUE(s.AtEnd());
  ASSERT_TRUE(s.Previous(w, position, b, value));
  EXPECT_EQ(position, 3u);
  s.RestoreCursor(3);
  ASSERT_TRUE(s.Next(w, position, b, value));
  EXPECT_EQ(position, 2u);
  // Slots outside 1..8 are ignored rather than written past the table.
  s.SaveCursor(0);
  s.SaveCursor(9);
  s.RestoreCursor(-1);
  s.RestoreCursor(9);
  EXPECT_EQ(s.CursorIndex(), 2u);
  s.BackupBookmarks();
  s.Rewind();
  s.SaveCursor(3);
  s.RestoreBookmarks();
  s.RestoreCursor(3);
  EXPECT_EQ(s.CursorIndex(), 1u);
  // A bookmark saved before a clear cannot point past the records.
  s.SaveCursor(4);
  s.Clear();
  s.RestoreCursor(4);
  EXPECT_TRUE(s.AtEnd());
  EXPECT_EQ(s.Count(), 0u);
}

TEST(RelationStoreTest, EqualPairsMergeIntoOneCountedEntryPerLevel) {
  TRelationStore s;
  // Three records share pair (5, 6) at level 2; their level-1 pairs differ.
  for (uint32_t i = 0; i < 3; ++i) {
    TRelationWindow w = Column(2, {5, 6});
    w.Set(0, 1, 10 + i);
    w.Set(1, 1, 20);
    ASSERT_TRUE(s.Add(w, i, 0, static_cast<uint8_t>(i + 1), 0));
  }
  ASSERT_TRUE(s.Add(Column(2, {6, 5}), 3, 0, 0, 0));  // the reversed pair is another relation
  ASSERT_TRUE(s.Add(Column(2, {5}), 4, 0, 0, 0));     // no pair
  for (int level = 1; level <= 4; ++level) {
    ASSERT_TRUE(s.SortPairs(level));
    ASSERT_TRUE(s.SortByCount(level));
  }
  auto level2 = Listed(s, 2);
  ASSERT_EQ(level2.size(), 2u);
  EXPECT_EQ(level2[0], std::make_pair(std::make_pair(5u, 6u), 3u));
  EXPECT_EQ(level2[1], std::make_pair(std::make_pair(6u, 5u), 1u));
  EXPECT_EQ(s.SortedCount(2), 4u);
  EXPECT_EQ(Listed(s, 1).size(), 3u);  // level 1 kept its three pairs apart
  EXPECT_TRUE(Listed(s, 3).empty());

  // The kind walk gives each group once with its first record's byte A.
  s.RewindKind(2);
  uint32_t count = 0, position = 0;
  uint8_t a = 0;
  const TRelationWindow* w = nullptr;
  ASSERT_TRUE(s.NextOfKind(2, count, a, position, w));
  EXPECT_EQ(count, 3u);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(position, 0u);
  EXPECT_EQ(w->At(0, 2), 5u);
  ASSERT_TRUE(s.NextOfKind(2, count, a, position, w));
  EXPECT_TRUE(s.KindAtEnd(2));
  EXPECT_FALSE(s.NextOfKind(2, count, a, position, w));
  EXPECT_FALSE(s.NextOfKind(0, count, a, position, w));
  EXPECT_FALSE(s.NextOfKind(5, count, a, position, w));
  uint32_t f, sc, c;
  EXPECT_FALSE(s.KindEntry(2, 2, f, sc, c));
  EXPECT_FALSE(s.KindEntry(9, 0, f, sc, c));
  EXPECT_FALSE(s.SortPairs(0));
  EXPECT_FALSE(s.SortByCount(5));
}

// Relations of equal count are listed in the order they were first met,
// whatever their classes; a larger count still goes first.
TEST(RelationStoreTest, TiesAreListedInTheOrderFirstMet) {
  TRelationStore s;
  const std::pair<uint32_t, uint32_t> met[] = {{9, 1}, {2, 3}, {7, 7}, {2, 3}, {5, 4}, {1, 8}};
  uint32_t position = 0;
  for (const auto& [a, b] : met) ASSERT_TRUE(s.Add(Column(2, {a, b}), position++, 0, 0, 0));
  ASSERT_TRUE(s.SortPairs(2));
  ASSERT_TRUE(s.SortByCount(2));
  using Entry = std::pair<std::pair<uint32_t, uint32_t>, uint32_t>;
  const std::vector<Entry> expected = {{{2, 3}, 2}, {{9, 1}, 1}, {{7, 7}, 1}, {{5, 4}, 1}, {{1, 8}, 1}};
  EXPECT_EQ(Listed(s, 2), expected);
}

TEST(RelationStoreTest, SortingAgainCountsOnceAndAStopStillLeavesTheGroupsWhole) {
  TRelationStore s;
  std::map<std::pair<uint32_t, uint32_t>, uint32_t> expected;
  uint32_t seed = 12345;
  for (int i = 0; i < 5000; ++i) {
    seed = seed * 1103515245u + 12345u;
    uint32_t a = 1 + (seed >> 16) % 17, b = 1 + (seed >> 8) % 13;
    ASSERT_TRUE(s.Add(Column(1, {a, b}), static_cast<uint32_t>(i), 0, 0, 0));
    ++expected[{a, b}];
  }
  auto check = [&] {
    auto listed = Listed(s, 1);
    ASSERT_EQ(listed.size(), expected.size());
    for (size_t i = 0; i < listed.size(); ++i) {
      EXPECT_EQ(listed[i].second, expected[listed[i].first]);
      if (i) {
        EXPECT_GE(listed[i - 1].second, listed[i].second);
      }
    }
  };
  ASSERT_TRUE(s.SortPairs(1));
  ASSERT_TRUE(s.SortByCount(1));
  check();
  ASSERT_TRUE(s.SortPairs(1));  // a second sort starts over
  ASSERT_TRUE(s.SortByCount(1));
  check();
  // A stop asked during the sort: the answer says so, the groups are complete.
  int asked = 0;
  EXPECT_FALSE(s.SortPairs(1, [&] { return ++asked, false; }));
  EXPECT_EQ(asked, 1);
  ASSERT_TRUE(s.SortByCount(1));
  check();
}

TEST(RelationStoreThreads, AllLevelsAtOnceGiveWhatEachLevelGivesAlone) {
  // Many records whose pairs repeat with different frequencies on each level.
  TRelationStore together, alone;
  uint32_t seed = 7;
  for (int i = 0; i < 20000; ++i) {
    TRelationWindow w;
    for (int level = 1; level <= kRelationLevels; ++level) {
      seed = seed * 1103515245u + 12345u;
      w.Set(0, level, 1 + (seed >> 16) % (5 * static_cast<uint32_t>(level)));
      seed = seed * 1103515245u + 12345u;
      if ((seed >> 16) % 7) w.Set(2, level, 1 + (seed >> 16) % 9);
    }
    ASSERT_TRUE(together.Add(w, static_cast<uint32_t>(i), 0, 0, 0));
    ASSERT_TRUE(alone.Add(w, static_cast<uint32_t>(i), 0, 0, 0));
  }
  for (int level = 1; level <= kRelationLevels; ++level) {
    ASSERT_TRUE(alone.SortPairs(level));
    ASSERT_TRUE(alone.SortByCount(level));
  }
  // The first two levels grouped in any number of parts (an odd number of
  // lists to merge too), merged again.
  for (unsigned parts : {0u, 1u, 2u, 3u, 5u, 7u, 16u}) {
    ASSERT_TRUE(together.SortAllLevels(parts));
    for (int level = 1; level <= kRelationLevels; ++level) {
      ASSERT_EQ(together.KindCount(level), alone.KindCount(level)) << level;
      EXPECT_EQ(together.SortedCount(level), alone.SortedCount(level));
      for (size_t rank = 0; rank < alone.KindCount(level); ++rank) {
        uint32_t f1, s1, c1, f2, s2, c2;
        ASSERT_TRUE(together.KindEntry(level, rank, f1, s1, c1));
        ASSERT_TRUE(alone.KindEntry(level, rank, f2, s2, c2));
        EXPECT_EQ(std::make_tuple(f1, s1, c1), std::make_tuple(f2, s2, c2)) << parts << " " << level << " " << rank;
      }
    }
  }
}

// More parts than pairs leaves parts empty; the few groups still come in
// the order of their counts, ties in the order first met, on every level.
TEST(RelationStoreThreads, MorePartsThanPairsAndNoRecordsAtAll) {
  TRelationStore empty;
  ASSERT_TRUE(empty.SortAllLevels(6));
  for (int level = 1; level <= kRelationLevels; ++level) {
    EXPECT_EQ(empty.KindCount(level), 0u);
    EXPECT_EQ(empty.SortedCount(level), 0u);
  }
  TRelationStore s;
  const std::pair<uint32_t, uint32_t> met[] = {{9, 1}, {2, 3}, {7, 7}, {2, 3}};
  uint32_t position = 0;
  for (const auto& [a, b] : met) {
    TRelationWindow w = Column(1, {a, b});
    w.Set(0, 2, b);
    w.Set(1, 2, a);
    ASSERT_TRUE(s.Add(w, position++, 0, 0, 0));
  }
  using Entry = std::pair<std::pair<uint32_t, uint32_t>, uint32_t>;
  for (unsigned parts : {1u, 2u, 3u, 4u, 9u}) {
    ASSERT_TRUE(s.SortAllLevels(parts));
    EXPECT_EQ(Listed(s, 1), (std::vector<Entry>{{{2, 3}, 2}, {{9, 1}, 1}, {{7, 7}, 1}})) << parts;
    EXPECT_EQ(Listed(s, 2), (std::vector<Entry>{{{3, 2}, 2}, {{1, 9}, 1}, {{7, 7}, 1}})) << parts;
    EXPECT_EQ(s.SortedCount(1), 4u);
    EXPECT_TRUE(Listed(s, 3).empty());
  }
}

TEST(PropositionWindowListTest, WindowsComeBackWholeInBothDirections) {
  TPropositionWindowList list;
  TRelationWindow full;
  for (int row = 0; row < kRelationRows; ++row)
    for (int l = 1; l <= 4; ++l) full.Set(row, l, static_cast<uint32_t>(row * 10 + l));
  TRelationWindow sparse;
  sparse.Set(4, 3, 77);  // empty rows before the last used one are kept
  TRelationWindow empty;
  ASSERT_TRUE(list.Append(full, 1, 2));
  ASSERT_TRUE(list.Append(sparse, 3, 4));
  ASSERT_TRUE(list.Append(empty, 5, 6));
  EXPECT_EQ(list.Count(), 3u);
  const TRelationWindow* w = nullptr;
  uint32_t v1 = 0, v2 = 0;
  EXPECT_FALSE(list.Previous(w, v1, v2));
  ASSERT_TRUE(list.Next(w, v1, v2));
  EXPECT_EQ(std::vector<uint32_t>(std::begin(w->cells), std::end(w->cells)),
            std::vector<uint32_t>(std::begin(full.cells), std::end(full.cells)));
  EXPECT_EQ(v2, 2u);
  list.SaveCursor(5);
  ASSERT_TRUE(list.Next(w, v1, v2));
  EXPECT_EQ(w->At(4, 3), 77u);
  EXPECT_EQ(w->At(0, 1), 0u);
  EXPECT_EQ(v1, 3u);
  ASSERT_TRUE(list.Next(w, v1, v2));
  EXPECT_EQ(w->At(0, 1), 0u);
  EXPECT_TRUE(list.AtEnd());
  ASSERT_TRUE(list.Previous(w, v1, v2));
  EXPECT_EQ(v1, 5u);
  list.RestoreCursor(5);
  EXPECT_TRUE(list.AtEndOrBookmark(5));
  ASSERT_TRUE(list.Previous(w, v1, v2));
  EXPECT_EQ(v1, 1u);
  EXPECT_EQ(w->At(20, 4), 204u);
  EXPECT_FALSE(list.AtEndOrBookmark(5));
  // Reads outside the window give 0, writes there change nothing.
  TRelationWindow probe;
  probe.Set(21, 1, 5);
  probe.Set(0, 5, 5);
  probe.Set(-1, 1, 5);
  EXPECT_EQ(probe.At(21, 1), 0u);
  EXPECT_EQ(probe.At(0, 0), 0u);
  for (uint32_t c : probe.cells) EXPECT_EQ(c, 0u);
}

// A caller that knows where the used rows end says so: the window comes back
// the same as without the hint, its last row included, and a hint past the
// window's rows reads no further than them.
TEST(PropositionWindowListTest, RowsHintKeepsTheLastUsedRow) {
  TPropositionWindowList list;
  TRelationWindow sparse;
  sparse.Set(0, 1, 11);
  sparse.Set(4, 3, 77);  // rows 5.. are empty, row 4 is the last used
  TRelationWindow full;
  for (int l = 1; l <= 4; ++l) full.Set(kRelationRows - 1, l, static_cast<uint32_t>(l));
  ASSERT_TRUE(list.Append(sparse, 1, 0, 5));
  ASSERT_TRUE(list.Append(sparse, 2, 0, 7));  // a hint past the last used row
  ASSERT_TRUE(list.Append(full, 3, 0, 99));
  const TRelationWindow* w = nullptr;
  uint32_t v1 = 0, v2 = 0;
  for (uint32_t expected : {1u, 2u}) {
    ASSERT_TRUE(list.Next(w, v1, v2));
    EXPECT_EQ(v1, expected);
    EXPECT_EQ(std::vector<uint32_t>(std::begin(w->cells), std::end(w->cells)),
              std::vector<uint32_t>(std::begin(sparse.cells), std::end(sparse.cells)));
  }
  ASSERT_TRUE(list.Next(w, v1, v2));
  EXPECT_EQ(w->At(kRelationRows - 1, 4), 4u);
}

// Stores filled apart (a text collected in parts at once) are joined in
// order, each copied into its place on a thread of its own: stores that
// begin and end inside chunks of records or rows, an empty one among them,
// and each window keeps its own rows.
TEST(RelationStoreThreads, StoresFilledApartAreJoinedInParallelInTheirOrder) {
  auto window = [](uint32_t i) {
    TRelationWindow w;
    const int rows = 1 + static_cast<int>(i % 4);
    for (int row = 0; row < rows; ++row) w.Set(row, 1, i * 8 + static_cast<uint32_t>(row) + 1);
    w.Set(rows - 1, 3, i);
    return w;
  };
  // Past chunks of 8,192 records, ending inside them; one store empty.
  const std::vector<uint32_t> ends = {10001, 19500, 19500, 20000, 37000};
  std::vector<TRelationStore> records(ends.size());
  std::vector<TPropositionWindowList> windows(ends.size());
  for (uint32_t i = 0, k = 0; i < ends.back(); ++i) {
    while (i >= ends[k]) ++k;
    const TRelationWindow w = window(i);
    ASSERT_TRUE(records[k].AddPair(w, 0, 1, i, 1, 0, i + 1));
    ASSERT_TRUE(windows[k].Append(w, i, i + 1));
  }
  std::vector<TStoresPart> parts;
  for (size_t k = 1; k < ends.size(); ++k) parts.push_back({&windows[k], &records[k]});
  ASSERT_TRUE(JoinStores(windows[0], records[0], parts));
  for (size_t k = 1; k < ends.size(); ++k) {
    EXPECT_EQ(records[k].Count(), 0u);
    EXPECT_EQ(windows[k].Count(), 0u);
  }
  ASSERT_EQ(records[0].Count(), ends.back());
  ASSERT_EQ(windows[0].Count(), ends.back());
  const TRelationWindow* w = nullptr;
  uint32_t v1 = 0, v2 = 0;
  for (uint32_t i = 0; i < ends.back(); ++i) {
    const TRelationWindow expected = window(i);
    ASSERT_EQ(records[0].Record(i)->position, i);
    ASSERT_EQ(records[0].Record(i)->value, i + 1);
    ASSERT_EQ(records[0].Record(i)->first[0], expected.At(1, 1) ? expected.At(0, 1) : 0) << i;
    ASSERT_EQ(records[0].Record(i)->second[0], expected.At(1, 1)) << i;
    ASSERT_TRUE(windows[0].Next(w, v1, v2));
    ASSERT_EQ(v1, i);
    ASSERT_EQ(std::vector<uint32_t>(std::begin(w->cells), std::end(w->cells)),
              std::vector<uint32_t>(std::begin(expected.cells), std::end(expected.cells)))
        << i;
  }
}

}  // namespace
}  // namespace quilor
