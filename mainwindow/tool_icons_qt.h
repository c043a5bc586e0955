// The tool bar's icons: the desktop theme's icon when it has one, else a
// small picture of our own drawn here.
#pragma once

#include <QIcon>
#include <QString>

namespace quilor::ui {

enum class ToolPicture {
  kOpen,
  kPrint,
  kCopy,
  kStar,
  kAreas,
  kActors,
  kDistribution,
  kBursts,
  kWholeText,
  kSearch,
  kScenario,
  kTerminology,
  kHelp,
  // The results toolbar.
  kPrevious,
  kNext,
  kSort,
  kTree,
  kSearchScenario,
  kAddScenario,
  kInsertScenario
};

// The theme's icon named themeName, or our picture (always ours for an
// empty name).
QIcon ToolIcon(const QString& themeName, ToolPicture picture);
// Our own picture (24 x 24 and 48 x 48).
QIcon DrawnIcon(ToolPicture picture);

}  // namespace quilor::ui
