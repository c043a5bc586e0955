#include "output/statistics_report.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <filesystem>
#include <regex>

#include "core/messages.h"
#include "output/xlsx_spreadsheet.h"
#include "../platform/temp_folder.h"

namespace quilor::ui {
namespace {

using quilor::testing::ReadWholeFile;
using quilor::testing::TempFolder;
using quilor::testing::WriteWholeFile;

// Top (0) > A (1) with 2 children, B (1) with 4 children, C (1) with 5 children (depth 2).
std::vector<ReportClass> ThreeGroups() {
  std::vector<ReportClass> classes(1);
  classes.push_back({"top", 0, 30});
  const std::pair<const char*, int> groups[] = {{"a", 2}, {"b", 4}, {"c", 5}};
  for (const auto& [name, children] : groups) {
    classes.push_back({name, 1, 10});
    for (int i = 1; i <= children; ++i)
      classes.push_back({std::string(name) + std::to_string(i), 2, static_cast<uint32_t>(i)});
  }
  return classes;
}

std::string ZipPart(const std::string& path, const std::string& name) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
  if (archive == nullptr) return {};
  std::string text;
  if (zip_file_t* file = zip_fopen(archive, name.c_str(), 0)) {
    char buffer[4096];
    zip_int64_t n;
    while ((n = zip_fread(file, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
    zip_fclose(file);
  }
  zip_close(archive);
  return text;
}

TEST(StatisticsReport, GroupsFollowTheTreeAndOnlyBigGroupsGetCharts) {
  ReportSettings settings;
  settings.charts = true;
  settings.maxCharts = 8;
  std::vector<int> progress;  // the groups written so far, after each group
  const ReportSheet sheet =
      BuildStatisticsSheet(ThreeGroups(), settings, [&](int groups) { progress.push_back(groups); });
  EXPECT_EQ(progress, (std::vector<int>{1, 2, 3, 4, 5}));
  // Groups of 2, 4 and 5 classes: charts for the two bigger ones only.
  ASSERT_EQ(sheet.charts.size(), 2u);
  std::vector<std::string> groupRows;
  for (const ReportRow& row : sheet.rows)
    if (row.group) groupRows.push_back(row.text);
  EXPECT_EQ(groupRows, (std::vector<std::string>{GetMessageText(1159), "Top", "A", "B", "C"}));
  // The chart of B covers its four class rows.
  const ReportChart& b = sheet.charts[0];
  EXPECT_EQ(b.lastRow - b.firstRow + 1, 4);
  EXPECT_EQ(sheet.rows.front().row, 3);
  std::string title = GetMessageText(192);
  title += GetMessageText(1185);
  EXPECT_EQ(sheet.title, title);

  settings.maxCharts = 1;
  EXPECT_EQ(BuildStatisticsSheet(ThreeGroups(), settings).charts.size(), 1u);
  settings.maxCharts = 0;  // shown and used as 8
  EXPECT_EQ(BuildStatisticsSheet(ThreeGroups(), settings).charts.size(), 2u);
}

TEST(StatisticsReport, SelectionAndBranchTables) {
  std::vector<ReportClass> classes = ThreeGroups();
  classes.push_back({"other", 0, 3});
  classes.push_back({"o1", 1, 3});
  ReportSettings settings;
  settings.selectedEntry = 6;  // b1 (depth 2 under b)
  settings.tableType = kTableSelection;
  const ReportSheet selection = BuildStatisticsSheet(classes, settings);
  std::vector<std::string> texts;
  for (const ReportRow& row : selection.rows) texts.push_back(row.text);
  // b's children, then the classes of depth 1 under top, then the depth-0 classes.
  EXPECT_EQ(texts, (std::vector<std::string>{"B", "B1", "B2", "B3", "B4", "Top", "A", "B", "C", GetMessageText(1159),
                                             "Top", "Other"}));

  settings.tableType = kTableBranch;
  const ReportSheet branch = BuildStatisticsSheet(classes, settings);
  for (const ReportRow& row : branch.rows) EXPECT_NE(row.text, "O1");

  // No selection: the whole Scenario whatever the stored type.
  settings.selectedEntry = 0;
  settings.tableType = kTableSelection;
  bool hasOther = false;
  for (const ReportRow& row : BuildStatisticsSheet(classes, settings).rows) hasOther |= row.text == "O1";
  EXPECT_TRUE(hasOther);
}

// The spreadsheet operations asked for, one line each; the call numbered
// failAt (from 1) fails.
struct RecordingSpreadsheet : Spreadsheet {
  std::string calls;
  int count = 0, failAt = 0;
  bool Say(const std::string& call) {
    calls += call + "\n";
    return ++count != failAt;
  }
  static std::string Cell(int row, int column) { return char('A' + column - 1) + std::to_string(row); }
  bool NewWorkbook(const std::string& name) override { return Say("workbook " + name); }
  bool SetCell(int row, int column, const std::string& text) override { return Say(Cell(row, column) + " " + text); }
  bool SetNumber(int row, int column, double value) override {
    return Say(Cell(row, column) + " = " + std::to_string(value));
  }
  bool FormatCell(int row, int column, bool bold, bool coloured) override {
    return Say(Cell(row, column) + (bold ? " bold" : "") + (coloured ? " coloured" : ""));
  }
  bool FormatHeader(const std::string& text) override { return Say("header " + text); }
  bool AutoFitColumns(int lastRow) override { return Say("fit to row " + std::to_string(lastRow)); }
  bool AddChart(const ReportChart& c) override {
    return Say("chart " + std::to_string(c.number) + " of " + Cell(c.firstRow, 1) + ":" + Cell(c.lastRow, 1));
  }
  bool Show() override { return Say("show"); }
};

// The sheet goes to the spreadsheet cell by cell, group rows formatted, each
// chart after its group, the columns fitted to the last row and below; the
// first operation that fails ends the writing.
TEST(StatisticsReport, TheSheetIsWrittenCellByCellAndStopsAtAFailure) {
  std::vector<ReportClass> classes = {{}, {"top", 0, 30}, {"a", 1, 10}};
  for (uint32_t i = 1; i <= 4; ++i) classes.push_back({"a" + std::to_string(i), 2, i});
  ReportSettings settings;
  settings.charts = true;
  const ReportSheet sheet = BuildStatisticsSheet(classes, settings);
  std::string expected = "workbook S\nA3 " + std::string(GetMessageText(1159)) +
                         "\nA3 bold coloured\nB3 bold coloured\nA4 Top\nB4 = 30.000000\nA5 Top\nA5 bold coloured\n"
                         "B5 bold coloured\nA6 A\nB6 = 10.000000\nA7 A\nA7 bold coloured\nB7 bold coloured\n";
  for (int i = 1; i <= 4; ++i)
    expected += "A" + std::to_string(7 + i) + " A" + std::to_string(i) + "\nB" + std::to_string(7 + i) + " = " +
                std::to_string(i) + ".000000\n";
  expected += "chart 1 of A8:A11\nfit to row 12\nheader " + sheet.title + "\nshow\n";
  RecordingSpreadsheet whole;
  EXPECT_TRUE(FillSpreadsheet(sheet, "S", whole));
  EXPECT_EQ(whole.calls, expected);
  for (int failAt = 1; failAt <= whole.count; ++failAt) {
    RecordingSpreadsheet failing;
    failing.failAt = failAt;
    EXPECT_FALSE(FillSpreadsheet(sheet, "S", failing)) << failAt;
    EXPECT_EQ(failing.count, failAt);
  }
}

// The text of cell A<row> of the first sheet, read back from the workbook.
std::string CellText(const std::string& path, int row) {
  const std::string sheet = ZipPart(path, "xl/worksheets/sheet1.xml");
  const std::string strings = ZipPart(path, "xl/sharedStrings.xml");
  const size_t cell = sheet.find("<c r=\"A" + std::to_string(row) + "\"");
  if (cell == std::string::npos) return {};
  const size_t v = sheet.find("<v>", cell);
  if (v == std::string::npos || v > sheet.find("</c>", cell)) return {};
  int index = std::atoi(sheet.c_str() + v + 3);
  size_t at = 0;
  for (; index >= 0; --index) {
    at = strings.find("<si>", at);
    if (at == std::string::npos) return {};
    at += 4;
  }
  const size_t t = strings.find('>', strings.find("<t", at)) + 1;
  return strings.substr(t, strings.find("</t>", t) - t);
}

// The rows of a chart series range "Sheet!$C$a:$C$b" (column, first, last).
struct Range {
  char column = 0;
  int first = 0, last = 0;
};
Range RangeOf(const std::string& chart, const char* element) {
  Range r;
  const size_t at = chart.find(std::string("<c:") + element + ">");
  if (at == std::string::npos) return r;
  const size_t f = chart.find("<c:f>", at) + 5;
  const std::string formula = chart.substr(f, chart.find("</c:f>", f) - f);
  const size_t bang = formula.find('!');
  if (bang == std::string::npos) return r;
  std::sscanf(formula.c_str() + bang + 1, "$%c$%d:$%*c$%d", &r.column, &r.first, &r.last);
  return r;
}

// Each chart of the workbook draws the class rows of its group: its
// categories are their names (column A) and its values their counts
// (column B), neither a row early nor a row late.
TEST(StatisticsReport, EachChartCoversTheClassRowsOfItsGroup) {
  TempFolder folder;
  ReportSettings settings;
  settings.charts = true;
  const ReportSheet sheet = BuildStatisticsSheet(ThreeGroups(), settings);
  const std::string path = folder / "charts.xlsx";
  XlsxSpreadsheet workbook(path, [](const std::string&) { return true; });
  ASSERT_TRUE(FillSpreadsheet(sheet, "Statistics", workbook));
  const std::vector<std::vector<std::string>> groups = {{"B1", "B2", "B3", "B4"}, {"C1", "C2", "C3", "C4", "C5"}};
  for (size_t g = 0; g < groups.size(); ++g) {
    SCOPED_TRACE(g);
    const std::string chart = ZipPart(path, "xl/charts/chart" + std::to_string(g + 1) + ".xml");
    ASSERT_FALSE(chart.empty());
    const Range categories = RangeOf(chart, "cat");
    const Range values = RangeOf(chart, "val");
    EXPECT_EQ(categories.column, 'A');
    EXPECT_EQ(values.column, 'B');
    EXPECT_EQ(values.first, categories.first);
    EXPECT_EQ(values.last, categories.last);
    std::vector<std::string> names;
    for (int row = categories.first; row <= categories.last && row - categories.first < 10; ++row)
      names.push_back(CellText(path, row));
    EXPECT_EQ(names, groups[g]);
  }
}

// Every chart type the dialog offers gives a chart of that kind; a stored
// type out of range is shown and used as the first.
TEST(StatisticsReport, EveryChartTypeOfferedGivesItsKindOfChart) {
  TempFolder folder;
  // The first (and a stored type out of range) is the default chart: bars.
  const std::pair<int, const char*> kinds[] = {{0, "<c:barDir val=\"bar\"/>"}, {1, "<c:barDir val=\"bar\"/>"},
                                               {2, "<c:barDir val=\"col\"/>"}, {3, "<c:pieChart>"},
                                               {4, "<c:areaChart>"},           {5, "<c:radarChart>"},
                                               {6, "<c:barDir val=\"bar\"/>"}};
  for (const auto& [index, mark] : kinds) {
    SCOPED_TRACE(index);
    ReportSettings settings;
    settings.charts = true;
    settings.chartTypeIndex = index;
    const std::string path = folder / ("type" + std::to_string(index) + ".xlsx");
    XlsxSpreadsheet workbook(path, [](const std::string&) { return true; });
    ASSERT_TRUE(FillSpreadsheet(BuildStatisticsSheet(ThreeGroups(), settings), "Statistics", workbook));
    EXPECT_NE(ZipPart(path, "xl/charts/chart1.xml").find(mark), std::string::npos);
  }
  EXPECT_EQ(ChartTypeIndexShown(6), 0);
  EXPECT_EQ(ChartTypeIndexShown(5), 5);
  // At most 255 charts; none stored means 8.
  EXPECT_EQ(MaxChartsShown(255), 255);
  EXPECT_EQ(MaxChartsShown(256), 255);
  EXPECT_EQ(MaxChartsShown(1), 1);
  EXPECT_EQ(MaxChartsShown(0), 8);
}

// A pie of a group of many classes would be unreadable: it gets bars, and a
// small group keeps its pie.
TEST(StatisticsReport, AGroupOfManyClassesGetsBarsInsteadOfAPie) {
  std::vector<ReportClass> classes = ThreeGroups();
  classes.push_back({"d", 1, 60});
  for (int i = 1; i <= 49; ++i) classes.push_back({"d" + std::to_string(i), 2, static_cast<uint32_t>(50 - i)});
  ReportSettings settings;
  settings.charts = true;
  settings.chartTypeIndex = 3;  // pies
  const ReportSheet sheet = BuildStatisticsSheet(classes, settings);
  ASSERT_GE(sheet.charts.size(), 3u);
  int bars = 0;
  for (const ReportChart& chart : sheet.charts) {
    const int rows = chart.lastRow - chart.firstRow + 1;
    EXPECT_EQ(chart.typeCode, rows == 49 ? 60 : -4102) << rows;
    bars += chart.typeCode == 60;
  }
  EXPECT_EQ(bars, 1);
}

TEST(StatisticsReport, WorkbookKeepsTextsChartsAndFailsCleanly) {
  TempFolder folder;
  std::vector<ReportClass> classes = ThreeGroups();
  classes[3].name = "caf\xE9";  // a1
  ReportSettings settings;
  settings.charts = true;
  settings.chartTypeIndex = 5;
  const ReportSheet sheet = BuildStatisticsSheet(classes, settings);
  const std::string path = folder / "text - Statistics.xlsx";
  std::string opened;
  XlsxSpreadsheet workbook(path, [&](const std::string& p) {
    opened = p;
    return true;
  });
  ASSERT_TRUE(FillSpreadsheet(sheet, "Statistics", workbook));
  EXPECT_EQ(opened, path);
  EXPECT_TRUE(std::filesystem::exists(path));
  size_t leftovers = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
    leftovers += entry.path().extension() == ".tmp";
  EXPECT_EQ(leftovers, 0u);

  const std::string strings = ZipPart(path, "xl/sharedStrings.xml");
  EXPECT_NE(strings.find("Caf\xC3\xA9"), std::string::npos);
  EXPECT_NE(ZipPart(path, "xl/charts/chart1.xml").find("radarChart"), std::string::npos);
  EXPECT_NE(ZipPart(path, "xl/charts/chart2.xml").find("radarChart"), std::string::npos);
  EXPECT_TRUE(ZipPart(path, "xl/charts/chart3.xml").empty());
  if (std::system("command -v xmllint >/dev/null 2>&1") == 0) {
    for (const char* part :
         {"xl/sharedStrings.xml", "xl/worksheets/sheet1.xml", "xl/charts/chart1.xml", "xl/workbook.xml"}) {
      const std::string extracted = folder / "part.xml";
      WriteWholeFile(extracted, ZipPart(path, part));
      EXPECT_EQ(std::system(("xmllint --noout '" + extracted + "' 2>/dev/null").c_str()), 0) << part;
    }
  }

  // A folder that does not exist: no workbook, no temporary file.
  XlsxSpreadsheet missing(folder / "nowhere/report.xlsx");
  EXPECT_FALSE(FillSpreadsheet(sheet, "Statistics", missing));
  EXPECT_FALSE(std::filesystem::exists(folder / "nowhere"));
}

// A chart's place on the sheet, read back from the workbook's drawing: the
// cells of its top-left and bottom-right corners (0-based).
struct Anchor {
  int fromColumn, fromRow, toColumn, toRow;
};

std::vector<Anchor> ChartAnchors(const std::string& path) {
  const std::string drawing = ZipPart(path, "xl/drawings/drawing1.xml");
  std::vector<Anchor> anchors;
  const std::regex corner(
      "<xdr:from><xdr:col>(\\d+)</xdr:col>.*?<xdr:row>(\\d+)</xdr:row>.*?</xdr:from>"
      "<xdr:to><xdr:col>(\\d+)</xdr:col>.*?<xdr:row>(\\d+)</xdr:row>");
  for (std::sregex_iterator it(drawing.begin(), drawing.end(), corner), end; it != end; ++it)
    anchors.push_back({std::stoi((*it)[1]), std::stoi((*it)[2]), std::stoi((*it)[3]), std::stoi((*it)[4])});
  return anchors;
}

// The texts of a chart part's rich-text runs (titles and axis names), in order.
std::vector<std::string> ChartTexts(const std::string& path, int number) {
  const std::string chart = ZipPart(path, "xl/charts/chart" + std::to_string(number) + ".xml");
  std::vector<std::string> texts;
  const std::regex run("<a:t>([^<]*)</a:t>");
  for (std::sregex_iterator it(chart.begin(), chart.end(), run), end; it != end; ++it) texts.push_back((*it)[1]);
  return texts;
}

// Charts stand right of the tables and never over one another, each titled
// with its group and with named axes; a group of many classes gets a chart
// tall enough for a bar per row.
TEST(StatisticsReport, ChartsReadBackBesideTheirTablesTitledAndApart) {
  TempFolder folder;
  std::vector<ReportClass> classes = ThreeGroups();
  classes.push_back({"many", 1, 60});
  for (int i = 1; i <= 50; ++i) classes.push_back({"m" + std::to_string(i), 2, static_cast<uint32_t>(i)});
  ReportSettings settings;
  settings.charts = true;
  const ReportSheet sheet = BuildStatisticsSheet(classes, settings);
  ASSERT_EQ(sheet.charts.size(), 4u);  // top's four groups, b, c and many
  const std::string path = folder / "charts.xlsx";
  XlsxSpreadsheet workbook(path);
  ASSERT_TRUE(FillSpreadsheet(sheet, "Statistics", workbook));

  const std::vector<Anchor> anchors = ChartAnchors(path);
  ASSERT_EQ(anchors.size(), 4u);
  for (size_t i = 0; i < anchors.size(); ++i) {
    EXPECT_GE(anchors[i].fromColumn, 3) << "chart " << i + 1 << " covers the table";
    for (size_t j = i + 1; j < anchors.size(); ++j) {
      const bool apart = anchors[i].toRow < anchors[j].fromRow || anchors[j].toRow < anchors[i].fromRow ||
                         anchors[i].toColumn < anchors[j].fromColumn || anchors[j].toColumn < anchors[i].fromColumn;
      EXPECT_TRUE(apart) << "charts " << i + 1 << " and " << j + 1 << " overlap";
    }
  }
  // The chart of "many" stands beside its group (or lower) and is as tall as a printed page allows.
  EXPECT_GE(anchors[3].fromRow + 1, sheet.charts[3].firstRow - 1);
  EXPECT_GE(anchors[3].toRow - anchors[3].fromRow, kPrintedPageRows - 4);

  // Printed one page wide, so that no chart is cut from its table.
  const std::string worksheet = ZipPart(path, "xl/worksheets/sheet1.xml");
  EXPECT_NE(worksheet.find("fitToPage=\"1\""), std::string::npos);
  EXPECT_NE(worksheet.find("fitToHeight=\"0\""), std::string::npos);

  const char* const groups[] = {"Top", "B", "C", "Many"};
  for (int n = 1; n <= 4; ++n) {
    const std::vector<std::string> texts = ChartTexts(path, n);
    ASSERT_FALSE(texts.empty()) << n;
    EXPECT_EQ(texts.front(), groups[n - 1]);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Classes"), texts.end()) << n;
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Occurrences"), texts.end()) << n;
  }
}

// Printed, each chart stands whole on one page: the pages break every
// printed page of rows, and a chart that would stand across a break starts
// the next page; a chart of many bars is at most a page high.
TEST(StatisticsReport, NoChartStandsAcrossAPageBreak) {
  std::vector<ReportClass> classes(1);
  classes.push_back({"top", 0, 500});
  for (int g = 1; g <= 12; ++g) {
    classes.push_back({"group" + std::to_string(g), 1, 50});
    for (int i = 1; i <= 5 + g % 6; ++i)
      classes.push_back({"g" + std::to_string(g) + "c" + std::to_string(i), 2, static_cast<uint32_t>(i)});
  }
  classes.push_back({"many", 1, 60});
  for (int i = 1; i <= 80; ++i) classes.push_back({"m" + std::to_string(i), 2, static_cast<uint32_t>(i)});
  for (const int type : {3, 0, 5}) {  // sectors, the default bars, radar
    ReportSettings settings;
    settings.charts = true;
    settings.maxCharts = 20;
    settings.chartTypeIndex = type;
    const ReportSheet sheet = BuildStatisticsSheet(classes, settings);
    ASSERT_GE(sheet.charts.size(), 10u) << type;
    for (const ReportChart& chart : sheet.charts) {
      const int first = chart.anchorRow, last = chart.anchorRow + ChartRows(chart.height) - 1;
      EXPECT_EQ((first - 1) / kPrintedPageRows, (last - 1) / kPrintedPageRows)
          << "type " << type << ", chart " << chart.number << ": rows " << first << " to " << last;
    }
    TempFolder folder;
    const std::string path = folder / "pages.xlsx";
    XlsxSpreadsheet workbook(path);
    ASSERT_TRUE(FillSpreadsheet(sheet, "Statistics", workbook));
    const std::string worksheet = ZipPart(path, "xl/worksheets/sheet1.xml");
    int lastRow = sheet.lastRow;
    for (const ReportChart& chart : sheet.charts)
      lastRow = std::max(lastRow, chart.anchorRow + ChartRows(chart.height) - 1);
    std::vector<int> breaks;
    const std::regex brk("<brk id=\"(\\d+)\"");
    for (std::sregex_iterator it(worksheet.begin(), worksheet.end(), brk), end; it != end; ++it)
      breaks.push_back(std::stoi((*it)[1]));
    std::vector<int> expected;
    for (int row = kPrintedPageRows; row < lastRow; row += kPrintedPageRows) expected.push_back(row);
    EXPECT_EQ(breaks, expected) << type;
  }
}

// The workbook as a spreadsheet program reads it (when LibreOffice is installed).
TEST(StatisticsReport, SpreadsheetProgramReadsTheCells) {
  if (std::system("command -v soffice >/dev/null 2>&1") != 0) GTEST_SKIP() << "no LibreOffice";
  TempFolder folder;
  std::vector<ReportClass> classes = ThreeGroups();
  classes[3].name = "caf\xE9";
  const ReportSheet sheet = BuildStatisticsSheet(classes, ReportSettings{});
  const std::string path = folder / "report.xlsx";
  XlsxSpreadsheet workbook(path);
  ASSERT_TRUE(FillSpreadsheet(sheet, "Statistics", workbook));
  const std::string command = "cd '" + folder.path() + "' && HOME='" + folder.path() +
                              "' timeout 120 soffice --headless --convert-to 'csv:Text - txt - csv "
                              "(StarCalc):44,34,76' report.xlsx >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string csv = ReadWholeFile(folder / "report.csv");
  EXPECT_NE(csv.find("Caf\xC3\xA9,1"), std::string::npos) << csv;
  EXPECT_NE(csv.find("B4,4"), std::string::npos) << csv;
  EXPECT_EQ(csv.find(std::string(GetMessageText(192))), 0u) << csv;
  EXPECT_NE(csv.find(GetMessageText(1185)), std::string::npos) << csv;
}

}  // namespace
}  // namespace quilor::ui
