#include "core/configuration.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/borders.h"
#include "core/class_file.h"
#include "core/files.h"
#include "core/messages.h"
#include "core/options.h"
#include "platform/letter_case.h"
#include "platform/safe_save.h"
#include "platform/settings_store.h"

namespace quilor {

TConfigurationPaths ConfigurationPaths;

namespace {

// The options file as this program read it at start-up (or last wrote it).
std::unique_ptr<TOptionsRecord> OptionsAsRead;

constexpr const char* kSettingsVersion = "V8.3";

ScriptedSetupWizard DefaultWizard;
SetupWizard* InstalledWizard = nullptr;

bool IsFolder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Creates path and its missing parents; True when it is a folder afterwards.
bool MakeFolders(const std::string& path) {
  if (path.empty()) return false;
  for (size_t at = 1; at <= path.size(); ++at) {
    if (at != path.size() && path[at] != '/') continue;
    std::string part = path.substr(0, at);
    if (!IsFolder(part) && mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  return IsFolder(path);
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) { return FileNamePart(path.c_str()); }

bool SameFolder(const std::string& a, const std::string& b) {
  char ra[PATH_MAX], rb[PATH_MAX];
  if (realpath(a.c_str(), ra) && realpath(b.c_str(), rb)) return std::strcmp(ra, rb) == 0;
  return a == b;
}

bool HasExtension(const std::string& name, const char* extension) {
  const size_t n = std::strlen(extension);
  return name.size() > n && EqualsIgnoringAsciiCase(std::string_view(name).substr(name.size() - n), extension);
}

// Regular files of a folder whose extension is one of extensions.
std::vector<std::string> FilesOf(const std::string& folder, std::initializer_list<const char*> extensions) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return names;
  while (dirent* e = readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    bool wanted = extensions.size() == 0;
    for (const char* x : extensions) wanted = wanted || HasExtension(name, x);
    if (wanted && IsRegularFile(folder + "/" + name)) names.push_back(name);
  }
  closedir(dir);
  return names;
}

// A free backup name: "<path>.old", then "<path>.old2" .. "<path>.old99".
std::string BackupName(const std::string& path) {
  std::string backup = path + ".old";
  for (int n = 2; n < 100 && FileExistsWithSize(backup); ++n) backup = path + ".old" + std::to_string(n);
  return backup;
}

// Copies source over destination through a temporary file; an existing
// destination is kept under a backup name when keepBackup is set.
bool CopyOver(const std::string& source, const std::string& destination, bool keepBackup) {
  const std::string temporary = destination + ".tmp";
  if (!CopyFileByBlocks(source, temporary)) {
    EraseFile(temporary);
    return false;
  }
  if (keepBackup && IsRegularFile(destination) && !RenameFileTo(destination, BackupName(destination))) {
    EraseFile(temporary);
    return false;
  }
  if (!RenameFileTo(temporary, destination)) {
    EraseFile(temporary);
    return false;
  }
  return true;
}

// Copies names from one folder to another; False when the user stopped
// after a failed copy.
bool CopyFiles(const std::string& from, const std::string& to, const std::vector<std::string>& names, bool keepBackup) {
  for (const std::string& name : names) {
    if (CopyOver(from + "/" + name, to + "/" + name, keepBackup)) continue;
    if (!AskYesNo(GetMessageText(kMsgDiskReadErrorContinue))) return false;
  }
  return true;
}

std::string CurrentFolder() {
  char buffer[PATH_MAX];
  return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

std::string YesNoValue(const IniFile& ini, const char* section, const char* key, const char* def) {
  return ini.GetString(section, key, def, 15);
}

bool IsYes(const std::string& value) {
  return value.size() >= 3 && EqualsIgnoringAsciiCase(std::string_view(value).substr(0, 3), "oui");
}

uint8_t ExportKind(const std::string& value) {
  std::string v = value;
  for (char& c : v) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  auto starts = [&v](const char* p) { return v.rfind(p, 0) == 0; };
  if (starts("a")) return 2;
  if (starts("cl")) return 12;
  if (starts("co")) return 8;
  if (starts("cu")) return 1;
  if (starts("g")) return 9;
  if (starts("i")) return 11;
  if (starts("o")) return 5;
  if (starts("ra")) return 6;
  if (starts("s")) return 4;
  if (starts("t")) return 7;
  if (starts("ve")) return 3;
  if (starts("v")) return 10;
  if (starts("x")) return 13;
  return 0;
}

}  // namespace

SetupWizardChoice ScriptedSetupWizard::Run() {
  ++runs_;
  if (answers_.empty()) return {};
  SetupWizardChoice c = std::move(answers_.front());
  answers_.pop_front();
  return c;
}

void SetSetupWizard(SetupWizard* wizard) { InstalledWizard = wizard; }

bool FinishSetupWizard(const SetupWizardChoice& choice, std::string& optionsFolder) {
  if (!choice.multiUser) return false;
  std::string base = choice.folder;
  while (!base.empty() && base.back() == '/') base.pop_back();
  if (base.empty()) base = std::string("/") + GetMessageText(kMsgParametersFolder);
  std::string folder = base + "/Quilor/" + GetMessageText(LanguageNameMessage());
  if (!MakeFolders(folder)) {
    ShowError(GetMessageText(kMsgCannotCreateOutput));
    return false;
  }
  optionsFolder = folder;
  return true;
}

std::string OntologiesSettingsKey() {
  return std::string("Software\\Brevalia\\Ontologies\\") + kSettingsVersion + "\\" + DictionaryLanguageCode();
}

std::string ProductSettingsKey() {
  return std::string("Software\\Brevalia\\Quilor\\") + kSettingsVersion + "\\" + DictionaryLanguageCode();
}

std::string UserConfigFolder() {
  const std::string path = SettingsFilePath();
  return path.empty() ? std::string() : FolderOf(path);
}

void ReadExportExtension(const IniFile& ini, int n) {
  const std::string section = "Extension" + std::to_string(n);
  TExportDefinition& d = WorkContext->Exports[static_cast<size_t>(n - 1)];
  d = TExportDefinition();
  d.DisplayName = ini.GetString(section, "NomExtension", "", 261);
  if (d.DisplayName.empty()) return;
  WorkContext->ExtensionSectionFound = true;
  d.ExtensionText = ini.GetString(section, "Extension", "", 261);
  d.Kind = ExportKind(ini.GetString(section, "Fonction", "", 15));
  d.Direct = IsYes(YesNoValue(ini, section.c_str(), "Direct", "Non"));
  d.OutputFileName = ini.GetString(section, "NomFichier", "", 261);
  d.WeightedResult = IsYes(YesNoValue(ini, section.c_str(), "ResultatPondere", "non"));
  const std::string multiplier = ini.GetString(section, "Multiplicateur", "1", 7);
  char* end = nullptr;
  errno = 0;
  long value = std::strtol(multiplier.c_str(), &end, 10);
  if (!multiplier.empty() && end && *end == '\0' && errno == 0 && value >= INT32_MIN && value <= INT32_MAX)
    d.Multiplier = static_cast<int32_t>(value);
  d.FileSuffix = ini.GetString(section, "SuffixFich", "vek", 4);
  const std::string ansi = ini.GetString(section, "ResultatAnsi", "oui", 15);
  d.AnsiResult = !ansi.empty() && std::tolower(static_cast<unsigned char>(ansi[0])) == 'o' ? 1 : 0;
  d.MultipleTables = IsYes(YesNoValue(ini, section.c_str(), "MultipleTables", "non"));
  d.Lemmatiser = IsYes(YesNoValue(ini, section.c_str(), "Lemmatiseur", "non"));
  d.LemmaType0 = IsYes(YesNoValue(ini, section.c_str(), "LemmesType0", "non"));
  d.Filtering = IsYes(YesNoValue(ini, section.c_str(), "Filtrage", "non"));
  d.Xml = IsYes(YesNoValue(ini, section.c_str(), "XML", "non"));
  d.OverwriteFile = IsYes(YesNoValue(ini, section.c_str(), "EcraserFichier", "non"));
  d.Detail = IsYes(YesNoValue(ini, section.c_str(), "Detail", "oui"));
  d.Boolean = IsYes(YesNoValue(ini, section.c_str(), "Booleen", "oui"));
  const std::string mark = ini.GetString(section, "VirguleNum", ",", 15);
  d.DecimalMark = mark.empty() ? '\0' : mark[0];
  const int separator = ini.GetInt(section, "Separateur", 0x5C);
  d.Separator = static_cast<uint8_t>(separator >= 1 && separator <= 255 ? separator : 0x5C);
}

void ReadGeneralOptions(const IniFile& ini) {
  TWorkContext& wc = *WorkContext;
  const std::string base = ini.GetString("Seuils", "BaseCalcul", "", 5);
  if (!base.empty()) wc.CalculationBase = std::tolower(static_cast<unsigned char>(base[0])) == 'p' ? 2 : 1;
  wc.AuthIndexation = IsYes(YesNoValue(ini, "Securite", "AuthIndexation", "oui"));
  wc.ClientServeur = IsYes(YesNoValue(ini, "Reseau", "ClientServeur", "non"));
  wc.IndexPosition = YesNoValue(ini, "Reseau", "IndexPosition", "*").c_str()[0];
  wc.ZuvovReadOnly = IsYes(YesNoValue(ini, "Reseau", "ZuvovReadOnly", "non")) && wc.ClientServeur;
  wc.MultiUserSetup = IsYes(YesNoValue(ini, "Reseau", "MultiUserSetup", "oui"));
  wc.SauverOptions = IsYes(YesNoValue(ini, "Ergonomie", "SauverOptions", "oui"));
  wc.Messages = IsYes(YesNoValue(ini, "Ergonomie", "Messages", "non"));
  wc.MessGenIndex = IsYes(YesNoValue(ini, "Ergonomie", "MessGenIndex", "non"));
  std::string ident = ini.GetString("Identification", "Ident", "", 21);
  for (char& c : ident) c = static_cast<char>(LowerCaseMap[static_cast<unsigned char>(c)]);
  wc.UserIdent = ident;
  for (int n = 1; n <= static_cast<int>(kExportDefinitionCount); ++n) ReadExportExtension(ini, n);
}

void SetUpUserFolders(const std::string& folder) {
  MakeFolders(folder);
  ConfigurationPaths.userFolder = folder;
  const std::string scenario = folder + "/Scenario";
  WorkContext->UserScenarioFolder = scenario;
  WorkContext->BordersFolder = scenario;
  ProgramFiles.options = folder + "/" + NameOf(ReplaceExtension(ConfigurationPaths.optionsIniFile, ".prm"));
  if (!IsFolder(scenario)) {
    MakeFolders(scenario);
    CopyDefaultFiles(false);
  }
}

std::string UserDataFolder() {
  const std::string base = XdgBaseFolder("XDG_DATA_HOME", ".local/share");
  return base.empty() ? base : base + "/Quilor";
}

void SetUpSingleUserFolders() {
  const std::string data = UserDataFolder();
  if (data.empty()) return;  // nowhere of the user's own: the install tree is only read
  const std::string scenario = data + "/Scenario";
  const bool first = !IsFolder(scenario);
  if (first && !MakeFolders(scenario)) return;
  WorkContext->UserScenarioFolder = scenario;
  WorkContext->BordersFolder = scenario;
  if (first) CopyDefaultFiles(false);
}

std::string UserFileOrDefault(const std::string& folder, const std::string& name) {
  std::string user, program;
  if (!JoinFolderAndName(folder, name, user)) return std::string();
  if (IsRegularFile(user) || SameFolder(folder, WorkContext->ProgramScenarioFolder)) return user;
  if (JoinFolderAndName(WorkContext->ProgramScenarioFolder, name, program) && IsRegularFile(program)) return program;
  return user;
}

void ReadUserFolders(bool forceWizard) {
  SettingsStore store;
  const std::string settingsPath = SettingsFilePath();
  // Other runs wait while this one reads, changes and writes the store.
  SettingsLock lock(settingsPath);
  // A store that exists but cannot be read is never written over.
  const bool readable = store.Load(settingsPath);
  if (store.LastLoadStatus() == SettingsLoadStatus::kTooLarge)
    ShowError(std::string(GetMessageText(kMsgSettingsTooLarge)) + " " + settingsPath);
  const std::string ontologies = OntologiesSettingsKey();
  std::string userPath;
  store.Read(ontologies, "UserPath", userPath);
  bool changed = false;
  if (!userPath.empty() && !forceWizard) {
    std::string multiUser;
    store.Read(ontologies, "MultiUser", multiUser);
    WorkContext->MultiUserSetup = multiUser == "1";
  } else {
    SetupWizard& wizard = InstalledWizard ? *InstalledWizard : DefaultWizard;
    const SetupWizardChoice choice = wizard.Run();
    std::string folder;
    WorkContext->MultiUserSetup = FinishSetupWizard(choice, folder);
    ConfigurationPaths.copySampleTexts = choice.copySampleTexts;
    if (WorkContext->MultiUserSetup) {
      store.Write(ontologies, "MultiUser", "1");
      userPath = folder;
    } else {
      store.Write(ontologies, "MultiUser", "0");
      userPath = FolderOf(ProgramFiles.options);
    }
    store.Write(ontologies, "UserPath", userPath);
    changed = true;
  }
  if (WorkContext->MultiUserSetup) SetUpUserFolders(userPath);
  else SetUpSingleUserFolders();
  const std::string programs = FolderOf(ProgramPath());
  std::string stored;
  if (!store.Read(ProductSettingsKey(), "ProgramsPath", stored) || stored != programs) {
    store.Write(ProductSettingsKey(), "ProgramsPath", programs);
    changed = true;
  }
  if (changed && readable) {
    SaveResult saved = store.Save(settingsPath);
    if (!saved)
      ShowError(std::string(GetMessageText(kMsgSettingsNotSaved)) + " " + settingsPath + " (" +
                std::strerror(saved.error) + ")");
  }
}

void CopyDefaultFiles(bool onlyDefault) {
  const std::string& from = WorkContext->ProgramScenarioFolder;
  const std::string& to = WorkContext->UserScenarioFolder;
  bool going = true;
  if (IsFolder(from) && !SameFolder(from, to)) {
    MakeFolders(to);
    std::vector<std::string> scenarios;
    if (onlyDefault) {
      if (IsRegularFile(from + "/" + kDefaultScenarioName)) scenarios.push_back(kDefaultScenarioName);
    } else {
      scenarios = FilesOf(from, {".scn", ".dlm"});
    }
    going = CopyFiles(from, to, scenarios, true) && CopyFiles(from, to, FilesOf(from, {".css", ".jpg", ".htm"}), false);
  }
  if (!going || ConfigurationPaths.userFolder.empty()) return;
  const std::string texts = ConfigurationPaths.userFolder + "/Text";
  const bool created = !IsFolder(texts);
  MakeFolders(texts);
  ChangeCurrentFolder(texts);
  const std::string samples = WorkContext->InstallRoot + "/Text";
  if (created && ConfigurationPaths.copySampleTexts && IsFolder(samples) && !SameFolder(samples, texts))
    CopyFiles(samples, texts, FilesOf(samples, {}), false);
}

void CheckDefaultOntology() {
  const std::string program = WorkContext->ProgramScenarioFolder + "/" + kDefaultScenarioName;
  const std::string user = WorkContext->UserScenarioFolder + "/" + kDefaultScenarioName;
  struct stat ps, us;
  if (stat(program.c_str(), &ps) != 0 ||
      SameFolder(WorkContext->ProgramScenarioFolder, WorkContext->UserScenarioFolder))
    return;
  if (stat(user.c_str(), &us) != 0) {
    if (AskYesNo(std::string(GetMessageText(kMsgDefaultScenarioMissing)) + " " +
                 GetMessageText(kMsgCopyDefaultScenario)))
      CopyDefaultFiles(true);
    return;
  }
  if (Options->Switch(opt::AskUpdateDefaultScenario) && ps.st_mtime > us.st_mtime) {
    bool yes = AskYesNoDefaultYesWithDontShow(std::string(GetMessageText(kMsgDefaultScenarioNewer)) + " " +
                                              GetMessageText(kMsgUpdateDefaultScenario));
    Options->Set(opt::AskUpdateDefaultScenario, LastMessageBox.dontShowAgain ? 0 : 1);
    if (yes) CopyDefaultFiles(true);
  }
}

void GoToTextsFolder() {
  ChangeCurrentFolder(
      (ConfigurationPaths.userFolder.empty() ? WorkContext->InstallRoot : ConfigurationPaths.userFolder) + "/Text");
}

void LoadConfiguration(uint32_t dictionaryStamp) {
  IniFile ini;
  ini.Load(ConfigurationPaths.optionsIniFile);  // a missing file gives every default
  ReadGeneralOptions(ini);
  if (WorkContext->MultiUserSetup) ReadUserFolders(false);
  else SetUpSingleUserFolders();
  const bool read = ReadOptionsFile(ProgramFiles.options, *Options);
  // What this program changes is told from this (SaveOptionsFile).
  OptionsAsRead = std::make_unique<TOptionsRecord>(*Options);
  if (!read) {
    WorkContext->FileDialogMask = "*.*";
    GoToTextsFolder();
    Options->ResetSettings();
  } else {
    Options->Data()[1971] = 0;
    Options->Data()[1710] = 0;
    WorkContext->FileDialogMask = Options->Get(opt::FileDialogMask);
    const std::string last = Options->Get(opt::LastFolder);
    if (last.empty() || !ChangeCurrentFolder(last)) GoToTextsFolder();
  }
  if (dictionaryStamp != Options->Get(opt::DictionaryStamp)) Options->Set(opt::AskUpdateDefaultScenario, 1);
  CheckDefaultOntology();
}

bool SaveOptionsFile() {
  if (!GeneralState->MayWriteOptions || WorkContext->ZuvovReadOnly || !WorkContext->SauverOptions) return true;
  if (ProgramFiles.options.empty()) return false;  // no folder to keep them in: said at start-up
  Options->Set(opt::LastFolder, CurrentFolder());
  Options->Set(opt::FileDialogMask, WorkContext->FileDialogMask);
  MakeFolders(FolderOf(ProgramFiles.options));
  // Another program of the same user may have written the file since this
  // one read it: under the lock, only what this one changed goes into the
  // file as it is now, and this one goes on with the result.
  SettingsLock lock(ProgramFiles.options);
  TOptionsRecord merged = *Options;
  if (OptionsAsRead) {
    TOptionsRecord onDisk;
    if (ReadOptionsFile(ProgramFiles.options, onDisk)) {
      MergeOptionsChanges(*OptionsAsRead, *Options, onDisk);
      merged = onDisk;
    }
  }
  SaveResult saved = WriteOptionsFile(ProgramFiles.options, merged);
  if (saved) {
    *Options = merged;
    if (OptionsAsRead) *OptionsAsRead = merged;
    return true;
  }
  ShowError(std::string(GetMessageText(kMsgOptionsNotSaved)) + " " + ProgramFiles.options + " (" +
            std::strerror(saved.error) + ")");
  return false;
}

bool SaveOptionsAtExit(uint32_t dictionaryStamp) {
  Options->Set(opt::DictionaryStamp, dictionaryStamp);
  return ConfigurationPaths.saveOptionsAtExit ? SaveOptionsFile() : true;
}

void EndConfiguration() { OptionsAsRead.reset(); }

CurrentScenarioRead ReadCurrentScenario(std::string& name) {
  bool fromCommandLine = false;
  if (WorkContext->SwitchS) {
    const std::string& given = WorkContext->CommandLineScenario;
    Options->Set(opt::ScenarioFileName, given.empty() ? std::string() : given + ".scn");
    WorkContext->SwitchS = false;
    fromCommandLine = true;
  }
  // A save killed half-way left its temporary file beside the Scenarios.
  if (!WorkContext->UserScenarioFolder.empty()) RemoveStaleTemporariesInFolder(WorkContext->UserScenarioFolder, ".scn");
  name = Options->Get(opt::ScenarioFileName);
  if (name.empty()) {
    // Loading the empty list drops the Scenario level.
    ScenarioFile.Clear();
    Options->Set(opt::ScenarioFileDate, 0);
    return CurrentScenarioRead::kNone;
  }
  const std::string path = UserFileOrDefault(WorkContext->UserScenarioFolder, name);
  const bool named = !path.empty();
  if (fromCommandLine && (!named || !IsRegularFile(path))) return CurrentScenarioRead::kBadCommandLineName;
  // Read aside: a file that cannot be read or fails the integrity check
  // leaves the Scenario in memory as it was.
  ClassFileList read;
  if (!named || !LoadClassFile(read, path, name)) return CurrentScenarioRead::kUnreadable;
  ScenarioFile = std::move(read);
  return CurrentScenarioRead::kRead;
}

std::string ChooseCurrentScenario(const std::string& name) {
  std::string previous = Options->Get(opt::ScenarioFileName);
  Options->Set(opt::ScenarioFileName, name);
  return previous;
}

bool LoadCurrentBorders() {
  if (!Borders.list) CreateBorderList();
  Borders.list->Clear();
  FreeBordersIndex();
  const std::string name = Options->Get(opt::BordersFileName);
  if (name.empty()) return true;
  const std::string path = UserFileOrDefault(WorkContext->BordersFolder, name);
  if (path.empty() || !ReadBordersFile(*Borders.list, path)) return false;
  return BuildBordersIndex();
}

}  // namespace quilor
