#include "engine/results_report.h"

#include <cstdio>

#include "core/messages.h"
#include "core/worker_threads.h"
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

// A level's ranked classes and the kinds of its relations.
std::string LevelSection(const TAnalysisResults& results, const TOntologyEngine& engine, int level,
                         const std::string& name, const std::string& relationsHeading) {
  std::string out;
  const int32_t ranked = engine.RankedClassTotal(level);
  if (ranked > 0) {
    out += "# " + name + '\n';
    for (int32_t k = 1; k <= ranked; ++k)
      Line(out, {std::to_string(k), engine.RankedClassName(level, k),
                 std::to_string(engine.RankedClassOccurrences(level, k))});
  }
  if (results.Relations.KindCount(level) == 0) return out;
  out += "# " + relationsHeading + ": " + name + '\n';
  uint32_t first = 0, second = 0, count = 0;
  for (size_t i = 0; results.Relations.KindEntry(level, i, first, second, count); ++i)
    Line(out, {engine.ClassName(level, static_cast<int32_t>(first)),
               engine.ClassName(level, static_cast<int32_t>(second)), std::to_string(count)});
  return out;
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
  // The levels only read the results: their sections are written at once.
  std::string names[kRelationLevels], sections[kRelationLevels];
  for (int level = 1; level <= kRelationLevels; ++level)
    names[level - 1] = GetMessageText(kMsgReportLevelFirst + level - 1);
  const std::string relations = GetMessageText(kMsgReportRelations);
  RunInParallel(kRelationLevels, "report", [&](size_t k) {
    sections[k] = LevelSection(results, engine, static_cast<int>(k) + 1, names[k], relations);
  });
  ThrowIfWorkerFailed();
  size_t length = out.size();
  for (const std::string& section : sections) length += section.size();
  out.reserve(length);
  for (const std::string& section : sections) out += section;
  return out;
}

}  // namespace quilor
