#include "engine/selection.h"

#include <algorithm>
#include <memory>
#include <new>

#include "core/chartables.h"
#include "engine/ontology_engine.h"

namespace quilor {

TRunRelations RunRelations;

namespace {

// The class of a level matches a selected class; at the Scenario level the
// entry may lie anywhere under the selected group.
bool ClassMatches(uint32_t cls, uint32_t selected, int level) {
  if (cls == 0) return false;
  return level == 4 ? ScenarioEntryWithin(cls, selected) : cls == selected;
}

inline bool IsMark(const TWordNode* node) { return node->text && node->text[0] == '/' && node->text[1] == '\0'; }

TWordCategoryData Pattern(uint8_t major, uint8_t subclass, uint8_t third = 0) {
  TWordCategoryData d;
  d.Category.MajorClass = major;
  d.Category.Subclass = subclass;
  d.Category.SubField2 = third;
  return d;
}

TWordCategoryData PatternOfRange(const TSelectionRange& range) {
  const int i = range.index;
  auto in = [i](int low, int high) { return i >= low && i <= high; };
  switch (range.kind) {
    case 1: {
      TWordCategoryData d = Pattern(kClassUnknown, 0);
      d.ClassMark = 1;
      return d;
    }
    case 2: return Pattern(kClassVerb, in(1, 4) ? static_cast<uint8_t>(i) : 0);
    case 3: return Pattern(kClassConnector, in(1, 10) ? static_cast<uint8_t>(i) : 0);
    case 4: return Pattern(kClassModality, in(1, 7) ? static_cast<uint8_t>(i) : 0);
    case 5: return Pattern(kClassAdjective, i == 1 ? 1 : i == 2 ? 2 : in(3, 5) ? 3 : 0);
    case 6:
      if (i == 1 || i == 2) return Pattern(kClassPronoun, 4, static_cast<uint8_t>(i));
      if (in(3, 7)) return Pattern(kClassPronoun, 3, static_cast<uint8_t>(i));
      return Pattern(kClassPronoun, 0);
    default: return TWordCategoryData();
  }
}

bool AnyActive(const TSelection& s) {
  return std::any_of(s.activePatterns.begin(), s.activePatterns.end(), [](bool b) { return b; });
}

// One step of a walk: the next node forward, or the previous one backward;
// nullptr at the end (or the start).
TWordNode* Step(TWordList& words, bool backward) {
  TWordCategoryData* category;
  const char* tag;
  int32_t position;
  if (backward) return words.PreviousWord(category, tag, position) ? words.Cursor() : nullptr;
  TWordNode* node = words.Cursor();
  return words.NextWord(category, tag, position) ? node : nullptr;
}

bool SearchPatternsInProposition(bool backward, TWordList& words, TSelection& s) {
  std::array<bool, kMaxSearchPatterns> ticked{};
  const bool any = AnyActive(s);
  int32_t first = 0;
  int32_t last = 0;
  bool seenWord = false;
  // True when every active pattern was met in the proposition just read.
  auto complete = [&] {
    if (!any || !seenWord) return false;
    for (int i = 0; i < kMaxSearchPatterns; ++i)
      if (s.activePatterns[static_cast<size_t>(i)] && !ticked[static_cast<size_t>(i)]) return false;
    return true;
  };
  auto found = [&] {
    s.foundFirstPosition = first;
    s.foundLastPosition = last;
    s.matchPosition = first;
    return true;
  };
  for (;;) {
    TWordNode* node = Step(words, backward);
    if (!node) break;
    if (IsMark(node)) {
      if (backward) words.SaveCursor(kBookmarkSearchStart);
      if (complete()) return found();
      ticked.fill(false);
      seenWord = false;
      if (!backward) words.SaveCursor(kBookmarkSearchStart);
      continue;
    }
    if (!seenWord) first = last = node->position;
    seenWord = true;
    first = std::min(first, node->position);
    last = std::max(last, node->position);
    for (int i = 0; i < kMaxSearchPatterns; ++i)
      if (s.activePatterns[static_cast<size_t>(i)] &&
          WordMatchesPattern(node->category, s.patterns[static_cast<size_t>(i)]))
        ticked[static_cast<size_t>(i)] = true;
  }
  // The proposition that meets the end (or the start) of the text has no mark.
  if (complete()) {
    if (backward) words.SaveCursor(kBookmarkSearchStart);
    return found();
  }
  s.matchPosition = backward ? 0 : words.HighestPosition();
  return false;
}

bool SearchFirstPatternWord(bool backward, TWordList& words, TSelection& s) {
  for (;;) {
    TWordNode* node = Step(words, backward);
    if (!node) break;
    if (IsMark(node)) {
      words.SaveCursor(kBookmarkSearchStart);
      continue;
    }
    for (int i = 0; i < kMaxSearchPatterns; ++i) {
      if (s.activePatterns[static_cast<size_t>(i)] &&
          WordMatchesPattern(node->category, s.patterns[static_cast<size_t>(i)])) {
        s.matchPosition = s.foundFirstPosition = s.foundLastPosition = node->position;
        return true;
      }
    }
  }
  s.matchPosition = backward ? 0 : words.HighestPosition();
  return false;
}

bool RecordMatches(const RelationRecordSource& source, size_t record, const TSelection& s) {
  const int level = std::clamp(s.classLevel, 1, 4);
  int firstSlot = -1;
  for (int slot = 0; slot < kRelationWindowSize; ++slot) {
    const uint32_t cls = source.WindowClass(record, slot, level);
    if (cls == 0) continue;
    if (s.kind == kSelectClass) {
      if (ClassMatches(cls, s.firstClass, level)) return true;
      continue;
    }
    if (firstSlot < 0 && ClassMatches(cls, s.firstClass, level)) {
      firstSlot = slot;
    } else if (firstSlot >= 0 && ClassMatches(cls, s.secondClass, level)) {
      return true;
    }
  }
  return false;
}

}  // namespace

TWordNode* TRecordWordWalk::Next(uint32_t first) {
  if (started_ && first < previous_) node_ = words_.First();
  started_ = true;
  previous_ = first;
  while (node_ != words_.Tail() && (static_cast<int64_t>(node_->position) < first ||
                                    (node_->text && node_->text[0] == '/' && node_->text[1] == '\0')))
    node_ = TWordList::NextNode(node_);
  return node_ == words_.Tail() ? nullptr : node_;
}

TWindowRelationRecords::TWindowRelationRecords(const TPropositionWindowList& windows, const TWordList& words)
    : windows_(windows) {
  // Records follow the text: one walk finds every record's first word.
  const size_t count = windows.Count();
  nodes_.assign(count, nullptr);
  TRecordWordWalk walk(words);
  for (size_t r = 0; r < count; ++r) nodes_[r] = walk.Next(windows.Value1(r));
}

TWordNode* TWindowRelationRecords::RecordWord(size_t record) const {
  return record < nodes_.size() ? nodes_[record] : nullptr;
}

uint32_t TWindowRelationRecords::WindowClass(size_t record, int slot, int level) const {
  return record < nodes_.size() ? windows_.Cell(record, slot, level) : 0;
}

void BuildSearchPatterns(TSelection& s) {
  for (size_t i = 0; i < kMaxSearchPatterns; ++i) {
    const TSelectionRange& range = s.ranges[i];
    s.activePatterns[i] = range.kind >= 1 && range.kind <= 6;
    s.patterns[i] = s.activePatterns[i] ? PatternOfRange(range) : TWordCategoryData();
  }
}

bool WordMatchesPattern(const TWordCategoryData& d, const TWordCategoryData& pattern) {
  if (pattern.ClassMark != 0 && d.ClassMark != pattern.ClassMark) return false;
  return CategoryMatchesPattern(d, pattern.Category);
}

bool WordMatchesSelection(const TWordNode& node, const TSelection& s) {
  const int level = std::clamp(s.classLevel, 1, 4);
  const uint32_t cls = node.category.ClassIds[level - 1];
  switch (s.kind) {
    case kSelectRelation: return ClassMatches(cls, s.firstClass, level) || ClassMatches(cls, s.secondClass, level);
    case kSelectClass: return ClassMatches(cls, s.firstClass, level);
    case kSelectMarked: return node.mark != 0;
    case kSelectLexicalEntry:
      return node.lexicalEntry == s.lexicalEntry && node.category.Category.MajorClass == s.majorClass;
    default: return false;
  }
}

bool WordMatchesNeighbourRule(const TWordNode& node, const TSelection& s) {
  if (s.kind == kSelectLexicalEntry)
    return node.lexicalEntry == s.lexicalEntry && node.category.Category.MajorClass == s.majorClass;
  return s.activePatterns[0] && WordMatchesPattern(node.category, s.patterns[0]);
}

bool ScenarioEntryWithin(uint32_t entry, uint32_t selected) {
  if (entry == 0 || selected == 0) return false;
  // Parents come before their sub-entries: the chain is at most ten deep
  // and always climbs to smaller entry numbers.
  for (int depth = 0; entry != 0 && depth <= 10; ++depth) {
    if (entry == selected) return true;
    if (!OntologyEngine) return false;
    const uint32_t parent = OntologyEngine->ScenarioEntryParent(entry);
    if (parent >= entry) return false;
    entry = parent;
  }
  return false;
}

TSearchPlace CurrentSearchPlace(const TSelection& s) {
  return {s.relationRecord, s.matchPosition, s.previousMatchPosition, s.foundFirstPosition, s.foundLastPosition};
}

void SetSearchPlace(const TSearchPlace& p, TSelection& s) {
  s.relationRecord = p.relationRecord;
  s.matchPosition = p.matchPosition;
  s.previousMatchPosition = p.previousMatchPosition;
  s.foundFirstPosition = p.foundFirstPosition;
  s.foundLastPosition = p.foundLastPosition;
}

void SaveSearchPlace(int slot, const TSelection& s) {
  if (slot >= 1 && slot <= 10) RunRelations.searchPlaces[static_cast<size_t>(slot)] = CurrentSearchPlace(s);
}

void RestoreSearchPlace(int slot, TSelection& s) {
  if (slot >= 1 && slot <= 10) SetSearchPlace(RunRelations.searchPlaces[static_cast<size_t>(slot)], s);
}

void BackupSearchPlaces() { RunRelations.backupPlaces = RunRelations.searchPlaces; }
void RestoreSearchPlaces() { RunRelations.searchPlaces = RunRelations.backupPlaces; }

void SetRunRelations(const TPropositionWindowList& windows, const TWordList& words,
                     std::vector<TWordNode*> recordWords) {
  ClearRunRelations();
  try {
    RunRelations.records = recordWords.size() == windows.Count()
                               ? std::make_unique<TWindowRelationRecords>(windows, std::move(recordWords))
                               : std::make_unique<TWindowRelationRecords>(windows, words);
  } catch (const std::bad_alloc&) {
    RunRelations.records.reset();
  }
  RunRelations.source = RunRelations.records.get();
}

void ClearRunRelations() { RunRelations = {}; }

bool FindNextSelectedOccurrence(bool backward, TWordList& words, TSelection& s) {
  s.previousMatchPosition = s.matchPosition;
  s.matchPosition = 0;
  s.foundFirstPosition = s.foundLastPosition = 0;
  words.SaveCursor(kBookmarkSearchStart);
  if (s.kind == kSelectNone)
    return s.categoryRangeView ? SearchFirstPatternWord(backward, words, s)
                               : SearchPatternsInProposition(backward, words, s);
  return SearchBySelectionKind(backward, words, s);
}

bool SearchBySelectionKind(bool backward, TWordList& words, TSelection& s) {
  if (s.kind == kSelectRelation || s.kind == kSelectClass) {
    const RelationRecordSource* source = RunRelations.source;
    const size_t count = source ? source->RecordCount() : 0;
    size_t r = s.relationRecord;
    for (;;) {
      if (backward) {
        if (r == static_cast<size_t>(-1) || r == 0) break;
        r = std::min(r, count) - 1;
      } else {
        r = r == static_cast<size_t>(-1) ? 0 : r + 1;
        if (r >= count) break;
      }
      if (!RecordMatches(*source, r, s)) continue;
      TWordNode* node = source->RecordWord(r);
      if (!node) continue;
      s.relationRecord = r;
      words.SetCursor(node);
      words.SaveCursor(kBookmarkSearchStart);
      s.matchPosition = s.foundFirstPosition = s.foundLastPosition = node->position;
      return true;
    }
    s.relationRecord = backward ? static_cast<size_t>(-1) : count;
  } else if (s.kind == kSelectMarked || s.kind == kSelectLexicalEntry) {
    for (;;) {
      TWordNode* node = Step(words, backward);
      if (!node) break;
      if (IsMark(node) || !WordMatchesSelection(*node, s)) continue;
      words.SetCursor(node);
      words.BackToPropositionStart();
      words.SaveCursor(kBookmarkSearchStart);
      s.matchPosition = s.foundFirstPosition = s.foundLastPosition = node->position;
      // The next search goes on past this word.
      words.SetCursor(backward ? node : TWordList::NextNode(node));
      return true;
    }
  }
  s.matchPosition = backward ? 0 : words.HighestPosition();
  return false;
}

int32_t CurrentRelationPosition(const TWordList& words, const TSelection& s) {
  const RelationRecordSource* source = RunRelations.source;
  if (!source || s.relationRecord == static_cast<size_t>(-1)) return 0;
  if (s.relationRecord >= source->RecordCount()) return words.HighestPosition();
  const TWordNode* node = source->RecordWord(s.relationRecord);
  return node ? node->position : 0;
}

void AppendSelectionCaption(std::string& buffer, const TSelection& s) {
  buffer += s.firstTerm;
  if (s.kind == kSelectRelation && !s.secondTerm.empty()) {
    buffer += " -> ";
    buffer += s.secondTerm;
  }
}

bool SelectClassByName(TSelection& s, int classKind, std::string_view name) {
  s.firstTerm.assign(name.substr(0, std::min<size_t>(name.size(), 79)));
  if (!OntologyEngine) return false;
  const int32_t index = OntologyEngine->FindClassIndex(classKind, name);
  if (index <= 0) return false;
  s.classLevel = classKind;
  s.firstClass = static_cast<uint32_t>(index);
  s.kind = kSelectClass;
  return true;
}

int32_t FindWordInText(std::string_view text, bool exact, TWordList& words) {
  if (text.empty()) return -1;
  words.RestoreCursor(kBookmarkWordSearch);
  for (;;) {
    TWordNode* node = Step(words, false);
    if (!node) return -1;
    if (IsMark(node)) {
      words.SetCursor(node);
      words.SaveCursor(kBookmarkWordSearch);
      words.SetCursor(TWordList::NextNode(node));
      continue;
    }
    const std::string_view word(node->text ? node->text : "");
    // Without case: a typed "hale" finds "Hale" (whole word) and "Halestorm" (prefix).
    bool equal = exact ? word.size() == text.size() : word.size() >= text.size();
    for (size_t i = 0; equal && i < text.size(); ++i)
      equal = ToLowerChar(static_cast<unsigned char>(word[i])) == ToLowerChar(static_cast<unsigned char>(text[i]));
    if (!equal) continue;
    words.SetCursor(node);
    words.SaveCursor(kBookmarkFoundWord);
    // The search goes on after this word's proposition.
    TWordNode* after = TWordList::NextNode(node);
    while (after != words.Tail() && !IsMark(after)) after = TWordList::NextNode(after);
    words.SetCursor(after);
    words.SaveCursor(kBookmarkWordSearch);
    return node->position;
  }
}

}  // namespace quilor
