#include "platform/win32/version_resource.h"

#include "platform/win32/windows_api.h"

#include <cstring>
#include <cwchar>
#include <cwctype>
#include <vector>

#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

// One node of the version resource's tree (VS_VERSIONINFO, StringFileInfo,
// StringTable, String): wLength, wValueLength, wType, the key, padding to a
// 32-bit boundary, the value, padding, then the children up to wLength.
struct Node {
  std::wstring_view key;
  const wchar_t* text = nullptr;  // the value, for a text node (wType 1)
  std::size_t text_length = 0;    // in characters, without the trailing NUL
  const std::uint8_t* children = nullptr;
  const std::uint8_t* end = nullptr;
};

std::size_t Align4(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

// Reads the node at `at` within [base, limit). nullopt when it does not fit,
// so a damaged resource stops the walk instead of reading past the buffer.
std::optional<Node> ReadNode(const std::uint8_t* base, const std::uint8_t* at,
                             const std::uint8_t* limit) {
  if (limit - at < 6) return std::nullopt;
  std::uint16_t header[3];
  std::memcpy(header, at, sizeof header);
  const std::size_t length = header[0];
  if (length < 6 || static_cast<std::size_t>(limit - at) < length) return std::nullopt;
  const std::uint8_t* end = at + length;
  const auto* key = reinterpret_cast<const wchar_t*>(at + 6);
  const std::size_t key_room = (length - 6) / sizeof(wchar_t);
  const std::size_t key_length = wcsnlen(key, key_room);
  if (key_length == key_room) return std::nullopt;
  Node node;
  node.key = std::wstring_view(key, key_length);
  const std::size_t value_offset =
      Align4(static_cast<std::size_t>(at - base) + 6 + (key_length + 1) * sizeof(wchar_t));
  const std::uint8_t* value = base + value_offset;
  if (value > end) value = end;
  const bool is_text = header[2] == 1;
  const std::size_t value_bytes = is_text ? header[1] * sizeof(wchar_t) : header[1];
  const std::size_t available = static_cast<std::size_t>(end - value);
  const std::size_t kept = value_bytes < available ? value_bytes : available;
  if (is_text) {
    node.text = reinterpret_cast<const wchar_t*>(value);
    node.text_length = wcsnlen(node.text, kept / sizeof(wchar_t));
  }
  node.children = base + Align4(static_cast<std::size_t>(value + kept - base));
  if (node.children > end) node.children = end;
  node.end = end;
  return node;
}

template <class Visit>
void ForEachChild(const std::uint8_t* base, const Node& parent, Visit visit) {
  const std::uint8_t* at = parent.children;
  while (at < parent.end) {
    const auto child = ReadNode(base, at, parent.end);
    if (!child) return;
    visit(*child);
    at = base + Align4(static_cast<std::size_t>(child->end - base));
  }
}

bool SameKey(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (towlower(a[i]) != towlower(b[i])) return false;
  }
  return true;
}

// The strings of one table, in stored order.
std::vector<std::pair<std::string, std::string>> TableStrings(const std::vector<BYTE>& block,
                                                              std::wstring_view table_key) {
  std::vector<std::pair<std::string, std::string>> strings;
  const std::uint8_t* base = block.data();
  const auto root = ReadNode(base, base, base + block.size());
  if (!root) return strings;
  ForEachChild(base, *root, [&](const Node& file_info) {
    if (file_info.key != L"StringFileInfo") return;
    ForEachChild(base, file_info, [&](const Node& table) {
      if (!strings.empty() || !SameKey(table.key, table_key)) return;
      ForEachChild(base, table, [&](const Node& entry) {
        const std::wstring_view text =
            entry.text ? std::wstring_view(entry.text, entry.text_length) : std::wstring_view();
        strings.emplace_back(ToUtf8(entry.key), ToUtf8(text));
      });
    });
  });
  return strings;
}

}  // namespace

std::optional<VersionInfo> ReadVersionResource(std::string_view path) {
  const auto wide = ToWide(path);
  if (!wide) return std::nullopt;
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(wide->c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<BYTE> block(size);
  if (!GetFileVersionInfoW(wide->c_str(), 0, size, block.data())) return std::nullopt;

  VersionInfo info;
  void* data = nullptr;
  UINT length = 0;
  if (VerQueryValueW(block.data(), L"\\", &data, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(data);
    if (fixed->dwSignature == 0xFEEF04BD) {
      info.file_version = std::array<std::uint16_t, 4>{
          HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
          HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
    }
  }
  if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &data, &length)) {
    const auto* pairs = static_cast<const WORD*>(data);
    for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2) {
      info.translations.emplace_back(pairs[i], pairs[i + 1]);
    }
  }
  if (!info.translations.empty()) {
    wchar_t table_key[9];
    swprintf(table_key, 9, L"%04x%04x", info.translations[0].first, info.translations[0].second);
    info.strings = TableStrings(block, table_key);
  }
  return info;
}

}  // namespace platform::win32
