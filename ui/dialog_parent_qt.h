// The window a box or a chooser opens over. A tool window kept above the
// others (the Scenario editor, the Borders) would hide a box opened over the
// main window behind it, so while one is shown the box opens over it.
#pragma once

#include <QDialog>
#include <QPointer>
#include <utility>

namespace quilor::ui {

// The modal dialog in front if there is one; else the window in front, or,
// when that is not kept above the others while a shown window is, that one.
QWidget* DialogParent();

}  // namespace quilor::ui

namespace quilor::ui {

// A dialog run on the heap over DialogParent(). The window it opens over
// may be closed and deleted while it waits (a request's work closes the
// terminology window), and with it its children: a dialog on the stack
// would then be freed twice. One that went that way counts as cancelled.
template <class Dialog>
class HeapDialog {
 public:
  template <class... Args>
  explicit HeapDialog(Args&&... args) : dialog_(new Dialog(std::forward<Args>(args)...)) {}
  ~HeapDialog() { delete dialog_.data(); }
  HeapDialog(const HeapDialog&) = delete;
  HeapDialog& operator=(const HeapDialog&) = delete;

  Dialog* operator->() const { return dialog_.data(); }
  Dialog& operator*() const { return *dialog_; }
  // Runs it modally; True when it was accepted and is still there to read.
  bool Run() {
    const int result = dialog_->exec();
    return !dialog_.isNull() && result == QDialog::Accepted;
  }
  bool Gone() const { return dialog_.isNull(); }

 private:
  QPointer<Dialog> dialog_;
};

}  // namespace quilor::ui
