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

// The sizes and fonts of the results side, by the large-fonts option: the
// height of the help panel under the results, the least width of the results
// panel (0: none), a line's height in the result types and the results list,
// and the points of the results panel, the status bar and the tabs over the
// results. Either way the results list scrolls sideways over 350 pixels.
struct ListFonts {
  int infoPanelHeight = 64;
  int resultsPanelMinimumWidth = 0;
  int itemHeight = 14;
  int fontSize = 8;
  int horizontalExtent = 350;
};
ListFonts ListFontsFor(bool largeFonts);
// A line's height for a font whose lines are fontLineHeight pixels high: the
// option's, or the font's where that is taller (a screen of more dots per
// inch), so that no line is cut.
int ListItemHeight(const ListFonts& fonts, int fontLineHeight);

// The open dialog's filter: "caption|*.a;*.b|caption|*.c|...|All|*.*"
// (texts of the string table, Windows-1252).
std::string BuildOpenDialogFilter();
// The filter index of the options record (1..12; below 1 gives 12).
int OpenDialogFilterIndex();

}  // namespace quilor::ui
