// The semantic pass on a hostile word stream: any words, categories, class
// marks and proposition marks, with any relation base, must give relations
// whose counts add up, and a report, without a crash or a hang.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/analysis_results.h"
#include "engine/category_counters.h"
#include "engine/ontology_engine.h"
#include "core/options.h"
#include "engine/results_report.h"
#include "engine/semantic_pass.h"
#include "engine/word_list.h"
#include "platform/message_ui.h"
#include "tests/engine/ontology_test_support.h"

using namespace quilor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ScriptedMessageUi ui;
  SetMessageUi(&ui);
  ui.ClearLog();
  if (!OntologyEngine) {
    OntologyEngine = std::make_unique<TOntologyEngine>();
    // "mole" and "Mole" read with sense weights: a common reading and one for
    // a capitalised word.
    const std::vector<testing_support::MiniWord> weighted = {{"mole", {1, 3, 4}, {3, 1, 3 | 0x20}, {180, 50, 20}}};
    if (!OntologyEngine->LoadBytes(WriteSemanticDictionary(testing_support::MakeMiniDictionary(weighted))).Ok())
      std::abort();
  }
  if (size < 2) return 0;
  Options->ResetSettings();
  Options->Set(opt::RelationBase, data[0] % 8);
  Options->Set(opt::Normalisation, data[1] & 1);
  Options->Set(opt::ScenarioOnAllCategories, (data[1] >> 1) & 1);
  TextWords.Clear();
  ClearCategoryCounters();

  // Tokens are separated by byte 0; a token's first byte gives its category
  // record and class mark, the rest is its text.
  int32_t position = 0;
  size_t i = 2;
  while (i < size) {
    size_t end = i;
    while (end < size && data[end] != 0) ++end;
    if (end > i + 1) {
      const uint8_t kind = data[i];
      std::string text(reinterpret_cast<const char*>(data + i + 1), end - i - 1);
      if (text.size() > 79) text.resize(79);
      TWordCategoryData d;
      d.Category.MajorClass = kind % 10;
      d.Category.Subclass = (kind >> 4) & 3;
      d.Category.SubField2 = kind >> 6;
      d.ClassMark = (kind >> 3) & 3;
      if (text != "/") ++position;
      if (!TextWords.Append(text.c_str(), " ", kind, 1, position, &d)) break;
      CountCategory(text, d);
    }
    i = end + 1;
  }
  ComputePercentages();

  AnalysisResults = std::make_unique<TAnalysisResults>(TextWords.Count(), TakeRunSettings(*Options));
  if (!RunSemanticPass(*AnalysisResults)) std::abort();
  TRelationStore& store = AnalysisResults->Relations;
  for (int level = 1; level <= 4; ++level) {
    uint64_t total = 0;
    uint32_t first, second, count;
    for (size_t k = 0; store.KindEntry(level, k, first, second, count); ++k) total += count;
    if (total != store.SortedCount(level)) std::abort();
  }
  AnalysisResults->CollectSelectionNeighbours([](const TWordNode& n) { return n.text[0] == 'x'; });
  ResultsReport(*AnalysisResults);
  AnalysisResults.reset();
  return 0;
}
