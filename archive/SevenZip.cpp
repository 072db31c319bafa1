#include "archive/SevenZip.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "archive/sevenzip_callbacks.h"
#include "archive/sevenzip_streams.h"
#include "platform/codepage.h"
#include "platform/text.h"

namespace archive {

namespace {

constexpr std::string_view kMessages[] = {
    "Success",
    "File not found",
    "Data Error",
    "CRC Error",
    "Unsupported Method",
    "Index out of Range",
    "User canceled operation",
    "File is not an 7z SFX archive",
    "SFXModule error ( Not found )",
    "Could not create SFX",
    "No files to add",
    "Could not create file",
    "Data Error in encrypted file. Wrong password?",
};

constexpr char kLoadFailure[] =
    "Could not load CreateObject function from 7za.dll\r\nPerhaps 7za.dll not found";

// Where a self-extractor's stub ends and its 7z data may start.
constexpr std::uint8_t kSignature[] = {0x37, 0x7A, 0xBC, 0xAF, 0x27, 0x1C};
constexpr std::int64_t kSfxSearchStart = 65'536;
constexpr std::size_t kSfxSearchLength = 81'920;

std::optional<std::int64_t> ParseIndex(std::string_view entry) {
  std::int64_t index = 0;
  const auto [end, error] = std::from_chars(entry.data(), entry.data() + entry.size(), index);
  if (entry.empty() || error != std::errc() || end != entry.data() + entry.size()) {
    return std::nullopt;
  }
  return index;
}

std::string WithBackslashes(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

}  // namespace

std::string_view ProblemMessage(int code) {
  return code >= 0 && code < static_cast<int>(std::size(kMessages)) ? kMessages[code] : "";
}

TSevenZip::TSevenZip(platform::FileSystem& files, platform::UserInterface* ui)
    : files_(files), ui_(ui) {
  module_ = platform::LoadArchiveLibrary();
  const auto create = reinterpret_cast<com::CreateObjectFunction>(
      platform::FindLibraryExport(module_, "CreateObject"));
  const auto functions = platform::LibraryStringsOf(module_);
  strings_ = com::LibraryStrings(functions.allocate, functions.free);
  if (!create || !strings_.usable()) {
    platform::FreeArchiveLibrary(module_);
    throw std::runtime_error(kLoadFailure);
  }
  create(&com::kSevenZipHandlerClsid, &com::IInArchive::kIid, in_archive_.Receive());
  create(&com::kSevenZipHandlerClsid, &com::kIidOutArchive, out_archive_.Receive());
  create(&com::kSevenZipHandlerClsid, &com::kIidSetProperties, set_properties_.Receive());
}

TSevenZip::~TSevenZip() {
  // Every object of the library goes before the library itself.
  in_archive_.Reset();
  out_archive_.Reset();
  set_properties_.Reset();
  platform::FreeArchiveLibrary(module_);
}

void TSevenZip::Report(int code, const std::string& filename) {
  LastError = code;
  if (OnMessage) OnMessage(*this, code, std::string(ProblemMessage(code)), filename);
}

SEVENZIP_FOREIGN_CALLS TSevenZip::Item TSevenZip::ReadItem(std::uint32_t index) {
  Item item;
  com::PropVariant value;
  if (in_archive_->GetProperty(index, com::kpid::kPath, &value) == com::kOk &&
      value.type == com::vt::kBstr && value.bstr) {
    item.path = WithBackslashes(platform::WideToUtf8(value.bstr));
  }
  strings_.Clear(value);
  if (in_archive_->GetProperty(index, com::kpid::kSize, &value) == com::kOk) {
    if (value.type == com::vt::kUi8) item.size = value.ui8;
    if (value.type == com::vt::kUi4) item.size = value.ui4;
  }
  strings_.Clear(value);
  if (in_archive_->GetProperty(index, com::kpid::kAttributes, &value) == com::kOk &&
      value.type == com::vt::kUi4) {
    item.attributes = value.ui4;
  }
  strings_.Clear(value);
  if (in_archive_->GetProperty(index, com::kpid::kLastWriteTime, &value) == com::kOk &&
      value.type == com::vt::kFileTime) {
    item.has_time = true;
    item.last_write = value.ui8;
  }
  strings_.Clear(value);
  if (in_archive_->GetProperty(index, com::kpid::kEncrypted, &value) == com::kOk &&
      value.type == com::vt::kBool && value.bool_value != 0) {
    item.encrypted = true;
  }
  strings_.Clear(value);
  if (in_archive_->GetProperty(index, com::kpid::kCrc, &value) == com::kOk &&
      value.type == com::vt::kUi4) {
    item.has_crc = true;
    item.crc = value.ui4;
  }
  strings_.Clear(value);
  // A folder is told by its attribute; the folder flag covers items stored
  // without attributes.
  item.is_folder = (item.attributes & platform::file_attribute::kDirectory) != 0;
  if (in_archive_->GetProperty(index, com::kpid::kIsDir, &value) == com::kOk &&
      value.type == com::vt::kBool && value.bool_value != 0) {
    item.is_folder = true;
  }
  strings_.Clear(value);
  return item;
}

bool TSevenZip::FindSfxOffset() {
  sfx_ = false;
  sfx_offset_ = 0;
  auto file = files_.OpenFile(SZFileName, platform::OpenMode::kRead);
  if (!file || !(*file)->Seek(kSfxSearchStart, platform::SeekOrigin::kBegin)) return false;
  std::string bytes(kSfxSearchLength, '\0');
  std::size_t got = 0;
  while (got < bytes.size()) {
    auto read = (*file)->Read(bytes.data() + got, bytes.size() - got);
    if (!read || *read == 0) break;
    got += *read;
  }
  const std::string_view signature(reinterpret_cast<const char*>(kSignature), sizeof kSignature);
  const std::size_t at = std::string_view(bytes.data(), got).find(signature);
  if (at == std::string_view::npos) return false;
  sfx_ = true;
  sfx_offset_ = static_cast<std::uint64_t>(kSfxSearchStart) + at;
  return true;
}

SEVENZIP_FOREIGN_CALLS bool TSevenZip::OpenArchive(bool with_password) {
  if (!in_archive_) return false;
  in_archive_->Close();
  const auto reader = com::MakeObject<TMyStreamReader>(*this, SZFileName, true);
  com::ComPtr<TMyArchiveOpenCallback> callback;
  if (with_password) callback = com::MakeObject<TMyArchiveOpenCallback>(*this);
  return in_archive_->Open(reader.get(), nullptr, callback.get()) == com::kOk;
}

int TSevenZip::IndexOfPath(std::string_view name, std::uint32_t count) {
  const std::string wanted = platform::UpperCase(WithBackslashes(std::string(name)));
  for (std::uint32_t index = 0; index < count; ++index) {
    if (platform::UpperCase(ReadItem(index).path) == wanted) return static_cast<int>(index);
  }
  return -1;
}

SEVENZIP_FOREIGN_CALLS std::optional<std::vector<TSevenZip::Item>> TSevenZip::ListItems() {
  try {
    if (!OpenArchive(true)) return std::nullopt;
    std::uint32_t count = 0;
    in_archive_->GetNumberOfItems(&count);
    std::vector<Item> items;
    for (std::uint32_t index = 0; index < count; ++index) items.push_back(ReadItem(index));
    in_archive_->Close();
    return items;
  } catch (const std::exception&) {
    if (in_archive_) in_archive_->Close();
    return std::nullopt;
  }
}

SEVENZIP_FOREIGN_CALLS int TSevenZip::FindItemIndex(std::string_view name) {
  try {
    if (!OpenArchive(false)) return -1;
    std::uint32_t count = 0;
    in_archive_->GetNumberOfItems(&count);
    const int index = IndexOfPath(name, count);
    in_archive_->Close();
    return index;
  } catch (const std::exception&) {
    in_archive_->Close();
    return -1;
  }
}

SEVENZIP_FOREIGN_CALLS int TSevenZip::Extract(bool test_mode) {
  try {
    const int result = ExtractOpen(test_mode);
    if (in_archive_) in_archive_->Close();
    return result;
  } catch (const std::exception&) {
    if (in_archive_) in_archive_->Close();
    return -1;
  }
}

SEVENZIP_FOREIGN_CALLS int TSevenZip::ExtractOpen(bool test_mode) {
  if (platform::EndsWith(platform::UpperCase(SZFileName), ".EXE")) {
    if (!FindSfxOffset()) {
      Report(kNotSfxArchive, SZFileName);
      return -1;
    }
  } else {
    sfx_ = false;
    sfx_offset_ = 0;
  }
  if (!OpenArchive(true)) {
    Report(kFileNotFound, SZFileName);
    return -1;
  }
  std::uint32_t count = 0;
  in_archive_->GetNumberOfItems(&count);

  // Names are looked up in the archive as it is open now, with the password
  // it was opened with.
  std::vector<std::uint32_t> indices;
  std::uint64_t total = 0;
  for (const std::string& entry : Files) {
    const auto number = ParseIndex(entry);
    const std::int64_t index = number ? *number : IndexOfPath(entry, count);
    if (index < 0 || index >= static_cast<std::int64_t>(count)) {
      Report(kIndexOutOfRange, "");
      return -1;
    }
    total += ReadItem(static_cast<std::uint32_t>(index)).size;
    indices.push_back(static_cast<std::uint32_t>(index));
  }
  if (total > 0 && OnPreProgress) OnPreProgress(*this, static_cast<std::int64_t>(total));
  // The library takes each index once, in ascending order.
  std::sort(indices.begin(), indices.end());
  indices.erase(std::unique(indices.begin(), indices.end()), indices.end());

  std::string target = ExtrBaseDir;
  if (!target.empty() && target.back() != '\\') target += '\\';
  const auto callback = com::MakeObject<TMyArchiveExtractCallback>(
      *this, target, static_cast<std::int64_t>(Files.size()));
  const com::HRESULT result =
      in_archive_->Extract(Files.empty() ? nullptr : indices.data(),
                           Files.empty() ? 0xFFFFFFFFu : static_cast<std::uint32_t>(indices.size()),
                           test_mode ? 1 : 0, callback.get());
  // Our own stop after the last wanted file ends the library's run with "no".
  return result == com::kFalse && callback->StoppedAfterLastWanted() ? com::kOk : result;
}

void ApplyFormValues(TSevenZip& sevenzip) {
  sevenzip.SZFileName = "qdm.7z";
  sevenzip.ExtrBaseDir.clear();
  sevenzip.Password = std::string(kDataPackPassword);
  sevenzip.ExtractOptions = TExtractOptions{.ExtractNoPath = false, .ExtractOverwrite = true};
}

}  // namespace archive
