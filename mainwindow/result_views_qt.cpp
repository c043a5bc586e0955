#include "mainwindow/result_views_qt.h"

#include <QAction>
#include <QListView>
#include <QMenu>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <memory>

#include "core/file_queue.h"
#include "core/files.h"
#include "core/messages.h"
#include "core/options.h"
#include "engine/analysis_results.h"
#include "engine/word_list.h"
#include "ui/desktop.h"
#include "mainwindow/context_window.h"
#include "mainwindow/copy_window.h"
#include "mainwindow/main_window.h"
#include "mainwindow/main_window_layout.h"
#include "ui/result_type_codes.h"
#include "mainwindow/results_commands.h"
#include "ui/texts_qt.h"
#include "mainwindow/results_panel_widget.h"
#include "ui/selection_ops.h"
#include "mainwindow/text_view_widget.h"
#include "ui/view_state.h"
#include "platform/text_encoding.h"

namespace quilor::ui {

namespace {
constexpr int kMsgResultsCopied = 1067;
}  // namespace

namespace {

// What the views keep for the life of the window.
struct ResultViews {
  explicit ResultViews(const TResultsModel& model) : panel(model) {}
  TResultsPanel panel;
  ResultsPanelWidget* results = nullptr;
  TextViewWidget* text = nullptr;
  ContextWindow* context = nullptr;
  CopyWindow* copy = nullptr;
};

void Fill(QWidget* container, QWidget* child) {
  auto* layout = container->layout() ? container->layout() : new QVBoxLayout(container);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(child);
}

// A window opened from the text (the context and copy windows) stands over
// the text page, clear of the main window's menus and tool bar, and whole
// on its screen (smaller where the screen is, down to the size its
// commands need).
void PlaceOverTheText(TVekEditForm& window, QWidget& opened) {
  // The window manager's border, which the window has only once shown.
  constexpr int kBorderWidth = 12;
  constexpr int kBorderHeight = 40;
  const QPoint at = window.TextContainer()->mapToGlobal(QPoint(0, 0));
  MonitorArea frame{at.x(), at.y(), opened.width() + kBorderWidth, opened.height() + kBorderHeight};
  if (const QScreen* screen = window.screen()) {
    const QRect room = screen->availableGeometry();
    frame = KeepWholeOnMonitor(frame, MonitorArea{room.left(), room.top(), room.width(), room.height()});
    // Never below the size its commands need.
    opened.resize(std::max(frame.width - kBorderWidth, opened.sizeHint().width()),
                  std::max(frame.height - kBorderHeight, opened.sizeHint().height()));
  }
  opened.move(frame.left, frame.top);
}

// The commands that take a result, or a word of the text, to the Scenario
// editor.
void InstallScenarioResultCommands(TVekEditForm& window, const std::shared_ptr<ResultViews>& views,
                                   ScenarioEditorPort* editor) {
  window.SetCommandHandler(CommandId::PopupResultatsOuvrirScenario, [editor] { editor->Open(); });
  const auto searchInScenario = [views] {
    if (views->panel.SelectedLine() < 0) return;
    views->panel.DoubleClickLine(views->panel.SelectedLine());
    views->results->Sync();
  };
  window.SetCommandHandler(CommandId::PopupResultatDbClick1, searchInScenario);
  window.SetCommandHandler(CommandId::ToolButtonChercherDsScenario, [editor, searchInScenario] {
    if (!editor->IsOpen()) editor->Open();
    searchInScenario();
  });
  window.SetCommandHandler(CommandId::PopupResultatsAjouter1,
                           [views, editor] { AddSelectedResultToScenario(views->panel, editor, false); });
  window.SetCommandHandler(CommandId::PopupResultatsInserer1, [views, editor] {
    ShowHourglass();
    AddSelectedResultToScenario(views->panel, editor, true);
    RestoreCursor();
  });
  const auto textWord = [&window, editor](bool insert) {
    const int32_t position = ViewState.HitWordPosition > 0 ? ViewState.HitWordPosition : ViewState.CurrentWordPosition;
    AddTextWordToScenario(editor, window, position, insert);
  };
  window.SetCommandHandler(CommandId::PopupImageTexteCopierDsScenario, [textWord] { textWord(false); });
  window.SetCommandHandler(CommandId::PopupImageTexteInsererDsScenario, [textWord] { textWord(true); });
  // They act on the open editor only: closed, they are not offered.
  for (CommandId id : {CommandId::PopupImageTexteCopierDsScenario, CommandId::PopupImageTexteInsererDsScenario})
    window.SetCommandCondition(id, [editor, &window] { return editor->IsOpen() && !window.Printing(); });
  // A double click looks up the lines of classes and words only: the
  // lists where the toolbar offers the search in the Scenario.
  window.SetCommandCondition(CommandId::PopupResultatDbClick1, [editor, views] {
    return editor->IsOpen() && views->panel.SelectedLine() >= 0 && views->panel.ToolbarState().searchVisible;
  });
}

// The results and text popups, and what the list and the text page pass on
// (a click in the tree margin, a dropped word, a place to show).
void InstallResultsPopups(TVekEditForm& window, const std::shared_ptr<ResultViews>& views, ScenarioEditorPort* editor) {
  // The results popup shows what the current result type offers.
  QListView* list = views->results->ResultsList();
  list->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(list, &QListView::customContextMenuRequested, list, [&window, views, editor, list](const QPoint& p) {
    // The line under the pointer is selected first: the popup acts on it.
    if (const QModelIndex at = list->indexAt(p); at.isValid() && at.row() != views->panel.SelectedLine())
      window.ClickResultLine(at.row());
    const TResultsPopupState s = ResultsPopupState(views->panel, editor);
    window.Command(CommandId::PopupResultatsOuvrirScenario)->setVisible(s.openScenarioVisible);
    window.Command(CommandId::PopupResultatDbClick1)->setVisible(s.searchInScenarioVisible);
    for (CommandId id : {CommandId::PopupTriAlpha, CommandId::PopupTriFrequence})
      window.Command(id)->setVisible(s.sortVisible);
    window.Command(CommandId::PopupTriAlpha)->setChecked(s.alphabeticalChecked);
    window.Command(CommandId::PopupTriFrequence)->setChecked(!s.alphabeticalChecked);
    for (CommandId id : {CommandId::PopupMasquerLesBranches, CommandId::PopupToutDevelopper})
      window.Command(id)->setVisible(s.treeVisible);
    window.Command(CommandId::PopupMasquerLesBranches)->setChecked(s.branchesHiddenChecked);
    window.Command(CommandId::PopupToutDevelopper)->setChecked(!s.branchesHiddenChecked);
    for (CommandId id : {CommandId::PopupResultatsAjouter1, CommandId::PopupResultatsInserer1})
      window.Command(id)->setVisible(s.addVisible);
    window.UpdateActions();
    window.ResultsPopup()->popup(list->viewport()->mapToGlobal(p));
  });
  QObject::connect(views->text, &TextViewWidget::popupRequested, views->text, [&window](QPoint global) {
    if (!window.TextLoaded()) return;
    window.UpdateActions();
    window.TextPopup()->popup(global);
  });
  QObject::connect(views->results, &ResultsPanelWidget::treeMarginClicked, views->results, [&window] {
    if (QAction* a = window.Command(CommandId::ToolButtonMasquerDevelopper); a && a->isEnabled()) a->trigger();
  });
  // A word dropped from the text page is searched.
  QObject::connect(views->results, &ResultsPanelWidget::textWordDropped, views->results, [&window] {
    if (window.Printing()) return;
    if (QAction* search = window.Command(CommandId::PopupImageTexteChercher); search && search->isEnabled())
      search->trigger();
  });
  QObject::connect(views->text, &TextViewWidget::placeText, views->text,
                   [&window](const QString& text) { window.ShowStatus(0, text.toStdString()); });
}

}  // namespace

// The results toolbar, the two popups, the wheel and the drops on the list.
void InstallResultsCommands(TVekEditForm& window, const std::shared_ptr<ResultViews>& views, ScenarioEditorPort* editor,
                            const std::function<void(bool)>& sort) {
  QToolBar* bar = window.ResultsToolBar();
  // Showing a button's place again enables the button whatever its command
  // says (the tool bar's place passes its own state on): it takes its
  // command's state back.
  auto setVisible = [bar](CommandId id, bool visible) {
    for (QAction* a : bar->actions()) {
      QWidget* w = bar->widgetForAction(a);
      if (!w || w->objectName() != QLatin1String(CommandName(id))) continue;
      a->setVisible(visible);
      if (auto* button = qobject_cast<QToolButton*>(w); button && button->defaultAction())
        button->setEnabled(button->defaultAction()->isEnabled());
    }
  };
  auto updateToolbar = [&window, views, setVisible] {
    const TResultsToolbarState s = views->panel.ToolbarState();
    setVisible(CommandId::ToolButtonChercherDsScenario, s.searchVisible);
    setVisible(CommandId::ToolButtonMasquerDevelopper, s.expandVisible);
    setVisible(CommandId::ToolButtonResultatsScenarioAjouter, s.addVisible);
    setVisible(CommandId::ToolButtonResultatsScenarioInserer, s.addVisible);
    window.Command(CommandId::ToolButtonMasquerDevelopper)->setToolTip(MessageText(s.expandHint));
    window.Command(CommandId::ToolButtonResultatTri)->setToolTip(MessageText(s.sortHint));
    window.UpdateActions();
  };
  QObject::connect(views->results, &ResultsPanelWidget::changed, bar, updateToolbar);
  QObject::connect(views->results, &ResultsPanelWidget::lineSelected, bar, updateToolbar);

  window.SetCommandCondition(CommandId::ToolButtonResultatsPrecedent,
                             [views] { return views->panel.ToolbarState().previousEnabled; });
  window.SetCommandCondition(CommandId::ToolButtonResultatsSuivant,
                             [views] { return views->panel.ToolbarState().nextEnabled; });
  window.SetCommandCondition(CommandId::ToolButtonResultatTri,
                             [views] { return views->panel.ToolbarState().sortEnabled; });
  window.SetCommandCondition(CommandId::ToolButtonChercherDsScenario,
                             [views] { return views->panel.ToolbarState().searchEnabled; });
  window.SetCommandCondition(CommandId::PopupResultatsAjouter1,
                             [views] { return views->panel.ToolbarState().addEnabled; });
  // Insert goes under the editor's selected node: without one it would do nothing.
  window.SetCommandCondition(CommandId::PopupResultatsInserer1, [views, editor] {
    return views->panel.ToolbarState().addEnabled && editor && editor->NodeSelected();
  });
  // The toolbar's buttons that do what a menu or popup command does.
  window.AliasCommand(CommandId::ToolButtonResultatsCopier, CommandId::CopyResultatsDsClipBrd);
  window.AliasCommand(CommandId::ToolButtonResultatsScenarioAjouter, CommandId::PopupResultatsAjouter1);
  window.AliasCommand(CommandId::ToolButtonResultatsScenarioInserer, CommandId::PopupResultatsInserer1);
  const auto step = [&window, views](int by) {
    const int index = views->panel.LastUsedResultType + by;
    if (index < 0 || index >= static_cast<int>(views->panel.ResultTypeTable().Lines().size())) return;
    window.ShowResultType(index);
  };
  window.SetCommandHandler(CommandId::ToolButtonResultatsPrecedent, [step] { step(-1); });
  window.SetCommandHandler(CommandId::ToolButtonResultatsSuivant, [step] { step(1); });
  window.SetCommandHandler(CommandId::ToolButtonResultatTri, [sort] { sort(!Options->Switch(opt::SortAlphabetical)); });
  window.SetCommandHandler(CommandId::PopupTriAlpha, [sort] { sort(true); });
  window.SetCommandHandler(CommandId::PopupTriFrequence, [sort] { sort(false); });
  const auto hideBranches = [views](bool hidden) {
    views->panel.SetBranchesHidden(hidden);
    views->results->Sync();
  };
  // A sort or a tree state already in effect is not offered again.
  window.SetCommandCondition(CommandId::PopupTriAlpha, [] { return !Options->Switch(opt::SortAlphabetical); });
  window.SetCommandCondition(CommandId::PopupTriFrequence, [] { return Options->Switch(opt::SortAlphabetical); });
  window.SetCommandCondition(CommandId::MenuTriFrequence, [] { return !Options->Switch(opt::SortAlphabetical); });
  window.SetCommandCondition(CommandId::MenuTriResultatsAlphabetique,
                             [] { return Options->Switch(opt::SortAlphabetical); });
  window.SetCommandCondition(CommandId::PopupMasquerLesBranches, [views] {
    return views->panel.CurrentResultType == kTypeScenario && !views->panel.BranchesHidden();
  });
  window.SetCommandCondition(CommandId::PopupToutDevelopper, [views] {
    return views->panel.CurrentResultType == kTypeScenario && views->panel.BranchesHidden();
  });
  window.SetCommandCondition(CommandId::ToolButtonMasquerDevelopper,
                             [views] { return views->panel.CurrentResultType == kTypeScenario; });
  window.SetCommandHandler(CommandId::PopupMasquerLesBranches, [hideBranches] { hideBranches(true); });
  window.SetCommandHandler(CommandId::PopupToutDevelopper, [hideBranches] { hideBranches(false); });
  window.SetCommandHandler(CommandId::ToolButtonMasquerDevelopper,
                           [views, hideBranches] { hideBranches(!views->panel.BranchesHidden()); });

  if (editor) InstallScenarioResultCommands(window, views, editor);

  InstallResultsPopups(window, views, editor);
  updateToolbar();
}

std::function<std::vector<std::string>()> InstallResultViews(TVekEditForm& window, ScenarioEditorPort* editor,
                                                             std::function<void(const std::string&)> searchWord) {
  const auto search = [searchWord](const std::string& text) {
    if (searchWord) searchWord(text);
  };
  // The results list reads the analysis the session ran and selects in the
  // views' state.
  auto views = std::make_shared<ResultViews>(TResultsModel{AnalysisResults, TextWords, FileQueue, ViewState});
  SetViewMainWindow(&window);
  // The views outlive no window: a window that goes takes its port with it.
  MainWindowPort* port = &window;
  QObject::connect(&window, &QObject::destroyed, [port] {
    if (ViewMainWindow() == port) SetViewMainWindow(nullptr);
  });
  ColorationSyntaxique();
  views->panel.SetScenarioEditor(editor);
  views->panel.SetAnalysis(&window.Session().Analysis());
  views->results = new ResultsPanelWidget(views->panel);
  views->text = new TextViewWidget;
  Fill(window.ResultsContainer(), window.ResultsToolBar());
  Fill(window.ResultsContainer(), views->results);
  Fill(window.TextContainer(), views->text);

  // The copy window on a word: the text around it, or with selection (and
  // extract mode on) the propositions of the selection.
  auto copyAt = [views, &window, editor, search](int32_t position, bool selection) {
    if (!views->copy) {
      views->copy = new CopyWindow(&window);
      views->copy->SetScenarioEditor(editor);
      views->copy->SetSearchWord(search);
      PlaceOverTheText(window, *views->copy);
    }
    views->copy->SetChosenWordPosition(position);
    views->copy->show();
    views->copy->raise();
    views->copy->ChargerTexteSelectionne(selection);
  };
  auto copyAround = [copyAt](int32_t position) { copyAt(position, false); };
  auto showContext = [views, &window, copyAround, search](int32_t position) {
    if (position < 1 || !window.TextLoaded()) return;
    if (!views->context) {
      views->context = new ContextWindow(&window);
      PlaceOverTheText(window, *views->context);
      views->context->CopyAround = copyAround;
      // The document of the word becomes the text analysed, alone.
      views->context->OpenWithProgram = [&window](const std::string& name) { window.OpenDocument(name); };
      views->context->SetSearchWordAt([search](int32_t position) { search(WordTextAt(position)); });
    }
    views->context->show();
    views->context->raise();
    views->context->AfficherLeContexte(position);
  };

  window.AddRefreshCallback([views] {
    views->panel.RefreshAfterAnalysis();
    views->results->Sync();
    views->text->ForcerAffichage();
  });
  window.AddReleaseCallback([views] {
    ClearSelection();
    views->text->Page().HighlightedPosition = 0;
    views->panel.Clear();
    views->results->Sync();
    if (views->context) views->context->close();
    if (views->copy) views->copy->close();
    ViewState.GraphShown = false;
    views->text->ForcerAffichage();
  });
  window.AddRedrawCallback([views] { views->text->ForcerAffichage(); });
  window.SetResultTypeHandler([views](int index) {
    views->panel.SelectResultType(index);
    views->results->Sync();
  });
  window.SetLastResultTypeHandler([views] {
    views->panel.SwitchAffichageSurDerniereFonctionUtilise();
    views->results->Sync();
  });
  window.SetSelectedResultTypeProvider([views] { return views->panel.CurrentResultType; });
  // A word found by a search: the whole text from its proposition, the word marked.
  window.SetWordPositionHandler([views](int32_t position) {
    if (ViewState.ExtractMode) ClearSelection();
    ViewState.TextViewWordLimit = kNoWordLimit;
    MettreAffichageSurPosition(position);
    views->text->Page().HighlightedPosition = position;
    views->text->ForcerAffichage();
  });
  window.SetResultLineByTagHandler([views](uint32_t tag) {
    const std::vector<uint32_t>& tags = views->panel.LineTags();
    const auto it = std::find(tags.begin(), tags.end(), tag);
    if (it == tags.end()) return;
    QListView* list = views->results->ResultsList();
    const QModelIndex index = list->model()->index(static_cast<int>(it - tags.begin()), 0);
    list->setCurrentIndex(index);
    list->scrollTo(index);
  });
  window.SetResultLineClickHandler([views](int line) {
    if (line < 0 || line >= static_cast<int>(views->panel.Items().size())) return;
    QListView* list = views->results->ResultsList();
    list->setCurrentIndex(list->model()->index(line, 0));
    views->panel.ClickLine(line);
  });
  QObject::connect(views->text, &TextViewWidget::wordActivated, views->text,
                   [showContext](int32_t position, int32_t) { showContext(position); });
  QObject::connect(views->text, &TextViewWidget::statusText, views->text,
                   [&window](const QString& text) { window.ShowStatus(1, text.toStdString()); });
  window.SetCommandHandler(CommandId::MenuContexte, [views, showContext] {
    showContext(ViewState.HitWordPosition > 0 ? ViewState.HitWordPosition : ViewState.CurrentWordPosition);
  });
  // The results list's lines, as text, to the clipboard.
  window.SetCommandHandler(CommandId::CopyResultatsDsClipBrd, [views, &window] {
    ShowHourglass();
    std::string text;
    for (const std::string& line : views->panel.Items()) text += Cp1252ToUtf8(line) + "\r\n";
    CurrentDesktop().SetClipboardText(text);
    RestoreCursor();
    window.AfficheMessage(GetMessageText(kMsgResultsCopied));
  });
  // The whole text again, without selection.
  window.SetCommandHandler(CommandId::MenuToutLeTexte, [&window] {
    ClearSelection();
    window.RazAffichageEtGraphe();
  });
  // The sorts: the captions say what each does ("Sort alphabetically" is MenuTriFrequence).
  const auto sort = [views](bool alphabetical) {
    Options->Set(opt::SortAlphabetical, static_cast<uint8_t>(alphabetical ? 1 : 0));
    views->panel.ShowResultType();
    views->results->Sync();
  };
  window.SetCommandHandler(CommandId::MenuTriFrequence, [sort] { sort(true); });
  window.SetCommandHandler(CommandId::MenuTriResultatsAlphabetique, [sort] { sort(false); });
  InstallResultsCommands(window, views, editor, sort);
  // The text from the page's first word (or the current text part), or in
  // extract mode the selected propositions.
  window.SetCommandHandler(CommandId::CopyTexteDsClipBrd, [views, copyAt] {
    const int32_t first = views->text->Page().FirstWordPosition();
    copyAt(first > 0 ? first : ViewState.CurrentWordPosition, true);
  });
  return [views] { return views->panel.Items(); };
}

}  // namespace quilor::ui
