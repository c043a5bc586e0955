// The senses the analysis gives nouns in short texts, with the dictionaries
// of the build: the sense a careful reader gives in each context.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/category.h"
#include "core/class_file.h"
#include "core/name_index.h"
#include "engine/analysis_dictionaries.h"
#include "engine/analysis_results.h"
#include "engine/ontology_engine.h"
#include "engine/segment_buffer.h"
#include "engine/semantic_pass.h"
#include "engine/word_list.h"

namespace quilor {
namespace {

class NounSenses : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::string dico = std::string(QUILOR_BINARY_DIR) + "/Dico";
    if (!std::filesystem::exists(dico + "/englex.sv8")) return;
    OpenAnalysisDictionaries(dico);
    StartOntologyEngine(dico + "/englex.sv8");
  }
  static void TearDownTestSuite() {
    TextWords.Clear();
    StopOntologyEngine();
    delete TextIndex;
    TextIndex = nullptr;
    CloseAnalysisDictionaries();
  }
  void SetUp() override {
    if (!OntologyEngine) GTEST_SKIP() << "no englex.sv8 in this build";
  }

  struct Word {
    std::string text, l1, l3;
    uint32_t entry = 0;  // Scenario entry
    bool item = false;   // an item of the relations
  };
  // Analyses a text as the analysis run does and gives every noun with the
  // names of its classes of levels 1 and 3.
  static std::vector<Word> Analyse(const std::string& text) { return AnalyseDocuments({text}); }
  // The same for documents read as one run (each a file of its own).
  // Cuts documents into TextWords as one run, each a file of its own.
  static void SegmentDocuments(const std::vector<std::string>& documents) {
    std::vector<int32_t> ends;
    std::string all;
    for (const std::string& d : documents) {
      all += d;
      SegmentTextAsFile(reinterpret_cast<const unsigned char*>(all.data()), all.size(), false);
      ends.push_back(TextWords.HighestPosition());
    }
    for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n)) {
      uint16_t file = 1;
      while (file <= ends.size() && n->position > ends[file - 1]) ++file;
      n->fileNumber = file;
    }
  }
  static std::vector<Word> AnalyseDocuments(const std::vector<std::string>& documents) {
    SegmentDocuments(documents);
    std::vector<Word> words;
    auto results = std::make_unique<TAnalysisResults>(TextWords.Count(), TakeRunSettings(*Options));
    EXPECT_TRUE(results->Built && RunSemanticPass(*results));
    personPairs_ = 0;
    uint32_t first = 0, second = 0, count = 0;
    for (size_t i = 0; results->Relations.KindEntry(3, i, first, second, count); ++i)
      if (OntologyEngine->ClassName(3, static_cast<int32_t>(first)) == "person" &&
          OntologyEngine->ClassName(3, static_cast<int32_t>(second)) == "person")
        personPairs_ += static_cast<int>(count);
    nameParts_.clear();
    sentences_ = 0;
    for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n)) {
      const TWordCategoryData& d = n->category;
      if (IsSubstantive(d.Category) && IsPartOfName(*n)) nameParts_.push_back(n->text);
      sentences_ += std::strcmp(n->text, "/") == 0 && std::strchr(n->tag, '.') != nullptr;
      if (!IsSubstantive(d.Category) || !d.ClassIds[0]) continue;
      words.push_back({n->text, OntologyEngine->ClassName(1, static_cast<int32_t>(d.ClassIds[0])),
                       OntologyEngine->ClassName(3, static_cast<int32_t>(d.ClassIds[2])), d.ClassIds[3],
                       HasClassifiedMark(d)});
    }
    TextWords.Clear();
    return words;
  }
  // The words the last text analysed made part of a name item, and how
  // many marks with a period it was cut at.
  static inline std::vector<std::string> nameParts_;
  static inline int sentences_ = 0;
  // The person-person relations (level 3) of the last text analysed.
  static inline int personPairs_ = 0;
  // The classified occurrences of a word.
  static int Count(const std::vector<Word>& words, const std::string& text) {
    int n = 0;
    for (const Word& w : words) n += w.text == text;
    return n;
  }
  // The words that carry a person (level 1), each followed by a space.
  static std::string Persons(const std::vector<Word>& words) {
    std::string persons;
    for (const Word& w : words)
      if (w.l1 == "person") persons += w.text + " ";
    return persons;
  }
  // The classes of an occurrence of a word ("" when it is no classified noun).
  static Word Of(const std::vector<Word>& words, const std::string& text, int occurrence = 0) {
    for (const Word& w : words)
      if (w.text == text && occurrence-- == 0) return w;
    return {};
  }
};

TEST_F(NounSenses, TheTopicOfTheTextChoosesTheSense) {
  auto river = Analyse("We paddled the canoe down the river past the creek and the waterfall to the bank.");
  EXPECT_EQ(Of(river, "bank").l3, "nature");
  auto money = Analyse("The loan, the mortgage and the cash of the account went to the bank.");
  EXPECT_EQ(Of(money, "bank").l3, "money");
  // Without a topic the most frequent sense.
  EXPECT_EQ(Of(Analyse("They stood by the bank."), "bank").l3, "nature");

  auto garden = Analyse("The garden had flowers, seeds, leaves, roots and a plant.");
  EXPECT_EQ(Of(garden, "plant").l3, "plant");
  auto factory = Analyse("The workers ran the machines of the plant.");
  EXPECT_NE(Of(factory, "plant").l3, "plant");
}

