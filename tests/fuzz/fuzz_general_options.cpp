// The options INI file of any bytes, read into the work context.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/options.h"
#include "engine/startup.h"
#include "platform/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quilor;
  IniFile ini;
  ini.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
  WorkContext->Reset();
  ReadGeneralOptions(ini);
  const TWorkContext& wc = *WorkContext;
  if (wc.UserIdent.size() > 20 || (wc.CalculationBase != 1 && wc.CalculationBase != 2)) __builtin_trap();
  if (wc.ZuvovReadOnly && !wc.ClientServeur) __builtin_trap();
  for (const TExportDefinition& d : wc.Exports) {
    if (d.DisplayName.size() > 260 || d.ExtensionText.size() > 260 || d.OutputFileName.size() > 260 ||
        d.FileSuffix.size() > 3 || d.Kind > 13 || (!d.DisplayName.empty() && d.Separator == 0))
      __builtin_trap();
  }
  return 0;
}
