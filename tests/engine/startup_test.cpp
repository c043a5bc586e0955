#include "engine/startup.h"

#include <gtest/gtest.h>

#include <memory>

#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "core/borders.h"
#include "core/class_file.h"
#include "core/messages.h"
#include "core/files.h"
#include "core/lexicon.h"
#include "core/name_index.h"
#include "engine/command_line.h"
#include "engine/ontology_engine.h"
#include "core/options.h"
#include "import/read_ahead.h"
#include "platform/fatal.h"
#include "platform/message_ui.h"
#include "platform/settings_store.h"
#include "../platform/temp_folder.h"

namespace quilor {
namespace {

namespace fs = std::filesystem;
using testing::ReadWholeFile;
using testing::TempFolder;
using testing::WriteWholeFile;

const std::string kBuiltDico = std::string(QUILOR_BINARY_DIR) + "/Dico";
const std::string kBuiltScenario = std::string(QUILOR_BINARY_DIR) + "/Scenario";

// A temporary install tree <tmp>/root/{bin,Dico,Scenario,Text} with the
// built dictionaries, and a config folder for the settings and options.
class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = tmp_ / "root";
    for (const char* sub : {"bin", "Dico", "Scenario", "Text"}) fs::create_directories(root_ + "/" + sub);
    for (const char* ext : {".lv8", ".vv8", ".av8", ".sv8", ".zv8"})
      fs::create_symlink(kBuiltDico + "/englex" + ext, root_ + "/Dico/englex" + ext);
    fs::copy_file(kBuiltScenario + "/" + kDefaultScenarioName, root_ + "/Scenario/" + kDefaultScenarioName);
    WriteWholeFile(root_ + "/Text/sample.txt", "A sample text.\n");
    SetProgramPathForTesting(root_ + "/bin/quilor");
    SetSettingsFilePath(tmp_ / "config/Quilor/settings.ini");
    data_ = std::make_unique<testing::ScopedEnvironment>("XDG_DATA_HOME", tmp_ / "data");
    SetSetupWizard(&wizard_);
    previous_ = fs::current_path();
    Fresh();
  }
  void TearDown() override {
    ShutDownQuietly();
    SetSetupWizard(nullptr);
    SetSettingsFilePath("");
    SetProgramPathForTesting("");
    fs::current_path(previous_);
    Fresh();
  }
  // The state of a new process.
  static void Fresh() {
    Options->ResetSettings();
    WorkContext->Reset();
    GeneralState->Reset();
    ConfigurationPaths = {};
  }
  void Start() {
    Fresh();
    SetInstallPaths();
    ASSERT_TRUE(StartUp());
  }
  void ShutDownQuietly() {
    ScopedScriptedUi ui;
    ShutDown();
  }
  std::string Setting(const std::string& key, const std::string& name) {
    SettingsStore store;
    store.Load(SettingsFilePath());
    std::string value;
    store.Read(key, name, value);
    return value;
  }
  // Start-up must stop with this exit code and a message holding text.
  void ExpectFatal(int code, const std::string& text) {
    ScopedScriptedUi ui;
    Fresh();
    SetInstallPaths();
    try {
      StartUp();
      ADD_FAILURE() << "start-up did not stop; expected " << text;
    } catch (const FatalError& e) {
      EXPECT_EQ(e.ExitCode(), code) << e.what();
      std::string all = e.what();
      for (const auto& b : ui.ui.Shown()) all += b.text;
      for (const auto& s : ui.ui.SystemErrors()) all += s;
      EXPECT_NE(all.find(text), std::string::npos) << all;
    }
    ShutDown();
  }

  TempFolder tmp_;
  std::unique_ptr<testing::ScopedEnvironment> data_;
  std::string root_;
  ScriptedSetupWizard wizard_;
  fs::path previous_;
};

// Every entry of a tree with its size and time.
std::string Listing(const std::string& root) {
  std::string out;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    std::error_code ec;
    out += e.path().string() + " " + std::to_string(e.is_regular_file() ? fs::file_size(e.path(), ec) : 0) + " " +
           std::to_string(fs::last_write_time(e.path(), ec).time_since_epoch().count()) + "\n";
  }
  return out;
}

