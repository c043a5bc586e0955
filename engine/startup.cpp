#include "engine/startup.h"

#include "core/borders.h"
#include "core/class_file.h"
#include "core/file_queue.h"
#include "core/files.h"
#include "core/lexicon.h"
#include "core/messages.h"
#include "core/name_index.h"
#include "core/options.h"
#include "core/trie.h"
#include "engine/command_line.h"
#include "engine/dictionary_matrix.h"
#include "engine/ontology_engine.h"
#include "engine/word_list.h"
#include "import/conversion_dispatch.h"
#include "import/read_ahead.h"
#include "platform/settings_store.h"

namespace quilor {

namespace {

constexpr int kVerbIndexPrimarySegments = 29;
constexpr int kVerbIndexSecondarySegments = 7;

std::string NameOf(const std::string& path) { return FileNamePart(path.c_str()); }

}  // namespace

void SetStartDefaults() {
  ProgramFiles.options.clear();
  CommandLineFlags.terminationRequested = false;
  ConfigurationPaths.saveOptionsAtExit = true;
  GeneralState->RunSwitch9 = 1;
  GeneralState->RunSwitch10 = 1;
  WorkContext->StartBytes = {1, 0, 0};
}

bool StartUp() {
  ShowHourglass();
  SetStartDefaults();
  FileQueue.Clear();
  BuildProgramFilePaths();
  // The INI file stays beside the program; the options file goes to the
  // user's config folder, which is writable when the install tree is not.
  ConfigurationPaths.optionsIniFile = ReplaceExtension(ProgramFiles.options, ".INI");
  // Without a config folder nothing is kept: no shared folder stands in.
  ProgramFiles.options =
      UserConfigFolder().empty() ? std::string() : UserConfigFolder() + "/" + NameOf(ProgramFiles.options);
  if (ProgramFiles.options.empty()) ShowError(GetMessageText(kMsgNoSettingsFolder));
  bool ok = CreateGlobalObjects();
  if (ok) {
    LoadConfiguration(CurrentDictionaryStamp());
    CreateConverters();
  } else {
    CommandLineFlags.terminationRequested = true;
  }
  RestoreCursor();
  return ok;
}

bool CreateGlobalObjects() {
  const std::string& mask = WorkContext->DictionaryMask;
  TextWords.Clear();
  ScenarioFile.Clear();
  if (!Borders.list) CreateBorderList();
  StopIfAllocationFailed("BorderList", Borders.list == nullptr);
  // The semantic dictionary, the largest, is read meanwhile on a thread.
  if (!OntologyEngine) PreloadOntologyEngine(ReplaceExtension(mask, ".sv8"));
  // The lexicon comes before the matrix so that a folder without
  // dictionaries is reported by the lexicon's own message.
  if (!MainDictionary) MainDictionary = OpenMainDictionary(ReplaceExtension(mask, ".lv8"), 2);
  if (!MainDictionary->ready) return false;
  ReadDictionaryMatrix(mask);
  // The verb and adjective indexes first: the ontology engine links them.
  if (!VerbIndex) VerbIndex = CreateVerbIndex(2, kVerbIndexPrimarySegments, kVerbIndexSecondarySegments, mask);
  if (!AdjectiveIndex)
    AdjectiveIndex = CreateAdjectiveIndex(2, kVerbIndexPrimarySegments, kVerbIndexSecondarySegments, mask);
  if (!VerbIndex->ready || !AdjectiveIndex->ready) return false;
  if (!OntologyEngine) StartOntologyEngine(ReplaceExtension(mask, ".sv8"));
  if (!OntologyEngine || !OntologyEngine->Ready()) return false;
  if (!TextIndex) TextIndex = CreateTextIndex(2, kDefaultTextIndexCapacity);
  if (!CreateReadAheadThread()) return false;
  return true;
}

uint32_t CurrentDictionaryStamp() {
  uint32_t stamp = OntologyEngine ? OntologyEngine->DictionaryStamp() : 0;
  stamp += TextIndex ? TextIndex->entries : 0;
  return stamp + 126;
}

namespace {

// What the end of the program owes the user and the system: the options
// saved, the converters let go, the read-ahead thread ended.
bool SaveOptionsAndEndThreads() {
  const bool saved = SaveOptionsAtExit(CurrentDictionaryStamp());
  FreeConverters();
  FreeReadAheadThread();
  return saved;
}

}  // namespace

bool ShutDownForExit() { return SaveOptionsAndEndThreads(); }

bool ShutDown() {
  const bool saved = SaveOptionsAndEndThreads();
  delete MainDictionary;
  MainDictionary = nullptr;
  StopOntologyEngine();
  delete VerbIndex;
  VerbIndex = nullptr;
  delete AdjectiveIndex;
  AdjectiveIndex = nullptr;
  delete TextIndex;
  TextIndex = nullptr;
  DictionaryMatrix = TDictionaryMatrix{};
  Borders = {};
  ScenarioFile.Clear();
  FileQueue.Clear();
  EndConfiguration();
  return saved;
}

bool LoadCurrentScenario() {
  std::string name;
  switch (ReadCurrentScenario(name)) {
    case CurrentScenarioRead::kNone:
      // Loading the empty list drops the Scenario level.
      if (OntologyEngine) OntologyEngine->LoadScenario(ScenarioFile, GroupNumbering.forceRenumbering);
      return true;
    case CurrentScenarioRead::kBadCommandLineName:
      ShowError(FormatMessageWith(kMsgBadParameter, name));
      CommandLineFlags.terminationRequested = true;
      return false;
    case CurrentScenarioRead::kUnreadable:
      // The Scenario in the engine stays as it was.
      return false;
    case CurrentScenarioRead::kRead: break;
  }
  if (OntologyEngine) {
    OntologyEngine->LoadScenario(ScenarioFile, GroupNumbering.forceRenumbering);
    OntologyEngine->ShareScenarioWithIndexes();
  }
  return true;
}

bool MakeScenarioCurrent(const std::string& name) {
  const std::string previous = ChooseCurrentScenario(name);
  if (LoadCurrentScenario()) return true;
  ChooseCurrentScenario(previous);
  return false;
}

}  // namespace quilor
