#include <gtest/gtest.h>

#include <array>

#include "engine/ontology_engine.h"
#include "ontology_test_support.h"
#include "platform/message_ui.h"

namespace quilor {
namespace {

class ScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GroupNumbering.forceRenumbering = false;
    ASSERT_TRUE(engine_.LoadBytes(WriteSemanticDictionary(testing_support::MakeMiniDictionary())).Ok());
    engine_.SetAnomalyReporter(&anomalies_);
    engine_.SetVerbIndex({[](const std::string& n) { return n == "run" ? 5u : 0u; }, 10});
  }
  void Load(const std::string& text, bool renumber = false) {
    GroupNumbering = {};
    file_.Clear();
    bool damaged = false;
    ASSERT_TRUE(ParseClassFileText(file_, text, damaged));
    engine_.LoadScenario(file_, renumber);
  }
  std::vector<int> AnomalyIds() const {
    std::vector<int> ids;
    for (const auto& l : anomalies_.lines) ids.push_back(l.messageId);
    return ids;
  }
  TOntologyEngine engine_;
  RecordingAnomalyReporter anomalies_;
  ClassFileList file_;
  ScopedScriptedUi ui_;
};

TEST_F(ScenarioTest, WellFormedScenarioLoadsWithoutAnomalies) {
  Load(
      "G#0V\t1\tPets\r\n0#1#\tdog\tPets\r\n3#1#\tnature\tPets\r\nG#0V\t2\tFinance\r\n2#1#\tbank_group\tFinance\r\nV#1#"
      "\trun\tFinance\r\n");
  EXPECT_TRUE(anomalies_.lines.empty());
  EXPECT_TRUE(anomalies_.finished);
  EXPECT_FALSE(anomalies_.shown);
  EXPECT_EQ(engine_.ScenarioEntryCount(), 2u);
  EXPECT_EQ(engine_.ClassName(4, 1), "pets");  // labels are lower-cased
  EXPECT_EQ(engine_.EntrySignature(2), 2u);
  EXPECT_EQ(engine_.ScenarioEntryOfWordForm("Dogs"), 1u);  // by its singular, whatever the case
  EXPECT_EQ(engine_.ClassScenarioEntry(3, engine_.FindClassIndex(3, "nature")), 1u);
  EXPECT_EQ(engine_.ClassScenarioEntry(2, engine_.FindClassIndex(2, "bank_group")), 2u);
  EXPECT_TRUE(engine_.VerbInScenario(5));
}

TEST_F(ScenarioTest, BadLinesBecomeAnomaliesAndAreMarked) {
  Load(
      "G#0V\t1\tA\r\n0#1#\tdog\tA\r\n0#1#\tdog\tA\r\n3#1#\tunknownfield\tA\r\nS#1#\tzzz\tA\r\nV#1#\trun\tA\r\nV#1#"
      "\trun\tA\r\n"
      "A#1#\tbig\tA\r\n3#1#\tanimal\tA\r\n3#1#\tanimal\tA\r\n");
  EXPECT_EQ(AnomalyIds(), (std::vector<int>{kMsgDuplicated, kMsgNotInDictionary, kMsgNotInDictionary, kMsgDuplicated,
                                            kMsgNotInDictionary, kMsgDuplicated}));
  EXPECT_TRUE(anomalies_.shown);
  EXPECT_EQ(file_.Entries()[3].code[3], '?');
  EXPECT_EQ(file_.Entries()[8].code[3], '#');  // the first assignment stands
  EXPECT_EQ(file_.Entries()[9].code[3], '?');
  EXPECT_EQ(engine_.AnomalyCount(), 6u);
}

