#include "engine/condition.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

TEST(Condition, ComparesNumericallyWhenBothSidesAreIntegersElseAsText) {
  VariableStore store;
  store.Define("TEN", "10", "Test");
  store.Define("TEXT", "Hello World", "Test");
  store.Define("EMPTY", "", "Test");
  store.Define("ACCENT", "\xC4pfel", "Test");  // A umlaut
  store.Define("NINE", "9", "Test");
  struct ConditionCase {
    const char* variable;
    const char* code;
    const char* comparison;
    const char* negation;
    bool holds;
  };
  const ConditionCase cases[] = {
      {"TEN", "2", "9", "FALSE", true},       // numeric 10 > 9
      {"TEN", "2", "9x", "FALSE", false},     // textual "10" < "9x"
      {"TEN", "2", "$NINE$", "FALSE", true},  // the comparison text is expanded
      {"$TEN$", "0", "10", "FALSE", true},    // the name may carry dollars
      {"TEN", "0", "$a", "FALSE", true},      // "$a" is hexadecimal 10
      {"TEN", "0", "0xA", "FALSE", true},     // integer texts in any form
      {"TEN", "1", "10", "FALSE", true},      // numeric codes 1, 3, 4 mean equal
      {"TEN", "3", "1", "FALSE", false},
      {"TEXT", "0", "Hello World", "FALSE", true},
      {"TEXT", "0", "hello world", "FALSE", false},
      {"TEXT", "1", "World", "FALSE", true},
      {"TEXT", "1", "world", "FALSE", false},
      {"TEXT", "3", "WORLD", "FALSE", true},
      {"TEXT", "4", "HELLO WORLD", "FALSE", true},
      {"ACCENT", "4", "\xE4PFEL", "FALSE", false},  // code 4 folds a to z only
      {"ACCENT", "3", "\xE4PF", "FALSE", true},     // code 3 folds the code page's letters
      {"EMPTY", "1", "", "FALSE", false},           // an empty text is contained in nothing
      {"EMPTY", "3", "", "TRUE", true},
      {"TEXT", "0", "Hello World", "true", false},  // negation is a truth text
      {"TEXT", "0", "x", "-1", true},
      {"TEXT", "9", "Hello World", "FALSE", false},
      {"TEXT", "", "Hello World", "FALSE", false},
      {"TEN", "5", "", "FALSE", true},
      {"$TEN$", "5", "", "FALSE", false},  // code 5 takes the name as written
      {"NOPE", "5", "", "TRUE", true},
  };
  for (const ConditionCase& c : cases) {
    EXPECT_EQ(EvaluateCondition(store, {c.variable, c.code, c.comparison, c.negation}), c.holds)
        << c.variable << " " << c.code << " " << c.comparison << " " << c.negation;
  }
  EXPECT_THROW(EvaluateCondition(store, {"NOPE", "0", "", "FALSE"}), ScriptError);
}

}  // namespace
}  // namespace bw
