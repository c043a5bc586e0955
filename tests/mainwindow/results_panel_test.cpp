#include "mainwindow/results_panel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <set>

#include "core/messages.h"
#include "core/name_index.h"
#include "mainwindow/files_tab.h"
#include "engine/analysis_results.h"
#include "engine/command_line.h"
#include "engine/ontology_engine.h"
#include "core/options.h"
#include "engine/selection.h"
#include "engine/startup.h"
#include "engine/word_list.h"
#include "ui/main_window_port.h"
#include "ui/recording_canvas.h"
#include "mainwindow/text_page_layout.h"
#include "ui/view_state.h"
#include "tests/support/corpus.h"
#include "tests/support/stream_support.h"
#include "ui_support/engine_session.h"

namespace quilor::ui {
namespace {

using testing_support::EngineSession;

TEST(ResultTypeTable, FixedEntriesThenOneLinePerEpisode) {
  TResultTypeTable table;
  EXPECT_EQ(BuildResultTypeList(table, 12, 3, 500), 10);
  ASSERT_EQ(table.Lines().size(), 14u);
  EXPECT_EQ(table.Count(), 13);
  EXPECT_EQ(table.Lines()[0], "Text style");
  EXPECT_EQ(table.Lines()[3], "References");
  EXPECT_EQ(table.Lines()[11], "Episode 1");
  EXPECT_EQ(table.Entry(11)->code, kResultEpisode);
  // Bursts but no episode, and the table's cap.
  EXPECT_EQ(BuildResultTypeList(table, 2, 0, 500), 10);
  EXPECT_EQ(table.Count(), 10);
  BuildResultTypeList(table, 900, 300, 500);
  EXPECT_EQ(table.Count(), 200);
  // An empty text: one line, no entry, nothing to show.
  EXPECT_EQ(BuildResultTypeList(table, 12, 3, 1), 0);
  EXPECT_EQ(table.Lines(), std::vector<std::string>{"Empty or unreadable text"});
  EXPECT_EQ(table.Count(), -1);
  EXPECT_EQ(table.Entry(0), nullptr);
}

TEST(ResultSentences, ReadAsTheProgramWritesThem) {
  EXPECT_EQ(ClassExplanation("0012", "x"), "I found 0012 equivalents of \"x\", in this text.");
  EXPECT_EQ(LemmaExplanation(kResultVerbs, 7, "walk"), "I found 7 occurrences of the verb \"walk\" in this text.");
  EXPECT_EQ(LemmaExplanation(kResultAdjectives, 2, "low"),
            "I found 2 occurrences of the adjective \"low\" in this text.");
  EXPECT_EQ(LemmaExplanation(kResultSubstantives, 3, "dam"), "I found 3 occurrences of \"dam\" in this text.");
  EXPECT_EQ(RelationExplanation("0003", "a", "b"),
            "I found 0003 relations starting form  (a) and ending at (b), in this text.");
  EXPECT_EQ(BundleExplanation("0004", "dam", 12.5),
            "Bundle on 0004 equivalents of \"dam\", length : 12.5% of the text.");
  EXPECT_EQ(CategoryBundleExplanation("Connector Cause", 4, 3),
            "Bundle on Category \"Connector Cause\", 4 words, length :  3.0% of the text.");
}

class SampleResults : public ::testing::Test {
 protected:
  void SetUp() override {
    session_ = std::make_unique<EngineSession>();
    ASSERT_TRUE(session_->Started());
    ViewState.Reset();
    ViewState.selection.Clear();
    SetViewMainWindow(&main_);
    // The pertinence threshold: a short text's minimum class count is 0.
    Options->Set(opt::ThresholdKind, 0);
    ASSERT_TRUE(session_->Analyse({EngineSession::SamplePath("sample.txt")}));
    panel_.RefreshAfterAnalysis();
  }
  void TearDown() override {
    SetViewMainWindow(nullptr);
    ViewState.selection.Clear();
    ViewState.Reset();
    session_.reset();
  }
  void Show(int index) { panel_.SelectResultType(index); }
  int LineOf(const std::string& name) const {
    for (size_t i = 0; i < panel_.Items().size(); ++i)
      if (panel_.Items()[i].rfind(name + "\t", 0) == 0) return static_cast<int>(i);
    return -1;
  }
  std::unique_ptr<EngineSession> session_;
  FakeMainWindow main_;
  TResultsPanel panel_{{AnalysisResults, TextWords, FileQueue, ViewState}};
};

TEST_F(SampleResults, FirstReferenceSelectsItsClassAndMarksItsOccurrences) {
  EXPECT_EQ(panel_.ResultTypeTable().Lines().size(), 11u);  // 90 words: no burst, no episode
  Show(3);
  ASSERT_FALSE(panel_.Items().empty());
  const std::string first = panel_.Items()[0];
  const std::string name = first.substr(0, first.find('\t'));
  const std::string count = first.substr(first.find('\t') + 1);
  ASSERT_EQ(count.size(), 4u);
  panel_.ClickLine(0);
  EXPECT_EQ(panel_.Explanation(), "I found " + count + " equivalents of \"" + name + "\", in this text.");
  EXPECT_EQ(main_.infos.back(), panel_.Explanation());
  EXPECT_EQ(panel_.Status(), "You can add these elements in the Scenario, to customize the classification");
  EXPECT_EQ(ViewState.selection.kind, kSelectClass);
  EXPECT_EQ(ViewState.selection.classLevel, 1);
  const uint32_t cls = ViewState.selection.firstClass;
  EXPECT_EQ(OntologyEngine->ClassName(1, static_cast<int32_t>(cls)), name);
  EXPECT_TRUE(ViewState.ExtractMode);
  EXPECT_GT(main_.redraws, 0);

  // The text view marks exactly the class's occurrences.
  std::multiset<std::string> expected;
  for (TWordNode* n = TextWords.First(); n != TextWords.Tail(); n = TWordList::NextNode(n))
    if (n->category.ClassIds[0] == cls) expected.insert(DisplayForm(n->text, n->category));
  ASSERT_EQ(expected.size(), static_cast<size_t>(std::stoi(count)));
  TExtraitDuTexte page;
  RecordingCanvas canvas(7);
  TextWords.RestoreCursor(1);
  page.DrawPage(canvas, {0, 0, 800, 600});
  std::multiset<std::string> marked;
  for (const DrawOp& op : canvas.Ops())
    if (op.kind == DrawOp::kText && op.font.colour == ViewState.CurrentColours[kColourClassified])
      marked.insert(op.text.substr(op.text.rfind(' ') + 1));  // the word without its punctuation
  EXPECT_EQ(marked, expected);
}

// A panel selects in the views' state it was handed, not in another: a
// second panel over the same analysis leaves the first one's state alone.
TEST_F(SampleResults, APanelSelectsInTheViewStateItIsGiven) {
  TViewState own;
  TResultsPanel other({AnalysisResults, TextWords, FileQueue, own});
  other.RefreshAfterAnalysis();
  other.SelectResultType(3);
  ASSERT_FALSE(other.Items().empty());
  other.ClickLine(0);
  EXPECT_EQ(own.selection.kind, kSelectClass);
  EXPECT_EQ(own.selection.classLevel, 1);
  EXPECT_TRUE(own.SelectionActive);
  EXPECT_TRUE(own.ExtractMode);
  EXPECT_EQ(own.CurrentResultTypeEntry, 3);
  EXPECT_EQ(ViewState.selection.kind, kSelectNone);
  EXPECT_FALSE(ViewState.SelectionActive);
  EXPECT_FALSE(ViewState.ExtractMode);
  EXPECT_EQ(ViewState.CurrentResultTypeEntry, 0);
}

// The characteristic parts say how many propositions were kept of how many.
TEST_F(SampleResults, TheCharacteristicPartsCountTheKeptOfTheCandidates) {
  Show(0);
  int line = -1;
  for (size_t i = 0; i < panel_.Items().size(); ++i)
    if (panel_.Items()[i].find("Most Characteristic Parts of text") != std::string::npos) line = static_cast<int>(i);
  ASSERT_GE(line, 0);
  panel_.ClickLine(line);
  ASSERT_NE(AnalysisResults, nullptr);
  EXPECT_EQ(panel_.Status(), std::to_string(AnalysisResults->CharacteristicCount) + " propositions kept on " +
                                 std::to_string(AnalysisResults->CandidateCount));
}

TEST_F(SampleResults, SentencesOfRelationsVerbsAndTheScenario) {
  Show(8);  // verbs
  const int walk = LineOf("walk");
  ASSERT_GE(walk, 0);
  panel_.ClickLine(walk);
  EXPECT_EQ(panel_.Explanation(), "I found 1 occurrences of the verb \"walk\" in this text.");
  EXPECT_EQ(ViewState.selection.kind, kSelectLexicalEntry);
  EXPECT_EQ(ViewState.selection.majorClass, kClassVerb);
  // The selection finds the word of that entry.
  TextWords.Rewind();
  ASSERT_TRUE(FindNextSelectedOccurrence(false, TextWords, ViewState.selection));
  EXPECT_EQ(ViewState.selection.matchPosition, 22);  // "walked"

  // A verb line below the minimum changes nothing.
  ViewState.selection.Clear();
  const std::string before = panel_.Explanation();
  const int redraws = main_.redraws;
  AnalysisResults->MinimumClassCount = 50;
  panel_.ClickLine(walk);
  EXPECT_EQ(ViewState.selection.kind, kSelectNone);
  EXPECT_EQ(panel_.Explanation(), before);
  EXPECT_EQ(main_.redraws, redraws);
}

TEST_F(SampleResults, ScenarioTreeLinesAreIndentedWithTheirConnectors) {
  Show(kTypeScenario);
  ASSERT_FALSE(panel_.Items().empty());
  ASSERT_EQ(panel_.LineTags().size(), panel_.Items().size());
  int child = -1;
  for (int i = 0; i < static_cast<int>(panel_.Items().size()) && child < 0; ++i)
    if (panel_.LineLook(i).depth > 0) child = i;
  ASSERT_GE(child, 0) << "no group below another in the sample's Scenario lines";
  const TResultLineLook look = panel_.LineLook(child);
  const Rect r{0, 0, 300, 16};
  RecordingCanvas canvas(7);
  panel_.DrawLine(canvas, r, child);
  const int x = 24 * look.depth;
  std::vector<std::pair<Point, Point>> lines;
  for (const DrawOp& op : canvas.Ops())
    if (op.kind == DrawOp::kLine) lines.push_back({op.points[0], op.points[1]});
  // The horizontal connector at mid-row, the vertical one at its left end.
  EXPECT_NE(std::find(lines.begin(), lines.end(), std::make_pair(Point{x - 16, 8}, Point{x, 8})), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      std::make_pair(Point{x - 16, 0}, Point{x - 16, look.lastSibling ? 10 : 16})),
            lines.end());
  ASSERT_FALSE(canvas.Texts().empty());
  EXPECT_EQ(canvas.Ops().back().points[0].x, x + 16 + 2);
  // A top group: no connector, the text after its picture.
  const int top = 0;
  ASSERT_EQ(panel_.LineLook(top).depth, 0);
  canvas.Clear();
  panel_.DrawLine(canvas, r, top);
  for (const DrawOp& op : canvas.Ops()) EXPECT_NE(op.kind, DrawOp::kLine);
  EXPECT_EQ(canvas.Ops().back().points[0].x, 16 + 2);
  // A click selects the tagged Scenario entry.
  panel_.ClickLine(child);
  EXPECT_EQ(ViewState.selection.classLevel, 4);
  EXPECT_EQ(ViewState.selection.firstClass, panel_.LineTags()[static_cast<size_t>(child)]);
}

TEST_F(SampleResults, ShortTextUnderThePertinenceThresholdListsOnlyItsWords) {
  std::string text;
  const char* words[] = {"The", "farmer", "walked", "to", "the", "river", "with", "his", "dog", "."};
  for (int i = 0; i < 20; ++i)
    for (const char* w : words) text += std::string(w) + (w[0] == '.' ? "\n" : " ");
  ASSERT_TRUE(session_->Analyse({session_->Write("short.txt", text)}));
  EXPECT_EQ(AnalysisResults->MinimumClassCount, 0u);  // 15 ten-thousandths of 180 words
  Options->Set(opt::SortAlphabetical, 1);
  panel_.RefreshAfterAnalysis();
  Show(10);  // substantives
  ASSERT_FALSE(panel_.Items().empty());
  EXPECT_LE(panel_.Items().size(), 5u);
  for (const std::string& line : panel_.Items()) {
    const std::string name = line.substr(0, line.find('\t'));
    EXPECT_NE(text.find(name), std::string::npos) << line;
    EXPECT_EQ(line.find("\t0000"), std::string::npos) << line;
  }
  EXPECT_TRUE(panel_.ItemsSorted());
}

TEST_F(SampleResults, SearchKeysOfTheScenarioLevelShowTheirLine) {
  Show(kTypeScenario);
  ASSERT_FALSE(panel_.Items().empty());
  const std::string group = panel_.Items()[0].substr(0, panel_.Items()[0].find('\t'));
  // A key of kind 4 naming that group: the Scenario list is shown with its line.
  WorkContext->SearchKeys[0] = group;
  WorkContext->SearchKeyKinds[0] = 4;
  CommandLineFlags.searchKeyGiven = CommandLineFlags.keyKindValid = true;
  panel_.RefreshAfterAnalysis();
  EXPECT_FALSE(CommandLineFlags.searchKeyGiven);
  EXPECT_EQ(ViewState.selection.kind, kSelectClass);
  EXPECT_EQ(ViewState.selection.classLevel, 4);
  EXPECT_EQ(panel_.CurrentResultType, kTypeScenario);
  EXPECT_EQ(panel_.LineTags()[0], ViewState.selection.firstClass);
  // A kind outside 1..4 never takes the class-number route: the name is
  // looked up at the current level only.
  ViewState.selection.Clear();
  WorkContext->SearchKeyKinds[0] = 9;
  CommandLineFlags.searchKeyGiven = CommandLineFlags.keyKindValid = true;
  panel_.RefreshAfterAnalysis();
  EXPECT_NE(ViewState.selection.classLevel, 9);
  EXPECT_TRUE(ViewState.selection.classLevel >= 1 && ViewState.selection.classLevel <= 4);
  WorkContext->SearchKeys[0].clear();
}

TEST_F(SampleResults, BothActorBoxesCannotBeUnchecked) {
  Show(3);
  panel_.SetActantChecked(false);
  EXPECT_TRUE(panel_.ActeChecked());
  panel_.SetActeChecked(false);
  EXPECT_TRUE(panel_.ActantChecked());
  EXPECT_FALSE(panel_.ActeChecked());
  EXPECT_EQ(panel_.Explanation(),
            "Actant: before verbs. Statistics on actors. Warning: only the checked items are shown.");
}

// The box before each results line says what the line is: a class in the
// Scenario bears the classified colour and a framed box, any other class the
// list's ink and a raised box; verbs, adjectives and substantives bear their
// colour of the options, inverted when the Scenario holds them; relations and
// the Scenario's groups the classified colour; the lines of an episode are
// marked as classes of the relation level; the text style the button face.
TEST_F(SampleResults, EachResultTypeMarksItsLinesWithItsColour) {
  const std::string text = testing_support::CorpusFile("plain", "ca01.txt");
  ASSERT_TRUE(session_->Analyse({text}));
  panel_.RefreshAfterAnalysis();
  // A Scenario that holds the first line of each list, and the second word of
  // the verbs, adjectives and substantives: every list has lines of both kinds.
  auto first = [this](int type, size_t line) {
    Show(type);
    return line < panel_.Items().size() ? panel_.Items()[line].substr(0, panel_.Items()[line].find('\t')) : "";
  };
  const std::string scenario = "G#0V\t1\tMarks\r\n1#1#\t" + first(3, 0) + "\tMarks\r\n3#1#\t" + first(1, 0) +
                               "\tMarks\r\n2#1#\t" + first(2, 0) + "\tMarks\r\nV#1#\t" + first(8, 1) +
                               "\tMarks\r\nA#1#\t" + first(9, 1) + "\tMarks\r\nS#1#\t" + first(10, 1) + "\tMarks\r\n";
  std::ofstream(session_->Root() + "/Scenario/Marks.scn", std::ios::binary) << scenario;
  ASSERT_TRUE(MakeScenarioCurrent("Marks.scn"));
  ASSERT_TRUE(session_->Analyse({text}));
  panel_.RefreshAfterAnalysis();
  ASSERT_GT(panel_.FirstEpisodeIndex, 0) << "ca01 has episodes";
  const Rgb classified = ViewState.CurrentColours[kColourClassified];
  const Rgb buttonFace = MakeRgb(0xF0, 0xF0, 0xF0);
  auto optionColour = [](int k) { return static_cast<Rgb>(Options->Get(opt::Colour(static_cast<size_t>(k)))); };
  auto nameOf = [this](int line) {
    const std::string& text = panel_.Items()[static_cast<size_t>(line)];
    return text.substr(0, text.find('\t'));
  };
  auto inScenario = [](int level, const std::string& name) {
    const int32_t cls = OntologyEngine->FindClassIndex(level, name);
    return cls > 0 && OntologyEngine->ClassScenarioEntry(level, cls) != 0;
  };
  // The box drawn for a line: its colour, and whether it is framed in black.
  struct Box {
    Rgb colour = 0;
    bool framed = false;
    int textX = 0;
  };
  auto boxOf = [this](int line) {
    RecordingCanvas canvas(7);
    panel_.DrawLine(canvas, Rect{0, 0, 300, 16}, line);
    Box box;
    for (const DrawOp& op : canvas.Ops()) {
      if (op.kind == DrawOp::kFillRect && op.rect == Rect{4, 1, 16, 15}) box.colour = op.brush;
      if (op.kind == DrawOp::kRectangle && op.rect == Rect{4, 1, 16, 15} && op.pen == kBlack) box.framed = true;
      if (op.kind == DrawOp::kText && box.textX == 0) box.textX = op.points[0].x;
    }
    return box;
  };
  // Lines marked as classes of a level, both kinds met.
  auto expectClassMarks = [&](int type, int level) {
    Show(type);
    EXPECT_FALSE(panel_.Items().empty()) << type;
    int in = 0;
    for (int i = 0; i < static_cast<int>(panel_.Items().size()); ++i) {
      const bool held = inScenario(level, nameOf(i));
      const Box box = boxOf(i);
      EXPECT_EQ(box.colour, held ? classified : kBlack) << type << " " << nameOf(i);
      EXPECT_EQ(box.framed, held) << type << " " << nameOf(i);
      EXPECT_EQ(box.textX, 19) << type << " " << nameOf(i);
      in += held;
    }
    return in;
  };
  // References, reference fields 1 and 2: levels 1, 3 and 2.
  for (const auto& [type, level] : {std::pair{3, 1}, std::pair{1, 3}, std::pair{2, 2}}) {
    const int in = expectClassMarks(type, level);
    EXPECT_EQ(in, 1) << type;
  }
  // The lines of each episode, as classes of the relation level.
  const int base = std::clamp<int>(Options->Get(opt::RelationBase), 1, 4);
  for (int type = panel_.FirstEpisodeIndex + 1; type <= panel_.ResultTypeTable().Count(); ++type) {
    Show(type);
    for (int i = 0; i < static_cast<int>(panel_.Items().size()); ++i) {
      const std::string& text = panel_.Items()[static_cast<size_t>(i)];
      const bool digit = text.size() > 5 && text[5] >= '0' && text[5] <= '9';
      EXPECT_EQ(boxOf(i).colour, digit ? buttonFace : inScenario(base, nameOf(i)) ? classified : kBlack) << text;
    }
  }
  // Relations and the Scenario's groups.
  for (int type : {5, kTypeScenario}) {
    Show(type);
    ASSERT_FALSE(panel_.Items().empty()) << type;
    for (int i = 0; i < static_cast<int>(panel_.Items().size()); ++i)
      EXPECT_EQ(panel_.LineLook(i).markColour, classified);
  }
  EXPECT_EQ(boxOf(0).colour, 0u);  // the Scenario's groups are nodes of a tree, with no box
  // Verbs, adjectives, substantives: their option colour, inverted when the Scenario holds the word.
  struct Words {
    int type;
    int colour;
    std::function<bool(const std::string&)> held;
  };
  const Words words[] = {
      {8, 1,
       [](const std::string& w) {
         int e = 0;
         return VerbIndex->LookupEntryNumber(w.c_str(), e) && OntologyEngine->VerbInScenario(static_cast<uint32_t>(e));
       }},
      {9, 4,
       [](const std::string& w) {
         int e = 0;
         return AdjectiveIndex->LookupEntryNumber(w.c_str(), e) &&
                OntologyEngine->AdjectiveInScenario(static_cast<uint32_t>(e));
       }},
      {10, 8,
       [](const std::string& w) { return OntologyEngine->WordInScenario(TextIndex->TextIndexLookup(w.c_str())); }}};
  for (const Words& list : words) {
    Show(list.type);
    ASSERT_FALSE(panel_.Items().empty()) << list.type;
    int in = 0;
    for (int i = 0; i < static_cast<int>(panel_.Items().size()); ++i) {
      const bool inverted = list.held(nameOf(i));
      EXPECT_EQ(boxOf(i).colour, optionColour(list.colour) ^ (inverted ? 0xFFFFFFu : 0u)) << nameOf(i);
      in += inverted;
    }
    EXPECT_EQ(in, 1) << list.type;
  }
  // Word categories: each line in the colour of its kind, among the options' colours.
  std::set<Rgb> colours;
  for (int k = 0; k <= 16; ++k) colours.insert(optionColour(k));
  for (int type : {6, 7}) {
    Show(type);
    std::set<Rgb> used;
    for (int i = 0; i < static_cast<int>(panel_.Items().size()); ++i) used.insert(boxOf(i).colour);
    EXPECT_GT(used.size(), 1u) << type;
    for (Rgb c : used) EXPECT_TRUE(colours.count(c)) << type << " " << c;
  }
  // The style's lines: the button face.
  Show(0);
  ASSERT_FALSE(panel_.Items().empty());
  EXPECT_EQ(boxOf(0).colour, buttonFace);
}

// With a class selected the text shows only its occurrences: a line down
// goes on to the next occurrence, a line up back towards the first.
TEST_F(SampleResults, AnExtractScrollsFromOneOccurrenceToTheNextAndBack) {
  Show(3);
  int line = -1;
  for (size_t i = 0; i < panel_.Items().size() && line < 0; ++i)
    if (std::stoi(panel_.Items()[i].substr(panel_.Items()[i].find('\t') + 1)) >= 4) line = static_cast<int>(i);
  ASSERT_GE(line, 0);
  panel_.ClickLine(line);
  ASSERT_TRUE(ViewState.ExtractMode);
  TExtraitDuTexte page;
  std::vector<int32_t> seen;
  for (int i = 0; i < 3; ++i) {
    ScrollTextPage(page, ScrollCode::kLineDown, 0);
    seen.push_back(ViewState.CurrentWordPosition);
  }
  EXPECT_LT(seen[0], seen[1]);
  EXPECT_LT(seen[1], seen[2]);
  int32_t lowest = seen[2];
  for (int i = 0; i < 2; ++i) {
    ScrollTextPage(page, ScrollCode::kLineUp, 0);
    lowest = std::min(lowest, ViewState.CurrentWordPosition);
  }
  EXPECT_LT(lowest, seen[2]);
  EXPECT_GE(lowest, seen[0]);
}

// An unreadable text shows no result type: the results list says which
// document converters the program has, and selecting a line changes nothing.
TEST_F(SampleResults, AnEmptyTextShowsNoResultTypeButTheConverters) {
  ASSERT_FALSE(session_->Analyse({session_->Write("empty.txt", "")}) && TextWords.Count() >= 2);
  panel_.RefreshAfterAnalysis();
  EXPECT_EQ(panel_.ResultTypeTable().Lines(), std::vector<std::string>{"Empty or unreadable text"});
  const std::vector<std::string> status = ConversionFilterStatusLines();
  EXPECT_EQ(panel_.Items(), status);
  ASSERT_EQ(status.size(), 11u);
  EXPECT_EQ(status[1], "External Conversion Filters Status");
  EXPECT_EQ(panel_.Explanation(), GetMessageText(1175));
  // Its lines carry the plain mark, not a category's colour.
  for (size_t k = 0; k <= 16; ++k) Options->Set(opt::Colour(k), uint32_t{0});
  for (int line = 0; line < 11; ++line) EXPECT_EQ(panel_.LineLook(line).markColour, MakeRgb(0xF0, 0xF0, 0xF0));
  EXPECT_EQ(main_.messages.back(), "Read the software User's manual for more information.");
  panel_.SelectResultType(3);
  EXPECT_EQ(panel_.Items(), status);
  panel_.ClickLine(4);
  EXPECT_EQ(ViewState.selection.kind, kSelectNone);
}

// An extract shows a short proposition with the words after it (a fragment
// of context). When that context holds the next occurrence, its proposition
// is not drawn a second time: the page goes on with that occurrence's own
// context, and its closing punctuation is written once.
TEST_F(SampleResults, AnOccurrenceShownAsContextIsNotDrawnTwice) {
  const std::string path =
      session_->Write("king.txt",
                      "The old wizard lived in a tall tower near the sea. He raised his head and looked at the sky. "
                      "The wizard spoke to the king about the war and the army. The king shook his head slowly. "
                      "A girl with red hair came to the door. The wizard gave her a book of spells. "
                      "She put the book on her head and laughed. The king and the wizard rode to the city.\n");
  ASSERT_TRUE(session_->Analyse({path}));
  panel_.RefreshAfterAnalysis();
  Show(3);
  const int king = LineOf("king");
  ASSERT_GE(king, 0);
  panel_.ClickLine(king);
  ASSERT_EQ(OntologyEngine->ClassName(1, static_cast<int32_t>(ViewState.selection.firstClass)), "king");
  TExtraitDuTexte page;
  RecordingCanvas canvas(7);
  TextWords.RestoreCursor(1);
  page.DrawPage(canvas, {0, 0, 1200, 900});
  std::vector<std::string> texts;
  for (const DrawOp& op : canvas.Ops())
    if (op.kind == DrawOp::kText) texts.push_back(op.text.substr(op.text.find_first_not_of(' ')));
  std::string shown;
  for (const std::string& t : texts) shown += t + " ";
  // The three propositions of the king, the second also the first's context,
  // and the second's context; the lines without the king or a king before
  // them are left out.
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "slowly"), 1) << shown;
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "girl"), 1) << shown;
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "spells"), 0) << shown;
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "city"), 1) << shown;
  for (size_t i = 1; i < texts.size(); ++i) EXPECT_FALSE(texts[i] == "." && texts[i - 1] == ".") << shown;
}

}  // namespace
}  // namespace quilor::ui
