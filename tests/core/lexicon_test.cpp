#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/dictionary_file.h"
#include "core/lexicon.h"
#include "core/name_index.h"
#include "platform/fatal.h"
#include "platform/message_ui.h"

namespace quilor {
namespace {

constexpr TCategoryCode kNoun = 0x0F00;                // class 15 reads as Substantive
constexpr TCategoryCode kVerb = 0x0100 | 0x40 | 0x30;  // factive infinitive
constexpr TCategoryCode kAdjective = 0x0401;
constexpr TCategoryCode kConnector = 0x0204;

// Restores the working tables that a lexicon load replaces.
class LexiconTest : public ::testing::Test {
 protected:
  void TearDown() override {
    ResetWorkingTables();
    SetLexiconOntology(nullptr);
    delete VerbIndex;
    VerbIndex = nullptr;
  }
  ScopedScriptedUi ui;
};

std::vector<uint8_t> SmallLexicon() {
  LexiconWriter w(DefaultWorkingTables(), 42, 7);
  EXPECT_TRUE(w.AddWord("walk", {kVerb, kNoun}));
  EXPECT_TRUE(w.AddWord("try", {kVerb}));
  EXPECT_TRUE(w.AddWord("take", {kVerb}));
  EXPECT_TRUE(w.AddWord("cat", {kNoun}));
  EXPECT_TRUE(w.AddWord("box", {kNoun}));
  EXPECT_TRUE(w.AddWord("red", {kAdjective}));
  EXPECT_TRUE(w.AddWord("because", {kConnector}));
  EXPECT_TRUE(w.AddWord("gato", {kNoun}));
  return w.Build();
}

TEST_F(LexiconTest, EveryReadingAtEveryDepthReadsBack) {
  WorkingTables tables = DefaultWorkingTables();
  tables.languageByte = 77;
  tables.styleNorms[5] = -3;
  LexiconWriter w(tables, 1234, 99);
  std::map<std::string, std::vector<TCategoryCode>> model;
  // Words with 1 to 6 readings, sharing prefixes, in both cases.
  const char* stems[] = {"a", "ab", "abc", "b", "bo", "book", "books", "zebra", "\xe9t\xe9", "oak", "on", "xylophone"};
  int n = 0;
  for (const char* stem : stems) {
    for (int suffix = 0; suffix < 40; ++suffix, ++n) {
      std::string word =
          std::string(stem) + (suffix ? std::string(suffix % 7 + 1, static_cast<char>('a' + suffix % 26)) : "");
      if (model.count(word)) continue;
      std::vector<TCategoryCode> codes;
      for (int r = 0; r <= n % 6; ++r) codes.push_back(static_cast<TCategoryCode>(0x0100 + (n * 7 + r) % 0x0E00 + 1));
      ASSERT_TRUE(w.AddWord(word, codes));
      model[word] = codes;
    }
  }
  for (const auto& [word, codes] : model)
    if (codes.size() == kMaxReadings) {
      EXPECT_FALSE(w.AddWord(word, {1}));  // a seventh reading
    }
  EXPECT_FALSE(w.AddWord("", {1}));
  EXPECT_FALSE(w.AddWord(std::string(80, 'q'), {1}));
  EXPECT_FALSE(w.AddWord("zero", {0}));
  const std::vector<uint8_t> image = w.Build();
  TMainDictionary d(image.data(), image.size(), "test.lv8");
  ASSERT_TRUE(d.ready);
  EXPECT_EQ(d.stamp, 1234u);
  EXPECT_EQ(d.secondField, 99u);
  EXPECT_EQ(Tables.languageByte, 77);
  EXPECT_EQ(Tables.styleNorms[5], -3);
  std::set<int> depths;
  for (const auto& [word, codes] : model) {
    for (size_t r = 0; r < codes.size(); ++r) {
      ASSERT_GT(d.LookupLexiconReading(static_cast<int>(r), word.c_str()), 0) << word << " " << r;
      const bool more = r + 1 < codes.size();
      EXPECT_EQ(d.value, codes[r] | (more ? kCodeBitAnotherReading : 0)) << word << " " << r;
      EXPECT_EQ(IsAmbiguous(d.record), more);
      depths.insert(static_cast<int>(r));
    }
    if (codes.size() < kMaxReadings) {
      EXPECT_EQ(d.LookupLexiconReading(static_cast<int>(codes.size()), word.c_str()), -1);
    }
    std::string upper = word;
    UpperCaseChars(upper.data(), static_cast<int>(upper.size()));
    EXPECT_GT(d.LookupLexiconReading(0, upper.c_str()), 0) << "one case rule for writing and lookup";
  }
  EXPECT_EQ(depths.size(), 6u);
  EXPECT_EQ(d.LookupLexiconReading(0, "nothere"), -1);
  EXPECT_EQ(d.LookupLexiconReading(0, ""), -1);
}

// The sibling tables are built on threads while the lexicon is already
// looked up: a walk that finds its table half made must not read it (the
// thread sanitizer build runs this one).
TEST_F(LexiconTest, LookupsWhileSiblingTableThreadsBuildAnswerAsAfter) {
  LexiconWriter w(DefaultWorkingTables(), 5, 6);
  std::vector<std::string> words;
  for (char a = 'a'; a <= 'z'; ++a)
    for (char b = 'a'; b <= 'z'; ++b)
      for (char c : {'e', 'o', 's', 't'}) words.push_back(std::string{a, b, c});
  for (const std::string& word : words) ASSERT_TRUE(w.AddWord(word, {kNoun}));
  const std::vector<uint8_t> image = w.Build();
  for (int round = 0; round < 10; ++round) {
    TMainDictionary d(image.data(), image.size(), "test.lv8");
    ASSERT_TRUE(d.ready);
    for (const std::string& word : words) ASSERT_GT(d.LookupLexiconReading(0, word.c_str()), 0) << word;
    EXPECT_EQ(d.LookupLexiconReading(0, "zzq"), -1);
  }
}

TEST_F(LexiconTest, LoadsFromTheDictionaryMaskAndEmptyMode) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("quilor_lexicon_" + std::to_string(::getpid()));
  fs::create_directories(dir / "Dico");
  LexiconWriter w(DefaultWorkingTables());
  ASSERT_TRUE(w.AddWord("Walk", {kVerb}));
  std::string error;
  ASSERT_TRUE(w.Write((dir / "Dico" / "englex.lv8").string(), &error)) << error;
  TMainDictionary d((dir / "Dico" / "englex.*").string(), 2);
  EXPECT_TRUE(d.ready);
  EXPECT_GT(d.LookupLexiconReading(0, "walk"), 0);
  EXPECT_EQ(d.fileName, (dir / "Dico" / "englex.lv8").string());
  fs::remove_all(dir);

