// Reading a whole small file of the program (settings, lists, shortcuts).
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace quilor {

enum class ReadFileStatus {
  kOk,
  kTooLarge,  // the first maxSize bytes are in the text
  kNotFound,  // no such file
  kFailed,    // not a regular file (folder, device, pipe) or a read error
};

// Reads up to maxSize bytes of a regular file into text. Opening never
// waits on a pipe or device; anything but a regular file is refused.
ReadFileStatus ReadWholeFile(const std::string& path, size_t maxSize, std::string& text);

// The same into a buffer of the file's size that is not cleared first (a
// large file read once, whose bytes all arrive): kTooLarge, with nothing
// read, for a file above maxSize; a file that grows meanwhile is read up
// to the size it had when opened.
ReadFileStatus ReadWholeFileBytes(const std::string& path, size_t maxSize, std::unique_ptr<char[]>& bytes,
                                  size_t& size);

// Opens path for reading without waiting on a pipe or device and checks it
// is a regular file; the descriptor (blocking again) or -1 with errno set
// (EISDIR for a folder, EINVAL for anything else that is no regular file).
int OpenRegularFile(const std::string& path);
// The same as a stdio stream ("rb"); nullptr with errno set.
std::FILE* OpenRegularFileStream(const std::string& path);

}  // namespace quilor
