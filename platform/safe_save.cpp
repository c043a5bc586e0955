#include "platform/safe_save.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <random>
#include <utility>
#include <vector>

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

std::string RandomSuffix() {
  static std::atomic<unsigned> counter{0};
  static thread_local std::mt19937_64 random(
      std::random_device{}() ^ static_cast<uint64_t>(::getpid()) << 32 ^
      static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  char text[40];
  std::snprintf(text, sizeof text, "%d.%08llx%u", static_cast<int>(::getpid()),
                static_cast<unsigned long long>(random() & 0xFFFFFFFFull), counter++);
  return text;
}

bool CopyToUniqueFile(const std::string& path, std::string& made) {
  int in = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (in < 0) return false;
  int out = CreateUniqueFile(path, made);
  bool ok = out >= 0;
  char block[65536];
  while (ok) {
    ssize_t n = ::read(in, block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    ok = WriteAll(out, std::string_view(block, static_cast<size_t>(n)));
  }
  int e = errno;
  ::close(in);
  if (out >= 0 && ::close(out) != 0) ok = false;
  if (!ok && out >= 0) ::unlink(made.c_str());
  errno = e;
  return ok;
}

// A second name for the previous file, under a unique name, renamed over the
// backup: the backup is replaced in one step by a whole earlier version.
bool KeepBackup(const std::string& path, const std::string& backup) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::string link = path + "." + RandomSuffix() + ".bak";
    if (::link(path.c_str(), link.c_str()) != 0) {
      if (errno == EEXIST) continue;
      if (errno != EPERM && errno != ENOTSUP && errno != EMLINK) return false;
      // Links refused by the file system: a copy under a unique name instead.
      if (!CopyToUniqueFile(path, link)) return false;
    }
    if (::rename(link.c_str(), backup.c_str()) != 0) {
      int e = errno;
      ::unlink(link.c_str());
      errno = e;
      return false;
    }
    return true;
  }
  errno = EEXIST;
  return false;
}

// "<pid>.<hex digits>.tmp" or ".bak": the tail of a name RandomSuffix made.
// The process id, or 0 when the tail is not one of ours.
pid_t PidOfOurTemporary(std::string_view tail) {
  const size_t dot = tail.find('.');
  if (dot == 0 || dot == std::string_view::npos || dot > 10) return 0;
  long pid = 0;
  for (size_t i = 0; i < dot; ++i) {
    if (tail[i] < '0' || tail[i] > '9') return 0;
    pid = pid * 10 + (tail[i] - '0');
  }
  std::string_view rest = tail.substr(dot + 1);
  if (rest.size() <= 4) return 0;
  const std::string_view end = rest.substr(rest.size() - 4);
  if (end != ".tmp" && end != ".bak") return 0;
  rest.remove_suffix(4);
  if (rest.empty()) return 0;
  for (char c : rest)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return 0;
  return pid > 0 && pid <= 0x3FFFFFFF ? static_cast<pid_t>(pid) : 0;
}

bool EndsWithNoCase(std::string_view text, std::string_view end) {
  return text.size() >= end.size() &&
         ::strncasecmp(text.data() + text.size() - end.size(), end.data(), end.size()) == 0;
}

}  // namespace

int RemoveStaleTemporaries(const std::string& path) {
  const std::string::size_type slash = path.find_last_of('/');
  const std::string prefix = (slash == std::string::npos ? path : path.substr(slash + 1)) + ".";
  return RemoveFilesOfGoneProcesses(ParentFolder(path), [&prefix](std::string_view name) -> int {
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return 0;
    return PidOfOurTemporary(name.substr(prefix.size()));
  });
}

int RemoveStaleTemporariesInFolder(const std::string& folder, std::string_view extension) {
  return RemoveFilesOfGoneProcesses(folder, [extension](std::string_view name) -> int {
    // "<stem><extension>.<pid>.<hex>.tmp" (or ".bak"): the pid starts after
    // the second dot from the end; the stem and its extension come before.
    if (name.size() < 4) return 0;
    const size_t hexDot = name.substr(0, name.size() - 4).rfind('.');
    if (hexDot == std::string_view::npos || hexDot == 0) return 0;
    const size_t pidDot = name.substr(0, hexDot).rfind('.');
    if (pidDot == std::string_view::npos || pidDot <= extension.size()) return 0;
    const std::string_view head = name.substr(0, pidDot);
    if (!EndsWithNoCase(head, extension)) return 0;
    return PidOfOurTemporary(name.substr(pidDot + 1));
  });
}

int RemoveFilesOfGoneProcesses(const std::string& folder, const std::function<int(std::string_view name)>& pidOf) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return 0;
  int removed = 0;
  const pid_t self = ::getpid();
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name(entry->d_name);
    const pid_t pid = pidOf(name);
    // Only a file whose process is gone: a live one may be writing it right now.
    if (pid <= 0 || pid == self || ::kill(pid, 0) == 0 || errno != ESRCH) continue;
    const std::string file = folder + "/" + std::string(name);
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (::unlink(file.c_str()) == 0) ++removed;
  }
  ::closedir(dir);
  return removed;
}

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

