#include "platform/safe_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace quilor {

namespace {

SaveResult Fail(const char* step, int error) {
  SaveResult r;
  r.ok = false;
  r.error = error ? error : EIO;
  r.step = step;
  return r;
}

std::string ParentFolder(const std::string& path) {
  std::string::size_type slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Makes the rename durable; a failure here does not undo a good save.
void SyncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool WriteAll(int fd, std::string_view data) {
  const char* p = data.data();
  size_t left = data.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = ENOSPC;
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

SaveResult SafeSave(const std::string& path, std::string_view contents) {
  if (path.empty()) return Fail("open", ENOENT);
  const std::string temp = path + ".tmp";
  const std::string backup = path + ".bak";

  struct stat previous {};
  const bool hadPrevious = ::stat(path.c_str(), &previous) == 0;
  if (hadPrevious && !S_ISREG(previous.st_mode)) return Fail("open", S_ISDIR(previous.st_mode) ? EISDIR : EINVAL);
  mode_t mode = hadPrevious ? (previous.st_mode & 07777) : 0644;

  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) return Fail("open", errno);
  if (!WriteAll(fd, contents)) {
    int e = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    return Fail("write", e);
  }
  if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
    // EINVAL: the target cannot be synchronised (a special file); the close
    // below still reports a lost write.
    int e = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    return Fail("sync", e);
  }
  if (::close(fd) != 0) {
    int e = errno;
    ::unlink(temp.c_str());
    return Fail("close", e);
  }

  // A hard link keeps the previous file under its own name until the rename
  // below replaces it atomically; where links are refused, the previous file
  // is moved aside first and put back when the rename fails.
  bool movedAside = false;
  if (hadPrevious) {
    ::unlink(backup.c_str());
    if (::link(path.c_str(), backup.c_str()) != 0) {
      if (::rename(path.c_str(), backup.c_str()) != 0) {
        int e = errno;
        ::unlink(temp.c_str());
        return Fail("backup", e);
      }
      movedAside = true;
    }
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    int e = errno;
    if (movedAside) ::rename(backup.c_str(), path.c_str());
    ::unlink(temp.c_str());
    return Fail("rename", e);
  }
  SyncFolder(ParentFolder(path));
  SaveResult ok;
  ok.ok = true;
  return ok;
}

}  // namespace quilor
