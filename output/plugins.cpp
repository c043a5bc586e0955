#include "output/plugins.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "core/files.h"
#include "core/messages.h"
#include "platform/ini_file.h"
#include "platform/text_encoding.h"

namespace quilor::ui {

namespace {

constexpr int kMsgUnknownPlugin = 6601;
constexpr const char* kEntry = "Desktop Entry";

bool IsFile(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_regular_file(path, error);
}

// The program an argument names: an absolute path, or found in PATH.
std::string FindProgram(const std::string& program) {
  if (program.empty()) return {};
  if (program.find('/') != std::string::npos)
    return IsFile(program) && ::access(program.c_str(), X_OK) == 0 ? program : "";
  const char* path = std::getenv("PATH");
  std::stringstream folders(path ? path : "/usr/bin:/bin");
  for (std::string folder; std::getline(folders, folder, ':');) {
    const std::string candidate = folder + "/" + program;
    if (IsFile(candidate) && ::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

bool Detect(const char* fileName, const char* defaultName, SiblingProgram& program,
            const std::vector<std::string>& folders) {
  program = SiblingProgram{};
  for (const std::string& folder : folders) {
    const std::string entry = folder + "/" + fileName;
    IniFile file;
    if (!IsFile(entry) || !file.Load(entry)) continue;
    const std::string exec = file.GetString(kEntry, "Exec", "");
    const std::vector<std::string> args = ExecArguments(exec);
    const std::string path = args.empty() ? std::string() : FindProgram(args.front());
    if (path.empty()) continue;
    program.found = true;
    program.name = Utf8ToCp1252(file.GetString(kEntry, "Name", defaultName));
    program.version = file.GetString(kEntry, "Version", "");
    program.path = path;
    program.exec = exec;
    return true;
  }
  return false;
}

}  // namespace

PluginFolders PluginFolders::Current() {
  PluginFolders folders;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  if (config != nullptr && config[0] == '/') folders.user = std::string(config) + "/Quilor/plugins";
  else if (home != nullptr && home[0] == '/') folders.user = std::string(home) + "/.config/Quilor/plugins";
  std::string program = quilor::ProgramPath();
  if (!program.empty()) {
    const std::filesystem::path p(program);
    folders.root = (p.parent_path().parent_path() / "plugins").string();
  }
  return folders;
}

bool LoadPluginList(std::array<PluginSlot, 4>& slots, const PluginFolders& folders) {
  bool any = false;
  for (int n = 1; n <= 4; ++n) {
    PluginSlot& slot = slots[n - 1];
    slot = PluginSlot{};
    const std::string name = "/Plugin" + std::to_string(n) + ".desktop";
    IniFile file;
    std::string path = folders.user.empty() ? std::string() : folders.user + name;
    if (!IsFile(path)) path = folders.root.empty() ? std::string() : folders.root + name;
    if (!IsFile(path) || !file.Load(path)) continue;
    slot.program = file.GetString(kEntry, "Exec", "");
    if (slot.program.empty()) continue;
    slot.label = Utf8ToCp1252(file.GetString(kEntry, "Name", ""));
    if (slot.label.empty()) slot.label = GetMessageText(kMsgUnknownPlugin);
    // A menu command of reasonable width, whatever the entry says.
    if (slot.label.size() > kMaxPluginLabel) slot.label = slot.label.substr(0, kMaxPluginLabel - 3) + "...";
    slot.options = file.GetString(kEntry, "X-Quilor-Options", "");
    any = true;
  }
  return any;
}

std::vector<std::string> ApplicationFolders() {
  std::vector<std::string> folders;
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  if (dataHome != nullptr && dataHome[0] == '/') folders.push_back(std::string(dataHome) + "/applications");
  else if (home != nullptr && home[0] == '/') folders.push_back(std::string(home) + "/.local/share/applications");
  const char* dataDirs = std::getenv("XDG_DATA_DIRS");
  std::stringstream dirs(dataDirs != nullptr && dataDirs[0] != '\0' ? dataDirs : "/usr/local/share:/usr/share");
  for (std::string dir; std::getline(dirs, dir, ':');)
    if (!dir.empty() && dir[0] == '/') folders.push_back(dir + "/applications");
  return folders;
}

bool DetectDemora(SiblingProgram& program, const std::vector<std::string>& folders) {
  return Detect("demora.desktop", "Demora", program, folders);
}

bool DetectMellaro(SiblingProgram& program, const std::vector<std::string>& folders) {
  return Detect("mellaro.desktop", "Mellaro", program, folders);
}

std::vector<std::string> ExecArguments(const std::string& exec, const std::string& extraOptions) {
  std::vector<std::string> args;
  auto split = [&args](const std::string& line, bool fieldCodes) {
    std::string current;
    bool inWord = false;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
      const char c = line[i];
      if (quoted) {
        if (c == '\\' && i + 1 < line.size()) {
          current += line[++i];
        } else if (c == '"') {
          quoted = false;
        } else {
          current += c;
        }
        continue;
      }
      if (c == '"') {
        quoted = inWord = true;
      } else if (c == ' ' || c == '\t') {
        if (inWord) args.push_back(current);
        current.clear();
        inWord = false;
      } else if (fieldCodes && c == '%' && i + 1 < line.size()) {
        // Field codes are for launchers; "%%" is a percent sign.
        if (line[++i] == '%') current += '%';
        inWord = true;
      } else {
        current += c;
        inWord = true;
      }
    }
    if (inWord && !(current.empty() && fieldCodes)) args.push_back(current);
  };
  split(exec, true);
  // An argument that was only a field code leaves nothing.
  std::vector<std::string> kept;
  for (std::string& a : args)
    if (!a.empty()) kept.push_back(std::move(a));
  args = std::move(kept);
  if (!args.empty()) split(extraOptions, false);
  return args;
}

bool StartOutsideProgram(const std::string& exec, const std::string& options) {
  const std::vector<std::string> args = ExecArguments(exec, options);
  if (args.empty()) return false;
  return RunProgramArguments(args) > 32;
}

}  // namespace quilor::ui
