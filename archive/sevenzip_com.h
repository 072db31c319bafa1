// The 7-Zip library's COM-style binary interface, as far as this program
// speaks it, and the plumbing around it: interface identifiers, the
// PROPVARIANT and BSTR layouts, an owning interface pointer, a reference-
// counted base for the objects we hand the library, and the one place that
// allocates and frees the library's strings.
//
// Layout facts the declarations rely on (checked against the library loaded):
// - IUnknown is QueryInterface, AddRef, Release and nothing else: 7-Zip 23 and
//   later build it without the virtual destructor p7zip 16.02 had, on Linux as
//   on Windows.
// - HRESULT, ULONG and PROPID are 32 bits wide on every platform.
// - BSTR is a wchar_t string: UTF-16 on Windows, UTF-32 on Linux.
// - IInArchive's first methods (Open, Close, GetNumberOfItems, GetProperty,
//   Extract) keep their slots from 4.42 to 26.x; only they are called.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#if defined(_WIN32) && !defined(_WIN64)
#define SEVENZIP_CALL __stdcall
#else
#define SEVENZIP_CALL
#endif

// The library's objects carry the library's own type information, not ours:
// a function that calls into them opts out of the sanitizer's vptr check.
#define SEVENZIP_FOREIGN_CALLS __attribute__((no_sanitize("vptr")))

