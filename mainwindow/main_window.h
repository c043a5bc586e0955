// TVekEditForm, the main window. It starts the engine, holds the current
// text (AnalysisSession), the menus and tool bar, the Explain tab, the Files
// tab and the status bar, and implements MainWindowPort for the other windows.
//
// Hooks for the views that other windows put into it:
//  - ResultsContainer(): the page of the Results tab (left panel); give it a
//    layout and put the result-type list and the results list into it.
//  - TextContainer(): the page of the Text tab (upper right panel).
//  - GraphContainer(): the page of the Graph tab (lower right panel);
//    GraphTrackBar() is the slider under the graph tabs.
//  - InfoLabel(): the info label under the results (AfficheInfos).
//  - AddRefreshCallback(f): f runs after every successful analysis, before
//    the commands are enabled (fill lists, draw text and graph).
//  - AddReleaseCallback(f): f runs whenever the text is released (clear
//    selections, free tool windows that belong to the text).
//  - AddRedrawCallback(f): RazAffichageEtGraphe.
//  - AddClosingCallback(f): at window close, before the engine shuts down.
//  - AddCloseQuery(f): asked when the window is to close, before anything
//    closes (the Scenario editor's save question); false keeps it open.
//  - SetScenarioSwitchHandler(f(name)): how a request or a command file
//    switches the Scenario (the Scenario editor, when open, does it after its
//    save question); without one the Scenario is loaded directly.
//  - SetWordPositionHandler(f(position)) / SetResultLineByTagHandler(f(tag)):
//    GoToWordPosition and SelectResultLineByTag of the port.
//  - SetResultTypeHandler(f(index)) / SetLastResultTypeHandler(f) /
//    SetSelectedResultTypeProvider(f() -> index or -1): the result types.
//  - Command(id): the QAction of a menu item or tool button by its id
//    (mainwindow/command_id.h; CommandId::MenuImprimer1...), never null.
//    SetCommandHandler(id, f) connects it: a command without a handler
//    stays disabled; text commands are enabled only while a text is open,
//    and every command is disabled while the window is busy.
#pragma once

#include <QMainWindow>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mainwindow/analysis_session.h"
#include "mainwindow/command_id.h"
#include "mainwindow/explain_pages.h"
#include "mainwindow/main_window_layout.h"
#include "ui/main_window_port.h"
#include "mainwindow/request_dispatch.h"

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QSlider;
class QSplitter;
class QTabWidget;
class QTextBrowser;
class QToolBar;

namespace quilor::ui {

class TVekEditForm : public QMainWindow, public MainWindowPort, public SessionView, public RequestTarget {
  Q_OBJECT
 public:
  explicit TVekEditForm(QWidget* parent = nullptr);
  ~TVekEditForm() override;

  // Placement, engine start-up, command line, Scenario and Borders, captions,
  // welcome page, histories. False when the engine did not start (the window
  // then closes). args are the program's parameters (absolute paths).
  bool FormCreate(const std::vector<std::string>& args, const MonitorArea& monitor);
  // Maximises (unless the Scenario tool opens at start) and analyses the
  // file named on the command line.
  void FormShow(bool maximise = true);
  // The sizes and fonts of the results side and the status bar, by the
  // large-fonts option (at start-up and when the option changes).
  void ApplyListFonts();

  // Hooks (see the top of this file).
  QWidget* ResultsContainer() const { return resultsPage_; }
  QWidget* TextContainer() const { return textPage_; }
  QWidget* GraphContainer() const { return graphPage_; }
  QSlider* GraphTrackBar() const { return trackBar_; }
  QLabel* InfoLabel() const { return labelInfos_; }
  void AddRefreshCallback(std::function<void()> f) { refreshCallbacks_.push_back(std::move(f)); }
  void AddReleaseCallback(std::function<void()> f) { releaseCallbacks_.push_back(std::move(f)); }
  void AddRedrawCallback(std::function<void()> f) { redrawCallbacks_.push_back(std::move(f)); }
  void AddClosingCallback(std::function<void()> f) { closingCallbacks_.push_back(std::move(f)); }
  void AddCloseQuery(std::function<bool()> f) { closeQueries_.push_back(std::move(f)); }
  void SetScenarioSwitchHandler(std::function<void(const std::string&)> f) { scenarioSwitch_ = std::move(f); }
  void SetResultTypeHandler(std::function<void(int)> f) { resultTypeHandler_ = std::move(f); }
  void SetLastResultTypeHandler(std::function<void()> f) { lastResultTypeHandler_ = std::move(f); }
  void SetSelectedResultTypeProvider(std::function<int()> f) { selectedResultType_ = std::move(f); }
  // The result type shown (-1 when none).
  int SelectedResultType() const { return selectedResultType_ ? selectedResultType_() : -1; }
  void SetWordPositionHandler(std::function<void(int32_t)> f) { wordPositionHandler_ = std::move(f); }
  void SetResultLineByTagHandler(std::function<void(uint32_t)> f) { resultLineByTag_ = std::move(f); }
  // A click on results line `line` of the result type shown (the graph asks
  // for a selection when none is there).
  void SetResultLineClickHandler(std::function<void(int)> f) { resultLineClick_ = std::move(f); }
  void ClickResultLine(int line) {
    if (resultLineClick_) resultLineClick_(line);
  }
  // The graph panel and its splitter shown or hidden (never without a text).
  void ShowGraphPanel(bool visible);
  QAction* Command(CommandId id) const;
  // The commands that no window has connected yet (they stay disabled).
  std::vector<CommandId> CommandsWithoutHandler() const;
  void SetCommandHandler(CommandId id, std::function<void()> handler);
  // A further condition of a command's enabled state (the results toolbar's
  // rules); checked at every UpdateActions.
  void SetCommandCondition(CommandId id, std::function<bool()> condition);
  // Command `id` does what `target` does and is enabled exactly when it is
  // (a popup item or a toolbar button over a menu command).
  void AliasCommand(CommandId id, CommandId target);
  // The popup menus of the results list and of the text page, and the
  // results toolbar; the views show them and decide what they offer.
  QMenu* ResultsPopup() const { return resultsPopup_; }
  QMenu* TextPopup() const { return textPopup_; }
  QToolBar* ResultsToolBar() const { return resultsToolBar_; }
  // Applies the enabled state of every command (after a state change).
  void UpdateActions();

