#include "mainwindow/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

#include "core/file_queue.h"
#include "core/files.h"
#include "core/messages.h"
#include "engine/analysis_run.h"
#include "engine/bursts.h"
#include "engine/command_line.h"
#include "core/options.h"
#include "engine/startup.h"
#include "engine/word_list.h"
#include "mainwindow/command_file.h"
#include "ui/hint_pause_qt.h"
#include "ui/desktop.h"
#include "mainwindow/explain_pages.h"
#include "mainwindow/files_tab.h"
#include "mainwindow/histories.h"
#include "mainwindow/results_panel_widget.h"
#include "ui/texts_qt.h"
#include "mainwindow/tool_icons_qt.h"
#include "platform/text_encoding.h"
#include "generated/message_names.h"

namespace quilor::ui {

namespace {

constexpr int kMsgChooseFile = 170;
constexpr int kMsgScenario = 309;
constexpr int kMsgBorders = 574;
constexpr int kMsgOk = 680;
constexpr int kMsgExplain = 1070;
constexpr int kMsgWelcome = 1071;
constexpr int kMsgOpenFolder = 1014;
constexpr int kMsgClearHistory = 1341;
constexpr int kMsgContinue = 549;
constexpr int kMsgNoDocumentInFolder = 6412;
constexpr int kMsgExportGexf = 6400;
constexpr int kMsgWebSite = 6401;
constexpr qint64 kRestoreDelayMs = 8000;

std::string FolderOf(const std::string& path) {
  std::string folder = path;
  if (!RemoveLastPathElement(folder)) return {};
  return folder;
}

}  // namespace

TVekEditForm::TVekEditForm(QWidget* parent) : QMainWindow(parent), session_(*this) {
  setObjectName(QStringLiteral("VekEditForm"));
  BuildWidgets();
  BuildCommands();
}

TVekEditForm::~TVekEditForm() { FormClose(); }

namespace {

// A tab control with a page of its own and an Explain page: a bold title
// with a help button, the text under it. The tabs' captions come later.
struct ExplainTabNames {
  const char *tabs, *page, *explain, *title, *help, *text;
};
struct ExplainTabs {
  QTabWidget* tabs;
  QWidget* page;
  QWidget* explain;
  QLabel* title;
  QToolButton* help;
  QTextBrowser* text;
};

ExplainTabs MakeExplainTabs(QWidget* parent, const ExplainTabNames& names) {
  ExplainTabs t;
  t.tabs = new QTabWidget(parent);
  t.tabs->setObjectName(QString::fromLatin1(names.tabs));
  t.page = new QWidget;
  t.page->setObjectName(QString::fromLatin1(names.page));
  t.explain = new QWidget;
  t.explain->setObjectName(QString::fromLatin1(names.explain));
  auto* layout = new QVBoxLayout(t.explain);
  auto* head = new QHBoxLayout;
  t.title = new QLabel(t.explain);
  t.title->setObjectName(QString::fromLatin1(names.title));
  QFont titleFont = t.title->font();
  titleFont.setBold(true);
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
  t.title->setFont(titleFont);
  t.title->setWordWrap(true);
  t.help = new QToolButton(t.explain);
  t.help->setObjectName(QString::fromLatin1(names.help));
  t.help->setIcon(ToolIcon(QStringLiteral("help-contents"), ToolPicture::kHelp));
  t.help->setToolTip(MessageText(msg::kHelp));
  head->addWidget(t.title, 1);
  head->addWidget(t.help);
  layout->addLayout(head);
  t.text = new QTextBrowser(t.explain);
  t.text->setObjectName(QString::fromLatin1(names.text));
  layout->addWidget(t.text, 1);
  t.tabs->addTab(t.page, QString());
  t.tabs->addTab(t.explain, QString());
  return t;
}

}  // namespace

void TVekEditForm::BuildWidgets() {
  fond_ = new QSplitter(Qt::Horizontal, this);
  fond_->setObjectName(QStringLiteral("Fond"));
  setCentralWidget(fond_);

  // Left: the results panel with its Results and Explain tabs, the info panel under it.
  panelResultats_ = new QWidget(fond_);
  panelResultats_->setObjectName(QStringLiteral("PanelResultats"));
  auto* leftLayout = new QVBoxLayout(panelResultats_);
  leftLayout->setContentsMargins(0, 0, 0, 0);
  {
    ExplainTabs tabs = MakeExplainTabs(panelResultats_, {"PageControl1", "TabSheetResultats", "TabSheetExpliquer",
                                                         "LabelTitreExpliquer", "Image1", "RichEdit4"});
    pageControl1_ = tabs.tabs;
    resultsPage_ = tabs.page;
    explainPage_ = tabs.explain;
    labelTitreExpliquer_ = tabs.title;
    richEdit4_ = tabs.text;
    connect(tabs.help, &QToolButton::clicked, this, [this] {
      ShowHelpContext(
          ResultTypeHelpContext(session_.ResultsShown() && selectedResultType_ ? selectedResultType_() : -1));
    });
  }
  leftLayout->addWidget(pageControl1_, 1);
  panelInfos_ = new QWidget(panelResultats_);
  panelInfos_->setObjectName(QStringLiteral("PanelInfos"));
  auto* infosLayout = new QVBoxLayout(panelInfos_);
  infosLayout->setContentsMargins(4, 2, 4, 2);
  labelInfos_ = new QLabel(panelInfos_);
  labelInfos_->setObjectName(QStringLiteral("LabelInfos"));
  labelInfos_->setWordWrap(true);
  labelInfos_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  infosLayout->addWidget(labelInfos_);
  leftLayout->addWidget(panelInfos_);
  connect(pageControl1_, &QTabWidget::currentChanged, this, [this] { FillExplainPage(); });

  // Right: the text panel over the graph panel.
  rightSplitter_ = new QSplitter(Qt::Vertical, fond_);
  panelText_ = new QWidget(rightSplitter_);
  panelText_->setObjectName(QStringLiteral("PanelText"));
  auto* textLayout = new QVBoxLayout(panelText_);
  textLayout->setContentsMargins(0, 0, 0, 0);
  pageControlTexte_ = new QTabWidget(panelText_);
  pageControlTexte_->setObjectName(QStringLiteral("PageControlTexte"));
  textPage_ = new QWidget;
  textPage_->setObjectName(QStringLiteral("TabSheetTexte"));
  filesPage_ = new QWidget;
  filesPage_->setObjectName(QStringLiteral("TabSheetFichiers"));
  auto* filesLayout = new QVBoxLayout(filesPage_);
  listBoxFichiers_ = new QListWidget(filesPage_);
  listBoxFichiers_->setObjectName(QStringLiteral("ListBoxFichiersOuverts"));
  listBoxFichiers_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  filesLayout->addWidget(listBoxFichiers_, 1);
  auto* filesButtons = new QHBoxLayout;
  buttonOuvrir_ = new QPushButton(filesPage_);
  buttonAnalyser_ = new QPushButton(filesPage_);
  buttonSupprimer_ = new QPushButton(filesPage_);
  buttonAjouter_ = new QPushButton(filesPage_);
  buttonTrier_ = new QPushButton(filesPage_);
  buttonOuvrir_->setObjectName(QStringLiteral("ButtonListeFichiersOuvrir"));
  buttonAnalyser_->setObjectName(QStringLiteral("ButtonListeFichiersAnalyser"));
  buttonSupprimer_->setObjectName(QStringLiteral("ButtonListeFichiersSupprimer"));
  buttonAjouter_->setObjectName(QStringLiteral("ButtonListeFichiersAjouter"));
  buttonTrier_->setObjectName(QStringLiteral("ButtonListeFichiersTrier"));
  for (QPushButton* b : {buttonOuvrir_, buttonAnalyser_, buttonSupprimer_, buttonAjouter_, buttonTrier_})
    filesButtons->addWidget(b);
  filesButtons->addStretch(1);
  filesLayout->addLayout(filesButtons);
  connect(buttonOuvrir_, &QPushButton::clicked, this, [this] { ButtonListeFichiersOuvrirClick(); });
  connect(buttonAnalyser_, &QPushButton::clicked, this, [this] { ButtonListeFichiersAnalyserClick(); });
  connect(buttonSupprimer_, &QPushButton::clicked, this, [this] { ButtonListeFichiersSupprimerClick(); });
  connect(buttonAjouter_, &QPushButton::clicked, this, [this] { ButtonListeFichiersAjouterClick(); });
  connect(buttonTrier_, &QPushButton::clicked, this, [this] { ButtonListeFichiersTrierClick(); });
  connect(listBoxFichiers_, &QListWidget::itemSelectionChanged, this, [this] { ListBoxFichiersOuvertsClick(); });
  pageControlTexte_->addTab(textPage_, QString());
  pageControlTexte_->addTab(filesPage_, QString());
  textLayout->addWidget(pageControlTexte_);
  connect(pageControlTexte_, &QTabWidget::currentChanged, this, [this](int index) {
    if (pageControlTexte_->widget(index) != filesPage_) return;
    // TabSheetFichiersShow: with a text shown, the documents it was made of;
    // a folder's list waiting to be analysed stays as it is.
    if (session_.ResultsShown() && FileQueue.Count() > 0) {
      std::vector<std::string> lines;
      for (int i = 1; i <= FileQueue.Count(); ++i) lines.emplace_back(FileQueue.Get(i));
      SetFilesListLines(lines);
    } else {
      ListBoxFichiersOuvertsClick();
    }
  });

  panelGraph_ = new QWidget(rightSplitter_);
  panelGraph_->setObjectName(QStringLiteral("PanelGraph"));
  auto* graphLayout = new QVBoxLayout(panelGraph_);
  graphLayout->setContentsMargins(0, 0, 0, 0);
  {
    ExplainTabs tabs = MakeExplainTabs(panelGraph_, {"PageControl3", "TabSheetGraphe", "TabSheetExpliquerGraphe",
                                                     "LabelTitreExplicGraphes", "Image2", "RichEditExplicGraphe"});
    pageControl3_ = tabs.tabs;
    graphPage_ = tabs.page;
    graphExplainPage_ = tabs.explain;
    labelTitreExplicGraphes_ = tabs.title;
    richEditExplicGraphe_ = tabs.text;
    connect(tabs.help, &QToolButton::clicked, this, [] { ShowHelpContext(kGraphsHelpContext); });
  }
  graphLayout->addWidget(pageControl3_, 1);
  trackBar_ = new QSlider(Qt::Horizontal, panelGraph_);
  trackBar_->setObjectName(QStringLiteral("TrackBar1"));
  graphLayout->addWidget(trackBar_);
  connect(pageControl3_, &QTabWidget::currentChanged, this, [this] { FillGraphExplainPage(); });

  fond_->addWidget(panelResultats_);
  fond_->addWidget(rightSplitter_);
  fond_->setStretchFactor(1, 1);

  status0_ = new QLabel(this);
  status0_->setObjectName(QStringLiteral("StatusPanel0"));
  status1_ = new QLabel(this);
  status1_->setObjectName(QStringLiteral("StatusPanel1"));
  // Panel 0 holds the text's words and path; the messages follow it at once.
  statusBar()->addWidget(status0_, 0);
  statusBar()->addWidget(status1_, 1);
  setAcceptDrops(true);
}

QAction* TVekEditForm::AddCommand(CommandId id, int caption, bool textCommand, QMenu* menu) {
  auto* action = new QAction(this);
  action->setObjectName(QLatin1String(CommandName(id)));
  if (caption > 0) action->setText(MessageText(caption));
  action->setEnabled(false);
  connect(action, &QAction::triggered, this, [this, id] {
    const CommandEntry& entry = Entry(id);
    if (!entry.handler || !entry.action->isEnabled()) return;
    entry.handler();
    // What the command changed enables or disables others (Hide the graph
    // offers Show graph).
    UpdateActions();
  });
  CommandEntry& entry = Entry(id);
  entry.action = action;
  entry.textCommand = textCommand;
  if (menu != nullptr) menu->addAction(action);
  return action;
}

static_assert(NthCommand(CommandId::MenuHistoDossier1, kFolderHistorySlots) == CommandId::MenuHistoDossier8);
static_assert(NthCommand(CommandId::MenuHistoFichier1, kFileHistoryMenuItems) == CommandId::MenuHistoFichier8);

// The File menu, with the folder menu and the histories.
void TVekEditForm::BuildFileMenu() {
  using enum CommandId;
  QMenu* file = menuBar()->addMenu(QString());
  file->setObjectName(QStringLiteral("MenuFile1"));
  AddCommand(FichierOuvrir, msg::kOpen, false, file)->setShortcut(QKeySequence::Open);
  folderMenu_ = file->addMenu(QString());
  folderMenu_->setObjectName(QStringLiteral("MenuHistoriqueDossiers"));
  AddCommand(MenuOuvrirUnDossier, kMsgOpenFolder, false, folderMenu_);
  folderMenu_->addSeparator();
  for (int n = 1; n <= kFolderHistorySlots; ++n) {
    const CommandId id = NthCommand(CommandId::MenuHistoDossier1, n);
    QAction* a = AddCommand(id, 0, false, folderMenu_);
    a->setVisible(false);
    folderHistoryItems_.push_back(a);
    SetCommandHandler(id, [this, n] {
      const std::string folder = FolderHistorySlot(*Options, n);
      if (!folder.empty() && !session_.Busy()) OpenFolder(folder);
    });
  }
  folderMenu_->addSeparator();
  clearFolderHistory_ = AddCommand(MenuHistoDossierEffacer, kMsgClearHistory, false, folderMenu_);
  scanSubFolders_ = AddCommand(MenuHistoDossierTraiterSousDossiers, msg::kProcessSubFolders, false, folderMenu_);
  scanSubFolders_->setCheckable(true);
  connect(folderMenu_, &QMenu::aboutToShow, this, [this] { MenuHistoriqueDossiersClick(); });
  file->addSeparator();
  AddCommand(FichierEnregistrerSous, msg::kSaveAs, true, file);
  AddCommand(MenuEnregistrerEnHTML, msg::kExportWeb, true, file)->setVisible(false);
  AddCommand(Fermer1, msg::kClose, false, file)->setShortcut(QKeySequence::Close);
  file->addSeparator();
  AddCommand(MenuImprimer1, msg::kPrint, true, file)->setShortcut(QKeySequence::Print);
  file->addSeparator();
  AddCommand(MenuNouvelleFenetre, msg::kNewWindow, false, file)->setShortcut(QKeySequence::New);
  file->addSeparator();
  for (int n = 1; n <= kFileHistoryMenuItems; ++n) {
    const CommandId id = NthCommand(CommandId::MenuHistoFichier1, n);
    QAction* a = AddCommand(id, 0, false, file);
    a->setVisible(false);
    fileHistoryItems_.push_back(a);
    SetCommandHandler(id, [this, n] { session_.OpenHistoryFile(n); });
  }
  file->addSeparator();
  AddCommand(FileExitItem, msg::kExit, false, file)->setShortcut(QKeySequence::Quit);
}

// The Edit menu: copies, context, search, sorts.
void TVekEditForm::BuildEditMenu() {
  using enum CommandId;
  QMenu* edit = menuBar()->addMenu(QString());
  edit->setObjectName(QStringLiteral("MenuEdit1"));
  QMenu* copy = edit->addMenu(QString());
  copy->setObjectName(QStringLiteral("CopyDsClipBrd"));
  AddCommand(CopyTexteDsClipBrd, msg::kText, true, copy);
  AddCommand(CopyGraphDsClipBrd, msg::kGraph, true, copy);
  AddCommand(CopyResultatsDsClipBrd, msg::kResults, true, copy);
  AddCommand(MenuContexte, msg::kContext, true, edit);
  AddCommand(MenuChercher, msg::kSearch, true, edit)->setShortcut(QKeySequence::Find);
  QMenu* sort = edit->addMenu(QString());
  sort->setObjectName(QStringLiteral("MenuTriResultats"));
  AddCommand(MenuTriFrequence, msg::kSortAlphabetically, true, sort);
  AddCommand(MenuTriResultatsAlphabetique, msg::kSortFrequency, true, sort);
}

// The Show menu: the result types in their order, the whole text, the files.
void TVekEditForm::BuildShowMenu() {
  using enum CommandId;
  QMenu* show = menuBar()->addMenu(QString());
  show->setObjectName(QStringLiteral("MenuAfficher1"));
  const std::pair<CommandId, int> showItems[] = {{MenuStyleGeneral, msg::kTextStyle},
                                                 {MenuUnivers1, msg::kReferenceFields1},
                                                 {MenuUnivers2, msg::kReferenceFields2},
                                                 {MenuUnivers3, msg::kReferences},
                                                 {MenuAfficheScenario, msg::kScenario},
                                                 {MenuRelations, msg::kRelations},
                                                 {MenuCategFrequentes, msg::kFrequentWordCategories},
                                                 {MenuToutesCategories, msg::kAllWordCategories},
                                                 {MenuLemmesVerbes, msg::kVerbs},
                                                 {MenuLemmesAdjectifs, msg::kAdjectives},
                                                 {MenuLemmesSubstantifs, msg::kSubstantives},
                                                 {MenuEpisodes, msg::kEpisodes}};
  int line = 0;
  for (const auto& [name, caption] : showItems) {
    AddCommand(name, caption, true, show);
    const int index = line++;
    SetCommandHandler(name, [this, index] { ShowResultType(index); });
  }
  show->addSeparator();
  AddCommand(MenuToutLeTexte, msg::kShowWholeText, true, show);
  AddCommand(MenuAfficherFichiers, msg::kFiles, true, show);
  SetCommandHandler(MenuAfficherFichiers, [this] { ShowFilesTab(); });
}

// The Tools menu; the items of the outside programs stay hidden (app/ shows those installed).
void TVekEditForm::BuildToolsMenu() {
  using enum CommandId;
  QMenu* tools = menuBar()->addMenu(QString());
  tools->setObjectName(QStringLiteral("MenuOutils1"));
  AddCommand(MenuScenario, msg::kScenarioTool, false, tools);
  AddCommand(MenuDelimiteurs, msg::kBorders, false, tools);
  AddCommand(MenuExtractionTerminologique, msg::kTerminologyExtraction, true, tools);
  AddCommand(MenuExports, kMsgExportGexf, false, tools);
  AddCommand(MenuGenererUnRapport, msg::kReport, true, tools);
  tools->addSeparator();
  AddCommand(OptionsdAnalyse, msg::kAnalysisOptions, false, tools);
  AddCommand(MenuOptionsGenerales, msg::kGeneralOptions, false, tools);
  AddCommand(MenuGraphe, msg::kGraphs, false, tools);
  AddCommand(MenuCouleurs, msg::kColors, false, tools);
  AddCommand(MenuAfficherGraphe, msg::kShowGraph, false, tools);
  tools->addSeparator();
  AddCommand(MenuOutilsLumo, 0, false, tools)->setVisible(false);
  AddCommand(MenuOutilsTarvik, msg::kTarvik, false, tools)->setVisible(false);
  AddCommand(MenuOutilsDemora, 0, false, tools)->setVisible(false);
  AddCommand(MenuOutilsMellaro, 0, false, tools)->setVisible(false);
  for (int n = 1; n <= 4; ++n)
    AddCommand(NthCommand(CommandId::MenuOutilsPlugin1, n), 0, false, tools)->setVisible(false);
}

// The Help menu.
void TVekEditForm::BuildHelpMenu() {
  using enum CommandId;
  QMenu* help = menuBar()->addMenu(QString());
  help->setObjectName(QStringLiteral("Help1"));
  AddCommand(HelpIndex, msg::kContents, false, help)->setShortcut(QKeySequence::HelpContents);
  // The topic items belong to the old help viewer; the contents page links them.
  const std::pair<CommandId, int> topics[] = {
      {HelpGraphes, 917}, {HelpClasses, 920}, {HelpCategories, 943}, {HelpScenario, 964}, {HelpNotions, 940}};
  for (const auto& [name, context] : topics) {
    AddCommand(name, 0, false, help)->setVisible(false);
    const int c = context;
    SetCommandHandler(name, [c] { ShowHelpContext(c); });
  }
  AddCommand(MenuHelpWeb, 0, false, help);
  help->addSeparator();
  AddCommand(HelpAboutItem, msg::kAbout, false, help);
}

// The tool bar: buttons over menu commands, and the graph kinds.
void TVekEditForm::BuildToolBar() {
  using enum CommandId;
  toolBar_ = addToolBar(QString());
  toolBar_->setObjectName(QStringLiteral("ToolBar1"));
  toolBar_->setMovable(false);
  // A button of a command of its own, or a button over a menu command.
  auto addTool = [this](const char* name, std::optional<CommandId> own, std::optional<CommandId> sharedWith,
                        const char* icon, ToolPicture picture, bool textCommand) {
    QAction* a = own ? AddCommand(*own, 0, textCommand) : Command(*sharedWith);
    a->setIcon(ToolIcon(QString::fromLatin1(icon), picture));
    QToolButton* b = new QToolButton(toolBar_);
    b->setObjectName(QLatin1String(name));
    b->setDefaultAction(a);
    toolBar_->addWidget(b);
  };
  const auto none = std::nullopt;
  addTool("ToolButtonOuvrir", none, FichierOuvrir, "document-open", ToolPicture::kOpen, false);
  addTool("ToolButtonImprimer", none, MenuImprimer1, "document-print", ToolPicture::kPrint, true);
  addTool("ToolButtonCopier", none, CopyTexteDsClipBrd, "edit-copy", ToolPicture::kCopy, true);
  toolBar_->addSeparator();
  addTool("ToolButtonGrapheEtoile", ToolButtonGrapheEtoile, none, "", ToolPicture::kStar, true);
  addTool("ToolButtonGrapheAire", ToolButtonGrapheAire, none, "", ToolPicture::kAreas, true);
  addTool("ToolButtonGrapheActeurs", ToolButtonGrapheActeurs, none, "", ToolPicture::kActors, true);
  addTool("ToolButtonGrapheRepartition", ToolButtonGrapheRepartition, none, "", ToolPicture::kDistribution, true);
  addTool("ToolButtonGrapheRafales", ToolButtonGrapheRafales, none, "", ToolPicture::kBursts, true);
  toolBar_->addSeparator();
  addTool("ToolButtonAfficherToutLeTexte", none, MenuToutLeTexte, "format-justify-fill", ToolPicture::kWholeText, true);
  addTool("ToolButtonChercher", none, MenuChercher, "edit-find", ToolPicture::kSearch, true);
  addTool("ToolButtonScenario", none, MenuScenario, "", ToolPicture::kScenario, false);
  addTool("ToolButtonTerminologie", none, MenuExtractionTerminologique, "", ToolPicture::kTerminology, true);
}

// The popups of the results list and of the text page, and the graph's items.
void TVekEditForm::BuildPopups() {
  using enum CommandId;
  // The results list.
  resultsPopup_ = new QMenu(this);
  resultsPopup_->setObjectName(QStringLiteral("PopupMenuResultats"));
  AddCommand(PopupResultatsCopier, msg::kCopy, true, resultsPopup_);
  resultsPopup_->addAction(Command(CommandId::MenuChercher));
  resultsPopup_->addSeparator();
  AddCommand(PopupResultatsOuvrirScenario, 0, false, resultsPopup_)
      ->setText(MessageText(msg::kOpen) + QLatin1Char(' ') + MessageText(msg::kScenarioTool));
  AddCommand(PopupResultatDbClick1, msg::kSearchScenarioTool, true, resultsPopup_);
  AddCommand(PopupResultatsAjouter1, msg::kAddScenario, true, resultsPopup_);
  AddCommand(PopupResultatsInserer1, msg::kInsertScenario, true, resultsPopup_);
  resultsPopup_->addSeparator();
  AddCommand(PopupTriAlpha, msg::kSortAlphabetically, true, resultsPopup_)->setCheckable(true);
  AddCommand(PopupTriFrequence, msg::kSortFrequency, true, resultsPopup_)->setCheckable(true);
  AddCommand(PopupMasquerLesBranches, msg::kReduceAll, true, resultsPopup_)->setCheckable(true);
  AddCommand(PopupToutDevelopper, msg::kExpandAll, true, resultsPopup_)->setCheckable(true);

  // The text page.
  textPopup_ = new QMenu(this);
  textPopup_->setObjectName(QStringLiteral("PopupMenuImageTexte"));
  AddCommand(PopupImageTexteCopier, msg::kCopy, true, textPopup_);
  textPopup_->addAction(Command(CommandId::MenuContexte));
  AddCommand(PopupImageTexteChercher, msg::kSearch, true, textPopup_);
  textPopup_->addSeparator();
  AddCommand(PopupImageTexteCopierDsScenario, msg::kAddScenario, true, textPopup_);
  AddCommand(PopupImageTexteInsererDsScenario, msg::kInsertScenario, true, textPopup_);
  textPopup_->addSeparator();
  textPopup_->addAction(Command(CommandId::MenuCouleurs));

  // The graph's own popup items (its kinds) are the graph panel's; these follow them.
  AddCommand(PopupImageGrapheCopier, msg::kCopy, true);
  AddCommand(PopupImageGrapheCacher, msg::kHideGraph, true);
}

// The results toolbar.
void TVekEditForm::BuildResultsToolBar() {
  using enum CommandId;
  resultsToolBar_ = new QToolBar(this);
  resultsToolBar_->setObjectName(QStringLiteral("ToolBarResultats"));
  resultsToolBar_->setIconSize(QSize(16, 16));
  auto addResultsTool = [this](CommandId id, ToolPicture picture, int hint) {
    QAction* a = AddCommand(id, 0, true);
    a->setIcon(DrawnIcon(picture));
    if (hint > 0) a->setToolTip(MessageText(hint));
    QToolButton* b = new QToolButton(resultsToolBar_);
    b->setObjectName(QLatin1String(CommandName(id)));
    b->setDefaultAction(a);
    resultsToolBar_->addWidget(b);
  };
  addResultsTool(ToolButtonResultatsPrecedent, ToolPicture::kPrevious, msg::kBack);
  addResultsTool(ToolButtonResultatsSuivant, ToolPicture::kNext, msg::kNext);
  resultsToolBar_->addSeparator();
  addResultsTool(ToolButtonResultatsCopier, ToolPicture::kCopy, msg::kCopy);
  addResultsTool(ToolButtonResultatTri, ToolPicture::kSort, msg::kSortAlphabetically);
  addResultsTool(ToolButtonMasquerDevelopper, ToolPicture::kTree, msg::kReduceAll);
  resultsToolBar_->addSeparator();
  addResultsTool(ToolButtonChercherDsScenario, ToolPicture::kSearchScenario, msg::kSearchScenarioTool);
  addResultsTool(ToolButtonResultatsScenarioAjouter, ToolPicture::kAddScenario, msg::kAddScenario);
  addResultsTool(ToolButtonResultatsScenarioInserer, ToolPicture::kInsertScenario, msg::kInsertScenario);
}

// The handlers of the commands the window carries out itself.
void TVekEditForm::ConnectOwnCommands() {
  using enum CommandId;
  AliasCommand(PopupResultatsCopier, CopyResultatsDsClipBrd);
  AliasCommand(PopupImageTexteCopier, CopyTexteDsClipBrd);
  SetCommandHandler(FichierOuvrir, [this] { FileOpen1Execute(); });
  SetCommandHandler(Fermer1, [this] { session_.CmFermer(); });
  SetCommandHandler(FileExitItem, [this] { close(); });
  SetCommandHandler(MenuNouvelleFenetre, [this] { NewWindow(); });
  SetCommandHandler(MenuOuvrirUnDossier, [this] { MenuOuvrirUnDossierClick(); });
  SetCommandHandler(MenuHistoDossierEffacer, [this] {
    std::string question = GetMessageText(kMsgClearHistory);
    question += "? ";
    question += GetMessageText(kMsgContinue);
    if (!CancelChosen(question)) ClearFolderHistory(*Options);
    MenuHistoriqueDossiersClick();
  });
  SetCommandHandler(MenuHistoDossierTraiterSousDossiers, [this] {
    Options->Set(opt::NoSubFolders, Options->Switch(opt::NoSubFolders) ? 0 : 1);
    MenuHistoriqueDossiersClick();
  });
  SetCommandHandler(HelpIndex, [] { ShowHelpCommand(3); });
  SetCommandHandler(MenuHelpWeb, [] { ShellOpenUrl(kProgramWebAddress); });
  Command(CommandId::MenuHelpWeb)->setText(QString::fromLatin1(kProgramWebAddress));
  (void)kMsgWebSite;
}

void TVekEditForm::BuildCommands() {
  BuildFileMenu();
  BuildEditMenu();
  BuildShowMenu();
  BuildToolsMenu();
  BuildHelpMenu();
  BuildToolBar();
  BuildPopups();
  BuildResultsToolBar();
  ConnectOwnCommands();
  // Command(id) is never null: every id has its action from here on.
  for (size_t i = 0; i < kCommandCount; ++i)
    if (commands_[i].action == nullptr)
      qFatal("command %s has no action", std::string(CommandName(static_cast<CommandId>(i))).c_str());
}

const std::array<CommandId, kCommandCount>& CommandsByName() {
  static const std::array<CommandId, kCommandCount> ids = [] {
    std::array<CommandId, kCommandCount> all{};
    for (size_t i = 0; i < kCommandCount; ++i) all[i] = static_cast<CommandId>(i);
    std::sort(all.begin(), all.end(), [](CommandId a, CommandId b) { return CommandName(a) < CommandName(b); });
    return all;
  }();
  return ids;
}

QAction* TVekEditForm::Command(CommandId id) const { return Entry(id).action; }

std::vector<CommandId> TVekEditForm::CommandsWithoutHandler() const {
  std::vector<CommandId> ids;
  for (CommandId id : CommandsByName())
    if (!Entry(id).handler) ids.push_back(id);
  return ids;
}

void TVekEditForm::SetCommandHandler(CommandId id, std::function<void()> handler) {
  Entry(id).handler = std::move(handler);
  UpdateActions();
}

void TVekEditForm::SetCommandCondition(CommandId id, std::function<bool()> condition) {
  Entry(id).condition = std::move(condition);
  UpdateActions();
}

bool TVekEditForm::AnalysisRunning() const { return session_.Analysis().run.running || session_.Refreshing(); }

bool TVekEditForm::WouldAct(CommandId id) const {
  const CommandEntry& entry = Entry(id);
  if (entry.alias) return WouldAct(*entry.alias);
  const bool busy = session_.Busy();
  bool enabled = static_cast<bool>(entry.handler) && !busy && (!entry.textCommand || commandsEnabled_) &&
                 (!entry.condition || entry.condition());
  if (id == CommandId::MenuEpisodes)
    enabled = enabled && !session_.Analysis().bursts.bursts.empty() && !session_.Analysis().bursts.episodes.empty();
  return enabled;
}

void TVekEditForm::AliasCommand(CommandId id, CommandId target) {
  CommandEntry& entry = Entry(id);
  entry.alias = target;
  entry.handler = [this, target] {
    if (QAction* a = Command(target); a->isEnabled()) a->trigger();
  };
  UpdateActions();
}

void TVekEditForm::UpdateActions() {
  const bool busy = session_.Busy();
  for (size_t i = 0; i < kCommandCount; ++i)
    if (commands_[i].action != nullptr) commands_[i].action->setEnabled(WouldAct(static_cast<CommandId>(i)));
  // Whole menus of a text.
  for (QAction* menuAction : menuBar()->actions()) {
    QMenu* menu = menuAction->menu();
    if (menu == nullptr) continue;
    if (menu->objectName() == QLatin1String("MenuAfficher1") || menu->objectName() == QLatin1String("MenuEdit1"))
      menuAction->setEnabled(commandsEnabled_ && !busy);
  }
}

void TVekEditForm::LocaliserInterface() {
  pageControl1_->setTabText(pageControl1_->indexOf(resultsPage_), MessageText(msg::kResults));
  pageControl1_->setTabText(pageControl1_->indexOf(explainPage_), MessageText(kMsgExplain));
  pageControl3_->setTabText(pageControl3_->indexOf(graphExplainPage_), MessageText(kMsgExplain));
  pageControlTexte_->setTabText(pageControlTexte_->indexOf(textPage_), MessageText(msg::kText));
  pageControlTexte_->setTabText(pageControlTexte_->indexOf(filesPage_), MessageText(msg::kFiles));
  pageControl3_->setTabText(pageControl3_->indexOf(graphPage_), MessageText(msg::kGraph));
  const std::pair<const char*, int> menus[] = {
      {"MenuFile1", msg::kFile},     {"MenuEdit1", msg::kEdit},
      {"CopyDsClipBrd", msg::kCopy}, {"MenuTriResultats", msg::kSort},
      {"MenuAfficher1", msg::kShow}, {"MenuOutils1", msg::kTools},
      {"Help1", msg::kHelp},         {"MenuHistoriqueDossiers", msg::kFolders}};
  for (QMenu* menu : findChildren<QMenu*>()) {
    for (const auto& [name, caption] : menus)
      if (menu->objectName() == QLatin1String(name)) menu->setTitle(MessageText(caption));
  }
  // Hints of the tool buttons: their action's caption, or the graph labels.
  const std::pair<CommandId, int> graphHints[] = {{CommandId::ToolButtonGrapheEtoile, msg::kStar},
                                                  {CommandId::ToolButtonGrapheAire, msg::kArea},
                                                  {CommandId::ToolButtonGrapheActeurs, msg::kActors},
                                                  {CommandId::ToolButtonGrapheRepartition, msg::kDistribution},
                                                  {CommandId::ToolButtonGrapheRafales, msg::kEpisodes}};
  for (const auto& [id, text] : graphHints) {
    Command(id)->setText(FromCp1252(GraphLabel(text)));
    Command(id)->setToolTip(FromCp1252(GraphLabel(text)));
  }
  Command(CommandId::MenuScenario)->setToolTip(MessageText(msg::kScenarioTool));
  Command(CommandId::MenuToutLeTexte)->setToolTip(MessageText(msg::kShowWholeText));
  Command(CommandId::CopyTexteDsClipBrd)->setToolTip(MessageText(msg::kCopy));
  Command(CommandId::MenuImprimer1)->setToolTip(MessageText(msg::kPrint));
  Command(CommandId::FichierOuvrir)->setToolTip(MessageText(msg::kOpen));
  Command(CommandId::MenuChercher)->setToolTip(MessageText(msg::kSearch));
  Command(CommandId::MenuExtractionTerminologique)->setToolTip(MessageText(msg::kTerminologyExtraction));
  Command(CommandId::MenuOutilsLumo)->setText(QStringLiteral("Lumo"));
  buttonOuvrir_->setText(MessageText(msg::kEditButton));
  buttonAnalyser_->setText(MessageText(msg::kAnalyze));
  buttonAnalyser_->setToolTip(MessageText(msg::kAnalyseAllFilesList));
  buttonSupprimer_->setText(MessageText(msg::kClear));
  buttonAjouter_->setText(MessageText(msg::kAdd));
  buttonTrier_->setText(MessageText(msg::kSort));
  labelTitreExplicGraphes_->setText(MessageText(msg::kGraph));
}

bool TVekEditForm::FormCreate(const std::vector<std::string>& args, const MonitorArea& monitor) {
  setWindowTitle(QStringLiteral("Quilor"));
  placement_ = PlaceMainWindow(monitor);
  setGeometry(placement_.left, placement_.top, placement_.width, placement_.height);
  fond_->setSizes({placement_.resultsPanelWidth, std::max(1, placement_.width - placement_.resultsPanelWidth)});
  rightSplitter_->setSizes({std::max(1, placement_.height - placement_.graphPanelHeight), placement_.graphPanelHeight});
  AfficheMessage(StandardTextOf(kStdLoading));
  SetInstallPaths();
  AfficheMessage(StandardTextOf(kStdDictionary));
  engineStarted_ = true;
  if (!StartUp()) return false;
  if (!ParseCommandLine(args) || CommandLineFlags.terminationRequested) return false;
  if (CommandLineFlags.documentKind) Options->Set(opt::DocumentKind, CommandLineFlags.documentKind);
  setWindowTitle(QString::fromStdString(Cp1252ToUtf8(ProgramWindowTitle(false))));
  AfficheMessage(GetMessageText(kMsgScenario));
  // A current Scenario that cannot be read (its message names it) is not
  // kept as current: the editor would show it empty and save over it.
  if (!LoadCurrentScenario()) Options->Set(opt::ScenarioFileName, "");
  AfficheMessage(GetMessageText(kMsgBorders));
  LoadCurrentBorders();
  LocaliserInterface();
  pageControl1_->setCurrentWidget(explainPage_);
  pageControl3_->setCurrentWidget(graphPage_);
  FillExplainPage();
  AfficheMessage(GetMessageText(kMsgOk));
  EnableCommandDuMenu(false);
  panelInfos_->setVisible(commandsEnabled_ && Options->Switch(opt::ShowHelpPanel));
  ApplyHistoryOptionsAtStart(*Options);
  AppliquerHistoFichierSurMenu();
  ApplyListFonts();
  InstallHintPause();
  startupDone_ = true;
  return true;
}

void TVekEditForm::ApplyListFonts() {
  const ListFonts fonts = ListFontsFor(Options->Switch(opt::LargeFonts));
  panelInfos_->setMinimumHeight(fonts.infoPanelHeight);
  panelResultats_->setMinimumWidth(fonts.resultsPanelMinimumWidth);
  for (QWidget* widget : {panelResultats_, static_cast<QWidget*>(statusBar()), static_cast<QWidget*>(pageControl1_)}) {
    QFont font = widget->font();
    font.setPointSize(fonts.fontSize);
    widget->setFont(font);
  }
  for (ResultsPanelWidget* results : findChildren<ResultsPanelWidget*>()) results->SetListFonts(fonts);
}

void TVekEditForm::FormShow(bool maximise) {
  const bool scenarioAtStart = Options->Switch(opt::OpenScenarioAtStart);
  if (maximise && !scenarioAtStart) showMaximized();
  else show();
  if (WorkContext->FileNamed) {
    const std::string file = WorkContext->CommandLineFile;
    session_.chosenFileName = file;
    Options->Set(opt::DocumentKind, static_cast<uint16_t>(DocumentKind(file)));
    WorkContext->FileDialogMask = ExtensionFilter(file);
    const std::string folder = FolderOf(file);
    if (!folder.empty()) {
      ChangeCurrentFolder(folder);
      bool queued = false;
      if (CommandLineFlags.commandFileGiven) {
        WorkContext->PendingCommandFile = file;
        const CommandFileOutcome outcome = ReadCommandFile(file, CommandHooks());
        if (!outcome.hasSection) WorkContext->PendingCommandFile.clear();
        queued = FileQueue.Count() > 0;
        if (queued) WorkContext->CurrentFileName = FileQueue.Get(1);
        CommandLineFlags.commandFileGiven = false;
      } else {
        FileQueue.Clear();
        queued = FileQueue.Add(file.c_str());
        WorkContext->CurrentFileName = file;
      }
      if (queued) session_.AnalyserLeTexte();
    }
  }
  if (scenarioAtStart) {
    QAction* scenario = Command(CommandId::MenuScenario);
    if (scenario != nullptr && scenario->isEnabled()) scenario->trigger();
  }
  WorkContext->FileNamed = false;
}

void TVekEditForm::FormClose() {
  if (closed_) return;
  closed_ = true;
  if (!engineStarted_) return;
  session_.WindowClosing();
  for (auto& f : closingCallbacks_) f();
  ShutDown();
}

void TVekEditForm::closeEvent(QCloseEvent* event) {
  if (!session_.CloseRequested()) {
    event->ignore();
    return;
  }
  // The windows that hold unsaved work are asked first: a Cancel there
  // leaves everything open.
  for (auto& query : closeQueries_) {
    if (query()) continue;
    session_.CloseCancelled();
    event->ignore();
    return;
  }
  FormClose();
  event->accept();
}

void TVekEditForm::CloseWhenIdle() {
  QTimer::singleShot(0, this, [this] { close(); });
}

void TVekEditForm::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange) {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (isMinimized()) minimiseTime_ = now;
  } else if (event->type() == QEvent::ActivationChange && startupDone_ && isActiveWindow()) {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (isMinimized() && now - minimiseTime_ >= kRestoreDelayMs) {
      minimiseTime_ = now;
      showNormal();
    }
  }
  QMainWindow::changeEvent(event);
}

