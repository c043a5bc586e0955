#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>

#include "support/help_pages.h"
#include "core/class_file.h"
#include "core/files.h"
#include "core/messages.h"
#include "platform/text_encoding.h"
#include "core/options.h"
#include "ui/desktop.h"
#include "platform/message_ui.h"
#include "scenario/owl_import_dialog.h"
#include "scenario/scenario_editor.h"
#include "support/stream_support.h"

namespace quilor::ui {
namespace {

using testing_support::ReadFileBytes;
using testing_support::TempFolder;

TEST(OwlImportRoute, AnOwlFileBecomesTheCurrentScenario) {
  TempFolder folder;
  ScopedScriptedUi ui;
  Options->ResetSettings();
  std::string saved = WorkContext->UserScenarioFolder;
  WorkContext->UserScenarioFolder = folder.Path("OwlOutput.scn").substr(0, folder.Path("OwlOutput.scn").size() - 14);
  const std::string input = folder.Write(
      "pets.owl",
      "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
      "xmlns:rdfs=\"http://www.w3.org/2000/01/rdf-schema#\" xmlns:owl=\"http://www.w3.org/2002/07/owl#\">"
      "<owl:Class rdf:about=\"#Pet\"><rdfs:label>Pet</rdfs:label></owl:Class>"
      "<owl:Class rdf:about=\"#Cat\"><rdfs:subClassOf rdf:resource=\"#Pet\"/><rdfs:label>Cat</rdfs:label></owl:Class>"
      "</rdf:RDF>");
  std::string log;
  const std::string produced = RunOwlImport(input, OwlOptionsFromSettings(false, true, false, true, false, false), log);
  ASSERT_EQ(produced, folder.Path("OwlOutput.scn"));
  EXPECT_EQ(log, input + ".log");
  FakeMainWindow main;
  ScenarioEditor editor(&main);
  editor.importOwl = [&](const std::string&) { return produced; };
  ScopedScriptedDesktop desktop;
  desktop.desktop.openAnswers.push_back({input});
  editor.Open();
  editor.ToolButtonOuvrirClick();
  EXPECT_EQ(Options->Get(opt::ScenarioFileName), "OwlOutput.scn");
  ASSERT_EQ(editor.Tree().TopLevel().size(), 1u);
  EXPECT_EQ(editor.Tree().Label(editor.Tree().TopLevel()[0]), "Pet");
  EXPECT_EQ(editor.Tree().Label(editor.Tree().ChildrenOf(editor.Tree().TopLevel()[0])[0]), "Cat");
  // A broken file: which failure, where, and where the log is, with the
  // error picture; the previous Scenario stays.
  const std::string broken = folder.Write("broken.owl", "<rdf:RDF><unclosed></rdf:RDF>");
  ui.ui.ClearLog();
  EXPECT_TRUE(RunOwlImport(broken, OwlImportOptions{}, log).empty());
  ASSERT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_EQ(ui.ui.Shown()[0].icon, kIconError);
  EXPECT_EQ(ui.ui.Shown()[0].text,
            "*** I/O Error during parsing operation\r\nThe file is not well-formed XML (line 1, column 1): "
            "unbound prefix\r\nThe log of the import is in: " +
                broken + ".log");
  EXPECT_NE(ReadFileBytes(produced).find("Pet"), std::string::npos);
  // A refused entity is named.
  const std::string hostile = folder.Write(
      "hostile.owl", "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><r>&x;</r>");
  ui.ui.ClearLog();
  EXPECT_TRUE(RunOwlImport(hostile, OwlImportOptions{}, log).empty());
  ASSERT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_EQ(ui.ui.Shown()[0].icon, kIconError);
  EXPECT_NE(ui.ui.Shown()[0].text.find("The ontology declares an entity that is not read: \"x\" (external entities"),
            std::string::npos)
      << ui.ui.Shown()[0].text;
  WorkContext->UserScenarioFolder = saved;
  Options->ResetSettings();
  ScenarioFile.Clear();
}

// The dialog offers its six choices with their defaults; OK imports with
// the choices made (the verbose log names each class it takes), Cancel
// produces nothing, and a failed import shows its log at once.
TEST(OwlImportRoute, TheDialogsChoicesReachTheImport) {
  TempFolder folder;
  ScopedScriptedUi ui;
  Options->ResetSettings();
  const std::string saved = WorkContext->UserScenarioFolder;
  WorkContext->UserScenarioFolder = folder.Path("x").substr(0, folder.Path("x").size() - 2);
  const std::string input =
      folder.Write("pets.owl",
                   "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
                   "xmlns:rdfs=\"http://www.w3.org/2000/01/rdf-schema#\" xmlns:owl=\"http://www.w3.org/2002/07/owl#\">"
                   "<owl:Class rdf:about=\"#Pet\"><rdfs:label>Pet</rdfs:label></owl:Class></rdf:RDF>");
  testing_support::ProgramsStarted programs;
  for (const bool verbose : {true, false}) {
    OwlImportDialog dialog(input);
    const QList<QCheckBox*> boxes = dialog.findChildren<QCheckBox*>();
    ASSERT_EQ(boxes.size(), 6);
    const int texts[] = {7402, 7403, 7404, 7405, 7406, 7410};
    const bool defaults[] = {false, true, false, true, false, false};
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(boxes[i]->text().toStdString(), Cp1252ToUtf8(GetMessageText(texts[i]))) << i;
      EXPECT_EQ(boxes[i]->isChecked(), defaults[i]) << i;
    }
    boxes[4]->setChecked(verbose);
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.ProducedFile(), folder.Path("OwlOutput.scn"));
    EXPECT_EQ(ReadFileBytes(dialog.LogFile()).find("Main Class extracted") != std::string::npos, verbose);
  }
  EXPECT_TRUE(programs.calls.empty());  // the editor shows the log of a Scenario made
  {
    OwlImportDialog dialog(input);
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(dialog.ProducedFile().empty());
  }
  const std::string broken = folder.Write("broken.owl", "<rdf:RDF><unclosed></rdf:RDF>");
  {
    OwlImportDialog dialog(broken);
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.ProducedFile().empty());
    EXPECT_EQ(programs.Files(), std::vector<std::string>{broken + ".log"});
  }
  WorkContext->UserScenarioFolder = saved;
  Options->ResetSettings();
  ScenarioFile.Clear();
}

