#include <gtest/gtest.h>

#include <set>

#include "core/class_file.h"
#include "engine/ontology_engine.h"
#include "core/options.h"
#include "engine/word_search_parser.h"
#include "ontology_test_support.h"
#include "platform/message_ui.h"

namespace quilor {
namespace {

class RecordingParser : public TParseCmdCriteres {
 public:
  bool OnMeaningLine(const MeaningLine& line) override {
    lines.push_back(line);
    return true;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const auto& l : lines) out.push_back(l.text);
    return out;
  }
  std::vector<MeaningLine> lines;
};

std::vector<std::pair<std::string, char>> WordsOf(const TParseCmdCriteres& p) {
  std::vector<std::pair<std::string, char>> out;
  for (int i = 0; i < p.WordCount(); ++i)
    if (!p.Words()[static_cast<size_t>(i)].text.empty())
      out.push_back({p.Words()[static_cast<size_t>(i)].text, p.Words()[static_cast<size_t>(i)].op});
  return out;
}

TEST(WordSearchParserSplit, WordsAndOperators) {
  RecordingParser p;
  p.InitParser();
  std::set<std::string> lexicon{"dog_house", "ice_cream"};
  p.lexiconKnows = [&](const std::string& w) { return lexicon.count(w) > 0; };
  p.RunCriteria(
      "  L'\x8C"
      "uvre+chat, -chien dog-house.");
  EXPECT_EQ(WordsOf(p), (std::vector<std::pair<std::string, char>>{
                            {"l", 0}, {"oeuvre", 0}, {"chat", '+'}, {"chien", ','}, {"dog_house", 0}}));
  p.RunCriteria("dog -cat");
  EXPECT_EQ(WordsOf(p), (std::vector<std::pair<std::string, char>>{{"dog", 0}, {"cat", '-'}}));
  p.RunCriteria("ice cream");
  EXPECT_EQ(WordsOf(p), (std::vector<std::pair<std::string, char>>{{"ice_cream", 0}}));
  p.RunCriteria("ice, cream");
  EXPECT_EQ(WordsOf(p), (std::vector<std::pair<std::string, char>>{{"ice", 0}, {"cream", ','}}));
  p.RunCriteria("ice+cream");
  EXPECT_EQ(WordsOf(p).size(), 2u);
  p.lines.clear();
  p.RunCriteria("   ");
  EXPECT_EQ(p.WordCount(), 0);
  EXPECT_TRUE(p.lines.empty());
}

// With numbers read as words, a number keeps its point or colon; otherwise
// they cut it in two.
TEST(WordSearchParserSplit, NumbersKeepTheirPointWhenReadAsWords) {
  RecordingParser p;
  p.InitParser();
  p.lexiconKnows = [](const std::string&) { return false; };
  p.numbersAsWords = true;
  p.RunCriteria("3.5 10:30");
  EXPECT_EQ(WordsOf(p), (std::vector<std::pair<std::string, char>>{{"3.5", 0}, {"10:30", 0}}));
  p.numbersAsWords = false;
  p.RunCriteria("3.5 10:30");
  EXPECT_EQ(WordsOf(p), (std::vector<std::pair<std::string, char>>{{"3", 0}, {"5", 0}, {"10", 0}, {"30", 0}}));
}

TEST(WordSearchParserSplit, LongWordsAndManyWords) {
  RecordingParser p;
  p.InitParser();
  p.lexiconKnows = [](const std::string&) { return false; };
  p.RunCriteria(std::string(81, 'a'));
  auto words = WordsOf(p);
  ASSERT_EQ(words.size(), 2u);
  EXPECT_EQ(words[0].first, std::string(80, 'a'));
  EXPECT_EQ(words[1].first, "a");
  std::string many;
  for (int i = 0; i < 120; ++i) many += "w" + std::to_string(i) + " ";
  p.RunCriteria(many);
  words = WordsOf(p);
  ASSERT_EQ(words.size(), 100u);
  EXPECT_EQ(words.back().first, "w99");  // the words after the 100th are left out
}

class WordSearchParserMeanings : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = std::move(OntologyEngine);
    OntologyEngine = std::make_unique<TOntologyEngine>();
    ASSERT_TRUE(OntologyEngine->LoadBytes(WriteSemanticDictionary(testing_support::MakeMiniDictionary())).Ok());
    parser.InitParser();
    parser.lexiconKnows = [](const std::string&) { return false; };
  }
  void TearDown() override { OntologyEngine = std::move(saved_); }
  std::vector<bool> Checked() const {
    std::vector<bool> out;
    for (const auto& l : parser.lines) out.push_back(l.checked);
    return out;
  }
  std::unique_ptr<TOntologyEngine> saved_;
  RecordingParser parser;
  ScopedScriptedUi ui;
};

