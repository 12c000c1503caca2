#include "scrambled_key.h"

#include "integer_text.h"

namespace bw {

namespace {
constexpr char kHexDigits[] = "0123456789ABCDEF";

char XorWithPosition(char c, std::size_t position) {
  return static_cast<char>(static_cast<unsigned char>(c) ^ static_cast<unsigned char>(position % 256));
}
}  // namespace

std::optional<std::string> UnscrambleKey(std::string_view stored) {
  if (stored.size() % 2 != 0) return std::nullopt;
  std::string key;
  key.reserve(stored.size() / 2);
  for (std::size_t i = 0; i < stored.size(); i += 2) {
    const int low = HexDigitValue(XorWithPosition(stored[i], i));
    const int high = HexDigitValue(XorWithPosition(stored[i + 1], i + 1));
    if (low < 0 || high < 0) return std::nullopt;
    key.push_back(static_cast<char>(high * 16 + low));
  }
  return key;
}

std::string ScrambleKey(std::string_view key) {
  std::string stored;
  stored.reserve(key.size() * 2);
  for (char c : key) {
    const auto byte = static_cast<unsigned char>(c);
    stored.push_back(kHexDigits[byte & 0x0F]);
    stored.push_back(kHexDigits[byte >> 4]);
  }
  for (std::size_t i = 0; i < stored.size(); ++i) stored[i] = XorWithPosition(stored[i], i);
  return stored;
}

}  // namespace bw
