#include "engine/bursts.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace quilor {

namespace {

constexpr size_t kItemSlots = static_cast<size_t>(kMaxBurstClassId - kLowestItemId + 1);

inline size_t SlotOf(int32_t item) { return static_cast<size_t>(item - kLowestItemId); }

inline bool IsMarkNode(const TWordNode& node) { return node.text && node.text[0] == '/' && node.text[1] == '\0'; }

int ClampLevel(int level) { return std::clamp(level, 1, 4); }

uint32_t ClassAt(const TWordNode& node, int relationBase) {
  return node.category.ClassIds[ClampLevel(relationBase) - 1];
}

// Person 1..7 of a personal pronoun or deixis; 0 otherwise.
int PersonOf(const TCategoryRecord& r) {
  if (r.MajorClass != kClassPronoun || (r.Subclass != 3 && r.Subclass != 4)) return 0;
  return r.SubField2 >= 1 && r.SubField2 <= 7 ? r.SubField2 : 0;
}

bool IsClassifiedSubstantive(const TWordNode& node, int relationBase) {
  const uint32_t cls = ClassAt(node, relationBase);
  return IsSubstantive(node.category.Category) && HasClassifiedMark(node.category) && cls > 0 &&
         cls <= static_cast<uint32_t>(kMaxBurstClassId);
}

// The detection state of one item.
struct RunState {
  uint32_t total = 0;  // T: occurrences of the item in the text
  uint32_t count = 0;
  bool open = false;
  double sum = 0;
  int32_t first = 0;
  int32_t last = 0;
  int32_t firstOrdinal = -1;
  int32_t lastOrdinal = -1;
};

class BurstDetector {
 public:
  BurstDetector(const TWordList& words, const TBurstSettings& settings, TBurstResults& results)
      : words_(words), settings_(settings), results_(results) {}

  bool Run() {
    const uint32_t n = results_.wordCount;
    params_ = BurstParametersFor(n);
    runs_.assign(kItemSlots, RunState());
    // Occurrences of each item, and for each occurrence the ordinal of the
    // item's previous one: an accepted run is marked by walking back along it.
    std::vector<int32_t> items;
    items.reserve(words_.Count());
    for (const TWordNode* node = words_.First(); node != words_.Tail(); node = TWordList::NextNode(node)) {
      const int32_t item = IsMarkNode(*node) ? 0 : BurstItemOf(*node, settings_.relationBase);
      items.push_back(item);
      if (item != 0) ++runs_[SlotOf(item)].total;
    }
    previous_.assign(items.size(), -1);
    std::vector<int32_t> lastSeen(kItemSlots, -1);
    int32_t ordinal = 0;
    for (const TWordNode* node = words_.First(); node != words_.Tail(); node = TWordList::NextNode(node), ++ordinal) {
      const int32_t item = items[static_cast<size_t>(ordinal)];
      if (item == 0) continue;
      const size_t slot = SlotOf(item);
      previous_[static_cast<size_t>(ordinal)] = lastSeen[slot];
      lastSeen[slot] = ordinal;
      if (!Occurrence(item, runs_[slot], node->position, ordinal, n)) return true;
    }
    for (size_t slot = 0; slot < kItemSlots; ++slot) {
      RunState& run = runs_[slot];
      if (run.open && !Close(static_cast<int32_t>(slot) + kLowestItemId, run, run.count)) break;
    }
    return true;
  }

 private:
  static void Extend(RunState& run, int32_t p, int32_t ordinal) {
    run.last = p;
    run.lastOrdinal = ordinal;
    run.sum += p;
    ++run.count;
  }

  // False when the burst array is full.
  bool Occurrence(int32_t item, RunState& run, int32_t p, int32_t ordinal, uint32_t n) {
    if (run.count < 2) {
      if (run.count == 0) {
        run.first = p;
        run.firstOrdinal = ordinal;
      }
      Extend(run, p, ordinal);
      return true;
    }
    const double c = run.count + 1.0;
    const double span = static_cast<double>(p) - run.first;
    const double prob = static_cast<double>(run.total) / n;
    const double expected = span * prob;
    if (IsDenserThanExpected(c, expected, prob, params_.bandFactor)) {
      Extend(run, p, ordinal);
      run.open = true;
      return true;
    }
    bool room = true;
    if (run.open) {
      room = Close(item, run, run.count);
      run.count = 1;
      run.first = run.last = p;
      run.firstOrdinal = run.lastOrdinal = ordinal;
      run.sum = p;
    } else {
      run.count = 2;
      run.first = run.last;
      run.firstOrdinal = run.lastOrdinal;
      run.last = p;
      run.lastOrdinal = ordinal;
      run.sum = static_cast<double>(run.first) + p;
    }
    run.open = false;
    return room;
  }

