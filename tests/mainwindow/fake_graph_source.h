// A graph source with the test's own figures.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "mainwindow/graph_source.h"

namespace quilor::ui::testing {

class FakeGraphSource : public GraphSource {
 public:
  int relationBase = 1;
  std::map<int32_t, std::string> names;  // every level
  std::map<int32_t, uint32_t> occurrences;
  std::map<int32_t, uint32_t> preVerb;
  std::map<uint32_t, uint32_t> parents;  // Scenario groups
  int32_t classCount = 100;
  std::vector<TClassPair> pairs;
  std::vector<TNeighbour> predecessors, successors;
  bool neighboursFail = false;
  int collectCalls = 0;
  std::vector<int32_t> candidates;
  uint32_t minimumClassCount = 0;
  std::vector<TBurstRecord> bursts;
  uint32_t classBursts = 0;
  double meanBurstSize = 0;
  std::vector<TEpisodeRecord> episodes;  // episode i at i - 1
  int32_t highest = 0;
  std::vector<int32_t> counted;  // positions of the counted words
  std::string caption = "caption";

  int RelationBase() const override { return relationBase; }
  std::string ClassName(int, int32_t id) const override {
    auto it = names.find(id);
    return it == names.end() ? "?" : it->second;
  }
  int32_t FindClass(int, std::string_view name) const override {
    for (const auto& [id, n] : names)
      if (n == name) return id;
    return 0;
  }
  uint32_t ClassOccurrences(int, int32_t id) const override {
    auto it = occurrences.find(id);
    return it == occurrences.end() ? 0 : it->second;
  }
  int32_t LevelClassCount(int) const override { return classCount; }
  bool ClassWithin(int level, uint32_t cls, uint32_t selected) const override {
    if (cls == 0) return false;
    if (level != 4) return cls == selected;
    for (uint32_t e = cls; e != 0;) {
      if (e == selected) return true;
      auto it = parents.find(e);
      e = it == parents.end() ? 0 : it->second;
    }
    return false;
  }
  std::vector<TClassPair> PairsByCount(int) const override { return pairs; }
  bool CollectNeighbours(std::vector<TNeighbour>& p, std::vector<TNeighbour>& s) override {
    ++collectCalls;
    if (neighboursFail) return false;
    p = predecessors;
    s = successors;
    return true;
  }
  std::vector<int32_t> ActorCandidates(int) const override { return candidates; }
  uint32_t PreVerbCount(int, int32_t id) const override {
    auto it = preVerb.find(id);
    return it == preVerb.end() ? 0 : it->second;
  }
  uint32_t MinimumClassCount() const override { return minimumClassCount; }
  const std::vector<TBurstRecord>& Bursts() const override { return bursts; }
  uint32_t ClassBurstCount() const override { return classBursts; }
  double MeanBurstSize() const override { return meanBurstSize; }
  uint32_t EpisodeCount() const override { return static_cast<uint32_t>(episodes.size()); }
  TEpisodeRecord Episode(uint32_t i) const override {
    return i >= 1 && i <= episodes.size() ? episodes[i - 1] : TEpisodeRecord{0, 0, 0};
  }
  std::string BurstName(int32_t itemId) const override { return "burst" + std::to_string(itemId); }
  int32_t HighestPosition() const override { return highest; }
  void ForEachCountedWord(const std::function<void(int32_t)>& visit) override {
    for (int32_t p : counted) visit(p);
  }
  std::string SelectionCaption() const override { return caption; }
  std::string FirstCriterionText() const override { return "criterion"; }
};

}  // namespace quilor::ui::testing
