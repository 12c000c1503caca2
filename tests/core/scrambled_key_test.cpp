#include "engine/scrambled_key.h"

#include <gtest/gtest.h>

#include <optional>

namespace bw {
namespace {

TEST(ScrambledKey, DecodesLowDigitFirstAfterThePositionXor) {
  // "A" is 0x41: digits "1" then "4"; "4" at position 1 becomes '4' ^ 1 = '5'.
  EXPECT_EQ(UnscrambleKey("15"), std::optional<std::string>("A"));
  EXPECT_EQ(ScrambleKey("A"), "15");
  // 0xAB: "B" then "A" ^ 1 = '@'; the lower-case digits decode alike.
  EXPECT_EQ(UnscrambleKey("B@"), std::optional<std::string>("\xAB"));
  EXPECT_EQ(UnscrambleKey("b`"), std::optional<std::string>("\xAB"));
  EXPECT_EQ(UnscrambleKey(""), std::optional<std::string>(""));
}

TEST(ScrambledKey, RefusesOddLengthsAndNonDigits) {
  EXPECT_EQ(UnscrambleKey("1"), std::nullopt);
  EXPECT_EQ(UnscrambleKey("1Z"), std::nullopt);
}

TEST(ScrambledKey, PositionWrapsAt256) {
  const std::string key(129, 'A');
  const std::string stored = ScrambleKey(key);
  ASSERT_EQ(stored.size(), 258u);
  // Position 256 is XORed with 0 again, 257 with 1.
  EXPECT_EQ(stored[256], '1');
  EXPECT_EQ(stored[257], '5');
  EXPECT_EQ(stored[2], '1' ^ 2);
  EXPECT_EQ(UnscrambleKey(stored), std::optional<std::string>(key));
}

TEST(ScrambledKey, EveryByteValueSurvivesTheRoundTrip) {
  std::string key;
  for (int i = 0; i < 256; ++i) key.push_back(static_cast<char>(255 - i));
  EXPECT_EQ(UnscrambleKey(ScrambleKey(key)), std::optional<std::string>(key));
}

}  // namespace
}  // namespace bw