  // Stores the run as a burst when it is long and tight enough, and marks
  // its words. False when the burst array is full.
  bool Close(int32_t item, RunState& run, uint32_t count) {
    run.open = false;
    if (count < params_.minSize) return true;
    if (static_cast<int64_t>(run.last) - run.first > static_cast<int64_t>(params_.maxSpan)) return true;
    if (results_.bursts.size() >= kMaxBursts) return false;
    TBurstRecord record{};
    record.itemId = item;
    record.count = count;
    record.firstPosition = static_cast<uint32_t>(run.first);
    record.lastPosition = static_cast<uint32_t>(run.last);
    record.meanPosition = static_cast<float>(run.sum / count);
    results_.bursts.push_back(record);
    if (item > 0) ++results_.classBurstCount;
    results_.occurrenceTotal += count;
    // Marks: first 1, inside 2, last 3; ranks 1, 2, 3 on the first three and
    // the count on the last.
    uint32_t index = count;
    for (int32_t o = run.lastOrdinal; o >= 0 && index > 0; o = previous_[static_cast<size_t>(o)], --index) {
      const size_t at = static_cast<size_t>(o);
      results_.burstMarks[at] = index == 1 ? kBurstFirst : index == count ? kBurstLast : kBurstInside;
      if (index <= 3) results_.rankMarks[at] = static_cast<uint8_t>(index);
      if (o == run.firstOrdinal) break;
    }
    results_.rankMarks[static_cast<size_t>(run.lastOrdinal)] = static_cast<uint8_t>(std::min<uint32_t>(count, 255));
    return true;
  }

  const TWordList& words_;
  const TBurstSettings& settings_;
  TBurstResults& results_;
  TBurstParameters params_;
  std::vector<RunState> runs_;
  std::vector<int32_t> previous_;
};

TEpisodeRecord Episode(int32_t first, int32_t last) {
  TEpisodeRecord e{};
  e.firstPosition = static_cast<uint32_t>(first);
  e.lastPosition = static_cast<uint32_t>(last);
  return e;
}

// Cuts the text where the burst structure starts anew. A walk over the burst
// marks keeps the level (the bursts open at a word), a base and the
// direction of the last mark. A burst that starts right after one ended and
// lifts the level more than the minimum rise above the base makes a cut
// pending and raises the base to the level; the end that takes the level
// back under the base makes the cut there. Every end under the base moves
// the current episode's end to it. A cut opens a new episode only when the
// current one spans at least the step (n / 250 words); the first episode
// ends at the first cut, and runs over the whole text while there is none.
void DetectEpisodes(const TWordList& words, TBurstResults& results) {
  const uint32_t n = results.wordCount;
  const int rise = n < 5000 ? 1 : 4;
  const int64_t step = MinimumEpisodeSpan(n);
  const int32_t end = static_cast<int32_t>(n);
  auto& episodes = results.episodes;
  episodes.assign(1, Episode(1, end));
  int level = 0;
  int base = 0;
  bool falling = false;  // the last mark was an end
  bool pending = false;
  size_t ordinal = 0;
  for (const TWordNode* node = words.First(); node != words.Tail(); node = TWordList::NextNode(node), ++ordinal) {
    const uint8_t mark = results.BurstMarkAt(ordinal);
    if (mark == kBurstFirst) {
      ++level;
      if (falling && level - base > rise) {
        pending = true;
        base = level;
      }
      falling = false;
    } else if (mark == kBurstLast) {
      --level;
      if (level < base) {
        const int32_t position = node->position;
        if (pending && episodes.back().lastPosition >= 1 && episodes.size() < kMaxEpisodes) {
          if (episodes.size() == 1) episodes[0].lastPosition = static_cast<uint32_t>(position);
          const TEpisodeRecord& current = episodes.back();
          if (static_cast<int64_t>(current.lastPosition) - current.firstPosition >= step)
            episodes.push_back(Episode(static_cast<int32_t>(current.lastPosition) + 1, end));
        }
        pending = false;
        base = level;
        episodes.back().lastPosition = static_cast<uint32_t>(position);
      }
      falling = true;
    }
  }
}

// Closes the episodes: the rest of the text after the last one is a last
// episode (when the cap is not reached; at the cap the last one runs to the
// end), each burst goes to the episode holding its rounded mean position,
// and a last episode without bursts is dropped.
void FinishEpisodes(TBurstResults& results) {
  auto& episodes = results.episodes;
  const uint32_t n = results.wordCount;
  // An episode opened by the last cut always reaches a later end in a text;
  // words sharing a position could leave it empty.
  if (episodes.back().lastPosition < episodes.back().firstPosition) {
    if (episodes.size() > 1) episodes.pop_back();
    else episodes.back().lastPosition = n;
  }
  if (episodes.size() >= kMaxEpisodes) episodes.back().lastPosition = n;
  else if (episodes.back().lastPosition < n)
    episodes.push_back(Episode(static_cast<int32_t>(episodes.back().lastPosition) + 1, static_cast<int32_t>(n)));
  for (TBurstRecord& burst : results.bursts) {
    const int32_t mean = static_cast<int32_t>(std::lround(burst.meanPosition));
    auto it = std::lower_bound(episodes.begin(), episodes.end(), mean, [](const TEpisodeRecord& e, int32_t p) {
      return static_cast<int64_t>(e.lastPosition) < p;
    });
    if (it == episodes.end()) --it;
    burst.episode = static_cast<uint32_t>(it - episodes.begin()) + 1;
    ++it->burstCount;
  }
  if (episodes.size() >= 2 && episodes.back().burstCount == 0) episodes.pop_back();
}

}  // namespace

