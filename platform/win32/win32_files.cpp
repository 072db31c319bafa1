#include "platform/win32/win32_files.h"

#include "platform/win32/windows_api.h"

#include <shellapi.h>

#include <algorithm>
#include <limits>

#include "platform/win32/win32_error.h"
#include "platform/win32/win32_text.h"
#include "platform/wow64_view.h"

namespace platform::win32 {

namespace {

std::uint64_t Join(DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; }

FILETIME ToFiletime(FileTime time) {
  return FILETIME{static_cast<DWORD>(time & 0xFFFFFFFFu), static_cast<DWORD>(time >> 32)};
}

// ReadFile and WriteFile take a 32-bit count.
DWORD Chunk(std::size_t size) {
  return static_cast<DWORD>(std::min<std::size_t>(size, std::numeric_limits<DWORD>::max()));
}

class Win32File final : public File {
 public:
  Win32File(HANDLE handle, std::string path) : handle_(handle), path_(std::move(path)) {}
  ~Win32File() override { CloseHandle(handle_); }
  Win32File(const Win32File&) = delete;
  Win32File& operator=(const Win32File&) = delete;

  Result<std::size_t> Read(void* buffer, std::size_t size) override {
    DWORD got = 0;
    if (!ReadFile(handle_, buffer, Chunk(size), &got, nullptr)) return LastError("ReadFile", path_);
    return static_cast<std::size_t>(got);
  }

  Result<std::size_t> Write(const void* data, std::size_t size) override {
    DWORD wrote = 0;
    if (!WriteFile(handle_, data, Chunk(size), &wrote, nullptr)) {
      return LastError("WriteFile", path_);
    }
    return static_cast<std::size_t>(wrote);
  }

  Result<std::uint64_t> Seek(std::int64_t offset, SeekOrigin origin) override {
    DWORD method;
    switch (origin) {
      case SeekOrigin::kBegin:
        method = FILE_BEGIN;
        break;
      case SeekOrigin::kCurrent:
        method = FILE_CURRENT;
        break;
      case SeekOrigin::kEnd:
        method = FILE_END;
        break;
      default:
        return Win32Error(ERROR_INVALID_PARAMETER, "SetFilePointerEx", path_);
    }
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER position;
    if (!SetFilePointerEx(handle_, distance, &position, method)) {
      return LastError("SetFilePointerEx", path_);
    }
    return static_cast<std::uint64_t>(position.QuadPart);
  }

  Result<std::uint64_t> Size() override {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle_, &size)) return LastError("GetFileSizeEx", path_);
    return static_cast<std::uint64_t>(size.QuadPart);
  }

  Status SetLastWriteTime(FileTime time) override {
    const FILETIME written = ToFiletime(time);
    if (!SetFileTime(handle_, nullptr, nullptr, &written)) return LastError("SetFileTime", path_);
    return {};
  }

 private:
  HANDLE handle_;
  std::string path_;
};

}  // namespace

Win32FileSystem::Win32FileSystem()
    : windows_folder_(SystemFolder(GetWindowsDirectoryW)),
      // A 32-bit build is redirected by Windows itself.
      wow64_folder_(sizeof(void*) == 8 ? SystemFolder(GetSystemWow64DirectoryW) : std::string()) {}

std::optional<std::wstring> Win32FileSystem::Wide(std::string_view path) const {
  if (const auto seen = Wow64ViewPath(path, windows_folder_, wow64_folder_)) return ToWide(*seen);
  return ToWide(path);
}

