#include "mainwindow/text_page_layout.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstring>
#include <map>
#include <QPainter>

#include "core/options.h"
#include "ui/view_state.h"
#include "engine/word_list.h"
#include "ui/painter_canvas_qt.h"
#include "ui/recording_canvas.h"
#include "ui/selection_ops.h"

namespace quilor::ui {
namespace {

TWordCategoryData Cat(uint8_t major, uint8_t sub = 0, uint8_t classMark = 0, uint32_t cls = 0) {
  TWordCategoryData d;
  d.Category.MajorClass = major;
  d.Category.Subclass = sub;
  d.ClassMark = classMark;
  for (uint32_t& id : d.ClassIds) id = cls;
  return d;
}

// Builds TextWords: words and proposition marks with their tags.
class Text {
 public:
  Text() { TextWords.Clear(); }
  ~Text() { TextWords.Clear(); }
  Text& Word(const char* text, const char* tag = " ", TWordCategoryData d = Cat(kClassDeterminant), uint16_t file = 1) {
    TextWords.Append(text, tag, 0, file, ++position_, &d);
    return *this;
  }
  Text& Mark(const char* tag = ".") {
    TWordCategoryData d;
    TextWords.Append("/", tag, 0, 1, position_, &d);
    return *this;
  }
  // A word appended as written: the gap before it in its document.
  Text& Written(const char* text, const char* gap, TWordCategoryData d = Cat(kClassDeterminant)) {
    TextWords.Append(text, std::strlen(text), " ", 0, 1, ++position_, &d, TWrittenText{std::strlen(gap), gap, 0, ""});
    return *this;
  }
  int32_t position_ = 0;
};

class TextPage : public ::testing::Test {
 protected:
  void SetUp() override {
    ViewState.Reset();
    ViewState.selection.Clear();
    ColorationSyntaxique();
    TextWords.Clear();
    page_.DocumentCount = [this] { return documents_; };
    page_.DocumentName = [](uint16_t f) { return "doc" + std::to_string(f) + ".txt"; };
  }
  void TearDown() override {
    TextWords.Clear();
    ViewState.Reset();
    ViewState.selection.Clear();
  }
  // Lays the page out from the start of the text.
  void Draw(RecordingCanvas& canvas, const Rect& r, TPageOptions options = {}) {
    TextWords.Rewind();
    TextWords.SaveCursor(1);
    page_.DrawPage(canvas, r, options);
  }
  TExtraitDuTexte page_;
  int documents_ = 1;
};

// The recorded word texts, without the marks and boxes.
std::vector<std::string> Words(const RecordingCanvas& canvas) { return canvas.Texts(); }

TEST_F(TextPage, RowsBoundTheLinesAndTheTableBoundsTheRows) {
  Text t;
  for (int i = 0; i < 400; ++i) t.Word("w").Mark();
  TPageOptions byProposition;
  byProposition.limitToPropositions = true;  // one proposition a line
  RecordingCanvas canvas(7);
  Draw(canvas, {0, 0, 600, 10 * 16}, byProposition);
  EXPECT_EQ(page_.RowHeight(), 16);  // 1.2 x the 13-pixel "A"
  EXPECT_EQ(page_.Rows(), 10);
  EXPECT_EQ(page_.LineCount(), 10);
  EXPECT_EQ(page_.Line(9).count, 1);
  EXPECT_EQ(page_.WordsDrawn(), 10);
  Draw(canvas, {0, 0, 600, 300 * 16}, byProposition);
  EXPECT_EQ(page_.Rows(), 202);
  EXPECT_LE(page_.LineCount(), 202);
  // Bookmark 2 holds the start of the page's last line.
  TextWords.RestoreCursor(2);
  EXPECT_EQ(TextWords.Cursor()->position, 202);
  // A rectangle lower than one row draws nothing.
  Draw(canvas, {0, 0, 600, 10}, byProposition);
  EXPECT_FALSE(page_.HasWords());
}

TEST_F(TextPage, WordAtFindsTheFirst95WordsOfALine) {
  Text t;
  for (int i = 0; i < 120; ++i) t.Word("w");
  RecordingCanvas canvas(7);
  Draw(canvas, {0, 0, 100000, 100});
  ASSERT_EQ(page_.LineCount(), 0);  // one open line
  EXPECT_EQ(page_.WordsDrawn(), 120);
  const TPageLine& line = page_.Line(0);
  ASSERT_EQ(line.count, 95);
  const int y = 5;
  // The hit is returned; the view state is the views' to keep.
  ViewState.HitWordPosition = 7;
  std::optional<TPageItem> hit = page_.WordAt(line.items[95].right - 1, y);
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->position, 95);
  EXPECT_EQ(ViewState.HitWordPosition, 7);
  EXPECT_FALSE(page_.WordAt(line.items[95].right + 3, y));
  hit = page_.WordAt(line.items[1].right - 2, y);
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->position, 1);
  // Below the open line and above the page: nothing.
  EXPECT_FALSE(page_.WordAt(10, 40));
  EXPECT_FALSE(page_.WordAt(10, -1));
}