TEST_F(NounSenses, ANumberInFiguresCountsTheUnitANounNames) {
  auto text = Analyse("The stone arch measured 160 feet across, and the boat was 40 feet long. Add 1/2 cup water.");
  // After a number in figures a noun with a unit's reading is the unit,
  // and its neighbours hear the unit of it: the arch is no bone.
  EXPECT_EQ(Of(text, "feet", 0).l3, "quantity");
  EXPECT_EQ(Of(text, "feet", 1).l3, "quantity");
  EXPECT_EQ(Of(text, "cup").l1, "cup (containerful)");
  EXPECT_NE(Of(text, "arch").l3, "body");
  // Without the figures the word keeps its own sense.
  auto body = Analyse("He washed his feet and stood on two bare feet beside the cup.");
  EXPECT_EQ(Of(body, "feet", 0).l3, "body");
  EXPECT_EQ(Of(body, "feet", 1).l3, "body");
  EXPECT_NE(Of(body, "cup").l1, "cup (containerful)");
}

TEST_F(NounSenses, BroadFieldsAndTheWordsOwnChoicesAreNoEvidence) {
  // Time, persons and groups occur in every text: school stays a school,
  // person a human being, group a group of people, however often they come.
  auto text = Analyse(
      "The school opened early. The school closed late in the day. Then the school was quiet for an hour. "
      "Every person in the group had a method. The person left the group. The group met the person at noon.");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Of(text, "school", i).l3, "education") << i;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Of(text, "person", i).l1, "person") << i;
    EXPECT_EQ(Of(text, "group", i).l3, "group") << i;
  }

  // The classes a word's earlier occurrences were counted in do not speak
  // for its next occurrence.
  TOntologyEngine& e = *OntologyEngine;
  e.ClearTextCounts();
  e.ResetTextClasses();
  int32_t value = 0;
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(e.ClassifyWord("bank", value, true));
  const auto chosen = e.BestClasses();
  const uint32_t base = e.BestBaseForm();
  EXPECT_EQ(e.ClassOccurrences(1, static_cast<int32_t>(chosen[0])), 3u);
  EXPECT_EQ(e.EvidenceFromOtherWords(1, chosen[0], base), 0u);
  EXPECT_EQ(e.EvidenceFromOtherWords(3, chosen[2], base), 0u);
}

TEST_F(NounSenses, PluralsAreReadThroughTheirSingular) {
  auto text = Analyse(
      "The man waited for a year. The men waited for years. The field was green; the fields were green. "
      "The women and the salesmen and the gentlemen sat down.");
  EXPECT_EQ(Of(text, "years").l1, Of(text, "year").l1);
  EXPECT_EQ(Of(text, "men").l1, Of(text, "man").l1);
  EXPECT_EQ(Of(text, "fields").l1, Of(text, "field").l1);
  EXPECT_EQ(Of(text, "fields").l3, "place");
  for (const char* w : {"women", "salesmen", "gentlemen"}) EXPECT_NE(Of(text, w).l1, "") << w;
  EXPECT_EQ(Of(text, "women").l3, "person");
  // A plural that is a lemma of its own is first the plural of its singular.
  auto services = Analyse("The church gave thanks for the services of the doctor. The service of the doctor was long.");
  EXPECT_EQ(Of(services, "services").l1, Of(services, "service").l1);
}

TEST_F(NounSenses, CapitalisedSensesNeedACapitalThatIsNotASentenceStart) {
  auto text = Analyse(
      "Fields were green in the spring. He read the novels of Crane. A crane lifted the beam. "
      "He visited China and bought fine china in Paris.");
  EXPECT_EQ(Of(text, "Fields").l3, "place");  // a sentence start, not the comedian
  EXPECT_EQ(Of(text, "Crane").l3, "person");
  EXPECT_NE(Of(text, "crane").l3, "person");
  EXPECT_EQ(Of(text, "China").l3, "place");
  EXPECT_NE(Of(text, "china").l3, "place");
  EXPECT_EQ(Of(text, "Paris").l3, "place");
  // A sense whose synset writes the word both ways holds in lower case too:
  // the earth of the sky is the planet.
  auto sky = Analyse("Every day the earth turns once, and the moon goes around the earth and the sun.");
  EXPECT_EQ(Of(sky, "earth").l1, "terrestrial_planet");
  EXPECT_EQ(Of(sky, "earth", 1).l1, "terrestrial_planet");
}

TEST_F(NounSenses, GivenNamesAndTitlesAreThePersonTheyName) {
  auto text = Analyse(
      "Yesterday William met Richard and Bill at noon, and Bill paid the bill. "
      "Mr. Smith and Mrs. Brown saw Miss Jones with Dr. Lee and Sen. Kennedy. She was a miss.");
  for (const char* w : {"William", "Richard", "Bill", "Smith", "Brown", "Jones", "Lee", "Kennedy"})
    EXPECT_EQ(Of(text, w).l1, "person") << w;
  EXPECT_EQ(Of(text, "Bill", 1).l1, "person");
  EXPECT_EQ(Of(text, "bill").l3, "law");
  EXPECT_NE(Of(text, "miss").l1, "person");
}

TEST_F(NounSenses, ATitleInitialsGivenNamesAndASurnameAreOnePersonItem) {
  auto text = Analyse(
      "Mr. and Mrs. John F. Harper came with W. J. Harper and Sen. Kennedy. "
      "Mayor William B. Hartsfield filed suit. We met J. Harper. The County Court met the Harper.");
  // The last word of each name carries the person; the title, the given
  // names and the initials carry nothing of their own.
  EXPECT_EQ(Of(text, "Harper", 0).l1, "person");
  EXPECT_EQ(Of(text, "Harper", 1).l1, "person");
  EXPECT_EQ(Of(text, "Harper", 2).l1, "person");
  EXPECT_EQ(Of(text, "Kennedy").l1, "person");
  EXPECT_EQ(Of(text, "Hartsfield").l1, "person");
  for (const char* w : {"Mr", "Mrs", "John", "F", "W", "J", "Sen", "William", "B"}) EXPECT_EQ(Of(text, w).l1, "") << w;
  // A surname that is a trade is the person only in a name.
  EXPECT_NE(Of(text, "Harper", 3).l1, "person");
  // Words of a place stay what they are.
  EXPECT_EQ(Of(text, "County").l3, "place");
  EXPECT_EQ(Persons(text), "Harper Harper Kennedy Hartsfield Harper ");
}

