#include "scenario/anomaly_list.h"

#include "core/chartables.h"
#include "core/messages.h"
#include "scenario/texts.h"
#include "scenario/scenario_tree.h"

namespace quilor::ui {

void AnomalyList::Clear() {
  entries_.clear();
  lastSearched_ = -1;
  searchStart_ = 0;
}

bool AnomalyList::Ajouter(int messageId, const std::string& entryText) {
  std::string line = "\"" + entryText + "\" " + Msg(messageId);
  if (line.size() > kAnomalyLineMax) line.resize(kAnomalyLineMax);
  entries_.push_back({entryText, std::move(line)});
  return true;
}

void AnomalyList::Report(int messageId, const std::string& text) {
  if (entries_.empty() && !captionMarked_) {
    caption_ = Msg(kMsgAnomaliesCaption);
    MajCaption(std::string(" (") + Msg(kMsgScenario) + ")");
    captionMarked_ = true;
  }
  Ajouter(messageId, text);
}

void AnomalyList::Finish(bool anyReported) {
  shown_ = anyReported;
  if (!anyReported) captionMarked_ = false;
  if (onFinish) onFinish(anyReported);
}

bool AnomalyList::SearchLine(int index, ScenarioTree* tree, const std::function<void()>& openEditor) {
  if (!tree) {
    if (openEditor) openEditor();
    return false;
  }
  if (index < 0 || static_cast<size_t>(index) >= entries_.size()) return false;
  std::string key = entries_[static_cast<size_t>(index)].text;
  if (key.empty()) return false;
  LowerCaseString(key);
  if (index != lastSearched_) searchStart_ = 0;
  lastSearched_ = index;
  const bool fromStart = searchStart_ == 0;
  if (tree->FindNextNode(key, searchStart_, false)) return true;
  if (fromStart) return false;
  searchStart_ = 0;
  return tree->FindNextNode(key, searchStart_, false);
}

AnomalyList& ScenarioAnomalies() {
  static AnomalyList list;
  return list;
}

void InstallAnomalyList(TOntologyEngine& engine) { engine.SetAnomalyReporter(&ScenarioAnomalies()); }

}  // namespace quilor::ui
