#include "ui_support/engine_session.h"

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/file_queue.h"
#include "core/files.h"
#include "engine/analysis_results.h"
#include "engine/analysis_run.h"
#include "core/options.h"
#include "engine/word_list.h"
#include "platform/settings_store.h"

namespace quilor::testing_support {

namespace fs = std::filesystem;

std::string EngineSession::BuiltDico() { return std::string(QUILOR_BINARY_DIR) + "/Dico"; }
std::string EngineSession::BuiltScenarios() { return std::string(QUILOR_BINARY_DIR) + "/Scenario"; }
std::string EngineSession::SamplePath(const std::string& name) {
  return std::string(QUILOR_SOURCE_DIR) + "/samples/" + name;
}

EngineSession::EngineSession() {
  std::string pattern = (fs::temp_directory_path() / "quilor-session-XXXXXX").string();
  folder_ = ::mkdtemp(pattern.data()) ? pattern : "/tmp";
  root_ = folder_ + "/root";
  for (const char* sub : {"bin", "Dico", "Scenario", "Text"}) fs::create_directories(root_ + "/" + sub);
  for (const char* ext : {".lv8", ".vv8", ".av8", ".sv8", ".zv8"})
    fs::create_symlink(BuiltDico() + "/englex" + ext, root_ + "/Dico/englex" + ext);
  for (const auto& scenario : fs::directory_iterator(BuiltScenarios()))
    fs::copy_file(scenario.path(), root_ + "/Scenario/" + scenario.path().filename().string());
  previousFolder_ = fs::current_path().string();
  SetProgramPathForTesting(root_ + "/bin/quilor");
  SetSettingsFilePath(folder_ + "/config/Quilor/settings.ini");
  data_ = std::make_unique<quilor::testing::ScopedEnvironment>("XDG_DATA_HOME", folder_ + "/data");
  SetMessageUi(&ui_);
  SetSetupWizard(&wizard_);
  Options->ResetSettings();
  WorkContext->Reset();
  GeneralState->Reset();
  ConfigurationPaths.userFolder.clear();
  ConfigurationPaths.copySampleTexts = false;
  SetInstallPaths();
  started_ = StartUp();
  ConfigurationPaths.saveOptionsAtExit = false;
  if (started_) {
    LoadCurrentScenario();
    LoadCurrentBorders();
  }
}

EngineSession::~EngineSession() {
  Release();
  ShutDown();
  SetSetupWizard(nullptr);
  SetMessageUi(nullptr);
  SetSettingsFilePath("");
  SetProgramPathForTesting("");
  std::error_code ignored;
  fs::current_path(previousFolder_, ignored);
  Options->ResetSettings();
  WorkContext->Reset();
  GeneralState->Reset();
  fs::remove_all(folder_, ignored);
}

bool EngineSession::AnalyseTwoDocuments() {
  const std::string second = Write("second.txt",
                                   "The court heard the case of the farmer and his cattle. "
                                   "The judge spoke to the farmer about the land and the water.\n");
  return Analyse({SamplePath("sample.txt"), second});
}

bool EngineSession::Analyse(const std::vector<std::string>& files) {
  Release();
  FileQueue.Clear();
  for (const std::string& file : files)
    if (!FileQueue.Add(file.c_str())) return false;
  const bool ok = RunAnalysis(analysis_, 0, TakeRunSettings(*Options));
  CloseProgressGauge();
  return ok && AnalysisResults != nullptr;
}

void EngineSession::Release() {
  AnalysisResults.reset();
  TextWords.Reset();
}

std::string EngineSession::Write(const std::string& name, const std::string& bytes) const {
  const std::string path = folder_ + "/" + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

}  // namespace quilor::testing_support
