#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "core/borders.h"
#include "core/files.h"
#include "core/file_queue.h"
#include "core/messages.h"
#include "core/options.h"
#include "ui/desktop.h"
#include "ui/texts_qt.h"
#include "generated/message_names.h"
#include "output/borders_dialog.h"
#include "output/gexf_export_dialog.h"
#include "output/report_dialog.h"
#include "platform/message_ui.h"
#include "support/help_pages.h"
#include "ui_support/engine_session.h"
#include "../platform/temp_folder.h"

namespace quilor::ui {
namespace {

// Saves a picture of the widget when QUILOR_SHOTS names a folder (to look at it).
void Shot(QWidget& widget, const char* name) {
  if (const char* folder = std::getenv("QUILOR_SHOTS")) widget.grab().save(QString(folder) + "/" + name + ".png");
}

TEST(ExportDialogs, BordersDialogAddsChecksAndApplies) {
  Options->ResetSettings();
  CreateBorderList();
  ClearBorderList();
  ScopedScriptedUi ui;
  ScopedScriptedDesktop desktop;
  FakeMainWindow main;
  TDialogueDelimiteurs dialog(&main, [](bool) { return std::string("Dropped Word"); });
  EXPECT_FALSE(dialog.ApplyButton()->isEnabled());
  QTest::keyClicks(dialog.Term(), "Chapter One");
  dialog.ButtonAjouterClick();
  EXPECT_EQ(dialog.Term()->text(), "");  // ready for the next term
  QTest::keyClicks(dialog.Term(), "Appendix");
  dialog.ButtonAjouterClick();
  ASSERT_EQ(dialog.List()->count(), 2);
  EXPECT_EQ(dialog.List()->item(0)->text().toStdString(), "appendix");
  EXPECT_EQ(dialog.List()->item(1)->text().toStdString(), "chapter_one");
  EXPECT_TRUE(dialog.ApplyButton()->isEnabled());
  // A second add of the same term beeps and keeps the field to be corrected.
  dialog.Term()->setText("APPENDIX");
  dialog.ButtonAjouterClick();
  EXPECT_EQ(desktop.desktop.beeps, 1);
  EXPECT_EQ(dialog.Term()->text(), "APPENDIX");
  dialog.List()->item(1)->setCheckState(Qt::Checked);
  EXPECT_TRUE(dialog.Editor().Items()[1].checked);
  EXPECT_EQ(dialog.List()->item(1)->foreground().color(), QColor(255, 0, 0));
  Shot(dialog, "borders");
  // Cancel puts the list back as Borders.list has it.
  dialog.CancelButton()->click();
  EXPECT_EQ(dialog.List()->count(), 0);
  EXPECT_FALSE(dialog.ApplyButton()->isEnabled());
  ClearBorderList();
}

QPushButton* ButtonCalled(QWidget& dialog, int caption) {
  for (QPushButton* b : dialog.findChildren<QPushButton*>())
    if (b->text() == MessageText(caption)) return b;
  return nullptr;
}

QAction* MenuAction(QWidget& dialog, int caption) {
  for (QAction* a : dialog.findChildren<QAction*>())
    if (a->text() == MessageText(caption)) return a;
  return nullptr;
}

// The menu's Open, Save as, Save and Help, and the list's buttons, act on the
// Borders file and the list the user sees.
TEST(ExportDialogs, BordersDialogMenusAndButtonsActOnTheFile) {
  Options->ResetSettings();
  CreateBorderList();
  ClearBorderList();
  quilor::testing::TempFolder folder;
  WorkContext->BordersFolder = folder.path();
  quilor::testing::WriteWholeFile(folder / "parts.dlm", "N#######\tbeta\r\nX#######\talpha\r\n");
  ScopedScriptedUi ui;
  ScopedScriptedDesktop desktop;
  FakeMainWindow main;
  TDialogueDelimiteurs dialog(&main, {});
  desktop.desktop.openAnswers.push_back({folder / "parts.dlm"});
  ASSERT_NE(MenuAction(dialog, msg::kOpen), nullptr);
  MenuAction(dialog, msg::kOpen)->trigger();
  ASSERT_EQ(dialog.List()->count(), 2);
  EXPECT_EQ(dialog.List()->item(0)->checkState(), Qt::Checked);  // alpha is excluded
  EXPECT_EQ(dialog.windowTitle().toStdString(), GetMessageText(msg::kBorders) + " : parts.dlm");
  EXPECT_EQ(main.reruns, 1);

  QPushButton* remove = ButtonCalled(dialog, msg::kDelete);
  QPushButton* includeAll = ButtonCalled(dialog, msg::kIncludeAll);
  QPushButton* excludeAll = ButtonCalled(dialog, msg::kExcludeAll);
  ASSERT_TRUE(remove && includeAll && excludeAll);
  includeAll->click();
  EXPECT_EQ(dialog.List()->item(0)->checkState(), Qt::Unchecked);
  EXPECT_EQ(dialog.List()->item(1)->checkState(), Qt::Unchecked);
  excludeAll->click();
  EXPECT_EQ(dialog.List()->item(1)->checkState(), Qt::Checked);
  // Choosing a line puts it in the field; Delete takes it out.
  dialog.List()->setCurrentRow(1);
  EXPECT_EQ(dialog.Term()->text(), "beta");
  remove->click();
  ASSERT_EQ(dialog.List()->count(), 1);
  EXPECT_EQ(dialog.List()->item(0)->text(), "alpha");
  remove->click();
  remove->click();  // nothing left to delete
  EXPECT_EQ(desktop.desktop.beeps, 1);
  EXPECT_TRUE(dialog.CancelButton()->isEnabled());

  EXPECT_EQ(dialog.List()->count(), 0);
  dialog.Term()->clear();
  QTest::keyClicks(dialog.Term(), "gamma");
  dialog.ButtonAjouterClick();
  MenuAction(dialog, msg::kSave)->trigger();
  EXPECT_EQ(quilor::testing::ReadWholeFile(folder / "parts.dlm"), "N#######\tgamma\r\n");
  EXPECT_FALSE(dialog.CancelButton()->isEnabled());
  desktop.desktop.saveAnswers.push_back(folder / "other");
  MenuAction(dialog, msg::kSaveAs)->trigger();
  EXPECT_EQ(quilor::testing::ReadWholeFile(folder / "other.dlm"), "N#######\tgamma\r\n");
  EXPECT_EQ(dialog.windowTitle().toStdString(), GetMessageText(msg::kBorders) + " : other.dlm");
  // Help opens the page on the Borders, or the one on managing them.
  for (const auto& [caption, page] : {std::pair{msg::kBorders, "880.html"}, {msg::kBorderManagement, "882.html"}})
    EXPECT_EQ(testing_support::HelpPagesOpenedBy(page, [&] { MenuAction(dialog, caption)->trigger(); }),
              std::vector<std::string>{page});
  ClearBorderList();
  WorkContext->Reset();
}

// Closes the dialog from an event loop of its own, as a chooser's loop or the
// analysis run again would: the close arrives while a command runs. Tells
// whether the dialog was still there when the loop ended.
bool CloseArrivesWhileWaiting(QPointer<TDialogueDelimiteurs>& dialog) {
  QEventLoop loop;
  QTimer::singleShot(0, dialog, &QWidget::close);
  QTimer::singleShot(100, &loop, &QEventLoop::quit);
  loop.exec();
  return !dialog.isNull();
}

// Deleted (or not) by the close asked for, once the events are run.
bool DeletedAfterEvents(QPointer<TDialogueDelimiteurs>& dialog) {
  for (int i = 0; i < 20 && !dialog.isNull(); ++i) {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  return dialog.isNull();
}

// The Borders dialog is deleted when it closes. A close that comes while one
// of its commands waits in an event loop (a chooser; the analysis run again
// after New, Open, Save or Apply) waits for the command to finish instead of
// freeing the dialog under it.
TEST(ExportDialogs, BordersDialogClosedWhileACommandWaitsClosesAfterIt) {
  Options->ResetSettings();
  CreateBorderList();
  ClearBorderList();
  ScopedScriptedUi ui;
  struct RerunningMain : FakeMainWindow {
    std::function<void()> whileRunning;
    void ReLancerAnalyse() override {
      FakeMainWindow::ReLancerAnalyse();
      if (whileRunning) whileRunning();
    }
  } main;
  struct ClosingDesktop : ScriptedDesktop {
    std::function<void()> whileChoosing;
    std::string chosen;
    std::string ChooseSaveFile(FileChoice&) override {
      if (whileChoosing) whileChoosing();
      return chosen;
    }
  } desktop;
  SetDesktop(&desktop);
  quilor::testing::TempFolder folder;
  WorkContext->BordersFolder = folder.path();

  enum class Wait { Chooser, AnalysisAfterNew, AnalysisAfterApply };
  for (Wait wait : {Wait::Chooser, Wait::AnalysisAfterNew, Wait::AnalysisAfterApply}) {
    SCOPED_TRACE(static_cast<int>(wait));
    QPointer<TDialogueDelimiteurs> dialog = new TDialogueDelimiteurs(&main, nullptr);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    bool stillThere = false;
    desktop.whileChoosing = [&] { stillThere = CloseArrivesWhileWaiting(dialog); };
    main.whileRunning = [&] { stillThere = CloseArrivesWhileWaiting(dialog); };
    switch (wait) {
      case Wait::Chooser:
        main.whileRunning = nullptr;
        desktop.chosen.clear();
        ASSERT_NE(MenuAction(*dialog, msg::kSaveAs), nullptr);
        MenuAction(*dialog, msg::kSaveAs)->trigger();
        break;
      case Wait::AnalysisAfterNew:
        ASSERT_NE(MenuAction(*dialog, msg::kNew), nullptr);
        MenuAction(*dialog, msg::kNew)->trigger();
        break;
      case Wait::AnalysisAfterApply:
        // A term added, saved under the name chosen, then the analysis.
        desktop.whileChoosing = nullptr;
        desktop.chosen = folder.path() + "/applied.dlm";
        dialog->Term()->setText("Appendix");
        dialog->ButtonAjouterClick();
        dialog->ApplyButton()->click();
        break;
    }
    EXPECT_TRUE(stillThere) << "the dialog was deleted under its own command";
    EXPECT_TRUE(DeletedAfterEvents(dialog)) << "the close asked for was not done afterwards";
    delete dialog.data();
  }
  EXPECT_EQ(main.reruns, 2);
  SetDesktop(nullptr);
  ClearBorderList();
  WorkContext->Reset();
}

TEST(ExportDialogs, GexfDialogRefusesSeparatorsAndExplainsTheMatrix) {
  Options->ResetSettings();
  FileQueue.Clear();
  FileQueue.Add("/t/only.txt");
  TDlgExportsGEXFDansQuilor dialog;
  dialog.SubfolderEdit()->clear();
  QTest::keyClicks(dialog.SubfolderEdit(), "a/b:c");
  EXPECT_EQ(dialog.SubfolderEdit()->text(), "abc");
  // One document: no matrix.
  EXPECT_FALSE(dialog.MatrixBox()->isEnabled());
  const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
  const bool warned =
      std::any_of(labels.begin(), labels.end(), [](QLabel* l) { return l->text() == MessageText(1417); });
  EXPECT_TRUE(warned);
  Shot(dialog, "gexf");
  FileQueue.Clear();
}

// An export refused (one document, no Scenario) keeps the matrix choice and
// leaves no count shown as still coming.
TEST(ExportDialogs, ARefusedGexfExportKeepsTheMatrixChoiceAndItsCounts) {
  Options->ResetSettings();
  Options->Set(opt::GexfWriteMatrix, uint8_t{1});
  FileQueue.Clear();
  FileQueue.Add("/t/only.txt");
  quilor::testing::TempFolder folder;
  ScopedScriptedUi ui;
  TDlgExportsGEXFDansQuilor dialog;
  EXPECT_TRUE(dialog.MatrixBox()->isChecked());
  dialog.FolderEdit()->setText(QString::fromStdString(folder.path()));
  dialog.ButtonOkClick();
  ASSERT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_TRUE(Options->Switch(opt::GexfWriteMatrix));
  for (QLabel* label : dialog.findChildren<QLabel*>()) EXPECT_NE(label->text(), "?");
  FileQueue.Clear();
  Options->ResetSettings();
}

// Through the dialog: with no folder the user is asked for one; a folder
// name too short to be a place is refused; the export then shows its counts,
// says it ended, shows the folder and opens the relations as asked.
TEST(ExportDialogs, AGexfExportFromTheDialogCountsAndShowsItsResults) {
  testing_support::EngineSession session;
  ASSERT_TRUE(session.Started());
  ASSERT_TRUE(session.AnalyseTwoDocuments());
  Options->Set(opt::GexfBrowseFolder, uint8_t{1});
  Options->Set(opt::GexfDoNotOpenRelations, uint8_t{0});
  Options->Set(opt::GexfTextA(1), std::string_view("Run"));
  testing_support::ProgramsStarted started;
  ScopedScriptedDesktop desktop;
  TDlgExportsGEXFDansQuilor dialog;
  EXPECT_TRUE(dialog.MatrixBox()->isEnabled());
  QPushButton* choose = nullptr;
  for (QPushButton* b : dialog.findChildren<QPushButton*>())
    if (b->text() == MessageText(msg::kFolder)) choose = b;
  ASSERT_NE(choose, nullptr);
  dialog.FolderEdit()->setText("/kept");
  desktop.desktop.folderAnswers = {"", "/a"};
  choose->click();  // nothing chosen
  choose->click();  // too short
  EXPECT_EQ(dialog.FolderEdit()->text(), "/kept");
  EXPECT_TRUE(dialog.StatusLabel()->text().contains("\"/a\"")) << dialog.StatusLabel()->text().toStdString();
  desktop.desktop.folderAnswers = {session.Folder()};
  choose->click();
  EXPECT_EQ(dialog.FolderEdit()->text().toStdString(), session.Folder());

  dialog.FolderEdit()->clear();
  desktop.desktop.folderAnswers = {""};
  dialog.ButtonOkClick();  // no folder given, none chosen: no export
  EXPECT_FALSE(std::filesystem::exists(session.Folder() + "/Run"));
  desktop.desktop.folderAnswers = {session.Folder()};
  dialog.ButtonOkClick();
  EXPECT_EQ(dialog.StatusLabel()->text(), MessageText(714));
  EXPECT_TRUE(dialog.StatusLabel()->styleSheet().contains("green"));
  EXPECT_TRUE(std::filesystem::exists(session.Folder() + "/Run/QuilorRelations.gexf"));
  // The counts: numbers, the documents last.
  std::vector<QString> counts;
  for (QLabel* label : dialog.findChildren<QLabel*>()) {
    bool number = false;
    label->text().toInt(&number);
    if (number) counts.push_back(label->text());
  }
  ASSERT_EQ(counts.size(), 7u);
  EXPECT_GT(counts[0].toInt(), 0);
  EXPECT_EQ(counts[6], "2");
  EXPECT_EQ(started.Files(),
            (std::vector<std::string>{session.Folder() + "/Run", session.Folder() + "/Run/QuilorRelations.gexf"}));
  // A folder that cannot be made is named in the message, and nothing is counted.
  ScopedScriptedUi ui;
  dialog.FolderEdit()->setText("/proc/no-such-place");
  dialog.ButtonOkClick();
  std::string said = GetMessageText(msg::kIncorrectDestinationUnit);
  said = said + " " + GetMessageText(msg::kCannotCreateOutput) + " /proc/no-such-place/Run";
  ASSERT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_EQ(ui.ui.Shown()[0].text, said);
  int unknown = 0;
  for (QLabel* label : dialog.findChildren<QLabel*>()) unknown += label->text() == "N/A";
  EXPECT_EQ(unknown, 6);
  Options->ResetSettings();
}

TEST(ExportDialogs, ReportDialogShowsStoredValuesAsThePartsSay) {
  testing_support::EngineSession session;
  ASSERT_TRUE(session.Started());
  ASSERT_TRUE(session.Analyse({testing_support::EngineSession::SamplePath("sample.txt")}));
  Options->Set(opt::ExcelChartType, uint32_t{7});
  Options->Set(opt::ExcelMaxCharts, uint32_t{0});
  Options->Set(opt::ExcelTableType, uint32_t{0});
  TDlgReportMng dialog(0);
  EXPECT_EQ(dialog.ChartType()->currentText(), MessageText(1152));
  EXPECT_EQ(dialog.MaxCharts()->value(), 8);
  // No selected class: only the whole Scenario.
  EXPECT_TRUE(dialog.TableButton(2)->isChecked());
  EXPECT_FALSE(dialog.TableButton(0)->isEnabled());
  EXPECT_FALSE(dialog.TableButton(1)->isEnabled());
  Shot(dialog, "report");

  // A maximum outside 1..255 is refused, naming the field and its range; nothing is written.
  {
    ScopedScriptedUi ui;
    dialog.MaxCharts()->selectAll();
    QTest::keyClicks(dialog.MaxCharts(), "300");
    EXPECT_FALSE(dialog.OKBtnClick());
    ASSERT_EQ(ui.ui.Shown().size(), 1u);
    EXPECT_EQ(ui.ui.Shown()[0].text, "Maximum number of graphs: Incorrect value(s). Type a number from 1 to 255.");
    EXPECT_EQ(Options->Get(opt::ExcelMaxCharts), 0u);
    dialog.MaxCharts()->selectAll();
    QTest::keyClicks(dialog.MaxCharts(), "8");
  }

  // OK writes the workbook where the user says and opens it.
  ScopedScriptedDesktop desktop;
  const std::string path = session.Folder() + "/report.xlsx";
  desktop.desktop.saveAnswers.push_back(path);
  testing_support::ProgramsStarted opened;
  EXPECT_TRUE(dialog.OKBtnClick());
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(opened.Files(), std::vector<std::string>{path});
}

}  // namespace
}  // namespace quilor::ui
