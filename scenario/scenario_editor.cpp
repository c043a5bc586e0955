#include "scenario/scenario_editor.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/chartables.h"
#include "core/files.h"
#include "core/inflection.h"
#include "core/lexicon.h"
#include "core/messages.h"
#include "scenario/texts.h"
#include "core/name_index.h"
#include "engine/ontology_engine.h"
#include "core/options.h"
#include "engine/startup.h"
#include "engine/word_list.h"
#include "platform/text_encoding.h"
#include "ui/desktop.h"
#include "scenario/anomaly_list.h"

namespace quilor::ui {

namespace {

ScenarioEditor* currentEditor = nullptr;

std::string Lower(std::string text) {
  LowerCaseString(text);
  return text;
}

std::string NamePart(const std::string& path) { return std::filesystem::path(path).filename().string(); }

std::string WithScnExtension(std::string name) {
  const std::string ext = Lower(std::filesystem::path(name).extension().string());
  if (ext != ".scn") name = std::filesystem::path(name).replace_extension(".scn").string();
  return name;
}

bool LexiconKnows(const std::string& word) {
  if (!MainDictionary || word.empty() || word.size() >= kWordBufferSize) return false;
  return LookupWord(*MainDictionary, 0, static_cast<int>(word.size()), false, false, word.c_str()) > 0;
}

// The stored name of a verb or adjective form, or the form itself.
std::string StoredNameOf(TStringHashIndex* index, const std::string& form) {
  const char* name = nullptr;
  if (index && index->LookupStoredName(form.c_str(), &name) && name && *name) return name;
  return form;
}

// RetraiterLemmeSurLigneChercher: a verb or adjective of the search field becomes its stored name.
std::string LemmaOfSearchText(const std::string& text, char& kind) {
  kind = '?';
  if (!MainDictionary || text.empty() || text.size() >= kWordBufferSize) return text;
  if (LookupWord(*MainDictionary, 0, static_cast<int>(text.size()), true, false, text.c_str()) <= 0) return text;
  const TCategoryRecord& r = MainDictionary->record;
  if (IsAmbiguous(r)) return text;
  if (IsVerb(r)) {
    kind = 'V';
    return StoredNameOf(VerbIndex, text);
  }
  if (IsAdjective(r)) {
    kind = 'A';
    return StoredNameOf(AdjectiveIndex, text);
  }
  return text;
}

}  // namespace

ScenarioEditor* CurrentScenarioEditor() { return currentEditor; }
void SetCurrentScenarioEditor(ScenarioEditor* editor) { currentEditor = editor; }

void ScenarioEditor::Changed() {
  if (refreshView && updateDepth_ == 0) refreshView();
}

void ScenarioEditor::SetNote(const std::string& text) {
  note_ = text;
  if (refreshView) refreshView();
}

void ScenarioEditor::TellIfTooDeep() {
  if (tree_.RefusedTooDeep()) ShowError(Msg(kMsgTooDeep));
}

std::string ScenarioEditor::StatusLine() const { return tree_.Modified() ? Msg(kMsgScenarioModified) : note_; }

void ScenarioEditor::RerunIfTextLoaded() {
  if (main_ && main_->TextLoaded()) main_->ReLancerAnalyse();
}

// ---------------------------------------------------------------- mapping

bool ScenarioEditor::FillTreeFromScenario() {
  tree_.capitals = Options->Switch(opt::GroupsInCapitals);
  tree_.compoundKnown = compoundKnown ? compoundKnown : LexiconKnows;
  tree_.Fill(ScenarioFile);
  snapshot_ = ScenarioFile;
  Changed();
  return true;
}

bool ScenarioEditor::WriteTreeToScenario() {
  tree_.compoundKnown = compoundKnown ? compoundKnown : LexiconKnows;
  return tree_.Write(ScenarioFile);
}

// ---------------------------------------------------------------- window life

void ScenarioEditor::Open() {
  if (!open_) FormShow();
  if (showWindow) showWindow();
}

void ScenarioEditor::FormShow() {
  open_ = true;
  FillTreeFromScenario();
  note_.clear();
  if (Options->Get(opt::ScenarioFileName).empty() && Options->Switch(opt::RunWizardWhenEmpty) && runWizard) runWizard();
  Changed();
}

bool ScenarioEditor::FormClose() {
  if (tree_.Modified()) {
    const int answer = AskSaveYesNoCancel(Msg(kMsgSaveCurrentScenario));
    if (answer == 3 || answer == 0) return false;
    if (answer == 1) {
      if (!SaveScenarioAs(true)) return false;
      RerunIfTextLoaded();
    }
  }
  open_ = false;
  if (onClosed) onClosed();
  return true;
}

// ---------------------------------------------------------------- files

bool ScenarioEditor::SaveScenarioFile() {
  const std::string name = Options->Get(opt::ScenarioFileName);
  if (name.empty()) return false;
  std::string path;
  if (!JoinFolderAndName(WorkContext->UserScenarioFolder, name, path)) return false;
  ShowHourglass();
  // The list in memory must stay what the file holds: when the write fails
  // it goes back, and the tree keeps the work, still marked modified.
  ClassFileList kept = ScenarioFile;
  bool ok = WriteTreeToScenario();
  // The modified flag goes only once the file is written.
  if (ok) ok = SaveClassFile(ScenarioFile, path, name);
  RestoreCursor();
  if (!ok) {
    ScenarioFile = std::move(kept);
    return false;
  }
  tree_.SetModified(false);
  snapshot_ = ScenarioFile;
  return true;
}

bool ScenarioEditor::ChosenInScenarioFolder(const std::string& path) const {
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  return std::filesystem::equivalent(folder, WorkContext->UserScenarioFolder, ec) && !ec;
}

bool ScenarioEditor::SaveScenarioAs(bool reload) {
  const std::string previous = Options->Get(opt::ScenarioFileName);
  if (previous.empty()) {
    FileChoice choice;
    choice.folder = WorkContext->UserScenarioFolder;
    choice.filter = Msg(kMsgScenarioFilter) + "|*.scn";
    const std::string chosen = CurrentDesktop().ChooseSaveFile(choice);
    if (chosen.empty()) return false;
    if (!ChosenInScenarioFolder(chosen)) {
      ShowError(Msg(kMsgStoreInScenarioFolder) + "\"" + WorkContext->UserScenarioFolder + "\" " +
                Msg(kMsgCopyManually));
      return false;
    }
    const std::string name = WithScnExtension(NamePart(chosen));
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::path(WorkContext->UserScenarioFolder) / name, ec) &&
        !AskYesNo(name + " " + Msg(kMsgAlreadyExistsReplace)))
      return false;
    if (IsDefaultScenarioName(name) && !AskYesNo(name + Msg(kMsgIsDefaultScenario) + " " +
                                                 Msg(kMsgSaveUnderAnotherName) + " " + Msg(kMsgReallyUpdateFile)))
      return false;
    Options->Set(opt::ScenarioFileName, name);
  } else {
    Options->Set(opt::ScenarioFileName, WithScnExtension(previous));
  }
  if (!SaveScenarioFile()) {
    if (previous.empty()) Options->Set(opt::ScenarioFileName, previous);
    Changed();
    return false;
  }
  if (reload && OntologyEngine) {
    OntologyEngine->LoadScenario(ScenarioFile, GroupNumbering.forceRenumbering);
    OntologyEngine->ShareScenarioWithIndexes();
  }
  Changed();
  return true;
}

