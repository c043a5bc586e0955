#include "mainwindow/text_page_layout.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "core/chartables.h"
#include "core/file_queue.h"
#include "core/options.h"
#include "ui/view_state.h"
#include "engine/word_list.h"

namespace quilor::ui {

namespace {

constexpr Rgb kHeaderGrey = MakeRgb(0xE0, 0xE0, 0xE0);
constexpr size_t kNoRecord = static_cast<size_t>(-1);

bool IsMarkText(const char* text) { return text && text[0] == '/'; }

bool MatchesHighlight(const TWordCategoryData& d) {
  for (size_t i = 0; i < static_cast<size_t>(kMaxSearchPatterns); ++i)
    if (ViewState.selection.activePatterns[i] && WordMatchesPattern(d, ViewState.selection.patterns[i])) return true;
  return false;
}

// The proposition mark of the main page: a small pointer at the start of the
// proposition, orange in an extract, grey otherwise.
void DrawPropositionMark(Canvas& canvas, int x, int y, int height, bool extract) {
  const Rgb colour = extract ? MakeRgb(0xE0, 0x80, 0x10) : MakeRgb(0x90, 0x90, 0x90);
  canvas.SetPen(colour);
  canvas.SetBrush(colour);
  const int middle = y + height / 2;
  const int half = std::max(2, height / 4);
  canvas.Polygon({{x + 4, middle - half}, {x + 4 + 2 * half, middle}, {x + 4, middle + half}});
  canvas.SetBrush(kWhite, BrushStyle::kClear);
}

// The document icon of a header: a sheet with a folded corner and lines of text.
void DrawDocumentIcon(Canvas& canvas, int x, int y, int height) {
  const int top = y + 1;
  const int bottom = y + std::max(6, height - 1);
  const int left = x + 3;
  const int right = x + 13;
  const int fold = 3;
  canvas.SetPen(MakeRgb(0x40, 0x40, 0x40));
  canvas.SetBrush(kWhite);
  canvas.Polygon({{left, top}, {right - fold, top}, {right, top + fold}, {right, bottom}, {left, bottom}});
  canvas.Line({right - fold, top}, {right - fold, top + fold});
  canvas.Line({right - fold, top + fold}, {right, top + fold});
  canvas.SetPen(MakeRgb(0x70, 0x70, 0xA0));
  for (int line = top + fold + 2; line < bottom - 1; line += 2) canvas.Line({left + 2, line}, {right - 2, line});
  canvas.SetBrush(kWhite, BrushStyle::kClear);
}

// The cursor to the proposition of the occurrence found: past the mark that
// opens it, so that the mark is not read again.
void RestoreOccurrence(TWordList& words) {
  words.RestoreCursor(kBookmarkSearchStart);
  if (IsMarkText(words.Cursor()->text)) words.SetCursor(TWordList::NextNode(words.Cursor()));
}

// A double quote followed by what closes a sentence or a clause (". ," ")")
// closes, whatever the quotes counted before say.
bool QuoteClosesHere(const std::string& tag, size_t i) {
  return tag[i] == '"' && i + 1 < tag.size() && std::strchr(".,;:!?)]}", tag[i + 1]) != nullptr;
}

// Whether the text has letters or digits (a word) or only punctuation.
bool HasWordCharacters(const std::string& text) {
  for (const unsigned char c : text) {
    if (std::isalnum(c)) return true;
    // Curly quotes, dashes and the like are punctuation; accented letters are not.
    if (c >= 0x80 && (CharClass(c) == kCharLetter || CharClass(c) == kCharDigit)) return true;
  }
  return false;
}

// Whether a double quote is open before node's own tag, as the page's
// spacing leaves it when it draws its document from the start (at most a
// few thousand words back; past that the quotes are taken as closed). The
// tags are replayed as the page reads them, so that a quote the text never
// closed counts as the page counts it.
bool QuoteOpenBefore(TWordNode* node, TWordNode* first) {
  if (!node || node == first) return false;
  const uint16_t file = node->fileNumber;
  TWordNode* start = node;
  int steps = 0;
  for (TWordNode* n = TWordList::PreviousNode(node); n; n = TWordList::PreviousNode(n)) {
    if (n->fileNumber != file || ++steps > 5000) break;
    start = n;
    if (n == first) break;
  }
  TTextSpacer spacer;
  std::string previousTag;
  bool previousWasMark = false;
  for (TWordNode* n = start; n && n != node; n = TWordList::NextNode(n)) {
    const std::string tag = n->tag;
    const bool isMark = IsMarkText(n->text);
    // A tag repeated next to a proposition mark is drawn once.
    const bool repeat = tag == previousTag && tag != " " && !tag.empty() && (isMark || previousWasMark);
    previousTag = tag;
    previousWasMark = isMark;
    if (!repeat) spacer.Tag(tag);
  }
  return spacer.quoteOpen;
}

}  // namespace

void SplitAtOpening(const std::string& tag, bool quoteOpen, std::string& closing, std::string& opening) {
  size_t cut = tag.size();
  bool open = quoteOpen;
  for (size_t i = 0; i < tag.size(); ++i) {
    const char c = tag[i];
    if (c == '"') {
      if (!open && !QuoteClosesHere(tag, i)) {
        cut = i;
        break;
      }
      open = false;
    } else if (std::strchr("([{", c)) {
      cut = i;
      break;
    }
  }
  while (cut > 0 && cut < tag.size() && tag[cut - 1] == ' ') --cut;
  closing = tag.substr(0, cut);
  opening = tag.substr(cut);
}

std::string TagOfPropositionShownAlone(TWordNode* node, TWordNode* first, TTextSpacer& spacer) {
  const std::string tag = node->tag;
  std::string own = tag.empty() ? std::string(" ") : tag;
  std::string opened;
  TWordNode* mark = node != first ? TWordList::PreviousNode(node) : nullptr;
  if (mark && IsMarkText(mark->text) && mark->fileNumber == node->fileNumber) {
    TTextSpacer before;
    before.quoteOpen = QuoteOpenBefore(mark, first);
    std::string closed;
    SplitAtOpening(mark->tag, before.quoteOpen, closed, opened);
    before.Tag(closed);
    spacer.quoteOpen = before.quoteOpen;
    // The same punctuation seen twice, on the mark and on the word.
    if (tag == mark->tag) own = std::string(" ");
  } else {
    spacer.quoteOpen = QuoteOpenBefore(node, first);
  }
  TTextSpacer after = spacer;
  after.Tag(opened);
  std::string closing, opening;
  SplitAtOpening(own, after.quoteOpen, closing, opening);
  if (closing.find('"') != std::string::npos) spacer.quoteOpen = false;
  const std::string text = opened + opening;
  return text.empty() ? std::string(" ") : text;
}

std::string SpacedTag(const char* tag) {
  if (!tag || !tag[0]) return {};
  char buffer[8] = {};
  std::strncpy(buffer, tag, 3);
  SpacePunctuation(buffer);
  return buffer;
}

std::string FoldBlanks(const char* gap) {
  std::string out;
  for (const char* c = gap; c && *c; ++c) {
    const bool blank = static_cast<unsigned char>(*c) <= ' ';
    if (!blank) out += *c;
    else if (out.empty() || out.back() != ' ') out += ' ';
  }
  return out;
}

TGapParts SplitGap(const char* gap) {
  const std::string folded = FoldBlanks(gap);
  TGapParts parts;
  const size_t last = folded.rfind(' ');
  if (last == std::string::npos) {
    parts.opening = folded;
    return parts;
  }
  parts.blank = true;
  parts.closing = folded.substr(0, last);
  parts.opening = folded.substr(last + 1);
  return parts;
}

std::string WordAsWritten(const TWordNode& node, bool link) {
  const char* written = TextWords.WrittenOf(node);
  const char* text = node.text ? node.text : "";
  if (written && written[0] && !(link && std::strchr(text, '_'))) return written;
  // A word kept as its text; a number named since keeps its figures.
  if (written) text = TextWords.OriginalText(node);
  return DisplayForm(text, node.category, link);
}

size_t JoiningDashLength(const std::string& piece) {
  const size_t end = piece.find_first_not_of("-\x96\x97");
  return end == 0 || end == std::string::npos || !HasWordCharacters(piece.substr(end, 1)) ? 0 : end;
}

size_t ClosingPrefixLength(const std::string& piece) {
  const size_t end = std::min(piece.find(' '), piece.size());
  if (end == 0 || std::strchr(".,;:!?)]}\"\x94\x92\xBB", piece[0]) == nullptr) return 0;
  return HasWordCharacters(piece.substr(0, end)) ? 0 : end;
}

std::string TTextSpacer::Tag(const std::string& tag) {
  std::string out;
  for (size_t i = 0; i < tag.size(); ++i) {
    const char c = tag[i];
    const bool quote = c == '"';
    if (QuoteClosesHere(tag, i)) quoteOpen = true;
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      if (!stick_) space_ = true;
    } else if (std::strchr(".,;:!?)]}", c) || (quote && quoteOpen)) {
      if (quote) quoteOpen = false;
      out += c;
      space_ = true;
      stick_ = false;
    } else if (std::strchr("([{", c) || quote) {
      if (quote) quoteOpen = true;
      if (space_ || !stick_) out += ' ';
      out += c;
      space_ = false;
      stick_ = true;
    } else {
      if (space_) out += ' ';
      out += c;
      space_ = false;
      stick_ = false;
    }
  }
  return out;
}

