// One analysis run: empties TextWords, has the text loader read every queued
// document through the word scanner and the segment buffer, then totals the
// categories and runs the passes over the words.
#pragma once

#include <cstdint>

#include "core/run_settings.h"
#include "engine/run_flags.h"

namespace quilor {

struct TAnalysis;

// The run works from settings, its caller's snapshot of the options. The
// size question comes when the texts pass their size threshold (units of
// 1,024,000 bytes, at least 2). On every failure or stop the gauge is closed
// and the run is released (no results, no words), so nothing can use half a run.
// What the run makes goes into analysis.
bool RunAnalysis(TAnalysis& analysis, uint8_t runKind, const TRunSettings& settings);
// Loads and segments the queued texts with the settings of the analysis's run.
bool LoadAndSegment(TAnalysis& analysis);
bool LoadTexts(TAnalysis& analysis);
bool CheckRunStop(TAnalysis& analysis);
// Finishes the segment buffer and the resolver of a loading in progress,
// sets the abort flag, clears the running flag, closes the gauge and
// restores the cursor.
void StopRun(TAnalysis& analysis);
// Creates the gauge when runs want one (shown, or kept hidden), else resets it.
void ShowRunGauge(const TRunFlags& run, bool visible);
void CloseProgressGauge();
// Frees the run's results and relation records and empties TextWords.
void EndAnalysisRun();

}  // namespace quilor
