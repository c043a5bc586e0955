#include "mainwindow/print_sections.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "core/category.h"
#include "core/chartables.h"
#include "core/file_queue.h"
#include "core/files.h"
#include "core/messages.h"
#include "engine/analysis_results.h"
#include "engine/category_counters.h"
#include "engine/diagnosis.h"
#include "engine/ontology_engine.h"
#include "core/options.h"
#include "engine/selection.h"
#include "engine/word_list.h"
#include "mainwindow/analysis_session.h"
#include "mainwindow/graph.h"
#include "mainwindow/graph_source.h"
#include "mainwindow/text_page_layout.h"
#include "ui/view_state.h"

namespace quilor::ui {

namespace {

constexpr int kMsgText = 719, kMsgStyle = 779, kMsgLevel3 = 307, kMsgLevel2 = 308, kMsgReferences = 300;
constexpr int kMsgScenario = 309, kMsgRelations = 390, kMsgGraph = 512, kMsgEpisodes = 564, kMsgVerbs = 845;
constexpr int kMsgAdjectives = 848, kMsgClass = 279, kMsgFreq = 280, kMsgRate = 278, kMsgActant = 460;
constexpr int kMsgActed = 461, kMsgStart = 541, kMsgEnd = 542, kMsgAddress = 565, kMsgEpisode = 562;
constexpr int kMsgClassList = 282, kMsgStatisticsOn = 192, kMsgListOfFiles = 193;
constexpr int kMsgStatistics = 234, kMsgCategory = 76, kMsgNum = 277, kMsgCategoryLabels = 89;
constexpr int kCategoryVerb = 43, kCategoryAdjective = 51;
// In extracts shown by context, a proposition of fewer words goes on with the next on its line.
constexpr int kContextWords = 15;

std::string Text(int id) { return GetMessageText(id); }

std::string Number(uint32_t value, int width) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%*u", width, value);
  return buffer;
}

double Rate(uint32_t count, uint32_t base) { return base < 1 ? 0.0 : 100.0 * count / base; }

// The header of the class tables.
TPrintRow ClassHeader() {
  TPrintRow h;
  h.bold = true;
  h.name = Text(kMsgClass);
  h.columns = {Text(kMsgFreq), SentenceCase(Text(kMsgRate)), Text(kMsgActant), Text(kMsgActed)};
  return h;
}

TPrintRow ClassRow(const std::string& name, uint32_t count, uint32_t actantCount, uint32_t base) {
  TPrintRow row;
  row.name = name;
  const int actant = count < 1 ? 0 : static_cast<int>(100.0 * actantCount / count);
  row.columns = {Number(count, 5), PercentText(Rate(count, base), 3), PercentText(actant, 0),
                 PercentText(100 - actant, 0)};
  return row;
}

uint32_t CurrentBase() { return CalculationBase(RunCounts.propositions, RunCounts.words); }
uint32_t Minimum() { return AnalysisResults ? AnalysisResults->MinimumClassCount : 0; }

// Sets PrintRunning for the time of a print, clears it on every way out.
class BusyFlag {
 public:
  BusyFlag() { PrintRunning = true; }
  ~BusyFlag() { PrintRunning = false; }
  BusyFlag(const BusyFlag&) = delete;
  BusyFlag& operator=(const BusyFlag&) = delete;
};

struct Section {
  int item = 0;
  std::string title;
  std::vector<TPrintRow> rows;
};

std::string LevelTitle(int level) {
  return SentenceCase(level == 1 ? Text(kMsgClassList) : level == 2 ? Text(kMsgLevel2) : Text(kMsgLevel3));
}

// The Scenario file's name without its extension, as the user wrote it ("" none).
std::string ScenarioName() {
  const std::string path = Options ? Options->Get(opt::ScenarioFileName) : std::string();
  std::string file = FileNamePart(path.c_str());
  if (const size_t dot = file.rfind('.'); dot != std::string::npos) file.erase(dot);
  return file;
}

// Titles are string-table texts in sentence case; the Scenario's name keeps its own case.
std::string WithScenarioName(std::string title) {
  const std::string file = ScenarioName();
  if (!file.empty()) title += " " + file;
  return title;
}

std::string ScenarioTitle() { return WithScenarioName(SentenceCase(Text(kMsgScenario))); }

// The rows of a table section of the current analysis; false when it has nothing to print.
bool BuildTable(int item, Section& s) {
  if (!OntologyEngine || !AnalysisResults) return false;
  const uint32_t base = CurrentBase();
  switch (item) {
    case kPrintLevel3:
    case kPrintLevel2:
    case kPrintLevel1: {
      const int level = item == kPrintLevel3 ? 3 : item == kPrintLevel2 ? 2 : 1;
      if (OntologyEngine->RankedClassTotal(level) < 1) return false;
      s.title = LevelTitle(level);
      s.rows = ClassRows(CollectRankedClasses(level), Minimum(), base);
      return true;
    }
    case kPrintScenario:
      if (!OntologyEngine->IsScenarioActive()) return false;
      s.title = ScenarioTitle();
      s.rows = ScenarioRows(CollectScenarioClasses(), CollectScenarioRanking(), Minimum(), base);
      return true;
    case kPrintRelations: {
      const int level = AnalysisResults->RelationBase;
      s.rows = RelationRows(
          CollectRelationGroups(level),
          [level](uint32_t c) { return OntologyEngine->ClassName(level, static_cast<int32_t>(c)); },
          [level](uint32_t c) { return OntologyEngine->ClassOccurrences(level, static_cast<int32_t>(c)); });
      if (s.rows.size() <= 1) return false;
      std::string title = Text(kMsgRelations) + " - ";
      title += level == 1   ? Text(kMsgClassList)
               : level == 2 ? Text(kMsgLevel2)
               : level == 3 ? Text(kMsgLevel3)
                            : Text(kMsgScenario);
      s.title = level >= 1 && level <= 3 ? SentenceCase(title) : WithScenarioName(SentenceCase(title));
      return true;
    }
    case kPrintEpisodes: {
      if (AnalysisResults->BurstCount < 1) return false;
      const size_t n = std::min<size_t>(AnalysisResults->BurstCount, AnalysisResults->Bursts.size());
      const std::vector<TBurstRecord> bursts(AnalysisResults->Bursts.begin(),
                                             AnalysisResults->Bursts.begin() + static_cast<std::ptrdiff_t>(n));
      s.title = SentenceCase(Text(kMsgEpisodes));
      s.rows = EpisodeRows(bursts, [](int32_t id) { return AnalysisResults->ItemName(id); });
      return true;
    }
    case kPrintVerbs:
    case kPrintAdjectives: {
      const bool verbs = item == kPrintVerbs;
      const std::vector<TLemmaCount> lemmas = CollectLemmas(verbs ? 9 : 10, false);
      if (lemmas.empty()) return false;
      s.title = SentenceCase(Text(verbs ? kMsgVerbs : kMsgAdjectives));
      s.rows = LemmaRows(lemmas, Minimum(), RunCounts.categories[verbs ? kCategoryVerb : kCategoryAdjective],
                         verbs ? kMsgVerbs : kMsgAdjectives);
      return true;
    }
    default: return false;
  }
}

// Keeps the word-list cursor and the search place of the selection for the
// time of the text section, restored on every way out.
class TextCursorKeeper {
 public:
  TextCursorKeeper() : record_(ViewState.selection.relationRecord) { TextWords.SaveCursor(kBookmarkWalk); }
  ~TextCursorKeeper() {
    TextWords.RestoreCursor(kBookmarkWalk);
    ViewState.selection.relationRecord = record_;
  }
  TextCursorKeeper(const TextCursorKeeper&) = delete;
  TextCursorKeeper& operator=(const TextCursorKeeper&) = delete;