std::string TTextSpacer::Word(const std::string& word) {
  std::string out = space_ ? " " : "";
  out += word;
  space_ = false;
  stick_ = false;
  return out;
}

TPageOptions TPageOptions::Current() {
  TPageOptions o;
  o.largeFonts = Options->Switch(opt::LargeFonts);
  o.selectiveColouring = Options->Switch(opt::SelectiveColouring);
  o.limitToPropositions = Options->Switch(opt::ExtractsByProposition);
  o.showFileNames = !Options->Switch(opt::HideFileNames);
  return o;
}

Rgb WordColour(const TWordNode& node, bool extractMode, bool selectiveColouring, const TViewState& state) {
  const TWordCategoryData& d = node.category;
  const bool classMark = d.ClassMark == 1 || d.ClassMark == 2;
  if (extractMode && state.SelectionActive) {
    if (ViewState.selection.kind == kSelectMarked) {
      if (!node.mark) return kBlack;
      return classMark ? state.CurrentColours[kColourClassified] : CategoryColour(d.Category.MajorClass, state);
    }
    if (ViewState.selection.kind == kSelectLexicalEntry) {
      if (!WordMatchesSelection(node, ViewState.selection)) return kBlack;
      return ViewState.selection.majorClass == kClassSubstantive ? state.CurrentColours[kColourClassified]
                                                                 : CategoryColour(d.Category.MajorClass, state);
    }
  }
  if (!classMark) {
    if (extractMode) return MatchesHighlight(d) ? CategoryColour(d.Category.MajorClass, state) : kBlack;
    return selectiveColouring ? kBlack : CategoryColour(d.Category.MajorClass, state);
  }
  if (state.SelectionActive && !WordMatchesSelection(node, ViewState.selection)) return kBlack;
  if (!state.SelectionActive && selectiveColouring) return kBlack;
  if (d.Category.MajorClass == 0 || d.Category.MajorClass == kClassSubstantive)
    return state.CurrentColours[kColourClassified];
  return CategoryColour(d.Category.MajorClass, state);
}

