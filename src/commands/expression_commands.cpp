#include "commands/expression_commands.h"

#include "engine/expression.h"

namespace bw {

void RegisterExpressionCommands(CommandTable& table) {
  table.Register("Evaluate Expression", [](Interpreter& run) {
    constexpr std::string_view kLabel = "Evaluate Expression Action";
    VariableStore& store = run.Store();
    const std::string result = run.Parameter(2);
    if (!store.IsDefined(result)) store.Define(result, "", kLabel);
    // Each reference becomes a quoted operand; a bad expression is a result
    // word, never a run-time error.
    store.Set(result, Evaluate(store.ExpandQuoted(run.Parameter(1))), kLabel);
  });
}

}  // namespace bw
