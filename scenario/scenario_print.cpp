#include "scenario/scenario_print.h"

#include <algorithm>

#include "core/messages.h"
#include "scenario/texts.h"
#include "scenario/scenario_editor.h"

namespace quilor::ui {

int ScenarioPrintLayout::PageCount() const {
  if (lines.empty()) return 1;
  return static_cast<int>((lines.size() + static_cast<size_t>(linesPerPage) - 1) / static_cast<size_t>(linesPerPage));
}

std::vector<ScenarioPrintLine> ScenarioPrintLines(const ScenarioTree& tree) {
  std::vector<ScenarioPrintLine> out;
  for (int id : tree.InTreeOrder()) {
    const ScenarioNode* n = tree.Node(id);
    ScenarioPrintLine line;
    line.depth = tree.Depth(id);
    line.text = tree.Label(id);
    if (n->group && !n->visible) line.text = "###" + line.text;
    if (!n->group && n->error) line.text = Msg(kMsgErrorWord) + " " + line.text;
    line.continues.assign(static_cast<size_t>(line.depth), false);
    // Walk up: at each level, does the node on the path have a later sibling?
    int node = id;
    for (int k = line.depth - 1; k >= 0; --k) {
      const ScenarioNode* current = tree.Node(node);
      const std::vector<int>& siblings = tree.ChildrenOf(current->parent);
      line.continues[static_cast<size_t>(k)] = !siblings.empty() && siblings.back() != node;
      node = current->parent;
    }
    out.push_back(std::move(line));
  }
  return out;
}

ScenarioPrintLayout LayoutScenarioPrint(std::vector<ScenarioPrintLine> lines, int pageWidth, int pageHeight,
                                        int fontHeight, int indent) {
  ScenarioPrintLayout layout;
  layout.pageWidth = pageWidth;
  layout.pageHeight = pageHeight;
  layout.lineHeight = std::max(1, fontHeight * 14 / 10);
  layout.indent = std::max(1, indent);
  layout.linesPerPage = std::max(1, pageHeight / layout.lineHeight - 6);
  layout.lines = std::move(lines);
  return layout;
}

void DrawScenarioPage(Canvas& canvas, const ScenarioPrintLayout& layout, int page, const std::string& title,
                      const Font& font) {
  const int lh = layout.lineHeight;
  const int w = layout.pageWidth;
  canvas.SetFont(font);
  canvas.SetPen(kBlack);
  canvas.SetTextBackground(false);
  canvas.TextOut((w - canvas.TextWidth(title)) / 2, 0, title);
  canvas.Line({0, 2 * lh}, {w, 2 * lh});
  const std::string number = std::to_string(page);
  const int footer = layout.pageHeight - 2 * lh;
  canvas.Line({0, footer - lh / 2}, {w, footer - lh / 2});
  canvas.TextOut((w - canvas.TextWidth(number)) / 2, footer, number);

  const size_t first = static_cast<size_t>(page - 1) * static_cast<size_t>(layout.linesPerPage);
  const size_t last = std::min(layout.lines.size(), first + static_cast<size_t>(layout.linesPerPage));
  const int step = layout.indent;
  for (size_t i = first; i < last; ++i) {
    const ScenarioPrintLine& line = layout.lines[i];
    const int top = 3 * lh + static_cast<int>(i - first) * lh;
    const int middle = top + lh / 2;
    for (int k = 0; k < line.depth; ++k) {
      const int x = k * step + step / 2;
      const bool own = k == line.depth - 1;
      if (own) {
        canvas.Line({x, top}, {x, line.continues[static_cast<size_t>(k)] ? top + lh : middle});
        canvas.Line({x, middle}, {x + step / 2, middle});
      } else if (line.continues[static_cast<size_t>(k)]) {
        canvas.Line({x, top}, {x, top + lh});
      }
    }
    canvas.TextOut(line.depth * step + 2, top + (lh - canvas.TextHeight(line.text)) / 2, line.text);
  }
}

}  // namespace quilor::ui
