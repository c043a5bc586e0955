// The start-up and analysis of the tools that work on an analysed text
// (quilor-dump, quilor-render): the files are checked, the program's own
// start-up runs on a dictionary folder, the current or a given Scenario is
// applied and the files are analysed as one text. The tools read the user's
// options but never write them.
#pragma once

#include <string>
#include <vector>

namespace quilor {

// Exit codes of the tools besides kExitOk, kExitFatal (a stopped or failed
// run, "Memory low") and kExitDictionaryRead (platform/fatal.h).
constexpr int kExitTextCut = 3;  // the text reached the word cap: only its beginning was analysed
constexpr int kExitUsage = 64;
constexpr int kExitNothingRead = 65;  // no document gave any text (each failed or was empty)
constexpr int kExitNoInput = 66;
constexpr int kExitBadScenario = 65;  // the --scenario file cannot be read or fails the integrity check

struct TToolAnalysis {
  std::string dico;      // the dictionary folder
  std::string scenario;  // a Scenario to apply instead of the current one ("" none)
  std::vector<std::string> files;
};

// Every file must exist and be a readable file: otherwise its message
// (UTF-8) and kExitNoInput.
int CheckToolFiles(const std::vector<std::string>& files, std::string& message);
struct TAnalysis;

// Starts up, applies the Scenario and runs the analysis into analysis. The exit code when
// the tool cannot go on (start-up failed, Scenario unreadable; the message
// is said through say, in UTF-8); otherwise kExitOk with analysed telling whether the
// run ended.
int StartToolAnalysis(const TToolAnalysis& run, TAnalysis& analysis, bool& analysed,
                      void (*say)(const std::string& utf8));
// Frees the results and shuts down; a tool that exits right after (with
// std::_Exit once its output is flushed) leaves the memory to the system.
void StopToolAnalysis(bool processExits = false);

}  // namespace quilor
