// One page of the analysed text (TExtraitDuTexte): the words of TextWords
// from the page start (bookmark 1) laid out line by line on a canvas,
// coloured by category or by the selection, with a header whenever the
// document changes, proposition marks, and in extract mode only the
// propositions that match the selection. The page remembers where every word
// landed, for WordAt. The main window's text view and the context window
// each have one; the screen, the printer and the tests draw through the same
// DrawPage.
//
// Bookmarks of TextWords: 1 the page start, 2 the start of the page's last
// line (set at each line break), 3 the occurrence found by the selection
// search. ViewState (ui/view_state.h) holds the globals the page
// reads and writes (CurrentWordPosition, ExtractMode, TextViewWordLimit, ...).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/category.h"
#include "ui/canvas.h"
#include "ui/view_state.h"

namespace quilor {
class TWordList;
struct TWordNode;
}  // namespace quilor

namespace quilor::ui {

constexpr int kPageLines = 203;
constexpr int kLineItems = 95;
constexpr int kMaxPageRows = 202;
constexpr int kContextFragmentWords = 15;  // extract fragments shorter than this run on
constexpr int kMarkWidth = 16;             // proposition marks and header icons

enum PageItemKind : int32_t { kItemWord = 0, kItemHeader = 1 };

struct TPageItem {
  int32_t right = 0;     // right edge of the drawn text
  int32_t position = 0;  // word position
  int32_t kind = kItemWord;
  TCategoryRecord category;
};

struct TPageLine {
  int32_t count = 0;                              // items 1..count
  int32_t bottom = 0;                             // written when the line is closed
  std::array<TPageItem, kLineItems + 1> items{};  // item 0 is never filled
};

// What a page reads from the options, taken at each drawing.
struct TPageOptions {
  bool largeFonts = false;
  bool selectiveColouring = false;
  bool limitToPropositions = false;  // "Limit extracts to grammatical propositions"
  bool showFileNames = true;         // "Show filenames in the text extracts"
  static TPageOptions Current();
};

class TExtraitDuTexte {
 public:
  explicit TExtraitDuTexte(TViewState& state = ViewState);
  TExtraitDuTexte(const TExtraitDuTexte&) = delete;
  TExtraitDuTexte& operator=(const TExtraitDuTexte&) = delete;

  // The word drawn underlined on the inverse colour; 0 none.
  int32_t HighlightedPosition = 0;
  // The name of a document by its file number (by default the file queue's entry).
  std::function<std::string(uint16_t)> DocumentName;
  // How many documents were analysed (by default the file queue's count).
  std::function<int()> DocumentCount;

  // True when the last page drew at least one word.
  bool HasWords() const { return wordsDrawn_ > 0; }
  // The context window's page: no extract, no proposition breaks or marks.
  void DrawPlainPage(Canvas& canvas, const Rect& r);
  // The main window's page: extract mode from ViewState, breaks and marks.
  void DrawPage(Canvas& canvas, const Rect& r);
  void DrawPage(Canvas& canvas, const Rect& r, const TPageOptions& options);
  void DrawPlainPage(Canvas& canvas, const Rect& r, const TPageOptions& options);
  // Moves the page start back / forward one proposition (oneLine) or one page.
  void PageBack(bool oneLine);
  void PageForward(bool oneLine);
  // The item (a word or a document header) under a point of the last
  // layout; nothing between the lines' items and past them.
  std::optional<TPageItem> WordAt(int x, int y) const;
  int32_t FirstWordPosition() const;

  // What the last layout produced.
  int LineCount() const { return lineCount_; }
  int Rows() const { return rows_; }
  int WordsDrawn() const { return wordsDrawn_; }
  int RowHeight() const { return rowHeight_; }
  const Rect& PageRect() const { return rect_; }
  // The last page showed the end of the text.
  bool ReachedEnd() const { return reachedEnd_; }
  const TPageLine& Line(int i) const { return lines_[static_cast<size_t>(i)]; }

 private:
  struct Pen;
  struct TPageDraw;
  struct Writer;
  // A layout places the page (Place: the line table and what to draw, the
  // canvas only measuring), then draws what it placed (Paint).
  void Layout(Canvas& canvas, const Rect& r, bool breaks, bool marks, const TPageOptions& options);
  void Place(Canvas& canvas, const Rect& r, bool breaks, bool marks, const TPageOptions& options,
             std::vector<TPageDraw>& draws);
  void Paint(Canvas& canvas, const Rect& r, const Font& font, const std::vector<TPageDraw>& draws) const;