TEST_F(TextPage, RepeatedTagsAreHiddenOnlyNextToAPropositionMark) {
  Text t;
  // Before the mark and after it: the tag seen twice is drawn once; away
  // from a mark a repeated tag is drawn each time.
  t.Word("apples").Word("pears", ",").Word("plums", ",").Mark(",").Word("and", ",").Mark(".");
  t.Word("dates", ".").Word("figs", ".").Mark("!");
  RecordingCanvas canvas(7);
  Draw(canvas, {0, 0, 2000, 100});
  EXPECT_EQ(Words(canvas),
            (std::vector<std::string>{"apples", ", pears", ", plums", " and", ".", " dates", ". figs", "!"}));
}

// Quotes close on the word before them and open on the word after them; a
// line starts without a blank; the punctuation keeps its own characters.
TEST_F(TextPage, QuotesAndPunctuationAreSpacedAsInTheText) {
  Text t;
  t.Word("men").Mark(".\"").Word("We").Word("can").Word("t", "'").Word("stop").Word("it").Word("now").Mark(",");
  t.Word("his", "\"")
      .Word("daughter")
      .Word("told")
      .Word("him")
      .Mark(". \"")
      .Word("If", "")
      .Word("well")
      .Word("known", "-");
  t.Word("so", "(").Word("far", " ").Mark(").");
  RecordingCanvas canvas(7);
  Draw(canvas, {0, 0, 4000, 100});
  std::string line;
  for (const std::string& w : Words(canvas)) line += w;
  EXPECT_EQ(line, "men. \"We can't stop it now,\" his daughter told him. \"If well-known (so far).");
  // On the page, what sticks to the text before it follows it without a gap
  // ("can" "'t", "well" "-known", "now" ",\""); a blank keeps its half-blank margin.
  const DrawOp* previous = nullptr;
  int checked = 0;
  for (const DrawOp& op : canvas.Ops()) {
    if (op.kind != DrawOp::kText || op.text.empty()) continue;
    if (previous && previous->points[0].y == op.points[0].y) {
      const int end = previous->points[0].x + 7 * static_cast<int>(previous->text.size());
      EXPECT_EQ(op.points[0].x - end, op.text[0] == ' ' ? 3 : 0) << "[" << previous->text << "][" << op.text << "]";
      ++checked;
    }
    previous = &op;
  }
  EXPECT_GT(checked, 10);
}

// What closes a proposition stays on its line; what opens the next one (a
// quote) goes with the next proposition's first word.
TEST_F(TextPage, PunctuationStaysWithItsWordAcrossLines) {
  Text t;
  t.Word("aaaa").Word("bbbb").Mark(",").Word("him").Mark(". \"").Word("If", "").Word("so");
  RecordingCanvas canvas(7);
  Draw(canvas, {0, 0, 80, 200});
  auto yOf = [&canvas](const std::string& text) {
    for (const DrawOp& op : canvas.Ops())
      if (op.kind == DrawOp::kText && op.text == text) return op.points[0].y;
    return -1;
  };
  ASSERT_NE(yOf(","), -1);
  EXPECT_EQ(yOf(","), yOf("bbbb"));  // the word went down with its comma
  TPageOptions byProposition;
  byProposition.limitToPropositions = true;
  canvas.Clear();
  Draw(canvas, {0, 0, 2000, 200}, byProposition);
  EXPECT_EQ(Words(canvas), (std::vector<std::string>{"aaaa", " bbbb", ",", "him", ".", "\"If", " so"}));
  // A quote followed by a period closes, even where the quotes counted
  // before say otherwise; the parenthesis opens the next proposition.
  Text u;
  u.Word("jail").Mark("\".(").Word("2").Word("Fulton", ")").Mark(".").Word("and", "\",").Word("so");
  canvas.Clear();
  Draw(canvas, {0, 0, 2000, 200}, byProposition);
  EXPECT_EQ(Words(canvas), (std::vector<std::string>{"jail", "\".", "(2", ") Fulton", ".\",", "and", " so"}));
  // A page that starts on a word does not start with what closed the proposition before.
  TWordNode* node = TextWords.First();
  while (node && std::string(node->text) != "and") node = TWordList::NextNode(node);
  ASSERT_NE(node, nullptr);
  TextWords.SetCursor(node);
  TextWords.SaveCursor(1);
  canvas.Clear();
  page_.DrawPage(canvas, {0, 0, 2000, 200}, byProposition);
  ASSERT_FALSE(Words(canvas).empty());
  EXPECT_EQ(Words(canvas).front(), "and");
  // The punctuation of an empty proposition does not start a line.
  Text v;
  v.Word("a").Mark(",").Mark(",,").Word("b");
  canvas.Clear();
  Draw(canvas, {0, 0, 2000, 200}, byProposition);
  EXPECT_EQ(Words(canvas), (std::vector<std::string>{"a", ",", "b"}));
}

