#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/borders.h"
#include "core/category.h"
#include "core/chartables.h"
#include "core/tuning.h"
#include "core/lexicon.h"
#include "core/name_index.h"
#include "engine/analysis.h"
#include "engine/analysis_dictionaries.h"
#include "engine/category_counters.h"
#include "engine/dictionary_matrix.h"
#include "core/options.h"
#include "engine/segment_buffer.h"
#include "engine/word_list.h"
#include "engine/word_lookup_cache.h"
#include "engine/word_scanner.h"
#include "platform/fatal.h"
#include "tests/support/stream_support.h"

namespace quilor {
namespace {

using namespace testing_support;

// The lexicon of the golden paragraphs: lines of the English lexicon in text
// form (word TAB codes), so that the goldens do not move with the dictionary.
std::vector<uint8_t> TestLexiconImage(const std::string& name = "engine/segment/lexicon.txt") {
  LexiconWriter writer(DefaultWorkingTables());
  std::ifstream in(TestDataPath(name));
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string word, hex;
    fields >> word;
    std::vector<TCategoryCode> codes;
    while (fields >> hex) codes.push_back(static_cast<TCategoryCode>(std::strtoul(hex.c_str(), nullptr, 16) & 0x7FFF));
    writer.AddWord(word, codes);
  }
  return writer.Build();
}

// Installs a dictionary set for one test and removes it after.
class Dictionaries {
 public:
  explicit Dictionaries(const std::vector<uint8_t>& lexicon) {
    MainDictionary = new TMainDictionary(lexicon.data(), lexicon.size(), "test.lv8");
    VerbIndex = new TStringHashIndex(0, true, 50, 1, std::string(), ".vv8");
    AdjectiveIndex = new TStringHashIndex(0, true, 50, 1, std::string(), ".av8");
    DictionaryMatrix = TDictionaryMatrix{};
  }
  // The dictionaries of the build (the analysis's own).
  Dictionaries() { OpenAnalysisDictionaries(std::string(QUILOR_BINARY_DIR) + "/Dico"); }
  // The words of the test's texts go first.
  ~Dictionaries() {
    TextWords.Clear();
    CloseAnalysisDictionaries();
  }
  Dictionaries(const Dictionaries&) = delete;
  Dictionaries& operator=(const Dictionaries&) = delete;
};

// Waits (a few seconds at most) for the lexicon's expression filter.
bool AwaitExpressionFilter() {
  for (int i = 0; i < 5000 && !MainDictionary->BuiltExpressionFilter(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return MainDictionary->BuiltExpressionFilter() != nullptr;
}

// Scans and segments a text as one file; TextWords holds the result.
void Segment(const std::string& text) {
  SegmentTextAsFile(reinterpret_cast<const unsigned char*>(text.data()), text.size(), false);
}

// One line per node: position, word, tag, class (marks: "/" and their tag).
std::string Stream() {
  std::string out;
  for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n)) {
    TCategoryRecord r = n->category.Category;
    const bool mark = std::string(n->text) == "/";
    out += std::to_string(n->position) + "\t" + n->text + "\t[" + n->tag + "]";
    if (!mark) out += "\t" + std::to_string(NormaliseMajorClass(r));
    if (n->category.SlotFlag) out += "\tquote@" + std::to_string(n->category.SlotFlag);
    out += "\n";
  }
  return out;
}

// Class of the first node with this text after `from` nodes of that text.
int ClassOf(const std::string& word, int occurrence = 0) {
  for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n)) {
    if (word != n->text || occurrence-- > 0) continue;
    TCategoryRecord r = n->category.Category;
    return NormaliseMajorClass(r);
  }
  return -1;
}

std::vector<std::string> Words() {
  std::vector<std::string> words;
  for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n))
    words.push_back(n->text);
  return words;
}

// The expression filter of the lookup cache is made from every key.
TEST(SegmentLexicon, EveryKeyOfTheLexiconIsVisited) {
  Dictionaries dictionaries(TestLexiconImage());
  std::map<std::string, int> seen;
  // Each reading lives in a sub-trie of its own: a key comes once per reading.
  MainDictionary->ForEachKey([&](const std::string& key, TCategoryCode) { ++seen[key]; });
  std::ifstream in(TestDataPath("engine/segment/lexicon.txt"));
  std::string line, word;
  size_t words = 0;
  while (std::getline(in, line)) {
    std::istringstream(line) >> word;
    ++words;
    EXPECT_EQ(seen.count(word), 1u) << word;
  }
  EXPECT_EQ(seen.size(), words);
}

// The cache answers as the dictionary does, before and after it grows, and
// its expression filter hides no key or prefix of an expression.
TEST(SegmentLexicon, TheLookupCacheAnswersAsTheDictionary) {
  Dictionaries dictionaries(TestLexiconImage());
  TWordLookupCache cache;
  auto same = [&](const char* word) {
    TCategoryRecord cached[kCachedReadings] = {};
    TCategoryCode first = 0;
    const int n = cache.WordReadings(word, cached, &first);
    for (int r = 0; r < kCachedReadings; ++r) {
      const bool found = LookupWord(*MainDictionary, r, static_cast<int>(std::strlen(word)), true, true, word) > 0 &&
                         MainDictionary->value != 0;
      if (r < n) {
        EXPECT_TRUE(found) << word << " " << r;
        EXPECT_EQ(std::memcmp(&cached[r], &MainDictionary->record, sizeof cached[r]), 0) << word << " " << r;
      }
      if (!found || !IsAmbiguous(MainDictionary->record)) {
        EXPECT_EQ(n, found ? r + 1 : r) << word;
        break;
      }
    }
  };
  for (const char* w : {"work", "Work", "works", "the", "can", "in_order_to", "zzz", "s"}) same(w);
  for (int i = 0; i < 6000; ++i) same(("w" + std::to_string(i)).c_str());  // the table grows
  for (const char* w : {"work", "Work", "works", "the", "can", "in_order_to", "zzz", "s"}) same(w);
  // Expressions, first looked for in the lexicon, then through the
  // lexicon's filter, which a text asks for once it has shown many
  // candidates.
  auto expressions = [&cache] {
    bool longer = false;
    EXPECT_TRUE(cache.ExpressionKnown("in_order", longer));
    EXPECT_TRUE(longer);
    EXPECT_TRUE(cache.ExpressionKnown("In_Order_to", longer));
    EXPECT_TRUE(cache.ExpressionKnown("new_york", longer));
    EXPECT_FALSE(cache.ExpressionKnown("new_car", longer));
    EXPECT_FALSE(longer);
    EXPECT_TRUE(cache.ExpressionKnown("email", longer));  // no separator: walked
    EXPECT_TRUE(cache.ExpressionKnown("e-mail", longer));
  };
  expressions();
  EXPECT_EQ(MainDictionary->BuiltExpressionFilter(), nullptr);
  bool longer = false;
  for (int i = 0; i < 5000; ++i) cache.ExpressionKnown(("w_" + std::to_string(i)).c_str(), longer);
  ASSERT_TRUE(AwaitExpressionFilter());
  expressions();
}

// The lexicon's one expression filter, built on its own thread while caches
// on two threads look words up and ask for expressions, hides no expression
// while it is built nor after; a lexicon dropped while its filter is built
// waits for the builder.
TEST(SegmentLexiconThread, TheSharedFilterHidesNoExpressionFromAnyThread) {
  {
    Dictionaries dictionaries(TestLexiconImage());
    MainDictionary->BuildExpressionFilter();
    auto lookUp = [](int offset, int& wrong) {
      TWordLookupCache cache;
      TCategoryRecord readings[kCachedReadings] = {};
      auto expressions = [&] {
        bool longer = false;
        wrong += !cache.ExpressionKnown("in_order", longer) || !longer;
        wrong += !cache.ExpressionKnown("In_Order_to", longer);
        wrong += !cache.ExpressionKnown("new_york", longer);
        wrong += cache.ExpressionKnown("new_car", longer);
        wrong += !cache.ExpressionKnown("e-mail", longer);
      };
      for (int i = 0; i < 2000; ++i) {
        cache.WordReadings(i % 2 ? "work" : ("w" + std::to_string(i + offset)).c_str(), readings, nullptr);
        if (i % 100 == 0) expressions();
      }
      if (cache.WordReadings("work", readings, nullptr) <= 0) ++wrong;
      if (!AwaitExpressionFilter()) ++wrong;
      expressions();
    };
    int wrong[2] = {};
    std::thread other(lookUp, 100000, std::ref(wrong[1]));
    lookUp(0, wrong[0]);
    other.join();
    EXPECT_EQ(wrong[0], 0);
    EXPECT_EQ(wrong[1], 0);
    MainDictionary->BuildExpressionFilter();  // built: nothing more starts
  }
  Dictionaries dropped(TestLexiconImage());
  MainDictionary->BuildExpressionFilter();
}

