#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "core/lexicon.h"
#include "core/name_index.h"
#include "engine/ontology_engine.h"
#include "platform/message_ui.h"

namespace quilor {
namespace {

// The English dictionary made by the build from WordNet.
class EnglishOntology : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::string path = std::string(QUILOR_BINARY_DIR) + "/Dico/englex.sv8";
#ifndef QUILOR_HAVE_ONTOLOGY_BUILDER
    if (!std::filesystem::exists(path)) return;  // this build does not make the dictionary
#endif
    engine_ = new TOntologyEngine;
    engine_->LoadFile(path);
  }
  static void TearDownTestSuite() {
    delete engine_;
    engine_ = nullptr;
  }
  void SetUp() override {
    if (!engine_) GTEST_SKIP() << "no englex.sv8 in this build";
    engine_->ResetTextClasses();
    engine_->ClearTextCounts();
    engine_->ResetHistory();
  }
  struct Classes {
    std::string l1, l2, l3;
  };
  static Classes Names() {
    const auto& b = engine_->BestClasses();
    return {engine_->ClassName(1, static_cast<int32_t>(b[0])), engine_->ClassName(2, static_cast<int32_t>(b[1])),
            engine_->ClassName(3, static_cast<int32_t>(b[2]))};
  }
  // Pass 1 over a text's nouns, then pass 2 on the word asked.
  static Classes ClassifyInText(const std::vector<std::string>& text, const std::string& word) {
    int32_t value = 0;
    for (const std::string& w : text) engine_->ClassifySubstantive(w, nullptr, value);
    EXPECT_TRUE(engine_->ClassifyWord(word, value, true)) << word;
    return Names();
  }
  static TOntologyEngine* engine_;
};
TOntologyEngine* EnglishOntology::engine_ = nullptr;

TEST_F(EnglishOntology, LevelsHaveTheirIntendedSizes) {
  EXPECT_GE(engine_->DictionaryClassCount(3), 25);
  EXPECT_LE(engine_->DictionaryClassCount(3), 60);
  EXPECT_GE(engine_->DictionaryClassCount(2), 300);
  EXPECT_LE(engine_->DictionaryClassCount(2), 2100);
  EXPECT_GE(engine_->DictionaryClassCount(1), 10000);
  EXPECT_LE(engine_->DictionaryClassCount(1), 50000);  // room stays for the classes of unknown nouns
  EXPECT_EQ(engine_->ClassName(2, engine_->DictionaryClassCount(2) + 1), "?");
  EXPECT_EQ(engine_->FindClassIndex(3, "animal") > 0, true);
}

TEST_F(EnglishOntology, CommonNounsFindTheirClassesOnThreeLevels) {
  int32_t value = 0;
  ASSERT_TRUE(engine_->ClassifySubstantive("dog", nullptr, value) || engine_->ClassifyWord("dog", value, false));
  Classes dog = Names();
  EXPECT_EQ(dog.l1, "dog");
  EXPECT_EQ(dog.l3, "animal");
  EXPECT_NE(dog.l2, "?");

  ASSERT_TRUE(engine_->ClassifyWord("dogs", value, false));
  EXPECT_EQ(Names().l1, "dog");
  EXPECT_TRUE(engine_->Reading().fromNormalisedForm);

  ASSERT_TRUE(engine_->ClassifyWord("children", value, false));
  EXPECT_EQ(Names().l1, "child");
  EXPECT_EQ(Names().l3, "person");

  for (const char* form : {"ice_cream", "ice-cream"}) {
    ASSERT_TRUE(engine_->ClassifyWord(form, value, false)) << form;
    EXPECT_EQ(Names().l1, "ice_cream");
    EXPECT_EQ(Names().l3, "food");
  }
  for (const char* amount : {"$100", "100$",
                             "\x80"
                             "5"}) {
    ASSERT_TRUE(engine_->LookupReading(amount, 0)) << amount;
    ASSERT_TRUE(engine_->ClassifyWord(amount, value, false)) << amount;
    EXPECT_EQ(Names().l3, "money") << amount;
  }
  engine_->ClassifyWord("$100", value, false);
  EXPECT_EQ(Names().l1, "dollar");
  EXPECT_FALSE(engine_->LookupReading("$", 1));
  EXPECT_FALSE(engine_->LookupReading("x$y", 0));
}