// A proposition shown without the one before it (a page's first, an
// extract's) opens with what the mark before it opened, and its quotes close
// where the whole text closes them, even after a quote the text never closed
// (a paragraph quoted on: `"x y.` without its closing quote).
TEST_F(TextPage, APropositionShownAloneKeepsItsQuotes) {
  Text t;
  t.Word("x", "\"").Word("y").Mark(".\"").Word("z").Word("w").Word("v", "\",").Word("said").Mark(".\"");
  t.Word("Failure").Word("burden").Word("on", "\"").Word("taxes").Mark(".");
  RecordingCanvas canvas(7);
  auto line = [&canvas] {
    std::string text;
    for (const std::string& w : Words(canvas)) text += w;
    return text;
  };
  Draw(canvas, {0, 0, 4000, 100});
  EXPECT_EQ(line(), "\"x y.\" z w\", v said. \"Failure burden\" on taxes.");
  TWordNode* node = TextWords.First();
  while (node && std::string(node->text) != "Failure") node = TWordList::NextNode(node);
  ASSERT_NE(node, nullptr);
  TextWords.SetCursor(node);
  TextWords.SaveCursor(1);
  canvas.Clear();
  page_.DrawPage(canvas, {0, 0, 4000, 100}, {});
  EXPECT_EQ(line(), "\"Failure burden\" on taxes.");
}

// A comma in a word's tag, where no proposition ends, stays on the line of
// the word before it; the word after it goes to the next line.
TEST_F(TextPage, AWordsClosingPunctuationStaysOnTheLineBefore) {
  Text t;
  t.Word("aaaa").Word("bbbb").Word("cc", ", ").Word("dd").Mark(".");
  RecordingCanvas canvas(7);
  Draw(canvas, {0, 0, 110, 200});  // the proposition's pointer, "aaaa bbbb", no room for "cc"
  int firstLine = -1;
  bool commaOnFirstLine = false;
  for (const DrawOp& op : canvas.Ops()) {
    if (op.kind != DrawOp::kText || op.text.empty()) continue;
    if (firstLine < 0) firstLine = op.points[0].y;
    if (op.text == ",") commaOnFirstLine = op.points[0].y == firstLine;
    if (op.points[0].x <= 16) {
      EXPECT_NE(op.text[0], ',') << "a line starts with [" << op.text << "]";
    }
  }
  EXPECT_TRUE(commaOnFirstLine);
  EXPECT_GT(page_.LineCount(), 0);
}

// A hyphenated word never starts a line with its hyphen, whatever the width:
// it breaks after the hyphen, which stays with the part before it. The same
// for words kept as written and for words spaced from their tags.
TEST_F(TextPage, AHyphenatedWordBreaksAfterItsHyphen) {
  for (const bool written : {false, true}) {
    Text t;
    if (written) t.Written("aaaa", "").Written("anti", " ").Written("submarine", "-").Written("guns", " ");
    else t.Word("aaaa").Word("anti").Word("submarine", "-").Word("guns");
    t.Mark(".");
    RecordingCanvas canvas(7);
    int split = 0;
    for (int width = 60; width <= 240; width += 2) {
      canvas.Clear();
      Draw(canvas, {0, 0, width, 400});
      std::map<int, std::vector<std::string>> lines;
      for (const DrawOp& op : canvas.Ops())
        if (op.kind == DrawOp::kText && !op.text.empty()) lines[op.points[0].y].push_back(op.text);
      for (const auto& [y, texts] : lines) {
        EXPECT_NE(texts.front()[0], '-') << "width " << width << (written ? " written" : "");
        if (texts.back() == "-" && texts.size() >= 2) {
          EXPECT_TRUE(texts[texts.size() - 2] == " anti" || texts[texts.size() - 2] == "anti") << width;
          ++split;
        }
      }
      std::string all;
      for (const auto& [y, texts] : lines)
        for (const std::string& text : texts) all += text;
      EXPECT_NE(all.find("anti-submarine"), std::string::npos) << width << " " << all;
    }
    EXPECT_GT(split, 0) << written;
  }
}