TEST(SegmentGolden, ParagraphsGiveTheirGoldenStreams) {
  Dictionaries dictionaries(TestLexiconImage());
  const bool update = std::getenv("QUILOR_UPDATE_GOLDEN") != nullptr;
  for (const char* name : {"contractions", "numbers", "expressions", "abbreviations", "long_sentence", "content_words",
                           "commas", "tokens", "readings", "punctuation"}) {
    SCOPED_TRACE(name);
    const std::string base = TestDataPath(std::string("engine/segment/") + name);
    const std::string text = ReadFileBytes(base + ".txt");
    ASSERT_FALSE(text.empty());
    Segment(text);
    const std::string stream = Stream();
    if (update) std::ofstream(base + ".golden", std::ios::binary) << stream;
    EXPECT_EQ(stream, ReadFileBytes(base + ".golden"));
  }
}

// Real prose: a news report, the opening of a learned paper, and a novel's
// first chapter in Windows-1252 with its curly quotes and dashes. Its
// lexicon lines and reading matrix are frozen beside it, so that the
// dictionaries' growth does not move it. The stream shows every word's whole
// reading (kind, subclass, fields, flags) and every proposition cut. A change
// of the rules that moves it is reviewed in the difference, then written
// again with QUILOR_UPDATE_GOLDEN=1.
TEST(SegmentGolden, RealProseKeepsItsWordKindsAndCuts) {
  Dictionaries dictionaries(TestLexiconImage("engine/segment/prose/lexicon.txt"));
  const std::string matrix = ReadFileBytes(TestDataPath("engine/segment/prose/matrix.zv8"));
  ASSERT_TRUE(ParseDictionaryMatrix(reinterpret_cast<const uint8_t*>(matrix.data()), matrix.size(), DictionaryMatrix));
  const bool update = std::getenv("QUILOR_UPDATE_GOLDEN") != nullptr;
  for (const char* name : {"news", "learned", "novel"}) {
    SCOPED_TRACE(name);
    const std::string base = TestDataPath(std::string("engine/segment/prose/") + name);
    const std::string text = ReadFileBytes(base + ".txt");
    ASSERT_FALSE(text.empty());
    Segment(text);
    std::string stream;
    char reading[32];
    for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n)) {
      const TCategoryRecord& r = n->category.Category;
      std::snprintf(reading, sizeof reading, "\t%u.%u.%u.%u.%u", r.MajorClass, r.Subclass, r.SubField2, r.SubField3,
                    r.Flags);
      stream += std::to_string(n->position) + "\t" + n->text + "\t[" + n->tag + "]";
      if (std::strcmp(n->text, "/") != 0) stream += reading;
      if (n->category.SlotFlag) stream += "\tquote@" + std::to_string(n->category.SlotFlag);
      stream += "\n";
    }
    if (update) std::ofstream(base + ".golden", std::ios::binary) << stream;
    // The first lines that differ, not the whole text.
    std::istringstream got(stream), want(ReadFileBytes(base + ".golden"));
    std::string g, w, differences;
    int line = 0, shown = 0;
    while (shown < 8) {
      const bool moreGot = static_cast<bool>(std::getline(got, g));
      const bool moreWant = static_cast<bool>(std::getline(want, w));
      if (!moreGot && !moreWant) break;
      ++line;
      if (moreGot != moreWant || g != w) {
        differences += "line " + std::to_string(line) + ": got \"" + (moreGot ? g : "(end)") + "\", golden \"" +
                       (moreWant ? w : "(end)") + "\"\n";
        ++shown;
      }
    }
    EXPECT_TRUE(differences.empty()) << differences << "(a deliberate change: QUILOR_UPDATE_GOLDEN=1 writes it)";
  }
}

// The rules the goldens show, spelled out.
TEST(SegmentTokens, ContractionsNumbersExpressionsAndAbbreviations) {
  Dictionaries dictionaries(TestLexiconImage());
  Segment("I don't think it's John's car.");
  EXPECT_EQ(ClassOf("don"), kClassVerb);
  EXPECT_EQ(ClassOf("t"), kClassModality);
  EXPECT_EQ(ClassOf("s"), kClassVerb);            // it's
  EXPECT_EQ(ClassOf("s", 1), kClassDeterminant);  // John's (flag Fundamental)
  EXPECT_EQ(ClassOf("car"), kClassSubstantive);

  Segment("3,5 and 10:30 and 12/25 but 1/2005 and 5 and 12a3 and 1.2.3");
  const std::vector<std::string> words = Words();
  for (const char* joined : {"3,5", "10:30", "12/25", "1.2.3"})
    EXPECT_NE(std::find(words.begin(), words.end(), joined), words.end()) << joined;
  EXPECT_EQ(std::find(words.begin(), words.end(), "1/2005"), words.end());
  EXPECT_EQ(ClassOf("5"), kClassAdjective);
  EXPECT_EQ(ClassOf("2005"), kClassAdjective);
  EXPECT_EQ(ClassOf("12a3"), kClassSubstantive);  // not all digits

  Segment("He came in order to see New York.");
  EXPECT_EQ(ClassOf("in_order_to"), kClassConnector);
  EXPECT_EQ(ClassOf("New_York"), kClassSubstantive);
  EXPECT_EQ(ClassOf("order"), -1);

  // The dot after an abbreviation ends no sentence; after a word it does.
  Segment("Mr. Smith came. Dr. Jones saw him.");
  const std::vector<std::string> w = Words();
  ASSERT_GE(w.size(), 9u);
  EXPECT_EQ(w[0], "Mr");
  EXPECT_EQ(w[1], "Smith");
  EXPECT_EQ(w[3], "/");
  EXPECT_EQ(w[4], "Dr");
  EXPECT_EQ(w[5], "Jones");

  // An initial (one letter) ends no sentence either; a word of two letters does.
  Segment("We met J. Harper today. We met Jo. Harper came.");
  EXPECT_EQ(Words(), (std::vector<std::string>{"We", "met", "J", "Harper", "today", "/", "We", "met", "Jo", "/",
                                               "Harper", "came", "/"}));
}

TEST(SegmentCuts, SlotsCommasAndContentWords) {
  Dictionaries dictionaries(TestLexiconImage());
  // 200 words without punctuation: a mark after the 124th word.
  std::string text;
  for (int i = 0; i < 200; ++i) text += "dog ";
  Segment(text);
  std::vector<std::string> w = Words();
  ASSERT_GT(w.size(), 125u);
  int firstMark = -1;
  for (size_t i = 0; i < w.size(); ++i)
    if (w[i] == "/" && firstMark < 0) firstMark = static_cast<int>(i);
  // Twenty content words make a mark first; the segment itself ends at 124.
  EXPECT_EQ(firstMark, 20);
  size_t words = 0;
  for (const std::string& s : w) words += s != "/";
  EXPECT_EQ(words, 200u);

  // 45 substantives without verb: marks after the 20th and the 40th.
  text.clear();
  for (int i = 0; i < 45; ++i) text += "house ";
  Segment(text + ".");
  w = Words();
  ASSERT_EQ(w.size(), 48u);
  EXPECT_EQ(w[20], "/");
  EXPECT_EQ(w[41], "/");
  EXPECT_EQ(w[47], "/");
}

