// The Files tab's list of documents: scanning a folder for the documents the
// program reads, the tab's status line, and handing a list to the file queue.
// Paths are UTF-8.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace quilor::ui {

constexpr size_t kFilesTabMaximumHint = 5000;  // above this the status names the maximum

// The readable documents of folder (by extension), and with subFolders those
// of its sub-folders one level down (names starting with '.' are passed
// over). Names are sorted within each folder; paths of 260 characters or more
// are skipped.
std::vector<std::string> ScanFolderForDocuments(const std::string& folder, bool subFolders);

// "<n> file(s) selected", with ", maximum=10000" above 5,000 lines (UTF-8).
std::string FilesTabStatus(size_t count);

// Appends to list the paths not already in it; returns how many were added.
size_t AppendNewFiles(std::vector<std::string>& list, const std::vector<std::string>& files);

struct QueueFilling {
  size_t added = 0;
  bool overflow = false;  // a file could not be queued
};
// Empties the file queue and adds files in order, at most the queue's
// capacity. When files remain that could not be queued, shows the error
// "<added> files scanned Overflow! ..." and reports the overflow.
QueueFilling FillFileQueue(const std::vector<std::string>& files);

// The document converters whose state the status list names, in its order.
constexpr int kStatusListConverters = 6;
// The status of the document converters, shown in the results list after a
// text that could not be read (Windows-1252): a heading between blank lines,
// "<converter> = Active" or "= Inactive" for each by loaded (PDF, Word
// 97-2003, Office Open XML text, presentation, OpenDocument text,
// presentation), a blank line and where to read more.
std::vector<std::string> ConversionFilterStatusLines(const std::array<bool, kStatusListConverters>& loaded);
// The same for the converters this program has loaded.
std::vector<std::string> ConversionFilterStatusLines();

}  // namespace quilor::ui
