#include "output/statistics_report.h"

#include <algorithm>

#include "core/messages.h"
#include "engine/ontology_engine.h"

namespace quilor::ui {

namespace {

constexpr int kMsgSynopsis = 1159;
constexpr int kMsgStatisticsOn = 192;
constexpr int kMsgListOfWords = 1185;
constexpr int kFirstDataRow = 3;

std::string UpperFirst(std::string text) {
  if (!text.empty()) {
    unsigned char c = static_cast<unsigned char>(text[0]);
    if (c >= 'a' && c <= 'z') text[0] = static_cast<char>(c - 'a' + 'A');
    // Windows-1252 small letters with accents (0xE0..0xFE but 0xF7) and the three others.
    else if (c >= 0xE0 && c != 0xF7 && c != 0xFF) text[0] = static_cast<char>(c - 0x20);
    else if (c == 0x9A || c == 0x9C || c == 0x9E) text[0] = static_cast<char>(c - 0x10);
    else if (c == 0xFF) text[0] = static_cast<char>(0x9F);
  }
  return text;
}

class SheetBuilder {
 public:
  SheetBuilder(const std::vector<ReportClass>& classes, const ReportSettings& settings,
               const std::function<void(int)>& progress)
      : classes_(classes), settings_(settings), progress_(progress), written_(classes.size(), 0) {}

  // The group that starts at entry start: the classes of its depth that
  // follow, deeper ones skipped, up to a class of smaller depth.
  void Group(size_t start) {
    if (start == 0 || start >= classes_.size()) return;
    const int depth = classes_[start].depth;
    std::vector<size_t> members;
    for (size_t j = start; j < classes_.size() && classes_[j].depth >= depth; ++j)
      if (classes_[j].depth == depth && classes_[j].count > 0 && !written_[j]) members.push_back(j);
    if (members.empty()) return;
    std::string header = GetMessageText(kMsgSynopsis);
    for (size_t k = start; k-- > 1;)
      if (classes_[k].depth < depth) {
        header = UpperFirst(classes_[k].name);
        break;
      }
    sheet_.rows.push_back({row_++, header, 0, true});
    const int first = row_;
    for (size_t j : members) {
      written_[j] = 1;
      sheet_.rows.push_back({row_++, UpperFirst(classes_[j].name), classes_[j].count, false});
    }
    const int rows = static_cast<int>(members.size());
    if (settings_.charts && rows > 3 && static_cast<int>(sheet_.charts.size()) < MaxChartsShown(settings_.maxCharts)) {
      ReportChart chart;
      chart.firstRow = first;
      chart.lastRow = row_ - 1;
      chart.number = static_cast<int>(sheet_.charts.size()) + 1;
      chart.typeCode = ChartTypeCode(settings_.chartTypeIndex);
      // Past a dozen sectors a pie cannot be read: such a group gets bars.
      constexpr int kPie = -4102, kBars = 60, kMostSectors = 12;
      if (chart.typeCode == kPie && rows > kMostSectors) chart.typeCode = kBars;
      chart.title = header;
      ChartSize(chart.typeCode, rows, chart.width, chart.height);
      // Beside its group's name, or below the chart before it when that one is taller than its group.
      chart.anchorColumn = kChartColumn;
      chart.anchorRow = first - 1;
      if (!sheet_.charts.empty()) {
        const ReportChart& previous = sheet_.charts.back();
        chart.anchorRow = std::max(chart.anchorRow, previous.anchorRow + ChartRows(previous.height) + 1);
      }
      // A chart that would stand across a page break starts the next page,
      // a row below its top, so that its frame is not drawn on the break.
      const int firstPage = (chart.anchorRow - 1) / kPrintedPageRows;
      if ((chart.anchorRow + ChartRows(chart.height) - 2) / kPrintedPageRows != firstPage)
        chart.anchorRow = (firstPage + 1) * kPrintedPageRows + 2;
      sheet_.charts.push_back(std::move(chart));
    }
    ++groups_;
    if (progress_) progress_(groups_);
  }

  // A group at every counted class whose depth differs from the previous group's.
  void Range(size_t from, size_t to) {
    int previous = -1;
    for (size_t e = from; e < to && e < classes_.size(); ++e) {
      if (classes_[e].count == 0 || classes_[e].depth == previous) continue;
      previous = classes_[e].depth;
      Group(e);
    }
  }

  // The first class of the run of siblings that holds entry e.
  size_t RunStart(size_t e) const {
    const int depth = classes_[e].depth;
    size_t start = e;
    while (start > 1 && classes_[start - 1].depth >= depth) --start;
    while (start < e && classes_[start].depth != depth) ++start;
    return start;
  }

