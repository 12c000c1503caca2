#pragma once
// Commands that end the run with an outcome: "Terminate with Exit Code".
#include <cstdint>

#include "engine/interpreter.h"

namespace bw {

// exitCode is the process exit code that start-up returns; it must outlive the table.
void RegisterExitCommands(CommandTable& table, std::int32_t& exitCode);

}  // namespace bw
