// How the other windows reach the main window: its published operations and
// the flags they must respect. The main window implements it; tests use
// FakeMainWindow, which records the calls. Each window also receives the
// ports of its neighbours through WindowPorts, so that a window can be built
// and tested before the others exist; a port that is null means "that window
// does not exist", and a command that needs it is disabled.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quilor::ui {

class MainWindowPort {
 public:
  virtual ~MainWindowPort() = default;

  // Redraws the text page and the graph after a display change.
  virtual void RazAffichageEtGraphe() = 0;
  // Runs the analysis of the current text again (Scenario or Borders changed).
  virtual void ReLancerAnalyse() = 0;
  // Shows the last used result type again.
  virtual void SwitchAffichageSurDerniereFonctionUtilise() = 0;
  // Shows the result type of a result-type table index.
  virtual void ShowResultType(int index) = 0;
  // The status line and the info label (Windows-1252 texts).
  virtual void AfficheMessage(const std::string& text) = 0;
  virtual void AfficheInfos(const std::string& text) = 0;
  // Brings the Text tab of the text panel to the front.
  virtual void ShowTextTab() = 0;
  // The text view shows the whole text from the proposition holding a word
  // position, that word marked.
  virtual void GoToWordPosition(int32_t position) = 0;
  // The results list selects its first line carrying a tag (on the Scenario
  // result type: a Scenario entry).
  virtual void SelectResultLineByTag(uint32_t tag) = 0;

  // State the other windows respect.
  virtual bool TextLoaded() const = 0;       // results of an analysis are shown
  virtual bool AnalysisRunning() const = 0;  // an analysis is going on
  virtual bool Printing() const = 0;         // a print is going on
};

// Records the calls; its flags are set by the test.
class FakeMainWindow : public MainWindowPort {
 public:
  int redraws = 0;
  int reruns = 0;
  int lastShown = 0;
  std::vector<int> shownTypes;
  std::vector<std::string> messages;
  std::vector<std::string> infos;
  int textTabShown = 0;
  std::vector<int32_t> positions;
  std::vector<uint32_t> selectedTags;
  bool textLoaded = true;
  bool analysisRunning = false;
  bool printing = false;

  void RazAffichageEtGraphe() override { ++redraws; }
  void ReLancerAnalyse() override { ++reruns; }
  void SwitchAffichageSurDerniereFonctionUtilise() override { ++lastShown; }
  void ShowResultType(int index) override { shownTypes.push_back(index); }
  void AfficheMessage(const std::string& text) override { messages.push_back(text); }
  void AfficheInfos(const std::string& text) override { infos.push_back(text); }
  void ShowTextTab() override { ++textTabShown; }
  void GoToWordPosition(int32_t position) override { positions.push_back(position); }
  void SelectResultLineByTag(uint32_t tag) override { selectedTags.push_back(tag); }
  bool TextLoaded() const override { return textLoaded; }
  bool AnalysisRunning() const override { return analysisRunning; }
  bool Printing() const override { return printing; }
};

}  // namespace quilor::ui
