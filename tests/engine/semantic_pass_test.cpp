#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/class_file.h"
#include "core/name_index.h"
#include "engine/analysis_results.h"
#include "engine/category_counters.h"
#include "engine/ontology_engine.h"
#include "core/options.h"
#include "engine/results_report.h"
#include "engine/selection.h"
#include "engine/semantic_pass.h"
#include "engine/word_list.h"
#include "core/gauge.h"
#include "ontology_test_support.h"
#include "platform/message_ui.h"
#include "platform/text_encoding.h"

namespace quilor {
namespace {

// The nouns DrawnText draws from.
const std::vector<std::string> kDrawnNouns = {"dog", "cash", "bank", "tree", "stone", "river", "horse", "coin"};

// A text of count draws of a fixed sequence (seed), each a number below
// picks: one below kDrawnNouns' size is that noun, any other what
// other(pick, draw) gives.
std::string DrawnText(uint32_t seed, int count, uint32_t picks,
                      const std::function<std::string(uint32_t, int)>& other) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    seed = seed * 1103515245u + 12345u;
    const uint32_t pick = (seed >> 16) % picks;
    text += pick < kDrawnNouns.size() ? kDrawnNouns[pick] + " " : other(pick, i);
  }
  return text;
}

// Words of a text: "/" is a proposition mark, a word ending in "!" a verb,
// a word ending in "~" an adjective, any other word a noun.
class SemanticPassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Options->ResetSettings();
    OntologyEngine = std::make_unique<TOntologyEngine>();
    ASSERT_TRUE(OntologyEngine->LoadBytes(WriteSemanticDictionary(testing_support::MakeMiniDictionary())).Ok());
    TextWords.Clear();
    ClearCategoryCounters();
  }
  void TearDown() override {
    AnalysisResults.reset();
    OntologyEngine.reset();
    TextWords.Clear();
    ClearCategoryCounters();
    Options->ResetSettings();
  }
  void Text(const std::string& text) {
    std::istringstream in(text);
    std::string w;
    int32_t position = 0;
    while (in >> w) {
      TWordCategoryData d;
      if (w == "/") {
        ASSERT_TRUE(TextWords.Append("/", " ", 0, 1, position, &d));
        CountCategory("/", d);
        continue;
      }
      if (w.back() == '!') {
        w.pop_back();
        d.Category.MajorClass = kClassVerb;
        d.Category.Subclass = 1;
      } else if (w.back() == '~') {
        w.pop_back();
        d.Category.MajorClass = kClassAdjective;
        d.Category.Subclass = 1;
      } else {
        d.Category.MajorClass = kClassSubstantive;
      }
      ASSERT_TRUE(TextWords.Append(w.c_str(), " ", 0, 1, ++position, &d));
      CountCategory(w, d);
    }
    ComputePercentages();
  }
  // parts as RunSemanticPass takes it.
  TAnalysisResults& Run(size_t parts = 0, uint32_t minimumClassCount = 1) {
    AnalysisResults = std::make_unique<TAnalysisResults>(TextWords.Count(), TakeRunSettings(*Options));
    AnalysisResults->MinimumClassCount = minimumClassCount;
    EXPECT_TRUE(AnalysisResults->Built);
    EXPECT_TRUE(RunSemanticPass(*AnalysisResults, nullptr, parts));
    EXPECT_TRUE(AnalysisResults->ResultsReady);
    return *AnalysisResults;
  }
  void LoadScenario(const std::string& text) {
    GroupNumbering = {};
    ClassFileList file;
    bool damaged = false;
    ASSERT_TRUE(ParseClassFileText(file, text, damaged));
    OntologyEngine->LoadScenario(file, false);
  }
  uint32_t ClassOf(const std::string& word) {
    for (TWordNode* n = TextWords.First(); n != TextWords.Tail(); n = TWordList::NextNode(n))
      if (word == n->text) return n->category.ClassIds[0];
    return 0;
  }
  static std::string Words(const std::string& stem, int n) {
    std::string s;
    for (int i = 1; i <= n; ++i) s += stem + std::to_string(i) + " ";
    return s;
  }
  struct Record {
    uint32_t first, second, position, value;
    uint8_t notFirst;
  };
  static std::vector<Record> Records(TAnalysisResults& r, int level = 1) {
    std::vector<Record> out;
    r.Relations.Rewind();
    const TRelationWindow* w = nullptr;
    uint32_t position = 0, value = 0;
    uint8_t b = 0;
    while (r.Relations.Next(w, position, b, value))
      out.push_back({w->At(0, level), w->At(1, level), position, value, b});
    return out;
  }
  ScopedScriptedUi ui_;
};