// What the user is told: nothing for a whole import; what was left out, or
// which step failed and why, with the place of the log.
TEST(OwlImportReportTest, TellsWhatWasLeftOutAndWhyAStepFailed) {
  OwlImportResult whole;
  whole.ok = true;
  EXPECT_EQ(OwlImportReport(whole, "/s/x.owl.log"), "");
  OwlImportResult partial = whole;
  partial.classesLeftOut = 12;
  EXPECT_EQ(OwlImportReport(partial, "/s/x.owl.log"),
            "The ontology holds more classes than a Scenario can take: only the first 65535 classes were imported. "
            "Classes left out: 12 (each one is named in the log).\r\nThe log of the import is in: /s/x.owl.log");
  OwlImportResult unreadable;
  unreadable.failedStep = 1;
  unreadable.failure = OwlFailure::kUnreadable;
  unreadable.failureDetail = "Permission denied";
  EXPECT_EQ(OwlImportReport(unreadable, ""),
            "*** I/O Error during parsing operation\r\nThe file could not be read: Permission denied");
  OwlImportResult unwritten;
  unwritten.failedStep = 3;
  unwritten.failure = OwlFailure::kWriteFailed;
  unwritten.failureDetail = "/s/OwlOutput.scn: No space left on device";
  EXPECT_EQ(OwlImportReport(unwritten, "/s/x.owl.log"),
            "*** Fatal error during Scenario generation\r\nThe Scenario could not be written: /s/OwlOutput.scn: No "
            "space left on device\r\nThe log of the import is in: /s/x.owl.log");
}

}  // namespace
}  // namespace quilor::ui
