// One analysis run: empties TextWords, has the text loader read every queued
// document through the word scanner and the segment buffer, then totals the
// categories and runs the passes over the words.
#pragma once

#include <cstdint>

#include "core/run_settings.h"

namespace quilor {

// The state of the analysis run (the stop request, Progress.cancelRequested, is in
// core/gauge.h); CurrentRun = {} starts it afresh.
struct TRunFlags {
  bool aborted = false;     // a step failed or the run was stopped
  bool stopped = false;     // the loading step ended on the cancel flag
  bool running = false;     // set for the whole run; a second run is refused
  bool memoryLow = false;   // the run failed because memory ran out ("Memory low" shown)
  uint8_t kind = 0;         // the run-kind argument, kept for the later passes
  bool gaugeWanted = true;  // whether runs show the progress gauge
  // Propositions the Borders took out of the text of the last run.
  uint32_t filteredPropositions = 0;
  // What the run read of the options as it started.
  TRunSettings settings;
};
extern TRunFlags CurrentRun;

// The run works from settings, its caller's snapshot of the options. The
// size question comes when the texts pass their size threshold (units of
// 1,024,000 bytes, at least 2). On every failure or stop the gauge is closed
// and the run is released (no results, no words), so nothing can use half a run.
bool RunAnalysis(uint8_t runKind, const TRunSettings& settings);
// Loads and segments the queued texts with the settings of CurrentRun.
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
