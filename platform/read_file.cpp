#include "platform/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

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
  // The size the file has now is read in place; a file that grows meanwhile
  // goes on block by block below.
  struct stat st {};
  if (::fstat(fd, &st) == 0 && st.st_size > 0) {
    const size_t expected = static_cast<size_t>(st.st_size) < maxSize ? static_cast<size_t>(st.st_size) : maxSize;
    text.resize(expected);
    size_t got = 0;
    while (got < expected) {
      ssize_t n = ::read(fd, text.data() + got, expected - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        text.resize(got);
        ::close(fd);
        return ReadFileStatus::kFailed;
      }
      if (n == 0) break;
      got += static_cast<size_t>(n);
    }
    text.resize(got);
  }
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

ReadFileStatus ReadWholeFileBytes(const std::string& path, size_t maxSize, std::unique_ptr<char[]>& bytes,
                                  size_t& size) {
  bytes.reset();
  size = 0;
  int fd = OpenRegularFile(path);
  if (fd < 0) return errno == ENOENT ? ReadFileStatus::kNotFound : ReadFileStatus::kFailed;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return ReadFileStatus::kFailed;
  }
  const size_t expected = static_cast<size_t>(st.st_size);
  if (expected > maxSize) {
    ::close(fd);
    return ReadFileStatus::kTooLarge;
  }
  bytes.reset(new (std::nothrow) char[expected > 0 ? expected : 1]);
  if (!bytes) {
    ::close(fd);
    return ReadFileStatus::kFailed;
  }
  while (size < expected) {
    const ssize_t n = ::read(fd, bytes.get() + size, expected - size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      bytes.reset();
      size = 0;
      return ReadFileStatus::kFailed;
    }
    if (n == 0) break;  // shorter than it was: what was there
    size += static_cast<size_t>(n);
  }
  ::close(fd);
  return ReadFileStatus::kOk;
}

}  // namespace quilor
