// The real text the tests read: the folder QUILOR_CORPUS names (it holds
// plain/ and brown/), else the corpus folder beside the source tree. A test
// that needs it asserts on CorpusFolder, which names the folder it looked in.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace quilor::testing_support {

inline std::string CorpusRoot() {
  if (const char* named = std::getenv("QUILOR_CORPUS"); named != nullptr && *named != '\0') return named;
  return std::string(QUILOR_SOURCE_DIR) + "/../shared/corpus";
}

// folder := the corpus's part ("plain", "brown"); fails when it holds no file.
inline ::testing::AssertionResult CorpusFolder(const std::string& part, std::string& folder) {
  folder = CorpusRoot() + "/" + part;
  std::error_code error;
  if (std::filesystem::is_directory(folder, error) && !std::filesystem::is_empty(folder, error))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "no corpus files in " << folder
                                       << " (QUILOR_CORPUS names the folder that holds plain/ and brown/)";
}

// The path of a file of the corpus's part; a missing part fails the test
// (and names the folder looked in).
inline std::string CorpusFile(const std::string& part, const std::string& name) {
  std::string folder;
  if (const ::testing::AssertionResult found = CorpusFolder(part, folder); !found) ADD_FAILURE() << found.message();
  return folder + "/" + name;
}

}  // namespace quilor::testing_support
