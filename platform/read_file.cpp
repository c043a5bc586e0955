#include "platform/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quilor {

int OpenRegularFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int e = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    errno = e;
    return -1;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

std::FILE* OpenRegularFileStream(const std::string& path) {
  int fd = OpenRegularFile(path);
  if (fd < 0) return nullptr;
  std::FILE* f = ::fdopen(fd, "rb");
  if (!f) ::close(fd);
  return f;
}

ReadFileStatus ReadWholeFile(const std::string& path, size_t maxSize, std::string& text) {
  text.clear();
  int fd = OpenRegularFile(path);
  if (fd < 0) return errno == ENOENT ? ReadFileStatus::kNotFound : ReadFileStatus::kFailed;
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
