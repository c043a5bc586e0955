// The Results tab without its widgets: the table of result types (the left
// list, ListBoxFonctions), the results list of the selected type
// (ListBoxModItems), what a click or a double click on a results line
// selects and explains, the actor checkboxes, the state of the results
// toolbar and the refresh after an analysis. It reads the analysis and
// selects in the views' state of the model it is made with (TResultsModel).
// The widgets show Lines() and Items() and forward the user's clicks; texts
// are Windows-1252.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/file_queue.h"
#include "engine/analysis.h"
#include "engine/analysis_results.h"
#include "engine/diagnosis.h"
#include "engine/word_list.h"
#include "ui/canvas.h"
#include "mainwindow/results_lines.h"
#include "ui/result_type_codes.h"
#include "ui/view_state.h"

namespace quilor::ui {

class ScenarioEditorPort;

enum ResultTypeCode : uint8_t {
  kResultReferences = 1,
  kResultReferenceFields1 = 3,
  kResultReferenceFields2 = 4,
  kResultRelations = 5,
  kResultCategories = 6,
  kResultStyle = 7,
  kResultScenario = 8,
  kResultVerbs = 9,
  kResultAdjectives = 10,
  kResultSubstantives = 11,
  kResultEpisode = 12,
};

struct TResultTypeEntry {
  uint8_t code = 0;
  uint8_t level = 0;  // 2 main, 1 detailed
  int32_t labelId = 0;
};

// The result types of the last analysis; entry i is line i of the left list.
class TResultTypeTable {
 public:
  static constexpr int kCapacity = 201;
  void Clear();
  // Appends an entry and its line; nothing once the table is full.
  bool AddResultType(uint8_t code, uint8_t level, int32_t labelId, const std::string& line);
  // Index of the last entry; -1 when empty.
  int Count() const { return static_cast<int>(entries_.size()) - 1; }
  const TResultTypeEntry* Entry(int index) const;
  // The lines of the left list (an empty text has one line and no entry).
  const std::vector<std::string>& Lines() const { return lines_; }
  void SetSingleLine(const std::string& line);

 private:
  std::vector<TResultTypeEntry> entries_;
  std::vector<std::string> lines_;
};

// The 11 fixed entries, then "Episode n" per episode when the analysis found
// bursts; the first-episode index is the index of the last fixed entry. A
// text of fewer than 2 nodes leaves only the line "Empty or unreadable text".
// Returns the first-episode index (0 when there is no episode).
int BuildResultTypeList(TResultTypeTable& table, uint32_t burstCount, uint32_t episodeCount, uint32_t wordNodes);

// The results toolbar.
struct TResultsToolbarState {
  bool searchVisible = false, searchEnabled = false;
  bool sortEnabled = false;
  bool expandVisible = false;
  int expandHint = 0;                           // 826 "Expand all" or 827 "Reduce all"
  bool addVisible = false, addEnabled = false;  // add to / insert into the Scenario
  int sortHint = 0;                             // 1051 "Sort by frequency" or 1050 "Sort alphabetically"
  bool nextEnabled = false, previousEnabled = false;
};

// How one results line is drawn: its mark (a coloured box, or the Scenario
// picture) or, for Scenario lines, its place in the tree.
struct TResultLineLook {
  Rgb markColour = 0;
  bool inScenario = false;      // the item is in the Scenario: its picture stands for the mark
  bool tree = false;            // a Scenario line
  int depth = 0;                // tree depth (0: a top group)
  bool lastSibling = false;     // no sibling follows below
  std::vector<bool> continues;  // levels 1..depth-1 whose branch goes on below
};

// What a results panel shows and selects in, handed to it when it is made
// (each must outlive the panel): the results of the analysis shown (none
// between analyses), its words, the documents it read and the views' state
// in which a click on a line selects.
struct TResultsModel {
  const std::unique_ptr<TAnalysisResults>& results;
  TWordList& words;
  const TPileFile& files;
  TViewState& view;
};

class TResultsPanel : private DiagnosisView {
 public:
  explicit TResultsPanel(const TResultsModel& model);
  ~TResultsPanel() override;

  // The Scenario editor (not owned; nullptr: it does not exist).
  void SetScenarioEditor(ScenarioEditorPort* editor) { editor_ = editor; }
  // The analysis whose results are listed (not owned; it outlives the panel).
  void SetAnalysis(const TAnalysis* analysis) { analysis_ = analysis; }

  // After a successful analysis: views reset, result types rebuilt, search
  // keys applied, the last used result type shown again.
  void RefreshAfterAnalysis();
  // The text was released: the lists are emptied.
  void Clear();
  // The user chose line `index` of the left list (ListBoxFonctionsClick).
  void SelectResultType(int index);
  // Shows the result type of CurrentResultType.
  void ShowResultType();
  // The last used result type again (called back by dialogs).
  void SwitchAffichageSurDerniereFonctionUtilise();
  // The first episode's line, its graph and its part of the text.
  void SeMettreSurPremierEpisode();
  // A click / double click on results line `line` (ListBoxModItemsClick / DblClick).
  void ClickLine(int line);
  void DoubleClickLine(int line);
  // The actor checkboxes; at least one stays checked.
  void SetActantChecked(bool checked);
  void SetActeChecked(bool checked);
  // Hides or shows the branches of the Scenario list.
  void SetBranchesHidden(bool hidden);

