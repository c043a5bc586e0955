#include "core/category.h"

#include <cstring>

#include "core/chartables.h"
#include "core/messages.h"

namespace quilor {

namespace {

constexpr int kLabelBufferSize = 257;
constexpr int kDisplayBufferSize = 80;
char g_label[kLabelBufferSize];
char g_display[kDisplayBufferSize];

// Message numbers of the labels.
constexpr int kMsgAmbiguity = 89;
constexpr int kMsgAuxiliary = 92;
constexpr int kMsgConnectorName = 109;
constexpr int kMsgModalityName = 121;
constexpr int kMsgFundamental = 129;
constexpr int kMsgVerbName = 132;
constexpr int kMsgAdjectiveName = 140;
constexpr int kMsgPronounName = 141;
constexpr int kMsgSubstantiveName = 143;
constexpr int kMsgDeterminantName = 150;
constexpr int kMsgGerund = 166;
constexpr int kNoLabel = 232;  // stands for "no label"; never shown

constexpr int kMsgFactive = 93, kMsgStative = 94, kMsgReflexive = 95, kMsgPerformative = 96;
constexpr int kMsgIndicative = 99, kMsgConditional = 100, kMsgSubjunctive = 101, kMsgParticiple = 102,
              kMsgInfinitive = 103, kMsgOtherModes = 104;
constexpr int kMsgPresent = 105, kMsgPast = 106, kMsgFuture = 107, kMsgOtherTenses = 108;
constexpr int kMsgTime = 117, kMsgPlace = 118, kMsgManner = 119, kMsgAssertion = 125, kMsgDoubt = 126,
              kMsgNegation = 127, kMsgIntensity = 128;
constexpr int kMsgRelative = 145, kMsgPossessive = 146, kMsgPersonal = 147, kMsgDeixis = 148, kMsgOtherPronouns = 149;
constexpr int kMsgObjective = 151, kMsgSubjective = 152, kMsgNumeral = 153, kMsgOtherAdjectives = 154;

constexpr int kVerbKindLabels[9] = {kNoLabel, kMsgFactive, kMsgStative, kMsgReflexive, kMsgPerformative,
                                    kNoLabel, kNoLabel,    kNoLabel,    kNoLabel};
constexpr int kMoodLabels[7] = {kNoLabel,       kMsgIndicative, kMsgConditional, kMsgSubjunctive,
                                kMsgParticiple, kMsgInfinitive, kMsgOtherModes};
constexpr int kTenseLabels[5] = {kNoLabel, kMsgPresent, kMsgPast, kMsgFuture, kMsgOtherTenses};
constexpr int kModalityLabels[8] = {kNoLabel,      kMsgTime,  kMsgPlace,    kMsgManner,
                                    kMsgAssertion, kMsgDoubt, kMsgNegation, kMsgIntensity};
constexpr int kPronounLabels[6] = {kNoLabel, kMsgRelative, kMsgPossessive, kMsgPersonal, kMsgDeixis, kMsgOtherPronouns};
// By subclass; subclass 0 and those past the table are the others.
constexpr int kAdjectiveLabels[4] = {kMsgOtherAdjectives, kMsgObjective, kMsgSubjective, kMsgNumeral};

template <size_t N>
int LabelOf(const int (&table)[N], unsigned index) {
  return index < N ? table[index] : kNoLabel;
}

void Append(const char* text) {
  size_t used = std::strlen(g_label);
  size_t n = std::strlen(text);
  if (used + n >= kLabelBufferSize) n = kLabelBufferSize - 1 - used;
  std::memcpy(g_label + used, text, n);
  g_label[used + n] = 0;
}

// " " + the label's text, unless it stands for no label.
void AppendLabel(int message) {
  if (message == kNoLabel) return;
  Append(" ");
  Append(GetMessageText(message).c_str());
}

int ClassNameMessage(uint8_t majorClass) {
  switch (majorClass) {
    case kClassVerb: return kMsgVerbName;
    case kClassModality: return kMsgModalityName;
    case kClassConnector: return kMsgConnectorName;
    case kClassAdjective: return kMsgAdjectiveName;
    case kClassPronoun: return kMsgPronounName;
    case kClassDeterminant:
    case kClassDeterminant2: return kMsgDeterminantName;
    default: return kMsgSubstantiveName;
  }
}

int SubclassLabel(const TCategoryRecord& r) {
  switch (r.MajorClass) {
    case kClassConnector: return r.Subclass >= 1 && r.Subclass <= 10 ? kMsgConnectorName + r.Subclass : kNoLabel;
    case kClassModality: return LabelOf(kModalityLabels, r.Subclass);
    case kClassAdjective: return r.Subclass <= 3 ? kAdjectiveLabels[r.Subclass] : kMsgOtherAdjectives;
    case kClassPronoun: return LabelOf(kPronounLabels, r.Subclass);
    default: return kNoLabel;
  }
}

}  // namespace

void DecodeCategory(TCategoryCode code, TCategoryRecord& r) {
  r = TCategoryRecord{};
  const unsigned low = code & 0xFF;
  switch ((code >> 8) & 0x0F) {
    case 1: {
      r.MajorClass = kClassVerb;
      static constexpr uint8_t kKinds[4] = {1, 2, 3, 4};
      r.Subclass = kKinds[code & 3];
      if (r.Subclass == 4 && !Tuning.performatives) r.Subclass = 8;
      r.SubField2 = static_cast<uint8_t>(((code >> 2) & 3) + 1);
      const unsigned pair = (code >> 4) & 3;
      if (code & 0x40) r.SubField3 = pair == 3 ? kMoodInfinitive : kMoodParticiple;
      else {
        static constexpr uint8_t kMoods[4] = {kMoodIndicative, kMoodConditional, kMoodSubjunctive, kMoodOther};
        r.SubField3 = kMoods[pair];
      }
      if (code & 0x80) r.Flags |= kFlagAuxiliary;
      break;
    }
    case 3:
      r.MajorClass = kClassModality;
      r.Subclass = low >= 1 && low <= 7 ? static_cast<uint8_t>(low) : 0;
      break;
    case 2: {
      r.MajorClass = kClassConnector;
      static constexpr uint8_t kConnectors[11] = {0, 1, 3, 4, 2, 6, 5, 7, 8, 9, 10};
      r.Subclass = low <= 10 ? kConnectors[low] : 0;
      break;
    }
    case 4:
      r.MajorClass = kClassAdjective;
      r.Subclass = low >= 1 && low <= 3 ? static_cast<uint8_t>(low) : 4;
      break;
    case 5: {
      r.MajorClass = kClassPronoun;
      const unsigned sub = code & 0x0F;
      const unsigned person = (code >> 4) & 0x0F;
      r.Subclass = sub >= 1 && sub <= 5 ? static_cast<uint8_t>(sub) : 0;
      r.SubField2 = person >= 1 && person <= 7 ? static_cast<uint8_t>(person) : 0;
      if (code & 0x2000) r.SubField3 = 1;
      break;
    }
    case 6:
      if (low == 1) {
        r.MajorClass = kClassDeterminant2;
      } else {
        r.MajorClass = kClassDeterminant;
        if (code & 0x1000) r.SubField2 = 1;
      }
      if (code & 0x2000) r.SubField3 |= 1;
      break;
    case 8: r.MajorClass = kClassUnknown; break;
    default:
      r.MajorClass = kClassSubstantive;
      if (code & 0x02) r.Spare |= kSpareNamesAlone;
      if (code & 0x04) r.Spare |= kSpareSeldomVerb;
      if (code & 0x08) r.Spare |= kSpareGerundNames;
      if (code & 0x10) r.SubField3 = 1;
      else if (code & 0x20) r.SubField3 = 2;
      else if (code & 0x40) r.SubField3 = 3;
      break;
  }
  if (code & 0x4000) r.Flags |= kFlagFundamental;
  if (code & 0x8000) r.Flags |= kFlagAmbiguous;
}

uint8_t NormaliseMajorClass(TCategoryRecord& r) {
  if (r.MajorClass == kClassUnset) r.MajorClass = kClassSubstantive;
  return r.MajorClass;
}

void SetSubstantive(TCategoryRecord& r) {
  r = TCategoryRecord{};
  r.MajorClass = kClassSubstantive;
}

void SetSubstantiveFeatures(TCategoryRecord& r) {
  SetSubstantive(r);
  r.SubField3 = 3;
}

namespace {
void SetVerb(TCategoryRecord& r, uint8_t kind) {
  r = TCategoryRecord{};
  r.MajorClass = kClassVerb;
  r.Subclass = kind;
  r.SubField2 = kTensePresent;
  r.SubField3 = kMoodIndicative;
}
}  // namespace

void SetFactiveVerb(TCategoryRecord& r) { SetVerb(r, 1); }
void SetStativeVerb(TCategoryRecord& r) { SetVerb(r, 2); }
void SetReflexiveVerb(TCategoryRecord& r) { SetVerb(r, 3); }

void SetConnector(TCategoryRecord& r, uint8_t subclass) {
  r = TCategoryRecord{};
  r.MajorClass = kClassConnector;
  r.Subclass = subclass;
  r.Flags = kFlagFundamental;
}

void SetModality(TCategoryRecord& r, uint8_t subclass) {
  r = TCategoryRecord{};
  r.MajorClass = kClassModality;
  r.Subclass = subclass;
}

void SetFundamentalDeterminant(TCategoryRecord& r) {
  r = TCategoryRecord{};
  r.MajorClass = kClassDeterminant;
  r.Flags = kFlagFundamental;
}

void SetNumeralAdjective(TCategoryRecord& r) {
  r = TCategoryRecord{};
  r.MajorClass = kClassAdjective;
  r.Subclass = 3;
}

void SetObjectiveAdjective(TCategoryRecord& r) {
  r = TCategoryRecord{};
  r.MajorClass = kClassAdjective;
  r.Subclass = 1;
}

bool CategoryMatchesPattern(const TWordCategoryData& d, const TCategoryRecord& pattern) {
  const TCategoryRecord& c = d.Category;
  if (c.MajorClass != pattern.MajorClass) return false;
  if (pattern.Subclass != 0 && c.Subclass != pattern.Subclass) return false;
  if (pattern.SubField2 != 0 && c.SubField2 != pattern.SubField2) return false;
  return true;
}

const char* CategoryClassLabel(const TCategoryRecord& r) {
  std::memset(g_label, 0, sizeof g_label);
  Append(" (");
  Append(GetMessageText(ClassNameMessage(r.MajorClass)).c_str());
  Append(")");
  return g_label;
}

const char* DescribeCategory(const TCategoryRecord& r, bool withDetails) {
  std::memset(g_label, 0, sizeof g_label);
  Append("   (");
  if (IsAmbiguous(r)) AppendLabel(kMsgAmbiguity);
  Append(" ");
  switch (r.MajorClass) {
    case kClassVerb:
      AppendLabel(kMsgVerbName);
      AppendLabel(LabelOf(kVerbKindLabels, r.Subclass));
      if (withDetails) {
        if (IsGerund(r)) {
          AppendLabel(kMsgGerund);
        } else {
          AppendLabel(LabelOf(kMoodLabels, r.SubField3));
          AppendLabel(LabelOf(kTenseLabels, r.SubField2));
        }
      }
      if (IsAuxiliary(r)) AppendLabel(kMsgAuxiliary);
      break;
    case kClassModality:
    case kClassConnector:
    case kClassAdjective:
    case kClassPronoun:
      AppendLabel(ClassNameMessage(r.MajorClass));
      AppendLabel(SubclassLabel(r));
      break;
    case kClassDeterminant:
    case kClassDeterminant2: AppendLabel(kMsgDeterminantName); break;
    case kClassUnset:
    case kClassSubstantive: AppendLabel(kMsgSubstantiveName); break;
    case kClassUnknown: Append(" ???"); break;
    default:
      if (IsFundamental(r)) AppendLabel(kMsgFundamental);
      break;
  }
  Append(" )");
  return g_label;
}

const char* DisplayForm(const char* word, const TWordCategoryData& d, bool linkCompoundWords) {
  std::memset(g_display, 0, sizeof g_display);
  std::strncpy(g_display, word ? word : "", kDisplayBufferSize - 1);
  if (d.Capitalisation == 2) {
    UpperCaseChars(g_display, static_cast<int>(std::strlen(g_display)));
  } else if (d.Capitalisation != 0) {
    UpperCaseCharAt(g_display, 0);
    if (IsSubstantive(d.Category)) {
      for (int i = 1; i <= 78 && g_display[i]; ++i) {
        char c = g_display[i - 1];
        if (c == '_' || c == '-' || c == '&') UpperCaseCharAt(g_display, i);
      }
    }
  }
  const int p = d.SlotFlag;
  if (p >= 1 && p <= 77) {
    if (g_display[p] == 0) g_display[p + 1] = 0;
    // Past the end of a shorter word the quote cannot be placed.
    if (static_cast<int>(std::strlen(g_display)) >= p) {
      g_display[p] = '\'';
      if (p >= 3 && g_display[p - 2] == '_') g_display[p - 1] = static_cast<char>(ToLowerChar(g_display[p - 1]));
    }
  }
  if (!linkCompoundWords)
    for (int i = 0; i < 79 && g_display[i]; ++i)
      if (g_display[i] == '_') g_display[i] = ' ';
  return g_display;
}

void SpacePunctuation(char* token) {
  const size_t n = std::strlen(token);
  if (n == 1) {
    const char c = token[0];
    if (c == '(' || c == '[' || c == '{') {
      token[0] = ' ';
      token[1] = c;
      token[2] = 0;
    } else if (std::strchr("!),.:;?]}", c)) {
      token[1] = ' ';
      token[2] = 0;
    }
  } else if (n == 2) {
    if (token[0] == ')' || token[0] == ']' || token[0] == '}') {
      token[2] = ' ';
      token[3] = 0;
    } else if (token[0] == '.' && token[1] == '(') {
      token[1] = ' ';
      token[2] = ' ';
      token[3] = 0;
    }
  }
}

}  // namespace quilor
