// The user's settings store: string values under keys named like
// "Software\Brevalia\Ontologies\V8.3\en", kept as profile text in
// "<config folder>/Quilor/settings.ini", where the config folder is
// $XDG_CONFIG_HOME, else ~/.config. Each key is a section; its values are
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

class SettingsStore {
 public:
  // Reads the store file; a missing file gives an empty store and True.
  // False when the file exists but cannot be read (the store is then empty).
  bool Load(const std::string& path);
  void Parse(std::string_view text);
  // Writes the store through the safe save, creating its folder when needed.
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
};

// The store file in use: the path set by SetSettingsFilePath, else the
// default one in the user's config folder.
std::string SettingsFilePath();
std::string DefaultSettingsFilePath();
// Points the store elsewhere (tests, tools); an empty path goes back to the default.
void SetSettingsFilePath(const std::string& path);

// One-call access to the store file in use (each call reads the file;
// writes go through the safe save).
bool ReadSetting(std::string_view key, std::string_view name, std::string& value);
SaveResult WriteSetting(std::string_view key, std::string_view name, std::string_view value);
SaveResult DeleteSetting(std::string_view key, std::string_view name);

// Escaping of the store's texts (exposed for tests).
std::string EscapeSettingText(std::string_view text);
std::string UnescapeSettingText(std::string_view text);

}  // namespace quilor
