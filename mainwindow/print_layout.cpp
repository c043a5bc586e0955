#include "mainwindow/print_layout.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/chartables.h"

namespace quilor::ui {

namespace {
// Header lines above the rows, the lines a full page keeps free below them.
constexpr int kLinesBelowRows = 3;
constexpr int kTextGap = 8;
}  // namespace

TPageMetrics ComputePageMetrics(int fontPoints, int dpiY, int pageWidth, int pageHeight, const Rect& clip) {
  TPageMetrics m;
  m.pageWidth = pageWidth;
  m.pageHeight = pageHeight;
  int64_t height = std::llabs(static_cast<int64_t>(fontPoints) * dpiY / 72);
  height += height * 4 / 10;
  // A page holds at least kMinLinesPerPage rows below its header and above its footer.
  const int64_t most = pageHeight / (kFirstRowLine + kMinLinesPerPage + 1 + kLinesBelowRows);
  height = std::min(height, most);
  m.lineHeight = static_cast<int>(std::max<int64_t>(height, 1));
  m.linesPerPage = std::max(pageHeight / m.lineHeight - kLinesBelowRows, kFirstRowLine + kMinLinesPerPage + 1);
  m.header = clip;
  m.header.top = m.lineHeight;
  m.header.left += 20;
  if (pageWidth > 20) m.header.right = pageWidth - 20;
  m.header.bottom = 2 * m.lineHeight;
  m.halfWidth = std::abs((m.header.left - m.header.right) / 2);
  return m;
}

std::string LowerCase(const std::string& text) {
  std::string out = text;
  LowerCaseString(out);
  return out;
}

std::string SentenceCase(const std::string& text) {
  std::string out = LowerCase(text);
  if (!out.empty()) out[0] = static_cast<char>(ToUpperChar(static_cast<unsigned char>(out[0])));
  return out;
}

std::string PercentText(double value, int decimals) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f%%", decimals, value);
  return buffer;
}

TPrintPager::TPrintPager(PrintSurface& surface, const TPageMetrics& metrics, const Font& font, std::string title,
                         std::string footer)
    : surface_(surface), metrics_(metrics), font_(font), title_(std::move(title)), footer_(std::move(footer)) {
  metrics_.lineHeight = std::max(metrics_.lineHeight, 1);
  metrics_.linesPerPage = std::max(metrics_.linesPerPage, kFirstRowLine + kMinLinesPerPage + 1);
}

void TPrintPager::DrawFrame() {
  Canvas& c = surface_.PageCanvas();
  const TPageMetrics& m = metrics_;
  const int lh = m.lineHeight;
  Font f = font_;
  f.bold = false;
  f.colour = kBlack;
  c.SetFont(f);
  c.SetTextBackground(false);
  c.SetPen(kBlack);
  const std::string number = std::to_string(page_);
  c.TextOut(m.pageWidth - c.TextWidth(number) - 1, lh, number);
  auto centred = [&](const std::string& text, int top) {
    // The centre of the rectangle from left 20 to the page width.
    const Rect r{20, top, m.pageWidth, top + lh};
    const int x = r.left + (r.Width() - c.TextWidth(text)) / 2;
    c.TextRect(r, x, top, text);
  };
  centred(title_, lh);
  c.Line({0, 2 * lh + 2}, {m.pageWidth, 2 * lh + 2});
  centred(LowerCase(footer_), m.pageHeight - 2 * lh);
  c.Line({0, m.pageHeight - 2 * lh - 2}, {m.pageWidth, m.pageHeight - 2 * lh - 2});
  c.SetFont(font_);
}

bool TPrintPager::BreakPage() {
  DrawFrame();
  currentLine_ = kFirstRowLine;
  if (!surface_.NewPage()) {
    aborted_ = true;
    return false;
  }
  ++page_;
  return true;
}

bool TPrintPager::NextLine() {
  if (aborted_) return false;
  ++currentLine_;
  if (currentLine_ >= metrics_.linesPerPage) {
    if (!BreakPage()) return false;
    ++currentLine_;
  }
  return true;
}

bool TPrintPager::WriteRow(const TPrintRow& row, int xShift) {
  if (!NextLine()) return false;
  textX_ = -1;
  if (row.blank) return true;
  Canvas& c = surface_.PageCanvas();
  Font f = font_;
  f.bold = row.bold;
  c.SetFont(f);
  const int y = Y();
  const int lh = metrics_.lineHeight;
  // The name column holds 238 characters at most.
  c.TextOut(xShift + lh + row.indent, y, row.name.substr(0, kRowNameMax));
  if (row.depth > 0) {
    // Tree lines: one vertical per level that goes on, an elbow to the row.
    c.SetPen(kBlack);
    const int unit = row.indent / row.depth;
    for (int k = 1; k <= row.depth && k < 32; ++k) {
      const int x = xShift + lh + (k - 1) * unit + unit / 2;
      const bool goesOn = (row.treeLines >> k) & 1u;
      if (k < row.depth) {
        if (goesOn) c.Line({x, y}, {x, y + lh});
      } else {
        c.Line({x, y}, {x, goesOn ? y + lh : y + lh / 2});
        c.Line({x, y + lh / 2}, {xShift + lh + row.indent - 1, y + lh / 2});
      }
    }
  }
  const int half = metrics_.halfWidth;
  for (size_t k = 0; k < row.columns.size(); ++k) {
    const std::string& text = row.columns[k];
    if (text.empty()) continue;
    const int right = xShift + half + (static_cast<int>(k) + row.firstColumn) * (half / 4);
    c.TextOut(right - c.TextWidth(text), y, text);
  }
  c.SetFont(font_);
  return true;
}

bool TPrintPager::NewTextLine() {
  if (!NextLine()) return false;
  textX_ = metrics_.header.left;
  return true;
}

bool TPrintPager::PlaceText(const std::string& text, const Font& font) {
  if (aborted_) return false;
  if (text.empty()) return true;
  Canvas& c = surface_.PageCanvas();
  c.SetFont(font);
  const int width = std::max(c.TextWidth(text), 1);
  if (textX_ < 0 || (textX_ + width >= metrics_.header.right && textX_ > metrics_.header.left)) {
    if (!NewTextLine()) return false;
    c.SetFont(font);
  }
  const int y = Y();
  c.TextRect({textX_, y, textX_ + width, y + metrics_.lineHeight}, textX_, y, text);
  textX_ += width;
  if (text[0] != ' ') textX_ += kTextGap;
  return true;
}

void TPrintPager::Finish() {
  if (!aborted_) DrawFrame();
}

}  // namespace quilor::ui