 private:
  size_t record_;
};

// In extracts mode: the cursor to the proposition of the next selected
// occurrence, past its opening mark; false when there is none.
bool NextExtract(TWordList& words) {
  if (!FindNextSelectedOccurrence(false, TextWords, ViewState.selection)) return false;
  words.RestoreCursor(kBookmarkSearchStart);
  if (words.Cursor() && words.Cursor()->text && words.Cursor()->text[0] == '/')
    words.SetCursor(TWordList::NextNode(words.Cursor()));
  return true;
}

// A piece of running text whose punctuation before its first blank closes
// the text before it: that punctuation stays on its line, the rest may wrap.
bool PlaceClosingFirst(TPrintPager& pager, const std::string& piece, const Font& font) {
  const size_t closing = ClosingPrefixLength(piece);
  if (closing == 0) return pager.PlaceText(piece, font);
  return pager.PlaceText(piece.substr(0, closing), font, true) && pager.PlaceText(piece.substr(closing), font);
}

// The analysed text, word after word, wrapped at the right edge; in
// extracts mode only the propositions of the selection, one to a line.
void PrintText(TPrintPager& pager, bool colour) {
  TWordList& words = TextWords;
  const TextCursorKeeper keeper;
  words.Rewind();
  const bool extract = ViewState.ExtractMode && ViewState.SelectionActive;
  if (ViewState.SelectionActive) ViewState.selection.relationRecord = static_cast<size_t>(-1);
  const Font base = pager.BaseFont();
  const bool selective = Options && Options->Switch(opt::SelectiveColouring);
  const bool link = Options && Options->Switch(opt::LinkCompoundWords);
  const bool byContext = Options && !Options->Switch(opt::ExtractsByProposition);
  if (extract && !NextExtract(words)) return;
  int wordsOnLine = 0;
  // Punctuation and quotes spaced as on the text page; each extract opens
  // with its quotes as the whole text leaves them there.
  TTextSpacer spacer;
  bool alone = extract;  // the next word opens an extract
  for (;;) {
    TWordNode* node = words.Cursor();
    TWordCategoryData* data = nullptr;
    const char* tag = nullptr;
    int32_t position = 0;
    const char* text = words.NextWord(data, tag, position);
    if (!text) break;
    std::string pending = tag && tag[0] ? tag : " ";
    if (text[0] == '/' || !data || !node) {
      if (text[0] != '/' || !extract) {
        if (!PlaceClosingFirst(pager, spacer.Tag(pending), base)) break;
        continue;
      }
      // What the mark opens belongs to the next proposition, which the
      // extracts may pass over.
      std::string closing, opening;
      SplitAtOpening(pending, spacer.quoteOpen, closing, opening);
      if (!PlaceClosingFirst(pager, spacer.Tag(closing.empty() ? std::string(" ") : closing), base)) break;
      if (!(byContext && wordsOnLine < kContextWords)) {
        if (!pager.NewTextLine()) break;
        spacer.LineStart();
        wordsOnLine = 0;
      }
      if (!NextExtract(words)) break;
      alone = true;
      continue;
    }
    if (alone) pending = TagOfPropositionShownAlone(node, words.First(), spacer);
    alone = false;
    Font f = base;
    const Rgb wordColour = WordColour(*node, extract, selective);
    if (wordColour != kBlack) {
      f.bold = true;
      // The page's canvas darkens pale screen colours for paper.
      if (colour) f.colour = wordColour;
    }
    // The punctuation before the word goes with it, in its style, as on the text page.
    std::string piece = spacer.Tag(pending);
    piece += spacer.Word(DisplayForm(text, *data, link));
    if (!PlaceClosingFirst(pager, piece, f)) break;
    ++wordsOnLine;
  }
  pager.PageCanvas().SetFont(base);
}

// One group of the style table: a bold group row and its members.
struct StyleGroup {
  std::vector<int> bold;
  std::vector<int> members;
};

// The findings of the style diagnosis, computed again, as rows: the message
// (upper-case first letter), the episodes and characteristic parts with their numbers.
std::vector<std::pair<std::string, bool>> StyleFindingRows() {
  constexpr int kMsgEpisodesDetected = 563;
  constexpr int kMsgCharacteristicParts = 566;
  std::vector<std::pair<std::string, bool>> rows;
  if (!AnalysisResults) return rows;
  TDiagnosisList diagnosis;
  diagnosis.DiagnoseStyle(TDiagnosisInputs::Current(), nullptr);
  for (int finding : diagnosis.Findings()) {
    if (finding <= 10) continue;
    std::string text = SentenceCase(Text(finding));
    if (finding == kMsgEpisodesDetected) text = std::to_string(AnalysisResults->EpisodeCount) + " " + text;
    if (finding == kMsgCharacteristicParts) text = std::to_string(AnalysisResults->CharacteristicCount) + " " + text;
    rows.emplace_back(text, rows.empty());
  }
  return rows;
}

std::vector<int> Codes(int from, int to) {
  std::vector<int> codes;
  for (int c = from; c <= to; ++c) codes.push_back(c);
  return codes;
}

// The rows of one column of the style table: the header, then the groups;
// extraRows are rows of text only (the style diagnosis), each with its boldness.
std::vector<TPrintRow> StyleColumnRows(const std::vector<StyleGroup>& groups, uint32_t propositions,
                                       const std::vector<std::pair<std::string, bool>>& extraRows = {}) {
  const bool byPropositions = WorkContext && WorkContext->CalculationBase == 2;
  std::vector<TPrintRow> rows;
  auto row = [&](const std::string& label, const std::string& num, const std::string& rate, bool bold) {
    TPrintRow r;
    r.name = label;
    r.columns = {num, rate, "", ""};
    r.bold = bold;
    rows.push_back(std::move(r));
  };
  TPrintRow blank;
  blank.blank = true;
  auto categoryRow = [&](int code, bool group) {
    const uint32_t counter = RunCounts.categories[code];
    std::string rate;
    if (byPropositions && propositions >= 1) {
      rate = PercentText(100.0 * counter / propositions, 1);
    } else if (group && !byPropositions) {
      rate = "100";
    } else {
      rate = PercentText(RunCounts.percentages[code], 1);
    }
    row(Text(kMsgCategoryLabels + code), std::to_string(counter), rate, group);
  };
  row(Text(kMsgCategory), SentenceCase(Text(kMsgNum)), SentenceCase(Text(kMsgRate)), true);
  rows.push_back(blank);
  bool first = true;
  for (const StyleGroup& g : groups) {
    if (!first) rows.push_back(blank);
    first = false;
    for (int code : g.bold) categoryRow(code, true);
    for (int code : g.members) categoryRow(code, false);
  }
  if (!extraRows.empty()) rows.push_back(blank);
  for (const auto& [text, bold] : extraRows) row(text, std::string(), std::string(), bold);
  return rows;
}

// The frame of one column of the style table, x its left edge: the numbers
// at 3/5 and 4/5 of the column, nothing past its right edge.
TColumnFrame StyleFrame(const TPageMetrics& m, int x, int rightLimit, const TextMeasure& measure) {
  const int w = std::abs(m.halfWidth - m.header.left) / 5;
  TColumnFrame frame = TableFrame(m, measure);
  frame.nameX = x + m.lineHeight;
  frame.spots = {x + 3 * w, x + 4 * w};
  frame.rightLimit = rightLimit;
  return frame;
}

// Draws a column of the style table from line 3: labels cut before the
// numbers; text-only rows wrapped within the column.
void DrawStyleColumn(TPrintPager& pager, const std::vector<TPrintRow>& rows, int x, const TColumnLayout& layout,
                     int rightLimit) {
  Canvas& c = pager.PageCanvas();
  const TPageMetrics& m = pager.Metrics();
  const auto width = [&c](const std::string& t) { return c.TextWidth(t); };
  for (const TPrintRow& r : rows) {
    if (r.blank) {
      if (!pager.NextLine()) return;
      continue;
    }
    Font f = pager.BaseFont();
    f.bold = r.bold;
    c.SetFont(f);
    const int labelX = x + m.lineHeight;
    const bool textOnly = r.columns[0].empty() && r.columns[1].empty();
    const std::vector<std::string> lines =
        textOnly ? WrapText(r.name, rightLimit - labelX, width)
                 : std::vector<std::string>{ElideText(r.name, layout.nameEnd - labelX, width)};
    for (const std::string& line : lines) {
      if (!pager.NextLine()) return;
      c.SetFont(f);
      c.TextOut(labelX, pager.Y(), line);
    }
    for (size_t k = 0; k < 2 && k < layout.right.size(); ++k)
      if (!r.columns[k].empty()) c.TextOut(layout.right[k] - c.TextWidth(r.columns[k]), pager.Y(), r.columns[k]);
  }
  c.SetFont(pager.BaseFont());
}

// The font of a section, from the print font: no bigger than the page's
// lines hold, and smaller until every frame's columns fit (down to
// kMinPrintPoints); metrics become those of the font chosen.
template <class Fit>
Font FitSectionFont(Canvas& c, const Font& asked, TPageMetrics& metrics, const Fit& fits) {
  Font f = asked;
  f.size = std::max(MetricsForFont(metrics, asked.size).fontPoints, 1);
  for (;;) {
    const TPageMetrics m = MetricsForFont(metrics, f.size);
    const TextMeasure measure = [&c, &f](const std::string& text, bool bold) {
      Font g = f;
      g.bold = bold;
      c.SetFont(g);
      return c.TextWidth(text);
    };
    if (fits(m, measure) || f.size <= kMinPrintPoints) {
      metrics = m;
      c.SetFont(f);
      return f;
    }
    --f.size;
  }
}

// Category counts in two columns, divided by rules.
bool PrintStyle(PrintSurface& surface, const Font& asked, const TPageMetrics& page, const std::string& title,
                const std::string& footer) {
  const uint32_t propositions = RunCounts.propositions;
  const std::vector<TPrintRow> left = StyleColumnRows(
      {{{49, 48}, {40}}, {{43}, Codes(4, 7)}, {{32}, Codes(33, 39)}, {{51}, Codes(62, 64)}}, propositions);
  const std::vector<TPrintRow> right =
      StyleColumnRows({{{54}, {}}, {{45}, Codes(21, 29)}, {{52, 58}, Codes(70, 76)}}, propositions, StyleFindingRows());
  TPageMetrics m = page;
  TColumnLayout leftLayout, rightLayout;
  // The left column ends before the rule at the half width; the right one at the page's edge.
  auto limits = [](const TPageMetrics& pm) {
    const int gap = std::max(pm.lineHeight / 2, 1);
    return std::pair<int, int>{pm.halfWidth - gap, pm.header.right};
  };
  const Font font =
      FitSectionFont(surface.PageCanvas(), asked, m, [&](const TPageMetrics& pm, const TextMeasure& measure) {
        const auto [leftLimit, rightLimit] = limits(pm);
        leftLayout = LayOutColumns(left, StyleFrame(pm, 0, leftLimit, measure), measure);
        rightLayout = LayOutColumns(right, StyleFrame(pm, pm.halfWidth, rightLimit, measure), measure);
        return leftLayout.fits && rightLayout.fits;
      });
  TPrintPager pager(surface, m, font, title, footer);
  const auto [leftLimit, rightLimit] = limits(m);
  DrawStyleColumn(pager, left, 0, leftLayout, leftLimit);
  const int leftEnd = pager.CurrentLine();
  pager.SetCurrentLine(kFirstRowLine);
  DrawStyleColumn(pager, right, m.halfWidth, rightLayout, rightLimit);
  pager.SetCurrentLine(std::max(leftEnd, pager.CurrentLine()));
  pager.NextLine();
  const int y = pager.Y();
  Canvas& c = pager.PageCanvas();
  c.SetPen(kBlack);
  c.Line({0, y}, {m.pageWidth, y});
  // The rule between the columns starts below the header's rule: the title stays whole.
  c.Line({m.halfWidth, 2 * m.lineHeight + 2}, {m.halfWidth, y});
  if (pager.Aborted()) return false;
  pager.Finish();
  return true;
}

// The target's page with the colours of its lines and texts made fit for paper.
class PaperSurface : public PrintSurface {
 public:
  explicit PaperSurface(PrintSurface& page) : page_(page), canvas_(page.PageCanvas()) {}
  Canvas& PageCanvas() override { return canvas_; }
  bool NewPage() override { return page_.NewPage(); }

