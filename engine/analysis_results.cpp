#include "engine/analysis_results.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "core/messages.h"
#include "engine/category_counters.h"
#include "engine/ontology_engine.h"
#include "engine/selection.h"
#include "engine/word_list.h"

namespace quilor {

std::unique_ptr<TAnalysisResults> AnalysisResults;

TAnalysisResults::TAnalysisResults(uint32_t wordCount, const TRunSettings& settings) : Settings(settings) {
  try {
    for (int l = 1; l <= 4; ++l) PreVerbCounts[l].assign(kLevelCapacity + 1, 0);
    PropositionNumbers.assign(kMaxCandidates + 1, 0);
    PropositionScores.assign(kMaxCandidates + 1, 0);
  } catch (const std::bad_alloc&) {
    ReportMemoryLow(true);
    return;
  }
  if (Settings.classThresholdInWords) MinimumClassCount = Settings.classMinWords;
  else MinimumClassCount = static_cast<uint32_t>(Settings.classPertinence / 10000.0 * wordCount);
  Built = true;
}

void TAnalysisResults::ClearPreVerbCounts() {
  for (auto& counts : PreVerbCounts) std::fill(counts.begin(), counts.end(), 0);
}

std::string TAnalysisResults::ItemName(int32_t id) const {
  if (id < 1) return id >= -kDisplayCodeCount ? CategoryLabel(-id) : std::string();
  return OntologyEngine ? OntologyEngine->ClassName(RelationBase, id) : std::string("?");
}

uint32_t TAnalysisResults::ItemOccurrences(int32_t id) const {
  if (id < 1) return id >= -kDisplayCodeCount ? RunCounts.categories[-id] : 0;
  if (!OntologyEngine) return 0;
  if (RelationBase == 4) return OntologyEngine->ScenarioEntryOccurrences(static_cast<uint32_t>(id));
  return OntologyEngine->ClassOccurrences(RelationBase, id);
}

double TAnalysisResults::RatioToSmaller(double a, double b, double c) {
  if (b < 1 || c < 1) return 0;
  return a / std::min(b, c);
}

namespace {

bool IsMark(const TWordNode& n) { return n.text && n.text[0] == '/' && n.text[1] == 0; }

// The classes counted above 0, most frequent first (equal counts by class),
// at most kMaxNeighbours of them.
bool MakeNeighbourList(const std::vector<uint32_t>& counts, std::vector<TNeighbour>& list, uint32_t& listCount) {
  list.clear();
  listCount = 0;
  try {
    for (uint32_t c = 1; c < counts.size(); ++c)
      if (counts[c]) list.push_back({counts[c], c});
  } catch (const std::bad_alloc&) {
    list.clear();
    return false;
  }
  std::sort(list.begin(), list.end(), [](const TNeighbour& a, const TNeighbour& b) {
    return a.count > b.count || (a.count == b.count && a.cls < b.cls);
  });
  if (list.size() > kMaxNeighbours) list.resize(kMaxNeighbours);
  listCount = static_cast<uint32_t>(list.size());
  return true;
}

}  // namespace

bool TAnalysisResults::CollectSelectionNeighbours(const TSelection& selection) {
  return CollectSelectionNeighbours(
      [&selection](const TWordNode& n) { return WordMatchesNeighbourRule(n, selection); });
}

bool TAnalysisResults::CollectSelectionNeighbours(const std::function<bool(const TWordNode&)>& matches) {
  PredecessorList.clear();
  SuccessorList.clear();
  PredecessorCount = SuccessorCount = 0;
  std::vector<uint32_t> before, after;
  try {
    before.assign(kLevelCapacity + 1, 0);
    after.assign(kLevelCapacity + 1, 0);
  } catch (const std::bad_alloc&) {
    ReportMemoryLow(true);
    return false;
  }
  const int level = RelationBase >= 1 && RelationBase <= 4 ? RelationBase : 1;
  uint32_t pendingClass = 0;
  int64_t pendingPosition = 0, matchPosition = 0;
  bool afterMatch = false;
  for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n)) {
    if (IsMark(*n)) {
      pendingClass = 0;
      afterMatch = false;
      continue;
    }
    if (matches && matches(*n)) {
      if (pendingClass && n->position - pendingPosition < kNeighbourDistance) ++before[pendingClass];
      pendingClass = 0;
      afterMatch = true;
      matchPosition = n->position;
    } else if (IsSubstantive(n->category.Category) && HasClassifiedMark(n->category)) {
      const uint32_t c = n->category.ClassIds[level - 1];
      if (c < 1 || c > kLevelCapacity) continue;
      pendingClass = c;
      pendingPosition = n->position;
      if (afterMatch && n->position - matchPosition < kNeighbourDistance) {
        ++after[c];
        afterMatch = false;
      }
    }
  }
  if (!MakeNeighbourList(before, PredecessorList, PredecessorCount) ||
      !MakeNeighbourList(after, SuccessorList, SuccessorCount)) {
    PredecessorList.clear();
    SuccessorList.clear();
    PredecessorCount = SuccessorCount = 0;
    ReportMemoryLow(true);
    return false;
  }
  return true;
}

}  // namespace quilor