TExtraitDuTexte::TExtraitDuTexte(TViewState& state) : state_(state) {
  DocumentName = [](uint16_t file) {
    const char* name = FileQueue.Get(file);
    return std::string(name ? name : "");
  };
  DocumentCount = [] { return FileQueue.Count(); };
  state_.HitWordPosition = 0;
  state_.HitItemKind = 0;
}

void TExtraitDuTexte::DrawPlainPage(Canvas& canvas, const Rect& r) {
  DrawPlainPage(canvas, r, TPageOptions::Current());
}
void TExtraitDuTexte::DrawPage(Canvas& canvas, const Rect& r) { DrawPage(canvas, r, TPageOptions::Current()); }

void TExtraitDuTexte::DrawPlainPage(Canvas& canvas, const Rect& r, const TPageOptions& options) {
  extractMode_ = false;
  Layout(canvas, r, false, false, options);
}

void TExtraitDuTexte::DrawPage(Canvas& canvas, const Rect& r, const TPageOptions& options) {
  extractMode_ = state_.ExtractMode;
  Layout(canvas, r, true, true, options);
}

// The pen of a layout: where the next text goes and the line table.
struct TExtraitDuTexte::Pen {
  TExtraitDuTexte& page;
  Canvas& canvas;
  int x = 0;
  int y = 0;
  bool full = false;

  // Closes the current line; false when the page is full.
  bool Break(TWordNode* restart) {
    TPageLine& line = page.lines_[static_cast<size_t>(page.lineCount_)];
    x = page.rect_.left;
    y += page.rowHeight_;
    line.bottom = y;
    ++page.lineCount_;
    if (page.lineCount_ >= kPageLines || page.lineCount_ >= page.rows_) {
      full = true;
      return false;
    }
    if (restart) {
      TWordNode* cursor = TextWords.Cursor();
      TextWords.SetCursor(restart);
      TextWords.SaveCursor(kBookmarkPageEnd);
      TextWords.SetCursor(cursor);
    }
    return true;
  }
  void AddItem(int32_t position, int32_t kind, const TCategoryRecord& category) {
    if (page.lineCount_ >= kPageLines) return;
    TPageLine& line = page.lines_[static_cast<size_t>(page.lineCount_)];
    if (line.count >= kLineItems) return;
    TPageItem& item = line.items[static_cast<size_t>(++line.count)];
    item.right = x;
    item.position = position;
    item.kind = kind;
    item.category = category;
  }
};

// One thing a layout placed on the page, drawn afterwards in the order placed.
struct TExtraitDuTexte::TPageDraw {
  enum Kind { kText, kDocumentIcon, kHeading, kPropositionMark } kind = kText;
  int x = 0, y = 0;
  std::string text;     // a text; a heading's document name
  Rgb colour = kBlack;  // a text's
  bool highlighted = false;
  Rect box;  // a heading's grey box
};

// Writes the texts of a page's words and marks on its lines, each with half a
// blank after it (none for the words kept as written, which bring their own).
struct TExtraitDuTexte::Writer {
  Pen& pen;
  Canvas& canvas;
  const Rect& r;
  std::vector<TPageDraw>& draws;
  // A word leaves room on its line for the punctuation that closes after it,
  // so that a line never starts with a comma or a closing quote.
  int closingRoom = 0;
  // Words kept as written bring their own blanks; the others are spaced
  // here, with half a blank after each text.
  int pad = 0;
  int textEnd = -1;  // where the last text drawn ended, its half blank included

