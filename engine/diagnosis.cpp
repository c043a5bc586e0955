#include "engine/diagnosis.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>

#include "core/borders.h"
#include "core/chartables.h"
#include "core/messages.h"
#include "engine/analysis_results.h"
#include "engine/analysis_run.h"
#include "engine/category_counters.h"
#include "engine/selection.h"

namespace quilor {

namespace {

bool Over(const TDiagnosisInputs& in, int code) {
  return in.percentages[code] > static_cast<double>(in.norms[code - 1]);
}

int CountOver(const TDiagnosisInputs& in, std::initializer_list<int> codes) {
  int n = 0;
  for (int c : codes) n += Over(in, c) ? 1 : 0;
  return n;
}

struct Family {
  int message;
  uint16_t kind;
  uint16_t explanation;
  int firstCode;
  int lastCode;
  int firstExplanation;  // explanation of the first code; the others follow
};

constexpr Family kFamilies[] = {
    {kMsgFamilyVerbs, 2, kMsgVerbListExplained, 4, 7, kMsgFactiveVerbsExplained},
    {kMsgFamilyConnectors, 3, kMsgConnectorListExplained, 21, 29, kMsgConditionConnectorsExplained},
    {kMsgFamilyModalities, 4, kMsgModalityListExplained, 33, 39, kMsgTimeModalitiesExplained},
    {kMsgFamilyAdjectives, 5, kMsgAdjectiveListExplained, 62, 64, kMsgObjectiveAdjectivesExplained},
    {kMsgFamilyPronouns, 6, kMsgPronounListExplained, 70, 76, kMsgFirstPersonExplained},
};

// Findings the results list shows besides the diagnosis's own.
constexpr int kMsgUnreadableFile = 18, kMsgEpisodesDetected = 563, kMsgCharacteristicParts = 566,
              kMsgFilesSearched = 717;

}  // namespace

TDiagnosisInputs TDiagnosisInputs::Current() {
  TDiagnosisInputs in;
  in.counters = RunCounts.categories;
  in.percentages = RunCounts.percentages;
  in.norms = Tables.styleNorms;
  // Words are numbered from 1 across the run; the proposition marks take the
  // number of the word before them.
  in.textWords = static_cast<uint32_t>(std::max<int32_t>(0, TextWords.HighestPosition()));
  in.bordersInUse = Borders.inUse;
  in.filteredPropositions = RunCounts.filteredPropositions;
  return in;
}

void TDiagnosisList::Init(TWordList& words) {
  shown_ = true;
  words.SaveCursor(kBookmarkWordSearch);
  findings_.clear();
  lines_.clear();
  currentLine_ = 79;
}

bool TDiagnosisList::Add(int message, DiagnosisView* view) {
  if (static_cast<int>(findings_.size()) >= kMaxFindings) return true;
  findings_.push_back(message);
  return !view || view->AddLine(GetMessageText(message));
}

int TDiagnosisList::StyleOf(const TDiagnosisInputs& in) {
  if (CountOver(in, {20, 22, 23, 26, 25, 38, 39, 36, 6}) > 3) return kMsgArgumentative;
  if (CountOver(in, {24, 33, 34, 4, 63, 20}) > 2) return kMsgNarrative;
  if (CountOver(in, {59, 6, 32, 7}) > 1) return kMsgEnunciative;
  if (CountOver(in, {34, 29, 28, 33, 5, 62}) > 1) return kMsgDescriptive;
  return 0;
}

void TDiagnosisList::DiagnoseStyle(const TDiagnosisInputs& in, DiagnosisView* view) {
  findings_.clear();
  if (in.textWords < 2) {
    Add(in.filteredPropositions > 0 ? kMsgAllFilteredByBorders : kMsgCorruptedInput, view);
    return;
  }
  if (!in.counters || !in.percentages || !in.norms) return;
  if (int style = StyleOf(in); style != 0) {
    if (!Add(style, view)) return;
  } else if (view) {
    if (!Add(kMsgStyleNotDetected, view)) return;
  }
  if (Over(in, 6) && !Add(kMsgSettingNarrator, view)) return;
  if (findings_.size() < 2) {
    if (Over(in, 4)) {
      if (!Add(kMsgSettingAction, view)) return;
    } else if (Over(in, 5)) {
      if (!Add(kMsgSettingReal, view)) return;
    }
  }
  if (Over(in, 59) && !Add(kMsgSettingI, view)) return;
  if (in.counters[37] > 1 && Over(in, 37) && !Add(kMsgDoubt, view)) return;
  if (in.counters[kCodeWord] < 500 && !Add(kMsgTendenciesNotSignificant, view)) return;
  const uint32_t p = in.counters[kCodeProposition] / 6;
  bool irregular = false;
  for (int c : {kCodeVerb, kCodeModality, kCodeConnectorCopy, kCodeAdjective, kCodeSubstantive})
    irregular = irregular || p > in.counters[c];
  if (irregular && !Add(kMsgIrregularSyntax, view)) return;
  if (in.bordersInUse) Add(in.filteredPropositions > 0 ? kMsgBordersUsed : kMsgBordersNoEffect, view);
}

void TDiagnosisList::AddLine(TDiagnosisLine line, DiagnosisView* view) {
  if (view) view->AddLine(line.text);
  if (static_cast<int>(lines_.size()) < kMaxTendencyLines) {
    lines_.push_back(std::move(line));
  } else {
    lines_.back() = std::move(line);
  }
}

void TDiagnosisList::BuildTendencies(const TDiagnosisInputs& in, bool significantOnly, DiagnosisView* view) {
  lines_.clear();
  if (!in.counters || !in.percentages || !in.norms) return;
  for (const Family& f : kFamilies) {
    AddLine({f.kind, 0, f.explanation, std::string("* ") + GetMessageText(f.message) + " :"}, view);
    for (int c = f.firstCode; c <= f.lastCode; ++c) {
      const double pct = in.percentages[c];
      const uint32_t count = in.counters[c];
      if (significantOnly && (pct < in.norms[c - 1] || count < 3)) continue;
      char figures[64];
      std::snprintf(figures, sizeof figures, "\t%5.1f%%\t(\t%u\t)", pct, count);
      TDiagnosisLine line;
      line.kind = f.kind;
      line.index = static_cast<uint16_t>(c - f.firstCode + 1);
      line.explanation = static_cast<uint16_t>(f.firstExplanation + c - f.firstCode);
      line.text = std::string(GetMessageText(c + kCategoryLabelBase)) + figures;
      AddLine(std::move(line), view);
    }
  }
}

int TDiagnosisList::LineKindCode(int line) const {
  if (line < 0 || line > kMaxTendencyLines || line >= static_cast<int>(lines_.size())) return 0;
  return ItemKindCode(lines_[static_cast<size_t>(line)].kind);
}

int TDiagnosisList::SelectLine(int line, TSelection& selection, TWordList& words) {
  const int classLevel = selection.classLevel;
  selection.Clear();
  selection.classLevel = classLevel;
  int explanation = 0;
  if (line < 0 || line > kMaxTendencyLines || line >= static_cast<int>(lines_.size())) {
    currentLine_ = 79;
  } else {
    currentLine_ = line;
    const TDiagnosisLine& l = lines_[static_cast<size_t>(line)];
    selection.ranges[0] = {l.kind, l.index};
    selection.categoryRangeView = true;
    BuildSearchPatterns(selection);
    words.Rewind();
    FindNextSelectedOccurrence(false, words, selection);
    explanation = l.explanation;
  }
  words.Rewind();
  words.SaveCursor(kBookmarkPageStart);
  words.SaveCursor(kBookmarkPageEnd);
  return explanation;
}

namespace {

struct FindingBase {
  int message = 0;
  std::vector<std::pair<uint8_t, uint8_t>> pairs;
  bool toFirstEpisode = false;
};

FindingBase BaseExplanation(int finding) {
  using P = std::pair<uint8_t, uint8_t>;
  const P verb1{kClassVerb, 1}, verb2{kClassVerb, 2}, verb3{kClassVerb, 3};
  switch (finding) {
    case kMsgArgumentative:
      return {kMsgArgumentativeExplained,
              {{kClassConnector, 6}, {kClassConnector, 7}, {kClassModality, 6}, {kClassModality, 7}}};
    case kMsgNarrative:
      return {kMsgNarrativeExplained, {verb1, {kClassConnector, 4}, {kClassModality, 1}, {kClassModality, 2}}};
    case kMsgEnunciative:
      return {kMsgEnunciativeExplained, {{kClassModality, 7}, {kClassModality, 4}, {kClassPronoun, 4}, verb3}};
    case kMsgDescriptive:
      return {kMsgDescriptiveExplained, {verb2, {kClassAdjective, 1}, {kClassModality, 1}, {kClassModality, 2}}};
    case kMsgStyleNotDetected: return {kMsgNoStyleExplained, {}};
    case kMsgSettingAction: return {kMsgSettingActionExplained, {verb1}};
    case kMsgSettingReal: return {kMsgSettingRealExplained, {verb2}};
    case kMsgSettingNarrator: return {kMsgSettingNarratorExplained, {verb3}};
    case kMsgSettingI: return {kMsgSettingIExplained, {{kClassPronoun, 1}}};
    case kMsgDoubt: return {kMsgDoubtExplained, {{kClassModality, 5}}};
    case kMsgTendenciesNotSignificant: return {kMsgFewWordsExplained, {}};
    case kMsgIrregularSyntax: return {kMsgIrregularSyntaxExplained, {}};
    case kMsgBordersUsed: return {kMsgBordersUsedExplained, {}};
    case kMsgBordersNoEffect: return {kMsgBordersNoEffectExplained, {}};
    case kMsgUnreadableFile: return {kMsgUnreadableFile, {}};
    case kMsgAllFilteredByBorders: return {kMsgAllFilteredByBorders, {}};
    case kMsgEpisodesDetected: return {0, {}, true};
    case kMsgCharacteristicParts: return {kMsgCharacteristicPartsExplained, {}};
    case kMsgFilesSearched: return {kMsgFilesSearchedCount, {}};
    default: return {};
  }
}

}  // namespace

TFindingExplanation TDiagnosisList::ExplainFinding(int finding) {
  FindingBase b = BaseExplanation(finding);
  TFindingExplanation e;
  e.message = b.message;
  e.pairs = std::move(b.pairs);
  e.toFirstEpisode = b.toFirstEpisode;
  if (finding == kMsgCharacteristicParts) {
    const uint32_t kept = AnalysisResults ? AnalysisResults->CharacteristicCount : 0;
    const uint32_t candidates = AnalysisResults ? AnalysisResults->CandidateCount : 0;
    e.text = std::to_string(kept) + " " + GetMessageText(kMsgPropositionsKeptOn) + " " + std::to_string(candidates);
  }
  return e;
}

}  // namespace quilor
