// Start-up and shut-down time on a temporary install tree built from the
// dictionaries of a build: bench_startup [DICO_FOLDER] [runs]
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/files.h"
#include "engine/options.h"
#include "engine/startup.h"
#include "platform/message_ui.h"
#include "platform/settings_store.h"

namespace fs = std::filesystem;
using namespace quilor;

int main(int argc, char** argv) {
  const std::string dico = argc > 1 && argv[1][0] ? argv[1] : std::string(QUILOR_SOURCE_DIR) + "/build/default/Dico";
  const int runs = std::max(argc > 2 ? std::atoi(argv[2]) : 5, 1);
  char pattern[] = "/tmp/quilor-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const std::string root = std::string(pattern) + "/root";
  fs::create_directories(root + "/bin");
  fs::create_directories(root + "/Dico");
  for (const char* ext : {".lv8", ".vv8", ".av8", ".sv8", ".zv8"}) {
    const std::string from = dico + "/englex" + ext;
    if (fs::exists(from)) fs::create_symlink(from, root + "/Dico/englex" + ext);
  }
  SetProgramPathForTesting(root + "/bin/quilor");
  SetSettingsFilePath(std::string(pattern) + "/config/Quilor/settings.ini");
  ScriptedMessageUi ui;
  SetMessageUi(&ui);

  std::vector<double> up, down;
  for (int i = 0; i < runs; ++i) {
    Options->ResetSettings();
    WorkContext->Reset();
    GeneralState->Reset();
    SetInstallPaths();
    auto t0 = std::chrono::steady_clock::now();
    if (!StartUp()) return 1;
    auto t1 = std::chrono::steady_clock::now();
    ShutDown();
    auto t2 = std::chrono::steady_clock::now();
    up.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    down.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
  }
  std::sort(up.begin(), up.end());
  std::sort(down.begin(), down.end());
  std::printf("start-up: min %.1f ms, median %.1f ms; shut-down: min %.1f ms, median %.1f ms over %d runs\n",
              up.front(), up[up.size() / 2], down.front(), down[down.size() / 2], runs);
  SetMessageUi(nullptr);
  fs::remove_all(pattern);
  return 0;
}