 private:
  PrintSurface& page_;
  PaperCanvas canvas_;
};

void DrawCurrentGraph(Canvas& canvas, const Rect& rect, bool colour) {
  EngineGraphSource source;
  TGrapheQuilor graph(source);
  graph.SetFixedScale(true);
  graph.SetPrinting(true, colour);
  graph.Draw(canvas, rect, kModeRedraw, ViewState.selection.firstTerm);
}

}  // namespace

const std::array<int, kPrintItemCount> kPrintItemCaptions = {kMsgText,       kMsgStyle,    kMsgLevel3,    kMsgLevel2,
                                                             kMsgReferences, kMsgScenario, kMsgRelations, kMsgGraph,
                                                             kMsgEpisodes,   kMsgVerbs,    kMsgAdjectives};
const std::array<int, kPrintItemCount> kPrintOrder = {kPrintText,   kPrintStyle,    kPrintLevel3,    kPrintLevel2,
                                                      kPrintLevel1, kPrintScenario, kPrintRelations, kPrintEpisodes,
                                                      kPrintGraph,  kPrintVerbs,    kPrintAdjectives};

TPrintFlags ReadPrintFlags() {
  TPrintFlags flags{};
  if (!Options) return flags;
  for (size_t i = 0; i < flags.size(); ++i) flags[i] = Options->Get(opt::PrintSwitch(i)) == 1;
  return flags;
}

