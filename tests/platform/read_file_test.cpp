#include "platform/read_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/borders.h"
#include "core/files.h"
#include "core/messages.h"
#include "core/options.h"
#include "platform/ini_file.h"
#include "tests/platform/temp_folder.h"

namespace quilor {
namespace {

TEST(ReadWholeFile, SizesAndKindsOfFiles) {
  testing::TempFolder dir;
  std::string text = "stale";
  testing::WriteWholeFile(dir / "f", std::string(20000, 'z'));
  EXPECT_EQ(ReadWholeFile(dir / "f", 20000, text), ReadFileStatus::kOk);
  EXPECT_EQ(text.size(), 20000u);
  EXPECT_EQ(ReadWholeFile(dir / "f", 9000, text), ReadFileStatus::kTooLarge);
  EXPECT_EQ(text.size(), 9000u);
  EXPECT_EQ(ReadWholeFile(dir / "none", 10, text), ReadFileStatus::kNotFound);
  EXPECT_TRUE(text.empty());
  EXPECT_EQ(ReadWholeFile(dir.path(), 10, text), ReadFileStatus::kFailed);
  EXPECT_EQ(ReadWholeFile("/dev/zero", 10, text), ReadFileStatus::kFailed);
}

TEST(ReadWholeFile, BytesOfLargeFilesInAnUnclearedBuffer) {
  testing::TempFolder dir;
  std::string content(100000, 'a');
  for (size_t i = 0; i < content.size(); i += 7) content[i] = static_cast<char>(i % 251);
  testing::WriteWholeFile(dir / "f", content);
  std::unique_ptr<char[]> bytes;
  size_t size = 99;
  ASSERT_EQ(ReadWholeFileBytes(dir / "f", 100000, bytes, size), ReadFileStatus::kOk);
  ASSERT_EQ(size, content.size());
  EXPECT_EQ(std::string(bytes.get(), size), content);
  EXPECT_EQ(ReadWholeFileBytes(dir / "f", 99999, bytes, size), ReadFileStatus::kTooLarge);
  EXPECT_EQ(size, 0u);
  EXPECT_FALSE(bytes);
  testing::WriteWholeFile(dir / "empty", "");
  EXPECT_EQ(ReadWholeFileBytes(dir / "empty", 10, bytes, size), ReadFileStatus::kOk);
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(ReadWholeFileBytes(dir / "none", 10, bytes, size), ReadFileStatus::kNotFound);
  EXPECT_EQ(ReadWholeFileBytes(dir.path(), 10, bytes, size), ReadFileStatus::kFailed);
  EXPECT_EQ(ReadWholeFileBytes("/dev/zero", 10, bytes, size), ReadFileStatus::kFailed);
  const std::string fifo = dir / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(ReadWholeFileBytes(fifo, 10, bytes, size), ReadFileStatus::kFailed);
}

TEST(ReadWholeFile, APipeNamedAsAFileIsRefusedWithoutWaiting) {
  testing::TempFolder dir;
  const std::string fifo = dir / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ScopedScriptedUi ui;
  TBorderList list;
  EXPECT_FALSE(ReadBordersFile(list, fifo));
  IniFile ini;
  EXPECT_FALSE(ini.Load(fifo));
  TOptionsRecord record;
  EXPECT_FALSE(ReadOptionsFile(fifo, record));
  std::string name = fifo;
  EXPECT_FALSE(ReadShortcutUrl(name, 100));
}

}  // namespace
}  // namespace quilor
