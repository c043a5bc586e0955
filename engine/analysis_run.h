// One analysis run: empties TextWords, has the text loader read every queued
// document through the word scanner and the segment buffer, then totals the
// categories and runs the passes over the words.
#pragma once

#include <cstdint>

namespace quilor {

// Run flags (the stop request, CancelRequested, is in core/gauge.h).
extern bool RunAborted;       // a step failed or the run was stopped
extern bool RunStopped;       // the loading step ended on the cancel flag
extern bool RunRunning;       // set for the whole run; a second run is refused
extern uint8_t RunKind;       // the run-kind argument, kept for the later passes
// Whether runs show the progress gauge.
extern bool RunGaugeWanted;
// Propositions the Borders took out of the text of the last run.
extern uint32_t RunFilteredPropositions;

// The size question comes when the texts pass the options record's
// threshold (u16 at 372, units of 1,024,000 bytes; raised to 2 in the
// record when lower). On every failure or stop the gauge is closed and the
// run is released (no results, no words), so nothing can use half a run.
bool RunAnalysis(uint8_t runKind);
bool LoadAndSegment();
bool LoadTexts();
bool CheckRunStop();
// Finishes the segment buffer and the resolver of a loading in progress,
// sets the abort flag, clears the running flag, closes the gauge and
// restores the cursor.
void StopRun();
// Creates the gauge when runs want one (shown, or kept hidden), else resets it.
void ShowRunGauge(bool visible);
void CloseProgressGauge();
// Frees the run's results and relation records; with clearWords, empties TextWords.
void EndAnalysisRun(bool clearWords);

}  // namespace quilor
