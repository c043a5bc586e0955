// The flags of the analysis run in progress, which the run's steps read and
// set (the resolver counts the propositions the Borders take out in them).
#pragma once

#include <cstdint>

#include "core/run_settings.h"

namespace quilor {

// The state of an analysis run (the stop request, Progress.cancelRequested, is
// in core/gauge.h), kept by its analysis.
struct TRunFlags {
  bool aborted = false;     // a step failed or the run was stopped
  bool stopped = false;     // the loading step ended on the cancel flag
  bool running = false;     // set for the whole run; a second run is refused
  bool memoryLow = false;   // the run failed because memory ran out ("Memory low" shown)
  uint8_t kind = 0;         // the run-kind argument, kept for the later passes
  bool gaugeWanted = true;  // whether runs show the progress gauge
  // What the run read of the options as it started.
  TRunSettings settings;
};

}  // namespace quilor
