// Settings store text of any bytes: every value read, rewritten and read back unchanged.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/settings_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  quilor::SettingsStore store;
  store.Parse(text);
  quilor::IniFile raw;
  raw.Parse(text);
  for (const auto& key : raw.SectionNames()) {
    std::string plainKey = quilor::UnescapeSettingText(key);
    for (const auto& name : store.ValueNames(plainKey)) {
      std::string value;
      if (!store.Read(plainKey, name, value)) continue;
      quilor::SettingsStore copy;
      copy.Write(plainKey, name, value);
      copy.Parse(copy.Serialise());
      std::string back;
      if (!copy.Read(plainKey, name, back) || back != value) __builtin_trap();
    }
  }
  return 0;
}
