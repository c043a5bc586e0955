// Class-file text on hostile bytes: parsed, written back, read again and
// applied as a Scenario to a small dictionary.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/class_file.h"
#include "engine/ontology_engine.h"
#include "platform/message_ui.h"

namespace {

quilor::TOntologyEngine& Engine() {
  static quilor::TOntologyEngine* engine = [] {
    auto* e = new quilor::TOntologyEngine;
    quilor::SemanticDictionary d;
    d.names[0] = {"", "dog"};
    d.classCount[0] = 1;
    e->LoadBytes(quilor::WriteSemanticDictionary(d));
    return e;
  }();
  return *engine;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static quilor::ScriptedMessageUi ui;
  quilor::SetMessageUi(&ui);
  ui.ClearLog();
  quilor::ClassFileGroupCounter = 0;
  quilor::GroupRenumberingInProgress = false;
  quilor::ForceGroupRenumbering = (size & 1) != 0;
  quilor::ClassFileList list;
  bool damaged = false;
  quilor::ParseClassFileText(list, std::string_view(reinterpret_cast<const char*>(data), size), damaged);
  // What is written reads back to the same text.
  std::string text = quilor::FormatClassFileText(list);
  quilor::ClassFileList again;
  quilor::GroupRenumberingInProgress = false;
  quilor::ForceGroupRenumbering = false;
  bool damaged2 = false;
  quilor::ParseClassFileText(again, text, damaged2);
  if (quilor::FormatClassFileText(again) != text) __builtin_trap();
  quilor::RecordingAnomalyReporter anomalies;
  quilor::TOntologyEngine& engine = Engine();
  engine.SetAnomalyReporter(&anomalies);
  engine.LoadScenario(list, false);
  engine.CountScenarioEntry("dog", 1);
  engine.PropagateScenarioCounts();
  engine.RankScenario();
  engine.SetAnomalyReporter(nullptr);
  return 0;
}