TEST_F(SemanticPassTest, PropositionsOfOneTwoThreeAndThirtyItems) {
  Text("dog / dog cash / dog cash bank / " + Words("w", 30) + "/");
  TAnalysisResults& r = Run();
  const uint32_t dog = ClassOf("dog"), cash = ClassOf("cash"), bank = ClassOf("bank");
  ASSERT_TRUE(dog && cash && bank);
  EXPECT_EQ(r.Windows.Count(), 4u);
  auto records = Records(r);
  // 1 item: one record without pairs; 2 items: one pair; 3 items: the two
  // neighbouring pairs; 30 items: pairs among the first 20 only.
  ASSERT_EQ(records.size(), 1u + 1u + 2u + 81u);
  EXPECT_EQ(records[0].first, 0u);
  EXPECT_EQ(records[0].second, 0u);
  EXPECT_EQ(records[0].position, 1u);  // the first word of the proposition
  EXPECT_EQ(records[0].value, 1u);     // the position of its end mark
  EXPECT_EQ(records[1].first, dog);
  EXPECT_EQ(records[1].second, cash);
  EXPECT_EQ(records[1].notFirst, 0);
  EXPECT_EQ(records[2].first, dog);
  EXPECT_EQ(records[2].second, cash);
  EXPECT_EQ(records[2].notFirst, 0);
  EXPECT_EQ(records[3].first, cash);
  EXPECT_EQ(records[3].second, bank);
  EXPECT_EQ(records[3].notFirst, 1);
  EXPECT_EQ(records[3].position, 4u);
  EXPECT_EQ(records[3].value, 6u);

  std::map<uint32_t, int> slotOf;  // class -> item number in the long proposition
  for (int i = 1; i <= 30; ++i) slotOf[ClassOf("w" + std::to_string(i))] = i - 1;
  ASSERT_EQ(slotOf.size(), 30u);
  std::vector<std::pair<int, int>> pairs;
  for (size_t k = 4; k < records.size(); ++k) {
    pairs.push_back({slotOf.at(records[k].first), slotOf.at(records[k].second)});
    EXPECT_EQ(records[k].notFirst, k == 4 ? 0 : 1);
  }
  std::vector<std::pair<int, int>> expected;
  for (int i = 0; i <= 18; ++i) {
    expected.push_back({i, i + 1});
    for (int d = 2; d <= 5 && d <= i; ++d) expected.push_back({i - d, i});
  }
  EXPECT_EQ(pairs, expected);

  // The window keeps 21 items of the 30.
  r.Windows.Rewind();
  const TRelationWindow* w = nullptr;
  uint32_t v1 = 0, v2 = 0;
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(r.Windows.Next(w, v1, v2));
  EXPECT_EQ(w->At(20, 1), ClassOf("w21"));
  EXPECT_EQ(w->At(0, 1), ClassOf("w1"));
  EXPECT_EQ(v1, 7u);
  EXPECT_EQ(v2, 36u);
}

// The pass finds each window's first word as it goes: the words a walk over
// the finished text finds, propositions without items and marks skipped.
TEST_F(SemanticPassTest, EachWindowKeepsTheFirstWordOfItsProposition) {
  Text("/ / dog cash / run! / bank dog stone / / cash bank / dog");
  TAnalysisResults& r = Run();
  ASSERT_EQ(r.Windows.Count(), 4u);
  ASSERT_EQ(r.WindowWords.size(), 4u);
  std::vector<std::string> texts;
  for (const TWordNode* n : r.WindowWords) texts.push_back(n ? n->text : "(none)");
  EXPECT_EQ(texts, (std::vector<std::string>{"dog", "bank", "cash", "dog"}));
  const TWindowRelationRecords walked(r.Windows, TextWords);
  for (size_t i = 0; i < r.WindowWords.size(); ++i) EXPECT_EQ(r.WindowWords[i], walked.RecordWord(i)) << i;
}

