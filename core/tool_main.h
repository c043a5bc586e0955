// The main of a command-line tool: runs it and turns a fatal error into its
// message on standard error and its exit code, and a failed allocation into
// "Memory low" and the fatal exit code (never an abort).
#pragma once

#include <cstdio>
#include <new>

#include "core/messages.h"
#include "platform/fatal.h"
#include "platform/message_ui.h"
#include "platform/text_encoding.h"

namespace quilor {

inline int RunTool(int (*run)(int, char**), int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const FatalError& e) {
    SetMessageUi(nullptr);  // the tool's own interface may be gone with its frame
    std::fprintf(stderr, "%s\n", Cp1252ToUtf8(e.what()).c_str());
    return e.ExitCode();
  } catch (const std::bad_alloc&) {
    SetMessageUi(nullptr);
    return ReportOutOfMemory();
  }
}

}  // namespace quilor