namespace archive::com {

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using PROPID = std::uint32_t;
using BSTR = wchar_t*;

inline constexpr HRESULT kOk = 0;     // S_OK
inline constexpr HRESULT kFalse = 1;  // S_FALSE: "no", or a failure the library handles
inline constexpr HRESULT kNoInterface = static_cast<HRESULT>(0x80004002);
inline constexpr HRESULT kFail = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT kInvalidArgument = static_cast<HRESULT>(0x80070057);

struct Guid {
  std::uint32_t data1;
  std::uint16_t data2;
  std::uint16_t data3;
  std::uint8_t data4[8];
  friend bool operator==(const Guid& a, const Guid& b) {
    return std::memcmp(&a, &b, sizeof(Guid)) == 0;
  }
};

// {23170F69-40C1-278A-0000-00gg00ss0000}: the library's own interfaces.
constexpr Guid SevenZipIid(std::uint8_t group, std::uint8_t sub) {
  return Guid{0x23170F69, 0x40C1, 0x278A, {0, 0, 0, group, 0, sub, 0, 0}};
}
// {23170F69-40C1-278A-1000-000110070000}: the 7z format handler.
inline constexpr Guid kSevenZipHandlerClsid{
    0x23170F69, 0x40C1, 0x278A, {0x10, 0x00, 0x00, 0x01, 0x10, 0x07, 0x00, 0x00}};

// PROPVARIANT: a type tag, three reserved words and an 8-byte value. The value
// area is kept 16 bytes wide, the size of the union on 64-bit Windows, so that
// the library may copy its whole PROPVARIANT into ours on either platform.
namespace vt {
inline constexpr std::uint16_t kEmpty = 0;
inline constexpr std::uint16_t kBstr = 8;
inline constexpr std::uint16_t kBool = 11;
inline constexpr std::uint16_t kUi4 = 19;
inline constexpr std::uint16_t kUi8 = 21;
inline constexpr std::uint16_t kFileTime = 64;
}  // namespace vt

struct PropVariant {
  std::uint16_t type = vt::kEmpty;
  std::uint16_t reserved1 = 0, reserved2 = 0, reserved3 = 0;
  union {
    std::int16_t bool_value;  // VARIANT_BOOL: -1 true, 0 false
    std::uint32_t ui4;
    std::uint64_t ui8;
    BSTR bstr;
    std::uint8_t padding[16];
  };
  PropVariant() : padding{} {}
};
static_assert(std::is_standard_layout_v<PropVariant>);
static_assert(offsetof(PropVariant, ui8) == 8);

// Item property identifiers (kpid...).
namespace kpid {
inline constexpr PROPID kPath = 3;
inline constexpr PROPID kIsDir = 6;
inline constexpr PROPID kSize = 7;
inline constexpr PROPID kAttributes = 9;
inline constexpr PROPID kLastWriteTime = 12;
inline constexpr PROPID kEncrypted = 15;
inline constexpr PROPID kCrc = 19;
}  // namespace kpid

// ---------------------------------------------------------------- interfaces
// Each interface names its identifier and its base, so QueryInterface can be
// answered from the list of interfaces an object implements.

struct IUnknown {
  virtual HRESULT SEVENZIP_CALL QueryInterface(const Guid& iid, void** object) = 0;
  virtual ULONG SEVENZIP_CALL AddRef() = 0;
  virtual ULONG SEVENZIP_CALL Release() = 0;
};

struct ISequentialInStream : IUnknown {
  using Base = IUnknown;
  static constexpr Guid kIid = SevenZipIid(3, 0x01);
  virtual HRESULT SEVENZIP_CALL Read(void* data, std::uint32_t size, std::uint32_t* processed) = 0;
};

struct ISequentialOutStream : IUnknown {
  using Base = IUnknown;
  static constexpr Guid kIid = SevenZipIid(3, 0x02);
  virtual HRESULT SEVENZIP_CALL Write(const void* data, std::uint32_t size,
                                      std::uint32_t* processed) = 0;
};

struct IInStream : ISequentialInStream {
  using Base = ISequentialInStream;
  static constexpr Guid kIid = SevenZipIid(3, 0x03);
  virtual HRESULT SEVENZIP_CALL Seek(std::int64_t offset, std::uint32_t origin,
                                     std::uint64_t* new_position) = 0;
};

struct IOutStream : ISequentialOutStream {
  using Base = ISequentialOutStream;
  static constexpr Guid kIid = SevenZipIid(3, 0x04);
  virtual HRESULT SEVENZIP_CALL Seek(std::int64_t offset, std::uint32_t origin,
                                     std::uint64_t* new_position) = 0;
  virtual HRESULT SEVENZIP_CALL SetSize(std::uint64_t new_size) = 0;
};

struct IStreamGetSize : IUnknown {
  using Base = IUnknown;
  static constexpr Guid kIid = SevenZipIid(3, 0x06);
  virtual HRESULT SEVENZIP_CALL GetSize(std::uint64_t* size) = 0;
};

struct ICryptoGetTextPassword : IUnknown {
  using Base = IUnknown;
  static constexpr Guid kIid = SevenZipIid(5, 0x10);
  virtual HRESULT SEVENZIP_CALL CryptoGetTextPassword(BSTR* password) = 0;
};

struct IArchiveOpenCallback : IUnknown {
  using Base = IUnknown;
  static constexpr Guid kIid = SevenZipIid(6, 0x10);
  virtual HRESULT SEVENZIP_CALL SetTotal(const std::uint64_t* files,
                                         const std::uint64_t* bytes) = 0;
  virtual HRESULT SEVENZIP_CALL SetCompleted(const std::uint64_t* files,
                                             const std::uint64_t* bytes) = 0;
};

struct IProgress : IUnknown {
  using Base = IUnknown;
  static constexpr Guid kIid = SevenZipIid(0, 0x05);
  virtual HRESULT SEVENZIP_CALL SetTotal(std::uint64_t total) = 0;
  virtual HRESULT SEVENZIP_CALL SetCompleted(const std::uint64_t* complete_value) = 0;
};

// askExtractMode of GetStream and PrepareOperation.
inline constexpr std::int32_t kAskExtract = 0;
inline constexpr std::int32_t kAskTest = 1;

struct IArchiveExtractCallback : IProgress {
  using Base = IProgress;
  static constexpr Guid kIid = SevenZipIid(6, 0x20);
  virtual HRESULT SEVENZIP_CALL GetStream(std::uint32_t index, ISequentialOutStream** stream,
                                          std::int32_t ask_mode) = 0;
  virtual HRESULT SEVENZIP_CALL PrepareOperation(std::int32_t ask_mode) = 0;
  virtual HRESULT SEVENZIP_CALL SetOperationResult(std::int32_t result) = 0;
};

struct IInArchive : IUnknown {
  using Base = IUnknown;
  static constexpr Guid kIid = SevenZipIid(6, 0x60);
  // max_check_start_position: nullptr for no limit.
  virtual HRESULT SEVENZIP_CALL Open(IInStream* stream,
                                     const std::uint64_t* max_check_start_position,
                                     IArchiveOpenCallback* callback) = 0;
  virtual HRESULT SEVENZIP_CALL Close() = 0;
  virtual HRESULT SEVENZIP_CALL GetNumberOfItems(std::uint32_t* count) = 0;
  virtual HRESULT SEVENZIP_CALL GetProperty(std::uint32_t index, PROPID id, PropVariant* value) = 0;
  // indices nullptr with count 0xFFFFFFFF: every item.
  virtual HRESULT SEVENZIP_CALL Extract(const std::uint32_t* indices, std::uint32_t count,
                                        std::int32_t test_mode,
                                        IArchiveExtractCallback* callback) = 0;
};

// Held for the handler's lifetime, never called.
inline constexpr Guid kIidOutArchive = SevenZipIid(6, 0xA0);
inline constexpr Guid kIidSetProperties = SevenZipIid(6, 0x03);

using CreateObjectFunction = HRESULT(SEVENZIP_CALL*)(const Guid* clsid, const Guid* iid,
                                                     void** object);

// --------------------------------------------------------- owning reference

// One counted reference to an interface; released when destroyed.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller already holds.
  static ComPtr Adopt(T* p) {
    ComPtr ptr;
    ptr.p_ = p;
    return ptr;
  }
  SEVENZIP_FOREIGN_CALLS ComPtr(const ComPtr& other) : p_(other.p_) {
    if (p_) p_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  SEVENZIP_FOREIGN_CALLS void Reset() {
    if (p_) std::exchange(p_, nullptr)->Release();
  }
  // For out-parameters: drops the current reference and receives a new one.
  void** Receive() {
    Reset();
    return reinterpret_cast<void**>(&p_);
  }
  // Hands the reference over to the caller (an out-parameter of ours).
  T* Detach() { return std::exchange(p_, nullptr); }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

// ---------------------------------------------------- objects we implement

namespace detail {
template <class I>
bool Implements(const Guid& iid) {
  if constexpr (std::is_same_v<I, IUnknown>) {
    return false;
  } else {
    return iid == I::kIid || Implements<typename I::Base>(iid);
  }
}
inline constexpr Guid kIidUnknown{0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
}  // namespace detail

// Reference counting and QueryInterface for an object handed to the library,
// over the interfaces it lists (with their bases). Created with one reference,
// owned by whoever holds the last; deleted on the last Release.
template <class... Interfaces>
class ComObject : public Interfaces... {
 public:
  ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT SEVENZIP_CALL QueryInterface(const Guid& iid, void** object) override {
    if (!object) return kInvalidArgument;
    *object = nullptr;
    if (iid == detail::kIidUnknown) {
      *object = static_cast<IUnknown*>(static_cast<FirstInterface*>(this));
    } else {
      // The first listed interface that is, or derives from, the one asked for.
      (void)((detail::Implements<Interfaces>(iid) &&
              (*object = static_cast<Interfaces*>(this), true)) ||
             ...);
    }
    if (!*object) return kNoInterface;
    AddRef();
    return kOk;
  }
  ULONG SEVENZIP_CALL AddRef() override { return ++references_; }
  ULONG SEVENZIP_CALL Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual ~ComObject() = default;

 private:
  using FirstInterface = std::tuple_element_t<0, std::tuple<Interfaces...>>;
  std::atomic<ULONG> references_{1};
};

// Wraps a newly made object (reference count 1) in its owning pointer.
template <class T, class... Args>
ComPtr<T> MakeObject(Args&&... args) {
  return ComPtr<T>::Adopt(new T(std::forward<Args>(args)...));
}

// Runs the body of a method the library calls: nothing may be thrown back
// across the library's frames, so an exception answers E_FAIL.
template <class Body>
HRESULT Guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return kFail;
  }
}

// ---------------------------------------------------------- library strings

// The library frees the strings we hand it, and we free the ones it hands us,
// with its own allocator: 7-Zip's Linux build exports one, on Windows it is
// OLE automation's. Everything BSTR goes through here.
class LibraryStrings {
 public:
  using AllocateFunction = BSTR (*)(const wchar_t* text, std::uint32_t length);
  using FreeFunction = void (*)(BSTR text);

  LibraryStrings() = default;
  LibraryStrings(AllocateFunction allocate, FreeFunction free) : allocate_(allocate), free_(free) {}
  bool usable() const { return allocate_ && free_; }

  // A new BSTR holding the UTF-8 text; nullptr when allocation fails.
  BSTR Allocate(std::string_view utf8) const;
  void Free(BSTR text) const;
  // Frees what a PROPVARIANT owns and empties it.
  void Clear(PropVariant& value) const;

 private:
  AllocateFunction allocate_ = nullptr;
  FreeFunction free_ = nullptr;
};

}  // namespace archive::com
