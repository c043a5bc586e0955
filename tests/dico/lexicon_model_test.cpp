#include "dico/lexicon_model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "core/category.h"

namespace quilor::dico {
namespace {

// What the category decoder reads from a code's low byte for a connector.
int ConnectorRecordSubclass(TCategoryCode code) {
  constexpr int kDecode[11] = {0, 1, 3, 4, 2, 6, 5, 7, 8, 9, 10};
  return kDecode[code & 0xFF];
}

TEST(DicoCodes, ConnectorNumberingFollowsTheDecoder) {
  for (int k = 1; k <= 10; ++k)
    EXPECT_EQ(ConnectorRecordSubclass(ConnectorCode(static_cast<ConnectorKind>(k))), k) << k;
}

TEST(DicoCodes, LongerExpressionMarkNeverTouchesTheGerundOrTheClass) {
  TCategoryCode preposition = PrepositionCode(true);
  TCategoryCode marked = preposition | LongerExpressionBit(preposition);
  EXPECT_TRUE(HasLongerExpressionMark(marked));
  EXPECT_NE(marked & kGerundBit, 0);
  EXPECT_EQ(MajorClassOfCode(marked), 6);
  EXPECT_NE(marked & 0xFF, 1);  // still a preposition, not an article
  TCategoryCode article = DeterminerCode();
  EXPECT_EQ((article | LongerExpressionBit(article)) & 0xFF, 1);
  EXPECT_FALSE(HasLongerExpressionMark(PrepositionCode(true)));
  EXPECT_FALSE(HasLongerExpressionMark(VerbCode(VerbKind::Performative, Tense::Other, Mood::Infinitive, true)));
  EXPECT_NE(kNounCode, 0);  // a stored 0 would read as "not found"
}

TEST(DicoLists, ClosedLinesGiveExactCodes) {
  std::vector<ClosedReading> out;
  std::string error;
  for (const char* line :
       {"because connector cause", "i pronoun deixis I", "in preposition gerund", "the article",
        "was auxiliary stative past indicative", "s determiner piece", "mr abbreviation  # Mister", "   ", "# comment"})
    ASSERT_TRUE(ParseClosedLine(line, out, error)) << line << ": " << error;
  ASSERT_EQ(out.size(), 7u);
  EXPECT_EQ(out[0].code, 0x4204);
  EXPECT_EQ(out[1].code, 0x0514);
  EXPECT_EQ(out[2].code, 0x5600);
  EXPECT_EQ(out[3].code, 0x4601);
  EXPECT_EQ(out[4].code, 0x0185);
  EXPECT_EQ(out[5].code, 0x6601);
  EXPECT_EQ(out[6].code, kAbbreviationCode);
  for (const char* bad : {"because", "Because connector cause", "because connector reason", "was verb stative past",
                          "went verb factive past indicative piece", "he pronoun personal Him"})
    EXPECT_FALSE(ParseClosedLine(bad, out, error)) << bad;
}

TEST(DicoLists, OtherListsAndTheirErrors) {
  WordLists lists;
  std::string error;
  ASSERT_TRUE(ParseIrregularList("# c\nburn burnt/burned burnt/burned\ngo went gone\n", "irr", lists, error)) << error;
  ASSERT_EQ(lists.irregularVerbs.size(), 2u);
  EXPECT_EQ(lists.irregularVerbs[0].past, (std::vector<std::string>{"burnt", "burned"}));
  EXPECT_FALSE(ParseIrregularList("go went\n", "irr", lists, error));
  EXPECT_EQ(error, "irr:1: expected BASE PAST PARTICIPLE");
  ASSERT_TRUE(ParseAdjectiveKindList("good subjective\n=beauty subjective\n", "adj", lists, error)) << error;
  EXPECT_EQ(lists.attributeKinds.at("beauty"), AdjectiveKind::Subjective);
  ASSERT_TRUE(ParseFrequencyList("that 0 0 0 1414 1325 5206 22\n", "freq", lists, error)) << error;
  EXPECT_EQ(lists.frequencies.at("that")[kFreqConjunction], 5206);
  EXPECT_FALSE(ParseFrequencyList("that 0 0 0 1414 1325 5206\n", "freq", lists, error));
  // An eighth count: of the noun tokens, the proper names; a ninth is refused.
  ASSERT_TRUE(ParseFrequencyList("brown 108 0 30 0 0 0 0 104\n", "freq", lists, error)) << error;
  EXPECT_EQ(lists.frequencies.at("brown")[kFreqProperNames], 104);
  EXPECT_FALSE(ParseFrequencyList("brown 108 0 30 0 0 0 0 104 1\n", "freq", lists, error));
  EXPECT_FALSE(ParseFrequencyList("that 0 0 0 1414 1325 -5 2\n", "freq", lists, error));
  EXPECT_FALSE(ParseVerbKindList("think pensive\n", "verbs", lists, error));
  ASSERT_TRUE(ParseStyleNormList("1 91 # Polarization\n77 -5\n", "norms", lists, error)) << error;
  EXPECT_EQ(lists.styleNorms[76], -5);
  EXPECT_FALSE(ParseStyleNormList("1 90\n", "norms", lists, error));  // twice
  EXPECT_FALSE(ParseStyleNormList("78 1\n", "norms", lists, error));
  EXPECT_FALSE(ParseStyleNormList("5 128\n", "norms", lists, error));
}

TEST(DicoInflection, RegularForms) {
  EXPECT_EQ(RegularPlural("box"), "boxes");
  EXPECT_EQ(RegularPlural("city"), "cities");
  EXPECT_EQ(RegularPlural("day"), "days");
  EXPECT_EQ(RegularPlural("church"), "churches");
  EXPECT_EQ(RegularPlural("fireman"), "firemen");
  EXPECT_EQ(RegularPlural("human"), "humans");
  EXPECT_EQ(ThirdPersonSingular("echo"), "echoes");
  EXPECT_EQ(ThirdPersonSingular("play"), "plays");
  EXPECT_EQ(RegularPast("carry"), "carried");
  EXPECT_EQ(RegularPast("agree"), "agreed");
  EXPECT_EQ(PresentParticiple("make"), "making");
  EXPECT_EQ(PresentParticiple("die"), "dying");
  EXPECT_EQ(PresentParticiple("see"), "seeing");
  EXPECT_EQ(Comparative("happy"), "happier");
  EXPECT_EQ(Superlative("late"), "latest");
  EXPECT_EQ(Comparative("beautiful"), "");
  EXPECT_EQ(Comparative("well_known"), "");
  EXPECT_EQ(JoinedSpelling("o'clock"), "o_clock");
  EXPECT_EQ(JoinedSpelling("st._louis"), "st_louis");
  EXPECT_EQ(JoinedSpelling("u.s."), "");
  EXPECT_EQ(JoinedSpelling("achilles'_heel"), "");
  EXPECT_EQ(JoinedSpelling("walk"), "");
}

TEST(DicoOrder, FrequenciesDecideAndClosedWordsLoseUnsupportedReadings) {
  TCategoryCode noun = kNounCode, verb = VerbCode(VerbKind::Factive, Tense::Present, Mood::Indicative);
  // WordNet counts alone: the verb is more often tagged.
  std::vector<Candidate> c = {{noun, ReadingOrigin::WordNetLemma, 5}, {verb, ReadingOrigin::WordNetLemma, 50}};
  EXPECT_EQ(OrderReadings(c, nullptr), (std::vector<TCategoryCode>{verb, noun}));
  FrequencyCounts f{};
  f[kFreqNoun] = 30;
  f[kFreqVerb] = 3;
  EXPECT_EQ(OrderReadings(c, &f), (std::vector<TCategoryCode>{noun, verb}));
  // "that": the list order, corrected by the counts; WordNet's noun reading is dropped.
  TCategoryCode det = DeterminerCode(), rel = PronounCode(PronounKind::Relative, 0);
  std::vector<Candidate> that = {{det, ReadingOrigin::ClosedList, 0},
                                 {rel, ReadingOrigin::ClosedList, -1},
                                 {noun, ReadingOrigin::WordNetLemma, 9}};
  FrequencyCounts g{};
  g[kFreqDeterminant] = 1325;
  g[kFreqConjunction] = 5206;
  g[kFreqPronoun] = 1414;
  EXPECT_EQ(OrderReadings(that, &g), (std::vector<TCategoryCode>{rel, det}));
  EXPECT_EQ(OrderReadings(that, nullptr), (std::vector<TCategoryCode>{det, rel, noun}));
  // "for": a preposition's tokens never count for the connector reading.
  TCategoryCode prep = PrepositionCode(true), cause = ConnectorCode(ConnectorKind::Cause);
  std::vector<Candidate> forWord = {{cause, ReadingOrigin::ClosedList, 0}, {prep, ReadingOrigin::ClosedList, -1}};
  FrequencyCounts h{};
  h[kFreqDeterminant] = 7265;
  h[kFreqConjunction] = 369;
  EXPECT_EQ(OrderReadings(forWord, &h), (std::vector<TCategoryCode>{prep, cause}));
  // "then": the adverb tokens go to the modality when there is one, else to the connector.
  TCategoryCode time = ModalityCode(ModalityKind::Time);
  FrequencyCounts adverbs{};
  adverbs[kFreqAdverb] = 777;
  adverbs[kFreqConjunction] = 2;
  std::vector<Candidate> then = {{cause, ReadingOrigin::ClosedList, 0}, {time, ReadingOrigin::ClosedList, -1}};
  EXPECT_EQ(OrderReadings(then, &adverbs), (std::vector<TCategoryCode>{time, cause}));
  EXPECT_EQ(FrequencyScore(cause, adverbs), 779);
  EXPECT_EQ(FrequencyScore(cause, adverbs, true), 2);
  // Any other word loses a class that none of its many tokens has ("new" is no
  // adverb in 1,450 tokens), but keeps it while the tokens are few.
  TCategoryCode adj = AdjectiveCode(AdjectiveKind::Objective), manner = ModalityCode(ModalityKind::Manner);
  std::vector<Candidate> newWord = {{adj, ReadingOrigin::WordNetLemma, 30}, {manner, ReadingOrigin::WordNetLemma, 2}};
  FrequencyCounts adjectives{};
  adjectives[kFreqAdjective] = 1450;
  EXPECT_EQ(OrderReadings(newWord, &adjectives), (std::vector<TCategoryCode>{adj}));
  adjectives[kFreqAdjective] = kUnseenClassTokens - 1;
  EXPECT_EQ(OrderReadings(newWord, &adjectives), (std::vector<TCategoryCode>{adj, manner}));
  // Tokens only in a column no reading takes leave the readings alone.
  FrequencyCounts pronouns{};
  pronouns[kFreqPronoun] = 900;
  EXPECT_EQ(OrderReadings(newWord, &pronouns).size(), 2u);
  // A noun read first only by its proper-name tokens (Brown the name, brown
  // the colour) is marked a proper name, in its place; one read first by its
  // common uses stays a noun.
  std::vector<Candidate> brown = {{noun, ReadingOrigin::WordNetLemma, 9}, {adj, ReadingOrigin::WordNetLemma, 20}};
  FrequencyCounts names{};
  names[kFreqNoun] = 108;
  names[kFreqAdjective] = 30;
  names[kFreqProperNames] = 104;
  EXPECT_EQ(OrderReadings(brown, &names), (std::vector<TCategoryCode>{kProperNameCode, adj}));
  names[kFreqProperNames] = 50;
  EXPECT_EQ(OrderReadings(brown, &names), (std::vector<TCategoryCode>{noun, adj}));
  // A noun after an adjective reading is marked as naming alone when it has
  // at least a fifth of the adjective's tokens (public 125 of 284), not when
  // it has fewer (poor: 0 of 61).
  const TCategoryCode alone = kNounCode | kNamesAloneBit;
  FrequencyCounts publicWord{};
  publicWord[kFreqNoun] = 125;
  publicWord[kFreqAdjective] = 284;
  EXPECT_EQ(OrderReadings(brown, &publicWord), (std::vector<TCategoryCode>{adj, alone}));
  publicWord[kFreqNoun] = 11;
  publicWord[kFreqAdjective] = 11 * kNamesAloneShare + 1;
  EXPECT_EQ(OrderReadings(brown, &publicWord), (std::vector<TCategoryCode>{adj, noun}));
  // So is one whose common noun, counted at least 20 times, has a tenth of
  // the adjective's tokens (good: 54 of 510); not with fewer tokens (current:
  // 16 of 82), nor when its nouns are mostly names (white: 29 nouns, 18 of
  // them names, of 214).
  FrequencyCounts goodWord{};
  goodWord[kFreqNoun] = 54;
  goodWord[kFreqAdjective] = 510;
  EXPECT_EQ(OrderReadings(brown, &goodWord), (std::vector<TCategoryCode>{adj, alone}));
  goodWord[kFreqNoun] = 16;
  goodWord[kFreqAdjective] = 82;
  EXPECT_EQ(OrderReadings(brown, &goodWord), (std::vector<TCategoryCode>{adj, noun}));
  goodWord[kFreqNoun] = 29;
  goodWord[kFreqProperNames] = 18;
  goodWord[kFreqAdjective] = 214;
  EXPECT_EQ(OrderReadings(brown, &goodWord), (std::vector<TCategoryCode>{adj, noun}));
  // A noun whose word is seldom a verb is marked so (people: 1 verb of 655
  // tokens), not when the verb is common (work: 125 of 610), when too few
  // tokens are counted, or when the word has no verb reading.
  const TCategoryCode seldom = kNounCode | kSeldomVerbBit;
  std::vector<Candidate> people = {{noun, ReadingOrigin::WordNetLemma, 9}, {verb, ReadingOrigin::WordNetLemma, 1}};
  FrequencyCounts peopleWord{};
  peopleWord[kFreqNoun] = 654;
  peopleWord[kFreqVerb] = 1;
  EXPECT_EQ(OrderReadings(people, &peopleWord), (std::vector<TCategoryCode>{seldom, verb}));
  peopleWord[kFreqVerb] = 125;
  EXPECT_EQ(OrderReadings(people, &peopleWord), (std::vector<TCategoryCode>{noun, verb}));
  peopleWord[kFreqNoun] = kSeldomVerbShare - 1;
  peopleWord[kFreqVerb] = 0;
  EXPECT_EQ(OrderReadings(people, &peopleWord), (std::vector<TCategoryCode>{noun, verb}));
  peopleWord[kFreqNoun] = 100;
  peopleWord[kFreqAdjective] = 3;
  EXPECT_EQ(OrderReadings(brown, &peopleWord), (std::vector<TCategoryCode>{noun, adj}));
  // The noun of an -ing form counted at least eight times as often as its
  // verb names after a preposition (meaning: 96 nouns, 9 verbs), not when
  // the verb is common (feeling: 92 and 15), when the noun has too few
  // tokens, or when the verb reading is no -ing form.
  const TCategoryCode gerundNames = kNounCode | kGerundNamesBit;
  const TCategoryCode participle = VerbCode(VerbKind::Stative, Tense::Present, Mood::Participle);
  std::vector<Candidate> meaning = {{noun, ReadingOrigin::WordNetLemma, 9},
                                    {participle, ReadingOrigin::WordNetForm, 1}};
  FrequencyCounts meaningWord{};
  meaningWord[kFreqNoun] = 96;
  meaningWord[kFreqVerb] = 9;
  EXPECT_EQ(OrderReadings(meaning, &meaningWord), (std::vector<TCategoryCode>{gerundNames, participle}));
  meaningWord[kFreqVerb] = 15;
  meaningWord[kFreqNoun] = 92;
  EXPECT_EQ(OrderReadings(meaning, &meaningWord), (std::vector<TCategoryCode>{noun, participle}));
  meaningWord[kFreqNoun] = kSeldomVerbShare - 1;
  meaningWord[kFreqVerb] = 0;
  EXPECT_EQ(OrderReadings(meaning, &meaningWord), (std::vector<TCategoryCode>{noun, participle}));
  meaningWord[kFreqNoun] = 96;
  meaningWord[kFreqVerb] = 9;
  EXPECT_EQ(OrderReadings(people, &meaningWord), (std::vector<TCategoryCode>{noun, verb}));
  // Duplicates go and at most six readings stay.
  std::vector<Candidate> many;
  for (int i = 0; i < 9; ++i)
    many.push_back({static_cast<TCategoryCode>(0x0100 + (i % 8)), ReadingOrigin::WordNetForm, i});
  EXPECT_EQ(OrderReadings(many, nullptr).size(), static_cast<size_t>(kMaxReadings));
}

// A WordNet of a few words, enough to exercise every rule of the model.
wordnet::Database SmallWordNet() {
  using wordnet::Pos;
  wordnet::Database db;
  std::string e;
  bool ok = db.AddIndexFile(Pos::Noun,
                            "child n 1 0 1 0 00000010\nlos_angeles n 1 0 1 0 00000020\nwalk n 1 0 1 0 00000030\n"
                            "order n 1 0 1 0 00000040\n",
                            "index.noun", e) &&
            db.AddDataFile(Pos::Noun,
                           "00000010 18 n 01 child 0 000 | a kid\n00000020 15 n 01 Los_Angeles 0 000 | a city\n"
                           "00000030 04 n 01 walk 0 000 | a stroll\n00000040 04 n 01 order 0 000 | a command\n",
                           "data.noun", e) &&
            db.AddExceptionFile(Pos::Noun, "children child\n", "noun.exc", e) &&
            db.AddIndexFile(Pos::Verb, "go v 1 0 1 0 00000100\nwalk v 1 0 1 0 00000200\nseem v 1 0 1 0 00000300\n",
                            "index.verb", e) &&
            db.AddDataFile(Pos::Verb,
                           "00000100 38 v 01 go 0 000 | move\n00000200 38 v 01 walk 0 000 | step\n"
                           "00000300 42 v 01 seem 0 000 | appear\n",
                           "data.verb", e) &&
            db.AddExceptionFile(Pos::Verb, "went go\ngone go\n", "verb.exc", e) &&
            db.AddIndexFile(Pos::Adjective, "good a 1 0 1 0 00000500\n", "index.adj", e) &&
            db.AddDataFile(Pos::Adjective, "00000500 00 a 01 good 0 000 | fine\n", "data.adj", e) &&
            db.AddExceptionFile(Pos::Adjective, "better good\n", "adj.exc", e) &&
            db.AddCountFile("walk%2:38:00:: 1 10\nwalk%1:04:00:: 1 3\n", "cntlist.rev", e);
  EXPECT_TRUE(ok) << e;
  return db;
}

WordLists SmallLists() {
  WordLists lists;
  std::string e;
  EXPECT_TRUE(ParseClosedList("in preposition gerund\nin_order_to connector goal\n", "closed", lists, e)) << e;
  EXPECT_TRUE(ParseIrregularList("go went gone\n", "irr", lists, e)) << e;
  EXPECT_TRUE(ParseAdjectiveKindList("good subjective\n", "adj", lists, e)) << e;
  return lists;
}

TEST(DicoModel, FormsReadingsAndMarks) {
  LexiconModel model;
  model.Build(SmallWordNet(), SmallLists());
  const auto& entries = model.Entries();
  auto readings = [&](const char* w) {
    auto it = entries.find(w);
    return it == entries.end() ? std::vector<TCategoryCode>{} : it->second;
  };
  EXPECT_EQ(readings("went"), (std::vector<TCategoryCode>{VerbCode(VerbKind::Factive, Tense::Past, Mood::Indicative)}));
  EXPECT_EQ(readings("gone"), (std::vector<TCategoryCode>{VerbCode(VerbKind::Factive, Tense::Past, Mood::Participle)}));
  EXPECT_TRUE(readings("goed").empty());  // the irregular form replaces the regular one
  EXPECT_EQ(readings("going"),
            (std::vector<TCategoryCode>{VerbCode(VerbKind::Factive, Tense::Present, Mood::Participle)}));
  EXPECT_EQ(readings("children"), (std::vector<TCategoryCode>{kNounCode}));
  EXPECT_EQ(readings("better"), (std::vector<TCategoryCode>{AdjectiveCode(AdjectiveKind::Subjective)}));
  EXPECT_EQ(readings("seems"),
            (std::vector<TCategoryCode>{VerbCode(VerbKind::Stative, Tense::Present, Mood::Indicative)}));
  // walk: verb first (more tagged senses), bit 15 on all but the last reading.
  TCategoryCode verb = VerbCode(VerbKind::Factive, Tense::Present, Mood::Indicative);
  EXPECT_EQ(readings("walk"),
            (std::vector<TCategoryCode>{static_cast<TCategoryCode>(verb | kAmbiguityBit), kNounCode}));
  EXPECT_EQ(readings("walked").size(), 2u);  // simple past and past participle
  // "in" may start "in_order_to": the mark is on it, not on the gerund bit.
  auto in = readings("in");
  ASSERT_EQ(in.size(), 1u);
  EXPECT_TRUE(HasLongerExpressionMark(in[0]));
  EXPECT_NE(in[0] & kGerundBit, 0);
  EXPECT_FALSE(HasLongerExpressionMark(readings("in_order_to")[0]));
  // A noun expression's first word becomes an entry so that it can be joined.
  auto los = readings("los");
  ASSERT_EQ(los.size(), 1u);
  EXPECT_EQ(los[0] & ~0x1000, kProperNameCode);
  EXPECT_TRUE(HasLongerExpressionMark(los[0]));
  EXPECT_EQ(model.VerbForms().at("go"), (std::vector<std::string>{"went", "gone", "goes", "going"}));
  EXPECT_EQ(model.AdjectiveForms().at("good"), (std::vector<std::string>{"better"}));
}

// A noun WordNet writes in lower case but for a capital after a hyphen is
// common (anti-Semitism), unless it names one thing (al-Qaeda); the word
// before the hyphen is marked so that the segment buffer joins the two.
TEST(DicoModel, ACapitalAfterAHyphenLeavesACommonNoun) {
  using wordnet::Pos;
  wordnet::Database db;
  std::string e;
  ASSERT_TRUE(db.AddIndexFile(Pos::Noun,
                              "al-qaeda n 1 1 @i 1 0 00000030\nanti n 1 0 1 0 00000010\n"
                              "anti-semitism n 1 1 @ 1 0 00000020\n",
                              "index.noun", e) &&
              db.AddDataFile(Pos::Noun,
                             "00000010 18 n 01 anti 0 000 | one who is opposed\n"
                             "00000020 09 n 01 anti-Semitism 0 001 @ 00000010 n 0000 | hostility\n"
                             "00000030 14 n 01 al-Qaeda 0 001 @i 00000010 n 0000 | a network\n",
                             "data.noun", e))
      << e;
  LexiconModel model;
  model.Build(db, WordLists{});
  const auto& entries = model.Entries();
  ASSERT_TRUE(entries.count("anti-semitism") && entries.count("al-qaeda") && entries.count("anti"));
  EXPECT_EQ(entries.at("anti-semitism")[0], kNounCode);
  EXPECT_EQ(entries.at("al-qaeda")[0], kProperNameCode);
  EXPECT_TRUE(HasLongerExpressionMark(entries.at("anti")[0]));
}

TEST(DicoModel, BuildIsReproducible) {
  LexiconModel a, b;
  a.Build(SmallWordNet(), SmallLists());
  b.Build(SmallWordNet(), SmallLists());
  std::ostringstream da, db;
  a.Dump(da);
  b.Dump(db);
  EXPECT_EQ(da.str(), db.str());
  EXPECT_NE(da.str().find("went\t0104\tverb factive past indicative"), std::string::npos) << da.str();
}

// A past form of a much more frequent verb loses the present of its rare
// homograph; an adjective takes its kind from the attributes the list names.
TEST(DicoModel, HomographPastsAndAttributeKinds) {
  using wordnet::Pos;
  wordnet::Database db;
  std::string e;
  ASSERT_TRUE(
      db.AddIndexFile(Pos::Verb, "find v 1 0 1 0 00000100\nfound v 1 0 1 0 00000200\n", "index.verb", e) &&
      db.AddDataFile(Pos::Verb, "00000100 31 v 01 find 0 000 | discover\n00000200 36 v 01 found 0 000 | set up\n",
                     "data.verb", e) &&
      db.AddExceptionFile(Pos::Verb, "found find\n", "verb.exc", e) &&
      db.AddIndexFile(Pos::Noun, "availability n 1 0 1 0 00000700\ngoodness n 1 0 1 0 00000800\n", "index.noun", e) &&
      db.AddDataFile(Pos::Noun,
                     "00000700 07 n 01 availability 0 000 | a state\n00000800 07 n 01 goodness 0 000 | a value\n",
                     "data.noun", e) &&
      db.AddIndexFile(Pos::Adjective, "available a 1 0 1 0 00000500\ngood a 1 0 1 0 00000600\n", "index.adj", e) &&
      db.AddDataFile(Pos::Adjective,
                     "00000500 00 a 01 available 0 001 = 00000700 n 0000 | usable\n"
                     "00000600 00 a 01 good 0 001 = 00000800 n 0000 | fine\n",
                     "data.adj", e) &&
      db.AddCountFile("find%2:31:00:: 1 100\nfound%2:36:00:: 1 5\n", "cntlist.rev", e))
      << e;
  WordLists lists;
  ASSERT_TRUE(ParseIrregularList("find found found\n", "irr", lists, e)) << e;
  ASSERT_TRUE(ParseAdjectiveKindList("=goodness subjective\n", "adj", lists, e)) << e;
  LexiconModel model;
  model.Build(db, lists);
  for (TCategoryCode c : model.Entries().at("found"))
    EXPECT_NE((c >> 2) & 3, static_cast<unsigned>(Tense::Present)) << std::hex << c;
  EXPECT_FALSE(model.Entries().at("founded").empty());  // the rare verb keeps its own forms
  EXPECT_EQ(LexiconModel::KindOfAdjective(db, lists, "available"), AdjectiveKind::Objective);
  EXPECT_EQ(LexiconModel::KindOfAdjective(db, lists, "good"), AdjectiveKind::Subjective);
  // Of a homograph met nearly as often, the present stays.
  ASSERT_TRUE(db.AddCountFile("found%2:36:00:: 1 40\n", "cntlist2.rev", e)) << e;
  model.Build(db, lists);
  bool present = false;
  for (TCategoryCode c : model.Entries().at("found"))
    present |= ((c >> 2) & 3) == static_cast<unsigned>(Tense::Present);
  EXPECT_TRUE(present);
}

// The real data: WordNet 3.0 as installed and the project's lists.
TEST(DicoModel, InstalledWordNetGivesTheExpectedCategories) {
  if (!std::filesystem::exists("/usr/share/wordnet/index.noun")) GTEST_SKIP() << "WordNet is not installed";
  wordnet::Database wn;
  std::string error;
  ASSERT_TRUE(wn.Load("/usr/share/wordnet", error)) << error;
  WordLists lists;
  std::string dir = std::string(QUILOR_SOURCE_DIR) + "/dico/lists";
  ASSERT_TRUE(LoadWordLists(dir, dir + "/frequencies.txt", lists, error)) << error;
  LexiconModel model;
  model.Build(wn, lists);
  auto first = [&](const char* w) -> TCategoryCode {
    auto it = model.Entries().find(w);
    if (it == model.Entries().end()) return 0;
    TCategoryCode c = it->second[0] & ~kAmbiguityBit;
    return static_cast<TCategoryCode>(c & ~LongerExpressionBit(c));
  };
  auto verbKind = [&](const char* w) {
    for (TCategoryCode c : model.Entries().at(w))
      if (MajorClassOfCode(c) == 1) return static_cast<VerbKind>(c & 3);
    return VerbKind::Factive;
  };
  EXPECT_GT(model.Entries().size(), 200000u);
  EXPECT_EQ(first("went"), VerbCode(VerbKind::Factive, Tense::Past, Mood::Indicative));
  EXPECT_EQ(first("children"), kNounCode);
  EXPECT_EQ(MajorClassOfCode(first("better")), 4);
  EXPECT_EQ(first("the"), DeterminerCode());
  EXPECT_EQ(first("mr"), kAbbreviationCode);
  EXPECT_EQ(verbKind("think"), VerbKind::Reflexive);
  EXPECT_EQ(verbKind("see"), VerbKind::Reflexive);
  EXPECT_EQ(verbKind("promise"), VerbKind::Performative);
  EXPECT_EQ(verbKind("belong"), VerbKind::Stative);
  EXPECT_EQ(verbKind("build"), VerbKind::Factive);
  EXPECT_EQ(first("in_order_to"), ConnectorCode(ConnectorKind::Goal));
  EXPECT_EQ(first("as_soon_as"), ConnectorCode(ConnectorKind::Time));
  EXPECT_EQ(first("red"), AdjectiveCode(AdjectiveKind::Objective));
  EXPECT_EQ(first("fifth"), AdjectiveCode(AdjectiveKind::Numeral));
  EXPECT_EQ(first("because"), ConnectorCode(ConnectorKind::Cause));
  EXPECT_EQ(first("probably"), ModalityCode(ModalityKind::Doubt));
  // A form shared by two verbs belongs to the more frequent one.
  EXPECT_EQ(model.VerbOfForm("found"), "find");
  EXPECT_EQ(model.VerbOfForm("saw"), "see");
  EXPECT_EQ(model.VerbOfForm("went"), "go");
  EXPECT_EQ(model.AdjectiveOfForm("better"), "good");
  // "that" is read as a relative pronoun first: it is mostly a conjunction.
  EXPECT_EQ(MajorClassOfCode(first("that")), 5);
  // Kinds: one word, one kind whatever its spelling; the verbs of saying are
  // performatives; prepositions come before connectors; adverbs before connectors.
  for (const char* aux : {"will", "would", "should", "shall", "do", "does", "did", "can", "could", "may", "ll"})
    EXPECT_EQ(static_cast<VerbKind>(first(aux) & 3), VerbKind::Stative) << aux;
  EXPECT_EQ((first("may") >> 4) & 7, 0u);  // indicative
  for (const char* say : {"say", "tell", "report", "explain", "mention", "describe"})
    EXPECT_EQ(verbKind(say), VerbKind::Performative) << say;
  for (const char* act : {"show", "reveal", "present", "accept", "allow", "permit"})
    EXPECT_EQ(verbKind(act), VerbKind::Factive) << act;
  for (const char* state : {"base", "relate", "derive", "maintain"})
    EXPECT_EQ(verbKind(state), VerbKind::Stative) << state;
  EXPECT_EQ(first("for"), PrepositionCode(true));
  EXPECT_EQ(first("as"), ConnectorCode(ConnectorKind::Comparison));
  EXPECT_EQ(first("while"), ConnectorCode(ConnectorKind::Time));
  EXPECT_EQ(first("then"), ModalityCode(ModalityKind::Time));
  EXPECT_EQ(first("still"), ModalityCode(ModalityKind::Time));
  EXPECT_EQ(first("which"), PronounCode(PronounKind::Relative, 0));
  EXPECT_EQ(first("there"), PronounCode(PronounKind::Others, 0));
  EXPECT_EQ(first("her"), PronounCode(PronounKind::Possessive, 3));
  EXPECT_EQ(model.Entries().count("kind_of"), 0u);
  for (const char* adj : {"other", "available", "free", "individual", "whole", "similar", "common", "modern"})
    for (TCategoryCode c : model.Entries().at(adj))
      if (MajorClassOfCode(c) == 4) {
        EXPECT_EQ(c & 0xFF, static_cast<unsigned>(AdjectiveKind::Objective)) << adj;
      }
  // found, saw, felt are pasts only; lay (of lie, and to lay) keeps its present.
  auto hasPresent = [&](const char* w) {
    for (TCategoryCode c : model.Entries().at(w))
      if (MajorClassOfCode(c) == 1 && ((c >> 2) & 3) == 0 && !(c & 0x40)) return true;
    return false;
  };
  for (const char* past : {"found", "saw", "felt"}) EXPECT_FALSE(hasPresent(past)) << past;
  EXPECT_TRUE(hasPresent("lay"));
  for (const auto& [word, codes] : model.Entries()) {
    ASSERT_FALSE(codes.empty()) << word;
    ASSERT_LE(codes.size(), static_cast<size_t>(kMaxReadings)) << word;
    for (size_t i = 0; i < codes.size(); ++i) {
      ASSERT_NE(codes[i], 0) << word;
      ASSERT_EQ((codes[i] & kAmbiguityBit) != 0, i + 1 < codes.size()) << word;
      ASSERT_NE(MajorClassOfCode(codes[i]), 8) << word;  // class code 8 reads as unknown
    }
  }
}

}  // namespace
}  // namespace quilor::dico
