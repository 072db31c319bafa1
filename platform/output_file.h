// The program's own output files on the host's file system, beside the
// machine it looks at: the driver's --out files. Each is made anew where the
// caller asked, by the rule of OpenMode::kCreateAlways: a plain file of the
// name is replaced; a link, a folder, a file with other hard links or a
// read-only file is refused and left as it is, never written through.
#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include "platform/result.h"

namespace platform {

class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // The bytes after those written before: all of them, or an error.
  virtual Status Write(std::string_view bytes) = 0;
};

Result<std::unique_ptr<OutputFile>> CreateOutputFile(const std::filesystem::path& path);

}  // namespace platform
