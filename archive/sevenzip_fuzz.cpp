// Arbitrary bytes as an archive, through our input stream into the library's
// open and extraction (and test) with our callbacks: nothing may crash, and
// nothing may be written anywhere but the target folder.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "archive/SevenZip.h"
#include "platform/posix/prefix_files.h"

namespace {

struct Scratch {
  Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "remedor-fuzz-XXXXXX");
    if (!::mkdtemp(pattern.data())) std::abort();
    root = pattern;
    std::filesystem::create_directories(root / "drive_c/in");
    files = std::make_unique<platform::posix::PrefixFileSystem>(root);
    zip = std::make_unique<archive::TSevenZip>(*files, nullptr);
    zip->SZFileName = "C:\\in\\fuzz.7z";
    zip->ExtrBaseDir = "C:\\out";
    zip->Password = "Kq7Lm2Xw@Zt9Rb4N%c3P";
    zip->ExtractOptions.ExtractOverwrite = true;
  }
  ~Scratch() { std::filesystem::remove_all(root); }

  std::filesystem::path root;
  std::unique_ptr<platform::posix::PrefixFileSystem> files;
  std::unique_ptr<archive::TSevenZip> zip;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Scratch scratch;
  const auto drive_c = scratch.root / "drive_c";
  std::filesystem::remove_all(drive_c / "out");
  std::filesystem::create_directories(drive_c / "out");
  std::ofstream(drive_c / "in/fuzz.7z", std::ios::binary)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

  scratch.zip->Extract(true);
  scratch.zip->Extract(false);

  for (const auto& entry : std::filesystem::directory_iterator(drive_c)) {
    const auto name = entry.path().filename();
    if (name != "in" && name != "out") std::abort();  // written outside the target folder
  }
  for (const auto& entry : std::filesystem::directory_iterator(drive_c / "in")) {
    if (entry.path().filename() != "fuzz.7z") std::abort();
  }
  if (std::filesystem::exists(scratch.root / "out")) std::abort();
  for (const auto& entry : std::filesystem::recursive_directory_iterator(drive_c / "out")) {
    if (entry.is_symlink()) std::abort();  // no link is ever made
  }
  return 0;
}
