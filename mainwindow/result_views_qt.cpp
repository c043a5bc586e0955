#include "mainwindow/result_views_qt.h"

#include <QAction>
#include <QListView>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

#include "core/files.h"
#include "core/messages.h"
#include "engine/options.h"
#include "engine/word_list.h"
#include "mainwindow/desktop.h"
#include "mainwindow/context_window.h"
#include "mainwindow/copy_window.h"
#include "mainwindow/main_window.h"
#include "mainwindow/results_panel_widget.h"
#include "mainwindow/selection_ops.h"
#include "mainwindow/text_view_widget.h"
#include "mainwindow/view_state.h"
#include "platform/text_encoding.h"
#include "scenario/word_search_window.h"

namespace quilor::ui {

namespace {
constexpr int kMsgResultsCopied = 1067;
}  // namespace

namespace {

// What the views keep for the life of the window.
struct ResultViews {
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

}  // namespace

void InstallResultViews(TVekEditForm& window, ScenarioEditorPort* editor) {
  auto views = std::make_shared<ResultViews>();
  SetViewMainWindow(&window);
  // The views outlive no window: a window that goes takes its port with it.
  MainWindowPort* port = &window;
  QObject::connect(&window, &QObject::destroyed, [port] {
    if (ViewMainWindow() == port) SetViewMainWindow(nullptr);
  });
  ColorationSyntaxique();
  views->panel.SetScenarioEditor(editor);
  views->results = new ResultsPanelWidget(views->panel);
  views->text = new TextViewWidget;
  Fill(window.ResultsContainer(), views->results);
  Fill(window.TextContainer(), views->text);

  auto copyAround = [views, &window, editor](int32_t position) {
    if (!views->copy) {
      views->copy = new CopyWindow(&window);
      views->copy->SetScenarioEditor(editor);
      views->copy->SetSearchWord([&window](const std::string& text) { SearchInWordSearch(window, text); });
    }
    views->copy->SetChosenWordPosition(position);
    views->copy->show();
    views->copy->raise();
    views->copy->ChargerTexteSelectionne(false);
  };
  auto showContext = [views, &window, copyAround](int32_t position) {
    if (position < 1 || !window.TextLoaded()) return;
    if (!views->context) {
      views->context = new ContextWindow(&window);
      views->context->CopyAround = copyAround;
      views->context->SetSearchWordAt(
          [&window](int32_t position) { SearchInWordSearch(window, WordTextAt(position)); });
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
  QObject::connect(views->text, &TextViewWidget::wordActivated, views->text, [showContext](int32_t position, int32_t) {
    showContext(position);
  });
  QObject::connect(views->text, &TextViewWidget::statusText, views->text,
                   [&window](const QString& text) { window.ShowStatus(1, text.toStdString()); });
  window.SetCommandHandler("MenuContexte", [views, showContext] {
    showContext(ViewState.HitWordPosition > 0 ? ViewState.HitWordPosition : ViewState.CurrentWordPosition);
  });
  // The results list's lines, as text, to the clipboard.
  window.SetCommandHandler("CopyResultatsDsClipBrd", [views, &window] {
    ShowHourglass();
    std::string text;
    for (const std::string& line : views->panel.Items()) text += Cp1252ToUtf8(line) + "\r\n";
    CurrentDesktop().SetClipboardText(text);
    RestoreCursor();
    window.AfficheMessage(GetMessageText(kMsgResultsCopied));
  });
  // The whole text again, without selection.
  window.SetCommandHandler("MenuToutLeTexte", [&window] {
    ClearSelection();
    window.RazAffichageEtGraphe();
  });
  // The sorts: the captions say what each does ("Sort alphabetically" is MenuTriFrequence).
  const auto sort = [views](bool alphabetical) {
    Options->Set(opt::SortAlphabetical, static_cast<uint8_t>(alphabetical ? 1 : 0));
    views->panel.ShowResultType();
    views->results->Sync();
  };
  window.SetCommandHandler("MenuTriFrequence", [sort] { sort(true); });
  window.SetCommandHandler("MenuTriResultatsAlphabetique", [sort] { sort(false); });
  window.SetCommandHandler("CopyTexteDsClipBrd", [copyAround] {
    copyAround(ViewState.HitWordPosition > 0 ? ViewState.HitWordPosition : ViewState.CurrentWordPosition);
  });
}

}  // namespace quilor::ui
