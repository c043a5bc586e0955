// The id of a process that has just ended: files named after it stand for
// what a killed process left behind.
#pragma once

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quilor::testing_support {

// A child that exits at once, waited for; -1 when none could be started.
inline pid_t GoneProcessId() {
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) ::_exit(0);
  int status = 0;
  return ::waitpid(child, &status, 0) == child ? child : -1;
}

}  // namespace quilor::testing_support