TEST_F(NounSenses, AfterATitleAndAGivenNameTheLastCapitalisedWordIsTheSurname) {
  auto text = Analyse(
      "Mrs. Ethel Coles and Mr. Tom Brooks came to the farm, where coles and brooks were plenty. "
      "Sen. Walter H. Jones (R-Bergen) spoke.");
  // A capital letter after the name is no surname (the party).
  EXPECT_EQ(Persons(text), "Coles Brooks Jones ");
  EXPECT_EQ(Count(text, "Ethel") + Count(text, "Tom"), 0);
  EXPECT_NE(Of(text, "coles").l1, "");
  EXPECT_NE(Of(text, "brooks").l1, "");
}

TEST_F(NounSenses, JrAfterACommaEndsTheNameBeforeIt) {
  auto text = Analyse(
      "Mrs. Robert O. Spurdle, Jr., and John Harper, Sr. came with Mr. Paul Stone Jr. to see the son of the "
      "chairman.");
  // The suffix is part of the person's item, whether a comma stands before
  // it or not; the name before a comma keeps the person.
  EXPECT_EQ(Of(text, "Spurdle").l1, "person");
  EXPECT_EQ(Of(text, "Harper").l1, "person");
  EXPECT_EQ(Count(text, "Jr"), 1);  // Stone Jr., the carrier of its name
  EXPECT_EQ(Count(text, "Sr"), 0);
  EXPECT_EQ(std::count(nameParts_.begin(), nameParts_.end(), "Jr"), 1);
  EXPECT_EQ(std::count(nameParts_.begin(), nameParts_.end(), "Sr"), 1);
  EXPECT_EQ(Of(text, "son").l1, "son");
  EXPECT_EQ(Persons(text), "Spurdle Harper Jr ");
}

TEST_F(NounSenses, AnOfficeBeforeANameIsPartOfThePersonAndKeepsItsOwnClass) {
  auto text = Analyse(
      "Mayor Hartsfield spoke to Judge Parsons and Coach Wagner. The Mayor said the judge was late. "
      "The Superior Court met.");
  // The office joins the name that follows it: one person item, carried by
  // the name.
  EXPECT_EQ(Of(text, "Hartsfield").l1, "person");
  EXPECT_EQ(Of(text, "Parsons").l1, "person");
  EXPECT_EQ(Of(text, "Wagner").l1, "person");
  for (const char* w : {"Mayor", "Judge", "Coach"})
    EXPECT_EQ(std::count(nameParts_.begin(), nameParts_.end(), w), 1) << w;
  // The office keeps the class of the office, chosen as a noun's is (the
  // name after it speaks for no sense of it), and is no item.
  EXPECT_EQ(Of(text, "Mayor", 0).l1, "mayor");
  EXPECT_EQ(Of(text, "Judge").l1, "judge");
  EXPECT_EQ(Of(text, "Coach").l1, "manager (trainer)");
  for (const char* w : {"Judge", "Coach"}) EXPECT_FALSE(Of(text, w).item) << w;
  EXPECT_FALSE(Of(text, "Mayor", 0).item);
  EXPECT_TRUE(Of(text, "Hartsfield").item);
  // Without a name after it the office is a noun and an item of its own,
  // and a word known best as a common noun is no name.
  EXPECT_EQ(Of(text, "Mayor", 1).l1, "mayor");
  EXPECT_TRUE(Of(text, "Mayor", 1).item);
  EXPECT_EQ(Of(text, "Court").l3, "law");

  // Office and name make no pair of persons; an office and a name apart do.
  Analyse("Mayor Kennedy spoke. Mayor Nixon spoke. Mayor Johnson spoke.");
  EXPECT_EQ(personPairs_, 0);
  Analyse("The mayor met Kennedy. The mayor met Nixon. The mayor met Johnson.");
  EXPECT_EQ(personPairs_, 3);
}

TEST_F(NounSenses, AnOfficeThatIsAlsoAFamousSurnameKeepsItsClassBeforeAName) {
  auto text = Analyse(
      "When King Saud visited Washington, Pope John spoke with Constable Henry Pengally. "
      "Later Mr. King met Mrs. Pope and Dr. Constable.");
  for (const char* w : {"Saud", "John", "Pengally"}) EXPECT_EQ(Of(text, w).l1, "person") << w;
  // King, Pope and Constable name the office, as Mayor does, though a
  // famous bearer made each a surname too; the bearer is no office.
  EXPECT_EQ(Of(text, "King").l1, "king");
  EXPECT_EQ(Of(text, "Pope").l1, "pope");
  EXPECT_EQ(Of(text, "Constable").l1, "constable");
  for (const char* w : {"King", "Pope", "Constable"}) EXPECT_FALSE(Of(text, w).item) << w;
  // After a title it ends the name: it is the person.
  EXPECT_EQ(Of(text, "King", 1).l1, "person");
  EXPECT_EQ(Of(text, "Pope", 1).l1, "person");
  EXPECT_EQ(Of(text, "Constable", 1).l1, "person");
}

TEST_F(NounSenses, AWordKnownBestAsACommonNounIsNoSurnameForItsCapitalisedReading) {
  // Constitution the frigate holds only with its capital, but the word is
  // known best as the law: after Georgia it is no surname.
  auto text = Analyse("The Georgia Constitution gives the Legislature the power. Then John Bristol spoke.");
  EXPECT_EQ(Of(text, "Constitution").l3, "law");
  EXPECT_EQ(std::count(nameParts_.begin(), nameParts_.end(), "Georgia"), 0);
  // A word known best with its capital is one.
  EXPECT_EQ(Of(text, "Bristol").l1, "person");
  EXPECT_EQ(std::count(nameParts_.begin(), nameParts_.end(), "John"), 1);
}

