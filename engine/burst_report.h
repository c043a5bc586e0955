// The style diagnosis, the tendencies, the bursts, the episodes and the
// characteristic propositions of a run as plain text (Windows-1252), in the
// sections of the results dump (engine/results_report.h), fields separated
// by tabs:
//   "# Style diagnosis"              one finding a line
//   "# Tendencies"                   the tendency lines, their own tabs kept
//   "# Bursts"                       item id, item name, count, first, last, mean, episode
//   "# Episodes"                     number, first, last, bursts
//   "# Characteristic propositions"  proposition, score, 1 when the score reaches the cutoff
// Empty sections are left out.
#pragma once

#include <functional>
#include <string>

#include "engine/bursts.h"
#include "engine/diagnosis.h"

namespace quilor {

constexpr int kMsgReportStyle = 5901;
constexpr int kMsgReportTendencies = 5902;
constexpr int kMsgReportBursts = 5903;
constexpr int kMsgReportEpisodes = 5904;
constexpr int kMsgReportCharacteristic = 5905;

// itemName gives the name of a burst's item (AnalysisResults' ItemName);
// without it a category item takes its label and a class its number.
std::string FormatStyleAndBursts(const TDiagnosisList& diagnosis, const TBurstResults& bursts,
                                 const std::function<std::string(int32_t)>& itemName = nullptr);

}  // namespace quilor
