#include <windows.h>
// bcrypt.h needs the Windows types first.
#include <bcrypt.h>

#include <climits>
#include <stdexcept>
#include <vector>

#include "crypto.h"

namespace qor {

namespace {

// A CNG provider or key handle, closed with the function that owns it.
template <typename Handle, NTSTATUS(WINAPI* Close)(Handle, ULONG)>
class CngHandle {
 public:
  CngHandle() = default;
  CngHandle(const CngHandle&) = delete;
  CngHandle& operator=(const CngHandle&) = delete;
  ~CngHandle() {
    if (handle_) Close(handle_, 0);
  }
  Handle* out() { return &handle_; }
  Handle get() const { return handle_; }

 private:
  Handle handle_ = nullptr;
};

NTSTATUS WINAPI DestroyKey(BCRYPT_KEY_HANDLE key, ULONG) { return BCryptDestroyKey(key); }
NTSTATUS WINAPI DestroyHash(BCRYPT_HASH_HANDLE hash, ULONG) { return BCryptDestroyHash(hash); }

using Provider = CngHandle<BCRYPT_ALG_HANDLE, BCryptCloseAlgorithmProvider>;
using Key = CngHandle<BCRYPT_KEY_HANDLE, DestroyKey>;
using Hash = CngHandle<BCRYPT_HASH_HANDLE, DestroyHash>;

void Check(NTSTATUS status, const char* what) {
  if (!BCRYPT_SUCCESS(status)) throw std::runtime_error(what);
}

}  // namespace

struct Sha256::State {
  Provider provider;
  Hash hash;
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
  Check(BCryptOpenAlgorithmProvider(state_->provider.out(), BCRYPT_SHA256_ALGORITHM, nullptr, 0),
        "SHA-256 is not available");
  Check(BCryptCreateHash(state_->provider.get(), state_->hash.out(), nullptr, 0, nullptr, 0, 0),
        "SHA-256 is not available");
}
Sha256::~Sha256() = default;

void Sha256::Update(const void* data, std::size_t size) {
  auto* bytes = static_cast<PUCHAR>(const_cast<void*>(data));
  while (size > 0) {
    const auto chunk = static_cast<ULONG>(std::min<std::size_t>(size, ULONG_MAX));
    Check(BCryptHashData(state_->hash.get(), bytes, chunk, 0), "SHA-256 failed");
    bytes += chunk;
    size -= chunk;
  }
}

std::array<std::uint8_t, 32> Sha256::Final() {
  std::array<std::uint8_t, 32> digest{};
  Check(BCryptFinishHash(state_->hash.get(), digest.data(), digest.size(), 0), "SHA-256 failed");
  return digest;
}

struct Aes256CbcDecryptor::State {
  Provider provider;
  Key key;
  std::array<std::uint8_t, 16> iv;  // CNG carries the chaining in it
};

Aes256CbcDecryptor::Aes256CbcDecryptor(const std::array<std::uint8_t, 32>& key, const std::array<std::uint8_t, 16>& iv)
    : state_(std::make_unique<State>()) {
  state_->iv = iv;
  Check(BCryptOpenAlgorithmProvider(state_->provider.out(), BCRYPT_AES_ALGORITHM, nullptr, 0), "AES is not available");
  Check(BCryptSetProperty(state_->provider.get(), BCRYPT_CHAINING_MODE,
                          reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_CBC)),
                          sizeof(BCRYPT_CHAIN_MODE_CBC), 0),
        "AES-CBC is not available");
  Check(BCryptGenerateSymmetricKey(state_->provider.get(), state_->key.out(), nullptr, 0,
                                   const_cast<PUCHAR>(key.data()), key.size(), 0),
        "the AES key cannot be made");
}
Aes256CbcDecryptor::~Aes256CbcDecryptor() = default;

void Aes256CbcDecryptor::Decrypt(std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const auto chunk = static_cast<ULONG>(std::min<std::size_t>(size, ULONG_MAX - 15) & ~std::size_t{15});
    ULONG written = 0;
    Check(BCryptDecrypt(state_->key.get(), data, chunk, nullptr, state_->iv.data(), state_->iv.size(), data, chunk,
                        &written, 0),
          "AES decryption failed");
    data += chunk;
    size -= chunk;
  }
}

}  // namespace qor
