#pragma once
// The scrambled form in which the web media block key table stores its keys.
//
// Scrambling: each key byte becomes two hexadecimal digits, low-order digit
// first; then the character at 0-based position i is XORed with (i mod 256).
#include <optional>
#include <string>
#include <string_view>

namespace bw {

// The key text of a stored value, or nothing when the value has an odd length
// or a pair that is not two hexadecimal digits (either letter case).
std::optional<std::string> UnscrambleKey(std::string_view stored);

// The stored value of a key text, with upper-case digits.
std::string ScrambleKey(std::string_view key);

}  // namespace bw
