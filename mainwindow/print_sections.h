// The printable sections and the print itself: each ticked section becomes
// rows (or running text, or the graph) laid out by TPrintPager on one print
// surface; every section begins a new page and numbers its pages from 1.
// The builders take plain inputs (tests give fake rankings); the Collect
// functions read the current analysis.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/analysis_results.h"
#include "mainwindow/print_layout.h"
#include "mainwindow/results_lines.h"

namespace quilor::ui {

// The items of the print dialog's list, in list order.
enum PrintItem : int {
  kPrintText = 0,
  kPrintStyle = 1,
  kPrintLevel3 = 2,
  kPrintLevel2 = 3,
  kPrintLevel1 = 4,
  kPrintScenario = 5,
  kPrintRelations = 6,
  kPrintGraph = 7,
  kPrintEpisodes = 8,
  kPrintVerbs = 9,
  kPrintAdjectives = 10,
  kPrintItemCount = 11
};
// The caption of each item (string numbers).
extern const std::array<int, kPrintItemCount> kPrintItemCaptions;
// The order sections print in: Episodes come before Graph.
extern const std::array<int, kPrintItemCount> kPrintOrder;

using TPrintFlags = std::array<bool, kPrintItemCount>;
TPrintFlags ReadPrintFlags();
void StorePrintFlags(const TPrintFlags& flags, bool colour);
// The item named in a list such as "text,episodes,graph"; -1 when none.
int PrintItemByName(const std::string& name);

// Class rows: the header, then each class counted at least `minimum` times.
std::vector<TPrintRow> ClassRows(const std::vector<TRankedClass>& ranked, uint32_t minimum, uint32_t base);
// Relations counted more than once naming two different classes in a row.
std::vector<TPrintRow> RelationRows(const std::vector<TRelationGroup>& groups,
                                    const std::function<std::string(uint32_t)>& className,
                                    const std::function<uint32_t(uint32_t)>& occurrences);
std::vector<TPrintRow> LemmaRows(const std::vector<TLemmaCount>& lemmas, uint32_t minimum, uint32_t total,
                                 int nameHeader);
std::vector<TPrintRow> EpisodeRows(const std::vector<TBurstRecord>& bursts,
                                   const std::function<std::string(int32_t)>& itemName);
std::vector<TPrintRow> ScenarioRows(const std::vector<TScenarioClass>& classes, const std::vector<uint32_t>& ranking,
                                    uint32_t minimum, uint32_t base);

// The footer: the one file's path, else "Statistics on  a list of files".
std::string PrintFooter(int fileCount, const std::string& onlyPath);
// The footer and the job title of the current text.
std::string CurrentPrintFooter();
std::string CurrentPrintTitle();

struct TPrintRequest {
  TPrintFlags flags{};
  bool colour = false;
  Font font;
  std::string title;  // the job's title (the text's file name)
  std::string footer;
  // Draws the graph on the printer canvas (null: the current graph with TGrapheQuilor).
  std::function<void(Canvas&, const Rect&)> drawGraph;
};

// Where the sections go: page metrics and the surface are asked for when the
// first section with something to print begins (so nothing ticked opens no
// output). Begin returns nullptr when the output cannot be opened.
class PrintTarget {
 public:
  virtual ~PrintTarget() = default;
  virtual PrintSurface* Begin(const Font& font, TPageMetrics& metrics) = 0;
  virtual void End() = 0;
};

struct TPrintOutcome {
  bool ok = true;            // false: the output failed (already reported)
  std::vector<int> printed;  // items printed, in order
};

// Prints the ticked sections of the current analysis; PrintRunning is set
// meanwhile and cleared on every way out.
TPrintOutcome PrintSections(const TPrintRequest& request, PrintTarget& target);

}  // namespace quilor::ui
