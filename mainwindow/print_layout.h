// The printed page: metrics from the print font, the page frame (page
// number, title, rules and footer) and the pager that lays out the rows of a
// print section line by line, starting new pages through a PrintSurface.
// Everything draws through the Canvas, so tests print onto a RecordingCanvas.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/canvas.h"

namespace quilor::ui {

// Fewest rows a page holds, whatever the font.
constexpr int kMinLinesPerPage = 4;
// Rows of a page start at this line (the lines above hold the header).
constexpr int kFirstRowLine = 3;

// The smallest font a section is shrunk to so that its columns fit the page.
constexpr int kMinPrintPoints = 5;

struct TPageMetrics {
  int pageWidth = 0;
  int pageHeight = 0;
  int lineHeight = 1;  // never 0
  int linesPerPage = kMinLinesPerPage;
  int halfWidth = 0;  // base of the number columns
  Rect header;        // the header rectangle
  // What the metrics were made from, to make them again for a smaller font.
  int dpiY = 72;
  Rect clip;
  // The font size the lines hold: the one asked for, or less when a line
  // could not hold it (a font too big for the page).
  int fontPoints = 0;
};

// fontPoints at dpiY pixels per inch, plus 40 %; clip is the drawable area.
TPageMetrics ComputePageMetrics(int fontPoints, int dpiY, int pageWidth, int pageHeight, const Rect& clip);
// The same page at another font size.
TPageMetrics MetricsForFont(const TPageMetrics& page, int fontPoints);

// Where a print goes: a canvas and a way to begin the next page.
class PrintSurface {
 public:
  virtual ~PrintSurface() = default;
  virtual Canvas& PageCanvas() = 0;
  // Starts a new page; false stops the print.
  virtual bool NewPage() = 0;
};

// One row of a table section: a name column and up to four number columns.
constexpr size_t kRowNameMax = 238;

struct TPrintRow {
  std::string name;
  std::array<std::string, 4> columns;
  bool bold = false;
  int indent = 0;       // extra x of the name column, in pixels
  int depth = 0;        // tree depth (Scenario rows): indented by depth line heights
  int firstColumn = 0;  // the number columns start at this position (0 or 1)
  // Tree rows: bit k set when level k still has a later sibling below this
  // row (a vertical line passes); bit depth for the row's own level.
  uint32_t treeLines = 0;
  bool blank = false;  // an empty line
};

// Measures a text at the section's font, bold or not.
using TextMeasure = std::function<int(const std::string& text, bool bold)>;

// Where the number columns of a table stand, for its rows at one font: each
// column right-aligned at its spot (half width + k x half width / 4), moved
// right when the texts of the column before would touch it, and the whole
// set moved left when it would pass the right edge. Names end before the
// first column (they are cut there).
struct TColumnFrame {
  int nameX = 0;           // where names begin
  std::vector<int> spots;  // the right edge each column position asks for
  int rightLimit = 0;      // nothing passes it
  int gap = 0;             // the least room between two texts
  int minNameWidth = 0;    // a name column narrower than this does not fit
};
struct TColumnLayout {
  std::vector<int> right;  // the right edge of each column position
  int nameEnd = 0;
  bool fits = false;
};
TColumnLayout LayOutColumns(const std::vector<TPrintRow>& rows, const TColumnFrame& frame, const TextMeasure& measure);
// The frame of a table section's columns on the page.
TColumnFrame TableFrame(const TPageMetrics& m, const TextMeasure& measure);

// The text cut to width, ending with "..." when it had to be cut.
std::string ElideText(const std::string& text, int width, const std::function<int(const std::string&)>& measure);
// The text in lines of at most width, cut between words (a word wider than
// the line is cut itself).
std::vector<std::string> WrapText(const std::string& text, int width,
                                  const std::function<int(const std::string&)>& measure);
// A colour dark enough to read on white paper (a contrast of 4.5 to 1 at
// least), of the same hue; dark colours stay as they are.
Rgb PaperColour(Rgb colour);

// A page canvas for a print in colour: every line and text is drawn in its
// colour made fit for paper (PaperColour), whichever section draws it (the
// text, the graphs); fills keep their colours.
class PaperCanvas : public Canvas {
 public:
  explicit PaperCanvas(Canvas& page) : page_(page) {}
  void SetPen(Rgb colour, int width = 1, PenStyle style = PenStyle::kSolid) override {
    page_.SetPen(PaperColour(colour), width, style);
  }
  void SetBrush(Rgb colour, BrushStyle style = BrushStyle::kSolid) override { page_.SetBrush(colour, style); }
  void SetFont(const Font& font) override;
  void SetTextBackground(bool opaque) override { page_.SetTextBackground(opaque); }
  void FillRect(const Rect& r) override { page_.FillRect(r); }
  void Rectangle(const Rect& r) override { page_.Rectangle(r); }
  void RoundRect(const Rect& r, int radiusX, int radiusY) override { page_.RoundRect(r, radiusX, radiusY); }
  void Ellipse(const Rect& r) override { page_.Ellipse(r); }
  void Polygon(const std::vector<Point>& points) override { page_.Polygon(points); }
  void Line(Point from, Point to) override { page_.Line(from, to); }
  void Pie(const Rect& r, double startDegrees, double spanDegrees) override { page_.Pie(r, startDegrees, spanDegrees); }
  void ShadedEllipse(const Rect& r, Rgb colour) override { page_.ShadedEllipse(r, colour); }
  void TextOut(int x, int y, const std::string& text) override { page_.TextOut(x, y, text); }
  void TextRect(const Rect& r, int x, int y, const std::string& text) override { page_.TextRect(r, x, y, text); }
  int TextWidth(const std::string& text) override { return page_.TextWidth(text); }
  int TextHeight(const std::string& text) override { return page_.TextHeight(text); }
  void SetClip(const Rect& r) override { page_.SetClip(r); }
  void ClearClip() override { page_.ClearClip(); }

