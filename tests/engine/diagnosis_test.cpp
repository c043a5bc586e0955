#include "engine/diagnosis.h"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <vector>

#include "core/messages.h"
#include "core/string_table.h"
#include "engine/category_counters.h"
#include "engine/selection.h"
#include "tests/engine/burst_text_builder.h"

namespace quilor {
namespace {

// Every norm 50; every percentage 10 (nothing over-represented); a text of
// 1,000 words and 100 propositions with plenty of each family.
struct Fixture {
  std::array<uint32_t, 78> counters{};
  std::array<double, 78> percentages{};
  std::array<int8_t, 77> norms{};
  TDiagnosisInputs in;

  Fixture() {
    norms.fill(50);
    percentages.fill(10);
    counters.fill(100);
    counters[48] = 1000;
    counters[49] = 100;
    in.counters = counters.data();
    in.percentages = percentages.data();
    in.norms = norms.data();
    in.textWords = 1000;
  }
  void Raise(std::initializer_list<int> codes) {
    for (int c : codes) percentages[static_cast<size_t>(c)] = 60;
  }
  std::vector<int> Diagnose(DiagnosisView* view = nullptr) {
    TDiagnosisList list;
    list.DiagnoseStyle(in, view);
    return list.Findings();
  }
};

TEST(StyleDiagnosis, EachStyleFromItsOwnCodes) {
  struct Case {
    std::initializer_list<int> raised;
    int style;
  };
  const Case cases[] = {
      {{20, 22, 23, 26}, kMsgArgumentative},
      {{24, 33, 34}, kMsgNarrative},
      {{32, 7}, kMsgEnunciative},
      {{29, 28}, kMsgDescriptive},
      {{22, 23, 26}, 0},  // three argumentative codes are not enough
  };
  for (const Case& c : cases) {
    Fixture f;
    f.Raise(c.raised);
    EXPECT_EQ(TDiagnosisList::StyleOf(f.in), c.style);
    const auto findings = f.Diagnose();
    if (c.style) {
      ASSERT_FALSE(findings.empty());
      EXPECT_EQ(findings[0], c.style);
    } else {
      EXPECT_TRUE(findings.empty());  // "not detected" only goes to a results list
      RecordingDiagnosisView view;
      EXPECT_EQ(f.Diagnose(&view), (std::vector<int>{kMsgStyleNotDetected}));
      EXPECT_EQ(view.lines, (std::vector<std::string>{GetMessageText(kMsgStyleNotDetected)}));
    }
  }
}

TEST(StyleDiagnosis, SettingsDoubtSizeAndBorders) {
  Fixture f;
  f.Raise({6, 4, 59, 37});
  f.counters[48] = 400;
  f.in.bordersInUse = true;
  // Reflexive comes with the narrator; two findings already, so no "action".
  EXPECT_EQ(f.Diagnose(), (std::vector<int>{kMsgEnunciative, kMsgSettingNarrator, kMsgSettingI, kMsgDoubt,
                                            kMsgTendenciesNotSignificant, kMsgBordersNoEffect}));
  Fixture g;
  g.Raise({5});
  g.counters[37] = 1;  // a single doubt is no notion of doubt
  g.percentages[37] = 90;
  g.counters[54] = 15;  // 100 propositions / 6 = 16 > 15 substantives
  g.in.bordersInUse = true;
  g.in.filteredPropositions = 3;
  EXPECT_EQ(g.Diagnose(), (std::vector<int>{kMsgSettingReal, kMsgIrregularSyntax, kMsgBordersUsed}));
  g.counters[54] = 16;  // a substantive for every sixth proposition is regular
  EXPECT_EQ(g.Diagnose(), (std::vector<int>{kMsgSettingReal, kMsgBordersUsed}));
}

TEST(StyleDiagnosis, ShortTextsAndARefusingList) {
  Fixture f;
  f.in.textWords = 1;
  EXPECT_EQ(f.Diagnose(), (std::vector<int>{kMsgCorruptedInput}));
  f.in.filteredPropositions = 2;
  EXPECT_EQ(f.Diagnose(), (std::vector<int>{kMsgAllFilteredByBorders}));
  Fixture g;
  g.Raise({20, 22, 23, 26, 6, 59});
  RecordingDiagnosisView view;
  view.refuseFrom = 1;
  EXPECT_EQ(g.Diagnose(&view).size(), 2u);  // the refused finding is the last one made
  EXPECT_EQ(view.lines.size(), 1u);
}

TEST(Tendencies, SignificantLinesWithTheirKindsIndexesAndExplanations) {
  Fixture f;
  f.percentages[5] = 55.25;  // Stative above its norm
  f.counters[5] = 7;
  f.percentages[22] = 70;  // Cause above, but only 2 of them
  f.counters[22] = 2;
  f.percentages[64] = 50;  // equal to the norm counts
  f.counters[64] = 3;
  TDiagnosisList list;
  RecordingDiagnosisView view;
  list.BuildTendencies(f.in, true, &view);
  const auto& lines = list.Lines();
  ASSERT_EQ(lines.size(), 7u);  // five headers and two lines
  EXPECT_EQ(lines[0].text, std::string("* ") + GetMessageText(845) + " :");
  EXPECT_EQ(lines[1].text, std::string(GetMessageText(5 + 89)) + "\t 55.2%\t(\t7\t)");
  EXPECT_EQ(lines[1].kind, 2);
  EXPECT_EQ(lines[1].index, 2);
  EXPECT_EQ(lines[1].explanation, 238);
  EXPECT_EQ(lines[5].kind, 5);
  EXPECT_EQ(lines[5].index, 3);
  EXPECT_EQ(lines[5].explanation, 246);
  EXPECT_EQ(view.lines.size(), 7u);
  EXPECT_EQ(list.LineKindCode(1), ItemKindCode(2));
  EXPECT_EQ(list.LineKindCode(79), 0);

  // Every code of every family: 5 headers and 4 + 9 + 7 + 3 + 7 lines.
  list.BuildTendencies(f.in, false, nullptr);
  ASSERT_EQ(list.Lines().size(), 35u);
  EXPECT_EQ(list.Lines()[14].explanation, 869);  // connector 29, the family's last
  EXPECT_EQ(list.Lines()[16].explanation, 870);  // modality 33, the first
}

TEST(Tendencies, SelectingALineSearchesItsCategoryAndRewinds) {
  TWordList words;
  testing_words::TextBuilder b(words);
  b.Filler(3);
  b.Word(testing_words::Category(kClassVerb, 2));
  Fixture f;
  f.percentages[5] = 60;
  f.counters[5] = 5;
  TDiagnosisList list;
  list.Init(words);
  list.BuildTendencies(f.in, true, nullptr);
  TSelection selection;
  selection.classLevel = 2;
  EXPECT_EQ(list.SelectLine(1, selection, words), 238);
  EXPECT_EQ(selection.matchPosition, 4);
  EXPECT_EQ(selection.ranges[0].kind, 2);  // the verbs' range
  EXPECT_EQ(selection.classLevel, 2);      // kept over the new selection
  EXPECT_TRUE(words.AtStart());
  EXPECT_EQ(list.SelectLine(200, selection, words), 0);
  EXPECT_EQ(list.CurrentLine(), 79);
  EXPECT_EQ(TDiagnosisList::ExplainFinding(kMsgArgumentative).message, 354);
  EXPECT_TRUE(TDiagnosisList::ExplainFinding(563).toFirstEpisode);
}

TEST(Tendencies, EveryTextALineOrAFindingCanAskForExists) {
  // A missing text would open an error box on a plain click of the line.
  Fixture f;
  TDiagnosisList list;
  list.BuildTendencies(f.in, false, nullptr);
  std::vector<int> missing;
  for (const TDiagnosisLine& line : list.Lines()) {
    if (!FindStringTableEntry(line.explanation)) missing.push_back(line.explanation);
  }
  // The findings the diagnosis makes and those the results list reports.
  for (int finding : {kMsgCorruptedInput, kMsgDoubt, kMsgArgumentative, kMsgNarrative, kMsgEnunciative, kMsgDescriptive,
                      kMsgStyleNotDetected, kMsgSettingAction, kMsgSettingReal, kMsgSettingNarrator, kMsgSettingI,
                      kMsgTendenciesNotSignificant, kMsgIrregularSyntax, kMsgBordersUsed, kMsgBordersNoEffect,
                      kMsgAllFilteredByBorders}) {
    if (!FindStringTableEntry(finding)) missing.push_back(finding);
  }
  for (int finding = 0; finding < 10000; ++finding) {
    const int message = TDiagnosisList::ExplainFinding(finding).message;
    if (message != 0 && !FindStringTableEntry(message)) missing.push_back(message);
  }
  EXPECT_TRUE(missing.empty()) << ::testing::PrintToString(missing);
}

}  // namespace
}  // namespace quilor
