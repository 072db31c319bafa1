// MD5 through Windows CNG (BCrypt), from the system folder.
#include "platform/win32/windows_api.h"

#include <bcrypt.h>

#include <stdexcept>

#include "platform/md5_engine.h"
#include "platform/win32/system_library.h"

namespace platform {

namespace {

using platform::win32::SystemFunction;

// CNG's functions, from the system folder's bcrypt.dll.
struct Cng {
  decltype(&BCryptOpenAlgorithmProvider) open_algorithm =
      SystemFunction<decltype(open_algorithm)>(L"bcrypt.dll", "BCryptOpenAlgorithmProvider");
  decltype(&BCryptCreateHash) create_hash =
      SystemFunction<decltype(create_hash)>(L"bcrypt.dll", "BCryptCreateHash");
  decltype(&BCryptHashData) hash_data =
      SystemFunction<decltype(hash_data)>(L"bcrypt.dll", "BCryptHashData");
  decltype(&BCryptFinishHash) finish_hash =
      SystemFunction<decltype(finish_hash)>(L"bcrypt.dll", "BCryptFinishHash");
  decltype(&BCryptDestroyHash) destroy_hash =
      SystemFunction<decltype(destroy_hash)>(L"bcrypt.dll", "BCryptDestroyHash");
  decltype(&BCryptCloseAlgorithmProvider) close_algorithm =
      SystemFunction<decltype(close_algorithm)>(L"bcrypt.dll", "BCryptCloseAlgorithmProvider");

  bool Complete() const {
    return open_algorithm && create_hash && hash_data && finish_hash && destroy_hash &&
           close_algorithm;
  }
};

const Cng& CngFunctions() {
  static const Cng cng;
  return cng;
}

class CngMd5 final : public Md5Engine {
 public:
  CngMd5() {
    if (!cng_.Complete() ||
        !BCRYPT_SUCCESS(cng_.open_algorithm(&algorithm_, BCRYPT_MD5_ALGORITHM, nullptr, 0)) ||
        !BCRYPT_SUCCESS(cng_.create_hash(algorithm_, &hash_, nullptr, 0, nullptr, 0, 0))) {
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
      cng_.hash_data(hash_, bytes, chunk, 0);
      bytes += chunk;
      size -= chunk;
    }
  }
  Md5Digest Finish() override {
    Md5Digest digest{};
    cng_.finish_hash(hash_, digest.data(), static_cast<ULONG>(digest.size()), 0);
    return digest;
  }

 private:
  void Close() {
    if (hash_) cng_.destroy_hash(hash_);
    if (algorithm_) cng_.close_algorithm(algorithm_, 0);
    hash_ = nullptr;
    algorithm_ = nullptr;
  }

  const Cng& cng_ = CngFunctions();
  BCRYPT_ALG_HANDLE algorithm_ = nullptr;
  BCRYPT_HASH_HANDLE hash_ = nullptr;
};

}  // namespace

std::unique_ptr<Md5Engine> NewMd5Engine() { return std::make_unique<CngMd5>(); }

}  // namespace platform
