// The text view and the copy window show an analysed document as it is
// written: its curly quotes and dashes, its blanks, its joined expressions
// and numbers, with punctuation on the right side of line and paragraph ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/options.h"
#include "engine/selection.h"
#include "engine/word_list.h"
#include "mainwindow/copy_text_model.h"
#include "mainwindow/text_page_layout.h"
#include "ui/recording_canvas.h"
#include "ui/view_state.h"
#include "ui_support/engine_session.h"

namespace quilor::ui {
namespace {

using testing_support::EngineSession;

// The document in UTF-8, as a novel has it.
const char kDocument[] =
    "\xE2\x80\x9C"
    "and what is the use of a book,\xE2\x80\x9D thought Alice \xE2\x80\x94 "
    "\xE2\x80\x9Cwithout pictures?\xE2\x80\x9D\n\n"
    "Her father, J. P. Morgan, Jr., who came on Aug. 2, 1913, saw the Tea-Party and a multi-million-dollar "
    "deal (at home). She said and \xE2\x80\x9C"
    "a doctor\xE2\x80\x9D came.\n";

// The same in Windows-1252 with each run of blanks as one blank: what the
// reader sees.
const char kShown[] =
    "\x93"
    "and what is the use of a book,\x94 thought Alice \x97 \x93without pictures?\x94 "
    "Her father, J. P. Morgan, Jr., who came on Aug. 2, 1913, saw the Tea-Party and a multi-million-dollar "
    "deal (at home). She said and \x93"
    "a doctor\x94 came.";

std::string WithoutBlanks(std::string s) {
  s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
  return s;
}

bool IsClosing(char c) { return std::string(".,;:!?)\x94").find(c) != std::string::npos; }

class WrittenText : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(session_.Started());
    ViewState.Reset();
    ViewState.selection.Clear();
    Options->Set(opt::LinkCompoundWords, 0);
    ASSERT_TRUE(session_.Analyse({session_.Write("novel.txt", kDocument)}));
  }
  void TearDown() override {
    ViewState.Reset();
    ViewState.selection.Clear();
  }
  // The texts the page draws from the start of the text, and where.
  std::vector<DrawOp> Draw(int width) {
    TExtraitDuTexte page;
    page.DocumentCount = [] { return 1; };
    TextWords.Rewind();
    TextWords.SaveCursor(kBookmarkPageStart);
    RecordingCanvas canvas(7);
    page.DrawPage(canvas, {0, 0, width, 600}, {});
    std::vector<DrawOp> texts;
    for (const DrawOp& op : canvas.Ops())
      if (op.kind == DrawOp::kText) texts.push_back(op);
    return texts;
  }
  EngineSession session_;
};

TEST_F(WrittenText, ThePageDrawsTheTextAsWritten) {
  std::string line;
  for (const DrawOp& op : Draw(20000)) line += op.text;
  EXPECT_EQ(line, kShown);

  // On narrow lines nothing is lost; a line starts with no blank and with
  // nothing that closes the text before; an opening quote stays with its word.
  const std::vector<DrawOp> narrow = Draw(160);
  std::string all;
  int lines = 0;
  for (size_t i = 0; i < narrow.size(); ++i) {
    const DrawOp& op = narrow[i];
    all += op.text;
    ASSERT_FALSE(op.text.empty());
    if (op.points[0].x == 0) {
      ++lines;
      EXPECT_NE(op.text[0], ' ') << op.text;
      if (i > 0) {
        EXPECT_FALSE(IsClosing(op.text[0])) << op.text;
      }
    }
    if (op.text.back() == '\x93' || op.text.back() == '(')
      ADD_FAILURE() << "an opening mark left at the end of [" << op.text << "]";
  }
  EXPECT_GT(lines, 5);
  EXPECT_EQ(WithoutBlanks(all), WithoutBlanks(kShown));
}

TEST_F(WrittenText, TheCopyWindowHasTheTextAsWritten) {
  const TCopyText copy = BuildCopyText(0, false);
  ASSERT_GT(copy.paragraphs.size(), 2u);
  std::string all;
  for (const std::string& paragraph : copy.paragraphs) {
    ASSERT_FALSE(paragraph.empty());
    EXPECT_NE(paragraph.front(), ' ') << paragraph;
    EXPECT_NE(paragraph.back(), ' ') << paragraph;
    EXPECT_FALSE(IsClosing(paragraph.front())) << paragraph;
    EXPECT_NE(paragraph.back(), '\x93') << paragraph;
    EXPECT_NE(paragraph.back(), '(') << paragraph;
    if (!all.empty()) all += ' ';
    all += paragraph;
  }
  EXPECT_EQ(all, kShown);
}

}  // namespace
}  // namespace quilor::ui