// A dot with no blank after it ends the sentence only in the resolver, which
// has the word after it sent again: that word is counted once.
TEST(SegmentCuts, TheWordThatBeginsTheNextSegmentIsCountedOnce) {
  Dictionaries dictionaries(TestLexiconImage());
  Segment("the dog ran.The man came.Then he saw a car");
  std::vector<std::string> w;
  int32_t expected = 0;
  for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n)) {
    w.push_back(n->text);
    if (std::string(n->text) == "/") continue;
    EXPECT_EQ(n->position, ++expected) << n->text;
  }
  EXPECT_EQ(w, (std::vector<std::string>{"the", "dog", "ran", "/", "The", "man", "came", "/", "Then", "he", "saw", "a",
                                         "car", "/"}));
}

// The punctuation after a file's last word has no word to carry it: the
// final mark does, as the marks of the sentences before carry theirs.
TEST(SegmentCuts, TheFinalPunctuationOfEachFileClosesItsLastProposition) {
  StreamTestState state;
  Dictionaries dictionaries(TestLexiconImage());
  auto lastTag = [] {
    std::string tag = "(none)";
    for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n))
      tag = std::string(n->text) == "/" ? std::string(n->tag) : "(word)";
    return tag;
  };
  Segment("the dog ran. the man came!");
  EXPECT_EQ(lastTag(), "!");
  Segment("he said \"go now.\"\n");
  EXPECT_EQ(lastTag(), ".\"");
  Segment("the man came \n");
  EXPECT_EQ(lastTag(), " ") << "no punctuation, no closing";

  TempFolder folder;
  const std::string a = folder.Write("a.txt", "the man came?\n");
  const std::string b = folder.Write("b.txt", "the dog ran.");
  ASSERT_TRUE(RunOnFiles({a, b}));
  std::vector<std::string> marks;
  for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n))
    if (std::string(n->text) == "/") marks.push_back(n->tag);
  EXPECT_EQ(marks, (std::vector<std::string>{"?", "."}));
}

// Each run counts its own text only: no count or percentage of the run
// before is left in the next.
TEST(SegmentCounts, TheSameTextCountsTheSameAfterAnother) {
  StreamTestState state;
  Dictionaries dictionaries;
  TempFolder folder;
  const std::string a = folder.Write("a.txt",
                                     "He said that she would never come, because they thought the old house was cold. "
                                     "Perhaps we must leave now; however, I believe it is certainly true.\n");
  const std::string b = folder.Write("b.txt", "The man walks to the house.\n");
  TAnalysis analysis;
  ASSERT_TRUE(RunOnFiles({b}, analysis));
  const TRunCounts counts = RunCounts;
  const TSegmentCounts segments = analysis.segments;
  ASSERT_TRUE(RunOnFiles({a}, analysis));
  ASSERT_NE(RunCounts, counts);
  ASSERT_NE(analysis.segments, segments);
  ASSERT_TRUE(RunOnFiles({b}, analysis));
  EXPECT_EQ(RunCounts, counts);
  EXPECT_EQ(analysis.segments, segments);
}

// A mark carries all the punctuation that closes its proposition, in the
// order written: a closing bracket before a sentence's end is not lost.
TEST(SegmentCuts, AMarkKeepsAllThatClosesItsProposition) {
  Dictionaries dictionaries(TestLexiconImage());
  Segment("the man came (at home). the dog ran [away], and the man saw it.");
  std::vector<std::string> marks;
  for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n))
    if (std::string(n->text) == "/") marks.push_back(n->tag);
  ASSERT_GE(marks.size(), 2u);
  EXPECT_EQ(marks[0].substr(0, 2), ").");
  EXPECT_NE(std::find_if(marks.begin(), marks.end(), [](const std::string& t) { return t.rfind("],", 0) == 0; }),
            marks.end());
  // A hyphen after the sentence's end is no part of its mark.
  Segment("the dog ran .-\nthe man came");
  ASSERT_GE(Words().size(), 4u);
  EXPECT_EQ(std::string(TWordList::NodeAhead(TextWords.First(), 3)->tag), ".");
}

// The chosen category of the first node with this text (all zero when none).
TCategoryRecord RecordOf(const std::string& word) {
  for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n))
    if (word == n->text) return n->category.Category;
  return TCategoryRecord{};
}

// A sentence and the class (and, when not 0, the subclass) that a word of it takes.
struct ChosenReading {
  const char* text;
  const char* word;
  int cls;
  int subclass = 0;
};

void ExpectChosenReadings(const std::vector<ChosenReading>& cases) {
  for (const ChosenReading& c : cases) {
    Segment(c.text);
    TCategoryRecord r = RecordOf(c.word);
    EXPECT_EQ(NormaliseMajorClass(r), c.cls) << c.text;
    if (c.subclass) {
      EXPECT_EQ(r.Subclass, c.subclass) << c.text;
    }
  }
}

TEST(SegmentReadings, TheRealDictionaryResolvesTheClassicPairs) {
  Dictionaries dictionaries;
  ExpectChosenReadings({
      {"The work is hard.", "work", kClassSubstantive},
      {"They work hard.", "work", kClassVerb},
      {"I want to use it.", "use", kClassVerb},
      {"The use of it is clear.", "use", kClassSubstantive},
      {"I can swim.", "can", kClassVerb},
      {"He opened a can of beans.", "can", kClassSubstantive},
  });
}

TEST(SegmentRun, TwoFilesAreCutAsEachAlone) {
  StreamTestState state;
  Dictionaries dictionaries(TestLexiconImage());
  TempFolder folder;
  const std::string a = folder.Write("a.txt", "the man saw the dog and the old car\n");
  const std::string b = folder.Write("b.txt", "they work hard and the dog ran\n");
  auto marksOf = [](const std::vector<std::string>& files) {
    EXPECT_TRUE(RunOnFiles(files));
    std::vector<std::string> w = Words();
    return w;
  };
  std::vector<std::string> alone = marksOf({a});
  const std::vector<std::string> second = marksOf({b});
  alone.insert(alone.end(), second.begin(), second.end());
  EXPECT_EQ(marksOf({a, b}), alone);
}

TEST(SegmentBorders, AnXBorderFiltersUpToTheNextBorder) {
  StreamTestState state;
  Dictionaries dictionaries(TestLexiconImage());
  CreateBorderList();
  ClearBorderList();
  AddBorderEntry(MakeBorderEntry("secret", true));
  AddBorderEntry(MakeBorderEntry("public", false));
  ASSERT_TRUE(BuildBordersIndex());
  Segment("the man came. secret the dog ran. the car. public the house stood.");
  const std::vector<std::string> w = Words();
  FreeBordersIndex();
  ClearBorderList();
  EXPECT_EQ(std::find(w.begin(), w.end(), "dog"), w.end());
  EXPECT_EQ(std::find(w.begin(), w.end(), "car"), w.end());
  EXPECT_EQ(std::find(w.begin(), w.end(), "secret"), w.end());
  EXPECT_NE(std::find(w.begin(), w.end(), "man"), w.end());
  EXPECT_NE(std::find(w.begin(), w.end(), "house"), w.end());
}

TEST(DictionaryMatrix, ImageRoundTripShortFileAndScoresBeyondSixteenBits) {
  TDictionaryMatrix m;
  m.W0 = -7;
  m.P[1][8] = 300;
  m.T[8][1][8] = -30000;
  m.P5[3][1] = 12;
  m.T5[2][8][1] = 5;
  std::vector<uint8_t> image = DictionaryMatrixImage(m);
  ASSERT_EQ(image.size(), kDictionaryMatrixSize);
  TDictionaryMatrix back;
  ASSERT_TRUE(ParseDictionaryMatrix(image.data(), image.size(), back));
  EXPECT_EQ(back.W0, -7);
  EXPECT_EQ(back.P[1][8], 300);
  EXPECT_EQ(back.T[8][1][8], -30000);
  EXPECT_EQ(back.P5[3][1], 12);
  EXPECT_EQ(back.T5[2][8][1], 5);
  // Only the low 16 bits of a value count.
  image[8 + 4 * (1 * 11 + 8) + 2] = 0x7F;
  ASSERT_TRUE(ParseDictionaryMatrix(image.data(), image.size(), back));
  EXPECT_EQ(back.P[1][8], 300);
  EXPECT_FALSE(ParseDictionaryMatrix(image.data(), image.size() - 1, back));

  // A missing or short file ends the program after message 218, with the
  // code of a dictionary file that cannot be read.
  ScopedScriptedUi ui;
  TempFolder folder;
  try {
    ReadDictionaryMatrix(folder.Path("englex.*"));
    ADD_FAILURE() << "no error";
  } catch (const FatalError& e) {
    EXPECT_EQ(e.ExitCode(), kExitDictionaryRead);
  }
  folder.Write("englex.zv8", std::string(100, '\0'));
  EXPECT_THROW(ReadDictionaryMatrix(folder.Path("englex.*")), FatalError);
  ASSERT_EQ(ui.ui.Shown().size(), 2u);
  EXPECT_EQ(ui.ui.Shown()[0].text, "Dictionary matrix unreadable. Please, reinstall the software.");
}

