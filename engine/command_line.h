// The program's command line: one document to analyse and switches that
// preset the search key, the Scenario and a few run options.
//
// A parameter that names an existing file (or an absolute path into an
// existing folder) is a document, whatever its first character. Otherwise
// "/x" and "-x" are the switch x; only the switch letter is lower-cased, so
// search keys and Scenario names keep their case.
//
//   /c<text>      search key text                  /e<d>   one decimal digit
//   /f /i /l /r   flags (/i: the document is not checked for existence,
//                 /l: the document is a command file)
//   /h<k><text>   search key of kind k (1..4; any other k marks the kind invalid)
//   /s<name>      the Scenario "<name>.scn" (no name: none)
#pragma once

#include <string>
#include <vector>

namespace quilor {

constexpr int kMsgBadParameter = 48;

// What the parser found, and the stop request (below);
// CommandLineFlags = {} starts it afresh.
struct TCommandLineFlags {
  bool searchKeyGiven = false;
  bool keyKindValid = false;
  bool commandFileGiven = false;
  // The document kind of the document named last (0 when none was), which
  // the caller keeps in the options.
  uint16_t documentKind = 0;
  // Set when start-up or the command line asks the program to stop (the
  // window layer then closes and runs the normal shut-down).
  bool terminationRequested = false;
};
extern TCommandLineFlags CommandLineFlags;

// Parses params (the program's parameters, without the program name) into
// the work context. A bad parameter shows message 48 with the parameter,
// sets CommandLineFlags.terminationRequested and gives False; nothing after it is applied.
bool ParseCommandLine(const std::vector<std::string>& params);
bool ParseCommandLine(int argc, const char* const* argv);

// text with its first "%s" replaced by value.
std::string FormatMessageWith(int id, const std::string& value);

}  // namespace quilor
