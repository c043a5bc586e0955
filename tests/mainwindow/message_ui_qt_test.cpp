// The Qt message box and gauge: buttons give the program's results, the
// check box is read back, Stop asks before it stops.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "core/gauge.h"
#include "core/messages.h"
#include "mainwindow/message_ui_qt.h"

namespace quilor::ui {
namespace {

// Clicks the button captioned text of the next message box, after ticking
// its check box when tick is set.
QMessageBox::Icon lastIcon = QMessageBox::NoIcon;

void AnswerNextBox(const QString& text, bool tick) {
  QTimer::singleShot(0, [text, tick] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    lastIcon = box->icon();
    if (tick) {
      ASSERT_NE(box->checkBox(), nullptr);
      box->checkBox()->setChecked(true);
    }
    for (QAbstractButton* b : box->buttons())
      if (b->text() == text) {
        b->click();
        return;
      }
    ADD_FAILURE() << "no button " << text.toStdString();
    box->reject();
  });
}

TEST(QtMessageUiTest, ButtonsGiveTheProgramsResults) {
  InitMessages();
  QtMessageUi ui;
  AnswerNextBox(QStringLiteral("Ok"), false);
  EXPECT_EQ(ui.ShowBox({"Fine.", kBoxOk, false}).result, 2);
  // The Ok box is ShowError's: it shows the error icon, the questions theirs.
  EXPECT_EQ(lastIcon, QMessageBox::Critical);
  AnswerNextBox(QStringLiteral("Cancel"), false);
  EXPECT_EQ(ui.ShowBox({"Go?", kBoxOkCancel, false}).result, 3);
  EXPECT_EQ(lastIcon, QMessageBox::Question);
  AnswerNextBox(QStringLiteral("No"), false);
  EXPECT_EQ(ui.ShowBox({"Save?", kBoxYesNoCancel, false}).result, 2);
  AnswerNextBox(QStringLiteral("No"), false);
  EXPECT_EQ(ui.ShowBox({"Stop?", kBoxYesNo, false}).result, 3);
  AnswerNextBox(QStringLiteral("Yes"), true);
  const BoxAnswer withCheck = ui.ShowBox({"Again?", kBoxYesNoDefaultYes, true});
  EXPECT_EQ(withCheck.result, 1);
  EXPECT_TRUE(withCheck.dontShowAgain);
}

// Enter answers a question with its default button: on the save question
// that is Yes, which keeps the work; elsewhere the cautious answer stays.
TEST(QtMessageUiTest, EnterOnTheSaveQuestionKeepsTheWork) {
  InitMessages();
  QtMessageUi ui;
  const auto pressEnter = [] {
    QTimer::singleShot(0, [] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      QTest::keyClick(box, Qt::Key_Return);
    });
  };
  pressEnter();
  EXPECT_EQ(ui.ShowBox({"Save the work?", kBoxSaveYesNoCancel, false}).result, 1);
  pressEnter();
  EXPECT_EQ(ui.ShowBox({"Go on loading?", kBoxYesNoCancel, false}).result, 2);
}

// The window a box or a list belongs to is deleted while the box is open
// (a request's work, another window's command): the box goes with it and
// answers as a closed box, nothing freed twice.
TEST(QtMessageUiTest, ABoxWhoseWindowGoesAnswersAsClosed) {
  InitMessages();
  QtMessageUi ui;
  for (int round = 0; round < 2; ++round) {
    auto* window = new QWidget;
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    QTimer::singleShot(50, [window] {
      QWidget* box = QApplication::activeModalWidget();
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->parentWidget(), window);
      delete window;
      // Were it left open, it would not hold the test.
      QTimer::singleShot(200, [] {
        if (auto* left = qobject_cast<QDialog*>(QApplication::activeModalWidget())) left->reject();
      });
    });
    QPointer<QWidget> watched = window;
    if (round == 0) {
      EXPECT_EQ(ui.ShowBox({"Go?", kBoxOkCancel, false}).result, 0);
    } else {
      ui.ShowList({"Files", {"a", "b"}});
    }
    EXPECT_TRUE(watched.isNull());
    // The next box shows as usual.
    AnswerNextBox(QStringLiteral("Ok"), false);
    EXPECT_EQ(ui.ShowBox({"Fine.", kBoxOk, false}).result, 2);
  }
}