  // What sticks to the text just drawn (a comma, a closing quote, "'s",
  // "-end") takes back the half blank that text left after itself.
  int BackOf(const std::string& text) const { return pen.x != r.left && pen.x == textEnd && text[0] != ' ' ? pad : 0; }
  bool Fits(const std::string& text) const {
    const int width = canvas.TextWidth(text) + pad;
    return HasWordCharacters(text) ? pen.x - BackOf(text) + width + pad + closingRoom <= r.right
                                   : pen.x - BackOf(text) + width - pad <= r.right;
  }
  // Places text, on the next line when it does not fit; false when the page is full.
  bool Draw(std::string text, TWordNode* node, Rgb colour, bool highlighted) {
    if (text.empty()) return true;
    const bool word = HasWordCharacters(text);
    // Punctuation alone never starts a line: it closed what the line before
    // ended (as written, it stays at that line's end).
    if (!word && pen.x == r.left && pen.page.lineCount_ > 0 && pad > 0) return true;
    int width = canvas.TextWidth(text) + pad;
    const int back = BackOf(text);
    // What closes the text before stays on its line, as written.
    const bool closes = !word && pad == 0 && pen.x != r.left;
    if (!closes && !Fits(text) && pen.x != r.left && !pen.Break(node)) return false;
    if (pen.x != r.left) pen.x -= back;
    // A line starts with no blank.
    if (pen.x == r.left && !text.empty() && text[0] == ' ') {
      text.erase(0, 1);
      if (text.empty()) return true;
      width = canvas.TextWidth(text) + pad;
    }
    draws.push_back({TPageDraw::kText, pen.x, pen.y, std::move(text), colour, highlighted, {}});
    pen.x += width;
    textEnd = pen.x;
    return true;
  }
  // A word that goes to the next line leaves what closes the text before
  // it (", " of "War 1, planes") on this one.
  // Nor does a line start with the hyphen or dash that joins the word to
  // the text before it ("anti-submarine" breaks after "anti-").
  // False when the page is full.
  bool DrawClosingPrefix(std::string& display, TWordNode* node) {
    size_t closing = ClosingPrefixLength(display);
    if (closing == 0 && pen.x == textEnd) closing = JoiningDashLength(display);
    if (closing > 0 && closing < display.size() && pen.x != r.left && !Fits(display)) {
      if (!Draw(display.substr(0, closing), node, kBlack, false)) return false;
      display.erase(0, closing);
    }
    return true;
  }
  // A new document's icon and, when file names are shown, its name as a
  // heading on a line of its own; false when the page is full.
  bool DocumentHeader(const TPageOptions& options, TWordNode* node, int32_t position, const TCategoryRecord& category,
                      int& wordsSinceBreak) {
    if (pen.x != r.left && !pen.Break(node)) return false;
    draws.push_back({TPageDraw::kDocumentIcon, pen.x, pen.y, {}, kBlack, false, {}});
    pen.x += kMarkWidth;
    pen.AddItem(position, kItemHeader, category);
    const std::string name = pen.page.DocumentName ? pen.page.DocumentName(node->fileNumber) : std::string();
    if (options.showFileNames && !name.empty()) {
      // The document's name as a heading.
      draws.push_back({TPageDraw::kHeading, pen.x, pen.y, name, kBlack, false,
                       Rect{pen.x + 2, pen.y, r.right - 1, pen.y + pen.page.rowHeight_}});
      pen.x = r.right;
      pen.AddItem(position, kItemHeader, category);
      if (!pen.Break(node)) return false;
      wordsSinceBreak = 0;
    }
    return true;
  }
};

void TExtraitDuTexte::Layout(Canvas& canvas, const Rect& r, bool breaks, bool marks, const TPageOptions& options) {
  rect_ = r;
  lineCount_ = 0;
  wordsDrawn_ = 0;
  extractFound_ = false;
  reachedEnd_ = false;
  ViewState.selection.matchPosition = 0;
  for (TPageLine& line : lines_) line.count = 0, line.bottom = 0;

  Font font;
  font.size = options.largeFonts ? 14 : 8;
  canvas.SetFont(font);
  rowHeight_ = std::max(1, static_cast<int>(std::lround(1.2 * canvas.TextHeight("A"))));
  rows_ = std::min(std::max(r.Height(), 0) / rowHeight_, kMaxPageRows);
  if (rows_ == 0) return;
  std::vector<TPageDraw> draws;
  Place(canvas, r, breaks, marks, options, draws);
  Paint(canvas, r, font, draws);
}

