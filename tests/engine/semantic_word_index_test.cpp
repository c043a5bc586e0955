// The hash index of the word tables must answer what the walk of each table
// answers, for every key, prefix, longer key and other table alike.
#include "engine/semantic_word_index.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace quilor {
namespace {

using Keys = std::vector<std::pair<std::string, int32_t>>;

std::array<WideTrieImage, kWordTableCount> Tables(const std::vector<std::pair<int, Keys>>& content) {
  std::array<WideTrieImage, kWordTableCount> tables;
  for (const auto& [t, keys] : content) tables[static_cast<size_t>(t - 1)] = MakeWideTrieImage(keys);
  return tables;
}

// Every question asked of both: the keys of every table in every table,
// their prefixes, keys one character longer, and words that are nowhere.
void ExpectSameAnswers(const std::array<WideTrieImage, kWordTableCount>& tables, const TSemanticWordIndex& index,
                       const std::vector<std::string>& words) {
  std::vector<std::string> questions = words;
  for (const std::string& w : words) {
    for (size_t n = 1; n < w.size(); ++n) questions.push_back(w.substr(0, n));
    questions.push_back(w + "s");
    questions.push_back(w + "_x");
  }
  questions.push_back("absent");
  questions.push_back(std::string("ca\0t", 4));
  for (int t = 1; t <= kWordTableCount; ++t)
    for (const std::string& q : questions)
      EXPECT_EQ(index.Find(t, q), TrieValue(tables[static_cast<size_t>(t - 1)], q)) << "table " << t << " " << q;
}

TEST(SemanticWordIndex, AnswersAsTheWalkOfEachTable) {
  const Keys first = {{"cat", 3}, {"cats", -4}, {"car", 5},       {"cart", 6},         {"dog", 7},
                      {"do", 8},  {"d", 9},     {"in_order", 10}, {"well-known", -11}, {"\xe9t\xe9", 12}};
  const Keys second = {{"cat", 20}, {"zebra", 21}, {"ca", 22}};
  const Keys last = {{"a", 30}};
  const auto tables = Tables({{1, first}, {2, second}, {kWordTableCount, last}});
  TSemanticWordIndex index;
  ASSERT_TRUE(index.Build(tables));
  EXPECT_EQ(index.Keys(), first.size() + second.size() + last.size());
  std::vector<std::string> words;
  for (const Keys* keys : {&first, &second, &last})
    for (const auto& [k, v] : *keys) words.push_back(k);
  ExpectSameAnswers(tables, index, words);
  EXPECT_EQ(index.Find(1, "cats"), -4);
  EXPECT_EQ(index.Find(2, "cat"), 20);
  EXPECT_EQ(index.Find(3, "cat"), 0);
  EXPECT_EQ(index.Find(0, "cat"), 0);
  EXPECT_EQ(index.Find(kWordTableCount + 1, "a"), 0);
}

// A chain that holds a character twice (a damaged file): the walk takes the
// first, so the keys below the second are never found, nor by the index.
TEST(SemanticWordIndex, KeysBehindARepeatedCharacterAreNotFound) {
  std::array<WideTrieImage, kWordTableCount> tables;
  WideTrieImage& t = tables[0];
  // Level 0: 'a' (node 0), its alternative 'a' again (node 3); "a" ends at
  // node 1 with 'b' below it, the second 'a' leads to "ac".
  //   0:'a' link 3 | 1:'b' | 2:NUL value of "ab" | 3:'a' | 4:'c' | 5:NUL value of "ac"
  t.chars = {'a', 'b', 0, 'a', 'c', 0};
  t.links = {3, -1, -1, -1, -1, -1};
  t.values = {0, 1, 2, 0, 3, 4};
  ASSERT_TRUE(t.HoldsTogether());
  TSemanticWordIndex index;
  ASSERT_TRUE(index.Build(tables));
  ExpectSameAnswers(tables, index, {"a", "ab", "ac"});
  EXPECT_EQ(TrieValue(t, "ac"), 0);
  EXPECT_EQ(index.Find(1, "ab"), 2);
}

TEST(SemanticWordIndex, AStoppedBuildAnswersNothing) {
  Keys keys;
  for (int i = 0; i < 40000; ++i) keys.emplace_back("word" + std::to_string(i), i + 1);
  const auto tables = Tables({{5, keys}});
  std::atomic<bool> stop{true};
  TSemanticWordIndex index;
  EXPECT_FALSE(index.Build(tables, &stop));
  EXPECT_FALSE(index.Built());
  EXPECT_EQ(index.Find(5, "word7"), 0);
  stop = false;
  ASSERT_TRUE(index.Build(tables, &stop));
  EXPECT_EQ(index.Find(5, "word7"), 8);
  EXPECT_EQ(index.Find(5, "word39999"), 40000);
}

}  // namespace
}  // namespace quilor
