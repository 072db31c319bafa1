#include "archive/sevenzip_callbacks.h"

#include "archive/SevenZip.h"
#include "archive/item_path.h"
#include "archive/sevenzip_streams.h"

namespace archive {

namespace {

using com::HRESULT;
using com::kFalse;
using com::kOk;

// Creates the folder and any missing parents; true when the folder itself
// was made now.
bool CreateFolders(platform::FileSystem& files, const std::string& folder) {
  bool created = false;
  std::size_t end = 0;
  while (end != std::string::npos) {
    end = folder.find('\\', end + 1);
    const std::string prefix = folder.substr(0, end);
    const bool drive_or_root = prefix.empty() || (prefix.size() == 2 && prefix[1] == ':');
    if (drive_or_root || prefix.back() == '\\' || files.Exists(prefix)) continue;
    created = files.CreateDirectory(prefix).ok();
  }
  return created;
}

std::string ParentOf(const std::string& path) {
  const std::size_t separator = path.find_last_of('\\');
  return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

// The library's per-item outcomes.
namespace outcome {
constexpr std::int32_t kOk = 0;
constexpr std::int32_t kUnsupportedMethod = 1;
constexpr std::int32_t kDataError = 2;
constexpr std::int32_t kCrcError = 3;
constexpr std::int32_t kUnexpectedEnd = 5;
constexpr std::int32_t kDataAfterEnd = 6;
constexpr std::int32_t kWrongPassword = 9;
}  // namespace outcome

// An outcome that a key other than the archive's can give: the decoder runs
// on undecodable bytes and stops where they happen to lead.
bool FailedDataCheck(std::int32_t result) {
  return result == outcome::kDataError || result == outcome::kCrcError ||
         result == outcome::kUnexpectedEnd || result == outcome::kDataAfterEnd ||
         result == outcome::kWrongPassword;
}

// The library's per-item outcome as a problem code.
int ProblemOfOperationResult(std::int32_t result, bool encrypted, bool password_given) {
  if (encrypted && FailedDataCheck(result)) return password_given ? kWrongPassword : kDataError;
  switch (result) {
    case outcome::kOk:
      return kSuccess;
    case outcome::kUnsupportedMethod:
      return kUnsupportedMethod;
    case outcome::kCrcError:
      return kCrcError;
    default:
      // 2 is a data error; newer libraries add 4 to 9 (unavailable data,
      // unexpected end, data after the end, not an archive, damaged headers,
      // wrong password): failures too, and reported as such.
      return kDataError;
  }
}

}  // namespace

HRESULT AnswerPassword(const TSevenZip& owner, const std::string& password, com::BSTR* answer) {
  if (!answer) return com::kInvalidArgument;
  *answer = nullptr;
  if (password.empty()) return kFalse;
  *answer = owner.strings().Allocate(password);
  return *answer ? kOk : com::kFail;
}

// ------------------------------------------------------------ open callback

TMyArchiveOpenCallback::TMyArchiveOpenCallback(TSevenZip& owner)
    : owner_(owner), password_(owner.Password) {}

HRESULT TMyArchiveOpenCallback::SetTotal(const std::uint64_t*, const std::uint64_t*) { return kOk; }

HRESULT TMyArchiveOpenCallback::SetCompleted(const std::uint64_t*, const std::uint64_t*) {
  return kOk;
}

HRESULT TMyArchiveOpenCallback::CryptoGetTextPassword(com::BSTR* password) {
  return com::Guarded([&] { return AnswerPassword(owner_, password_, password); });
}

// --------------------------------------------------------- extract callback

TMyArchiveExtractCallback::TMyArchiveExtractCallback(TSevenZip& owner, std::string target_folder,
                                                     std::int64_t files_to_go)
    : owner_(owner),
      target_folder_(std::move(target_folder)),
      files_to_go_(files_to_go),
      password_(owner.Password) {}

HRESULT TMyArchiveExtractCallback::SetTotal(std::uint64_t total) {
  return com::Guarded([&] {
    if (files_to_go_ == 0 && owner_.OnPreProgress) {
      owner_.OnPreProgress(owner_, static_cast<std::int64_t>(total));
    }
    return kOk;
  });
}

HRESULT TMyArchiveExtractCallback::SetCompleted(const std::uint64_t* complete_value) {
  return com::Guarded([&] {
    if (!complete_value) return kOk;
    if (current_done_ == 0 && owner_.OnExtractfile) {
      owner_.OnExtractfile(owner_, current_name_, static_cast<std::int64_t>(current_size_));
    }
    current_done_ += *complete_value - last_value_;
    last_value_ = *complete_value;
    if (owner_.OnProgress) {
      owner_.OnProgress(owner_, current_name_, static_cast<std::int64_t>(*complete_value),
                        static_cast<std::int64_t>(current_done_));
    }
    return stop_ ? kFalse : kOk;
  });
}

HRESULT TMyArchiveExtractCallback::GetStream(std::uint32_t index,
                                             com::ISequentialOutStream** stream,
                                             std::int32_t ask_mode) {
  return com::Guarded([&] {
    if (!stream) return com::kInvalidArgument;
    *stream = nullptr;
    if (failed_item_ != index) failed_item_.reset();
    written_file_.reset();
    current_encrypted_ = false;
    if (ask_mode == com::kAskExtract) return ExtractItem(index, stream);
    if (ask_mode == com::kAskTest) {
      const TSevenZip::Item item = owner_.ReadItem(index);
      current_name_ = item.path;
      current_done_ = 0;
      current_size_ = item.size;
      current_encrypted_ = item.encrypted;
    }
    return kOk;
  });
}

HRESULT TMyArchiveExtractCallback::ExtractItem(std::uint32_t index,
                                               com::ISequentialOutStream** stream) {
  const TSevenZip::Item item = owner_.ReadItem(index);
  // Nothing lands outside the target folder, no link is ever made and no
  // device opened: such an item is refused as a file that could not be created.
  std::optional<std::string> relative;
  if (owner_.ExtractOptions.ExtractNoPath) {
    relative = SafeRelativePath(LastComponent(item.path));
  } else {
    relative = SafeRelativePath(item.path);
  }
  if (!relative || IsSymbolicLink(item.attributes)) {
    owner_.Report(kCouldNotCreateFile, target_folder_ + item.path);
    failed_item_ = index;
    // No stream: the library reads past the item and goes on with the rest
    // (a "no" would end the extraction of a solid block here).
    return kOk;
  }
  std::string target = target_folder_ + *relative;
  if (owner_.OnSetExtractName) owner_.OnSetExtractName(owner_, index, target);
  if (owner_.accept_item && !owner_.accept_item(item, target)) {
    owner_.Report(kCouldNotCreateFile, target);
    failed_item_ = index;
    return kOk;  // no stream: the library skips the item and goes on
  }

  bool overwrite = owner_.ExtractOptions.ExtractOverwrite;
  if (!overwrite && owner_.files().Exists(target)) {
    if (owner_.OnExtractOverwrite) owner_.OnExtractOverwrite(owner_, target, overwrite);
    if (!overwrite) return kOk;  // skipped; the existing file stays
  }
  current_name_ = target;
  current_done_ = 0;
  current_size_ = item.size;
  current_encrypted_ = item.encrypted;

  platform::FileSystem& files = owner_.files();
  if (item.is_folder) {
    namespace fa = platform::file_attribute;
    constexpr std::uint32_t kFolderBits = fa::kReadOnly | fa::kHidden | fa::kSystem | fa::kArchive;
    if (CreateFolders(files, target) && (item.attributes & kFolderBits) != 0) {
      (void)files.SetAttributes(target, item.attributes & kFolderBits);
    }
    return kOk;
  }

  if (--files_to_go_ == 0) last_wanted_ = true;
  CreateFolders(files, ParentOf(target));
  auto writer = TMyStreamWriter::Create(
      files, target, item.attributes,
      item.has_time ? std::optional<platform::FileTime>(item.last_write) : std::nullopt,
      owner_.LastSystemError);
  if (!writer) {
    owner_.LastSystemError = writer.error().os_error;
    owner_.Report(kCouldNotCreateFile, target);
    failed_item_ = index;
    return kFalse;
  }
  *stream = static_cast<com::ISequentialOutStream*>(writer->Detach());
  written_file_ = target;
  return kOk;
}

HRESULT TMyArchiveExtractCallback::PrepareOperation(std::int32_t) { return kOk; }

HRESULT TMyArchiveExtractCallback::SetOperationResult(std::int32_t result) {
  return com::Guarded([&] {
    const int problem = ProblemOfOperationResult(result, current_encrypted_, !password_.empty());
    if (failed_item_) {
      failed_item_.reset();
    } else if (problem == kSuccess) {
      owner_.LastError = kSuccess;
    } else {
      // What a wrong key decoded is no part of the item: it goes, so that a
      // wrong password never leaves a garbage file behind.
      if (written_file_ && current_encrypted_ && FailedDataCheck(result)) {
        (void)owner_.files().RemoveFile(*written_file_);
      }
      owner_.Report(problem, current_name_);
    }
    written_file_.reset();
    if (last_wanted_) stop_ = true;
    return kOk;
  });
}

HRESULT TMyArchiveExtractCallback::CryptoGetTextPassword(com::BSTR* password) {
  return com::Guarded([&] { return AnswerPassword(owner_, password_, password); });
}

}  // namespace archive