void TVekEditForm::EnableCommandDuMenu(bool enabled) {
  commandsEnabled_ = enabled;
  UpdateActions();
  const int resultsIndex = pageControl1_->indexOf(resultsPage_);
  const int explainIndex = pageControl1_->indexOf(explainPage_);
  if (enabled) {
    pageControl1_->setTabVisible(resultsIndex, true);
    pageControl1_->setCurrentIndex(resultsIndex);
    pageControl1_->setTabText(explainIndex, MessageText(kMsgExplain));
    pageControlTexte_->setTabVisible(pageControlTexte_->indexOf(textPage_), true);
    pageControlTexte_->setCurrentWidget(textPage_);
    // The graph views show the graph panel when they draw a graph.
    panelText_->setVisible(true);
    panelInfos_->setVisible(Options && Options->Switch(opt::ShowHelpPanel));
  } else {
    panelGraph_->setVisible(false);
    panelText_->setVisible(false);
    // The welcome page reaches the status line: no empty info panel under it.
    panelInfos_->setVisible(false);
    pageControl1_->setCurrentIndex(explainIndex);
    pageControl1_->setTabText(explainIndex, MessageText(kMsgWelcome));
    pageControl1_->setTabVisible(resultsIndex, false);
    FillWelcomePage();
  }
}

