// Printing a real analysis to PDF and reading it back with pdftotext.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/file_queue.h"
#include "engine/analysis_results.h"
#include "engine/ontology_engine.h"
#include "core/options.h"
#include "engine/selection.h"
#include "engine/word_list.h"
#include "mainwindow/analysis_session.h"
#include "mainwindow/print_qt.h"
#include "ui/view_state.h"
#include "tests/support/stream_support.h"
#include "ui_support/engine_session.h"

namespace quilor::ui {
namespace {

using testing_support::EngineSession;

// The PDF's text, pages separated by form feeds; "" when pdftotext fails.
std::string PdfText(const std::string& pdf) {
  const std::string txt = pdf + ".txt";
  const std::string command = "pdftotext -layout '" + pdf + "' '" + txt + "' 2>/dev/null";
  if (std::system(command.c_str()) != 0) return "";
  std::ifstream in(txt, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  // Undo the ligatures of the PDF text.
  std::string text;
  for (const std::string& piece : {std::string(all.str())}) {
    for (size_t i = 0; i < piece.size(); ++i) {
      if (piece.compare(i, 3, "\xEF\xAC\x81") == 0) {
        text += "fi";
        i += 2;
      } else if (piece.compare(i, 3, "\xEF\xAC\x82") == 0) {
        text += "fl";
        i += 2;
      } else {
        text += piece[i];
      }
    }
  }
  return text;
}

std::vector<std::string> Pages(const std::string& text) {
  std::vector<std::string> pages;
  std::string page;
  for (char c : text) {
    if (c == '\f') {
      pages.push_back(page);
      page.clear();
    } else {
      page += c;
    }
  }
  if (page.find_first_not_of(" \n") != std::string::npos) pages.push_back(page);
  return pages;
}

// The first line with visible text of a page, trimmed.
std::string TitleLine(const std::string& page) {
  std::istringstream in(page);
  std::string line;
  while (std::getline(in, line)) {
    const size_t a = line.find_first_not_of(' ');
    if (a == std::string::npos) continue;
    line = line.substr(a);
    // The page number stands at the right of the title line.
    const size_t gap = line.find("   ");
    return gap == std::string::npos ? line : line.substr(0, gap);
  }
  return "";
}

class PrintPdf : public ::testing::Test {
 protected:
  void SetUp() override {
    session_ = std::make_unique<EngineSession>();
    ASSERT_TRUE(session_->Started());
    ViewState.Reset();
    ViewState.selection.Clear();
    Options->Set(opt::ThresholdKind, 0);
  }
  void TearDown() override {
    ViewState.selection.Clear();
    ViewState.Reset();
  }
  std::unique_ptr<EngineSession> session_;
};

TEST_F(PrintPdf, TextEpisodesAndGraphEachOnTheirPagesInThatOrder) {
  ASSERT_TRUE(session_->Analyse({EngineSession::SamplePath("sample.txt")}));
  // The sample is too short for bursts: two of the first class, in episodes 1 and 2.
  const int32_t item = OntologyEngine->RankedClass(1, 1);
  AnalysisResults->Bursts = {{item, 1, 4, 10, 20, 15.0f}, {item, 2, 3, 40, 60, 50.0f}};
  AnalysisResults->BurstCount = 2;
  ViewState.GraphShown = true;
  ViewState.selection.kind = kSelectClass;
  ViewState.selection.classLevel = 1;
  ViewState.selection.firstClass = static_cast<uint32_t>(OntologyEngine->RankedClass(1, 1));
  ViewState.selection.firstTerm = OntologyEngine->RankedClassName(1, 1);
  TPrintRequest request;
  request.flags[kPrintText] = request.flags[kPrintEpisodes] = request.flags[kPrintGraph] = true;
  request.footer = CurrentPrintFooter();
  const std::string pdf = session_->Folder() + "/out.pdf";
  TPrintOutcome outcome;
  ASSERT_TRUE(PrintToPdf(pdf, request, &outcome));
  EXPECT_EQ(outcome.printed, (std::vector<int>{kPrintText, kPrintEpisodes, kPrintGraph}));
  EXPECT_FALSE(PrintRunning);
  const std::vector<std::string> pages = Pages(PdfText(pdf));
  ASSERT_GE(pages.size(), 3u);
  std::vector<std::string> titles;
  for (const std::string& page : pages)
    if (titles.empty() || titles.back() != TitleLine(page)) titles.push_back(TitleLine(page));
  EXPECT_EQ(titles, (std::vector<std::string>{"Text", "Episodes", "Graph"}));
  // Page numbers restart with each section: the Episodes' first page is 1.
  size_t firstEpisodes = 0;
  while (firstEpisodes < pages.size() && TitleLine(pages[firstEpisodes]) != "Episodes") ++firstEpisodes;
  ASSERT_LT(firstEpisodes, pages.size());
  EXPECT_NE(pages[firstEpisodes].find("Episodes"), std::string::npos);
  EXPECT_NE(pages[firstEpisodes].find("Episode 1"), std::string::npos);
  EXPECT_NE(pages[firstEpisodes].find("Episode 2"), std::string::npos);
}

TEST_F(PrintPdf, ExtractsPrintOnlyTheSelectedPropositionsAndKeepTheCursor) {
  ASSERT_TRUE(session_->Analyse({EngineSession::SamplePath("sample.txt")}));
  TPrintRequest request;
  request.flags[kPrintText] = true;
  const std::string full = session_->Folder() + "/full.pdf";
  ASSERT_TRUE(PrintToPdf(full, request));
  ViewState.selection.kind = kSelectClass;
  ViewState.selection.classLevel = 1;
  ViewState.selection.firstClass = static_cast<uint32_t>(OntologyEngine->RankedClass(1, 1));
  ViewState.selection.firstTerm = OntologyEngine->RankedClassName(1, 1);
  ViewState.SelectionActive = true;
  ViewState.ExtractMode = true;
  TextWords.Rewind();
  TextWords.SetCursor(TWordList::NextNode(TextWords.NextNode(TextWords.Cursor())));
  TWordNode* const before = TextWords.Cursor();
  const std::string extracts = session_->Folder() + "/extracts.pdf";
  ASSERT_TRUE(PrintToPdf(extracts, request));
  EXPECT_EQ(TextWords.Cursor(), before);
  const std::string fullText = PdfText(full), extractText = PdfText(extracts);
  EXPECT_LT(extractText.size(), fullText.size());
  // Quotes and punctuation are spaced as on the text page: closing ones
  // stick to the word before them, opening ones to the word after them.
  std::string running;
  for (const char c : fullText) {
    const char blank = c == '\n' || c == '\f' ? ' ' : c;
    if (blank != ' ' || (!running.empty() && running.back() != ' ')) running += blank;
  }
  EXPECT_NE(running.find("can't stop it now,\" his daughter told him. \"If the"), std::string::npos) << running;
  // No occurrence at all: the section ends at once, the cursor kept.
  ViewState.selection.firstClass = 0;
  ViewState.selection.firstTerm = "nothing-of-the-kind";
  ASSERT_TRUE(PrintToPdf(session_->Folder() + "/none.pdf", request));
  EXPECT_EQ(TextWords.Cursor(), before);
  EXPECT_LT(PdfText(session_->Folder() + "/none.pdf").size(), extractText.size());
}

TEST_F(PrintPdf, AListOfFilesHasTheListFooterOnEveryPage) {
  std::vector<std::string> files;
  for (int i = 0; i < 3; ++i)
    files.push_back(session_->Write("f" + std::to_string(i) + ".txt",
                                    "The river flows to the sea. The dam holds the water of the river.\n"));
  ASSERT_TRUE(session_->Analyse(files));
  ASSERT_EQ(FileQueue.Count(), 3);
  TPrintRequest request;
  request.flags[kPrintText] = request.flags[kPrintLevel1] = true;
  request.footer = CurrentPrintFooter();
  const std::string pdf = session_->Folder() + "/list.pdf";
  ASSERT_TRUE(PrintToPdf(pdf, request));
  const std::vector<std::string> pages = Pages(PdfText(pdf));
  ASSERT_GE(pages.size(), 2u);
  for (const std::string& page : pages)
    EXPECT_NE(page.find("statistics on a list of files"), std::string::npos) << page;
}

// A word of the PDF and its box, in points.
struct PdfWord {
  int page = 0;
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
  std::string text;
};

// The words of the PDF with their boxes (pdftotext -bbox), and each page's size.
std::vector<PdfWord> PdfWords(const std::string& pdf, double& pageWidth, double& pageHeight) {
  const std::string html = pdf + ".html";
  const std::string command = "pdftotext -bbox '" + pdf + "' '" + html + "' 2>/dev/null";
  std::vector<PdfWord> words;
  if (std::system(command.c_str()) != 0) return words;
  std::ifstream in(html);
  std::string line;
  int page = 0;
  auto number = [](const std::string& l, const char* name) {
    const size_t at = l.find(std::string(name) + "=\"");
    return at == std::string::npos ? 0.0 : std::atof(l.c_str() + at + std::strlen(name) + 2);
  };
  while (std::getline(in, line)) {
    if (line.find("<page ") != std::string::npos) {
      ++page;
      pageWidth = number(line, "width");
      pageHeight = number(line, "height");
    } else if (line.find("<word ") != std::string::npos) {
      PdfWord w{page, number(line, "xMin"), number(line, "yMin"), number(line, "xMax"), number(line, "yMax"), ""};
      const size_t from = line.find('>') + 1;
      w.text = line.substr(from, line.find("</word>") - from);
      words.push_back(w);
    }
  }
  return words;
}

// At every font size the font dialog offers, from the smallest to the
// biggest, the pages keep margins of 15 mm and no two words of a page
// overlap: the number columns never overprint each other or the names.
TEST_F(PrintPdf, NoTextCollidesAndMarginsHoldAtEveryFontSize) {
  ASSERT_TRUE(session_->Analyse({EngineSession::SamplePath("sample.txt")}));
  Options->Set(opt::ScenarioFileName, kDefaultScenarioName);
  for (const int points : {6, 12, 36, 72}) {
    TPrintRequest request;
    for (const int item : {kPrintStyle, kPrintLevel3, kPrintLevel1, kPrintScenario, kPrintRelations, kPrintEpisodes,
                           kPrintVerbs, kPrintAdjectives})
      request.flags[static_cast<size_t>(item)] = true;
    request.font.size = points;
    request.title = "sample.txt";
    request.footer = CurrentPrintFooter();
    const std::string pdf = session_->Folder() + "/size" + std::to_string(points) + ".pdf";
    ASSERT_TRUE(PrintToPdf(pdf, request));
    double width = 0, height = 0;
    const std::vector<PdfWord> words = PdfWords(pdf, width, height);
    ASSERT_GT(words.size(), 50u) << points;
    const double margin = 15.0 * 72 / 25.4 - 0.5;
    for (const PdfWord& w : words) {
      EXPECT_GE(w.xMin, margin) << points << " pt, page " << w.page << ": " << w.text;
      EXPECT_GE(w.yMin, margin) << points << " pt, page " << w.page << ": " << w.text;
      EXPECT_LE(w.xMax, width - margin) << points << " pt, page " << w.page << ": " << w.text;
      EXPECT_LE(w.yMax, height - margin) << points << " pt, page " << w.page << ": " << w.text;
    }
    int collisions = 0;
    for (size_t i = 0; i < words.size(); ++i)
      for (size_t j = i + 1; j < words.size() && words[j].page == words[i].page; ++j) {
        const PdfWord& a = words[i];
        const PdfWord& b = words[j];
        // Boxes of glyphs overlap a little from line to line: a collision takes a real overlap.
        const double across = std::min(a.xMax, b.xMax) - std::max(a.xMin, b.xMin);
        const double down = std::min(a.yMax, b.yMax) - std::max(a.yMin, b.yMin);
        if (across > 0.5 && down > 0.3 * std::min(a.yMax - a.yMin, b.yMax - b.yMin)) {
          if (++collisions <= 3)
            ADD_FAILURE() << points << " pt, page " << a.page << ": \"" << a.text << "\" over \"" << b.text << "\"";
        }
      }
    EXPECT_EQ(collisions, 0) << points << " pt";
    // The Scenario's title keeps the case of its name.
    bool scenarioTitle = false;
    for (const std::string& page : Pages(PdfText(pdf)))
      scenarioTitle |= TitleLine(page).rfind("Scenario Concepts US V8", 0) == 0;
    EXPECT_TRUE(scenarioTitle || points > 36) << points;
  }
}

TEST_F(PrintPdf, NothingTickedWritesNoFileAndAnUnwritableOutputIsReported) {
  ASSERT_TRUE(session_->Analyse({EngineSession::SamplePath("sample.txt")}));
  const std::string pdf = session_->Folder() + "/none.pdf";
  TPrintRequest request;
  ASSERT_TRUE(PrintToPdf(pdf, request));
  std::ifstream none(pdf);
  EXPECT_FALSE(none.good());
  request.flags[kPrintLevel1] = true;
  session_->Ui().ClearLog();
  EXPECT_FALSE(PrintToPdf(session_->Folder() + "/no/such/folder/x.pdf", request));
  ASSERT_EQ(session_->Ui().Shown().size(), 1u);
  // The whole message, then the output's name.
  EXPECT_EQ(session_->Ui().Shown()[0].text,
            "The print could not be started on: " + session_->Folder() + "/no/such/folder/x.pdf");
  EXPECT_FALSE(PrintRunning);
}

// The printed file takes its name whole: a link planted under that name is
// replaced, and the file it named is never written.
TEST_F(PrintPdf, ALinkUnderTheOutputNameIsReplacedNotFollowed) {
  ASSERT_TRUE(session_->Analyse({EngineSession::SamplePath("sample.txt")}));
  const std::string victim = session_->Write("precious.txt", "precious");
  const std::string pdf = session_->Folder() + "/printed.pdf";
  std::filesystem::create_symlink(victim, pdf);
  TPrintRequest request;
  request.flags[kPrintLevel1] = true;
  ASSERT_TRUE(PrintToPdf(pdf, request));
  std::ifstream in(victim);
  std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(kept, "precious");
  EXPECT_FALSE(std::filesystem::is_symlink(pdf));
  EXPECT_FALSE(PdfText(pdf).empty());
  for (const auto& entry : std::filesystem::directory_iterator(session_->Folder()))
    EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();  // no temporary file stays
}

// The printed style table: under its header one blank row, then the groups
// of categories, one blank row between two groups and none within a group.
TEST_F(PrintPdf, TheStyleTableLeavesOneBlankRowBetweenItsGroups) {
  ASSERT_TRUE(session_->Analyse({EngineSession::SamplePath("sample.txt")}));
  TPrintRequest request;
  request.flags[kPrintStyle] = true;
  request.title = "sample.txt";
  request.footer = CurrentPrintFooter();
  const std::string pdf = session_->Folder() + "/style.pdf";
  ASSERT_TRUE(PrintToPdf(pdf, request));
  double width = 0, height = 0;
  const std::vector<PdfWord> words = PdfWords(pdf, width, height);
  // The rows of the left column, from its header down, by their tops.
  double header = -1;
  for (const PdfWord& w : words)
    if (w.page == 1 && w.text == "Category" && w.xMax < width / 2) header = w.yMin;
  ASSERT_GE(header, 0);
  std::vector<double> rows;
  for (const PdfWord& w : words)
    if (w.page == 1 && w.xMax < width / 2 && w.yMin >= header - 0.5 &&
        (rows.empty() || std::none_of(rows.begin(), rows.end(), [&](double y) { return std::abs(y - w.yMin) < 1; })))
      rows.push_back(w.yMin);
  std::sort(rows.begin(), rows.end());
  ASSERT_GE(rows.size(), 10u);
  std::vector<double> steps;
  for (size_t i = 1; i < rows.size(); ++i) steps.push_back(rows[i] - rows[i - 1]);
  const double line = *std::min_element(steps.begin(), steps.end());
  std::vector<int> blanks;  // the blank rows before each row
  for (double step : steps) blanks.push_back(static_cast<int>(std::lround(step / line)) - 1);
  ASSERT_FALSE(blanks.empty());
  EXPECT_EQ(blanks[0], 1);  // under the header
  // Four groups: three blank rows between them, no other.
  EXPECT_EQ(std::count(blanks.begin() + 1, blanks.end(), 1), 3);
  EXPECT_EQ(std::count(blanks.begin() + 1, blanks.end(), 0), static_cast<long>(blanks.size()) - 4);
}

}  // namespace
}  // namespace quilor::ui
