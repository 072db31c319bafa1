#include "platform/posix/posix_shell.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

#include "platform/posix/faults.h"

namespace platform::posix {

namespace {

constexpr char kOperation[] = "URLDownloadToFile";

struct Body {
  std::string bytes;
  std::size_t limit = 0;
  bool too_large = false;
};

// libcurl's write callback: a short count aborts the transfer.
std::size_t Append(char* data, std::size_t size, std::size_t count, void* user) {
  auto& body = *static_cast<Body*>(user);
  const std::size_t bytes = size * count;
  if (bytes > body.limit - body.bytes.size()) {
    body.too_large = true;
    return 0;
  }
  body.bytes.append(data, bytes);
  return bytes;
}

struct EasyDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

}  // namespace

PosixShell::PosixShell(FileSystem& files, FaultInjector& faults, DownloadLimits limits)
    : files_(files), faults_(faults), limits_(limits) {
  // Not safe to race with other threads: done once, before any download.
  static std::once_flag initialised;
  std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

Status PosixShell::Download(std::string_view url, std::string_view local_path) {
  const std::string address(url);
  if (faults_.ShouldFail(FaultOperation::kURLDownloadToFile)) {
    return MakeError(Errc::kIo, kOperation, address, 0, "injected fault");
  }
  std::unique_ptr<CURL, EasyDeleter> curl(curl_easy_init());
  if (!curl) return MakeError(Errc::kIo, kOperation, address, 0, "curl_easy_init failed");

  Body body;
  body.limit = limits_.max_bytes;
  char message[CURL_ERROR_SIZE] = "";
  CURL* easy = curl.get();
  curl_easy_setopt(easy, CURLOPT_URL, address.c_str());
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);  // time-outs without signals: any thread
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS,
                   static_cast<long>(limits_.connect_timeout.count()));
  curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(limits_.total_timeout.count()));
  curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits_.max_bytes));
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Append);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
  curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, message);
  curl_easy_setopt(easy, CURLOPT_USERAGENT, "Remedor");

  const CURLcode code = curl_easy_perform(easy);
  if (code != CURLE_OK) {
    std::string detail = body.too_large ? "answer larger than the bound"
                         : *message     ? std::string(message)
                                        : curl_easy_strerror(code);
    return MakeError(Errc::kIo, kOperation, address, static_cast<std::uint32_t>(code),
                     std::move(detail));
  }
  return files_.WriteAll(local_path, body.bytes);
}

void PosixShell::OpenInBrowser(std::string_view url) {
  if (hook_) hook_("browser", std::string(url));
}

void PosixShell::OpenFolder(std::string_view folder) {
  if (hook_) hook_("folder", std::string(folder));
}

}  // namespace platform::posix