  AnalysisSession& Session() { return session_; }
  const MainWindowPlacement& Placement() const { return placement_; }
  bool StartupDone() const { return startupDone_; }
  // The window closed and the engine shut down.
  bool Closed() const { return closed_; }
  QTabWidget* PageControl1() const { return pageControl1_; }
  QTabWidget* PageControlTexte() const { return pageControlTexte_; }
  QTabWidget* PageControl3() const { return pageControl3_; }
  QWidget* PanelText() const { return panelText_; }
  QWidget* PanelGraph() const { return panelGraph_; }
  QWidget* ResultsTab() const { return resultsPage_; }
  QWidget* ExplainTab() const { return explainPage_; }
  QWidget* FilesTab() const { return filesPage_; }
  QLabel* ExplainTitle() const { return labelTitreExpliquer_; }
  QTextBrowser* ExplainText() const { return richEdit4_; }
  QListWidget* FilesList() const { return listBoxFichiers_; }
  QString StatusText(int panel) const;
  // The history items of the File menu (8) and of the folder menu (8).
  std::vector<QAction*> FileHistoryItems() const { return fileHistoryItems_; }
  std::vector<QAction*> FolderHistoryItems() const { return folderHistoryItems_; }

  // File commands.
  void FileOpen1Execute();
  void OpenFolder(const std::string& folder);
  void MenuOuvrirUnDossierClick();
  void MenuHistoriqueDossiersClick();  // refreshes the folder menu
  void ButtonListeFichiersAnalyserClick();
  void ButtonListeFichiersAjouterClick();
  void ButtonListeFichiersSupprimerClick();
  void ButtonListeFichiersTrierClick();
  void ButtonListeFichiersOuvrirClick();
  void ListBoxFichiersOuvertsClick();
  void FillExplainPage();
  void FillWelcomePage();
  void FillGraphExplainPage();
  void AppliquerHistoFichierSurMenu();
  // The Files tab's lines.
  std::vector<std::string> FilesListLines() const;
  void SetFilesListLines(const std::vector<std::string>& lines);

  // MainWindowPort
  void RazAffichageEtGraphe() override;
  void ReLancerAnalyse() override;
  void SwitchAffichageSurDerniereFonctionUtilise() override;
  void ShowResultType(int index) override;
  void AfficheMessage(const std::string& text) override;
  void AfficheInfos(const std::string& text) override;
  void ShowTextTab() override;
  void GoToWordPosition(int32_t position) override {
    if (wordPositionHandler_) wordPositionHandler_(position);
  }
  void SelectResultLineByTag(uint32_t tag) override {
    if (resultLineByTag_) resultLineByTag_(tag);
  }
  bool TextLoaded() const override { return session_.ResultsShown(); }
  bool AnalysisRunning() const override;
  bool Printing() const override { return PrintRunning; }

  // SessionView
  void EnableCommandDuMenu(bool enabled) override;
  void ShowStatus(int panel, const std::string& utf8) override;
  void RefreshAfterAnalysis() override;
  void TextReleased() override;
  void FileHistoryChanged() override { AppliquerHistoFichierSurMenu(); }
  void CloseWhenIdle() override;
  // Opens the analysis options on their conversion page (a PDF opened while
  // PDF conversion is off); the options windows install the opener.
  bool OpenAnalysisOptions() override { return analysisOptions_ && analysisOptions_(true); }
  void SetAnalysisOptionsOpener(std::function<bool(bool conversionPage)> f) { analysisOptions_ = std::move(f); }
  void BusyChanged() override { UpdateActions(); }

