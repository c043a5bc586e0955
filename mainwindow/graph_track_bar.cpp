#include "mainwindow/graph_track_bar.h"

#include <algorithm>

#include "core/messages.h"
#include "core/options.h"
#include "mainwindow/graph.h"

namespace quilor::ui {

namespace {
constexpr int kMsgMaximumObjects = 1147;
}  // namespace

TGraphTrackBar ConfigureGraphTrackBar(int graphKind) {
  TGraphTrackBar bar;
  if (graphKind == kGraphAreas || graphKind == kGraphActors) {
    bar = {4, 100, 2, 4, std::clamp<int>(Options->Get(opt::GraphMaxObjects), 4, 100), true, true};
  } else if (graphKind == kGraphDistribution) {
    bar = {14, 36, 1, 2, std::clamp<int>(Options->Get(opt::DistributionGraphSetting), 14, 36), true, true};
  }
  return bar;
}

int DistributionObjects(int imageWidth, int barWidth) {
  if (barWidth <= 0) return 0;
  return imageWidth / barWidth / 2 - 1;
}

std::string GraphTrackBarChange(int graphKind, int position, int imageWidth) {
  int objects = 0;
  if (graphKind == kGraphDistribution) {
    Options->Set(opt::DistributionGraphSetting, static_cast<uint16_t>(std::max(position, 0)));
    objects = DistributionObjects(imageWidth, position);
  } else if (graphKind == kGraphAreas || graphKind == kGraphActors) {
    Options->Set(opt::GraphMaxObjects, static_cast<uint16_t>(std::max(position, 0)));
    objects = position;
  } else {
    return {};
  }
  return GetMessageText(kMsgMaximumObjects) + std::to_string(objects);
}

}  // namespace quilor::ui
