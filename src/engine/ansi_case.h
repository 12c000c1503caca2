#pragma once
// Case mapping of 8-bit text in the system ANSI code page. On Windows the
// system's own mapping is used; elsewhere a code page 1252 table stands in.
#include <cstddef>
#include <string>
#include <string_view>

namespace bw {

// The upper-case form of one ANSI character (a byte of the code page).
char AnsiUpperChar(char c);

std::string AnsiUpper(std::string_view text);

// True when both texts are equal after upper-casing.
bool AnsiEqualsIgnoringCase(std::string_view a, std::string_view b);

// Hash and equality for unordered containers keyed by text compared ignoring case.
struct AnsiCaseInsensitiveHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const;
};
struct AnsiCaseInsensitiveEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return AnsiEqualsIgnoringCase(a, b); }
};

}  // namespace bw
