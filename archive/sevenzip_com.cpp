#include "archive/sevenzip_com.h"

#include "platform/codepage.h"

namespace archive::com {

BSTR LibraryStrings::Allocate(std::string_view utf8) const {
  const std::wstring wide = platform::Utf8ToWide(utf8);
  return allocate_(wide.data(), static_cast<std::uint32_t>(wide.size()));
}

void LibraryStrings::Free(BSTR text) const {
  if (text) free_(text);
}

void LibraryStrings::Clear(PropVariant& value) const {
  if (value.type == vt::kBstr) Free(value.bstr);
  value = PropVariant();
}

}  // namespace archive::com
