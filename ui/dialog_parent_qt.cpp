#include "ui/dialog_parent_qt.h"

#include <QApplication>
#include <QWidget>

namespace quilor::ui {

namespace {

bool KeptAbove(const QWidget* w) {
  return w != nullptr && w->isVisible() && (w->windowFlags() & Qt::WindowStaysOnTopHint) != 0;
}

}  // namespace

QWidget* DialogParent() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  QWidget* active = QApplication::activeWindow();
  if (KeptAbove(active)) return active;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (KeptAbove(w) && !w->isMinimized()) return w;
  return active;
}

}  // namespace quilor::ui
