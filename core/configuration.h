// The program's configuration and the user's options at start-up and at the
// end: the options INI file (next to the program, read only), the user's
// folders from the settings store (running the first-run set-up wizard when
// they are missing), the options file, the current Scenario's file and the
// Borders. The options file lives in the user's config folder (beside the
// settings store) or, in multi-user mode, in the user's folder: the install
// tree may be read-only.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/ini_file.h"

namespace quilor {

constexpr int kMsgCannotCreateOutput = 3;
constexpr int kMsgDiskReadErrorContinue = 831;
constexpr int kMsgParametersFolder = 894;
constexpr int kMsgDefaultScenarioMissing = 5800;
constexpr int kMsgDefaultScenarioNewer = 5801;
constexpr int kMsgCopyDefaultScenario = 5802;
constexpr int kMsgUpdateDefaultScenario = 5803;
constexpr int kMsgOptionsNotSaved = 5804;
constexpr int kMsgSettingsNotSaved = 5805;
constexpr int kMsgNoSettingsFolder = 6170;
constexpr int kMsgSettingsTooLarge = 6171;

// What the first-run set-up wizard leaves when it closes.
struct SetupWizardChoice {
  bool multiUser = false;
  std::string folder;  // the chosen folder (multi-user)
  bool copySampleTexts = true;
};

// The wizard as start-up sees it: the window layer installs its dialog;
// without one, a single-user set-up is chosen.
class SetupWizard {
 public:
  virtual ~SetupWizard() = default;
  virtual SetupWizardChoice Run() = 0;
};

// Answers from a queue (tests); an empty queue answers single user.
class ScriptedSetupWizard : public SetupWizard {
 public:
  void Queue(SetupWizardChoice choice) { answers_.push_back(std::move(choice)); }
  SetupWizardChoice Run() override;
  int Runs() const { return runs_; }

 private:
  std::deque<SetupWizardChoice> answers_;
  int runs_ = 0;
};

// Installs wizard (not owned); nullptr puts the default back.
void SetSetupWizard(SetupWizard* wizard);

// The wizard's Done: in multi-user mode the options folder is the chosen
// folder (plus "Parameters" for the root) + "/Quilor/" + the language name,
// created when missing. False (after message 3) when it cannot be created.
bool FinishSetupWizard(const SetupWizardChoice& choice, std::string& optionsFolder);

// Paths and switches of the configuration; ConfigurationPaths = {} is the
// state of a new process.
struct TConfigurationPaths {
  std::string optionsIniFile;  // "<program>.INI"
  std::string userFolder;      // "" in single-user mode
  bool copySampleTexts = true;
  bool saveOptionsAtExit = true;  // cleared by callers that must not save
};
extern TConfigurationPaths ConfigurationPaths;

// Settings-store keys of the current language.
std::string OntologiesSettingsKey();
std::string ProductSettingsKey();
// The folder of the settings store: "<config>/Quilor".
std::string UserConfigFolder();

// Reads the options INI file, the user's folders and the options file; a
// dictionary stamp other than the options' asks again about the default
// Scenario.
void LoadConfiguration(uint32_t dictionaryStamp);
void ReadGeneralOptions(const IniFile& ini);
void ReadExportExtension(const IniFile& ini, int n);
void ReadUserFolders(bool forceWizard);
void SetUpUserFolders(const std::string& folder);
// A single user's own files: "$XDG_DATA_HOME/Quilor" (else "~/.local/share/Quilor"); "" without either.
std::string UserDataFolder();
// A single user's Scenarios and Borders go to "<data>/Scenario", made at the
// first start with the program's Scenarios copied in; without a data folder
// they stay in the install tree, which is only read.
void SetUpSingleUserFolders();
// The user's file of that name in folder; when the user has none, the
// program's own (the install tree's defaults) when it exists; "" for a name
// that does not fit a path.
std::string UserFileOrDefault(const std::string& folder, const std::string& name);
// Copies the program's Scenario files into the user's Scenario folder.
// With onlyDefault, only the default Scenario and the page assets are
// copied; a user's copy that is replaced is kept as "<name>.old" (or
// "<name>.old2" and so on when older backups exist).
void CopyDefaultFiles(bool onlyDefault);
void CheckDefaultOntology();
// False (after message 5804) when the file could not be written.
bool SaveOptionsFile();
// The end of the program: the dictionary stamp goes into the options, which
// are saved unless the configuration says not to; false as SaveOptionsFile.
bool SaveOptionsAtExit(uint32_t dictionaryStamp);
// Forgets the options file as it was read (the end of the configuration).
void EndConfiguration();
// What reading the current Scenario's file came to.
enum class CurrentScenarioRead {
  kNone,                // no current Scenario: ScenarioFile is empty
  kRead,                // ScenarioFile holds it
  kUnreadable,          // it cannot be read or fails the integrity check: ScenarioFile stays as it was
  kBadCommandLineName,  // the command line named a Scenario that is no file (name tells which)
};
// Reads the current Scenario (the options' name, or the /s one) into
// ScenarioFile, after removing the stale temporaries of killed saves in the
// Scenario folder; name is the Scenario's name.
CurrentScenarioRead ReadCurrentScenario(std::string& name);
// Makes name the options' current Scenario; the name it replaces.
std::string ChooseCurrentScenario(const std::string& name);
bool LoadCurrentBorders();
// The texts folder "<user folder or install root>/Text", made current.
void GoToTextsFolder();

}  // namespace quilor
