// The results of an analysis as plain text (Windows-1252), for tools that
// run without windows: the category counters with their percentages, the
// ranked classes of each level with their counts, and the relations of each
// level with their counts, most frequent first. Fields are separated by tabs.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/analysis_results.h"

namespace quilor {

constexpr int kMsgReportCategories = 5850;
constexpr int kMsgReportLevelFirst = 5851;  // 5851..5854: the names of levels 1..4
constexpr int kMsgReportRelations = 5855;

// Sections: "# Categories" (code, label, count, percentage), then per level
// "# <level name>" (rank, class, count) and "# Relations: <level name>"
// (first class, second class, count). Levels without classes are left out.
// The levels' lines are written in parts at once (parts 0: one for each
// usable processor and 4,096 lines, at most kMostReportParts); the text is
// the same.
constexpr size_t kMostReportParts = 8;
std::string ResultsReport(const TAnalysisResults& results, size_t parts = 0);
// The same text in pieces that follow each other (the categories, then the
// levels' parts), in UTF-8 when utf8 is true: a writer takes them in turn
// without joining them first.
std::vector<std::string> ResultsReportParts(const TAnalysisResults& results, bool utf8, size_t parts = 0);

}  // namespace quilor