TEST_F(NounSenses, ASurnameThatIsAlsoAnOfficeIsThePerson) {
  // After a title or a given name an office that ends the name is the
  // surname: one person, no office.
  auto text = Analyse("Dr. Judge came with Mr. Marshal, Sidney Baker and Thomas Marshal. The Land Rover stopped.");
  EXPECT_EQ(Of(text, "Judge").l1, "person");
  EXPECT_EQ(Of(text, "Marshal", 0).l1, "person");
  EXPECT_EQ(Of(text, "Baker").l1, "person");
  EXPECT_EQ(Of(text, "Marshal", 1).l1, "person");
  for (const char* w : {"Sidney", "Thomas"}) EXPECT_EQ(std::count(nameParts_.begin(), nameParts_.end(), w), 1) << w;
  for (const char* w : {"Judge", "Marshal", "Baker"})
    EXPECT_EQ(std::count(nameParts_.begin(), nameParts_.end(), w), 0) << w;
  // After a word known best as a common noun it is no surname.
  EXPECT_NE(Of(text, "Rover").l1, "person");
}

TEST_F(NounSenses, ADayOrAMonthAfterANameIsNoSurname) {
  // A day after the name of a court is the day it met, no person.
  auto text = Analyse("The case went to the Montgomery County Court Friday. The United Nations Day came.");
  EXPECT_EQ(Of(text, "Friday").l3, "time");
  EXPECT_EQ(Of(text, "Court").l3, "law");
  EXPECT_EQ(Of(text, "Day").l3, "time");
  // After a given name or a title it is the surname.
  auto names = Analyse("Sadie Beth March came with Mr. March.");
  EXPECT_EQ(Of(names, "March", 0).l1, "person");
  EXPECT_EQ(Of(names, "March", 1).l1, "person");
  EXPECT_EQ(std::count(nameParts_.begin(), nameParts_.end(), "Beth"), 1);
}

TEST_F(NounSenses, AnOfficeReadAsAnAdjectiveBeforeANameIsPartOfThePerson) {
  auto text = Analyse("General Howe was late. Then General Washington spoke. He sold General Motors stock.");
  EXPECT_EQ(Of(text, "Howe").l1, "person");
  EXPECT_EQ(Of(text, "Washington").l1, "person");
  EXPECT_EQ(std::count(nameParts_.begin(), nameParts_.end(), "General"), 2);
  // Before a common noun it stays what it was read as: no name.
  EXPECT_EQ(Of(text, "Motors").l1, "motor");
}

TEST_F(NounSenses, AnOfficeReadAsAnAdjectiveBeforeAPersonsNameKeepsItsOwnClass) {
  // A word one of whose readings is a person (Grant the general, Gates)
  // is the name after it, though it is known best as a common noun.
  auto text = Analyse(
      "General Grant may have been the victim. Then General Gates spoke. The General Assembly met. The men "
      "petitioned the General Court for an act.");
  EXPECT_EQ(Of(text, "Grant").l1, "person");
  EXPECT_EQ(Of(text, "Gates").l1, "person");
  EXPECT_EQ(Of(text, "General").l1, "general");
  EXPECT_EQ(std::count(nameParts_.begin(), nameParts_.end(), "General"), 2);
  // Before a word with no person reading, or after an article, it stays
  // what it was read as (Court the player is no name there).
  EXPECT_NE(Of(text, "Assembly").l3, "person");
  EXPECT_EQ(Of(text, "Court").l3, "law");
}

TEST_F(NounSenses, ACommonNounsPluralIsNoPersonsName) {
  // The plural of a word that is a common noun and, with its capital, a
  // person (Court, Son) is the common noun's.
  auto text = Analyse(
      "It was tried in one or two Superior Courts in the State. The book was published by John Wiley Sons in "
      "New York. The Kennedys came.");
  EXPECT_EQ(Of(text, "Courts").l3, "law");
  EXPECT_EQ(Of(text, "Sons").l3, "family");
  EXPECT_EQ(Of(text, "Wiley").l1, "person");
  // A name's plural that is no common noun is still the persons.
  EXPECT_EQ(Of(text, "Kennedys").l1, "person");
}

TEST_F(NounSenses, AFamousSurnameKnownBestAsACommonNounIsAPersonOnlyAfterAName) {
  // Court, Service and Park are persons only with their capital, and no
  // given name, title or initial stands before them: they keep their own
  // classes.
  auto text = Analyse(
      "He sued in Fulton Superior Court Friday. The National Park Service spoke. It pleased Father Weigel. "
      "Then General Grant spoke to Judge Parsons.");
  EXPECT_EQ(Of(text, "Court").l3, "law");
  EXPECT_EQ(Of(text, "Park").l3, "place");
  EXPECT_NE(Of(text, "Service").l1, "person");
  // Before a name, after a title written out or an office, they are names.
  EXPECT_EQ(Of(text, "Weigel").l1, "person");
  EXPECT_EQ(std::count(nameParts_.begin(), nameParts_.end(), "Father"), 1);
  EXPECT_EQ(Of(text, "Grant").l1, "person");
  EXPECT_EQ(Of(text, "Parsons").l1, "person");
}

TEST_F(NounSenses, NoBeforeANumberIsTheNumbersSignAndNoSentenceEnd) {
  auto text = Analyse("Lodge No. 5 met on Monday.");
  EXPECT_EQ(Of(text, "No").l1, "no.");
  EXPECT_EQ(sentences_, 1);
  // Before a word, or a number that begins the next sentence in words, it
  // is the answer.
  auto answer = Analyse("He said no. Five men came.");
  EXPECT_EQ(Of(answer, "no").l1, "");
  EXPECT_EQ(sentences_, 2);
}

