#include <gtest/gtest.h>

#include <algorithm>

#include "dico/spelling_variants.h"

namespace quilor::dico {
namespace {

bool Has(const std::vector<std::string>& v, const std::string& w) {
  return std::find(v.begin(), v.end(), w) != v.end();
}

TEST(SpellingVariants, RegularDifferencesGiveTheAmericanCandidates) {
  EXPECT_TRUE(Has(AmericanCandidates("colour"), "color"));
  EXPECT_TRUE(Has(AmericanCandidates("centres"), "centers"));
  EXPECT_TRUE(Has(AmericanCandidates("organisation"), "organization"));
  EXPECT_TRUE(Has(AmericanCandidates("analyse"), "analyze"));
  EXPECT_TRUE(Has(AmericanCandidates("defence"), "defense"));
  EXPECT_TRUE(Has(AmericanCandidates("catalogue"), "catalog"));
  EXPECT_TRUE(Has(AmericanCandidates("travelled"), "traveled"));
  EXPECT_TRUE(Has(AmericanCandidates("judgement"), "judgment"));
  EXPECT_TRUE(Has(AmericanCandidates("manoeuvre"), "maneuver"));  // two differences at once
  EXPECT_TRUE(AmericanCandidates("dog").empty());
  EXPECT_FALSE(Has(AmericanCandidates("colour"), "colour"));
}

TEST(SpellingVariants, OnlyWordsOfOneListArePaired) {
  const auto british =
      ParseSpellingList("colour\ncentre\r\ncatalogue\ngrey\norganisation\nthe\nLondon\ncolour's\ncaf\xC3\xA9\n");
  EXPECT_EQ(british.size(), 6u);  // names, possessives and accented words are left out
  const auto american = ParseSpellingList("color\ncenter\ncatalogue\ncatalog\ngray\ngrey\norganization\nthe\n");
  const auto pairs = PairSpellings(british, american);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"centre", "center"}, {"colour", "color"}, {"organisation", "organization"}};
  EXPECT_EQ(pairs, expected);  // catalogue and grey are in both lists
}

}  // namespace
}  // namespace quilor::dico
