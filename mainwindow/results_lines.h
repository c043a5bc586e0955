// The lines of the results list, one builder per result type. Every line is
// Windows-1252 text with TAB-separated columns: a name, its count padded to at
// least four digits, and for some types further columns. The builders work on
// plain inputs (tests give fake rankings); the Collect functions read them
// from the analysis (OntologyEngine, the name indexes, AnalysisResults).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/analysis_results.h"

namespace quilor::ui {

constexpr size_t kMaxResultLines = 65535;
constexpr size_t kMaxRelationLines = 12000;

// "0012"; counts of five or more digits are written whole.
std::string PadCount(uint32_t count);

// The actor filters of the class lists: each is on when its checkbox is
// unchecked (Actant: before verbs; Acted: after them).
struct TActorFilters {
  bool actant = false;  // CheckBoxActant unchecked: only the acted share is listed
  bool acted = false;   // CheckBoxActe unchecked
  bool Any() const { return actant || acted; }
};

// The actant column of a class counted `count` times, `actantCount` of them
// before verbs: "" when no filter is on, nothing (the class is skipped,
// returns false) when the filtered share is below 50 %, else "\t(p%)".
bool ActorColumn(uint32_t count, uint32_t actantCount, const TActorFilters& filters, std::string& column);

struct TRankedClass {
  std::string name;
  uint32_t count = 0;
  uint32_t actantCount = 0;  // occurrences before the first verb of their proposition
};

// Classes of a level in decreasing count: "name\t0010" (and the actor
// column); the list ends at the first count below the minimum.
std::vector<std::string> ClassLevelLines(const std::vector<TRankedClass>& ranked, uint32_t minimum,
                                         const TActorFilters& filters);

// One Scenario entry (class of level 4), by entry number.
struct TScenarioClass {
  std::string name;
  uint32_t count = 0;
  uint32_t parent = 0;  // entry number of the group above, 0 for a top group
  uint32_t depth = 0;
  bool occurs = false;  // counted in this text
  uint32_t actantCount = 0;
};

struct TScenarioLines {
  std::vector<std::string> lines;
  std::vector<uint32_t> tags;  // the entry number of each line
};

// The Scenario as a tree. classes[0] is unused; ranking holds the top groups
// in decreasing count. In count order each ranked group is followed by the
// entries under it that occur; in the alphabetical option the entries that
// occur follow the Scenario's own order. A line: "name\t0012\tparent" and
// the actor column; with hidden branches only the top groups are listed.
TScenarioLines ScenarioLines(const std::vector<TScenarioClass>& classes, const std::vector<uint32_t>& ranking,
                             bool alphabetical, bool branchesHidden, uint32_t minimum, const TActorFilters& filters);

// One group of relations: the classes it names in its window rows (0 for an
// empty row) and how often it occurs.
struct TRelationGroup {
  std::vector<uint32_t> rows;
  uint32_t count = 0;
};

// "(first > second)\t0003" for the groups counted more than once whose
// window names at least two classes; a row repeating the class of the row
// before, or (Scenario level) a class that does not occur, drops the line.
// At most 12,000 groups are read.
// The members of a group joined with " > "; false when the group is not listed.
bool RelationNames(const TRelationGroup& group, const std::function<std::string(uint32_t)>& className,
                   const std::function<bool(uint32_t)>& occurs, std::string& names);
std::vector<std::string> RelationLines(const std::vector<TRelationGroup>& groups,
                                       const std::function<std::string(uint32_t)>& className,
                                       const std::function<bool(uint32_t)>& occurs);

struct TLemmaCount {
  std::string name;
  uint32_t count = 0;
};

// Verbs, adjectives and ranked substantives: "lemma\t0007" for each count at
// least the minimum. Ranked lists end at the first count below it; the
// substantives in index order (alphabetical option) are all read.
std::vector<std::string> LemmaLines(const std::vector<TLemmaCount>& lemmas, uint32_t minimum, bool ranked);

// The bursts of episode k: "label\t0004" per burst of that episode, in order.
std::vector<std::string> EpisodeLines(const std::vector<TBurstRecord>& bursts, uint32_t episode,
                                      const std::function<std::string(int32_t)>& itemName);

// From the current analysis.
std::vector<TRankedClass> CollectRankedClasses(int level);
std::vector<TScenarioClass> CollectScenarioClasses();
std::vector<uint32_t> CollectScenarioRanking();
std::vector<TRelationGroup> CollectRelationGroups(int level);
// kind: 9 verbs, 10 adjectives, 11 substantives (ranked unless alphabetical).
std::vector<TLemmaCount> CollectLemmas(int kind, bool alphabetical);

class Canvas;

// Where the TAB columns of a list's lines are drawn: every line's column k
// starts at the same x, one gap after the widest column k - 1 of the list,
// so that counts and shares line up. The first column (the name) is cut at
// `nameLimit` pixels when its widest text would leave less room, then widened
// by `indent` (the tree of the Scenario list); the other columns are numbers,
// drawn right-aligned in their width, which is at least their caption's.
// Measuring reads every line, placing only the widths: a list measures its
// lines once and places them again at each change of its width.
struct TResultColumns {
  std::vector<int> starts;  // x of each column from the text's start
  std::vector<int> widths;
  int Width() const { return starts.empty() ? 0 : starts.back() + widths.back(); }
};
constexpr int kColumnGap = 12;
// The widest text of each column of the lines.
std::vector<int> MeasureResultColumns(Canvas& canvas, const std::vector<std::string>& lines);
TResultColumns PlaceResultColumns(std::vector<int> widths, int nameLimit, int indent = 0,
                                  const std::vector<int>& captionWidths = {});
// The columns of one line (split at its TABs).
std::vector<std::string> SplitColumns(const std::string& line);

}  // namespace quilor::ui
