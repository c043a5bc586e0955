#include "core/borders.h"

#include <algorithm>
#include <new>
#include <unordered_map>
#include <utility>

#include "core/chartables.h"
#include "core/messages.h"
#include "core/trie.h"
#include "core/options.h"
#include "platform/read_file.h"
#include "platform/safe_save.h"

namespace quilor {

TBorders Borders;

namespace {

constexpr size_t kMaxLine = 511;  // characters read of one line
constexpr size_t kLineCut = 90;   // characters of a line that count
constexpr size_t kMaxBordersFile = 16u << 20;

}  // namespace

TBorderEntry MakeBorderEntry(std::string_view text, bool filters) {
  TBorderEntry e;
  e.Text = std::string(text);
  e.Flags[0] = filters ? 'X' : 'N';
  return e;
}

void TBorderList::Clear() {
  entries_.clear();
  entries_.shrink_to_fit();
  cursor_ = 0;
}

bool TBorderList::Add(const TBorderEntry& entry) {
  try {
    entries_.push_back(entry);
  } catch (const std::bad_alloc&) {
    ReportMemoryLow(true);
    return false;
  }
  return true;
}

const TBorderEntry* TBorderList::Next() {
  if (cursor_ >= entries_.size()) return nullptr;
  return &entries_[cursor_++];
}

void CreateBorderList() { Borders.list = std::make_unique<TBorderList>(); }

void DestroyBorderList() { Borders.list.reset(); }

void ClearBorderList() {
  if (Borders.list && Borders.list->Ready()) Borders.list->Clear();
}

bool AddBorderEntry(const TBorderEntry& entry) { return Borders.list && Borders.list->Add(entry); }

void RewindBorderList() {
  if (Borders.list) Borders.list->Rewind();
}

const TBorderEntry* NextBorderEntry() { return Borders.list ? Borders.list->Next() : nullptr; }

void ParseBordersText(std::string_view text, TBorderList& list, bool& damaged) {
  damaged = false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = pos;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
    std::string_view line = text.substr(pos, end - pos);
    // CR LF, LF or a lone CR end the line.
    pos = end;
    if (pos < text.size() && text[pos] == '\r') {
      ++pos;
      if (pos < text.size() && text[pos] == '\n') ++pos;
    } else if (pos < text.size() && text[pos] == '\n') {
      ++pos;
    }
    if (line.size() > kMaxLine) line = line.substr(0, kMaxLine);
    if (line.size() > kLineCut) line = line.substr(0, kLineCut);
    size_t tab = line.size() > kBorderFlagCount ? line.find('\t', kBorderFlagCount) : std::string_view::npos;
    if (line.size() < kBorderFlagCount + 1 || tab == std::string_view::npos) {
      damaged = true;
      continue;
    }
    std::string_view term = line.substr(tab + 1);
    size_t fieldEnd = term.find_first_of(std::string_view("\t\0", 2));
    if (fieldEnd != std::string_view::npos) term = term.substr(0, fieldEnd);
    if (term.size() > kBorderTextMax) term = term.substr(0, kBorderTextMax);
    TBorderEntry entry;
    for (size_t i = 0; i < kBorderFlagCount; ++i) entry.Flags[i] = line[i];
    entry.Text = std::string(term);
    if (!list.Add(entry)) return;
  }
}

std::string FormatBordersText(const TBorderList& list) {
  std::string out;
  for (const auto& e : list.Entries()) {
    if (e.Text.empty()) continue;
    for (char f : e.Flags) out += f == '\0' ? '#' : f;
    out += '\t';
    out += e.Text;
    out += "\r\n";
  }
  return out;
}

bool ReadBordersFile(TBorderList& list, const std::string& fileName) {
  std::string text;
  ReadFileStatus status = ReadWholeFile(fileName, kMaxBordersFile, text);
  if (status == ReadFileStatus::kNotFound || status == ReadFileStatus::kFailed) {
    ShowError(GetMessageText(kMsgDiskReadError));
    return false;
  }
  bool damaged = false;
  ParseBordersText(text, list, damaged);
  if (damaged || status == ReadFileStatus::kTooLarge) ShowError(GetMessageText(kMsgBordersDamaged));
  return true;
}

bool WriteBordersFile(const TBorderList& list, const std::string& fileName) {
  if (!SafeSave(fileName, FormatBordersText(list))) {
    ShowError(GetMessageText(kMsgDiskWriteError));
    return false;
  }
  return true;
}

// ---- Borders index ----------------------------------------------------------

namespace {

constexpr uint16_t kFilterValue = 1;
constexpr uint16_t kKeepValue = 2;

// The key a Border is indexed under: its text cut to 79 characters, ending at a NUL.
std::string BorderKey(std::string_view text) {
  text = text.substr(0, std::min(text.size(), kBorderTextMax));
  return std::string(text.substr(0, text.find('\0')));
}

}  // namespace

void FreeBordersIndex() {
  Borders.index.reset();
  Borders.inUse = false;
}

bool BuildBordersIndex() {
  Borders.inUse = false;
  if (!Borders.list || !Borders.list->Ready()) return false;
  FreeBordersIndex();
  Borders.index = std::make_unique<TCompactTrie>(kBordersIndexCapacity);
  if (!Borders.index->Ready()) return false;

  // A term listed more than once is indexed once; it filters when any of its
  // listings says so (the trie would keep the first listing's value).
  std::vector<std::pair<std::string, uint16_t>> keys;
  std::unordered_map<std::string, size_t> seen;
  for (const auto& e : Borders.list->Entries()) {
    std::string key = BorderKey(e.Text);
    if (key.empty()) continue;
    std::string folded = key;
    LowerCaseString(folded);
    const uint16_t value = e.Filters() ? kFilterValue : kKeepValue;
    auto [it, added] = seen.emplace(folded, keys.size());
    if (added) keys.emplace_back(key, value);
    else if (value == kFilterValue) keys[it->second].second = kFilterValue;
  }
  for (const auto& [key, value] : keys) {
    if (!Borders.index->CompactTrieInsert(key.c_str(), value)) {
      ShowError(GetMessageText(kMsgBordersOverflow));
      break;
    }
    if (value == kFilterValue) Borders.inUse = true;
  }
  if (!Options->Switch(opt::ShowBorders)) Borders.inUse = true;
  return true;
}

bool LookupBorder(std::string_view word, int& filter) {
  filter = 0;
  if (!Borders.index) return false;
  std::string key = BorderKey(word);
  if (key.empty()) return false;
  uint16_t value = Borders.index->CompactTrieLookup(key.c_str());
  if (value == 0) return false;
  filter = value == kFilterValue ? 1 : 0;
  return true;
}

}  // namespace quilor