TEST_F(StartupTest, FirstStartSingleUserThenOptionsComeBack) {
  const std::string installed = Listing(root_);
  {
    ScopedScriptedUi ui;
    Start();
    EXPECT_EQ(wizard_.Runs(), 1);
    EXPECT_TRUE(ui.ui.Shown().empty());
  }
  EXPECT_TRUE(MainDictionary && MainDictionary->ready);
  EXPECT_TRUE(VerbIndex && AdjectiveIndex && TextIndex && OntologyEngine && Borders.list);
  EXPECT_TRUE(ReadAheadThreadRunning());
  EXPECT_FALSE(WorkContext->MultiUserSetup);
  // The settings store holds the single-user choice and the program folder;
  // the options file goes beside the store, never into the install tree.
  const std::string config = tmp_ / "config/Quilor";
  EXPECT_EQ(Setting(OntologiesSettingsKey(), "MultiUser"), "0");
  EXPECT_EQ(Setting(OntologiesSettingsKey(), "UserPath"), config);
  EXPECT_EQ(Setting(ProductSettingsKey(), "ProgramsPath"), root_ + "/bin");
  EXPECT_EQ(ProgramFiles.options, config + "/quilor.prm");
  EXPECT_EQ(ConfigurationPaths.optionsIniFile, root_ + "/bin/quilor.INI");
  EXPECT_EQ(fs::current_path().string(), root_ + "/Text");
  EXPECT_NE(CurrentDictionaryStamp(), 126u);

  Options->Set(opt::GraphKind, 3);
  Options->Set(opt::BordersFileName, "mine.dlm");
  fs::current_path(tmp_.path());
  ASSERT_TRUE(AddBorderEntry(MakeBorderEntry("the end", true)));
  ASSERT_TRUE(BuildBordersIndex());
  ASSERT_TRUE(Borders.index && Borders.inUse);
  ASSERT_TRUE(ShutDown());
  EXPECT_FALSE(MainDictionary || VerbIndex || AdjectiveIndex || TextIndex || OntologyEngine || Borders.list ||
               Borders.index || Borders.inUse || ReadAheadThread);
  // Nothing was written into the install tree, which may be read-only.
  EXPECT_EQ(Listing(root_), installed);

  // The next run reads the options back and finds its folder again.
  Start();
  EXPECT_EQ(wizard_.Runs(), 1);
  EXPECT_EQ(Options->Get(opt::GraphKind), 3);
  EXPECT_EQ(Options->Get(opt::BordersFileName), "mine.dlm");
  EXPECT_EQ(Options->Get(opt::DictionaryStamp), CurrentDictionaryStamp());
  EXPECT_EQ(fs::current_path().string(), tmp_.path());
}