TEST_F(NounSenses, AnOfficeBeforeANameAfterACommonNounBeginsThePerson) {
  auto text = Analyse("He was charged by Fulton Superior Court Judge Durwood Pye. Mayor William Hartsfield spoke.");
  EXPECT_EQ(Of(text, "Court").l3, "law");
  EXPECT_EQ(Of(text, "Pye").l1, "person");
  EXPECT_EQ(std::count(nameParts_.begin(), nameParts_.end(), "Judge"), 1);
  EXPECT_EQ(std::count(nameParts_.begin(), nameParts_.end(), "Court"), 0);
  // With only names before the office the name begins where it did.
  EXPECT_EQ(Of(text, "Hartsfield").l1, "person");
  EXPECT_EQ(std::count(nameParts_.begin(), nameParts_.end(), "Mayor"), 1);
}

TEST_F(NounSenses, USIsTheCountryNotAPersonsInitials) {
  auto text = Analyse("The U. S. Army paid the U.S. Department of Labor. Then W. S. Harper spoke to the U. S.");
  EXPECT_EQ(Of(text, "S", 0).l3, "place");
  EXPECT_EQ(Of(text, "Army").l1, "army");
  EXPECT_EQ(Of(text, "S", 1).l3, "place");
  EXPECT_EQ(Of(text, "Department").l1, "department");
  EXPECT_EQ(Of(text, "S", 2).l3, "place");
  // Other initials are still a person's.
  EXPECT_EQ(Of(text, "Harper").l1, "person");
  EXPECT_EQ(std::count(nameParts_.begin(), nameParts_.end(), "W"), 1);
}

TEST_F(NounSenses, NamesBeforeAPlaceABodyOrABuildingAreItsName) {
  auto text = Analyse(
      "The Fulton County jury met at the Roosevelt Hotel with the State Welfare Department. "
      "Fulton said Mr. Hall and Richard Park came.");
  // A name before the head of a place's, a body's or a building's name is
  // part of it; the head carries the item (the one Fulton left is the second).
  EXPECT_EQ(Count(text, "Fulton"), 1);
  EXPECT_EQ(Of(text, "County").l3, "place");
  EXPECT_EQ(Count(text, "Roosevelt"), 0);
  EXPECT_EQ(Of(text, "Hotel").l3, "building");
  // A common noun before it keeps its own item; elsewhere the name is a
  // person, and a surname that is also a place or a building stays one.
  EXPECT_EQ(Of(text, "State").l3, "place");
  EXPECT_EQ(Of(text, "Department").l3, "group");
  EXPECT_EQ(Of(text, "Fulton").l1, "person");
  EXPECT_EQ(Of(text, "Hall").l1, "person");
  EXPECT_EQ(Of(text, "Park").l1, "person");
}

// A name given before a place's head names the place again alone before a
// word that is no verb; before a verb, or without the place's name before
// it, it is the person.
TEST_F(NounSenses, ANameGivenBeforeAPlacesHeadNamesThePlaceAgainAlone) {
  auto text = Analyse(
      "The Fulton County jury met on Friday. The jury spoke of the Fulton ordinary's court and of Fulton "
      "legislators. Fulton said nothing.");
  EXPECT_EQ(Of(text, "County").l3, "place");
  EXPECT_EQ(Of(text, "Fulton", 0).l1, Of(text, "County").l1);
  EXPECT_EQ(Of(text, "Fulton", 1).l1, Of(text, "County").l1);
  EXPECT_EQ(Of(text, "Fulton", 2).l1, "person");
  auto alone = Analyse("The jury spoke of the Fulton ordinary's court.");
  EXPECT_EQ(Of(alone, "Fulton").l1, "person");
  // Another document's place says nothing of it.
  auto apart = AnalyseDocuments({"The Fulton County jury met.\n", "The jury spoke of the Fulton ordinary's court.\n"});
  EXPECT_EQ(Of(apart, "Fulton").l1, "person");
}

TEST_F(NounSenses, InitialsAndTimesOfTheDayAreNoUnitsOrElements) {
  auto text = Analyse("The meeting began at 9 a.m. and ended at 4 p.m. on Friday, said R. Jones of Class C.");
  EXPECT_EQ(Of(text, "a").l1, "morning");
  EXPECT_EQ(Of(text, "p").l1, "afternoon");
  EXPECT_EQ(Of(text, "p").l3, "time");
  // A single capital letter is no metre, element or letter, with a period or without.
  for (const char* w : {"m", "R", "C"}) EXPECT_EQ(Of(text, w).l1, "") << w;
  EXPECT_EQ(Of(text, "Jones").l1, "person");
  // A lower-case letter of a word is not a time of the day.
  auto other = Analyse("The letter p is silent in the word.");
  EXPECT_NE(Of(other, "p").l3, "time");
}

TEST_F(NounSenses, NamesThatArePlacesMonthsAndPersonsTakeTheClassTheirContextGives) {
  auto text = Analyse(
      "He drove to Virginia in May 1961. On Friday Virginia said nothing. "
      "The fair opened on June 12. Later June told them the news. They moved from Florence to Rome.");
  EXPECT_EQ(Of(text, "Virginia", 0).l3, "place");   // after "to"
  EXPECT_EQ(Of(text, "Virginia", 1).l3, "person");  // before a verb
  EXPECT_EQ(Of(text, "May", 0).l3, "time");         // before a year
  EXPECT_EQ(Of(text, "June", 0).l3, "time");        // before a day
  EXPECT_EQ(Of(text, "June", 1).l3, "person");      // before a verb
  EXPECT_EQ(Of(text, "Florence").l3, "place");      // after "from"
}

TEST_F(NounSenses, EvidenceCountsNearTheNounAndNotInOtherDocuments) {
  // Near it: the money words of its sentence make the bank a bank of money.
  auto near = Analyse("The loan and the mortgage and the cash went to the bank.");
  EXPECT_EQ(Of(near, "bank").l3, "money");
  // In another document of the run the same words say nothing of it.
  auto apart = AnalyseDocuments(
      {"They rested by the bank.\n", "The loan, the mortgage, the cash and the currency went to the account.\n"});
  EXPECT_EQ(Of(apart, "bank").l3, "nature");
  EXPECT_EQ(Of(apart, "bank").l1, Of(Analyse("They rested by the bank."), "bank").l1);
  // Nor do they at the far end of a long sentence.
  auto far = Analyse(
      "The loan and the mortgage and the cash were all that was left to them when they walked slowly along "
      "the bank.");
  EXPECT_EQ(Of(far, "bank").l3, "nature");
}

