#pragma once
// The run of the script: the interpreter's start of run, its command loop
// with the engine's hooks, and the end of run.
#include <cstdint>

#include "engine/run_start.h"
#include "engine/script_package.h"
#include "engine/variable_store.h"
#include "startup/run_log.h"

namespace bw {

// The facts of this machine that the run's variables start from.
RunFacts GatherMachineFacts();

// Runs the script. logPath is the run log's current path, which follows
// LOGGED. Returns the exit code the script set (0 unless it set one); never
// throws for a run-time error of the script, which it reports itself.
std::int32_t RunScript(const ScriptPackage& package, VariableStore& store, const RunFacts& facts, RunLog& log,
                       std::string& logPath);

}  // namespace bw
