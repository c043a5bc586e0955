#include "output/xlsx_spreadsheet.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <xlsxwriter.h>

#include "core/messages.h"
#include "platform/safe_save.h"
#include "platform/text_encoding.h"

namespace quilor::ui {

namespace {

constexpr lxw_color_t kGroupColour = 0xD9E1F2;
constexpr lxw_color_t kTitleColour = 0xFFF2CC;

uint8_t ChartKind(int code) {
  switch (code) {
    case 60: return LXW_CHART_BAR;
    case 51: return LXW_CHART_COLUMN;
    case -4102: return LXW_CHART_PIE;
    case -4098: return LXW_CHART_AREA;
    case -4151: return LXW_CHART_RADAR;
    default: return LXW_CHART_BAR;  // the default chart: bars, the class names written across
  }
}

constexpr int kMsgClasses = 7302;
constexpr int kMsgOccurrences = 1259;
constexpr double kChartWidth = 480, kChartHeight = 288;  // a chart's size at scale 1

std::string AxisName(int message) {
  std::string name = Cp1252ToUtf8(GetMessageText(message));
  if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') name[0] = static_cast<char>(name[0] - 'a' + 'A');
  return name;
}

}  // namespace

XlsxSpreadsheet::XlsxSpreadsheet(std::string path, std::function<bool(const std::string&)> open)
    : path_(std::move(path)), open_(std::move(open)) {}

XlsxSpreadsheet::~XlsxSpreadsheet() { Discard(); }

void XlsxSpreadsheet::Discard() {
  if (workbook_ != nullptr) {
    // Closing is the only way to free a workbook; its file is removed after.
    workbook_close(workbook_);
    workbook_ = nullptr;
  }
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
  }
}

bool XlsxSpreadsheet::NewWorkbook(const std::string& sheetName) {
  Discard();
  std::string pattern = path_ + ".XXXXXX.tmp";
  const int fd = ::mkstemps(pattern.data(), 4);
  if (fd < 0) return false;
  ::close(fd);
  temporary_ = pattern;
  workbook_ = workbook_new(temporary_.c_str());
  if (workbook_ == nullptr) {
    Discard();
    return false;
  }
  sheetName_ = Cp1252ToUtf8(sheetName);
  sheet_ = workbook_add_worksheet(workbook_, sheetName_.c_str());
  // Printed one page wide: the tables and the charts beside them are never cut apart.
  if (sheet_ != nullptr) worksheet_fit_to_pages(sheet_, 1, 0);
  groupFormat_ = workbook_add_format(workbook_);
  format_set_bold(groupFormat_);
  format_set_pattern(groupFormat_, LXW_PATTERN_SOLID);
  format_set_bg_color(groupFormat_, kGroupColour);
  titleFormat_ = workbook_add_format(workbook_);
  format_set_bold(titleFormat_);
  format_set_pattern(titleFormat_, LXW_PATTERN_SOLID);
  format_set_bg_color(titleFormat_, kTitleColour);
  cells_.clear();
  std::fill(std::begin(widest_), std::end(widest_), 0);
  lastChartRow_ = 0;
  return sheet_ != nullptr;
}

bool XlsxSpreadsheet::SetCell(int row, int column, const std::string& text) {
  if (sheet_ == nullptr || row < 1 || column < 1 || column > 2) return false;
  Cell& cell = cells_[{row, column}];
  cell.text = Cp1252ToUtf8(text);
  cell.isNumber = false;
  widest_[column] = std::max(widest_[column], text.size());
  return true;
}

bool XlsxSpreadsheet::SetNumber(int row, int column, double value) {
  if (sheet_ == nullptr || row < 1 || column < 1 || column > 2) return false;
  Cell& cell = cells_[{row, column}];
  cell.number = value;
  cell.isNumber = true;
  widest_[column] = std::max(widest_[column], std::to_string(static_cast<long long>(value)).size());
  return true;
}

bool XlsxSpreadsheet::FormatCell(int row, int column, bool bold, bool coloured) {
  if (sheet_ == nullptr || row < 1 || column < 1 || column > 2) return false;
  cells_[{row, column}].group = bold || coloured;
  return true;
}

bool XlsxSpreadsheet::FormatHeader(const std::string& text) {
  if (sheet_ == nullptr) return false;
  return worksheet_write_string(sheet_, 0, 0, Cp1252ToUtf8(text).c_str(), titleFormat_) == LXW_NO_ERROR;
}

bool XlsxSpreadsheet::AutoFitColumns(int) {
  if (sheet_ == nullptr) return false;
  // No automatic fit in the file format: widths from the longest text.
  for (int column = 1; column <= 2; ++column) {
    const double width = std::clamp(static_cast<double>(widest_[column]) + 2.0, 8.0, 80.0);
    if (worksheet_set_column(sheet_, static_cast<lxw_col_t>(column - 1), static_cast<lxw_col_t>(column - 1), width,
                             nullptr) != LXW_NO_ERROR)
      return false;
  }
  return true;
}

