// MD5 through OpenSSL's libcrypto (EVP), the host's optimised implementation.
#include <openssl/evp.h>

#include <stdexcept>

#include "platform/md5_engine.h"

namespace platform {

namespace {

class EvpMd5 final : public Md5Engine {
 public:
  EvpMd5() : context_(EVP_MD_CTX_new()) {
    if (!context_ || EVP_DigestInit_ex(context_, EVP_md5(), nullptr) != 1) {
      EVP_MD_CTX_free(context_);
      throw std::runtime_error("MD5 is not available from libcrypto");
    }
  }
  ~EvpMd5() override { EVP_MD_CTX_free(context_); }
  EvpMd5(const EvpMd5&) = delete;
  EvpMd5& operator=(const EvpMd5&) = delete;

  void Update(const void* data, std::size_t size) override {
    EVP_DigestUpdate(context_, data, size);
  }
  Md5Digest Finish() override {
    Md5Digest digest{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(context_, digest.data(), &length);
    return digest;
  }

 private:
  EVP_MD_CTX* context_;
};

}  // namespace

std::unique_ptr<Md5Engine> NewMd5Engine() { return std::make_unique<EvpMd5>(); }

}  // namespace platform
