// Every help context the windows open has its page in resources/help.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "mainwindow/explain_pages.h"

namespace quilor::ui {
namespace {

namespace fs = std::filesystem;

TEST(HelpPagesTest, EveryContextTheWindowsOpenHasAPage) {
  const fs::path help = fs::path(QUILOR_SOURCE_DIR) / "resources/help";
  ASSERT_TRUE(fs::exists(help / "index.html"));
  // Literal contexts and named ones (k...HelpContext = n, kHelp... = n).
  const std::regex literal(R"(ShowHelpContext\s*\(\s*(\d+)\s*\))");
  const std::regex named(R"(\bk(?:\w*HelpContext\w*|Help\w*)\s*=\s*(\d+)\s*;)");
  std::set<int> contexts;
  for (int line = -1; line <= 12; ++line) contexts.insert(ResultTypeHelpContext(line));
  for (const char* dir : {"mainwindow", "scenario", "output"}) {
    const fs::path root = fs::path(QUILOR_SOURCE_DIR) / dir;
    if (!fs::exists(root)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
      if (entry.path().extension() != ".cpp" && entry.path().extension() != ".h") continue;
      std::ifstream in(entry.path());
      std::stringstream ss;
      ss << in.rdbuf();
      const std::string text = ss.str();
      for (const auto& re : {literal, named})
        for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it)
          contexts.insert(std::stoi((*it)[1]));
    }
  }
  EXPECT_GT(contexts.size(), 5u);
  std::string missing;
  for (int c : contexts)
    if (c > 0 && !fs::exists(help / (std::to_string(c) + ".html"))) missing += std::to_string(c) + " ";
  EXPECT_TRUE(missing.empty()) << "help contexts without a page: " << missing;
  // The contents page links every page.
  std::ifstream index(help / "index.html");
  std::stringstream ss;
  ss << index.rdbuf();
  for (const auto& entry : fs::directory_iterator(help)) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() == ".html" && name != "index.html") {
      EXPECT_NE(ss.str().find("href=\"" + name + "\""), std::string::npos) << name;
    }
  }
}

}  // namespace
}  // namespace quilor::ui
