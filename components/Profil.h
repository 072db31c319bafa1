// TProfile: one value of one INI file, read (or written) through the platform's
// profile-string functions. Callers aim it (IniFileName, Category, KeyName),
// call Execute and take DataString.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile.h"

// A string property of at most 128 characters: assigning a longer text keeps
// its first 128.
class str128 {
 public:
  static constexpr std::size_t kMaxLength = 128;

  str128() = default;
  str128(std::string_view text) { Assign(text); }  // NOLINT: assigned like a string
  str128& operator=(std::string_view text) {
    Assign(text);
    return *this;
  }
  operator const std::string&() const { return text_; }  // NOLINT
  operator std::string_view() const { return text_; }    // NOLINT
  const std::string& str() const { return text_; }
  bool empty() const { return text_.empty(); }
  friend bool operator==(const str128& a, std::string_view b) { return a.text_ == b; }
  friend std::ostream& operator<<(std::ostream& out, const str128& s) { return out << s.text_; }

 private:
  void Assign(std::string_view text);
  std::string text_;
};

enum TProfileAction { paRead, paWrite };

class TProfile {
 public:
  // The read buffer handed to the platform, in characters.
  static constexpr std::size_t kBufferSize = 256;

  explicit TProfile(platform::ProfileStrings& profile) : profile_(profile) {}

  str128 Category;      // the section
  str128 KeyName;       // the key
  str128 DefaultValue;  // what a read of a missing key yields
  str128 DataString;    // the value read, or the value to write
  // The INI file's full path. Kept whole: a 128-character cut would aim a
  // deep installation's reads at a file that does not exist.
  std::string IniFileName;
  TProfileAction Action = paRead;
  bool Error = false;  // set by every Execute: true when nothing was read or written

  // Performs Action; true on success (the negation of Error). A read succeeds
  // when it received at least one character: a missing key with an empty
  // DefaultValue reads as "" with Error true, and so does an empty value.
  [[nodiscard]] bool Execute();
  // The names of the keys of Category in IniFileName, in file order: what a
  // reader of numbered keys can find there at most.
  std::vector<std::string> KeyNames() const;

 private:
  platform::ProfileStrings& profile_;
};
