// Any bytes as a machine's facts file: opening the machine never crashes; it
// either fails with a message that names the facts file, or every count and
// size it took is one a machine may have.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/posix/prefix_files.h"
#include "platform/posix/simulated_machine.h"

namespace {

struct Scratch {
  Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "remedor-fuzz-XXXXXX");
    if (!::mkdtemp(pattern.data())) std::abort();
    root = pattern;
    std::filesystem::create_directories(root / "drive_c/windows");
    files = std::make_unique<platform::posix::PrefixFileSystem>(root);
  }
  ~Scratch() { std::filesystem::remove_all(root); }

  std::filesystem::path root;
  std::unique_ptr<platform::posix::PrefixFileSystem> files;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Scratch scratch;
  const auto facts = scratch.root / platform::posix::kMachineFactsFile;
  std::ofstream(facts, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  auto machine = platform::posix::SimulatedMachine::Open(scratch.root, *scratch.files,
                                                         scratch.files->faults());
  if (!machine) {
    const platform::Error& error = machine.error();
    if (error.subject != facts.string() || error.detail.empty()) std::abort();
    return 0;
  }
  platform::Machine& m = **machine;
  if (m.MonitorCount() < 0 || m.PrimaryScreen().width < 0 || m.PrimaryScreen().height < 0 ||
      m.PhysicalCores() < 0 || m.PhysicalCores() > 255) {
    std::abort();
  }
  return 0;
}
