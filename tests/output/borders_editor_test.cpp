#include "output/borders_editor.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QPushButton>
#include <sys/stat.h>

#include <filesystem>

#include "core/borders.h"
#include "core/messages.h"
#include "core/options.h"
#include "output/borders_dialog.h"
#include "platform/message_ui.h"
#include "../platform/temp_folder.h"

namespace quilor::ui {
namespace {

using quilor::testing::ReadWholeFile;
using quilor::testing::TempFolder;
using quilor::testing::WriteWholeFile;

class BordersEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Options->ResetSettings();
    WorkContext->Reset();
    WorkContext->BordersFolder = folder_.path();
    CreateBorderList();
    ClearBorderList();
    BordersEditor::BordersChanged = false;
  }
  void TearDown() override {
    ClearBorderList();
    FreeBordersIndex();
    Options->ResetSettings();
    WorkContext->Reset();
  }
  std::vector<std::string> Texts(const BordersEditor& editor) const {
    std::vector<std::string> texts;
    for (const BorderItem& item : editor.Items()) texts.push_back(item.text);
    return texts;
  }

  TempFolder folder_;
  FakeMainWindow main_;
  ScopedScriptedUi ui_;
};

TEST_F(BordersEditorTest, TypedTermsBecomeKeysInSortedOrder) {
  BordersEditor editor(&main_);
  EXPECT_TRUE(editor.Add("Foo Bar"));
  EXPECT_EQ(Texts(editor), std::vector<std::string>{"foo_bar"});
  EXPECT_TRUE(editor.Add("chapter"));
  EXPECT_TRUE(editor.Add("Zeta"));
  EXPECT_EQ(Texts(editor), (std::vector<std::string>{"chapter", "foo_bar", "zeta"}));
  // A second add selects the existing item and says no.
  EXPECT_FALSE(editor.Add("FOO   bar"));
  EXPECT_EQ(editor.Selected(), 1);
  EXPECT_FALSE(editor.Add("  !! "));
  EXPECT_TRUE(editor.Modified());
  // Deleting the first selects the new first.
  editor.Select(0);
  EXPECT_TRUE(editor.Delete());
  EXPECT_EQ(editor.Selected(), 0);
  editor.Select(-1);
  EXPECT_FALSE(editor.Delete());
}

TEST_F(BordersEditorTest, SaveWritesSortedLinesAndKeepsTheBackup) {
  const std::string path = folder_ / "mine.dlm";
  WriteWholeFile(path, "X#######\tzebra\r\nN#######\tapple\r\n");
  ASSERT_TRUE(ReadBordersFile(*Borders.list, path));
  Options->Set(opt::BordersFileName, std::string_view("mine.dlm"));
  BordersEditor editor(&main_);
  EXPECT_EQ(Texts(editor), (std::vector<std::string>{"apple", "zebra"}));
  EXPECT_TRUE(editor.Items()[1].checked);
  editor.Add("mango");
  ASSERT_TRUE(editor.Save());
  EXPECT_EQ(ReadWholeFile(path), "N#######\tapple\r\nN#######\tmango\r\nX#######\tzebra\r\n");
  EXPECT_EQ(ReadWholeFile(path + ".bak").empty() ? ReadWholeFile(folder_ / "mine.bak") : ReadWholeFile(path + ".bak"),
            "X#######\tzebra\r\nN#######\tapple\r\n");
  EXPECT_FALSE(editor.Modified());
}

TEST_F(BordersEditorTest, OpeningAnUnreadableOrForeignFileChangesNothing) {
  AddBorderEntry(MakeBorderEntry("kept", true));
  Options->Set(opt::BordersFileName, std::string_view("current.dlm"));
  BordersEditor editor(&main_);
  WriteWholeFile(folder_ / "locked.dlm", "N#######\tother\r\n");
  ::chmod((folder_ / "locked.dlm").c_str(), 0);
  if (::access((folder_ / "locked.dlm").c_str(), R_OK) != 0) {
    EXPECT_FALSE(editor.Open(folder_ / "locked.dlm"));
    EXPECT_EQ(Borders.list->Count(), 1u);
    EXPECT_EQ(Options->Get(opt::BordersFileName), "current.dlm");
  }
  // A name in the folder that cannot be read as a file (here a folder).
  std::filesystem::create_directory(folder_ / "folder.dlm");
  EXPECT_FALSE(editor.Open(folder_ / "folder.dlm"));
  EXPECT_EQ(Borders.list->Count(), 1u);
  EXPECT_EQ(Options->Get(opt::BordersFileName), "current.dlm");
  TempFolder elsewhere;
  WriteWholeFile(elsewhere / "x.dlm", "N#######\tother\r\n");
  EXPECT_FALSE(editor.Open(elsewhere / "x.dlm"));
  EXPECT_EQ(Borders.list->Count(), 1u);
  EXPECT_EQ(Texts(editor), std::vector<std::string>{"kept"});
  EXPECT_EQ(main_.reruns, 0);
}

