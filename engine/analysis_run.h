// One analysis run: empties TextWords, has the text loader read every queued
// document through the word scanner and the segment buffer, then totals the
// categories and runs the passes over the words.
#pragma once

#include <cstdint>

namespace quilor {

// Run flags.
extern bool CancelRequested;  // the user stopped the run, or an append found no memory
extern bool RunAborted;       // a step failed or the run was stopped
extern bool RunStopped;       // the loading step ended on the cancel flag
extern bool RunRunning;       // set for the whole run; a second run is refused
extern uint8_t RunKind;       // the run-kind argument, kept for the later passes
// Whether runs show the progress gauge.
extern bool RunGaugeWanted;

// The size-question threshold in megabytes of 1,024,000 bytes (an options
// value; raised to 2 when lower).
extern uint16_t SizeThresholdOption;

bool RunAnalysis(uint8_t runKind);
bool LoadAndSegment();
bool LoadTexts();
bool CheckRunStop();
void StopRun();
void ShowRunGauge(bool visible);
void CloseProgressGauge();
void EndAnalysisRun(bool clearWords);

}  // namespace quilor
