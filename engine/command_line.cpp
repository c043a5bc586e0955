#include "engine/command_line.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>

#include "core/files.h"
#include "core/messages.h"
#include "core/options.h"

namespace quilor {

TCommandLineFlags CommandLineFlags;

namespace {

constexpr size_t kParameterBuffer = 511;  // 512-byte buffer
constexpr size_t kMaxSearchKey = 79;

bool IsFolder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A file of any kind but a folder (folders are never documents here).
bool IsExistingFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

// True when a parameter starting with '/' is an absolute path rather than a
// switch: a file, or a name in an existing folder deeper than the root.
bool IsAbsolutePath(const std::string& param) {
  if (param.size() < 2 || param[0] != '/') return false;
  if (IsExistingFile(param)) return true;
  size_t slash = param.find_last_of('/');
  return slash > 0 && IsFolder(param.substr(0, slash));
}

bool BadParameter(const std::string& param) {
  ShowError(FormatMessageWith(kMsgBadParameter, param));
  CommandLineFlags.terminationRequested = true;
  return false;
}

void SetSearchKey(uint16_t kind, const std::string& text) {
  WorkContext->SearchKeyKinds[0] = kind;
  WorkContext->SearchKeys[0] = text.substr(0, kMaxSearchKey);
}

}  // namespace

std::string FormatMessageWith(int id, const std::string& value) {
  std::string text = GetMessageText(id);
  size_t at = text.find("%s");
  if (at == std::string::npos) return text + " " + value;
  return text.replace(at, 2, value);
}

bool ParseCommandLine(const std::vector<std::string>& params) {
  TWorkContext& wc = *WorkContext;
  wc.FileNamed = false;
  wc.SwitchF = wc.SwitchI = wc.SwitchR = wc.SwitchEValid = wc.SwitchS = false;
  wc.SwitchEValue = 0;
  CommandLineFlags.commandFileGiven = false;
  CommandLineFlags.documentKind = 0;

  for (size_t i = 0; i < params.size(); ++i) {
    std::string param = params[i].substr(0, std::min(params[i].size(), kParameterBuffer));
    // A NUL ends the text as it would in the program's buffer.
    param = param.substr(0, param.find('\0'));
    if (param.empty()) return BadParameter(param);
    bool isSwitch = (param[0] == '/' || param[0] == '-') && !IsAbsolutePath(param) && !IsExistingFile(param);
    if (!isSwitch) {
      wc.FileParameterIndex = static_cast<uint16_t>(std::min<size_t>(i + 1, 0xFFFF));
      wc.CommandLineFile = ExpandPathName(param.substr(0, std::min(param.size(), kMaxPath)));
      wc.CommandLineFile.resize(std::min(wc.CommandLineFile.size(), kMaxPath));
      CommandLineFlags.documentKind = static_cast<uint16_t>(DocumentKind(wc.CommandLineFile));
      wc.FileNamed = true;
      continue;
    }
    const char letter = param.size() > 1 ? static_cast<char>(std::tolower(static_cast<unsigned char>(param[1]))) : 0;
    const std::string rest = param.size() > 2 ? param.substr(2) : std::string();
    switch (letter) {
      case 'c':
        if (rest.empty()) return BadParameter(param);
        CommandLineFlags.searchKeyGiven = true;
        SetSearchKey(WorkContext->SearchKeyKinds[0], rest);
        break;
      case 'e':
        if (rest.empty()) return BadParameter(param);
        if (rest[0] >= '0' && rest[0] <= '9') {
          wc.SwitchEValue = static_cast<uint16_t>(rest[0] - '0');
          wc.SwitchEValid = true;
        } else {
          wc.SwitchEValue = 0;
          wc.SwitchEValid = false;
        }
        break;
      case 'f': wc.SwitchF = true; break;
      case 'i': wc.SwitchI = true; break;
      case 'l': CommandLineFlags.commandFileGiven = true; break;
      case 'r': wc.SwitchR = true; break;
      case 'h': {
        if (rest.empty()) return BadParameter(param);
        CommandLineFlags.searchKeyGiven = true;
        CommandLineFlags.keyKindValid = rest[0] >= '1' && rest[0] <= '4';
        SetSearchKey(CommandLineFlags.keyKindValid ? static_cast<uint16_t>(rest[0] - '0') : wc.SearchKeyKinds[0],
                     rest.substr(1));
        break;
      }
      case 's':
        wc.SwitchS = true;
        wc.CommandLineScenario = rest.substr(0, std::min(rest.size(), kMaxPath));
        break;
      default: return BadParameter(param);
    }
  }
  if (!wc.SwitchI && wc.FileNamed) {
    struct stat st;
    if (stat(wc.CommandLineFile.c_str(), &st) != 0 || S_ISDIR(st.st_mode) || !FileExistsWithSize(wc.CommandLineFile)) {
      wc.FileNamed = false;
      return BadParameter(wc.CommandLineFile);
    }
  }
  return true;
}

bool ParseCommandLine(int argc, const char* const* argv) {
  std::vector<std::string> params;
  for (int i = 1; i < argc; ++i) params.emplace_back(argv[i] ? argv[i] : "");
  return ParseCommandLine(params);
}

}  // namespace quilor