// A single user on a fresh home with a read-only install tree: the Scenarios
// and Borders are the user's own, in the data folder, with the program's
// copied there at the first start; the install tree is only read, and its
// files stand in for the user's missing ones.
TEST_F(StartupTest, ASingleUsersScenariosAndBordersLiveInTheDataFolder) {
  const std::string home = tmp_ / "home";
  fs::create_directories(home);
  testing::ScopedEnvironment homeVariable("HOME", home);
  testing::ScopedEnvironment dataVariable("XDG_DATA_HOME", "");  // not set: ~/.local/share
  WriteWholeFile(root_ + "/Scenario/Chapters.dlm", "shipped borders");
  // As root the bits stop nothing: the listing tells whether anything was written.
  const auto readOnly = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read | fs::perms::group_exec |
                        fs::perms::others_read | fs::perms::others_exec;
  fs::permissions(root_ + "/Scenario", readOnly);
  fs::permissions(root_, readOnly);
  const std::string installed = Listing(root_);

  Start();
  const std::string scenarios = home + "/.local/share/Quilor/Scenario";
  EXPECT_FALSE(WorkContext->MultiUserSetup);
  EXPECT_EQ(WorkContext->UserScenarioFolder, scenarios);
  EXPECT_EQ(WorkContext->BordersFolder, scenarios);
  EXPECT_EQ(WorkContext->ProgramScenarioFolder, root_ + "/Scenario");
  EXPECT_EQ(ReadWholeFile(scenarios + "/" + kDefaultScenarioName),
            ReadWholeFile(root_ + "/Scenario/" + kDefaultScenarioName));
  EXPECT_EQ(ReadWholeFile(scenarios + "/Chapters.dlm"), "shipped borders");
  ASSERT_TRUE(ShutDown());

  // The user's edits stay: the program's files are copied at the first start only.
  WriteWholeFile(scenarios + "/Chapters.dlm", "my borders");
  fs::remove(scenarios + "/" + kDefaultScenarioName);
  ScopedScriptedUi ui;
  ui.ui.QueueAnswer(3);  // No to copying the missing default again
  Start();
  EXPECT_EQ(ReadWholeFile(scenarios + "/Chapters.dlm"), "my borders");
  EXPECT_EQ(UserFileOrDefault(WorkContext->BordersFolder, "Chapters.dlm"), scenarios + "/Chapters.dlm");
  // A Scenario the user has no copy of is read from the install tree.
  EXPECT_EQ(UserFileOrDefault(WorkContext->UserScenarioFolder, kDefaultScenarioName),
            root_ + "/Scenario/" + kDefaultScenarioName);
  Options->Set(opt::ScenarioFileName, kDefaultScenarioName);
  EXPECT_TRUE(LoadCurrentScenario());
  EXPECT_GT(ScenarioFile.Count(), 0u);
  EXPECT_EQ(UserFileOrDefault(WorkContext->UserScenarioFolder, "none.scn"), scenarios + "/none.scn");
  ASSERT_TRUE(ShutDown());

  EXPECT_EQ(Listing(root_), installed);
  fs::permissions(root_, fs::perms::owner_all);
  fs::permissions(root_ + "/Scenario", fs::perms::owner_all);
}

TEST_F(StartupTest, MultiUserWizardSetsUpTheUserFolder) {
  const std::string chosen = tmp_ / "docs";
  fs::create_directories(chosen);
  WriteWholeFile(root_ + "/Scenario/Other.scn", "x");
  TBorderList borders;
  borders.Add(MakeBorderEntry("stop", true));
  WriteWholeFile(root_ + "/Scenario/Default.dlm", FormatBordersText(borders));
  WriteWholeFile(root_ + "/Scenario/page.css", "p{}");
  wizard_.Queue({true, chosen, true});
  {
    ScopedScriptedUi ui;
    Start();
    EXPECT_TRUE(ui.ui.Shown().empty());
  }
  const std::string user = chosen + "/Quilor/English";
  EXPECT_TRUE(WorkContext->MultiUserSetup);
  EXPECT_EQ(ConfigurationPaths.userFolder, user);
  EXPECT_EQ(Setting(OntologiesSettingsKey(), "MultiUser"), "1");
  EXPECT_EQ(Setting(OntologiesSettingsKey(), "UserPath"), user);
  EXPECT_EQ(ProgramFiles.options, user + "/quilor.prm");
  EXPECT_EQ(WorkContext->UserScenarioFolder, user + "/Scenario");
  for (const char* name : {"Concepts US V8.scn", "Other.scn", "Default.dlm", "page.css"})
    EXPECT_TRUE(fs::exists(user + "/Scenario/" + name)) << name;
  EXPECT_EQ(ReadWholeFile(user + "/Text/sample.txt"), "A sample text.\n");
  EXPECT_EQ(fs::current_path().string(), user + "/Text");

  // The Borders named in the options load from the user's folder.
  Options->Set(opt::BordersFileName, "Default.dlm");
  EXPECT_TRUE(LoadCurrentBorders());
  EXPECT_EQ(Borders.list->Count(), 1u);
  EXPECT_NE(Borders.index.get(), nullptr);
  ASSERT_TRUE(ShutDown());
  EXPECT_TRUE(fs::exists(user + "/quilor.prm"));
  EXPECT_FALSE(fs::exists(root_ + "/bin/quilor.prm"));

  // A drive-root choice gets "Parameters"; a folder that cannot be made
  // gives message 3 and single-user mode.
  std::string made;
  WriteWholeFile(tmp_ / "file", "");
  ScopedScriptedUi ui;
  EXPECT_FALSE(FinishSetupWizard({true, tmp_ / "file", true}, made));
  ASSERT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_EQ(ui.ui.Shown()[0].text, "I can't create the output file (disk full or I/O error).");
}

