// Runs a call that is given a FIFO (a named pipe) where a file belongs.
// A reader that opens the FIFO without care would wait for a writer for
// ever; after a time-out this opens the writing end to let it go, so that a
// test fails instead of hanging. True when the call ended by itself.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <string>

namespace quilor::testing {

inline bool EndsWithoutAWriter(const std::string& fifo, const std::function<void()>& call, int ms = 5000) {
  std::future<void> done = std::async(std::launch::async, call);
  if (done.wait_for(std::chrono::milliseconds(ms)) == std::future_status::ready) {
    done.get();
    return true;
  }
  // Release the reader: a writer that comes and goes gives it an end of file.
  const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
  if (fd >= 0) ::close(fd);
  done.wait();
  return false;
}

}  // namespace quilor::testing
