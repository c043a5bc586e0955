#include "engine/selection.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/semantic_pass.h"
#include "tests/engine/burst_text_builder.h"

namespace quilor {
namespace {

using testing_words::Category;
using testing_words::TextBuilder;

const TWordCategoryData kVerb = Category(kClassVerb, 1);
const TWordCategoryData kCause = Category(kClassConnector, 2);

// Propositions: 1 verb only (words 1-2), 2 verb and cause (3-5),
// 3 cause only (6-7), 4 verb and cause (8-10).
void BuildPropositions(TWordList& list) {
  TextBuilder b(list);
  b.Word(kVerb);
  b.Filler();
  b.Mark();
  b.Filler();
  b.Word(kCause);
  b.Word(kVerb);
  b.Mark();
  b.Word(kCause);
  b.Filler();
  b.Mark();
  b.Word(kVerb);
  b.Filler();
  b.Word(kCause);
}

TSelection VerbAndCause() {
  TSelection s;
  s.ranges[0] = {2, 1};
  s.ranges[1] = {3, 2};
  BuildSearchPatterns(s);
  return s;
}

TEST(SelectionSearch, PatternsInPropositionStopForwardAndBackward) {
  TWordList list;
  BuildPropositions(list);
  TSelection s = VerbAndCause();
  list.Rewind();
  std::vector<std::pair<int32_t, int32_t>> found;
  while (FindNextSelectedOccurrence(false, list, s)) found.push_back({s.foundFirstPosition, s.foundLastPosition});
  // The last proposition meets the end of the text without a mark.
  EXPECT_EQ(found, (std::vector<std::pair<int32_t, int32_t>>{{3, 5}, {8, 10}}));
  EXPECT_EQ(s.matchPosition, list.HighestPosition());

  found.clear();
  while (FindNextSelectedOccurrence(true, list, s)) {
    found.push_back({s.foundFirstPosition, s.foundLastPosition});
    // Bookmark 3 holds the mark before the proposition found.
    list.SaveCursor(9);
    list.RestoreCursor(kBookmarkSearchStart);
    EXPECT_STREQ(list.Cursor()->text, "/");
    list.RestoreCursor(9);
  }
  EXPECT_EQ(found, (std::vector<std::pair<int32_t, int32_t>>{{8, 10}, {3, 5}}));
  EXPECT_EQ(s.matchPosition, 0);

  // The first word of the category range view.
  TSelection one;
  one.ranges[0] = {3, 2};
  one.categoryRangeView = true;
  BuildSearchPatterns(one);
  list.Rewind();
  ASSERT_TRUE(FindNextSelectedOccurrence(false, list, one));
  EXPECT_EQ(one.matchPosition, 4);
  ASSERT_TRUE(FindNextSelectedOccurrence(false, list, one));
  EXPECT_EQ(one.matchPosition, 6);
}

TEST(SelectionSearch, NothingSelectedFindsNothing) {
  TWordList list;
  BuildPropositions(list);
  TSelection s;
  BuildSearchPatterns(s);
  list.Rewind();
  EXPECT_FALSE(FindNextSelectedOccurrence(false, list, s));
  EXPECT_TRUE(list.AtEnd());
  // Backward from the first word.
  list.Rewind();
  s = VerbAndCause();
  EXPECT_FALSE(FindNextSelectedOccurrence(true, list, s));
  EXPECT_EQ(s.matchPosition, 0);
}

TEST(SelectionSearch, PatternsOfRanges) {
  TSelection s;
  s.ranges = {{{6, 1}, {6, 5}, {5, 4}, {2, 9}, {1, 0}}};
  BuildSearchPatterns(s);
  EXPECT_EQ(s.patterns[0].Category.Subclass, 4);  // deixis of person 1
  EXPECT_EQ(s.patterns[0].Category.SubField2, 1);
  EXPECT_EQ(s.patterns[1].Category.Subclass, 3);
  EXPECT_EQ(s.patterns[1].Category.SubField2, 5);
  EXPECT_EQ(s.patterns[2].Category.Subclass, 3);
  EXPECT_EQ(s.patterns[3].Category.Subclass, 0);  // any verb
  EXPECT_TRUE(WordMatchesPattern(Category(kClassVerb, 3), s.patterns[3]));
  EXPECT_FALSE(WordMatchesPattern(Category(kClassUnknown), s.patterns[4]));  // needs the class mark
  TWordCategoryData marked = Category(kClassUnknown);
  marked.ClassMark = 1;
  EXPECT_TRUE(WordMatchesPattern(marked, s.patterns[4]));
}

TEST(SelectionSearch, MarkedWordsAndLexicalEntries) {
  TWordList list;
  BuildPropositions(list);
  for (TWordNode* n = list.First(); n != list.Tail(); n = TWordList::NextNode(n))
    if (n->position == 7 || n->position == 9) n->mark = 1;
  TSelection s;
  s.kind = kSelectMarked;
  list.Rewind();
  ASSERT_TRUE(FindNextSelectedOccurrence(false, list, s));
  EXPECT_EQ(s.matchPosition, 7);
  list.SaveCursor(9);
  list.RestoreCursor(kBookmarkSearchStart);
  EXPECT_STREQ(list.Cursor()->text, "/");  // the start of the word's proposition
  list.RestoreCursor(9);
  ASSERT_TRUE(FindNextSelectedOccurrence(false, list, s));
  EXPECT_EQ(s.matchPosition, 9);
  EXPECT_FALSE(FindNextSelectedOccurrence(false, list, s));
  ASSERT_TRUE(FindNextSelectedOccurrence(true, list, s));
  EXPECT_EQ(s.matchPosition, 9);
  ASSERT_TRUE(FindNextSelectedOccurrence(true, list, s));
  EXPECT_EQ(s.matchPosition, 7);

  TWordNode node{};
  node.lexicalEntry = 12;
  node.category = Category(kClassVerb, 1);
  s.kind = kSelectLexicalEntry;
  s.lexicalEntry = 12;
  s.majorClass = kClassVerb;
  EXPECT_TRUE(WordMatchesSelection(node, s));
  s.majorClass = kClassAdjective;
  EXPECT_FALSE(WordMatchesSelection(node, s));
}

// Records whose window holds the classes at level 1 in the given order.
class FakeRelations : public RelationRecordSource {
 public:
  std::vector<std::vector<uint32_t>> windows;
  std::vector<TWordNode*> nodes;
  size_t RecordCount() const override { return windows.size(); }
  TWordNode* RecordWord(size_t r) const override { return nodes[r]; }
  uint32_t WindowClass(size_t r, int slot, int level) const override {
    return level == 1 && static_cast<size_t>(slot) < windows[r].size() ? windows[r][static_cast<size_t>(slot)] : 0;
  }
};

TEST(SelectionSearch, RelationNeedsBothClassesInOrderInOneWindow) {
  TWordList list;
  TextBuilder b(list);
  b.Filler(5);
  FakeRelations relations;
  for (TWordNode* n = list.First(); n != list.Tail(); n = TWordList::NextNode(n)) relations.nodes.push_back(n);
  relations.windows = {{7, 8}, {8, 7}, {7}, {1, 7, 2, 8}, {8}};
  RunRelations.source = &relations;
  TSelection s;
  s.kind = kSelectRelation;
  s.classLevel = 1;
  s.firstClass = 7;
  s.secondClass = 8;
  s.firstTerm = "cat";
  s.secondTerm = "dog";
  std::vector<int32_t> found;
  while (FindNextSelectedOccurrence(false, list, s)) found.push_back(s.matchPosition);
  EXPECT_EQ(found, (std::vector<int32_t>{1, 4}));
  EXPECT_EQ(CurrentRelationPosition(list, s), list.HighestPosition());
  ASSERT_TRUE(FindNextSelectedOccurrence(true, list, s));
  EXPECT_EQ(s.matchPosition, 4);
  s.kind = kSelectClass;
  s.firstClass = 8;
  found.clear();
  while (FindNextSelectedOccurrence(true, list, s)) found.push_back(s.matchPosition);
  EXPECT_EQ(found, (std::vector<int32_t>{2, 1}));
  // Back past the first record, the next search forward finds the first again.
  ASSERT_TRUE(FindNextSelectedOccurrence(false, list, s));
  EXPECT_EQ(s.matchPosition, 1);
  std::string caption;
  s.kind = kSelectRelation;
  AppendSelectionCaption(caption, s);
  EXPECT_EQ(caption, "cat -> dog");
  RunRelations = {};
}

TEST(SelectionSearch, PropositionWindowsAsRelationRecords) {
  TWordList list;
  TextBuilder b(list);
  b.Filler(2);
  b.Mark();
  b.Filler(3);
  TPropositionWindowList windows;
  TRelationWindow w;
  w.Set(0, 2, 7);
  w.Set(3, 2, 8);
  ASSERT_TRUE(windows.Append(w, 1, 2));
  w.Clear();
  w.Set(0, 2, 8);
  ASSERT_TRUE(windows.Append(w, 3, 5));
  TWindowRelationRecords records(windows, list);
  ASSERT_EQ(records.RecordCount(), 2u);
  EXPECT_EQ(records.RecordWord(1)->position, 3);
  EXPECT_EQ(records.WindowClass(0, 3, 2), 8u);
  RunRelations.source = &records;
  TSelection s;
  s.kind = kSelectRelation;
  s.classLevel = 2;
  s.firstClass = 7;
  s.secondClass = 8;
  ASSERT_TRUE(FindNextSelectedOccurrence(false, list, s));
  EXPECT_EQ(s.matchPosition, 1);
  EXPECT_FALSE(FindNextSelectedOccurrence(false, list, s));
  RunRelations = {};
}

TEST(WordSearch, ExactAndPrefixComparedWithTheGivenText) {
  TWordList list;
  TextBuilder b(list);
  b.Word(Category(kClassSubstantive), "Paris");
  b.Word(Category(kClassSubstantive), "parish");
  b.Mark();
  b.Word(Category(kClassSubstantive), "par");
  b.Mark();
  b.Word(Category(kClassSubstantive), "Parisian");
  list.Rewind();
  list.SaveCursor(kBookmarkWordSearch);
  EXPECT_EQ(FindWordInText("par", true, list), 3);
  EXPECT_EQ(FindWordInText("par", true, list), -1);
  // The whole word is compared without case.
  list.Rewind();
  list.SaveCursor(kBookmarkWordSearch);
  EXPECT_EQ(FindWordInText("paris", true, list), 1);
  EXPECT_EQ(FindWordInText("PARISIAN", true, list), 4);
  list.Rewind();
  list.SaveCursor(kBookmarkWordSearch);
  // By prefix, case-insensitive; one occurrence per proposition.
  std::vector<int32_t> found;
  for (int32_t p; (p = FindWordInText("PARIS", false, list)) >= 0;) found.push_back(p);
  EXPECT_EQ(found, (std::vector<int32_t>{1, 4}));
  list.RestoreCursor(kBookmarkFoundWord);
  EXPECT_STREQ(list.Cursor()->text, "Parisian");
  list.Rewind();
  list.SaveCursor(kBookmarkWordSearch);
  EXPECT_EQ(FindWordInText("Parisians", false, list), -1);  // longer than every word
  EXPECT_EQ(FindWordInText("", false, list), -1);
}

TEST(SelectionNeighbours, LexicalEntryElseTheFirstPattern) {
  TWordList list;
  TextBuilder b(list);
  b.Word(kVerb);
  b.Word(kCause);
  TWordNode* verb = list.First();
  TWordNode* cause = TWordList::NextNode(verb);
  verb->lexicalEntry = 12;
  TSelection s;
  EXPECT_FALSE(WordMatchesNeighbourRule(*verb, s));  // nothing selected
  s.ranges[0] = {3, 2};                              // cause connectors
  BuildSearchPatterns(s);
  EXPECT_TRUE(WordMatchesNeighbourRule(*cause, s));
  EXPECT_FALSE(WordMatchesNeighbourRule(*verb, s));
  // A lexical entry decides alone, by entry and major class.
  s.kind = kSelectLexicalEntry;
  s.lexicalEntry = 12;
  s.majorClass = kClassVerb;
  EXPECT_TRUE(WordMatchesNeighbourRule(*verb, s));
  EXPECT_FALSE(WordMatchesNeighbourRule(*cause, s));
  s.majorClass = kClassAdjective;
  EXPECT_FALSE(WordMatchesNeighbourRule(*verb, s));
}

TEST(SelectionPlaces, RelationCursorsKeepTheSearchPlace) {
  TSelection selection;
  selection.relationRecord = 4;
  selection.matchPosition = 40;
  selection.previousMatchPosition = 30;
  selection.foundFirstPosition = 38;
  selection.foundLastPosition = 45;
  SaveRelationCursors(2, selection);
  // Another window searches elsewhere and gives the place back.
  selection.relationRecord = 9;
  selection.matchPosition = 90;
  selection.foundFirstPosition = selection.foundLastPosition = 90;
  RestoreRelationCursors(2, selection);
  EXPECT_EQ(selection.relationRecord, 4u);
  EXPECT_EQ(selection.matchPosition, 40);
  EXPECT_EQ(selection.previousMatchPosition, 30);
  EXPECT_EQ(selection.foundFirstPosition, 38);
  EXPECT_EQ(selection.foundLastPosition, 45);
  // Slots outside 1..10 keep nothing.
  SaveRelationCursors(11, selection);
  selection.matchPosition = 7;
  RestoreRelationCursors(11, selection);
  EXPECT_EQ(selection.matchPosition, 7);
  ClearRunRelations();
}

// Three words and one relation window over them.
void ThreeWordsInOneWindow(TWordList& list, TPropositionWindowList& windows) {
  TextBuilder b(list);
  b.Filler(3);
  TRelationWindow w;
  w.Set(0, 2, 7);
  ASSERT_TRUE(windows.Append(w, 1, 3));
}

// The run's records take the words the semantic pass found, one for each
// window; any other count of words is not trusted and the text is walked.
TEST(SelectionPlaces, RunRelationsTakeTheWordsFoundOrWalkTheText) {
  TWordList list;
  TPropositionWindowList windows;
  ASSERT_NO_FATAL_FAILURE(ThreeWordsInOneWindow(list, windows));
  TWordNode* third = TWordList::NextNode(TWordList::NextNode(list.First()));
  SetRunRelations(windows, list, {third});
  ASSERT_NE(RunRelations.source, nullptr);
  EXPECT_EQ(RunRelations.source->RecordWord(0), third);
  SetRunRelations(windows, list, {third, third});
  EXPECT_EQ(RunRelations.source->RecordWord(0), list.First());
  ClearRunRelations();
}

// Releasing a text drops its relation records and every search place kept
// over them: the next text's relation cursors start afresh.
TEST(SelectionPlaces, ReleasingTheTextDropsTheRelationsAndTheirPlaces) {
  TWordList list;
  TPropositionWindowList windows;
  ASSERT_NO_FATAL_FAILURE(ThreeWordsInOneWindow(list, windows));
  SetRunRelations(windows, list);
  ASSERT_NE(RunRelations.source, nullptr);
  TSelection selection;
  selection.relationRecord = 0;
  selection.matchPosition = 2;
  SaveRelationCursors(1, selection);
  BackupSearchPlaces();
  selection.matchPosition = 3;
  SaveRelationCursors(2, selection);
  ClearRunRelations();
  EXPECT_EQ(RunRelations.records, nullptr);
  EXPECT_EQ(RunRelations.source, nullptr);
  for (int slot : {1, 2}) {
    selection.matchPosition = 9;
    RestoreRelationCursors(slot, selection);
    EXPECT_EQ(selection.matchPosition, 0) << slot;
  }
  RestoreSearchPlaces();
  RestoreRelationCursors(1, selection);
  EXPECT_EQ(selection.matchPosition, 0);
}

TEST(WordListBookmarks, ReadAndSetWithoutMovingTheCursor) {
  TWordList list;
  TextBuilder b(list);
  b.Filler(3);
  TWordNode* second = TWordList::NextNode(list.First());
  list.Rewind();
  EXPECT_EQ(list.Bookmark(1), list.First());  // set by the reset
  list.SetBookmark(6, second);
  EXPECT_EQ(list.Bookmark(6), second);
  EXPECT_EQ(list.Cursor(), list.First());
  list.SetBookmark(6, nullptr);  // ignored
  list.SetBookmark(11, second);
  EXPECT_EQ(list.Bookmark(6), second);
  EXPECT_EQ(list.Bookmark(11), nullptr);
  EXPECT_EQ(list.Bookmark(0), nullptr);
  list.RestoreCursor(6);
  EXPECT_EQ(list.Cursor(), second);
}

}  // namespace
}  // namespace quilor