void StorePrintFlags(const TPrintFlags& flags, bool colour) {
  if (!Options) return;
  for (size_t i = 0; i < flags.size(); ++i) Options->Set(opt::PrintSwitch(i), static_cast<uint8_t>(flags[i] ? 1 : 0));
  Options->Set(opt::PrintInColour, static_cast<uint8_t>(colour ? 1 : 0));
  if (WorkContext) WorkContext->PrintInColour = colour ? 1 : 0;
}

int PrintItemByName(const std::string& name) {
  static const char* const kNames[kPrintItemCount] = {"text",     "style",    "level3",    "level2",
                                                      "level1",   "scenario", "relations", "graph",
                                                      "episodes", "verbs",    "adjectives"};
  for (int i = 0; i < kPrintItemCount; ++i)
    if (name == kNames[i]) return i;
  return -1;
}

std::vector<TPrintRow> ClassRows(const std::vector<TRankedClass>& ranked, uint32_t minimum, uint32_t base) {
  std::vector<TPrintRow> rows{ClassHeader()};
  for (const TRankedClass& c : ranked) {
    if (c.count < minimum || c.name.empty()) continue;
    rows.push_back(ClassRow(c.name, c.count, c.actantCount, base));
  }
  return rows;
}

std::vector<TPrintRow> ScenarioRows(const std::vector<TScenarioClass>& classes, const std::vector<uint32_t>& ranking,
                                    uint32_t minimum, uint32_t base) {
  std::vector<TPrintRow> rows{ClassHeader()};
  rows.front().firstColumn = 1;
  const TScenarioLines lines = ScenarioLines(classes, ranking, false, false, minimum, {});
  for (uint32_t tag : lines.tags) {
    if (tag >= classes.size()) continue;
    const TScenarioClass& c = classes[tag];
    TPrintRow row = ClassRow(c.name, c.count, c.actantCount, base);
    row.depth = static_cast<int>(c.depth);
    row.firstColumn = 1;
    rows.push_back(std::move(row));
  }
  // A level goes on below a row while a later row of that depth comes before a shallower one.
  for (size_t i = 1; i < rows.size(); ++i) {
    int shallowest = rows[i].depth;
    for (size_t j = i + 1; j < rows.size() && shallowest > 0; ++j) {
      const int d = rows[j].depth;
      if (d >= 1 && d <= shallowest && d < 32) rows[i].treeLines |= 1u << d;
      shallowest = std::min(shallowest, d);
    }
  }
  return rows;
}

