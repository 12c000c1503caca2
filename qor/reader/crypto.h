#pragma once
// The platform's cryptography, behind a seam: Windows CNG in the library,
// OpenSSL's libcrypto in the host build. Nothing here is a cipher of our own.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace qor {

class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;
  void Update(const void* data, std::size_t size);
  std::array<std::uint8_t, 32> Final();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// AES-256 in CBC mode, decrypting whole blocks; the chaining carries over
// from one call to the next.
class Aes256CbcDecryptor {
 public:
  Aes256CbcDecryptor(const std::array<std::uint8_t, 32>& key, const std::array<std::uint8_t, 16>& iv);
  ~Aes256CbcDecryptor();
  Aes256CbcDecryptor(const Aes256CbcDecryptor&) = delete;
  Aes256CbcDecryptor& operator=(const Aes256CbcDecryptor&) = delete;
  // size is a multiple of 16; decrypts in place.
  void Decrypt(std::uint8_t* data, std::size_t size);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace qor