void TExtraitDuTexte::Paint(Canvas& canvas, const Rect& r, const Font& font,
                            const std::vector<TPageDraw>& draws) const {
  canvas.SetBrush(state_.CurrentColours[kColourBackground]);
  canvas.FillRect(r);
  canvas.SetBrush(kWhite, BrushStyle::kClear);
  for (const TPageDraw& d : draws) {
    switch (d.kind) {
      case TPageDraw::kText: {
        Font f = font;
        f.colour = d.colour;
        f.underline = d.highlighted;
        canvas.SetFont(f);
        if (d.highlighted) {
          canvas.SetBrush(d.colour == kBlack ? kWhite : (d.colour ^ 0xFFFFFF));
          canvas.SetTextBackground(true);
        }
        canvas.TextOut(d.x, d.y, d.text);
        if (d.highlighted) {
          canvas.SetTextBackground(false);
          canvas.SetBrush(kWhite, BrushStyle::kClear);
        }
        break;
      }
      case TPageDraw::kDocumentIcon: DrawDocumentIcon(canvas, d.x, d.y, rowHeight_); break;
      case TPageDraw::kHeading: {
        canvas.SetBrush(kHeaderGrey);
        canvas.SetPen(kHeaderGrey);
        canvas.Rectangle(d.box);
        // The document's name as a heading.
        Font heading = font;
        heading.bold = true;
        canvas.SetFont(heading);
        canvas.TextRect(d.box, d.x + 4, d.y + 1, d.text);
        canvas.SetFont(font);
        canvas.SetBrush(kWhite, BrushStyle::kClear);
        break;
      }
      case TPageDraw::kPropositionMark: DrawPropositionMark(canvas, d.x, d.y, rowHeight_, state_.ExtractMode); break;
    }
  }
}

namespace {

// What a proposition mark leaves for the word after it: the opening part of
// its tag and the word it opens, whether the mark wrote what closed in that
// word's tag; for the words kept as written, the word after the mark whose
// gap the mark cut (the mark wrote what closed the proposition) and that
// gap's parts.
struct MarkCarry {
  std::string text;
  TWordNode* node = nullptr;
  bool consumed = false;
  TWordNode* cutNode = nullptr;
  TGapParts cutGap;
};

// The file of the last word before the cursor (marks passed over); -1 when
// the cursor is at the text's first node or only marks stand before it.
int FileBeforeCursor(TWordList& words) {
  if (TWordNode* cursor = words.Cursor(); cursor != words.First()) {
    for (TWordNode* n = TWordList::PreviousNode(cursor);; n = TWordList::PreviousNode(n)) {
      if (!IsMarkText(n->text)) return n->fileNumber;
      if (n == words.First()) break;
    }
  }
  return -1;
}

// The text a proposition mark writes: what closes its proposition.
std::string MarkText(TWordList& words, TWordNode* node, const char* gap, const std::string& rawTag, bool repeat,
                     TTextSpacer& spacer, MarkCarry& carry) {
  std::string text;
  if (gap) {
    // Only the text's last mark has a gap (what stands after its last
    // word); what closes the proposition is in the next word's gap, up
    // to its last blank, and is written here, before the line breaks.
    text = FoldBlanks(gap);
    TWordNode* next = TWordList::NextNode(node);
    const char* nextGap = next && !IsMarkText(next->text) ? words.GapOf(*next) : nullptr;
    carry.cutNode = nextGap ? next : nullptr;
    if (nextGap) {
      carry.cutGap = SplitGap(nextGap);
      text += carry.cutGap.closing;
    }
    if (!text.empty() && text.back() == ' ') text.pop_back();
  } else {
    // What opens the next proposition is written with its first word.
    std::string closing, opening;
    SplitAtOpening(rawTag, spacer.quoteOpen, closing, opening);
    text = repeat ? std::string() : spacer.Tag(closing);
    carry.text = repeat ? std::string() : opening;
    carry.node = TWordList::NextNode(node);
    carry.consumed = false;
    // What closes this proposition in the next word's tag goes here too,
    // before the line breaks.
    if (carry.node && !IsMarkText(carry.node->text) && carry.text.empty() && rawTag != carry.node->tag) {
      std::string nextClosing, nextOpening;
      SplitAtOpening(carry.node->tag, spacer.quoteOpen, nextClosing, nextOpening);
      if (nextClosing.find_first_not_of(' ') != std::string::npos) {
        text += spacer.Tag(nextClosing);
        carry.text = nextOpening;
        carry.consumed = true;
      }
    }
  }
  return text;
}

// The text before a word: its tag (a repeated one counts as a blank), after
// what the mark before it opened; for a proposition shown alone
// (shownAlone), what opens it.
std::string WordLead(TWordList& words, TWordNode* node, const char* gap, const std::string& rawTag, bool repeat,
                     bool shownAlone, TTextSpacer& spacer, MarkCarry& carry) {
  std::string display;
  if (gap) {
    // As written: the gap, or what the mark before left of it, or for a
    // proposition shown alone what opens it.
    if (node == carry.cutNode) display = (carry.cutGap.blank ? " " : "") + carry.cutGap.opening;
    else if (shownAlone) display = SplitGap(gap).opening;
    else display = FoldBlanks(gap);
    carry.cutNode = nullptr;
  } else {
    std::string tagText = repeat || rawTag.empty() ? std::string(" ") : rawTag;
    if (node == carry.node) {
      tagText = carry.consumed ? (carry.text.empty() ? std::string(" ") : carry.text) : carry.text + tagText;
    } else if (shownAlone) {
      tagText = TagOfPropositionShownAlone(node, words.First(), spacer);
    }
    display = spacer.Tag(tagText);
  }
  carry.text.clear();
  carry.node = nullptr;
  carry.consumed = false;
  return display;
}

}  // namespace

