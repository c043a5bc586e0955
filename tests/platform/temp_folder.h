// A fresh folder for one test, removed with its contents after.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace quilor::testing {

class TempFolder {
 public:
  TempFolder() : TempFolder(std::filesystem::temp_directory_path()) {}
  // Under base when a folder can be made there, else under /tmp.
  explicit TempFolder(const std::filesystem::path& base) {
    for (const std::filesystem::path& folder : {base, std::filesystem::temp_directory_path()}) {
      std::string pattern = (folder / "quilor-test-XXXXXX").string();
      if (::mkdtemp(pattern.data()) != nullptr) {
        path_ = pattern;
        return;
      }
    }
    // Never a shared folder in its place: the destructor removes it whole.
    std::fprintf(stderr, "no temporary folder can be made\n");
    std::abort();
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Sets an environment variable for the life of the object, then puts the
// old value back (or removes it).
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value) : ScopedEnvironment(name) {
    ::setenv(name, value.c_str(), 1);
  }
  // The variable unset for the scope.
  explicit ScopedEnvironment(const char* name) : name_(name) {
    if (const char* old = std::getenv(name)) {
      had_ = true;
      old_ = old;
    }
    ::unsetenv(name);
  }
  ~ScopedEnvironment() {
    if (had_) ::setenv(name_, old_.c_str(), 1);
    else ::unsetenv(name_);
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteWholeFile(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << data;
}

}  // namespace quilor::testing
