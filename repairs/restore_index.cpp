#include "repairs/restore_index.h"

#include <algorithm>
#include <optional>

#include "archive/item_path.h"
#include "platform/text.h"

namespace repairs {

namespace {

constexpr std::string_view kDataPackName = "qdm.7z";

std::optional<IndexedItem> Indexable(const archive::TSevenZip::Item& item, std::uint32_t index) {
  if (item.is_folder || archive::IsSymbolicLink(item.attributes)) return std::nullopt;
  std::optional<std::string> relative = archive::SafeRelativePath(item.path);
  if (!relative || !IsPlainRelativePath(*relative)) return std::nullopt;
  return IndexedItem{std::move(*relative), index, item.has_crc ? item.crc : 0u, item.size};
}

std::string_view TopFolder(std::string_view relative) {
  const std::size_t separator = relative.find('\\');
  return separator == std::string_view::npos ? std::string_view() : relative.substr(0, separator);
}

std::string CommonRoot(const std::vector<IndexedItem>& files) {
  if (files.empty()) return {};
  const std::string_view first = TopFolder(files.front().relative);
  if (first.empty()) return {};
  for (const IndexedItem& file : files) {
    if (!platform::EqualsIgnoreCase(TopFolder(file.relative), first)) return {};
  }
  return std::string(first);
}

}  // namespace

bool IsPlainRelativePath(std::string_view relative) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = relative.find('\\', start);
    if (!archive::IsPlainFileName(relative.substr(start, end - start))) return false;
    if (end == std::string_view::npos) return true;
    start = end + 1;
  }
}

std::vector<std::string> SourceArchives(platform::FileSystem& files,
                                        std::string_view install_folder,
                                        const std::vector<std::string>& corrupt_archives) {
  namespace fa = platform::file_attribute;
  std::vector<std::string> names;
  const auto found = files.FindFiles(std::string(install_folder) + "QUORVEL\\*.7z");
  if (!found) return names;
  for (const platform::FindEntry& entry : *found) {
    if ((entry.attributes & (fa::kDirectory | fa::kReparsePoint)) != 0 ||
        !archive::IsPlainFileName(entry.name) ||
        !platform::EndsWith(platform::UpperCase(entry.name), ".7Z") ||
        platform::EqualsIgnoreCase(entry.name, kDataPackName)) {
      continue;
    }
    const bool corrupt = std::any_of(
        corrupt_archives.begin(), corrupt_archives.end(),
        [&](const std::string& name) { return platform::EqualsIgnoreCase(name, entry.name); });
    if (!corrupt) names.push_back(entry.name);
  }
  return names;
}

RestoreIndex BuildRestoreIndex(archive::TSevenZip& sevenzip, std::string_view install_folder,
                               const std::vector<std::string>& archive_names,
                               const std::function<void(std::size_t, std::size_t)>& progress) {
  const std::string saved_name = sevenzip.SZFileName;
  const std::string saved_password = sevenzip.Password;
  RestoreIndex index;
  for (std::size_t i = 0; i < archive_names.size(); ++i) {
    const std::string& name = archive_names[i];
    sevenzip.SZFileName = std::string(install_folder) + "QUORVEL\\" + name;
    std::optional<std::vector<archive::TSevenZip::Item>> items;
    for (const std::string_view password : {archive::kDataPackPassword, std::string_view()}) {
      sevenzip.Password = std::string(password);
      items = sevenzip.ListItems();
      if (items) break;
    }
    if (!items) {
      index.unopened.push_back(name);
    } else {
      IndexedArchive indexed{name, sevenzip.Password, {}, {}};
      for (std::uint32_t item = 0; item < items->size(); ++item) {
        if (auto file = Indexable((*items)[item], item)) indexed.files.push_back(std::move(*file));
      }
      indexed.root = CommonRoot(indexed.files);
      index.archives.push_back(std::move(indexed));
    }
    if (progress) progress(i + 1, archive_names.size());
  }
  sevenzip.SZFileName = saved_name;
  sevenzip.Password = saved_password;
  return index;
}

}  // namespace repairs
