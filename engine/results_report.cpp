#include "engine/results_report.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string_view>
#include <vector>

#include "core/messages.h"
#include "core/worker_threads.h"
#include "engine/category_counters.h"
#include "engine/ontology_engine.h"
#include "platform/text_encoding.h"
#include "platform/usable_cores.h"

namespace quilor {

namespace {

// Text appended in Windows-1252 as it stands, or converted to UTF-8 as it
// is appended.
class ReportText {
 public:
  explicit ReportText(bool utf8) : utf8_(utf8) {}
  std::string text;

  void Append(std::string_view cp1252) {
    if (!utf8_ ||
        std::all_of(cp1252.begin(), cp1252.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
      text += cp1252;
    else text += Cp1252ToUtf8(cp1252);
  }
  // A line of fields separated by tabs; a class name never breaks the table.
  void Line(std::initializer_list<std::string_view> fields) {
    bool first = true;
    for (std::string_view f : fields) {
      if (!first) text += '\t';
      const size_t at = text.size();
      Append(f);
      for (size_t i = at; i < text.size(); ++i)
        if (text[i] == '\t' || text[i] == '\n' || text[i] == '\r') text[i] = ' ';
      first = false;
    }
    text += '\n';
  }
  void Heading(std::string_view name) {
    text += "# ";
    Append(name);
    text += '\n';
  }

 private:
  bool utf8_;
};

// A number's decimal digits, held for the length of the line that shows them.
class Digits {
 public:
  explicit Digits(long long v)
      : size_(static_cast<size_t>(std::to_chars(text_, text_ + sizeof text_, v).ptr - text_)) {}
  operator std::string_view() const { return {text_, size_}; }

 private:
  char text_[24];
  size_t size_;
};

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
                     ReportText& out) {
  const int level = lines.level;
  const size_t relations = lines.RelationsFrom();
  for (size_t i = from; i < to && i < relations; ++i) {
    if (i == 0) {
      out.Heading(name);
      continue;
    }
    const auto k = static_cast<int32_t>(i);
    out.Line({Digits(k), engine.ClassNameView(level, engine.RankedClass(level, k)),
              Digits(engine.RankedClassOccurrences(level, k))});
  }
  for (size_t i = std::max(from, relations); i < to; ++i) {
    if (i == relations) {
      out.Heading(relationsHeading + ": " + name);
      continue;
    }
    uint32_t first = 0, second = 0, count = 0;
    if (!results.Relations.KindEntry(level, i - relations - 1, first, second, count)) break;
    out.Line({engine.ClassNameView(level, static_cast<int32_t>(first)),
              engine.ClassNameView(level, static_cast<int32_t>(second)), Digits(count)});
  }
}

}  // namespace

std::vector<std::string> ResultsReportParts(const TAnalysisResults& results, bool utf8, size_t parts) {
  std::vector<std::string> written;
  {
    ReportText out(utf8);
    out.Heading(GetMessageText(kMsgReportCategories));
    for (int code = 1; code <= kDisplayCodeCount; ++code) {
      if (!RunCounts.categories[code]) continue;
      out.Line({Digits(code), CategoryLabel(code), Digits(RunCounts.categories[code]),
                Percent(RunCounts.percentages[code])});
    }
    written.push_back(std::move(out.text));
  }
  if (!OntologyEngine) return written;
  const TOntologyEngine& engine = *OntologyEngine;
  // The levels only read the results: their lines are written in parts at
  // once, each part a run of lines of about the same length, in order.
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
  // A short report is written on this thread: a part's thread would cost
  // more than its lines.
  constexpr size_t kLinesPerPart = 4096;
  if (parts == 0)
    parts = std::clamp<size_t>(std::min<size_t>(UsableCores(), total / kLinesPerPart), 1, kMostReportParts);
  parts = std::min(parts, total);
  written.resize(1 + parts);
  RunInParallel(parts, "report", [&](size_t p) {
    // The part's lines, numbered over the levels one after the other.
    const size_t from = total * p / parts, to = total * (p + 1) / parts;
    ReportText out(utf8);
    out.text.reserve((to - from) * 32);
    size_t start = 0;
    for (const LevelLines& l : levels) {
      const size_t end = start + l.Count();
      if (from < end && to > start)
        WriteLevelLines(results, engine, l, names[l.level - 1], relations, std::max(from, start) - start,
                        std::min(to, end) - start, out);
      start = end;
    }
    written[1 + p] = std::move(out.text);
  });
  ThrowIfWorkerFailed();
  return written;
}

std::string ResultsReport(const TAnalysisResults& results, size_t parts) {
  std::vector<std::string> written = ResultsReportParts(results, false, parts);
  size_t length = 0;
  for (const std::string& text : written) length += text.size();
  std::string out;
  out.reserve(length);
  for (const std::string& text : written) out += text;
  return out;
}

}  // namespace quilor
