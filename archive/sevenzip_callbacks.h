// The callback objects the archive component hands the 7-Zip library while
// it opens an archive and while it extracts from one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "archive/sevenzip_com.h"

namespace archive {

class TSevenZip;

// Answers the library while an archive is being opened.
class TMyArchiveOpenCallback final
    : public com::ComObject<com::IArchiveOpenCallback, com::ICryptoGetTextPassword> {
 public:
  explicit TMyArchiveOpenCallback(TSevenZip& owner);

  com::HRESULT SEVENZIP_CALL SetTotal(const std::uint64_t* files,
                                      const std::uint64_t* bytes) override;
  com::HRESULT SEVENZIP_CALL SetCompleted(const std::uint64_t* files,
                                          const std::uint64_t* bytes) override;
  com::HRESULT SEVENZIP_CALL CryptoGetTextPassword(com::BSTR* password) override;

 private:
  TSevenZip& owner_;
  std::string password_;
};

// Answers the library during extraction: where each item goes, progress and
// each item's outcome.
class TMyArchiveExtractCallback final
    : public com::ComObject<com::IArchiveExtractCallback, com::ICryptoGetTextPassword> {
 public:
  // target_folder: with its trailing backslash, or empty.
  TMyArchiveExtractCallback(TSevenZip& owner, std::string target_folder, std::int64_t files_to_go);

  com::HRESULT SEVENZIP_CALL SetTotal(std::uint64_t total) override;
  com::HRESULT SEVENZIP_CALL SetCompleted(const std::uint64_t* complete_value) override;
  com::HRESULT SEVENZIP_CALL GetStream(std::uint32_t index, com::ISequentialOutStream** stream,
                                       std::int32_t ask_mode) override;
  com::HRESULT SEVENZIP_CALL PrepareOperation(std::int32_t ask_mode) override;
  com::HRESULT SEVENZIP_CALL SetOperationResult(std::int32_t result) override;
  com::HRESULT SEVENZIP_CALL CryptoGetTextPassword(com::BSTR* password) override;

  // True once the last wanted file was handed out and done: the library was
  // then told to stop, and its "stopped" answer is no failure.
  bool StoppedAfterLastWanted() const { return stop_; }

 private:
  com::HRESULT ExtractItem(std::uint32_t index, com::ISequentialOutStream** stream);

  TSevenZip& owner_;
  std::string target_folder_;
  std::string current_name_;
  std::uint64_t current_done_ = 0;
  std::uint64_t current_size_ = 0;
  std::uint64_t last_value_ = 0;
  bool current_encrypted_ = false;
  // The file created for the current item, until its outcome is known.
  std::optional<std::string> written_file_;
  std::int64_t files_to_go_;
  bool last_wanted_ = false;
  bool stop_ = false;
  // The item refused or not created: the library goes on to test it, and the
  // outcome it then reports must not hide the code 11 already given.
  std::optional<std::uint32_t> failed_item_;
  std::string password_;
};

// CryptoGetTextPassword's answer for both callbacks: a new library string
// and S_OK, or no string and S_FALSE when the password is empty.
com::HRESULT AnswerPassword(const TSevenZip& owner, const std::string& password, com::BSTR* answer);

}  // namespace archive