TEST(DictionaryMatrix, HugeWeightsStillPickTheBestReading) {
  // Weights that would wrap a 16-bit sum, and scores all below -6000: the
  // reading the weights favour still wins.
  Dictionaries dictionaries(TestLexiconImage());
  for (int a = 0; a < kMatrixClasses; ++a)
    for (int b = 0; b < kMatrixClasses; ++b) {
      DictionaryMatrix.P[a][b] = -30000;
      for (int c = 0; c < kMatrixClasses; ++c) DictionaryMatrix.T[a][b][c] = -30000;
    }
  // "work" after "old": Substantive is reading 0; make the Verb reading the
  // one the weights prefer by a little (after "the", or before "is", no rule
  // would let a finite verb stand).
  DictionaryMatrix.P[kClassAdjective][kClassVerb] = -29000;
  Tuning.laterReadingCost = 0;
  Segment("old work here");
  Tuning = {};
  EXPECT_EQ(ClassOf("work"), kClassVerb);
}

// The kinds the dictionary and the resolver give in sentences of each
// construction the kind counters rest on.
TEST(SegmentKinds, ClosedWordsTakeTheirKindInContext) {
  Dictionaries dictionaries;
  // The folder's verb and adjective indexes are read: their words have entries before any text.
  EXPECT_GT(VerbIndex->FindNameEntry("go"), 0);
  EXPECT_GT(AdjectiveIndex->FindNameEntry("red"), 0);
  ExpectChosenReadings({
      {"She waited for the bus.", "for", kClassDeterminant, 0},
      {"He served as mayor of the town.", "as", kClassConnector, 7},
      // A letter of a contraction without its quote stands for itself.
      {"He wrote an s here.", "s", kClassSubstantive},
      {"Cross the t now.", "t", kClassSubstantive},
      {"The book which I read was long.", "which", kClassPronoun, 1},
      {"There is a dog in the garden.", "There", kClassPronoun, 5},
      {"I saw her car in the street.", "her", kClassPronoun, 2},
      {"It is so cold tonight.", "so", kClassModality, 7},
      {"Then he left the house.", "Then", kClassModality, 1},
      {"We talked while the children slept.", "while", kClassConnector, 8},
      {"They will come tomorrow.", "will", kClassVerb, 2},
      {"She would go there.", "would", kClassVerb, 2},
      {"He did not know the answer.", "did", kClassVerb, 2},
      {"She'll go home.", "ll", kClassVerb, 2},
      {"He said that it rained.", "said", kClassVerb, 4},
      {"They showed us the road.", "showed", kClassVerb, 1},
      {"The room is available now.", "available", kClassAdjective, 1},
      {"It was a good idea.", "good", kClassAdjective, 2},
  });
  // "kind of" is two words: a noun and a preposition.
  Segment("It is a kind of tree.");
  EXPECT_EQ(ClassOf("kind"), kClassSubstantive);
  EXPECT_EQ(ClassOf("of"), kClassDeterminant);
}

// Words whose class the words beside them decide.
TEST(SegmentKinds, TheNextWordDecidesTheClass) {
  Dictionaries dictionaries;
  ExpectChosenReadings({
      // Existential there before its verb or after a question's auxiliary; the place elsewhere.
      {"There also is a plan.", "There", kClassPronoun, 5},
      {"There's a cat in the house.", "There", kClassPronoun, 5},
      {"Is there a way out?", "there", kClassPronoun, 5},
      {"He went there yesterday.", "there", kClassModality, 2},
      {"He left it there, in the car.", "there", kClassModality, 2},
      // Demonstrative that before a singular noun; a clause after a noun or before a plural.
      {"Put it that way.", "that", kClassDeterminant2},
      {"At that time the road was closed.", "that", kClassDeterminant2},
      {"He said that people like it.", "that", kClassConnector, 10},
      {"The fact that science grows is plain.", "that", kClassPronoun, 1},
      // More and most count a noun and intensify an adjective.
      {"We need more money.", "more", kClassDeterminant2},
      {"Most people agree.", "Most", kClassDeterminant2},
      {"It is more important.", "more", kClassModality, 7},
      {"Brown's most formidable foe is Nixon.", "most", kClassModality, 7},
      // About before a number is an approximation.
      {"It cost about 20 dollars.", "about", kClassModality, 7},
      {"He waited about two hours.", "about", kClassModality, 7},
      {"We talked about the war.", "about", kClassDeterminant},
      // So before a word that can be an adjective.
      {"She had so much work.", "so", kClassModality, 7},
      // Still opening a sentence opposes; after a verb it is time.
      {"Still, he went home.", "Still", kClassConnector, 6},
      {"Still he went home.", "Still", kClassConnector, 6},
      {"He is still here.", "still", kClassModality, 1},
      // A number hyphenated to a word describes.
      {"It was a 16-page weekly filled with fiction.", "16-page", kClassAdjective, 1},
      {"It was a 16-page weekly filled with fiction.", "weekly", kClassSubstantive},
      // After a subject pronoun a word that can be a verb is one.
      {"She lives.", "lives", kClassVerb},
      {"They saved many lives.", "lives", kClassSubstantive},
      {"We hope so.", "hope", kClassVerb},
      // Cannot is a modal, as can.
      {"She cannot swim.", "cannot", kClassVerb, 2},
      // A sentence opening with a bare verb before its object gives an order.
      {"Visit www.example.com for the full list.", "Visit", kClassVerb},
      {"For details, see the report. Visit www.example.com today.", "Visit", kClassVerb},
      {"Visit the museum before noon.", "Visit", kClassVerb},
      {"Call us tomorrow.", "Call", kClassVerb},
      {"I gave Sue the book.", "Sue", kClassSubstantive},  // a name within a sentence gives no order
      {"The visit was short.", "visit", kClassSubstantive},
      {"Visits to the museum are free.", "Visits", kClassSubstantive},
      {"Down the road came a man.", "Down", kClassDeterminant},
      {"It serves the B. & O. Railroad a third of the year.", "Railroad", kClassSubstantive},
      {"Issue no. 1 is the pupil assignment.", "Issue", kClassSubstantive},
      // The verb of thou.
      {"Thou art a fool, and thou art my friend.", "art", kClassVerb, 2},
      {"Art thou mad?", "Art", kClassVerb, 2},
      {"The art of war is old.", "art", kClassSubstantive},
  });
  Segment("A source said there is a plan there to sell bonds.");
  EXPECT_EQ(ClassOf("there", 0), kClassPronoun);
  EXPECT_EQ(ClassOf("there", 1), kClassModality);
  Segment("I cannot see why.");
  EXPECT_TRUE(IsAuxiliary(RecordOf("cannot")));
  // A class the corpus never shows in hundreds of tokens is no reading: new is no adverb.
  Segment("Something that is new is not always modern.");
  EXPECT_EQ(ClassOf("new"), kClassAdjective);
}

// "that" opening the clause that a verb of saying or thinking takes is a
// connector (of manner, as "how" there); after a noun it stays the
// relative, before a noun the verb takes it is the demonstrative.
TEST(SegmentKinds, ThatOpensTheClauseOfAVerbOfSaying) {
  Dictionaries dictionaries;
  ExpectChosenReadings({
      {"I think that he left.", "that", kClassConnector, 10},
      {"She said that the plan failed.", "that", kClassConnector, 10},
      {"We believe that prices will rise.", "that", kClassConnector, 10},
      {"They know that Rome fell.", "that", kClassConnector, 10},
      {"He told them that the plan failed.", "that", kClassConnector, 10},
      {"It was believed that the war would end.", "that", kClassConnector, 10},
      {"She said quietly that the plan failed.", "that", kClassConnector, 10},
      // The relative after a noun, the demonstrative, and "so that".
      {"The book that I read was long.", "that", kClassPronoun, 1},
      {"She said the words that I wrote.", "that", kClassPronoun, 1},
      {"I know that man.", "that", kClassDeterminant2},
      {"That book is mine.", "That", kClassDeterminant2},
      {"They worked so that we could rest.", "so_that", kClassConnector, 3},
      // A verb of another kind, and no clause after it.
      {"He showed that the claim was false.", "that", kClassPronoun, 1},
      {"I believe that which I see.", "that", kClassPronoun, 1},
      {"I know that.", "that", kClassPronoun, 1},
  });
}

