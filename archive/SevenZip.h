// TSevenZip: the archive component. Opens 7z archives through the 7-Zip
// library and extracts or tests their items into a folder. The library only
// ever sees our callback and stream objects, so this component decides where
// items go, when an existing file is replaced and which problems are reported.
// Text is UTF-8; the library's wide strings are converted at its boundary.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/sevenzip_com.h"
#include "platform/files.h"
#include "platform/library_loader.h"
#include "platform/ui.h"

namespace archive {

class TSevenZip;

// Problem codes (LastError) and the message each one reports.
enum T7zError : int {
  kSuccess = 0,
  kFileNotFound = 1,
  kDataError = 2,
  kCrcError = 3,
  kUnsupportedMethod = 4,
  kIndexOutOfRange = 5,
  kUserCanceled = 6,
  kNotSfxArchive = 7,
  kSfxModuleNotFound = 8,
  kCouldNotCreateSfx = 9,
  kNoFilesToAdd = 10,
  kCouldNotCreateFile = 11,
  // An encrypted item that fails its data check while a password was given:
  // whether a wrong password shows as such or as damaged data depends on the
  // archive's salt, so every such failure is this one.
  kWrongPassword = 12,
};
std::string_view ProblemMessage(int code);

using T7zPreProgressEvent = std::function<void(TSevenZip& sender, std::int64_t max_progress)>;
using T7zExtractfileEvent =
    std::function<void(TSevenZip& sender, const std::string& filename, std::int64_t filesize)>;
using T7zProgressEvent = std::function<void(TSevenZip& sender, const std::string& filename,
                                            std::int64_t file_pos_arc, std::int64_t file_pos_file)>;
using T7zMessageEvent = std::function<void(
    TSevenZip& sender, int err_code, const std::string& message, const std::string& filename)>;
using T7zSetNewNameEvent =
    std::function<void(TSevenZip& sender, std::uint32_t file_index, std::string& old_file_name)>;
using T7zExtractOverwrite =
    std::function<void(TSevenZip& sender, const std::string& file_name, bool& do_overwrite)>;
// arc_file_name: the volume looked for, in; the file to use instead, out.
using TOpenVolume = std::function<void(std::string& arc_file_name, bool removable, bool& cancel)>;

struct TExtractOptions {
  bool ExtractNoPath = false;     // every file straight into the target folder
  bool ExtractOverwrite = false;  // replace existing files without asking
};
struct TAddOptions {
  bool AddRecurseDirs = false;
  bool AddSolid = false;
  bool AddStoreOnlyFilename = false;
  bool AddIncludeDriveLetter = false;
  bool AddEncryptFilename = false;
};
enum class TLZMACompressType { LZMA, PPMD };
enum class TLZMACompressStrength { SAVE, FAST, NORMAL, MAXIMUM, ULTRA };

using TWideStringList = std::vector<std::string>;

class TSevenZip {
 public:
  // Loads the library and creates the 7z handler's objects. Throws
  // std::runtime_error when the library cannot be used.
  TSevenZip(platform::FileSystem& files, platform::UserInterface* ui);
  ~TSevenZip();
  TSevenZip(const TSevenZip&) = delete;
  TSevenZip& operator=(const TSevenZip&) = delete;

  // Extracts (test_mode false) or tests the items named by Files, or every
  // item, from SZFileName into ExtrBaseDir. The library's result (0 =
  // success), or -1 when the component gave up before extracting. Problems
  // also go to LastError, LastSystemError and OnMessage; never throws.
  int Extract(bool test_mode);
  // Index of the first item whose path equals the name, letter case aside;
  // -1 when none (or when the archive cannot be opened without a password).
  int FindItemIndex(std::string_view name);

  // Published properties.
  std::string SZFileName;
  std::string ExtrBaseDir;  // empty: item paths are taken as they stand
  std::string Password;     // empty: the library's request is answered "no"
  TExtractOptions ExtractOptions;
  // Kept and given back; no operation of the program uses them.
  std::string AddRootDir;
  bool SFXCreate = false;
  std::string SFXModule = "7z.sfx";
  TAddOptions AddOptions;
  TLZMACompressType LZMACompressType = TLZMACompressType::LZMA;
  TLZMACompressStrength LZMACompressStrength = TLZMACompressStrength::SAVE;
  int LZMAStrength = 0;
  int LPPMDmem = 0;
  int LPPMDsize = 0;
  int NumberOfFiles = -1;
  int VolumeSize = 0;

  // Entries to extract: decimal item indices or item paths; empty: every item.
  TWideStringList Files;
  int LastError = kSuccess;
  std::uint32_t LastSystemError = 0;

  // Events; each is called only when set.
  T7zPreProgressEvent OnPreProgress;
  T7zExtractfileEvent OnExtractfile;
  T7zProgressEvent OnProgress;
  T7zMessageEvent OnMessage;
  T7zSetNewNameEvent OnSetExtractName;
  T7zExtractOverwrite OnExtractOverwrite;
  TOpenVolume OnOpenVolume;

  // Set by Extract for an ".exe" archive: the 7z data starts at the offset.
  bool IsSFX() const { return sfx_; }
  std::uint64_t SFXOffset() const { return sfx_offset_; }

  // For the callbacks and streams.
  platform::FileSystem& files() { return files_; }
  platform::UserInterface* ui() { return ui_; }
  const com::LibraryStrings& strings() const { return strings_; }
  // Sets LastError and tells OnMessage.
  void Report(int code, const std::string& filename);

  struct Item {
    std::string path;  // as stored, separators turned into backslashes
    std::uint64_t size = 0;
    std::uint32_t attributes = 0;
    bool is_folder = false;
    bool encrypted = false;
    bool has_time = false;
    platform::FileTime last_write = 0;
    // The CRC-32 of the content, as stored; an empty file has none.
    bool has_crc = false;
    std::uint32_t crc = 0;
  };
  // Properties of an item of the open archive.
  Item ReadItem(std::uint32_t index);
  // The items of SZFileName as its headers describe them, opened with
  // Password (empty: none), without extracting anything; nullopt when the
  // archive does not open so (damaged, not 7z, another password).
  std::optional<std::vector<Item>> ListItems();

  // The program's own check of each item about to be extracted, with its
  // target after OnSetExtractName: when set and it answers false, nothing is
  // written, the item counts as a file that could not be created, and the
  // extraction goes on with the next item.
  std::function<bool(const Item& item, const std::string& target)> accept_item;

 private:
  int ExtractOpen(bool test_mode);
  bool FindSfxOffset();
  bool OpenArchive(bool with_password);
  int IndexOfPath(std::string_view name, std::uint32_t count);

  platform::FileSystem& files_;
  platform::UserInterface* ui_;
  platform::LibraryModule* module_ = nullptr;
  com::LibraryStrings strings_;
  com::ComPtr<com::IInArchive> in_archive_;
  com::ComPtr<com::IUnknown> out_archive_;
  com::ComPtr<com::IUnknown> set_properties_;
  bool sfx_ = false;
  std::uint64_t sfx_offset_ = 0;
};

// The DataPack's password, stored with the main window's SevenZip1.
inline constexpr std::string_view kDataPackPassword = "Kq7Lm2Xw@Zt9Rb4N%c3P";

// The values stored with the main window for its SevenZip1.
void ApplyFormValues(TSevenZip& sevenzip);

}  // namespace archive