int CreateUniqueFile(const std::string& prefix, std::string& made) {
  for (int attempt = 0; attempt < 64; ++attempt) {
    made = prefix + "." + RandomSuffix() + ".tmp";
    int fd = ::open(made.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
    if (errno != EEXIST) return -1;
  }
  errno = EEXIST;
  return -1;
}

namespace {

SaveResult Done() {
  SaveResult ok;
  ok.ok = true;
  return ok;
}

// A new file written whole under a unique name beside its target, ready to
// take the target's name.
struct PreparedSave {
  std::string path;
  std::string temp;
  bool keepBackup = false;  // a previous regular file is kept as "<name>.bak"
};

// What stands at path may be replaced (nothing, a regular file, or a link to
// one: the link is replaced, never followed); the bits the new file gets.
SaveResult CheckTarget(const std::string& path, bool& regularPrevious, mode_t& mode) {
  if (path.empty()) return Fail("open", ENOENT);
  struct stat previous {};
  const bool hadPrevious = ::lstat(path.c_str(), &previous) == 0;
  if (hadPrevious && S_ISLNK(previous.st_mode)) {
    // A link in place of the file: the file it names keeps its bits, the
    // link is replaced by the new file.
    struct stat target {};
    if (::stat(path.c_str(), &target) == 0 && !S_ISREG(target.st_mode))
      return Fail("open", S_ISDIR(target.st_mode) ? EISDIR : EINVAL);
  } else if (hadPrevious && !S_ISREG(previous.st_mode)) {
    return Fail("open", S_ISDIR(previous.st_mode) ? EISDIR : EINVAL);
  }
  regularPrevious = hadPrevious && S_ISREG(previous.st_mode);
  if (regularPrevious) {
    mode = previous.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0644 & ~mask;
  }
  return Done();
}

// Flushes and closes the temporary file; it is removed when that fails.
SaveResult FinishTemporary(int fd, const std::string& temp, mode_t mode) {
  if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
    int e = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    return Fail("sync", e);
  }
  // The bits of the previous file once the contents are whole.
  ::fchmod(fd, mode);
  if (::close(fd) != 0) {
    int e = errno;
    ::unlink(temp.c_str());
    return Fail("close", e);
  }
  return Done();
}

SaveResult Prepare(const std::string& path, std::string_view contents, SaveOptions options, PreparedSave& out) {
  bool regularPrevious = false;
  mode_t mode = 0;
  if (SaveResult checked = CheckTarget(path, regularPrevious, mode); !checked) return checked;
  // What a save killed half-way left behind.
  RemoveStaleTemporaries(path);
  std::string temp;
  int fd = CreateUniqueFile(path, temp);
  if (fd < 0) return Fail("open", errno);
  if (!WriteAll(fd, contents)) {
    int e = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    return Fail("write", e);
  }
  if (SaveResult finished = FinishTemporary(fd, temp, mode); !finished) return finished;
  out = {path, temp, regularPrevious && options.keepBackup};
  return Done();
}

SaveResult Install(const PreparedSave& save) {
  if (save.keepBackup && !KeepBackup(save.path, save.path + ".bak") && errno != ENOENT) {
    // ENOENT: another process replaced the file meanwhile; there is nothing to keep.
    int e = errno;
    ::unlink(save.temp.c_str());
    return Fail("backup", e);
  }
  if (::rename(save.temp.c_str(), save.path.c_str()) != 0) {
    int e = errno;
    ::unlink(save.temp.c_str());
    return Fail("rename", e);
  }
  SyncFolder(ParentFolder(save.path));
  return Done();
}

}  // namespace

SaveResult SafeSave(const std::string& path, std::string_view contents, SaveOptions options) {
  PreparedSave save;
  SaveResult prepared = Prepare(path, contents, options, save);
  return prepared ? Install(save) : prepared;
}

SaveResult SafeSaveSet(const std::vector<std::pair<std::string, std::string>>& files, SaveOptions options) {
  std::vector<PreparedSave> prepared;
  auto discard = [&prepared](size_t from) {
    for (size_t k = from; k < prepared.size(); ++k) ::unlink(prepared[k].temp.c_str());
  };
  for (const auto& [path, contents] : files) {
    PreparedSave save;
    if (SaveResult r = Prepare(path, contents, options, save); !r) {
      discard(0);
      return r;
    }
    prepared.push_back(std::move(save));
  }
  for (size_t k = 0; k < prepared.size(); ++k)
    if (SaveResult r = Install(prepared[k]); !r) {
      discard(k + 1);
      return r;
    }
  return Done();
}

SaveResult InstallWrittenFile(const std::string& temp, const std::string& path, SaveOptions options) {
  bool regularPrevious = false;
  mode_t mode = 0;
  if (SaveResult checked = CheckTarget(path, regularPrevious, mode); !checked) {
    ::unlink(temp.c_str());
    return checked;
  }
  int fd = ::open(temp.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    int e = errno;
    ::unlink(temp.c_str());
    return Fail("open", e);
  }
  if (SaveResult finished = FinishTemporary(fd, temp, mode); !finished) return finished;
  return Install({path, temp, regularPrevious && options.keepBackup});
}

FileLock::FileLock(const std::string& path) {
  if (path.empty()) return;
  const std::string lock = path + ".lock";
  fd_ = ::open(lock.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
  if (fd_ < 0) return;
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    return;
  }
  while (::flock(fd_, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    ::close(fd_);
    fd_ = -1;
    return;
  }
}

FileLock::~FileLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

}  // namespace quilor
