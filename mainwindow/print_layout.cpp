#include "mainwindow/print_layout.h"

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <cstdlib>

#include "core/chartables.h"
#include "core/messages.h"

namespace quilor::ui {

namespace {
// Header lines above the rows, the lines a full page keeps free below them.
constexpr int kLinesBelowRows = 3;
}  // namespace

TPageMetrics ComputePageMetrics(int fontPoints, int dpiY, int pageWidth, int pageHeight, const Rect& clip) {
  TPageMetrics m;
  m.pageWidth = pageWidth;
  m.pageHeight = pageHeight;
  m.dpiY = dpiY;
  m.clip = clip;
  m.fontPoints = fontPoints;
  int64_t height = std::llabs(static_cast<int64_t>(fontPoints) * dpiY / 72);
  height += height * 4 / 10;
  // A page holds at least kMinLinesPerPage rows below its header and above its footer.
  const int64_t most = pageHeight / (kFirstRowLine + kMinLinesPerPage + 1 + kLinesBelowRows);
  if (height > most) {
    // The lines are as high as the page allows, and the font as big as they hold.
    height = most;
    if (dpiY > 0) m.fontPoints = static_cast<int>(std::max<int64_t>(most * 10 / 14 * 72 / dpiY, 1));
  }
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

TPageMetrics MetricsForFont(const TPageMetrics& page, int fontPoints) {
  return ComputePageMetrics(fontPoints, page.dpiY, page.pageWidth, page.pageHeight, page.clip);
}

TColumnFrame TableFrame(const TPageMetrics& m, const TextMeasure& measure) {
  TColumnFrame frame;
  frame.nameX = m.lineHeight;
  const int half = m.halfWidth;
  for (int k = 0; k <= 4; ++k) frame.spots.push_back(half + k * (half / 4));
  frame.rightLimit = m.header.right;
  frame.gap = std::max(m.lineHeight / 2, 1);
  frame.minNameWidth = measure("nnnnnnnnnn", false);
  return frame;
}

TColumnLayout LayOutColumns(const std::vector<TPrintRow>& rows, const TColumnFrame& frame, const TextMeasure& measure) {
  const size_t positions = frame.spots.size();
  std::vector<int> widest(positions, -1);  // -1: no text at that position
  for (const TPrintRow& row : rows)
    for (size_t k = 0; k < row.columns.size(); ++k) {
      const size_t at = k + static_cast<size_t>(std::max(row.firstColumn, 0));
      if (at < positions && !row.columns[k].empty())
        widest[at] = std::max(widest[at], measure(row.columns[k], row.bold));
    }
  TColumnLayout layout;
  layout.right = frame.spots;
  int previous = -1, first = -1;
  for (size_t p = 0; p < positions; ++p) {
    if (widest[p] < 0) continue;
    if (first < 0) first = static_cast<int>(p);
    if (previous >= 0) layout.right[p] = std::max(layout.right[p], layout.right[previous] + frame.gap + widest[p]);
    previous = static_cast<int>(p);
  }
  if (previous < 0) {
    layout.nameEnd = frame.rightLimit;
    layout.fits = layout.nameEnd - frame.nameX >= frame.minNameWidth;
    return layout;
  }
  // Past the right edge: the columns move left together.
  const int over = layout.right[previous] - frame.rightLimit;
  if (over > 0)
    for (int& r : layout.right) r -= over;
  layout.nameEnd = layout.right[first] - widest[first] - frame.gap;
  layout.fits = layout.nameEnd - frame.nameX >= frame.minNameWidth;
  return layout;
}

std::string ElideText(const std::string& text, int width, const std::function<int(const std::string&)>& measure) {
  if (measure(text) <= width) return text;
  static const std::string kMark = "...";
  // The longest beginning that fits with the mark.
  size_t low = 0, high = text.size();
  while (low < high) {
    const size_t mid = (low + high + 1) / 2;
    if (measure(text.substr(0, mid) + kMark) <= width) low = mid;
    else high = mid - 1;
  }
  std::string kept = text.substr(0, low);
  while (!kept.empty() && kept.back() == ' ') kept.pop_back();
  return kept.empty() ? (measure(kMark) <= width ? kMark : std::string()) : kept + kMark;
}

std::vector<std::string> WrapText(const std::string& text, int width,
                                  const std::function<int(const std::string&)>& measure) {
  std::vector<std::string> lines;
  std::string line;
  size_t at = 0;
  while (at < text.size()) {
    const size_t blank = text.find(' ', at);
    std::string word = text.substr(at, blank == std::string::npos ? std::string::npos : blank - at);
    at = blank == std::string::npos ? text.size() : blank + 1;
    if (word.empty()) continue;
    const std::string joined = line.empty() ? word : line + " " + word;
    if (measure(joined) <= width) {
      line = joined;
      continue;
    }
    if (!line.empty()) lines.push_back(line);
    // A word wider than the line is cut into pieces that fit.
    while (measure(word) > width && word.size() > 1) {
      size_t n = word.size() - 1;
      while (n > 1 && measure(word.substr(0, n)) > width) --n;
      lines.push_back(word.substr(0, n));
      word.erase(0, n);
    }
    line = word;
  }
  if (!line.empty() || lines.empty()) lines.push_back(line);
  return lines;
}

namespace {
double Linear(int channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
double Luminance(int r, int g, int b) { return 0.2126 * Linear(r) + 0.7152 * Linear(g) + 0.0722 * Linear(b); }
}  // namespace

Rgb PaperColour(Rgb colour) {
  // A contrast of 4.5:1 against white: (1 + 0.05) / (L + 0.05) >= 4.5.
  constexpr double kMostLuminance = 1.05 / 4.5 - 0.05;
  int r = RedOf(colour), g = GreenOf(colour), b = BlueOf(colour);
  for (double scale = 1.0; Luminance(r, g, b) > kMostLuminance && scale > 0; scale -= 0.02) {
    r = static_cast<int>(RedOf(colour) * scale);
    g = static_cast<int>(GreenOf(colour) * scale);
    b = static_cast<int>(BlueOf(colour) * scale);
  }
  return MakeRgb(r, g, b);
}

void PaperCanvas::SetFont(const Font& font) {
  Font paper = font;
  paper.colour = PaperColour(font.colour);
  page_.SetFont(paper);
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

std::string PrintStartFailure(const std::string& outputFile, const std::string& printerName) {
  constexpr int kMsgCannotPrint = 7340, kMsgNoPrinter = 7342;
  const std::string& where = outputFile.empty() ? printerName : outputFile;
  if (where.empty()) return GetMessageText(kMsgNoPrinter);
  return GetMessageText(kMsgCannotPrint) + ' ' + where;
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
  const int numberWidth = c.TextWidth(number);
  c.TextOut(m.pageWidth - numberWidth - 1, lh, number);
  const auto width = [&c](const std::string& text) { return c.TextWidth(text); };
  // Centred on the page, clear of the page number on both sides.
  const int side = numberWidth + lh;
  auto centred = [&](const std::string& text, int top) {
    const Rect r{side, top, m.pageWidth - side, top + lh};
    const int x = r.left + std::max((r.Width() - c.TextWidth(text)) / 2, 0);
    c.TextRect(r, x, top, text);
  };
  centred(ElideText(title_, m.pageWidth - 2 * side, width), lh);
  c.Line({0, 2 * lh + 2}, {m.pageWidth, 2 * lh + 2});
  // A path too long for the line keeps its end, the file's name.
  std::string footer = LowerCase(footer_);
  while (footer.size() > 4 && c.TextWidth(footer) > m.pageWidth - 2 * side) footer = "..." + footer.substr(4);
  centred(footer, m.pageHeight - 2 * lh);
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
  // The name column holds 238 characters at most, and ends before the first number column.
  const int nameX = xShift + lh + row.indent;
  std::string name = row.name.substr(0, kRowNameMax);
  if (!columns_.right.empty())
    name = ElideText(name, xShift + columns_.nameEnd - nameX, [&c](const std::string& t) { return c.TextWidth(t); });
  c.TextOut(nameX, y, name);
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
    const size_t at = k + static_cast<size_t>(std::max(row.firstColumn, 0));
    const int right =
        xShift + (at < columns_.right.size() ? columns_.right[at] : half + static_cast<int>(at) * (half / 4));
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

bool TPrintPager::PlaceText(std::string text, const Font& font, bool closing) {
  if (aborted_) return false;
  if (text.empty()) return true;
  Canvas& c = surface_.PageCanvas();
  c.SetFont(font);
  int width = std::max(c.TextWidth(text), 1);
  // Other pieces leave room for the closing punctuation that may follow them.
  const int room = closing ? 0 : c.TextWidth(".\"");
  const bool wraps = textX_ + width + room >= metrics_.header.right && textX_ > metrics_.header.left;
  if (textX_ < 0 || (wraps && !(closing && textX_ + width <= metrics_.header.right))) {
    if (!NewTextLine()) return false;
    c.SetFont(font);
  }
  // A line starts with no blank.
  if (textX_ == metrics_.header.left && text[0] == ' ') {
    text.erase(0, 1);
    if (text.empty()) return true;
    width = std::max(c.TextWidth(text), 1);
  }
  const int y = Y();
  c.TextRect({textX_, y, textX_ + width, y + metrics_.lineHeight}, textX_, y, text);
  textX_ += width;
  return true;
}

void TPrintPager::Finish() {
  if (!aborted_) DrawFrame();
}

}  // namespace quilor::ui
