// The style diagnosis, the tendencies, the bursts, the episodes and the
// characteristic propositions of a run as tab-separated text lines, for the
// command-line dump of results:
//   style       <finding>
//   tendency    <line of the tendencies, its own tabs kept>
//   burst       <item id> <item name> <count> <first> <last> <mean> <episode>
//   episode     <number> <first> <last> <bursts>
//   characteristic <proposition> <score> <kept: 1 when the score reaches the cutoff>
// Texts are Windows-1252, as everywhere in the engine.
#pragma once

#include <functional>
#include <string>

#include "engine/bursts.h"
#include "engine/diagnosis.h"

namespace quilor {

// itemName gives the name of a burst's item (AnalysisResults' ItemName);
// without it a category item takes its label and a class its number.
std::string FormatStyleAndBursts(const TDiagnosisList& diagnosis, const TBurstResults& bursts,
                                 const std::function<std::string(int32_t)>& itemName = nullptr);

}  // namespace quilor
