#include "platform/settings_store.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/read_file.h"

namespace quilor {

namespace {

std::string& OverridePath() {
  static std::string path;
  return path;
}

std::string_view CleanKey(std::string_view key) {
  while (!key.empty() && key.front() == '\\') key.remove_prefix(1);
  while (!key.empty() && key.back() == '\\') key.remove_suffix(1);
  return key;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool NeedsEscape(char c) {
  return c == '%' || c == '\r' || c == '\n' || c == '\0' || c == '=' || c == '[' || c == ']' || c == ';';
}

// Creates every missing folder of path's parent.
bool MakeParentFolders(const std::string& path) {
  for (size_t i = 1; i < path.size(); ++i) {
    if (path[i] != '/') continue;
    std::string folder = path.substr(0, i);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

}  // namespace

std::string EscapeSettingText(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (NeedsEscape(c)) {
      unsigned char u = static_cast<unsigned char>(c);
      out += '%';
      out += kHex[u >> 4];
      out += kHex[u & 15];
    } else {
      out += c;
    }
  }
  return out;
}

std::string UnescapeSettingText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

bool SettingsStore::Load(const std::string& path) {
  ini_.Parse("");
  if (path.empty()) {
    status_ = SettingsLoadStatus::kNoFolder;
    return false;
  }
  std::string text;
  switch (ReadWholeFile(path, kMaxFileSize, text)) {
    case ReadFileStatus::kOk:
      status_ = SettingsLoadStatus::kOk;
      ini_.Parse(text);
      return true;
    case ReadFileStatus::kNotFound: status_ = SettingsLoadStatus::kMissing; return true;
    case ReadFileStatus::kTooLarge: status_ = SettingsLoadStatus::kTooLarge; return false;
    default:
      // A missing parent folder is a missing store.
      if (::access(path.c_str(), F_OK) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
        status_ = SettingsLoadStatus::kMissing;
        return true;
      }
      status_ = SettingsLoadStatus::kUnreadable;
      return false;
  }
}

void SettingsStore::Parse(std::string_view text) { ini_.Parse(text); }

std::string SettingsStore::Serialise() const { return ini_.Serialise(); }

SaveResult SettingsStore::Save(const std::string& path) const {
  if (path.empty() || !MakeParentFolders(path)) {
    SaveResult r;
    r.error = path.empty() ? ENOENT : errno;
    r.step = "open";
    return r;
  }
  return SafeSave(path, Serialise());
}

SettingsLock::SettingsLock(const std::string& path)
    : lock_(path.empty() ? std::string() : (MakeParentFolders(path), path)) {}

bool SettingsStore::Read(std::string_view key, std::string_view name, std::string& value) const {
  std::string section = EscapeSettingText(CleanKey(key));
  std::string entry = EscapeSettingText(name);
  if (!ini_.HasKey(section, entry)) return false;
  value = UnescapeSettingText(ini_.GetString(section, entry, ""));
  return true;
}

void SettingsStore::Write(std::string_view key, std::string_view name, std::string_view value) {
  // Quoted so that blanks and quotation marks at either end survive.
  ini_.SetString(EscapeSettingText(CleanKey(key)), EscapeSettingText(name), "\"" + EscapeSettingText(value) + "\"");
}

bool SettingsStore::Delete(std::string_view key, std::string_view name) {
  return ini_.Remove(EscapeSettingText(CleanKey(key)), EscapeSettingText(name));
}

bool SettingsStore::DeleteKey(std::string_view key) { return ini_.RemoveSection(EscapeSettingText(CleanKey(key))); }

bool SettingsStore::KeyExists(std::string_view key) const { return ini_.HasSection(EscapeSettingText(CleanKey(key))); }

std::vector<std::string> SettingsStore::ValueNames(std::string_view key) const {
  std::vector<std::string> names = ini_.KeyNames(EscapeSettingText(CleanKey(key)));
  for (auto& n : names) n = UnescapeSettingText(n);
  return names;
}

std::string XdgBaseFolder(const char* variable, const char* underHome) {
  std::string base;
  const char* xdg = std::getenv(variable);
  if (xdg && xdg[0] == '/') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') return std::string();
    base = std::string(home) + "/" + underHome;
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base;
}

std::string DefaultSettingsFilePath() {
  const std::string base = XdgBaseFolder("XDG_CONFIG_HOME", ".config");
  return base.empty() ? base : base + "/Quilor/settings.ini";
}

std::string SettingsFilePath() { return OverridePath().empty() ? DefaultSettingsFilePath() : OverridePath(); }

void SetSettingsFilePath(const std::string& path) { OverridePath() = path; }

namespace {

// The store file as last parsed, with what identifies the file's state.
struct CachedStore {
  std::string path;
  bool valid = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = -1;
  struct timespec modified {};
  SettingsStore store;
  bool loaded = false;
  size_t parses = 0;
};

CachedStore& Cache() {
  static CachedStore cache;
  return cache;
}

// The store in use, parsed again only when the file changed.
const SettingsStore& CurrentStore(bool& loaded) {
  CachedStore& c = Cache();
  const std::string path = SettingsFilePath();
  struct stat st {};
  const bool exists = !path.empty() && ::stat(path.c_str(), &st) == 0;
  const bool same = c.valid && c.path == path &&
                    (exists ? c.size == st.st_size && c.device == st.st_dev && c.inode == st.st_ino &&
                                  c.modified.tv_sec == st.st_mtim.tv_sec && c.modified.tv_nsec == st.st_mtim.tv_nsec
                            : c.size == -1);
  if (!same) {
    c.path = path;
    c.loaded = c.store.Load(path);
    ++c.parses;
    c.valid = true;
    c.size = exists ? st.st_size : -1;
    c.device = exists ? st.st_dev : 0;
    c.inode = exists ? st.st_ino : 0;
    c.modified = exists ? st.st_mtim : timespec{};
  }
  loaded = c.loaded;
  return c.store;
}

}  // namespace

bool ReadSetting(std::string_view key, std::string_view name, std::string& value) {
  bool loaded = false;
  const SettingsStore& store = CurrentStore(loaded);
  return loaded && store.Read(key, name, value);
}

SettingsLoadStatus LastSettingsLoadStatus() {
  bool loaded = false;
  return CurrentStore(loaded).LastLoadStatus();
}

size_t SettingsParseCount() { return Cache().parses; }

namespace {

// Loads the store in use under its lock, applies change and saves it when
// the change altered it. A store that exists but cannot be read is never
// replaced.
template <typename Change>
SaveResult ChangeStore(Change change) {
  SettingsStore store;
  const std::string path = SettingsFilePath();
  SettingsLock lock(path);
  if (!store.Load(path)) {
    SaveResult r;
    r.error = path.empty() ? ENOENT : store.LastLoadStatus() == SettingsLoadStatus::kTooLarge ? EFBIG : EIO;
    r.step = "open";
    return r;
  }
  const std::string before = store.Serialise();
  if (!change(store) || store.Serialise() == before) {
    SaveResult r;
    r.ok = true;
    return r;
  }
  SaveResult saved = store.Save(path);
  Cache().valid = false;
  return saved;
}

}  // namespace

SaveResult WriteSetting(std::string_view key, std::string_view name, std::string_view value) {
  return ChangeStore([&](SettingsStore& store) {
    store.Write(key, name, value);
    return true;
  });
}

SaveResult DeleteSetting(std::string_view key, std::string_view name) {
  return ChangeStore([&](SettingsStore& store) { return store.Delete(key, name); });
}

}  // namespace quilor
