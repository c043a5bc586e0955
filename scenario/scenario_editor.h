// The Scenario editor ("Scenario Tool") without its window: the tree of the
// current Scenario, the pending item the other windows fill, their entry
// points, the file commands (save, save as, open, new, cancel all) and the
// status and caption texts. The window shows it and forwards its commands;
// the main window is reached through MainWindowPort only.
#pragma once

#include <functional>
#include <string>

#include "core/class_file.h"
#include "ui/main_window_port.h"
#include "ui/scenario_editor_port.h"
#include "scenario/scenario_tree.h"

namespace quilor::ui {

constexpr int kMsgScenarioTool = 1065;
constexpr int kMsgNewGroupName = 522;
constexpr int kMsgScenarioModified = 7100;
constexpr int kMsgYouWantToDelete = 7101;
constexpr int kMsgCancelAllChanges = 7102;
constexpr int kMsgSaveCurrentScenario = 7103;
constexpr int kMsgIsDefaultScenario = 7104;
constexpr int kMsgSaveUnderAnotherName = 7105;
constexpr int kMsgReallyUpdateFile = 7106;
constexpr int kMsgWarningsInOntology = 7107;
constexpr int kMsgScenarioFilter = 7108;
constexpr int kMsgTypeAWord = 7109;
constexpr int kMsgWordWithoutReference = 7110;
constexpr int kMsgAlreadyExistsReplace = 7111;
constexpr int kMsgSubstantives = 7112;
constexpr int kMsgVerbs = 7113;
constexpr int kMsgAdjectives = 7114;
constexpr int kMsgReferences = 7115;
constexpr int kMsgReferenceFields1 = 7116;
constexpr int kMsgReferenceFields2 = 7117;
constexpr int kMsgErrorWord = 7118;
constexpr int kMsgVisible = 7119;
constexpr int kMsgInvisible = 7120;
constexpr int kMsgStoreInScenarioFolder = 1221;
constexpr int kMsgCopyManually = 1222;
constexpr int kMsgTooDeep = 7154;
constexpr int kMsgOwlFilter = 7155;
constexpr int kMsgImportOwl = 7156;
constexpr int kMsgOpenOnlyFromFolder = 7157;
constexpr int kMsgHelpMenu = 616;
constexpr int kMsgScenarioToolHelp = 7159;
constexpr int kMsgExplanation = 7160;
constexpr int kMsgAttributes = 7161;
constexpr int kExplainFirst = 7162;  // the explanation page's paragraphs
constexpr int kExplainLast = 7169;
constexpr int kHelpScenarioTool = 964;

// What the attribute panel shows for a node.
struct AttributePanel {
  bool visible = false;  // false: nothing selected
  bool group = false;
  std::string groupName;
  std::string itemName;
  bool checkVisible = false;
  std::string checkCaption;
  int picture = 0;
};

// Which commands the window enables, from the editor's state alone.
struct ScenarioEditorActions {
  bool selection = false;     // the commands that need a selected node
  bool rename = false;        // groups and top-level nodes
  bool paste = false;         // a node is marked by Cut
  bool upperCase = false;     // visible groups
  bool cancelAll = false;     // the Scenario is modified
  bool print = false;         // no print is going on
  bool visibleCheck = false;  // the selection is a group
};

class ScenarioEditor;
ScenarioEditorActions ScenarioActionStates(const ScenarioEditor& editor);

class ScenarioEditor : public ScenarioEditorPort {
 public:
  explicit ScenarioEditor(MainWindowPort* mainWindow = nullptr) : main_(mainWindow) {}

  ScenarioTree& Tree() { return tree_; }
  const ScenarioTree& Tree() const { return tree_; }
  MainWindowPort* MainWindow() const { return main_; }
  void SetMainWindow(MainWindowPort* main) { main_ = main; }

  // The pending item.
  std::string PendingScenarioName;
  int PendingScenarioLevel = 0;
  char PendingScenarioKind = '?';

  // ScenarioEditorPort.
  bool IsOpen() const override { return open_; }
  bool IsModified() const override { return tree_.Modified(); }
  void Open() override;
  void SetPending(const std::string& name, int level, char kind) override;
  void AddPendingToNewGroup() override;
  void AddPendingToSelectedGroup() override;
  bool AddWordInNewGroup(const std::string& word, char kind) override;
  bool InsertWords(const std::string& word, char kind, bool subclassify) override;
  bool AddWordAtPosition(int position) override;
  std::string PendingName() const override { return PendingScenarioName; }
  char PendingKind() const override { return PendingScenarioKind; }
  void SearchName(const std::string& text) override;
  bool FindNodeByLabel(const std::string& text, bool groupsOnly) override;
  bool FindNextNode(const std::string& text, int& start, bool mayShorten) override;
  void SetSearchText(const std::string& text) override;
  bool OpenScenarioByName(const std::string& fileName) override;
  bool NodeSelected() const override { return tree_.Node(tree_.Selected()) != nullptr; }
  void SelectParent() override;
  void BeginUpdateTreeView() override { ++updateDepth_; }
  void EndUpdateTreeView() override;
  void SortTree() override;
  bool SelectEnclosingGroup() override;
  void CreateOrSelectGroup(const std::string& name, int position, bool asChild) override;
  void ExpandSelected() override;

