#include "platform/ini_file.h"

#include <climits>
#include <cstdint>

#include "platform/read_file.h"

namespace quilor {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

std::string LowerKey(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AsciiLower(c);
  return out;
}

// A value quoted at both ends with the same quotation mark loses the quotes.
std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

bool IniFile::Load(const std::string& path) {
  sections_.clear();
  std::string text;
  if (ReadWholeFile(path, kMaxFileSize, text) != ReadFileStatus::kOk) return false;
  Parse(text);
  return true;
}

void IniFile::Parse(std::string_view text) {
  sections_.clear();
  sectionIndex_.clear();
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  size_t current = SIZE_MAX;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = pos;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r' && text[end] != '\0') ++end;
    std::string_view line = Trim(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      line.remove_prefix(1);
      size_t close = line.find(']');
      if (close != std::string_view::npos) line = line.substr(0, close);
      std::string_view name = Trim(line);
      auto found = sectionIndex_.find(LowerKey(name));
      if (found != sectionIndex_.end()) {
        current = found->second;
      } else {
        AddSection(name);
        current = sections_.size() - 1;
      }
      continue;
    }
    if (current == SIZE_MAX) continue;
    size_t eq = line.find('=');
    std::string_view key = Trim(line.substr(0, eq));
    std::string_view value = eq == std::string_view::npos ? std::string_view() : Trim(line.substr(eq + 1));
    if (key.empty()) continue;
    Section& s = sections_[current];
    if (s.index.emplace(LowerKey(key), s.entries.size()).second)
      s.entries.emplace_back(std::string(key), std::string(value));
  }
}

void IniFile::Section::Reindex() {
  index.clear();
  for (size_t i = 0; i < entries.size(); ++i) index.emplace(LowerKey(entries[i].first), i);
}

IniFile::Section& IniFile::AddSection(std::string_view name) {
  name = Trim(name);
  sectionIndex_.emplace(LowerKey(name), sections_.size());
  sections_.push_back(Section{std::string(name), {}, {}});
  return sections_.back();
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
  auto found = sectionIndex_.find(LowerKey(Trim(name)));
  return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

IniFile::Section* IniFile::FindSection(std::string_view name) {
  return const_cast<Section*>(static_cast<const IniFile*>(this)->FindSection(name));
}

const std::string* IniFile::FindRaw(std::string_view section, std::string_view key) const {
  const Section* s = FindSection(section);
  if (!s) return nullptr;
  auto found = s->index.find(LowerKey(Trim(key)));
  return found == s->index.end() ? nullptr : &s->entries[found->second].second;
}

std::optional<std::string_view> IniFile::FindValue(std::string_view section, std::string_view key) const {
  const std::string* raw = FindRaw(section, key);
  if (!raw) return std::nullopt;
  return Unquote(*raw);
}

std::optional<std::string> IniFile::GetRaw(std::string_view section, std::string_view key) const {
  const std::string* raw = FindRaw(section, key);
  if (!raw) return std::nullopt;
  return *raw;
}

std::string IniFile::GetString(std::string_view section, std::string_view key, std::string_view def,
                               size_t capacity) const {
  std::optional<std::string_view> v = FindValue(section, key);
  std::string result;
  if (v) {
    result = std::string(*v);
  } else {
    while (!def.empty() && IsBlank(def.back())) def.remove_suffix(1);
    result = std::string(def);
  }
  if (capacity > 0 && result.size() > capacity - 1) result.resize(capacity - 1);
  return result;
}

int IniFile::GetInt(std::string_view section, std::string_view key, int def) const {
  std::optional<std::string_view> v = FindValue(section, key);
  if (!v) return def;
  std::string_view s = *v;
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  long long n = 0;
  for (char c : s) {
    if (c < '0' || c > '9') break;
    n = n * 10 + (c - '0');
    if (n > static_cast<long long>(INT_MAX) + 1) n = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) n = -n;
  if (n > INT_MAX) n = INT_MAX;
  if (n < INT_MIN) n = INT_MIN;
  return static_cast<int>(n);
}

bool IniFile::GetYesNo(std::string_view section, std::string_view key, bool def) const {
  std::optional<std::string_view> v = FindValue(section, key);
  if (!v) return def;
  std::string head(v->substr(0, 3));
  for (char& c : head) c = AsciiLower(c);
  return head == "oui" || head == "yes";
}

bool IniFile::HasSection(std::string_view section) const { return FindSection(section) != nullptr; }

bool IniFile::HasKey(std::string_view section, std::string_view key) const { return FindRaw(section, key) != nullptr; }

std::vector<std::string> IniFile::SectionNames() const {
  std::vector<std::string> names;
  for (const auto& s : sections_) names.push_back(s.name);
  return names;
}

std::vector<std::string> IniFile::KeyNames(std::string_view section) const {
  std::vector<std::string> names;
  if (const Section* s = FindSection(section))
    for (const auto& e : s->entries) names.push_back(e.first);
  return names;
}

void IniFile::SetString(std::string_view section, std::string_view key, std::string_view value) {
  Section* s = FindSection(section);
  if (!s) s = &AddSection(section);
  key = Trim(key);
  auto [it, added] = s->index.emplace(LowerKey(key), s->entries.size());
  if (added) s->entries.emplace_back(std::string(key), std::string(value));
  else s->entries[it->second].second = std::string(value);
}

bool IniFile::Remove(std::string_view section, std::string_view key) {
  Section* s = FindSection(section);
  if (!s) return false;
  auto found = s->index.find(LowerKey(Trim(key)));
  if (found == s->index.end()) return false;
  s->entries.erase(s->entries.begin() + static_cast<std::ptrdiff_t>(found->second));
  s->Reindex();
  return true;
}

bool IniFile::RemoveSection(std::string_view section) {
  auto found = sectionIndex_.find(LowerKey(Trim(section)));
  if (found == sectionIndex_.end()) return false;
  sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(found->second));
  sectionIndex_.clear();
  for (size_t i = 0; i < sections_.size(); ++i) sectionIndex_.emplace(LowerKey(sections_[i].name), i);
  return true;
}

std::string IniFile::Serialise() const {
  std::string out;
  for (const auto& s : sections_) {
    out += '[';
    out += s.name;
    out += "]\n";
    for (const auto& e : s.entries) {
      out += e.first;
      out += '=';
      out += e.second;
      out += '\n';
    }
    out += '\n';
  }
  return out;
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view def,
                                    size_t capacity, const std::string& path) {
  IniFile ini;
  ini.Load(path);
  return ini.GetString(section, key, def, capacity);
}

}  // namespace quilor
