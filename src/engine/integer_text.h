#pragma once
// Integer texts as scripts write them: optional leading blanks and sign, then
// decimal digits, or hexadecimal digits after "$", "x" or "0x".
#include <cstdint>
#include <optional>
#include <string_view>

namespace bw {

// The value of a hexadecimal digit of either letter case, or -1.
int HexDigitValue(char c);

// The value of an integer text, or nothing when the text is no integer or its
// value does not fit 32 bits. Hexadecimal texts may use all 32 bits
// ("$FFFFFFFF" is -1); decimal texts must lie within the signed range.
std::optional<std::int32_t> ParseIntegerText(std::string_view text);

}  // namespace bw