void TBurstResults::Clear() { *this = TBurstResults(); }

namespace {

TBurstSettings SettingsOf(const TAnalysisResults& r) {
  TBurstSettings settings;
  settings.relationBase = r.RelationBase;
  settings.characteristicPercent = r.Settings.characteristicParts;
  return settings;
}

}  // namespace

void StoreBurstResults(const TBurstResults& from, TAnalysisResults& to) {
  to.Bursts = from.bursts;
  to.BurstCount = static_cast<uint32_t>(from.bursts.size());
  to.ClassBurstCount = from.classBurstCount;
  to.MeanBurstSize = from.meanBurstSize;
  to.Episodes.fill(TEpisodeRecord{});
  to.EpisodeCount = static_cast<uint32_t>(std::min<size_t>(from.episodes.size(), kMaxEpisodes));
  for (uint32_t i = 0; i < to.EpisodeCount; ++i) to.Episodes[i + 1] = from.episodes[i];
  to.CandidateCount = from.candidateCount;
  to.CharacteristicCount = from.characteristicCount;
  to.ScoreCutoff = from.scoreCutoff;
  to.PropositionNumbers = from.propositionNumbers;
  to.PropositionScores = from.propositionScores;
}

TResultsSteps BurstSteps(TBurstResults& into) {
  into.Clear();  // nothing of the last text stays when the steps do not run
  TResultsSteps steps;
  steps.episodes = [&into](TAnalysisResults& r) {
    FindBurstsAndEpisodes(TextWords, SettingsOf(r), into);
    StoreBurstResults(into, r);
  };
  steps.characteristic = [&into](TAnalysisResults& r) {
    FindCharacteristicPropositions(TextWords, SettingsOf(r), into);
    StoreBurstResults(into, r);
  };
  return steps;
}

int32_t BurstItemOf(const TWordNode& node, int relationBase) {
  const TCategoryRecord& r = node.category.Category;
  switch (r.MajorClass) {
    case kClassVerb: return r.Subclass == 4 ? kItemPerformative : 0;
    case kClassConnector: return r.Subclass >= 1 && r.Subclass <= 10 && r.Subclass != 4 ? ConnectorItem(r.Subclass) : 0;
    case kClassModality: return r.Subclass >= 1 && r.Subclass <= 6 ? ModalityItem(r.Subclass) : 0;
    case kClassPronoun: {
      const int person = PersonOf(r);
      return person == 1 || person == 2 || person == 4 || person == 5 || person == 7 ? PersonItem(person) : 0;
    }
    default: break;
  }
  return IsClassifiedSubstantive(node, relationBase) ? static_cast<int32_t>(ClassAt(node, relationBase)) : 0;
}

