#include "platform/settings_store.h"

#include <gtest/gtest.h>
#include <fstream>
#include <fcntl.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "tests/platform/temp_folder.h"

namespace quilor {
namespace {

constexpr const char* kOntologies = "Software\\Brevalia\\Ontologies\\V8.3\\en";

class SettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { SetSettingsFilePath(dir_ / "cfg/Quilor/settings.ini"); }
  void TearDown() override { SetSettingsFilePath(""); }
  testing::TempFolder dir_;
};

TEST_F(SettingsStoreTest, ValuesSurviveTheFileWhateverTheirBytes) {
  const std::string odd = std::string(" lead; [x]=y %41 \"q\"\r\n\0end ", 28);
  ASSERT_TRUE(WriteSetting(std::string("\\") + kOntologies, "UserPath", "/home/u/Quilor Docs"));
  ASSERT_TRUE(WriteSetting(kOntologies, "MultiUser", "1"));
  ASSERT_TRUE(WriteSetting("Software\\Brevalia\\Quilor\\V8.3\\en", "Odd=Name", odd));
  std::string v;
  ASSERT_TRUE(ReadSetting("software\\brevalia\\ontologies\\v8.3\\EN", "userpath", v));
  EXPECT_EQ(v, "/home/u/Quilor Docs");
  ASSERT_TRUE(ReadSetting("Software\\Brevalia\\Quilor\\V8.3\\en\\", "Odd=Name", v));
  EXPECT_EQ(v, odd);
  EXPECT_FALSE(ReadSetting(kOntologies, "Absent", v));
  EXPECT_FALSE(ReadSetting("Software\\Other", "UserPath", v));

  ASSERT_TRUE(WriteSetting(kOntologies, "MultiUser", "0"));  // replaces
  ASSERT_TRUE(ReadSetting(kOntologies, "MultiUser", v));
  EXPECT_EQ(v, "0");
  ASSERT_TRUE(DeleteSetting(kOntologies, "MultiUser"));
  EXPECT_FALSE(ReadSetting(kOntologies, "MultiUser", v));
  EXPECT_TRUE(ReadSetting(kOntologies, "UserPath", v));
  EXPECT_TRUE(std::filesystem::exists(SettingsFilePath() + ".bak"));
}

TEST_F(SettingsStoreTest, UnwritableStoreReportsFailure) {
  testing::WriteWholeFile(dir_ / "plain", "x");
  SetSettingsFilePath(dir_ / "plain/Quilor/settings.ini");
  EXPECT_FALSE(WriteSetting(kOntologies, "UserPath", "/x"));
  std::string v;
  EXPECT_FALSE(ReadSetting(kOntologies, "UserPath", v));
}

TEST_F(SettingsStoreTest, UnreadableStoreIsNeverOverwritten) {
  // A folder where the file should be cannot be read: writing must not replace it.
  std::filesystem::create_directories(SettingsFilePath());
  EXPECT_FALSE(WriteSetting(kOntologies, "UserPath", "/x"));
  EXPECT_TRUE(std::filesystem::is_directory(SettingsFilePath()));
}

TEST(SettingsStorePath, FollowsXdgConfigHome) {
  const char* old = std::getenv("XDG_CONFIG_HOME");
  std::string saved = old ? old : "";
  ::setenv("XDG_CONFIG_HOME", "/srv/conf/", 1);
  EXPECT_EQ(DefaultSettingsFilePath(), "/srv/conf/Quilor/settings.ini");
  ::setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
  ::setenv("HOME", ::getenv("HOME") ? ::getenv("HOME") : "/root", 1);
  EXPECT_EQ(DefaultSettingsFilePath(), std::string(::getenv("HOME")) + "/.config/Quilor/settings.ini");
  if (old) ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else ::unsetenv("XDG_CONFIG_HOME");
}

TEST_F(SettingsStoreTest, QuotedValuesComeBackExactlyAfterRewrites) {
  const std::string quoted = "\"in quotes\"";
  const std::string padded = "  blanks around  ";
  const std::string single = "'single'";
  ASSERT_TRUE(WriteSetting(kOntologies, "Quoted", quoted));
  ASSERT_TRUE(WriteSetting(kOntologies, "Padded", padded));
  ASSERT_TRUE(WriteSetting(kOntologies, "Single", single));
  // Every later write rewrites the whole store.
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(WriteSetting(kOntologies, "Other", std::to_string(i)));
  std::string v;
  ASSERT_TRUE(ReadSetting(kOntologies, "Quoted", v));
  EXPECT_EQ(v, quoted);
  ASSERT_TRUE(ReadSetting(kOntologies, "Padded", v));
  EXPECT_EQ(v, padded);
  ASSERT_TRUE(ReadSetting(kOntologies, "Single", v));
  EXPECT_EQ(v, single);
  // A hand-written quoted value keeps its quotes in the file when another value changes.
  testing::WriteWholeFile(SettingsFilePath(), "[K]\nHand=\"a b\"\n");
  ASSERT_TRUE(WriteSetting("K", "New", "x"));
  EXPECT_NE(testing::ReadWholeFile(SettingsFilePath()).find("Hand=\"a b\""), std::string::npos);
}

TEST_F(SettingsStoreTest, StoreIsParsedOnceUntilItChangesAndUnchangedStoreIsNotRewritten) {
  ASSERT_TRUE(WriteSetting(kOntologies, "UserPath", "/a"));
  std::string v;
  ASSERT_TRUE(ReadSetting(kOntologies, "UserPath", v));
  const size_t parses = SettingsParseCount();
  for (int i = 0; i < 7; ++i) ASSERT_TRUE(ReadSetting(kOntologies, "UserPath", v));
  EXPECT_EQ(SettingsParseCount(), parses);
  // Writing the same value again leaves the file (and its backup) as they are.
  struct stat before {};
  ASSERT_EQ(::stat(SettingsFilePath().c_str(), &before), 0);
  ASSERT_TRUE(WriteSetting(kOntologies, "UserPath", "/a"));
  struct stat after {};
  ASSERT_EQ(::stat(SettingsFilePath().c_str(), &after), 0);
  EXPECT_EQ(before.st_ino, after.st_ino);
  // A change by another process is seen.
  testing::WriteWholeFile(SettingsFilePath(), "[" + std::string(kOntologies) + "]\nUserPath=\"/somewhere/else\"\n");
  ASSERT_TRUE(ReadSetting(kOntologies, "UserPath", v));
  EXPECT_EQ(v, "/somewhere/else");
  // A change in place of the same size within the same second differs only
  // in the nanoseconds of its time: it is seen too. The same time again is
  // the same store.
  struct stat was {};
  ASSERT_EQ(::stat(SettingsFilePath().c_str(), &was), 0);
  {
    std::fstream in(SettingsFilePath(), std::ios::in | std::ios::out | std::ios::binary);
    const std::string text = testing::ReadWholeFile(SettingsFilePath());
    in.seekp(static_cast<std::streamoff>(text.find("else")));
    in << "ELSE";
  }
  timespec times[2] = {was.st_atim, was.st_mtim};
  times[1].tv_nsec = (was.st_mtim.tv_nsec + 1) % 1000000000;
  ASSERT_EQ(::utimensat(AT_FDCWD, SettingsFilePath().c_str(), times, 0), 0);
  ASSERT_TRUE(ReadSetting(kOntologies, "UserPath", v));
  EXPECT_EQ(v, "/somewhere/ELSE");
  const size_t reparsed = SettingsParseCount();
  ASSERT_TRUE(ReadSetting(kOntologies, "UserPath", v));
  EXPECT_EQ(SettingsParseCount(), reparsed);
}

TEST_F(SettingsStoreTest, OversizedStoreIsRefusedAndLeftAlone) {
  std::filesystem::create_directories(std::filesystem::path(SettingsFilePath()).parent_path());
  std::string big = "[" + std::string(kOntologies) + "]\nUserPath=\"/x\"\n[Filler]\n";
  while (big.size() <= SettingsStore::kMaxFileSize)
    big += "Key" + std::to_string(big.size()) + "=" + std::string(100, 'v') + "\n";
  testing::WriteWholeFile(SettingsFilePath(), big);
  std::string v;
  EXPECT_FALSE(ReadSetting(kOntologies, "UserPath", v));
  EXPECT_EQ(LastSettingsLoadStatus(), SettingsLoadStatus::kTooLarge);
  SaveResult r = WriteSetting(kOntologies, "UserPath", "/y");
  EXPECT_FALSE(r);
  EXPECT_EQ(r.error, EFBIG);
  EXPECT_EQ(testing::ReadWholeFile(SettingsFilePath()), big);
}

// Two processes change the store 1,000 times each at once: the file is
// always one whole version, its backup a whole earlier one, and no save fails.
TEST_F(SettingsStoreTest, ConcurrentWritersNeverMixTheStore) {
  // 2,000 saves, each synced twice: on a disk that other work keeps busy
  // they took more than the test's time. The store is kept in memory when
  // the system has a folder there, where a sync costs nothing; the locking
  // and the renames are the same.
  testing::TempFolder memory("/dev/shm");
  SetSettingsFilePath(memory / "cfg/Quilor/settings.ini");
  constexpr int kRounds = 1000;
  auto writer = [&](char letter) {
    int failures = 0;
    for (int r = 0; r < kRounds; ++r) {
      std::string value(3000, letter);
      value += std::to_string(r);
      if (!WriteSetting(kOntologies, std::string("Value") + letter, value)) ++failures;
    }
    ::_exit(failures > 100 ? 100 : failures);
  };
  pid_t a = ::fork();
  if (a == 0) writer('a');
  pid_t b = ::fork();
  if (b == 0) writer('b');
  ASSERT_GT(a, 0);
  ASSERT_GT(b, 0);
  int statusA = 0, statusB = 0;
  ::waitpid(a, &statusA, 0);
  ::waitpid(b, &statusB, 0);
  EXPECT_TRUE(WIFEXITED(statusA) && WEXITSTATUS(statusA) == 0) << "failed saves: " << WEXITSTATUS(statusA);
  EXPECT_TRUE(WIFEXITED(statusB) && WEXITSTATUS(statusB) == 0) << "failed saves: " << WEXITSTATUS(statusB);

  auto wholeValue = [](const std::string& v) {
    if (v.size() < 3001) return false;
    const char letter = v[0];
    if (letter != 'a' && letter != 'b') return false;
    for (size_t i = 0; i < 3000; ++i)
      if (v[i] != letter) return false;
    return v.find_first_not_of("0123456789", 3000) == std::string::npos;
  };
  for (const std::string& path : {SettingsFilePath(), SettingsFilePath() + ".bak"}) {
    SettingsStore store;
    ASSERT_TRUE(store.Load(path)) << path;
    std::string va, vb;
    const bool hasA = store.Read(kOntologies, "Valuea", va), hasB = store.Read(kOntologies, "Valueb", vb);
    EXPECT_TRUE(hasA || hasB) << path;
    if (hasA) {
      EXPECT_TRUE(wholeValue(va) && va[0] == 'a') << path;
    }
    if (hasB) {
      EXPECT_TRUE(wholeValue(vb) && vb[0] == 'b') << path;
    }
  }
  SettingsStore final;
  ASSERT_TRUE(final.Load(SettingsFilePath()));
  std::string va, vb;
  ASSERT_TRUE(final.Read(kOntologies, "Valuea", va));
  ASSERT_TRUE(final.Read(kOntologies, "Valueb", vb));
  EXPECT_EQ(va, std::string(3000, 'a') + std::to_string(kRounds - 1));
  EXPECT_EQ(vb, std::string(3000, 'b') + std::to_string(kRounds - 1));
  EXPECT_NE(testing::ReadWholeFile(SettingsFilePath()), testing::ReadWholeFile(SettingsFilePath() + ".bak"));
  for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(SettingsFilePath()).parent_path())) {
    const std::string name = e.path().filename().string();
    EXPECT_TRUE(name == "settings.ini" || name == "settings.ini.bak" || name == "settings.ini.lock") << name;
  }
}