void ScenarioEditor::ToolButtonEnregistrerClick() {
  const std::string name = Options->Get(opt::ScenarioFileName);
  if (IsDefaultScenarioName(name) && !AskYesNo(name + Msg(kMsgIsDefaultScenario) + " " + Msg(kMsgSaveUnderAnotherName) +
                                               " " + Msg(kMsgReallyUpdateFile)))
    return;
  SetNote("");
  if (!SaveScenarioAs(true)) return;
  const AttributePanel panel = Attributes();
  WorkContext->SearchKeys[0] = panel.groupName;
  WorkContext->SearchKeyKinds[0] = 4;
  if (main_ && main_->TextLoaded()) {
    main_->ShowResultType(4);
    main_->ReLancerAnalyse();
  }
  tree_.SetModified(false);
  if (ScenarioAnomalies().Shown() && OntologyEngine && OntologyEngine->AnomalyFlag()) FillTreeFromScenario();
  const uint32_t anomalies = OntologyEngine ? OntologyEngine->AnomalyCount() : 0;
  note_ = anomalies >= 1 ? std::to_string(anomalies) + " " + Msg(kMsgWarningsInOntology) : std::string();
  Changed();
}

void ScenarioEditor::MenuEnregistrerSousClick() {
  SetNote("");
  const std::string keep = Options->Get(opt::ScenarioFileName);
  Options->Set(opt::ScenarioFileName, "");
  if (OntologyEngine) OntologyEngine->BeginSignatureRenumbering(false);
  if (!SaveScenarioAs(true)) {
    Options->Set(opt::ScenarioFileName, keep);
    Changed();
    return;
  }
  WorkContext->SearchKeys[0] = Attributes().groupName;
  WorkContext->SearchKeyKinds[0] = 4;
  if (main_ && main_->TextLoaded()) {
    main_->ShowResultType(4);
    main_->ReLancerAnalyse();
  }
  Changed();
}