TEST(QtGaugeTest, StopAsksAndTheDialogLeavesTheCloseBoxesWorking) {
  InitMessages();
  ScopedScriptedUi ui;
  SetGaugeViewFactory([] { return std::make_unique<QtGaugeView>(); });
  TInfoJauge& gauge = CreateInfoJauge(true);
  SetGaugeViewFactory(nullptr);
  auto& view = static_cast<QtGaugeView&>(gauge.View());
  EXPECT_TRUE(view.IsVisible());
  // Not modal: a window closed during the operation hears it (and stops it).
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  // The busy guard keeps the clicks away from the program's other windows.
  QWidget other;
  int clicks = 0;
  auto* button = new QPushButton(&other);
  QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
  other.show();
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 0);
  auto* stop = view.Dialog()->findChild<QPushButton*>(QStringLiteral("ButtonArret"));
  ASSERT_NE(stop, nullptr);
  ui.ui.QueueAnswer(3);  // No: the work goes on
  stop->click();
  EXPECT_FALSE(gauge.StopRequested());
  ui.ui.QueueAnswer(1);    // Yes
  view.Dialog()->close();  // the close box is Stop too
  EXPECT_TRUE(gauge.StopRequested());
  EXPECT_FALSE(gauge.Continue());
  ASSERT_EQ(ui.ui.Shown().size(), 2u);
  EXPECT_EQ(ui.ui.Shown()[0].text, "Do you really want to stop this process?");
  CloseInfoJauge();
  EXPECT_EQ(Progress.gauge, nullptr);
}

// The gauge opens over the window in front; that window is deleted while
// the gauge shows (a request's work closes the terminology window), and
// Qt deletes the gauge's window with it. The run goes on with a gauge that
// shows its lines and still stops it.
TEST(QtGaugeTest, AGaugeWhoseWindowGoesShowsOnOverAnother) {
  InitMessages();
  ScopedScriptedUi ui;
  auto* window = new QWidget;
  window->show();
  window->activateWindow();
  QApplication::setActiveWindow(window);
  SetGaugeViewFactory([] { return std::make_unique<QtGaugeView>(); });
  TInfoJauge& gauge = CreateInfoJauge(true);
  SetGaugeViewFactory(nullptr);
  auto& view = static_cast<QtGaugeView&>(gauge.View());
  gauge.DefinirLibelle(1, "Reading", true);
  gauge.DefinirMaximum(40);
  QPointer<QWidget> first = view.Dialog();
  ASSERT_FALSE(first.isNull());
  EXPECT_EQ(first->parentWidget(), window);
  delete window;
  ASSERT_TRUE(first.isNull()) << "the gauge's window no longer goes with the window it opened over";
  gauge.DefinirMaximum(50);
  gauge.MajBar(10);
  gauge.DefinirValeur(2, "12 files");
  EXPECT_TRUE(view.IsVisible());
  QWidget* again = view.Dialog();
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(again->isVisible());
  auto* bar = again->findChild<QProgressBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->maximum(), 50);
  EXPECT_EQ(bar->value(), 10);
  QStringList shown;
  for (auto* label : again->findChildren<QLabel*>()) shown << label->text();
  EXPECT_TRUE(shown.contains(QStringLiteral("Reading")));
  EXPECT_TRUE(shown.contains(QStringLiteral("12 files")));
  ui.ui.QueueAnswer(1);  // Yes
  again->findChild<QPushButton*>(QStringLiteral("ButtonArret"))->click();
  EXPECT_TRUE(gauge.StopRequested());
  CloseInfoJauge();
  EXPECT_EQ(Progress.gauge, nullptr);
}

}  // namespace
}  // namespace quilor::ui
