#include "core/class_file.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/messages.h"
#include "core/options.h"
#include "platform/read_file.h"
#include "platform/text_encoding.h"
#if __has_include("platform/safe_save.h")
#include "platform/safe_save.h"
#define QUILOR_HAVE_SAFE_SAVE 1
#endif

namespace quilor {

TGroupNumbering GroupNumbering;
ClassFileList ScenarioFile;

namespace {

constexpr size_t kMaxLineRead = 511;
constexpr size_t kMaxLineKept = 164;
constexpr size_t kMaxField = 79;

bool ParseDecimal(const std::string& text, int32_t& value) {
  if (text.empty()) return false;
  const char* begin = text.data();
  const char* end = begin + text.size();
  auto [ptr, ec] = std::from_chars(begin, end, value);
  return ec == std::errc() && ptr == end;
}

int64_t FileTimeOf(const std::string& fileName) {
  std::error_code ec;
  auto t = std::filesystem::last_write_time(fileName, ec);
  if (ec) return 0;
  return std::chrono::duration_cast<std::chrono::seconds>(t.time_since_epoch()).count();
}

// The date of the Scenario file read or written last goes into the options
// record, where the start-up compares it with the program's copy.
int64_t RecordScenarioDate(const std::string& fileName) {
  const int64_t t = FileTimeOf(fileName);
  if (Options) Options->Set(opt::ScenarioFileDate, static_cast<uint32_t>(t));
  return t;
}

std::string QuotedName(int id, const std::string& scenarioName) {
  return std::string(GetMessageText(id)) + " \"" + scenarioName + "\"";
}

// The errno of a failed save; 0 when the file was written.
struct SaveFailure {
  int error = 0;
};

SaveFailure SaveFileSafely(const std::string& fileName, const std::string& contents) {
#ifdef QUILOR_HAVE_SAFE_SAVE
  const SaveResult saved = SafeSave(fileName, contents);
  return {saved ? 0 : (saved.error ? saved.error : EIO)};
#else
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  out.close();
  return {out ? 0 : EIO};
#endif
}

// A file name as the messages show it (Windows-1252).
std::string DisplayPath(const std::string& path) { return Utf8ToCp1252(path); }

}  // namespace

int16_t ClassLevelOfCode(const char code[4]) {
  return (code[0] >= '1' && code[0] <= '3') ? static_cast<int16_t>(code[0] - '0') : 0;
}

void ClassFileList::Clear() {
  entries_.clear();
  cursor_ = 0;
  textTotal_ = 0;
  GroupNumbering.renumberingInProgress = false;
}

bool ClassFileList::Add(const ClassFileEntry& source) {
  ClassFileEntry entry = source;
  if (entry.IsGroup()) {
    int32_t number = 0;
    bool valid = ParseDecimal(entry.text1, number);
    if (!valid || GroupNumbering.renumberingInProgress || GroupNumbering.forceRenumbering) {
      if (GroupNumbering.counter >= 0x7FFFFFFF) {
        ShowError(GetMessageText(kMsgMaxSignatureReached));
        return false;
      }
      number = ++GroupNumbering.counter;
      GroupNumbering.renumberingInProgress = true;
    }
    entry.text1 = std::to_string(number);
  }
  entry.level = ClassLevelOfCode(entry.code);
  if (!entry.IsGroup()) textTotal_ += entry.text1.size();
  entries_.push_back(std::move(entry));
  return true;
}

bool ParseClassFileText(ClassFileList& list, std::string_view text, bool& damaged) {
  size_t pos = 0;
  while (pos < text.size()) {
    size_t eol = text.find('\n', pos);
    size_t next = eol == std::string_view::npos ? text.size() : eol + 1;
    std::string_view line = text.substr(pos, (eol == std::string_view::npos ? text.size() : eol) - pos);
    pos = next;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > kMaxLineRead) line = line.substr(0, kMaxLineRead);
    if (line.size() > kMaxLineKept) line = line.substr(0, kMaxLineKept);
    size_t tab1 = line.size() >= 5 ? line.find('\t', 4) : std::string_view::npos;
    if (tab1 == std::string_view::npos) {
      // A blank line (an editor's last line) is passed over; any other line
      // without its fields is damage.
      if (line.find_first_not_of(" \t") != std::string_view::npos) damaged = true;
      continue;
    }
    ClassFileEntry entry;
    for (int i = 0; i < 4; ++i) {
      char c = line[i];
      entry.code[i] = (i > 0 && (c == ' ' || c == '\0')) ? '#' : c;
    }
    size_t tab2 = line.find('\t', tab1 + 1);
    std::string_view t1 =
        line.substr(tab1 + 1, tab2 == std::string_view::npos ? std::string_view::npos : tab2 - tab1 - 1);
    std::string_view t2 = t1;
    if (tab2 != std::string_view::npos) {
      size_t tab3 = line.find('\t', tab2 + 1);
      t2 = line.substr(tab2 + 1, tab3 == std::string_view::npos ? std::string_view::npos : tab3 - tab2 - 1);
    }
    entry.text1 = std::string(t1.substr(0, kMaxField));
    entry.text2 = std::string(t2.substr(0, kMaxField));
    if (!list.Add(entry)) return false;
  }
  return true;
}

