#pragma once
// The check of a loaded script before any command runs: block structure,
// labels, and per-command rules, walking the script in order while defining
// every variable a command will write, so that a command reading a variable
// can be checked against some earlier command (or the engine) defining it.
//
// The pass runs nothing and keeps nothing: it works on a store of its own.
#include <cstdint>
#include <string>
#include <string_view>

#include "script_package.h"

namespace bw {

// The index of a failure that belongs to no single command (unbalanced "End").
inline constexpr std::int32_t kNoCommandIndex = 2147483644;

inline constexpr std::string_view kLabelUndefinedMessage = "LABEL undefined: ";

struct PreparationResult {
  std::int32_t failingIndex = -1;  // -1 when the script passed
  std::string message;

  bool Passed() const { return failingIndex == -1; }
};

PreparationResult Prepare(const ScriptPackage& package);

}  // namespace bw