  TMainDictionary empty("", 0);
  EXPECT_TRUE(empty.ready);
  EXPECT_EQ(LookupWord(empty, 0, 4, true, true, "walk"), -1);
}

TEST_F(LexiconTest, DepthBeyondFiveSkipsTheReadingOnceAndLookupsGoOn) {
  const auto image = SmallLexicon();
  TMainDictionary d(image.data(), image.size(), "t.lv8");
  EXPECT_EQ(LookupWord(d, 6, 4, true, true, "walk"), -1);
  EXPECT_EQ(d.LookupLexiconReading(7, "walk"), -1);
  EXPECT_EQ(ui.ui.Shown().size(), 1u) << "reported once";
  EXPECT_GT(LookupWord(d, 0, 4, true, true, "walk"), 0);
  EXPECT_GT(LookupWord(d, 1, 4, true, true, "walk"), 0);
  EXPECT_TRUE(IsSubstantive(d.record));
}

class FakeOntology : public LexiconOntology {
 public:
  int LookupEntry(const char* word, bool& found) override {
    found = std::strcmp(word, "known") == 0 || std::strcmp(word, "entity") == 0;
    return std::strcmp(word, "entity") == 0 ? 5 : -1;
  }
  int ScenarioEntryOfWordForm(const char* word, int) override { return std::strcmp(word, "hobbit") == 0 ? 3 : 0; }
  bool HoldsWithClass(const char* word, uint32_t) override { return held.count(word) != 0; }
  std::set<std::string> held;
};

TEST_F(LexiconTest, LookupWordFallBacks) {
  const auto image = SmallLexicon();
  TMainDictionary d(image.data(), image.size(), "t.lv8");
  FakeOntology ontology;
  SetLexiconOntology(&ontology);

  EXPECT_EQ(LookupWord(d, 0, 0, true, true, "walk"), -1);
  EXPECT_EQ(LookupWord(d, 0, 0, true, true, ""), -1);
  EXPECT_EQ(d.value, 0);

  ASSERT_GT(LookupWord(d, 0, 4, true, true, "walk"), 0);
  EXPECT_TRUE(d.WordFoundAsWritten);
  ASSERT_GT(LookupWord(d, 0, 6, true, true, "walked"), 0);
  EXPECT_TRUE(IsVerb(d.record));
  EXPECT_TRUE(IsPastParticiple(d.record));
  EXPECT_FALSE(d.WordFoundAsWritten);
  ASSERT_GT(LookupWord(d, 0, 7, true, true, "walking"), 0);
  EXPECT_TRUE(IsPresentParticiple(d.record));
  ASSERT_GT(LookupWord(d, 0, 5, true, true, "tried"), 0);  // trie, tri, try
  EXPECT_TRUE(IsVerb(d.record));
  ASSERT_GT(LookupWord(d, 0, 5, true, true, "taken"), 0);
  EXPECT_TRUE(IsIndicative(d.record));
  // Without other forms only the plural is tried.
  EXPECT_EQ(LookupWord(d, 0, 6, false, true, "walked"), -1);
  ASSERT_GT(LookupWord(d, 0, 4, false, true, "cats"), 0);
  EXPECT_TRUE(IsSubstantive(d.record));
  ASSERT_GT(LookupWord(d, 0, 5, false, true, "boxes"), 0);
  // "walks": the singular is a verb, not accepted as a plural; the -s rule finds it.
  ASSERT_GT(LookupWord(d, 0, 5, true, true, "walks"), 0);
  EXPECT_TRUE(IsVerb(d.record));
  EXPECT_TRUE(IsPresentTense(d.record));
  // Words longer than a key are cut to 79 characters, whatever their ending.
  for (const char* ending : {"ed", "ing", "es", "s", "mente"}) {
    const std::string word = std::string(150, 'w') + ending;
    EXPECT_EQ(LookupWord(d, 0, static_cast<int>(word.size()), true, true, word.c_str()), -1);
  }
  // Only the length given is looked up.
  ASSERT_GT(LookupWord(d, 0, 4, true, true, "walkxyz"), 0);

  // The ontology and the Scenario.
  ASSERT_EQ(LookupWord(d, 0, 6, true, true, "entity"), 1);
  EXPECT_TRUE(d.FoundAsOntologyNoun);
  EXPECT_TRUE(d.WordKnownToOntology);
  EXPECT_EQ(d.value, 1);
  EXPECT_TRUE(IsSubstantive(d.record));
  ASSERT_EQ(LookupWord(d, 0, 6, true, true, "hobbit"), 1);
  EXPECT_TRUE(d.FoundAsOntologyNoun);
  EXPECT_FALSE(d.WordKnownToOntology);
  EXPECT_EQ(LookupWord(d, 0, 6, true, false, "hobbit"), -1);
  EXPECT_EQ(LookupWord(d, 0, 5, true, true, "known"), -1);
  EXPECT_TRUE(d.WordFoundAsWritten);
  EXPECT_TRUE(d.WordKnownToOntology);

  // Spanish: -a retried as -o, accepted as a Substantive.
  EXPECT_EQ(LookupWord(d, 0, 4, true, true, "gata"), -1);
  d.language = kLanguageSpanish;
  ASSERT_GT(LookupWord(d, 0, 4, true, true, "gata"), 0);
  EXPECT_EQ(LookupWord(d, 0, 4, true, true, "reda"), -1);
  d.language = kLanguagePortuguese;
  ASSERT_EQ(LookupWord(d, 0, 11, true, true, "rapidamente"), 1);
  EXPECT_TRUE(IsModalityOf(d.record, 3));
  EXPECT_EQ(LookupWord(d, 0, 5, true, true, "mente"), -1);
}

// The loading's threads look words up at once, each with an answer of its
// own: the answers stay apart and the dictionary's own is left as it was
// (the thread sanitizer build runs this one).
TEST_F(LexiconTest, ThreadsLookWordsUpWithAnswersOfTheirOwn) {
  const auto image = SmallLexicon();
  TMainDictionary d(image.data(), image.size(), "t.lv8");
  FakeOntology ontology;
  SetLexiconOntology(&ontology);
  ASSERT_GT(LookupWord(d, 0, 4, true, true, "cats"), 0);
  const TCategoryCode before = d.value;
  const char* words[] = {"walked", "cats", "entity", "hobbit"};
  bool verb[4] = {}, wrong[4] = {};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      TLexiconAnswer a;
      const int length = static_cast<int>(std::strlen(words[t]));
      for (int round = 0; round < 2000; ++round) {
        if (LookupWord(d, a, 0, length, true, true, words[t]) <= 0) wrong[t] = true;
        if (round == 0) verb[t] = IsVerb(a.record);
        if (IsVerb(a.record) != verb[t] || (t >= 2 && !a.FoundAsOntologyNoun)) wrong[t] = true;
      }
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_TRUE(verb[0]);
  for (int t = 1; t < 4; ++t) EXPECT_FALSE(verb[t]) << words[t];
  for (int t = 0; t < 4; ++t) EXPECT_FALSE(wrong[t]) << words[t];
  EXPECT_EQ(d.value, before);
  EXPECT_FALSE(d.FoundAsOntologyNoun);
}

TEST_F(LexiconTest, InfinitivesAndBaseForms) {
  const auto image = SmallLexicon();
  TMainDictionary d(image.data(), image.size(), "t.lv8");
  NameIndexWriter vw(7, 29);
  const int take = vw.AddName("take");
  const int walk = vw.AddName("walk");
  ASSERT_GT(take, 0);
  ASSERT_GT(walk, 0);
  ASSERT_TRUE(vw.AddForm("took", take));
  ASSERT_TRUE(vw.AddForm("taken", take));
  const auto vimage = vw.Build();
  VerbIndex = new TStringHashIndex(vimage.data(), vimage.size(), "t.vv8", false);

  char b[5][kWordBufferSize] = {};
  TCategoryRecord verb;
  DecodeCategory(0x0104, verb);  // past indicative
  std::strcpy(b[0], "took");
  ASSERT_TRUE(FindVerbInfinitive(d, verb, b));
  EXPECT_STREQ(b[0], "take");
  std::strcpy(b[0], "walked");
  ASSERT_TRUE(FindVerbInfinitive(d, verb, b));
  EXPECT_STREQ(b[0], "walk");
  std::strcpy(b[0], "set_walked");
  ASSERT_TRUE(FindVerbInfinitive(d, verb, b));
  EXPECT_STREQ(b[0], "walk");
  std::strcpy(b[0], "zorked");
  EXPECT_FALSE(FindVerbInfinitive(d, verb, b));
  for (auto& x : b) EXPECT_STREQ(x, "");
  DecodeCategory(kVerb, verb);
  std::strcpy(b[0], "zork");
  EXPECT_TRUE(FindVerbInfinitive(d, verb, b));
  EXPECT_STREQ(b[0], "zork");

  char word[kWordBufferSize];
  TWordCategoryData data;
  DecodeCategory(0x0104, data.Category);
  std::strcpy(word, "taken");
  EXPECT_TRUE(ReduceToBaseForm(d, data, word));
  EXPECT_STREQ(word, "take");
  DecodeCategory(kAdjective, data.Category);
  std::strcpy(word, "reds");
  ReduceToBaseForm(d, data, word);
  EXPECT_STREQ(word, "red");
  std::strcpy(word, "greens");
  ReduceToBaseForm(d, data, word);
  EXPECT_STREQ(word, "greens");

  FakeOntology ontology;
  ontology.held = {"box", "tax", "boxe"};
  SetLexiconOntology(&ontology);
  DecodeCategory(kNoun, data.Category);
  std::strcpy(word, "boxes");
  ReduceToBaseForm(d, data, word);
  EXPECT_STREQ(word, "box");
  std::strcpy(word, "tax-boxes");
  ReduceToBaseForm(d, data, word);
  EXPECT_STREQ(word, "tax");
  ontology.held = {"tax_box"};
  std::strcpy(word, "taxes_boxes");
  ReduceToBaseForm(d, data, word);
  EXPECT_STREQ(word, "tax_box");
}

// A dictionary file that does not hold together must end in FatalError with
// the right exit code, and leave the working tables alone.
int LoadExitCode(const std::vector<uint8_t>& image) {
  try {
    TMainDictionary d(image.data(), image.size(), "bad.lv8");
  } catch (const FatalError& e) {
    return e.ExitCode();
  }
  return -1;
}

TEST_F(LexiconTest, TruncatedAndCorruptFilesAreRefused) {
  const auto good = SmallLexicon();
  ASSERT_EQ(LoadExitCode(good), -1);
  ResetWorkingTables();
  const unsigned char groupOfA = Tables.letterGroup[static_cast<unsigned char>('a')];

  for (size_t cut : {size_t(0), size_t(1), size_t(600), size_t(1133), size_t(1134), size_t(1500), good.size() - 1})
    EXPECT_EQ(LoadExitCode(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(cut))), 2) << cut;

