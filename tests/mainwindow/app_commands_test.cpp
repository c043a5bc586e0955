// The program's own commands (app/): the options, Borders and export
// commands as a user meets them in the window.
#include <QApplication>
#include <QListView>
#include <QPointer>
#include <QRadioButton>
#include <QTimer>

#include "app/export_commands_qt.h"
#include "app/install_windows_qt.h"
#include "core/messages.h"
#include "engine/selection.h"
#include "engine/word_list.h"
#include "mainwindow/results_panel_widget.h"
#include "output/borders_dialog.h"
#include "output/gexf_export_dialog.h"
#include "output/general_options_dialog.h"
#include "ui/texts_qt.h"
#include "ui/view_state.h"
#include "main_window_fixture.h"

namespace quilor::ui {
std::string DefaultDraggedWord(bool fromList);
}

namespace quilor::ui::testing_support {
namespace {

// Runs the command; while its dialog shows, act(dialog) answers it.
template <typename Dialog>
bool AnswerDialog(TVekEditForm& w, CommandId id, const std::function<void(Dialog&)>& act) {
  bool seen = false;
  QTimer answer;
  answer.setInterval(20);
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    if (!dialog || seen) return;
    seen = true;
    act(*dialog);
  });
  answer.start();
  w.Command(id)->trigger();
  answer.stop();
  return seen;
}

TEST_F(MainWindowTest, ASortOrderChosenInTheGeneralOptionsSortsTheListShown) {
  TVekEditForm& w = Start();
  InstallWindows(w);
  ASSERT_TRUE(Open(sample_));
  ASSERT_FALSE(Options->Switch(opt::SortAlphabetical));
  w.ShowResultType(1);  // the classes of the first level
  const std::vector<std::string> byFrequency = ResultLines();
  ASSERT_GT(byFrequency.size(), 3u);
  ASSERT_TRUE(AnswerDialog<TDlgOptionsGenerales>(w, CommandId::MenuOptionsGenerales, [](TDlgOptionsGenerales& d) {
    for (QRadioButton* b : d.findChildren<QRadioButton*>())
      if (b->text() == MessageText(msg::kSortAlphabetically)) b->setChecked(true);
    d.ButtonOkClick();
  }));
  EXPECT_TRUE(Options->Switch(opt::SortAlphabetical));
  const std::vector<std::string> shown = ResultLines();
  EXPECT_NE(shown, byFrequency);
  // The same as the results' own sort command gives.
  w.Command(CommandId::MenuTriResultatsAlphabetique)->trigger();  // by frequency
  EXPECT_EQ(ResultLines(), byFrequency);
  w.Command(CommandId::MenuTriFrequence)->trigger();  // alphabetically
  EXPECT_EQ(ResultLines(), shown);

  // The dialog closed without a change leaves the list as it is.
  ASSERT_TRUE(AnswerDialog<TDlgOptionsGenerales>(w, CommandId::MenuOptionsGenerales,
                                                 [](TDlgOptionsGenerales& d) { d.reject(); }));
  EXPECT_EQ(ResultLines(), shown);
  CloseWindow();
}

TEST_F(MainWindowTest, TheBordersCommandKeepsOneWindowThatGoesWithTheProgram) {
  TVekEditForm& w = Start();
  InstallWindows(w);
  ASSERT_TRUE(w.Command(CommandId::MenuDelimiteurs)->isEnabled());
  w.Command(CommandId::MenuDelimiteurs)->trigger();
  QPointer<TDialogueDelimiteurs> first = OpenBordersDialog();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->isVisible());
  first->hide();
  w.Command(CommandId::MenuDelimiteurs)->trigger();  // shown again, not a second one
  EXPECT_EQ(OpenBordersDialog(), first.data());
  EXPECT_TRUE(first->isVisible());
  EXPECT_EQ(w.findChildren<TDialogueDelimiteurs*>().size(), 1);
  CloseWindow();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(first, nullptr);
}

TEST_F(MainWindowTest, TheWordDraggedIsTheSelectionOrTheWordAtItsPlace) {
  TVekEditForm& w = Start();
  InstallWindows(w);
  ASSERT_TRUE(Open(sample_));
  ViewState.selection.firstTerm = "chosen";
  EXPECT_EQ(DefaultDraggedWord(true), "chosen");
  // From the text: the word at the drag position, none between two words.
  const TWordNode* first = TextWords.First();
  ASSERT_NE(first, nullptr);
  const TWordNode* second = TWordList::NextNode(first);
  ViewState.DragWordPosition = first->position;
  EXPECT_EQ(DefaultDraggedWord(false), first->text);
  ViewState.DragWordPosition = second->position;
  EXPECT_EQ(DefaultDraggedWord(false), second->text);
  ViewState.DragWordPosition = 1 << 30;
  EXPECT_EQ(DefaultDraggedWord(false), "");
  CloseWindow();
}

// On an analysed text the exports open their dialog, with no box; the
// callbacks of the window's close run once, though the window is destroyed
// after its close box shut it.
TEST_F(MainWindowTest, ExportsOpenTheirDialogAndTheCloseCallbacksRunOnce) {
  TVekEditForm& w = Start();
  InstallWindows(w);
  int closings = 0;
  w.AddClosingCallback([&closings] { ++closings; });
  ASSERT_TRUE(Open(sample_));
  ui_.ui.ClearLog();
  EXPECT_TRUE(AnswerDialog<TDlgExportsGEXFDansQuilor>(w, CommandId::MenuExports,
                                                      [](TDlgExportsGEXFDansQuilor& d) { d.reject(); }));
  EXPECT_TRUE(ui_.ui.Shown().empty());
  CloseWindow();
  EXPECT_EQ(closings, 1);
}

}  // namespace
}  // namespace quilor::ui::testing_support
