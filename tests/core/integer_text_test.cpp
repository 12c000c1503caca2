#include "engine/integer_text.h"

#include <gtest/gtest.h>

#include <optional>

namespace bw {
namespace {

struct IntegerCase {
  const char* text;
  std::optional<std::int32_t> value;
};

TEST(IntegerText, ReadsDecimalAndHexadecimalWithinThirtyTwoBits) {
  const IntegerCase cases[] = {
      {"0", 0},
      {"42", 42},
      {"  -17", -17},
      {"+8", 8},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483648", std::nullopt},
      {"$1F", 31},
      {"x1f", 31},
      {"0x10", 16},
      {"$FFFFFFFF", -1},
      {"-$10", -16},
      {"$100000000", std::nullopt},
      {"", std::nullopt},
      {" ", std::nullopt},
      {"-", std::nullopt},
      {"$", std::nullopt},
      {"12a", std::nullopt},
      {"1 ", std::nullopt},
      {"1.5", std::nullopt},
      {"99999999999999999999", std::nullopt},
  };
  for (const IntegerCase& c : cases) {
    EXPECT_EQ(ParseIntegerText(c.text), c.value) << '"' << c.text << '"';
  }
}

}  // namespace
}  // namespace bw
