#pragma once
// Text helpers every command uses: truth texts, dollar-name references, comma
// text, size texts, build-variable substitution and case-insensitive replace.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace bw {

// "TRUE" or "FALSE".
const char* BoolText(bool flag);
// True when the upper-cased text is "TRUE" or the text is exactly "-1".
bool ToBool(std::string_view text);

// The name inside a dollar-name reference ("$NAME$": at least one character
// between the dollars and no other dollar), or the empty text.
std::string StripDollars(std::string_view text);

// Replaces every occurrence of pattern, compared ignoring case, scanning left
// to right without rescanning inserted text. An empty pattern changes nothing.
std::string ReplaceIgnoringCase(std::string_view text, std::string_view pattern, std::string_view replacement);

// Comma text: items joined with ","; an item that is empty or holds a
// character of code 32 or less, a double quote or a comma is quoted, inner
// quotes doubled.
std::string WriteCommaText(const std::vector<std::string>& items);
// Reads a comma text (see the writer); characters 1 to 32 between items are
// skipped, a bare item also ends at such a character, a comma at the very end
// adds an empty item, and a NUL ends the text.
std::vector<std::string> ReadCommaText(std::string_view text);

// The display form of a byte count: "512 bytes", "1,500 KB", "5,120 MB",
// with the unit texts of the engine messages or the ones given.
struct SizeUnits {
  std::string bytes, kilobytes, megabytes;
};
std::string SizeText(std::int64_t bytes);
std::string SizeText(std::int64_t bytes, const SizeUnits& units);

// Repeated expansion stops after this many passes, or before a further pass
// over a text longer than the length bound, so self-referring values cannot
// loop forever or grow without end; the text reached then is the result.
struct ExpansionBounds {
  int passes = 32;
  std::size_t length = 1u << 20;
};

// Substitutes "#NAME#" (ignoring case) by the build variables, given as the
// name and value pairs of the script's table, in table order; repeats while
// the result holds "#" and changed, within the bounds.
std::string BuildSubstitute(std::string_view text, const std::vector<std::string>& buildVariables,
                            const ExpansionBounds& bounds = {});

}  // namespace bw
