// What the graphs read of an analysis, behind one interface: the program
// reads the engine's objects (EngineGraphSource), the layout tests give
// their own figures.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/analysis_results.h"

namespace quilor::ui {

// A distinct pair of classes of one level with the number of its records.
struct TClassPair {
  uint32_t first = 0;
  uint32_t second = 0;
  uint32_t count = 0;
};

class GraphSource {
 public:
  virtual ~GraphSource() = default;

  // The class level relations are counted at (1..4).
  virtual int RelationBase() const = 0;
  // "?" for an unknown class.
  virtual std::string ClassName(int level, int32_t id) const = 0;
  // 0 when the name is no class of the level.
  virtual int32_t FindClass(int level, std::string_view name) const = 0;
  virtual uint32_t ClassOccurrences(int level, int32_t id) const = 0;
  virtual int32_t LevelClassCount(int level) const = 0;
  // True when cls is the selected class or, at the Scenario level, a group under it.
  virtual bool ClassWithin(int level, uint32_t cls, uint32_t selected) const = 0;
  // The pairs of the level, highest count first.
  virtual std::vector<TClassPair> PairsByCount(int level) const = 0;
  // The neighbour lists of the current selection; false when they cannot be made.
  virtual bool CollectNeighbours(std::vector<TNeighbour>& predecessors, std::vector<TNeighbour>& successors) = 0;
  // The candidate classes of the actors graph: at the Scenario level the
  // counted groups found in the text, else the level's ranking.
  virtual std::vector<int32_t> ActorCandidates(int level) const = 0;
  virtual uint32_t PreVerbCount(int level, int32_t id) const = 0;
  virtual uint32_t MinimumClassCount() const = 0;

  // Bursts and episodes (1-based episodes; bursts in their rank order).
  virtual const std::vector<TBurstRecord>& Bursts() const = 0;
  virtual uint32_t ClassBurstCount() const = 0;
  virtual double MeanBurstSize() const = 0;
  virtual uint32_t EpisodeCount() const = 0;
  virtual TEpisodeRecord Episode(uint32_t i) const = 0;
  virtual std::string BurstName(int32_t itemId) const = 0;

  // The highest word position of the text.
  virtual int32_t HighestPosition() const = 0;
  // Calls visit with the position of every word the distribution graph counts.
  virtual void ForEachCountedWord(const std::function<void(int32_t)>& visit) = 0;
  // The caption of the selection (its term and, for a relation, " -> " and the second).
  virtual std::string SelectionCaption() const = 0;
  // The text of the first search criterion.
  virtual std::string FirstCriterionText() const = 0;
};

// The engine's objects: OntologyEngine, AnalysisResults, TextWords, the
// selection and Options.
class EngineGraphSource : public GraphSource {
 public:
  int RelationBase() const override;
  std::string ClassName(int level, int32_t id) const override;
  int32_t FindClass(int level, std::string_view name) const override;
  uint32_t ClassOccurrences(int level, int32_t id) const override;
  int32_t LevelClassCount(int level) const override;
  bool ClassWithin(int level, uint32_t cls, uint32_t selected) const override;
  std::vector<TClassPair> PairsByCount(int level) const override;
  bool CollectNeighbours(std::vector<TNeighbour>& predecessors, std::vector<TNeighbour>& successors) override;
  std::vector<int32_t> ActorCandidates(int level) const override;
  uint32_t PreVerbCount(int level, int32_t id) const override;
  uint32_t MinimumClassCount() const override;
  const std::vector<TBurstRecord>& Bursts() const override;
  uint32_t ClassBurstCount() const override;
  double MeanBurstSize() const override;
  uint32_t EpisodeCount() const override;
  TEpisodeRecord Episode(uint32_t i) const override;
  std::string BurstName(int32_t itemId) const override;
  int32_t HighestPosition() const override;
  void ForEachCountedWord(const std::function<void(int32_t)>& visit) override;
  std::string SelectionCaption() const override;
  std::string FirstCriterionText() const override;

 private:
  mutable std::vector<TBurstRecord> bursts_;
};

}  // namespace quilor::ui
