#include "output/report_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "core/file_queue.h"
#include "core/files.h"
#include "core/options.h"
#include "ui/desktop.h"
#include "ui/texts_qt.h"
#include "output/analysis_options_logic.h"
#include "output/statistics_report.h"
#include "output/xlsx_spreadsheet.h"
#include "generated/message_names.h"

namespace quilor::ui {

namespace {

constexpr int kMsgNoScenarioShort = 1035;
constexpr int kMsgNoSelection = 1220;
constexpr int kMsgStatisticsSheet = 234;
constexpr int kMsgDiskWrite = 5;
constexpr int kMsgMaximumCharts = 1158;

}  // namespace

TDlgReportMng::TDlgReportMng(uint32_t selectedEntry, QWidget* parent) : QDialog(parent), selected_(selectedEntry) {
  setObjectName("TDlgReportMng");
  setWindowTitle(MessageText(msg::kReport));
  pages_ = new QTabWidget(this);
  auto* parameters = new QWidget(pages_);
  auto* tableBox = new QGroupBox(MessageText(msg::kStatisticsOn), parameters);
  auto* tableLayout = new QVBoxLayout(tableBox);
  for (int i = 0; i < 3; ++i) {
    table_[i] = new QRadioButton(MessageText(msg::kReportCurrentSelection + i), tableBox);
    tableLayout->addWidget(table_[i]);
  }
  auto* chartBox = new QGroupBox(MessageText(msg::kGraph), parameters);
  showCharts_ = new QCheckBox(MessageText(msg::kShowGraph), chartBox);
  chartType_ = new QComboBox(chartBox);
  for (int i = 0; i < 6; ++i) chartType_->addItem(MessageText(msg::kChartByDefault + i));
  maxCharts_ = new NumberBox(1, 255, 8, chartBox);
  maxCharts_->setObjectName("ValSeuilFreq");
  auto* chartLayout = new QVBoxLayout(chartBox);
  chartLayout->addWidget(showCharts_);
  auto* typeRow = new QHBoxLayout;
  typeRow->addWidget(new QLabel(MessageText(msg::kType), chartBox));
  typeRow->addWidget(chartType_);
  chartLayout->addLayout(typeRow);
  auto* maxRow = new QHBoxLayout;
  maxRow->addWidget(new QLabel(MessageText(msg::kMaximumNumberGraphs), chartBox));
  maxRow->addWidget(maxCharts_);
  chartLayout->addLayout(maxRow);
  auto* parametersLayout = new QVBoxLayout(parameters);
  parametersLayout->addWidget(tableBox);
  parametersLayout->addWidget(chartBox);
  pages_->addTab(parameters, MessageText(msg::kParameters));
  auto* explain = new QTextBrowser(pages_);
  QString lines;
  for (int id = msg::kReportHelpFirst; id <= msg::kReportHelpFirst + 3; ++id)
    lines += "<p>" + MessageText(id).toHtmlEscaped() + "</p>";
  explain->setHtml(lines);
  pages_->addTab(explain, MessageText(msg::kExplain));

  status_ = new QLabel(this);
  ok_ = new QPushButton(MessageText(msg::kOk), this);
  ok_->setDefault(true);
  auto* cancel = new QPushButton(MessageText(msg::kExit), this);
  auto* help = new QPushButton(MessageText(msg::kHelp), this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(status_, 1);
  buttons->addWidget(ok_);
  buttons->addWidget(cancel);
  buttons->addWidget(help);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  layout->addLayout(buttons);

  const int32_t stored = static_cast<int32_t>(Options->Get(opt::ExcelTableType));
  table_[stored >= 0 && stored <= 2 ? stored : 2]->setChecked(true);
  showCharts_->setChecked(Options->Switch(opt::ExcelShowCharts));
  chartType_->setCurrentIndex(ChartTypeIndexShown(static_cast<int32_t>(Options->Get(opt::ExcelChartType))));
  maxCharts_->setValue(MaxChartsShown(static_cast<int32_t>(Options->Get(opt::ExcelMaxCharts))));

  const std::vector<ReportClass> classes = ReportClassesFromEngine();
  if (classes.size() <= 1) {
    ShowError(GetMessageText(msg::kNoOntologyScenarioAvailable));
    ok_->setEnabled(false);
    pages_->setEnabled(false);
    status_->setText(MessageText(kMsgNoScenarioShort));
  } else if (selected_ == 0 || selected_ >= classes.size()) {
    selected_ = 0;
    table_[2]->setChecked(true);
    table_[0]->setEnabled(false);
    table_[1]->setEnabled(false);
    status_->setText(MessageText(kMsgNoSelection) + " (" + MessageText(msg::kScenario) + ")");
  }
  connect(ok_, &QPushButton::clicked, this, [this] {
    if (OKBtnClick()) accept();
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(help, &QPushButton::clicked, this, [] { ShowHelpContext(860); });
}

std::string TDlgReportMng::DefaultPath() {
  std::string name = FileQueue.Count() > 0 ? FileNamePart(FileQueue.Get(1)) : "Quilor";
  StripExtension(name);
  std::string statistics = GetMessageText(kMsgStatisticsSheet);
  return GetPersonalFolder() + "/" + name + " - " + Cp1252ToUtf8(statistics) + ".xlsx";
}

bool TDlgReportMng::OKBtnClick() {
  // The maximum number of charts: a number in 1..255, else refused naming the field.
  int charts = 0;
  if (!ParseNumberField(maxCharts_->text().toStdString(), maxCharts_->Low(), maxCharts_->High(), charts)) {
    ShowError(NumberFieldMessage(kMsgMaximumCharts, NumberRangeText(maxCharts_->Low(), maxCharts_->High())));
    maxCharts_->setFocus();
    maxCharts_->selectAll();
    return false;
  }
  ReportSettings settings;
  settings.tableType = table_[0]->isChecked()   ? kTableSelection
                       : table_[1]->isChecked() ? kTableBranch
                                                : kTableWholeScenario;
  settings.selectedEntry = selected_;
  settings.charts = showCharts_->isChecked();
  settings.chartTypeIndex = chartType_->currentIndex();
  settings.maxCharts = charts;
  Options->Set(opt::ExcelTableType, static_cast<uint32_t>(settings.tableType));
  Options->Set(opt::ExcelShowCharts, static_cast<uint8_t>(settings.charts ? 1 : 0));
  Options->Set(opt::ExcelChartType, static_cast<uint32_t>(settings.chartTypeIndex));
  Options->Set(opt::ExcelMaxCharts, static_cast<uint32_t>(settings.maxCharts));

  const std::vector<ReportClass> classes = ReportClassesFromEngine();
  const bool anyCount = std::any_of(classes.begin(), classes.end(), [](const ReportClass& c) { return c.count > 0; });
  if (!anyCount) {
    status_->setText(MessageText(kMsgNoScenarioShort));
    CurrentDesktop().Beep();
    return false;
  }
  FileChoice choice;
  choice.title = Cp1252ToUtf8(GetMessageText(msg::kReport));
  const std::string proposed = DefaultPath();
  choice.folder = proposed.substr(0, proposed.find_last_of('/'));
  choice.fileName = proposed.substr(proposed.find_last_of('/') + 1);
  choice.filter = "Excel (*.xlsx)|*.xlsx";
  std::string path = CurrentDesktop().ChooseSaveFile(choice);
  if (path.empty()) return false;
  if (path.size() < 5 || path.compare(path.size() - 5, 5, ".xlsx") != 0) path += ".xlsx";
  ShowHourglass();
  status_->setText(FromCp1252(StandardTextOf(kStdLoading)));
  const ReportSheet sheet = BuildStatisticsSheet(classes, settings, [this](int groups) {
    status_->setText(QString::number(groups) + " " + FromCp1252(StandardTextOf(kStdInProgress)));
    ProcessMessages();
  });
  XlsxSpreadsheet workbook(path, [](const std::string& saved) { return ShellOpenFile(saved); });
  const bool ok = FillSpreadsheet(sheet, GetMessageText(kMsgStatisticsSheet), workbook);
  RestoreCursor();
  if (!ok) {
    std::string text = GetMessageText(kMsgDiskWrite);
    ShowError(text + " " + Utf8ToCp1252(path));
    return false;
  }
  return true;
}

}  // namespace quilor::ui
