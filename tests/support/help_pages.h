// A help page in an install tree of the test's own, and the programs started
// meanwhile, recorded instead of run: what a Help button opened.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/files.h"
#include "core/options.h"
#include "support/stream_support.h"

namespace quilor::testing_support {

class HelpPageOpened {
 public:
  // page: the help page's file name ("964.html").
  explicit HelpPageOpened(const std::string& page) : installRoot_(WorkContext->InstallRoot) {
    std::filesystem::create_directories(root_.Path("Help"));
    root_.Write("Help/" + page, "help");
    WorkContext->InstallRoot = root_.Path("");
    SetProgramLauncher([this](const std::vector<std::string>& argv, const std::string&) {
      opened_.push_back(argv.back());
      return 0;
    });
  }
  ~HelpPageOpened() {
    SetProgramLauncher({});
    WorkContext->InstallRoot = installRoot_;
  }
  HelpPageOpened(const HelpPageOpened&) = delete;
  HelpPageOpened& operator=(const HelpPageOpened&) = delete;
  // The last argument of every program started.
  const std::vector<std::string>& Opened() const { return opened_; }

 private:
  TempFolder root_;
  std::string installRoot_;
  std::vector<std::string> opened_;
};

}  // namespace quilor::testing_support