TEST_F(StartupTest, SettingsStoreThatCannotBeReadIsLeftAlone) {
  // The store's name is taken by a folder: start-up goes on single user and
  // writes nothing over it.
  fs::create_directories(SettingsFilePath() + "/keep");
  Start();
  EXPECT_EQ(wizard_.Runs(), 1);
  EXPECT_FALSE(WorkContext->MultiUserSetup);
  EXPECT_TRUE(fs::is_directory(SettingsFilePath() + "/keep"));
  ASSERT_TRUE(ShutDown());
}

TEST_F(StartupTest, TheWizardCanBeRunAgainToChooseFolders) {
  Start();
  ASSERT_FALSE(WorkContext->MultiUserSetup);
  const std::string chosen = tmp_ / "shared";
  wizard_.Queue({true, chosen, false});
  ReadUserFolders(true);
  EXPECT_EQ(wizard_.Runs(), 2);
  EXPECT_TRUE(WorkContext->MultiUserSetup);
  EXPECT_EQ(Setting(OntologiesSettingsKey(), "UserPath"), chosen + "/Quilor/English");
  EXPECT_EQ(ProgramFiles.options, chosen + "/Quilor/English/quilor.prm");
  ASSERT_TRUE(ShutDown());
  // The next run finds the multi-user folder without the wizard.
  Start();
  EXPECT_EQ(wizard_.Runs(), 2);
  EXPECT_EQ(ConfigurationPaths.userFolder, chosen + "/Quilor/English");
}

