// The report's spreadsheet as a real .xlsx workbook (libxlsxwriter). The
// workbook is written to a temporary file beside the target and takes the
// target's name only when it was written whole. Texts are Windows-1252 and
// are written as UTF-8.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "output/statistics_report.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace quilor::ui {

class XlsxSpreadsheet : public Spreadsheet {
 public:
  // open is called with the saved path when the workbook is shown (may be
  // empty); its failure does not undo the workbook.
  XlsxSpreadsheet(std::string path, std::function<bool(const std::string&)> open = {});
  ~XlsxSpreadsheet() override;
  XlsxSpreadsheet(const XlsxSpreadsheet&) = delete;
  XlsxSpreadsheet& operator=(const XlsxSpreadsheet&) = delete;

  bool NewWorkbook(const std::string& sheetName) override;
  bool SetCell(int row, int column, const std::string& text) override;
  bool SetNumber(int row, int column, double value) override;
  bool FormatCell(int row, int column, bool bold, bool coloured) override;
  bool FormatHeader(const std::string& text) override;
  bool AutoFitColumns(int lastRow) override;
  bool AddChart(const ReportChart& chart) override;
  bool Show() override;

  const std::string& Path() const { return path_; }

 private:
  void Discard();

  std::string path_;
  std::string temporary_;
  std::string sheetName_;
  std::function<bool(const std::string&)> open_;
  lxw_workbook* workbook_ = nullptr;
  lxw_worksheet* sheet_ = nullptr;
  lxw_format* groupFormat_ = nullptr;
  lxw_format* titleFormat_ = nullptr;
  // Cells kept until the end, so that formats can be set after the text.
  struct Cell {
    std::string text;
    double number = 0;
    bool isNumber = false;
    bool group = false;
  };
  std::map<std::pair<int, int>, Cell> cells_;
  size_t widest_[3] = {0, 0, 0};
  int lastChartRow_ = 0;  // the last row a chart covers (1-based)
};

}  // namespace quilor::ui
