#include "mainwindow/analysis_session.h"

#include <sys/stat.h>

#include <cstdio>

#include "core/file_queue.h"
#include "core/files.h"
#include "core/gauge.h"
#include "core/messages.h"
#include "engine/analysis_run.h"
#include "engine/ontology_engine.h"
#include "core/options.h"
#include "engine/word_list.h"
#include "import/conversion_dispatch.h"
#include "import/text_loader.h"
#include "mainwindow/files_tab.h"
#include "mainwindow/histories.h"
#include "platform/text_encoding.h"
#include "ui/view_state.h"

namespace quilor::ui {

bool PrintRunning = false;

namespace {

constexpr int kMsgUnreadableFile = 18;
constexpr int kMsgPdfDisabled = 1178;
constexpr int kMsgRunStopped = 6411;
constexpr int kMsgReadStopped = 6420;
constexpr int kMsgMegabytes = 1056;

// True when path names a regular file that opens for reading.
bool Readable(const std::string& path) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  std::fclose(f);
  return true;
}

std::string FolderOf(const std::string& path) {
  std::string folder = path;
  if (!RemoveLastPathElement(folder)) return {};
  return folder;
}

// The analysis's relation records go with it: a selection's place in them
// goes too.
void ForgetRelationRecord() { ViewState.selection.relationRecord = static_cast<size_t>(-1); }

}  // namespace

bool AnalysisSession::Busy() const { return running_ || analysis_.run.running || refreshing_ || PrintRunning; }

bool AnalysisSession::CmOuvrir(bool addHistory, bool keepQueue) {
  if (Busy()) return false;
  WorkContext->CurrentFileName = chosenFileName;
  // Whether a PDF is analysed depends on the document itself, whatever
  // filter the open dialog showed.
  if (DocumentKind(chosenFileName) == kDocPdf) {
    if (!CheckPdfFilterAvailable()) return false;
    if (!Options->Switch(opt::ConvertPdf)) {
      ShowError(GetMessageText(kMsgPdfDisabled));
      view_.OpenAnalysisOptions();
      return false;
    }
  }
  if (!FermerEditeur()) return false;
  if (!keepQueue) {
    if (addHistory) {
      AddToFileHistory(*Options, chosenFileName);
      view_.FileHistoryChanged();
    }
    FileQueue.Clear();
    if (!FileQueue.Add(chosenFileName.c_str())) return false;
  }
  return AnalyserLeTexte();
}

bool AnalysisSession::AnalyserLeTexte() {
  if (Busy()) return false;
  view_.ShowStatus(1, Cp1252ToUtf8(StandardTextOf(kStdWait)));
  analysedFile_ = WorkContext->CurrentFileName;
  running_ = true;
  view_.BusyChanged();
  ForgetRelationRecord();
  const bool ok = RunAnalysis(analysis_, 0, TakeRunSettings(*Options));
  ForgetRelationRecord();
  running_ = false;
  if (!ok || Progress.cancelRequested || analysis_.run.aborted || closePending_) {
    // Nothing of a failed or stopped run stays: no gauge, no results, no words.
    const bool stopped = Progress.cancelRequested || analysis_.run.stopped || closePending_;
    CloseProgressGauge();
    EndAnalysisRun();
    ForgetRelationRecord();
    // A stopped run says so, and one that ran out of memory says that; the
    // welcome page alone would not.
    std::string status = " ";
    if (analysis_.run.memoryLow) status = Cp1252ToUtf8(GetMessageText(kMsgMemoryLow));
    else if (stopped) status = Cp1252ToUtf8(GetMessageText(kMsgRunStopped));
    view_.ShowStatus(1, status);
    AfterBusy();
    return false;
  }
  refreshing_ = true;
  OuvrirEditeur();
  view_.RefreshAfterAnalysis();
  refreshing_ = false;
  CloseProgressGauge();
  textOpen_ = true;
  TextWords.Rewind();
  TextWords.SaveCursor(kBookmarkFoundWord);
  const int words = TextWords.Built() ? TextWords.Count() : 0;
  view_.ShowStatus(0, std::to_string(words) + "  " + analysedFile_);
  // A text the user stopped reading: its results are not those of the whole.
  if (LoaderState.readStoppedAt > 0)
    ShowWarning(GetMessageText(kMsgReadStopped) + " " + std::to_string(LoaderState.readStoppedAt / kLoaderMegabyte) +
                " " + GetMessageText(kMsgMegabytes) + ".");
  // The refresh's own message stays (the result type shown, a key not found).
  AfterBusy();
  return true;
}

