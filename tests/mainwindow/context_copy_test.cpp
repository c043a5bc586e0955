#include <gtest/gtest.h>

#include <fstream>

#include "core/file_queue.h"
#include "ui/view_state.h"
#include "engine/word_list.h"
#include "mainwindow/context_model.h"
#include "mainwindow/copy_text_model.h"
#include "ui/recording_canvas.h"
#include "tests/support/stream_support.h"

namespace quilor::ui {
namespace {

using testing_support::TempFolder;

// words "w1".."wN", a proposition mark after every tenth.
void BuildText(int words, const char* prefix = "w") {
  TextWords.Clear();
  TWordCategoryData d;
  d.Category.MajorClass = kClassDeterminant;
  for (int i = 1; i <= words; ++i) {
    const std::string text = prefix + std::to_string(i);
    TextWords.Append(text.c_str(), " ", 0, 1, i, &d);
    if (i % 10 == 0) {
      TWordCategoryData mark;
      TextWords.Append("/", ".", 0, 1, i, &mark);
    }
  }
}

TWordNode* NodeAt(int32_t position) {
  TWordNode* keep = TextWords.Cursor();
  TextWords.SeekPosition(position);
  TWordNode* n = TextWords.Cursor();
  TextWords.SetCursor(keep);
  return n;
}

class ContextWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildText(200);
    FileQueue.Clear();
    document_ = folder_.Write("doc.txt", "text");
    FileQueue.Add(document_.c_str());
  }
  void TearDown() override {
    TextWords.Clear();
    FileQueue.Clear();
  }
  TempFolder folder_;
  std::string document_;
};

TEST_F(ContextWindow, StartsTenWordsBeforeTheWordAndUnderlinesIt) {
  EXPECT_EQ(ContextPageStart(40), 30);
  EXPECT_EQ(ContextPageStart(5), 5);
  TContextModel context;
  ASSERT_TRUE(context.AfficherLeContexte(40, ContextPageStart(40)));
  RecordingCanvas canvas(7);
  context.Draw(canvas, {0, 0, 400, 200});
  EXPECT_EQ(context.FirstWordPosition(), 30);
  EXPECT_EQ(context.HighlightedPosition(), 40);
  bool underlined = false;
  for (const DrawOp& op : canvas.Ops())
    if (op.kind == DrawOp::kText && op.font.underline) underlined = op.text == " w40";
  EXPECT_TRUE(underlined);
  EXPECT_EQ(context.ScrollMaximum(), 200);
  EXPECT_EQ(context.ScrollPosition(), 30);
  // One document: the program cannot open it again; no shortcut, no address.
  EXPECT_FALSE(context.OpenWithProgramEnabled());
  EXPECT_EQ(context.DocumentName(), document_);
  EXPECT_FALSE(context.WebEnabled());
  // Closing the window removes the underline.
  context.Closed();
  canvas.Clear();
  context.Draw(canvas, {0, 0, 400, 200});
  for (const DrawOp& op : canvas.Ops()) EXPECT_FALSE(op.font.underline);
}

// Closed, the window may be shown again after its text has gone (another
// document opened meanwhile): it draws nothing from the old words until it
// is placed in the new text.
TEST_F(ContextWindow, AClosedWindowDrawsNothingUntilPlacedAgain) {
  TContextModel context;
  ASSERT_TRUE(context.AfficherLeContexte(40, ContextPageStart(40)));
  context.Closed();
  BuildText(60, "v");
  RecordingCanvas canvas(7);
  context.Draw(canvas, {0, 0, 400, 200});
  EXPECT_TRUE(canvas.Ops().empty());
  EXPECT_FALSE(context.Scroll(ScrollCode::kPageDown, 0));
  ASSERT_TRUE(context.AfficherLeContexte(45, ContextPageStart(45)));
  context.Draw(canvas, {0, 0, 400, 200});
  bool underlined = false;
  for (const DrawOp& op : canvas.Ops()) {
    EXPECT_EQ(op.text.find('w'), std::string::npos) << op.text;
    if (op.kind == DrawOp::kText && op.font.underline) underlined = op.text == " v45";
  }
  EXPECT_TRUE(underlined);
}

