// Profile (INI) files: "[section]" lines and "key=value" lines.
//
// Reading follows the profile interface the program's files were written
// for: section and key names compare ignoring ASCII case, the first section
// and the first key of a name win, names and values lose their surrounding
// blanks, a value quoted at both ends with the same quotation mark loses the
// quotes, lines starting with ';' are comments, lines before the first
// section are ignored. Any bytes are accepted; a NUL byte ends its line.
// Values are kept as written (quotes included) so that a rewrite gives them
// back unchanged; the quotes are taken off when a value is read. Look-ups go
// through hash tables: parsing and reading are linear in the file's size.
#pragma once

#include <cstddef>
#include <string>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quilor {

class IniFile {
 public:
  // Files larger than this are refused by Load.
  static constexpr size_t kMaxFileSize = 16u << 20;

  // Reads and parses the file. False (and an empty profile) when the file
  // cannot be read or is larger than kMaxFileSize.
  bool Load(const std::string& path);
  // Replaces the contents by the profile in text.
  void Parse(std::string_view text);

  // The value of key in section, else def with its trailing blanks removed;
  // cut to capacity - 1 characters when capacity is not 0, as a caller's
  // fixed buffer of that size would hold it.
  std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                        size_t capacity = 0) const;
  // The leading decimal number of the value (0 when it has none), def when
  // the key is absent. Out-of-range numbers are clamped.
  int GetInt(std::string_view section, std::string_view key, int def) const;
  // A yes/no value of the configuration files: yes when its first three
  // characters, lower-cased, are "oui" or "yes".
  bool GetYesNo(std::string_view section, std::string_view key, bool def) const;

  bool HasSection(std::string_view section) const;
  bool HasKey(std::string_view section, std::string_view key) const;
  std::vector<std::string> SectionNames() const;
  std::vector<std::string> KeyNames(std::string_view section) const;

  // The value as written in the file, quotes included.
  std::optional<std::string> GetRaw(std::string_view section, std::string_view key) const;

  // Editing (used by the settings store, which writes its own escaped text).
  // The value is stored as given (quotes included) and written back so.
  void SetString(std::string_view section, std::string_view key, std::string_view value);
  bool Remove(std::string_view section, std::string_view key);
  bool RemoveSection(std::string_view section);
  // "[section]" and "key=value" lines, LF ends, sections in their order.
  std::string Serialise() const;

 private:
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;  // key, raw value
    std::unordered_map<std::string, size_t> index;             // lower-cased key -> entry
    void Reindex();
  };
  const Section* FindSection(std::string_view name) const;
  Section* FindSection(std::string_view name);
  Section& AddSection(std::string_view name);
  const std::string* FindRaw(std::string_view section, std::string_view key) const;
  std::optional<std::string_view> FindValue(std::string_view section, std::string_view key) const;

  std::vector<Section> sections_;
  std::unordered_map<std::string, size_t> sectionIndex_;  // lower-cased name -> section
};

// Case-insensitive ASCII comparison used for profile names.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Reads one value of a profile file in a single call.
std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view def,
                                    size_t capacity, const std::string& path);

}  // namespace quilor
