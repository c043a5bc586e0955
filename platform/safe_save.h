// The one safe way to replace a file of the program.
//
// The new contents go to a temporary file of a unique name in the target's
// folder, created afresh (never through a link planted under that name, mode
// 0600 until it is complete), flushed to the disk and closed with its errors
// checked. The previous file is then kept as "<name>.bak": a second link to
// it is made under a unique name and renamed over the backup, so the backup
// is always a whole earlier version, never a half-written or mixed one. Only
// then does the temporary file take the name, in one rename. When anything
// fails the previous file stays exactly as it was and the caller is told why.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quilor {

struct SaveResult {
  bool ok = false;
  int error = 0;     // errno of the step that failed, 0 on success
  std::string step;  // the step that failed: "open", "write", "sync", "close", "backup", "rename"

  explicit operator bool() const { return ok; }
};

struct SaveOptions {
  bool keepBackup = true;  // keep the previous file as "<name>.bak"
};

// Writes contents as the whole new file at path (see above). A previous file
// keeps its permission bits in the new one; a new file gets 0644 less the
// process's umask.
SaveResult SafeSave(const std::string& path, std::string_view contents, SaveOptions options = {});

// A set of files that belong together (an export of several files) replaced
// as one: every new file is first written whole beside its target; only when
// all of them are does each take its name. A failure before that (a full
// disk) leaves every previous file of the set as it was.
SaveResult SafeSaveSet(const std::vector<std::pair<std::string, std::string>>& files, SaveOptions options = {});

// For a file that a library writes by name: temp, a file that
// CreateUniqueFile(path, temp) made and the library has written and closed,
// is flushed and takes path's name as SafeSave's temporary file does. It is
// removed when that fails.
SaveResult InstallWrittenFile(const std::string& temp, const std::string& path, SaveOptions options = {});

// Removes, beside path, the temporary files and backup links of path that a
// save of a process no longer running left behind (a save killed half-way):
// regular files named "<name>.<pid>.<hex>.tmp" or "<name>.<pid>.<hex>.bak".
// SafeSave calls it first. The number of files removed.
int RemoveStaleTemporaries(const std::string& path);

// Removes, in folder, what saves of processes no longer running left behind
// for the files of one extension (".scn"): regular files named
// "<name><extension>.<pid>.<hex>.tmp" or ".bak", the extension in any case.
// The number of files removed.
int RemoveStaleTemporariesInFolder(const std::string& folder, std::string_view extension);

// Removes the regular files of folder that a process no longer running left
// behind: those whose name pidOf reads a process id from (0: a name of no
// process). The files of this process and of running ones stay. The number
// of files removed.
int RemoveFilesOfGoneProcesses(const std::string& folder, const std::function<int(std::string_view name)>& pidOf);

// Writes all of data to an open descriptor, retrying short writes and
// interruptions. False with errno set on failure.
bool WriteAll(int fd, std::string_view data);

// Creates a new file of a unique name "<prefix>.<random>.tmp" with
// O_CREAT|O_EXCL|O_NOFOLLOW and mode 0600; its descriptor, or -1 with errno
// set. The name made is left in made.
int CreateUniqueFile(const std::string& prefix, std::string& made);

// An advisory lock on "<path>.lock", held for the life of the object, that
// serialises the read-modify-write of a file between processes. Locked()
// is false when the lock file cannot be opened (the work goes on unlocked).
class FileLock {
 public:
  explicit FileLock(const std::string& path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool Locked() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace quilor
