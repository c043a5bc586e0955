// Runs a shell command for a test and keeps what it printed and its exit code.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace quilor::testing {

struct CommandRun {
  int exitCode = -1;  // -1: it could not start, or did not exit by itself
  std::string out;    // its standard output
};

inline CommandRun RunCommand(const std::string& command) {
  CommandRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = pclose(pipe);
  if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  return run;
}

}  // namespace quilor::testing
