// The two stream objects the archive component hands the 7-Zip library:
// TMyStreamReader over the archive (split volumes included) and
// TMyStreamWriter over one extracted file. All file access goes through
// platform::FileSystem.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/sevenzip_com.h"
#include "platform/files.h"

namespace archive {

class TSevenZip;

struct TFiles {
  std::string name;
  std::unique_ptr<platform::File> handle;  // nullptr while closed
  std::uint64_t size = 0;
  bool removable = false;
};
using TArrayOfFiles = std::vector<TFiles>;

// Reads the archive, and with volume reading on, the volumes that follow it
// (base.001, base.002, ...). Volumes are looked for when the library first
// needs them: a size request or a seek from the end answers the size of the
// whole set of consecutive numbered volumes, or of the archive alone when its
// name carries no number (which then stays alone). A read past the end of
// such an archive before any size was asked for asks for its last volume
// (OnOpenVolume, else the file-open dialog). A volume that cannot be opened
// is asked for in the same way; the answer then names the file to use in its
// place.
class TMyStreamReader final : public com::ComObject<com::IInStream, com::IStreamGetSize> {
 public:
  // Never fails: an archive that cannot be opened answers every read with a
  // failure, and its error reaches the owner's LastSystemError.
  TMyStreamReader(TSevenZip& owner, std::string archive_name, bool volume_reading);

  com::HRESULT SEVENZIP_CALL Read(void* data, std::uint32_t size,
                                  std::uint32_t* processed) override;
  com::HRESULT SEVENZIP_CALL Seek(std::int64_t offset, std::uint32_t origin,
                                  std::uint64_t* new_position) override;
  com::HRESULT SEVENZIP_CALL GetSize(std::uint64_t* size) override;

 private:
  ~TMyStreamReader() override;
  std::optional<std::uint64_t> TotalSize();
  bool LookForVolumes();
  bool AddVolume(std::string name);
  std::optional<std::string> AskForVolume(const std::string& name, bool removable);
  bool BelongsToSet(const std::string& name) const;
  std::string VolumeName(std::uint64_t number) const;
  com::HRESULT ReadVolumes(std::uint8_t* data, std::uint32_t size, std::uint32_t& done);
  bool OpenVolume(TFiles& volume);
  void RecordError(const platform::Error& error);

  TSevenZip& owner_;
  std::string archive_name_;
  std::uint64_t position_ = 0;
  std::optional<std::uint64_t> total_size_;  // empty: not known yet
  bool volume_reading_;
  bool first_opened_ = false;
  bool multi_volume_ = false;  // the set of volumes is known
  int number_width_ = 0;       // digits of the archive's own number; 0: none
  std::uint64_t first_number_ = 0;
  std::uint32_t last_error_ = 0;  // operating-system error met, 0 = none
  TArrayOfFiles volumes_;
};

// Writes one extracted file, created (replacing any file) with the item's
// attributes; the item's last write time, at two-second resolution, is set at
// creation and again once the last byte is written.
class TMyStreamWriter final : public com::ComObject<com::IOutStream> {
 public:
  // The writer, or the operating system's error (its os_error) when the file
  // cannot be created or dated.
  static platform::Result<com::ComPtr<TMyStreamWriter>> Create(
      platform::FileSystem& files, const std::string& target, std::uint32_t attributes,
      std::optional<platform::FileTime> last_write, std::uint32_t& error_variable);

  com::HRESULT SEVENZIP_CALL Write(const void* data, std::uint32_t size,
                                   std::uint32_t* processed) override;
  com::HRESULT SEVENZIP_CALL Seek(std::int64_t offset, std::uint32_t origin,
                                  std::uint64_t* new_position) override;
  com::HRESULT SEVENZIP_CALL SetSize(std::uint64_t new_size) override;

 private:
  TMyStreamWriter(std::unique_ptr<platform::File> file, std::string target,
                  std::optional<platform::FileTime> last_write, std::uint32_t& error_variable);
  ~TMyStreamWriter() override;

  std::unique_ptr<platform::File> file_;
  std::string target_;
  std::optional<platform::FileTime> last_write_;
  std::uint64_t position_ = 0;
  std::uint64_t highest_ = 0;
  std::uint64_t file_position_ = 0;  // where the open file stands
  std::uint32_t last_error_ = 0;
  std::uint32_t& error_variable_;
};

// The last write time as the file will carry it: two-second resolution.
platform::FileTime ToTwoSecondResolution(platform::FileTime time);

}  // namespace archive
