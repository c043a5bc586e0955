#include "engine/tool_analysis.h"

#include <sys/stat.h>
#include <unistd.h>

#include "core/class_file.h"
#include "core/file_queue.h"
#include "core/files.h"
#include "core/messages.h"
#include "engine/analysis_results.h"
#include "engine/analysis_run.h"
#include "engine/ontology_engine.h"
#include "core/options.h"
#include "engine/startup.h"
#include "import/text_loader.h"
#include "platform/fatal.h"
#include "platform/text_encoding.h"

namespace quilor {

namespace {

constexpr int kMsgFileNotFound = 5003;
constexpr int kMsgFileUnreadable = 5004;
constexpr int kMsgQueueFull = 5006;

std::string Detail(int id, const std::string& utf8) { return Cp1252ToUtf8(GetMessageText(id)) + " " + utf8; }

// The tool's way of telling the user; the loader's notes go through it.
void (*ToolSay)(const std::string& utf8) = nullptr;
void SayLoaderNote(const std::string& text) {
  if (ToolSay) ToolSay(Cp1252ToUtf8(text));
}

}  // namespace

int CheckToolFiles(const std::vector<std::string>& files, std::string& message) {
  for (const std::string& f : files) {
    struct stat st;
    if (stat(f.c_str(), &st) != 0) {
      message = Detail(kMsgFileNotFound, DisplayFileName(f));
      return kExitNoInput;
    }
    // Opened without waiting: a pipe or a device is refused at once.
    if (!IsReadableRegularFile(f)) {
      message = Detail(kMsgFileUnreadable, DisplayFileName(f));
      return kExitNoInput;
    }
  }
  return kExitOk;
}

int StartToolAnalysis(const TToolAnalysis& given, TAnalysis& analysis, bool& analysed,
                      void (*say)(const std::string& utf8)) {
  analysed = false;
  // Start-up changes the current folder: every name the caller gave is made
  // absolute against the caller's folder first.
  TToolAnalysis run = given;
  run.dico = MakePathAbsolute(run.dico);
  run.scenario = MakePathAbsolute(run.scenario);
  for (std::string& f : run.files) f = MakePathAbsolute(f);
  std::string problem;
  if (!run.scenario.empty() && CheckToolFiles({run.scenario}, problem) != kExitOk) {
    say(problem);
    return kExitNoInput;
  }
  InitMessages();
  // The program's own start-up on the dictionary folder: a dictionary that
  // cannot be read ends the tool with its message and code.
  WorkContext->DictionaryMask = run.dico + "/englex.*";
  const bool started = StartUp();
  ConfigurationPaths.saveOptionsAtExit = false;
  if (!started) {
    ShutDown();
    return kExitFatal;
  }
  // The current Scenario and Borders, as the main window loads them after start-up.
  LoadCurrentScenario();
  LoadCurrentBorders();
  if (!run.scenario.empty()) {
    ScenarioFile.Clear();
    // A damaged Scenario is refused, its message naming the file: the
    // results would be those of whatever lines survived.
    if (!LoadClassFile(ScenarioFile, run.scenario)) {
      ShutDown();
      return kExitBadScenario;
    }
    if (!OntologyEngine) {
      say(Detail(kMsgFileUnreadable, DisplayFileName(run.scenario)));
      ShutDown();
      return kExitNoInput;
    }
    OntologyEngine->LoadScenario(ScenarioFile, false);
    OntologyEngine->ShareScenarioWithIndexes();
  }
  // Nobody is there to answer the window's questions about a long text.
  ToolSay = say;
  LoaderSettings.note = SayLoaderNote;
  FileQueue.Clear();
  for (const std::string& f : run.files) {
    if (!FileQueue.Add(f.c_str())) {
      say(Cp1252ToUtf8(GetMessageText(kMsgQueueFull)));
      break;
    }
  }
  analysed = RunAnalysis(analysis, 0, TakeRunSettings());
  CloseProgressGauge();
  return kExitOk;
}

void StopToolAnalysis(bool processExits) {
  if (processExits) {
    ShutDownForExit();
    return;
  }
  AnalysisResults.reset();
  ShutDown();
}

}  // namespace quilor