  TViewState& state_;
  Rect rect_;
  int lineCount_ = 0;
  int rows_ = 0;
  int wordsDrawn_ = 0;
  int rowHeight_ = 0;
  bool extractMode_ = false;
  bool extractFound_ = false;  // the last extract layout searched forward
  bool reachedEnd_ = false;
  std::array<TPageLine, kPageLines> lines_{};
};

// A word's tag (the punctuation before it) with display spacing; "" when it has none.
std::string SpacedTag(const char* tag);

// The spacing of the punctuation between the words of a page, as a reader
// expects it: closing marks (. , ; : ! ? ) ] } and a closing double quote)
// stick to the text before them and are followed by a blank; opening marks
// (( [ { and an opening double quote) follow a blank and stick to the word
// after them; an apostrophe or a hyphen is written as it stands. Double
// quotes open and close in turn. For the words kept without their written
// form (TWordList::GapOf): their tag holds at most three characters of
// punctuation, without the blanks, which are placed here.
class TTextSpacer {
 public:
  bool quoteOpen = false;
  // The text to draw for a tag (between two words, or at a proposition mark).
  std::string Tag(const std::string& tag);
  // The text to draw for a word: the blank owed before it, then the word.
  std::string Word(const std::string& word);
  // A new line: no blank is owed at its start.
  void LineStart() {
    space_ = false;
    stick_ = true;
  }

 private:
  bool space_ = false;  // a blank is owed before the next character
  bool stick_ = true;   // the next character sticks to the previous one
};

// A proposition mark's tag cut before its first opening mark: what closes
// the proposition stays with it, what opens the next one goes with that one.
void SplitAtOpening(const std::string& tag, bool quoteOpen, std::string& closing, std::string& opening);

// A proposition shown without the one before it (a page's first, an
// extract's): the punctuation to write before its first word, node (what
// the mark before it opened, then what the word's own tag opens; what closed
// the proposition before is left out), with spacer's quotes set as the
// whole text leaves them there, a quote it never closed included.
std::string TagOfPropositionShownAlone(TWordNode* node, TWordNode* first, TTextSpacer& spacer);

// The length of the punctuation that starts a piece of running text and
// closes the text before it (the ", " of "War 1, planes", the ".\" " of a
// closing quote), up to the piece's first blank; 0 when the piece starts
// otherwise. That punctuation stays on the line of the text it closes.
size_t ClosingPrefixLength(const std::string& piece);
// The length of the hyphens or dashes that start a piece and join it to the
// text before it ("-submarine" after "anti"); 0 when no word follows them.
// They stay on the line of the text they join.
size_t JoiningDashLength(const std::string& piece);

// A word's gap (TWordList::GapOf) as drawn: each run of blanks and line
// ends as one blank.
std::string FoldBlanks(const char* gap);
// A gap cut at its last blank, where a proposition may end: what closes the
// text before (".\x94" of ".\x94 \x93Yes"), and what opens the word after
// ("\x93"); blank: whether a blank stood between them.
struct TGapParts {
  std::string closing;
  std::string opening;
  bool blank = false;
};
TGapParts SplitGap(const char* gap);
// The word as its document has it (its display form when it was appended
// without, and a joined expression with its links when link is on).
std::string WordAsWritten(const TWordNode& node, bool link);

// The font colour of a word on the page (rules of the selection, the
// highlight criteria and selective colouring).
Rgb WordColour(const TWordNode& node, bool extractMode, bool selectiveColouring, const TViewState& state = ViewState);

// The scroll bar of a text page.
enum class ScrollCode { kLineUp, kLineDown, kPageUp, kPageDown, kPosition, kTop, kBottom, kTrack, kEnd };
// Moves the page of the main text view for a scroll; false when nothing is
// to be redrawn (track, end). position is the scroll bar's target.
bool ScrollTextPage(TExtraitDuTexte& page, ScrollCode code, int32_t position);

// Keeps what a point hit in a view's state (HitWordPosition, HitItemKind,
// HitCategory), where the drag and the commands of the text's popup menu
// find it; a miss clears only the category.
void KeepHit(TViewState& state, const std::optional<TPageItem>& hit);

}  // namespace quilor::ui
