#include "engine/bursts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/engine/burst_text_builder.h"

namespace quilor {
namespace {

using testing_words::Category;
using testing_words::TextBuilder;

// Ordinals of the nodes whose position is in `positions`, in order.
std::vector<size_t> OrdinalsOf(const TWordList& list, const std::vector<int32_t>& positions) {
  std::vector<size_t> out;
  size_t ordinal = 0;
  for (const TWordNode* n = list.First(); n != list.Tail(); n = TWordList::NextNode(n), ++ordinal)
    for (int32_t p : positions)
      if (n->position == p && n->text[0] != '/') out.push_back(ordinal);
  return out;
}

// Occurrences of class `cls` at the given positions in a text of n words.
void PlantClass(TWordList& list, int32_t n, uint32_t cls, const std::vector<int32_t>& positions) {
  TextBuilder b(list);
  for (int32_t p : positions) {
    ASSERT_TRUE(b.FillTo(p));
    ASSERT_TRUE(b.Class(cls));
  }
  ASSERT_TRUE(b.FillTo(n + 1));
}

TEST(BurstParameters, SizeSpanAndBandFollowTheLengthOfTheText) {
  EXPECT_EQ(BurstParametersFor(4999).minSize, 3u);
  EXPECT_EQ(BurstParametersFor(4999).maxSpan, 2499u);
  EXPECT_EQ(BurstParametersFor(5000).minSize, 4u);
  EXPECT_EQ(BurstParametersFor(5000).maxSpan, 1250u);
  EXPECT_DOUBLE_EQ(BurstParametersFor(100000).bandFactor, 3.7);
  EXPECT_NEAR(BurstParametersFor(1000).bandFactor, 1.95, 0.01);
  EXPECT_DOUBLE_EQ(BurstParametersFor(101).bandFactor, 1.5);
  // One-sided: far fewer occurrences than expected is no burst.
  EXPECT_FALSE(IsDenserThanExpected(3, 100, 0.25, 2));
  EXPECT_TRUE(IsDenserThanExpected(6, 0.05, 0.001, 2));
  EXPECT_EQ(MinimumEpisodeSpan(1000), 4);
  EXPECT_EQ(MinimumEpisodeSpan(65000), 260);
}

TEST(Bursts, DenseClusterIsABurstMarkedOnItsOwnWords) {
  TWordList list;
  const std::vector<int32_t> sparse = {100, 1900};
  const std::vector<int32_t> cluster = {1000, 1002, 1004, 1006, 1008, 1010};
  std::vector<int32_t> all = sparse;
  all.insert(all.begin() + 1, cluster.begin(), cluster.end());
  PlantClass(list, 2000, 42, all);
  TBurstResults r;
  FindBurstsAndEpisodes(list, {}, r);
  ASSERT_EQ(r.bursts.size(), 1u);
  const TBurstRecord& b = r.bursts[0];
  EXPECT_EQ(b.itemId, 42);
  EXPECT_EQ(b.count, 6u);
  EXPECT_EQ(b.firstPosition, 1000u);
  EXPECT_EQ(b.lastPosition, 1010u);
  EXPECT_DOUBLE_EQ(b.meanPosition, 1005.0);
  EXPECT_EQ(r.classBurstCount, 1u);
  EXPECT_TRUE(r.episodes.empty());  // fewer than 4 bursts
  const auto o = OrdinalsOf(list, cluster);
  ASSERT_EQ(o.size(), 6u);
  const std::vector<uint8_t> marks = {1, 2, 2, 2, 2, 3};
  const std::vector<uint8_t> ranks = {1, 2, 3, 0, 0, 6};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(r.BurstMarkAt(o[i]), marks[i]) << i;
    EXPECT_EQ(r.RankMarkAt(o[i]), ranks[i]) << i;
  }
  // Only the burst's words carry marks: the sparse ones around it, which the
  // rejected runs went through, have none.
  for (size_t ord : OrdinalsOf(list, sparse)) {
    EXPECT_EQ(r.BurstMarkAt(ord), 0) << ord;
    EXPECT_EQ(r.RankMarkAt(ord), 0) << ord;
  }
}

TEST(Bursts, SparseRunAfterAFrequentStretchIsNoBurst) {
  TWordList list;
  std::vector<int32_t> positions;
  for (int32_t p = 4; p <= 1600; p += 4) positions.push_back(p);
  positions.push_back(1800);
  positions.push_back(1999);
  PlantClass(list, 2000, 7, positions);
  TBurstResults r;
  FindBurstsAndEpisodes(list, {}, r);
  EXPECT_TRUE(r.bursts.empty());
  for (uint8_t m : r.burstMarks) EXPECT_EQ(m, 0);
  for (uint8_t m : r.rankMarks) EXPECT_EQ(m, 0);
}

TEST(Bursts, ShortTextsAndLongTextsGetNone) {
  for (int32_t n : {100, 70000}) {
    TWordList list;
    std::vector<int32_t> positions;
    for (int32_t p = 10; p < 30; p += 2) positions.push_back(p);
    PlantClass(list, n, 3, positions);
    TBurstResults r;
    ComputeBurstResults(list, {}, r);
    EXPECT_TRUE(r.bursts.empty()) << n;
    EXPECT_TRUE(r.episodes.empty()) << n;
  }
  TWordList empty;
  TBurstResults r;
  ComputeBurstResults(empty, {}, r);
  EXPECT_TRUE(r.bursts.empty());
  EXPECT_EQ(r.candidateCount, 0u);
}

TEST(Bursts, ThreeOccurrencesMakeABurstOnlyInShortTexts) {
  for (int32_t n : {3000, 6000}) {
    TWordList list;
    PlantClass(list, n, 9, {1000, 1001, 1002});
    TBurstResults r;
    FindBurstsAndEpisodes(list, {}, r);
    EXPECT_EQ(r.bursts.size(), n < 5000 ? 1u : 0u) << n;
    // The run grew dense but was too short for a long text: no word keeps a mark.
    const bool marked = std::any_of(r.burstMarks.begin(), r.burstMarks.end(), [](uint8_t m) { return m != 0; }) ||
                        std::any_of(r.rankMarks.begin(), r.rankMarks.end(), [](uint8_t m) { return m != 0; });
    EXPECT_EQ(marked, n < 5000) << n;
  }
}

TEST(Bursts, CategoryItemsAndPersons) {
  TWordList list;
  TextBuilder b(list);
  const TWordCategoryData connector = Category(kClassConnector, 2);  // cause
  const TWordCategoryData timeLike = Category(kClassConnector, 4);   // not an item
  const TWordCategoryData firstPerson = Category(kClassPronoun, 3, 1);
  ASSERT_TRUE(b.Filler(200));
  for (int i = 0; i < 5; ++i) {
    b.Word(connector);
    b.Word(timeLike);
    b.Word(firstPerson);
  }
  ASSERT_TRUE(b.Filler(500));
  TBurstResults r;
  FindBurstsAndEpisodes(list, {}, r);
  ASSERT_EQ(r.bursts.size(), 2u);
  std::vector<int32_t> ids = {r.bursts[0].itemId, r.bursts[1].itemId};
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(ids, (std::vector<int32_t>{PersonItem(1), ConnectorItem(2)}));
  EXPECT_EQ(r.classBurstCount, 0u);
}

// Bursts of classes 1001, 1002, ... in a text of n words, one class per
// burst, each at its own positions (the first and the last are the burst's
// bounds).
void PlantBursts(TWordList& list, int32_t n, const std::vector<std::vector<int32_t>>& bursts) {
  std::vector<std::pair<int32_t, uint32_t>> words;
  for (size_t i = 0; i < bursts.size(); ++i)
    for (int32_t p : bursts[i]) words.push_back({p, static_cast<uint32_t>(1001 + i)});
  std::sort(words.begin(), words.end());
  TextBuilder b(list);
  for (const auto& [p, cls] : words) {
    ASSERT_TRUE(b.FillTo(p));
    ASSERT_TRUE(b.Class(cls));
    ASSERT_EQ(b.Position(), p);
  }
  ASSERT_TRUE(b.FillTo(n + 1));
}

struct ExpectedEpisode {
  uint32_t first, last, bursts;
  bool operator==(const ExpectedEpisode&) const = default;
};
void PrintTo(const ExpectedEpisode& e, std::ostream* os) {
  *os << "(" << e.first << ".." << e.last << ", " << e.bursts << ")";
}

// The episodes of the planted bursts, every one of them found.
std::vector<ExpectedEpisode> EpisodesOf(int32_t n, const std::vector<std::vector<int32_t>>& bursts,
                                        TBurstResults* out = nullptr) {
  TWordList list;
  PlantBursts(list, n, bursts);
  TBurstResults r;
  FindBurstsAndEpisodes(list, {}, r);
  EXPECT_EQ(r.bursts.size(), bursts.size());
  std::vector<ExpectedEpisode> episodes;
  for (const TEpisodeRecord& e : r.episodes) episodes.push_back({e.firstPosition, e.lastPosition, e.burstCount});
  if (out) *out = r;
  return episodes;
}

// The walk over the burst marks, worked out by hand (n = 2000: a rise of
// more than 1 cuts, step 8). Marks: 100 A starts (level 1), 200 B starts
// (2), 300 A ends (1), 400 C starts right after an end, 2 above the base 0:
// a cut is pending and the base is 2; 600 B ends, the level 1 is under the
// base: the cut opens episode 2 after 600 (episode 1 spans 599 >= 8), the
// base is 1; 800 C ends under it: episode 2 ends there. 1500 D starts after
// an end but only 1 above the base: no cut. The rest is the last episode.
TEST(Episodes, ARiseAfterAnEndCutsWhereTheLevelFallsUnderItGolden) {
  const std::vector<std::vector<int32_t>> bursts = {
      {100, 210, 300}, {200, 390, 600}, {400, 610, 800}, {1500, 1600, 1700}};
  TBurstResults r;
  EXPECT_EQ(EpisodesOf(2000, bursts, &r), (std::vector<ExpectedEpisode>{{1, 600, 2}, {601, 800, 1}, {801, 2000, 1}}));
  // Means 203.3 and 396.7 in episode 1, 603.3 in 2, 1600 in 3.
  ASSERT_EQ(r.bursts.size(), 4u);
  EXPECT_EQ(r.bursts[0].episode, 1u);
  EXPECT_EQ(r.bursts[1].episode, 1u);
  EXPECT_EQ(r.bursts[2].episode, 2u);
  EXPECT_EQ(r.bursts[3].episode, 3u);
  EXPECT_DOUBLE_EQ(r.meanBurstSize, 3.0);
  for (size_t i = 1; i < r.bursts.size(); ++i) EXPECT_LE(r.bursts[i - 1].meanPosition, r.bursts[i].meanPosition);
  // The results object numbers its episodes from 1.
  TAnalysisResults results(2000, TakeRunSettings(*Options));
  StoreBurstResults(r, results);
  EXPECT_EQ(results.BurstCount, 4u);
  EXPECT_EQ(results.EpisodeCount, 3u);
  ASSERT_NE(results.Episode(2), nullptr);
  EXPECT_EQ(+results.Episode(2)->firstPosition, 601u);
  EXPECT_EQ(results.Episode(4), nullptr);

  // Without D, the rest of the text after 800 holds no burst: it is no
  // episode. A burst before A (50..70) starts and ends at level 0: no cut.
  EXPECT_EQ(EpisodesOf(2000, {{50, 60, 70}, {100, 210, 300}, {200, 390, 600}, {400, 610, 800}}),
            (std::vector<ExpectedEpisode>{{1, 600, 3}, {601, 800, 1}}));
}

// n = 6000: a cut needs a rise of more than 4 (bursts of 4 words or more,
// step 24). Five bursts start at 100..140; A ends at 300 (level 4); F starts
// at 450: level 5, 5 above the base, a cut is pending; B ends at 500 under
// the base 5: episode 2 starts after 500 and runs to the last end under the
// base, F's at 700. G stands alone: the last episode.
TEST(Episodes, OnlyARiseOfMoreThanTheMinimumCuts) {
  const std::vector<int32_t> a = {100, 200, 250, 300}, b = {110, 210, 260, 500}, c = {120, 220, 270, 520},
                             d = {130, 230, 280, 540}, e = {140, 240, 290, 560}, f = {450, 600, 650, 700},
                             g = {3000, 3050, 3100, 3150};
  EXPECT_EQ(EpisodesOf(6000, {a, b, c, d, e, f, g}),
            (std::vector<ExpectedEpisode>{{1, 500, 5}, {501, 700, 1}, {701, 6000, 1}}));
  // Without E the rise at F is 4: no cut at all, and the text is one
  // episode (not a first one of 30 words without bursts).
  EXPECT_EQ(EpisodesOf(6000, {a, b, c, d, f, g}), (std::vector<ExpectedEpisode>{{1, 6000, 6}}));
}

// n = 4999: step 19. A, B start; A ends; C starts: cut pending; B ends at
// `cut`, the first cut. At 19 episode 1 spans 18 positions: no new episode,
// it runs on to C's end and to the next cut, 160, where it spans enough.
// At 20 it spans 19: episode 2 starts at 21 and runs on over the second
// group (its cut at 160 finds episode 2 spanning 21..24, too short). The
// rest after 180 has no burst.
TEST(Episodes, ACutOpensAnEpisodeOnlyWhenTheCurrentOneSpansTheStep) {
  ASSERT_EQ(MinimumEpisodeSpan(4999), 19);
  const std::vector<std::vector<int32_t>> second = {{100, 105, 130}, {110, 150, 160}, {140, 170, 180}};
  auto withFirstGroup = [&](int32_t cut) {
    std::vector<std::vector<int32_t>> bursts = {
        {cut - 7, cut - 5, cut - 3}, {cut - 6, cut - 1, cut}, {cut - 2, cut + 2, cut + 4}};
    bursts.insert(bursts.end(), second.begin(), second.end());
    return bursts;
  };
  EXPECT_EQ(EpisodesOf(4999, withFirstGroup(19)), (std::vector<ExpectedEpisode>{{1, 160, 5}, {161, 180, 1}}));
  // Means 16, 17.7 in episode 1; 21.3 and the second group in episode 2.
  EXPECT_EQ(EpisodesOf(4999, withFirstGroup(20)), (std::vector<ExpectedEpisode>{{1, 20, 2}, {21, 180, 4}}));
}

// Units of three bursts every 24 words from word 10, each with a cut: A
// u..u+3, B u+1..u+6, C u+4..u+8 (the cut at B's end u+6, the episode's end
// at C's, u+8). Episode 1 ends at the second unit's cut (the first finds it
// spanning 15 < 19), episode 2 at the second unit's end, too short at the
// third unit's cut; from there every unit ends one. The cap stops the
// opening; the last episode then runs to the end of the text.
TEST(Episodes, AtTheCapNoEpisodeIsOpenedAndTheLastRunsToTheEnd) {
  std::vector<std::vector<int32_t>> bursts;
  for (int32_t u = 10; u + 8 <= 4870; u += 24) {
    bursts.push_back({u, u + 2, u + 3});
    bursts.push_back({u + 1, u + 5, u + 6});
    bursts.push_back({u + 4, u + 7, u + 8});
  }
  const auto episodes = EpisodesOf(4999, bursts);
  ASSERT_EQ(episodes.size(), kMaxEpisodes);
  const auto unitEnd = [](uint32_t j) { return 18 + 24 * j; };
  // Unit 1's bursts have their means at 35.7, 38 and 40.3: episode 1.
  EXPECT_EQ(episodes[0], (ExpectedEpisode{1, 40, 6}));
  EXPECT_EQ(episodes[1], (ExpectedEpisode{41, unitEnd(2), 3}));
  for (uint32_t k = 3; k < kMaxEpisodes; ++k)
    EXPECT_EQ(episodes[k - 1], (ExpectedEpisode{unitEnd(k - 1) + 1, unitEnd(k), 3})) << k;
  EXPECT_EQ(episodes.back(), (ExpectedEpisode{unitEnd(kMaxEpisodes - 1) + 1, 4999,
                                              static_cast<uint32_t>(bursts.size()) - 6 - 3 * (kMaxEpisodes - 2)}));
}

TEST(Episodes, EveryEpisodeIsSoundAndSpansTheStep) {
  // Many small clusters, some closer together than an episode may be short.
  TWordList list;
  TextBuilder b(list);
  uint32_t cls = 100;
  for (int32_t start = 20; start < 2900; start += (start % 3 == 0 ? 25 : 140)) {
    ASSERT_TRUE(b.FillTo(start));
    for (int i = 0; i < 4; ++i) {
      b.Class(cls);
      b.Class(cls + 1);
    }
    // A third burst starting after the first ended and ending after the
    // second: a cut.
    b.Class(cls + 2);
    b.Class(cls + 2);
    b.Class(cls + 1);
    b.Class(cls + 2);
    cls += 3;
  }
  ASSERT_TRUE(b.FillTo(3001));
  TBurstResults r;
  FindBurstsAndEpisodes(list, {}, r);
  ASSERT_GE(r.episodes.size(), 2u);
  ASSERT_LE(r.episodes.size(), kMaxEpisodes);
  uint32_t expectedFirst = 1;
  uint32_t bursts = 0;
  for (size_t i = 0; i < r.episodes.size(); ++i) {
    const TEpisodeRecord& e = r.episodes[i];
    EXPECT_EQ(+e.firstPosition, expectedFirst) << i;
    EXPECT_LE(+e.firstPosition, +e.lastPosition) << i;
    if (i + 1 < r.episodes.size()) {
      EXPECT_GE(+e.lastPosition - +e.firstPosition, 12u) << i;
    }
    expectedFirst = e.lastPosition + 1;
    bursts += e.burstCount;
  }
  EXPECT_LE(+r.episodes.back().lastPosition, 3000u);
  EXPECT_GT(+r.episodes.back().burstCount, 0);
  EXPECT_EQ(bursts, r.bursts.size());
  for (const TBurstRecord& burst : r.bursts) {
    ASSERT_GE(burst.episode, 1u);
    const TEpisodeRecord& e = r.episodes[burst.episode - 1];
    EXPECT_LE(+e.firstPosition, burst.meanPosition + 0.5);
    EXPECT_GE(+e.lastPosition, burst.meanPosition - 0.5);
  }
}

// Proposition "subject verb filler /" with the subject class `cls`.
void VerbalProposition(TextBuilder& b, uint32_t cls) {
  b.Class(cls);
  b.Word(Category(kClassVerb, 1));
  b.Filler();
  b.Mark();
}

TEST(CharacteristicPropositions, HundredCandidatesAtTwentyPercentCutAtIndexEighty) {
  EXPECT_EQ(ScoreCutoffIndex(100, 20), 80u);
  EXPECT_EQ(ScoreCutoffIndex(11, 99), 10u);
  EXPECT_EQ(ScoreCutoffIndex(100, 0), 99u);    // taken as 1
  EXPECT_EQ(ScoreCutoffIndex(100, 150), 10u);  // taken as 99
  TWordList list;
  TextBuilder b(list);
  // The subject class is met 100 times in verbal propositions and 28 times
  // after them: the k-th proposition's novelty is trunc((1 - (k-1)/128) x 100),
  // falling with k, so the scores sorted highest first follow k.
  for (int i = 0; i < 100; ++i) VerbalProposition(b, 5);
  for (int i = 0; i < 28; ++i) {
    b.Class(5);
    b.Filler(2);
    b.Mark();
  }
  auto score = [](int k) {
    const double novelty = std::trunc((1 - (k - 1) / 128.0) * 100);
    return static_cast<uint8_t>((0 + 0.7 * novelty) / 2);
  };
  TBurstResults r;
  TBurstSettings settings;
  settings.characteristicPercent = 20;
  FindCharacteristicPropositions(list, settings, r);
  ASSERT_EQ(r.candidateCount, 100u);
  EXPECT_EQ(r.scoreCutoff, score(81));
  uint32_t kept = 0;
  for (int k = 1; k <= 100; ++k) {
    EXPECT_EQ(r.propositionScores[static_cast<size_t>(k - 1)], score(k)) << k;
    if (score(k) >= score(81)) ++kept;
  }
  EXPECT_GE(kept, 81u);
  EXPECT_EQ(r.characteristicCount, kept);
  // The subjects of the kept propositions carry the score; the others nothing.
  size_t ordinal = 0;
  uint32_t proposition = 1;
  for (const TWordNode* n = list.First(); n != list.Tail(); n = TWordList::NextNode(n), ++ordinal) {
    if (n->text[0] == '/') {
      ++proposition;
      continue;
    }
    if (proposition <= kept && n->text[0] == 'c') {
      EXPECT_EQ(r.RankMarkAt(ordinal), r.propositionScores[proposition - 1]) << proposition;
    } else {
      EXPECT_EQ(r.RankMarkAt(ordinal), 0) << proposition;
    }
  }
}

TEST(CharacteristicPropositions, FewCandidatesAreAllKeptAndOtherMarksCleared) {
  TWordList list;
  TextBuilder b(list);
  // Proposition 1 has no verb: no candidate, but it meets class 20,001.
  b.Class(20001);
  b.Filler(30);
  b.Mark();
  for (uint32_t c = 1; c <= 5; ++c) VerbalProposition(b, c);
  // Persons and classes share no counts: person 1 is met here for the first time.
  b.Word(Category(kClassPronoun, 3, 1));
  b.Word(Category(kClassVerb, 1));
  b.Mark();
  TBurstResults r;
  FindBurstsAndEpisodes(list, {}, r);
  r.rankMarks[0] = 9;  // a stale mark outside every candidate
  FindCharacteristicPropositions(list, {}, r);
  EXPECT_EQ(r.candidateCount, 6u);
  EXPECT_EQ(r.characteristicCount, 6u);
  EXPECT_EQ(r.propositionNumbers, (std::vector<uint32_t>{2, 3, 4, 5, 6, 7}));
  // A subject met for the first time: novelty 100, score 70, halved 35.
  for (uint8_t s : r.propositionScores) EXPECT_EQ(s, 35);
  EXPECT_EQ(r.RankMarkAt(0), 0);
}

TEST(CharacteristicPropositions, CauseAndLeadingConnectorRaiseTheScore) {
  TWordList list;
  TextBuilder b(list);
  b.Word(Category(kClassConnector, 2));  // a cause, before the subject
  VerbalProposition(b, 1);
  VerbalProposition(b, 2);
  b.Filler(30);
  TBurstResults r;
  FindCharacteristicPropositions(list, {}, r);
  ASSERT_EQ(r.propositionScores.size(), 2u);
  EXPECT_EQ(r.propositionScores[0], static_cast<uint8_t>(70 * 1.1 * 1.3 / 2));
  EXPECT_EQ(r.propositionScores[1], 35);
}

}  // namespace
}  // namespace quilor