// Pairs and class counts computed again from the word stream the pass left.
TEST_F(SemanticPassTest, CountsAgreeWithAnIndependentCountOverTheWords) {
  std::string text = DrawnText(7, 4000, 11, [](uint32_t pick, int) { return pick == 8 ? "runs! " : "/ "; });
  text += "/";
  Text(text);
  TAnalysisResults& r = Run();

  std::map<std::pair<uint32_t, uint32_t>, uint32_t> expected;
  std::map<uint32_t, uint32_t> occurrences;
  std::vector<uint32_t> items;
  auto close = [&] {
    const int n = static_cast<int>(std::min<size_t>(items.size(), 20));
    if (n == 2) ++expected[{items[0], items[1]}];
    if (n >= 3)
      for (int i = 0; i <= n - 2; ++i) {
        ++expected[{items[i], items[i + 1]}];
        for (int d = 2; d <= 5 && d <= i; ++d) ++expected[{items[i - d], items[i]}];
      }
    items.clear();
  };
  for (TWordNode* n = TextWords.First(); n != TextWords.Tail(); n = TWordList::NextNode(n)) {
    if (std::string(n->text) == "/") {
      close();
    } else if (IsSubstantive(n->category.Category)) {
      ++occurrences[n->category.ClassIds[0]];
      if (HasClassifiedMark(n->category)) items.push_back(n->category.ClassIds[0]);
    }
  }
  uint32_t first, second, count;
  size_t listed = 0;
  uint32_t previous = UINT32_MAX;
  for (size_t i = 0; r.Relations.KindEntry(1, i, first, second, count); ++i, ++listed) {
    EXPECT_EQ(count, (expected[{first, second}])) << first << "," << second;
    EXPECT_LE(count, previous);
    previous = count;
  }
  EXPECT_EQ(listed, expected.size());
  for (auto [c, n] : occurrences) EXPECT_EQ(OntologyEngine->ClassOccurrences(1, static_cast<int32_t>(c)), n);
  // The ranking of level 1 follows the counts.
  ASSERT_GT(OntologyEngine->RankedClassTotal(1), 0);
  for (int k = 2; k <= OntologyEngine->RankedClassTotal(1); ++k)
    EXPECT_GE(OntologyEngine->RankedClassOccurrences(1, k - 1), OntologyEngine->RankedClassOccurrences(1, k));

  // A second pass over the same words gives the same relations.
  std::vector<std::pair<std::pair<uint32_t, uint32_t>, uint32_t>> firstRun, secondRun;
  for (size_t i = 0; r.Relations.KindEntry(1, i, first, second, count); ++i)
    firstRun.push_back({{first, second}, count});
  TAnalysisResults& again = Run();
  for (size_t i = 0; again.Relations.KindEntry(1, i, first, second, count); ++i)
    secondRun.push_back({{first, second}, count});
  EXPECT_EQ(std::map(firstRun.begin(), firstRun.end()), std::map(secondRun.begin(), secondRun.end()));
}

TEST_F(SemanticPassTest, RetainedNounsAreCountedOverTheWholeTextWithTheirPercentages) {
  Text("dog cash / bank runs! / dog / the~ /");
  RunCounts.categories[kCodeReferentSecondary] = 5;  // left by loading; the pass owns these codes
  TAnalysisResults& r = Run();
  EXPECT_EQ(r.RetentionCount, 4u);
  for (int code : {kCodeReferent, kCodeReferentNucleus, kCodeReferentPrincipal}) {
    EXPECT_EQ(RunCounts.categories[code], 4u) << code;
    EXPECT_DOUBLE_EQ(RunCounts.percentages[code], 4.0 / 6.0 * 100.0) << code;
  }
  EXPECT_EQ(RunCounts.categories[kCodeReferentSecondary], 0u);
  EXPECT_DOUBLE_EQ(RunCounts.percentages[kCodeReferentSecondary], 0.0);
}

