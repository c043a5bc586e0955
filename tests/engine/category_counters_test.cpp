#include "engine/category_counters.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "core/messages.h"
#include "core/gauge.h"
#include "core/options.h"

namespace quilor {
namespace {

TCategoryRecord Rec(uint8_t cls, uint8_t sub = 0, uint8_t f2 = 0, uint8_t f3 = 0, uint8_t flags = 0) {
  TCategoryRecord r;
  r.MajorClass = cls;
  r.Subclass = sub;
  r.SubField2 = f2;
  r.SubField3 = f3;
  r.Flags = flags;
  return r;
}

TEST(CategoryCounts, WordsPartsAndPropositionMarks) {
  ClearCategoryCounters();
  CountCategory("", Rec(8), 0);
  CountCategory("/", Rec(8), 0);
  CountProposition();
  CountCategory("New_York_City", Rec(8), 0);
  CountCategory(std::string(79, 'a') + "_b", Rec(8), 0);  // the '_' past 79 characters is not seen
  EXPECT_EQ(RunCounts.words, 2u);
  EXPECT_EQ(RunCounts.wordParts, 4u);
  EXPECT_EQ(RunCounts.propositions, 2u);
  ASSERT_TRUE(ComputePercentages());
  EXPECT_EQ(RunCounts.categories[kCodeWord], 2u);
  EXPECT_EQ(RunCounts.categories[kCodeProposition], 2u);
  EXPECT_DOUBLE_EQ(RunCounts.percentages[kCodeSubstantive], 100.0);
  EXPECT_DOUBLE_EQ(RunCounts.percentages[kCodeWord], 100.0);

  ClearCategoryCounters();
  CountCategory("/", Rec(0), 0);
  CountCategory("/", Rec(0), 0);
  EXPECT_FALSE(ComputePercentages());
  for (int c = 0; c <= kDisplayCodeCount; ++c) EXPECT_EQ(RunCounts.percentages[c], 0.0) << c;
  EXPECT_EQ(RunCounts.categories[kCodeProposition], 0u);
}

TEST(CategoryCounts, DisplayAndPersonCodes) {
  EXPECT_EQ(DisplayCode(Rec(0)), kCodeSubstantive);
  EXPECT_EQ(DisplayCode(Rec(1, 4)), kCodePerformative);
  EXPECT_EQ(DisplayCode(Rec(1, 0)), 0);
  EXPECT_EQ(DisplayCode(Rec(2, 10)), 30);
  EXPECT_EQ(DisplayCode(Rec(2, 11)), 0);
  EXPECT_EQ(DisplayCode(Rec(3, 7)), 39);
  EXPECT_EQ(DisplayCode(Rec(3, 8)), 0);
  EXPECT_EQ(DisplayCode(Rec(4, 0)), kCodeOtherAdjective);
  EXPECT_EQ(DisplayCode(Rec(4, 3)), 64);
  EXPECT_EQ(DisplayCode(Rec(5, 5)), kCodeOtherPronoun);
  EXPECT_EQ(DisplayCode(Rec(5, 6)), 0);
  EXPECT_EQ(DisplayCode(Rec(6)), kCodePreposition);
  EXPECT_EQ(DisplayCode(Rec(7)), kCodeDeterminant);
  EXPECT_EQ(DisplayCode(Rec(9)), 0);
  EXPECT_EQ(PersonCode(Rec(5, 3, 1)), 70);
  EXPECT_EQ(PersonCode(Rec(5, 4, 7)), 76);
  EXPECT_EQ(PersonCode(Rec(5, 3, 8)), 0);
  EXPECT_EQ(PersonCode(Rec(5, 2, 1)), 0);
}

TEST(CategoryCounts, CodesBackToRecordsAgreeWithDisplayCodes) {
  // Every code with a single category maps back to itself.
  for (int code : {4, 5, 6, 7, 21, 30, 33, 39, 53, 54, 56, 60, 61, 62, 63, 64}) {
    TCategoryRecord r = Rec(9, 9, 9, 9, 9);
    CategoryCodeToRecord(code, r);
    EXPECT_EQ(DisplayCode(r), code) << code;
  }
  for (int code = kCodePersonFirst; code <= kCodePersonLast; ++code) {
    TCategoryRecord r;
    CategoryCodeToRecord(code, r);
    EXPECT_EQ(PersonCode(r), code) << code;
  }
  TCategoryRecord r = Rec(9, 9, 9, 9, 9);
  CategoryCodeToRecord(44, r);
  EXPECT_EQ(r.MajorClass, 0);
  EXPECT_EQ(r.Flags, 0);
  CategoryCodeToRecord(16, r);
  EXPECT_EQ(r.MajorClass, kClassVerb);
  EXPECT_EQ(r.Subclass, 0);
  CategoryCodeToRecord(66, r);
  EXPECT_EQ(DisplayCode(r), 63);
  CategoryCodeToRecord(78, r);
  EXPECT_EQ(r.MajorClass, 0);
  EXPECT_EQ(ItemKindCode(1), 11);
  EXPECT_EQ(ItemKindCode(6), 5);
  EXPECT_EQ(ItemKindCode(0), 6);
}

TEST(CategoryCounts, FamilyPercentagesUseTheirOwnBase) {
  ClearCategoryCounters();
  // Two verbs (one auxiliary), two other words.
  CountCategory("said", Rec(1, 1, 2, 1), 0);                    // factive, past, indicative
  CountCategory("had", Rec(1, 2, 2, 1, kFlagAuxiliary), 0);     // stative, past, indicative
  CountCategory("it", Rec(5, 3, 3), 0);                         // personal, person 3
  CountCategory("this", Rec(5, 4, 1, 0, kFlagFundamental), 2);  // deixis, person 1
  ASSERT_TRUE(ComputePercentages());
  EXPECT_EQ(RunCounts.categories[kCodeVerb], 2u);
  EXPECT_DOUBLE_EQ(RunCounts.percentages[kCodeVerb], 50.0);     // over words
  EXPECT_DOUBLE_EQ(RunCounts.percentages[kCodeFactive], 50.0);  // over verbs
  EXPECT_DOUBLE_EQ(RunCounts.percentages[17], 100.0);           // past, over verbs
  EXPECT_DOUBLE_EQ(RunCounts.percentages[kCodeIndicative], 100.0);
  EXPECT_DOUBLE_EQ(RunCounts.percentages[kCodeAuxiliary], 50.0);
  EXPECT_DOUBLE_EQ(RunCounts.percentages[72], 50.0);  // over personal + deixis
  EXPECT_DOUBLE_EQ(RunCounts.percentages[70], 50.0);
  EXPECT_DOUBLE_EQ(RunCounts.percentages[kCodePersonalPronoun], 50.0);  // over pronouns
  EXPECT_DOUBLE_EQ(RunCounts.percentages[kCodePronoun], 50.0);          // over words
  EXPECT_DOUBLE_EQ(RunCounts.percentages[kCodeFundamental], 25.0);
  EXPECT_EQ(RunCounts.categories[kCodeReferent], 1u);
  EXPECT_EQ(RunCounts.categories[kCodeReferentSecondary], 1u);
}

// A tagged sentence stream, each tag given a category by a small table; the
// expected figures are tallied from the tags alone.
struct TagCategory {
  TCategoryRecord record;
  uint8_t mark;
  const char* family;  // "noun", "verb", "adjective", "pronoun", "prep", "det", "conn", "mod", "other"
};

std::map<std::string, TagCategory> TagTable() {
  return {
      {"nn", {Rec(8), 1, "noun"}},
      {"nns", {Rec(8), 1, "noun"}},
      {"np", {Rec(8), 2, "noun"}},
      {"np$", {Rec(8), 2, "noun"}},
      {"vbd", {Rec(1, 1, 2, 1), 0, "verb"}},
      {"vbn", {Rec(1, 1, 2, 4), 0, "verb"}},
      {"vb", {Rec(1, 2, 1, 5), 0, "verb"}},
      {"vbz", {Rec(1, 1, 1, 1), 0, "verb"}},
      {"bedz", {Rec(1, 2, 2, 1, kFlagAuxiliary), 0, "verb"}},
      {"hvd", {Rec(1, 2, 2, 1, kFlagAuxiliary), 0, "verb"}},
      {"jj", {Rec(4, 1), 0, "adjective"}},
      {"cd", {Rec(4, 3), 0, "adjective"}},
      {"ap", {Rec(4, 0), 0, "adjective"}},
      {"pps", {Rec(5, 3, 3), 0, "pronoun"}},
      {"wdt", {Rec(5, 1), 0, "pronoun"}},
      {"in", {Rec(6), 0, "prep"}},
      {"at", {Rec(7), 0, "det"}},
      {"cc", {Rec(2, 4), 0, "conn"}},
      {"cs", {Rec(2, 2), 0, "conn"}},
      {"rb", {Rec(3, 3, 0, 0, kFlagFundamental), 0, "mod"}},
  };
}

TEST(CategoryCounts, TaggedStreamMatchesATallyOfItsTags) {
  std::ifstream in(std::string(QUILOR_TEST_DATA) + "/engine/brown_ca01_head.txt");
  ASSERT_TRUE(in);
  const auto table = TagTable();
  std::map<std::string, uint32_t> family;
  std::map<std::string, uint32_t> tagCount;
  uint32_t words = 0, parts = 0, marks = 0;

  ClearCategoryCounters();
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream tokens(line);
    std::string token;
    while (tokens >> token) {
      size_t slash = token.rfind('/');
      std::string word = token.substr(0, slash);
      std::string tag = token.substr(slash + 1);
      tag = tag.substr(0, tag.find('-'));
      if (tag == ".") {
        CountCategory("/", Rec(0), 0);
        ++marks;
        continue;
      }
      if (tag == "," || tag == "``" || tag == "''") continue;  // not handed over
      for (char& c : word)
        if (c == '-') c = '_';
      auto it = table.find(tag);
      TagCategory cat = it != table.end() ? it->second : TagCategory{Rec(9), 0, "other"};
      CountCategory(word, cat.record, cat.mark);
      ++words;
      parts += 1 + static_cast<uint32_t>(std::count(word.begin(), word.end(), '_'));
      ++family[cat.family];
      ++tagCount[tag];
    }
  }
  ASSERT_GT(words, 200u);
  ASSERT_TRUE(ComputePercentages());
  const double w = words;
  const uint32_t verbs = family["verb"];
  const uint32_t past = tagCount["vbd"] + tagCount["vbn"] + tagCount["bedz"] + tagCount["hvd"];
  const uint32_t auxiliaries = tagCount["bedz"] + tagCount["hvd"];
  const uint32_t nouns = family["noun"];