void TVekEditForm::ShowGraphPanel(bool visible) { panelGraph_->setVisible(visible && commandsEnabled_); }

void TVekEditForm::ShowStatus(int panel, const std::string& utf8) {
  (panel == 0 ? status0_ : status1_)->setText(QString::fromStdString(utf8));
}

QString TVekEditForm::StatusText(int panel) const { return (panel == 0 ? status0_ : status1_)->text(); }

void TVekEditForm::RefreshAfterAnalysis() {
  for (auto& f : refreshCallbacks_) f();
}

void TVekEditForm::TextReleased() {
  // The explanation of the released text goes with it.
  labelInfos_->clear();
  for (auto& f : releaseCallbacks_) f();
}

void TVekEditForm::RazAffichageEtGraphe() {
  for (auto& f : redrawCallbacks_) f();
}

void TVekEditForm::ReLancerAnalyse() { session_.ReLancerAnalyse(); }

void TVekEditForm::SwitchAffichageSurDerniereFonctionUtilise() {
  if (lastResultTypeHandler_) lastResultTypeHandler_();
}

void TVekEditForm::ShowResultType(int index) {
  if (resultTypeHandler_) resultTypeHandler_(index);
}

void TVekEditForm::AfficheMessage(const std::string& text) { ShowStatus(1, Cp1252ToUtf8(text)); }

