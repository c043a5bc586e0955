// The engine started once for the window tests, on the dictionaries and
// Scenarios of the build, and texts analysed with it.
#pragma once

#include <string>
#include <vector>

namespace quilor::testing_support {

// Starts the engine the first time (the program's start-up on the build's
// Dico folder, then the current Scenario); later calls do nothing.
void EnsureEngineStarted();
// Analyses the files as one text (after EnsureEngineStarted); the run's result.
bool AnalyseFiles(const std::vector<std::string>& files);
// samples/sample.txt of the source tree.
std::string SamplePath();

}  // namespace quilor::testing_support
