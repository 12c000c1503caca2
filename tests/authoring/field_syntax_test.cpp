#include "authoring/field_syntax.h"

#include <gtest/gtest.h>

namespace bw::authoring {
namespace {

TEST(FieldSyntax, TheLastFieldIsTheRestOfTheLine) {
  EXPECT_EQ(ParseFields(" My Product  ", 1), std::vector<std::string>{"My Product"});
  EXPECT_EQ(ParseFields("", 1), std::vector<std::string>{""});
  EXPECT_EQ(ParseFields(" say \"hi\"", 1), std::vector<std::string>{"say \"hi\""});
  EXPECT_EQ(ParseFields(" offline my secret", 2), (std::vector<std::string>{"offline", "my secret"}));
  EXPECT_EQ(ParseFields(" NAME", 2), (std::vector<std::string>{"NAME", ""}));
  EXPECT_EQ(ParseFields(" \"a b\" \"\" rest", 3), (std::vector<std::string>{"a b", "", "rest"}));
  EXPECT_EQ(ParseFields(" \"\\x41\\t\\\\\\\"\"", 1), std::vector<std::string>{"A\t\\\""});
}

TEST(FieldSyntax, MalformedFieldsAreRefused) {
  struct FaultCase {
    const char* text;
    std::size_t count;
  };
  const FaultCase cases[] = {
      {" \"open", 1}, {" \"a\" b", 1}, {" \"\\q\"", 1}, {" \"\\x4\"", 1}, {" \"a\"b c", 2}, {" \"ends\\", 1},
  };
  for (const FaultCase& c : cases) EXPECT_THROW(ParseFields(c.text, c.count), SyntaxError) << c.text;
  EXPECT_THROW(ParseFields("", 2), SyntaxError);  // the first of two fields is missing
}

TEST(FieldSyntax, FormattedFieldsReadBackUnchanged) {
  const std::vector<std::vector<std::string>> cases = {
      {"plain"},       {"two words"}, {" leading"}, {"trailing "}, {"\"quoted\""}, {"tab\tinside"},
      {"\x01\x7F"},    {"\xE4\xF6"},  {""},         {"a", ""},     {"", "b"},      {"a b", "c d", "e f "},
      {"back\\slash"}, {"x\"", "y"},  {"\r\n"},     {"#hash"},
  };
  for (const auto& fields : cases) {
    EXPECT_EQ(ParseFields(" " + FormatFields(fields), fields.size()), fields) << FormatFields(fields);
  }
}

}  // namespace
}  // namespace bw::authoring
