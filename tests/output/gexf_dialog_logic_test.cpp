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

// Each switch of the dialog is stored in its own option and read back alone.
TEST_F(GexfDialog, EachSwitchGoesToItsOwnOptionAndBack) {
  const std::vector<bool GexfDialogSettings::*> switches = {
      &GexfDialogSettings::browse,       &GexfDialogSettings::openResults,     &GexfDialogSettings::reduction,
      &GexfDialogSettings::discardNodes, &GexfDialogSettings::discardTopLevel, &GexfDialogSettings::depthLevel,
      &GexfDialogSettings::matrix};
  for (size_t k = 0; k < switches.size(); ++k) {
    for (bool on : {true, false}) {
      SCOPED_TRACE(std::to_string(k) + (on ? " on" : " off"));
      GexfDialogSettings settings;
      settings.folder = "/data";
      settings.subfolder = "P";
      for (auto field : switches) settings.*field = !on;
      settings.*switches[k] = on;
      settings.ToOptions();
      const GexfDialogSettings back = GexfDialogSettings::FromOptions();
      for (size_t j = 0; j < switches.size(); ++j) EXPECT_EQ(back.*switches[j], j == k ? on : !on) << j;
    }
  }
}

// The run exports what the dialog asks: the threshold of the analysis, the
// top level left out, the list of documents relative to their common folder,
// no matrix unless asked.
TEST_F(GexfDialog, TheRunFollowsTheDialogsChoices) {
  GexfSource source = TwoDocuments();
  source.entries.push_back({"dog", 1, true, 1, 0});  // entry 3, met once
  source.documents = {"/t/x/a.txt", "/t/y/b.txt"};
  source.walkWords = [](const std::function<bool(uint32_t, uint32_t)>& visit) {
    for (const auto& [doc, entry] : {std::pair<uint32_t, uint32_t>{1, 2}, {1, 3}, {2, 2}, {2, 1}}) visit(doc, entry);
  };
  source.walkRelationPairs = [](const std::function<void(uint32_t, uint32_t)>& visit) {
    for (int i = 0; i < 3; ++i) visit(1, 2);
  };
  TempFolder folder;
  GexfDialogSettings settings = AllFilesInto(folder.path(), "Out");
  settings.matrix = false;
  settings.discardTopLevel = true;
  Options->Set(opt::GexfPathsWithoutPrefix, uint8_t{1});
  GexfExportRun run;
  const GexfRunReport report = run.Run(settings, source, 2);
  ASSERT_EQ(report.result, GexfRunResult::kDone);
  EXPECT_EQ(report.documents, 2);
  EXPECT_EQ(report.ontology.nodes, 2u);   // dog is under the threshold of 2
  EXPECT_EQ(report.relations.edges, 0u);  // Animals > cat is from the top level
  EXPECT_FALSE(std::filesystem::exists(folder / "Out/QuilorMatrix.gexf"));
  const std::string list = quilor::testing::ReadWholeFile(folder / "Out/Documents-list.xml");
  EXPECT_NE(list.find("doclink=\"x/a.txt\"/>"), std::string::npos) << list;
  EXPECT_NE(list.find("doclink=\"y/b.txt\"/>"), std::string::npos);

  settings.discardTopLevel = false;
  Options->Set(opt::GexfPathsWithoutPrefix, uint8_t{0});
  const GexfRunReport whole = run.Run(settings, source, 1);
  EXPECT_EQ(whole.ontology.nodes, 3u);
  EXPECT_EQ(whole.relations.edges, 1u);
  EXPECT_NE(quilor::testing::ReadWholeFile(folder / "Out/Documents-list.xml")
                .find("doclink=\"/t/x/a.txt\" shortname=\"a.txt\"/>"),
            std::string::npos);
}

// The target and every file in it must fit in 260 characters; a subfolder
// name takes no control character.
TEST_F(GexfDialog, TheTargetFitsToTheLastCharacter) {
  GexfDialogSettings settings;
  settings.folder = "/o//";
  settings.subfolder = "";
  std::string target;
  EXPECT_TRUE(GexfExportRun::TargetOf(settings, target));
  EXPECT_EQ(target, "/o");
  // "/o/" + subfolder + "/QuilorRelations.gexf": 260 characters at most.
  settings.subfolder = std::string(260 - 3 - 21, 's');
  EXPECT_TRUE(GexfExportRun::TargetOf(settings, target));
  settings.subfolder += 's';
  EXPECT_FALSE(GexfExportRun::TargetOf(settings, target));
  settings.folder = "";
  settings.subfolder = "P";
  EXPECT_FALSE(GexfExportRun::TargetOf(settings, target));
  for (char32_t c : {U'!', U'#', U'%', U'+', U',', U';', U'@', char32_t{31}, char32_t{0}})
    EXPECT_FALSE(SubfolderCharAllowed(c)) << static_cast<int>(c);
  for (char32_t c : {char32_t{32}, U'_', U'(', U'~'}) EXPECT_TRUE(SubfolderCharAllowed(c)) << static_cast<int>(c);
}

}  // namespace
}  // namespace quilor::ui
