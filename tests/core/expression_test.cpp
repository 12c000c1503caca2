#include "engine/expression.h"

#include <gtest/gtest.h>

#include "commands/expression_commands.h"
#include "test_script.h"

namespace bw {
namespace {

struct ExpressionCase {
  const char* text;
  const char* result;
};

TEST(Expression, EvaluatesByTheTokenisingRules) {
  const ExpressionCase cases[] = {
      // Comparisons: textual, byte by byte, case-sensitive; a prefix is smaller.
      {R"("a"="a")", "TRUE"},
      {R"("a"="A")", "FALSE"},
      {R"("10"<"9")", "TRUE"},
      {R"("B"<"a")", "TRUE"},
      {R"("ab">"a")", "TRUE"},
      {R"("a"<"ab")", "TRUE"},
      {R"("a"<>"b")", "TRUE"},
      {R"("a"<="a")", "TRUE"},
      {R"("b">="c")", "FALSE"},
      {"\"\xE9\">\"z\"", "TRUE"},  // unsigned bytes: 0xE9 sorts after 'z'
      {R"(""="")", "TRUE"},
      // Operators may touch the operands or stand between blanks.
      {R"(  "a"  =  "a"  )", "TRUE"},
      {R"("a"=="a")", "ERROR"},
      {R"("a" => "a")", "ERROR"},
      {R"("a" "a")", "ERROR"},
      {R"("a"=)", "ERROR"},
      {R"("a" = )", "ERROR"},
      {R"("a" = b)", "ERROR"},
      {R"("a = "a")", "ERROR"},
      {R"("a"="a)", "ERROR"},
      // Inner pairs of quotes are one quote.
      {R"("a""b"="a""b")", "TRUE"},
      {R"("""" = """")", "TRUE"},
      {R"("a""" > "a")", "TRUE"},
      // Logic: lower case only, left to right with equal precedence.
      {R"("a"="a" or "a"="b" and "a"="b")", "FALSE"},
      {R"("a"="b" and "a"="b" or "a"="a")", "TRUE"},
      {R"("a"="a" AND "b"="b")", "ERROR"},
      {R"("a"="a" Or "b"="b")", "ERROR"},
      {R"("a"="a" xor "b"="b")", "ERROR"},
      {R"("a"="a" and)", "ERROR"},
      {R"("a"="a"and"b"="b")", "TRUE"},
      // Both sides are read: a broken right side is an error after a false left.
      {R"("a"="b" and "b" ?? "b")", "ERROR"},
      // Groups: "and(" is one run and no operator.
      {R"(("a"="a") and ("b"="b"))", "TRUE"},
      {R"(("a"="a") and("b"="b"))", "ERROR"},
      {R"(("a"="a")and ("b"="b"))", "TRUE"},
      {R"("a"="a" or ("a"="b" and "a"="b"))", "TRUE"},
      {R"(((("a"="a"))))", "TRUE"},
      {R"(("a"="a")", "ERROR"},
      {R"("a"="a"))", "ERROR"},
      {R"("a"="a") and ("b"="b")", "TRUE"},  // the outer group closes early, a second one opens
      {R"(() )", "ERROR"},
      // Anything that does not start a test.
      {"", "ERROR"},
      {"   ", "ERROR"},
      {"a=a", "ERROR"},
      {R"("a"="a" "b"="b")", "ERROR"},
      {"\"a\"\t=\t\"a\"", "ERROR"},  // a tab is no blank
  };
  for (const ExpressionCase& c : cases) EXPECT_EQ(Evaluate(c.text), c.result) << c.text;
}

TEST(Expression, DeepNestingIsReadWithoutRecursion) {
  const std::size_t depth = 200000;
  const std::string nested = std::string(depth, '(') + R"("a"="a")" + std::string(depth, ')');
  EXPECT_EQ(Evaluate(nested), "TRUE");
  EXPECT_EQ(Evaluate(nested + ")"), "ERROR");
}

TEST(Expression, ValidityReadsEachReferenceAsAnOperand) {
  const struct {
    const char* text;
    bool valid;
  } cases[] = {
      {R"($TITLE$<>"")", true}, {"$A$=$B$ and $C$ >= \"x\"", true}, {R"($A$ = )", false},
      {"$A$ == $B$", false},    {"$A$ = $B$ AND $C$ = $D$", false}, {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidExpression(c.text), c.valid) << c.text;
}

struct CommandCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> variables;
  const char* expression;
  const char* result;
};

// The command expands references as quoted operands and stores the result
// word, creating the result variable when needed.
TEST(Expression, TheCommandStoresTheResultWord) {
  const CommandCase cases[] = {
      {"reference against text", {{"V", "abc"}}, R"($V$ = "abc")", "TRUE"},
      {"two references", {{"V", "10"}, {"W", "9"}}, "$V$<$W$", "TRUE"},
      {"empty value", {{"V", ""}}, R"($V$<>"")", "FALSE"},
      // A reference inside an inserted value is expanded once more without
      // quotes; a later variable's pass reaches it first, quoted as well.
      {"nested reference of an earlier variable", {{"W", "x"}, {"V", "$W$"}}, R"($V$ = "x")", "TRUE"},
      {"nested reference of a later variable", {{"V", "$W$"}, {"W", "x"}}, R"($V$ = "x")", "ERROR"},
      {"value with a quote breaks the expression", {{"V", "a\"b"}}, R"($V$ = "x")", "ERROR"},
      {"unknown reference stays as text", {}, R"($NONE$ = "x")", "ERROR"},
  };
  for (const CommandCase& c : cases) {
    const ScriptPackage package =
        test::MakePackage({{"Evaluate Expression", {c.expression, "Result"}}, {"Evaluate Expression", {"", "R2"}}});
    VariableStore store;
    for (const auto& [name, value] : c.variables) store.Define(name, value, "Test");
    CommandTable table;
    RegisterExpressionCommands(table);
    Interpreter interpreter(package, store, table);
    EXPECT_TRUE(interpreter.RunLoop()) << c.name;
    EXPECT_EQ(store.Get("RESULT"), c.result) << c.name;
    EXPECT_EQ(store.Get("R2"), "ERROR") << c.name;
  }
}

}  // namespace
}  // namespace bw
