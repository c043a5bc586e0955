#include "mainwindow/histories.h"

#include "core/options.h"

namespace quilor::ui {

namespace {

// Moves entries first..last-1 down by one (entry last is overwritten).
template <typename FieldOf>
void ShiftDown(TOptionsRecord& options, int first, int last, FieldOf field) {
  for (int n = last; n > first; --n) options.Set(field(n - 1), options.Get(field(n - 2)));
}

TextField FileField(int n) { return opt::FileHistoryEntry(static_cast<size_t>(n)); }
TextField FolderField(int n) { return opt::FolderHistoryEntry(static_cast<size_t>(n)); }

}  // namespace

std::string FileHistoryEntry(const TOptionsRecord& options, int n) {
  if (n < 1 || n > kFileHistoryEntries) return {};
  return options.Get(FileField(n - 1));
}

int FindInFileHistory(const TOptionsRecord& options, const std::string& path) {
  if (path.empty()) return 0;
  for (int n = 1; n <= kFileHistoryEntries; ++n)
    if (FileHistoryEntry(options, n) == path) return n;
  return 0;
}

void PushFileHistory(TOptionsRecord& options, const std::string& path) {
  ShiftDown(options, 1, kFileHistoryEntries, FileField);
  options.Set(FileField(0), path);
}

void MoveFileHistoryToFront(TOptionsRecord& options, int n) {
  if (n <= 1 || n > kFileHistoryEntries) return;
  const std::string path = FileHistoryEntry(options, n);
  ShiftDown(options, 1, n, FileField);
  options.Set(FileField(0), path);
}

void AddToFileHistory(TOptionsRecord& options, const std::string& path) {
  const int n = FindInFileHistory(options, path);
  if (n > 0) MoveFileHistoryToFront(options, n);
  else PushFileHistory(options, path);
}

void ClearFileHistory(TOptionsRecord& options) {
  for (int n = 0; n < kFileHistoryEntries; ++n) options.Set(FileField(n), "");
}

std::vector<std::string> FileHistoryMenuCaptions(const TOptionsRecord& options) {
  std::vector<std::string> captions;
  for (int n = 1; n <= kFileHistoryMenuItems; ++n) {
    const std::string entry = FileHistoryEntry(options, n);
    captions.push_back(entry.empty() ? std::string() : std::to_string(n) + " * " + entry);
  }
  return captions;
}

std::string FolderHistorySlot(const TOptionsRecord& options, int n) {
  if (n < 1 || n > static_cast<int>(opt::HistoryCount)) return {};
  return options.Get(FolderField(n - 1));
}

void AddFolderToHistory(TOptionsRecord& options, const std::string& folder) {
  int found = 0;
  for (int n = 1; n <= kFolderHistorySlots && found == 0; ++n)
    if (FolderHistorySlot(options, n) == folder) found = n;
  ShiftDown(options, 1, found > 0 ? found : kFolderHistorySlots, FolderField);
  options.Set(FolderField(0), folder);
}

void ClearFolderHistory(TOptionsRecord& options) {
  for (size_t n = 0; n < opt::HistoryCount; ++n) options.Set(FolderField(static_cast<int>(n)), "");
}

void ApplyHistoryOptionsAtStart(TOptionsRecord& options) {
  const bool keep = options.Switch(opt::KeepFileHistory);
  if (!keep) ClearFileHistory(options);
  const std::string last = options.Get(opt::LastFolder);
  if (keep && FolderHistorySlot(options, 1).empty() && !last.empty()) options.Set(FolderField(0), last);
}

}  // namespace quilor::ui