void TVekEditForm::AfficheInfos(const std::string& text) { labelInfos_->setText(FromCp1252(text)); }

void TVekEditForm::ShowTextTab() { pageControlTexte_->setCurrentWidget(textPage_); }

// ---- File commands -----------------------------------------------------------

void TVekEditForm::FileOpen1Execute() {
  if (session_.Busy()) return;
  AfficheMessage(GetMessageText(kMsgChooseFile));
  FileChoice choice;
  choice.title = Cp1252ToUtf8(GetMessageText(msg::kOpen));
  choice.folder = Options->Get(opt::LastFolder);
  choice.filter = Cp1252ToUtf8(BuildOpenDialogFilter());
  choice.filterIndex = OpenDialogFilterIndex();
  choice.multiple = true;
  const std::vector<std::string> files = CurrentDesktop().ChooseOpenFiles(choice);
  if (files.empty()) {
    AfficheMessage(" ");
    return;
  }
  session_.OpenChosenFiles(files, choice.filterIndex);
}

void TVekEditForm::AppliquerHistoFichierSurMenu() {
  const std::vector<std::string> captions = FileHistoryMenuCaptions(*Options);
  for (size_t i = 0; i < fileHistoryItems_.size(); ++i) {
    const std::string& caption = i < captions.size() ? captions[i] : std::string();
    fileHistoryItems_[i]->setText(QString::fromStdString(caption));
    fileHistoryItems_[i]->setVisible(!caption.empty());
  }
}