TEST_F(NounSenses, TheHeadsOfTheHierarchyHaveTheirOwnFields) {
  auto text = Analyse(
      "The person fed the animal and the plant with food. The clergy met the judge in the court. "
      "She had cancer and a tumour. The band played a symphony.");
  EXPECT_EQ(Of(text, "person").l3, "person");
  EXPECT_EQ(Of(text, "animal").l3, "animal");
  EXPECT_EQ(Of(text, "food").l3, "food");
  EXPECT_EQ(Of(text, "clergy").l3, "religion");
  EXPECT_EQ(Of(text, "court").l3, "law");
  EXPECT_EQ(Of(text, "cancer").l3, "health");
  EXPECT_EQ(Of(text, "tumour").l3, "health");
  EXPECT_EQ(Of(text, "symphony").l3, "music");
}

// The glosses in the choice, as the measuring tools set them.
class NounSensesWithGlosses : public NounSenses {
 protected:
  void SetUp() override {
    NounSenses::SetUp();
    Tuning.glossEvidenceWeight = 200;
  }
  void TearDown() override { Tuning = {}; }
};

TEST_F(NounSensesWithGlosses, AWordNearTheNounThatAnotherSensesGlossNamesChoosesIt) {
  EXPECT_EQ(Of(Analyse("The pupil of the eye widened."), "pupil").l3, "body");
  EXPECT_EQ(Of(Analyse("The lawyer filed a suit in court."), "suit").l1, "case (proceedings)");
  EXPECT_EQ(Of(Analyse("He swung the bat at the ball."), "bat").l1, "stick");
  // Without such words the first sense stands.
  EXPECT_EQ(Of(Analyse("The pupil studied for the exam."), "pupil").l3, "education");
  EXPECT_EQ(Of(Analyse("The bat flew out of the cave at night."), "bat").l3, "animal");
  // The same words in another document of the run, or far from the noun in
  // its sentence, say nothing of it.
  auto apart = AnalyseDocuments({"The pupil widened.\n", "The eye of the child was open.\n"});
  EXPECT_EQ(Of(apart, "pupil").l3, "education");
  EXPECT_EQ(Of(Analyse("The eye doctor who came to the town last winter met the pupil."), "pupil").l3, "education");
  // Without the glosses (the program's default) the first sense.
  Tuning.glossEvidenceWeight = 0;
  EXPECT_EQ(Of(Analyse("The pupil of the eye widened."), "pupil").l3, "education");
}

}  // namespace
}  // namespace quilor

namespace quilor {
namespace {

// The British Concepts Scenario classes a British text as the American one
// classes the same text in American spelling.
TEST_F(NounSenses, ABritishTextClassesAsItsAmericanSpelling) {
  const std::string folder = std::string(QUILOR_BINARY_DIR) + "/Scenario/";
  if (!std::filesystem::exists(folder + "Concepts UK V8.scn")) GTEST_SKIP() << "no British word list in this build";
  auto entries = [&](const std::string& scenario, const std::string& text) {
    ClassFileList file;
    EXPECT_TRUE(LoadClassFile(file, folder + scenario));
    OntologyEngine->LoadScenario(file, false);
    std::vector<uint32_t> result;
    for (const Word& w : Analyse(text)) result.push_back(w.entry);
    OntologyEngine->ClearScenario();
    OntologyEngine->ClearScenarioEntries();
    return result;
  };
  const auto us = entries("Concepts US V8.scn", "The color of the center of the organization. Anesthesiology.");
  const auto uk = entries("Concepts UK V8.scn", "The colour of the centre of the organisation. Anaesthesiology.");
  ASSERT_EQ(us.size(), 4u);
  EXPECT_EQ(uk, us);
  for (uint32_t e : uk) EXPECT_NE(e, 0u);
}

// Pass 2 settles a long text in parts at once: whatever the parts, every
// word ends with what one part gives it (classes, reading, base form, name
// part) and the text's counts are the same.
TEST_F(NounSenses, PassTwoInParallelPartsGivesWhatOnePartGives) {
  std::vector<std::string> documents = {
      "Mayor William B. Hartsfield of Atlanta met Judge Durwood Pye at 10 a.m. in Fulton County. The loan and "
      "the mortgage went to the bank. The workers ran the machines of the plant. They paddled the canoe down the "
      "river to the bank. U. S. Army officers met Mrs. John F. Harper at the Roosevelt Hotel.\n",
      "The garden had flowers, seeds, leaves, roots and a plant. Lodge No. 142 met in June. General Howe spoke "
      "to Sen. Kennedy about the cash of the account. The bank of the river was steep. The interest of the loan "
      "grew. The plant made steel for the machines of the workers. They stood by the bank.\n",
      "The court heard the case. Fulton Superior Court Judge Durwood Pye read the charge. The cell of the "
      "prisoner was cold. The cell of the plant divided. The press reported the trial.\n",
      "The pitcher threw the ball to the batter. The pitcher of water stood on the table. The club played in "
      "the league. The bat flew out of the cave. The bat hit the ball.\n",
      // The money of the document's first sentences makes the reward at its
      // end a payment (alone it is wages), though parts lie between them.
      // Its Fulton County makes its last Fulton the county, from whatever part.
      "The loan was paid. The mortgage was paid. The account was paid. The payment was made. The fee was paid. "
      "The salary was paid. The cash was paid. The wage was paid. The Fulton County clerk was paid. "};
  for (int i = 0; i < 60; ++i) documents.back() += "The tree grew. ";
  documents.back() +=
      "Fulton voters met. The association offered a $5,000 reward for information leading to the arrest.\n";
  struct Settled {
    std::vector<std::array<uint32_t, 7>> words;  // classes, reading, base form, name part
    std::vector<std::array<uint32_t, 3>> counts;
    uint32_t rewardField = 0;
    std::vector<uint32_t> fultonClasses;  // of each Fulton that has an item
  };
  auto settle = [&](size_t parts) {
    SegmentDocuments(documents);
    auto results = std::make_unique<TAnalysisResults>(TextWords.Count(), TakeRunSettings(*Options));
    EXPECT_TRUE(results->Built && RunSemanticPass(*results, nullptr, parts));
    Settled s;
    for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n)) {
      const TWordCategoryData& d = n->category;
      s.words.push_back({d.ClassIds[0], d.ClassIds[1], d.ClassIds[2], d.ClassIds[3],
                         static_cast<uint32_t>(n->readingValue), n->lexicalEntry, IsPartOfName(*n) ? 1u : 0u});
      if (std::strcmp(n->text, "reward") == 0) s.rewardField = d.ClassIds[2];
      if (std::strcmp(n->text, "Fulton") == 0 && d.ClassIds[0]) s.fultonClasses.push_back(d.ClassIds[0]);
    }
    for (uint32_t level = 1; level <= 3; ++level)
      for (int32_t c = 1; c <= OntologyEngine->LevelClassCount(static_cast<int>(level)); ++c)
        if (const uint32_t k = OntologyEngine->ClassOccurrences(static_cast<int>(level), c))
          s.counts.push_back({level, static_cast<uint32_t>(c), k});
    for (uint32_t e = 1; e <= TextIndex->entries; ++e)
      if (const uint32_t k = TextIndex->TextIndexCountOf(e)) s.counts.push_back({0, e, k});
    TextWords.Clear();
    return s;
  };
  const Settled whole = settle(1);
  ASSERT_GT(whole.words.size(), 400u);
  EXPECT_EQ(OntologyEngine->ClassName(3, static_cast<int32_t>(whole.rewardField)), "money");
  ASSERT_FALSE(whole.fultonClasses.empty());
  EXPECT_EQ(OntologyEngine->ClassName(1, static_cast<int32_t>(whole.fultonClasses.back())), "county");
  for (size_t parts : {2, 3, 7}) {
    const Settled got = settle(parts);
    EXPECT_EQ(got.words, whole.words) << parts << " parts";
    EXPECT_EQ(got.counts, whole.counts) << parts << " parts";
  }
}

}  // namespace
}  // namespace quilor

