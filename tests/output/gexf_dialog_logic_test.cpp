#include "output/gexf_dialog_logic.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "core/options.h"
#include "../platform/temp_folder.h"
#include "support/file_size_limit.h"

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

// An export of every file, the matrix too, into folder/subfolder.
GexfDialogSettings AllFilesInto(const std::string& folder, const std::string& subfolder) {
  GexfDialogSettings settings;
  settings.folder = folder;
  settings.subfolder = subfolder;
  settings.matrix = true;
  return settings;
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
  GexfDialogSettings settings = AllFilesInto(folder.path(), "Project 1");
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

  // Stop during the relations: no file of a set cut short is written.
  TempFolder other;
  settings.folder = other.path();
  run.service = [] { return false; };  // Stop pressed: the relations step asks first
  EXPECT_EQ(run.Run(settings, TwoDocuments(), 1).result, GexfRunResult::kAborted);
  EXPECT_FALSE(std::filesystem::exists(other / "Project 1/QuilorOntology.gexf"));
  EXPECT_FALSE(std::filesystem::exists(other / "Project 1/QuilorRelations.gexf"));
}

const char* const kSetNames[] = {"Documents-list.xml", "QuilorOntology.gexf", "QuilorRelations.gexf",
                                 "QuilorMatrix.gexf"};

std::map<std::string, std::string> ReadSet(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    files[entry.path().filename().string()] = quilor::testing::ReadWholeFile(entry.path());
  return files;
}

// A disk that fills, or a stop, part way through a new export leaves the
// previous set of files whole: none of them changes, no temporary file stays.
TEST_F(GexfDialog, AnExportThatFailsKeepsThePreviousSetWhole) {
  TempFolder folder;
  GexfDialogSettings settings = AllFilesInto(folder.path(), "Set");
  GexfExportRun run;
  ASSERT_EQ(run.Run(settings, TwoDocuments(), 1).result, GexfRunResult::kDone);
  const std::map<std::string, std::string> before = ReadSet(folder / "Set");
  ASSERT_EQ(before.size(), 4u);
  for (const char* name : kSetNames) ASSERT_TRUE(before.count(name)) << name;

  // Many more documents: the list outgrows what the disk takes.
  GexfSource more = TwoDocuments();
  for (int i = 0; i < 3000; ++i) more.documents.push_back("/t/" + std::string(100, 'd') + std::to_string(i));
  {
    testing_support::ScopedFileSizeLimit full(64 * 1024);
    EXPECT_EQ(run.Run(settings, more, 1).result, GexfRunResult::kWriteFailed);
  }
  EXPECT_EQ(ReadSet(folder / "Set"), before);

  run.service = [] { return false; };
  EXPECT_EQ(run.Run(settings, more, 1).result, GexfRunResult::kAborted);
  EXPECT_EQ(ReadSet(folder / "Set"), before);
}

// A link planted under an export name is replaced by the export; the file it
// named is not touched.
TEST_F(GexfDialog, ALinkAtAnExportNameIsReplacedNotFollowed) {
  TempFolder folder, elsewhere;
  std::filesystem::create_directories(folder / "Set");
  quilor::testing::WriteWholeFile(elsewhere / "precious.txt", "precious");
  for (const char* name : kSetNames)
    std::filesystem::create_symlink(elsewhere / "precious.txt", folder / ("Set/" + std::string(name)));
  GexfDialogSettings settings = AllFilesInto(folder.path(), "Set");
  GexfExportRun run;
  ASSERT_EQ(run.Run(settings, TwoDocuments(), 1).result, GexfRunResult::kDone);
  EXPECT_EQ(quilor::testing::ReadWholeFile(elsewhere / "precious.txt"), "precious");
  for (const char* name : kSetNames) {
    const std::filesystem::path path = folder / ("Set/" + std::string(name));
    EXPECT_FALSE(std::filesystem::is_symlink(path)) << name;
    const std::string text = quilor::testing::ReadWholeFile(path);
    EXPECT_NE(text.find("</"), std::string::npos) << name;  // the export itself
  }
}

}  // namespace
}  // namespace quilor::ui
