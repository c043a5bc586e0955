#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/dictionary_file.h"
#include "core/name_index.h"
#include "platform/fatal.h"
#include "platform/message_ui.h"

namespace quilor {
namespace {

std::vector<uint8_t> VerbFile(int primarySegments = 7, int secondarySegments = 29) {
  NameIndexWriter w(primarySegments, secondarySegments, 11, 22);
  const char* verbs[][4] = {{"take", "took", "taken", "takes"},
                            {"go", "went", "gone", "goes"},
                            {"be", "was", "were", "been"},
                            {"set_up", "set_ups", "", ""},
                            {"\xe9lire", "\xe9lu", "", ""}};
  for (const auto& v : verbs) {
    const int e = w.AddName(v[0]);
    EXPECT_GT(e, 0) << v[0];
    for (int k = 1; k < 4; ++k)
      if (v[k][0]) {
        EXPECT_TRUE(w.AddForm(v[k], e));
      }
  }
  return w.Build();
}

TEST(NameIndex, SegmentsOfKeys) {
  EXPECT_EQ(SegmentOfKey("abc", 1), 1);
  EXPECT_EQ(SegmentOfKey("ab", 7), (97 + 98) % 73 % 7 + 1);
  EXPECT_EQ(SegmentOfKey("ab", 7), 1);
  EXPECT_EQ(SegmentOfKey("a", 7), 7);                           // a one-character key uses its own code
  EXPECT_EQ(SegmentOfKey("ABC", 29), SegmentOfKey("abc", 29));  // chosen after lower-casing
  EXPECT_TRUE(NameCanBeStored("walk"));
  EXPECT_TRUE(NameCanBeStored("a b"));
  EXPECT_TRUE(NameCanBeStored((std::string(44, 'a') + "-").c_str()));   // '-' (45) at 44
  EXPECT_FALSE(NameCanBeStored((std::string(45, 'a') + "-").c_str()));  // '-' at 45 would read back as 90
}

TEST(NameIndex, WrittenFileReadsBack) {
  ScopedScriptedUi ui;
  const auto image = VerbFile();
  TStringHashIndex index(image.data(), image.size(), "t.vv8", false);
  ASSERT_TRUE(index.ready);
  EXPECT_EQ(index.headerValue1, 11u);
  EXPECT_EQ(index.headerValue2, 22u);
  EXPECT_EQ(index.NameEntryCount(), 5);
  EXPECT_EQ(index.Primary().SegmentCount(), 7);
  EXPECT_EQ(index.Secondary().SegmentCount(), 29);
  const char* name = nullptr;
  ASSERT_TRUE(index.LookupStoredName("went", &name));
  EXPECT_STREQ(name, "go");
  ASSERT_TRUE(index.LookupStoredName("TOOK", &name));
  EXPECT_STREQ(name, "take");
  ASSERT_TRUE(index.LookupStoredName("be", &name));
  EXPECT_STREQ(name, "be");
  ASSERT_TRUE(index.LookupStoredName("\xe9lu", &name));
  EXPECT_STREQ(name, "\xe9lire");
  EXPECT_FALSE(index.LookupStoredName("walk", &name));
  EXPECT_STREQ(name, "");
  EXPECT_EQ(index.FindNameEntry("went"), 0);  // names only
  EXPECT_EQ(index.FindNameEntry("set_up"), 4);
  EXPECT_STREQ(index.NameOfEntry(4), "set_up");
  EXPECT_STREQ(index.NameOfEntry(0), "");
  EXPECT_STREQ(index.NameOfEntry(6), "");
  EXPECT_EQ(index.SaveImage(), image);

  // Loaded segments have room: a text's unknown verbs are added.
  for (int i = 0; i < 2000; ++i) ASSERT_TRUE(index.AddNameIfAbsent(("verb" + std::to_string(i)).c_str()));
  EXPECT_TRUE(index.AddNameIfAbsent("take"));
  EXPECT_EQ(index.NameEntryCount(), 2005);
  EXPECT_EQ(index.FindNameEntry("verb1999"), 2005);
}

TEST(NameIndex, AFullIndexRefusesWithoutEndingTheProgram) {
  ScopedScriptedUi ui;
  TStringHashIndex index(0, true, 50, 1);
  int added = 0;
  for (int i = 0; i < 70000; ++i)
    if (index.AddNameIfAbsent(("n" + std::to_string(i)).c_str())) ++added;
  EXPECT_EQ(added, kMaxNameEntries);
  EXPECT_EQ(ui.ui.Shown().size(), 1u);  // message 16, once
  EXPECT_NE(ui.ui.Shown()[0].text.find("Index overflow"), std::string::npos);
  EXPECT_EQ(index.FindNameEntry("n65534"), 65535);

  // A trie that is full refuses the name and leaves the slot free.
  TStringHashIndex small(0, false, 1, 1);
  std::string key(70, 'k');
  int count = 0;
  for (int i = 0; i < 1000; ++i) {
    key[0] = static_cast<char>('a' + i % 26);
    key[1] = static_cast<char>('a' + i / 26 % 26);
    if (!small.AddNameIfAbsent(key.c_str())) break;
    ++count;
  }
  EXPECT_EQ(small.NameEntryCount(), count);
  EXPECT_LT(count, 1000);
  EXPECT_TRUE(small.AddNameIfAbsent("zz"));  // a short key still fits
  EXPECT_EQ(small.FindNameEntry("zz"), count + 1);
  EXPECT_STREQ(small.NameOfEntry(count + 1), "zz");
}

TEST(NameIndex, CountsClassesAndRanks) {
  const auto image = VerbFile();
  TStringHashIndex index(image.data(), image.size(), "t.vv8", true);
  index.SetClassCell(1, 0x00070003);
  uint32_t classCounters[8] = {};
  uint32_t field = 99;
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(index.CountOccurrence(1, field, classCounters, 8));
  EXPECT_EQ(field, 3u);
  EXPECT_EQ(classCounters[3], 3u);
  index.CountOccurrence(2, field, classCounters, 8);
  EXPECT_EQ(field, 0u);
  for (int i = 0; i < 5; ++i) index.CountOccurrence(3, field, nullptr, 0);
  index.CountOccurrence(6, field, classCounters, 8);  // outside the names: nothing
  EXPECT_EQ(index.CountOfEntry(6), 0u);
  index.RankEntriesByCount();
  ASSERT_EQ(index.RankedCount(), 3);
  EXPECT_EQ(index.EntryAtRank(1), 3);
  EXPECT_EQ(index.EntryAtRank(2), 1);
  EXPECT_EQ(index.EntryAtRank(3), 2);
  EXPECT_EQ(index.EntryAtRank(4), 0);
  EXPECT_EQ(index.ClassOf(1), 3);
  EXPECT_EQ(index.ClassOf(9), 0);
  index.ClearEntryCounts();
  EXPECT_EQ(index.CountOfEntry(3), 0u);
  EXPECT_EQ(index.EntryAtRank(1), 0);

  std::FILE* log = std::tmpfile();
  ASSERT_NE(log, nullptr);
  index.Primary().WriteSegmentStatistics(log);
  std::rewind(log);
  char line[200] = {};
  ASSERT_NE(std::fgets(line, sizeof line, log), nullptr);
  EXPECT_STREQ(line, " Seg[ 1]=     1, index=  0.0%\n");
  int lines = 1;
  while (std::fgets(line, sizeof line, log)) ++lines;
  EXPECT_EQ(lines, 7 + 3);
  EXPECT_STREQ(line, " Total entries for this index=5\n");
  std::fclose(log);

  VerbIndex = &index;
  uint32_t counters[4] = {};
  SetClassOccurrenceCounters(counters, 4);
  EXPECT_TRUE(CountVerbOccurrence(1, field));
  EXPECT_EQ(counters[3], 1u);
  EXPECT_EQ(VerbClassOf(1), 3);
  SetClassOccurrenceCounters(nullptr, 0);
  VerbIndex = nullptr;
}

int LoadExitCode(const std::vector<uint8_t>& image) {
  try {
    TStringHashIndex index(image.data(), image.size(), "bad.vv8", false);
  } catch (const FatalError& e) {
    return e.ExitCode();
  }
  return -1;
}

TEST(NameIndex, TruncatedAndCorruptFilesAreRefused) {
  ScopedScriptedUi ui;
  const auto good = VerbFile(2, 3);
  ASSERT_EQ(LoadExitCode(good), -1);
  for (size_t cut = 0; cut < good.size(); cut += (cut < 80 ? 1 : 37))
    EXPECT_EQ(LoadExitCode(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(cut))), 2) << cut;
  auto bad = good;
  bad[0] = 18;
  EXPECT_EQ(LoadExitCode(bad), 1);
  bad = good;
  bad[43] ^= 0x10;
  EXPECT_EQ(LoadExitCode(bad), 1);
  for (uint32_t segments : {0u, 51u, 0xFFFFFFFFu}) {
    bad = good;
    WriteU32(&bad[21], segments);
    EXPECT_EQ(LoadExitCode(bad), 1) << segments;
  }
  bad = good;
  WriteU32(&bad[13], 65536);  // more names than an index holds
  EXPECT_EQ(LoadExitCode(bad), 1);
  bad = good;
  WriteU16(&bad[48 + 16], 40000);  // a node count past the 16-bit links
  EXPECT_EQ(LoadExitCode(bad), 1);

