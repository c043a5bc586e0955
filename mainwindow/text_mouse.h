// What the mouse does on the text page: the hovered word's position and
// category in the status line, and the explanation of a word a drag ends on.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "mainwindow/text_page_layout.h"
#include "ui/main_window_port.h"

namespace quilor::ui {

class TextMouse {
 public:
  // wordAt gives the item under (x, y) on the page (the text view keeps it
  // in ViewState, where StartDrag and EndDrag read it); statusPanel receives
  // the "position/highest" text.
  using HitTest = std::function<std::optional<TPageItem>(int, int)>;
  TextMouse(MainWindowPort& port, HitTest wordAt, std::function<void(const std::string&)> statusPanel);

  // The hint the page shows after a move ("" none).
  void MouseMove(int x, int y, bool busy);
  const std::string& Hint() const { return hint_; }
  void StartDrag();
  // The text to show at the mouse point when a drag ends on a word; false
  // for a document header (the caller opens the context window there).
  bool EndDrag(std::string& hint);

 private:
  MainWindowPort& port_;
  HitTest wordAt_;
  std::function<void(const std::string&)> statusPanel_;
  int32_t lastHovered_ = -1;
  std::string hint_;
};

// The word at a position with its entry's name: word="name" (Windows-1252).
std::string DescribeWordAt(int32_t position);

}  // namespace quilor::ui
