#include "platform/output_file.h"

#include "platform/win32/win32_files.h"

namespace platform {

namespace {

class Win32OutputFile final : public OutputFile {
 public:
  explicit Win32OutputFile(std::unique_ptr<File> file) : file_(std::move(file)) {}

  Status Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      const auto written = file_->Write(bytes.data(), bytes.size());
      if (!written) return written.error();
      if (*written == 0) return MakeError(Errc::kIo, "WriteFile", "", 0, "nothing written");
      bytes.remove_prefix(*written);
    }
    return {};
  }

 private:
  std::unique_ptr<File> file_;
};

}  // namespace

Result<std::unique_ptr<OutputFile>> CreateOutputFile(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  auto file = win32::Win32FileSystem().OpenFile(std::string(utf8.begin(), utf8.end()),
                                                OpenMode::kCreateAlways, 0);
  if (!file) return file.error();
  return std::unique_ptr<OutputFile>(std::make_unique<Win32OutputFile>(std::move(*file)));
}

}  // namespace platform
