#pragma once
// Where data appended to a PE image starts: the largest
// PointerToRawData + SizeOfRawData over its section headers. The headers are
// the same at the start of the file and at the base of the mapped module, so
// one computation serves both.
#include <cstdint>
#include <optional>
#include <span>

namespace bw {

// The stub size given the bytes from the start of the image, which must reach
// at least to the end of the section table. Nothing when the bytes are not a
// PE image or are cut short.
std::optional<std::uint64_t> StubSizeFromHeaders(std::span<const std::uint8_t> headers);

}  // namespace bw
