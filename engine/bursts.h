// Bursts, episodes and characteristic propositions of an analysed text.
//
// A burst is a run of occurrences of one item (a verb, connector, modality
// or pronoun category, or a class of substantives) that is denser than the
// item's frequency in the whole text makes likely. Episodes cut the text
// where the burst structure starts anew. Characteristic propositions are the
// verbal propositions whose weighted words and subject score highest.
//
// Results go into a TBurstResults; the two per-word marks (burst mark and
// rank mark) are kept there too, indexed by the node's ordinal in the word
// list (0 for the first node, proposition marks included). After a run the
// semantic pass copies the records into AnalysisResults (BurstSteps);
// the marks of the text stay in the TBurstResults the steps were given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/analysis_results.h"
#include "engine/word_list.h"

namespace quilor {

constexpr uint32_t kBurstTextLimit = 65536;  // texts of this many words or more get none
constexpr int32_t kMaxBurstClassId = 65535;  // class ids above are not followed
constexpr int kMinBurstsForEpisodes = 4;
constexpr int kMinCandidatesForCutoff = 11;

// Item ids of the categories (classes are their own positive ids).
constexpr int32_t kItemPerformative = -7;
inline int32_t ConnectorItem(int subclass) { return -(20 + subclass); }
inline int32_t ModalityItem(int subclass) { return -(32 + subclass); }
inline int32_t PersonItem(int person) { return -(69 + person); }
constexpr int32_t kLowestItemId = -77;

// Burst marks of the words.
enum BurstMark : uint8_t { kBurstNone = 0, kBurstFirst = 1, kBurstInside = 2, kBurstLast = 3 };

struct TBurstSettings {
  int relationBase = 1;            // classification level 1..4 whose class ids are items
  int characteristicPercent = 20;  // percentage of characteristic propositions, taken within 1..99
};

struct TBurstResults {
  uint32_t wordCount = 0;  // n: the highest word position
  std::vector<TBurstRecord> bursts;
  uint32_t classBurstCount = 0;
  uint64_t occurrenceTotal = 0;
  double meanBurstSize = 0;
  std::vector<TEpisodeRecord> episodes;
  // Characteristic propositions.
  uint32_t candidateCount = 0;
  uint32_t characteristicCount = 0;
  uint8_t scoreCutoff = 0;
  std::vector<uint32_t> propositionNumbers;  // of the candidates, ascending
  std::vector<uint8_t> propositionScores;    // their halved scores, same order
  // Per node ordinal.
  std::vector<uint8_t> burstMarks;
  std::vector<uint8_t> rankMarks;

  void Clear();
  uint8_t BurstMarkAt(size_t ordinal) const { return ordinal < burstMarks.size() ? burstMarks[ordinal] : 0; }
  uint8_t RankMarkAt(size_t ordinal) const { return ordinal < rankMarks.size() ? rankMarks[ordinal] : 0; }
};

// The semantic pass's steps that run the burst and episode detection and the
// characteristic propositions over TextWords into `into` and copy the
// records into its results object; clears `into`, which must outlive them.
TResultsSteps BurstSteps(TBurstResults& into);
// The records, counts and characteristic propositions into the results object.
void StoreBurstResults(const TBurstResults& from, TAnalysisResults& to);

// The item a word stands for in burst detection; 0 when none.
int32_t BurstItemOf(const TWordNode& node, int relationBase);

// Bursts, then (with at least 4 of them) episodes. Nothing for texts under
// 101 words or of kBurstTextLimit words or more. Results are cleared first.
void FindBurstsAndEpisodes(const TWordList& words, const TBurstSettings& settings, TBurstResults& results);
// Scores the propositions with the marks left by FindBurstsAndEpisodes.
void FindCharacteristicPropositions(const TWordList& words, const TBurstSettings& settings, TBurstResults& results);
// Both, as the end of the semantic pass runs them.
void ComputeBurstResults(const TWordList& words, const TBurstSettings& settings, TBurstResults& results);

// Parts of the algorithms, open to tests and tools.
struct TBurstParameters {
  uint32_t minSize = 3;   // k
  uint32_t maxSpan = 0;   // W
  double bandFactor = 0;  // f
};
TBurstParameters BurstParametersFor(uint32_t wordCount);
// True when c occurrences over a span where `expected` are likely, with the
// item's probability per word, stand out above the band: a one-sided test.
bool IsDenserThanExpected(double c, double expected, double probability, double bandFactor);
// The step of the episodes in a text of n words, n / 250: a cut opens a new
// episode only when the current one spans at least that many positions.
int32_t MinimumEpisodeSpan(uint32_t wordCount);
// Index of the score cutoff among `candidates` candidates sorted by score,
// highest first, for the percentage p (taken within 1..99).
size_t ScoreCutoffIndex(size_t candidates, int percent);

}  // namespace quilor
