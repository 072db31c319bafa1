#include "platform/pe_version.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/byte_reader.h"
#include "platform/codepage.h"
#include "platform/pe_headers.h"
#include "platform/text.h"

namespace platform {

namespace {

constexpr std::uint16_t kRtVersion = 16;
constexpr std::uint32_t kVsVersionInfoId = 1;
constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BD;
constexpr std::size_t kFixedFileInfoSize = 52;
constexpr std::uint32_t kSubdirectoryBit = 0x80000000;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
// Windows refuses images with more sections than this.
constexpr std::uint32_t kMaxSections = 96;

using Bytes = ByteReader;

// Where the bytes of an RVA lie in the file, and how many follow in its section.
struct FileSpan {
  std::uint64_t offset = 0;
  std::uint64_t available = 0;
};

class PeImage {
 public:
  explicit PeImage(std::string_view image) : bytes_(image) {}

  // Reads the headers; false when the bytes are not a PE image or have no resources.
  bool Parse() {
    const auto headers = ReadPeHeaders(bytes_);
    if (!headers || headers->directory_count <= kResourceDirectoryIndex) return false;
    const std::uint64_t entry = headers->directory_table + 8 * kResourceDirectoryIndex;
    if (entry + 8 > headers->optional_header + headers->optional_size) return false;
    const auto resources = ReadPeDirectory(bytes_, *headers, kResourceDirectoryIndex);
    if (!resources || resources->rva == 0) return false;
    headers_ = *headers;
    resource_rva_ = resources->rva;
    return true;
  }

  std::optional<FileSpan> Locate(std::uint32_t rva) const {
    const std::uint32_t count = std::min<std::uint32_t>(headers_.section_count, kMaxSections);
    for (std::uint32_t i = 0; i < count; ++i) {
      const auto section = ReadPeSection(bytes_, headers_, i);
      if (!section) return std::nullopt;
      const std::uint64_t extent = std::max(section->virtual_size, section->raw_size);
      if (rva < section->virtual_address || rva - section->virtual_address >= extent) continue;
      const std::uint64_t delta = rva - section->virtual_address;
      if (delta >= section->raw_size)
        return std::nullopt;  // uninitialised data: nothing in the file
      return FileSpan{section->raw_offset + delta, section->raw_size - delta};
    }
    return std::nullopt;
  }

