// The file history (12 entries, 8 on the File menu) and the folder history
// (8 slots) kept in the options record. Entry 1 is the most recent. Paths are
// compared exactly: on this system two names that differ only in case are
// two files.
#pragma once

#include <string>
#include <vector>

namespace quilor {
class TOptionsRecord;
}

namespace quilor::ui {

constexpr int kFileHistoryEntries = 12;
constexpr int kFileHistoryMenuItems = 8;
constexpr int kFolderHistorySlots = 8;

// Entry n (1..12); "" when empty.
std::string FileHistoryEntry(const TOptionsRecord& options, int n);
// The entry that holds path (1..12), 0 when none.
int FindInFileHistory(const TOptionsRecord& options, const std::string& path);
// Entries 1..11 move down (entry 12 is lost) and path becomes entry 1.
void PushFileHistory(TOptionsRecord& options, const std::string& path);
// Entry n becomes entry 1; entries 1..n-1 move down by one.
void MoveFileHistoryToFront(TOptionsRecord& options, int n);
// A path already in the history moves to the front, else it is pushed.
void AddToFileHistory(TOptionsRecord& options, const std::string& path);
void ClearFileHistory(TOptionsRecord& options);
// The captions of the File menu's history items 1..8: "n * path" for the
// non-empty entries ("" for an empty one, whose item is hidden).
std::vector<std::string> FileHistoryMenuCaptions(const TOptionsRecord& options);

// Slot n (1..12) of the folder history; "" when empty.
std::string FolderHistorySlot(const TOptionsRecord& options, int n);
// A folder already in slots 1..8 moves to slot 1, else slots 1..7 move down
// (slot 8 is lost) and the folder takes slot 1.
void AddFolderToHistory(TOptionsRecord& options, const std::string& folder);
// Empties the 12 slots.
void ClearFolderHistory(TOptionsRecord& options);
// At start-up: without the keep-history option the file history is
// emptied; with it, an empty folder history starts with the last folder.
void ApplyHistoryOptionsAtStart(TOptionsRecord& options);

}  // namespace quilor::ui