 private:
  Canvas& page_;
};

// Lays out one section: rows from line 3, a page frame on every full page
// and after the last row; page numbers start at 1.
class TPrintPager {
 public:
  TPrintPager(PrintSurface& surface, const TPageMetrics& metrics, const Font& font, std::string title,
              std::string footer);

  // Advances a line (a new page when the page is full); false when the print stopped.
  bool NextLine();
  bool WriteRow(const TPrintRow& row, int xShift = 0);
  // Draws the frame of the current page (the last one of the section).
  void Finish();
  void DrawFrame();

  int Y() const { return currentLine_ * metrics_.lineHeight; }
  int CurrentLine() const { return currentLine_; }
  void SetCurrentLine(int line) { currentLine_ = line; }
  int Page() const { return page_; }
  bool Aborted() const { return aborted_; }
  const TPageMetrics& Metrics() const { return metrics_; }
  Canvas& PageCanvas() { return surface_.PageCanvas(); }
  const Font& BaseFont() const { return font_; }
  // The table's columns as LayOutColumns placed them (none: the spots of the page).
  void SetColumns(const TColumnLayout& columns) { columns_ = columns; }

  // Pieces of running text (the text section), each with the blank before
  // it when one is owed (as the text page spaces them): placed at x,
  // wrapping at the header's right edge, where a piece loses its blank; a
  // piece wider than the line goes alone on the next. A piece leaves room
  // at the line's end for closing punctuation (".\""), which stays on the
  // line of the text it closes.
  bool PlaceText(std::string text, const Font& font, bool closing = false);
  bool NewTextLine();

 private:
  bool BreakPage();

  PrintSurface& surface_;
  TPageMetrics metrics_;
  Font font_;
  std::string title_;
  std::string footer_;
  int currentLine_ = kFirstRowLine;
  int page_ = 1;
  bool aborted_ = false;
  int textX_ = -1;  // -1: no text line begun
  TColumnLayout columns_;
};

// Lower-cased with an upper-case first letter (Windows-1252).
std::string SentenceCase(const std::string& text);
std::string LowerCase(const std::string& text);
// "12.345%"
std::string PercentText(double value, int decimals);

// The message of a print that could not start: the output file or the
// printer it was meant for, or, with neither (no printer set up on this
// computer), how to choose one.
std::string PrintStartFailure(const std::string& outputFile, const std::string& printerName);

}  // namespace quilor::ui
