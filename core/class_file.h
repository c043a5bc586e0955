// Class files (.scn): the text form of a Scenario or of an imported ontology,
// one line per group or item: 4 code characters, TAB, text 1, TAB, text 2,
// lines ended by CR LF, Windows-1252.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quilor {

constexpr int kMsgClassFileReadError = 4;
constexpr int kMsgClassFileNotFound = 5003;  // "File not found:"
constexpr int kMsgClassFileWriteError = 5;
constexpr int kMsgScenarioIntegrityError = 536;
constexpr int kMsgFileNotWritten = 539;
constexpr int kMsgDamagedFileNotLoaded = 540;
constexpr int kMsgMaxSignatureReached = 1234;

struct ClassFileEntry {
  std::string text1;
  std::optional<std::string> text2;
  char code[4] = {'0', '#', '0', '#'};
  int16_t level = 0;  // 1..3 for a class line of that level, 0 otherwise

  bool IsGroup() const { return code[0] == 'G'; }
  int Depth() const { return (code[2] >= '0' && code[2] <= '9') ? code[2] - '0' : 0; }
};

// Group numbering state shared with the ontology engine and the Scenario
// editor; GroupNumbering = {} starts it afresh.
struct TGroupNumbering {
  int32_t counter = 0;
  bool forceRenumbering = false;
  bool renumberingInProgress = false;
  bool renumbered = false;
};
extern TGroupNumbering GroupNumbering;

class ClassFileList {
 public:
  void Clear();
  // Adds a copy of the entry; group numbers are checked or renumbered.
  // False (with its message) when the entry is refused.
  bool Add(const ClassFileEntry& entry);

  void Rewind() { cursor_ = 0; }
  // The entry under the cursor, the cursor advanced; nullptr at the end.
  const ClassFileEntry* Next() { return cursor_ < entries_.size() ? &entries_[cursor_++] : nullptr; }

  size_t Count() const { return entries_.size(); }
  // Summed length of text 1 of every entry that is not a group.
  uint64_t TextTotal() const { return textTotal_; }
  const std::vector<ClassFileEntry>& Entries() const { return entries_; }
  std::vector<ClassFileEntry>& MutableEntries() { return entries_; }

 private:
  std::vector<ClassFileEntry> entries_;
  size_t cursor_ = 0;
  uint64_t textTotal_ = 0;
};

// The one list of the program.
extern ClassFileList ScenarioFile;

// Level of a code: 1, 2 or 3 when its first character says so, else 0.
int16_t ClassLevelOfCode(const char code[4]);

// Parses class-file text into the list (cleared first by the caller when
// wanted). Returns false when an entry was refused; damaged is set when a
// line had to be skipped.
bool ParseClassFileText(ClassFileList& list, std::string_view text, bool& damaged);
// The file text of the list.
std::string FormatClassFileText(const ClassFileList& list);

// Loads the file into the list; scenarioName is quoted in the read error
// message (the file's path when empty). A file with a damaged line fails the
// integrity check: its message names the file, the result is false and the
// list is left as it was. fileTime receives the file's modification time
// (seconds) when given.
bool LoadClassFile(ClassFileList& list, const std::string& fileName, const std::string& scenarioName = {},
                   int64_t* fileTime = nullptr);
// Writes the list through the safe save (temporary file, backup, rename).
// A failure shows the file's path and the system's reason, and gives false.
bool SaveClassFile(const ClassFileList& list, const std::string& fileName, const std::string& scenarioName = {},
                   int64_t* fileTime = nullptr);

}  // namespace quilor