TEST_F(StartupTest, IniFileSwitchesAndExports) {
  WriteWholeFile(root_ + "/bin/quilor.INI",
                 "[Reseau]\nMultiUserSetup=non\nZuvovReadOnly=oui\nIndexPosition=#x\n"
                 "[Seuils]\nBaseCalcul=Propositions\n[Ergonomie]\nMessages=OUI\nSauverOptions=Oui\n"
                 "[Identification]\nIdent=ABCDEFGHIJKLMNOPQRSTUVWXYZ\n"
                 "[Extension2]\nNomExtension=Table\nFonction=Clusters\nMultiplicateur=12x\nSeparateur=300\n"
                 "Direct=oui\nSuffixFich=csvx\nResultatAnsi=non\nVirguleNum=.\n"
                 "[Extension3]\nNomExtension=Ver\nFonction=vx\nMultiplicateur=-40\nSeparateur=9\n"
                 "[Extension4]\nFonction=a\n");
  Start();
  const TWorkContext& wc = *WorkContext;
  // MultiUserSetup "non": the settings store is not touched, no wizard.
  EXPECT_EQ(wizard_.Runs(), 0);
  EXPECT_FALSE(fs::exists(SettingsFilePath()));
  EXPECT_FALSE(wc.MultiUserSetup);
  EXPECT_FALSE(wc.ZuvovReadOnly);  // forced off without ClientServeur
  EXPECT_EQ(wc.IndexPosition, '#');
  EXPECT_EQ(wc.CalculationBase, 2);
  EXPECT_TRUE(wc.Messages && wc.SauverOptions && wc.AuthIndexation);
  EXPECT_FALSE(wc.MessGenIndex || wc.ClientServeur);
  EXPECT_EQ(wc.UserIdent, "abcdefghijklmnopqrst");
  EXPECT_TRUE(wc.ExtensionSectionFound);
  EXPECT_TRUE(wc.Exports[0].DisplayName.empty());
  const TExportDefinition& two = wc.Exports[1];
  EXPECT_EQ(two.Kind, 12);
  EXPECT_EQ(two.Multiplier, 0);
  EXPECT_EQ(two.Separator, 0x5C);
  EXPECT_TRUE(two.Direct);
  EXPECT_EQ(two.FileSuffix, "csv");
  EXPECT_EQ(two.AnsiResult, 0);
  EXPECT_EQ(two.DecimalMark, '.');
  EXPECT_TRUE(two.Detail && two.Boolean);
  const TExportDefinition& three = wc.Exports[2];
  EXPECT_EQ(three.Kind, 10);
  EXPECT_EQ(three.Multiplier, -40);
  EXPECT_EQ(three.Separator, 9);
  EXPECT_EQ(three.AnsiResult, 1);
  EXPECT_EQ(three.FileSuffix, "vek");
  EXPECT_TRUE(wc.Exports[3].DisplayName.empty());
  EXPECT_EQ(wc.Exports[3].Kind, 0);

  IniFile kinds;
  std::string text;
  const std::vector<std::pair<std::string, int>> table = {
      {"a", 2}, {"cl", 12}, {"co", 8}, {"cu", 1}, {"c", 0},  {"g", 9},  {"i", 11}, {"o", 5}, {"ra", 6},
      {"r", 0}, {"s", 4},   {"t", 7},  {"ve", 3}, {"v", 10}, {"X", 13}, {"z", 0},  {"Aa", 2}};
  for (size_t n = 0; n < table.size() && n < 10; ++n)
    text += "[Extension" + std::to_string(n + 1) + "]\nNomExtension=e\nFonction=" + table[n].first + "\n";
  kinds.Parse(text);
  ReadGeneralOptions(kinds);
  for (size_t n = 0; n < 10; ++n) EXPECT_EQ(wc.Exports[n].Kind, table[n].second) << table[n].first;
  text.clear();
  for (size_t n = 10; n < table.size(); ++n)
    text += "[Extension" + std::to_string(n - 9) + "]\nNomExtension=e\nFonction=" + table[n].first + "\n";
  kinds.Parse(text);
  ReadGeneralOptions(kinds);
  for (size_t n = 10; n < table.size(); ++n) EXPECT_EQ(wc.Exports[n - 10].Kind, table[n].second) << table[n].first;
}

TEST_F(StartupTest, DictionaryFilesThatCannotBeReadStopTheProgram) {
  const std::string dico = root_ + "/Dico/englex";
  auto replace = [&](const char* ext, const std::string& bytes) {
    fs::remove(dico + ext);
    WriteWholeFile(dico + ext, bytes);
  };
  const std::string lexicon = ReadWholeFile(kBuiltDico + "/englex.lv8");

  // A matrix missing or too short cannot be read, as any other dictionary file.
  fs::remove(dico + ".zv8");
  ExpectFatal(kExitDictionaryRead, "Dictionary matrix unreadable. Please, reinstall the software.");
  replace(".zv8", std::string(17431, '\0'));
  ExpectFatal(kExitDictionaryRead, "Dictionary matrix unreadable. Please, reinstall the software.");
  fs::remove(dico + ".zv8");
  fs::create_symlink(kBuiltDico + "/englex.zv8", dico + ".zv8");

  fs::remove(dico + ".lv8");
  ExpectFatal(kExitDictionaryRead, "Corrupted dictionary files");
  replace(".lv8", lexicon.substr(0, 4000));
  ExpectFatal(kExitDictionaryRead, "Corrupted dictionary files");
  std::string wrong = lexicon;
  wrong[0] = 'w';
  replace(".lv8", wrong);
  ExpectFatal(kExitFatal, "Wrong version of dictionary files");
  replace(".lv8", lexicon);

  replace(".vv8", "garbage");
  ExpectFatal(kExitDictionaryRead, "Corrupted dictionary files");
  fs::remove(dico + ".vv8");
  fs::create_symlink(kBuiltDico + "/englex.vv8", dico + ".vv8");

  fs::remove(dico + ".sv8");
  ExpectFatal(kExitDictionaryRead, "Corrupted dictionary files");
}