  EXPECT_EQ(RunCounts.words, words);
  EXPECT_EQ(RunCounts.wordParts, parts);
  EXPECT_EQ(RunCounts.categories[kCodeProposition], marks);
  EXPECT_EQ(RunCounts.categories[kCodeWord], words);
  EXPECT_EQ(RunCounts.categories[kCodeSubstantive], nouns);
  EXPECT_EQ(RunCounts.categories[kCodeVerb], verbs);
  EXPECT_EQ(RunCounts.categories[17], past);
  EXPECT_EQ(RunCounts.categories[kCodeAuxiliary], auxiliaries);
  EXPECT_EQ(RunCounts.categories[kCodeAdjective], family["adjective"]);
  EXPECT_EQ(RunCounts.categories[64], tagCount["cd"]);
  EXPECT_EQ(RunCounts.categories[kCodePronoun], family["pronoun"]);
  EXPECT_EQ(RunCounts.categories[72], tagCount["pps"]);
  EXPECT_EQ(RunCounts.categories[kCodeConnector], family["conn"]);
  EXPECT_EQ(RunCounts.categories[kCodeConnectorCopy], family["conn"]);
  EXPECT_EQ(RunCounts.categories[kCodeModality], family["mod"]);
  EXPECT_EQ(RunCounts.categories[kCodeFundamental], family["mod"]);
  EXPECT_EQ(RunCounts.categories[kCodePreposition], family["prep"]);
  EXPECT_EQ(RunCounts.categories[kCodeDeterminant], family["det"]);
  EXPECT_EQ(RunCounts.categories[kCodeReferent], nouns);
  EXPECT_EQ(RunCounts.categories[kCodeReferentPrincipal], tagCount["nn"] + tagCount["nns"]);