TEST_F(BordersEditorTest, ApplyRerunsOnlyWhenSomethingChanged) {
  BordersEditor editor(&main_);
  EXPECT_FALSE(editor.Apply());
  EXPECT_EQ(main_.reruns, 0);
  editor.SetDisplayInText(true);
  EXPECT_TRUE(editor.Apply());
  EXPECT_EQ(main_.reruns, 1);
  EXPECT_TRUE(Options->Switch(opt::ShowBorders));
  // No text: nothing to re-run.
  main_.textLoaded = false;
  editor.Add("part");
  EXPECT_FALSE(editor.Apply());
  EXPECT_EQ(main_.reruns, 1);
}

TEST_F(BordersEditorTest, SaveAsNamesTheFileOnlyAfterSuccessAndNewForgetsIt) {
  BordersEditor editor(&main_);
  editor.Add("part");
  TempFolder elsewhere;
  EXPECT_FALSE(editor.SaveAs(elsewhere / "x.dlm"));
  EXPECT_EQ(Options->Get(opt::BordersFileName), "");
  ASSERT_EQ(ui_.ui.Shown().size(), 1u);
  EXPECT_NE(ui_.ui.Shown()[0].text.find(GetMessageText(1222)), std::string::npos);
  // The Apply button without a file asks a name; cancelling stops before applying.
  EXPECT_FALSE(editor.SaveAndApply([] { return std::string(); }));
  EXPECT_EQ(main_.reruns, 0);
  EXPECT_TRUE(editor.SaveAndApply([&] { return folder_ / "new.txt"; }));
  EXPECT_EQ(Options->Get(opt::BordersFileName), "new.dlm");
  EXPECT_TRUE(std::filesystem::exists(folder_ / "new.dlm"));
  EXPECT_EQ(main_.reruns, 1);
  editor.New();
  EXPECT_EQ(Options->Get(opt::BordersFileName), "");
  EXPECT_TRUE(editor.Items().empty());
  EXPECT_EQ(main_.reruns, 2);
}

TEST_F(BordersEditorTest, NewAndOpenWaitForPrintingAndTheSaveQuestion) {
  BordersEditor editor(&main_);
  editor.Add("part");
  main_.printing = true;
  EXPECT_FALSE(editor.New([] { return std::string(); }));
  EXPECT_EQ(editor.Items().size(), 1u);
  main_.printing = false;
  // Yes, then the save is cancelled: New does not go on.
  ui_.ui.QueueAnswer(1);
  EXPECT_FALSE(editor.New([] { return std::string(); }));
  EXPECT_EQ(editor.Items().size(), 1u);
  // No: New goes on without saving.
  ui_.ui.QueueAnswer(3);
  EXPECT_TRUE(editor.New([] { return std::string(); }));
  EXPECT_TRUE(editor.Items().empty());
}

// Showing the Borders in the text is a change of its own: after the list's
// changes are cancelled, Apply still shows the text again with the Borders.
TEST_F(BordersEditorTest, ShowingTheBordersAloneShowsTheTextAgain) {
  BordersEditor editor(&main_);
  editor.Add("part");
  editor.SetDisplayInText(true);
  editor.Cancel();  // the list's changes go, the display stays chosen
  EXPECT_FALSE(editor.Modified());
  EXPECT_TRUE(editor.SaveAndApply([] { return std::string(); }));
  EXPECT_EQ(main_.reruns, 1);
  EXPECT_TRUE(Options->Switch(opt::ShowBorders));
  // Applied once, it is not applied again.
  EXPECT_TRUE(editor.SaveAndApply([] { return std::string(); }));
  EXPECT_EQ(main_.reruns, 1);
}