  TResultsToolbarState ToolbarState() const;
  TResultLineLook LineLook(int line) const;
  // Draws results line `line` in r: the mark or tree, then the text, its
  // TAB columns where LayOutColumns put them.
  void DrawLine(Canvas& canvas, const Rect& r, int line, bool largeFonts = false) const;
  // Measures the columns of the lines shown in the canvas's font, and their
  // captions in the font the header draws them with (after every change of
  // the lines).
  void MeasureColumns(Canvas& canvas, const Font& captionFont);
  // Lays the measured columns out for a list `width` pixels wide (after
  // every change of the width).
  void LayOutColumns(int width);
  // Both, the captions measured in the canvas's font.
  void LayOutColumns(Canvas& canvas, int width);
  const TResultColumns& Columns() const { return columns_; }
  // The captions of the columns of the result type shown (Windows-1252; none
  // for the lists without columns).
  std::vector<std::string> ColumnCaptions() const;
  // The captions over the columns, in r (the list's header).
  void DrawHeader(Canvas& canvas, const Rect& r) const;

  // What the widgets show.
  const TResultTypeTable& ResultTypeTable() const { return table_; }
  const std::vector<std::string>& Items() const { return items_; }
  bool ItemsSorted() const { return sorted_; }
  const std::string& ItemsHint() const { return hint_; }
  bool ShowItemsHint() const { return showHint_; }
  const std::string& Explanation() const { return explanation_; }  // LabelInfos
  const std::string& Status() const { return status_; }
  bool ActantChecked() const { return actantChecked_; }
  bool ActeChecked() const { return acteChecked_; }
  bool ActorsEnabled() const { return actorsEnabled_; }
  bool BranchesHidden() const { return branchesHidden_; }
  int SelectedLine() const { return selectedItemLine_; }
  const std::vector<uint32_t>& LineTags() const { return lineTags_; }
  // The item name of results line `line` (what a drag of it carries); empty outside the list.
  std::string ItemName(int line) const;
  const TResultTypeEntry* CurrentEntry() const { return table_.Entry(CurrentResultType); }

  // Window state.
  int CurrentResultType = 0;   // the selected line of the left list
  int LastUsedResultType = 0;  // shown again after the next analysis
  int FirstEpisodeIndex = 0;
  bool FirstDisplay = true;

 private:
  bool AddLine(const std::string& text) override;
  void SetExplanation(const std::string& text);
  void SetStatus(const std::string& text);
  // The explanation, the converters' status list and the status of a text
  // that could not be read.
  void ShowUnreadableText();
  void FillItems(const TResultTypeEntry& entry);
  void FinishItems(std::vector<std::string> lines, bool sortable);
  void ApplySearchKeys();
  bool ReadLine(int line, std::string& name, std::string& rest) const;
  void ClickClass(int level, const std::string& name, const std::string& count, bool bundle);
  void ClickRelation(const std::string& name, const std::string& rest);
  void ClickLemma(int code, const std::string& name);
  void ClickBurst(int line);
  void ClickStyle(int line);
  // Whether a result type lists the selection (its class or relation).
  bool ListsSelection(const TResultTypeEntry& entry) const;
  // The selection ends: no class, category or text part; the graph goes.
  void EndSelection();
  void FindSelectedLine(const TResultTypeEntry& entry);
  TActorFilters Filters() const { return {!actantChecked_, !acteChecked_}; }

  TResultsModel model_;
  TResultTypeTable table_;
  std::vector<std::string> items_;
  std::vector<uint32_t> lineTags_;
  std::vector<int> styleFindings_;  // the finding behind each style line
  std::unique_ptr<TDiagnosisList> diagnosis_;
  ScenarioEditorPort* editor_ = nullptr;
  const TAnalysis* analysis_ = nullptr;
  bool sorted_ = false;
  std::string hint_;
  bool showHint_ = false;
  std::string keyNotFound_;  // the keys asked for that name no class of the text
  TResultColumns columns_;
  std::vector<int> measuredColumns_;  // the widest text of each column of the lines
  std::vector<int> captionWidths_;
  int indent_ = 0;  // the deepest line's tree indent
  std::string explanation_;
  std::string status_;
  bool actantChecked_ = true, acteChecked_ = true, actorsEnabled_ = false;
  bool branchesHidden_ = false;
  int selectedItemLine_ = -1;
};

// The sentences of a results line.
// "I found 0012 equivalents of "name", in this text."
std::string ClassExplanation(const std::string& paddedCount, const std::string& name);
// "Bundle on 0004 equivalents of "name", length : 12.5% of the text."
std::string BundleExplanation(const std::string& paddedCount, const std::string& name, double lengthPercent);
// "I found 7 occurrences of the verb "walk" in this text." (code 9, 10 or 11)
std::string LemmaExplanation(int code, uint32_t count, const std::string& word);
// "I found 0003 relations starting form  (a) and ending at (b), in this text."
std::string RelationExplanation(const std::string& paddedCount, const std::string& first, const std::string& second);
// "Bundle on Category "label", 4 words, length : 12.5% of the text."
std::string CategoryBundleExplanation(const std::string& label, uint32_t count, double lengthPercent);
// A percentage of width 4 with one decimal ("12.5", " 3.0").
std::string Percent41(double value);

}  // namespace quilor::ui
