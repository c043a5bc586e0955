// The tests that read real text find the corpus wherever the checkout
// stands: the folder QUILOR_CORPUS names first, the one beside the source
// tree without it, and a clear failure naming the folder when it is not there.
#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include <filesystem>
#include <string>

#include "../platform/temp_folder.h"
#include "support/corpus.h"

namespace quilor::testing_support {
namespace {

TEST(CorpusFolderTest, TheNamedFolderThenTheOneBesideTheSources) {
  quilor::testing::TempFolder tmp;
  std::filesystem::create_directories(tmp / "plain");
  quilor::testing::WriteWholeFile(tmp / "plain/ca01.txt", "The dog sleeps.\n");
  {
    quilor::testing::ScopedEnvironment named("QUILOR_CORPUS", tmp.path());
    std::string folder;
    EXPECT_TRUE(CorpusFolder("plain", folder));
    EXPECT_EQ(folder, tmp / "plain");
    EXPECT_EQ(CorpusFile("plain", "ca01.txt"), tmp / "plain/ca01.txt");
    // A part that is not there fails and names where it was looked for.
    const ::testing::AssertionResult missing = CorpusFolder("brown", folder);
    EXPECT_FALSE(missing);
    EXPECT_NE(std::string(missing.message()).find(tmp / "brown"), std::string::npos) << missing.message();
    EXPECT_NONFATAL_FAILURE(CorpusFile("brown", "ca01"), "no corpus files in");
  }
  quilor::testing::ScopedEnvironment unset("QUILOR_CORPUS", "");
  EXPECT_EQ(CorpusRoot(), std::string(QUILOR_SOURCE_DIR) + "/../shared/corpus");
}

}  // namespace
}  // namespace quilor::testing_support
