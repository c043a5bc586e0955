#include "engine/burst_report.h"

#include <gtest/gtest.h>

#include "core/messages.h"

namespace quilor {
namespace {

TEST(BurstReport, SectionsOfTheResults) {
  TBurstResults r;
  TBurstRecord b{};
  b.itemId = 12;
  b.count = 5;
  b.firstPosition = 100;
  b.lastPosition = 120;
  b.meanPosition = 110.4f;
  b.episode = 1;
  r.bursts.push_back(b);
  b.itemId = -22;
  r.bursts.push_back(b);
  TEpisodeRecord e{};
  e.firstPosition = 1;
  e.lastPosition = 300;
  e.burstCount = 2;
  r.episodes.push_back(e);
  r.propositionNumbers = {4, 9};
  r.propositionScores = {40, 12};
  r.scoreCutoff = 20;
  std::array<uint32_t, 78> counters{};
  std::array<double, 78> percentages{};
  std::array<int8_t, 77> norms{};
  TDiagnosisInputs in;
  in.counters = counters.data();
  in.percentages = percentages.data();
  in.norms = norms.data();
  in.textWords = 1;
  TDiagnosisList diagnosis;
  diagnosis.DiagnoseStyle(in, nullptr);
  const std::string text = FormatStyleAndBursts(
      diagnosis, r, [](int32_t id) { return id == 12 ? std::string("sea\tside") : std::string("cause"); });
  const auto header = [](int m) { return std::string("# ") + GetMessageText(m) + "\n"; };
  // No tendency lines: no section.
  const std::string corrupted = GetMessageText(kMsgCorruptedInput);  // the message buffer is shared
  EXPECT_EQ(text, header(kMsgReportStyle) + corrupted + "\n" + header(kMsgReportBursts) +
                      "12\tsea side\t5\t100\t120\t110.4\t1\n"
                      "-22\tcause\t5\t100\t120\t110.4\t1\n" +
                      header(kMsgReportEpisodes) + "1\t1\t300\t2\n" + header(kMsgReportCharacteristic) +
                      "4\t40\t1\n"
                      "9\t12\t0\n");
}

}  // namespace
}  // namespace quilor