  // Mapping.
  bool FillTreeFromScenario();
  bool WriteTreeToScenario();

  // Window life: FormShow and FormClose (false keeps the window open).
  void FormShow();
  bool FormClose();

  // File commands.
  bool SaveScenarioFile();
  bool SaveScenarioAs(bool reload);
  void ToolButtonEnregistrerClick();
  void MenuEnregistrerSousClick();
  void ToolButtonOuvrirClick();
  void ToolButtonNouveauClick();
  // The OWL import: the file chosen with its own filter, converted, and the
  // produced Scenario made the current one.
  void ImportOwlClick();
  void MenuAnnulerModifsClick();
  // The save question of a modified Scenario: false when the caller must stop
  // (Cancel, or Yes with a failed save).
  bool AskSaveIfModified();

  // Editing commands on the selection.
  void ToolButtonCreerGroupeClick();
  void ToolButtonSupprimerClick();
  void ToolButtonDissocierClick();
  void CutSelected();
  bool PasteOnSelected();
  // A node dragged onto another inside the tree.
  bool DropInside(int source, int target);
  void ToolButtonChercherClick();   // the search field
  void AddSearchFieldInNewGroup();  // MenuItemPopupCreerGroupe
  void InsertSearchFieldInGroup();  // MenuItemPopupInsererDsGroupe
  // A drop from another window (result list or text view); target 0: no node.
  void DropFromOtherWindow(int target, bool fromTextView, int textPosition, const std::string& selectedName,
                           int classLevel, int resultType);
  // Whether the tree takes such a drop: a word of the text page while a text
  // is loaded; a results line of a class list (result types 1, 2, 3) or a
  // lemma list (8, 9, 10) likewise.
  bool TakesDropFromOtherWindow(bool fromTextView, int resultType) const;

  // Texts. The status line tells that the Scenario is modified while it is;
  // otherwise the last note (the anomaly count after a save), if any.
  std::string Caption() const;
  std::string StatusLine() const;
  AttributePanel Attributes() const;
  std::string searchText;
  int searchPosition = 0;

  // Hooks of the window layer.
  std::function<void()> showWindow;    // make the window visible
  std::function<void()> refreshView;   // the tree or texts changed
  std::function<void()> onClosed;      // the word search refreshes itself
  std::function<void()> runWizard;     // the New Scenario wizard (modal)
  std::function<void()> openDocument;  // the main window's file dialog
  std::function<void()> showOptions;   // the general options
  // The main window's command that adds its selected result to the Scenario.
  std::function<void()> addSelectedResult;
  // The OWL import: the produced Scenario file name, empty when none; the
  // import's log is named in owlLog.
  std::function<std::string(const std::string& owlPath)> importOwl;
  std::string owlLog;
  // Lexicon hooks (the program installs them over the engine; tests may replace them).
  std::function<bool(const std::string&)> compoundKnown;
  std::function<std::string(const std::string&, char& kind)> lemmaOfSearchText;

  // The snapshot Cancel all goes back to (taken at load and at save).
  const ClassFileList& Snapshot() const { return snapshot_; }

 private:
  void Changed();
  void SetNote(const std::string& text);
  // After an edit of the tree: tells the user when it was refused as too deep.
  void TellIfTooDeep();
  bool LoadAsCurrent(const std::string& nameWithExtension);
  // Runs the OWL import of a file: the Scenario it made becomes current, the
  // engine's statistics of it close the import's log, which is then shown.
  void ImportOwlFrom(const std::string& path);
  void RerunIfTextLoaded();
  bool ChosenInScenarioFolder(const std::string& path) const;
  void AddFoldedForm(const std::string& word);

  MainWindowPort* main_;
  ScenarioTree tree_;
  ClassFileList snapshot_;
  std::string note_;
  bool open_ = false;
  int updateDepth_ = 0;
};

// The program's editor (null until the main window makes it).
ScenarioEditor* CurrentScenarioEditor();
void SetCurrentScenarioEditor(ScenarioEditor* editor);

}  // namespace quilor::ui
