// The terminology extractor (TDlgExtracteurTerminologique) without its
// window: the candidate terms of the analysed text (substantives that start a
// compound, compounds of substantives, adjectives and linking determinants),
// counted in a pair index, filtered and listed with their counts; locating a
// term in the text and in the Scenario, adding terms to the Scenario, copying
// the list. The window shows the lines (DrawTermLine), its option radio
// buttons and check boxes, and forwards the user's actions. The main window
// is reached through MainWindowPort, the Scenario editor through
// ScenarioEditorPort. Texts are Windows-1252.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/canvas.h"
#include "ui/colour.h"

namespace quilor {
class TPairIndex;
class TWordList;
struct TWordNode;
}  // namespace quilor

namespace quilor::ui {

class MainWindowPort;
class ScenarioEditorPort;

constexpr int kMsgTerminologyExtraction = 1236;
constexpr int kMsgTermExplanationFirst = 1237;  // 1237..1242: the explanation page
constexpr int kMsgTermExplanationLast = 1242;
constexpr int kMsgTermWait = 71;
constexpr int kMsgTermCanAdd = 887;
constexpr int kMsgTermNonSignificant = 7303;
constexpr int kMsgTermCopied = 1067;
constexpr int kMsgTermCompounds = 7700;
constexpr int kMsgTermUnclassified = 7506;
constexpr int kMsgTermShowAll = 7701;
constexpr int kMsgTermMostSignificant = 7702;
constexpr int kMsgTermDoNotFilter = 7703;
constexpr int kMsgTermSelectAll = 7704;
constexpr int kMsgTermLocate = 7705;
constexpr int kMsgTermLocateInScenario = 7706;
constexpr int kMsgTermLocateInText = 7707;
constexpr int kMsgTermTerms = 7708;
constexpr int kMsgTermExplanation = 7709;
constexpr int kMsgTermRestore = 737;
constexpr int kMsgTermScenario = 309;
constexpr int kMsgTermInsert = 7134;
constexpr int kMsgTermAdd = 741;
constexpr int kMsgTermSubclassify = 7513;
constexpr int kMsgTermOptions = 620;
constexpr int kMsgTermClose = 545;
constexpr int kMsgTermHelp = 616;
constexpr int kMsgTermCopy = 579;
constexpr int kHelpTerminology = 904;

// A compound stops growing once it would pass this many characters.
constexpr size_t kMaxCompoundLength = 75;

// What the extractor reads from the analysis besides the words.
struct TermSource {
  // Occurrences of a level-1 class in the analysed text.
  std::function<uint32_t(uint32_t cls)> level1Occurrences;
  // The Scenario entry a dictionary key would be counted in (0 none) and an
  // entry's group name.
  std::function<uint32_t(const std::string& key)> scenarioEntry;
  std::function<std::string(uint32_t entry)> scenarioName;
  // The source over the program's ontology engine.
  static TermSource Engine();
};

// Which candidates the filter lists.
struct TermFilter {
  bool showCompounds = true;
  bool showUnclassified = true;
  bool mostSignificant = false;
};

// The candidate terms of one run, counted in a pair index: the words that
// start a compound in its primary table, the compounds as its pairs.
class TermCandidates {
 public:
  TermCandidates();
  ~TermCandidates();
  TermCandidates(const TermCandidates&) = delete;
  TermCandidates& operator=(const TermCandidates&) = delete;

  // ScanCandidates: walks the words from the first to the end without
  // moving the list's cursor. False when there is no index to count in.
  // When the index cannot take a new entry the scan stops there, what was
  // counted stays, and Complete() is false.
  bool Scan(const TWordList& words, const TermSource& source);
  bool Complete() const { return complete_; }
  // FilterCandidates: plural merge, then the lines of the unclassified
  // words and of the compounds ("head word TAB term TAB count"), unsorted.
  std::vector<std::string> Filter(const TermFilter& filter, const TermSource& source);
  TPairIndex& Index() { return *index_; }

 private:
  void EndCompound();
  bool AddToCompound(const std::string& word, bool link, bool record);
  bool RecordCompound(const std::string& compound);

  std::unique_ptr<TPairIndex> index_;
  std::string head_;
  std::string compound_;
  std::string adjective_;
  std::string compoundWithAdjective_;
  uint32_t wordCount_ = 0;
  bool complete_ = false;
};

// A list line taken apart: the head word and the term. A line without a TAB
// is cut at " = " or " (" as well.
struct TermLine {
  std::string head;
  std::string term;
  std::string count;
};
TermLine ParseTermLine(const std::string& line);
// "head TAB term TAB count", the count "*" when 0.
std::string MakeTermLine(const std::string& head, const std::string& term, uint32_t count);

// The background of a line by its count (above 255 counts as 255).
Rgb TermLineShade(uint32_t count);
// ListBox1DrawItem: "head => term (count)" on the shade, in a sunken frame
// (moved 3 pixels with large fonts); the selected line inverted.
void DrawTermLine(Canvas& canvas, const Rect& r, const std::string& line, bool selected, bool largeFonts);

class TDlgExtracteurTerminologique {
 public:
  // editor gives the Scenario editor (null: the Scenario commands are off).
  TDlgExtracteurTerminologique(MainWindowPort* main, std::function<ScenarioEditorPort*()> editor,
                               TermSource source = TermSource::Engine(), TWordList* words = nullptr);

  // The option page and the two group boxes (set from the options record).
  enum class Show { kCompounds, kUnclassified, kAll };
  Show show = Show::kAll;
  bool mostSignificant = false;  // RadioButtonMotsTresSignificatifs (else RadioButtonNePasFiltrer)
  bool locateInScenario = true;  // CheckBoxRechercheAutomatique
  bool locateInText = true;      // CheckBoxLocaliserTexte
  bool subclassify = true;       // CheckBoxSousClasserScenario
  bool insertMode = true;        // RadioButtonInserer (else RadioButtonAjouter)

  // RunTermExtraction (also ButtonRetablirClick): the list filled and sorted.
  void RunTermExtraction();
  const std::vector<std::string>& Lines() const { return lines_; }
  const std::string& StatusText() const { return status_; }
  // The Insert button and the popup's additions (off while no list was made).
  bool ScenarioButtonsEnabled() const { return buttonsEnabled_; }

  // ListBox1Click on a line.
  void ListBox1Click(int index);
  // ButtonInsererClick (in the mode of the radio buttons), PopupMenuInsererClick
  // and PopupMenuAjouterClick over the selected lines (indexes, in list order).
  void ButtonInsererClick(const std::vector<int>& selected) { AddToScenario(selected, insertMode); }
  void PopupMenuInsererClick(const std::vector<int>& selected) { AddToScenario(selected, true); }
  void PopupMenuAjouterClick(const std::vector<int>& selected) { AddToScenario(selected, false); }
  // PopupMenuCopyClick: the whole list to the clipboard.
  void PopupMenuCopyClick();
  // FormClose: the locate switches and the subclassify choice to the options.
  void FormClose();

  // Hooks of the window layer.
  std::function<void()> refreshView;  // the lines or the status changed

 private:
  void SetStatus(const std::string& text);
  void AddToScenario(const std::vector<int>& selected, bool insert);
  void Locate(const std::string& key, bool again);

  MainWindowPort* main_;
  std::function<ScenarioEditorPort*()> editor_;
  TermSource source_;
  TWordList* words_;
  std::vector<std::string> lines_;
  std::string status_;
  bool buttonsEnabled_ = false;
  int previousLine_ = -1;
  int32_t lastFound_ = -1;  // position of the last word located (-1: from the first word)
};

}  // namespace quilor::ui
