// quilor-style on four short texts, each written for one style, analysed
// with the dictionaries of the build and their calibrated norms.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/stream_support.h"
#include "tests/support/run_command.h"

namespace {

std::string FirstLineOf(const std::string& file) {
  const std::string command = std::string(QUILOR_BINARY_DIR) + "/tools/quilor-style --dico " + QUILOR_BINARY_DIR +
                              "/Dico " + std::string(QUILOR_TEST_DATA) + "/engine/style/" + file + " 2>/dev/null";
  const std::string out = quilor::testing::RunCommand(command).out;
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

using StyleRun = quilor::testing::CommandRun;

StyleRun RunStyle(const std::string& args, const std::string& errPath) {
  const std::string command = "timeout 60 " + std::string(QUILOR_BINARY_DIR) + "/tools/quilor-style --dico " +
                              QUILOR_BINARY_DIR + "/Dico " + args + " 2>" + errPath;
  return quilor::testing::RunCommand(command);
}

TEST(QuilorStyle, UnreadableFilesAreReportedWithTheirCodeNeverCountedAsShortTexts) {
  quilor::testing_support::TempFolder folder;
  const std::string err = folder.Path("err");
  ASSERT_EQ(::mkfifo(folder.Path("pipe.txt").c_str(), 0600), 0);
  std::filesystem::create_directory(folder.Path("folder.txt"));
  for (const std::string name : {"missing.txt", "pipe.txt", "folder.txt"}) {
    StyleRun r = RunStyle("'" + folder.Path(name) + "'", err);
    EXPECT_EQ(r.exitCode, 66) << name;
    EXPECT_NE(quilor::testing_support::ReadFileBytes(err).find("cannot read " + folder.Path(name)), std::string::npos)
        << name << ": " << quilor::testing_support::ReadFileBytes(err);
    EXPECT_EQ(r.out, "") << name;
  }
}

TEST(QuilorStyle, NamesKeepToOneFieldAndCalibrationIsSavedSafely) {
  if (!std::filesystem::exists(std::string(QUILOR_BINARY_DIR) + "/Dico/englex.sv8"))
    GTEST_SKIP() << "no dictionaries in the build";
  quilor::testing_support::TempFolder folder;
  const std::string err = folder.Path("err");
  const std::string odd =
      folder.Write("two\tfields\nand a line.txt", "The garden was quiet and the children played.\n");
  StyleRun r = RunStyle("'" + odd + "'", err);
  ASSERT_EQ(r.exitCode, 0) << quilor::testing_support::ReadFileBytes(err);
  EXPECT_EQ(r.out.rfind(folder.Path("two\\tfields\\nand a line.txt") + "\t-\t", 0), 0u) << r.out;

  // A corpus of one tagged file; the norms go through the safe save, never
  // through a link planted beside the output.
  std::filesystem::create_directory(folder.Path("corpus"));
  folder.Write("corpus/cats.txt", "f1 news\n../escape news\n");
  folder.Write("corpus/f1", "The/at garden/nn was/bedz quiet/jj ./.\n");
  const std::string victim = folder.Write("victim", "precious");
  const std::string out = folder.Path("norms.txt");
  std::filesystem::create_symlink(victim, out + ".tmp");
  r = RunStyle("--corpus " + folder.Path("corpus") + " --calibrate " + out, err);
  ASSERT_EQ(r.exitCode, 0) << quilor::testing_support::ReadFileBytes(err);
  EXPECT_EQ(quilor::testing_support::ReadFileBytes(victim), "precious");
  EXPECT_NE(quilor::testing_support::ReadFileBytes(out).find("# Style norms"), std::string::npos);
}

}  // namespace
