// Class-file text on hostile bytes: parsed, written back, read again and
// applied as a Scenario to a small dictionary. The Scenario editor's tree of
// it, after one move chosen by the last bytes, is saved and read again:
// every node comes back under the same parents.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/class_file.h"
#include "engine/ontology_engine.h"
#include "platform/message_ui.h"
#include "scenario/scenario_tree.h"

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

// The labels from the top down to each node; items outside every group and
// items without a text are not saved, so they are left out.
std::vector<std::string> Paths(const quilor::ui::ScenarioTree& tree) {
  std::vector<std::string> out;
  for (int id : tree.InTreeOrder()) {
    const quilor::ui::ScenarioNode* n = tree.Node(id);
    if (!n->group && (n->parent == 0 || n->text.empty())) continue;
    std::string path;
    for (; n; n = tree.Node(n->parent)) path = "/" + tree.Label(n->id) + path;
    out.push_back(path);
  }
  std::sort(out.begin(), out.end());
  return out;
}

void TreeRoundTrip(const quilor::ClassFileList& list, const uint8_t* data, size_t size) {
  quilor::ui::ScenarioTree tree;
  tree.Fill(list);
  const std::vector<int> order = tree.InTreeOrder();
  if (size >= 2 && !order.empty()) {
    const int source = order[data[size - 2] % order.size()];
    const int target = order[data[size - 1] % order.size()];
    if (data[size - 1] & 0x80) {
      tree.DropMove(source, target);
    } else {
      tree.Cut(source);
      tree.Paste(target);
    }
  }
  quilor::ClassFileList saved;
  if (!tree.Write(saved)) return;
  quilor::ClassFileList reread;
  quilor::GroupNumbering = {};
  bool damaged = false;
  quilor::ParseClassFileText(reread, quilor::FormatClassFileText(saved), damaged);
  quilor::ui::ScenarioTree again;
  again.Fill(reread);
  if (Paths(again) != Paths(tree)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static quilor::ScriptedMessageUi ui;
  quilor::SetMessageUi(&ui);
  ui.ClearLog();
  quilor::GroupNumbering = {};
  quilor::GroupNumbering.forceRenumbering = (size & 1) != 0;
  quilor::ClassFileList list;
  bool damaged = false;
  quilor::ParseClassFileText(list, std::string_view(reinterpret_cast<const char*>(data), size), damaged);
  // What is written reads back to the same text.
  std::string text = quilor::FormatClassFileText(list);
  quilor::ClassFileList again;
  quilor::GroupNumbering.renumberingInProgress = false;
  quilor::GroupNumbering.forceRenumbering = false;
  bool damaged2 = false;
  quilor::ParseClassFileText(again, text, damaged2);
  if (quilor::FormatClassFileText(again) != text) __builtin_trap();
  TreeRoundTrip(list, data, size);
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
