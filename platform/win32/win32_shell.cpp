#include "platform/win32/win32_shell.h"

#include "platform/win32/windows_api.h"

#include <objbase.h>
#include <shellapi.h>
#include <urlmon.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "platform/win32/system_library.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

// Bounds of one download, as the simulated machine's: a silent or endless
// server must not hold the caller for long, and the version file is small.
constexpr DWORD kTimeLimitMs = 20'000;
constexpr ULONG kSizeLimit = 64 * 1024;

// urlmon works through COM. A thread that already has its apartment (the
// window's thread) keeps it; any other gets one for the length of the call.
class ComApartment {
 public:
  ComApartment() : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
  ~ComApartment() {
    if (initialized_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialized_;
};

// Watches one URLDownloadToFile. Without it an HTTP error page is saved as if
// it were the file asked for and the call answers S_OK; with it the transfer
// ends on an error status, or when it passes its time or size bound. Lives on
// the caller's stack for the length of the call, hence no reference count.
// urlmon calls it on the caller's thread, the watchdog runs on its own.
class DownloadWatch final : public IBindStatusCallback,
                            public IHttpNegotiate,
                            public IServiceProvider {
 public:
  // A server that accepts the connection and then stays silent calls back
  // nothing, so a watchdog ends the transfer when its time is up.
  DownloadWatch() : started_(GetTickCount()), watchdog_([this] { Watch(); }) {}
  ~DownloadWatch() {
    {
      const std::lock_guard lock(mutex_);
      finished_ = true;
    }
    wake_.notify_all();
    watchdog_.join();
    if (binding_) binding_->Release();
  }
  DownloadWatch(const DownloadWatch&) = delete;
  DownloadWatch& operator=(const DownloadWatch&) = delete;

  // Why the transfer was ended; empty when it was not.
  std::string refusal() {
    const std::lock_guard lock(mutex_);
    return refusal_;
  }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IBindStatusCallback)) {
      *object = static_cast<IBindStatusCallback*>(this);
    } else if (IsEqualIID(id, IID_IHttpNegotiate)) {
      *object = static_cast<IHttpNegotiate*>(this);
    } else if (IsEqualIID(id, IID_IServiceProvider)) {
      *object = static_cast<IServiceProvider*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  // IServiceProvider: urlmon asks for the HTTP negotiation this way too.
  HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID id, void** object) override {
    if (IsEqualGUID(service, IID_IHttpNegotiate)) return QueryInterface(id, object);
    *object = nullptr;
    return E_NOINTERFACE;
  }

