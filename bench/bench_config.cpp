// Category counting, options-file and settings-store round trips, Borders parsing.
//
// Category counting is measured on a synthetic stream of category records
// cycling through every class (10,000,000 words and a proposition mark every
// 12 words). The file figures are per operation on a tmpfs-like folder under
// /tmp and include the fsync of the safe save.
//
//   bench_config [million words]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/borders.h"
#include "engine/category_counters.h"
#include "core/options.h"
#include "platform/ini_file.h"
#include "platform/settings_store.h"

namespace {

using namespace quilor;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

}  // namespace

int main(int argc, char** argv) {
  const int millions = argc > 1 ? std::atoi(argv[1]) : 10;
  const uint32_t words = static_cast<uint32_t>(millions) * 1000000u;

  // A repeating pattern of records covering every class and feature.
  std::vector<TCategoryRecord> records;
  for (uint8_t cls = 0; cls <= 9; ++cls)
    for (uint8_t sub = 0; sub <= 5; ++sub) {
      TCategoryRecord r;
      r.MajorClass = cls;
      r.Subclass = sub;
      r.SubField2 = static_cast<uint8_t>(sub % 5);
      r.SubField3 = static_cast<uint8_t>((sub + cls) % 7);
      r.Flags = static_cast<uint8_t>(sub & 3);
      records.push_back(r);
    }
  const std::string texts[] = {"analysis", "New_York", "/", "the", "prime_minister_office"};
  ClearCategoryCounters();
  auto t0 = Clock::now();
  for (uint32_t i = 0; i < words; ++i) {
    const std::string& text = (i % 12 == 11) ? texts[2] : texts[i % 5 == 2 ? 0 : i % 5];
    CountCategory(text, records[i % records.size()], static_cast<uint8_t>(i % 3));
  }
  ComputePercentages();
  double countSeconds = Seconds(t0);
  std::printf("CountCategory: %u tokens in %.3f s = %.1f M words/s (words counted %u)\n", words, countSeconds,
              words / countSeconds / 1e6, RunCounts.words);

  const std::string dir = (std::filesystem::temp_directory_path() / "quilor-bench-config").string();
  std::filesystem::create_directories(dir);
  TOptionsRecord options;
  const int rounds = 200;
  t0 = Clock::now();
  for (int i = 0; i < rounds; ++i) {
    options.Set(opt::RelationBase, static_cast<uint16_t>(1 + i % 4));
    WriteOptionsFile(dir + "/quilor.prm", options);
    ReadOptionsFile(dir + "/quilor.prm", options);
  }
  std::printf("Options file write+read (safe save with fsync): %.3f ms per round\n", Seconds(t0) * 1000 / rounds);

  SetSettingsFilePath(dir + "/settings.ini");
  t0 = Clock::now();
  for (int i = 0; i < rounds; ++i)
    WriteSetting("Software\\Brevalia\\Ontologies\\V8.3\\en", "UserPath" + std::to_string(i % 20), "/home/user/Quilor");
  std::printf("Settings store write (20 values): %.3f ms per write\n", Seconds(t0) * 1000 / rounds);
  t0 = Clock::now();
  std::string value;
  for (int i = 0; i < rounds * 10; ++i) ReadSetting("Software\\Brevalia\\Ontologies\\V8.3\\en", "UserPath7", value);
  std::printf("Settings store read: %.3f us per read\n", Seconds(t0) * 1e6 / (rounds * 10));

  std::string dlm;
  for (int i = 0; i < 20000; ++i)
    dlm += std::string(i % 3 ? "N" : "X") + "#######\tBorder term " + std::to_string(i) + "\r\n";
  t0 = Clock::now();
  TBorderList list;
  bool damaged = false;
  for (int i = 0; i < 20; ++i) {
    list.Clear();
    ParseBordersText(dlm, list, damaged);
  }
  std::printf("Borders parse: %.1f M lines/s (%zu entries)\n", 20 * 20000 / Seconds(t0) / 1e6, list.Count());
  std::string ini;
  for (int s = 0; s < 200; ++s) {
    ini += "[Section" + std::to_string(s) + "]\n";
    for (int k = 0; k < 50; ++k) ini += "Key" + std::to_string(k) + " = value " + std::to_string(k) + "\n";
  }
  t0 = Clock::now();
  IniFile parsed;
  for (int i = 0; i < 20; ++i) parsed.Parse(ini);
  std::printf("Profile parse: %.1f MB/s (%zu bytes, 10,000 keys)\n", 20.0 * ini.size() / Seconds(t0) / 1e6, ini.size());
  // A 1 MB store: every value in one key, then as many keys of a few values.
  for (bool oneKey : {true, false}) {
    std::string store;
    for (int i = 0; store.size() < (1u << 20); ++i) {
      if (!oneKey && i % 4 == 0) store += "[Software\\Brevalia\\Key" + std::to_string(i) + "]\n";
      if (oneKey && i == 0) store += "[Software\\Brevalia\\Ontologies\\V8.3\\en]\n";
      store += "Value" + std::to_string(i) + "=\"/home/user/some/folder/" + std::to_string(i) + "\"\n";
    }
    {
      std::FILE* f = std::fopen((dir + "/settings.ini").c_str(), "wb");
      std::fwrite(store.data(), 1, store.size(), f);
      std::fclose(f);
    }
    t0 = Clock::now();
    ReadSetting("Software\\Brevalia\\Ontologies\\V8.3\\en", "Value7", value);
    const double first = Seconds(t0);
    t0 = Clock::now();
    for (int i = 0; i < 7; ++i) ReadSetting("Software\\Brevalia\\Ontologies\\V8.3\\en", "Value7", value);
    std::printf(
        "1 MB settings store (%s): first read %.1f ms, seven more %.3f ms (target: load under 1 s, parsed once)\n",
        oneKey ? "one key" : "many keys", first * 1000, Seconds(t0) * 1000);
  }
  std::filesystem::remove_all(dir);
  return 0;
}
