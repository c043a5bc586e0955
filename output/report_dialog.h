// "Report": the dialog of the statistics report. It stores its settings in
// the options record, builds the sheet (output/statistics_report.h) and
// writes it as an .xlsx workbook where the user says, then opens it with the
// desktop's spreadsheet program.
#pragma once

#include <QDialog>

#include <cstdint>
#include <string>

#include "output/number_box_qt.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace quilor::ui {

class TDlgReportMng : public QDialog {
  Q_OBJECT
 public:
  // selectedEntry: the Scenario entry selected in the main window (0 none).
  explicit TDlgReportMng(uint32_t selectedEntry, QWidget* parent = nullptr);

  // The default workbook path: "<documents>/<text> - Statistics.xlsx".
  static std::string DefaultPath();
  // OK: false (the dialog stays open) when there is nothing to report or the
  // workbook could not be written.
  bool OKBtnClick();

  QComboBox* ChartType() const { return chartType_; }
  NumberBox* MaxCharts() const { return maxCharts_; }
  QRadioButton* TableButton(int type) const { return table_[type]; }
  QLabel* Status() const { return status_; }

 private:
  uint32_t selected_;
  QTabWidget* pages_ = nullptr;
  QRadioButton* table_[3] = {};
  QCheckBox* showCharts_ = nullptr;
  QComboBox* chartType_ = nullptr;
  NumberBox* maxCharts_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* ok_ = nullptr;
};

}  // namespace quilor::ui
