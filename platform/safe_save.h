// The one safe way to replace a text file of the program.
//
// The new contents go to "<name>.tmp", which is flushed to the disk and
// closed with its errors checked; the previous file is kept as "<name>.bak";
// only then does the temporary file take the name. When anything fails the
// previous file stays exactly as it was and the caller is told why.
#pragma once

#include <string>
#include <string_view>

namespace quilor {

struct SaveResult {
  bool ok = false;
  int error = 0;        // errno of the step that failed, 0 on success
  std::string step;     // the step that failed: "open", "write", "sync", "close", "backup", "rename"

  explicit operator bool() const { return ok; }
};

// Writes contents as the whole new file at path (see above). A previous file
// keeps its permission bits in the new one.
SaveResult SafeSave(const std::string& path, std::string_view contents);

// Writes all of data to an open descriptor, retrying short writes and
// interruptions. False with errno set on failure.
bool WriteAll(int fd, std::string_view data);

}  // namespace quilor