  std::uint32_t resource_rva() const { return resource_rva_; }
  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
  PeHeaders headers_;
  std::uint32_t resource_rva_ = 0;
};

// One IMAGE_RESOURCE_DIRECTORY_ENTRY's target: its offset (from the start of
// the resource section) and whether it is a further directory.
struct ResourceEntry {
  std::uint32_t offset = 0;
  bool directory = false;
};

// The entry with the given ID, or the first entry of any name when id is empty.
std::optional<ResourceEntry> FindResourceEntry(const Bytes& resources, std::uint32_t directory,
                                               std::optional<std::uint32_t> id) {
  const auto named = resources.Get<std::uint16_t>(std::uint64_t{directory} + 12);
  const auto ids = resources.Get<std::uint16_t>(std::uint64_t{directory} + 14);
  if (!named || !ids) return std::nullopt;
  const std::uint32_t total = std::uint32_t{*named} + *ids;
  for (std::uint32_t i = 0; i < total; ++i) {
    const std::uint64_t entry = std::uint64_t{directory} + 16 + 8ull * i;
    const auto name = resources.Get<std::uint32_t>(entry);
    const auto target = resources.Get<std::uint32_t>(entry + 4);
    if (!name || !target) return std::nullopt;
    const bool by_name = (*name & kSubdirectoryBit) != 0;
    if (id && (by_name || *name != *id)) continue;
    return ResourceEntry{*target & ~kSubdirectoryBit, (*target & kSubdirectoryBit) != 0};
  }
  return std::nullopt;
}

// The bytes of the version resource: type RT_VERSION, name 1, first language.
std::optional<std::string_view> FindVersionBlock(const PeImage& image) {
  const auto section = image.Locate(image.resource_rva());
  if (!section) return std::nullopt;
  const Bytes resources(image.bytes().Sub(section->offset, section->available));
  const auto type = FindResourceEntry(resources, 0, kRtVersion);
  if (!type || !type->directory) return std::nullopt;
  const auto name = FindResourceEntry(resources, type->offset, kVsVersionInfoId);
  if (!name || !name->directory) return std::nullopt;
  const auto language = FindResourceEntry(resources, name->offset, std::nullopt);
  if (!language || language->directory) return std::nullopt;
  const auto data_rva = resources.Get<std::uint32_t>(language->offset);
  const auto data_size = resources.Get<std::uint32_t>(std::uint64_t{language->offset} + 4);
  if (!data_rva || !data_size) return std::nullopt;
  const auto data = image.Locate(*data_rva);
  if (!data) return std::nullopt;
  return image.bytes().Sub(data->offset, std::min<std::uint64_t>(*data_size, data->available));
}

std::uint64_t Align4(std::uint64_t offset) { return (offset + 3) & ~std::uint64_t{3}; }

// One node of the version block (VS_VERSIONINFO, StringFileInfo, StringTable,
// String, VarFileInfo, Var): wLength, wValueLength, wType, szKey, padding,
// Value, padding, Children. Offsets are from the start of the block, to which
// the padding is aligned.
struct VersionNode {
  std::uint64_t end = 0;   // clamped to the parent's end
  std::uint64_t next = 0;  // where the next sibling starts
  std::uint16_t value_length = 0;
  bool text = false;  // wType 1: wValueLength counts characters
  std::u16string key;
  std::uint64_t value = 0;
  std::uint64_t children = 0;
};

std::optional<VersionNode> ReadNode(const Bytes& block, std::uint64_t begin, std::uint64_t limit) {
  const auto length = block.Get<std::uint16_t>(begin);
  const auto value_length = block.Get<std::uint16_t>(begin + 2);
  const auto type = block.Get<std::uint16_t>(begin + 4);
  if (!length || !value_length || !type || *length < 6) return std::nullopt;
  VersionNode node;
  node.next = Align4(begin + *length);
  node.end = std::min<std::uint64_t>(begin + *length, limit);
  node.value_length = *value_length;
  node.text = *type == 1;
  std::uint64_t at = begin + 6;
  for (; at + 2 <= node.end; at += 2) {
    const auto c = block.Get<std::uint16_t>(at);
    if (!c || *c == 0) break;
    node.key.push_back(static_cast<char16_t>(*c));
  }
  node.value = std::min(Align4(at + 2), node.end);
  const std::uint64_t value_bytes = node.text ? 2ull * node.value_length : node.value_length;
  node.children = std::min(Align4(node.value + value_bytes), node.end);
  return node;
}

// Calls visit for each child of the node, in stored order.
template <class Visit>
void ForEachChild(const Bytes& block, const VersionNode& parent, Visit visit) {
  std::uint64_t at = parent.children;
  while (at < parent.end) {
    const auto child = ReadNode(block, at, parent.end);
    if (!child) return;
    visit(*child);
    if (child->next <= at) return;
    at = child->next;
  }
}

// A String's value: text up to its NUL, within the node.
std::string TextValue(const Bytes& block, const VersionNode& node) {
  std::u16string text;
  if (node.value_length == 0) return {};
  for (std::uint64_t at = node.value; at + 2 <= node.end; at += 2) {
    const auto c = block.Get<std::uint16_t>(at);
    if (!c || *c == 0) break;
    text.push_back(static_cast<char16_t>(*c));
  }
  return Utf16ToUtf8(text);
}

std::optional<std::array<std::uint16_t, 4>> FixedFileVersion(const Bytes& block,
                                                             const VersionNode& root) {
  if (root.value_length < kFixedFileInfoSize || !block.Holds(root.value, kFixedFileInfoSize) ||
      root.value + kFixedFileInfoSize > root.end) {
    return std::nullopt;
  }
  if (block.Get<std::uint32_t>(root.value) != kFixedFileInfoSignature) return std::nullopt;
  const std::uint32_t ms = *block.Get<std::uint32_t>(root.value + 8);
  const std::uint32_t ls = *block.Get<std::uint32_t>(root.value + 12);
  return std::array<std::uint16_t, 4>{
      static_cast<std::uint16_t>(ms >> 16), static_cast<std::uint16_t>(ms & 0xFFFF),
      static_cast<std::uint16_t>(ls >> 16), static_cast<std::uint16_t>(ls & 0xFFFF)};
}

std::string TableName(std::pair<std::uint16_t, std::uint16_t> translation) {
  char name[9];
  std::snprintf(name, sizeof name, "%04x%04x", translation.first, translation.second);
  return name;
}

VersionInfo ReadVersionBlock(const Bytes& block) {
  VersionInfo info;
  const auto root = ReadNode(block, 0, block.size());
  if (!root) return info;
  info.file_version = FixedFileVersion(block, *root);

  std::vector<VersionNode> tables;
  ForEachChild(block, *root, [&](const VersionNode& child) {
    if (child.key == u"StringFileInfo") {
      ForEachChild(block, child, [&](const VersionNode& table) { tables.push_back(table); });
    } else if (child.key == u"VarFileInfo") {
      ForEachChild(block, child, [&](const VersionNode& var) {
        if (var.key != u"Translation") return;
        const std::uint64_t end = std::min(var.end, var.value + var.value_length);
        for (std::uint64_t at = var.value; at + 4 <= end; at += 4) {
          info.translations.emplace_back(*block.Get<std::uint16_t>(at),
                                         *block.Get<std::uint16_t>(at + 2));
        }
      });
    }
  });

  if (info.translations.empty()) return info;
  const std::string wanted = TableName(info.translations.front());
  for (const VersionNode& table : tables) {
    if (!EqualsIgnoreCase(Utf16ToUtf8(table.key), wanted)) continue;
    ForEachChild(block, table, [&](const VersionNode& string) {
      info.strings.emplace_back(Utf16ToUtf8(string.key), TextValue(block, string));
    });
    break;
  }
  return info;
}

}  // namespace

VersionInfo ReadVersionBlock(std::string_view block) { return ReadVersionBlock(Bytes(block)); }

std::optional<VersionInfo> ReadPeVersionInfo(std::string_view image) {
  PeImage pe(image);
  if (!pe.Parse()) return std::nullopt;
  const auto block = FindVersionBlock(pe);
  if (!block || block->empty()) return std::nullopt;
  return ReadVersionBlock(Bytes(*block));
}

}  // namespace platform