TEST(SegmentKinds, TensesAndMoodsOfVerbs) {
  Dictionaries dictionaries;
  // "may" is a modal in the indicative, like can and must.
  Segment("It may rain tomorrow.");
  EXPECT_TRUE(IsVerb(RecordOf("may")));
  EXPECT_EQ(RecordOf("may").SubField3, kMoodIndicative);
  // An irregular past is a past, not the present of its rare homograph (to found).
  Segment("I found the key under the mat.");
  EXPECT_EQ(RecordOf("found").SubField2, kTensePast);
  EXPECT_TRUE(IsReflexive(RecordOf("found")));
  // A verb group after a verb that is no auxiliary: the participle takes its tense.
  Segment("They get paid every week.");
  EXPECT_TRUE(IsVerb(RecordOf("paid")));
  EXPECT_EQ(RecordOf("paid").SubField2, kTensePresent);
  EXPECT_EQ(RecordOf("paid").SubField3, kMoodIndicative);
  // "be" after a modal is an infinitive, and the participle after it too.
  Segment("The hall will be opened tomorrow.");
  EXPECT_EQ(RecordOf("be").SubField3, kMoodInfinitive);
  EXPECT_EQ(RecordOf("opened").SubField3, kMoodInfinitive);
}

// A dot after a currency sign is a decimal point: the sentence goes on.
TEST(SegmentCuts, ADecimalPointAfterACurrencySignEndsNoSentence) {
  Dictionaries dictionaries(TestLexiconImage());
  Segment("the rate goes up to $.12 a day and the dog ran. The man came");
  const std::vector<std::string> w = Words();
  const auto twelve = std::find(w.begin(), w.end(), "12");
  ASSERT_NE(twelve, w.end());
  ASSERT_NE(twelve, w.begin());
  EXPECT_NE(*(twelve - 1), "/");
  EXPECT_NE(*(twelve + 1), "/");
  EXPECT_EQ(std::count(w.begin(), w.end(), "/"), 2);
}

// The right context of an ambiguous word is read with the readings its
// ambiguous followers take: "zork" is an adjective before what "blip"
// becomes (a noun), though "blip" is listed as a verb first.
TEST(SegmentResolverLookAhead, FollowersAreChosenBeforeTheWord) {
  LexiconWriter writer(DefaultWorkingTables());
  writer.AddWord("dog", {0x0001});
  writer.AddWord("zork", {0x0401, 0x0100});
  writer.AddWord("blip", {0x0100, 0x0001});
  writer.AddWord("blap", {0x0100});
  const std::vector<uint8_t> image = writer.Build();
  Dictionaries dictionaries(image);
  // A verb after a verb pays well; an adjective then a noun after a noun better still.
  DictionaryMatrix.P[kClassVerb][kClassVerb] = 500;
  DictionaryMatrix.T[kClassSubstantive][kClassAdjective][kClassSubstantive] = 200;
  Segment("dog zork blip.");
  EXPECT_EQ(ClassOf("blip"), kClassSubstantive);
  EXPECT_EQ(ClassOf("zork"), kClassAdjective);
  // Before a word that can only be a verb, the verb reading of "zork" wins:
  // without the look-ahead, "blip" (a verb first) would have made it so too.
  Segment("dog zork blap.");
  EXPECT_EQ(ClassOf("zork"), kClassVerb);
}

// A follower's choice made while the word before it was still ambiguous is
// made again once that word has settled: "blip" is a verb after the verb
// reading of "zork" but a noun after the adjective "zork" turns out to be.
TEST(SegmentResolverLookAhead, AFollowerIsChosenAgainAfterTheWordBeforeItSettles) {
  LexiconWriter writer(DefaultWorkingTables());
  writer.AddWord("dog", {0x0001});
  writer.AddWord("zork", {0x0100, 0x0401});
  writer.AddWord("blip", {0x0100, 0x0001});
  const std::vector<uint8_t> image = writer.Build();
  Dictionaries dictionaries(image);
  DictionaryMatrix.T[kClassSubstantive][kClassVerb][kClassVerb] = 1000;
  DictionaryMatrix.P[kClassAdjective][kClassVerb] = 3000;
  DictionaryMatrix.T[kClassSubstantive][kClassAdjective][kClassSubstantive] = 2000;
  Segment("dog zork blip.");
  EXPECT_EQ(ClassOf("zork"), kClassAdjective);
  EXPECT_EQ(ClassOf("blip"), kClassSubstantive);
  // Twice in one segment: the second pair is chosen as the first.
  Segment("dog zork blip, dog zork blip.");
  EXPECT_EQ(ClassOf("zork", 1), kClassAdjective);
  EXPECT_EQ(ClassOf("blip", 1), kClassSubstantive);
}

// A noun read first only by its proper names (Brown, Miss) is read after the
// word's next reading when the word is written in lower case.
TEST(SegmentKinds, ALowerCaseWordStandsForNoProperName) {
  Dictionaries dictionaries;
  ExpectChosenReadings({
      {"The brown dog was cold.", "brown", kClassAdjective},
      {"Brown said no.", "Brown", kClassSubstantive},
      {"I miss you.", "miss", kClassVerb},
      {"Miss Smith said no.", "Miss", kClassSubstantive},
  });
}

// The chosen category of the nth node with this text (all zero when none).
TCategoryRecord RecordAt(const std::string& word, int occurrence) {
  for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n))
    if (word == n->text && occurrence-- == 0) return n->category.Category;
  return TCategoryRecord{};
}

// Connectors whose kind their clause decides, each with the kinds it takes.
TEST(SegmentClauseRules, ConnectorsTakeTheKindOfTheirClause) {
  Dictionaries dictionaries;
  ExpectChosenReadings({
      // as: time beside a clause of an action; comparison after one set up, or a report.
      {"The change grows as the tube is stretched.", "as", kClassConnector, 8},
      {"As we have seen, the plan failed.", "As", kClassConnector, 7},
      // since: a preposition before a date, time after a perfect, else the cause.
      {"They have lived here since 1921.", "since", kClassDeterminant},
      {"It has been years since he left.", "since", kClassConnector, 8},
      {"Since they are rented, the dates are fixed.", "Since", kClassConnector, 2},
      // while: the noun after a determiner; opposition opening a sentence; time before -ing.
      {"She waited a while.", "while", kClassSubstantive},
      {"While the plan is sound, it costs too much.", "While", kClassConnector, 6},
      {"While working there he fell.", "While", kClassConnector, 8},
      // so: manner at a clause's end, the consequence before a clause, intensity before an adjective.
      {"Why don't you say so?", "so", kClassModality, 3},
      {"She could not wear it, so she gave it away.", "so", kClassConnector, 2},
      {"It is so cold.", "so", kClassModality, 7},
      // still: intensity after a comparative.
      {"Better still, he knows the answer.", "still", kClassModality, 7},
      // yet: time after a negation, opposition between clauses.
      {"It is not yet ready.", "yet", kClassModality, 1},
      {"He is poor, yet he is happy.", "yet", kClassConnector, 6},
      // too: it adds at a clause's end, intensifies before a word.
      {"He came, too.", "too", kClassConnector, 4},
      {"It is too hot.", "too", kClassModality, 7},
      // for: the cause before a subject and its verb; a preposition before a noun phrase.
      {"He left early, for he was tired.", "for", kClassConnector, 2},
      {"For the first time the road is open.", "For", kClassDeterminant},
      {"For him to go would be wrong.", "For", kClassDeterminant},
      // A preposition alone between punctuation is the connector.
      {"Besides, there are no more.", "Besides", kClassConnector, 4},
  });
  // "as ... as": the second compares.
  Segment("He is as tall as his father.");
  EXPECT_EQ(RecordAt("as", 1).Subclass, 7);
}

