#include "platform/safe_save.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "support/file_size_limit.h"
#include "support/gone_process.h"
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

// The saved file keeps the bits of the one it replaces, group and others
// included (a folder shared by several users), and a new file gets 0644
// less the umask.
TEST(SafeSave, KeepsPermissionBitsOfThePreviousFile) {
  TempFolder dir;
  const std::string file = dir / "opts.prm";
  for (mode_t bits : {mode_t{0600}, mode_t{0664}, mode_t{0640}, mode_t{0444}}) {
    WriteWholeFile(file, "old");
    ASSERT_EQ(::chmod(file.c_str(), bits), 0);
    ASSERT_TRUE(SafeSave(file, "new"));
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, bits) << std::oct << bits;
    EXPECT_EQ(ReadWholeFile(file), "new");
    ::chmod(file.c_str(), 0600);
    std::filesystem::remove(file);
  }
  const mode_t mask = ::umask(022);
  ASSERT_TRUE(SafeSave(dir / "fresh.prm", "new"));
  ::umask(mask);
  struct stat info {};
  ASSERT_EQ(::stat((dir / "fresh.prm").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, mode_t{0644});
}

TEST(SafeSave, WriteFailureLeavesPreviousFileIntact) {
  TempFolder dir;
  const std::string file = dir / "borders.dlm";
  WriteWholeFile(file, "good contents");
  SaveResult r;
  {
    // A file-size limit makes the write of the temporary file fail part way.
    testing_support::ScopedFileSizeLimit limit(4096);
    r = SafeSave(file, std::string(100000, 'x'));
  }
  EXPECT_FALSE(r);
  EXPECT_EQ(r.step, "write");
  EXPECT_EQ(r.error, EFBIG);
  EXPECT_EQ(ReadWholeFile(file), "good contents");
  EXPECT_FALSE(std::filesystem::exists(file + ".bak"));
  size_t entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) entries += e.exists();
  EXPECT_EQ(entries, 1u);  // no temporary file left behind
}

TEST(SafeSave, PlantedLinksAreNeverFollowed) {
  TempFolder dir;
  const std::string file = dir / "settings.ini";
  const std::string victim = dir / "victim";
  WriteWholeFile(victim, "precious");
  WriteWholeFile(file, "old");
  // Another user plants links under the names a save might use.
  std::filesystem::create_symlink(victim, file + ".tmp");
  std::filesystem::create_symlink(victim, file + ".bak.tmp");
  ASSERT_TRUE(SafeSave(file, "new"));
  ASSERT_TRUE(SafeSave(file, "newer"));
  EXPECT_EQ(ReadWholeFile(victim), "precious");
  EXPECT_EQ(ReadWholeFile(file), "newer");
  EXPECT_EQ(ReadWholeFile(file + ".bak"), "new");
  EXPECT_TRUE(std::filesystem::is_symlink(file + ".tmp"));
  // The new file is the user's alone until it takes the name of a file with other bits.
  EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::others_write,
            std::filesystem::perms::none);
}

TEST(SafeSave, BackupIsASeparateWholeEarlierVersion) {
  TempFolder dir;
  const std::string file = dir / "store.ini";
  ASSERT_TRUE(SafeSave(file, "one"));
  ASSERT_TRUE(SafeSave(file, "two"));
  ASSERT_TRUE(SafeSave(file, "three"));
  EXPECT_EQ(ReadWholeFile(file + ".bak"), "two");
  struct stat a {
  }, b{};
  ASSERT_EQ(::stat(file.c_str(), &a), 0);
  ASSERT_EQ(::stat((file + ".bak").c_str(), &b), 0);
  EXPECT_NE(a.st_ino, b.st_ino);
  ASSERT_TRUE(SafeSave(file, "four", SaveOptions{false}));
  EXPECT_EQ(ReadWholeFile(file + ".bak"), "two");  // left alone without a backup asked for
}

// A save killed half-way leaves "<name>.<pid>.<hex>.tmp" (or a backup link
// ".bak") behind; the next save of that file removes those of processes that
// are gone, and nothing else.
TEST(SafeSave, TheNextSaveRemovesWhatAKilledSaveLeft) {
  TempFolder dir;
  const std::string file = dir / "Name.scn";
  ASSERT_TRUE(SafeSave(file, "one"));
  const pid_t gone = testing_support::GoneProcessId();
  ASSERT_GT(gone, 0);
  const std::string dead = std::to_string(gone);
  const std::string self = std::to_string(::getpid());
  const std::vector<std::string> stale = {file + "." + dead + ".0badc0de0.tmp", file + "." + dead + ".12ab34cd7.bak"};
  const std::vector<std::string> kept = {
      file + "." + self + ".0badc0de0.tmp",  // this process: it may be saving now
      file + ".1.0badc0de0.tmp",             // a process that runs
      file + "." + dead + ".notours.tmp",    // not our pattern
      file + "." + dead + ".0badc0de0.txt",
      dir / ("Other.scn." + dead + ".0badc0de0.tmp"),  // another file's
  };
  for (const auto& name : stale) WriteWholeFile(name, "half");
  for (const auto& name : kept) WriteWholeFile(name, "keep");
  ASSERT_TRUE(SafeSave(file, "two"));
  for (const auto& name : stale) EXPECT_FALSE(std::filesystem::exists(name)) << name;
  for (const auto& name : kept) EXPECT_TRUE(std::filesystem::exists(name)) << name;
  EXPECT_EQ(ReadWholeFile(file), "two");
  EXPECT_EQ(ReadWholeFile(file + ".bak"), "one");
}

// Reading the Scenario folder clears what saves killed half-way left there,
// for every Scenario of it, not only the one saved next.
TEST(SafeSave, TheFolderLosesTheTemporariesOfKilledSavesOfItsKind) {
  TempFolder dir;
  const pid_t gone = testing_support::GoneProcessId();
  ASSERT_GT(gone, 0);
  const std::string dead = std::to_string(gone);
  const std::string self = std::to_string(::getpid());
  const std::vector<std::string> stale = {dir / ("A.scn." + dead + ".0badc0de0.tmp"),
                                          dir / ("My work.SCN." + dead + ".12ab34cd7.bak")};
  const std::vector<std::string> kept = {
      dir / "A.scn",
      dir / ("A.scn." + self + ".0badc0de0.tmp"),      // this process: it may be saving now
      dir / "A.scn.1.0badc0de0.tmp",                   // a process that runs
      dir / ("Notes.txt." + dead + ".0badc0de0.tmp"),  // not a Scenario's
      dir / (".scn." + dead + ".0badc0de0.tmp"),       // no name before the extension
      dir / ("A.scn." + dead + ".notours.tmp"),
  };
  for (const auto& name : stale) WriteWholeFile(name, "half");
  for (const auto& name : kept) WriteWholeFile(name, "keep");
  EXPECT_EQ(RemoveStaleTemporariesInFolder(dir.path(), ".scn"), 2);
  for (const auto& name : stale) EXPECT_FALSE(std::filesystem::exists(name)) << name;
  for (const auto& name : kept) EXPECT_TRUE(std::filesystem::exists(name)) << name;
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
