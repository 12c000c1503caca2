#pragma once
#include <string>
#include <vector>

namespace bw {

// Exit codes of start-up's own failures.
enum StartupExitCode : int {
  kExitRuntimeError = 11,
  kExitNoScript = 13,
  kExitResourceMissing = 14,
  kExitResourceDecompression = 15,
  kExitDatabaseMissing = 16,
};

// The engine's main program. arguments are the process arguments after the
// program path, rawCommandLine the whole command line as the process got it.
// Returns the process exit code; never throws.
int RunStartup(const std::vector<std::string>& arguments, const std::string& rawCommandLine);

}  // namespace bw