// The marks a reader recognises: a pointer at each proposition, a document
// sheet and a bold name at each heading; no empty box.
TEST_F(TextPage, PropositionMarksAndHeadingsAreDrawnAsSuch) {
  documents_ = 2;
  Text t;
  t.Word("one", " ", Cat(kClassDeterminant), 1).Mark().Word("two", " ", Cat(kClassDeterminant), 2).Mark();
  RecordingCanvas canvas(7);
  Draw(canvas, {0, 0, 2000, 200});
  int pointers = 0, rectangles = 0;
  bool boldName = false;
  for (const DrawOp& op : canvas.Ops()) {
    if (op.kind == DrawOp::kPolygon && op.points.size() == 3) ++pointers;
    if (op.kind == DrawOp::kRectangle && op.rect.Width() < 20) ++rectangles;
    if (op.kind == DrawOp::kText && op.text == "doc2.txt") boldName = op.font.bold;
  }
  EXPECT_EQ(pointers, 0);  // each proposition here starts under a heading
  EXPECT_EQ(rectangles, 0);
  EXPECT_TRUE(boldName);
  documents_ = 1;
  Text one;
  one.Word("a").Mark().Word("b").Mark();
  canvas.Clear();
  TPageOptions byProposition;
  byProposition.limitToPropositions = true;
  ViewState.ExtractMode = false;
  Draw(canvas, {0, 0, 2000, 200}, byProposition);
  pointers = 0;
  for (const DrawOp& op : canvas.Ops())
    if (op.kind == DrawOp::kPolygon && op.points.size() == 3) ++pointers;
  EXPECT_EQ(pointers, 2);
}

TEST_F(TextPage, WordsTakeTheirCategoryColourUnlessSelective) {
  Text t;
  t.Word("walked", " ", Cat(kClassVerb, 1)).Word("river", " ", Cat(kClassSubstantive, 0, 1, 7)).Word("the");
  RecordingCanvas canvas(7);
  Draw(canvas, {0, 0, 2000, 100});
  const Rgb verb = ViewState.CurrentColours[kClassVerb];
  ASSERT_NE(verb, kBlack);
  auto colourOf = [&canvas](const std::string& text) {
    for (const DrawOp& op : canvas.Ops())
      if (op.kind == DrawOp::kText && op.text == text) return op.font.colour;
    return Rgb{0xFFFFFFFF};
  };
  EXPECT_EQ(colourOf("walked"), verb);
  EXPECT_EQ(colourOf(" river"), ViewState.CurrentColours[kColourClassified]);
  TPageOptions selective;
  selective.selectiveColouring = true;
  canvas.Clear();
  Draw(canvas, {0, 0, 2000, 100}, selective);
  EXPECT_EQ(colourOf("walked"), kBlack);
  EXPECT_EQ(colourOf(" river"), kBlack);
  // The highlighted word is underlined on the inverse of its colour.
  page_.HighlightedPosition = 1;
  canvas.Clear();
  Draw(canvas, {0, 0, 2000, 100});
  for (const DrawOp& op : canvas.Ops()) {
    if (op.kind != DrawOp::kText || op.text != "walked") continue;
    EXPECT_TRUE(op.font.underline);
    EXPECT_TRUE(op.opaqueText);
    EXPECT_EQ(op.brush, verb ^ 0xFFFFFF);
  }
}