TEST_F(SemanticPassTest, ItemsBeforeTheFirstVerbFeedThePreVerbCounts) {
  Text("dog runs! cash / bank dog / cash /");
  TAnalysisResults& r = Run();
  const uint32_t dog = ClassOf("dog"), cash = ClassOf("cash");
  EXPECT_EQ(r.PreVerbCount(1, dog), 2u);   // before the verb, and in a proposition without one
  EXPECT_EQ(r.PreVerbCount(1, cash), 1u);  // only where no verb came first
  EXPECT_EQ(r.PreVerbCount(3, 1), 2u);     // dog's class of level 3
  EXPECT_EQ(r.PreVerbCount(0, dog), 0u);
  EXPECT_EQ(r.PreVerbCount(1, 70000), 0u);
  // Short-verbal: a verb and at most 3 items.
  r.Relations.RewindKind(1);
  uint32_t count, position;
  uint8_t shortVerbal = 9;
  const TRelationWindow* w;
  std::map<uint32_t, uint8_t> byPosition;
  while (r.Relations.NextOfKind(1, count, shortVerbal, position, w)) byPosition[position] = shortVerbal;
  EXPECT_EQ(byPosition[1], 1);  // "dog runs cash"
  EXPECT_EQ(byPosition[4], 0);  // "bank dog": no verb
}

TEST_F(SemanticPassTest, RelationBaseOutsideItsRangeIsResetAndSavedBack) {
  Options->Set(opt::RelationBase, 7);
  Text("dog cash /");
  TAnalysisResults& r = Run();
  EXPECT_EQ(r.RelationBase, 1);
  EXPECT_EQ(Options->Get(opt::RelationBase), 1);
  EXPECT_EQ(r.ItemName(-kCodeSubstantive), CategoryLabel(kCodeSubstantive));
  EXPECT_EQ(r.ItemName(static_cast<int32_t>(ClassOf("dog"))), "dog");
  EXPECT_EQ(r.ItemOccurrences(static_cast<int32_t>(ClassOf("dog"))), 1u);
  EXPECT_EQ(r.ItemOccurrences(-kCodeWord), 2u);
  EXPECT_EQ(r.ItemName(-200), "");
  EXPECT_EQ(r.ItemOccurrences(-200), 0u);
  EXPECT_DOUBLE_EQ(TAnalysisResults::RatioToSmaller(6, 3, 2), 3.0);
  EXPECT_DOUBLE_EQ(TAnalysisResults::RatioToSmaller(6, 0, 2), 0.0);
  EXPECT_EQ(r.BurstCount, 0u);  // far too short a text
}

TEST_F(SemanticPassTest, TheRunKeepsTheOptionsItStartedWith) {
  Text("dog cash / dog /");
  AnalysisResults = std::make_unique<TAnalysisResults>(TextWords.Count(), TakeRunSettings(*Options));
  // The options change once the run has started: it keeps the ones it took.
  Options->Set(opt::RelationBase, uint16_t{2});
  ASSERT_TRUE(RunSemanticPass(*AnalysisResults));
  EXPECT_EQ(AnalysisResults->RelationBase, 1);
}

TEST_F(SemanticPassTest, ScenarioEntriesOfNounsBecomeLevelFourItems) {
  LoadScenario("G#0V\t1\tpets\r\n0#1#\tdog\tpets\r\n");
  ASSERT_TRUE(OntologyEngine->IsScenarioLoaded());
  Text("dog cash / dog /");
  TAnalysisResults& r = Run();
  r.Windows.Rewind();
  const TRelationWindow* w = nullptr;
  uint32_t v1, v2;
  ASSERT_TRUE(r.Windows.Next(w, v1, v2));
  EXPECT_EQ(w->At(0, 4), 1u);  // dog in the group "pets"
  EXPECT_EQ(w->At(1, 4), 0u);
  EXPECT_EQ(OntologyEngine->ScenarioEntryOccurrences(1), 2u);
  EXPECT_EQ(OntologyEngine->RankedClassTotal(4), 1);
  EXPECT_EQ(OntologyEngine->RankedClassName(4, 1), "pets");
}

