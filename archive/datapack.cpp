#include "archive/datapack.h"

#include <utility>

#include "platform/text.h"

namespace archive {

std::vector<std::string> ExtractDataPack(TSevenZip& sevenzip, std::string_view install_folder,
                                         std::string_view own_folder) {
  sevenzip.SZFileName = std::string(install_folder) + "QUORVEL\\qdm.7z";
  sevenzip.ExtrBaseDir = std::string(own_folder);
  sevenzip.Password = std::string(kDataPackPassword);
  sevenzip.ExtractOptions.ExtractOverwrite = true;
  sevenzip.Files.clear();

  std::vector<std::string> written;
  T7zSetNewNameEvent previous = std::move(sevenzip.OnSetExtractName);
  sevenzip.OnSetExtractName = [&](TSevenZip& sender, std::uint32_t index, std::string& name) {
    if (previous) previous(sender, index, name);
    if (platform::StartsWith(name, own_folder)) written.push_back(name.substr(own_folder.size()));
  };
  (void)sevenzip.Extract(false);
  sevenzip.OnSetExtractName = std::move(previous);
  return written;
}

}  // namespace archive