// Only the highlighted word stands on a background; the words around it and
// a page without a highlighted word are drawn on the page itself.
TEST_F(TextPage, OnlyTheHighlightedWordIsDrawnOnABackground) {
  Text t;
  t.Word("walked", " ", Cat(kClassVerb, 1)).Word("river", " ", Cat(kClassSubstantive, 0, 1, 7)).Word("the");
  RecordingCanvas canvas(7);
  for (int32_t highlighted : {0, 2}) {
    page_.HighlightedPosition = highlighted;
    canvas.Clear();
    Draw(canvas, {0, 0, 2000, 100});
    int texts = 0;
    for (const DrawOp& op : canvas.Ops()) {
      if (op.kind != DrawOp::kText) continue;
      ++texts;
      EXPECT_EQ(op.opaqueText, highlighted == 2 && op.text == " river") << op.text;
      EXPECT_EQ(op.font.underline, highlighted == 2 && op.text == " river") << op.text;
    }
    EXPECT_GE(texts, 3);
  }
}

TEST_F(TextPage, ADocumentChangeDrawsAHeaderLine) {
  documents_ = 2;
  Text t;
  t.Word("one", " ", Cat(kClassDeterminant), 1).Mark().Word("two", " ", Cat(kClassDeterminant), 2).Mark();
  RecordingCanvas canvas(7);
  Draw(canvas, {0, 0, 2000, 200});
  EXPECT_EQ(Words(canvas), (std::vector<std::string>{"doc1.txt", "one", ".", "doc2.txt", "two", "."}));
  // The header has a line of its own: "two" is on the line after doc2's header.
  EXPECT_EQ(page_.Line(0).items[1].kind, kItemHeader);
  const std::optional<TPageItem> hit = page_.WordAt(page_.Line(0).items[2].right - 1, 2);
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->kind, kItemHeader);
  // Names hidden: only the icon, the words follow it on its line.
  TPageOptions hidden;
  hidden.showFileNames = false;
  canvas.Clear();
  Draw(canvas, {0, 0, 2000, 200}, hidden);
  EXPECT_EQ(Words(canvas), (std::vector<std::string>{"one", ".", "two", "."}));
  EXPECT_EQ(page_.LineCount(), 1);
  EXPECT_EQ(page_.Line(1).items[1].kind, kItemHeader);
  EXPECT_EQ(page_.Line(1).items[2].position, 2);
  // One document: no header at all; an empty name draws no box either.
  documents_ = 1;
  page_.DocumentName = [](uint16_t) { return std::string(); };
  canvas.Clear();
  Draw(canvas, {0, 0, 2000, 200});
  EXPECT_EQ(Words(canvas).front(), "one");
}

TEST_F(TextPage, PaintedVerbHasItsColourOnScreen) {
  Text t;
  t.Word("walked", " ", Cat(kClassVerb, 1));
  QImage image(300, 40, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    PainterCanvas canvas(painter);
    TextWords.Rewind();
    TextWords.SaveCursor(1);
    page_.DrawPage(canvas, {0, 0, 300, 40}, TPageOptions{});
  }
  const QColor verb = ToQColor(ViewState.CurrentColours[kClassVerb]);
  int verbPixels = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) == verb) ++verbPixels;
  EXPECT_GT(verbPixels, 10);
}

TEST_F(TextPage, ExtractShowsOnlyTheSelectedPropositions) {
  Text t;
  t.Word("a").Word("dog", " ", Cat(kClassSubstantive, 0, 1, 5)).Mark();
  for (int i = 0; i < 20; ++i) t.Word("x");
  t.Mark().Word("the").Word("dog", " ", Cat(kClassSubstantive, 0, 1, 5)).Mark();
  ViewState.selection.kind = kSelectLexicalEntry;  // words by entry: no relation records needed
  ViewState.selection.lexicalEntry = 0;
  ViewState.selection.majorClass = kClassSubstantive;
  BeginNewSelection();
  ViewState.selection.kind = kSelectMarked;
  TextWords.First()[1].mark = 1;  // "dog" at 2
  TWordNode* node = TextWords.First();
  for (int i = 0; i < 25; ++i) node = TWordList::NextNode(node);
  node->mark = 1;  // the second "dog"
  TPageOptions byProposition;
  byProposition.limitToPropositions = true;
  RecordingCanvas canvas(7);
  Draw(canvas, {0, 0, 2000, 200}, byProposition);
  EXPECT_EQ(Words(canvas), (std::vector<std::string>{"a", " dog", ".", "the", " dog", "."}));
  // The text ends on the second line, which stays open.
  EXPECT_EQ(page_.LineCount(), 1);
  EXPECT_EQ(page_.Line(1).items[2].position, 24);
}

}  // namespace
}  // namespace quilor::ui
