#include "mainwindow/results_lines.h"

#include <algorithm>

#include "core/name_index.h"
#include "engine/ontology_engine.h"
#include "ui/canvas.h"

namespace quilor::ui {

std::string PadCount(uint32_t count) {
  std::string digits = std::to_string(count);
  if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
  return digits;
}

bool ActorColumn(uint32_t count, uint32_t actantCount, const TActorFilters& filters, std::string& column) {
  column.clear();
  if (!filters.Any()) return true;
  uint32_t p = count > 0 ? static_cast<uint32_t>(uint64_t{actantCount} * 100 / count) : 0;
  if (filters.actant) p = p > 100 ? 0 : 100 - p;
  if (p < 50) return false;
  column = "\t(" + std::to_string(p) + "%)";
  return true;
}

std::vector<std::string> ClassLevelLines(const std::vector<TRankedClass>& ranked, uint32_t minimum,
                                         const TActorFilters& filters) {
  std::vector<std::string> lines;
  std::string column;
  for (const TRankedClass& c : ranked) {
    if (c.count < minimum || lines.size() >= kMaxResultLines) break;
    if (!ActorColumn(c.count, c.actantCount, filters, column)) continue;
    lines.push_back(c.name + '\t' + PadCount(c.count) + column);
  }
  return lines;
}

TScenarioLines ScenarioLines(const std::vector<TScenarioClass>& classes, const std::vector<uint32_t>& ranking,
                             bool alphabetical, bool branchesHidden, uint32_t minimum, const TActorFilters& filters) {
  TScenarioLines out;
  const uint32_t n = static_cast<uint32_t>(std::min<size_t>(classes.empty() ? 0 : classes.size() - 1, kMaxResultLines));
  if (n == 0) return out;
  std::string column;
  auto add = [&](uint32_t i) {
    const TScenarioClass& c = classes[i];
    if (branchesHidden && c.parent != 0) return;
    if (c.count < minimum || out.lines.size() >= kMaxResultLines) return;
    if (!ActorColumn(c.count, c.actantCount, filters, column)) return;
    out.lines.push_back(c.name + '\t' + PadCount(c.count) + '\t' + std::to_string(c.parent) + column);
    out.tags.push_back(i);
  };
  if (alphabetical) {
    for (uint32_t i = 1; i <= n; ++i)
      if (classes[i].occurs) add(i);
    return out;
  }
  for (uint32_t top : ranking) {
    if (top < 1 || top > n) continue;
    add(top);
    // The entries under a group follow it with a deeper parent link.
    for (uint32_t i = top + 1; i <= n && classes[i].parent > classes[top].parent; ++i)
      if (classes[i].occurs) add(i);
  }
  return out;
}

bool RelationNames(const TRelationGroup& g, const std::function<std::string(uint32_t)>& className,
                   const std::function<bool(uint32_t)>& occurs, std::string& names) {
  names.clear();
  if (g.count <= 1) return false;
  int named = 0;
  uint32_t previous = 0;
  for (uint32_t cls : g.rows) {
    if (cls == 0) continue;
    if ((occurs && !occurs(cls)) || cls == previous) return false;
    if (named++ > 0) names += " > ";
    names += className(cls);
    previous = cls;
  }
  return named >= 2;
}

std::vector<std::string> RelationLines(const std::vector<TRelationGroup>& groups,
                                       const std::function<std::string(uint32_t)>& className,
                                       const std::function<bool(uint32_t)>& occurs) {
  std::vector<std::string> lines;
  size_t read = 0;
  std::string names;
  for (const TRelationGroup& g : groups) {
    if (++read > kMaxRelationLines) break;
    if (RelationNames(g, className, occurs, names)) lines.push_back('(' + names + ")\t" + PadCount(g.count));
  }
  return lines;
}

std::vector<std::string> LemmaLines(const std::vector<TLemmaCount>& lemmas, uint32_t minimum, bool ranked) {
  std::vector<std::string> lines;
  for (const TLemmaCount& l : lemmas) {
    if (l.count < minimum) {
      if (ranked) break;
      continue;
    }
    if (lines.size() >= kMaxResultLines) break;
    lines.push_back(l.name + '\t' + PadCount(l.count));
  }
  return lines;
}

std::vector<std::string> EpisodeLines(const std::vector<TBurstRecord>& bursts, uint32_t episode,
                                      const std::function<std::string(int32_t)>& itemName) {
  std::vector<std::string> lines;
  for (const TBurstRecord& b : bursts)
    if (b.episode == episode) lines.push_back(itemName(b.itemId) + '\t' + PadCount(b.count));
  return lines;
}

std::vector<TRankedClass> CollectRankedClasses(int level) {
  std::vector<TRankedClass> out;
  if (!OntologyEngine) return out;
  const int32_t total = OntologyEngine->RankedClassTotal(level);
  out.reserve(static_cast<size_t>(std::max(total, 0)));
  for (int32_t r = 1; r <= total; ++r) {
    const int32_t cls = OntologyEngine->RankedClass(level, r);
    TRankedClass c;
    c.name = OntologyEngine->ClassName(level, cls);
    c.count = OntologyEngine->RankedClassOccurrences(level, r);
    c.actantCount = AnalysisResults ? AnalysisResults->PreVerbCount(level, static_cast<uint32_t>(cls)) : 0;
    out.push_back(std::move(c));
  }
  return out;
}

std::vector<TScenarioClass> CollectScenarioClasses() {
  std::vector<TScenarioClass> out(1);
  if (!OntologyEngine) return out;
  const uint32_t n = std::min<uint32_t>(OntologyEngine->ScenarioEntryCount(), kMaxResultLines);
  out.reserve(n + 1);
  for (uint32_t i = 1; i <= n; ++i) {
    TScenarioClass c;
    c.name = OntologyEngine->ScenarioClassName(static_cast<int32_t>(i));
    c.count = OntologyEngine->ScenarioEntryOccurrences(i);
    c.parent = OntologyEngine->ScenarioEntryParent(i);
    c.depth = OntologyEngine->ScenarioEntryDepth(i);
    c.occurs = OntologyEngine->ScenarioEntryCounted(i) && c.count > 0;
    c.actantCount = AnalysisResults ? AnalysisResults->PreVerbCount(4, i) : 0;
    out.push_back(std::move(c));
  }
  return out;
}

std::vector<uint32_t> CollectScenarioRanking() {
  std::vector<uint32_t> out;
  if (!OntologyEngine) return out;
  for (int32_t r = 1; r <= OntologyEngine->RankedClassTotal(4); ++r)
    out.push_back(static_cast<uint32_t>(OntologyEngine->RankedClass(4, r)));
  return out;
}

std::vector<TRelationGroup> CollectRelationGroups(int level) {
  std::vector<TRelationGroup> out;
  if (!AnalysisResults) return out;
  uint32_t first = 0, second = 0, count = 0;
  for (size_t i = 0; i < kMaxRelationLines && AnalysisResults->Relations.KindEntry(level, i, first, second, count); ++i)
    out.push_back(TRelationGroup{{first, second}, count});
  return out;
}

std::vector<TLemmaCount> CollectLemmas(int kind, bool alphabetical) {
  std::vector<TLemmaCount> out;
  if (kind == 9 || kind == 10) {
    TStringHashIndex* index = kind == 9 ? VerbIndex : AdjectiveIndex;
    if (!index) return out;
    if (index->RankedCount() == 0) index->RankEntriesByCount();
    for (int k = 1; k <= index->RankedCount(); ++k) {
      const int entry = index->EntryAtRank(k);
      const char* name = index->NameOfEntry(entry);
      out.push_back({name ? name : "", index->CountOfEntry(entry)});
    }
    return out;
  }
  if (kind != 11 || !TextIndex) return out;
  auto add = [&](uint32_t entry) {
    const char* name = TextIndex->TextIndexNameOf(entry);
    out.push_back({name ? name : "", TextIndex->TextIndexCountOf(entry)});
  };
  if (alphabetical) {
    // Every base form of the dictionary has an entry: only those of the text are read.
    for (uint32_t entry = 1; entry <= TextIndex->entries; ++entry)
      if (TextIndex->TextIndexCountOf(entry) > 0) add(entry);
  } else {
    if (TextIndex->rankedCount == 0) TextIndex->RankTextIndexByCount();
    for (uint32_t k = 1; k <= TextIndex->rankedCount; ++k) add(TextIndex->TextIndexEntryAtRank(k));
  }
  return out;
}

std::vector<std::string> SplitColumns(const std::string& line) {
  std::vector<std::string> columns;
  size_t start = 0;
  for (;;) {
    const size_t tab = line.find('\t', start);
    columns.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return columns;
}

std::vector<int> MeasureResultColumns(Canvas& canvas, const std::vector<std::string>& lines) {
  std::vector<int> widths;
  for (const std::string& line : lines) {
    const std::vector<std::string> columns = SplitColumns(line);
    if (widths.size() < columns.size()) widths.resize(columns.size(), 0);
    for (size_t k = 0; k < columns.size(); ++k) widths[k] = std::max(widths[k], canvas.TextWidth(columns[k]));
  }
  return widths;
}

TResultColumns PlaceResultColumns(std::vector<int> widths, int nameLimit, int indent,
                                  const std::vector<int>& captionWidths) {
  TResultColumns layout;
  if (widths.empty()) return layout;
  if (nameLimit > 0) widths[0] = std::min(widths[0], nameLimit);
  widths[0] += indent;
  for (size_t k = 1; k < widths.size() && k < captionWidths.size(); ++k)
    widths[k] = std::max(widths[k], captionWidths[k]);
  layout.widths = std::move(widths);
  int x = 0;
  for (const int width : layout.widths) {
    layout.starts.push_back(x);
    x += width + kColumnGap;
  }
  return layout;
}

}  // namespace quilor::ui