  // The first segment's arrays: a value past the names, a backward link, no final NUL.
  const uint16_t m = ReadU16(&good[48 + 16]);
  ASSERT_GT(m, 2);
  const size_t chars = 48 + 20, values = chars + m, links = values + 2u * m;
  bad = good;
  WriteU16(&bad[values + m - 1], 6);
  EXPECT_EQ(LoadExitCode(bad), 1);
  bad = good;
  WriteU16(&bad[links + 1], 1);
  EXPECT_EQ(LoadExitCode(bad), 1);
  bad = good;
  bad[chars + m - 1] = 'x';
  EXPECT_EQ(LoadExitCode(bad), 1);
  EXPECT_THROW(TStringHashIndex(2, true, 7, 29, "/nonexistent/englex.*", ".av8"), FatalError);
}

TEST(NameIndex, WriterRefusesWhatCannotBeStored) {
  NameIndexWriter w(3, 3);
  EXPECT_EQ(w.AddName(""), 0);
  EXPECT_EQ(w.AddName(std::string(80, 'a')), 0);
  EXPECT_EQ(w.AddName("abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvw 1"), 0);
  const int e = w.AddName("walk");
  EXPECT_EQ(e, 1);
  EXPECT_EQ(w.AddName("walk"), 1);
  EXPECT_FALSE(w.AddForm("walked", 2));
  EXPECT_TRUE(w.AddForm("walked", 1));
}

TEST(NameIndex, PairIndex) {
  TPairIndex pairs;
  ASSERT_TRUE(pairs.ready);
  ASSERT_TRUE(pairs.AddNameIfAbsent("engine"));
  EXPECT_FALSE(pairs.AddPair("steam engine", "boiler"));  // the word is not known
  EXPECT_TRUE(pairs.AddPair("steam engine", "engine"));
  EXPECT_TRUE(pairs.AddPair("steam engine", "engine"));
  EXPECT_EQ(pairs.PairCount(), 1u);
  EXPECT_EQ(pairs.RepeatCount(), 1u);
  uint32_t count = 0;
  EXPECT_FALSE(pairs.CountCurrentPair(count, "x", "engine"));  // no current pair
  ASSERT_TRUE(pairs.FindPair("steam engine"));
  EXPECT_TRUE(pairs.CountCurrentPair(count, "Steam engine", "engine"));
  EXPECT_EQ(count, 2u);
  const char* name = nullptr;
  uint32_t link = 0;
  ASSERT_TRUE(pairs.PairInfo(1, &name, link, count));
  EXPECT_STREQ(name, "Steam engine");
  EXPECT_EQ(link, 1u);
  EXPECT_FALSE(pairs.PairInfo(2, &name, link, count));
  EXPECT_FALSE(pairs.FindPair("diesel engine"));
  EXPECT_EQ(pairs.MergeCountOf(1), 1u);
  EXPECT_TRUE(pairs.IncrementMergeCount(1));
  EXPECT_TRUE(pairs.RenameAndMergeEntry(1, 2, "motor"));
  EXPECT_EQ(pairs.MergeCountOf(2), 3u);
  EXPECT_EQ(pairs.MergeCountOf(1), 1u);
  EXPECT_STREQ(pairs.NameOfEntry(1), "motor");
  EXPECT_EQ(pairs.MergeCountOf(0), 0u);
}

// The dictionary's text index reads its names in the engine's own list
// instead of copies, and keeps the list while it lives.
TEST(NameIndex, TextIndexReadsSharedNamesThatOutliveTheirOwner) {
  TTextIndex index(0, 100);
  index.entries = 3;
  auto list = std::make_shared<const std::vector<std::string>>(std::vector<std::string>{"", "alpha", "", "gamma"});
  index.ShareNames(list);
  list.reset();
  EXPECT_STREQ(index.TextIndexNameOf(1), "alpha");
  EXPECT_EQ(index.TextIndexNameOf(2), nullptr);
  EXPECT_STREQ(index.TextIndexNameOf(3), "gamma");
  EXPECT_EQ(index.TextIndexNameOf(4), nullptr);
  EXPECT_EQ(index.TextIndexNameOf(0), nullptr);
}

// The dictionary's text index looks texts up in the engine's own arrays,
// which it keeps while it lives.
TEST(NameIndex, TextIndexLooksUpInSharedArraysThatOutliveTheirOwner) {
  TLargeTrie built(20);
  ASSERT_TRUE(built.Insert("alpha", 1));
  ASSERT_TRUE(built.Insert("alps", 2));
  ASSERT_TRUE(built.Insert("beta", 3));
  struct Arrays {
    std::vector<unsigned char> chars;
    std::vector<int32_t> links;
    std::vector<uint32_t> values;
  };
  auto owner = std::make_shared<Arrays>();
  const auto& a = built.Arrays();
  owner->chars.assign(a.chars, a.chars + 21);
  owner->links.assign(a.links, a.links + 21);
  owner->values.assign(a.values, a.values + 21);
  TTextIndex index(3, 0);
  index.ShareTrie(owner, owner->chars.data(), owner->links.data(), owner->values.data(), 20);
  owner.reset();
  EXPECT_EQ(index.TextIndexLookup("alpha"), 1u);
  EXPECT_EQ(index.TextIndexLookup("alps"), 2u);
  EXPECT_EQ(index.TextIndexLookup("beta"), 3u);
  EXPECT_EQ(index.TextIndexLookup("alp"), 0u);
  EXPECT_EQ(index.TextIndexLookup("gamma"), 0u);
}

TEST(NameIndex, TextIndexCountsAndRanks) {
  TTextIndex index(0, 1000);
  ASSERT_TRUE(index.trie.Insert("alpha", 1));
  ASSERT_TRUE(index.trie.Insert("beta", 2));
  index.entries = 2;
  index.names.PagedTextArraySet(1, "alpha");
  index.AllocateTextIndexCounts();
  EXPECT_EQ(index.TextIndexLookup("beta"), 2u);
  EXPECT_EQ(index.TextIndexLookup("gamma"), 0u);
  uint32_t field = 5;
  EXPECT_TRUE(index.CountTextIndexEntry(2, field));
  EXPECT_EQ(field, 0u);
  EXPECT_TRUE(index.CountTextIndexEntry(2, field));
  EXPECT_TRUE(index.CountTextIndexEntry(1, field));
  EXPECT_FALSE(index.CountTextIndexEntry(3, field));
  EXPECT_EQ(index.highestCounted, 2u);
  EXPECT_EQ(index.TextIndexCountAtRank(1), 0u);  // nothing ranked yet
  index.RankTextIndexByCount();
  EXPECT_EQ(index.TextIndexCountAtRank(1), 2u);
  EXPECT_EQ(index.TextIndexEntryAtRank(1), 2u);
  EXPECT_EQ(index.TextIndexCountAtRank(3), 0u);
  EXPECT_STREQ(index.TextIndexNameOf(1), "alpha");
  EXPECT_EQ(index.TextIndexNameOf(3), nullptr);
  index.ResetTextIndexCounts();
  EXPECT_EQ(index.TextIndexCountOf(2), 0u);
  EXPECT_EQ(index.rankedCount, 0u);
}

}  // namespace
}  // namespace quilor
