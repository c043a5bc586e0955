// How other windows reach the Scenario editor ("Scenario Tool"): its entry
// points for adding words and classes, and its search. The editor implements
// it; while it does not exist the port is null and the commands that need it
// are disabled. Words are Windows-1252.
#pragma once

#include <string>
#include <vector>

namespace quilor::ui {

class ScenarioEditorPort {
 public:
  virtual ~ScenarioEditorPort() = default;

  // True while the editor window is open.
  virtual bool IsOpen() const = 0;
  // True when the Scenario was changed and not saved.
  virtual bool IsModified() const = 0;
  // Opens the editor (or brings it to the front).
  virtual void Open() = 0;

  // The pending item, set before AddPendingToNewGroup / AddPendingToSelectedGroup:
  // name, level 0 to 3, kind '?' word, 'V' verb, 'A' adjective, 'S' substantive.
  virtual void SetPending(const std::string& name, int level, char kind) = 0;
  virtual void AddPendingToNewGroup() = 0;
  virtual void AddPendingToSelectedGroup() = 0;
  // Both give false when the word could not be put into the Scenario.
  virtual bool AddWordInNewGroup(const std::string& word, char kind) = 0;
  virtual bool InsertWords(const std::string& word, char kind, bool subclassify) = 0;
  // Prepares the pending item from the word at a text position; false when none.
  virtual bool AddWordAtPosition(int position) = 0;
  // The pending item as it stands (after AddWordAtPosition).
  virtual std::string PendingName() const = 0;
  virtual char PendingKind() const = 0;
  // Puts a text into the editor's search field and searches it.
  virtual void SearchName(const std::string& text) = 0;
  // Selects the first node whose label equals text (case-insensitively);
  // groupsOnly: visible groups only.
  virtual bool FindNodeByLabel(const std::string& text, bool groupsOnly) = 0;
  // From start, selects the next node whose label begins with text; start
  // moves past it. mayShorten retries with shorter texts.
  virtual bool FindNextNode(const std::string& text, int& start, bool mayShorten) = 0;
  // Puts a text into the editor's search field.
  virtual void SetSearchText(const std::string& text) = 0;
  // The selection moves to its group (itself when it is a group, else its
  // parent when that is a group); false, and nothing moves, when there is none.
  virtual bool SelectEnclosingGroup() = 0;
  // Makes name a group (position < 0: relative to the selection; asChild:
  // under it) or selects the existing one.
  virtual void CreateOrSelectGroup(const std::string& name, int position, bool asChild) = 0;
  // The selected node is expanded.
  virtual void ExpandSelected() = 0;
  // Makes a file of the Scenario folder the current Scenario (command file).
  virtual bool OpenScenarioByName(const std::string& fileName) = 0;

  // A node of the tree is selected.
  virtual bool NodeSelected() const = 0;
  // The selection moves to the selected node's parent (nothing at the top level).
  virtual void SelectParent() = 0;
  // A run of additions: the tree is shown again once, at the end.
  virtual void BeginUpdateTreeView() = 0;
  virtual void EndUpdateTreeView() = 0;
  // Sorts the whole tree (the editor's sort command).
  virtual void SortTree() = 0;
};

// Records the calls; tests set what it answers. `calls` has every call that
// changes the tree as one line ("AddWordInNewGroup word V", "SetPending name 2 ?" ...).
class FakeScenarioEditor : public ScenarioEditorPort {
 public:
  bool open = true;
  bool selected = false;
  int failAfter = -1;  // the additions after this many fail (-1: none fail)
  int opened = 0;
  int sorts = 0;
  int updateDepth = 0;
  int parentSelections = 0;
  std::vector<std::string> added;     // AddWordInNewGroup: word + kind
  std::vector<std::string> inserted;  // InsertWords: word + kind (+ "/sub")
  std::vector<std::string> searched;  // searches, in order
  std::vector<std::string> searchTexts;
  std::vector<std::string> calls;
  bool foundByLabel = false;
  bool foundNext = false;
  // The pending item, and what AddWordAtPosition finds.
  std::string pendingName;
  int pendingLevel = 0;
  char pendingKind = '?';
  bool wordAtPosition = false;
  std::string wordFound = "word";
  char kindFound = '?';

  bool modified = false;
  bool IsOpen() const override { return open; }
  bool IsModified() const override { return modified; }
  void Open() override { ++opened; }
  void SetPending(const std::string& name, int level, char kind) override {
    pendingName = name, pendingLevel = level, pendingKind = kind;
    calls.push_back("SetPending " + name + " " + std::to_string(level) + " " + kind);
  }
  void AddPendingToNewGroup() override { calls.push_back("AddPendingToNewGroup " + pendingName); }
  void AddPendingToSelectedGroup() override { calls.push_back("AddPendingToSelectedGroup " + pendingName); }
  bool AddWordInNewGroup(const std::string& word, char kind) override {
    if (!Accept()) return false;
    added.push_back(word + kind);
    calls.push_back("AddWordInNewGroup " + word + " " + kind);
    return true;
  }
  bool InsertWords(const std::string& word, char kind, bool subclassify) override {
    if (!Accept()) return false;
    inserted.push_back(word + kind + (subclassify ? "/sub" : ""));
    calls.push_back("InsertWords " + word + " " + kind + (subclassify ? " sub" : ""));
    return true;
  }
  bool AddWordAtPosition(int position) override {
    calls.push_back("AddWordAtPosition " + std::to_string(position));
    if (!wordAtPosition) return false;
    pendingName = wordFound, pendingLevel = 0, pendingKind = kindFound;
    return true;
  }
  std::string PendingName() const override { return pendingName; }
  char PendingKind() const override { return pendingKind; }
  void SearchName(const std::string& text) override { searched.push_back(text + "/name"); }
  bool FindNodeByLabel(const std::string& text, bool groupsOnly) override {
    searched.push_back(text + (groupsOnly ? "/groups" : ""));
    return foundByLabel;
  }
  bool FindNextNode(const std::string& text, int& start, bool) override {
    searched.push_back(text + "/next" + std::to_string(start));
    return foundNext;
  }
  void SetSearchText(const std::string& text) override { searchTexts.push_back(text); }
  bool OpenScenarioByName(const std::string&) override { return false; }
  bool SelectEnclosingGroup() override { return selected; }
  void CreateOrSelectGroup(const std::string& name, int, bool) override { searched.push_back(name + "/group"); }
  void ExpandSelected() override {}
  bool NodeSelected() const override { return selected; }
  void SelectParent() override { ++parentSelections; }
  void BeginUpdateTreeView() override { ++updateDepth; }
  void EndUpdateTreeView() override { --updateDepth; }
  void SortTree() override { ++sorts; }

 private:
  bool Accept() {
    if (failAfter < 0) return true;
    if (failAfter == 0) return false;
    --failAfter;
    return true;
  }
};

}  // namespace quilor::ui
