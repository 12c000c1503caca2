#include "condition.h"

#include <optional>

#include "integer_text.h"
#include "text_utilities.h"

namespace bw {

namespace {

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

// An empty text is contained in nothing.
bool Contains(std::string_view text, std::string_view part) {
  return !part.empty() && text.find(part) != std::string_view::npos;
}

bool Compare(std::string_view code, const std::string& left, const std::string& right) {
  const std::optional<std::int32_t> leftNumber = ParseIntegerText(left);
  const std::optional<std::int32_t> rightNumber = ParseIntegerText(right);
  if (leftNumber && rightNumber) {
    if (code == "0" || code == "1" || code == "3" || code == "4") return *leftNumber == *rightNumber;
    if (code == "2") return *leftNumber > *rightNumber;
    return false;
  }
  if (code == "0") return left == right;
  if (code == "1") return Contains(left, right);
  if (code == "2") return left > right;  // byte order: char_traits compares as unsigned
  if (code == "3") return Contains(AnsiUpper(left), AnsiUpper(right));
  if (code == "4") return EqualsIgnoringAsciiCase(left, right);
  return false;
}

}  // namespace

bool EvaluateCondition(const VariableStore& store, const ConditionParameters& parameters) {
  bool result = false;
  if (parameters.code == "5") {
    result = store.IsDefined(parameters.variable);
  } else {
    const std::string stripped = StripDollars(parameters.variable);
    const std::string left = store.Get(stripped.empty() ? parameters.variable : std::string_view(stripped));
    result = Compare(parameters.code, left, store.Expand(parameters.comparison));
  }
  return result != ToBool(parameters.negation);
}

}  // namespace bw
