// The window a box opens over: a tool window kept above the others must not
// hide it.
#include "ui/dialog_parent_qt.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <QWidget>
#include <gtest/gtest.h>

#include "core/files.h"
#include "ui/desktop_qt.h"

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

// A window may be closed and deleted while a chooser or box waits over it
// (a request's work closes the terminology window): the dialog goes with it,
// counts as cancelled, and nothing is freed twice.
TEST(DialogParent, ChoosersOverAWindowDeletedWhileTheyWaitCountAsCancelled) {
  QtDesktop desktop;
  auto overADeletedWindow = [](const std::function<void()>& choose) {
    auto* window = new QWidget;
    window->show();
    QApplication::setActiveWindow(window);
    ASSERT_EQ(DialogParent(), window);
    QTimer::singleShot(50, [window] { delete window; });
    choose();
  };
  FileChoice choice;
  choice.filter = "Text|*.txt";
  overADeletedWindow([&] { EXPECT_TRUE(desktop.ChooseOpenFiles(choice).empty()); });
  overADeletedWindow([&] { EXPECT_TRUE(desktop.ChooseSaveFile(choice).empty()); });
  overADeletedWindow([&] { EXPECT_TRUE(desktop.ChooseFolder("Folder", "/").empty()); });
  overADeletedWindow([&] { EXPECT_FALSE(desktop.ChooseColour(Rgb{}).has_value()); });
  overADeletedWindow([&] { EXPECT_FALSE(desktop.ChooseFont(Font{}).has_value()); });
}

// The hourglass of a long work is set once and taken back once, however
// often it is asked; the clipboard gives back the text put on it.
TEST(QtDesktopTest, TheHourglassComesAndGoesOnceAndTheClipboardKeepsItsText) {
  QtDesktop desktop;
  for (int cursor : {kCursorHourglass, kCursorHourglass}) {
    desktop.SetCursor(cursor);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  desktop.SetCursor(kCursorDefault);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  desktop.SetClipboardText("caf\xC3\xA9 \xE2\x80\x94 tab\tend");
  EXPECT_EQ(desktop.ClipboardText(), "caf\xC3\xA9 \xE2\x80\x94 tab\tend");
}

}  // namespace
}  // namespace quilor::ui