void AnalysisSession::OuvrirEditeur() {
  resultsShown_ = true;
  modelsOpen_ = true;
  view_.EnableCommandDuMenu(true);
}

void AnalysisSession::FermerTexteEnCours() {
  // A command file is consumed with its text, unless the same text is analysed again.
  if (!reAnalysis) {
    std::string& pending = WorkContext->PendingCommandFile;
    if (!pending.empty()) EraseFile(pending);
    pending.clear();
  }
  reAnalysis = false;
  if (textOpen_ && OntologyEngine) OntologyEngine->ResetTextClasses();
}

bool AnalysisSession::ReLancerAnalyse() {
  if (Busy() || !resultsShown_) return false;
  reAnalysis = true;
  if (!FermerEditeur()) {
    reAnalysis = false;
    return false;
  }
  return AnalyserLeTexte();
}

bool AnalysisSession::FermerEditeur() {
  if (PrintRunning) return false;
  resultsShown_ = false;
  view_.TextReleased();
  FermerTexteEnCours();
  modelsOpen_ = false;
  EndAnalysisRun();
  ForgetRelationRecord();
  textOpen_ = false;
  view_.EnableCommandDuMenu(false);
  view_.ShowStatus(0, " ");
  return true;
}

void AnalysisSession::CmFermer() {
  if (Busy()) return;
  view_.ShowStatus(1, " ");
  FermerEditeur();
}

bool AnalysisSession::OpenChosenFiles(const std::vector<std::string>& files, int filterIndex) {
  if (Busy() || files.empty()) return false;
  chosenFileName = files.front();
  Options->Set(opt::DocumentKind, static_cast<uint16_t>(filterIndex));
  Options->Set(opt::OpenFilterIndex, static_cast<uint16_t>(filterIndex));
  Options->Set(opt::LastFolder, FolderOf(chosenFileName));
  if (files.size() == 1) return CmOuvrir(true, false);
  if (FillFileQueue(files).added == 0) return false;
  return CmOuvrir(true, true);
}

bool AnalysisSession::OpenHistoryFile(int n) {
  if (Busy()) return false;
  const std::string path = FileHistoryEntry(*Options, n);
  if (path.empty()) return false;
  if (!Readable(path)) {
    ShowError(path + " " + GetMessageText(kMsgUnreadableFile));
    return false;
  }
  MoveFileHistoryToFront(*Options, n);
  view_.FileHistoryChanged();
  chosenFileName = path;
  const std::string folder = FolderOf(path);
  ChangeCurrentFolder(folder);
  Options->Set(opt::LastFolder, folder);
  Options->Set(opt::DocumentKind, static_cast<uint16_t>(DocumentKind(path)));
  return CmOuvrir(false, false);
}

bool AnalysisSession::AnalyseList(const std::vector<std::string>& files) {
  if (Busy() || files.empty()) return false;
  CmFermer();
  const QueueFilling filled = FillFileQueue(files);
  if (filled.added == 0) return false;
  chosenFileName = files[filled.added - 1];
  return CmOuvrir(true, true);
}

bool AnalysisSession::CloseRequested() {
  if (!Busy()) return true;
  closePending_ = true;
  // The run stops at its next check; printing stops at its next page. The
  // gauge keeps the stop until the run has ended, whatever the run resets.
  Progress.cancelRequested = true;
  if (Progress.gauge) Progress.gauge->RequestStop();
  return false;
}

void AnalysisSession::CloseCancelled() { closePending_ = false; }

void AnalysisSession::AfterBusy() {
  view_.BusyChanged();
  if (closePending_ && !Busy()) view_.CloseWhenIdle();
}

void AnalysisSession::WindowClosing() {
  FermerEditeur();
  resultsShown_ = false;
}

}  // namespace quilor::ui