std::vector<TPrintRow> RelationRows(const std::vector<TRelationGroup>& groups,
                                    const std::function<std::string(uint32_t)>& className,
                                    const std::function<uint32_t(uint32_t)>& occurrences) {
  // A relation may be counted several times for one occurrence of its rarer
  // class: its share of that class is a ratio, which may pass 1, never a
  // percentage; the header says what it is of.
  constexpr int kMsgRatioOfRarer = 7343, kMsgRatio = 7344;
  TPrintRow header;
  header.bold = true;
  header.name = Text(kMsgRatioOfRarer);
  header.columns = {"", "", Text(kMsgFreq), Text(kMsgRatio)};
  std::vector<TPrintRow> rows{header};
  std::string names;
  for (const TRelationGroup& g : groups) {
    if (!RelationNames(g, className, {}, names)) continue;
    uint32_t members[2] = {0, 0};
    int n = 0;
    for (uint32_t c : g.rows)
      if (c != 0 && n < 2) members[n++] = c;
    TPrintRow row;
    row.name = names;
    const double ratio = TAnalysisResults::RatioToSmaller(g.count, occurrences(members[0]), occurrences(members[1]));
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", ratio);
    row.columns = {"", "", Number(g.count, 4), text};
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<TPrintRow> LemmaRows(const std::vector<TLemmaCount>& lemmas, uint32_t minimum, uint32_t total,
                                 int nameHeader) {
  TPrintRow header;
  header.bold = true;
  header.name = Text(nameHeader);
  header.columns = {Text(kMsgFreq), SentenceCase(Text(kMsgRate)), "", ""};
  std::vector<TPrintRow> rows{header};
  for (const TLemmaCount& l : lemmas) {
    if (l.count < minimum) break;
    if (l.name.empty()) continue;
    TPrintRow row;
    row.name = l.name;
    row.columns = {Number(l.count, 4), PercentText(Rate(l.count, total), 3), "", ""};
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<TPrintRow> EpisodeRows(const std::vector<TBurstRecord>& bursts,
                                   const std::function<std::string(int32_t)>& itemName) {
  std::vector<TPrintRow> rows;
  bool first = true;
  uint32_t episode = 0;
  for (const TBurstRecord& b : bursts) {
    if (first || b.episode != episode) {
      first = false;
      episode = b.episode;
      TPrintRow title;
      title.bold = true;
      title.name = Text(kMsgEpisode) + ' ' + std::to_string(episode);
      rows.push_back(title);
      TPrintRow header;
      header.bold = true;
      header.columns = {Text(kMsgFreq), Text(kMsgStart), Text(kMsgEnd), Text(kMsgAddress)};
      rows.push_back(header);
    }
    const std::string name = itemName(b.itemId);
    if (name.empty()) continue;
    char address[32];
    std::snprintf(address, sizeof address, "%4.1f", static_cast<double>(b.meanPosition));
    TPrintRow row;
    row.name = name;
    row.columns = {Number(b.count, 4), Number(b.firstPosition, 4), Number(b.lastPosition, 4), address};
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string PrintFooter(int fileCount, const std::string& onlyPath) {
  return fileCount == 1 ? onlyPath : Text(kMsgStatisticsOn) + Text(kMsgListOfFiles);
}

std::string CurrentPrintFooter() {
  const char* only = FileQueue.Count() == 1 ? FileQueue.Get(1) : nullptr;
  return PrintFooter(FileQueue.Count(), only ? only : (WorkContext ? WorkContext->CurrentFileName : std::string()));
}

std::string CurrentPrintTitle() {
  const std::string path = WorkContext ? WorkContext->CurrentFileName : std::string();
  return FileNamePart(path.c_str());
}

TPrintOutcome PrintSections(const TPrintRequest& request, PrintTarget& target) {
  BusyFlag busy;
  TPrintOutcome outcome;
  PrintSurface* surface = nullptr;
  std::optional<PaperSurface> paper;  // a print in colour draws through it
  TPageMetrics metrics;
  bool ended = false;
  auto end = [&] {
    if (surface && !ended) target.End();
    ended = true;
  };
  // Opens the output for the first section, a new page for the others.
  auto beginSection = [&]() -> bool {
    if (!surface) {
      surface = target.Begin(request.font, metrics);
      if (!surface) {
        outcome.ok = false;
        return false;
      }
      if (request.colour) surface = &paper.emplace(*surface);
      return true;
    }
    if (!surface->NewPage()) {
      outcome.ok = false;
      return false;
    }
    return true;
  };
  try {
    for (const int item : kPrintOrder) {
      if (!request.flags[static_cast<size_t>(item)]) continue;
      Section s;
      s.item = item;
      const bool textLoaded = AnalysisResults != nullptr && TextWords.Count() > 0;
      if (item == kPrintText) {
        if (!textLoaded) continue;
        s.title = SentenceCase(Text(kMsgText));
      } else if (item == kPrintGraph) {
        if (!ViewState.GraphShown && !request.drawGraph) continue;
        s.title = SentenceCase(Text(kMsgGraph));
      } else if (item == kPrintStyle) {
        if (!textLoaded) continue;
        s.title = SentenceCase(Text(kMsgStatistics));
      } else if (!BuildTable(item, s)) {
        continue;
      }
      if (!beginSection()) break;
      if (item == kPrintStyle) {
        if (!PrintStyle(*surface, request.font, metrics, s.title, request.footer)) {
          outcome.ok = false;
          break;
        }
        outcome.printed.push_back(item);
        continue;
      }
      // The font the page's lines hold; a table's font is made smaller until its columns fit.
      TPageMetrics page = metrics;
      TColumnLayout columns;
      const bool table = item != kPrintText && item != kPrintGraph;
      const Font font = FitSectionFont(surface->PageCanvas(), request.font, page,
                                       [&](const TPageMetrics& pm, const TextMeasure& measure) {
                                         if (!table) return true;
                                         columns = LayOutColumns(s.rows, TableFrame(pm, measure), measure);
                                         return columns.fits;
                                       });
      TPrintPager pager(*surface, page, font, s.title, request.footer);
      if (table) pager.SetColumns(columns);
      if (item == kPrintText) {
        PrintText(pager, request.colour);
      } else if (item == kPrintGraph) {
        pager.DrawFrame();
        Rect r = page.header;
        r.top = 3 * page.lineHeight;
        r.bottom = page.pageHeight - 2 * page.lineHeight;
        Canvas& canvas = surface->PageCanvas();
        if (request.drawGraph) request.drawGraph(canvas, r);
        else DrawCurrentGraph(canvas, r, request.colour);
        canvas.SetFont(font);
        outcome.printed.push_back(item);
        continue;
      } else {
        for (const TPrintRow& row : s.rows) {
          TPrintRow placed = row;
          placed.indent = row.depth * page.lineHeight;
          if (!pager.WriteRow(placed)) break;
        }
      }
      if (pager.Aborted()) {
        outcome.ok = false;
        break;
      }
      pager.Finish();
      outcome.printed.push_back(item);
    }
  } catch (...) {
    end();
    throw;
  }
  end();
  return outcome;
}

}  // namespace quilor::ui
