// A selection of the result views and the searches over it. The selection
// is its owner's (the main window's view state); every search is handed the
// one it reads and moves.
//
// A selection is a relation between two classes, a single class, the marked
// words or a lexical entry; with none, the selected category ranges of the
// tendencies are searched as category patterns. The searches walk TextWords
// from its cursor, forward or backward, keeping the start of the found
// proposition in bookmark 3; the word search keeps its place in bookmark 5
// and the found word in bookmark 7.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include <vector>

#include "core/category.h"
#include "core/relation_store.h"
#include "engine/word_list.h"

namespace quilor {

constexpr int kMaxSearchPatterns = 5;
constexpr int kRelationWindowSize = 21;

enum SelectionKind : int {
  kSelectNone = 0,
  kSelectRelation = 1,
  kSelectClass = 2,
  kSelectMarked = 3,
  kSelectLexicalEntry = 4
};

// The records of the first relation store as the relation search reads them:
// each has its word and a window of 21 class ids per classification level
// (level 4 gives the Scenario classes, through the scenario mapping).
class RelationRecordSource {
 public:
  virtual ~RelationRecordSource() = default;
  virtual size_t RecordCount() const = 0;
  virtual TWordNode* RecordWord(size_t record) const = 0;
  virtual uint32_t WindowClass(size_t record, int slot, int level) const = 0;
};

// Finds the first word of each record's proposition, record after record
// in the order of the windows, in one walk over the words: the first word
// that is no mark at or after the record's first position (the walk starts
// again from the text's start when a record's position goes back).
class TRecordWordWalk {
 public:
  explicit TRecordWordWalk(const TWordList& words) : words_(words), node_(words.First()) {}
  // A walk over records that begin at the node from or after it.
  TRecordWordWalk(const TWordList& words, TWordNode* from) : words_(words), node_(from) {}
  // The word of the next record, whose first value is first; nullptr when
  // the words end before it.
  TWordNode* Next(uint32_t first);

 private:
  const TWordList& words_;
  TWordNode* node_;
  uint32_t previous_ = 0;
  bool started_ = false;
};

// The proposition windows of an analysis as relation records, read in place
// (the list must outlive this object): each record's word is the first word
// of its proposition.
class TWindowRelationRecords : public RelationRecordSource {
 public:
  TWindowRelationRecords(const TPropositionWindowList& windows, const TWordList& words);
  // With the words a TRecordWordWalk over the same windows and words found
  // already (one for each window).
  TWindowRelationRecords(const TPropositionWindowList& windows, std::vector<TWordNode*> recordWords)
      : windows_(windows), nodes_(std::move(recordWords)) {}
  size_t RecordCount() const override { return nodes_.size(); }
  TWordNode* RecordWord(size_t record) const override;
  uint32_t WindowClass(size_t record, int slot, int level) const override;

 private:
  const TPropositionWindowList& windows_;
  std::vector<TWordNode*> nodes_;  // the first node of each record's proposition
};

struct TSelectionRange {
  int kind = 0;  // 1 classes, 2 verbs, 3 connectors, 4 modalities, 5 adjectives, 6 pronouns
  int index = 0;
};

struct TSelection {
  int kind = kSelectNone;
  int classLevel = 3;  // ClassLevel, 1..4
  uint32_t firstClass = 0;
  uint32_t secondClass = 0;
  uint32_t lexicalEntry = 0;
  uint8_t majorClass = 0;
  std::string firstTerm;
  std::string secondTerm;
  std::array<TSelectionRange, kMaxSearchPatterns> ranges{};
  std::array<TWordCategoryData, kMaxSearchPatterns> patterns{};
  std::array<bool, kMaxSearchPatterns> activePatterns{};
  bool categoryRangeView = false;
  // Where the last search stopped: the word found (or the first word of the
  // proposition found) and the span of that proposition.
  int32_t matchPosition = 0;
  int32_t previousMatchPosition = 0;
  int32_t foundFirstPosition = 0;
  int32_t foundLastPosition = 0;
  // The relation record of the last relation search (npos before the first).
  size_t relationRecord = static_cast<size_t>(-1);

  void Clear() { *this = TSelection(); }
};

// The name becomes the selection's first term; when the ontology knows it at
// that level it becomes the selected class (selection kind 2).
bool SelectClassByName(TSelection& selection, int classKind, std::string_view name);
// Patterns of the selected ranges (a range of kind 0 is inactive).
void BuildSearchPatterns(TSelection& selection);
bool WordMatchesPattern(const TWordCategoryData& d, const TWordCategoryData& pattern);
bool WordMatchesSelection(const TWordNode& node, const TSelection& selection);
// The rule of the neighbour lists (star graph, printing): for a lexical
// entry, its entry and major class; otherwise the first search pattern, when
// it is active.
bool WordMatchesNeighbourRule(const TWordNode& node, const TSelection& selection);
// At the Scenario level a class stands for its group and every group under
// it: true when entry is the selected entry or one of its sub-entries.
bool ScenarioEntryWithin(uint32_t entry, uint32_t selected);

// Where the searches stand: the relation record of the last relation search
// and the match positions. The relation-cursor operations save and restore
// it with the cursors (slots 1 to 10), so that a window that walks the
// relations gives the user back the place they were at.
struct TSearchPlace {
  size_t relationRecord = static_cast<size_t>(-1);
  int32_t matchPosition = 0;
  int32_t previousMatchPosition = 0;
  int32_t foundFirstPosition = 0;
  int32_t foundLastPosition = 0;
};
TSearchPlace CurrentSearchPlace(const TSelection& selection);
void SetSearchPlace(const TSearchPlace& place, TSelection& selection);
void SaveSearchPlace(int slot, const TSelection& selection);
void RestoreSearchPlace(int slot, TSelection& selection);
// All ten slots to the backup set and back.
void BackupSearchPlaces();
void RestoreSearchPlaces();

// The relation records of the current analysis: made from its proposition
// windows after every run (SetRunRelations) and dropped whole, with the
// search places kept over them, when the text is released (ClearRunRelations;
// the relation record of a selection that pointed into them is reset by the
// selection's owner).
struct TRunRelations {
  std::unique_ptr<TWindowRelationRecords> records;
  // The relation store the relation and class searches read (records, or a
  // test's own); none until an analysis sets it.
  const RelationRecordSource* source = nullptr;
  std::array<TSearchPlace, 11> searchPlaces{};  // slots 1..10
  std::array<TSearchPlace, 11> backupPlaces{};  // the copy of BackupSearchPlaces
};
extern TRunRelations RunRelations;
// recordWords: the word of each window when the semantic pass found them
// (TAnalysisResults::WindowWords); else, or when they are not one for each
// window, the words are walked.
void SetRunRelations(const TPropositionWindowList& windows, const TWordList& words,
                     std::vector<TWordNode*> recordWords = {});
void ClearRunRelations();

bool FindNextSelectedOccurrence(bool backward, TWordList& words, TSelection& selection);
bool SearchBySelectionKind(bool backward, TWordList& words, TSelection& selection);
// Position of the word of the current relation record; 0 when there is none.
int32_t CurrentRelationPosition(const TWordList& words, const TSelection& selection);
// The first term and, for a relation, " -> " and the second term.
void AppendSelectionCaption(std::string& buffer, const TSelection& selection);

// Finds `text` in the words from bookmark 5 on, without case: the whole word
// when exact, else the word's beginning over the text's length.
// The position of the word, or -1 at the end of the text.
int32_t FindWordInText(std::string_view text, bool exact, TWordList& words = TextWords);

}  // namespace quilor
