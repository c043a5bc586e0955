// A small semantic dictionary made in memory for the engine's tests.
#pragma once

#include <string>
#include <vector>

#include "core/chartables.h"
#include "engine/semantic_dictionary_file.h"

namespace quilor::testing_support {

struct MiniWord {
  std::string key;
  std::vector<uint16_t> triples;  // one reading per triple, most frequent first
  std::vector<uint8_t> flags;     // per reading (optional)
  std::vector<uint8_t> weights;   // sense weight per reading (optional; none: a dictionary without weights)
};

// Classes: level 3 {animal, money, nature}, level 2 {canine, bank_group,
// slope}, level 1 {dog, bank, riverbank, cash}; triple t = level-1 class t.
inline SemanticDictionary MakeMiniDictionary(const std::vector<MiniWord>& extra = {}) {
  SemanticDictionary d;
  d.stamp = 77;
  d.names[0] = {"", "dog", "bank", "riverbank", "cash"};
  d.names[1] = {"", "canine", "bank_group", "slope"};
  d.names[2] = {"", "animal", "money", "nature"};
  for (int l = 0; l < 3; ++l) d.classCount[l] = static_cast<uint32_t>(d.names[l].size() - 1);
  d.triples[1] = {{1, 1, 1}};
  d.triples[2] = {{2, 2, 2}};
  d.triples[3] = {{3, 3, 3}};
  d.triples[4] = {{4, 2, 2}};
  for (int l = 0; l < 3; ++l) {
    std::vector<std::vector<std::pair<std::string, uint16_t>>> keys(static_cast<size_t>(kClassNameSegments[l]));
    for (uint32_t k = 1; k <= d.classCount[l]; ++k)
      keys[static_cast<size_t>(ClassNameSegment(d.names[l][k], kClassNameSegments[l]) - 1)].push_back(
          {d.names[l][k], static_cast<uint16_t>(k)});
    d.nameIndexes[l].assign(keys.size(), CompactSegment{});
    for (size_t s = 0; s < keys.size(); ++s) {
      MakeCompactTrieImage(keys[s], d.nameIndexes[l][s].trie);
      d.nameIndexes[l][s].inserts = static_cast<uint32_t>(keys[s].size());
      d.nameIndexes[l][s].empty = keys[s].empty();
    }
  }
  std::vector<MiniWord> words = {{"dog", {1}, {}, {}}, {"bank", {2, 3}, {0, 3}, {}}, {"cash", {4}, {}, {}}};
  words.insert(words.end(), extra.begin(), extra.end());
  std::vector<std::pair<std::string, uint32_t>> names;
  std::vector<std::vector<std::pair<std::string, int32_t>>> tables(kWordTableCount);
  for (const MiniWord& w : words) {
    uint32_t entry = static_cast<uint32_t>(d.textNames.size());
    d.textNames.push_back(w.key);
    names.push_back({w.key, entry});
    for (size_t depth = 0; depth < w.triples.size(); ++depth) {
      SemanticEntryRecord r;
      r.triple = w.triples[depth];
      r.flags = depth < w.flags.size() ? w.flags[depth] : 0;
      r.extra = depth < w.weights.size() ? w.weights[depth] : 0;
      r.baseForm = entry;
      d.records.push_back(r);
      int32_t v = static_cast<int32_t>(d.records.size() - 1);
      int t = SemanticTableForDepth(Tables.letterGroup, w.key, static_cast<int>(depth));
      tables[static_cast<size_t>(t - 1)].push_back({w.key, depth + 1 < w.triples.size() ? -v : v});
    }
  }
  for (int t = 0; t < kWordTableCount; ++t)
    if (!tables[static_cast<size_t>(t)].empty())
      d.tables[static_cast<size_t>(t)] = MakeWideTrieImage(tables[static_cast<size_t>(t)]);
  d.textIndex = MakeLargeTrieImage(names);
  d.textCapacity = static_cast<uint32_t>(d.textIndex.Size());
  return d;
}

}  // namespace quilor::testing_support
