// Profile text of any bytes: parse, query, edit and parse the result again.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  quilor::IniFile ini;
  ini.Parse(text);
  for (const auto& section : ini.SectionNames()) {
    for (const auto& key : ini.KeyNames(section)) {
      (void)ini.GetString(section, key, "", 21);
      (void)ini.GetInt(section, key, 0);
      (void)ini.GetYesNo(section, key, false);
    }
  }
  ini.SetString("Reseau", "ClientServeur", "oui");
  quilor::IniFile again;
  again.Parse(ini.Serialise());
  if (again.GetString("Reseau", "ClientServeur", "") != "oui") __builtin_trap();
  return 0;
}
