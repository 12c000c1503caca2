#pragma once
// "Evaluate Expression": a compound test over quoted texts, stored as
// "TRUE", "FALSE" or "ERROR".
#include "engine/interpreter.h"

namespace bw {

void RegisterExpressionCommands(CommandTable& table);

}  // namespace bw
