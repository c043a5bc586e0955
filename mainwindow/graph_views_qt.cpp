#include "mainwindow/graph_views_qt.h"

#include <QAction>
#include <QMenu>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/files.h"
#include "core/options.h"
#include "engine/selection.h"
#include "ui/desktop.h"
#include "mainwindow/explain_pages.h"
#include "mainwindow/graph_panel_widget.h"
#include "mainwindow/graph_source.h"
#include "mainwindow/graph_state.h"
#include "mainwindow/graph_track_bar.h"
#include "mainwindow/main_window.h"
#include "mainwindow/results_panel.h"
#include "ui/result_type_codes.h"
#include "ui/texts_qt.h"
#include "ui/view_state.h"
#include "platform/text_encoding.h"

namespace quilor::ui {

namespace {

constexpr int kMsgGraph = 512;

// The caption id of each graph kind 1..5.
constexpr int kKindNames[6] = {0, 537, 514, 538, 564, 1245};

// The result types whose lines select a class, a relation or a word.
bool SelectsForAGraph(int resultType) {
  switch (ResultTypeCodeOf(resultType)) {
    case kResultReferences:
    case kResultReferenceFields1:
    case kResultReferenceFields2:
    case kResultRelations:
    case kResultScenario:
    case kResultVerbs:
    case kResultAdjectives:
    case kResultSubstantives:
    case kResultEpisode: return true;
    default: return false;
  }
}

// The graph part of ForcerAffichage: outside an extract only the bursts
// graph stays; the panel shows when a graph is shown, and the Graph tab
// names the graph drawn.
void DrawGraph(TVekEditForm& window, GraphPanel* panel, QSlider* bar, int32_t mode) {
  if (window.TextLoaded() && !ViewState.ExtractMode && Options->Get(opt::GraphKind) != kGraphBursts)
    ViewState.GraphShown = false;
  const bool shown = ViewState.GraphShown && window.TextLoaded();
  window.ShowGraphPanel(shown);
  panel->Refresh(mode);
  // ConfigureGraphTrackBar: the slider of the kind chosen.
  const TGraphTrackBar settings = ConfigureGraphTrackBar(Options->Get(opt::GraphKind));
  const QSignalBlocker block(bar);
  bar->setRange(settings.minimum, settings.maximum);
  bar->setSingleStep(settings.lineStep);
  bar->setPageStep(settings.pageStep);
  bar->setValue(settings.position);
  bar->setEnabled(settings.enabled && shown);
  bar->setVisible(settings.visible);
}

}  // namespace

void InstallGraphViews(TVekEditForm& window) {
  // The source lives as long as the panel: both belong to the Graph tab.
  auto* source = new EngineGraphSource;
  auto* panel = new GraphPanel(*source, window, window.GraphContainer());
  QObject::connect(panel, &QObject::destroyed, [source] { delete source; });
  auto* layout = new QVBoxLayout(window.GraphContainer());
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(panel);
  QSlider* bar = window.GraphTrackBar();
  auto draw = [&window, panel, bar](int32_t mode) { DrawGraph(window, panel, bar, mode); };
  // The Graph tab names the graph drawn (every drawing, a resize's too).
  QObject::connect(panel, &GraphPanel::drawn, &window, [&window](int kind) {
    QTabWidget* tabs = window.PageControl3();
    const int tab = tabs->indexOf(window.GraphContainer());
    tabs->setTabText(tab, kind >= 1 && kind <= 5 ? FromCp1252(GraphLabel(kKindNames[kind])) : MessageText(kMsgGraph));
  });

  window.AddRefreshCallback([panel, draw] {
    // A burst chosen in the text before is none of this one's.
    ViewState.graph.Reset();
    ViewState.GraphShown = Options->Switch(opt::ShowGraph);
    panel->Graph().FreeSliceCounts();
    draw(kModeRedraw);
  });
  window.AddRedrawCallback([panel, draw] {
    panel->Graph().FreeSliceCounts();
    draw(kModeRedraw);
  });
  // The graph of the released text goes with it, its title too.
  window.AddReleaseCallback([draw] {
    ViewState.graph.Reset();
    ViewState.GraphShown = false;
    ViewState.selection.firstTerm.clear();
    draw(kModeRedraw);
  });
  // ShowGraph: asked for a graph outside an extract, the window makes a
  // selection first (the References list's first line when the list shown
  // selects nothing).
  QObject::connect(panel, &GraphPanel::graphRequested, &window, [&window] {
    if (!ViewState.ExtractMode && Options->Get(opt::GraphKind) != kGraphBursts) {
      if (!SelectsForAGraph(window.SelectedResultType())) window.ShowResultType(ClassListIndexOfLevel(1));
      window.ClickResultLine(0);
    }
    window.RazAffichageEtGraphe();
  });
  // The track bar follows the setting, also where a click on the graph
  // changed it (Shift fewer objects, Ctrl+Shift more).
  QObject::connect(panel, &GraphPanel::drawn, bar, [bar](int) {
    const TGraphTrackBar settings = ConfigureGraphTrackBar(Options->Get(opt::GraphKind));
    if (!settings.visible) return;
    const QSignalBlocker block(bar);
    bar->setValue(settings.position);
  });
  // TrackBar1Change: the setting of the kind, the status, the graph again.
  QObject::connect(bar, &QSlider::valueChanged, &window, [&window, panel](int position) {
    if (!ViewState.GraphShown) return;
    const std::string status = GraphTrackBarChange(Options->Get(opt::GraphKind), position, panel->Picture()->width());
    if (status.empty()) return;
    window.AfficheMessage(status);
    window.RazAffichageEtGraphe();
  });
  // The wheel over the graph moves the track bar.
  QObject::connect(panel, &GraphPanel::wheeled, bar, [bar](int delta) {
    if (!ViewState.GraphShown || !bar->isVisible() || !bar->isEnabled()) return;
    bar->triggerAction(delta > 0 ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub);
  });
  const std::pair<CommandId, int> buttons[] = {{CommandId::ToolButtonGrapheAire, kGraphAreas},
                                               {CommandId::ToolButtonGrapheEtoile, kGraphStar},
                                               {CommandId::ToolButtonGrapheRepartition, kGraphDistribution},
                                               {CommandId::ToolButtonGrapheRafales, kGraphBursts},
                                               {CommandId::ToolButtonGrapheActeurs, kGraphActors}};
  for (const auto& [id, kind] : buttons)
    window.SetCommandHandler(id, [panel, graph = kind] { panel->ShowKind(graph); });
  // The graph's picture to the clipboard.
  const auto copy = [panel] {
    if (!ViewState.GraphShown || panel->Image().isNull()) return;
    ShowHourglass();
    CurrentDesktop().SetClipboardImage(panel->Image());
    RestoreCursor();
  };
  window.SetCommandHandler(CommandId::CopyGraphDsClipBrd, copy);
  window.SetCommandHandler(CommandId::PopupImageGrapheCopier, copy);
  // Copying needs a graph drawn.
  for (CommandId id : {CommandId::CopyGraphDsClipBrd, CommandId::PopupImageGrapheCopier})
    window.SetCommandCondition(id, [panel] { return ViewState.GraphShown && !panel->Image().isNull(); });
  // Hide the graph: the show-graph option off, the panel hidden.
  window.SetCommandHandler(CommandId::PopupImageGrapheCacher, [&window] {
    ViewState.GraphShown = false;
    Options->Set(opt::ShowGraph, uint8_t{0});
    window.RazAffichageEtGraphe();
  });
  window.SetCommandCondition(CommandId::PopupImageGrapheCacher, [] { return ViewState.GraphShown; });
  QMenu* popup = panel->Popup();
  popup->addSeparator();
  for (CommandId id : {CommandId::PopupImageGrapheCopier, CommandId::PopupImageGrapheCacher, CommandId::MenuGraphe,
                       CommandId::MenuCouleurs})
    popup->addAction(window.Command(id));
  // Show the graph: the option that hides it off, the graph of the kind chosen.
  window.SetCommandHandler(CommandId::MenuAfficherGraphe, [panel] {
    Options->Set(opt::ShowGraph, uint8_t{1});
    panel->ShowKind(Options->Get(opt::GraphKind));
  });
  window.SetCommandCondition(CommandId::MenuAfficherGraphe,
                             [&window] { return window.TextLoaded() && !ViewState.GraphShown; });
}

}  // namespace quilor::ui