bool XlsxSpreadsheet::AddChart(const ReportChart& chart) {
  if (workbook_ == nullptr || sheet_ == nullptr || chart.firstRow < 1 || chart.lastRow < chart.firstRow) return false;
  lxw_chart* made = workbook_add_chart(workbook_, ChartKind(chart.typeCode));
  if (made == nullptr) return false;
  lxw_chart_series* series = chart_add_series(made, nullptr, nullptr);
  if (series == nullptr) return false;
  const lxw_row_t first = static_cast<lxw_row_t>(chart.firstRow - 1), last = static_cast<lxw_row_t>(chart.lastRow - 1);
  chart_series_set_categories(series, sheetName_.c_str(), first, 0, last, 0);
  chart_series_set_values(series, sheetName_.c_str(), first, 1, last, 1);
  const std::string title = Cp1252ToUtf8(chart.title.empty() ? "Graph" + std::to_string(chart.number) : chart.title);
  chart_title_set_name(made, title.c_str());
  chart_series_set_name(series, title.c_str());
  const uint8_t kind = ChartKind(chart.typeCode);
  if (kind == LXW_CHART_PIE) {
    // The sectors are named in the legend.
    chart_legend_set_position(made, LXW_CHART_LEGEND_RIGHT);
  } else {
    chart_legend_set_position(made, LXW_CHART_LEGEND_NONE);
    const std::string classes = AxisName(kMsgClasses), occurrences = AxisName(kMsgOccurrences);
    // In a bar chart the x axis is the horizontal one, the counts; the classes stand on the y axis.
    lxw_chart_axis* categories = kind == LXW_CHART_BAR ? made->y_axis : made->x_axis;
    lxw_chart_axis* values = kind == LXW_CHART_BAR ? made->x_axis : made->y_axis;
    chart_axis_set_name(categories, classes.c_str());
    chart_axis_set_name(values, occurrences.c_str());
    if (kind == LXW_CHART_BAR) {
      // The classes from the top down, as the table lists them; the counts below.
      chart_axis_set_reverse(categories);
      chart_axis_set_crossing_max(categories);
    } else if (kind == LXW_CHART_COLUMN || kind == LXW_CHART_AREA) {
      lxw_chart_font turned{};
      turned.rotation = -45;
      chart_axis_set_num_font(made->x_axis, &turned);
    }
  }
  // Where the sheet model placed it: beside its table, never over another chart.
  const int row = chart.anchorRow > 0 ? chart.anchorRow : chart.firstRow;
  const int column = chart.anchorColumn > 0 ? chart.anchorColumn : 4;
  lxw_chart_options options{};
  options.x_scale = chart.width > 0 ? chart.width / kChartWidth : 1.0;
  options.y_scale = chart.height > 0 ? chart.height / kChartHeight : 1.0;
  options.object_position = LXW_OBJECT_MOVE_DONT_SIZE;
  lastChartRow_ =
      std::max(lastChartRow_, row + ChartRows(chart.height > 0 ? chart.height : static_cast<int>(kChartHeight)) - 1);
  return worksheet_insert_chart_opt(sheet_, static_cast<lxw_row_t>(row - 1), static_cast<lxw_col_t>(column - 1), made,
                                    &options) == LXW_NO_ERROR;
}

bool XlsxSpreadsheet::Show() {
  if (workbook_ == nullptr || sheet_ == nullptr) return false;
  for (const auto& [at, cell] : cells_) {
    const lxw_row_t row = static_cast<lxw_row_t>(at.first - 1);
    const lxw_col_t column = static_cast<lxw_col_t>(at.second - 1);
    lxw_format* format = cell.group ? groupFormat_ : nullptr;
    const lxw_error error = cell.isNumber ? worksheet_write_number(sheet_, row, column, cell.number, format)
                                          : worksheet_write_string(sheet_, row, column, cell.text.c_str(), format);
    if (error != LXW_NO_ERROR) return false;
  }
  // The pages break where the sheet model placed its charts, none across a break.
  int lastRow = lastChartRow_;
  if (!cells_.empty()) lastRow = std::max(lastRow, cells_.rbegin()->first.first);
  std::vector<lxw_row_t> breaks;
  for (int row = kPrintedPageRows; row < lastRow && breaks.size() < LXW_BREAKS_MAX; row += kPrintedPageRows)
    breaks.push_back(static_cast<lxw_row_t>(row));  // above the 0-based row: after the row-th row
  if (!breaks.empty()) {
    breaks.push_back(0);
    if (worksheet_set_h_pagebreaks(sheet_, breaks.data()) != LXW_NO_ERROR) return false;
  }
  const lxw_error closed = workbook_close(workbook_);
  workbook_ = nullptr;
  sheet_ = nullptr;
  // The whole workbook takes its name through the safe save: the previous
  // file's bits (or the user's usual ones), and a link there replaced.
  if (closed != LXW_NO_ERROR || !InstallWrittenFile(temporary_, path_, {.keepBackup = false})) {
    Discard();
    return false;
  }
  temporary_.clear();
  // The workbook is written; a spreadsheet program that does not start says so itself.
  if (open_) open_(path_);
  return true;
}

}  // namespace quilor::ui
