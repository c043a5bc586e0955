// quilor-style on four short texts, each written for one style, analysed
// with the dictionaries of the build and their calibrated norms.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

std::string FirstLineOf(const std::string& file) {
  const std::string command = std::string(QUILOR_BINARY_DIR) + "/tools/quilor-style --dico " + QUILOR_BINARY_DIR +
                              "/Dico " + std::string(QUILOR_TEST_DATA) + "/engine/style/" + file + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return "";
  std::string out;
  char buffer[4096];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
  pclose(pipe);
  return out.substr(0, out.find('\n'));
}

TEST(QuilorStyle, EachStyleIsFoundOnATextWrittenForIt) {
  if (!std::filesystem::exists(std::string(QUILOR_BINARY_DIR) + "/Dico/englex.sv8"))
    GTEST_SKIP() << "no dictionaries in the build";
  const std::pair<const char*, const char*> cases[] = {{"argumentative", "Style rather argumentative"},
                                                       {"narrative", "Style rather narrative"},
                                                       {"enunciative", "Style rather enunciative"},
                                                       {"descriptive", "Style rather descriptive"}};
  for (const auto& [name, finding] : cases) {
    const std::string line = FirstLineOf(std::string(name) + ".txt");
    // name, category, words, then the findings, the style first.
    size_t tab = 0;
    for (int i = 0; i < 3 && tab != std::string::npos; ++i) tab = line.find('\t', tab + 1);
    ASSERT_NE(tab, std::string::npos) << line;
    EXPECT_EQ(line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1), finding) << line;
  }
}

}  // namespace
