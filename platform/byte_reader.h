// Little-endian reads from a range of bytes that answer nullopt instead of
// stepping outside it. Executable images and their resources come from files
// that may be truncated or lie about their own layout; every read of them goes
// through here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace platform {

class ByteReader {
 public:
  ByteReader(const void* data, std::size_t size)
      : data_(static_cast<const std::uint8_t*>(data)), size_(size) {}
  explicit ByteReader(std::string_view data) : ByteReader(data.data(), data.size()) {}

  std::size_t size() const { return size_; }
  const std::uint8_t* At(std::uint64_t offset) const { return data_ + offset; }
  // Whether [offset, offset + count) lies inside the range.
  bool Holds(std::uint64_t offset, std::uint64_t count) const {
    return offset <= size_ && count <= size_ - offset;
  }

  // An unsigned integer stored little-endian at offset.
  template <class T>
  std::optional<T> Get(std::uint64_t offset) const {
    static_assert(std::is_unsigned_v<T>);
    if (!Holds(offset, sizeof(T))) return std::nullopt;
    T value = 0;
    for (std::size_t i = sizeof(T); i-- > 0;)
      value = static_cast<T>(value << 8 | data_[offset + i]);
    return value;
  }

  // A NUL-terminated string that ends inside the range.
  std::optional<std::string> String(std::uint64_t offset) const {
    if (offset >= size_) return std::nullopt;
    const void* end = std::memchr(data_ + offset, 0, size_ - offset);
    if (!end) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(data_ + offset),
                       static_cast<const std::uint8_t*>(end) - (data_ + offset));
  }

  // The bytes [offset, offset + count), clamped to the end of the range.
  std::string_view Sub(std::uint64_t offset, std::uint64_t count) const {
    if (offset >= size_) return {};
    const std::uint64_t length = count < size_ - offset ? count : size_ - offset;
    return {reinterpret_cast<const char*>(data_ + offset), static_cast<std::size_t>(length)};
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

}  // namespace platform
