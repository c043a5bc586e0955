// Where the main window places itself and how wide its panels start, from the
// monitor's available area. Plain numbers, so that the rule is tested without
// a screen.
#pragma once

#include <string>

namespace quilor::ui {

struct MonitorArea {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct MainWindowPlacement {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int graphPanelHeight = 0;   // the graph panel under the text
  int resultsPanelWidth = 0;  // the results panel on the left
};

constexpr int kDesignedResultsPanelWidth = 200;

// 10 pixels from the left and 40 from the top of the monitor; 370 pixels
// narrower than a monitor wider than 800 (else 240 narrower); 80 pixels
// shorter. The results panel follows the monitor's width: 256 up to 800,
// 288 up to 1,200, 340 above (the designed width at 600 or less).
MainWindowPlacement PlaceMainWindow(const MonitorArea& monitor);

// A window's frame (its size with the window manager's border) wanted at
// left, top: moved, and shrunk where it is larger, so that it stands whole
// in the monitor's available area.
MonitorArea KeepWholeOnMonitor(const MonitorArea& frame, const MonitorArea& monitor);

// The open dialog's filter: "caption|*.a;*.b|caption|*.c|...|All|*.*"
// (texts of the string table, Windows-1252).
std::string BuildOpenDialogFilter();
// The filter index of the options record (1..12; below 1 gives 12).
int OpenDialogFilterIndex();

}  // namespace quilor::ui