bool ScenarioEditor::AskSaveIfModified() {
  if (!tree_.Modified()) return true;
  const int answer = AskSaveYesNoCancel(Msg(kMsgSaveCurrentScenario));
  if (answer == 2) return true;
  if (answer != 1) return false;
  return SaveScenarioAs(true);
}

bool ScenarioEditor::LoadAsCurrent(const std::string& nameWithExtension) {
  // A file that cannot be read or is damaged is not made current: the tree
  // and the Scenario in use stay as they were (the message named the file).
  if (!MakeScenarioCurrent(nameWithExtension)) {
    Changed();
    return false;
  }
  note_.clear();
  FillTreeFromScenario();
  RerunIfTextLoaded();
  Changed();
  return true;
}

void ScenarioEditor::ToolButtonOuvrirClick() {
  if (!AskSaveIfModified()) return;
  FileChoice choice;
  choice.folder = WorkContext->UserScenarioFolder;
  choice.fileName = Options->Get(opt::ScenarioFileName);
  choice.filter = Msg(kMsgScenarioFilter) + "|*.scn";
  std::vector<std::string> chosen = CurrentDesktop().ChooseOpenFiles(choice);
  if (chosen.empty() || chosen.front().empty()) return;
  const std::string path = chosen.front();
  if (Lower(std::filesystem::path(path).extension().string()) == ".owl") {
    ImportOwlFrom(path);
    return;
  }
  if (!ChosenInScenarioFolder(path)) {
    // Nothing is opened: the user is told why, then both folders are shown
    // so that the file can be copied.
    ShowError(Msg(kMsgOpenOnlyFromFolder) + " " + Msg(kMsgStoreInScenarioFolder) + "\"" +
              WorkContext->UserScenarioFolder + "\" " + Msg(kMsgCopyManually));
    ExploreFolder(WorkContext->UserScenarioFolder);
    ExploreFolder(std::filesystem::path(path).parent_path().string());
    return;
  }
  LoadAsCurrent(NamePart(path));
}

void ScenarioEditor::ImportOwlClick() {
  if (!importOwl || !AskSaveIfModified()) return;
  FileChoice choice;
  choice.folder = WorkContext->UserScenarioFolder;
  std::string title = Cp1252ToUtf8(Msg(kMsgImportOwl));
  while (!title.empty() && title.back() == '.') title.pop_back();
  choice.title = title;
  choice.filter = Msg(kMsgOwlFilter) + "|*.owl;*.OWL";
  std::vector<std::string> chosen = CurrentDesktop().ChooseOpenFiles(choice);
  if (chosen.empty() || chosen.front().empty()) return;
  ImportOwlFrom(chosen.front());
}

