// The OWL import as the Scenario editor runs it, without its window: the
// options taken from the window and the settings, the run into the user's
// Scenario folder, and what the user is told about it.
#pragma once

#include <string>

#include "import/owl_import.h"

namespace quilor::ui {

constexpr int kMsgOwlImportFilter = 7400;
constexpr int kMsgOwlEntity = 7411;
constexpr int kMsgOwlMalformed = 7412;
constexpr int kMsgOwlLine = 7413;
constexpr int kMsgOwlColumn = 7414;
constexpr int kMsgOwlTooDeep = 7415;
constexpr int kMsgOwlUnreadable = 7416;
constexpr int kMsgOwlNotWritten = 7417;
constexpr int kMsgOwlLogIsIn = 7418;
constexpr int kMsgOwlOverLimit = 7419;
// The import's switches.
constexpr int kMsgOwlFlexedForms = 7402, kMsgOwlUnicodeToAnsi = 7403, kMsgOwlIgnoreOtherLanguages = 7404,
              kMsgOwlIgnoreRestrictions = 7405, kMsgOwlVerboseLog = 7406, kMsgOwlDumpBuffers = 7410;
// The step that failed: reading, the concept tree, the Scenario.
constexpr int kMsgOwlReadFailed = 7407, kMsgOwlTreeFailed = 7408, kMsgOwlScenarioFailed = 7409;
constexpr int kMsgOwlLeftOut = 7420;
constexpr int kMsgOwlLeftOutListed = 7421;
constexpr int kMsgOwlEntityWhy = 7422;

// The options as the import's window leaves them, with the general option and the analysis language.
OwlImportOptions OwlOptionsFromSettings(bool flexedForms, bool unicode, bool otherLanguages, bool restrictions,
                                        bool verbose, bool dump);

// What the user is told after an import (Windows-1252): for a failure, the
// step that failed, why, and where the log is; for an import that left
// classes out, how many and where they are listed; nothing otherwise.
std::string OwlImportReport(const OwlImportResult& result, const std::string& logPath);

// Runs the import of a file into the user's Scenario folder and tells the
// user what went wrong (error picture) or what was left out (warning
// picture). The produced file, or empty.
std::string RunOwlImport(const std::string& inputPath, const OwlImportOptions& options, std::string& logPath);

}  // namespace quilor::ui