  // RequestTarget: requests of other programs and dropped files.
  bool Busy() const override { return session_.Busy(); }
  bool ReleaseText() override { return session_.FermerEditeur(); }
  void ShowError(int messageNumber) override;
  void BringToFront() override;
  void SwitchScenario(const std::string& name) override;
  void AnalyseQueue() override;
  void OpenDocument(const std::string& path) override;
  void ListFolder(const std::string& path) override { OpenFolder(path); }
  CommandFileHooks CommandHooks() override;
  void ClearReanalysis() override { session_.reAnalysis = false; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  struct CommandEntry {
    QAction* action = nullptr;
    bool textCommand = false;
    std::function<void()> handler;
    std::function<bool()> condition;
    std::optional<CommandId> alias;  // the command this one stands for
  };
  CommandEntry& Entry(CommandId id) { return commands_[static_cast<size_t>(id)]; }
  const CommandEntry& Entry(CommandId id) const { return commands_[static_cast<size_t>(id)]; }
  bool WouldAct(CommandId id) const;
  void BuildWidgets();
  void BuildCommands();
  void BuildFileMenu();
  void BuildEditMenu();
  void BuildShowMenu();
  void BuildToolsMenu();
  void BuildHelpMenu();
  void BuildToolBar();
  void BuildPopups();
  void BuildResultsToolBar();
  void ConnectOwnCommands();
  QAction* AddCommand(CommandId id, int caption, bool textCommand, QMenu* menu = nullptr);
  void LocaliserInterface();
  void FormClose();
  void ShowPage(QTextBrowser* view, QLabel* title, const ExplainPage& page);
  void ShowFilesTab();
  void NewWindow();

  AnalysisSession session_;
  MainWindowPlacement placement_;
  bool startupDone_ = false;
  bool engineStarted_ = false;
  bool closed_ = false;
  bool commandsEnabled_ = false;
  qint64 minimiseTime_ = 0;

  std::array<CommandEntry, kCommandCount> commands_;
  std::vector<QAction*> fileHistoryItems_;
  std::vector<QAction*> folderHistoryItems_;
  QMenu* folderMenu_ = nullptr;
  QMenu* resultsPopup_ = nullptr;
  QMenu* textPopup_ = nullptr;
  QToolBar* resultsToolBar_ = nullptr;
  QAction* clearFolderHistory_ = nullptr;
  QAction* scanSubFolders_ = nullptr;

  QSplitter* fond_ = nullptr;
  QWidget* panelResultats_ = nullptr;
  QTabWidget* pageControl1_ = nullptr;
  QWidget* resultsPage_ = nullptr;
  QWidget* explainPage_ = nullptr;
  QLabel* labelTitreExpliquer_ = nullptr;
  QTextBrowser* richEdit4_ = nullptr;
  QWidget* panelInfos_ = nullptr;
  QLabel* labelInfos_ = nullptr;
  QSplitter* rightSplitter_ = nullptr;
  QWidget* panelText_ = nullptr;
  QTabWidget* pageControlTexte_ = nullptr;
  QWidget* textPage_ = nullptr;
  QWidget* filesPage_ = nullptr;
  QListWidget* listBoxFichiers_ = nullptr;
  QPushButton* buttonOuvrir_ = nullptr;
  QPushButton* buttonAnalyser_ = nullptr;
  QPushButton* buttonSupprimer_ = nullptr;
  QPushButton* buttonAjouter_ = nullptr;
  QPushButton* buttonTrier_ = nullptr;
  QWidget* panelGraph_ = nullptr;
  QTabWidget* pageControl3_ = nullptr;
  QWidget* graphPage_ = nullptr;
  QWidget* graphExplainPage_ = nullptr;
  QLabel* labelTitreExplicGraphes_ = nullptr;
  QTextBrowser* richEditExplicGraphe_ = nullptr;
  QSlider* trackBar_ = nullptr;
  QLabel* status0_ = nullptr;
  QLabel* status1_ = nullptr;
  QToolBar* toolBar_ = nullptr;

  std::vector<std::function<void()>> refreshCallbacks_;
  std::vector<std::function<void()>> releaseCallbacks_;
  std::vector<std::function<void()>> redrawCallbacks_;
  std::vector<std::function<void()>> closingCallbacks_;
  std::vector<std::function<bool()>> closeQueries_;
  std::function<void(const std::string&)> scenarioSwitch_;
  std::function<void(int)> resultTypeHandler_;
  std::function<void()> lastResultTypeHandler_;
  std::function<int()> selectedResultType_;
  std::function<void(int32_t)> wordPositionHandler_;
  std::function<void(uint32_t)> resultLineByTag_;
  std::function<void(int)> resultLineClick_;
  std::function<bool(bool)> analysisOptions_;
};

}  // namespace quilor::ui
