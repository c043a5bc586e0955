// The dictionary files written by the builder, read back by the analysis's
// own readers: the codes decode to the intended categories and LookupWord
// finds every reading in order.
#include "dico/files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/category.h"
#include "core/lexicon.h"
#include "core/name_index.h"

namespace quilor::dico {
namespace {

TEST(DicoFiles, CodesDecodeToTheIntendedCategories) {
  struct Case {
    TCategoryCode code;
    TCategoryRecord expected;
  };
  const Case cases[] = {
      {kNounCode, {8, 0, 0, 0, 0, 0}},
      {kProperNameCode, {8, 0, 0, 2, 0, 0}},
      {kAbbreviationCode, {8, 0, 0, 3, 0, 0}},
      {kNounCode | kNamesAloneBit, {8, 0, 0, 0, 0, kSpareNamesAlone}},
      {kNounCode | kSeldomVerbBit, {8, 0, 0, 0, 0, kSpareSeldomVerb}},
      {kNounCode | kNamesAloneBit | kSeldomVerbBit, {8, 0, 0, 0, 0, kSpareNamesAlone | kSpareSeldomVerb}},
      {kNounCode | kGerundNamesBit, {8, 0, 0, 0, 0, kSpareGerundNames}},
      {ConnectorCode(ConnectorKind::Cause), {2, 2, 0, 0, kFlagFundamental, 0}},
      {ConnectorCode(ConnectorKind::Goal), {2, 3, 0, 0, kFlagFundamental, 0}},
      {ConnectorCode(ConnectorKind::Disjunction), {2, 5, 0, 0, kFlagFundamental, 0}},
      {ModalityCode(ModalityKind::Doubt), {3, 5, 0, 0, 0, 0}},
      {AdjectiveCode(AdjectiveKind::Numeral), {4, 3, 0, 0, 0, 0}},
      {PronounCode(PronounKind::Deixis, 1), {5, 4, 1, 0, 0, 0}},
      {PronounCode(PronounKind::Personal, 7), {5, 3, 7, 0, 0, 0}},
      {PrepositionCode(true), {6, 0, 1, 0, kFlagFundamental, 0}},
      {DeterminerCode(true), {7, 0, 0, 1, kFlagFundamental, 0}},
      {VerbCode(VerbKind::Stative, Tense::Past, Mood::Participle, true), {1, 2, 2, 4, kFlagAuxiliary, 0}},
      {VerbCode(VerbKind::Performative, Tense::Present, Mood::Infinitive), {1, 4, 1, 5, 0, 0}},
      {VerbCode(VerbKind::Reflexive, Tense::Future, Mood::Conditional), {1, 3, 3, 2, 0, 0}},
  };
  for (const Case& c : cases) {
    // The longer-expression mark changes nothing the decoder reads.
    for (TCategoryCode code : {c.code, static_cast<TCategoryCode>(c.code | LongerExpressionBit(c.code))}) {
      TCategoryRecord r;
      DecodeCategory(code, r);
      EXPECT_EQ(r.MajorClass, c.expected.MajorClass) << std::hex << code;
      EXPECT_EQ(r.Subclass, c.expected.Subclass) << std::hex << code;
      EXPECT_EQ(r.SubField2, c.expected.SubField2) << std::hex << code;
      EXPECT_EQ(r.SubField3, c.expected.SubField3) << std::hex << code;
      EXPECT_EQ(r.Flags, c.expected.Flags) << std::hex << code;
    }
  }
}

TEST(DicoFiles, WrittenFilesReadBackThroughTheLookups) {
  WordLists lists;
  std::string error;
  ASSERT_TRUE(
      ParseClosedList("in preposition gerund\nin_order_to connector goal\nwas auxiliary stative past indicative\n",
                      "closed", lists, error));
  for (int i = 0; i < 77; ++i) lists.styleNorms[i] = static_cast<int8_t>(i - 20);
  // A model without WordNet: closed words only, plus a noun and a verb by hand.
  wordnet::Database wn;
  ASSERT_TRUE(wn.AddIndexFile(wordnet::Pos::Verb, "go v 1 0 1 0 00000100\n", "index.verb", error));
  ASSERT_TRUE(wn.AddDataFile(wordnet::Pos::Verb, "00000100 38 v 01 go 0 000 | move\n", "data.verb", error));
  ASSERT_TRUE(wn.AddExceptionFile(wordnet::Pos::Verb, "went go\n", "verb.exc", error));
  ASSERT_TRUE(wn.AddIndexFile(wordnet::Pos::Noun, "go n 1 0 1 0 00000200\n", "index.noun", error));
  ASSERT_TRUE(wn.AddDataFile(wordnet::Pos::Noun, "00000200 04 n 01 go 0 000 | a turn\n", "data.noun", error));
  ASSERT_TRUE(wn.AddIndexFile(wordnet::Pos::Adjective, "big a 1 0 1 0 00000300\n", "index.adj", error));
  ASSERT_TRUE(wn.AddDataFile(wordnet::Pos::Adjective, "00000300 00 a 01 big 0 000 | large\n", "data.adj", error));
  ASSERT_TRUE(wn.AddExceptionFile(wordnet::Pos::Adjective, "bigger big\nbiggest big\n", "adj.exc", error));
  LexiconModel model;
  model.Build(wn, lists);
  std::string dir = (std::filesystem::temp_directory_path() / ("dico_files_test_" + std::to_string(getpid()))).string();
  std::filesystem::create_directories(dir);
  WriteReport report;
  ASSERT_TRUE(WriteDictionaryFiles(model, lists, dir, report, error)) << error;
  EXPECT_EQ(report.refused, 0u);

  TMainDictionary d(dir + "/englex.lv8", 2);
  ASSERT_TRUE(d.ready);
  EXPECT_EQ(Tables.styleNorms[0], -20);
  auto reading = [&](const char* w, int r, bool otherForms = false) -> TCategoryCode {
    return LookupWord(d, r, static_cast<int>(strlen(w)), otherForms, false, w) > 0 ? d.value : 0;
  };
  // go: noun and verb (equal counts: the noun first), bit 15 on the first only.
  TCategoryCode go0 = reading("go", 0), go1 = reading("go", 1);
  EXPECT_EQ(go0 & ~0x1000, kNounCode | kAmbiguityBit);
  EXPECT_EQ(go1 & ~0x1000, VerbCode(VerbKind::Factive, Tense::Present, Mood::Indicative));
  EXPECT_EQ(reading("go", 2), 0);
  // went: simple past and past participle (no irregular list says which).
  EXPECT_EQ(reading("went", 0), VerbCode(VerbKind::Factive, Tense::Past, Mood::Indicative) | kAmbiguityBit);
  EXPECT_EQ(reading("went", 1), VerbCode(VerbKind::Factive, Tense::Past, Mood::Participle));
  TCategoryCode in = reading("in", 0);
  EXPECT_TRUE(HasLongerExpressionMark(in));
  EXPECT_EQ(reading("in_order_to", 0), ConnectorCode(ConnectorKind::Goal));
  // "in_order" is no word, but the walk reaches it: a longer expression goes on.
  EXPECT_EQ(reading("in_order", 0), 0);
  EXPECT_TRUE(d.WordFoundAsWritten);
  EXPECT_EQ(reading("was", 0), VerbCode(VerbKind::Stative, Tense::Past, Mood::Indicative, true));

  TStringHashIndex verbs(2, false, kNameIndexPrimarySegments, kNameIndexSecondarySegments, dir + "/englex.lv8", ".vv8");
  ASSERT_TRUE(verbs.ready);
  const char* name = nullptr;
  ASSERT_TRUE(verbs.LookupStoredName("went", &name));
  EXPECT_STREQ(name, "go");
  ASSERT_TRUE(verbs.LookupStoredName("going", &name));
  EXPECT_STREQ(name, "go");
  TStringHashIndex adjectives(2, false, kNameIndexPrimarySegments, kNameIndexSecondarySegments, dir + "/englex.lv8",
                              ".av8");
  ASSERT_TRUE(adjectives.ready);
  ASSERT_TRUE(adjectives.LookupStoredName("biggest", &name));
  EXPECT_STREQ(name, "big");
  std::filesystem::remove_all(dir);
  ResetWorkingTables();
}

}  // namespace
}  // namespace quilor::dico