// Places the page's words, marks and headers on its lines (measured on the
// canvas, nothing drawn): the line table, and what Paint then draws.
void TExtraitDuTexte::Place(Canvas& canvas, const Rect& r, bool breaks, bool marks, const TPageOptions& options,
                            std::vector<TPageDraw>& draws) {
  const int halfBlank = canvas.TextWidth(" ") / 2;
  Pen pen{*this, canvas, r.left, r.top};
  const bool extract = extractMode_;
  breaks = breaks && (extract || options.limitToPropositions);

  TWordList& words = TextWords;
  words.RestoreCursor(kBookmarkPageStart);
  words.SaveCursor(kBookmarkPageEnd);
  size_t propositionRecord = ViewState.selection.relationRecord;  // the search place before the proposition drawn
  if (extract) {
    ViewState.selection.relationRecord = state_.RelationCursorSlots[0];
    state_.RelationCursorSlots[1] = state_.RelationCursorSlots[0];
    propositionRecord = ViewState.selection.relationRecord;
    extractFound_ = true;
    if (!FindNextSelectedOccurrence(false, TextWords, ViewState.selection)) return;
    RestoreOccurrence(words);
  }
  TWordNode* const pageStart = words.Cursor();
  bool propositionStart = true;
  int wordsSinceProposition = 0;
  int wordsSinceBreak = 0;
  int32_t lastPosition = 0;
  std::string previousTag;
  bool previousWasMark = false;
  // The document of the word before the page: a header only where it changes.
  int previousFile = FileBeforeCursor(words);
  if (previousFile < 0 && DocumentCount && DocumentCount() <= 1) previousFile = -2;  // one document: no header

  // The double quotes open before the page as they stand in its document.
  TTextSpacer spacer;
  spacer.quoteOpen = QuoteOpenBefore(words.Cursor(), words.First());
  MarkCarry carry;
  const bool link = Options->Switch(opt::LinkCompoundWords);
  Writer out{pen, canvas, r, draws, canvas.TextWidth(".\""), halfBlank};

  for (;;) {
    TWordNode* node = words.Cursor();
    TWordCategoryData* data = nullptr;
    const char* tag = nullptr;
    int32_t position = 0;
    const char* text = words.NextWord(data, tag, position);
    if (!text) {
      reachedEnd_ = true;
      break;
    }
    state_.CurrentWordPosition = position;
    const bool isMark = IsMarkText(text);
    if (!isMark && position <= lastPosition) continue;
    // A page that starts on the mark opening its first proposition does not show it.
    if (isMark && node == pageStart) {
      previousWasMark = true;
      continue;
    }
    const char* const gap = words.GapOf(*node);
    out.pad = gap ? 0 : halfBlank;
    const std::string rawTag = tag ? tag : "";
    // A tag repeated next to a proposition mark is the same punctuation seen twice.
    const bool repeat = rawTag == previousTag && rawTag != " " && !rawTag.empty() && (isMark || previousWasMark);
    previousTag = rawTag;
    previousWasMark = isMark;
    if (isMark) {
      std::string text = MarkText(words, node, gap, rawTag, repeat, spacer, carry);
      // What closes a proposition never starts a line: at a line's start it
      // was written at the end of the line before, or it closes a proposition
      // an extract does not show (the mark is read again after a jump).
      if (pen.x == r.left && lineCount_ > 0 && !HasWordCharacters(text)) text.clear();
      if (!out.Draw(text, node, kBlack, false)) break;
      // Nothing written at a line's start: it still starts clean.
      if (pen.x == r.left) spacer.LineStart();
      if (words.AtEnd()) {
        reachedEnd_ = true;
        break;
      }
      const bool shortFragment =
          extract && !options.limitToPropositions && wordsSinceProposition < kContextFragmentWords;
      if (shortFragment) continue;
      if (breaks && pen.x != r.left) {
        if (!pen.Break(words.Cursor())) break;
        spacer.LineStart();
        wordsSinceBreak = 0;
        if (extract) state_.RelationCursorSlots[1] = propositionRecord;
      }
      if (extract) {
        propositionRecord = ViewState.selection.relationRecord;
        TWordNode* const resume = words.Cursor();
        if (!FindNextSelectedOccurrence(false, TextWords, ViewState.selection)) {
          reachedEnd_ = true;
          break;
        }
        RestoreOccurrence(words);
        const TWordNode* occurrence = words.Cursor();
        if (occurrence != words.Tail() && occurrence->position <= lastPosition) {
          // The context of the occurrence before already showed this one's
          // proposition: its own context goes on from here, counted from
          // its proposition's start, and nothing is drawn twice.
          wordsSinceProposition = static_cast<int>(lastPosition - occurrence->position + 1);
          words.SetCursor(resume);
          continue;
        }
      }
      if (ViewState.selection.matchPosition > state_.TextViewWordLimit) break;
      propositionStart = true;
      wordsSinceProposition = 0;
      continue;
    }
    // The text before the word: its tag (a repeated one counts as a blank),
    // after what the mark before it opened. An extract that jumped over the
    // text counts its quotes again.
    std::string display =
        WordLead(words, node, gap, rawTag, repeat, propositionStart && (extract || lastPosition == 0), spacer, carry);
    bool header = false;
    if (propositionStart && previousFile != -2 && previousFile != node->fileNumber) {
      if (!out.DocumentHeader(options, node, position, data->Category, wordsSinceBreak)) break;
      header = true;
      // A new document: its quotes start closed, its first word starts the line.
      spacer = TTextSpacer();
      display.clear();
    }
    if (previousFile != -2) previousFile = node->fileNumber;
    if (!header && marks && wordsSinceBreak == 0) {
      const bool lineStart = pen.x == r.left;
      draws.push_back({TPageDraw::kPropositionMark, pen.x, pen.y, {}, kBlack, false, {}});
      pen.x += kMarkWidth;
      // The mark starts the line: the text after it, no blank.
      if (lineStart && !display.empty() && display[0] == ' ') display.erase(0, 1);
    }
    propositionStart = false;
    if (!text[0] && rawTag.empty()) continue;
    if (gap) display += WordAsWritten(*node, link);
    else display += spacer.Word(DisplayForm(text, *data, link));
    if (!out.DrawClosingPrefix(display, node)) break;
    const Rgb colour = WordColour(*node, extract, options.selectiveColouring, state_);
    ++wordsDrawn_;
    if (!out.Draw(display, node, colour, position == HighlightedPosition)) {
      --wordsDrawn_;
      break;
    }
    pen.AddItem(position, kItemWord, data->Category);
    ++wordsSinceBreak;
    ++wordsSinceProposition;
    lastPosition = position;
  }
}

