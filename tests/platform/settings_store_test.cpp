#include "platform/settings_store.h"

#include <gtest/gtest.h>

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
  if (old)
    ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else
    ::unsetenv("XDG_CONFIG_HOME");
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
