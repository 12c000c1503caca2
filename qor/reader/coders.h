#pragma once
// The coders of a 7z folder other than LZMA and LZMA2, as streams.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "streams.h"

namespace qor {

// Converts x86 branch targets back from absolute to relative (the decoding
// direction of the BCJ filter). state carries the mask of recent E8/E9 bytes
// between calls; position is the stream offset of data[0]. Returns how many
// leading bytes are final; the rest must be converted again with more data
// behind them (or passed as they are at the end of the stream).
std::size_t ConvertX86Branches(std::uint8_t* data, std::size_t size, std::uint32_t position, std::uint32_t& state);

std::unique_ptr<ByteSource> MakeBcjX86Source(std::unique_ptr<ByteSource> input);
std::unique_ptr<ByteSource> MakeDeflateSource(std::unique_ptr<ByteSource> input);

// Derives the AES-256 key of a 7z password: SHA-256 over 2^cycles rounds of
// salt, password (UTF-16LE) and round counter; cycles 63 is the salt and
// password themselves. Refuses more than 2^24 rounds, the most 7-Zip accepts.
std::array<std::uint8_t, 32> DeriveSevenZipKey(const std::vector<std::uint8_t>& salt, const std::u16string& password,
                                               unsigned cycles);

// Asks for the password once, when an encrypted stream first needs it;
// returns nothing when there is none.
class PasswordSource {
 public:
  virtual ~PasswordSource() = default;
  virtual const std::u16string* Password() = 0;
};

// AES-256-CBC with the 7z coder properties (cycles, salt, IV).
std::unique_ptr<ByteSource> MakeAesSource(std::unique_ptr<ByteSource> input, const std::vector<std::uint8_t>& props,
                                          PasswordSource& passwords);

}  // namespace qor
