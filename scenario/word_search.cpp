#include "scenario/word_search.h"

#include <algorithm>
#include <cstring>

#include "core/category.h"
#include "core/chartables.h"
#include "core/files.h"
#include "core/name_index.h"
#include "engine/ontology_engine.h"
#include "core/options.h"
#include "engine/selection.h"
#include "engine/word_list.h"
#include "ui/desktop.h"
#include "ui/main_window_port.h"
#include "ui/result_type_codes.h"
#include "ui/selection_ops.h"
#include "ui/view_state.h"
#include "ui/scenario_editor_port.h"
#include "scenario/texts.h"

namespace quilor::ui {

namespace {

constexpr Rgb kBlue = MakeRgb(0, 0, 255);
constexpr Rgb kYellow = MakeRgb(255, 255, 0);
constexpr Rgb kGrey = MakeRgb(128, 128, 128);

bool IsLemmaLine(const MeaningLine& line) { return IsVerb(line.category) || IsAdjective(line.category); }

std::string DictionaryKey(const std::string& text) {
  char buffer[96] = {};  // NormaliseKey needs 81 bytes
  std::strncpy(buffer, text.c_str(), kMaxSearchKey);
  NormaliseKey(buffer);
  return buffer;
}

}  // namespace

TScenParser& ScenParser() {
  static TScenParser* parser = [] {
    auto* p = new TScenParser;
    p->InitParser();
    p->indexClassOfLine = IndexClassOfLine;
    p->scenarioGroupName = [](uint32_t entry) {
      return OntologyEngine ? OntologyEngine->ClassName(4, static_cast<int32_t>(entry)) : std::string();
    };
    return p;
  }();
  return *parser;
}

uint32_t IndexClassOfLine(const MeaningLine& line) {
  TStringHashIndex* index = IsVerb(line.category) ? VerbIndex : IsAdjective(line.category) ? AdjectiveIndex : nullptr;
  if (!index || line.className.empty()) return 0;
  const int entry = index->FindNameEntry(line.className.c_str());
  if (entry <= 0) return 0;
  return IsVerb(line.category) ? VerbClassOf(entry) : AdjectiveClassOf(entry);
}

std::string MeaningName(const MeaningLine& line) {
  if (line.level == 4 && line.classes[3] && OntologyEngine) {
    std::string group = OntologyEngine->ClassName(4, static_cast<int32_t>(line.classes[3]));
    if (!group.empty()) return group;
  }
  return line.className;
}

void DrawMeaningLine(Canvas& canvas, const Rect& r, const TScenParser::Record& record, bool selected) {
  const MeaningLine& line = record.line;
  Font font;
  if (line.level == 4) font.colour = selected ? kYellow : kBlue;
  else if (!record.enabled) font.colour = kGrey;
  else font.colour = selected ? kWhite : kBlack;
  canvas.SetFont(font);
  canvas.SetTextBackground(false);
  const std::string op(1, line.op ? line.op : ' ');
  const int y = r.top + std::max(0, (r.Height() - canvas.TextHeight(op)) / 2);
  canvas.TextOut(r.left + 2, y, op);
  int x = r.left + 2 + canvas.TextWidth(op) + 6;
  if (line.level == 2 || line.level == 3) {
    const int branch = r.left + 10 * line.level;
    const int middle = r.top + r.Height() / 2;
    canvas.SetPen(selected ? kWhite : kBlack);
    canvas.Line({branch, r.top}, {branch, middle});
    canvas.Line({branch, middle}, {branch + 20, middle});
    x = branch + 20;
  }
  canvas.TextOut(x, y, record.shown);
}

TDlgRechMot::TDlgRechMot(MainWindowPort* main, std::function<ScenarioEditorPort*()> editor)
    : main_(main), editor_(std::move(editor)) {}

void TDlgRechMot::FormCreate() {
  addMode_ = Options && Options->Switch(opt::WordSearchAdd);
  subclassify_ = !(Options && Options->Switch(opt::DoNotSubclassify));
  ScenParser();
  Changed();
}

void TDlgRechMot::FormClose() {
  if (Options) Options->Set(opt::WordSearchAdd, static_cast<uint8_t>(addMode_ ? 1 : 0));
}

bool TDlgRechMot::LinkScenario() const { return Options && Options->Switch(opt::WordSearchLinkScenario); }

void TDlgRechMot::SetLinkScenario(bool on) {
  if (Options) Options->Set(opt::WordSearchLinkScenario, static_cast<uint8_t>(on ? 1 : 0));
  Changed();
}

bool TDlgRechMot::LineChecked(int index) const {
  return index >= 0 && static_cast<size_t>(index) < checked_.size() && checked_[static_cast<size_t>(index)];
}

void TDlgRechMot::EditUnMotChange(const std::string& text) {
  fieldText_ = text;
  fromTop_ = true;
  controlsEnabled_ = !text.empty();
  searchEnabled_ = !text.empty() && main_ && main_->TextLoaded();
  TScenParser& parser = ScenParser();
  parser.Clear();
  parser.operatorOption = Options && Options->Switch(opt::WordSearchSwitch553);
  parser.numbersAsWords = Options && Options->Switch(opt::Normalisation);
  checked_.clear();
  checkedMeaning_ = 0;
  parser.RunCriteria(text);
  if (parser.WordCount() > 0) {
    // The first checked line is the meaning; every later one is unchecked.
    for (const TScenParser::Record& record : parser.Records()) {
      const bool first = record.line.checked && checkedMeaning_ == 0;
      checked_.push_back(first);
      if (first) checkedMeaning_ = static_cast<int>(checked_.size());
    }
  } else {
    controlsEnabled_ = false;
  }
  Changed();
}

void TDlgRechMot::ListBoxSensClickCheck(int index, bool checked) {
  const auto& records = ScenParser().Records();
  if (index < 0 || static_cast<size_t>(index) >= records.size() || static_cast<size_t>(index) >= checked_.size())
    return;
  const TScenParser::Record& record = records[static_cast<size_t>(index)];
  if (!checked) {
    checked_[static_cast<size_t>(index)] = false;
    if (checkedMeaning_ == index + 1) checkedMeaning_ = 0;
  } else if (record.enabled) {
    ScenParser().PushRecentClass(record.line.classes);
    checkedMeaning_ = index + 1;
    std::fill(checked_.begin(), checked_.end(), false);
    checked_[static_cast<size_t>(index)] = true;
  }
  Changed();
}

void TDlgRechMot::RadioButtonMotClick() {
  classMode_ = false;
  searchEnabled_ = !fieldText_.empty() && main_ && main_->TextLoaded();
  Changed();
}

void TDlgRechMot::RadioButtonClasseClick() {
  classMode_ = true;
  Changed();
}

void TDlgRechMot::AddToSearchHistory(const std::string& key) {
  history_.erase(std::remove(history_.begin(), history_.end(), key), history_.end());
  history_.insert(history_.begin(), key);
}

void TDlgRechMot::ReportNotFound(const std::string& key) {
  if (main_) main_->AfficheMessage(Msg(kMsgCantFind) + "\"" + key + "\"" + Msg(kMsgInThisText));
  CurrentDesktop().Beep();
}

void TDlgRechMot::ButtonChercherClick() {
  if (!main_ || main_->Printing() || !main_->TextLoaded()) return;
  main_->ShowTextTab();
  std::string key = fieldText_.substr(0, std::min(fieldText_.size(), kMaxSearchKey));
  if (key.empty()) return;
  LowerCaseString(key);
  if (WorkContext) WorkContext->SearchKeys[0] = DictionaryKey(key);
  if (key != lastSearched_) AddToSearchHistory(key);
  lastSearched_ = key;

  if (classMode_) {
    SearchClass();
    Changed();
    return;
  }
  ShowHourglass();
  ViewState.TextViewWordLimit = kNoWordLimit;
  // The search goes on from its own bookmark; "From the top" puts it on the first word.
  if (fromTop_) {
    TextWords.Rewind();
    TextWords.SaveCursor(kBookmarkWordSearch);
  }
  const int32_t position = FindWordInText(key, wholeWord_);
  RestoreCursor();
  if (position >= 0) {
    main_->GoToWordPosition(position);
    fromTop_ = false;
  } else {
    ReportNotFound(key);
    fromTop_ = true;
  }
  Changed();
}

void TDlgRechMot::SearchClass() {
  if (checkedMeaning_ == 0 || static_cast<size_t>(checkedMeaning_) > Lines().size()) {
    ReportNotFound(lastSearched_);
    return;
  }
  const MeaningLine& line = Lines()[static_cast<size_t>(checkedMeaning_ - 1)].line;
  const std::string name = MeaningName(line);
  ViewState.GraphShown = Options && Options->Switch(opt::ShowGraph);
  BeginNewSelection();
  if (IsLemmaLine(line)) {
    if (!SelectLemmaOccurrences(line.category, name)) ReportNotFound(lastSearched_);
    return;
  }
  if (line.level >= 1 && line.level <= 4 && SelectClassByName(ViewState.selection, line.level, name))
    BeginNewSelectionAndRedraw();
  else ReportNotFound(lastSearched_);
  if (line.level != 4) return;
  if (ScenarioEditorPort* editor = editor_ ? editor_() : nullptr; editor && editor->IsOpen())
    editor->FindNodeByLabel(name, true);
  if (LinkScenario()) {
    main_->ShowResultType(kTypeScenario);
    main_->SelectResultLineByTag(line.classes[3]);
  }
}

void TDlgRechMot::ButtonInsererClick() {
  ScenarioEditorPort* editor = editor_ ? editor_() : nullptr;
  if (!editor) return;
  if (!editor->IsOpen()) {
    editor->Open();
    return;
  }
  char kind = '?';
  std::string name;
  int level = 0;
  if (classMode_) {
    if (checkedMeaning_ == 0 || static_cast<size_t>(checkedMeaning_) > Lines().size()) {
      CurrentDesktop().Beep();
      return;
    }
    const MeaningLine& line = Lines()[static_cast<size_t>(checkedMeaning_ - 1)].line;
    name = MeaningName(line);
    level = line.level;
    if (level == 4) {
      CurrentDesktop().Beep();
      return;
    }
    if (IsLemmaLine(line)) {
      level = 0;
      kind = IsVerb(line.category) ? 'V' : 'A';
    } else if (level == 1) {
      const int32_t index = OntologyEngine ? OntologyEngine->FindClassIndex(1, name) : 0;
      if (index <= 0 || OntologyEngine->IsAddedClass(1, index)) level = 0;
    }
  } else {
    name = DictionaryKey(fieldText_);
  }
  if (name.empty()) return;
  if (Options) Options->Set(opt::WordSearchAdd, static_cast<uint8_t>(addMode_ ? 1 : 0));
  if (level > 0) {
    editor->SetPending(name, level, kind);
    bool group = false;
    if (!addMode_) {
      group = editor->SelectEnclosingGroup();
      if (group && subclassify_) editor->CreateOrSelectGroup(name, -1, true);
    }
    if (addMode_ || !group) editor->AddPendingToNewGroup();
    else editor->AddPendingToSelectedGroup();
    editor->ExpandSelected();
  } else if (addMode_) {
    editor->AddWordInNewGroup(name, kind);
  } else {
    editor->InsertWords(name, kind, subclassify_);
  }
}

bool TDlgRechMot::DropAllowed() const { return main_ && main_->TextLoaded() && !main_->Printing(); }

bool TDlgRechMot::DropResultItem(const std::string& name) {
  if (!DropAllowed() || name.empty()) return false;
  EditUnMotChange(name);
  return true;
}

bool TDlgRechMot::DropTextWord(int32_t position) {
  if (!DropAllowed()) return false;
  const std::string word = WordTextAt(position);
  if (word.empty()) return false;
  EditUnMotChange(word);
  return true;
}

}  // namespace quilor::ui
