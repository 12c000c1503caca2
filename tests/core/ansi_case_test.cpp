#include "engine/ansi_case.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

// The tests' systems use code page 1252 (natively by the stand-in table, under
// Wine by the system's mapping), so both builds must agree on these.
TEST(AnsiCase, UpperCasesTheLettersOfTheCodePage) {
  EXPECT_EQ(AnsiUpper("setup.exe"), "SETUP.EXE");
  EXPECT_EQ(AnsiUpper("\xE4\xF6\xFC\xE9"), "\xC4\xD6\xDC\xC9");  // a o u umlaut, e acute
  EXPECT_EQ(AnsiUpper("\xF7\xDF"), "\xF7\xDF");                  // division sign, sharp s
  EXPECT_EQ(AnsiUpper("\xFF\x9A"), "\x9F\x8A");                  // y diaeresis, s caron
  EXPECT_EQ(AnsiUpper("{0d3e8666-30aa}"), "{0D3E8666-30AA}");
}

TEST(AnsiCase, HashAndEqualityIgnoreCase) {
  const AnsiCaseInsensitiveHash hash;
  const AnsiCaseInsensitiveEqual equal;
  EXPECT_TRUE(equal("K\xE4se", "k\xC4SE"));
  EXPECT_EQ(hash("K\xE4se"), hash("k\xC4SE"));
  EXPECT_FALSE(equal("abc", "abd"));
  EXPECT_FALSE(equal("abc", "abcd"));
}

}  // namespace
}  // namespace bw