void TVekEditForm::MenuHistoriqueDossiersClick() {
  for (int n = 1; n <= kFolderHistorySlots; ++n) {
    const std::string folder = FolderHistorySlot(*Options, n);
    folderHistoryItems_[n - 1]->setText(QString::fromStdString(folder));
    folderHistoryItems_[n - 1]->setVisible(!folder.empty());
  }
  clearFolderHistory_->setEnabled(!session_.Busy() && !FolderHistorySlot(*Options, 1).empty());
  scanSubFolders_->setChecked(!Options->Switch(opt::NoSubFolders));
}

void TVekEditForm::MenuOuvrirUnDossierClick() {
  if (session_.Busy()) return;
  std::string start = Options->Get(opt::LastFolder);
  if (start.empty()) start = GetPersonalFolder();
  const std::string folder = CurrentDesktop().ChooseFolder(Cp1252ToUtf8(GetMessageText(kMsgOpenFolder)), start);
  if (!folder.empty()) OpenFolder(folder);
}

void TVekEditForm::ShowFilesTab() {
  panelText_->setVisible(true);
  pageControlTexte_->setCurrentWidget(filesPage_);
}

void TVekEditForm::OpenFolder(const std::string& folder) {
  if (session_.Busy()) return;
  session_.CmFermer();
  pageControlTexte_->setTabVisible(pageControlTexte_->indexOf(textPage_), false);
  panelGraph_->setVisible(false);
  Options->Set(opt::LastFolder, folder);
  AddFolderToHistory(*Options, folder);
  ShowHourglass();
  listBoxFichiers_->clear();
  SetFilesListLines(ScanFolderForDocuments(folder, !Options->Switch(opt::NoSubFolders)));
  RestoreCursor();
  ShowFilesTab();
  ListBoxFichiersOuvertsClick();
  // Nothing listed: say why rather than "0 file(s) selected".
  if (listBoxFichiers_->count() == 0) ShowStatus(1, Cp1252ToUtf8(GetMessageText(kMsgNoDocumentInFolder)));
}

