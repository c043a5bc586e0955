#include <gtest/gtest.h>

#include <cstring>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/chartables.h"
#include "core/pools.h"
#include "core/trie.h"

namespace quilor {
namespace {

// Random keys over a small alphabet (many shared prefixes) with some
// capitals and high bytes; lengths 1..79.
std::vector<std::string> RandomKeys(size_t count, uint32_t seed, bool withCapitals) {
  std::mt19937 rng(seed);
  const std::string alphabet = withCapitals ? "abcdeABCDE_\xe9\xc9z" : "abcde_\xe9z";
  std::vector<std::string> keys;
  keys.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    size_t length = 1 + rng() % (rng() % 8 == 0 ? 79 : 10);
    std::string k;
    for (size_t j = 0; j < length; ++j) k += alphabet[rng() % alphabet.size()];
    keys.push_back(k);
    if (rng() % 5 == 0) keys.push_back(k);  // duplicates
  }
  return keys;
}

std::string Folded(std::string k) {
  LowerCaseString(k);
  return k;
}

// Inserts keys until the trie refuses one, mirroring accepted keys in a map
// (first value wins); then every key must agree with the map.
template <typename Trie, typename Insert, typename Find>
void AgreesWithMap(Trie& trie, const std::vector<std::string>& keys, bool fold, bool expectFull, Insert insert,
                   Find find) {
  std::map<std::string, uint32_t> model;
  uint32_t next = 1;
  size_t refused = 0, duplicates = 0;
  for (const auto& key : keys) {
    const uint32_t value = next;
    next = next % 30000 + 1;
    const std::string k = fold ? Folded(key) : key;
    const bool known = model.count(k) != 0;
    if (insert(trie, key, value)) {
      if (known) ++duplicates;
      else model.emplace(k, value);
    } else {
      ++refused;
      EXPECT_FALSE(known) << "a known key must never be refused";
    }
  }
  EXPECT_GT(duplicates, 0u);
  if (expectFull) EXPECT_GT(refused, 0u);
  else EXPECT_EQ(refused, 0u);
  for (const auto& key : keys) {
    const std::string k = fold ? Folded(key) : key;
    auto it = model.find(k);
    ASSERT_EQ(find(trie, key), it == model.end() ? 0u : it->second) << key;
  }
  // Prefixes of stored keys that were never inserted read 0.
  for (size_t i = 0; i < keys.size(); i += 97) {
    std::string p = keys[i].substr(0, keys[i].size() / 2);
    if (p.empty()) continue;
    auto it = model.find(fold ? Folded(p) : p);
    EXPECT_EQ(find(trie, p), it == model.end() ? 0u : it->second);
  }
}

TEST(Trie, EveryLayoutAgreesWithAMapOnRandomKeys) {
  const auto keys = RandomKeys(200000, 7, true);
  {
    TDictionaryTrie t(3000000, 0);
    AgreesWithMap(
        t, keys, true, false,
        [](auto& t, const std::string& k, uint32_t v) { return t.DictionaryTrieInsert(k.c_str(), v); },
        [](auto& t, const std::string& k) { return uint32_t(t.DictionaryTrieLookup(k.c_str())); });
    EXPECT_GT(t.state.duplicates, 0u);
  }
  {
    TLargeTrie t(3000000);
    AgreesWithMap(
        t, keys, false, false,
        [](auto& t, const std::string& k, uint32_t v) { return t.LargeTrieInsert(k.c_str(), v); },
        [](auto& t, const std::string& k) { return uint32_t(t.Lookup(k.c_str())); });
  }
  {
    TPagedTrie t;
    AgreesWithMap(
        t, keys, false, false,
        [](auto& t, const std::string& k, uint32_t v) { return t.PagedTrieInsert(k.c_str(), v); },
        [](auto& t, const std::string& k) { return t.PagedTrieFind(k.c_str()) ? t.state.currentValue : 0u; });
    EXPECT_GT(t.PageCount(), 1u);
  }
  {
    // The compact trie fills up long before 200,000 keys: refused keys leave it unchanged.
    TCompactTrie t(kCompactTrieMaxCapacity);
    AgreesWithMap(
        t, keys, true, true,
        [](auto& t, const std::string& k, uint32_t v) { return t.CompactTrieInsert(k.c_str(), v); },
        [](auto& t, const std::string& k) { return uint32_t(t.CompactTrieLookup(k.c_str())); });
    EXPECT_TRUE(t.state.overflowReported);
  }
  {
    // A dictionary trie filled to the last node.
    TDictionaryTrie t(20000, 0);
    AgreesWithMap(
        t, keys, true, true,
        [](auto& t, const std::string& k, uint32_t v) { return t.DictionaryTrieInsert(k.c_str(), v); },
        [](auto& t, const std::string& k) { return uint32_t(t.DictionaryTrieLookup(k.c_str())); });
    EXPECT_GE(t.Used() + 2, 20000u - 80);
  }
  {
    // The wide trie reads arrays an owner filled: fill them from a large trie.
    TLargeTrie source(3000000);
    std::map<std::string, uint32_t> model;
    for (size_t i = 0; i < 50000; ++i) {
      source.LargeTrieInsert(keys[i].c_str(), static_cast<uint32_t>(i + 1));
      model.emplace(keys[i], static_cast<uint32_t>(i + 1));
    }
    TWideTrie w;
    const uint64_t n = source.Used();
    w.AllocateWideTrieArrays(static_cast<uint32_t>(n));
    std::memcpy(w.MutableArrays().chars, source.Arrays().chars, n);
    std::memcpy(w.MutableArrays().links, source.Arrays().links, n * 4);
    std::memcpy(w.MutableArrays().values, source.Arrays().values, n * 4);
    for (size_t i = 0; i < 60000; ++i) {
      auto it = model.find(keys[i]);
      const int64_t node = w.WideTrieFind(keys[i].c_str());
      ASSERT_EQ(node >= 0 ? w.state.currentValue : 0u, it == model.end() ? 0u : it->second);
    }
  }
}

TEST(Trie, SiblingTablesGiveTheAnswersOfTheLinks) {
  const auto keys = RandomKeys(60000, 11, false);
  TDictionaryTrie t(2000000, 0);
  for (size_t i = 0; i < keys.size(); i += 2)
    t.DictionaryTrieInsert(keys[i].c_str(), static_cast<uint16_t>(i % 60000 + 1));
  const auto& a = t.Arrays();
  ASSERT_TRUE(TrieArraysHoldTogether(a.chars, a.links, a.used));
  TrieSiblingIndex index;
  index.Build(a.chars, a.links, a.used);
  EXPECT_GT(index.TableCount(), 10u);
  auto same = [&](const unsigned char* chars, const int32_t* links, uint64_t n, const TrieSiblingIndex& x,
                  const std::string& key) {
    const TrieWalk plain = WalkTrie<true>(chars, links, n, key.c_str());
    const TrieWalk fast = WalkTrieIndexed<true>(chars, links, n, x, key.c_str());
    EXPECT_EQ(plain.found, fast.found) << key;
    if (plain.found) {
      EXPECT_EQ(plain.node, fast.node) << key;
    }
  };
  for (const auto& key : keys) {
    same(a.chars, a.links, a.used, index, key);
    same(a.chars, a.links, a.used, index, key + "z");
  }

  // Two chains that meet (a damaged file): the later one gets no table and the links answer.
  //            0    1    2    3    4    5    6    7    8    9
  unsigned char chars[] = {'a', 0, 'b', 0, 'c', 0, 'd', 0, 'e', 0};
  int32_t links[] = {2, -1, 4, -1, 6, -1, 8, -1, -1, -1};
  TrieSiblingIndex small;
  small.Build(chars, links, 10);
  EXPECT_EQ(small.TableCount(), 1u);  // the chain a, b, c, d, e from node 0
  EXPECT_EQ(small.Next(0, 'd'), 7);
  EXPECT_EQ(small.Next(0, 'q'), -1);
  EXPECT_EQ(small.Next(2, 'd'), -2);
  links[1] = 4;  // node 1 starts a chain that joins the first at node 4
  chars[1] = 'x';
  chars[3] = 'y';
  small.Build(chars, links, 10);
  for (const char* key : {"a", "b", "c", "d", "e", "ax", "ae", "q", "ay", "xe"}) same(chars, links, 10, small, key);
}

// A loader's trie is not cleared past the nodes it fills: the inserts that
// follow must write their nodes whole, whatever the memory held.
TEST(Trie, InsertsIntoUnclearedArraysGiveTheClearedTrie) {
  TCompactTrie cleared(4000);
  TCompactTrie loaded;
  loaded.CreateCompactTrieForLoading(4000);
  auto& a = loaded.MutableArrays();
  std::memset(a.chars, 0x5A, loaded.Capacity() + 1);
  std::memset(a.links, 0x5A, (loaded.Capacity() + 1) * sizeof(int16_t));
  std::memset(a.values, 0x5A, (loaded.Capacity() + 1) * sizeof(uint16_t));
  const char* keys[] = {"walk", "walker", "walked", "wa", "talk", "tall", "t", "zebra", "walk"};
  uint16_t value = 1;
  for (const char* key : keys) {
    ASSERT_EQ(loaded.CompactTrieInsert(key, value), cleared.CompactTrieInsert(key, value)) << key;
    ++value;
  }
  ASSERT_EQ(loaded.Used(), cleared.Used());
  const auto& b = cleared.Arrays();
  for (uint64_t i = 0; i < cleared.Used(); ++i) {
    EXPECT_EQ(a.chars[i], b.chars[i]) << i;
    EXPECT_EQ(a.links[i], b.links[i]) << i;
    EXPECT_EQ(a.values[i], b.values[i]) << i;
  }
  for (const char* key : {"walk", "walker", "walked", "wa", "talk", "tall", "t", "zebra", "wal", "ta", "zeb"})
    EXPECT_EQ(loaded.CompactTrieLookup(key), cleared.CompactTrieLookup(key)) << key;
}

TEST(Trie, CaseRuleIsTheSameForInsertAndLookup) {
  TCompactTrie c(2047);
  ASSERT_TRUE(c.CompactTrieInsert("Border", 5));
  EXPECT_EQ(c.CompactTrieLookup("border"), 5);
  EXPECT_EQ(c.CompactTrieLookup("BORDER"), 5);
  TLargeTrie l(1000);
  ASSERT_TRUE(l.LargeTrieInsert("Border", 5));
  EXPECT_EQ(l.Lookup("border"), 0u);
  EXPECT_EQ(l.Lookup("Border"), 5u);
}

TEST(Trie, PrefixesDuplicatesAndCapacity) {
  TDictionaryTrie t(100, 0);
  ASSERT_TRUE(t.DictionaryTrieInsert("abc", 1));
  EXPECT_EQ(t.DictionaryTrieLookup("ab"), 0);
  ASSERT_TRUE(t.DictionaryTrieInsert("ab", 2));
  EXPECT_EQ(t.Arrays().values[2], 2);  // on the node of 'c'
  EXPECT_EQ(t.DictionaryTrieLookup("abc"), 1);
  // A second insert keeps the first value as it was: no bit is added.
  ASSERT_TRUE(t.DictionaryTrieInsert("ab", 9));
  EXPECT_EQ(t.DictionaryTrieLookup("ab"), 2);
  EXPECT_TRUE(t.state.duplicate);
  EXPECT_EQ(t.state.duplicates, 1u);
  EXPECT_FALSE(t.DictionaryTrieInsert("", 3));

  // Capacity 2,047: the key that would make used + suffix + 1 reach it is refused.
  TCompactTrie c(2047);
  std::string key(9, 'a');
  uint16_t v = 1;
  while (c.Used() + 10 + 1 < 2047) {
    key[0] = static_cast<char>('a' + v % 26);
    key[1] = static_cast<char>('a' + v / 26 % 26);
    key[2] = static_cast<char>('a' + v / 676 % 26);
    ASSERT_TRUE(c.CompactTrieInsert((key + "z").c_str(), v++));
  }
  const uint64_t before = c.Used();
  key = "0123456789";  // shares no prefix: needs 11 nodes
  ASSERT_GE(before + key.size() + 1, 2047u);
  EXPECT_FALSE(c.CompactTrieInsert(key.c_str(), 1));
  EXPECT_EQ(c.Used(), before);

  c.ClearCompactTrie();
  EXPECT_EQ(c.Used(), 0u);
  EXPECT_EQ(c.CompactTrieLookup("aaaaaaaaaz"), 0);
  EXPECT_TRUE(c.CompactTrieInsert("x", 1));
}

TEST(Trie, AttachedArraysAndPairCounts) {
  std::vector<unsigned char> chars(101);
  std::vector<int32_t> links(101);
  std::vector<uint16_t> values(101);
  TDictionaryTrie t(100, 3);
  EXPECT_FALSE(t.Ready());
  EXPECT_FALSE(t.DictionaryTrieInsert("a", 1));
  t.AttachDictionaryTrieArrays(chars.data(), links.data(), values.data());
  EXPECT_EQ(links[50], -1);
  ASSERT_TRUE(t.DictionaryTrieInsert("word", 7));
  EXPECT_EQ(chars[0], 'w');
  t.DestroyDictionaryTrie();  // the arrays stay with their owner
  EXPECT_EQ(chars[0], 'w');

  TPairCountMatrix m(10000);
  EXPECT_EQ(m.PairCount(3, 12), 0u);
  EXPECT_TRUE(m.IncrementPairCount(3, 12));
  EXPECT_TRUE(m.IncrementPairCount(12, 3));
  EXPECT_EQ(m.PairCount(3, 12), 2u);
  EXPECT_EQ(m.Trie().Lookup("12:3"), 2u);
  EXPECT_TRUE(m.SetPairCount(1, 2, 40));
  EXPECT_EQ(m.PairCount(2, 1), 40u);
  TPairCountMatrix directed(1000, false);
  directed.IncrementPairCount(3, 12);
  EXPECT_EQ(directed.PairCount(12, 3), 0u);
}

TEST(Pools, StringPoolChunks) {
  TStringPool pool;
  std::string big(65520 - 1, 'x');  // 65,520 bytes with the NUL
  const char* a = pool.Add(big.c_str());
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(pool.ChunkCount(), 1u);
  const char* b = pool.Add("0123456789");
  ASSERT_NE(b, nullptr);
  EXPECT_STREQ(b, "0123456789");
  EXPECT_EQ(pool.ChunkCount(), 2u);
  EXPECT_EQ(std::string(a), big);
  std::string tooLong(70000, 'y');
  EXPECT_EQ(pool.Add(tooLong.c_str()), nullptr);
  pool.Reset();  // chunks kept and used again
  pool.Add(big.c_str());
  pool.Add("z");
  EXPECT_EQ(pool.ChunkCount(), 2u);
  pool.ClearStringPool();
  EXPECT_EQ(pool.ChunkCount(), 1u);
}

TEST(Pools, CellPoolAndPagedArrays) {
  auto pool = std::make_unique<TCellPool>();
  std::vector<TCellPool::Cell*> cells;
  for (int i = 0; i < 20000; ++i) {
    auto* c = pool->TakeCell();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->a | c->b, 0u);
    c->a = static_cast<uint32_t>(i);
    cells.push_back(c);
  }
  for (int i = 0; i < 20000; ++i) EXPECT_EQ(cells[i]->a, static_cast<uint32_t>(i));
  pool->ResetCellPool();
  EXPECT_EQ(pool->TakeCell()->a, 0u);
  pool->FreeCellPool();

