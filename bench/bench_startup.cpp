// Start-up and shut-down time on a temporary install tree built from the
// dictionaries of a build, inside this process and in fresh processes:
//
//   bench_startup [DICO_FOLDER] [runs] [DUMP_PROGRAM]
//
// In this process: StartUp, then ShutDown; the first call, which finds no
// page of the dictionaries in this process yet, is given apart.
// Fresh processes: DUMP_PROGRAM (by default the build's quilor-dump) runs
// --results on a three-word file, as a user's command would; the time from
// the spawn to the first byte of its results, to its exit, and its peak
// resident memory.
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/files.h"
#include "core/options.h"
#include "engine/startup.h"
#include "platform/message_ui.h"
#include "platform/settings_store.h"

extern char** environ;

namespace fs = std::filesystem;
using namespace quilor;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

struct Figures {
  std::vector<double> values;
  void Add(double v) { values.push_back(v); }
  double Min() { return *std::min_element(values.begin(), values.end()); }
  double Median() {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
  }
};

struct ProcessRun {
  double firstResultMs = 0;
  double exitMs = 0;
  double peakMiB = 0;
  int status = -1;
};

// One fresh process; its standard output is read through a pipe and thrown away.
bool RunProcess(const std::vector<std::string>& args, ProcessRun& run) {
  int out[2];
  if (pipe(out) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const Clock::time_point start = Clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (spawned != 0) {
    close(out[0]);
    return false;
  }
  char buffer[65536];
  bool first = true;
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) != 0;) {
    if (n < 0) break;
    if (first) run.firstResultMs = Ms(start, Clock::now());
    first = false;
  }
  close(out[0]);
  struct rusage usage = {};
  wait4(pid, &run.status, 0, &usage);
  run.exitMs = Ms(start, Clock::now());
  if (first) run.firstResultMs = run.exitMs;
  run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string build = std::string(QUILOR_SOURCE_DIR) + "/build/default";
  const std::string dico = argc > 1 && argv[1][0] ? argv[1] : build + "/Dico";
  const int runs = std::max(argc > 2 ? std::atoi(argv[2]) : 5, 1);
  const std::string dump = argc > 3 && argv[3][0] ? argv[3] : build + "/tools/quilor-dump";
  char pattern[] = "/tmp/quilor-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const std::string root = std::string(pattern) + "/root";
  fs::create_directories(root + "/bin");
  fs::create_directories(root + "/Dico");
  for (const char* ext : {".lv8", ".vv8", ".av8", ".sv8", ".gv8", ".zv8"}) {
    const std::string from = dico + "/englex" + ext;
    if (fs::exists(from)) fs::create_symlink(from, root + "/Dico/englex" + ext);
  }
  SetProgramPathForTesting(root + "/bin/quilor");
  SetSettingsFilePath(std::string(pattern) + "/config/Quilor/settings.ini");
  ScriptedMessageUi ui;
  SetMessageUi(&ui);

  // Fresh processes first, each with an empty settings folder of its own: a
  // process spawned once this one holds the dictionaries would start its
  // peak resident memory from this one's.
  const std::string text = std::string(pattern) + "/three.txt";
  std::ofstream(text) << "The cat sleeps.\n";
  setenv("XDG_CONFIG_HOME", (std::string(pattern) + "/fresh").c_str(), 1);
  Figures firstResult, exited, peak;
  for (int i = 0; i <= runs; ++i) {
    fs::remove_all(std::string(pattern) + "/fresh");
    fs::create_directories(std::string(pattern) + "/fresh");
    ProcessRun run;
    if (!RunProcess({dump, "--dico", dico, "--results", text}, run) || !WIFEXITED(run.status) ||
        WEXITSTATUS(run.status) != 0) {
      std::fprintf(stderr, "%s did not run to its end\n", dump.c_str());
      fs::remove_all(pattern);
      return 1;
    }
    if (i == 0) continue;  // the first brings the files into the page cache
    firstResult.Add(run.firstResultMs);
    exited.Add(run.exitMs);
    peak.Add(run.peakMiB);
  }
  std::printf(
      "fresh process (%s --results on 3 words): first result min %.1f ms, median %.1f ms; "
      "exit min %.1f ms, median %.1f ms; peak resident %.1f MiB (median) over %d runs\n",
      fs::path(dump).filename().c_str(), firstResult.Min(), firstResult.Median(), exited.Min(), exited.Median(),
      peak.Median(), runs);
  Figures up, down;
  double first = 0;
  for (int i = 0; i <= runs; ++i) {
    Options->ResetSettings();
    WorkContext->Reset();
    GeneralState->Reset();
    SetInstallPaths();
    auto t0 = Clock::now();
    if (!StartUp()) return 1;
    auto t1 = Clock::now();
    ShutDown();
    auto t2 = Clock::now();
    if (i == 0) {
      first = Ms(t0, t1);
      continue;
    }
    up.Add(Ms(t0, t1));
    down.Add(Ms(t1, t2));
  }
  std::printf(
      "in this process: first start-up %.1f ms; then start-up min %.1f ms, median %.1f ms; "
      "shut-down min %.1f ms, median %.1f ms over %d runs\n",
      first, up.Min(), up.Median(), down.Min(), down.Median(), runs);
  SetMessageUi(nullptr);

  fs::remove_all(pattern);
  return 0;
}
