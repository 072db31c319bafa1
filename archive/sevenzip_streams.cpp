#include "archive/sevenzip_streams.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "archive/SevenZip.h"
#include "platform/text.h"

namespace archive {

namespace {

using com::HRESULT;
using com::kFalse;
using com::kOk;

// HRESULT_FROM_WIN32(ERROR_NEGATIVE_SEEK).
constexpr HRESULT kNegativeSeek = static_cast<HRESULT>(0x80070083);

std::string_view FolderOf(std::string_view path) {
  const std::size_t separator = path.find_last_of("\\/");
  return separator == std::string_view::npos ? std::string_view() : path.substr(0, separator);
}

std::string_view NameOf(std::string_view path) {
  const std::size_t separator = path.find_last_of("\\/");
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

// The path without the extension of its last component.
std::string_view WithoutExtension(std::string_view path) {
  const std::size_t dot = path.find_last_of('.');
  const std::size_t separator = path.find_last_of("\\/");
  if (dot == std::string_view::npos || (separator != std::string_view::npos && dot < separator)) {
    return path;
  }
  return path.substr(0, dot);
}

// The number after the last dot of the name, when there is one.
std::optional<std::uint64_t> VolumeNumber(std::string_view path, std::size_t* digits = nullptr) {
  const std::string_view extension = path.substr(WithoutExtension(path).size());
  if (extension.size() < 2) return std::nullopt;
  std::uint64_t number = 0;
  const auto [end, error] =
      std::from_chars(extension.data() + 1, extension.data() + extension.size(), number);
  if (error != std::errc() || end != extension.data() + extension.size()) return std::nullopt;
  if (digits) *digits = extension.size() - 1;
  return number;
}

bool IsRemovable(platform::FileSystem& files, std::string_view name) {
  return !files.IsFixedDrive(std::string(name.substr(0, 2)) + "\\");
}

// Reads until the buffer is full or the file ends.
platform::Result<std::size_t> ReadFully(platform::File& file, std::uint8_t* data,
                                        std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    auto got = file.Read(data + done, size - done);
    if (!got) return got.error();
    if (*got == 0) break;
    done += *got;
  }
  return done;
}

// IInStream/IOutStream::Seek on `position`: from the start (origin 0), from
// the position (1) or from the end that end_of() answers (2; kFalse when it
// cannot tell). Any other origin leaves the position where it is.
template <class EndOf>
HRESULT MovePosition(std::uint64_t& position, std::int64_t offset, std::uint32_t origin,
                     EndOf end_of, std::uint64_t* new_position) {
  std::int64_t base = 0;
  switch (origin) {
    case 0:
      break;
    case 1:
      base = static_cast<std::int64_t>(position);
      break;
    case 2: {
      const std::optional<std::uint64_t> end = end_of();
      if (!end) return kFalse;
      base = static_cast<std::int64_t>(*end);
      break;
    }
    default:
      if (new_position) *new_position = position;
      return kOk;
  }
  if (offset < 0 && -offset > base) return kNegativeSeek;
  position = static_cast<std::uint64_t>(base + offset);
  if (new_position) *new_position = position;
  return kOk;
}

}  // namespace

// ------------------------------------------------------------------ reader

TMyStreamReader::TMyStreamReader(TSevenZip& owner, std::string archive_name, bool volume_reading)
    : owner_(owner), archive_name_(std::move(archive_name)), volume_reading_(volume_reading) {
  TFiles first;
  first.name = archive_name_;
  first.removable = IsRemovable(owner_.files(), archive_name_);
  volumes_.push_back(std::move(first));
  first_opened_ = OpenVolume(volumes_.front());
  if (owner_.IsSFX()) {
    position_ = owner_.SFXOffset();
  } else {
    std::size_t digits = 0;
    if (const auto number = VolumeNumber(archive_name_, &digits); number && digits >= 3) {
      first_number_ = *number;
      number_width_ = static_cast<int>(digits);
    }
  }
  if (!volume_reading_ && first_opened_) total_size_ = volumes_.front().size;
}

TMyStreamReader::~TMyStreamReader() {
  if (last_error_ != 0) owner_.LastSystemError = last_error_;
}

void TMyStreamReader::RecordError(const platform::Error& error) {
  last_error_ = error.os_error != 0 ? error.os_error : 1;
}

bool TMyStreamReader::OpenVolume(TFiles& volume) {
  if (volume.handle) return true;
  auto file = owner_.files().OpenFile(volume.name, platform::OpenMode::kRead);
  if (!file) {
    RecordError(file.error());
    return false;
  }
  auto size = (*file)->Size();
  if (!size) {
    RecordError(size.error());
    return false;
  }
  volume.size = *size;
  volume.handle = std::move(*file);
  return true;
}

std::string TMyStreamReader::VolumeName(std::uint64_t number) const {
  std::string digits = std::to_string(number);
  const std::size_t width = std::max<std::size_t>(3, static_cast<std::size_t>(number_width_));
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  const std::string_view base =
      owner_.IsSFX() ? std::string_view(archive_name_) : WithoutExtension(archive_name_);
  return std::string(base) + "." + digits;
}

bool TMyStreamReader::BelongsToSet(const std::string& name) const {
  const std::string_view base =
      owner_.IsSFX() ? std::string_view(archive_name_) : WithoutExtension(archive_name_);
  return VolumeNumber(name).has_value() && platform::EqualsIgnoreCase(WithoutExtension(name), base);
}

std::optional<std::string> TMyStreamReader::AskForVolume(const std::string& name, bool removable) {
  if (owner_.OnOpenVolume) {
    std::string answer = name;
    bool cancel = false;
    owner_.OnOpenVolume(answer, removable, cancel);
    if (cancel) return std::nullopt;
    return answer;
  }
  platform::UserInterface* ui = owner_.ui();
  if (!ui) return std::nullopt;
  const std::string stem(WithoutExtension(NameOf(archive_name_)));
  const platform::OpenFileRequest request{std::string(FolderOf(archive_name_)), stem + "-volumes",
                                          stem + ".*"};
  for (;;) {
    auto choice = ui->AskOpenFile(request);
    if (!choice) return std::nullopt;
    if (BelongsToSet(*choice)) return choice;
  }
}

bool TMyStreamReader::AddVolume(std::string name) {
  TFiles volume;
  volume.removable = IsRemovable(owner_.files(), name);
  volume.name = name;
  if (!OpenVolume(volume)) {
    auto other = AskForVolume(name, volume.removable);
    if (!other) return false;
    volume.name = *other;
    if (!OpenVolume(volume)) return false;
  }
  volume.handle.reset();  // opened again when a read reaches it
  volumes_.push_back(std::move(volume));
  return true;
}

bool TMyStreamReader::LookForVolumes() {
  multi_volume_ = true;  // looked for once, whatever comes of it
  bool found = true;
  if (number_width_ > 0) {
    for (std::uint64_t number = first_number_ + 1;
         owner_.files().IsFile(VolumeName(number)) && found; ++number) {
      found = AddVolume(VolumeName(number));
    }
  } else {
    // The set is named after the archive; its last volume tells how many.
    const auto last = AskForVolume(VolumeName(2), volumes_.front().removable);
    const auto count = last && BelongsToSet(*last) ? VolumeNumber(*last) : std::nullopt;
    found = count.has_value();
    for (std::uint64_t number = 2; found && number <= count.value_or(0); ++number) {
      found = AddVolume(number == *count ? *last : VolumeName(number));
    }
  }
  std::uint64_t total = 0;
  for (const TFiles& volume : volumes_) total += volume.size;
  total_size_ = total;
  return found;
}

std::optional<std::uint64_t> TMyStreamReader::TotalSize() {
  if (total_size_) return total_size_;
  if (!first_opened_) return std::nullopt;
  // A numbered archive is measured with the volumes that follow it. One
  // without a number is taken alone: the library now knows where it ends, so
  // a read past that end is a short read, not a question for more volumes.
  if (number_width_ > 0) {
    if (!LookForVolumes()) return std::nullopt;
  } else {
    multi_volume_ = true;
    total_size_ = volumes_.front().size;
  }
  return total_size_;
}

HRESULT TMyStreamReader::ReadVolumes(std::uint8_t* data, std::uint32_t size, std::uint32_t& done) {
  std::uint64_t start = 0;
  for (std::size_t i = 0; i < volumes_.size() && done < size; ++i) {
    TFiles& volume = volumes_[i];
    const std::uint64_t at = position_ + done;
    if (at >= start + volume.size) {
      start += volume.size;
      volume.handle.reset();  // left behind
      continue;
    }
    if (!OpenVolume(volume)) {
      done = 0;
      return kFalse;
    }
    const std::uint64_t local = at - start;
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(size - done, volume.size - local));
    auto sought =
        volume.handle->Seek(static_cast<std::int64_t>(local), platform::SeekOrigin::kBegin);
    auto got = sought ? ReadFully(*volume.handle, data + done, want)
                      : platform::Result<std::size_t>(sought.error());
    if (!got) {
      RecordError(got.error());
      done = 0;
      return kFalse;
    }
    done += static_cast<std::uint32_t>(*got);
    if (*got < want) break;  // the file is shorter than it was
    start += volume.size;
  }
  return kOk;
}

