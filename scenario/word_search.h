// The word search (TDlgRechMot) without its window: the typed word and its
// history, the meanings the parser lists (one of them checked), the search of
// the next occurrence of the word or of the checked class in the text, and
// the additions to the Scenario through the editor's entry points. The
// window shows this state, forwards the user's actions and draws the meaning
// lines with DrawMeaningLine. The main window is reached through
// MainWindowPort, the Scenario editor through ScenarioEditorPort. Texts are
// Windows-1252.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/word_search_parser.h"
#include "ui/canvas.h"

namespace quilor::ui {

class MainWindowPort;
class ScenarioEditorPort;

constexpr int kMsgCantFind = 7240;
constexpr int kMsgInThisText = 7241;
constexpr int kMsgCreateNewEntry = 7242;
constexpr int kMsgTypeWord = 7243;
constexpr int kMsgConnectTo = 7244;
constexpr int kMsgItselfThisWord = 7245;
constexpr int kMsgSemanticClass = 7246;
constexpr int kMsgWidenSense = 7247;
constexpr int kMsgFromTheTop = 7248;
constexpr int kMsgFromTheTopHint = 7249;
constexpr int kMsgWholeWordOnly = 7250;
constexpr int kMsgWholeWordHint = 7251;
constexpr int kMsgSubclassifyHint = 7252;
constexpr int kMsgLinkScenarioHint = 7253;
constexpr int kMsgDoNotLinkHint = 7254;
constexpr int kMsgStartSearching = 7255;
constexpr int kMsgWordSearchSearch = 520;
constexpr int kMsgWordSearchAdd = 741;
constexpr int kMsgWordSearchInsert = 7134;
constexpr int kMsgAddInTheScenario = 6013;
constexpr int kMsgInsertInTheScenario = 525;
constexpr int kMsgWordSearchSubclassify = 7513;
constexpr int kHelpWordSearch = 986;
constexpr size_t kMaxSearchKey = 79;

// The program's one parser of the word search (its recency ring lives for the run).
TScenParser& ScenParser();

// The Scenario entry of a verb or adjective line: the class its lemma has in
// the verb or adjective index (0 none).
uint32_t IndexClassOfLine(const MeaningLine& line);

// The name a meaning stands for: the Scenario group of a Scenario line, else
// the class name or lemma the parser gave (never the displayed line).
std::string MeaningName(const MeaningLine& line);

// Draws meaning line `record` in r: its operator, the branch of levels 2 and 3,
// the text (Scenario lines in blue, yellow when selected).
void DrawMeaningLine(Canvas& canvas, const Rect& r, const TScenParser::Record& record, bool selected);

class TDlgRechMot {
 public:
  // editor: gives the Scenario editor, made on demand (nullptr: it does not exist).
  TDlgRechMot(MainWindowPort* main, std::function<ScenarioEditorPort*()> editor);

  // The captions' initial states from the options, the parser's hooks.
  void FormCreate();
  // Stores the insert/add choice.
  void FormClose();

  // The field changed: the meanings of its text are listed again.
  void EditUnMotChange(const std::string& text);
  // The text or the Scenario changed: the field's meanings again.
  void Actualiser() { EditUnMotChange(fieldText_); }
  // Line `index` (0-based) of the meanings was checked or unchecked.
  void ListBoxSensClickCheck(int index, bool checked);
  void ButtonChercherClick();
  void ButtonInsererClick();
  void RadioButtonMotClick();
  void RadioButtonClasseClick();
  void SetWholeWord(bool on) { wholeWord_ = on; }
  void SetFromTop(bool on) { fromTop_ = on; }
  void SetAddMode(bool add) { addMode_ = add; }
  void SetSubclassify(bool on) { subclassify_ = on; }
  // The two speed buttons: the Scenario follows the text's search or not.
  void SetLinkScenario(bool on);

  // Drops (only while a text is shown and nothing prints): a results line's
  // item name, or the word at a text position, becomes the field's text.
  bool DropAllowed() const;
  bool DropResultItem(const std::string& name);
  bool DropTextWord(int32_t position);

  // What the window shows.
  const std::string& FieldText() const { return fieldText_; }
  const std::vector<std::string>& History() const { return history_; }
  const std::vector<TScenParser::Record>& Lines() const { return ScenParser().Records(); }
  bool LineChecked(int index) const;
  int CheckedMeaning() const { return checkedMeaning_; }  // 1-based, 0 none
  bool ControlsEnabled() const { return controlsEnabled_; }
  bool SearchEnabled() const { return searchEnabled_; }
  bool WordBoxesEnabled() const { return !classMode_; }  // whole word and "From the top"
  bool ClassMode() const { return classMode_; }
  bool WholeWord() const { return wholeWord_; }
  bool FromTop() const { return fromTop_; }
  bool AddMode() const { return addMode_; }
  bool Subclassify() const { return subclassify_; }
  bool LinkScenario() const;

  // The state shown changed (the window shows it again).
  std::function<void()> changed;

 private:
  void ReportNotFound(const std::string& key);
  void SearchClass();
  void AddToSearchHistory(const std::string& key);
  void Changed() {
    if (changed) changed();
  }

  MainWindowPort* main_;
  std::function<ScenarioEditorPort*()> editor_;
  std::string fieldText_;
  std::vector<std::string> history_;
  std::vector<bool> checked_;
  int checkedMeaning_ = 0;
  bool wholeWord_ = false;
  bool fromTop_ = true;
  bool classMode_ = false;
  bool addMode_ = false;
  bool subclassify_ = true;
  bool controlsEnabled_ = false;
  bool searchEnabled_ = false;
  std::string lastSearched_;
};

}  // namespace quilor::ui