TEST(SegmentClauseRules, PronounsAndDeterminersByTheirNeighbours) {
  Dictionaries dictionaries;
  ExpectChosenReadings({
      // her: possessive before what it owns, personal as an object.
      {"I saw her car.", "her", kClassPronoun, 2},
      {"She lost her late husband's ring.", "her", kClassPronoun, 2},
      {"I gave her the book.", "her", kClassPronoun, 3},
      {"They made her look old.", "her", kClassPronoun, 3},
      {"It made her eligible for parole.", "her", kClassPronoun, 3},
      // one: a pronoun before its verb and after "the", a number elsewhere.
      {"One can never know.", "One", kClassPronoun, 3},
      {"He is the one who came.", "one", kClassPronoun, 3},
      {"She has one car.", "one", kClassAdjective, 3},
      {"One of them left.", "One", kClassAdjective, 3},
      // which: a determiner opening a question before a noun, else the relative.
      {"Which theory is right?", "Which", kClassDeterminant2},
      {"Which is true.", "Which", kClassPronoun, 1},
      // that: the demonstrative before a verb, "of" or after a preposition; the
      // conjunction before a clause.
      {"That was all.", "That", kClassDeterminant2},
      {"That day was cold.", "That", kClassDeterminant2},
      {"That he came is plain.", "That", kClassPronoun, 1},
      {"It differs from that of the others.", "that", kClassDeterminant2},
      {"They differ in that science describes.", "that", kClassPronoun, 1},
      // will: the noun after a determiner or a preposition, the modal before its verb.
      {"The will of the people prevailed.", "will", kClassSubstantive},
      {"He left of his own free will.", "will", kClassSubstantive},
      {"They will come.", "will", kClassVerb, 2},
      {"Construction in 1962 will account for much.", "will", kClassVerb, 2},
      // well: the noun only after an article that qualifies nothing after it.
      {"He stood in the well of the House.", "well", kClassSubstantive},
      {"It is a well worked out plan.", "well", kClassModality, 3},
  });
}

// Irregular pasts that are also presents, and participles, by their neighbours.
TEST(SegmentClauseRules, IrregularPastsAndParticiplesByTheirNeighbours) {
  Dictionaries dictionaries;
  ExpectChosenReadings({
      // The past, unless bare after to or a modal, or with an object.
      {"It lay on the floor.", "lay", kClassVerb, 2},
      {"They lay the table.", "lay", kClassVerb, 1},
      {"He wants to lay a wreath.", "lay", kClassVerb, 1},
      // A verb group after a verb that is no auxiliary only for a word read first as a verb.
      {"We broke ground on Monday.", "ground", kClassSubstantive},
      {"They got lost.", "lost", kClassVerb},
  });
  Segment("It lay on the floor.");
  EXPECT_EQ(RecordOf("lay").SubField2, kTensePast);
  Segment("They lay the table.");
  EXPECT_EQ(RecordOf("lay").SubField2, kTensePresent);
  // A participle after a preposition and before a noun describes it.
  Segment("The data are kept in bound volumes.");
  EXPECT_TRUE(IsParticiple(RecordOf("bound")));
}

// Noun/verb and adjective/noun homographs by the words around them.
TEST(SegmentClauseRules, HomographsByTheirNeighbours) {
  Dictionaries dictionaries;
  ExpectChosenReadings({
      // A verb after a subject and before its object; a noun after an article.
      {"The plant costs the company money.", "costs", kClassVerb},
      {"The costs were high.", "costs", kClassSubstantive},
      {"Many churches drop members.", "drop", kClassVerb},
      {"It costs a lot.", "costs", kClassVerb},
      {"They report the news.", "report", kClassVerb},
      {"The report was long.", "report", kClassSubstantive},
      {"We want to share the cost.", "share", kClassVerb},
      {"They built a road in order to care for the traffic.", "care", kClassVerb},
      {"He went back to work.", "work", kClassSubstantive},
      // After an article or a preposition, a word read first as a verb names.
      {"The house on the left of the road is ours.", "left", kClassSubstantive},
      {"They read from left to right.", "left", kClassSubstantive},
      {"He left the house.", "left", kClassVerb},
      // A capitalised adjective before a common noun is no name.
      {"The present Federal program began.", "Federal", kClassAdjective},
      {"He spoke with an American at the gate.", "American", kClassSubstantive},
  });
}

// After an article or a possessive, a word that can name names unless it
// describes what follows; a form in s after "to" is a plural noun; after an
// article and an adjective, no finite verb.
TEST(SegmentClauseRules, AWordAfterAnArticleNamesWhenItDescribesNothing) {
  Dictionaries dictionaries;
  ExpectChosenReadings({
      {"In the past it was cold.", "past", kClassSubstantive},
      {"He walked past the house.", "past", kClassDeterminant},
      {"The past week was cold.", "past", kClassAdjective},
      {"It was the beginning of the end.", "beginning", kClassSubstantive},
      {"From its beginning it was clear.", "beginning", kClassSubstantive},
      {"They met in the coming weeks.", "coming", kClassVerb},
      {"It was of particular meaning to him.", "meaning", kClassSubstantive},
      {"It is a place for quiet reading and talk.", "reading", kClassSubstantive},
      {"They came to grips with it.", "grips", kClassSubstantive},
      {"He is alert to changes in the rate.", "changes", kClassSubstantive},
      {"He wants to focus on it.", "focus", kClassVerb},
      // A word read first as an adjective names there only when the lexicon
      // marks its noun as naming alone.
      {"It was open to the public and to the press.", "public", kClassSubstantive},
      {"He spoke to the individual.", "individual", kClassSubstantive},
      {"It was a public meeting.", "public", kClassAdjective},
      // It names after a determiner or a word describing it too, when
      // nothing it could describe follows; not before "and".
      {"It pleased the reading public, the critics and the press.", "public", kClassSubstantive},
      {"He wrote a letter to each individual expressing his joy.", "individual", kClassSubstantive},
      {"The new public safety office opened.", "public", kClassAdjective},
      {"Each public and private school opened.", "public", kClassAdjective},
      // After a determiner and an adjective, a noun; "one" before a noun is the number.
      {"Members of the young set came.", "set", kClassSubstantive},
      {"Young people set the pace.", "set", kClassVerb},
      {"On the one hand it is cold.", "hand", kClassSubstantive},
      {"On the one hand it is cold.", "one", kClassAdjective, 3},
      {"They bought one set of tools.", "set", kClassSubstantive},
      {"He is the one who came.", "one", kClassPronoun, 3},
      // After an article and a word read as a modality, or a determiner and
      // an -ing form, no verb; a modal stays one.
      {"It was the only issue in the dispute.", "issue", kClassSubstantive},
      {"He walked to the far end of the room.", "end", kClassSubstantive},
      {"But there was no pressing need to maintain the plant.", "need", kClassSubstantive},
      {"The latter can be managed.", "can", kClassVerb},
      {"The following can be said.", "can", kClassVerb},
      // After a verb that is no auxiliary, its object; a bare verb after
      // help or let, the verb of a clause before it, and after the piece
      // of an auxiliary stay verbs.
      {"The meeting took place later.", "place", kClassSubstantive},
      {"Unions seek work that others claim.", "work", kClassSubstantive},
      {"They helped pay for it.", "pay", kClassVerb},
      {"The land he desired lay within the empire.", "lay", kClassVerb},
      {"We'll see the house.", "see", kClassVerb},
      // After "to", a word repeated or capitalised names; a verb stays one.
      {"Face to face they met at last.", "face", kClassSubstantive},
      {"It is a threat to Church and State.", "Church", kClassSubstantive},
      {"They want to face the facts.", "face", kClassVerb},
      // Before a finite form of be or have, the subject; after a subject
      // pronoun or do, the verb.
      {"The awards list was completed yesterday.", "list", kClassSubstantive},
      {"He held the view that experience is merely data.", "experience", kClassSubstantive},
      {"What I thought was right happened.", "thought", kClassVerb},
      {"It is a fear which man cannot endure.", "man", kClassSubstantive},
      {"It is a world which man has darkened.", "man", kClassSubstantive},
      // But "who" is the subject itself, and a verb in s agrees with a
      // singular is or has after it.
      {"People who smoke are at risk.", "smoke", kClassVerb},
      {"A man who drinks is a fool.", "drinks", kClassVerb},
      {"Everyone who works has a right to rest.", "works", kClassVerb},
      {"The thing that counts is effort.", "counts", kClassVerb},
      {"The dog that barks has no bite.", "barks", kClassVerb},
      {"It is a notion which parts are fond of.", "parts", kClassSubstantive},
      {"All he can do is wait.", "do", kClassVerb},
      // Need before a preposition names, unless its subject stands before it.
      {"Need for novelty may be a symptom.", "Need", kClassSubstantive},
      {"The major training need of a new plant is men.", "need", kClassSubstantive},
      {"It is just what you need for the trip.", "need", kClassVerb},
      {"Most people need over eight hours.", "need", kClassVerb},
      {"Cities need in particular more buses.", "need", kClassVerb},
      {"The parents' need for help grew.", "need", kClassSubstantive},
      // A verb's object before "of"; the subject after a preposition and "which".
      {"He made use of the advice.", "use", kClassSubstantive},
      {"You can think of it.", "think", kClassVerb},
      // After a verb that is no modal nor do, use is its object.
      {"It is ideal for merchandising use in stores.", "use", kClassSubstantive},
      {"They found use for it.", "use", kClassSubstantive},
      {"We will use it.", "use", kClassVerb},
      {"Please use the side door.", "use", kClassVerb},
      {"Go use the phone in the hall.", "use", kClassVerb},
      {"It is a world into which man is put.", "man", kClassSubstantive},
      {"It is the house which stands there.", "stands", kClassVerb},
  });
  // The lexicon's mark stays out of the text's words.
  Segment("It was open to the public and to the press.");
  EXPECT_EQ(RecordOf("public").Spare, 0);
}