  EXPECT_NEAR(RunCounts.percentages[kCodeSubstantive], nouns / w * 100, 1e-9);
  EXPECT_NEAR(RunCounts.percentages[kCodeVerb], verbs / w * 100, 1e-9);
  EXPECT_NEAR(RunCounts.percentages[17], past * 100.0 / verbs, 1e-9);
  EXPECT_NEAR(RunCounts.percentages[kCodeAuxiliary], auxiliaries * 100.0 / verbs, 1e-9);
  EXPECT_NEAR(RunCounts.percentages[64], tagCount["cd"] * 100.0 / family["adjective"], 1e-9);
  EXPECT_NEAR(RunCounts.percentages[24], tagCount["cc"] * 100.0 / family["conn"], 1e-9);
  EXPECT_NEAR(RunCounts.percentages[72], 100.0, 1e-9);  // every person is "He"
  EXPECT_NEAR(RunCounts.percentages[kCodeConnector], family["conn"] / w * 100, 1e-9);
}

TEST(CategoryCounts, CalculationBaseFollowsTheWorkContext) {
  WorkContext->CalculationBase = 2;
  EXPECT_EQ(CalculationBase(7, 100), 7u);
  WorkContext->CalculationBase = 1;
  EXPECT_EQ(CalculationBase(7, 100), 100u);
}

}  // namespace
}  // namespace quilor