TEST_F(SemanticPassTest, VerbsCountTheirScenarioEntryAndNumeralsBecomeNamedNouns) {
  NameIndexWriter verbs(7, 29), adjectives(7, 29);
  const int run = verbs.AddName("run");
  const int three = adjectives.AddName("three");
  ASSERT_GT(run, 0);
  ASSERT_GT(three, 0);
  VerbIndex = &verbs.Index();
  AdjectiveIndex = &adjectives.Index();
  OntologyEngine->SetVerbIndex({[](const std::string& n) { return n == "run" ? 1u : 0u; }, 1});
  LoadScenario("G#0V\t1\tpets\r\nV#1#\trun\tpets\r\n");  // the verb's group goes into its index entry
  Options->Set(opt::Normalisation, 1);

  TWordCategoryData verb, numeral;
  verb.Category.MajorClass = kClassVerb;
  numeral.Category.MajorClass = kClassAdjective;
  numeral.Category.Subclass = 3;
  ASSERT_TRUE(TextWords.Append("3", " ", static_cast<uint32_t>(three), 1, 1, &numeral));
  ASSERT_TRUE(TextWords.Append("runs", " ", static_cast<uint32_t>(run), 1, 2, &verb));
  TWordCategoryData mark;
  ASSERT_TRUE(TextWords.Append("/", " ", 0, 1, 2, &mark));
  TAnalysisResults& r = Run();
  VerbIndex = nullptr;
  AdjectiveIndex = nullptr;

  const TWordNode* first = TextWords.First();
  EXPECT_STREQ(first->text, "three");
  EXPECT_TRUE(IsSubstantive(first->category.Category));
  EXPECT_EQ(first->category.Category.SubField2 & 3, 3);
  const TWordNode* second = TWordList::NextNode(first);
  EXPECT_EQ(second->category.ClassIds[3], 1u);
  EXPECT_EQ(second->category.ClassMark, 1);  // an item of its proposition
  EXPECT_EQ(OntologyEngine->ScenarioEntryOccurrences(1), 1u);
  r.Windows.Rewind();
  const TRelationWindow* w = nullptr;
  uint32_t v1, v2;
  ASSERT_TRUE(r.Windows.Next(w, v1, v2));
  EXPECT_EQ(w->At(1, 4), 1u);  // the numeral noun first, then the verb's group
}

TEST_F(SemanticPassTest, AStopOnTheGaugeCancelsThePass) {
  Text("dog cash /");
  TInfoJauge& gauge = CreateInfoJauge();
  gauge.SetLetMessagesRun(false);
  ui_.ui.QueueAnswer(1);  // Yes to the stop question
  gauge.ButtonArretClick();
  AnalysisResults = std::make_unique<TAnalysisResults>(TextWords.Count(), TakeRunSettings(*Options));
  EXPECT_FALSE(RunSemanticPass(*AnalysisResults));
  EXPECT_TRUE(AnalysisResults->Cancelled);
  EXPECT_FALSE(AnalysisResults->ResultsReady);
  CloseInfoJauge();
  // Without an engine there is no pass.
  OntologyEngine.reset();
  EXPECT_FALSE(RunSemanticPass(*AnalysisResults));
}

