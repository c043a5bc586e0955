#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "core/category.h"
#include "core/inflection.h"
#include "core/tuning.h"
#include "platform/message_ui.h"

namespace quilor {
namespace {

TCategoryRecord Decode(TCategoryCode code) {
  TCategoryRecord r;
  DecodeCategory(code, r);
  return r;
}

TEST(Category, DecodesEveryMajorClass) {
  TCategoryRecord r = Decode(0);
  EXPECT_EQ(r.MajorClass, kClassSubstantive);
  EXPECT_EQ(r.Subclass + r.SubField2 + r.SubField3 + r.Flags + r.Spare, 0);

  EXPECT_EQ(Decode(0x0800).MajorClass, kClassUnknown);
  EXPECT_EQ(Decode(0x0700).MajorClass, kClassSubstantive);
  EXPECT_EQ(Decode(0x0F00).MajorClass, kClassSubstantive);

  // Substantive features: bit 4 wins over 5, 5 over 6.
  EXPECT_EQ(Decode(0x0070).SubField3, 1);
  EXPECT_EQ(Decode(0x0060).SubField3, 2);
  EXPECT_EQ(Decode(0x0040).SubField3, 3);

  // Connectors: the code's numbering of 2..6 differs from the record's.
  const int expected[] = {0, 1, 3, 4, 2, 6, 5, 7, 8, 9, 10, 0, 0};
  for (int low = 0; low <= 12; ++low) EXPECT_EQ(Decode(0x0200 | low).Subclass, expected[low]) << low;

  EXPECT_EQ(Decode(0x0307).Subclass, 7);
  EXPECT_EQ(Decode(0x0308).Subclass, 0);
  EXPECT_EQ(Decode(0x0403).Subclass, 3);
  EXPECT_EQ(Decode(0x0409).Subclass, 4);

  r = Decode(0x2500 | 0x35);  // pronoun, person 3, subclass 5, flag A
  EXPECT_EQ(r.MajorClass, kClassPronoun);
  EXPECT_EQ(r.Subclass, 5);
  EXPECT_EQ(r.SubField2, 3);
  EXPECT_EQ(r.SubField3, 1);
  r = Decode(0x0586);  // subclass 6 and person 8 are out of range
  EXPECT_EQ(r.Subclass, 0);
  EXPECT_EQ(r.SubField2, 0);

  r = Decode(0x1601);  // determinant low byte 1: second class even with flag B
  EXPECT_EQ(r.MajorClass, kClassDeterminant2);
  EXPECT_EQ(r.SubField2, 0);
  r = Decode(0x3602);
  EXPECT_EQ(r.MajorClass, kClassDeterminant);
  EXPECT_EQ(r.SubField2, 1);
  EXPECT_EQ(r.SubField3, 1);

  r = Decode(0xC800);
  EXPECT_TRUE(IsFundamental(r));
  EXPECT_TRUE(IsAmbiguous(r));
}

TEST(Category, DecodesVerbKindTenseMoodAndAuxiliary) {
  TCategoryRecord r = Decode(0x0100 | 0x40 | 0x30);  // participle bit and pair 3: infinitive
  EXPECT_EQ(r.SubField3, kMoodInfinitive);
  r = Decode(0x0100 | 0x40 | 0x04);  // participle, tense pair 1: past participle
  EXPECT_TRUE(IsPastParticiple(r));
  const int moods[4] = {kMoodIndicative, kMoodConditional, kMoodSubjunctive, kMoodOther};
  for (int pair = 0; pair < 4; ++pair) EXPECT_EQ(Decode(0x0100 | pair << 4).SubField3, moods[pair]);
  for (int t = 0; t < 4; ++t) EXPECT_EQ(Decode(0x0100 | t << 2).SubField2, t + 1);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(Decode(0x0100 | k).Subclass, k + 1);
  r = Decode(0x0183);
  EXPECT_TRUE(IsAuxiliary(r));
  EXPECT_TRUE(IsPerformative(r));
  Tuning.performatives = false;
  EXPECT_EQ(Decode(0x0103).Subclass, 8);
  Tuning = {};
  EXPECT_TRUE(SameMajorClass(0x8101, 0x0130));
  EXPECT_FALSE(SameMajorClass(0x0101, 0x0201));
}

TEST(Category, SettersClearTheRecordAndPatternsTreatZeroAsAny) {
  TCategoryRecord r;
  r.Flags = 0xFF;
  r.Spare = 9;
  SetConnector(r, 7);
  EXPECT_TRUE(IsComparisonConnector(r));
  EXPECT_EQ(r.Flags, kFlagFundamental);
  EXPECT_EQ(r.Spare, 0);
  using Setter = void (*)(TCategoryRecord&);
  using Kind = bool (*)(const TCategoryRecord&);
  for (auto [set, is] : {std::pair<Setter, Kind>{SetFactiveVerb, IsFactive},
                         {SetStativeVerb, IsStative},
                         {SetReflexiveVerb, IsReflexive}}) {
    set(r);
    EXPECT_TRUE(is(r) && IsPresentTense(r) && IsIndicative(r) && r.Flags == 0);
  }
  SetSubstantiveFeatures(r);
  EXPECT_TRUE(SubField3HasBits0And1(r));
  TCategoryRecord unset;
  EXPECT_EQ(NormaliseMajorClass(unset), kClassSubstantive);

  TWordCategoryData d;
  DecodeCategory(0x0523, d.Category);  // personal pronoun, person 2
  TCategoryRecord pattern;
  pattern.MajorClass = kClassPronoun;
  EXPECT_TRUE(CategoryMatchesPattern(d, pattern));
  pattern.SubField2 = 2;
  EXPECT_TRUE(CategoryMatchesPattern(d, pattern));
  pattern.Subclass = 1;
  EXPECT_FALSE(CategoryMatchesPattern(d, pattern));
  EXPECT_TRUE(IsPersonOrDeixis(d.Category));
  d.ClassMark = 3;
  ClearClassifiedMark(d);
  EXPECT_TRUE(HasOtherMark(d));
}

TEST(Category, DescribesWithLabels) {
  ScopedScriptedUi ui;
  TCategoryRecord r = Decode(0x0204);
  EXPECT_STREQ(DescribeCategory(r, false), "   (  Connector Cause )");
  EXPECT_STREQ(CategoryClassLabel(r), " (Connector)");
  EXPECT_STREQ(DescribeCategory(Decode(0x8800), false), "   ( >ambiguity<   ??? )");
  r = Decode(0x0184 | 0x40);  // auxiliary past participle
  EXPECT_STREQ(DescribeCategory(r, true), "   (  Verb Factive Participle Past Auxiliary )");
  r.Flags |= kFlagGerund;
  EXPECT_STREQ(DescribeCategory(r, true), "   (  Verb Factive Gerund Auxiliary )");
  Tuning.performatives = false;
  EXPECT_STREQ(DescribeCategory(Decode(0x0103), false), "   (  Verb )");
  Tuning = {};
  EXPECT_STREQ(DescribeCategory(Decode(0x0405), false), "   (  Adjective Others )");
  EXPECT_STREQ(DescribeCategory(Decode(0x0306), false), "   (  Modality Negation )");
  EXPECT_TRUE(ui.ui.SystemErrors().empty());
}

TEST(Category, DisplayFormCapitalsQuotesAndUnderscores) {
  TWordCategoryData d;
  d.Capitalisation = 1;
  EXPECT_STREQ(DisplayForm("new_york-city", d), "New York-City");
  EXPECT_STREQ(DisplayForm("new_york", d, true), "New_York");
  DecodeCategory(0x0101, d.Category);  // a verb: only the first letter
  EXPECT_STREQ(DisplayForm("set_up", d), "Set up");
  d.Capitalisation = 2;
  EXPECT_STREQ(DisplayForm("abc", d), "ABC");
  d.Capitalisation = 0;
  d.SlotFlag = 3;  // quote after the word
  EXPECT_STREQ(DisplayForm("dog", d), "dog'");
  d.SlotFlag = 4;  // the character after a '_' before the quote is lower-cased
  EXPECT_STREQ(DisplayForm("ab_Cd", d), "ab c'");
  d.SlotFlag = 78;
  EXPECT_STREQ(DisplayForm("dog", d), "dog");
  std::string longWord(120, 'x');
  EXPECT_EQ(std::strlen(DisplayForm(longWord.c_str(), d)), 79u);

  char t[4] = "(";
  SpacePunctuation(t);
  EXPECT_STREQ(t, " (");
  std::strcpy(t, ",");
  SpacePunctuation(t);
  EXPECT_STREQ(t, ", ");
  std::strcpy(t, ".(");
  SpacePunctuation(t);
  EXPECT_STREQ(t, ".  ");
  std::strcpy(t, "]x");
  SpacePunctuation(t);
  EXPECT_STREQ(t, "]x ");
  std::strcpy(t, "a");
  SpacePunctuation(t);
  EXPECT_STREQ(t, "a");
}

TEST(Inflection, SingularsAndPlurals) {
  char w[kWordBufferSize], alt[kWordBufferSize];
  struct Case {
    const char* plural;
    const char* singular;
    const char* alternative;
  } cases[] = {{"boxes", "box", "boxe"}, {"flies", "fly", "flie"}, {"buses", "buse", "bus"},
               {"cats", "cat", ""},      {"tables", "table", ""},  {"does", "doe", ""}};
  for (const auto& c : cases) {
    std::strcpy(w, c.plural);
    EXPECT_TRUE(Singular(w, alt));
    EXPECT_STREQ(w, c.singular);
    EXPECT_STREQ(alt, c.alternative);
  }
  std::strcpy(w, "ads");
  EXPECT_FALSE(Singular(w, alt));
  EXPECT_FALSE(IsPlural("class"));
  EXPECT_FALSE(IsPlural("a_s"));
  EXPECT_TRUE(IsPlural("cats"));

  const char* plurals[][2] = {{"day", "days"},  {"city", "cities"}, {"church", "churches"}, {"bath", "baths"},
                              {"box", "boxes"}, {"Zoo", "Zooes"},   {"radio", "radioes"},   {"x1", "x1s"}};
  for (const auto& p : plurals) {
    std::strcpy(w, p[0]);
    EXPECT_TRUE(Plural(w));
    EXPECT_STREQ(w, p[1]);
  }
  std::strcpy(w, "a_b");
  EXPECT_FALSE(Plural(w));
  // Long words: nothing written past the 80-byte buffer.
  std::string s(78, 'a');
  std::strcpy(w, s.c_str());
  EXPECT_TRUE(Plural(w));
  EXPECT_EQ(std::strlen(w), 79u);
  EXPECT_FALSE(Plural(w));
  s.assign(76, 'a');
  s += "x";
  std::strcpy(w, s.c_str());
  EXPECT_FALSE(Plural(w));
}

TEST(Inflection, VerbFormCandidates) {
  char w[kWordBufferSize], c2[kWordBufferSize], c3[kWordBufferSize];
  struct Case {
    const char* form;
    const char* c1;
    const char* c2;
    const char* c3;
    int tense, mood;
  } cases[] = {{"tried", "trie", "tri", "try", 2, 4},  {"bled", "ble", "bl", "", 2, 4},
               {"walking", "walk", "walke", "", 1, 4}, {"taken", "take", "taken", "", 1, 1},
               {"tries", "trie", "tri", "try", 1, 1},  {"walks", "walk", "", "", 1, 1},
               {"king", "king", "", "", 0, 0},         {"jump", "jump", "", "", 0, 0}};
  for (const auto& c : cases) {
    std::strcpy(w, c.form);
    EXPECT_TRUE(VerbFormCandidates(w, c2, c3));
    EXPECT_STREQ(w, c.c1) << c.form;
    EXPECT_STREQ(c2, c.c2) << c.form;
    EXPECT_STREQ(c3, c.c3) << c.form;
    EXPECT_EQ(GuessedVerbCategory.SubField2, c.tense) << c.form;
    EXPECT_EQ(GuessedVerbCategory.SubField3, c.mood) << c.form;
  }
  std::strcpy(w, "ran");
  EXPECT_FALSE(VerbFormCandidates(w, c2, c3));
  EXPECT_STREQ(w, "ran");
}

// The dictionary's lookup workers guess verb forms at the same time: each
// thread must read the tense and mood of its own last guess.
TEST(InflectionThreads, EachThreadReadsTheGuessOfItsOwnCall) {
  auto guessLoop = [](const char* form, int tense, int mood, int* wrong) {
    char w[kWordBufferSize], c2[kWordBufferSize], c3[kWordBufferSize];
    for (int i = 0; i < 20000; ++i) {
      std::strcpy(w, form);
      VerbFormCandidates(w, c2, c3);
      if (GuessedVerbCategory.SubField2 != tense || GuessedVerbCategory.SubField3 != mood) ++*wrong;
    }
  };
  int wrongPast = 0, wrongPresent = 0;
  std::thread past(guessLoop, "tried", 2, 4, &wrongPast);
  std::thread present(guessLoop, "walks", 1, 1, &wrongPresent);
  past.join();
  present.join();
  EXPECT_EQ(wrongPast, 0);
  EXPECT_EQ(wrongPresent, 0);
}

}  // namespace
}  // namespace quilor
