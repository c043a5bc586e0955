// How other windows reach the Scenario editor ("Scenario Tool"): its entry
// points for adding words and classes, and its search. The editor implements
// it; while it does not exist the port is null and the commands that need it
// are disabled. Words are Windows-1252.
#pragma once

#include <string>

namespace quilor::ui {

class ScenarioEditorPort {
 public:
  virtual ~ScenarioEditorPort() = default;

  // True while the editor window is open.
  virtual bool IsOpen() const = 0;
  // Opens the editor (or brings it to the front).
  virtual void Open() = 0;

  // The pending item, set before AddPendingToNewGroup / AddPendingToSelectedGroup:
  // name, level 0 to 3, kind '?' word, 'V' verb, 'A' adjective, 'S' substantive.
  virtual void SetPending(const std::string& name, int level, char kind) = 0;
  virtual void AddPendingToNewGroup() = 0;
  virtual void AddPendingToSelectedGroup() = 0;
  virtual void AddWordInNewGroup(const std::string& word, char kind) = 0;
  virtual void InsertWords(const std::string& word, char kind, bool subclassify) = 0;
  // Prepares the pending item from the word at a text position; false when none.
  virtual bool AddWordAtPosition(int position) = 0;
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
};

}  // namespace quilor::ui