TEST_F(SemanticPassTest, ReportListsCategoriesRankedClassesAndRelations) {
  Text("dog cash / cash dog runs! / dog cash /");
  std::string report = ResultsReport(Run());
  EXPECT_NE(report.find("# Categories\n"), std::string::npos);
  EXPECT_NE(report.find("\n54\t" + CategoryLabel(kCodeSubstantive) + "\t6\t85.71\n"), std::string::npos) << report;
  EXPECT_NE(report.find("# References\n1\tdog\t3\n2\tcash\t3\n"), std::string::npos) << report;
  // Two propositions relate dog to cash, one cash to dog.
  EXPECT_NE(report.find("# Relations: References\ndog\tcash\t2\ncash\tdog\t1\n"), std::string::npos) << report;
  EXPECT_NE(report.find("# Reference fields 1\n1\tanimal\t3\n2\tmoney\t3\n"), std::string::npos) << report;
  EXPECT_EQ(report.find("# Scenario"), std::string::npos);  // no Scenario, no section
  // Without the semantic dictionary the report holds the categories alone.
  OntologyEngine.reset();
  EXPECT_EQ(ResultsReport(*AnalysisResults), report.substr(0, report.find("# References\n")));
}

// The report's lines are written in parts on threads and joined: every
// count of parts gives the text written in one part, whose sections are
// in order (parts cut inside sections and at their headings alike).
TEST_F(SemanticPassTest, ReportWrittenInPartsIsTheReportWrittenWhole) {
  Text("dog cash / cash dog runs! / dog cash bank / bank tree stone / stone dog / river horse coin cash / coin /");
  TAnalysisResults& r = Run();
  const std::string whole = ResultsReport(r, 1);
  const size_t levels = whole.find("# References\n"), relations = whole.find("# Relations: References\n");
  ASSERT_NE(levels, std::string::npos);
  ASSERT_LT(levels, relations);
  ASSERT_GT(std::count(whole.begin(), whole.end(), '\n'), 40);
  for (size_t parts : {2u, 3u, 5u, 8u, 13u, 1000u}) EXPECT_EQ(ResultsReport(r, parts), whole) << parts;
  EXPECT_EQ(ResultsReport(r), whole);
}

// The pieces a writer takes in turn are the report, piece after piece; in
// UTF-8 they are the report converted, a name outside ASCII included.
TEST_F(SemanticPassTest, ReportPiecesInUtf8AreTheReportConverted) {
  LoadScenario("G#0V\t1\tcaf\xe9s\r\n0#1#\tdog\tcaf\xe9s\r\nG#0V\t2\tbanks\r\n0#1#\tcash\tbanks\r\n");
  Text("dog cash / cash dog runs! / dog cash bank / bank tree stone / stone dog / river horse coin cash / coin /");
  TAnalysisResults& r = Run();
  const std::string whole = ResultsReport(r, 1);
  ASSERT_NE(whole.find("\ncaf\xe9s\tbanks\t"), std::string::npos) << whole;
  for (size_t parts : {1u, 2u, 3u, 8u, 1000u}) {
    std::string cp1252, utf8;
    for (const std::string& piece : ResultsReportParts(r, false, parts)) cp1252 += piece;
    for (const std::string& piece : ResultsReportParts(r, true, parts)) utf8 += piece;
    EXPECT_EQ(cp1252, whole) << parts;
    EXPECT_EQ(utf8, Cp1252ToUtf8(whole)) << parts;
  }
}

// What pass 3 leaves, read back whole.
struct PassOutcome {
  std::vector<std::vector<uint32_t>> records;  // every field of every relation record
  std::vector<std::vector<uint32_t>> windows;  // values and items of every window
  std::vector<int32_t> windowWords;            // the position of each window's first word
  std::vector<std::vector<uint32_t>> words;    // classes and mark of every word
  std::vector<uint32_t> preVerb, entries;      // pre-verb counts of the classes met, Scenario counts
  std::array<uint32_t, 4> best{};              // the engine's current reading
  uint32_t retained = 0;
  std::string report;
};

