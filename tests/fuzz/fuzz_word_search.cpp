// Typed word-search commands on hostile bytes: split, joined, and turned into
// meaning lines against a small dictionary with a Scenario; the parser's
// records stay within their bounds.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/class_file.h"
#include "engine/ontology_engine.h"
#include "engine/word_search_parser.h"
#include "platform/message_ui.h"

namespace {

void MakeEngine() {
  if (quilor::OntologyEngine) return;
  quilor::OntologyEngine = std::make_unique<quilor::TOntologyEngine>();
  quilor::SemanticDictionary d;
  d.names[0] = {"", "dog", "bank"};
  d.classCount[0] = 2;
  quilor::OntologyEngine->LoadBytes(quilor::WriteSemanticDictionary(d));
  quilor::ClassFileList file;
  bool damaged = false;
  quilor::ParseClassFileText(file, "G#0V\t1\tPets\r\n0#1#\tcat\tPets\r\n1#1#\tdog\tPets\r\n", damaged);
  quilor::OntologyEngine->LoadScenario(file, false);
}

class CountingParser : public quilor::TScenParser {
 public:
  bool OnMeaningLine(const quilor::MeaningLine& line) override {
    if (line.text.size() > 400) __builtin_trap();
    return TScenParser::OnMeaningLine(line);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static quilor::ScriptedMessageUi ui;
  quilor::SetMessageUi(&ui);
  MakeEngine();
  static CountingParser parser;
  static bool ready = (
      parser.InitParser(), parser.lexiconKnows = [](const std::string& w) { return w == "dog_house"; }, true);
  (void)ready;
  parser.Clear();
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  parser.RunCriteria(text);
  if (parser.WordCount() > quilor::kMaxCriteriaWords) __builtin_trap();
  for (const auto& w : parser.Words())
    if (w.text.size() > quilor::kCriteriaWordMax || w.ops.size() > 8) __builtin_trap();
  if (parser.Records().size() > quilor::TScenParser::kMaxRecords) __builtin_trap();
  if (size > 0) parser.PushRecentClass({data[0], 1, 1, 0});
  ui.ClearLog();
  return 0;
}
