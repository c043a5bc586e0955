// The current text of the main window: opening documents (File > Open, the
// history, a drop, the Files tab, a folder, the command line), running the
// analysis, and releasing the text. Plain logic; the window is reached
// through SessionView. TVekEditForm owns one session.
//
// Re-entry is refused by flags: while an analysis runs, while the views are
// refreshed after one, or while printing, nothing is opened or closed. A
// close request in that time becomes a stop request (the window closes once
// idle, see CloseRequested).
#pragma once

#include <string>
#include <vector>

#include "engine/analysis.h"

namespace quilor::ui {

// Set by printing for the time of a print.
extern bool PrintRunning;

// What the session asks of the window.
class SessionView {
 public:
  virtual ~SessionView() = default;
  // Enables or disables the text commands; disabled shows the welcome page.
  virtual void EnableCommandDuMenu(bool enabled) = 0;
  // Status bar panel 0 (the text: words and path) or 1 (messages), UTF-8.
  virtual void ShowStatus(int panel, const std::string& utf8) = 0;
  // The views show the new analysis (results list, text, graph).
  virtual void RefreshAfterAnalysis() = 0;
  // The views drop what they show of the released text.
  virtual void TextReleased() = 0;
  // The file history changed: the File menu is rebuilt.
  virtual void FileHistoryChanged() = 0;
  // The session became idle after a run during which a close was asked.
  virtual void CloseWhenIdle() = 0;
  // The busy state changed (a run started or ended): commands are re-enabled.
  virtual void BusyChanged() {}
  // The analysis options dialog (PDF analysis switched off); false when none.
  virtual bool OpenAnalysisOptions() { return false; }
};

class AnalysisSession {
 public:
  explicit AnalysisSession(SessionView& view) : view_(view) {}

  // A run, the refresh after it or a print is going on.
  bool Busy() const;
  bool TextOpen() const { return textOpen_; }
  bool ResultsShown() const { return resultsShown_; }
  bool Refreshing() const { return refreshing_; }
  const std::string& AnalysedFile() const { return analysedFile_; }
  // What the last run made; the views are given it.
  const TAnalysis& Analysis() const { return analysis_; }
  // The chosen file name (UTF-8 path): set by the open dialog, a drop, the
  // history and requests; CmOuvrir analyses it.
  std::string chosenFileName;
  // Set around the release of a re-analysis: the pending command file stays.
  bool reAnalysis = false;

  // Release the previous text, record the history, queue the file, analyse.
  bool CmOuvrir(bool addHistory, bool keepQueue);
  // Runs the analysis of FileQueue and refreshes the views. A failed or
  // stopped run closes the gauge, releases what it made and returns false.
  bool AnalyserLeTexte();
  // Releases the current text; false while printing.
  bool FermerEditeur();
  // File > Close: nothing while busy.
  void CmFermer();
  // File > Open's answer: one file opens with the history, several are
  // queued (at most the queue's capacity) and analysed as one text.
  // filterIndex is the dialog's filter; nothing happens while busy.
  bool OpenChosenFiles(const std::vector<std::string>& files, int filterIndex);
  // History item n (1..12). A missing file gives message 18 and stays listed.
  bool OpenHistoryFile(int n);
  // Analyses a list (the Files tab, a folder): the text is closed, the queue
  // filled in list order and analysed without a history entry.
  bool AnalyseList(const std::vector<std::string>& files);

  // The window was asked to close. True when it may close now; else a stop
  // of the run is requested and the window is told to close when idle.
  bool CloseRequested();
  // The close was refused after all (a window kept its unsaved work): the
  // window stays open and is not closed when the run ends.
  void CloseCancelled();
  bool ClosePending() const { return closePending_; }

  // Released at window close (the last FermerEditeur).
  void WindowClosing();
  // The analysis of the current queue again (Scenario or Borders changed).
  bool ReLancerAnalyse();

 private:
  void OuvrirEditeur();
  void FermerTexteEnCours();
  void AfterBusy();

  SessionView& view_;
  bool textOpen_ = false;
  bool resultsShown_ = false;
  bool modelsOpen_ = false;
  bool refreshing_ = false;
  bool running_ = false;
  bool closePending_ = false;
  std::string analysedFile_;
  TAnalysis analysis_;
};

}  // namespace quilor::ui
