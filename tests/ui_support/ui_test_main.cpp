// The main of the window tests: one QApplication on the offscreen platform,
// settings in a temporary folder, a fixed locale.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>

#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  char folderTemplate[] = "/tmp/quilor-ui-tests-XXXXXX";
  const char* folder = mkdtemp(folderTemplate);
  if (folder != nullptr) {
    setenv("XDG_CONFIG_HOME", folder, 1);
    setenv("XDG_DATA_HOME", (std::string(folder) + "/.local/share").c_str(), 1);
    setenv("HOME", folder, 1);
  }
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  if (folder != nullptr) {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  return result;
}
