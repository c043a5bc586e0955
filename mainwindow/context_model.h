// The context window without its widgets (TFormContexte): the text around
// one word drawn by a page of its own (no selection colouring, no
// proposition breaks or marks), the word underlined, a scroll position over
// the whole text, the name of the source document and the address of an
// Internet shortcut of the same name beside it.
//
// The window shares TextWords with the main text view. While it works it
// keeps the main view's bookmarks 1, 2 and 3 (and the cursor) in fields of
// its own and puts them back afterwards; its own page start and last line
// are kept in fields too between drawings. Bookmarks of other owners (the
// word search's 5 and 7, the diagnosis) are never touched.
#pragma once

#include <cstdint>
#include <string>

#include "mainwindow/text_page_layout.h"
#include "ui/view_state.h"

namespace quilor {
struct TWordNode;
}

namespace quilor::ui {

// The page start the main window asks for: ten words before p from word 12 on.
int32_t ContextPageStart(int32_t wordPosition);

class TContextModel {
 public:
  TContextModel();

  // Shows the context of a word: the page starts at pageStart and the word
  // is underlined. False when nothing can be shown (no text, busy).
  bool AfficherLeContexte(int32_t wordPosition, int32_t pageStart);
  // Draws the page (the window's own bookmarks around the main view's).
  void Draw(Canvas& canvas, const Rect& r);
  // A scroll of the window's scroll bar; false when nothing is to be redrawn.
  bool Scroll(ScrollCode code, int32_t position);
  // The window closed: the next context has no underline until a word is given.
  // The window keeps no word of the text while it is closed: the text may
  // go meanwhile, and it draws nothing until it is placed again.
  void Closed() {
    page_.HighlightedPosition = 0;
    ownStart_ = nullptr;
    ownLastLine_ = nullptr;
  }
  // The word under a point of the page (HitWordPosition of its state).
  bool WordAt(int x, int y);
  int32_t HitWordPosition() const { return state_.HitWordPosition; }

  // What the window shows.
  const std::string& DocumentName() const { return documentName_; }
  const std::string& Url() const { return url_; }
  const std::string& ShortcutFile() const { return shortcutFile_; }
  bool OpenWithProgramEnabled() const { return openWithProgram_; }
  bool WebEnabled() const { return !url_.empty(); }
  int32_t ScrollMaximum() const { return scrollMaximum_; }
  int32_t ScrollPosition() const { return scrollPosition_; }
  int32_t FirstWordPosition() const { return firstWordPosition_; }
  int32_t HighlightedPosition() const { return page_.HighlightedPosition; }
  TExtraitDuTexte& Page() { return page_; }

  // Commands on the document (through the desktop services).
  bool OpenWithDesktop() const;
  bool LocaliseFolder() const;
  bool OpenWebPage() const;

 private:
  struct Parked;
  void Position(int32_t pageStart);
  void RefreshDocument(int32_t wordPosition);

  TViewState state_;
  TExtraitDuTexte page_;
  TWordNode* ownStart_ = nullptr;     // the window's page start (its bookmark 1)
  TWordNode* ownLastLine_ = nullptr;  // the start of its last line (its bookmark 2)
  std::string documentName_;
  std::string shortcutFile_;
  std::string url_;
  bool openWithProgram_ = false;
  int32_t scrollMaximum_ = 0;
  int32_t scrollPosition_ = 0;
  int32_t firstWordPosition_ = 0;
  uint16_t fileNumber_ = 0;
};

}  // namespace quilor::ui