TEST_F(StartupTest, WithoutAConfigFolderNothingIsKeptAndItIsSaid) {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  const std::string savedXdg = xdg ? xdg : "", savedHome = home ? home : "";
  ::unsetenv("XDG_CONFIG_HOME");
  ::unsetenv("HOME");
  SetSettingsFilePath("");
  const bool sharedBefore = fs::exists("/tmp/.config/Quilor");
  {
    ScopedScriptedUi ui;
    Start();
    ASSERT_FALSE(ui.ui.Shown().empty());
    EXPECT_EQ(ui.ui.Shown()[0].text, GetMessageText(kMsgNoSettingsFolder));
    EXPECT_EQ(ProgramFiles.options, "");
    Options->Set(opt::GraphKind, 3);
    EXPECT_FALSE(ShutDown());  // the options could not be kept
  }
  if (xdg) ::setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
  if (home) ::setenv("HOME", savedHome.c_str(), 1);
  // No shared folder stands in, and nothing lands in the current folder.
  if (!sharedBefore) {
    EXPECT_FALSE(fs::exists("/tmp/.config/Quilor"));
  }
  EXPECT_FALSE(fs::exists(root_ + "/Text/quilor.prm"));
  EXPECT_FALSE(fs::exists(root_ + "/Text/settings.ini"));
}

TEST_F(StartupTest, OptionsSaveFailureIsReported) {
  WriteWholeFile(root_ + "/bin/quilor.INI", "[Reseau]\nMultiUserSetup=non\n");
  Start();
  Options->Set(opt::GraphKind, 4);
  ASSERT_TRUE(SaveOptionsFile());
  EXPECT_EQ(ReadWholeFile(ProgramFiles.options).size(), kOptionsRecordSize);

  // A folder that cannot be made: the save fails and says so.
  WriteWholeFile(tmp_ / "file", "");
  const std::string good = ProgramFiles.options;
  ProgramFiles.options = tmp_ / "file/quilor.prm";
  ScopedScriptedUi ui;
  EXPECT_FALSE(SaveOptionsFile());
  ASSERT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_EQ(ui.ui.Shown()[0].text.rfind("The options could not be saved: " + ProgramFiles.options, 0), 0u);

  // Saving off: nothing written, nothing shown.
  ProgramFiles.options = good;
  WorkContext->SauverOptions = false;
  fs::remove(ProgramFiles.options);
  EXPECT_TRUE(SaveOptionsFile());
  EXPECT_FALSE(fs::exists(ProgramFiles.options));
}