namespace quilor {
namespace {

TEST(CategoryLabels, EveryCodeCarriesItsGroup) {
  EXPECT_EQ(CategoryLabel(54), "Pronoun Substantive");
  EXPECT_EQ(CategoryLabel(61), "Adjective Determinant");
  EXPECT_EQ(CategoryLabel(53), "Pronoun Preposition");
  EXPECT_EQ(CategoryLabel(70), "Pronoun \"I\"");
  EXPECT_EQ(CategoryLabel(76), "Pronoun \"Somebody\"");
  EXPECT_EQ(CategoryLabel(67), "Pronoun Referent nucleus");
  EXPECT_EQ(CategoryLabel(4), "Verb Factive");
  EXPECT_EQ(CategoryLabel(16), "Verb Present");
  EXPECT_EQ(CategoryLabel(8), "Verb");
  EXPECT_EQ(CategoryLabel(21), "Connector Condition");
  EXPECT_EQ(CategoryLabel(20), "Connector Connector");
  EXPECT_EQ(CategoryLabel(43), "Pronoun Verb");
  EXPECT_EQ(CategoryLabel(31), "Connector");
  EXPECT_EQ(CategoryLabel(33), "Modality Time");
  EXPECT_EQ(CategoryLabel(58), "Pronoun Personal");
  EXPECT_EQ(CategoryLabel(62), "Adjective Objective");
  EXPECT_EQ(CategoryLabel(44), "Pronoun Referent");
  EXPECT_EQ(CategoryLabel(40), "Pronoun Fundamental");
  EXPECT_EQ(CategoryLabel(3), "Verb Auxiliary");
  EXPECT_EQ(CategoryLabel(77), "Gerund");  // its group would be an error message
  EXPECT_EQ(CategoryLabel(0), "");
  EXPECT_EQ(CategoryLabel(78), "");
  // Every code has a label, and no label asks for a text the table lacks.
  ScopedScriptedUi ui;
  for (int code = 1; code <= kDisplayCodeCount; ++code) {
    std::string label = CategoryLabel(code);
    EXPECT_FALSE(label.empty()) << code;
  }
  EXPECT_TRUE(ui.ui.Shown().empty());
  EXPECT_TRUE(ui.ui.SystemErrors().empty());
}

TEST(CategoryCounts, WordDataAndTheRunCancelFlag) {
  Progress.cancelRequested = true;
  ClearCategoryCounters();
  EXPECT_FALSE(Progress.cancelRequested);
  TWordCategoryData data;
  CategoryCodeToRecord(71, data);
  EXPECT_EQ(PersonCode(data), 71);
  data.ClassMark = 1;
  data.ClassIds[0] = 99;
  CountCategory("thou", data);
  EXPECT_EQ(RunCounts.categories[71], 1u);
  EXPECT_EQ(RunCounts.categories[kCodeDeixis], 1u);
  EXPECT_EQ(RunCounts.categories[kCodeReferentPrincipal], 1u);
  CategoryCodeToRecord(44, data);
  EXPECT_EQ(data.ClassIds[0], 0u);
  EXPECT_EQ(data.ClassMark, 0);
}

}  // namespace
}  // namespace quilor