void ScenarioEditor::ImportOwlFrom(const std::string& path) {
  if (!importOwl) return;
  owlLog.clear();
  const std::string produced = importOwl(path);
  if (produced.empty()) return;  // the import said why and showed its log
  const bool loaded = LoadAsCurrent(NamePart(produced));
  if (owlLog.empty()) return;
  if (loaded && OntologyEngine) {
    if (std::FILE* log = std::fopen(owlLog.c_str(), "ab")) {
      std::fprintf(log, "%s\r\n* Scenario inner stats \r\n* Words list indexes: %zu\r\n* Group indexes: \r\n",
                   std::string(60, '*').c_str(), OntologyEngine->ScenarioWordCount());
      OntologyEngine->WriteIndexStatistics(4, log);
      std::fclose(log);
    }
  }
  ShellOpenFile(owlLog);
}

bool ScenarioEditor::OpenScenarioByName(const std::string& fileName) {
  if (!AskSaveIfModified()) return false;
  return LoadAsCurrent(NamePart(fileName));
}

void ScenarioEditor::ToolButtonNouveauClick() {
  SetNote("");
  if (runWizard) runWizard();
}

void ScenarioEditor::MenuAnnulerModifsClick() {
  if (!tree_.Modified()) return;
  if (CancelChosen(Msg(kMsgCancelAllChanges))) return;
  ScenarioFile = snapshot_;
  tree_.capitals = Options->Switch(opt::GroupsInCapitals);
  tree_.Fill(snapshot_);
  note_.clear();
  Changed();
}

// ---------------------------------------------------------------- entry points

void ScenarioEditor::SetPending(const std::string& name, int level, char kind) {
  PendingScenarioName = name.substr(0, 79);
  PendingScenarioLevel = level;
  PendingScenarioKind = kind;
}

void ScenarioEditor::AddPendingToNewGroup() {
  if (PendingScenarioName.empty()) return;
  tree_.capitals = Options->Switch(opt::GroupsInCapitals);
  tree_.CreateOrSelectGroup(PendingScenarioName, 0, false);
  tree_.AddPendingItem(PendingScenarioName, PendingScenarioLevel, PendingScenarioKind, true);
  PendingScenarioKind = '?';
  Changed();
}

void ScenarioEditor::AddPendingToSelectedGroup() {
  int node = tree_.Selected();
  if (!tree_.Node(node)) return;
  tree_.capitals = Options->Switch(opt::GroupsInCapitals);
  tree_.PutItemInOwnGroup(node);
  tree_.SetModified(true);
  tree_.Select(node);
  tree_.AddPendingItem(PendingScenarioName, PendingScenarioLevel, PendingScenarioKind, true);
  TellIfTooDeep();
  PendingScenarioKind = '?';
  Changed();
}

void ScenarioEditor::AddFoldedForm(const std::string& word) {
  if (!Options->Switch(opt::AddFormsWithoutAccent)) return;
  char buffer[kWordBufferSize] = {};
  std::strncpy(buffer, word.c_str(), 79);
  if (!FoldAccents(buffer) || word == buffer) return;
  tree_.AddPendingItem(buffer, 0, '?', true);
}

bool ScenarioEditor::InsertWords(const std::string& word, char kind, bool subclassify) {
  if (!tree_.Node(tree_.Selected()) || word.empty()) return false;
  tree_.capitals = Options->Switch(opt::GroupsInCapitals);
  PendingScenarioLevel = 0;
  PendingScenarioKind = kind;
  PendingScenarioName = word.substr(0, 79);
  int group = tree_.EnclosingGroup(tree_.Selected());
  if (!group) {
    tree_.CreateOrSelectGroup(word, 0, false);
    group = tree_.Selected();
  }
  if (subclassify && tree_.Depth(group) < 8) {
    tree_.Select(group);
    tree_.CreateOrSelectGroup(word, -1, true);
    group = tree_.Selected();
  }
  const bool plainWord = kind != 'A' && kind != 'V' && kind != 'S';
  std::string name = PendingScenarioName;
  if (plainWord) std::replace(name.begin(), name.end(), '-', '_');
  tree_.Select(group);
  const bool put = tree_.AddPendingItem(name, 0, kind, true) || !tree_.RefusedTooDeep();
  TellIfTooDeep();
  const int added = put ? tree_.Selected() : 0;
  if (plainWord && put) {
    tree_.Select(group);
    AddFoldedForm(name);
    tree_.Select(added);
  }
  PendingScenarioKind = '?';
  if (const ScenarioNode* g = tree_.Node(group)) tree_.SortChildren(g->parent);
  Changed();
  // The word is in the tree: added, or an item of that name selected instead.
  const ScenarioNode* now = tree_.Node(added);
  return now && !now->group;
}

