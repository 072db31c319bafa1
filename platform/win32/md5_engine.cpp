// MD5 through Windows CNG (BCrypt).
#include "platform/win32/windows_api.h"

#include <bcrypt.h>

#include <stdexcept>

#include "platform/md5_engine.h"

namespace platform {

namespace {

class CngMd5 final : public Md5Engine {
 public:
  CngMd5() {
    if (!BCRYPT_SUCCESS(
            BCryptOpenAlgorithmProvider(&algorithm_, BCRYPT_MD5_ALGORITHM, nullptr, 0)) ||
        !BCRYPT_SUCCESS(BCryptCreateHash(algorithm_, &hash_, nullptr, 0, nullptr, 0, 0))) {
      Close();
      throw std::runtime_error("MD5 is not available from CNG");
    }
  }
  ~CngMd5() override { Close(); }
  CngMd5(const CngMd5&) = delete;
  CngMd5& operator=(const CngMd5&) = delete;

  void Update(const void* data, std::size_t size) override {
    // BCryptHashData takes at most 4 GiB - 1 at a time.
    auto* bytes = static_cast<PUCHAR>(const_cast<void*>(data));
    while (size > 0) {
      const ULONG chunk = size > 0x40000000 ? 0x40000000 : static_cast<ULONG>(size);
      BCryptHashData(hash_, bytes, chunk, 0);
      bytes += chunk;
      size -= chunk;
    }
  }
  Md5Digest Finish() override {
    Md5Digest digest{};
    BCryptFinishHash(hash_, digest.data(), static_cast<ULONG>(digest.size()), 0);
    return digest;
  }

 private:
  void Close() {
    if (hash_) BCryptDestroyHash(hash_);
    if (algorithm_) BCryptCloseAlgorithmProvider(algorithm_, 0);
    hash_ = nullptr;
    algorithm_ = nullptr;
  }

  BCRYPT_ALG_HANDLE algorithm_ = nullptr;
  BCRYPT_HASH_HANDLE hash_ = nullptr;
};

}  // namespace

std::unique_ptr<Md5Engine> NewMd5Engine() { return std::make_unique<CngMd5>(); }

}  // namespace platform
