// The MD5 digest engine (RFC 1321), supplied by the backend: OpenSSL's EVP
// interface on POSIX, CNG (BCrypt) on Windows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

using Md5Digest = std::array<std::uint8_t, 16>;

class Md5Engine {
 public:
  virtual ~Md5Engine() = default;
  virtual void Update(const void* data, std::size_t size) = 0;
  // The digest of everything given since creation; the engine is spent.
  virtual Md5Digest Finish() = 0;
};

// A fresh engine; throws std::runtime_error when the system has no MD5.
std::unique_ptr<Md5Engine> NewMd5Engine();

}  // namespace platform
