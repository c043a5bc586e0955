#include "engine/results_report.h"

#include <cstdio>

#include "core/messages.h"
#include "engine/category_counters.h"
#include "engine/ontology_engine.h"

namespace quilor {

namespace {

void Line(std::string& out, std::initializer_list<std::string> fields) {
  bool first = true;
  for (const std::string& f : fields) {
    if (!first) out += '\t';
    // A class name never breaks the table.
    const size_t at = out.size();
    out += f;
    for (size_t i = at; i < out.size(); ++i)
      if (out[i] == '\t' || out[i] == '\n' || out[i] == '\r') out[i] = ' ';
    first = false;
  }
  out += '\n';
}

std::string Percent(double p) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", p);
  return text;
}

}  // namespace

std::string ResultsReport(const TAnalysisResults& results) {
  std::string out;
  out += "# ";
  out += GetMessageText(kMsgReportCategories);
  out += '\n';
  for (int code = 1; code <= kDisplayCodeCount; ++code) {
    if (!RunCounts.categories[code]) continue;
    Line(out, {std::to_string(code), CategoryLabel(code), std::to_string(RunCounts.categories[code]),
               Percent(RunCounts.percentages[code])});
  }
  if (!OntologyEngine) return out;
  const TOntologyEngine& engine = *OntologyEngine;
  for (int level = 1; level <= kRelationLevels; ++level) {
    const std::string name = GetMessageText(kMsgReportLevelFirst + level - 1);
    const int32_t ranked = engine.RankedClassTotal(level);
    if (ranked > 0) {
      out += "# " + name + '\n';
      for (int32_t k = 1; k <= ranked; ++k)
        Line(out, {std::to_string(k), engine.RankedClassName(level, k),
                   std::to_string(engine.RankedClassOccurrences(level, k))});
    }
    if (results.Relations.KindCount(level) == 0) continue;
    out += "# " + std::string(GetMessageText(kMsgReportRelations)) + ": " + name + '\n';
    uint32_t first = 0, second = 0, count = 0;
    for (size_t i = 0; results.Relations.KindEntry(level, i, first, second, count); ++i)
      Line(out, {engine.ClassName(level, static_cast<int32_t>(first)),
                 engine.ClassName(level, static_cast<int32_t>(second)), std::to_string(count)});
  }
  return out;
}

}  // namespace quilor
