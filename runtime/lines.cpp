#include "runtime/lines.h"

#include "platform/codepage.h"
#include "platform/text.h"
#include "runtime/errors.h"

namespace runtime {

std::vector<std::string> LoadLines(platform::FileSystem& files, std::string_view path,
                                   std::string_view name) {
  auto bytes = files.ReadAll(path);
  if (!bytes) throw FileError(name.empty() ? path : name, bytes.error());
  return platform::SplitLines(platform::Cp1252ToUtf8(*bytes));
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += lines[i];
  }
  return text;
}

}  // namespace runtime
