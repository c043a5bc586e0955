#include "mainwindow/context_model.h"

#include <algorithm>

#include "core/file_queue.h"
#include "core/files.h"
#include "engine/word_list.h"

namespace quilor::ui {

int32_t ContextPageStart(int32_t wordPosition) { return wordPosition >= 12 ? wordPosition - 10 : wordPosition; }

// The main view's place in TextWords, kept while the window works.
struct TContextModel::Parked {
  TWordNode* cursor;
  static constexpr WordBookmark kSlots[3] = {kBookmarkPageStart, kBookmarkPageEnd, kBookmarkSearchStart};
  TWordNode* bookmarks[3];
  Parked() : cursor(TextWords.Cursor()) {
    for (int i = 0; i < 3; ++i) bookmarks[i] = TextWords.Bookmark(kSlots[i]);
  }
  ~Parked() {
    for (int i = 0; i < 3; ++i)
      if (bookmarks[i]) TextWords.SetBookmark(kSlots[i], bookmarks[i]);
    TextWords.SetCursor(cursor);
  }
  Parked(const Parked&) = delete;
  Parked& operator=(const Parked&) = delete;
};

TContextModel::TContextModel() : page_(state_) { ColorationSyntaxique(state_); }

bool TContextModel::AfficherLeContexte(int32_t wordPosition, int32_t pageStart) {
  if (TextWords.Count() == 0) return false;
  ColorationSyntaxique(state_);
  Parked parked;
  TextWords.Rewind();
  TextWords.SeekPosition(pageStart);
  if (!TextWords.AtEnd()) page_.HighlightedPosition = wordPosition;
  scrollMaximum_ = TextWords.HighestPosition();
  scrollPosition_ = std::max(pageStart, 1);
  ownStart_ = TextWords.Cursor();
  ownLastLine_ = ownStart_;
  RefreshDocument(wordPosition);
  return true;
}

void TContextModel::Position(int32_t pageStart) {
  TextWords.Rewind();
  TextWords.SeekPosition(pageStart);
  scrollPosition_ = std::max(pageStart, 1);
  ownStart_ = TextWords.Cursor();
  ownLastLine_ = ownStart_;
}

void TContextModel::Draw(Canvas& canvas, const Rect& r) {
  if (!ownStart_) return;
  Parked parked;
  TextWords.SetBookmark(kBookmarkPageStart, ownStart_);
  TextWords.SetBookmark(kBookmarkPageEnd, ownLastLine_);
  page_.DrawPlainPage(canvas, r);
  firstWordPosition_ = page_.FirstWordPosition();
  ownStart_ = TextWords.Bookmark(kBookmarkPageStart);
  ownLastLine_ = TextWords.Bookmark(kBookmarkPageEnd);
}

bool TContextModel::Scroll(ScrollCode code, int32_t position) {
  if (!ownStart_ || TextWords.Count() == 0) return false;
  if (code == ScrollCode::kEnd || code == ScrollCode::kTrack) return false;
  Parked parked;
  TextWords.SetBookmark(kBookmarkPageStart, ownStart_);
  TextWords.SetBookmark(kBookmarkPageEnd, ownLastLine_);
  state_.TextViewWordLimit = kScrollWordLimit;
  switch (code) {
    case ScrollCode::kLineUp: page_.PageBack(true); break;
    case ScrollCode::kPageUp: page_.PageBack(false); break;
    case ScrollCode::kLineDown:
    case ScrollCode::kPageDown: {
      TextWords.RestoreCursor(code == ScrollCode::kLineDown ? kBookmarkPageStart : kBookmarkPageEnd);
      if (TextWords.AtEnd() || page_.ReachedEnd()) return false;  // the end is shown: nothing moves
      page_.PageForward(code == ScrollCode::kLineDown);
      break;
    }
    default: Position(position); return true;
  }
  ownStart_ = TextWords.Bookmark(kBookmarkPageStart);
  ownLastLine_ = TextWords.Bookmark(kBookmarkPageEnd);
  return true;
}

bool TContextModel::WordAt(int x, int y) {
  const std::optional<TPageItem> hit = page_.WordAt(x, y);
  KeepHit(state_, hit);
  return hit.has_value();
}

void TContextModel::RefreshDocument(int32_t wordPosition) {
  TWordNode* cursor = TextWords.Cursor();
  uint16_t file = 0;
  TextWords.FileNumberAt(wordPosition, file);
  TextWords.SetCursor(cursor);
  fileNumber_ = file;
  const char* name = FileQueue.Get(file);
  documentName_ = name ? name : "";
  openWithProgram_ = FileQueue.Count() > 1;
  shortcutFile_.clear();
  url_.clear();
  if (documentName_.empty()) return;
  std::string shortcut = documentName_;
  const size_t slash = shortcut.find_last_of('/');
  const size_t dot = shortcut.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) shortcut.resize(dot);
  shortcut += ".url";
  shortcutFile_ = shortcut;
  std::string address = shortcut;
  if (ReadShortcutUrl(address, 260)) url_ = address;
}

bool TContextModel::OpenWithDesktop() const {
  return !documentName_.empty() && ShellOpenWithVerb("open", documentName_) > 32;
}

bool TContextModel::LocaliseFolder() const {
  const size_t slash = documentName_.find_last_of('/');
  if (slash == std::string::npos) return false;
  return ExploreFolder(documentName_.substr(0, slash == 0 ? 1 : slash));
}

bool TContextModel::OpenWebPage() const { return !shortcutFile_.empty() && !url_.empty() && ShellOpenUrl(url_); }

}  // namespace quilor::ui