  EXPECT_NE(ui.ui.Shown().back().text.find("Corrupted dictionary files"), std::string::npos);
  auto bad = good;
  bad[1129] ^= 1;  // magic
  EXPECT_EQ(LoadExitCode(bad), 1);
  bad = good;
  bad[0] = 'w';  // version
  EXPECT_EQ(LoadExitCode(bad), 1);
  EXPECT_NE(ui.ui.Shown().back().text.find("Wrong version"), std::string::npos);
  bad = good;
  bad[28 + 'q'] = 11;  // a letter group past 10 would choose a sub-trie that does not exist
  EXPECT_EQ(LoadExitCode(bad), 1);

  // Node counts larger than the file: a read error, before any allocation.
  bad = good;
  WriteU32(&bad[1134 + 16], 0x7FFFFFFF);
  EXPECT_EQ(LoadExitCode(bad), 2);

  // Links: find the first sub-trie with nodes and break its links and its last NUL.
  uint64_t total = 0;
  int first = 0;
  for (int t = 1; t <= 50; ++t) {
    const uint32_t n = ReadU32(&good[1134 + (t - 1) * 24 + 16]);
    if (!first && n > 2) first = t;
    total += n;
  }
  ASSERT_GT(first, 0);
  uint64_t before = 0;
  for (int t = 1; t < first; ++t) before += ReadU32(&good[1134 + (t - 1) * 24 + 16]);
  const size_t data = 1134 + 50 * 24;
  const size_t links = data + total * 3 + before * 4;
  for (int32_t link : {0, -2, 1 << 30}) {
    bad = good;
    WriteU32(&bad[links], static_cast<uint32_t>(link));
    EXPECT_EQ(LoadExitCode(bad), 1) << link;
  }
  bad = good;
  const uint32_t n = ReadU32(&good[1134 + (first - 1) * 24 + 16]);
  bad[data + before + n - 1] = 'x';  // the last node is not a NUL
  EXPECT_EQ(LoadExitCode(bad), 1);
  EXPECT_EQ(Tables.letterGroup[static_cast<unsigned char>('a')], groupOfA);

  EXPECT_THROW(TMainDictionary("/nonexistent/dir/englex.*", 2), FatalError);
}

}  // namespace
}  // namespace quilor
