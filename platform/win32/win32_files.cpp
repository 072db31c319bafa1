#include "platform/win32/win32_files.h"

#include "platform/win32/windows_api.h"

#include <shellapi.h>

#include <algorithm>
#include <limits>
#include <string>
#include <string_view>

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

// The path the handle reaches, GetFinalPathNameByHandle's normalized DOS form.
std::optional<std::wstring> FinalPath(HANDLE handle) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                  FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return std::nullopt;
    // Too small a buffer gives the size needed, NUL included.
    if (length < buffer.size()) return buffer.substr(0, length);
    buffer.resize(length);
  }
}

bool ReachesItsOwnName(HANDLE handle, const std::wstring& wide);

// Why the file open by `wide` (FILE_FLAG_OPEN_REPARSE_POINT) is not a plain
// file the tool may replace or delete by that name; nullptr when it is one.
const char* NotPlainFile(HANDLE handle, const std::wstring& wide) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return "its attributes cannot be read";
  if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return "a link (reparse point)";
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return "a folder";
  if (info.nNumberOfLinks > 1) return "a file with other hard links";
  if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return "a read-only file";
  return ReachesItsOwnName(handle, wide) ? nullptr : "a link to another file";
}

// Whether the handle opened by `wide` reaches that very name. Wine opens a
// symbolic link of its host as the file or folder it points at, with the
// reparse-point flag or without, and shows no reparse point on a file: the
// handle then reaches another name than the folder's final path and this one.
bool ReachesItsOwnName(HANDLE handle, const std::wstring& wide) {
  const std::size_t separator = wide.find_last_of(L"\\/");
  std::wstring folder = separator == std::wstring::npos ? L"." : wide.substr(0, separator + 1);
  const std::wstring name = separator == std::wstring::npos ? wide : wide.substr(separator + 1);
  HANDLE folder_handle = CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder_handle == INVALID_HANDLE_VALUE) return false;
  const auto folder_path = FinalPath(folder_handle);
  CloseHandle(folder_handle);
  const auto file_path = FinalPath(handle);
  if (!folder_path || !file_path) return false;
  std::wstring expected = *folder_path;
  if (expected.empty() || expected.back() != L'\\') expected += L'\\';
  expected += name;
  return CompareStringOrdinal(expected.data(), static_cast<int>(expected.size()), file_path->data(),
                              static_cast<int>(file_path->size()), TRUE) == CSTR_EQUAL;
}

// Whether `wide` is a link (a reparse point, or a host link under Wine), or a
// folder holding one anywhere below it.
bool IsOrHoldsLink(const std::wstring& wide) {
  HANDLE handle = CreateFileW(
      wide.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return true;  // what cannot be checked counts as one
  BY_HANDLE_FILE_INFORMATION info;
  const bool read = GetFileInformationByHandle(handle, &info) != 0;
  const bool own = read && ReachesItsOwnName(handle, wide);
  CloseHandle(handle);
  if (!own || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
  if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW((wide + L"\\*").c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool holds = false;
  do {
    const std::wstring_view name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    // Wine marks a host link to a folder as a reparse point in the listing.
    holds = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
            IsOrHoldsLink(wide + L"\\" + data.cFileName);
  } while (!holds && FindNextFileW(search, &data));
  FindClose(search);
  return holds;
}

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
  // The shell deletes a link's target, and Wine's walks into a linked
  // folder: nothing is deleted when a match is, or holds, a link.
  const std::size_t separator = wide->find_last_of(L"\\/");
  const std::wstring folder =
      separator == std::wstring::npos ? L"" : wide->substr(0, separator + 1);
  bool linked = false;
  do {
    const std::wstring_view name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    linked = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
             IsOrHoldsLink(folder + data.cFileName);
  } while (!linked && FindNextFileW(search, &data));
  FindClose(search);
  if (linked) {
    return MakeError(Errc::kAccessDenied, "SHFileOperation", std::string(pattern),
                     ERROR_ACCESS_DENIED, "a link is among what it names");
  }
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

Status Win32FileSystem::RemoveFile(std::string_view path) {
  const auto wide = Wide(path);
  if (!wide || wide->empty()) return BadName("DeleteFile", path);
  // The name itself, never what it points at; no folder (it cannot be opened
  // without FILE_FLAG_BACKUP_SEMANTICS). What is checked is what is deleted.
  HANDLE handle = CreateFileW(wide->c_str(), DELETE | FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return LastError("DeleteFile", path);
  Status outcome;
  if (const char* refusal = NotPlainFile(handle, *wide)) {
    outcome = MakeError(Errc::kAccessDenied, "DeleteFile", std::string(path), ERROR_ACCESS_DENIED,
                        refusal);
  } else {
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (!SetFileInformationByHandle(handle, FileDispositionInfo, &disposition,
                                    sizeof disposition)) {
      outcome = LastError("DeleteFile", path);
    }
  }
  CloseHandle(handle);
  return outcome;
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
    // Made anew: a plain file of the name is deleted first, and CREATE_NEW
    // fails rather than open whatever stands there by then.
    const auto create_new = [&] {
      return CreateFileW(
          wide->c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
          (attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL) | FILE_FLAG_OPEN_REPARSE_POINT,
          nullptr);
    };
    handle = create_new();
    if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) {
      if (const Status removed = RemoveFile(path); !removed) {
        Error error = removed.error();
        error.operation = "CreateFile";
        return error;
      }
      handle = create_new();
    }
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
