#pragma once
// Boolean expressions over quoted texts, for "Evaluate Expression":
//
//   expression = test { ("and" | "or") test }      combined left to right
//   test       = "(" expression ")" | operand op operand
//   op         = "=" | "<>" | "<" | "<=" | ">" | ">="
//
// Operands are double-quoted texts ("" inside stands for one quote) compared
// byte by byte; an operator is the run of characters up to the next double
// quote or blank, so "and(" is no operator. Blanks are spaces only.
#include <string>
#include <string_view>

namespace bw {

// "TRUE", "FALSE" or "ERROR" (malformed text) for an expanded expression.
// Never throws; nesting depth is bounded only by the text.
std::string Evaluate(std::string_view text);

// The preparation check of an unexpanded expression: every "$" becomes a
// double quote, so each variable reference reads as an operand; valid unless
// that evaluates to "ERROR".
bool IsValidExpression(std::string_view text);

}  // namespace bw
