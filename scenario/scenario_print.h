// Printing the Scenario tree: the pages are computed once (one line per
// node, indented by depth, with the connector lines of the levels above it)
// and each page is drawn through the Canvas, so the printer, a PDF and the
// tests see the same pages.
#pragma once

#include <string>
#include <vector>

#include "ui/canvas.h"
#include "scenario/scenario_tree.h"

namespace quilor::ui {

struct ScenarioPrintLine {
  std::string text;
  int depth = 0;
  // continues[k]: the branch at level k goes on below this line (a later
  // sibling of this node's ancestor of depth k + 1, or of the node itself).
  std::vector<bool> continues;
};

struct ScenarioPrintLayout {
  int pageWidth = 0;
  int pageHeight = 0;
  int lineHeight = 1;
  int indent = 1;
  int linesPerPage = 1;
  std::vector<ScenarioPrintLine> lines;
  int PageCount() const;
};

// The lines of the tree in tree order: a hidden group is preceded by "###",
// an item in error by "Error".
std::vector<ScenarioPrintLine> ScenarioPrintLines(const ScenarioTree& tree);
// The line height is 1.4 times the font height; the title band takes the
// first three line heights and the page-number band the last three.
ScenarioPrintLayout LayoutScenarioPrint(std::vector<ScenarioPrintLine> lines, int pageWidth, int pageHeight,
                                        int fontHeight, int indent);
// Draws page (1-based): the title centred in the first line band with a rule
// two line heights down, the lines, and the page number centred two line
// heights above the bottom with a rule above it.
void DrawScenarioPage(Canvas& canvas, const ScenarioPrintLayout& layout, int page, const std::string& title,
                      const Font& font);

}  // namespace quilor::ui
