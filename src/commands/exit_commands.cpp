#include "commands/exit_commands.h"

#include "engine/integer_text.h"

namespace bw {

void RegisterExitCommands(CommandTable& table, std::int32_t& exitCode) {
  table.Register("Terminate with Exit Code", [&exitCode](Interpreter& run) {
    const std::string text = run.Store().Expand(run.Parameter(1));
    const auto code = ParseIntegerText(text);
    if (!code) throw ScriptError("'" + text + "' is not a valid integer value");
    exitCode = *code;
    run.EndRun();
  });
}

}  // namespace bw
