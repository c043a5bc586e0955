// The Scenario anomaly list: the lines the ontology engine reports while a
// Scenario loads ("\"entry\" message"), kept with their entry texts, and the
// search of a line's entry in the Scenario editor's tree. It exists from
// start-up; the window only shows it and opens when a load reported anything.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/ontology_engine.h"

namespace quilor::ui {

class ScenarioTree;

constexpr int kMsgAnomaliesCaption = 7150;
constexpr int kMsgCorrectErrors = 902;
constexpr int kMsgButtonClose = 545;
constexpr int kMsgButtonSearch = 520;
constexpr int kMsgButtonHelp = 616;
constexpr int kHelpAnomalies = 964;  // the Scenario Tool's help topic
constexpr size_t kAnomalyLineMax = 512;

class AnomalyList : public ScenarioAnomalyReporter {
 public:
  struct Entry {
    std::string text;  // the entry as the engine named it
    std::string line;  // what the list shows
  };

  // ScenarioAnomalyReporter.
  void Clear() override;  // Raz
  void Report(int messageId, const std::string& text) override;
  void Finish(bool anyReported) override;

  // Ajouter: adds the line of a message and an entry text.
  bool Ajouter(int messageId, const std::string& entryText);
  // MajCaption: appends to the caption.
  void MajCaption(const std::string& text) { caption_ += text; }

  const std::vector<Entry>& Entries() const { return entries_; }
  const std::string& Caption() const { return caption_; }
  bool Shown() const { return shown_; }

  // ButtonChercherClick for line index: the entry searched in the editor's
  // tree, the same line walking through its matches and wrapping round.
  // openEditor runs when the tree is null (the editor is not open).
  bool SearchLine(int index, ScenarioTree* tree, const std::function<void()>& openEditor);

  // The window layer: shows (true) or frees (false) the window at the end of a load.
  std::function<void(bool show)> onFinish;

 private:
  std::vector<Entry> entries_;
  std::string caption_;
  bool shown_ = false;
  bool captionMarked_ = false;
  int searchStart_ = 0;
  int lastSearched_ = -1;
};

// The one list of the program, installed as the ontology engine's reporter
// by InstallAnomalyList.
AnomalyList& ScenarioAnomalies();
void InstallAnomalyList(TOntologyEngine& engine);

}  // namespace quilor::ui
