// The graph panel: the five graph-kind tool buttons over the graph picture.
// The picture is drawn once per change into an image (TGrapheQuilor through
// a PainterCanvas) and only copied when painted; the mouse goes to
// GraphMouse. The popup menu of the picture chooses the graph kind too.
#pragma once

#include <QImage>
#include <QWidget>

#include <array>
#include <memory>

#include "mainwindow/graph.h"
#include "mainwindow/graph_mouse.h"
#include "mainwindow/graph_source.h"
#include "ui/main_window_port.h"

class QMenu;
class QToolButton;

namespace quilor::ui {

class GraphPicture;

class GraphPanel : public QWidget {
  Q_OBJECT
 public:
  GraphPanel(GraphSource& source, MainWindowPort& port, QWidget* parent = nullptr);
  ~GraphPanel() override;

  // Draws the graph again (ForcerAffichage's part for the graph): with the
  // graph shown, the picture is drawn with the mode and the selection's
  // name as title; otherwise it is emptied.
  void Refresh(int32_t mode = kModeRedraw);
  TGrapheQuilor& Graph() { return graph_; }
  // As the graph-kind tool buttons: the kind, then the graph shown.
  void ShowKind(int kind) { ChooseKind(kind, true); }
  QWidget* Picture() const;
  // The picture last drawn (null when no graph is shown).
  const QImage& Image() const { return image_; }
  QToolButton* KindButton(int kind) const { return buttons_[static_cast<size_t>(kind - 1)]; }
  QMenu* Popup() const { return popup_; }

 signals:
  // A tool button asked for the graph while none was shown: the main window
  // chooses a result to show (ShowGraph).
  void graphRequested();
  // The wheel turned over the picture (the window moves the track bar).
  void wheeled(int delta);
  // A drawing ended: the graph drawn (0: none).
  void drawn(int kind);

 private:
  friend class GraphPicture;
  void ChooseKind(int kind, bool fromToolButton);
  // Checks the button of kind (1..5), else of the kind the options ask for.
  void UpdateButtons(int kind = 0);

  GraphSource& source_;
  MainWindowPort& port_;
  TGrapheQuilor graph_;
  GraphMouse mouse_;
  GraphPicture* picture_ = nullptr;
  QMenu* popup_ = nullptr;
  std::array<QToolButton*, 5> buttons_{};
  QImage image_;
};

}  // namespace quilor::ui
