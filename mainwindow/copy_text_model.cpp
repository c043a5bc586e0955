#include "mainwindow/copy_text_model.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/category.h"
#include "core/chartables.h"
#include "core/options.h"
#include "engine/selection.h"
#include "engine/word_list.h"
#include "mainwindow/text_page_layout.h"
#include "ui/view_state.h"

namespace quilor::ui {

namespace {

bool IsMarkText(const char* text) { return text && text[0] == '/'; }

// TextWords' place and the search's, put back at the end of a rebuild.
struct KeptPlaces {
  TWordNode* cursor = TextWords.Cursor();
  TWordNode* bookmarks[TWordList::kBookmarkCount + 1] = {};
  TSearchPlace search = CurrentSearchPlace(ViewState.selection);
  KeptPlaces() {
    for (int i = 1; i <= TWordList::kBookmarkCount; ++i) bookmarks[i] = TextWords.Bookmark(i);
  }
  ~KeptPlaces() {
    for (int i = 1; i <= TWordList::kBookmarkCount; ++i)
      if (bookmarks[i]) TextWords.SetBookmark(i, bookmarks[i]);
    TextWords.SetCursor(cursor);
    SetSearchPlace(search, ViewState.selection);
  }
  KeptPlaces(const KeptPlaces&) = delete;
  KeptPlaces& operator=(const KeptPlaces&) = delete;
};

// The cursor to the proposition found, past the mark that opens it.
void ToOccurrence() {
  TextWords.RestoreCursor(kBookmarkSearchStart);
  if (IsMarkText(TextWords.Cursor()->text)) TextWords.SetCursor(TWordList::NextNode(TextWords.Cursor()));
}

}  // namespace

std::string TCopyText::Joined() const {
  std::string all;
  for (size_t i = 0; i < paragraphs.size(); ++i) {
    if (i) all += '\n';
    all += paragraphs[i];
  }
  return all;
}

TCopyText BuildCopyText(int32_t chosenPosition, bool extract) {
  TCopyText out;
  if (!extract) {
    chosenPosition = std::max(chosenPosition, 0);
    out.firstWordPosition = chosenPosition > kCopyWordsBefore ? chosenPosition - kCopyWordsBefore : 0;
  }
  KeptPlaces kept;
  TextWords.Rewind();
  // The passage's first word is sought chunk by chunk rather than read up to.
  if (!extract) TextWords.SeekPosition(out.firstWordPosition);
  if (extract) {
    if (ViewState.SelectionActive) ViewState.selection.relationRecord = static_cast<size_t>(-1);
    if (!FindNextSelectedOccurrence(false, TextWords, ViewState.selection)) return out;
    ToOccurrence();
  }
  std::string paragraph;
  int offset = 0;  // characters before the paragraph being built
  int spanStart = -1;
  int spanLength = 0;
  // Appends text to the paragraph; false (and the rebuild stops) past the buffer.
  auto append = [&](const std::string& text) {
    if (paragraph.size() + text.size() > kCopyParagraphLimit) {
      out.cut = true;
      return false;
    }
    paragraph += text;
    return true;
  };
  auto closeParagraph = [&] {
    if (paragraph.empty()) return;
    if (spanStart >= 0) out.marked.push_back({offset + spanStart, spanLength});
    out.paragraphs.push_back(paragraph);
    offset += static_cast<int>(paragraph.size()) + 1;
    paragraph.clear();
    spanStart = -1;
  };
  const bool link = Options->Switch(opt::LinkCompoundWords);
  size_t total = 0;
  for (;;) {
    TWordNode* node = TextWords.Cursor();
    TWordCategoryData* data = nullptr;
    const char* tag = nullptr;
    int32_t position = 0;
    const char* text = TextWords.NextWord(data, tag, position);
    if (!text) break;
    if (!extract && position < out.firstWordPosition) continue;
    // A word kept as written brings what stood before it: in a paragraph
    // the whole gap, at a paragraph's start what opens it; what closed the
    // proposition before goes to the mark. A mark writes what the text's
    // end has after its last word.
    const char* gap = TextWords.GapOf(*node);
    std::string pending;
    if (!gap) {
      pending = SpacedTag(tag);
    } else if (IsMarkText(text)) {
      pending = FoldBlanks(gap);
      TWordNode* next = TWordList::NextNode(node);
      if (const char* nextGap = next && !IsMarkText(next->text) ? TextWords.GapOf(*next) : nullptr)
        pending += SplitGap(nextGap).closing;
      if (!pending.empty() && pending.back() == ' ') pending.pop_back();
    } else {
      pending = paragraph.empty() ? SplitGap(gap).opening : FoldBlanks(gap);
    }
    if (IsMarkText(text)) {
      if (!append(pending)) break;
      total += pending.size();
      closeParagraph();
      if (TextWords.AtEnd()) break;
      if (extract) {
        if (!FindNextSelectedOccurrence(false, TextWords, ViewState.selection)) break;
        ToOccurrence();
      }
      continue;
    }
    if (position == chosenPosition) out.caretOffset = offset + static_cast<int>(paragraph.size());
    if (!append(pending)) break;
    const std::string word = gap ? WordAsWritten(*node, link) : std::string(DisplayForm(text, *data, link));
    if (extract && spanStart < 0 && WordMatchesSelection(*node, ViewState.selection)) {
      spanStart = static_cast<int>(paragraph.size());
      spanLength = static_cast<int>(word.size());
    }
    if (!append(word)) break;
    total += pending.size() + word.size();
    if (total > kCopyTextLimit) {
      out.cut = true;
      break;
    }
  }
  closeParagraph();
  return out;
}

std::string TextToCopy(const std::string& whole, int selectionStart, int selectionLength, bool& selectAll) {
  selectAll = false;
  if (selectionLength > 1 && selectionStart >= 0 && static_cast<size_t>(selectionStart) < whole.size())
    return whole.substr(static_cast<size_t>(selectionStart), static_cast<size_t>(selectionLength));
  if (selectionLength <= 0) {
    selectAll = true;
    return whole;
  }
  return {};
}

std::string ScenarioKeyOf(const std::string& selection) {
  char key[80] = {};
  std::strncpy(key, selection.c_str(), 78);
  NormaliseKey(key);
  return key;
}

}  // namespace quilor::ui
