#pragma once
// Conversions between the engine's ANSI text and the wide text some calls need.
#include <string>
#include <string_view>

namespace bw {

std::wstring AnsiToWide(std::string_view text);

}  // namespace bw
