// The user's settings store: string values under keys named like
// "Software\Brevalia\Ontologies\V8.3\en", kept as profile text in
// "<config folder>/Quilor/settings.ini", where the config folder is
// $XDG_CONFIG_HOME, else ~/.config; with neither usable there is no store
// (never a shared folder such as /tmp). Each key is a section; its values are
// "name=value" lines. Key and value names compare ignoring ASCII case, and a
// key's leading and trailing backslashes do not count. Values are stored
// byte for byte as given (quoted, with '%', line ends, NUL, '=', '[', ']'
// and ';' written as %XX), so any text comes back as it went in.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/ini_file.h"
#include "platform/safe_save.h"

namespace quilor {

enum class SettingsLoadStatus { kOk, kMissing, kUnreadable, kTooLarge, kNoFolder };

class SettingsStore {
 public:
  // The largest store file accepted: a larger one is not read (nor replaced).
  static constexpr size_t kMaxFileSize = size_t{4} << 20;

  // Reads the store file; a missing file gives an empty store and True.
  // False when the file exists but cannot be read or is larger than
  // kMaxFileSize, or when path is empty (the store is then empty).
  bool Load(const std::string& path);
  SettingsLoadStatus LastLoadStatus() const { return status_; }
  void Parse(std::string_view text);
  // Writes the store through the safe save, creating its folder when needed.
  // Callers that read, change and write the store hold a SettingsLock.
  SaveResult Save(const std::string& path) const;
  std::string Serialise() const;

  bool Read(std::string_view key, std::string_view name, std::string& value) const;
  void Write(std::string_view key, std::string_view name, std::string_view value);
  bool Delete(std::string_view key, std::string_view name);
  bool DeleteKey(std::string_view key);
  bool KeyExists(std::string_view key) const;
  std::vector<std::string> ValueNames(std::string_view key) const;

 private:
  IniFile ini_;
  SettingsLoadStatus status_ = SettingsLoadStatus::kMissing;
};

// Held around a read-modify-write of the store file by one process; other
// processes that change the store wait for it.
class SettingsLock {
 public:
  explicit SettingsLock(const std::string& path);
  bool Locked() const { return lock_.Locked(); }

 private:
  FileLock lock_;
};

// The store file in use: the path set by SetSettingsFilePath, else the
// default one in the user's config folder; "" when there is none (neither
// XDG_CONFIG_HOME nor HOME names an absolute folder).
std::string SettingsFilePath();
std::string DefaultSettingsFilePath();
// The base folder of an XDG kind: $<variable> when it names an absolute
// folder, else $HOME/<underHome>; "" when neither is usable. No slash ends it.
std::string XdgBaseFolder(const char* variable, const char* underHome);
// Points the store elsewhere (tests, tools); an empty path goes back to the default.
void SetSettingsFilePath(const std::string& path);

// One-call access to the store file in use. Reads parse the file once and
// again only when it changed on disk (its size, time or identity); writes
// take the store's lock, read it afresh, and write it through the safe save
// only when the change alters it.
bool ReadSetting(std::string_view key, std::string_view name, std::string& value);
SaveResult WriteSetting(std::string_view key, std::string_view name, std::string_view value);
SaveResult DeleteSetting(std::string_view key, std::string_view name);
// The status of the last load of the store file in use (for the messages
// of the callers: too large, unreadable, no folder).
SettingsLoadStatus LastSettingsLoadStatus();
// How often the store file in use has been parsed (for tests).
size_t SettingsParseCount();

// Escaping of the store's texts (exposed for tests).
std::string EscapeSettingText(std::string_view text);
std::string UnescapeSettingText(std::string_view text);

}  // namespace quilor