std::optional<std::uint32_t> Win32FileSystem::GetAttributes(std::string_view path) {
  const auto wide = Wide(path);
  if (!wide) return std::nullopt;
  const DWORD attributes = GetFileAttributesW(wide->c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return attributes;
}

EntryType Win32FileSystem::TypeOf(std::string_view path) {
  const auto wide = Wide(path);
  return wide ? listings_.TypeOf(*wide) : EntryType::kAbsent;
}

Status Win32FileSystem::SetAttributes(std::string_view path, std::uint32_t attributes) {
  const auto wide = Wide(path);
  if (!wide) return BadName("SetFileAttributes", path);
  if (!SetFileAttributesW(wide->c_str(), attributes)) return LastError("SetFileAttributes", path);
  return {};
}

Result<std::vector<FindEntry>> Win32FileSystem::FindFiles(std::string_view pattern) {
  const auto wide = Wide(pattern);
  if (!wide) return BadName("FindFirstFile", pattern);
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(wide->c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return LastError("FindFirstFile", pattern);
  std::vector<FindEntry> entries;
  DWORD end_code = ERROR_NO_MORE_FILES;
  do {
    entries.push_back(
        FindEntry{ToUtf8(data.cFileName, MAX_PATH), data.dwFileAttributes,
                  Join(data.nFileSizeHigh, data.nFileSizeLow),
                  Join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)});
    if (!FindNextFileW(search, &data)) {
      end_code = GetLastError();
      break;
    }
  } while (true);
  FindClose(search);
  if (end_code != ERROR_NO_MORE_FILES) return Win32Error(end_code, "FindNextFile", pattern);
  return entries;
}

Status Win32FileSystem::MoveFile(std::string_view from, std::string_view to) {
  const auto wide_from = Wide(from);
  const auto wide_to = Wide(to);
  if (!wide_from || !wide_to) return BadName("MoveFile", from);
  if (!MoveFileW(wide_from->c_str(), wide_to->c_str())) return LastError("MoveFile", from);
  return {};
}

Status Win32FileSystem::DeleteSilently(std::string_view pattern) {
  auto wide = Wide(pattern);
  if (!wide || wide->empty()) return BadName("SHFileOperation", pattern);
  // SHFileOperation's answer for a pattern that matches nothing differs
  // between versions of Windows; ask the directory search instead.
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(wide->c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return LastError("SHFileOperation", pattern);
  FindClose(search);
  // pFrom is a list of names, each NUL-terminated, ended by one more NUL.
  wide->push_back(L'\0');
  SHFILEOPSTRUCTW operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = wide->c_str();
  operation.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI | FOF_SILENT;
  const int answer = SHFileOperationW(&operation);
  // The answer is a Win32 error code or one of the shell's own DE_* codes.
  if (answer != 0) return Win32Error(static_cast<DWORD>(answer), "SHFileOperation", pattern);
  if (operation.fAnyOperationsAborted) {
    return MakeError(Errc::kIo, "SHFileOperation", std::string(pattern), 0, "aborted");
  }
  return {};
}

Status Win32FileSystem::DeleteFile(std::string_view path) {
  const auto wide = Wide(path);
  if (!wide) return BadName("DeleteFile", path);
  if (!DeleteFileW(wide->c_str())) return LastError("DeleteFile", path);
  return {};
}

Status Win32FileSystem::CreateDirectory(std::string_view path) {
  const auto wide = Wide(path);
  if (!wide) return BadName("CreateDirectory", path);
  if (!CreateDirectoryW(wide->c_str(), nullptr)) return LastError("CreateDirectory", path);
  return {};
}

Result<std::unique_ptr<File>> Win32FileSystem::OpenFile(std::string_view path, OpenMode mode,
                                                        std::uint32_t attributes) {
  const auto wide = Wide(path);
  if (!wide) return BadName("CreateFile", path);
  HANDLE handle = INVALID_HANDLE_VALUE;
  if (mode == OpenMode::kRead) {
    handle = CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  } else {
    handle = CreateFileW(wide->c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (handle == INVALID_HANDLE_VALUE) return LastError("CreateFile", path);
  return std::unique_ptr<File>(std::make_unique<Win32File>(handle, std::string(path)));
}

std::string Win32FileSystem::CurrentDirectory() {
  // The answer without a buffer is the size needed, NUL included; the folder
  // may change between the two calls, hence the loop.
  std::wstring buffer;
  for (;;) {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) return {};
    buffer.assign(needed, L'\0');
    const DWORD length = GetCurrentDirectoryW(needed, buffer.data());
    if (length == 0) return {};
    if (length < needed) return ToUtf8(std::wstring_view(buffer.data(), length));
  }
}

Status Win32FileSystem::SetCurrentDirectory(std::string_view path) {
  const auto wide = Wide(path);
  if (!wide) return BadName("SetCurrentDirectory", path);
  if (!SetCurrentDirectoryW(wide->c_str())) return LastError("SetCurrentDirectory", path);
  return {};
}

Result<DiskSpace> Win32FileSystem::GetDiskFreeSpace(std::string_view root) {
  const auto wide = ToWide(root);
  if (!wide) return BadName("GetDiskFreeSpaceEx", root);
  ULARGE_INTEGER free_to_caller, total, total_free;
  if (!GetDiskFreeSpaceExW(wide->c_str(), &free_to_caller, &total, &total_free)) {
    return LastError("GetDiskFreeSpaceEx", root);
  }
  return DiskSpace{total_free.QuadPart, total.QuadPart};
}

bool Win32FileSystem::IsFixedDrive(std::string_view root) {
  const auto wide = ToWide(root);
  return wide && GetDriveTypeW(wide->c_str()) == DRIVE_FIXED;
}

}  // namespace platform::win32