bool ScenarioEditor::AddWordInNewGroup(const std::string& word, char kind) {
  if (word.empty()) return false;
  PendingScenarioName = word.substr(0, 79);
  tree_.capitals = Options->Switch(opt::GroupsInCapitals);
  tree_.CreateOrSelectGroup(PendingScenarioName, 0, false);
  return InsertWords(PendingScenarioName, kind, false);
}

void ScenarioEditor::SelectParent() {
  const ScenarioNode* n = tree_.Node(tree_.Selected());
  if (!n || !n->parent) return;
  tree_.Select(n->parent);
  Changed();
}

void ScenarioEditor::EndUpdateTreeView() {
  if (updateDepth_ > 0) --updateDepth_;
  Changed();
}

void ScenarioEditor::SortTree() {
  tree_.SortAll();
  Changed();
}

bool ScenarioEditor::AddWordAtPosition(int position) {
  PendingScenarioLevel = 0;
  PendingScenarioKind = '?';
  const TWordNode* node = TextWords.NodeAt(position);
  if (!node || !*node->text) return false;
  std::string word = node->text;
  const TCategoryRecord& r = node->category.Category;
  if (IsSubstantive(r)) {
    char buffer[kWordBufferSize] = {};
    char alternative[kWordBufferSize] = {};
    std::strncpy(buffer, word.c_str(), 79);
    if (IsPlural(buffer) && !SubField3HasBits0And1(r) && word.find_first_of("-_") == std::string::npos &&
        Singular(buffer, alternative))
      word = buffer;
  } else if (IsVerb(r)) {
    word = StoredNameOf(VerbIndex, word);
    PendingScenarioKind = 'V';
  } else if (IsAdjective(r)) {
    word = StoredNameOf(AdjectiveIndex, word);
    PendingScenarioKind = 'A';
  } else if (!Options->Switch(opt::ScenarioOnAllCategories)) {
    ShowError(Msg(kMsgWordWithoutReference));
  }
  PendingScenarioName = word;
  return true;
}

bool ScenarioEditor::FindNodeByLabel(const std::string& text, bool groupsOnly) {
  const bool found = tree_.FindNodeByLabel(text, groupsOnly);
  if (found) Changed();
  return found;
}

bool ScenarioEditor::FindNextNode(const std::string& text, int& start, bool mayShorten) {
  const bool found = tree_.FindNextNode(text, start, mayShorten);
  if (found) Changed();
  return found;
}

bool ScenarioEditor::SelectEnclosingGroup() {
  const int group = tree_.EnclosingGroup(tree_.Selected());
  if (!group) return false;
  tree_.Select(group);
  Changed();
  return true;
}

void ScenarioEditor::CreateOrSelectGroup(const std::string& name, int position, bool asChild) {
  tree_.capitals = Options->Switch(opt::GroupsInCapitals);
  tree_.CreateOrSelectGroup(name, position, asChild);
  Changed();
}

void ScenarioEditor::ExpandSelected() {
  tree_.SetExpanded(tree_.Selected(), true);
  Changed();
}

void ScenarioEditor::SetSearchText(const std::string& text) {
  searchText = text;
  searchPosition = 0;
}

void ScenarioEditor::SearchName(const std::string& text) {
  SetSearchText(text);
  ToolButtonChercherClick();
}