HRESULT TMyStreamReader::Read(void* data, std::uint32_t size, std::uint32_t* processed) {
  return com::Guarded([&] {
    if (processed) *processed = 0;
    if (!first_opened_) return kFalse;
    if (size == 0) return kOk;
    if (volume_reading_ && !multi_volume_ && position_ + size > volumes_.front().size &&
        !LookForVolumes()) {
      return kFalse;
    }
    std::uint32_t done = 0;
    const HRESULT result = ReadVolumes(static_cast<std::uint8_t*>(data), size, done);
    position_ += done;
    if (processed) *processed = done;
    return result;
  });
}

HRESULT TMyStreamReader::Seek(std::int64_t offset, std::uint32_t origin,
                              std::uint64_t* new_position) {
  return com::Guarded([&] {
    return MovePosition(
        position_, offset, origin, [&] { return TotalSize(); }, new_position);
  });
}

HRESULT TMyStreamReader::GetSize(std::uint64_t* size) {
  return com::Guarded([&] {
    const auto total = TotalSize();
    if (!total) return kFalse;
    if (size) *size = *total;
    return kOk;
  });
}

// ------------------------------------------------------------------ writer

platform::FileTime ToTwoSecondResolution(platform::FileTime time) {
  constexpr platform::FileTime kTwoSeconds = 20'000'000;  // in 100 ns
  return time - time % kTwoSeconds;
}

