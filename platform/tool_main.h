// The main of a command-line tool: runs it and turns a fatal error into its
// message on standard error and its exit code.
#pragma once

#include <cstdio>

#include "platform/fatal.h"
#include "platform/text_encoding.h"

namespace quilor {

inline int RunTool(int (*run)(int, char**), int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const FatalError& e) {
    std::fprintf(stderr, "%s\n", Cp1252ToUtf8(e.what()).c_str());
    return e.ExitCode();
  }
}

}  // namespace quilor
