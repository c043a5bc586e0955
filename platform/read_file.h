// Reading a whole small file of the program (settings, lists, shortcuts).
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace quilor {

enum class ReadFileStatus {
  kOk,
  kTooLarge,   // the first maxSize bytes are in the text
  kNotFound,   // no such file
  kFailed,     // not a regular file (folder, device, pipe) or a read error
};

// Reads up to maxSize bytes of a regular file into text. Opening never
// waits on a pipe or device; anything but a regular file is refused.
ReadFileStatus ReadWholeFile(const std::string& path, size_t maxSize, std::string& text);

// Opens path for reading without waiting on a pipe or device and checks it
// is a regular file; the descriptor (blocking again) or -1 with errno set
// (EISDIR for a folder, EINVAL for anything else that is no regular file).
int OpenRegularFile(const std::string& path);
// The same as a stdio stream ("rb"); nullptr with errno set.
std::FILE* OpenRegularFileStream(const std::string& path);

}  // namespace quilor