platform::Result<com::ComPtr<TMyStreamWriter>> TMyStreamWriter::Create(
    platform::FileSystem& files, const std::string& target, std::uint32_t attributes,
    std::optional<platform::FileTime> last_write, std::uint32_t& error_variable) {
  // The bits CreateFile takes from an item; the rest (folder, link, the POSIX
  // mode of archives made elsewhere) must not reach it.
  namespace fa = platform::file_attribute;
  constexpr std::uint32_t kCreationBits = fa::kReadOnly | fa::kHidden | fa::kSystem | fa::kArchive;
  auto file = files.OpenFile(target, platform::OpenMode::kCreateAlways, attributes & kCreationBits);
  if (!file) return file.error();
  if (last_write) {
    const platform::Status dated = (*file)->SetLastWriteTime(ToTwoSecondResolution(*last_write));
    if (!dated) return dated.error();
  }
  return com::ComPtr<TMyStreamWriter>::Adopt(
      new TMyStreamWriter(std::move(*file), target, last_write, error_variable));
}

TMyStreamWriter::TMyStreamWriter(std::unique_ptr<platform::File> file, std::string target,
                                 std::optional<platform::FileTime> last_write,
                                 std::uint32_t& error_variable)
    : file_(std::move(file)),
      target_(std::move(target)),
      last_write_(last_write),
      error_variable_(error_variable) {}

TMyStreamWriter::~TMyStreamWriter() {
  // Writing moved the file's time on; it carries the item's once done.
  if (last_write_) (void)file_->SetLastWriteTime(ToTwoSecondResolution(*last_write_));
  if (last_error_ != 0) error_variable_ = last_error_;
}

HRESULT TMyStreamWriter::Write(const void* data, std::uint32_t size, std::uint32_t* processed) {
  return com::Guarded([&] {
    if (processed) *processed = 0;
    if (size == 0) return kOk;
    if (file_position_ != position_) {
      auto sought = file_->Seek(static_cast<std::int64_t>(position_), platform::SeekOrigin::kBegin);
      if (!sought) {
        last_error_ = sought.error().os_error != 0 ? sought.error().os_error : 1;
        return kFalse;
      }
      file_position_ = position_;
    }
    auto written = file_->Write(data, size);
    if (!written) {
      last_error_ = written.error().os_error != 0 ? written.error().os_error : 1;
      return kFalse;
    }
    position_ += *written;
    file_position_ = position_;
    highest_ = std::max(highest_, position_);
    if (processed) *processed = static_cast<std::uint32_t>(*written);
    return kOk;
  });
}

HRESULT TMyStreamWriter::Seek(std::int64_t offset, std::uint32_t origin,
                              std::uint64_t* new_position) {
  return com::Guarded([&] {
    const HRESULT result = MovePosition(
        position_, offset, origin, [&] { return std::optional<std::uint64_t>(highest_); },
        new_position);
    highest_ = std::max(highest_, position_);
    return result;
  });
}

HRESULT TMyStreamWriter::SetSize(std::uint64_t) { return kFalse; }

}  // namespace archive
