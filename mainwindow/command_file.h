// The command file: a small text file that another program or the user writes
// to drive the window (read with /l on the command line or sent by a request).
//
//   Path=<folder>            the current folder
//   FileType=<anything>      accepted and ignored
//   Scenario=<name>          switch the Scenario when the name differs
//   ThresholdFreq=true|...   the frequency-threshold switch
//   Threshold=<1..999>       the threshold of that kind
//   MsWordFilter=true        read Word documents with the detailed reader
//   PDFFilter=true           switch the analysis of PDF documents on
//   [Keys]                   lines "<kind digit><sep><key text>[,<class number>]"
//   [Files]                  one document path a line
//
// Parsing is plain and has no side effects; applying touches the options, the
// work context and the file queue.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quilor::ui {

constexpr size_t kCommandLineMax = 511;  // longer lines are cut
constexpr size_t kCommandKeyMax = 20;    // keys kept
constexpr size_t kCommandFileMaxBytes = 4u << 20;

struct CommandSetting {
  enum Kind { kPath, kFileType, kScenario, kThresholdFreq, kThreshold, kMsWordFilter, kPdfFilter };
  Kind kind = kPath;
  std::string value;  // never empty
};

struct CommandKey {
  int kind = -1;             // 0..9; -1 when the first character is no digit
  std::string text;          // at most 79 characters
  uint16_t classNumber = 0;  // 0 when none or not a valid number
};

struct CommandFileContent {
  std::vector<CommandSetting> settings;  // in file order
  std::vector<CommandKey> keys;          // at most 20
  std::vector<std::string> files;        // in file order
  bool hasSection = false;               // a "[Keys]" or "[Files]" line was seen
};

CommandFileContent ParseCommandFile(std::string_view bytes);

// A decimal number without sign or blanks that fits; false otherwise.
bool ParseDecimal(std::string_view text, uint32_t& value);

// What applying a command file needs from the window.
struct CommandFileHooks {
  // Sets the current folder; the default changes the process's folder.
  std::function<void(const std::string&)> setCurrentFolder;
  // Switches to the named Scenario (called only when it differs from the current one).
  std::function<void(const std::string&)> switchScenario;
  // Called when "PDFFilter=true" switched the analysis of PDF documents on.
  std::function<void()> enablePdfFilter;
};

struct CommandFileOutcome {
  bool opened = false;      // the file could be read
  bool hasSection = false;  // it was a command file: it may be deleted
  int filesRefused = 0;     // paths the queue did not take
};

// Reads the command file at path and applies it: the 20 class numbers are
// cleared, the file queue emptied and refilled from "[Files]", the keys stored
// with both request flags set, the settings applied in order. A file that
// cannot be read leaves the queue empty.
CommandFileOutcome ReadCommandFile(const std::string& path, const CommandFileHooks& hooks);

// Applies parsed content (ReadCommandFile without the file).
void ApplyCommandFile(const CommandFileContent& content, const CommandFileHooks& hooks, CommandFileOutcome& outcome);

}  // namespace quilor::ui