TBurstParameters BurstParametersFor(uint32_t n) {
  TBurstParameters p;
  if (n < 5000) {
    p.minSize = 3;
    p.maxSpan = static_cast<uint32_t>(n * 0.5);
  } else {
    p.minSize = 4;
    p.maxSpan = n / 4;
  }
  const double f = n > 0 ? std::log(static_cast<double>(n)) / 2 - 1.5 : 1.5;
  p.bandFactor = std::clamp(f, 1.5, 3.7);
  return p;
}

bool IsDenserThanExpected(double c, double expected, double probability, double bandFactor) {
  const double sd = std::sqrt(std::max(0.0, (1 - probability) * expected));
  return c > expected + bandFactor * sd;
}

int32_t MinimumEpisodeSpan(uint32_t n) { return static_cast<int32_t>(n / 250); }

size_t ScoreCutoffIndex(size_t candidates, int percent) {
  const int p = std::clamp(percent, 1, 99);
  const size_t index = std::max<size_t>(10, candidates * static_cast<size_t>(100 - p) / 100);
  return candidates == 0 ? 0 : std::min(index, candidates - 1);
}

void FindBurstsAndEpisodes(const TWordList& words, const TBurstSettings& settings, TBurstResults& results) {
  results.Clear();
  const int32_t highest = words.HighestPosition();
  results.wordCount = highest > 0 ? static_cast<uint32_t>(highest) : 0;
  results.burstMarks.assign(words.Count(), 0);
  results.rankMarks.assign(words.Count(), 0);
  const uint32_t n = results.wordCount;
  if (n < 101 || n >= kBurstTextLimit) return;
  BurstDetector detector(words, settings, results);
  if (!detector.Run()) return;
  std::stable_sort(results.bursts.begin(), results.bursts.end(),
                   [](const TBurstRecord& a, const TBurstRecord& b) { return a.meanPosition < b.meanPosition; });
  if (results.bursts.size() < kMinBurstsForEpisodes) return;
  results.meanBurstSize = static_cast<double>(results.occurrenceTotal) / static_cast<double>(results.bursts.size());
  DetectEpisodes(words, results);
  FinishEpisodes(results);
}

namespace {

// One proposition being scored.
struct PropositionState {
  double weight = 0;
  bool verbal = false;
  bool cause = false;
  bool connectorBeforeSubject = false;
  bool anyCandidate = false;
  int32_t subject = 0;  // candidate ids: a class, or PersonItem(person)
  int32_t object = 0;
};

class PropositionScorer {
 public:
  PropositionScorer(const TWordList& words, const TBurstSettings& settings, TBurstResults& results)
      : words_(words), settings_(settings), results_(results) {}

  void Run() {
    occurrences_.assign(kItemSlots, 0);
    met_.assign(kItemSlots, 0);
    for (const TWordNode* node = words_.First(); node != words_.Tail(); node = TWordList::NextNode(node)) {
      if (IsMarkNode(*node)) continue;
      if (int32_t id = CandidateOf(*node); id != 0) ++occurrences_[SlotOf(id)];
    }
    PropositionState state;
    uint32_t proposition = 1;
    size_t ordinal = 0;
    for (const TWordNode* node = words_.First(); node != words_.Tail(); node = TWordList::NextNode(node), ++ordinal) {
      if (IsMarkNode(*node)) {
        if (!Score(state, proposition)) return;
        state = PropositionState();
        ++proposition;
        continue;
      }
      Weigh(*node, ordinal, state);
    }
    Score(state, proposition);
  }

 private:
  int32_t CandidateOf(const TWordNode& node) const {
    const TCategoryRecord& r = node.category.Category;
    if (IsPronoun(r)) {
      const int person = PersonOf(r);
      return person ? PersonItem(person) : 0;
    }
    if (IsClassifiedSubstantive(node, settings_.relationBase))
      return static_cast<int32_t>(ClassAt(node, settings_.relationBase));
    return 0;
  }