// Two programs of one user on one config folder: both start on the same
// options, each opens a file and changes an option, then they end one after
// the other. The options file keeps both files in its history and both
// changes, not only those of the program that ended last.
TEST_F(StartupTest, TwoProgramsOnOneConfigFolderKeepWhatEachChanged) {
  WriteWholeFile(root_ + "/bin/quilor.INI", "[Reseau]\nMultiUserSetup=non\n");
  Start();
  Options->Set(opt::FileHistoryEntry(0), "/texts/old.txt");
  ShutDownQuietly();
  int ready[2];
  int go[2][2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(go[0]), 0);
  ASSERT_EQ(::pipe(go[1]), 0);
  pid_t programs[2];
  for (int k = 0; k < 2; ++k) {
    programs[k] = ::fork();
    ASSERT_GE(programs[k], 0);
    if (programs[k] != 0) continue;
    // One program: starts, opens its file, changes one option, waits for its turn to end.
    ScopedScriptedUi ui;
    Fresh();
    SetInstallPaths();
    if (!StartUp()) ::_exit(3);
    for (size_t i = opt::HistoryCount - 1; i > 0; --i)
      Options->Set(opt::FileHistoryEntry(i), Options->Get(opt::FileHistoryEntry(i - 1)));
    Options->Set(opt::FileHistoryEntry(0), k == 0 ? "/texts/a.txt" : "/texts/b.txt");
    if (k == 0) Options->Set(opt::GraphKind, 4);
    else Options->Set(opt::SizeThreshold, 7);
    char byte = 'r';
    if (::write(ready[1], &byte, 1) != 1 || ::read(go[k][0], &byte, 1) != 1) ::_exit(4);
    ::_exit(ShutDown() ? 0 : 5);
  }
  char byte = 0;
  for (int k = 0; k < 2; ++k) ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  for (int k = 0; k < 2; ++k) {
    ASSERT_EQ(::write(go[k][1], "g", 1), 1);
    int status = 0;
    ASSERT_EQ(::waitpid(programs[k], &status, 0), programs[k]);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << k;
  }
  for (int fd : {ready[0], ready[1], go[0][0], go[0][1], go[1][0], go[1][1]}) ::close(fd);
  TOptionsRecord saved;
  ASSERT_TRUE(ReadOptionsFile(ProgramFiles.options, saved));
  EXPECT_EQ(saved.Get(opt::FileHistoryEntry(0)), "/texts/b.txt");
  EXPECT_EQ(saved.Get(opt::FileHistoryEntry(1)), "/texts/a.txt");
  EXPECT_EQ(saved.Get(opt::FileHistoryEntry(2)), "/texts/old.txt");
  EXPECT_EQ(saved.Get(opt::GraphKind), 4);
  EXPECT_EQ(saved.Get(opt::SizeThreshold), 7);
}

TEST_F(StartupTest, DefaultScenarioUpdateKeepsTheUsersCopies) {
  const std::string chosen = tmp_ / "docs";
  wizard_.Queue({true, chosen, false});
  Start();
  const std::string scenarios = WorkContext->UserScenarioFolder;
  const std::string mine = scenarios + "/" + kDefaultScenarioName;
  ASSERT_TRUE(fs::exists(mine));
  EXPECT_FALSE(fs::exists(ConfigurationPaths.userFolder + "/Text/sample.txt"));  // sample texts not asked for
  ASSERT_TRUE(ShutDown());

  // The user edited the default and keeps another Scenario; a newer default
  // comes with the program.
  WriteWholeFile(mine, "my edits");
  WriteWholeFile(mine + ".old", "older backup");
  WriteWholeFile(scenarios + "/Own.scn", "own");
  WriteWholeFile(root_ + "/Scenario/Own.scn", "shipped");
  const std::string shipped = ReadWholeFile(root_ + "/Scenario/" + kDefaultScenarioName);
  fs::last_write_time(mine, fs::file_time_type::clock::now() - std::chrono::hours(48));
  fs::last_write_time(root_ + "/Scenario/" + kDefaultScenarioName, fs::file_time_type::clock::now());
  {
    ScopedScriptedUi ui;
    ui.ui.QueueAnswer(1, true);  // Yes, and don't ask again
    Fresh();
    SetInstallPaths();
    ASSERT_TRUE(StartUp());
    ASSERT_EQ(ui.ui.Shown().size(), 1u);
    EXPECT_TRUE(ui.ui.Shown()[0].withDontShow);
  }
  EXPECT_EQ(ReadWholeFile(mine), shipped);
  EXPECT_EQ(ReadWholeFile(mine + ".old"), "older backup");
  EXPECT_EQ(ReadWholeFile(mine + ".old2"), "my edits");
  EXPECT_EQ(ReadWholeFile(scenarios + "/Own.scn"), "own");
  EXPECT_FALSE(Options->Switch(opt::AskUpdateDefaultScenario));
  ASSERT_TRUE(ShutDown());

  // A missing user copy is offered; No copies nothing.
  fs::remove(mine);
  ScopedScriptedUi ui;
  ui.ui.QueueAnswer(3);
  Fresh();
  SetInstallPaths();
  ASSERT_TRUE(StartUp());
  ASSERT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_EQ(ui.ui.Shown()[0].kind, kBoxYesNo);
  EXPECT_FALSE(fs::exists(mine));
}

