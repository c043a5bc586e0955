#include "engine/burst_report.h"

#include <cstdio>

#include "core/messages.h"
#include "engine/category_counters.h"

namespace quilor {

std::string FormatStyleAndBursts(const TDiagnosisList& diagnosis, const TBurstResults& bursts,
                                 const std::function<std::string(int32_t)>& itemName) {
  std::string out;
  char line[160];
  auto section = [&out](int message, bool any) {
    if (any) out += std::string("# ") + GetMessageText(message) + "\n";
  };
  section(kMsgReportStyle, !diagnosis.Findings().empty());
  for (int finding : diagnosis.Findings()) out += std::string(GetMessageText(finding)) + "\n";
  section(kMsgReportTendencies, !diagnosis.Lines().empty());
  for (const TDiagnosisLine& l : diagnosis.Lines()) out += l.text + "\n";
  section(kMsgReportBursts, !bursts.bursts.empty());
  for (const TBurstRecord& b : bursts.bursts) {
    std::string name =
        itemName ? itemName(b.itemId) : (b.itemId < 0 ? CategoryLabel(-b.itemId) : std::to_string(b.itemId));
    for (char& c : name)
      if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    std::snprintf(line, sizeof line, "\t%u\t%u\t%u\t%.1f\t%u\n", b.count, b.firstPosition, b.lastPosition,
                  static_cast<double>(b.meanPosition), b.episode);
    out += std::to_string(b.itemId) + "\t" + name + line;
  }
  section(kMsgReportEpisodes, !bursts.episodes.empty());
  for (size_t i = 0; i < bursts.episodes.size(); ++i) {
    const TEpisodeRecord& e = bursts.episodes[i];
    std::snprintf(line, sizeof line, "%zu\t%u\t%u\t%u\n", i + 1, e.firstPosition, e.lastPosition,
                  static_cast<unsigned>(e.burstCount));
    out += line;
  }
  section(kMsgReportCharacteristic, !bursts.propositionNumbers.empty());
  for (size_t i = 0; i < bursts.propositionNumbers.size() && i < bursts.propositionScores.size(); ++i) {
    const unsigned score = bursts.propositionScores[i];
    std::snprintf(line, sizeof line, "%u\t%u\t%d\n", bursts.propositionNumbers[i], score,
                  score >= bursts.scoreCutoff ? 1 : 0);
    out += line;
  }
  return out;
}

}  // namespace quilor