std::optional<TPageItem> TExtraitDuTexte::WordAt(int x, int y) const {
  int line = -1;
  for (int i = 0; i < lineCount_ && i < kPageLines; ++i) {
    if (lines_[static_cast<size_t>(i)].bottom >= y) {
      line = i;
      break;
    }
  }
  if (line < 0 && lineCount_ < kPageLines) {
    const int previousBottom = lineCount_ > 0 ? lines_[static_cast<size_t>(lineCount_ - 1)].bottom : rect_.top;
    if (y >= previousBottom && y < previousBottom + rowHeight_) line = lineCount_;
  }
  if (line < 0 || y < rect_.top) return std::nullopt;
  const TPageLine& l = lines_[static_cast<size_t>(line)];
  for (int i = 1; i <= l.count; ++i) {
    const TPageItem& item = l.items[static_cast<size_t>(i)];
    if (item.right >= x) return item;
  }
  return std::nullopt;
}

void KeepHit(TViewState& state, const std::optional<TPageItem>& hit) {
  state.HitCategory = hit ? hit->category : TCategoryRecord();
  if (!hit) return;
  state.HitWordPosition = hit->position;
  state.HitItemKind = hit->kind;
}

int32_t TExtraitDuTexte::FirstWordPosition() const {
  if (lines_[0].count > 0 && lines_[0].items[1].position > 0) return lines_[0].items[1].position;
  if (extractMode_ && extractFound_) return TextWords.HighestPosition();
  return 0;
}

