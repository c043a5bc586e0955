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
  // Shows the text from the word at a position, that word highlighted
  // (the selection is cleared).
  virtual void GoToWordPosition(int32_t position) = 0;

  // State the other windows respect.
  virtual bool TextLoaded() const = 0;        // results of an analysis are shown
  virtual bool AnalysisRunning() const = 0;   // an analysis is going on
  virtual bool Printing() const = 0;          // a print is going on
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
  std::vector<int32_t> wordPositions;
  bool textLoaded = true;
  bool analysisRunning = false;
  bool printing = false;

  void RazAffichageEtGraphe() override { ++redraws; }
  void ReLancerAnalyse() override { ++reruns; }
  void SwitchAffichageSurDerniereFonctionUtilise() override { ++lastShown; }
  void ShowResultType(int index) override { shownTypes.push_back(index); }
  void AfficheMessage(const std::string& text) override { messages.push_back(text); }
  void AfficheInfos(const std::string& text) override { infos.push_back(text); }
  void GoToWordPosition(int32_t position) override { wordPositions.push_back(position); }
  bool TextLoaded() const override { return textLoaded; }
  bool AnalysisRunning() const override { return analysisRunning; }
  bool Printing() const override { return printing; }
};

}  // namespace quilor::ui