  size_t Parent(size_t e) const {
    for (size_t k = e; k-- > 1;)
      if (classes_[k].depth < classes_[e].depth) return k;
    return 0;
  }

  ReportSheet Build() {
    const size_t count = classes_.size();
    const size_t selected = settings_.selectedEntry;
    const bool hasSelection = selected >= 1 && selected < count;
    const int32_t type = hasSelection ? settings_.tableType : kTableWholeScenario;
    if (type == kTableSelection) {
      for (size_t e = selected; e != 0; e = Parent(e)) Group(RunStart(e));
    } else if (type == kTableBranch) {
      size_t top = selected;
      while (top > 1 && classes_[top].depth > 0) --top;
      size_t end = top + 1;
      while (end < count && classes_[end].depth > 0) ++end;
      Range(top, end);
    } else {
      Range(1, count);
    }
    // Message texts share one buffer: take each before the next.
    sheet_.title = GetMessageText(kMsgStatisticsOn);
    sheet_.title += GetMessageText(kMsgListOfWords);
    sheet_.lastRow = row_ - 1;
    return std::move(sheet_);
  }

 private:
  const std::vector<ReportClass>& classes_;
  const ReportSettings& settings_;
  const std::function<void(int)>& progress_;
  std::vector<uint8_t> written_;
  ReportSheet sheet_;
  int row_ = kFirstDataRow;
  int groups_ = 0;
};

}  // namespace

void ChartSize(int typeCode, int classes, int& width, int& height) {
  // Room for the title, the axes and their names, then a line per class.
  constexpr int kFrame = 110;
  constexpr int kPerClass = 22;
  const int n = std::max(classes, 1);
  switch (typeCode) {
    case 51:     // columns: wider with more classes, the names turned below them
    case -4098:  // areas
      width = std::max(480, kFrame + n * 2 * kPerClass);
      height = 360;
      break;
    case -4102:  // sectors: the legend lists every class
      width = 520;
      height = std::max(300, kFrame + n * kPerClass);
      break;
    case -4151:  // radar: a name on every spoke
      width = height = std::max(420, 240 + n * 14);
      break;
    default:  // bars, and the default chart (bars): taller with more classes
      width = 520;
      height = std::max(300, kFrame + n * kPerClass);
      break;
  }
  // A page high at most, less the title and group rows above the first chart.
  height = std::min(height, (kPrintedPageRows - 4) * kSheetRowPixels);
}

int ChartTypeCode(int32_t index) {
  static constexpr int kCodes[] = {-1, 60, 51, -4102, -4098, -4151};
  return index >= 0 && index <= 5 ? kCodes[index] : -1;
}

int32_t ChartTypeIndexShown(int32_t stored) { return stored >= 0 && stored <= 5 ? stored : 0; }

int32_t MaxChartsShown(int32_t stored) { return stored < 1 ? 8 : std::min(stored, 255); }

ReportSheet BuildStatisticsSheet(const std::vector<ReportClass>& classes, const ReportSettings& settings,
                                 const std::function<void(int)>& progress) {
  return SheetBuilder(classes, settings, progress).Build();
}

std::vector<ReportClass> ReportClassesFromEngine() {
  std::vector<ReportClass> classes(1);
  if (!OntologyEngine) return classes;
  const uint32_t count = OntologyEngine->ScenarioEntryCount();
  classes.resize(static_cast<size_t>(count) + 1);
  for (uint32_t e = 1; e <= count; ++e) {
    classes[e].name = OntologyEngine->ScenarioClassName(static_cast<int32_t>(e));
    classes[e].depth = static_cast<int>(OntologyEngine->ScenarioEntryDepth(e));
    classes[e].count = OntologyEngine->ScenarioEntryOccurrences(e);
  }
  return classes;
}

bool FillSpreadsheet(const ReportSheet& sheet, const std::string& sheetName, Spreadsheet& spreadsheet) {
  if (!spreadsheet.NewWorkbook(sheetName)) return false;
  size_t chart = 0;
  for (const ReportRow& row : sheet.rows) {
    if (!spreadsheet.SetCell(row.row, 1, row.text)) return false;
    if (row.group) {
      if (!spreadsheet.FormatCell(row.row, 1, true, true) || !spreadsheet.FormatCell(row.row, 2, true, true))
        return false;
    } else if (!spreadsheet.SetNumber(row.row, 2, row.count)) {
      return false;
    }
    // A chart follows the last row of its group.
    while (chart < sheet.charts.size() && sheet.charts[chart].lastRow == row.row)
      if (!spreadsheet.AddChart(sheet.charts[chart++])) return false;
  }
  return spreadsheet.AutoFitColumns(sheet.lastRow + 1) && spreadsheet.FormatHeader(sheet.title) && spreadsheet.Show();
}

}  // namespace quilor::ui
