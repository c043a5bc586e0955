// What the mouse does on the text page: the hovered word's position and
// category in the status line, and the explanation of a word a drag ends on.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ui/main_window_port.h"

namespace quilor::ui {

class TextMouse {
 public:
  // wordAt finds the word under (x, y) on the page and writes
  // ViewState.HitWordPosition, HitItemKind and HitCategory (the text view's
  // WordAt); statusPanel receives the "position/highest" text.
  TextMouse(MainWindowPort& port, std::function<bool(int, int)> wordAt, std::function<void(const std::string&)> statusPanel);

  // The hint the page shows after a move ("" none).
  void MouseMove(int x, int y, bool busy);
  const std::string& Hint() const { return hint_; }
  void StartDrag();
  // The text to show at the mouse point when a drag ends on a word; false
  // for a document header (the caller opens the context window there).
  bool EndDrag(std::string& hint);

 private:
  MainWindowPort& port_;
  std::function<bool(int, int)> wordAt_;
  std::function<void(const std::string&)> statusPanel_;
  int32_t lastHovered_ = -1;
  std::string hint_;
};

// The word at a position with its entry's name: word="name" (Windows-1252).
std::string DescribeWordAt(int32_t position);

}  // namespace quilor::ui
