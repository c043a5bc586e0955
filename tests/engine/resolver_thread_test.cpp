// The segment resolver on a thread of its own must give what it gives on the
// buffer's thread: the same nodes, tags, categories and counts.
#include <gtest/gtest.h>
#include <sched.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/borders.h"
#include "core/chartables.h"
#include "core/lexicon.h"
#include "core/name_index.h"
#include "engine/dictionary_matrix.h"
#include "engine/analysis_dictionaries.h"
#include "engine/analysis_run.h"
#include "engine/category_counters.h"
#include "engine/segment_buffer.h"
#include "engine/word_list.h"
#include "import/text_loader.h"
#include "tests/support/stream_support.h"

namespace quilor {
namespace {

using namespace testing_support;

// The lexicon of the segmentation goldens (word TAB codes), with empty verb
// and adjective indexes that the resolver fills as it goes.
class TestDictionaries {
 public:
  TestDictionaries() {
    LexiconWriter writer(DefaultWorkingTables());
    std::ifstream in(TestDataPath("engine/segment/lexicon.txt"));
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream fields(line);
      std::string word, hex;
      fields >> word;
      std::vector<TCategoryCode> codes;
      while (fields >> hex)
        codes.push_back(static_cast<TCategoryCode>(std::strtoul(hex.c_str(), nullptr, 16) & 0x7FFF));
      writer.AddWord(word, codes);
    }
    lexicon_ = writer.Build();
    MainDictionary = new TMainDictionary(lexicon_.data(), lexicon_.size(), "test.lv8");
    VerbIndex = new TStringHashIndex(0, true, 50, 1, std::string(), ".vv8");
    AdjectiveIndex = new TStringHashIndex(0, true, 50, 1, std::string(), ".av8");
    DictionaryMatrix = TDictionaryMatrix{};
  }
  ~TestDictionaries() { CloseAnalysisDictionaries(); }
  TestDictionaries(const TestDictionaries&) = delete;
  TestDictionaries& operator=(const TestDictionaries&) = delete;

 private:
  std::vector<uint8_t> lexicon_;
};

// Every node with what the resolver gave it, then the category counters.
std::string Outcome(const TSegmentCounts& segments) {
  std::string out;
  for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n)) {
    const TWordCategoryData& d = n->category;
    out += std::to_string(n->position) + " " + std::to_string(n->fileNumber) + " " + n->text + " [" + n->tag + "] " +
           std::to_string(n->lexicalEntry) + " " + std::to_string(DisplayCode(d.Category)) + " " +
           std::to_string(d.ClassMark) + std::to_string(d.Capitalisation) + std::to_string(d.SlotFlag) + "\n";
  }
  for (uint32_t c : RunCounts.categories) out += std::to_string(c) + " ";
  return out + "\nwords " + std::to_string(segments.words) + " marks " + std::to_string(segments.propositions) +
         " filtered " + std::to_string(RunCounts.filteredPropositions);
}

std::string Segmented(const std::string& text, bool thread) {
  ClearCategoryCounters();
  TSegmentCounts segments;
  SegmentTextAsFile(reinterpret_cast<const unsigned char*>(text.data()), text.size(), false, thread, &segments);
  return Outcome(segments);
}

// The golden paragraphs, repeated until the worker's batches are all in use
// more than once (the buffer then waits for the worker).
std::string LongText() {
  std::string paragraphs;
  for (const char* name : {"contractions", "numbers", "expressions", "abbreviations", "long_sentence", "content_words",
                           "commas", "tokens", "readings", "punctuation"})
    paragraphs += ReadFileBytes(TestDataPath(std::string("engine/segment/") + name + ".txt")) + "\n";
  std::string text;
  while (text.size() < 200000) text += paragraphs;
  return text;
}

TEST(SegmentResolverThread, GivesTheNodesAndCountsOfOneThread) {
  TestDictionaries dictionaries;
  const std::string text = LongText();
  const std::string alone = Segmented(text, false);
  ASSERT_GT(TextWords.Count(), 20000u);
  ASSERT_GT(AdjectiveIndex->NameEntryCount(), 0);
  EXPECT_EQ(Segmented(text, true), alone);
  // Twice on the same words: nothing of the first run stays in the worker.
  EXPECT_EQ(Segmented(text, true), alone);
  TextWords.Clear();
}

