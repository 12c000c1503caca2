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

// The exit code of a script that fails the preparation pass: nothing of it
// runs and no message shows.
inline constexpr std::int32_t kExitPreparationFailed = 314;

struct ScriptRunOutcome {
  std::int32_t exitCode = 0;
  // The preparation pass failed: the process ends at once with exitCode,
  // without further log lines.
  bool endProcess = false;
};

// Runs the script. logPath is the run log's current path, which follows
// LOGGED. The exit code is the one the script set (0 unless it set one);
// never throws for a run-time error of the script, which it reports itself.
ScriptRunOutcome RunScript(const ScriptPackage& package, VariableStore& store, const RunFacts& facts, RunLog& log,
                           std::string& logPath);

}  // namespace bw
