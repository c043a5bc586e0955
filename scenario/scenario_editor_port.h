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
  // Makes a file of the Scenario folder the current Scenario (command file).
  virtual bool OpenScenarioByName(const std::string& fileName) = 0;
};

// A stand-in for tests: open or closed as told, every call recorded as one
// line ("AddWordInNewGroup word V", "SetPending name 2 ?" ...).
class FakeScenarioEditor : public ScenarioEditorPort {
 public:
  bool open = true;
  std::string pendingName;
  int pendingLevel = 0;
  char pendingKind = '?';
  bool wordAtPosition = true;  // what AddWordAtPosition finds
  std::string wordFound = "word";
  char kindFound = '?';
  std::vector<std::string> calls;

  bool IsOpen() const override { return open; }
  void Open() override { open = true, calls.push_back("Open"); }
  void SetPending(const std::string& name, int level, char kind) override {
    pendingName = name, pendingLevel = level, pendingKind = kind;
    calls.push_back("SetPending " + name + " " + std::to_string(level) + " " + kind);
  }
  void AddPendingToNewGroup() override { calls.push_back("AddPendingToNewGroup " + pendingName); }
  void AddPendingToSelectedGroup() override { calls.push_back("AddPendingToSelectedGroup " + pendingName); }
  void AddWordInNewGroup(const std::string& word, char kind) override {
    calls.push_back("AddWordInNewGroup " + word + " " + kind);
  }
  void InsertWords(const std::string& word, char kind, bool subclassify) override {
    calls.push_back("InsertWords " + word + " " + kind + (subclassify ? " sub" : ""));
  }
  bool AddWordAtPosition(int position) override {
    calls.push_back("AddWordAtPosition " + std::to_string(position));
    if (!wordAtPosition) return false;
    pendingName = wordFound, pendingLevel = 0, pendingKind = kindFound;
    return true;
  }
  std::string PendingName() const override { return pendingName; }
  char PendingKind() const override { return pendingKind; }
  void SearchName(const std::string& text) override { calls.push_back("SearchName " + text); }
  bool FindNodeByLabel(const std::string& text, bool groupsOnly) override {
    calls.push_back("FindNodeByLabel " + text + (groupsOnly ? " groups" : ""));
    return false;
  }
  bool FindNextNode(const std::string& text, int& start, bool) override {
    calls.push_back("FindNextNode " + text + " " + std::to_string(start));
    return false;
  }
  void SetSearchText(const std::string& text) override { calls.push_back("SetSearchText " + text); }
  bool OpenScenarioByName(const std::string& name) override {
    calls.push_back("OpenScenarioByName " + name);
    return true;
  }
};

}  // namespace quilor::ui
