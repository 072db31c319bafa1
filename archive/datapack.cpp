#include "archive/datapack.h"

#include "archive/item_path.h"
#include "platform/text.h"

namespace archive {

std::vector<std::string> ExtractDataPack(TSevenZip& sevenzip, std::string_view install_folder,
                                         std::string_view own_folder) {
  sevenzip.SZFileName = std::string(install_folder) + "QUORVEL\\qdm.7z";
  sevenzip.ExtrBaseDir = std::string(own_folder);
  sevenzip.Password = std::string(kDataPackPassword);
  sevenzip.ExtractOptions.ExtractOverwrite = true;
  sevenzip.Files.clear();

  std::vector<std::string> created;
  sevenzip.accept_item = [&](const TSevenZip::Item& item, const std::string& target) {
    if (item.is_folder || item.size > kDataPackItemLimit ||
        !platform::StartsWith(target, own_folder) ||
        !IsPlainFileName(std::string_view(target).substr(own_folder.size()))) {
      return false;
    }
    // A file that was there before is the player's, even when replaced.
    if (!sevenzip.files().Exists(target)) created.push_back(target.substr(own_folder.size()));
    return true;
  };
  (void)sevenzip.Extract(false);
  sevenzip.accept_item = nullptr;
  return created;
}

}  // namespace archive
