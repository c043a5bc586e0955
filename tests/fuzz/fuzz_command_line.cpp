// Command lines of any bytes: one parameter per line (a NUL ends a parameter
// as it would in the program's buffer).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/files.h"
#include "engine/command_line.h"
#include "core/options.h"
#include "silent_ui.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quilor;
  InstallSilentMessageUi();
  std::vector<std::string> params;
  std::string current;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == '\n') {
      params.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(data[i]);
    }
  }
  if (size > 0) params.push_back(current);
  WorkContext->Reset();
  CommandLineFlags.terminationRequested = false;
  const bool ok = ParseCommandLine(params);
  const TWorkContext& wc = *WorkContext;
  if (ok == CommandLineFlags.terminationRequested) __builtin_trap();
  if (wc.SearchKeys[0].size() > 79 || wc.CommandLineFile.size() > kMaxPath || wc.CommandLineScenario.size() > kMaxPath)
    __builtin_trap();
  if (wc.SwitchEValue > 9) __builtin_trap();
  return 0;
}
