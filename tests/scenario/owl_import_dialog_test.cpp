#include <gtest/gtest.h>

#include "core/class_file.h"
#include "engine/options.h"
#include "mainwindow/desktop.h"
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
  const std::string produced =
      RunOwlImport(input, OwlOptionsFromSettings(false, true, false, true, false, false), log);
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
  // A broken file: the failure is told and the previous Scenario stays.
  const std::string broken = folder.Write("broken.owl", "<rdf:RDF><unclosed></rdf:RDF>");
  EXPECT_TRUE(RunOwlImport(broken, OwlImportOptions{}, log).empty());
  ASSERT_FALSE(ui.ui.Shown().empty());
  EXPECT_EQ(ui.ui.Shown().back().text, "*** I/O Error during parsing operation");
  EXPECT_NE(ReadFileBytes(produced).find("Pet"), std::string::npos);
  WorkContext->UserScenarioFolder = saved;
  Options->ResetSettings();
  ScenarioFile.Clear();
}

}  // namespace
}  // namespace quilor::ui