TEST_F(StartupTest, CurrentScenarioFromTheOptionsOrTheCommandLine) {
  Start();
  Options->Set(opt::ScenarioFileName, kDefaultScenarioName);
  EXPECT_TRUE(LoadCurrentScenario());
  EXPECT_GT(ScenarioFile.Count(), 0u);
  EXPECT_TRUE(OntologyEngine->IsScenarioLoaded());

  // /s with its case kept; ".scn" is added.
  ScopedScriptedUi ui;
  ASSERT_TRUE(ParseCommandLine({"/sConcepts US V8"}));
  EXPECT_TRUE(LoadCurrentScenario());
  EXPECT_EQ(Options->Get(opt::ScenarioFileName), kDefaultScenarioName);
  EXPECT_FALSE(WorkContext->SwitchS);
  EXPECT_TRUE(ui.ui.Shown().empty());

  // An unknown /s Scenario stops with message 48; names that leave the folder too.
  for (std::string name : {"concepts us v8", "../Scenario/Concepts US V8"}) {
    ui.ui.ClearLog();
    CommandLineFlags.terminationRequested = false;
    ASSERT_TRUE(ParseCommandLine({"/s" + name}));
    EXPECT_FALSE(LoadCurrentScenario());
    EXPECT_TRUE(CommandLineFlags.terminationRequested);
    ASSERT_EQ(ui.ui.Shown().size(), 1u);
    EXPECT_EQ(ui.ui.Shown()[0].text, "Incorrect command line parameter [" + name + ".scn]. Execution stopped.");
  }
  // /s alone: no Scenario.
  ASSERT_TRUE(ParseCommandLine({"/s"}));
  EXPECT_TRUE(LoadCurrentScenario());
  EXPECT_EQ(ScenarioFile.Count(), 0u);
  EXPECT_FALSE(OntologyEngine->IsScenarioLoaded());
}

// A current Scenario is switched only to a file that reads whole: a damaged
// one is refused by name and the Scenario in memory, in the engine and in
// the options stays the previous one. Reading the folder clears the
// temporaries that killed saves left.
TEST_F(StartupTest, ADamagedScenarioNeverBecomesCurrent) {
  Start();
  Options->Set(opt::ScenarioFileName, kDefaultScenarioName);
  ASSERT_TRUE(LoadCurrentScenario());
  const std::string before = FormatClassFileText(ScenarioFile);
  const uint32_t entries = OntologyEngine->ScenarioEntryCount();
  ASSERT_GT(entries, 0u);
  const std::string folder = WorkContext->UserScenarioFolder;
  WriteWholeFile(folder + "/Broken.scn", "G#0V\t1\tPets\r\n0#1#\tdog\tPets\r\n0#1");
  WriteWholeFile(folder + "/Broken.scn.1073741000.0badc0de0.tmp", "G#0V\t1\tPe");
  ScopedScriptedUi ui;
  EXPECT_FALSE(MakeScenarioCurrent("Broken.scn"));
  EXPECT_EQ(Options->Get(opt::ScenarioFileName), kDefaultScenarioName);
  EXPECT_EQ(FormatClassFileText(ScenarioFile), before);
  EXPECT_EQ(OntologyEngine->ScenarioEntryCount(), entries);
  ASSERT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_NE(ui.ui.Shown()[0].text.find(folder + "/Broken.scn\""), std::string::npos) << ui.ui.Shown()[0].text;
  EXPECT_FALSE(fs::exists(folder + "/Broken.scn.1073741000.0badc0de0.tmp"));
  // A sound file is taken.
  WriteWholeFile(folder + "/Sound.scn", "G#0V\t1\tPets\r\n0#1#\tdog\tPets\r\n");
  EXPECT_TRUE(MakeScenarioCurrent("Sound.scn"));
  EXPECT_EQ(Options->Get(opt::ScenarioFileName), "Sound.scn");
  EXPECT_EQ(ScenarioFile.Count(), 2u);
}

}  // namespace
}  // namespace quilor
