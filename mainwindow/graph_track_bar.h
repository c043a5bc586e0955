// The track bar under the graph (TrackBar1): what it sets for each graph
// kind and what a move of it does. Areas and actors: the maximum number of
// objects (4..100); distribution: the width of its bars (14..36); the star
// and bursts graphs have none. Plain logic; the graph panel applies it to
// its slider.
#pragma once

#include <string>

namespace quilor::ui {

struct TGraphTrackBar {
  int minimum = 0;
  int maximum = 2;
  int lineStep = 1;
  int pageStep = 1;
  int position = 0;
  bool enabled = false;
  bool visible = false;
};

// ConfigureGraphTrackBar: the slider of a graph kind, its position from the options.
TGraphTrackBar ConfigureGraphTrackBar(int graphKind);

// TrackBar1Change: the slider moved to position on a graph picture imageWidth
// pixels wide. Stores the setting of the kind and returns the status text
// ("Maximum number of objects: " and the number; Windows-1252); "" for a kind
// without a slider (nothing changes then).
std::string GraphTrackBarChange(int graphKind, int position, int imageWidth);

// The objects a distribution graph imageWidth pixels wide shows with bars of the given width.
int DistributionObjects(int imageWidth, int barWidth);

}  // namespace quilor::ui