std::string FormatClassFileText(const ClassFileList& list) {
  std::string out;
  for (const ClassFileEntry& e : list.Entries()) {
    if (e.text1.empty()) continue;
    for (char c : e.code) out += c == '\0' ? ' ' : c;
    out += '\t';
    out += e.text1;
    out += '\t';
    if (e.text2) out += *e.text2;
    out += "\r\n";
  }
  return out;
}

namespace {
// The largest Scenario read.
constexpr size_t kMaxClassFileSize = size_t{64} << 20;
}  // namespace

bool LoadClassFile(ClassFileList& list, const std::string& fileName, const std::string& scenarioName,
                   int64_t* fileTime) {
  const int64_t date = RecordScenarioDate(fileName);
  if (fileTime) *fileTime = date;
  const TGroupNumbering before = GroupNumbering;
  GroupNumbering.counter = 0;
  GroupNumbering.renumberingInProgress = false;
  // A regular file of bounded size only: a pipe, a device or a folder is a read error.
  std::string content;
  const ReadFileStatus status = ReadWholeFile(fileName, kMaxClassFileSize, content);
  if (status == ReadFileStatus::kNotFound) {
    // A file that is not there is said so: it is no read error.
    GroupNumbering = before;
    ShowError(std::string(GetMessageText(kMsgClassFileNotFound)) + " " + DisplayPath(fileName));
    return false;
  }
  if (status != ReadFileStatus::kOk) {
    GroupNumbering = before;
    ShowError(QuotedName(kMsgClassFileReadError, scenarioName.empty() ? DisplayPath(fileName) : scenarioName));
    return false;
  }
  // Read aside: a file refused leaves the list as it was, so that a damaged
  // file never replaces a sound Scenario (and is never saved over).
  ClassFileList read;
  bool damaged = false;
  if (!ParseClassFileText(read, content, damaged)) {
    GroupNumbering = before;
    return false;
  }
  if (damaged) {
    GroupNumbering = before;
    ShowError(QuotedName(kMsgScenarioIntegrityError, DisplayPath(fileName)) + " " +
              GetMessageText(kMsgDamagedFileNotLoaded));
    return false;
  }
  list = std::move(read);
  if (GroupNumbering.renumberingInProgress) GroupNumbering.renumbered = true;
  return true;
}

bool SaveClassFile(const ClassFileList& list, const std::string& fileName, const std::string& /*scenarioName*/,
                   int64_t* fileTime) {
  const SaveFailure failure = SaveFileSafely(fileName, FormatClassFileText(list));
  if (failure.error != 0) {
    // The file and the real cause: a full disk, a read-only folder or a
    // refused permission are told apart.
    ShowError(QuotedName(kMsgFileNotWritten, DisplayPath(fileName)) + " (" + std::strerror(failure.error) + ").");
    return false;
  }
  const int64_t date = RecordScenarioDate(fileName);
  if (fileTime) *fileTime = date;
  return true;
}

}  // namespace quilor
