#include "platform/win32/folder_listings.h"

#include "platform/win32/windows_api.h"

namespace platform::win32 {

namespace {

// How long a listing vouches for a name it holds.
constexpr std::uint64_t kTrustPresentMs = 1000;
// More folders than an installation has: past this the listings start afresh.
constexpr std::size_t kMaxFolders = 8192;

std::wstring Upper(std::wstring_view text) {
  std::wstring upper(text);
  if (!upper.empty()) CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
  return upper;
}

EntryType FromAttributes(DWORD attributes) {
  if (attributes == INVALID_FILE_ATTRIBUTES) return EntryType::kAbsent;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryType::kFolder : EntryType::kFile;
}

// The full path, when a listing of its folder answers for it as
// GetFileAttributesW would; empty otherwise.
std::wstring ListablePath(const std::wstring& path) {
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, buffer, nullptr);
  if (length == 0 || length >= MAX_PATH) return {};
  const std::wstring_view full(buffer, length);
  // "C:\..." only: no network or device path, no pattern, no short name.
  if (length < 4 || full[1] != L':' || full[2] != L'\\' ||
      full.find_first_of(L"*?~/") != std::wstring_view::npos || full.back() == L'\\') {
    return {};
  }
  return std::wstring(full);
}

}  // namespace

FolderListings::Listing& FolderListings::List(const std::wstring& folder, const std::wstring& key) {
  if (folders_.size() >= kMaxFolders) folders_.clear();
  Listing& listing = folders_[key];
  listing.is_folder.clear();
  listing.listed_ms = GetTickCount64();
  WIN32_FIND_DATAW data;
  const HANDLE search = FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &data,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) return listing;  // no such folder: nothing in it
  do {
    const std::wstring_view name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    listing.is_folder[Upper(name)] = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  } while (FindNextFileW(search, &data));
  FindClose(search);
  return listing;
}

EntryType FolderListings::TypeOf(const std::wstring& path) {
  const std::wstring full = ListablePath(path);
  if (full.empty()) return FromAttributes(GetFileAttributesW(path.c_str()));
  const std::size_t slash = full.rfind(L'\\');
  const std::wstring folder = full.substr(0, slash + 1);
  const std::wstring folder_key = Upper(folder);
  const std::wstring name_key = Upper(std::wstring_view(full).substr(slash + 1));

  std::lock_guard lock(mutex_);
  const auto answer = [&](const Listing& listing) {
    const auto found = listing.is_folder.find(name_key);
    if (found == listing.is_folder.end()) return EntryType::kAbsent;
    return found->second ? EntryType::kFolder : EntryType::kFile;
  };
  const auto cached = folders_.find(folder_key);
  if (cached != folders_.end() && GetTickCount64() - cached->second.listed_ms <= kTrustPresentMs) {
    const EntryType type = answer(cached->second);
    if (type != EntryType::kAbsent) return type;
  }
  return answer(List(folder, folder_key));
}

}  // namespace platform::win32
