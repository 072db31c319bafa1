#include "platform/files.h"

namespace platform {

bool FileSystem::IsFolder(std::string_view path) {
  const auto attributes = GetAttributes(path);
  return attributes && (*attributes & file_attribute::kDirectory) != 0;
}

bool FileSystem::IsFile(std::string_view path) {
  const auto attributes = GetAttributes(path);
  return attributes && (*attributes & file_attribute::kDirectory) == 0;
}

Result<std::string> FileSystem::ReadAll(std::string_view path) {
  auto file = OpenFile(path, OpenMode::kRead);
  if (!file) return file.error();
  std::string bytes;
  char buffer[1 << 16];
  for (;;) {
    auto got = (*file)->Read(buffer, sizeof buffer);
    if (!got) return got.error();
    if (*got == 0) break;
    bytes.append(buffer, *got);
  }
  return bytes;
}

Status FileSystem::WriteAll(std::string_view path, std::string_view bytes) {
  auto file = OpenFile(path, OpenMode::kCreateAlways);
  if (!file) return file.error();
  std::size_t done = 0;
  while (done < bytes.size()) {
    auto wrote = (*file)->Write(bytes.data() + done, bytes.size() - done);
    if (!wrote) return wrote.error();
    if (*wrote == 0) return MakeError(Errc::kIo, "WriteFile", std::string(path));
    done += *wrote;
  }
  return {};
}

}  // namespace platform
