// The Scenario editor as the main window's other windows see it: one port
// that exists from the start, while the editor itself is made on first use.
// Before that the editor is closed; Open makes it.
#pragma once

#include <QObject>

class QWidget;

#include "ui/scenario_editor_port.h"

namespace quilor::ui {

class MainWindowPort;
class ScenarioEditor;

class ScenarioEditorProxy : public QObject, public ScenarioEditorPort {
 public:
  // The editor works for main; the proxy and the editor window are children
  // of parent (the main window's widget) and go with it.
  ScenarioEditorProxy(MainWindowPort& main, QWidget& parent);

  bool IsOpen() const override;
  bool IsModified() const override;
  void Open() override;
  void SetPending(const std::string& name, int level, char kind) override;
  void AddPendingToNewGroup() override;
  void AddPendingToSelectedGroup() override;
  bool AddWordInNewGroup(const std::string& word, char kind) override;
  bool InsertWords(const std::string& word, char kind, bool subclassify) override;
  bool AddWordAtPosition(int position) override;
  std::string PendingName() const override;
  char PendingKind() const override;
  void SearchName(const std::string& text) override;
  bool FindNodeByLabel(const std::string& text, bool groupsOnly) override;
  bool FindNextNode(const std::string& text, int& start, bool mayShorten) override;
  void SetSearchText(const std::string& text) override;
  bool OpenScenarioByName(const std::string& fileName) override;
  bool SelectEnclosingGroup() override;
  void CreateOrSelectGroup(const std::string& name, int position, bool asChild) override;
  void ExpandSelected() override;
  bool NodeSelected() const override;
  void SelectParent() override;
  void BeginUpdateTreeView() override;
  void EndUpdateTreeView() override;
  void SortTree() override;

 private:
  // The editor once made; nullptr before.
  static ScenarioEditor* Made();
  MainWindowPort& main_;
  QWidget& parent_;
};

}  // namespace quilor::ui
