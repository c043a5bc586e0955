// What the mouse does on the graph: the hint and status line on hover, the
// highlighted class, and clicks that select a class or a relation, choose a
// slice of the text or a burst, or change the number of objects.
#pragma once

#include <cstdint>
#include <functional>

#include "mainwindow/graph.h"
#include "ui/main_window_port.h"

namespace quilor::ui {

struct MouseState {
  bool left = false;
  bool right = false;
  bool shift = false;
  bool ctrl = false;
};

class GraphMouse {
 public:
  // redrawGraph draws the graph again with a Draw mode (a class to
  // highlight, or kModeRedraw / kModeToggleLinks) without the text page.
  GraphMouse(TGrapheQuilor& graph, GraphSource& source, MainWindowPort& port, std::function<void(int32_t)> redrawGraph);

  void MouseMove(int x, int y, const MouseState& state);
  // The button released is state.right or state.left.
  void MouseUp(int x, int y, const MouseState& state);
  int32_t LastHovered() const { return lastHovered_; }

 private:
  void ApplyChosenBurst();

  TGrapheQuilor& graph_;
  GraphSource& source_;
  MainWindowPort& port_;
  std::function<void(int32_t)> redrawGraph_;
  int32_t lastHovered_ = -1;
};

}  // namespace quilor::ui
