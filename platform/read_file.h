// Reading a whole small file of the program (settings, lists, shortcuts).
#pragma once

#include <cstddef>
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

}  // namespace quilor
