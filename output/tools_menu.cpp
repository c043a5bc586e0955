#include "output/tools_menu.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>

#include "core/files.h"
#include "platform/safe_save.h"

namespace quilor::ui {

namespace {

std::string ExecutableIn(const std::string& folder, const std::string& name) {
  const std::string path = folder + "/" + name;
  std::error_code error;
  return std::filesystem::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0 ? path : std::string();
}

bool SaysDirectory(std::string options) {
  for (char& c : options) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return options == "directory";
}

}  // namespace

ToolsMenuEntries FindToolsMenuEntries(const std::string& programFolder, const std::string& languageCode,
                                      const PluginFolders& plugins, const std::vector<std::string>& applications) {
  ToolsMenuEntries entries;
  entries.lumo = ExecutableIn(programFolder, "lumo" + languageCode);
  entries.tarvik = ExecutableIn(programFolder, "tarvik");
  DetectDemora(entries.demora, applications);
  DetectMellaro(entries.mellaro, applications);
  LoadPluginList(entries.plugins, plugins);
  int counted = (entries.lumo.empty() ? 0 : 1) + (entries.tarvik.empty() ? 0 : 1);
  for (size_t n = 0; n < entries.plugins.size(); ++n) {
    entries.pluginShown[n] = entries.plugins[n].InUse() && !SaysDirectory(entries.plugins[n].options);
    counted += entries.pluginShown[n] ? 1 : 0;
  }
  entries.siblingSeparatorShown = entries.demora.found || entries.mellaro.found;
  entries.separatorShown = counted > 0 || entries.siblingSeparatorShown;
  return entries;
}

ToolsMenuEntries FindToolsMenuEntries() {
  std::string folder = ProgramPath();
  if (!RemoveLastPathElement(folder)) folder.clear();
  return FindToolsMenuEntries(folder, DictionaryLanguageCode(), PluginFolders::Current(), ApplicationFolders());
}

std::string WriteResultsForDemora(const std::vector<std::string>& lines, const std::string& prefix) {
  std::error_code error;
  std::string pattern = (std::filesystem::temp_directory_path(error) / (prefix + "XXXXXX.txt")).string();
  const int fd = ::mkstemps(pattern.data(), 4);  // exclusive, mode 0600
  if (fd < 0) return {};
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  bool ok = WriteAll(fd, text);
  if (::close(fd) != 0) ok = false;
  if (!ok) {
    ::unlink(pattern.c_str());
    return {};
  }
  return pattern;
}

}  // namespace quilor::ui