TEST(SettingsStorePath, NoSharedFolderWithoutHome) {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  const std::string savedXdg = xdg ? xdg : "", savedHome = home ? home : "";
  ::unsetenv("XDG_CONFIG_HOME");
  ::unsetenv("HOME");
  EXPECT_EQ(DefaultSettingsFilePath(), "");
  ::setenv("HOME", "relative/home", 1);
  EXPECT_EQ(DefaultSettingsFilePath(), "");
  SetSettingsFilePath("");
  SaveResult r = WriteSetting(kOntologies, "UserPath", "/x");
  EXPECT_FALSE(r);
  std::string v;
  EXPECT_FALSE(ReadSetting(kOntologies, "UserPath", v));
  EXPECT_EQ(LastSettingsLoadStatus(), SettingsLoadStatus::kNoFolder);
  if (xdg) ::setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
  if (home) ::setenv("HOME", savedHome.c_str(), 1);
  else ::unsetenv("HOME");
}

TEST(SettingsStoreText, EscapesRoundTripAndBadEscapesStayLiteral) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(UnescapeSettingText(EscapeSettingText(all)), all);
  EXPECT_EQ(UnescapeSettingText("%4"), "%4");
  EXPECT_EQ(UnescapeSettingText("%zz%41"), "%zzA");
}

}  // namespace
}  // namespace quilor
