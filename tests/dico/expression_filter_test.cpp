// Which WordNet expressions the lexicon keeps, and the marks on their first
// words once the others are gone.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "dico/lexicon_model.h"

namespace quilor::dico {
namespace {

WordLists FilterLists(const char* excluded) {
  WordLists lists;
  std::string e;
  EXPECT_TRUE(
      ParseClosedList("the article\na article\nthis determiner\nin preposition gerund\nto preposition\n"
                      "it pronoun personal He\nof preposition gerund\nin_order_to connector goal\n"
                      "of_course modality assertion\n",
                      "closed", lists, e))
      << e;
  EXPECT_TRUE(ParseExpressionExclusionList(excluded, "excluded", lists, e)) << e;
  return lists;
}

TEST(DicoExpressions, RulesJudgeEachExpression) {
  const WordLists lists = FilterLists("red_wine # 2 1 2\nof_course\n");
  const ExpressionFilter filter(lists);
  EXPECT_EQ(filter.Judge("in_this"), ExpressionFilter::kFunctionWords);
  EXPECT_EQ(filter.Judge("to_it"), ExpressionFilter::kFunctionWords);
  EXPECT_EQ(filter.Judge("the_city"), ExpressionFilter::kArticleInitial);
  EXPECT_EQ(filter.Judge("a'man"), ExpressionFilter::kArticleInitial);  // joined as a_man
  EXPECT_EQ(filter.Judge("red_wine"), ExpressionFilter::kListed);
  EXPECT_EQ(filter.Judge("look_to_it", true), ExpressionFilter::kVerbParticle);
  EXPECT_EQ(filter.Judge("look_to_it"), ExpressionFilter::kKept);  // not read as a verb
  EXPECT_EQ(filter.Judge("take_it_in_stride", true), ExpressionFilter::kKept);
  // Closed-list expressions stay even when listed; a content word keeps an expression.
  EXPECT_EQ(filter.Judge("in_order_to"), ExpressionFilter::kKept);
  EXPECT_EQ(filter.Judge("of_course"), ExpressionFilter::kKept);
  EXPECT_EQ(filter.Judge("grand_jury"), ExpressionFilter::kKept);
  EXPECT_EQ(filter.Judge("in_love"), ExpressionFilter::kKept);
  EXPECT_EQ(filter.Judge("theatre"), ExpressionFilter::kKept);  // one word: never judged
  EXPECT_EQ(filter.Judge("anyway"), ExpressionFilter::kKept);
}

TEST(DicoExpressions, ExclusionListRefusesWhatCannotBeAnExpression) {
  WordLists lists;
  std::string e;
  for (const char* bad : {"Red_wine\n", "redwine\n", "red_wine white_wine\n", "_red\n", "red_\n"}) {
    EXPECT_FALSE(ParseExpressionExclusionList(bad, "excluded", lists, e)) << bad;
    EXPECT_NE(e.find("excluded:1"), std::string::npos) << e;
  }
  EXPECT_TRUE(ParseExpressionExclusionList("# header\n\nred_wine  # 2 1 2\n", "excluded", lists, e)) << e;
  EXPECT_EQ(lists.excludedExpressions, (std::set<std::string>{"red_wine"}));
}

// Dropped expressions leave no entry, no inflected form and no mark on
// their first words; kept ones are joined as before.
TEST(DicoExpressions, ModelDropsExpressionsAndTheirMarks) {
  using wordnet::Pos;
  wordnet::Database db;
  std::string e;
  ASSERT_TRUE(db.AddIndexFile(Pos::Noun,
                              "a'man n 1 0 1 0 00000010\ngrand_jury n 1 0 1 0 00000020\nred_wine n 1 0 1 0 00000030\n"
                              "the_city n 1 0 1 0 00000040\norder n 1 0 1 0 00000050\n",
                              "index.noun", e) &&
              db.AddDataFile(Pos::Noun,
                             "00000010 18 n 01 A'man 0 000 | a name\n00000020 14 n 01 grand_jury 0 000 | a jury\n"
                             "00000030 13 n 01 red_wine 0 000 | wine\n00000040 15 n 01 the_city 0 000 | a city\n"
                             "00000050 04 n 01 order 0 000 | a command\n",
                             "data.noun", e) &&
              db.AddIndexFile(Pos::Adverb, "in_this r 1 0 1 0 00000100\n", "index.adv", e) &&
              db.AddDataFile(Pos::Adverb, "00000100 02 r 01 in_this 0 000 | herein\n", "data.adv", e))
      << e;
  LexiconModel model;
  model.Build(db, FilterLists("red_wine\n"));
  const auto& entries = model.Entries();
  for (const char* gone : {"in_this", "the_city", "a'man", "a_man", "red_wine", "red_wines", "red"})
    EXPECT_FALSE(entries.count(gone)) << gone;
  for (const char* kept : {"grand_jury", "grand_juries", "in_order_to", "of_course"})
    EXPECT_TRUE(entries.count(kept)) << kept;
  auto marked = [&](const char* w) { return HasLongerExpressionMark(entries.at(w)[0]); };
  EXPECT_TRUE(marked("in"));     // in_order_to
  EXPECT_TRUE(marked("grand"));  // made an entry for grand_jury
  EXPECT_TRUE(marked("of"));
  EXPECT_FALSE(marked("this"));
  EXPECT_FALSE(marked("the"));
  EXPECT_FALSE(marked("a"));
}

// The real data: the rules' examples, and marks exactly on the first words
// of the expressions that remain.
TEST(DicoExpressions, InstalledLexiconKeepsUsefulExpressionsAndConsistentMarks) {
  if (!std::filesystem::exists("/usr/share/wordnet/index.noun")) GTEST_SKIP() << "WordNet is not installed";
  wordnet::Database wn;
  std::string error;
  ASSERT_TRUE(wn.Load("/usr/share/wordnet", error)) << error;
  WordLists lists;
  const std::string dir = std::string(QUILOR_SOURCE_DIR) + "/dico/lists";
  ASSERT_TRUE(LoadWordLists(dir, dir + "/frequencies.txt", lists, error)) << error;
  LexiconModel model;
  model.Build(wn, lists);
  const auto& entries = model.Entries();
  for (const char* gone : {"in_this", "to_it", "the_city", "a_man", "a_lot"}) EXPECT_FALSE(entries.count(gone)) << gone;
  for (const char* kept : {"in_order_to", "as_soon_as", "of_course", "grand_jury", "rhode_island", "los_angeles"})
    EXPECT_TRUE(entries.count(kept)) << kept;
  std::set<std::string> starts;
  for (const auto& [word, codes] : entries)
    for (size_t cut = word.find_first_of("_-"); cut != std::string::npos; cut = word.find_first_of("_-", cut + 1))
      starts.insert(word.substr(0, cut));
  size_t wrong = 0;
  for (const auto& [word, codes] : entries)
    if (HasLongerExpressionMark(codes[0]) != (starts.count(word) > 0) && ++wrong < 5)
      ADD_FAILURE() << word << " mark " << HasLongerExpressionMark(codes[0]);
  EXPECT_EQ(wrong, 0u);
}

}  // namespace
}  // namespace quilor::dico