// In the dialog: the display switch alone, even after Cancel put the list
// back, leaves Apply enabled, and Apply shows the text again.
TEST_F(BordersEditorTest, TheSwitchAloneKeepsApplyEnabledUntilApplied) {
  TDialogueDelimiteurs dialog(&main_, nullptr);
  EXPECT_FALSE(dialog.ApplyButton()->isEnabled());
  dialog.DisplayBox()->click();
  EXPECT_TRUE(dialog.ApplyButton()->isEnabled());
  dialog.CancelButton()->click();
  EXPECT_FALSE(dialog.CancelButton()->isEnabled());
  EXPECT_TRUE(dialog.DisplayBox()->isChecked());
  ASSERT_TRUE(dialog.ApplyButton()->isEnabled());
  dialog.ApplyButton()->click();
  EXPECT_EQ(main_.reruns, 1);
  EXPECT_FALSE(dialog.ApplyButton()->isEnabled());
}

// Checks go into the file as excluded items; Open reads a file of the folder
// whole, names it and shows it in the text; the save question saves to the
// current file when answered Yes.
TEST_F(BordersEditorTest, ChecksOpenAndTheSaveQuestionReachTheFile) {
  const std::string path = folder_ / "parts.dlm";
  WriteWholeFile(path, "N#######\tbeta\r\nX#######\tAlpha\r\nN#######\tgamma\r\n");
  BordersEditor editor(&main_);
  EXPECT_EQ(editor.Caption(), GetMessageText(574));
  ASSERT_TRUE(editor.Open([&] { return path; }, [] { return std::string(); }));
  EXPECT_EQ(Options->Get(opt::BordersFileName), "parts.dlm");
  EXPECT_EQ(editor.Caption(), GetMessageText(574) + " : parts.dlm");
  EXPECT_EQ(Texts(editor), (std::vector<std::string>{"Alpha", "beta", "gamma"}));
  EXPECT_TRUE(editor.Items()[0].checked);
  EXPECT_FALSE(editor.Items()[1].checked);
  EXPECT_EQ(main_.reruns, 1);
  EXPECT_FALSE(editor.Modified());

  editor.IncludeAll();
  EXPECT_TRUE(editor.Modified());
  ASSERT_TRUE(editor.Save());
  EXPECT_EQ(ReadWholeFile(path), "N#######\tAlpha\r\nN#######\tbeta\r\nN#######\tgamma\r\n");
  editor.ExcludeAll();
  editor.SetChecked(1, false);
  editor.SetChecked(3, false);  // past the end: nothing
  // The question before New: Yes saves to the current file.
  ui_.ui.QueueAnswer(1);
  ASSERT_TRUE(editor.New([] { return std::string(); }));
  EXPECT_EQ(ReadWholeFile(path), "X#######\tAlpha\r\nN#######\tbeta\r\nX#######\tgamma\r\n");
  EXPECT_TRUE(editor.Items().empty());
  // Nothing changed: no question.
  EXPECT_TRUE(editor.AskToSave([] { return std::string(); }));
  EXPECT_EQ(ui_.ui.Shown().size(), 1u);
  // Open without a file chosen does nothing.
  EXPECT_FALSE(editor.Open([] { return std::string(); }, [] { return std::string(); }));
  main_.printing = true;
  EXPECT_FALSE(editor.Open([&] { return path; }, [] { return std::string(); }));
  EXPECT_TRUE(editor.Items().empty());
}

// Deleting the last item selects the one before; the last one gone, nothing
// is selected.
TEST_F(BordersEditorTest, DeletingWalksBackToTheFirstAndThenNothing) {
  BordersEditor editor(&main_);
  for (const char* term : {"a", "b", "c"}) editor.Add(term);
  editor.Select(2);
  std::vector<int> selected;
  while (editor.Delete()) selected.push_back(editor.Selected());
  EXPECT_EQ(selected, (std::vector<int>{1, 0, -1}));
  EXPECT_TRUE(editor.Items().empty());
  // A long term is cut to the list's width.
  editor.Add(std::string(100, 'q'));
  EXPECT_EQ(editor.Items()[0].text, std::string(80, 'q'));
}

}  // namespace
}  // namespace quilor::ui
