// Makes every write beyond a size fail (EFBIG) for the life of a scope: the
// way tests make a save fail part way, even when they run as root.
#pragma once

#include <sys/resource.h>

#include <csignal>
#include <cstddef>

namespace quilor::testing_support {

class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(size_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved_;
    small.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &small);
  }
  ~ScopedFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, handler_);
  }
  ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
  ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*handler_)(int) = nullptr;
};

}  // namespace quilor::testing_support
