#include "components/Profil.h"

#include "platform/text.h"

void str128::Assign(std::string_view text) { text_ = platform::Utf8Substr(text, 0, kMaxLength); }

std::vector<std::string> TProfile::KeyNames() const {
  if (Category.empty() || IniFileName.empty()) return {};
  return profile_.GetKeyNames(Category, IniFileName);
}

bool TProfile::Execute() {
  Error = false;
  bool success = false;
  if (!Category.empty() && !KeyName.empty() && !IniFileName.empty()) {
    if (Action == paRead) {
      // The platform strips a default's trailing blanks: a lone blank reads as
      // nothing, which tells a missing key from a default value.
      const std::string fallback = DefaultValue.empty() ? " " : DefaultValue.str();
      const std::string received =
          profile_.GetString(Category, KeyName, fallback, kBufferSize, IniFileName);
      DataString = received;
      success = !received.empty();
    } else {
      success = profile_.WriteString(Category, KeyName, DataString, IniFileName).ok();
    }
  }
  Error = !success;
  return success;
}
