// OWL (RDF/XML) input on hostile bytes: parsed with expat, the concept tree
// built and the Scenario written; the Scenario must read back as a class file
// whose every line is well formed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/class_file.h"
#include "import/owl_import.h"
#include "platform/message_ui.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static quilor::ScriptedMessageUi ui;
  quilor::SetMessageUi(&ui);
  const std::string_view xml(reinterpret_cast<const char*>(data), size);
  quilor::OwlImportOptions options;
  options.verbose = size > 0 && (data[0] & 1);
  options.ignoreOtherLanguages = size > 0 && (data[0] & 2);
  options.ignoreRestrictions = !(size > 0 && (data[0] & 4));
  options.unicode = !(size > 0 && (data[0] & 8));
  const quilor::OwlImportResult r = quilor::ConvertOwl(xml, "fuzz.owl", options);
  if (!r.ok && !r.scenario.empty()) __builtin_trap();
  // A failure always says which; a success never does.
  if (r.ok != (r.failure == quilor::OwlFailure::kNone)) __builtin_trap();
  if (r.ok) {
    quilor::GroupNumbering = {};
    quilor::ClassFileList list;
    bool damaged = false;
    quilor::ParseClassFileText(list, r.scenario, damaged);
    if (damaged) __builtin_trap();
    size_t groups = 0;
    for (const auto& e : list.Entries()) groups += e.IsGroup();
    if (groups != r.stats.mainClasses) __builtin_trap();
  }
  ui.ClearLog();
  return 0;
}