std::vector<std::string> TVekEditForm::FilesListLines() const {
  std::vector<std::string> lines;
  lines.reserve(static_cast<size_t>(listBoxFichiers_->count()));
  for (int i = 0; i < listBoxFichiers_->count(); ++i) lines.push_back(listBoxFichiers_->item(i)->text().toStdString());
  return lines;
}

void TVekEditForm::SetFilesListLines(const std::vector<std::string>& lines) {
  listBoxFichiers_->clear();
  QStringList items;
  items.reserve(static_cast<qsizetype>(lines.size()));
  for (const auto& l : lines) items << QString::fromStdString(l);
  listBoxFichiers_->addItems(items);
  ListBoxFichiersOuvertsClick();
}

void TVekEditForm::ListBoxFichiersOuvertsClick() {
  const bool selected = !listBoxFichiers_->selectedItems().isEmpty();
  buttonOuvrir_->setEnabled(selected);
  buttonSupprimer_->setEnabled(selected);
  buttonAnalyser_->setEnabled(listBoxFichiers_->count() > 0);
  ShowStatus(1, FilesTabStatus(static_cast<size_t>(listBoxFichiers_->count())));
}

void TVekEditForm::ButtonListeFichiersAnalyserClick() {
  if (listBoxFichiers_->count() == 0 || session_.Busy()) return;
  session_.AnalyseList(FilesListLines());
}

