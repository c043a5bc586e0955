// Borders: terms that start a part of the text cut out of the analysis ('X')
// or kept ('N'), up to the next Border. The one global list is kept in a
// ".dlm" text file (one line per Border: 8 flag bytes, TAB, the term, CR LF)
// and indexed in a compact trie for the segment resolver.
#pragma once

#include <array>
#include <cstdint>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quilor {

constexpr size_t kBorderFlagCount = 8;
constexpr size_t kBorderTextMax = 79;
constexpr uint32_t kBordersIndexCapacity = 32599;
constexpr int kMsgDiskReadError = 4;
constexpr int kMsgDiskWriteError = 5;
constexpr int kMsgBordersDamaged = 550;
constexpr int kMsgBordersOverflow = 560;

struct TBorderEntry {
  std::string Text;  // Windows-1252, at most 79 characters when read from a file
  std::array<char, kBorderFlagCount> Flags{'N', '#', '#', '#', '#', '#', '#', '#'};
  // Flag byte 1: 'X' filters the text after the Border, anything else keeps it.
  bool Filters() const { return Flags[0] == 'X'; }
};

// A Border entry as the Borders dialog makes it: 'X' or 'N' and seven '#'.
TBorderEntry MakeBorderEntry(std::string_view text, bool filters);

class TBorderList {
 public:
  bool Ready() const { return ready_; }
  size_t Count() const { return entries_.size(); }
  // Frees every entry; the list stays ready and empty.
  void Clear();
  // Appends a copy; False (after message 0) when memory is short.
  bool Add(const TBorderEntry& entry);
  void Rewind() { cursor_ = 0; }
  // The entry under the cursor, the cursor advanced; nullptr at the end.
  const TBorderEntry* Next();
  const std::vector<TBorderEntry>& Entries() const { return entries_; }

 private:
  std::vector<TBorderEntry> entries_;
  size_t cursor_ = 0;
  bool ready_ = true;
};

void CreateBorderList();
void DestroyBorderList();
void ClearBorderList();
bool AddBorderEntry(const TBorderEntry& entry);
void RewindBorderList();
const TBorderEntry* NextBorderEntry();

// ".dlm" text. ParseBordersText appends the entries of text to list and
// tells whether a line had to be skipped; FormatBordersText gives the file.
void ParseBordersText(std::string_view text, TBorderList& list, bool& damaged);
std::string FormatBordersText(const TBorderList& list);
// Reads a ".dlm" file into list (appending). An unreadable file shows
// message 4 and gives False; skipped lines show message 550 once (True).
bool ReadBordersFile(TBorderList& list, const std::string& fileName);
// Writes list through the safe save; a failure shows message 5 and gives
// False, leaving the previous file as it was.
bool WriteBordersFile(const TBorderList& list, const std::string& fileName);

// ---- Borders index ----------------------------------------------------------
class TCompactTrie;

// The Borders of the program: the list the Borders file fills and the
// Borders dialog edits, and its index for the analysis. Freed whole at the
// end of the program; a test resets it whole with Borders = {} (include
// core/trie.h for that).
struct TBorders {
  // The one global list (nullptr until CreateBorderList).
  std::unique_ptr<TBorderList> list;
  // The index of the list (nullptr when none): value 1 for a Border that
  // filters, 2 for one that keeps the text.
  std::unique_ptr<TCompactTrie> index;
  // Set when the segment resolver must apply the Borders.
  bool inUse = false;
};
extern TBorders Borders;

// Indexes every Border of the global list with a text. A term listed more
// than once is indexed once and filters when any listing says 'X'. A full
// index shows message 560 and leaves the remaining Borders out. Unless the
// option "show Borders in the text" is set, the Borders are then in use.
// False without a list or when the index cannot be made.
bool BuildBordersIndex();
void FreeBordersIndex();
// True when word is a Border; filter is 1 for one that filters, else 0.
bool LookupBorder(std::string_view word, int& filter);

}  // namespace quilor
