#include "platform/safe_save.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "tests/platform/temp_folder.h"

namespace quilor {
namespace {

using testing::ReadWholeFile;
using testing::TempFolder;
using testing::WriteWholeFile;

TEST(SafeSave, CreatesThenReplacesKeepingBackup) {
  TempFolder dir;
  const std::string file = dir / "list.dlm";
  ASSERT_TRUE(SafeSave(file, "first\r\n"));
  EXPECT_EQ(ReadWholeFile(file), "first\r\n");
  EXPECT_FALSE(std::filesystem::exists(file + ".bak"));  // nothing to keep yet

  ASSERT_TRUE(SafeSave(file, std::string("second\0x", 8)));
  EXPECT_EQ(ReadWholeFile(file), std::string("second\0x", 8));
  EXPECT_EQ(ReadWholeFile(file + ".bak"), "first\r\n");
  EXPECT_FALSE(std::filesystem::exists(file + ".tmp"));

  ASSERT_TRUE(SafeSave(file, ""));
  EXPECT_EQ(ReadWholeFile(file), "");
  EXPECT_EQ(ReadWholeFile(file + ".bak"), std::string("second\0x", 8));
}

TEST(SafeSave, KeepsPermissionBitsOfThePreviousFile) {
  TempFolder dir;
  const std::string file = dir / "opts.prm";
  WriteWholeFile(file, "old");
  std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  ASSERT_TRUE(SafeSave(file, "new"));
  EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(SafeSave, FullDeviceLeavesPreviousFileIntact) {
  TempFolder dir;
  const std::string file = dir / "borders.dlm";
  WriteWholeFile(file, "good contents");
  // The temporary file lands on a device that is always full.
  std::filesystem::create_symlink("/dev/full", file + ".tmp");
  SaveResult r = SafeSave(file, std::string(100000, 'x'));
  EXPECT_FALSE(r);
  EXPECT_EQ(r.step, "write");
  EXPECT_EQ(r.error, ENOSPC);
  EXPECT_EQ(ReadWholeFile(file), "good contents");
  EXPECT_FALSE(std::filesystem::exists(file + ".bak"));
}

TEST(SafeSave, UnwritableFolderFails) {
  TempFolder dir;
  const std::string regular = dir / "plain";
  WriteWholeFile(regular, "x");
  SaveResult r = SafeSave(regular + "/inside.txt", "data");
  EXPECT_FALSE(r);
  EXPECT_EQ(r.step, "open");
  EXPECT_NE(r.error, 0);
  EXPECT_FALSE(SafeSave("", "data"));
  EXPECT_EQ(ReadWholeFile(regular), "x");
}

TEST(SafeSave, RefusesToReplaceAFolder) {
  TempFolder dir;
  const std::string target = dir / "taken";
  std::filesystem::create_directory(target);
  WriteWholeFile(target + "/keep", "k");
  SaveResult r = SafeSave(target, "data");
  EXPECT_FALSE(r);
  EXPECT_EQ(ReadWholeFile(target + "/keep"), "k");
  EXPECT_FALSE(std::filesystem::exists(target + ".tmp"));
}

TEST(SafeSave, WriteAllReportsFullDevice) {
  int fd = ::open("/dev/full", O_WRONLY);
  ASSERT_GE(fd, 0);
  errno = 0;
  EXPECT_FALSE(WriteAll(fd, "abc"));
  EXPECT_EQ(errno, ENOSPC);
  ::close(fd);
}

}  // namespace
}  // namespace quilor