TEST_F(ContextWindow, LeavesTheMainViewsBookmarksWhereTheyWere) {
  const int slots[] = {1, 2, 3, 5, 7};
  const int32_t places[] = {11, 21, 31, 51, 71};
  for (size_t i = 0; i < 5; ++i) TextWords.SetBookmark(slots[i], NodeAt(places[i]));
  TextWords.SetCursor(NodeAt(99));
  TContextModel context;
  ASSERT_TRUE(context.AfficherLeContexte(190, ContextPageStart(190)));
  RecordingCanvas canvas(7);
  context.Draw(canvas, {0, 0, 400, 200});
  for (int i = 0; i < 5; ++i) {
    context.Scroll(ScrollCode::kPageDown, 0);
    context.Draw(canvas, {0, 0, 400, 200});
  }
  // Past the end nothing moves.
  EXPECT_FALSE(context.Scroll(ScrollCode::kPageDown, 0));
  context.Scroll(ScrollCode::kLineUp, 0);
  context.Draw(canvas, {0, 0, 400, 200});
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(TextWords.Bookmark(slots[i])->position, places[i]) << slots[i];
  EXPECT_EQ(TextWords.Cursor()->position, 99);
}

TEST_F(ContextWindow, AShortcutBesideTheDocumentGivesItsAddress) {
  folder_.Write("doc.url", "[InternetShortcut]\r\nURL=https://example.org/doc\r\n");
  FileQueue.Add(folder_.Write("other.txt", "x").c_str());
  TContextModel context;
  ASSERT_TRUE(context.AfficherLeContexte(40, 30));
  EXPECT_EQ(context.ShortcutFile(), folder_.Path("doc.url"));
  EXPECT_EQ(context.Url(), "https://example.org/doc");
  EXPECT_TRUE(context.WebEnabled());
  EXPECT_TRUE(context.OpenWithProgramEnabled());
}

TEST(CopyWindow, ThePassageStartsFiveHundredWordsBeforeTheChosenWord) {
  BuildText(1000);
  TextWords.SetBookmark(4, NodeAt(444));
  TextWords.SetCursor(NodeAt(7));
  TCopyText text = BuildCopyText(800, false);
  EXPECT_EQ(text.firstWordPosition, 300);
  ASSERT_FALSE(text.paragraphs.empty());
  EXPECT_EQ(text.paragraphs[0].rfind(" w300", 0), 0u) << text.paragraphs[0];
  // The caret stands before the chosen word, one character per paragraph break.
  const std::string all = text.Joined();
  EXPECT_EQ(all.substr(static_cast<size_t>(text.caretOffset), 5), " w800");
  EXPECT_EQ(TextWords.Bookmark(4)->position, 444);
  EXPECT_EQ(TextWords.Cursor()->position, 7);
  // Near the start the passage starts at the first word.
  EXPECT_EQ(BuildCopyText(400, false).firstWordPosition, 0);
  EXPECT_EQ(BuildCopyText(400, false).paragraphs[0].rfind(" w1 ", 0), 0u);
  TextWords.Clear();
}

TEST(CopyWindow, ALongTextIsCutAfterTheWordThatPassesTheLimit) {
  BuildText(20000, "word");  // about 140,000 characters
  TCopyText text = BuildCopyText(0, false);
  EXPECT_TRUE(text.cut);
  size_t total = 0;
  for (const std::string& p : text.paragraphs) total += p.size();
  EXPECT_GT(total, kCopyTextLimit);
  EXPECT_LT(total, kCopyTextLimit + 12);
  TextWords.Clear();
}

TEST(CopyWindow, CopyTakesTheSelectionOrEverything) {
  bool all = false;
  EXPECT_EQ(TextToCopy("the whole text", 4, 5, all), "whole");
  EXPECT_FALSE(all);
  EXPECT_EQ(TextToCopy("the whole text", 0, 0, all), "the whole text");
  EXPECT_TRUE(all);
  EXPECT_EQ(TextToCopy("the whole text", 4, 1, all), "");
  EXPECT_FALSE(all);
}

TEST(CopyWindow, ExtractMarksTheSelectedWordOfEachProposition) {
  BuildText(40);
  ViewState.selection.Clear();
  ViewState.selection.kind = kSelectMarked;
  NodeAt(5)->mark = 1;
  NodeAt(25)->mark = 1;
  TCopyText text = BuildCopyText(0, true);
  ASSERT_EQ(text.paragraphs.size(), 2u);
  EXPECT_EQ(text.paragraphs[0].rfind(" w1 ", 0), 0u);
  EXPECT_EQ(text.paragraphs[1].rfind(" w21 ", 0), 0u);
  ASSERT_EQ(text.marked.size(), 2u);
  const std::string all = text.Joined();
  EXPECT_EQ(all.substr(static_cast<size_t>(text.marked[0].start), static_cast<size_t>(text.marked[0].length)), "w5");
  EXPECT_EQ(all.substr(static_cast<size_t>(text.marked[1].start), static_cast<size_t>(text.marked[1].length)), "w25");
  ViewState.selection.Clear();
  TextWords.Clear();
}

}  // namespace
}  // namespace quilor::ui
