#include "mainwindow/graph_views_qt.h"

#include <QAction>
#include <QMenu>
#include <QVBoxLayout>

#include "core/files.h"
#include "engine/options.h"
#include "mainwindow/desktop.h"
#include "mainwindow/graph_panel_widget.h"
#include "mainwindow/graph_source.h"
#include "mainwindow/main_window.h"
#include "mainwindow/result_type_codes.h"
#include "mainwindow/view_state.h"

namespace quilor::ui {

void InstallGraphViews(TVekEditForm& window) {
  // The source lives as long as the panel: both belong to the Graph tab.
  auto* source = new EngineGraphSource;
  auto* panel = new GraphPanel(*source, window, window.GraphContainer());
  QObject::connect(panel, &QObject::destroyed, [source] { delete source; });
  auto* layout = new QVBoxLayout(window.GraphContainer());
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(panel);

  window.AddRefreshCallback([panel] {
    ViewState.GraphShown = Options->Switch(opt::ShowGraph);
    panel->Graph().FreeSliceCounts();
    panel->Refresh(kModeRedraw);
  });
  window.AddRedrawCallback([panel] {
    panel->Graph().FreeSliceCounts();
    panel->Refresh(kModeRedraw);
  });
  window.AddReleaseCallback([panel] { panel->Refresh(kModeRedraw); });
  // Asked for a graph before any selection: the References list's first line.
  QObject::connect(panel, &GraphPanel::graphRequested, &window, [&window] {
    if (!ViewState.SelectionActive) window.ShowResultType(ClassListIndexOfLevel(1));
    window.RazAffichageEtGraphe();
  });
  const std::pair<const char*, int> buttons[] = {{"ToolButtonGrapheAire", kGraphAreas},
                                                 {"ToolButtonGrapheEtoile", kGraphStar},
                                                 {"ToolButtonGrapheRepartition", kGraphDistribution},
                                                 {"ToolButtonGrapheRafales", kGraphBursts},
                                                 {"ToolButtonGrapheActeurs", kGraphActors}};
  for (const auto& [name, kind] : buttons) window.SetCommandHandler(name, [panel, kind] { panel->ShowKind(kind); });
  // The graph's picture to the clipboard.
  window.SetCommandHandler("CopyGraphDsClipBrd", [panel] {
    if (!ViewState.GraphShown || panel->Image().isNull()) return;
    ShowHourglass();
    CurrentDesktop().SetClipboardImage(panel->Image());
    RestoreCursor();
  });
  // Hide the graph: the show-graph option off, the panel emptied.
  window.SetCommandHandler("PopupImageGrapheCacher", [panel] {
    ViewState.GraphShown = false;
    Options->Set(opt::ShowGraph, uint8_t{0});
    panel->Refresh(kModeRedraw);
  });
  QMenu* popup = panel->Popup();
  popup->addSeparator();
  for (const char* name : {"CopyGraphDsClipBrd", "PopupImageGrapheCacher", "MenuGraphe", "MenuCouleurs"})
    if (QAction* a = window.Command(name)) popup->addAction(a);
  // Show the graph (the option that hides it is turned off).
  window.SetCommandHandler("MenuAfficherGraphe", [panel] {
    Options->Set(opt::ShowGraph, uint8_t{1});
    ViewState.GraphShown = true;
    panel->Refresh(kModeRedraw);
  });
}

}  // namespace quilor::ui