void ScenarioEditor::ToolButtonChercherClick() {
  const std::string text = Lower(searchText);
  if (text.empty()) return;
  const bool fromStart = searchPosition == 0;
  if (tree_.FindNextNode(text, searchPosition, true) ||
      (!fromStart && (searchPosition = 0, tree_.FindNextNode(text, searchPosition, true))) ||
      tree_.FindNodeByLabel(text, false)) {
  }
  Changed();
}

namespace {
std::string SearchFieldAsKey(const std::string& field) {
  std::string text = field;
  while (!text.empty() && text.front() == ' ') text.erase(text.begin());
  while (!text.empty() && text.back() == ' ') text.pop_back();
  char buffer[kWordBufferSize + 2] = {};
  std::strncpy(buffer, text.c_str(), 80);
  NormaliseKey(buffer);
  std::string key = buffer;
  if (key.size() > 78) key.resize(78);
  return key;
}
}  // namespace

void ScenarioEditor::AddSearchFieldInNewGroup() {
  const std::string key = SearchFieldAsKey(searchText);
  if (key.empty()) return;
  char kind = '?';
  const std::string lemma = lemmaOfSearchText ? lemmaOfSearchText(key, kind) : LemmaOfSearchText(key, kind);
  PendingScenarioName = lemma;
  AddWordInNewGroup(lemma, kind);
}

void ScenarioEditor::InsertSearchFieldInGroup() {
  const std::string key = SearchFieldAsKey(searchText);
  if (key.empty()) return;
  char kind = '?';
  const std::string lemma = lemmaOfSearchText ? lemmaOfSearchText(key, kind) : LemmaOfSearchText(key, kind);
  PendingScenarioName = lemma;
  InsertWords(lemma, kind, false);
}

// ---------------------------------------------------------------- editing

void ScenarioEditor::ToolButtonCreerGroupeClick() {
  PendingScenarioName = Msg(kMsgNewGroupName) + " ???";
  tree_.capitals = Options->Switch(opt::GroupsInCapitals);
  tree_.CreateOrSelectGroup(PendingScenarioName, 0, false);
  Changed();
}

void ScenarioEditor::ToolButtonSupprimerClick() {
  const int node = tree_.Selected();
  if (!tree_.Node(node)) return;
  if (Options->Switch(opt::ConfirmDeletions)) {
    const std::string question = Msg(kMsgYouWantToDelete) + " \"" + tree_.Label(node) + "\" ?";
    const bool yes = AskYesNoWithDontShow(question);
    if (LastMessageBox.dontShowAgain) Options->Set(opt::ConfirmDeletions, 0);
    if (!yes) return;
  }
  tree_.Delete(node);
  Changed();
}

void ScenarioEditor::ToolButtonDissocierClick() {
  const int node = tree_.Selected();
  if (!tree_.Node(node)) return;
  ++updateDepth_;
  tree_.capitals = Options->Switch(opt::GroupsInCapitals);
  tree_.Dissociate(node);
  --updateDepth_;
  Changed();
}

void ScenarioEditor::CutSelected() {
  tree_.Cut(tree_.Selected());
  Changed();
}

bool ScenarioEditor::PasteOnSelected() {
  const bool pasted = tree_.Paste(tree_.Selected());
  TellIfTooDeep();
  Changed();
  return pasted;
}

bool ScenarioEditor::DropInside(int source, int target) {
  const bool moved = tree_.DropMove(source, target);
  TellIfTooDeep();
  Changed();
  return moved;
}

