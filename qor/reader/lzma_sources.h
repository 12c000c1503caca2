#pragma once
// LZMA and LZMA2 decoding as streams. The LZMA decoder proper is the
// public-domain LzmaDec; the dictionary is a window of our own, no larger than
// the stream's declared output, so small streams with large dictionaries cost
// little memory.
#include <cstdint>
#include <memory>
#include <vector>

#include "streams.h"

namespace qor {

// An LZMA stream with the five property bytes of its coder and its exact
// decoded size.
std::unique_ptr<ByteSource> MakeLzmaSource(std::unique_ptr<ByteSource> input, const std::vector<std::uint8_t>& props,
                                           std::uint64_t outputSize);

// An LZMA2 stream (chunks with resets) with the one property byte of its coder
// (the dictionary size) and its exact decoded size.
std::unique_ptr<ByteSource> MakeLzma2Source(std::unique_ptr<ByteSource> input, const std::vector<std::uint8_t>& props,
                                            std::uint64_t outputSize);

}  // namespace qor
