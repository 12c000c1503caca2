#pragma once
// The condition of "If" and "Else If".
#include <string_view>

#include "variable_store.h"

namespace bw {

// The parameters of a condition, as fetched (and translated) by the caller.
struct ConditionParameters {
  std::string_view variable;    // parameter 1: the variable's name, with or without dollars
  std::string_view code;        // parameter 2: "0" to "5"
  std::string_view comparison;  // parameter 3: expanded before use
  std::string_view negation;    // parameter 4: a truth text
};

// Code "5" tests whether the variable (named exactly as written) exists.
// The other codes compare its value with the expanded comparison text,
// numerically when both read as 32-bit integers: "0" equal, "1" contains,
// "2" greater, "3" contains ignoring case, "4" equal ignoring the case of a
// to z; any other code is false. The negation flag inverts the result.
// Throws ScriptError when a compared variable does not exist.
bool EvaluateCondition(const VariableStore& store, const ConditionParameters& parameters);

}  // namespace bw