TEST_F(ScenarioTest, HiddenGroupsHideTheirSubtreeAndOnlyVisibleTopGroupsRank) {
  Load(
      "G#0V\t1\tanimals\r\n0#1#\tdog\tanimals\r\nG#0H\t2\thidden\r\nG#1V\t3\tinside\r\n0#2#\tcash\tinside\r\n"
      "G#0V\t4\tbanks\r\n0#1#\tbank\tbanks\r\nG#1V\t5\triver banks\r\n0#2#\triverbank\triver banks\r\n");
  EXPECT_FALSE(engine_.ScenarioEntryCounted(2));
  EXPECT_FALSE(engine_.ScenarioEntryCounted(3));
  EXPECT_TRUE(engine_.ScenarioEntryCounted(1) && engine_.ScenarioEntryCounted(5));  // visible, to the last
  EXPECT_EQ(engine_.ScenarioEntryParent(5), 4u);
  for (const char* w : {"dog", "cash", "cash", "bank", "riverbank", "riverbank"}) engine_.CountScenarioEntry(w, 0);
  engine_.PropagateScenarioCounts();
  EXPECT_EQ(engine_.ScenarioEntryOccurrences(3), 0u);
  EXPECT_EQ(engine_.ScenarioEntryOccurrences(4), 3u);  // its own and its subtree's
  engine_.RankScenario();
  ASSERT_EQ(engine_.RankedClassTotal(4), 2);
  EXPECT_EQ(engine_.RankedClass(4, 1), 4);
  EXPECT_EQ(engine_.RankedClass(4, 2), 1);
  EXPECT_TRUE(engine_.IsScenarioActive());
  EXPECT_FALSE(engine_.IsLastVisibleSibling(1, 0, false, 0));
  EXPECT_TRUE(engine_.IsLastVisibleSibling(4, 0, false, 0));
  EXPECT_TRUE(engine_.IsLastVisibleSibling(1, 0, true, 4));  // group 4 has only 3 occurrences
  engine_.ClearScenarioEntries();                            // the Scenario is dropped
  EXPECT_FALSE(engine_.IsScenarioLoaded());
  EXPECT_FALSE(engine_.IsScenarioActive());
  EXPECT_EQ(engine_.ScenarioEntryOfWordForm("dog"), 0u);
}

TEST_F(ScenarioTest, DepthJumpTakesTheNearestShallowerGroupAndIsReported) {
  Load("G#0V\t1\ta\r\nG#1V\t2\tb\r\nG#0V\t3\tc\r\nG#2V\t4\tjump\r\n0#3#\tdog\tjump\r\n");
  EXPECT_EQ(engine_.ScenarioEntryParent(4), 3u);  // not b, which belongs to another subtree
  EXPECT_EQ(AnomalyIds(), std::vector<int>{kMsgDepthJump});
  EXPECT_EQ(engine_.ScenarioEntryOfWordForm("dog"), 4u);
}

TEST_F(ScenarioTest, SameLabelsGiveSeparateClassesAndWordsGoToTheirOwnGroup) {
  Load("G#0V\t1\tsame\r\n0#1#\tdog\tsame\r\nG#0V\t2\tsame\r\n0#1#\tcash\tsame\r\n");
  EXPECT_EQ(engine_.LevelClassCount(4), 2);
  EXPECT_EQ(engine_.FindClassIndex(4, "same"), 1);
  EXPECT_EQ(engine_.ScenarioEntryOfWordForm("cash"), 2u);
}

TEST_F(ScenarioTest, AGroupWithoutALabelMakesNoClass) {
  Load("G#0V\t1\tpets\r\nG#0V\t2\t\r\n0#1#\tcash\t\r\nG#0V\t3\tmoney\r\n0#1#\tdog\tmoney\r\n");
  EXPECT_EQ(engine_.ScenarioEntryCount(), 3u);
  EXPECT_EQ(engine_.LevelClassCount(4), 2);  // pets and money only
  // Names and the name index still answer by entry.
  EXPECT_EQ(engine_.ClassName(4, 1), "pets");
  EXPECT_EQ(engine_.ClassName(4, 2), "");
  EXPECT_EQ(engine_.ClassName(4, 3), "money");
  EXPECT_EQ(engine_.ClassName(4, 4), "?");
  EXPECT_EQ(engine_.FindClassIndex(4, "money"), 3);
  EXPECT_EQ(engine_.FindClassIndex(4, ""), 0);
  // The unlabelled group still holds its words.
  EXPECT_EQ(engine_.ScenarioEntryOfWordForm("cash"), 2u);
  EXPECT_EQ(engine_.ScenarioEntryOfWordForm("dog"), 3u);
}

TEST_F(ScenarioTest, FileWithoutGroupsMakesAnEntryPerLineAndAsksForASave) {
  Load("0#0#\tdog\tPets\r\n0#0#\tcash\tMoney\r\n");
  EXPECT_EQ(engine_.ScenarioEntryCount(), 2u);
  EXPECT_EQ(engine_.ClassName(4, 2), "money");
  EXPECT_EQ(AnomalyIds(), std::vector<int>{kMsgOldScenarioVersion});
  // Renumbering asked by the editor is no anomaly.
  Load("0#0#\tdog\tPets\r\n", true);
  EXPECT_TRUE(AnomalyIds().empty());
  EXPECT_EQ(engine_.EntrySignature(1), 1u);
}

