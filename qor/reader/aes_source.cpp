#include <algorithm>
#include <cstring>
#include <vector>

#include "coders.h"
#include "crypto.h"

namespace qor {

namespace {

constexpr unsigned kRawKeyCycles = 0x3F;
constexpr unsigned kMostCycles = 24;
constexpr std::size_t kBlock = 16;

class AesSource final : public ByteSource {
 public:
  AesSource(std::unique_ptr<ByteSource> input, const std::array<std::uint8_t, 32>& key,
            const std::array<std::uint8_t, 16>& iv)
      : input_(std::move(input)), cipher_(key, iv), buffer_(1 << 16) {}

  std::size_t Read(std::uint8_t* out, std::size_t size) override {
    if (ready_ == 0) Refill();
    const std::size_t count = std::min(size, ready_);
    std::memcpy(out, buffer_.data() + begin_, count);
    begin_ += count;
    ready_ -= count;
    return count;
  }

 private:
  void Refill() {
    begin_ = 0;
    std::size_t filled = 0;
    while (filled < buffer_.size()) {
      const std::size_t got = input_->Read(buffer_.data() + filled, buffer_.size() - filled);
      if (got == 0) break;
      filled += got;
    }
    // The packed size of an encrypted stream is whole blocks.
    if (filled % kBlock != 0) Corrupt("an encrypted stream is not made of whole blocks");
    cipher_.Decrypt(buffer_.data(), filled);
    ready_ = filled;
  }

  std::unique_ptr<ByteSource> input_;
  Aes256CbcDecryptor cipher_;
  std::vector<std::uint8_t> buffer_;
  std::size_t begin_ = 0;
  std::size_t ready_ = 0;
};

}  // namespace

std::array<std::uint8_t, 32> DeriveSevenZipKey(const std::vector<std::uint8_t>& salt, const std::u16string& password,
                                               unsigned cycles) {
  std::vector<std::uint8_t> secret = salt;
  for (char16_t c : password) {
    secret.push_back(static_cast<std::uint8_t>(c));
    secret.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  std::array<std::uint8_t, 32> key{};
  if (cycles == kRawKeyCycles) {
    std::copy_n(secret.begin(), std::min(secret.size(), key.size()), key.begin());
    return key;
  }
  if (cycles > kMostCycles) Unsupported("the key derivation asks for more than 2^24 rounds");
  // Each round hashes the secret and the round number (8 bytes, little
  // endian); rounds go to the hash in batches to keep the calls few.
  const std::uint64_t rounds = std::uint64_t{1} << cycles;
  const std::size_t roundSize = secret.size() + 8;
  const std::uint64_t batchRounds = std::min<std::uint64_t>(rounds, std::max<std::size_t>(1, (1 << 16) / roundSize));
  std::vector<std::uint8_t> batch(static_cast<std::size_t>(batchRounds) * roundSize);
  for (std::size_t i = 0; i < batchRounds; ++i) std::copy(secret.begin(), secret.end(), batch.begin() + i * roundSize);
  Sha256 hash;
  for (std::uint64_t round = 0; round < rounds;) {
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(batchRounds, rounds - round));
    for (std::size_t i = 0; i < count; ++i, ++round) {
      std::uint8_t* counter = batch.data() + i * roundSize + secret.size();
      for (int b = 0; b < 8; ++b) counter[b] = static_cast<std::uint8_t>(round >> (8 * b));
    }
    hash.Update(batch.data(), count * roundSize);
  }
  return hash.Final();
}

std::unique_ptr<ByteSource> MakeAesSource(std::unique_ptr<ByteSource> input, const std::vector<std::uint8_t>& props,
                                          PasswordSource& passwords) {
  if (props.empty()) Unsupported("bad AES coder properties");
  const unsigned cycles = props[0] & 0x3F;
  std::vector<std::uint8_t> salt;
  std::array<std::uint8_t, 16> iv{};
  if ((props[0] & 0xC0) != 0) {
    if (props.size() < 2) Unsupported("bad AES coder properties");
    const std::size_t saltSize = ((props[0] >> 7) & 1u) + (props[1] >> 4);
    const std::size_t ivSize = ((props[0] >> 6) & 1u) + (props[1] & 0x0Fu);
    if (props.size() != 2 + saltSize + ivSize) Unsupported("bad AES coder properties");
    salt.assign(props.begin() + 2, props.begin() + 2 + static_cast<std::ptrdiff_t>(saltSize));
    std::copy_n(props.begin() + 2 + static_cast<std::ptrdiff_t>(saltSize), ivSize, iv.begin());
  } else if (props.size() != 1) {
    Unsupported("bad AES coder properties");
  }
  // Refused before a password is asked for: it could never be used.
  if (cycles > kMostCycles && cycles != kRawKeyCycles) Unsupported("the key derivation asks for more than 2^24 rounds");
  const std::u16string* password = passwords.Password();
  if (!password) throw ArchiveError(ArchiveFault::kWrongPassword, "the archive is encrypted and no password was given");
  return std::make_unique<AesSource>(std::move(input), DeriveSevenZipKey(salt, *password, cycles), iv);
}

}  // namespace qor