// After an article and a word that names alone, a form read first as a
// finite verb in s or in the past is the verb and the word before it its
// subject; a bare form, a form before a verb, or a form read first as a
// noun is what it describes.
TEST(SegmentClauseRules, AWordThatNamesAloneIsTheSubjectOfAVerbInSOrPast) {
  Dictionaries dictionaries;
  ExpectChosenReadings({
      {"The market tops out when the public buys at the tops.", "public", kClassSubstantive},
      {"The market tops out when the public buys at the tops.", "buys", kClassVerb},
      {"The individual knows how to brush his teeth.", "individual", kClassSubstantive},
      {"She loved dogs so much that the public sent her more dogs.", "public", kClassSubstantive},
      {"The public may still find pleasure in it.", "public", kClassSubstantive},
      {"But the American public cares about respect.", "public", kClassSubstantive},
      {"A top official said so.", "official", kClassSubstantive},
      {"He took a close look at the books.", "close", kClassAdjective},
      {"The standard bores were ready.", "standard", kClassAdjective},
      {"The official figures show a rise.", "official", kClassAdjective},
      {"The public records were lost.", "public", kClassAdjective},
  });
}

// A word that names alone names after "and" or "or" joining it to a noun,
// after a word describing it, and before today or yesterday; it still describes before a noun or "and" and a word that
// can describe.
TEST(SegmentClauseRules, AWordThatNamesAloneNamesWhereNothingFollowsItToDescribe) {
  Dictionaries dictionaries;
  ExpectChosenReadings({
      {"The letter was made available to the press and public.", "public", kClassSubstantive},
      {"It is a guide for the traveling public.", "public", kClassSubstantive},
      {"The book offered to the public today is new.", "public", kClassSubstantive},
      {"They live in public housing.", "public", kClassAdjective},
      {"He spoke of public and private life.", "public", kClassAdjective},
      {"It was a matter of public record.", "public", kClassAdjective},
      {"The press and public opinion agreed.", "public", kClassAdjective},
  });
}

// After a preposition an -ing form whose noun the lexicon marks names
// before what its verb cannot take (a mark, "and", a preposition other than
// "to", a verb); before an object or "to" it is the gerund, and an -ing form
// without the mark stays the gerund.
TEST(SegmentClauseRules, AGerundThatNamesIsTheNounAfterAPrepositionWithNothingToTake) {
  Dictionaries dictionaries;
  ExpectChosenReadings({
      {"We found refinements of meaning and feeling in his work.", "meaning", kClassSubstantive},
      {"The medium has to translate these into meaning.", "meaning", kClassSubstantive},
      {"Such nuances of meaning are unimportant.", "meaning", kClassSubstantive},
      {"It is a bastion of meaning in a world of noise.", "meaning", kClassSubstantive},
      {"He was accused of meaning it.", "meaning", kClassVerb},
      {"He spoke of meaning to go.", "meaning", kClassVerb},
      {"They spoke of training and diet.", "training", kClassVerb},
  });
  // The lexicon's mark stays out of the text's words.
  Segment("The medium has to translate these into meaning.");
  EXPECT_EQ(RecordOf("meaning").Spare, 0);
}

// "may" in lower case before a bare verb is the modal, and the word before
// it names; with a capital it may be the month.
TEST(SegmentClauseRules, MayBeforeABareVerbIsTheModal) {
  Dictionaries dictionaries;
  ExpectChosenReadings({
      {"Any individual may be referred to a place.", "may", kClassVerb},
      {"Any individual may be referred to a place.", "individual", kClassSubstantive},
      {"The highly anxious individual may not be superior.", "may", kClassVerb},
      {"They met in May and left.", "May", kClassSubstantive},
  });
}

// A word whose common noun is frequent enough (good, present) names after
// an article or a describing word when it ends its phrase; it describes
// before a noun, beside another word describing the same noun, and after
// be.
TEST(SegmentClauseRules, AFrequentNounReadAsAnAdjectiveNamesWhereItEndsItsPhrase) {
  Dictionaries dictionaries;
  ExpectChosenReadings({
      {"For the present it is enough.", "present", kClassSubstantive},
      {"They moved the story into the present.", "present", kClassSubstantive},
      {"It served the total good of the institution.", "good", kClassSubstantive},
      {"They weighed the good and evil of it.", "good", kClassSubstantive},
      {"The present day is cold.", "present", kClassAdjective},
      {"The good man left early.", "good", kClassAdjective},
      {"He had a good, firm hand.", "good", kClassAdjective},
      {"It was a good or bad poem.", "good", kClassAdjective},
      {"The house is red.", "red", kClassAdjective},
      {"All the old people were present.", "present", kClassAdjective},
  });
}

// A word of the lexicon written with a hyphen is joined from its first
// piece, whatever that piece starts, and keeps its class (anti-Semitism,
// a common noun, was read as the adjective anti and a noun apart).
TEST(SegmentReadings, AHyphenatedWordOfTheLexiconIsJoined) {
  Dictionaries dictionaries;
  for (const char* text : {"It was anti-Semitism throughout history.", "Anti-Semitism grew in the town."}) {
    Segment(text);
    const std::string word = text[0] == 'I' ? "anti-Semitism" : "Anti-Semitism";
    TCategoryRecord r = RecordOf(word);
    EXPECT_EQ(NormaliseMajorClass(r), kClassSubstantive) << text;
    EXPECT_FALSE(SubField3HasBit1(r)) << text << ": read as a name";
    EXPECT_NE(Stream().find("\t" + word + "\t"), std::string::npos) << Stream();
    EXPECT_EQ(Stream().find("\tanti\t"), std::string::npos) << Stream();
    TextWords.Clear();
  }
  Segment("He was an anti-semite all his life.");
  EXPECT_NE(Stream().find("\tanti-semite\t"), std::string::npos) << Stream();
}

