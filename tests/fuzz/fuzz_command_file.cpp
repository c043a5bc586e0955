// The command file parser and its application to the options, keys and queue.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/file_queue.h"
#include "core/options.h"
#include "mainwindow/command_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quilor;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const ui::CommandFileContent content = ui::ParseCommandFile(bytes);
  if (content.keys.size() > ui::kCommandKeyMax) __builtin_trap();
  for (const ui::CommandKey& key : content.keys)
    if (key.text.size() > 79) __builtin_trap();
  ui::CommandFileHooks hooks;
  hooks.setCurrentFolder = [](const std::string&) {};
  hooks.switchScenario = [](const std::string&) {};
  ui::CommandFileOutcome outcome;
  ui::ApplyCommandFile(content, hooks, outcome);
  if (Options->Get(opt::ClassMinWords) == 0 || Options->Get(opt::ClassMinWords) > 999) __builtin_trap();
  FileQueue.Clear();
  Options->ResetSettings();
  return 0;
}
