// The statistics report: one sheet of Scenario statistics, one table per
// group of Scenario classes (class name and occurrences), group rows in bold
// on a coloured background, and a chart per table when asked. The sheet is
// built as plain rows first (BuildStatisticsSheet), then written through the
// spreadsheet operations (Spreadsheet), which the program implements as a
// real .xlsx workbook.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quilor::ui {

// Table types of the report.
enum ReportTableType : int32_t { kTableSelection = 0, kTableBranch = 1, kTableWholeScenario = 2 };

struct ReportClass {
  std::string name;  // Windows-1252
  int depth = 0;
  uint32_t count = 0;
};

struct ReportRow {
  int row = 0;         // 1-based sheet row
  std::string text;    // column A
  uint32_t count = 0;  // column B (class rows)
  bool group = false;  // a group row: bold on a coloured background
};

struct ReportChart {
  int firstRow = 0;
  int lastRow = 0;
  int number = 0;     // the chart's number, from 1
  int typeCode = -1;  // the chart-type code; -1 the default chart
  std::string title;  // the group's name (Windows-1252)
  // Where the chart stands: its top-left cell (1-based row and column) and
  // its size in pixels. Charts stand right of the tables, one below the
  // other, each beside its group or below the chart before it.
  int anchorRow = 0;
  int anchorColumn = 0;
  int width = 0;
  int height = 0;
};

// The sheet's rows are this many pixels high; the charts' column is the fourth (D).
constexpr int kSheetRowPixels = 20;
constexpr int kChartColumn = 4;
// A printed page holds this many rows at least (a Letter or an A4 page at
// full scale, within its margins): the workbook breaks its pages every so
// many rows, and no chart stands across a break.
constexpr int kPrintedPageRows = 44;
// The size a chart of this type needs to show classes bars (or sectors)
// readably, at most a printed page high.
void ChartSize(int typeCode, int classes, int& width, int& height);
// The rows a chart of that height covers.
inline int ChartRows(int height) { return (height + kSheetRowPixels - 1) / kSheetRowPixels; }

struct ReportSheet {
  std::string title;  // the title cell (A1)
  std::vector<ReportRow> rows;
  std::vector<ReportChart> charts;
  int lastRow = 0;
};

struct ReportSettings {
  int32_t tableType = kTableWholeScenario;
  uint32_t selectedEntry = 0;  // 1-based Scenario entry; 0 none
  bool charts = false;
  int32_t maxCharts = 8;
  int32_t chartTypeIndex = 0;  // 0..5
};

// The chart-type code of a chart-type index (outside 0..5: the default, -1).
int ChartTypeCode(int32_t index);
// Index 0..5 as the dialog shows it (outside: 0).
int32_t ChartTypeIndexShown(int32_t stored);
// The maximum number of charts as the dialog shows it (below 1: 8).
int32_t MaxChartsShown(int32_t stored);

// classes is 1-based (classes[0] unused), in the Scenario's tree order.
// progress(groups) is called after each group.
ReportSheet BuildStatisticsSheet(const std::vector<ReportClass>& classes, const ReportSettings& settings,
                                 const std::function<void(int groups)>& progress = {});

// The Scenario classes of the current analysis (OntologyEngine), 1-based.
std::vector<ReportClass> ReportClassesFromEngine();

// The spreadsheet operations the report needs; each reports success.
class Spreadsheet {
 public:
  virtual ~Spreadsheet() = default;
  virtual bool NewWorkbook(const std::string& sheetName) = 0;
  virtual bool SetCell(int row, int column, const std::string& text) = 0;
  virtual bool SetNumber(int row, int column, double value) = 0;
  virtual bool FormatCell(int row, int column, bool bold, bool coloured) = 0;
  virtual bool FormatHeader(const std::string& text) = 0;
  virtual bool AutoFitColumns(int lastRow) = 0;
  virtual bool AddChart(const ReportChart& chart) = 0;
  // Finishes the workbook (saved, shown).
  virtual bool Show() = 0;
};

// Writes the sheet; false at the first operation that fails.
bool FillSpreadsheet(const ReportSheet& sheet, const std::string& sheetName, Spreadsheet& spreadsheet);

}  // namespace quilor::ui
