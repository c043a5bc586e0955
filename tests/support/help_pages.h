// A help page in an install tree of the test's own, and the programs started
// meanwhile, recorded instead of run: what a Help button opened.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/files.h"
#include "core/options.h"
#include "support/stream_support.h"

namespace quilor::testing_support {

// The programs started meanwhile, recorded instead of run.
class ProgramsStarted {
 public:
  ProgramsStarted() {
    SetProgramLauncher([this](const std::vector<std::string>& argv, const std::string&) {
      calls.push_back(argv);
      return 0;
    });
  }
  ~ProgramsStarted() { SetProgramLauncher({}); }
  ProgramsStarted(const ProgramsStarted&) = delete;
  ProgramsStarted& operator=(const ProgramsStarted&) = delete;
  // The last argument of each (the file, folder or page opened).
  std::vector<std::string> Files() const {
    std::vector<std::string> files;
    for (const std::vector<std::string>& argv : calls) files.push_back(argv.back());
    return files;
  }
  std::vector<std::vector<std::string>> calls;
};

class HelpPageOpened {
 public:
  // page: the help page's file name ("964.html").
  explicit HelpPageOpened(const std::string& page) : installRoot_(WorkContext->InstallRoot) {
    std::filesystem::create_directories(root_.Path("Help"));
    root_.Write("Help/" + page, "help");
    WorkContext->InstallRoot = root_.Path("");
  }
  ~HelpPageOpened() { WorkContext->InstallRoot = installRoot_; }
  HelpPageOpened(const HelpPageOpened&) = delete;
  HelpPageOpened& operator=(const HelpPageOpened&) = delete;
  // The last argument of every program started.
  std::vector<std::string> Opened() const { return programs_.Files(); }

 private:
  TempFolder root_;
  std::string installRoot_;
  ProgramsStarted programs_;
};

// The pages opened while action ran (page, put in place, or another), by file name.
inline std::vector<std::string> HelpPagesOpenedBy(const std::string& page, const std::function<void()>& action) {
  HelpPageOpened pages(page);
  action();
  std::vector<std::string> names;
  for (const std::string& opened : pages.Opened()) names.push_back(std::filesystem::path(opened).filename().string());
  return names;
}

}  // namespace quilor::testing_support