  // IHttpNegotiate
  HRESULT STDMETHODCALLTYPE BeginningTransaction(LPCWSTR, LPCWSTR, DWORD,
                                                 LPWSTR* extra_headers) override {
    *extra_headers = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnResponse(DWORD status, LPCWSTR, LPCWSTR,
                                       LPWSTR* extra_headers) override {
    if (extra_headers) *extra_headers = nullptr;
    if (status >= 400) return Refuse("HTTP status " + std::to_string(status));
    return S_OK;
  }

  // IBindStatusCallback
  HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD, IBinding* binding) override {
    const std::lock_guard lock(mutex_);
    if (binding && !binding_) {
      binding->AddRef();
      binding_ = binding;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPriority(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnLowResource(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnProgress(ULONG progress, ULONG, ULONG, LPCWSTR) override {
    if (progress > kSizeLimit) return Refuse("answer larger than " + std::to_string(kSizeLimit));
    if (GetTickCount() - started_ > kTimeLimitMs) return Refuse("time-out");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT, LPCWSTR) override { return S_OK; }
  // The bind information is urlmon's own; nothing is changed.
  HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD*, BINDINFO*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

 private:
  HRESULT Refuse(std::string why) {
    const std::lock_guard lock(mutex_);
    if (refusal_.empty()) refusal_ = std::move(why);
    return E_ABORT;
  }

  void Watch() {
    IBinding* binding = nullptr;
    {
      std::unique_lock lock(mutex_);
      const auto limit = std::chrono::milliseconds(kTimeLimitMs);
      if (wake_.wait_for(lock, limit, [this] { return finished_; })) return;
      if (refusal_.empty()) refusal_ = "time-out";
      binding = binding_;
      if (binding) binding->AddRef();
    }
    // Outside the lock: the abort may call back into this object.
    if (binding) {
      binding->Abort();
      binding->Release();
    }
  }

  const DWORD started_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool finished_ = false;
  IBinding* binding_ = nullptr;
  std::string refusal_;
  std::thread watchdog_;  // last: starts once the rest is in place
};

}  // namespace

Status Win32Shell::Download(std::string_view url, std::string_view local_path) {
  const auto wide_url = ToWide(url);
  const auto wide_path = ToWide(local_path);
  if (!wide_url || !wide_path) {
    return MakeError(Errc::kBadPathname, "URLDownloadToFile", std::string(url), ERROR_BAD_PATHNAME,
                     "the address or the file name holds a NUL character");
  }
  // The answer lands beside the file and replaces it only when complete and
  // accepted: urlmon may leave a partial answer or an error page behind.
  const std::wstring partial = *wide_path + L".download";
  // urlmon writes through whatever stands at a name: the partial file is made
  // here first, anew (a plain file left by an earlier run removed), so that it
  // writes into the tool's own file; a name still taken (a link planted in
  // C:\ by anyone) stops the download.
  (void)Win32FileSystem().RemoveFile(std::string(local_path) + ".download");
  const HANDLE reserved =
      CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (reserved == INVALID_HANDLE_VALUE) return LastError("CreateFile", local_path);
  CloseHandle(reserved);
  const ComApartment apartment;
  DownloadWatch watch;
  static const auto download =
      SystemFunction<decltype(&URLDownloadToFileW)>(L"urlmon.dll", "URLDownloadToFileW");
  if (!download) return LastError("LoadLibraryEx", "urlmon.dll");
  const HRESULT answer = download(nullptr, wide_url->c_str(), partial.c_str(), 0,
                                  static_cast<IBindStatusCallback*>(&watch));
  if (answer != S_OK || !watch.refusal().empty()) {
    DeleteFileW(partial.c_str());
    return MakeError(Errc::kIo, "URLDownloadToFile", std::string(url),
                     static_cast<std::uint32_t>(answer), watch.refusal());
  }
  if (!MoveFileExW(partial.c_str(), wide_path->c_str(), MOVEFILE_REPLACE_EXISTING)) {
    const DWORD error = GetLastError();
    DeleteFileW(partial.c_str());
    return Win32Error(error, "MoveFileEx", local_path);
  }
  return {};
}

void Win32Shell::OpenInBrowser(std::string_view url) {
  const auto wide = ToWide(url);
  if (!wide) return;
  ShellExecuteW(nullptr, L"open", wide->c_str(), L"", L"", SW_SHOWNORMAL);
}

void Win32Shell::OpenFolder(std::string_view folder) {
  auto wide = ToWide(folder);
  if (!wide || wide->empty()) return;
  // Quoted, so that blanks stay inside the one argument; a backslash before
  // the closing quote would escape it, so a folder other than a drive root
  // loses its trailing one, and a root (which has no blanks) goes unquoted.
  std::wstring argument = *wide;
  const bool drive_root = argument.size() == 3 && argument[1] == L':' && argument[2] == L'\\';
  if (!drive_root) {
    while (argument.size() > 1 && argument.back() == L'\\') argument.pop_back();
    argument = L"\"" + argument + L"\"";
  }
  ShellExecuteW(nullptr, L"open", L"explorer.exe", argument.c_str(), wide->c_str(), SW_SHOWNORMAL);
}

}  // namespace platform::win32
