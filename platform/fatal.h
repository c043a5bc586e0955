// Fatal errors end the program with a fixed exit code. They are thrown as an
// exception that main catches, so that the code stays the same and tests can
// see it.
#pragma once

#include <stdexcept>
#include <string>

namespace quilor {

class FatalError : public std::runtime_error {
 public:
  FatalError(int exitCode, const std::string& why) : std::runtime_error(why), exitCode_(exitCode) {}
  int ExitCode() const { return exitCode_; }

 private:
  int exitCode_;
};

// Exit codes of the program.
constexpr int kExitOk = 0;
constexpr int kExitFatal = 1;           // allocation failure, wrong or corrupt dictionary
constexpr int kExitDictionaryRead = 2;  // read error of a dictionary file

[[noreturn]] inline void Terminate(int exitCode, const std::string& why) { throw FatalError(exitCode, why); }

}  // namespace quilor