PassOutcome OutcomeOf(TAnalysisResults& r) {
  PassOutcome o;
  for (size_t i = 0; i < r.Relations.Count(); ++i) {
    const TRelationRecord& x = *r.Relations.Record(i);
    std::vector<uint32_t> fields(std::begin(x.first), std::end(x.first));
    fields.insert(fields.end(), std::begin(x.second), std::end(x.second));
    fields.insert(fields.end(), {x.position, x.value, x.byteA, x.byteB});
    o.records.push_back(fields);
  }
  r.Windows.Rewind();
  const TRelationWindow* w = nullptr;
  uint32_t v1 = 0, v2 = 0;
  while (r.Windows.Next(w, v1, v2)) {
    std::vector<uint32_t> window{v1, v2};
    window.insert(window.end(), std::begin(w->cells), std::end(w->cells));
    o.windows.push_back(window);
  }
  for (const TWordNode* n : r.WindowWords) o.windowWords.push_back(n ? n->position : -1);
  for (TWordNode* n = TextWords.First(); n != TextWords.Tail(); n = TWordList::NextNode(n)) {
    const TWordCategoryData& d = n->category;
    o.words.push_back({d.ClassIds[0], d.ClassIds[1], d.ClassIds[2], d.ClassIds[3], d.ClassMark});
    for (int l = 1; l <= 4; ++l) o.preVerb.push_back(r.PreVerbCount(l, d.ClassIds[l - 1]));
  }
  for (uint32_t e = 1; e <= OntologyEngine->ScenarioEntryCount(); ++e)
    o.entries.push_back(OntologyEngine->ScenarioEntryOccurrences(e));
  o.best = OntologyEngine->BestClasses();
  o.retained = r.RetentionCount;
  o.report = ResultsReport(r, 1);
  return o;
}

// Pass 3 in runs of whole propositions at once gives what one run gives,
// whatever the runs' count: records, windows and their first words in text
// order, the counts and the engine's reading of the last run. The text has
// empty propositions, runs of marks, propositions longer than a window,
// Scenario items, nouns too rare to be kept, and ends without a mark.
TEST_F(SemanticPassTest, PropositionsCollectedInParallelRunsAreThoseOfOneRun) {
  std::string text = DrawnText(11, 3000, 14, [](uint32_t pick, int i) {
    std::string other;
    if (pick == 8) other = "runs! ";
    else if (pick == 9) other = "rare" + std::to_string(i % 97) + " ";
    else if (pick == 10 && i % 5 == 0)
      for (int k = 0; k < 25; ++k) other += kDrawnNouns[static_cast<size_t>(i + k) % kDrawnNouns.size()] + " ";
    else other = "/ ";
    return other;
  });
  text += "/ / dog cash bank";
  const std::string scenario =
      "G#0V\t1\tpets\r\n0#1#\tdog\tpets\r\n0#1#\thorse\tpets\r\nG#0V\t2\tthings\r\n0#1#\tstone\tthings\r\n";
  auto outcome = [&](unsigned parts) {
    OntologyEngine = std::make_unique<TOntologyEngine>();
    EXPECT_TRUE(OntologyEngine->LoadBytes(WriteSemanticDictionary(testing_support::MakeMiniDictionary())).Ok());
    LoadScenario(scenario);
    EXPECT_TRUE(OntologyEngine->IsScenarioLoaded());
    TextWords.Clear();
    ClearCategoryCounters();
    Text(text);
    return OutcomeOf(Run(parts, 2));
  };
  const PassOutcome one = outcome(1);
  ASSERT_GT(one.records.size(), 1000u);
  ASSERT_GT(one.retained, 0u);
  EXPECT_GT(std::count(one.words.begin(), one.words.end(), std::vector<uint32_t>{0, 0, 0, 0, 0}), 0);
  ASSERT_GT(one.entries.size(), 1u);
  EXPECT_GT(one.entries[0], 0u);
  EXPECT_GT(one.entries[1], 0u);
  for (unsigned parts : {2u, 3u, 7u, 64u}) {
    const PassOutcome split = outcome(parts);
    EXPECT_TRUE(split.records == one.records) << "records, parts " << parts;
    EXPECT_TRUE(split.windows == one.windows) << "windows, parts " << parts;
    EXPECT_TRUE(split.windowWords == one.windowWords) << "windowWords, parts " << parts;
    EXPECT_TRUE(split.words == one.words) << "words, parts " << parts;
    EXPECT_TRUE(split.preVerb == one.preVerb) << "preVerb, parts " << parts;
    EXPECT_TRUE(split.entries == one.entries) << "entries, parts " << parts;
    EXPECT_TRUE(split.best == one.best) << "best, parts " << parts;
    EXPECT_TRUE(split.retained == one.retained) << "retained, parts " << parts;
    EXPECT_TRUE(split.report == one.report) << "report, parts " << parts;
  }
}