  auto a = std::make_unique<TPagedArray>();
  EXPECT_EQ(a->PagedArrayGet(123456), 0u);
  EXPECT_TRUE(a->PagedArraySet(65536000, 5));  // page 8,000
  EXPECT_EQ(a->PagedArrayGet(65536000), 5u);
  EXPECT_FALSE(a->PagedArraySet(65544192, 5));  // page 8,001
  EXPECT_EQ(a->PagedArrayGet(65544192), 0u);
  a->PagedArraySet(1, 10);
  a->PagedArraySet(9000, 20);
  EXPECT_TRUE(a->Swap(1, 9000));
  EXPECT_EQ(a->PagedArrayGet(1), 20u);
  EXPECT_EQ(a->PagedArrayGet(9000), 10u);
  a->Clear();
  EXPECT_EQ(a->PageCount(), 0u);
  EXPECT_TRUE(a->PagedArraySet(5, 1));
  EXPECT_EQ(a->PageCount(), 1u);

  for (bool pooled : {true, false}) {
    auto t = std::make_unique<TPagedTextArray>(pooled);
    EXPECT_EQ(t->PagedTextArrayGet(77), nullptr);
    EXPECT_TRUE(t->PagedTextArraySet(77, "seventy"));
    EXPECT_TRUE(t->PagedTextArraySet(77, "seven"));
    EXPECT_STREQ(t->PagedTextArrayGet(77), "seven");
    EXPECT_FALSE(t->PagedTextArraySet(70000000, "x"));
    t->Clear();
    EXPECT_EQ(t->PagedTextArrayGet(77), nullptr);
  }
}

}  // namespace
}  // namespace quilor