  void Weigh(const TWordNode& node, size_t ordinal, PropositionState& state) {
    const TCategoryRecord& r = node.category.Category;
    bool weighted = false;
    int32_t candidate = 0;
    switch (r.MajorClass) {
      case kClassVerb:
        weighted = true;
        state.verbal = true;
        break;
      case kClassConnector:
        if (r.Subclass != 8 && r.Subclass != 9) {
          weighted = true;
          if (r.Subclass == 2) state.cause = true;
          if (!state.verbal && state.subject == 0) state.connectorBeforeSubject = true;
        }
        break;
      case kClassModality: weighted = r.Subclass >= 4 && r.Subclass <= 7; break;
      case kClassPronoun:
        weighted = true;
        candidate = CandidateOf(node);
        break;
      default:
        candidate = CandidateOf(node);
        weighted = candidate != 0;
        break;
    }
    if (!weighted) return;
    const uint8_t rank = results_.rankMarks[ordinal];
    if (rank > 0) state.weight += results_.burstMarks[ordinal] == kBurstLast ? 0.5 : 1.0 / rank;
    if (candidate == 0) return;
    const uint32_t met = ++met_[SlotOf(candidate)];
    int32_t& kept = state.verbal ? state.object : state.subject;
    if (kept == 0 || met > met_[SlotOf(kept)]) kept = candidate;
    if (!state.anyCandidate) {
      state.anyCandidate = true;
      if (results_.rankMarks[ordinal] == 0) results_.rankMarks[ordinal] = 1;
    }
  }

  // False when scoring must stop.
  bool Score(const PropositionState& s, uint32_t proposition) {
    if (!s.verbal || (s.subject == 0 && s.object == 0)) return true;
    double a = s.subject ? occurrences_[SlotOf(s.subject)] : 0;
    const double b = s.object ? occurrences_[SlotOf(s.object)] : 0;
    double weight = (a < 1 && b < 1) ? 0 : std::trunc(s.weight * 100);
    if (a < 1) a = b / 3;
    double novelty = 0;
    if (s.subject && a >= 1) {
      const double k = met_[SlotOf(s.subject)];
      novelty = std::trunc((1 - (k - 1) / a) * 100);
      if (s.subject < 0) weight /= 2;
    }
    double score = weight + 0.7 * novelty;
    if (s.connectorBeforeSubject) score *= 1.1;
    if (s.cause) score *= 1.3;
    if (score <= 9) return true;
    if (results_.propositionNumbers.size() >= kMaxCandidates || proposition > 65535) return false;
    results_.propositionNumbers.push_back(proposition);
    results_.propositionScores.push_back(static_cast<uint8_t>(std::min(255.0, score / 2)));
    ++results_.candidateCount;
    return true;
  }

  const TWordList& words_;
  const TBurstSettings& settings_;
  TBurstResults& results_;
  std::vector<uint32_t> occurrences_;
  std::vector<uint32_t> met_;
};

}  // namespace

void FindCharacteristicPropositions(const TWordList& words, const TBurstSettings& settings, TBurstResults& results) {
  results.candidateCount = 0;
  results.characteristicCount = 0;
  results.scoreCutoff = 0;
  results.propositionNumbers.clear();
  results.propositionScores.clear();
  results.burstMarks.resize(words.Count(), 0);
  results.rankMarks.resize(words.Count(), 0);
  const int32_t highest = words.HighestPosition();
  if (highest <= 20 || static_cast<uint32_t>(highest) >= kBurstTextLimit) return;
  PropositionScorer(words, settings, results).Run();
  const size_t count = results.propositionNumbers.size();
  if (count >= static_cast<size_t>(kMinCandidatesForCutoff)) {
    std::vector<uint8_t> sorted = results.propositionScores;
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    results.scoreCutoff = sorted[ScoreCutoffIndex(count, settings.characteristicPercent)];
  }
  // Candidates reaching the cutoff give their score to their marked words;
  // every other word loses its rank mark.
  uint32_t proposition = 1;
  size_t candidate = 0;
  size_t ordinal = 0;
  bool counted = false;
  for (const TWordNode* node = words.First(); node != words.Tail(); node = TWordList::NextNode(node), ++ordinal) {
    if (IsMarkNode(*node)) {
      ++proposition;
      counted = false;
      continue;
    }
    while (candidate < count && results.propositionNumbers[candidate] < proposition) ++candidate;
    const bool kept = candidate < count && results.propositionNumbers[candidate] == proposition &&
                      results.propositionScores[candidate] >= results.scoreCutoff;
    uint8_t& rank = results.rankMarks[ordinal];
    if (!kept) {
      rank = 0;
    } else if (rank != 0) {
      rank = results.propositionScores[candidate];
      if (!counted) {
        counted = true;
        ++results.characteristicCount;
      }
    }
  }
  if (count < static_cast<size_t>(kMinCandidatesForCutoff)) results.characteristicCount = results.candidateCount;
}

void ComputeBurstResults(const TWordList& words, const TBurstSettings& settings, TBurstResults& results) {
  FindBurstsAndEpisodes(words, settings, results);
  FindCharacteristicPropositions(words, settings, results);
}

}  // namespace quilor