// The threads follow the processors the run may use: on one the caller
// does everything, on two the resolver has a thread and the buffer looks
// the words up itself, on more lookup workers join. The words are the same.
TEST(SegmentResolverThread, OneTwoOrAllProcessorsGiveTheSameNodes) {
  TestDictionaries dictionaries;
  const std::string text = LongText();
  const std::string alone = Segmented(text, false);
  cpu_set_t all;
  ASSERT_EQ(sched_getaffinity(0, sizeof all, &all), 0);
  std::vector<int> cpus;
  for (int c = 0; c < CPU_SETSIZE; ++c)
    if (CPU_ISSET(c, &all)) cpus.push_back(c);
  for (size_t take : {size_t{1}, size_t{2}, cpus.size()}) {
    if (take > cpus.size()) continue;
    cpu_set_t some;
    CPU_ZERO(&some);
    for (size_t i = 0; i < take; ++i) CPU_SET(cpus[i], &some);
    ASSERT_EQ(sched_setaffinity(0, sizeof some, &some), 0);
    const std::string threaded = Segmented(text, true);
    sched_setaffinity(0, sizeof all, &all);
    EXPECT_EQ(threaded, alone) << take << " processors";
  }
  TextWords.Clear();
}

TEST(SegmentResolverThread, BordersFilterTheSameWords) {
  TestDictionaries dictionaries;
  CreateBorderList();
  ClearBorderList();
  AddBorderEntry(MakeBorderEntry("secret", true));
  AddBorderEntry(MakeBorderEntry("public", false));
  ASSERT_TRUE(BuildBordersIndex());
  const bool borders = Borders.inUse;
  Borders.inUse = true;
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "the man came. secret the dog ran. the car stopped. public the house stood. ";
  const std::string alone = Segmented(text, false);
  const std::string threaded = Segmented(text, true);
  Borders.inUse = borders;
  FreeBordersIndex();
  ClearBorderList();
  EXPECT_NE(alone.find("filtered 4000"), std::string::npos);
  EXPECT_EQ(threaded, alone);
  TextWords.Clear();
}

// Two files through one buffer, each finished before the next begins: the
// second file's words follow the first's with their file number.
TEST(SegmentResolverThread, FilesFinishedOneAfterTheOther) {
  StreamTestState state;
  TestDictionaries dictionaries;
  TempFolder folder;
  std::string a, b;
  for (int i = 0; i < 3000; ++i) {
    a += "The old man saw the dog, and the dog ran to the car. ";
    b += "They work hard; the work is hard. ";
  }
  const std::vector<std::string> files = {folder.Write("a.txt", a), folder.Write("b.txt", b)};
  auto outcome = [&](bool thread) {
    ClearCategoryCounters();
    TextWords.Clear();
    TSegmentBuffer buffer;
    buffer.UseResolverThread(thread);
    TSegmentCounts segments;
    buffer.CountInto(&segments);
    for (size_t f = 0; f < files.size(); ++f) {
      LoaderState.fileNumber = static_cast<int32_t>(f + 1);
      buffer.Init();
      const std::string& text = f == 0 ? a : b;
      // Each word with the punctuation before it as its tag.
      std::string tag = " ";
      size_t start = 0;
      while (start < text.size()) {
        size_t space = text.find(' ', start);
        if (space == std::string::npos) space = text.size();
        std::string word = text.substr(start, space - start);
        std::string after = " ";
        if (!word.empty() && std::strchr(".,;", word.back())) {
          after = std::string(1, word.back());
          word.pop_back();
        }
        if (!word.empty()) buffer.PushWord(word.c_str(), tag.c_str());
        tag = after;
        start = space + 1;
      }
      buffer.Finish();
    }
    return Outcome(segments);
  };
  const std::string alone = outcome(false);
  EXPECT_NE(alone.find(" 2 hard "), std::string::npos);
  EXPECT_EQ(outcome(true), alone);
  TextWords.Clear();
}

}  // namespace
}  // namespace quilor
