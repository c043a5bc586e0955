#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "import/read_ahead.h"
#include "support/stream_support.h"

namespace quilor {
namespace {

using namespace testing_support;

std::string Pattern(size_t n, int seed) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 31 + static_cast<size_t>(seed)) & 0xFF);
  return s;
}

// Takes the whole file in blocks of blockSize; returns what was read and the block count.
std::string TakeAll(TThreadDeLectureDisque& thread, int64_t size, size_t blockSize, int& blocks) {
  std::string out;
  std::vector<unsigned char> block(kReadAheadBlockSize);
  blocks = 0;
  for (int64_t left = size; left > 0;) {
    size_t n = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(blockSize)));
    if (!thread.TakeBlockFromThread(block.data(), n)) break;
    out.append(reinterpret_cast<char*>(block.data()), n);
    left -= static_cast<int64_t>(n);
    ++blocks;
  }
  return out;
}

TEST(ReadAheadThread, BlocksOfAFileArriveWholeAndInOrder) {
  TempFolder folder;
  TThreadDeLectureDisque thread;
  ASSERT_TRUE(thread.Start());
  struct Case {
    size_t size;
    int blocks;
  } cases[] = {{65536, 1}, {65537, 2}, {300001, 5}, {1, 1}};
  for (const auto& c : cases) {
    std::string bytes = Pattern(c.size, static_cast<int>(c.size));
    std::string path = folder.Write("f" + std::to_string(c.size), bytes);
    int64_t size = 0;
    ASSERT_TRUE(thread.OpenReadAheadFile(path.c_str(), size));
    ASSERT_EQ(size, static_cast<int64_t>(c.size));
    int blocks = 0;
    EXPECT_EQ(TakeAll(thread, size, kReadAheadBlockSize, blocks), bytes) << c.size;
    EXPECT_EQ(blocks, c.blocks);
    // Nothing is left: a further take fails and the thread reads nothing more.
    unsigned char extra[1];
    EXPECT_FALSE(thread.TakeBlockFromThread(extra, 1));
    thread.CloseReadAheadFile();
  }
  thread.Stop();
  EXPECT_FALSE(thread.Running());
}

TEST(ReadAheadThread, ReadsTheNextBlockWhileTheLoaderWorks) {
  TempFolder folder;
  std::string bytes = Pattern(4 * 65536, 7);
  std::string path = folder.Write("big", bytes);
  TThreadDeLectureDisque thread;
  ASSERT_TRUE(thread.Start());
  int64_t size = 0;
  ASSERT_TRUE(thread.OpenReadAheadFile(path.c_str(), size));
  std::vector<unsigned char> block(65536);
  // The first block is read directly, or by the thread when it was not yet
  // waiting at the open; either way the following block is read while the
  // loader works on this one.
  ASSERT_TRUE(thread.TakeBlockFromThread(block.data(), 65536));
  for (int i = 0; i < 2000 && thread.BlocksReadAhead() == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_GE(thread.BlocksReadAhead(), 1);
  EXPECT_LE(thread.BlocksReadAhead(), 2);
  int blocks = 0;
  EXPECT_EQ(TakeAll(thread, size - 65536, 65536, blocks), bytes.substr(65536));
  EXPECT_EQ(blocks, 3);
}

TEST(ReadAheadThread, SmallBlocksAndReopening) {
  TempFolder folder;
  std::string first = Pattern(1000, 1);
  std::string second = Pattern(999, 2);
  std::string p1 = folder.Write("one", first);
  std::string p2 = folder.Write("two", second);
  TThreadDeLectureDisque thread;
  ASSERT_TRUE(thread.Start());
  int64_t size = 0;
  ASSERT_TRUE(thread.OpenReadAheadFile(p1.c_str(), size, 7));
  int blocks = 0;
  EXPECT_EQ(TakeAll(thread, 70, 7, blocks), first.substr(0, 70));
  // Opening a second document while the first is open closes the first.
  ASSERT_TRUE(thread.OpenReadAheadFile(p2.c_str(), size, 10));
  EXPECT_EQ(size, 999);
  EXPECT_EQ(TakeAll(thread, size, 10, blocks), second);
  EXPECT_EQ(blocks, 100);
}

TEST(ReadAheadThread, RefusesWhatIsNoRegularFileAndSurvivesAShrinkingFile) {
  TempFolder folder;
  TThreadDeLectureDisque thread;
  ASSERT_TRUE(thread.Start());
  int64_t size = 5;
  EXPECT_FALSE(thread.OpenReadAheadFile(folder.Path("missing").c_str(), size));
  EXPECT_EQ(size, 0);
  std::filesystem::create_directory(folder.Path("dir"));
  EXPECT_FALSE(thread.OpenReadAheadFile(folder.Path("dir").c_str(), size));
  ASSERT_EQ(mkfifo(folder.Path("fifo").c_str(), 0600), 0);
  EXPECT_FALSE(thread.OpenReadAheadFile(folder.Path("fifo").c_str(), size));  // and does not hang
  EXPECT_FALSE(thread.FileOpen());
  unsigned char block[16];
  EXPECT_FALSE(thread.TakeBlockFromThread(block, 1));

  std::string path = folder.Write("shrinks", Pattern(3 * 65536, 3));
  ASSERT_TRUE(thread.OpenReadAheadFile(path.c_str(), size));
  std::filesystem::resize_file(path, 65536 + 10);
  std::vector<unsigned char> big(65536);
  EXPECT_TRUE(thread.TakeBlockFromThread(big.data(), 65536));
  bool failed = false;
  for (int i = 0; i < 3 && !failed; ++i) failed = !thread.TakeBlockFromThread(big.data(), 65536);
  EXPECT_TRUE(failed);
}

TEST(ReadAheadThread, StartsAndStopsCleanly) {
  TempFolder folder;
  std::string path = folder.Write("f", Pattern(200000, 9));
  for (int round = 0; round < 20; ++round) {
    TThreadDeLectureDisque thread;
    ASSERT_TRUE(thread.Start());
    if (round % 2) {
      int64_t size = 0;
      ASSERT_TRUE(thread.OpenReadAheadFile(path.c_str(), size));
      std::vector<unsigned char> block(65536);
      ASSERT_TRUE(thread.TakeBlockFromThread(block.data(), 65536));
    }
    // Stopped by the destructor, with or without a file open and a read under way.
  }
  ASSERT_TRUE(CreateReadAheadThread());
  EXPECT_TRUE(ReadAheadThreadRunning());
  EXPECT_TRUE(FreeReadAheadThread());
  EXPECT_FALSE(ReadAheadThreadRunning());
  EXPECT_FALSE(FreeReadAheadThread());
}

}  // namespace
}  // namespace quilor