void TVekEditForm::ButtonListeFichiersSupprimerClick() {
  if (session_.Busy()) return;
  const QList<QListWidgetItem*> selected = listBoxFichiers_->selectedItems();
  if (selected.isEmpty()) return;
  for (QListWidgetItem* item : selected) delete item;
  ListBoxFichiersOuvertsClick();
}

void TVekEditForm::ButtonListeFichiersAjouterClick() {
  FileChoice choice;
  choice.title = Cp1252ToUtf8(GetMessageText(msg::kOpen));
  choice.folder = Options->Get(opt::LastFolder);
  choice.filter = Cp1252ToUtf8(BuildOpenDialogFilter());
  choice.filterIndex = OpenDialogFilterIndex();
  choice.multiple = true;
  const std::vector<std::string> files = CurrentDesktop().ChooseOpenFiles(choice);
  if (files.empty()) return;
  ShowHourglass();
  Options->Set(opt::LastFolder, FolderOf(files.front()));
  std::vector<std::string> lines = FilesListLines();
  AppendNewFiles(lines, files);
  SetFilesListLines(lines);
  RestoreCursor();
}

void TVekEditForm::ButtonListeFichiersTrierClick() {
  std::vector<std::string> lines = FilesListLines();
  std::sort(lines.begin(), lines.end());
  SetFilesListLines(lines);
}

