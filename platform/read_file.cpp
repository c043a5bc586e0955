#include "platform/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quilor {

ReadFileStatus ReadWholeFile(const std::string& path, size_t maxSize, std::string& text) {
  text.clear();
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? ReadFileStatus::kNotFound : ReadFileStatus::kFailed;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return ReadFileStatus::kFailed;
  }
  ReadFileStatus status = ReadFileStatus::kOk;
  char block[8192];
  for (;;) {
    ssize_t n = ::read(fd, block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      status = ReadFileStatus::kFailed;
      break;
    }
    if (n == 0) break;
    size_t room = maxSize - text.size();
    if (static_cast<size_t>(n) > room) {
      text.append(block, room);
      status = ReadFileStatus::kTooLarge;
      break;
    }
    text.append(block, static_cast<size_t>(n));
  }
  ::close(fd);
  return status;
}

}  // namespace quilor
