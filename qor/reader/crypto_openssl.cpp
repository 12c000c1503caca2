#include <openssl/evp.h>

#include <climits>
#include <stdexcept>

#include "crypto.h"

namespace qor {

struct Sha256::State {
  EVP_MD_CTX* context = EVP_MD_CTX_new();
  ~State() { EVP_MD_CTX_free(context); }
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
  if (!state_->context || EVP_DigestInit_ex(state_->context, EVP_sha256(), nullptr) != 1) {
    throw std::runtime_error("SHA-256 is not available");
  }
}
Sha256::~Sha256() = default;

void Sha256::Update(const void* data, std::size_t size) { EVP_DigestUpdate(state_->context, data, size); }

std::array<std::uint8_t, 32> Sha256::Final() {
  std::array<std::uint8_t, 32> digest{};
  unsigned length = 0;
  EVP_DigestFinal_ex(state_->context, digest.data(), &length);
  return digest;
}

struct Aes256CbcDecryptor::State {
  EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
  ~State() { EVP_CIPHER_CTX_free(context); }
};

Aes256CbcDecryptor::Aes256CbcDecryptor(const std::array<std::uint8_t, 32>& key, const std::array<std::uint8_t, 16>& iv)
    : state_(std::make_unique<State>()) {
  if (!state_->context || EVP_DecryptInit_ex(state_->context, EVP_aes_256_cbc(), nullptr, key.data(), iv.data()) != 1) {
    throw std::runtime_error("AES-256 is not available");
  }
  EVP_CIPHER_CTX_set_padding(state_->context, 0);
}
Aes256CbcDecryptor::~Aes256CbcDecryptor() = default;

void Aes256CbcDecryptor::Decrypt(std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const int chunk = static_cast<int>(std::min<std::size_t>(size, INT_MAX - 15) & ~static_cast<std::size_t>(15));
    int written = 0;
    if (EVP_DecryptUpdate(state_->context, data, &written, data, chunk) != 1 || written != chunk) {
      throw std::runtime_error("AES decryption failed");
    }
    data += chunk;
    size -= static_cast<std::size_t>(chunk);
  }
}

}  // namespace qor
