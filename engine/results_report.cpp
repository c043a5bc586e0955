#include "engine/results_report.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/messages.h"
#include "core/worker_threads.h"
#include "engine/category_counters.h"
#include "engine/ontology_engine.h"
#include "platform/usable_cores.h"

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

// The lines of a level's section, numbered from 0: its heading and ranked
// classes (when it has any), then the heading of its relations and their
// kinds (when it has any).
struct LevelLines {
  int level = 0;
  size_t ranked = 0;
  size_t kinds = 0;
  size_t RelationsFrom() const { return ranked ? ranked + 1 : 0; }
  size_t Count() const { return RelationsFrom() + (kinds ? kinds + 1 : 0); }
};

// Lines from..to (to not included) of a level's section.
void WriteLevelLines(const TAnalysisResults& results, const TOntologyEngine& engine, const LevelLines& lines,
                     const std::string& name, const std::string& relationsHeading, size_t from, size_t to,
                     std::string& out) {
  const int level = lines.level;
  const size_t relations = lines.RelationsFrom();
  for (size_t i = from; i < to && i < relations; ++i) {
    if (i == 0) {
      out += "# " + name + '\n';
      continue;
    }
    const auto k = static_cast<int32_t>(i);
    Line(out, {std::to_string(k), engine.RankedClassName(level, k),
               std::to_string(engine.RankedClassOccurrences(level, k))});
  }
  for (size_t i = std::max(from, relations); i < to; ++i) {
    if (i == relations) {
      out += "# " + relationsHeading + ": " + name + '\n';
      continue;
    }
    uint32_t first = 0, second = 0, count = 0;
    if (!results.Relations.KindEntry(level, i - relations - 1, first, second, count)) break;
    Line(out, {engine.ClassName(level, static_cast<int32_t>(first)),
               engine.ClassName(level, static_cast<int32_t>(second)), std::to_string(count)});
  }
}

}  // namespace

std::string ResultsReport(const TAnalysisResults& results, size_t parts) {
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
  // The levels only read the results: their lines are written in parts at
  // once, each part a run of lines of about the same length, joined in order.
  std::string names[kRelationLevels];
  LevelLines levels[kRelationLevels];
  size_t total = 0;
  for (int level = 1; level <= kRelationLevels; ++level) {
    names[level - 1] = GetMessageText(kMsgReportLevelFirst + level - 1);
    LevelLines& l = levels[level - 1];
    l.level = level;
    l.ranked = static_cast<size_t>(std::max(0, engine.RankedClassTotal(level)));
    l.kinds = results.Relations.KindCount(level);
    total += l.Count();
  }
  const std::string relations = GetMessageText(kMsgReportRelations);
  if (parts == 0) parts = std::clamp<size_t>(UsableCores(), 1, kMostReportParts);
  parts = std::max<size_t>(1, std::min(parts, total));
  std::vector<std::string> written(parts);
  RunInParallel(parts, "report", [&](size_t p) {
    // The part's lines, numbered over the levels one after the other.
    const size_t from = total * p / parts, to = total * (p + 1) / parts;
    std::string& text = written[p];
    text.reserve((to - from) * 32);
    size_t start = 0;
    for (const LevelLines& l : levels) {
      const size_t end = start + l.Count();
      if (from < end && to > start)
        WriteLevelLines(results, engine, l, names[l.level - 1], relations, std::max(from, start) - start,
                        std::min(to, end) - start, text);
      start = end;
    }
  });
  ThrowIfWorkerFailed();
  size_t length = out.size();
  for (const std::string& text : written) length += text.size();
  out.reserve(length);
  for (const std::string& text : written) out += text;
  return out;
}

}  // namespace quilor