// Neighbours of the words "x" in the text.
class NeighbourTest : public SemanticPassTest {
 protected:
  // A classified noun of level-1 class c at position p.
  void Noun(uint32_t c, int32_t p) {
    TWordCategoryData d;
    d.Category.MajorClass = kClassSubstantive;
    d.ClassIds[0] = c;
    d.ClassMark = 1;
    ASSERT_TRUE(TextWords.Append("n", " ", 0, 1, p, &d));
  }
  void Word(const char* text, int32_t p) {
    TWordCategoryData d;
    d.Category.MajorClass = kClassVerb;
    ASSERT_TRUE(TextWords.Append(text, " ", 0, 1, p, &d));
  }
  bool Collect() {
    AnalysisResults = std::make_unique<TAnalysisResults>(TextWords.Count(), TakeRunSettings(*Options));
    return AnalysisResults->CollectSelectionNeighbours([](const TWordNode& n) { return std::string(n.text) == "x"; });
  }
};

TEST_F(NeighbourTest, TheMostFrequentNeighboursSurviveTheCut) {
  int32_t p = 0;
  for (uint32_t c = 1; c <= 7000; ++c) {
    for (int k = 0; k < (c == 7000 ? 5 : 1); ++k) {
      Noun(c, ++p);
      Word("x", ++p);
      Noun(c == 6999 ? 6999 : 1, ++p);  // successors: class 1 often, 6999 once
      Word("/", p);
    }
  }
  ASSERT_TRUE(Collect());
  const TAnalysisResults& r = *AnalysisResults;
  ASSERT_EQ(r.PredecessorCount, kMaxNeighbours);
  ASSERT_EQ(r.PredecessorList.size(), kMaxNeighbours);
  EXPECT_EQ(r.PredecessorList[0].cls, 7000u);
  EXPECT_EQ(r.PredecessorList[0].count, 5u);
  ASSERT_EQ(r.SuccessorCount, 2u);
  EXPECT_EQ(r.SuccessorList[0].cls, 1u);
  EXPECT_EQ(r.SuccessorList[0].count, 7003u);
  EXPECT_EQ(r.SuccessorList[1].cls, 6999u);
}

TEST_F(NeighbourTest, OnlyNeighboursWithinTheDistanceAndTheProposition) {
  Noun(3, 1);  // 99 positions before: too far, and replaced by the nearer one
  Noun(4, 2);  // 98 positions before
  Word("x", 100);
  Word("v", 101);
  Noun(5, 150);  // first classified word after the match
  Noun(6, 151);  // only the first counts
  Word("/", 151);
  Noun(7, 152);  // another proposition
  Word("x", 153);
  Word("/", 153);
  Word("x", 154);
  Noun(8, 253);  // 99 positions after: too far
  ASSERT_TRUE(Collect());
  const TAnalysisResults& r = *AnalysisResults;
  ASSERT_EQ(r.PredecessorCount, 2u);
  EXPECT_EQ(r.PredecessorList[0].cls, 4u);
  EXPECT_EQ(r.PredecessorList[1].cls, 7u);
  ASSERT_EQ(r.SuccessorCount, 1u);
  EXPECT_EQ(r.SuccessorList[0].cls, 5u);
}

// A noun alone before the word, exactly at the distance, is no neighbour;
// one position nearer it is.
TEST_F(NeighbourTest, ANounAloneAtTheDistanceBeforeIsNoNeighbour) {
  Noun(3, 1);
  Word("x", 1 + kNeighbourDistance);
  Word("/", 1 + kNeighbourDistance);
  Noun(4, 201);
  Word("x", 200 + kNeighbourDistance);
  ASSERT_TRUE(Collect());
  ASSERT_EQ(AnalysisResults->PredecessorCount, 1u);
  EXPECT_EQ(AnalysisResults->PredecessorList[0].cls, 4u);
}

}  // namespace
}  // namespace quilor
