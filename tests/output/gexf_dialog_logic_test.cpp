#include "output/gexf_dialog_logic.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/options.h"
#include "../platform/temp_folder.h"

namespace quilor::ui {
namespace {

using quilor::testing::TempFolder;

GexfSource TwoDocuments() {
  GexfSource source;
  source.scenarioLoaded = true;
  source.entries.resize(3);
  source.entries[1] = {"Animals", 0, true, 3, 0};
  source.entries[2] = {"cat", 1, true, 3, 1};
  source.documents = {"/t/a.txt", "/t/b.txt"};
  source.walkWords = [](const std::function<bool(uint32_t, uint32_t)>& visit) {
    visit(1, 2);
    visit(2, 2);
  };
  source.walkRelationPairs = [](const std::function<void(uint32_t, uint32_t)>&) {};
  return source;
}

class GexfDialog : public ::testing::Test {
 protected:
  void SetUp() override { Options->ResetSettings(); }
  void TearDown() override { Options->ResetSettings(); }
};

TEST_F(GexfDialog, SettingsGoToTheOptionsAndBack) {
  GexfDialogSettings settings = GexfDialogSettings::FromOptions();
  EXPECT_FALSE(settings.folder.empty());
  EXPECT_EQ(settings.subfolder.substr(settings.subfolder.size() - 2), " 1");
  EXPECT_TRUE(settings.browse);
  EXPECT_FALSE(settings.openResults);  // stored inverted, default "do not open"
  settings.folder = "/data/out";
  settings.subfolder = "Run 2";
  settings.openResults = true;
  settings.matrix = true;
  settings.ToOptions();
  const GexfDialogSettings back = GexfDialogSettings::FromOptions();
  EXPECT_EQ(back.folder, "/data/out");
  EXPECT_EQ(back.subfolder, "Run 2");
  EXPECT_TRUE(back.openResults);
  EXPECT_FALSE(Options->Switch(opt::GexfDoNotOpenRelations));
  EXPECT_TRUE(back.matrix);
}

TEST_F(GexfDialog, SubfolderNamesRefuseSeparatorsAndTooLongTargets) {
  for (char32_t c : {U'/', U':', U'\\', U'*', U'?', U'.', U'\u00A4'}) EXPECT_FALSE(SubfolderCharAllowed(c));
  for (char32_t c : {U'a', U'1', U' ', U'-', U'\u00E9'}) EXPECT_TRUE(SubfolderCharAllowed(c));
  GexfDialogSettings settings;
  settings.folder = "/tmp/out/";
  settings.subfolder = "P";
  std::string target;
  EXPECT_TRUE(GexfExportRun::TargetOf(settings, target));
  EXPECT_EQ(target, "/tmp/out/P");
  settings.subfolder = std::string(250, 'x');
  EXPECT_FALSE(GexfExportRun::TargetOf(settings, target));
}

TEST_F(GexfDialog, RunWritesTheFilesOrSaysWhy) {
  TempFolder folder;
  GexfDialogSettings settings;
  settings.folder = folder.path();
  settings.subfolder = "Project 1";
  settings.matrix = true;
  GexfExportRun run;
  std::vector<int> steps;
  run.step = [&](int, int message) { steps.push_back(message); };
  const GexfRunReport report = run.Run(settings, TwoDocuments(), 1);
  EXPECT_EQ(report.result, GexfRunResult::kDone);
  for (const char* name : {"Documents-list.xml", "QuilorOntology.gexf", "QuilorRelations.gexf", "QuilorMatrix.gexf"})
    EXPECT_TRUE(std::filesystem::exists(folder / ("Project 1/" + std::string(name)))) << name;
  EXPECT_EQ(report.ontology.nodes, 2u);
  EXPECT_FALSE(steps.empty());
  EXPECT_EQ(steps.front(), 306);

  // One document, or no Scenario: said why, and no folder made.
  GexfSource one = TwoDocuments();
  one.documents.pop_back();
  settings.subfolder = "Project 2";
  EXPECT_EQ(run.Run(settings, one, 1).result, GexfRunResult::kOneDocument);
  GexfSource none = TwoDocuments();
  none.scenarioLoaded = false;
  EXPECT_EQ(run.Run(settings, none, 1).result, GexfRunResult::kNoScenario);
  EXPECT_FALSE(std::filesystem::exists(folder / "Project 2"));
  settings.subfolder = "Project 1";

  settings.folder = "/proc/no-such-place";
  EXPECT_EQ(run.Run(settings, TwoDocuments(), 1).result, GexfRunResult::kBadTarget);

  // Stop during the relations: the files written before stay.
  TempFolder other;
  settings.folder = other.path();
  run.service = [] { return false; };  // Stop pressed: the relations step asks first
  EXPECT_EQ(run.Run(settings, TwoDocuments(), 1).result, GexfRunResult::kAborted);
  EXPECT_TRUE(std::filesystem::exists(other / "Project 1/QuilorOntology.gexf"));
  EXPECT_FALSE(std::filesystem::exists(other / "Project 1/QuilorRelations.gexf"));
}

}  // namespace
}  // namespace quilor::ui