void ScenarioEditor::DropFromOtherWindow(int target, bool fromTextView, int textPosition,
                                         const std::string& selectedName, int classLevel, int resultType) {
  if (!main_ || !main_->TextLoaded()) return;
  if (fromTextView) {
    if (!AddWordAtPosition(textPosition)) return;
  } else {
    PendingScenarioName = selectedName.substr(0, 79);
    PendingScenarioLevel = classLevel;
    PendingScenarioKind = '?';
    if (resultType >= 8 && resultType <= 10) {
      PendingScenarioKind = "VAS"[resultType - 8];
      PendingScenarioLevel = 0;
    }
    if (PendingScenarioLevel == 1 && OntologyEngine && OntologyEngine->FindClassIndex(1, PendingScenarioName) == 0)
      PendingScenarioLevel = 0;
  }
  const std::string name = PendingScenarioName;
  const bool plainWord = PendingScenarioKind == '?' && PendingScenarioLevel == 0;
  tree_.capitals = Options->Switch(opt::GroupsInCapitals);
  int group = 0;
  if (target && tree_.Node(target)) {
    tree_.PutItemInOwnGroup(target);
    tree_.Select(target);
    tree_.AddPendingItem(name, PendingScenarioLevel, PendingScenarioKind, true);
    TellIfTooDeep();
    group = tree_.RefusedTooDeep() ? 0 : target;
  } else {
    tree_.CreateOrSelectGroup(name, 0, false);
    group = tree_.EnclosingGroup(tree_.Selected());
    tree_.AddPendingItem(name, PendingScenarioLevel, PendingScenarioKind, true);
  }
  if (plainWord && group) {
    tree_.Select(group);
    AddFoldedForm(name);
  }
  PendingScenarioKind = '?';
  tree_.SetModified(true);
  Changed();
}

bool ScenarioEditor::TakesDropFromOtherWindow(bool fromTextView, int resultType) const {
  if (!main_ || !main_->TextLoaded()) return false;
  return fromTextView || (resultType >= 1 && resultType <= 3) || (resultType >= 8 && resultType <= 10);
}

ScenarioEditorActions ScenarioActionStates(const ScenarioEditor& editor) {
  ScenarioEditorActions a;
  const ScenarioTree& tree = editor.Tree();
  const ScenarioNode* n = tree.Node(tree.Selected());
  a.selection = n != nullptr;
  a.rename = n && ScenarioTree::CanRename(*n);
  a.paste = n && tree.Node(tree.CutMark()) != nullptr;
  a.upperCase = n && tree.Picture(n->id) == kPicGroup;
  a.cancelAll = tree.Modified();
  a.print = !(editor.MainWindow() && editor.MainWindow()->Printing());
  a.visibleCheck = n && n->group;
  return a;
}

// ---------------------------------------------------------------- texts

std::string ScenarioEditor::Caption() const {
  std::string caption = Msg(kMsgScenarioTool);
  const std::string name = Options->Get(opt::ScenarioFileName);
  if (!name.empty()) caption += " : " + name;
  return caption;
}

AttributePanel ScenarioEditor::Attributes() const {
  AttributePanel panel;
  const ScenarioNode* n = tree_.Node(tree_.Selected());
  if (!n) return panel;
  panel.visible = true;
  panel.picture = tree_.Picture(n->id);
  auto capitalised = [](std::string s) {
    if (!s.empty()) s[0] = static_cast<char>(ToUpperChar(static_cast<unsigned char>(s[0])));
    return s;
  };
  if (n->group) {
    panel.group = true;
    panel.groupName = capitalised(n->text);
    panel.checkVisible = n->visible;
    panel.checkCaption = Msg(n->visible ? kMsgVisible : kMsgInvisible);
    return panel;
  }
  const ScenarioNode* parent = tree_.Node(n->parent);
  panel.groupName = parent ? capitalised(parent->text) : "?";
  std::string item = n->text;
  int meaning = 0;
  switch (n->kind) {
    case 'S': meaning = kMsgSubstantives; break;
    case 'V': meaning = kMsgVerbs; break;
    case 'A': meaning = kMsgAdjectives; break;
    case '1': meaning = kMsgReferences; break;
    case '2': meaning = kMsgReferenceFields2; break;
    case '3': meaning = kMsgReferenceFields1; break;
    default: break;
  }
  if (meaning) item += std::string(" (") + Msg(meaning) + ")";
  if (n->error) item = std::string(" ") + Msg(kMsgErrorWord) + " ! " + item;
  panel.itemName = item;
  return panel;
}

}  // namespace quilor::ui
