// The results of one analysis run: what the semantic pass, the burst and
// episode detection and the characteristic propositions produce, read by the
// result lists, the graphs, printing and the exports.
//
// Result items are either a category (id = minus its display category code,
// -77..-1) or a class of the relation-base level (id 1..65,535).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/relation_store.h"
#include "core/run_settings.h"

namespace quilor {

struct TSelection;
struct TWordNode;

constexpr uint32_t kMaxBursts = 2950;
constexpr uint32_t kMaxCandidates = 14000;
constexpr uint32_t kMaxEpisodes = 190;  // the result-type table holds 11 fixed entries and 190 episodes
constexpr uint32_t kMaxNeighbours = 6000;
constexpr uint32_t kLevelCapacity = 65535;  // classes or Scenario entries of one level
constexpr int kNeighbourDistance = 99;      // word positions

struct TBurstRecord {
  int32_t itemId;
  uint32_t episode;
  uint32_t count;
  uint32_t firstPosition;
  uint32_t lastPosition;
  float meanPosition;
};
static_assert(sizeof(TBurstRecord) == 24);

// Kept in memory only: aligned, so that its fields can be referred to.
struct TEpisodeRecord {
  uint32_t firstPosition;
  uint32_t lastPosition;
  uint16_t burstCount;
};

// One (count, class) pair of a neighbour list.
struct TNeighbour {
  uint32_t count;
  uint32_t cls;
};

class TAnalysisResults {
 public:
  // wordCount sizes the class threshold: the settings' fixed minimum when
  // their switch is on, else their pertinence (ten-thousandths) of the words.
  TAnalysisResults(uint32_t wordCount, const TRunSettings& settings);
  TAnalysisResults(const TAnalysisResults&) = delete;
  TAnalysisResults& operator=(const TAnalysisResults&) = delete;

  // The label of a category item, the class name of a class item at the
  // relation base ("?" for an unknown class).
  std::string ItemName(int32_t id) const;
  // The category counter of a category item, the occurrences of a class item.
  uint32_t ItemOccurrences(int32_t id) const;
  // a / min(b, c); 0 when b or c is below 1.
  static double RatioToSmaller(double a, double b, double c);

  // Rebuilds the two neighbour lists for the words matches accepts: the
  // classified substantives within one proposition and fewer than 99
  // positions before a match (predecessors) or after it (successors), each
  // list sorted by count, highest first, and cut to the 6,000 most frequent.
  // False (message 0 shown, lists empty) when memory is short.
  bool CollectSelectionNeighbours(const std::function<bool(const TWordNode&)>& matches);
  // The same for a selection, by WordMatchesNeighbourRule (selection.h).
  bool CollectSelectionNeighbours(const TSelection& selection);

  // How often class c of level 1..4 came before the first verb of its
  // proposition (0 outside).
  uint16_t PreVerbCount(int level, uint32_t c) const {
    return level >= 1 && level <= 4 && c >= 1 && c <= kLevelCapacity ? PreVerbCounts[level][c] : 0;
  }
  void CountPreVerb(int level, uint32_t c) {
    if (level >= 1 && level <= 4 && c >= 1 && c <= kLevelCapacity && PreVerbCounts[level][c] < 65535)
      ++PreVerbCounts[level][c];
  }
  void ClearPreVerbCounts();

  // The rank-th burst (0-based) or episode (1-based); nullptr outside.
  const TBurstRecord* Burst(uint32_t i) const { return i < BurstCount && i < Bursts.size() ? &Bursts[i] : nullptr; }
  const TEpisodeRecord* Episode(uint32_t i) const {
    return i >= 1 && i <= EpisodeCount && i <= kMaxEpisodes ? &Episodes[i] : nullptr;
  }

  // 1-based by class or entry, index 0 unused.
  std::array<std::vector<uint16_t>, 5> PreVerbCounts;
  std::vector<TBurstRecord> Bursts;                         // at most 2,950
  std::vector<uint32_t> PropositionNumbers;                 // 1..14,000
  std::vector<uint8_t> PropositionScores;                   // 1..14,000
  std::array<TEpisodeRecord, kMaxEpisodes + 1> Episodes{};  // 1..190
  std::vector<TNeighbour> PredecessorList, SuccessorList;
  uint32_t BurstCount = 0;
  uint32_t ScoreCutoff = 0;
  uint32_t PredecessorCount = 0, SuccessorCount = 0;
  uint32_t EpisodeCount = 0;
  uint32_t CharacteristicCount = 0;
  uint32_t CandidateCount = 0;
  uint32_t ClassBurstCount = 0;
  double MeanBurstSize = 0;
  bool Cancelled = false;
  bool Built = false;
  bool ResultsReady = false;

  // What the run read of the options as it started.
  const TRunSettings Settings;
  uint32_t MinimumClassCount = 0;
  uint16_t RelationBase = 1;  // 1..4
  uint32_t ProgressCounter = 0;
  uint32_t RetentionCount = 0;  // retained substantives of the last pass

  TRelationStore Relations;
  TPropositionWindowList Windows;
  // The first word of each window's proposition (TRecordWordWalk), found by
  // the semantic pass as it appends the windows, for the run's relation
  // records to take; empty when memory was short.
  std::vector<TWordNode*> WindowWords;
};

// The results of the current analysis; nullptr before the first run and
// after the text is released.
extern std::unique_ptr<TAnalysisResults> AnalysisResults;

// Steps run by the semantic pass for texts under 65,536 words, after the
// rankings: the bursts and episodes, then the characteristic propositions.
// Their unit makes them; unset steps are skipped.
using ResultsStep = std::function<void(TAnalysisResults&)>;
struct TResultsSteps {
  ResultsStep episodes;
  ResultsStep characteristic;
};

}  // namespace quilor