TEST_F(EnglishOntology, AmbiguousNounTakesTheReadingItsContextSupports) {
  Classes river = ClassifyInText({"river", "riverbed", "waterfall", "creek", "canoe", "river"}, "bank");
  EXPECT_EQ(river.l3, "nature");
  SetUp();
  Classes money = ClassifyInText({"money", "cash", "loan", "dollar", "currency", "mortgage"}, "bank");
  EXPECT_EQ(money.l3, "money");
  EXPECT_NE(river.l1, money.l1);
  // Without a context the most frequent reading wins.
  SetUp();
  int32_t value = 0;
  ASSERT_TRUE(engine_->ClassifyWord("bank", value, true));
  EXPECT_EQ(Names().l1, river.l1);
}

TEST_F(EnglishOntology, KeptReadingsServeTheirWordOnlyWhileTheMemoryHoldsThem) {
  int32_t value = 0;
  ASSERT_TRUE(engine_->DefaultReading("bank", false));
  const ReadingsToken bank = engine_->KeptReadings();
  ASSERT_NE(bank.readings, 0u);
  const Classes bankDefault = Names();
  ASSERT_TRUE(engine_->DefaultReading("plant", false));
  const Classes plantDefault = Names();
  ASSERT_NE(plantDefault.l1, bankDefault.l1);
  ASSERT_TRUE(engine_->ClassifyWordAmong("bank", value, false, false, bank));
  EXPECT_EQ(Names().l1, bankDefault.l1);
  // Emptied (a new dictionary) and filled again with another word first,
  // the memory no longer holds what the token names: the word is looked up.
  engine_->LoadFile(std::string(QUILOR_BINARY_DIR) + "/Dico/englex.sv8");
  ASSERT_TRUE(engine_->DefaultReading("plant", false));
  EXPECT_EQ(Names().l1, plantDefault.l1);
  ASSERT_TRUE(engine_->ClassifyWordAmong("bank", value, false, false, bank));
  EXPECT_EQ(Names().l1, bankDefault.l1);
  ASSERT_TRUE(engine_->DefaultReading("bank", false, bank));
  EXPECT_EQ(Names().l1, bankDefault.l1);
}

TEST_F(EnglishOntology, UnknownNounsBecomeClassesReusedAcrossCaseAndPlural) {
  int32_t value = 0;
  const int32_t before = engine_->LevelClassCount(1);
  ASSERT_TRUE(engine_->ClassifySubstantive("zorblax", nullptr, value));
  const uint32_t cls = engine_->BestClasses()[0];
  EXPECT_EQ(static_cast<int32_t>(cls), before + 1);
  EXPECT_TRUE(engine_->IsAddedClass(1, static_cast<int32_t>(cls)));
  for (const char* form : {"Zorblax", "zorblaxes", "ZORBLAX"}) {
    ASSERT_TRUE(engine_->ClassifySubstantive(form, nullptr, value)) << form;
    EXPECT_EQ(engine_->BestClasses()[0], cls) << form;
  }
  EXPECT_EQ(engine_->LevelClassCount(1), before + 1);
  EXPECT_EQ(engine_->ClassOccurrences(1, static_cast<int32_t>(cls)), 4u);  // each occurrence counted
  // A marked word keeps its own form as the class name.
  TCategoryRecord marked;
  marked.SubField2 = 2;
  ASSERT_TRUE(engine_->ClassifySubstantive("Quuxes", &marked, value));
  EXPECT_EQ(engine_->ClassName(1, static_cast<int32_t>(engine_->BestClasses()[0])), "quuxes");
  // The next analysis starts without them.
  engine_->ResetTextClasses();
  EXPECT_EQ(engine_->LevelClassCount(1), before);
  EXPECT_EQ(engine_->FindClassIndex(1, "zorblax"), 0);
}

TEST_F(EnglishOntology, LookupEntryKeepsAbsenceValueAndAmbiguityApart) {
  EntryLookup absent = engine_->LookupEntry("qwzxv");
  EXPECT_FALSE(absent.found);
  EntryLookup dog = engine_->LookupEntry("dog");
  EXPECT_TRUE(dog.found);
  EXPECT_TRUE(dog.ambiguous);  // dog has several readings
  EXPECT_GT(dog.record, 0);
  EntryLookup one = engine_->LookupEntry("dachshund");
  EXPECT_TRUE(one.found);
  EXPECT_FALSE(one.ambiguous);
}

TEST_F(EnglishOntology, ReadingsStopAtEighteenAndDepthOverflowIsReportedOnceWithoutStopping) {
  ScopedScriptedUi ui;
  ASSERT_TRUE(engine_->CollectReadings("head"));
  EXPECT_LE(engine_->CollectedReadings().size(), 18u);
  EXPECT_GT(engine_->CollectedReadings().size(), 5u);
  EXPECT_FALSE(engine_->LookupReading("head", 25));
  EXPECT_FALSE(engine_->LookupReading("line", 30));
  EXPECT_LE(ui.ui.Shown().size(), 1u);
  EXPECT_TRUE(engine_->LookupReading("head", 0));  // the next search clears the overflow
}

