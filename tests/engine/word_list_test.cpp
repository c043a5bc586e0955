#include <gtest/gtest.h>
#include <sys/mman.h>

#include <string>
#include <vector>

#include "engine/slab_filler.h"
#include "engine/word_list.h"
#include "platform/usable_cores.h"

namespace quilor {
namespace {

void AppendWord(TWordList& list, const std::string& text, int32_t position, uint16_t file = 1, const char* tag = " ") {
  ASSERT_TRUE(list.Append(text.c_str(), tag, 0, file, position, nullptr));
}

TEST(WordList, EmptyListIsAtStartAndEnd) {
  TWordList list;
  EXPECT_TRUE(list.AtStart());
  EXPECT_TRUE(list.AtEnd());
  TWordCategoryData* category = reinterpret_cast<TWordCategoryData*>(1);
  const char* tag = "x";
  int32_t position = 7;
  EXPECT_EQ(list.NextWord(category, tag, position), nullptr);
  EXPECT_EQ(category, nullptr);
  EXPECT_EQ(tag, nullptr);
  EXPECT_EQ(position, 0);
  EXPECT_EQ(list.PreviousWord(category, tag, position), nullptr);
  list.SeekPosition(5);
  EXPECT_TRUE(list.AtEnd());
  EXPECT_TRUE(list.BackToPropositionStart());
  EXPECT_TRUE(list.AtStart());
}

TEST(WordList, WalksBothWaysAcrossChunks) {
  TWordList list;
  const int n = 3000;
  for (int i = 1; i <= n; ++i) AppendWord(list, "w" + std::to_string(i), i, static_cast<uint16_t>(i % 7));
  EXPECT_EQ(list.Count(), static_cast<uint32_t>(n));
  EXPECT_EQ(list.HighestPosition(), n);
  EXPECT_EQ(list.NodeChunkCount(), 3u);  // 3,001 nodes with the tail, 1,170 a chunk

  TWordCategoryData* category;
  const char* tag;
  int32_t position;
  int expected = 1;
  list.Rewind();
  while (const char* text = list.NextWord(category, tag, position)) {
    ASSERT_EQ(std::string(text), "w" + std::to_string(expected));
    ASSERT_EQ(position, expected);
    ++expected;
  }
  EXPECT_EQ(expected, n + 1);
  EXPECT_TRUE(list.AtEnd());
  while (const char* text = list.PreviousWord(category, tag, position)) {
    --expected;
    ASSERT_EQ(std::string(text), "w" + std::to_string(expected));
  }
  EXPECT_EQ(expected, 1);
  EXPECT_TRUE(list.AtStart());
}

TEST(WordList, NewChunkOnlyWhenTheLastIsFullAndClearKeepsTheFirst) {
  TWordList list;
  const int perChunk = static_cast<int>(TWordNodePool::kNodesPerChunk);
  EXPECT_EQ(perChunk, 1170);
  for (int i = 1; i < perChunk; ++i) AppendWord(list, "a", i);
  EXPECT_EQ(list.NodeChunkCount(), 1u);  // the tail is the chunk's last node
  AppendWord(list, "b", perChunk);
  EXPECT_EQ(list.NodeChunkCount(), 2u);
  TWordNode* first = list.First();
  list.SaveCursor(3);
  list.Clear();
  EXPECT_EQ(list.NodeChunkCount(), 1u);
  EXPECT_EQ(list.StringChunkCount(), 1u);
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(list.HighestPosition(), 0);
  EXPECT_EQ(list.First(), first);
  // Bookmarks never point into freed chunks.
  list.RestoreCursor(3);
  EXPECT_TRUE(list.AtStart());
  AppendWord(list, "again", 1);
  EXPECT_EQ(list.First(), first);
  EXPECT_STREQ(list.First()->text, "again");
}

// The pages of new slabs are faulted in on another thread while the lists
// write into them and clear them: every word stays as written.
TEST(WordListThread, WordsWrittenWhileTheirSlabsAreFilledStayAsWritten) {
  TWordList a, b;
  const int n = 60000;  // over a slab of nodes for each list
  for (int round = 0; round < 2; ++round) {
    for (int i = 1; i <= n; ++i) {
      AppendWord(a, "a" + std::to_string(i), i);
      AppendWord(b, "b" + std::to_string(i + round), i);
    }
    TWordCategoryData* category;
    const char* tag;
    int32_t position;
    for (TWordList* list : {&a, &b}) {
      const std::string prefix = list == &a ? "a" : "b";
      const int shift = list == &a ? 0 : round;
      int expected = 1;
      list->Rewind();
      while (const char* text = list->NextWord(category, tag, position)) {
        ASSERT_EQ(std::string(text), prefix + std::to_string(expected + shift));
        ASSERT_EQ(position, expected);
        ASSERT_STREQ(tag, " ");
        ++expected;
      }
      EXPECT_EQ(expected, n + 1);
    }
    a.Clear();
    b.Clear();
  }
}

// A process whose lists need one slab starts no thread for it: the word
// lists are made at start-up, and a thread started then ran in every tool
// and test (a process that forked with it could find the allocator's lock
// held for ever in the child).
TEST(WordListThread, TheFillerStartsWithTheSecondSlab) {
  if (UsableCores() < 2) GTEST_SKIP() << "one processor: no filler";
  constexpr size_t kBytes = size_t{2} << 20;
  std::vector<void*> slabs;
  for (int i = 0; i < 12; ++i)  // more than wait at once
    slabs.push_back(mmap(nullptr, kBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  {
    SlabFiller filler(kBytes);
    filler.Fill(slabs[0]);
    EXPECT_FALSE(filler.Running());
    for (size_t i = 1; i < slabs.size(); ++i) filler.Fill(slabs[i]);
    EXPECT_TRUE(filler.Running());
  }  // joins the thread
  for (void* slab : slabs) {
    // Faulting in left the bytes as they were.
    EXPECT_EQ(static_cast<unsigned char*>(slab)[kBytes - 1], 0);
    munmap(slab, kBytes);
  }
}

TEST(WordList, SeekStopsOnTheFirstOfEqualPositions) {
  TWordList list;
  // Positions 1..5000, each word followed by a mark with the same position every tenth word.
  for (int i = 1; i <= 5000; ++i) {
    AppendWord(list, "w", i, static_cast<uint16_t>(1 + i / 1000));
    if (i % 10 == 0) AppendWord(list, "/", i);
  }
  list.SeekPosition(4000);
  ASSERT_FALSE(list.AtEnd());
  EXPECT_EQ(list.Cursor()->position, 4000);
  EXPECT_STREQ(list.Cursor()->text, "w");
  list.SeekPosition(0);
  EXPECT_TRUE(list.AtStart());
  list.SeekPosition(5001);
  EXPECT_TRUE(list.AtEnd());
  // The node at a position, the cursor kept; none past the last word.
  ASSERT_NE(list.NodeAt(4000), nullptr);
  EXPECT_EQ(list.NodeAt(4000)->position, 4000);
  EXPECT_EQ(list.NodeAt(5001), nullptr);
  EXPECT_TRUE(list.AtEnd());
  uint16_t file = 0;
  EXPECT_TRUE(list.FileNumberAt(2500, file));
  EXPECT_EQ(file, 3);
}

TEST(WordList, BackToPropositionStartSkipsTheMarkItStandsOn) {
  TWordList list;
  const char* words[] = {"a", "b", "/", "c", "d", "/", "e"};
  int position = 0;
  for (const char* w : words) AppendWord(list, w, w[0] == '/' ? position : ++position);
  list.SeekPosition(5);  // "e"
  list.BackToPropositionStart();
  EXPECT_EQ(list.Cursor(), TWordList::NextNode(TWordList::NextNode(TWordList::NextNode(
                               TWordList::NextNode(TWordList::NextNode(list.First()))))));  // the second mark
  list.BackToPropositionStart();
  EXPECT_STREQ(list.Cursor()->text, "/");
  EXPECT_EQ(list.Cursor()->position, 2);  // the first mark
  list.BackToPropositionStart();
  EXPECT_TRUE(list.AtStart());
}

TEST(WordList, AppendCopiesTextAndCutsTheTag) {
  TWordList list;
  char text[] = "word";
  TWordCategoryData data{};
  data.Category.MajorClass = 8;
  data.Capitalisation = 2;
  ASSERT_TRUE(list.Append(text, ". \"x", 42, 3, 9, &data));
  text[0] = 'X';
  TWordNode* node = list.First();
  EXPECT_STREQ(node->text, "word");
  EXPECT_STREQ(node->tag, ". \"");
  EXPECT_EQ(node->lexicalEntry, 42u);
  EXPECT_EQ(node->fileNumber, 3);
  EXPECT_EQ(node->category.Category.MajorClass, 8);
  EXPECT_EQ(node->category.Capitalisation, 2);
  // Long texts fill the string chunks without being cut or mixed up.
  std::string longWord(79, 'z');
  for (int i = 0; i < 2000; ++i) ASSERT_TRUE(list.Append(longWord.c_str(), " ", 0, 1, 10 + i, nullptr));
  EXPECT_GE(list.StringChunkCount(), 3u);
  for (TWordNode* n = TWordList::NextNode(list.First()); n != list.Tail(); n = TWordList::NextNode(n))
    ASSERT_EQ(std::string(n->text), longWord);
}

TEST(WordList, PassWalkClearsMarksAndClasses) {
  TWordList list;
  AppendWord(list, "a", 1);
  AppendWord(list, "b", 2);
  for (TWordNode* n = list.First(); n != list.Tail(); n = TWordList::NextNode(n)) {
    n->mark = 1;
    n->category.PassByte = 1;
    n->category.ClassIds[2] = 77;
  }
  list.Rewind();
  TWordNode* node;
  int32_t position;
  int seen = 0;
  while (list.NextWordForPass(node, position)) {
    EXPECT_EQ(node->mark, 0);
    EXPECT_EQ(node->category.PassByte, 0);
    EXPECT_EQ(node->category.ClassIds[2], 0u);
    ++seen;
  }
  EXPECT_EQ(seen, 2);
}

}  // namespace
}  // namespace quilor
