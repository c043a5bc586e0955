#include "mainwindow/files_tab.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/file_queue.h"
#include "core/files.h"
#include "core/messages.h"
#include "generated/message_names.h"
#include "import/conversion_dispatch.h"
#include "platform/text_encoding.h"

namespace quilor::ui {

namespace fs = std::filesystem;

namespace {

constexpr int kMsgFilesSelected = 810;
constexpr int kMsgMaximum = 184;
constexpr int kMsgFilesScanned = 529;
constexpr int kMsgOverflow = 322;

// The documents of one folder, sorted; with folders, its sub-folders too.
void ScanOne(const std::string& folder, std::vector<std::string>& files, std::vector<std::string>* folders) {
  std::vector<std::string> found;
  std::error_code ec;
  for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code typeError;
    if (it->is_directory(typeError)) {
      if (folders != nullptr && !name.empty() && name[0] != '.') folders->push_back(it->path().string());
      continue;
    }
    if (!it->is_regular_file(typeError)) continue;
    const std::string path = it->path().string();
    if (path.size() >= kMaxPath) continue;
    if (IsReadableDocument(path)) found.push_back(path);
  }
  std::sort(found.begin(), found.end());
  files.insert(files.end(), found.begin(), found.end());
  if (folders != nullptr) std::sort(folders->begin(), folders->end());
}

}  // namespace

std::vector<std::string> ScanFolderForDocuments(const std::string& folder, bool subFolders) {
  std::vector<std::string> files;
  std::vector<std::string> folders;
  ScanOne(folder, files, subFolders ? &folders : nullptr);
  for (const std::string& sub : folders) ScanOne(sub, files, nullptr);
  return files;
}

std::string FilesTabStatus(size_t count) {
  std::string status = std::to_string(count) + " " + GetMessageText(kMsgFilesSelected);
  if (count > kFilesTabMaximumHint)
    status += std::string(", ") + GetMessageText(kMsgMaximum) + "=" + std::to_string(TPileFile::kCapacity);
  return Cp1252ToUtf8(status);
}

size_t AppendNewFiles(std::vector<std::string>& list, const std::vector<std::string>& files) {
  size_t added = 0;
  for (const std::string& f : files) {
    if (std::find(list.begin(), list.end(), f) != list.end()) continue;
    list.push_back(f);
    ++added;
  }
  return added;
}

QueueFilling FillFileQueue(const std::vector<std::string>& files) {
  QueueFilling result;
  FileQueue.Clear();
  for (const std::string& f : files) {
    if (!FileQueue.Add(f.c_str())) {
      result.overflow = true;
      break;
    }
    ++result.added;
  }
  if (result.overflow) {
    // Each text is copied before the next is fetched: they share one buffer.
    std::string text = std::to_string(result.added) + " ";
    text += GetMessageText(kMsgFilesScanned);
    text += " ";
    text += GetMessageText(kMsgOverflow);
    ShowError(text);
  }
  return result;
}

std::vector<std::string> ConversionFilterStatusLines(const std::array<bool, kStatusListConverters>& loaded) {
  static constexpr int kNames[kStatusListConverters] = {msg::kPdfIFilter,       msg::kOffice97To2003,
                                                        msg::kOffice2007,       msg::kPowerpoint2007,
                                                        msg::kOpenDocumentText, msg::kOpenDocumentPresentation};
  std::vector<std::string> lines{" ", GetMessageText(msg::kExternalConversionFiltersStatus), " "};
  for (size_t i = 0; i < kStatusListConverters; ++i)
    lines.push_back(GetMessageText(kNames[i]) + " = " + GetMessageText(loaded[i] ? msg::kActive : msg::kInactive));
  lines.push_back(" ");
  lines.push_back(GetMessageText(msg::kReadSoftwareUserManual));
  return lines;
}

std::vector<std::string> ConversionFilterStatusLines() {
  static constexpr ConverterFormat kFormats[kStatusListConverters] = {ConverterFormat::kPdf,
                                                                      ConverterFormat::kOffice,
                                                                      ConverterFormat::kOffice2007,
                                                                      ConverterFormat::kPowerPoint2007,
                                                                      ConverterFormat::kOpenDocumentText,
                                                                      ConverterFormat::kOpenDocumentPresentation};
  std::array<bool, kStatusListConverters> loaded{};
  for (size_t i = 0; i < kStatusListConverters; ++i) loaded[i] = ConverterAvailable(kFormats[i]);
  return ConversionFilterStatusLines(loaded);
}

}  // namespace quilor::ui
