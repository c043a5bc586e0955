// A real engine for window tests: a temporary install tree over the built
// dictionaries and default Scenarios, settings in a temporary folder, the
// program's start-up, and analyses of files as the window runs them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/analysis.h"
#include "engine/startup.h"
#include "platform/message_ui.h"
#include "../platform/temp_folder.h"

namespace quilor::testing_support {

class EngineSession {
 public:
  // Starts the engine; Started() tells whether start-up succeeded.
  EngineSession();
  ~EngineSession();
  EngineSession(const EngineSession&) = delete;
  EngineSession& operator=(const EngineSession&) = delete;

  bool Started() const { return started_; }
  // Queues the files and runs the analysis; true when results were produced.
  bool Analyse(const std::vector<std::string>& files);
  // Analyses the sample and a second short document (exports that need two).
  bool AnalyseTwoDocuments();
  // Releases the words and results of the last analysis.
  void Release();
  // What the last analysis made.
  const TAnalysis& Analysis() const { return analysis_; }
  // Writes a file into the session's temporary folder and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const;
  const std::string& Root() const { return root_; }
  const std::string& Folder() const { return folder_; }
  // The boxes shown since start-up.
  ScriptedMessageUi& Ui() { return ui_; }

  static std::string BuiltDico();
  static std::string BuiltScenarios();
  static std::string SamplePath(const std::string& name);  // samples/<name> of the source tree

 private:
  std::string folder_;
  std::string root_;
  std::string previousFolder_;
  // The user's data folder (Scenarios, Borders) inside the session's folder.
  std::unique_ptr<quilor::testing::ScopedEnvironment> data_;
  ScriptedMessageUi ui_;
  ScriptedSetupWizard wizard_;
  bool started_ = false;
  TAnalysis analysis_;
};

}  // namespace quilor::testing_support