TEST_F(ScenarioTest, LargeScenariosLoadWholeAndTheEntryLimitStopsCleanly) {
  std::string text;
  for (int i = 1; i <= 65536; ++i) text += "G#0V\t" + std::to_string(i) + "\tg" + std::to_string(i) + "\r\n";
  for (int i = 0; i < 70000; ++i) text += "0#1#\tword" + std::to_string(i) + "\tg\r\n";
  Load(text);
  EXPECT_EQ(engine_.ScenarioEntryCount(), 65535u);  // the 65,536th group is refused with its message
  ASSERT_EQ(ui_.ui.Shown().size(), 1u);
  EXPECT_NE(ui_.ui.Shown()[0].text.find("overflow"), std::string::npos);
  // Words are indexed without a fixed limit.
  std::string words = "G#0V\t1\tg\r\n";
  for (int i = 0; i < 70000; ++i) words += "0#1#\tword" + std::to_string(i) + "\tg\r\n";
  Load(words);
  EXPECT_EQ(engine_.ScenarioEntryOfWordForm("word69999"), 1u);
  EXPECT_TRUE(AnomalyIds().empty());
}

// A noun without a reading whose name is a class of level 1 takes that
// class; the class is counted only when the text already has it.
TEST_F(ScenarioTest, ANounNamedLikeAClassIsCountedOnlyWhenTheClassOccurs) {
  int32_t value = 0;
  const int32_t riverbank = engine_.FindClassIndex(1, "riverbank");
  ASSERT_GT(riverbank, 0);
  ASSERT_TRUE(engine_.ClassifySubstantive("riverbank", nullptr, value));
  EXPECT_EQ(engine_.BestClasses()[0], static_cast<uint32_t>(riverbank));
  EXPECT_EQ(engine_.ClassOccurrences(1, riverbank), 0u);
  ASSERT_TRUE(engine_.ClassifySubstantive("riverbanks", nullptr, value));  // through its singular
  EXPECT_EQ(engine_.ClassOccurrences(1, riverbank), 0u);
  // Once another word has counted it, a word named by it counts too.
  engine_.CountClassOccurrences(std::array<uint32_t, 4>{static_cast<uint32_t>(riverbank), 0, 0, 0}.data());
  ASSERT_TRUE(engine_.ClassifySubstantive("riverbank", nullptr, value));
  EXPECT_EQ(engine_.ClassOccurrences(1, riverbank), 2u);
}

TEST_F(ScenarioTest, RetentionFollowsTheScenarioThenTheClassThreshold) {
  Load("G#0V\t1\tpets\r\n0#1#\tdog\tpets\r\n");
  int32_t value = 0;
  ASSERT_TRUE(engine_.ClassifySubstantive("dog", nullptr, value));
  EXPECT_TRUE(engine_.ScenarioMatch("dog", value, 0, 5));
  EXPECT_EQ(engine_.BestClasses()[3], 1u);
  ASSERT_TRUE(engine_.ClassifySubstantive("cash", nullptr, value));
  EXPECT_FALSE(engine_.ScenarioMatch("cash", value, 0, 5));  // rare class, outside the Scenario
  EXPECT_TRUE(engine_.ScenarioMatch("cash", value, 0, 1));
  // A text-index word line: the base form of a reading leads to its entry.
  Load("G#0V\t1\tmoney\r\nS#1#\tcash\tmoney\r\n");
  EXPECT_TRUE(engine_.WordInScenario(engine_.TextIndexLookup("cash")));
  EXPECT_EQ(engine_.FindScenarioEntry("cash"), 1u);
  EXPECT_TRUE(engine_.CountScenarioEntry("cashes", engine_.TextIndexLookup("cash")));
  uint32_t entry = 0;
  EXPECT_TRUE(engine_.ScenarioEntryOfWord("cashes", entry));  // through the base form of its reading
  EXPECT_EQ(entry, 1u);
  EXPECT_EQ(engine_.ScenarioEntryOccurrences(1), 1u);  // asking counts nothing
  // Reclassified, an unknown word must reach the threshold as a class of its own.
  EXPECT_FALSE(engine_.ScenarioMatch("zork", value, 0, 1, true));
  // The last name of the text index is reachable too.
  EXPECT_EQ(engine_.TextIndexNameOf(engine_.TextIndexNameCount()), "cash");
}

TEST_F(ScenarioTest, TheAnomalyCountCanBeCleared) {
  Load("G#0V\t1\tanimals\r\n1###\tno_such_class_anywhere\tanimals\r\n");
  ASSERT_GT(engine_.AnomalyCount(), 0u);
  ASSERT_TRUE(engine_.AnomalyFlag());
  engine_.ClearAnomalyCount();
  EXPECT_EQ(engine_.AnomalyCount(), 0u);
  EXPECT_FALSE(engine_.AnomalyFlag());
}

}  // namespace
}  // namespace quilor
