// Style diagnosis and tendencies of an analysed text.
//
// Both compare the text's category percentages with the language's norms
// (one signed byte per display code, from the lexicon's header): a code is
// over-represented when its percentage is above its norm. The findings and
// the tendency lines go to a results view as they are made.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/word_list.h"

namespace quilor {

struct TSelection;

constexpr int kMaxFindings = 20;
constexpr int kMaxTendencyLines = 78;

// Findings.
constexpr int kMsgCorruptedInput = 8;
constexpr int kMsgDoubt = 310;
constexpr int kMsgArgumentative = 338;
constexpr int kMsgNarrative = 339;
constexpr int kMsgEnunciative = 340;
constexpr int kMsgDescriptive = 341;
constexpr int kMsgStyleNotDetected = 342;
constexpr int kMsgSettingAction = 345;
constexpr int kMsgSettingReal = 346;
constexpr int kMsgSettingNarrator = 347;
constexpr int kMsgSettingI = 348;
constexpr int kMsgTendenciesNotSignificant = 350;
constexpr int kMsgIrregularSyntax = 351;
constexpr int kMsgBordersUsed = 352;
constexpr int kMsgBordersNoEffect = 353;
constexpr int kMsgAllFilteredByBorders = 555;
constexpr int kMsgPropositionsKeptOn = 573;
// Family headers of the tendencies.
constexpr int kMsgFamilyVerbs = 845;
constexpr int kMsgFamilyPronouns = 849;
constexpr int kMsgFamilyConnectors = 846, kMsgFamilyModalities = 847, kMsgFamilyAdjectives = 848;
// What each family's list shows, and the explanation of its first category.
constexpr int kMsgVerbListExplained = 856, kMsgPronounListExplained = 857, kMsgConnectorListExplained = 858,
              kMsgModalityListExplained = 859, kMsgAdjectiveListExplained = 860;
constexpr int kMsgFactiveVerbsExplained = 237, kMsgObjectiveAdjectivesExplained = 244, kMsgFirstPersonExplained = 466,
              kMsgConditionConnectorsExplained = 861, kMsgTimeModalitiesExplained = 870;
// The explanations of the findings.
constexpr int kMsgDoubtExplained = 325, kMsgArgumentativeExplained = 354, kMsgNarrativeExplained = 355,
              kMsgEnunciativeExplained = 356, kMsgDescriptiveExplained = 357, kMsgNoStyleExplained = 358,
              kMsgSettingActionExplained = 360, kMsgSettingRealExplained = 361, kMsgSettingNarratorExplained = 362,
              kMsgSettingIExplained = 363, kMsgFewWordsExplained = 365, kMsgIrregularSyntaxExplained = 366,
              kMsgBordersUsedExplained = 367, kMsgBordersNoEffectExplained = 368,
              kMsgCharacteristicPartsExplained = 369, kMsgFilesSearchedCount = 418;

// Where the findings and tendency lines are shown: the main window's results
// list. AddLine returns false when the list refuses the line.
class DiagnosisView {
 public:
  virtual ~DiagnosisView() = default;
  virtual bool AddLine(const std::string& text) = 0;
};

// Keeps the lines (tests and tools); refuses from line `refuseFrom` on when set.
class RecordingDiagnosisView : public DiagnosisView {
 public:
  bool AddLine(const std::string& text) override {
    if (refuseFrom >= 0 && static_cast<int>(lines.size()) >= refuseFrom) return false;
    lines.push_back(text);
    return true;
  }
  std::vector<std::string> lines;
  int refuseFrom = -1;
};

// What the diagnosis reads; by default the program's counters, percentages
// and the norms of the loaded lexicon.
struct TDiagnosisInputs {
  const uint32_t* counters = nullptr;   // by display code 0..77
  const double* percentages = nullptr;  // by display code 0..77
  const int8_t* norms = nullptr;        // norms[c - 1] for code c
  uint32_t textWords = 0;               // words in TextWords (marks not counted)
  bool bordersInUse = false;
  uint32_t filteredPropositions = 0;  // propositions the Borders took out

  static TDiagnosisInputs Current();
};

struct TDiagnosisLine {
  uint16_t kind = 0;  // 2 verbs, 3 connectors, 4 modalities, 5 adjectives, 6 pronouns
  uint16_t index = 0;
  uint16_t explanation = 0;
  std::string text;
};

// The explanation of a finding and the (major class, subclass) pairs the
// text view highlights for it.
struct TFindingExplanation {
  int message = 0;  // 0 when the finding has none
  std::vector<std::pair<uint8_t, uint8_t>> pairs;
  bool toFirstEpisode = false;
  // A text shown with the explanation: for 566 the kept characteristic
  // propositions, "<kept> propositions kept on <candidates>".
  std::string text;
};

class TDiagnosisList {
 public:
  TDiagnosisList() = default;
  // Shown flag set, the TextWords cursor kept in bookmark 5, nothing found.
  void Init(TWordList& words = TextWords);

  // Computes the findings; with a view, each is added to it when made (a
  // refusal stops the diagnosis).
  void DiagnoseStyle(const TDiagnosisInputs& in, DiagnosisView* view);
  // The tendency lines of the five families; with a view, added to it.
  void BuildTendencies(const TDiagnosisInputs& in, bool significantOnly, DiagnosisView* view);

  // The item kind code of a line's kind for lines 0..78; else 0.
  int LineKindCode(int line) const;
  // Makes a line current, makes the selection its category range and
  // searches its first occurrence; a line above 78 removes the highlighting.
  // Returns the line's explanation message (0 when none).
  int SelectLine(int line, TSelection& selection, TWordList& words = TextWords);
  // The explanation of a finding; 566 reads the counts of AnalysisResults.
  static TFindingExplanation ExplainFinding(int finding);

  const std::vector<int>& Findings() const { return findings_; }
  const std::vector<TDiagnosisLine>& Lines() const { return lines_; }
  int CurrentLine() const { return currentLine_; }
  bool Shown() const { return shown_; }

  // Findings of the style alone (steps 2 to 5): the style message or 0.
  static int StyleOf(const TDiagnosisInputs& in);

 private:
  bool Add(int message, DiagnosisView* view);
  void AddLine(TDiagnosisLine line, DiagnosisView* view);

  std::vector<int> findings_;
  std::vector<TDiagnosisLine> lines_;
  int currentLine_ = 79;
  bool shown_ = false;
};

}  // namespace quilor
