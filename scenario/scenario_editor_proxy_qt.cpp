#include "scenario/scenario_editor_proxy_qt.h"

#include "scenario/scenario_editor.h"
#include "scenario/scenario_editor_window.h"

namespace quilor::ui {

ScenarioEditorProxy::ScenarioEditorProxy(MainWindowPort& main, QWidget& parent)
    : QObject(&parent), main_(main), parent_(parent) {}

ScenarioEditor* ScenarioEditorProxy::Made() { return CurrentScenarioEditor(); }

bool ScenarioEditorProxy::IsOpen() const { return Made() && Made()->IsOpen(); }
bool ScenarioEditorProxy::IsModified() const { return Made() && Made()->IsModified(); }
void ScenarioEditorProxy::Open() { ScenarioEditorWindowInstance(&main_, &parent_)->Editor().Open(); }

void ScenarioEditorProxy::SetPending(const std::string& name, int level, char kind) {
  if (ScenarioEditor* e = Made()) e->SetPending(name, level, kind);
}
void ScenarioEditorProxy::AddPendingToNewGroup() {
  if (ScenarioEditor* e = Made()) e->AddPendingToNewGroup();
}
void ScenarioEditorProxy::AddPendingToSelectedGroup() {
  if (ScenarioEditor* e = Made()) e->AddPendingToSelectedGroup();
}
bool ScenarioEditorProxy::AddWordInNewGroup(const std::string& word, char kind) {
  return Made() && Made()->AddWordInNewGroup(word, kind);
}
bool ScenarioEditorProxy::InsertWords(const std::string& word, char kind, bool subclassify) {
  return Made() && Made()->InsertWords(word, kind, subclassify);
}
bool ScenarioEditorProxy::AddWordAtPosition(int position) { return Made() && Made()->AddWordAtPosition(position); }
std::string ScenarioEditorProxy::PendingName() const { return Made() ? Made()->PendingName() : std::string(); }
char ScenarioEditorProxy::PendingKind() const { return Made() ? Made()->PendingKind() : '?'; }
void ScenarioEditorProxy::SearchName(const std::string& text) {
  if (ScenarioEditor* e = Made()) e->SearchName(text);
}
bool ScenarioEditorProxy::FindNodeByLabel(const std::string& text, bool groupsOnly) {
  return Made() && Made()->FindNodeByLabel(text, groupsOnly);
}
bool ScenarioEditorProxy::FindNextNode(const std::string& text, int& start, bool mayShorten) {
  return Made() && Made()->FindNextNode(text, start, mayShorten);
}
void ScenarioEditorProxy::SetSearchText(const std::string& text) {
  if (ScenarioEditor* e = Made()) e->SetSearchText(text);
}
bool ScenarioEditorProxy::OpenScenarioByName(const std::string& fileName) {
  return ScenarioEditorWindowInstance(&main_, &parent_)->Editor().OpenScenarioByName(fileName);
}

bool ScenarioEditorProxy::SelectEnclosingGroup() { return Made() && Made()->SelectEnclosingGroup(); }
void ScenarioEditorProxy::CreateOrSelectGroup(const std::string& name, int position, bool asChild) {
  if (ScenarioEditor* e = Made()) e->CreateOrSelectGroup(name, position, asChild);
}
void ScenarioEditorProxy::ExpandSelected() {
  if (ScenarioEditor* e = Made()) e->ExpandSelected();
}
bool ScenarioEditorProxy::NodeSelected() const { return Made() && Made()->NodeSelected(); }
void ScenarioEditorProxy::SelectParent() {
  if (ScenarioEditor* e = Made()) e->SelectParent();
}
void ScenarioEditorProxy::BeginUpdateTreeView() {
  if (ScenarioEditor* e = Made()) e->BeginUpdateTreeView();
}
void ScenarioEditorProxy::EndUpdateTreeView() {
  if (ScenarioEditor* e = Made()) e->EndUpdateTreeView();
}
void ScenarioEditorProxy::SortTree() {
  if (ScenarioEditor* e = Made()) e->SortTree();
}

}  // namespace quilor::ui