TEST_F(WordSearchParserMeanings, AnAmbiguousWordListsItsMeaningsFirstOneChecked) {
  parser.RunCriteria("bank");
  EXPECT_EQ(parser.Texts(), (std::vector<std::string>{"bank = bank (bank_group) ", "> bank_group (money) ", "> money",
                                                      "bank = riverbank (slope) ", "> slope (nature) ", "> nature"}));
  EXPECT_EQ(Checked(), (std::vector<bool>{true, false, false, false, false, false}));
  EXPECT_EQ(parser.lines[3].level, 1);
  EXPECT_EQ(parser.lines[4].level, 2);
  EXPECT_EQ(parser.lines[3].meaning, 1);
  EXPECT_EQ(parser.lines[3].classIndex, 3);
}

TEST_F(WordSearchParserMeanings, TheRecentSenseComesFirstAndAloneChecked) {
  parser.PushRecentClass({3, 3, 3, 0});  // the river sense was chosen
  parser.RunCriteria("bank");
  ASSERT_EQ(parser.lines.size(), 6u);
  EXPECT_EQ(parser.lines[0].text, "bank = riverbank (slope) ");
  EXPECT_EQ(Checked(), (std::vector<bool>{true, false, false, false, false, false}));
  // The engine's own reading table is left as it was.
  ASSERT_TRUE(OntologyEngine->CollectReadings("bank"));
  EXPECT_EQ(OntologyEngine->CollectedReadings()[0].cls[0], 2u);
  // A later choice wins over an older one.
  parser.lines.clear();
  parser.PushRecentClass({2, 2, 2, 0});
  parser.RunCriteria("bank");
  EXPECT_EQ(parser.lines[0].text, "bank = bank (bank_group) ");
}

TEST_F(WordSearchParserMeanings, UnknownWordGetsItsFallbackLine) {
  parser.RunCriteria("zorglub, dog");
  ASSERT_EQ(parser.lines.size(), 4u);
  EXPECT_EQ(parser.lines[0].text, "zorglub = zorglub");
  EXPECT_TRUE(parser.lines[0].checked);
  EXPECT_EQ(parser.lines[1].text, "dog = dog (canine) ");
  EXPECT_EQ(parser.lines[1].op, ',');
}

TEST_F(WordSearchParserMeanings, AScenarioLineCarriesItsOwnEntry) {
  GroupNumbering.counter = 0;
  ClassFileList file;
  bool damaged = false;
  ASSERT_TRUE(
      ParseClassFileText(file, "G#0V\t1\tPets\r\n0#1#\tcat\tPets\r\nG#0V\t2\tMoney\r\n1#1#\tcash\tMoney\r\n", damaged));
  OntologyEngine->LoadScenario(file, false);
  parser.RunCriteria("cats");
  ASSERT_FALSE(parser.lines.empty());
  EXPECT_EQ(parser.lines[0].text, "cats = pets");
  EXPECT_EQ(parser.lines[0].level, 4);
  EXPECT_EQ(parser.lines[0].classes[3], 1u);
  EXPECT_TRUE(parser.lines[0].checked);
  // A word whose class maps to a Scenario group.
  parser.lines.clear();
  parser.RunCriteria("cash");
  ASSERT_FALSE(parser.lines.empty());
  EXPECT_EQ(parser.lines[0].text, "cash = money");
  EXPECT_EQ(parser.lines[0].classes[3], 2u);
  EXPECT_EQ(parser.lines[0].classes[0], 4u);
}

TEST(ScenParserRecords, KeepsAtMost200LinesWithTheirMarks) {
  TScenParser p;
  p.InitParser();
  p.operatorOption = true;
  MeaningLine line;
  line.text = "x = y";
  line.level = 4;
  for (int i = 0; i < 210; ++i) p.OnMeaningLine(line);
  ASSERT_EQ(p.Records().size(), 200u);
  EXPECT_EQ(p.Records()[0].shown, "x = y (Scenario)");
  EXPECT_EQ(p.Records()[0].line.op, '+');
}

}  // namespace
}  // namespace quilor