TEST_F(EnglishOntology, ProperNounReadingsNeedAnInitialCapital) {
  int32_t value = 0;
  ASSERT_TRUE(engine_->ClassifyWord("China", value, true));
  EXPECT_EQ(Names().l3, "place");
  // Lower-cased, the country readings are set aside when the text speaks of porcelain.
  ASSERT_TRUE(engine_->ClassifySubstantive("porcelain", nullptr, value));
  const std::string porcelain = Names().l3;
  ASSERT_TRUE(engine_->ClassifyWord("china", value, true));
  EXPECT_EQ(Names().l3, porcelain);
  ASSERT_TRUE(engine_->ClassifyWord("China", value, true));
  EXPECT_EQ(Names().l3, "place");
}

TEST_F(EnglishOntology, RankingOrdersTheClassesFoundByCount) {
  int32_t value = 0;
  for (const char* w : {"dachshund", "dachshund", "dachshund", "poodle", "poodle", "tadpole"})
    EXPECT_TRUE(engine_->ClassifySubstantive(w, nullptr, value)) << w;
  for (int l = 1; l <= 3; ++l) engine_->RankLevel(l);
  ASSERT_GE(engine_->RankedClassTotal(1), 2);
  ASSERT_TRUE(engine_->LookupReading("dachshund", 0));  // a look-up counts nothing
  EXPECT_EQ(engine_->RankedClass(1, 1), static_cast<int32_t>(engine_->Reading().cls[0]));
  EXPECT_EQ(engine_->RankedClassName(3, 1), "animal");
  EXPECT_EQ(engine_->RankedClassOccurrences(3, 1), 6u);
  EXPECT_GE(engine_->RankedClassOccurrences(1, 1), engine_->RankedClassOccurrences(1, 2));
}

TEST_F(EnglishOntology, InstalledScenariosLoadWithoutAnomaliesAndClassifyTheirWords) {
  RecordingAnomalyReporter anomalies;
  engine_->SetAnomalyReporter(&anomalies);
  for (const char* name : {"Concepts US V8.scn", "Natural sciences US V7.scn", "Chemistry US V7.scn"}) {
    ScopedScriptedUi ui;
    ClassFileList file;
    ASSERT_TRUE(LoadClassFile(file, std::string(QUILOR_BINARY_DIR) + "/Scenario/" + name, name)) << name;
    engine_->LoadScenario(file, false);
    EXPECT_TRUE(anomalies.lines.empty()) << name << ": " << anomalies.lines.front().text;
    EXPECT_GT(engine_->ScenarioEntryCount(), 2u) << name;
    EXPECT_TRUE(ui.ui.Shown().empty()) << name;
  }
  // The chemistry Scenario takes the element names as words.
  EXPECT_NE(engine_->ScenarioEntryOfWordForm("tritium"), 0u);
  ClassFileList concepts;
  ASSERT_TRUE(LoadClassFile(concepts, std::string(QUILOR_BINARY_DIR) + "/Scenario/Concepts US V8.scn"));
  engine_->LoadScenario(concepts, false);
  int32_t value = 0;
  ASSERT_TRUE(engine_->ClassifyWord("dachshund", value, false));
  ASSERT_TRUE(engine_->CountScenarioEntry("dachshund", 0));
  uint32_t entry = engine_->BestClasses()[3];
  while (engine_->ScenarioEntryParent(entry)) entry = engine_->ScenarioEntryParent(entry);
  EXPECT_EQ(engine_->ScenarioClassName(static_cast<int32_t>(entry)), "animal");
  engine_->SetAnomalyReporter(nullptr);
  engine_->ClearScenarioEntries();
  engine_->ClearScenario();
}

