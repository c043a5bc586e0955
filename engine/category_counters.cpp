#include "engine/category_counters.h"

#include <algorithm>
#include <cstring>

#include "core/messages.h"
#include "core/gauge.h"
#include "core/options.h"

namespace quilor {

TRunCounts RunCounts;

namespace {

constexpr size_t kWordCut = 79;

uint32_t Sum(int first, int last) {
  uint32_t s = 0;
  for (int c = first; c <= last; ++c) s += RunCounts.categories[c];
  return s;
}

void PercentOver(int first, int last, uint32_t base) {
  if (base == 0) return;
  for (int c = first; c <= last; ++c)
    if (RunCounts.categories[c] > 0)
      RunCounts.percentages[c] = static_cast<double>(RunCounts.categories[c]) / base * 100.0;
}

constexpr int kMsgGroupVerb = 132;
constexpr int kMsgGroupConnector = 109;
constexpr int kMsgGroupModality = 121;
constexpr int kMsgGroupAdjective = 140;
constexpr int kMsgGroupPronoun = 141;

// Codes without a text of their own: 8 and 9 (verbs), 31 (connectors).
bool HasOwnText(int code) { return code != 8 && code != 9 && code != 31; }

}  // namespace

void ClearCategoryCounters() {
  Progress.cancelRequested = false;
  RunCounts = {};
}

int DisplayCode(const TCategoryRecord& category) {
  const int sub = category.Subclass;
  switch (category.MajorClass == kClassUnset ? static_cast<int>(kClassSubstantive) : category.MajorClass) {
    case kClassVerb: return sub >= 1 && sub <= 4 ? kCodeFactive - 1 + sub : 0;
    case kClassConnector: return sub >= 1 && sub <= 10 ? kCodeConnector + sub : 0;
    case kClassModality: return sub >= 1 && sub <= 7 ? kCodeModality + sub : 0;
    case kClassAdjective: return sub >= 1 && sub <= 3 ? kCodeObjective - 1 + sub : kCodeOtherAdjective;
    case kClassPronoun: return sub >= 1 && sub <= 5 ? kCodeRelativePronoun - 1 + sub : 0;
    case kClassDeterminant: return kCodePreposition;
    case kClassDeterminant2: return kCodeDeterminant;
    case kClassSubstantive: return kCodeSubstantive;
    default: return 0;
  }
}

int PersonCode(const TCategoryRecord& category) {
  if (category.MajorClass != kClassPronoun || (category.Subclass != 3 && category.Subclass != 4)) return 0;
  const int person = category.SubField2;
  return person >= 1 && person <= 7 ? kCodePersonFirst - 1 + person : 0;
}

void CountCategory(std::string_view text, const TCategoryRecord& category, uint8_t classMark) {
  if (text.empty()) return;
  if (text == "/") {
    ++RunCounts.propositions;
    return;
  }
  text = text.substr(0, std::min(text.size(), kWordCut));
  ++RunCounts.words;
  ++RunCounts.wordParts;
  for (const char *c = text.data(), *end = c + text.size();
       (c = static_cast<const char*>(std::memchr(c, '_', static_cast<size_t>(end - c)))) != nullptr; ++c)
    ++RunCounts.wordParts;
  if (int code = DisplayCode(category); code > 0) ++RunCounts.categories[code];
  if (category.MajorClass == kClassVerb) {
    if (category.SubField2 >= 1 && category.SubField2 <= 4)
      ++RunCounts.categories[kCodePresent - 1 + category.SubField2];
    if (category.SubField3 >= 1 && category.SubField3 <= 6)
      ++RunCounts.categories[kCodeIndicative - 1 + category.SubField3];
  }
  if (int person = PersonCode(category); person > 0) ++RunCounts.categories[person];
  if (classMark == 1) ++RunCounts.categories[kCodeReferentPrincipal];
  if (classMark == 2) ++RunCounts.categories[kCodeReferentSecondary];
  if (category.Flags & kFlagFundamental) ++RunCounts.categories[kCodeFundamental];
  if (category.Flags & kFlagAuxiliary) ++RunCounts.categories[kCodeAuxiliary];
}

void CountCategory(std::string_view text, const TWordCategoryData& data) {
  CountCategory(text, data.Category, data.ClassMark);
}

void CountProposition() { ++RunCounts.propositions; }

bool ComputePercentages() {
  if (RunCounts.words == 0) return false;
  uint32_t* n = RunCounts.categories;
  n[kCodeWord] = RunCounts.words;
  n[kCodeVerb] = Sum(kCodeFactive, kCodePerformative);
  n[kCodeConnector] = Sum(kCodeConnectorFirst, kCodeConnectorLast);
  n[kCodeModality] = Sum(kCodeModalityFirst, kCodeModalityLast);
  n[kCodeAdjective] = Sum(kCodeObjective, kCodeOtherAdjective);
  n[kCodePronoun] = Sum(kCodeRelativePronoun, kCodeOtherPronoun);
  n[kCodeConnectorCopy] = n[kCodeConnector];
  n[kCodeModalityCopy] = n[kCodeModality];
  n[kCodeReferent] = n[kCodeReferentPrincipal] + n[kCodeReferentSecondary];

  PercentOver(1, kDisplayCodeCount, RunCounts.words);
  PercentOver(kCodeAuxiliary, kCodeOtherTenses, n[kCodeVerb]);
  PercentOver(kCodeConnectorFirst, kCodeConnectorLast, n[kCodeConnector]);
  PercentOver(kCodeModalityFirst, kCodeModalityLast, n[kCodeModality]);
  PercentOver(kCodeObjective, kCodeOtherAdjective, n[kCodeAdjective]);
  PercentOver(kCodeRelativePronoun, kCodeOtherPronoun, n[kCodePronoun]);
  PercentOver(kCodePersonFirst, kCodePersonLast, n[kCodePersonalPronoun] + n[kCodeDeixis]);
  n[kCodeProposition] = RunCounts.propositions;
  return true;
}

void CategoryCodeToRecord(int code, TCategoryRecord& r) {
  r = TCategoryRecord();
  auto set = [&r](uint8_t cls, int sub, int third = 0) {
    r.MajorClass = cls;
    r.Subclass = static_cast<uint8_t>(sub);
    r.SubField2 = static_cast<uint8_t>(third);
  };
  if (code == kCodeAuxiliary || (code >= kCodeIndicative && code <= kCodeOtherTenses) || code == kCodeVerb)
    set(kClassVerb, 0);
  else if (code >= kCodeFactive && code <= kCodePerformative) set(kClassVerb, code - kCodeFactive + 1);
  else if (code == kCodeConnector || code == 31 || code == kCodeConnectorCopy) set(kClassConnector, 0);
  else if (code >= kCodeConnectorFirst && code <= kCodeConnectorLast) set(kClassConnector, code - kCodeConnector);
  else if (code == kCodeModality || code == kCodeModalityCopy) set(kClassModality, 0);
  else if (code >= kCodeModalityFirst && code <= kCodeModalityLast) set(kClassModality, code - kCodeModality);
  else if (code == kCodeAdjective) set(kClassAdjective, 0);
  else if (code == kCodePronoun) set(kClassPronoun, 0);
  else if (code == kCodePreposition) set(kClassDeterminant, 0);
  else if (code == kCodeSubstantive || (code >= kCodeReferentNucleus && code <= kCodeReferentSecondary))
    set(kClassSubstantive, 0);
  else if (code >= kCodeRelativePronoun && code <= kCodeOtherPronoun)
    set(kClassPronoun, code - kCodeRelativePronoun + 1);
  else if (code == kCodeDeterminant) set(kClassDeterminant2, 0);
  else if (code == kCodeObjective) set(kClassAdjective, 1);
  else if (code == 63 || code == kCodeOtherAdjective || code == 66) set(kClassAdjective, 2);
  else if (code == 64) set(kClassAdjective, 3);
  else if (code == kCodePersonFirst || code == kCodePersonFirst + 1) set(kClassPronoun, 4, code - kCodePersonFirst + 1);
  else if (code > kCodePersonFirst + 1 && code <= kCodePersonLast) set(kClassPronoun, 3, code - kCodePersonFirst + 1);
}

void CategoryCodeToRecord(int code, TWordCategoryData& data) {
  data = TWordCategoryData();
  CategoryCodeToRecord(code, data.Category);
}

std::string CategoryLabel(int code) {
  std::string label;
  if (code >= 1 && code <= kDisplayCodeCount) {
    // Every code carries the label of its group; Gerund (77) stands alone.
    int group = 0;
    if (code <= 19) group = kMsgGroupVerb;
    else if (code <= 31) group = kMsgGroupConnector;
    else if (code <= 39) group = kMsgGroupModality;
    else if (code <= 60) group = kMsgGroupPronoun;
    else if (code <= 66) group = kMsgGroupAdjective;
    else if (code <= 76) group = kMsgGroupPronoun;
    if (group) label = GetMessageText(group);
    if (HasOwnText(code)) {
      if (!label.empty()) label += ' ';
      label += GetMessageText(code + kCategoryLabelBase);
    }
  }
  return label;
}

int ItemKindCode(int kind) {
  switch (kind) {
    case 1: return 11;
    case 2: return 1;
    case 3: return 2;
    case 4: return 3;
    case 5: return 4;
    case 6: return 5;
    default: return 6;
  }
}

uint32_t CalculationBase(uint32_t segmenterPropositions, uint32_t textWords) {
  return WorkContext->CalculationBase == 2 ? segmenterPropositions : textWords;
}

}  // namespace quilor
