// Helpers for the tests of the word stream: temporary files, loading a queue
// of files through an analysis run, and the rows of TextWords.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/message_ui.h"

namespace quilor {
struct TAnalysis;
}

namespace quilor::testing_support {

struct WordRow {
  int32_t position = 0;
  uint16_t fileNumber = 0;
  std::string word;  // Windows-1252
  std::string tag;
  bool operator==(const WordRow&) const = default;
};

// A fresh folder for the current test, removed by the destructor.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  // Writes bytes to name in the folder and returns the full path.
  std::string Write(const std::string& name, const std::string& bytes) const;
  std::string Path(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

std::string ReadFileBytes(const std::string& path);
std::string TestDataPath(const std::string& relative);

// Every node of TextWords in order.
std::vector<WordRow> TextWordRows();
// Queues the files and runs an analysis into analysis (a scratch one when
// none is given); returns the result of the run.
bool RunOnFiles(const std::vector<std::string>& files, TAnalysis& analysis);
bool RunOnFiles(const std::vector<std::string>& files);
// The rows of a golden TSV file (UTF-8: position, file number, word, tag).
std::vector<WordRow> ReadGolden(const std::string& path);

// Restores the loader's settings, the size option and the progress.
class StreamTestState {
 public:
  StreamTestState();
  ~StreamTestState();
  StreamTestState(const StreamTestState&) = delete;
  StreamTestState& operator=(const StreamTestState&) = delete;
  ScopedScriptedUi ui;
};

std::string Describe(const std::vector<WordRow>& rows);

}  // namespace quilor::testing_support