// Every word keeps what stood before it and its own form as written, so
// that the text can be shown as it is: the curly quotes and dashes the
// analysis does not read, the blanks of "Jr., who" and "Aug. 2, 1913", the
// hyphens of a joined expression, the line ends, and after the last word
// the punctuation that ends the text.
TEST(SegmentWritten, TheWordsKeepTheTextAsWritten) {
  Dictionaries dictionaries;
  const std::string text =
      "\x93"
      "and what is the use of a book,\x94 thought Alice \x97 without pictures.\r\n\r\n\r\n"
      "Her father, J. P. Morgan, Jr., who came on Aug. 2, 1913, saw the Tea-Party and a well-known\t  "
      "multi-million-dollar deal (at home). She said \x93"
      "a doctor\x94 came; don't go!\x94\n";
  for (const bool thread : {false, true}) {
    SegmentTextAsFile(reinterpret_cast<const unsigned char*>(text.data()), text.size(), false, thread);
    std::string rebuilt;
    bool joined = false;
    for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n)) {
      const char* gap = TextWords.GapOf(*n);
      const char* written = TextWords.WrittenOf(*n);
      ASSERT_NE(gap, nullptr) << n->text;
      rebuilt += gap;
      if (std::strcmp(n->text, "/") == 0) continue;
      // A word that is its text keeps no written form.
      rebuilt += written[0] ? written : TextWords.OriginalText(*n);
      joined = joined || std::strchr(written, ' ') != nullptr || std::strchr(written, '-') != nullptr;
    }
    EXPECT_EQ(rebuilt,
              "\x93"
              "and what is the use of a book,\x94 thought Alice \x97 without pictures.\n\n"
              "Her father, J. P. Morgan, Jr., who came on Aug. 2, 1913, saw the Tea-Party and a well-known "
              "multi-million-dollar deal (at home). She said \x93"
              "a doctor\x94 came; don't go!\x94\n");
    EXPECT_TRUE(joined) << "no expression or number was joined";
    TextWords.Clear();
  }
}

// A bare form after a singular noun, or after "and" joining it to one,
// names before what ends a noun's phrase (the fashion show of, a dinner
// and show of, the TV show.); it is the verb after a plural (the results
// show), where a word before the noun's phrase asks for a bare verb (let
// the music move), before an object or a particle (the committee set a
// date, set out) and after "to".
TEST(SegmentClauseRules, ABareFormAfterASingularNounNames) {
  Dictionaries dictionaries;
  ExpectChosenReadings({
      {"The fashion show of the club was fine.", "show", kClassSubstantive},
      {"He came to the fashion show of the year.", "show", kClassSubstantive},
      {"They held a dinner and show of the chapter.", "show", kClassSubstantive},
      {"It was the best TV show.", "show", kClassSubstantive},
      {"The flower show opened late.", "show", kClassSubstantive},
      {"They show the film.", "show", kClassVerb},
      {"He wanted to show it.", "show", kClassVerb},
      {"The results show that it works.", "show", kClassVerb},
      {"Polls of public opinion show support.", "show", kClassVerb},
      {"Let the music move you.", "move", kClassVerb},
      {"The committee set a date.", "set", kClassVerb},
      {"The committee set out to do it.", "set", kClassVerb},
      {"The church and university help him.", "help", kClassVerb},
  });
}

// So does an -ing form that can name (consumer spending, street cleaning);
// it stays the verb before an object, where it has no noun, and after a
// verb that takes the noun and the form (saw a scar showing).
TEST(SegmentClauseRules, AnIngFormAfterASingularNounNames) {
  Dictionaries dictionaries;
  ExpectChosenReadings({
      {"Consumer spending edged down in April.", "spending", kClassSubstantive},
      {"Street cleaning is a chore.", "cleaning", kClassSubstantive},
      {"Decision making is slow.", "making", kClassSubstantive},
      {"The man reading the paper left.", "reading", kClassVerb},
      {"The group consisting of ten men left.", "consisting", kClassVerb},
      {"He saw a scar showing.", "showing", kClassVerb},
  });
}

// Two words that can name, joined by "and" or "or" after a preposition,
// name when nothing follows them to describe; before a noun they describe,
// and after "to" they may be verbs.
TEST(SegmentClauseRules, TwoWordsJoinedAfterAPrepositionNameWhenTheyDescribeNothing) {
  Dictionaries dictionaries;
  ExpectChosenReadings({
      {"They never taught the concepts of right and wrong.", "right", kClassSubstantive},
      {"They never taught the concepts of right and wrong.", "wrong", kClassSubstantive},
      {"The sense of good and bad was lost.", "bad", kClassSubstantive},
      {"It was a dish of red and white peppers.", "red", kClassAdjective},
      {"It was a dish of red and white peppers.", "white", kClassAdjective},
      {"They came to buy or sell.", "sell", kClassVerb},
  });
}

// A word seldom a verb (people, school, part, man, order) is the noun
// unless its clause asks for a verb.
TEST(SegmentClauseRules, AWordSeldomAVerbIsTheVerbOnlyWhereTheClauseAsksForOne) {
  Dictionaries dictionaries;
  ExpectChosenReadings({
      {"The gas people were happy.", "people", kClassSubstantive},
      {"They went to school with a friend.", "school", kClassSubstantive},
      {"It was only part of the plan.", "part", kClassSubstantive},
      {"They made it part of the plan.", "part", kClassSubstantive},
      {"It was the fact that man is mortal.", "man", kClassSubstantive},
      // After "to" or a modal before an object, after a subject, and after
      // a verb and "and".
      {"They came to people the land.", "people", kClassVerb},
      {"Most learn to color and paint.", "color", kClassVerb},
      {"The crew will man the guns.", "man", kClassVerb},
      {"They people the valley with farmers.", "people", kClassVerb},
      {"He never once questions it.", "questions", kClassVerb},
      {"The firm makes and markets a wide line.", "markets", kClassVerb},
  });
  // The lexicon's mark stays out of the text's words.
  Segment("The gas people were happy.");
  EXPECT_EQ(RecordOf("people").Spare, 0);
}

// An expression is joined only where its words' categories allow it.
TEST(SegmentClauseRules, AnExpressionDoesNotTakeTheVerbOfItsClause) {
  Dictionaries dictionaries;
  Segment("The cat sleeps.");
  EXPECT_EQ(Words(), (std::vector<std::string>{"The", "cat", "sleeps", "/"}));
  EXPECT_EQ(ClassOf("sleeps"), kClassVerb);
  Segment("The cat sleeps are short.");
  EXPECT_EQ(ClassOf("cat_sleeps"), kClassSubstantive);
  Segment("So he wound up with a dozen.");
  EXPECT_EQ(ClassOf("wound"), kClassVerb);
  // A verb and its particle, alone in their clause, stay the clause's verb.
  Segment("The other four states end on varying dates.");
  EXPECT_EQ(ClassOf("end"), kClassVerb);
  Segment("The heat pump broke.");
  EXPECT_EQ(ClassOf("heat_pump"), kClassSubstantive);
  // "as to" before a verb is no preposition: the "to" is the verb's.
  Segment("It was so small as to be unseen.");
  EXPECT_EQ(ClassOf("as_to"), -1);
  EXPECT_EQ(ClassOf("as"), kClassConnector);
  EXPECT_EQ(ClassOf("to"), kClassDeterminant);
  Segment("It spoke as to the essential points.");
  EXPECT_EQ(ClassOf("as_to"), kClassDeterminant);
}

// After a preposition and "which", the word that follows is the subject of
// the clause they open, no verb yet.
TEST(SegmentClauseRules, AfterAPrepositionAndWhichTheClauseBeginsWithItsSubject) {
  Dictionaries dictionaries;
  ExpectChosenReadings({
      {"In which case the report was late.", "case", kClassSubstantive},
      {"He named the town in which people live.", "people", kClassSubstantive},
  });
}

// After a verb, a word that can name before "of" is the verb's object.
TEST(SegmentClauseRules, AWordBeforeOfAfterAVerbIsItsObject) {
  Dictionaries dictionaries;
  ExpectChosenReadings({
      {"There was talk of dragging him back.", "talk", kClassSubstantive},
      {"Orators were preaching hate of the Germans.", "hate", kClassSubstantive},
  });
}

// Before a modal, a word that can name is its subject, no finite verb.
TEST(SegmentClauseRules, AWordBeforeAModalIsItsSubject) {
  Dictionaries dictionaries;
  ExpectChosenReadings({
      {"He is afraid more help will be needed.", "help", kClassSubstantive},
      {"Any retaliatory gas attack would be airborne.", "attack", kClassSubstantive},
      {"Capital flows must be coordinated with care.", "flows", kClassSubstantive},
  });
}

}  // namespace
}  // namespace quilor
