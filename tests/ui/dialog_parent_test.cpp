// The window a box opens over: a tool window kept above the others must not
// hide it.
#include "ui/dialog_parent_qt.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>
#include <gtest/gtest.h>

namespace quilor::ui {
namespace {

TEST(DialogParent, ABoxOpensOverAShownWindowKeptAboveTheOthers) {
  QWidget main;
  main.show();
  QApplication::setActiveWindow(&main);
  EXPECT_EQ(DialogParent(), &main) << "no window kept above: the window in front";

  QWidget tool(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint);
  tool.show();
  QApplication::setActiveWindow(&main);
  EXPECT_EQ(DialogParent(), &tool) << "the box would open under the tool window";

  tool.hide();
  EXPECT_EQ(DialogParent(), &main) << "a hidden tool window is passed over";
}

TEST(DialogParent, AModalDialogInFrontComesFirst) {
  QWidget tool(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint);
  tool.show();
  QDialog modal;
  modal.setModal(true);
  modal.show();
  EXPECT_EQ(DialogParent(), &modal);
}

}  // namespace
}  // namespace quilor::ui
