#include <gtest/gtest.h>

#include "platform/compound_file.h"
#include "support/office_builders.h"

namespace quilor {
namespace {

using testing::BuildCompoundFile;
using testing::Put32;

std::string Bytes(size_t n, char seed) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>(seed + i % 23);
  return s;
}

TEST(CompoundFile, ReadsSmallAndLargeStreamsByNameInAnyCase) {
  std::string small = Bytes(100, 'a'), large = Bytes(9000, 'A'), edge = Bytes(4096, '0');
  std::string file = BuildCompoundFile({{"Small", small}, {"Large", large}, {"Edge", edge}, {"Empty", ""}});
  CompoundFile cf;
  ASSERT_TRUE(cf.Open(file)) << cf.ErrorText();
  EXPECT_EQ(cf.Children(CompoundFile::kRoot).size(), 4u);
  std::string out;
  ASSERT_TRUE(cf.ReadStream("small", out));
  EXPECT_EQ(out, small);
  ASSERT_TRUE(cf.ReadStream("LARGE", out));
  EXPECT_EQ(out, large);
  ASSERT_TRUE(cf.ReadStream("Edge", out));
  EXPECT_EQ(out, edge);
  ASSERT_TRUE(cf.ReadStream("Empty", out));
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(cf.ReadStream("Missing", out));
  EXPECT_EQ(cf.Error(), CompoundError::kNotFound);
}

TEST(CompoundFile, RefusesWhatIsNoCompoundFile) {
  CompoundFile cf;
  EXPECT_FALSE(cf.Open("plain text that is long enough to be a header? no."));
  EXPECT_EQ(cf.Error(), CompoundError::kNotCompound);
  std::string file = BuildCompoundFile({{"A", "x"}});
  std::string badShift = file;
  badShift[30] = 20;  // 1 MB sectors
  EXPECT_FALSE(cf.Open(badShift));
  EXPECT_FALSE(cf.Open(file.substr(0, 300)));
  EXPECT_FALSE(cf.OpenFile("/nonexistent/file.doc"));
  EXPECT_EQ(cf.Error(), CompoundError::kReadError);
}

TEST(CompoundFile, SectorChainCyclesAndEscapesEndAsErrors) {
  std::string large = Bytes(5000, 'A');
  std::string file = BuildCompoundFile({{"Large", large}});
  CompoundFile cf;
  ASSERT_TRUE(cf.Open(file));
  uint32_t start = cf.Entries()[cf.Find("Large")].start;
  std::string out;

  // A link back to the stream's first sector: a cycle.
  std::string cycle = file;
  Put32(cycle, 512 + 4 * (start + 3), start);
  ASSERT_TRUE(cf.Open(cycle));
  EXPECT_FALSE(cf.ReadStream("Large", out));
  EXPECT_EQ(cf.Error(), CompoundError::kBadChain);
  EXPECT_LE(out.size(), large.size());
  EXPECT_EQ(out, large.substr(0, out.size()));  // what was read is kept

  // A link past the end of the file.
  std::string escape = file;
  Put32(escape, 512 + 4 * start, 0x7FFFFFF0);
  ASSERT_TRUE(cf.Open(escape));
  EXPECT_FALSE(cf.ReadStream("Large", out));

  // The directory's own chain loops on itself.
  std::string dirLoop = file;
  uint32_t dir = 0;
  for (int i = 0; i < 4; ++i) dir |= static_cast<uint32_t>(static_cast<unsigned char>(file[48 + i])) << (8 * i);
  Put32(dirLoop, 512 + 4 * dir, dir);
  EXPECT_FALSE(cf.Open(dirLoop));
  EXPECT_EQ(cf.Error(), CompoundError::kBadDirectory);

  // A stream that claims more bytes than its chain holds.
  std::string tooLong = file;
  size_t entry1 = (dir + 1) * 512 + 128;
  Put32(tooLong, entry1 + 120, 0x7FFFFFFF);
  ASSERT_TRUE(cf.Open(tooLong));
  EXPECT_FALSE(cf.ReadStream("Large", out));
  EXPECT_LE(out.size(), file.size());
}

TEST(CompoundFile, DirectoryTreeLoopsAndTruncationDoNotHang) {
  std::string file = BuildCompoundFile({{"One", "1"}, {"Two", "2"}, {"Three", "3"}});
  CompoundFile cf;
  ASSERT_TRUE(cf.Open(file));
  uint32_t dir = 0;
  for (int i = 0; i < 4; ++i) dir |= static_cast<uint32_t>(static_cast<unsigned char>(file[48 + i])) << (8 * i);
  // The third entry's right sibling points back to the first.
  std::string loop = file;
  Put32(loop, (dir + 1) * 512 + 3 * 128 + 72, 1);
  Put32(loop, (dir + 1) * 512 + 1 * 128 + 68, 2);  // and a left link into the middle
  ASSERT_TRUE(cf.Open(loop));
  EXPECT_EQ(cf.Children(CompoundFile::kRoot).size(), 3u);

  // The file cut inside the mini stream: the header still reads, the stream does not.
  std::string cut = file.substr(0, file.size() - 512);
  if (cf.Open(cut)) {
    std::string out;
    cf.ReadStream("Three", out);
    EXPECT_LE(out.size(), 1u);
  }
}

}  // namespace
}  // namespace quilor
