#include "mainwindow/command_file.h"

#include <algorithm>
#include <cctype>

#include "core/file_queue.h"
#include "core/files.h"
#include "engine/command_line.h"
#include "core/options.h"
#include "platform/read_file.h"

namespace quilor::ui {

namespace {

constexpr size_t kKeyTextMax = 79;

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

bool StartsWithNoCase(std::string_view line, std::string_view prefix) {
  return line.size() >= prefix.size() && EqualNoCase(line.substr(0, prefix.size()), prefix);
}

struct SettingName {
  std::string_view prefix;
  CommandSetting::Kind kind;
};

// Tested in this order; the first prefix that matches decides.
constexpr SettingName kSettingNames[] = {
    {"Path=", CommandSetting::kPath},           {"FileType=", CommandSetting::kFileType},
    {"Scenario=", CommandSetting::kScenario},   {"ThresholdFreq=", CommandSetting::kThresholdFreq},
    {"Threshold=", CommandSetting::kThreshold}, {"MsWordFilter=", CommandSetting::kMsWordFilter},
    {"PDFFilter=", CommandSetting::kPdfFilter},
};

void ParseSetting(std::string_view line, CommandFileContent& content) {
  for (const SettingName& name : kSettingNames) {
    if (!StartsWithNoCase(line, name.prefix)) continue;
    const std::string_view value = line.substr(name.prefix.size());
    if (!value.empty()) content.settings.push_back({name.kind, std::string(value)});
    return;
  }
}

// "<kind digit><separator><text>[,<class number>]", at least 3 characters.
void ParseKey(std::string_view line, CommandFileContent& content) {
  if (line.size() < 3 || content.keys.size() >= kCommandKeyMax) return;
  CommandKey key;
  if (line[0] >= '0' && line[0] <= '9') key.kind = line[0] - '0';
  // The last comma from the second-to-last character back to the third.
  size_t end = line.size();
  for (size_t i = line.size() - 1; i >= 3; --i) {  // 1-based positions N-1 .. 3
    if (line[i - 1] == ',') {
      end = i - 1;
      uint32_t number = 0;
      if (ParseDecimal(line.substr(i), number) && number <= 0xFFFF) key.classNumber = static_cast<uint16_t>(number);
      break;
    }
  }
  const std::string_view text = line.substr(2, end - 2);
  key.text.assign(text.substr(0, kKeyTextMax));
  content.keys.push_back(std::move(key));
}

}  // namespace

bool ParseDecimal(std::string_view text, uint32_t& value) {
  if (text.empty() || text.size() > 9) return false;
  uint32_t result = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    result = result * 10 + static_cast<uint32_t>(c - '0');
  }
  value = result;
  return true;
}

CommandFileContent ParseCommandFile(std::string_view bytes) {
  enum Mode { kSettings, kKeys, kFiles } mode = kSettings;
  CommandFileContent content;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t stop = bytes.find('\n', start);
    if (stop == std::string_view::npos) stop = bytes.size();
    std::string_view line = bytes.substr(start, stop - start);
    start = stop + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > kCommandLineMax) line = line.substr(0, kCommandLineMax);
    if (!line.empty() && line[0] == '[') {
      if (EqualNoCase(line, "[Keys]")) {
        mode = kKeys;
        content.hasSection = true;
      } else if (EqualNoCase(line, "[Files]")) {
        mode = kFiles;
        content.hasSection = true;
      }
      continue;
    }
    switch (mode) {
      case kSettings: ParseSetting(line, content); break;
      case kKeys: ParseKey(line, content); break;
      case kFiles:
        if (!line.empty()) content.files.emplace_back(line);
        break;
    }
  }
  return content;
}

void ApplyCommandFile(const CommandFileContent& content, const CommandFileHooks& hooks, CommandFileOutcome& outcome) {
  TWorkContext& wc = *WorkContext;
  outcome.hasSection = content.hasSection;
  for (const CommandSetting& setting : content.settings) {
    switch (setting.kind) {
      case CommandSetting::kPath:
        if (hooks.setCurrentFolder) hooks.setCurrentFolder(setting.value);
        else ChangeCurrentFolder(setting.value);
        break;
      case CommandSetting::kFileType: break;
      case CommandSetting::kScenario: {
        const std::string name = setting.value.substr(0, kPathFieldSize - 1);
        const std::string current = Options->Get(opt::ScenarioFileName);
        if (!EqualNoCase(name, current) && hooks.switchScenario) hooks.switchScenario(name);
        break;
      }
      case CommandSetting::kThresholdFreq:
        Options->Set(opt::ThresholdKind, static_cast<uint8_t>(EqualNoCase(setting.value, "true") ? 1 : 0));
        break;
      case CommandSetting::kThreshold: {
        uint32_t value = 0;
        if (ParseDecimal(setting.value, value) && value >= 1 && value <= 999)
          Options->Set(Options->Switch(opt::ThresholdKind) ? opt::ClassMinWords : opt::ClassPertinence,
                       static_cast<uint16_t>(value));
        break;
      }
      case CommandSetting::kMsWordFilter:
        if (EqualNoCase(setting.value, "true")) Options->Set(opt::WordDetailedReading, uint8_t{1});
        break;
      case CommandSetting::kPdfFilter:
        if (!Options->Switch(opt::ConvertPdf) && EqualNoCase(setting.value, "true")) {
          Options->Set(opt::ConvertPdf, uint8_t{1});
          if (hooks.enablePdfFilter) hooks.enablePdfFilter();
        }
        break;
    }
  }
  for (size_t i = 0; i < content.keys.size() && i < kSearchKeyCount; ++i) {
    const CommandKey& key = content.keys[i];
    wc.SearchKeys[i] = key.text;
    wc.SearchKeyClassNumbers[i] = key.classNumber;
    if (key.kind >= 0) wc.SearchKeyKinds[i] = static_cast<uint16_t>(key.kind);
    CommandLineFlags.searchKeyGiven = true;
    CommandLineFlags.keyKindValid = true;
  }
  for (const std::string& file : content.files)
    if (!FileQueue.Add(file.c_str())) ++outcome.filesRefused;
}

CommandFileOutcome ReadCommandFile(const std::string& path, const CommandFileHooks& hooks) {
  CommandFileOutcome outcome;
  WorkContext->SearchKeyClassNumbers.fill(0);
  FileQueue.Clear();
  std::string bytes;
  const ReadFileStatus status = ReadWholeFile(path, kCommandFileMaxBytes, bytes);
  outcome.opened = status == ReadFileStatus::kOk || status == ReadFileStatus::kTooLarge;
  if (outcome.opened) ApplyCommandFile(ParseCommandFile(bytes), hooks, outcome);
  return outcome;
}

}  // namespace quilor::ui
