// The engine tests run with a home folder of their own: the user's config and
// data folders (options, Scenarios, Borders) that start-up and the tools make
// go to a temporary folder, removed at the end, never to the real home.
#include <stdlib.h>

#include <filesystem>
#include <string>

namespace {

class IsolatedHome {
 public:
  IsolatedHome() {
    char folderTemplate[] = "/tmp/quilor-tests-XXXXXX";
    if (const char* made = mkdtemp(folderTemplate)) {
      folder_ = made;
      setenv("HOME", made, 1);
      setenv("XDG_CONFIG_HOME", (folder_ + "/.config").c_str(), 1);
      setenv("XDG_DATA_HOME", (folder_ + "/.local/share").c_str(), 1);
    }
  }
  ~IsolatedHome() {
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  }
  IsolatedHome(const IsolatedHome&) = delete;
  IsolatedHome& operator=(const IsolatedHome&) = delete;

 private:
  std::string folder_;
};

const IsolatedHome home;

}  // namespace