TEST(OntologyStartUp, GlobalEngineServesTheLexiconAndFillsTheTextIndex) {
  const std::string path = std::string(QUILOR_BINARY_DIR) + "/Dico/englex.sv8";
#ifndef QUILOR_HAVE_ONTOLOGY_BUILDER
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "no englex.sv8 in this build";
#endif
  TTextIndex* previous = TextIndex;
  TextIndex = nullptr;
  StartOntologyEngine(path);
  ASSERT_TRUE(OntologyEngine && OntologyEngine->Ready());
  ASSERT_NE(TextIndex, nullptr);
  uint32_t dog = TextIndex->TextIndexLookup("dog");
  ASSERT_GT(dog, 0u);
  EXPECT_STREQ(TextIndex->TextIndexNameOf(dog), "dog");
  EXPECT_EQ(dog, OntologyEngine->TextIndexLookup("dog"));

  LexiconOntology* link = CurrentLexiconOntology();
  ASSERT_NE(link, nullptr);
  bool found = false;
  EXPECT_GE(link->LookupEntry("ice_cream", found), 1);
  EXPECT_TRUE(found);
  EXPECT_EQ(link->LookupEntry("qwzxv", found), -1);
  EXPECT_FALSE(found);
  ASSERT_TRUE(OntologyEngine->LookupReading("dog", 0));
  EXPECT_TRUE(link->HoldsWithClass("dog", OntologyEngine->Reading().cls[0]));
  EXPECT_FALSE(link->HoldsWithClass("dog", static_cast<uint32_t>(OntologyEngine->FindClassIndex(1, "ice_cream"))));

  // A Scenario's base-form lines reach the text index's per-entry cells.
  ClassFileList file;
  bool damaged = false;
  ASSERT_TRUE(ParseClassFileText(file, "G#0V\t1\tpets\r\nS#1#\tdog\tpets\r\n0#1#\tpuppy\tpets\r\n", damaged));
  OntologyEngine->LoadScenario(file, false);
  EXPECT_EQ(TextIndex->TextIndexValueOf(dog), 1u);
  EXPECT_EQ(link->ScenarioEntryOfWordForm("puppies", 7), 1);

  StopOntologyEngine();
  EXPECT_EQ(CurrentLexiconOntology(), nullptr);
  delete TextIndex;
  TextIndex = previous;
}

TEST_F(EnglishOntology, WordsMatchTheClassesOfALevel) {
  ASSERT_TRUE(engine_->WordMatchesClass("dog", 1));
  EXPECT_EQ(engine_->ClassName(1, static_cast<int32_t>(engine_->BestClasses()[0])), "dog");
  ASSERT_TRUE(engine_->WordMatchesClass("dogs", 3));
  EXPECT_EQ(engine_->ClassName(3, static_cast<int32_t>(engine_->BestClasses()[2])), "animal");
  // A word the dictionary does not read is matched by its class name.
  const int32_t added = engine_->AddClass(1, "zorblax", false, "zorblax");
  ASSERT_GT(added, 0);
  ASSERT_TRUE(engine_->WordMatchesClass("Zorblaxes", 1));
  EXPECT_EQ(engine_->BestClasses()[0], static_cast<uint32_t>(added));
  engine_->ResetTextClasses();
  engine_->ClearTextCounts();
  EXPECT_FALSE(engine_->WordMatchesClass("zzqqxx", 1));
  EXPECT_FALSE(engine_->WordMatchesClass("dog", 4));  // no Scenario loaded
  EXPECT_FALSE(engine_->WordMatchesClass("dog", 5));
  // Asking counts nothing.
  EXPECT_EQ(engine_->ClassOccurrences(1, engine_->FindClassIndex(1, "dog")), 0u);
}

TEST_F(EnglishOntology, IndexStatisticsAndCountsOfTheTextIndexes) {
  char* text = nullptr;
  size_t size = 0;
  std::FILE* log = open_memstream(&text, &size);
  engine_->WriteIndexStatistics(1, log);
  std::fclose(log);
  const std::string out(text, size);
  std::free(text);
  EXPECT_NE(out.find("Seg[19]="), std::string::npos) << out;
  EXPECT_EQ(out.find("Seg[20]="), std::string::npos);
  // Every class has its name in the index, some also the name earlier
  // dictionaries gave it: the total is the segments' sum, at least the
  // number of classes.
  long sum = 0;
  for (size_t at = out.find("Seg["); at != std::string::npos; at = out.find("Seg[", at + 1))
    sum += std::atol(out.c_str() + out.find('=', at) + 1);
  EXPECT_GE(sum, engine_->DictionaryClassCount(1));
  EXPECT_NE(out.find("Total entries for this index=" + std::to_string(sum) + "\n"), std::string::npos) << out;

  // ClearTextCounts also clears the counts of the text index.
  std::unique_ptr<TTextIndex> index(engine_->MakeTextIndex());
  TTextIndex* previous = TextIndex;
  TextIndex = index.get();
  const uint32_t entry = engine_->TextIndexLookup("dog");
  ASSERT_GT(entry, 0u);
  uint32_t unused = 0;
  TextIndex->CountTextIndexEntry(entry, unused);
  ASSERT_EQ(TextIndex->TextIndexCountOf(entry), 1u);
  engine_->ClearTextCounts();
  EXPECT_EQ(TextIndex->TextIndexCountOf(entry), 0u);
  TextIndex = previous;
}

}  // namespace
}  // namespace quilor