namespace quilor {
namespace {

// A class is named by the word of its sense that readers use most, so that
// a reader knows it and reads it in that sense; where two classes would
// share a word, the one used less is told apart by its parent's word. Every
// name finds its own class again (a Scenario names classes by name).
TEST_F(NounSenses, ClassesAreNamedByTheWordUsedMost) {
  const std::vector<Word> body = Analyse("He hit his head on the door of the car.");
  EXPECT_EQ(Of(body, "head").l1, "head");  // not caput
  const std::vector<Word> chess = Analyse("The wizard of the chess club beat the champion.");
  EXPECT_EQ(Of(chess, "wizard").l1, "star (expert)");  // not ace, a card
  for (int level = 1; level <= 2; ++level) {
    std::set<std::string> names;
    for (int32_t k = 1; k <= OntologyEngine->DictionaryClassCount(level); ++k) {
      const std::string name = OntologyEngine->ClassName(level, k);
      EXPECT_TRUE(names.insert(name).second) << "level " << level << ": " << name;
      EXPECT_EQ(OntologyEngine->FindClassIndex(level, name), k) << "level " << level << ": " << name;
    }
  }
}

// A Scenario written with the names classes bore before (caput, watercraft)
// still reaches them: those names find their classes, which keep their new
// names.
TEST_F(NounSenses, TheFormerNamesOfClassesStillFindThem) {
  const int32_t head = OntologyEngine->FindClassIndex(1, "head");
  ASSERT_NE(head, 0);
  EXPECT_EQ(OntologyEngine->FindClassIndex(1, "caput"), head);
  EXPECT_EQ(OntologyEngine->ClassName(1, head), "head");
  const int32_t craft = OntologyEngine->FindClassIndex(2, "watercraft");
  ASSERT_NE(craft, 0);
  EXPECT_EQ(OntologyEngine->ClassName(2, craft), "vessel (craft)");
  ClassFileList file;
  bool damaged = false;
  ASSERT_TRUE(ParseClassFileText(
      file, "G#0V\t1\tboats\r\n2#1#\twatercraft\tboats\r\nG#0V\t2\theads\r\n1#1#\tcaput\theads\r\n", damaged));
  OntologyEngine->LoadScenario(file, false);
  const std::vector<Word> words = Analyse("The boat crossed the river. He hit his head on the door.");
  OntologyEngine->ClearScenario();
  OntologyEngine->ClearScenarioEntries();
  EXPECT_EQ(Of(words, "boat").entry, 1u);
  EXPECT_EQ(Of(words, "head").entry, 2u);
}

// The default Scenarios name the dictionary's classes: whatever the classes
// are called, each noun of a text reaches the group it reached before.
TEST_F(NounSenses, DefaultScenariosSendEachNounToItsGroup) {
  const std::string folder = std::string(QUILOR_BINARY_DIR) + "/Scenario/";
  const std::string text =
      "The doctor looked at the head of the patient and gave him a drug for the disease. "
      "The wizard of the chess club beat the champion in the tournament. "
      "The farmer sold wheat, corn and cattle at the market in the village. "
      "The senator spoke to the committee about the tax on income and the budget of the government. "
      "The bishop read a prayer in the church before the congregation. "
      "The engineer repaired the engine of the truck with a wrench and a screw. "
      "The storm brought rain, snow and wind to the valley near the mountain and the lake. "
      "The teacher gave the student a book about the history of the university. "
      "The soldier carried a rifle and a sword into the battle with the army. "
      "The painter hung a portrait in the gallery beside a statue of marble. "
      "The lawyer argued the case before the judge and the jury of the court. "
      "The musician played the piano and the violin in the orchestra at the concert. "
      "The bank lent money to the company for a loan at a low rate of interest. "
      "The cat chased the mouse under the table while the dog slept on the carpet. "
      "The chemist mixed acid and salt with water and oxygen in a flask. "
      "The pilot flew the plane over the ocean to the island in the morning. "
      "The child felt fear and joy at the sight of the elephant and the lion. "
      "The tailor made a coat, a shirt and a hat of wool for the winter. "
      "The computer ran a program of the software company in the office. "
      "The athlete won the race in the stadium and the coach gave him a medal. "
      "The cook baked bread and a cake with butter, sugar and flour in the kitchen. "
      "The poet wrote a letter and a novel in the language of his mother and his father. "
      "The nurse measured the temperature and the pressure of the blood in the heart. "
      "The scientist studied the theory of the atom and the energy of the sun and the star. "
      "The boat crossed the river under the bridge by the tower of the castle. "
      "The worker lost his job at the factory and his family lost the house on the street.";
  // Each noun and the Scenario entry it reached, as the dictionaries of an
  // earlier build gave them (their classes bore other names).
  const std::pair<const char*, const char*> expected[] = {
      {"Concepts US V8.scn",
       "doctor:59 head:128 patient:177 drug:61 disease:62 wizard:177 chess_club:168 champion:177 "
       "tournament:149 farmer:180 wheat:186 corn:186 cattle:109 market:105 village:163 senator:179 "
       "committee:163 tax:1 income:1 budget:1 government:70 bishop:66 prayer:105 church:66 congregation:167 "
       "engineer:177 engine:32 truck:21 wrench:210 screw:177 storm:78 rain:77 snow:77 wind:77 valley:8 "
       "mountain:8 lake:10 teacher:81 student:81 book:47 history:223 university:163 soldier:54 rifle:28 "
       "sword:28 battle:56 army:168 painter:85 portrait:147 gallery:163 statue:82 marble:217 lawyer:57 "
       "case:150 judge:87 jury:163 court:57 musician:39 piano:40 violin:40 orchestra:38 concert:149 bank:1 "
       "money:1 company:163 loan:1 rate_of_interest:1 cat:109 mouse:109 table:163 dog:109 carpet:117 "
       "chemist:71 acid:217 salt:217 water:221 oxygen:217 flask:36 pilot:89 plane:22 ocean:10 island:8 "
       "morning:224 child:177 fear:156 joy:156 sight:135 elephant:113 lion:109 tailor:177 coat:26 shirt:27 "
       "hat:26 wool:115 winter:224 computer:94 program:135 software:95 company:163 office:15 athlete:53 "
       "race:149 stadium:16 coach:179 medal:142 cook:89 bread:157 cake:115 butter:157 sugar:157 flour:160 "
       "kitchen:18 poet:50 letter:142 novel:142 language:41 mother:80 father:80 nurse:64 temperature:122 "
       "pressure:185 blood:217 heart:140 scientist:72 theory:135 atom:217 energy:96 sun:8 star:8 boat:24 "
       "river:8 bridge:16 tower:16 castle:15 worker:88 job:91 factory:16 family:79 house:15 street:115 "},
      {"Natural sciences US V7.scn",
       "doctor:21 head:53 patient:0 drug:16 disease:17 wizard:0 chess_club:0 champion:0 tournament:0 "
       "farmer:0 wheat:69 corn:69 cattle:41 market:0 village:0 senator:0 committee:0 tax:0 income:0 "
       "budget:0 government:0 bishop:0 prayer:0 church:0 congregation:0 engineer:0 engine:0 truck:0 "
       "wrench:0 screw:0 storm:38 rain:37 snow:37 wind:37 valley:1 mountain:11 lake:3 teacher:0 student:0 "
       "book:0 history:0 university:0 soldier:0 rifle:0 sword:0 battle:0 army:0 painter:0 portrait:0 "
       "gallery:0 statue:0 marble:103 lawyer:0 case:0 judge:0 jury:0 court:0 musician:0 piano:0 violin:0 "
       "orchestra:0 concert:0 bank:0 money:0 company:0 loan:0 rate_of_interest:0 cat:41 mouse:41 table:0 "
       "dog:41 carpet:0 chemist:33 acid:103 salt:103 water:107 oxygen:113 flask:0 pilot:0 plane:0 ocean:3 "
       "island:10 morning:0 child:0 fear:0 joy:0 sight:0 elephant:45 lion:41 tailor:0 coat:0 shirt:0 hat:0 "
       "wool:0 winter:0 computer:0 program:0 software:0 company:0 office:0 athlete:0 race:0 stadium:0 "
       "coach:0 medal:0 cook:0 bread:0 cake:0 butter:0 sugar:0 flour:0 kitchen:0 poet:0 letter:0 novel:0 "
       "language:0 mother:0 father:0 nurse:19 temperature:0 pressure:68 blood:103 heart:0 scientist:28 "
       "theory:0 atom:103 energy:39 sun:13 star:13 boat:0 river:8 bridge:0 tower:0 castle:0 worker:0 job:0 "
       "factory:0 family:0 house:0 street:0 "},
  };
  for (const auto& [name, groups] : expected) {
    ClassFileList file;
    ASSERT_TRUE(LoadClassFile(file, folder + name)) << name;
    OntologyEngine->LoadScenario(file, false);
    std::string reached;
    for (const Word& w : Analyse(text)) reached += w.text + ":" + std::to_string(w.entry) + " ";
    OntologyEngine->ClearScenario();
    OntologyEngine->ClearScenarioEntries();
    EXPECT_EQ(reached, groups) << name;
  }
}

}  // namespace
}  // namespace quilor
