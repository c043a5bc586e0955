#include "tests/ui_support/analysed_text.h"

#include <gtest/gtest.h>

#include "core/file_queue.h"
#include "core/messages.h"
#include "engine/analysis_run.h"
#include "engine/options.h"
#include "engine/startup.h"
#include "platform/message_ui.h"

namespace quilor::testing_support {

namespace {
ScriptedMessageUi* g_ui = nullptr;
}

void EnsureEngineStarted() {
  if (g_ui) return;
  g_ui = new ScriptedMessageUi();
  SetMessageUi(g_ui);
  InitMessages();
  SetInstallPaths();
  WorkContext->DictionaryMask = std::string(QUILOR_BINARY_DIR) + "/Dico/englex.*";
  ASSERT_TRUE(StartUp());
  SaveOptionsAtExit = false;
  LoadCurrentScenario();
}

bool AnalyseFiles(const std::vector<std::string>& files) {
  FileQueue.Clear();
  for (const std::string& f : files) FileQueue.Add(f.c_str());
  const bool ok = RunAnalysis(0);
  CloseProgressGauge();
  return ok;
}

std::string SamplePath() { return std::string(QUILOR_SOURCE_DIR) + "/samples/sample.txt"; }

}  // namespace quilor::testing_support
