// What one analysis of a text makes and keeps: an object owned by whoever runs
// the analysis (the main window's analysis session, each command-line tool,
// a test), handed to the run and to the views that show its results. Two of
// them can live in one process side by side.
#pragma once

#include "engine/bursts.h"
#include "engine/run_flags.h"
#include "engine/segment_counts.h"

namespace quilor {

class TSegmentBuffer;

struct TAnalysis {
  // The state of its run; run = {} starts it afresh.
  TRunFlags run;
  // The segment buffer of the loading in progress (set by the text scanner
  // while it lives), which a stopped run finishes.
  TSegmentBuffer* loading = nullptr;
  // The bursts, episodes and characteristic propositions of the text, and
  // the marks of its words (cleared as each run starts).
  TBurstResults bursts;
  // The words and propositions the loading handed to the word list (of the
  // last document read).
  TSegmentCounts segments;
};

}  // namespace quilor