void TExtraitDuTexte::PageBack(bool oneLine) {
  TWordList& words = TextWords;
  const int steps = oneLine ? 1 : std::max(rows_, 1);
  if (state_.ExtractMode && state_.SelectionActive &&
      (ViewState.selection.kind == kSelectRelation || ViewState.selection.kind == kSelectClass)) {
    ViewState.selection.relationRecord = state_.RelationCursorSlots[0];
    state_.RelationCursorSlots[1] = state_.RelationCursorSlots[0];
    for (int i = 0; i < steps; ++i) {
      if (ViewState.selection.relationRecord == kNoRecord) break;
      // The search goes back from the record before the page's first.
      ++ViewState.selection.relationRecord;
      if (!FindNextSelectedOccurrence(true, TextWords, ViewState.selection)) {
        ViewState.selection.relationRecord = kNoRecord;
        break;
      }
      state_.CurrentWordPosition = CurrentRelationPosition(TextWords, ViewState.selection);
      ViewState.selection.relationRecord =
          ViewState.selection.relationRecord == 0 ? kNoRecord : ViewState.selection.relationRecord - 1;
    }
    state_.RelationCursorSlots[0] = ViewState.selection.relationRecord;
    return;
  }
  state_.CurrentWordPosition = 0;
  words.RestoreCursor(kBookmarkPageStart);
  if (words.AtStart()) return;
  bool found = false;
  if (state_.ExtractMode) {
    for (int i = 0; i < (oneLine ? 1 : steps + 1); ++i) {
      if (!FindNextSelectedOccurrence(true, TextWords, ViewState.selection)) break;
      found = true;
      words.RestoreCursor(kBookmarkSearchStart);
    }
  } else {
    const int wanted = oneLine ? 1 : steps + 1;
    int marks = 0;
    TWordCategoryData* data;
    const char* tag;
    int32_t position;
    // The mark that opens the page's first proposition does not count.
    if (words.PreviousWord(data, tag, position) && !IsMarkText(words.Cursor()->text))
      words.SetCursor(TWordList::NextNode(words.Cursor()));
    while (marks < wanted && words.PreviousWord(data, tag, position)) {
      if (IsMarkText(words.Cursor()->text)) ++marks;
    }
    found = marks > 0 || oneLine;
  }
  if (found) words.SaveCursor(kBookmarkPageStart);
  else words.RestoreCursor(kBookmarkPageStart);
}

void TExtraitDuTexte::PageForward(bool oneLine) {
  TWordList& words = TextWords;
  if (state_.ExtractMode && state_.SelectionActive &&
      (ViewState.selection.kind == kSelectRelation || ViewState.selection.kind == kSelectClass)) {
    if (oneLine) {
      ViewState.selection.relationRecord = state_.RelationCursorSlots[0];
      if (FindNextSelectedOccurrence(false, TextWords, ViewState.selection))
        state_.RelationCursorSlots[0] = ViewState.selection.relationRecord;
    } else if (RunRelations.source && state_.RelationCursorSlots[1] != kNoRecord &&
               state_.RelationCursorSlots[1] + 1 < RunRelations.source->RecordCount()) {
      state_.RelationCursorSlots[0] = state_.RelationCursorSlots[1];
    }
    ViewState.selection.relationRecord = state_.RelationCursorSlots[0];
    state_.CurrentWordPosition = CurrentRelationPosition(TextWords, ViewState.selection);
    return;
  }
  words.RestoreCursor(oneLine ? kBookmarkPageStart : kBookmarkPageEnd);
  if (words.AtEnd()) {
    words.RestoreCursor(kBookmarkPageStart);
    return;
  }
  TWordCategoryData* data;
  const char* tag;
  int32_t position;
  const bool lemma = ViewState.selection.kind == kSelectLexicalEntry && state_.SelectionActive;
  auto pastNextMark = [&] {
    for (const char* text = words.NextWord(data, tag, position); text && !IsMarkText(text);
         text = words.NextWord(data, tag, position)) {
    }
  };
  if (oneLine && !state_.ExtractMode && !lemma) {
    // One proposition: past the next mark (a mark at the page start does not count).
    if (const char* first = words.NextWord(data, tag, position); first && !words.AtEnd()) pastNextMark();
  } else if (oneLine) {
    if (lemma) pastNextMark();
    if (FindNextSelectedOccurrence(false, TextWords, ViewState.selection) &&
        (ViewState.selection.kind == kSelectMarked || lemma))
      pastNextMark();
  }
  words.SaveCursor(kBookmarkPageStart);
}

bool ScrollTextPage(TExtraitDuTexte& page, ScrollCode code, int32_t position) {
  TViewState& state = ViewState;
  state.DisplayIndex = -1;
  state.TextViewWordLimit = kScrollWordLimit;
  switch (code) {
    case ScrollCode::kLineUp: page.PageBack(true); break;
    case ScrollCode::kLineDown: page.PageForward(true); break;
    case ScrollCode::kPageUp: page.PageBack(false); break;
    case ScrollCode::kPageDown: page.PageForward(false); break;
    case ScrollCode::kPosition:
    case ScrollCode::kTop:
    case ScrollCode::kBottom: {
      const int32_t target = TextWords.Count() == 0 ? 0 : position;
      const bool selection = state.ExtractMode;
      if (!selection) {
        TextWords.SeekPosition(target);
        TextWords.SaveCursor(kBookmarkPageStart);
        TextWords.SaveCursor(kBookmarkPageEnd);
        state.CurrentWordPosition = target;
      } else {
        const bool back = target <= state.LastCursorPosition;
        const bool line = std::abs(target - state.LastCursorPosition) < 5;
        if (back) page.PageBack(line);
        else page.PageForward(line);
      }
      break;
    }
    case ScrollCode::kTrack:
    case ScrollCode::kEnd: return false;
  }
  return true;
}

}  // namespace quilor::ui