void TVekEditForm::ButtonListeFichiersOuvrirClick() {
  const QList<QListWidgetItem*> selected = listBoxFichiers_->selectedItems();
  if (selected.isEmpty()) return;
  ShellOpenWithVerb("open", selected.front()->text().toStdString());
}

void TVekEditForm::ShowError(int messageNumber) { quilor::ShowError(GetMessageText(messageNumber)); }

void TVekEditForm::BringToFront() {
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

void TVekEditForm::SwitchScenario(const std::string& name) {
  if (scenarioSwitch_) {
    scenarioSwitch_(name);
    return;
  }
  MakeScenarioCurrent(name);
}

void TVekEditForm::AnalyseQueue() {
  // The text was released by the request: the queue is analysed as it stands.
  session_.AnalyserLeTexte();
}

void TVekEditForm::OpenDocument(const std::string& path) {
  session_.chosenFileName = path;
  Options->Set(opt::DocumentKind, static_cast<uint16_t>(DocumentKind(path)));
  session_.CmOuvrir(true, false);
}

CommandFileHooks TVekEditForm::CommandHooks() {
  CommandFileHooks hooks;
  hooks.setCurrentFolder = [](const std::string& folder) { ChangeCurrentFolder(folder); };
  hooks.switchScenario = [this](const std::string& name) { SwitchScenario(name); };
  return hooks;
}

void TVekEditForm::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TVekEditForm::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.front().isLocalFile()) return;
  event->acceptProposedAction();
  std::vector<std::string> names;
  for (const QUrl& url : urls)
    if (url.isLocalFile()) names.push_back(url.toLocalFile().toStdString());
  // Handled once the drop is over, so that the drag source is free again.
  QTimer::singleShot(0, this, [this, names] { HandleDrop(names, *this); });
}

void TVekEditForm::NewWindow() {
  SaveOptionsFile();
  SpawnProgram({ProgramPath()}, std::string());
}

// ---- Explain pages -----------------------------------------------------------

void TVekEditForm::ShowPage(QTextBrowser* view, QLabel* title, const ExplainPage& page) {
  title->setText(FromCp1252(page.title));
  view->setHtml(QString::fromStdString(ExplainPageHtml(page)));
}

void TVekEditForm::FillWelcomePage() { ShowPage(richEdit4_, labelTitreExpliquer_, WelcomePage()); }

void TVekEditForm::FillExplainPage() {
  const int explainIndex = pageControl1_->indexOf(explainPage_);
  if (pageControl1_->currentWidget() == resultsPage_) {
    pageControl1_->setTabText(explainIndex, MessageText(kMsgExplain));
    return;
  }
  if (!session_.ResultsShown()) {
    FillWelcomePage();
    return;
  }
  const int index = selectedResultType_ ? selectedResultType_() : 0;
  ShowPage(richEdit4_, labelTitreExpliquer_, ResultTypeExplainPage(index < 0 ? 0 : index));
}

void TVekEditForm::FillGraphExplainPage() {
  if (pageControl3_->currentWidget() != graphExplainPage_) return;
  ShowPage(richEditExplicGraphe_, labelTitreExplicGraphes_, GraphExplainPage(Options->Get(opt::GraphKind)));
}

}  // namespace quilor::ui
