#include "platform/posix/simulated_machine.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>

#include "platform/posix/faults.h"
#include "platform/posix/prefix_files.h"
#include "platform/text.h"

namespace platform::posix {
namespace {

namespace fs = std::filesystem;

class SimulatedMachineTest : public ::testing::Test {
 protected:
  SimulatedMachineTest() {
    std::string pattern = (fs::temp_directory_path() / "remedor-facts-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
    root_ = pattern;
    fs::create_directories(root_ / "drive_c" / "windows");
  }
  ~SimulatedMachineTest() override { fs::remove_all(root_); }

  void Write(const fs::path& path, std::string_view bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }
  SimulatedMachine& Machine(std::string_view facts = {}) {
    if (!facts.empty()) Write(root_ / kMachineFactsFile, facts);
    files_ = std::make_unique<PrefixFileSystem>(root_);
    machine_ = std::make_unique<SimulatedMachine>(root_, *files_, files_->faults());
    return *machine_;
  }

  fs::path root_;
  std::unique_ptr<PrefixFileSystem> files_;
  std::unique_ptr<SimulatedMachine> machine_;
};

TEST_F(SimulatedMachineTest, EveryFactOfTheFile) {
  auto& machine = Machine(
      "[Self]\r\nExe=C:\\Outils\\Remedor.exe\r\nFileVersion=8.36.0.0\r\n"
      "BuildFolder=D:\\Dev\r\n"
      "[Locale]\r\nLanguageName=English\r\nDecimalSeparator=.\r\nDateSeparator=-\r\n"
      "TimeSeparator=.\r\nWeekdays=Sunday Monday Tuesday Wednesday Thursday Friday Saturday\r\n"
      "[Clock]\r\nNow=2024-02-29 23:59:58\r\n"
      "[Processor]\r\nBrand=  Intel(R) Core(TM) i7\r\nPhysicalCores=4\r\n"
      "[Memory]\r\nTotal=8589934592\r\nFree=2147483648\r\n"
      "[Display]\r\nDevice0=NVIDIA GeForce GTX 1060\r\nMonitors=2\r\nWidth=1600\r\nHeight=900\r\n"
      "[Disks]\r\nC=52613349376 107374182400\r\nd=fail\r\nE=12\r\nAB=1 2\r\n"
      "[Windows]\r\nFolder=C:\\WINNT\\\r\nServicePack=Service Pack 3\r\nXp64=1\r\n"
      "Administrator=0\r\n"
      "[Services]\r\nW32Time=4\r\nSpooler=unopenable\r\nOther=nomanager\r\n"
      "[Network]\r\nVersionURL=http://127.0.0.1:8080/curr_ver.txt\r\n"
      "[Faults]\r\nMoveFile=2\r\nReadFile=x\r\n");
  EXPECT_EQ(machine.SelfExecutable(), "C:\\Outils\\Remedor.exe");
  EXPECT_EQ(machine.BuildFolder(), "D:\\Dev\\");
  const auto self = machine.ReadVersionInfo("c:\\outils\\REMEDOR.EXE");
  ASSERT_TRUE(self);
  EXPECT_EQ(self->String("FileVersion"), "8.36.0.0");
  EXPECT_EQ(self->file_version, (std::array<std::uint16_t, 4>{8, 36, 0, 0}));
  EXPECT_EQ(self->translations.front(), (std::pair<std::uint16_t, std::uint16_t>{0x040C, 1252}));

  const LocaleInfo locale = machine.UserLocale();
  EXPECT_EQ(locale.language_native_name, "English");
  EXPECT_EQ(locale.decimal_separator, ".");
  EXPECT_EQ(locale.date_separator, "-");
  EXPECT_EQ(locale.time_separator, ".");
  EXPECT_EQ(locale.weekday_names[0], "Sunday");
  EXPECT_EQ(locale.weekday_names[6], "Saturday");

  const LocalTime now = machine.Now();
  EXPECT_EQ((std::array{now.year, now.month, now.day, now.hour, now.minute, now.second}),
            (std::array{2024, 2, 29, 23, 59, 58}));
  EXPECT_EQ(now.weekday, 4);  // a Thursday

  EXPECT_EQ(machine.ProcessorBrand(), "Intel(R) Core(TM) i7");  // the profile rules trim
  EXPECT_EQ(machine.PhysicalCores(), 4);
  const auto memory = machine.QueryMemory();
  ASSERT_TRUE(memory);
  EXPECT_EQ(memory->total_bytes, 8589934592u);
  EXPECT_EQ(memory->available_bytes, 2147483648u);

  EXPECT_EQ(machine.DisplayDevice0(), "NVIDIA GeForce GTX 1060");
  EXPECT_EQ(machine.MonitorCount(), 2);
  EXPECT_EQ(machine.PrimaryScreen().width, 1600);
  EXPECT_EQ(machine.PrimaryScreen().height, 900);

  const auto& disks = machine.DiskOverrides();
  ASSERT_EQ(disks.size(), 2u);  // E (one number) and AB are not drives' facts
  ASSERT_TRUE(disks.at('C'));
  EXPECT_EQ(disks.at('C')->free_bytes, 52613349376u);
  EXPECT_EQ(disks.at('C')->total_bytes, 107374182400u);
  EXPECT_FALSE(disks.at('D'));

  EXPECT_EQ(machine.WindowsFolder(), "C:\\WINNT");
  EXPECT_EQ(machine.ServicePack(), "Service Pack 3");
  EXPECT_TRUE(machine.IsWindowsXp64());
  EXPECT_FALSE(machine.IsAdministrator());

  using Outcome = ServiceStatus::Outcome;
  const ServiceStatus time = machine.QueryService("w32time");
  EXPECT_EQ(time.outcome, Outcome::kQueried);
  EXPECT_EQ(time.current_state, 4u);
  EXPECT_EQ(machine.QueryService("Spooler").outcome, Outcome::kServiceUnopenable);
  EXPECT_EQ(machine.QueryService("Other").outcome, Outcome::kNoManager);
  EXPECT_EQ(machine.QueryService("Absent").outcome, Outcome::kServiceUnopenable);

  EXPECT_EQ(machine.VersionUrlOverride(), "http://127.0.0.1:8080/curr_ver.txt");
  const auto faults = machine.FaultRules();
  ASSERT_TRUE(faults) << faults.error().Message();
  EXPECT_EQ(*faults, (std::vector<std::pair<FaultOperation, int>>{{FaultOperation::kMoveFile, 2}}));
}

TEST_F(SimulatedMachineTest, DefaultsWithoutFactsFile) {
  auto& machine = Machine();
  // This binary, seen through drive Z:, running from its build folder.
  const fs::path binary = fs::read_symlink("/proc/self/exe");
  std::string expected = "Z:" + binary.string();
  std::replace(expected.begin(), expected.end(), '/', '\\');
  EXPECT_EQ(machine.SelfExecutable(), expected);
  EXPECT_EQ(machine.BuildFolder(), expected.substr(0, expected.rfind('\\') + 1));
  const auto self = machine.ReadVersionInfo(machine.SelfExecutable());
  ASSERT_TRUE(self);
  EXPECT_EQ(self->String("FileVersion"), "8.36.0.0");

  const LocaleInfo locale = machine.UserLocale();
  EXPECT_EQ(locale.language_native_name, "Français");
  EXPECT_EQ(locale.decimal_separator, ",");
  EXPECT_EQ(locale.date_separator, "/");
  EXPECT_EQ(locale.time_separator, ":");
  EXPECT_EQ(locale.weekday_names[0], "dimanche");
  EXPECT_EQ(locale.weekday_names[3], "mercredi");

  EXPECT_FALSE(machine.DisplayDevice0());
  EXPECT_EQ(machine.MonitorCount(), 1);
  EXPECT_EQ(machine.WindowsFolder(), "C:\\windows");
  EXPECT_EQ(machine.ServicePack(), "");
  EXPECT_FALSE(machine.IsWindowsXp64());
  EXPECT_TRUE(machine.IsAdministrator());
  EXPECT_EQ(machine.QueryService("W32Time").outcome, ServiceStatus::Outcome::kServiceUnopenable);
  EXPECT_FALSE(machine.VersionUrlOverride());
  EXPECT_TRUE(machine.DiskOverrides().empty());

  // The host's own facts.
  EXPECT_GT(machine.PhysicalCores(), 0);
  const auto memory = machine.QueryMemory();
  ASSERT_TRUE(memory);
  EXPECT_GT(memory->total_bytes, 0u);
  EXPECT_LE(memory->available_bytes, memory->total_bytes);
  const auto processes = machine.SnapshotProcesses();
  ASSERT_TRUE(processes);
  ASSERT_FALSE(processes->empty());
  EXPECT_EQ(processes->front().exe_file, "[System Process]");
  const std::string self_name = binary.filename().string();
  EXPECT_TRUE(std::any_of(processes->begin(), processes->end(),
                          [&](const ProcessEntry& p) { return p.exe_file == self_name; }));
}

TEST_F(SimulatedMachineTest, MalformedOrOddFacts) {
  // Windows-1252 bytes, as the profile functions read them.
  auto& machine = Machine(
      "[Self]\nFileVersion=\n[Locale]\nLanguageName=Fran\xE7"
      "ais\nWeekdays=a b c\n"
      "[Clock]\nNow=2023-02-30 10:00:00\n[Memory]\nFail=1\nTotal=5\n"
      "[Processor]\nPhysicalCores=1000\n[Display]\nMonitors=two\n");
  EXPECT_FALSE(machine.ReadVersionInfo(machine.SelfExecutable()));  // empty: no information
  EXPECT_EQ(machine.UserLocale().language_native_name, "Français");
  EXPECT_EQ(machine.UserLocale().weekday_names[1], "lundi");  // not seven names
  EXPECT_FALSE(machine.QueryMemory());
  EXPECT_EQ(machine.PhysicalCores(), 255);
  EXPECT_EQ(machine.MonitorCount(), 1);
  const LocalTime now = machine.Now();  // not a date: the host clock
  EXPECT_GE(now.year, 2024);
}

TEST_F(SimulatedMachineTest, AUtf8FactsFileNamesAnyFolder) {
  auto& machine =
      Machine("\xEF\xBB\xBF[Self]\r\nExe=C:\\users\\\xD0\x97\xD0\xB0\xD0\xB3\\Remedor.exe\r\n");
  EXPECT_EQ(machine.SelfExecutable(), "C:\\users\\Заг\\Remedor.exe");
}

TEST_F(SimulatedMachineTest, SelfVersionOtherThanFourNumbers) {
  auto& machine = Machine("[Self]\nExe=C:\\R.exe\nFileVersion=8.37\n");
  EXPECT_EQ(machine.BuildFolder(), "C:\\RemedorBuild\\");
  const auto self = machine.ReadVersionInfo("C:\\R.exe");
  ASSERT_TRUE(self);
  EXPECT_EQ(self->String("FileVersion"), "8.37");
  EXPECT_FALSE(self->file_version);
}

TEST_F(SimulatedMachineTest, VersionOfFilesFromTheirImages) {
  const std::string fixtures = std::string(REMEDOR_BINARY_DIR) + "/pe-fixtures/";
  fs::create_directories(root_ / "drive_c" / "Games");
  fs::copy_file(fixtures + "with_version.dll", root_ / "drive_c" / "Games" / "fmod.dll");
  Write(root_ / "drive_c" / "Games" / "text.dll", "not an image");
  auto& machine = Machine();
  const auto info = machine.ReadVersionInfo("C:\\Games\\fmod.dll");
  ASSERT_TRUE(info);
  EXPECT_EQ(info->String("FileVersion"), "1.2.3.4");
  EXPECT_FALSE(machine.ReadVersionInfo("C:\\Games\\text.dll"));
  EXPECT_FALSE(machine.ReadVersionInfo("C:\\Games\\missing.dll"));
  const ScopedFault fault(files_->faults(), FaultOperation::kGetFileVersionInfo, 1);
  EXPECT_FALSE(machine.ReadVersionInfo("C:\\Games\\fmod.dll"));
  EXPECT_TRUE(machine.ReadVersionInfo("C:\\Games\\fmod.dll"));
}

TEST(ProcessesFile, OneProcessALine) {
  const auto processes = ParseProcessesFile(
      "0 [System Process]\r\n32 explorer.exe\n\n1 Cheat Mode RBR_SSE.exe\nx bad.exe\n7\n"
      "  5\tCorvanePublic.exe  \r\n");
  ASSERT_EQ(processes.size(), 4u);
  EXPECT_EQ(processes[0].exe_file, "[System Process]");
  EXPECT_EQ(processes[0].threads, 0u);
  EXPECT_EQ(processes[1].exe_file, "explorer.exe");
  EXPECT_EQ(processes[1].threads, 32u);
  EXPECT_EQ(processes[2].exe_file, "Cheat Mode RBR_SSE.exe");
  EXPECT_EQ(processes[3].exe_file, "CorvanePublic.exe");
  EXPECT_EQ(processes[3].threads, 5u);
  EXPECT_NE(processes[1].process_id, processes[2].process_id);
}

TEST_F(SimulatedMachineTest, ProcessesFileReplacesTheHostAndObeysFaults) {
  Write(root_ / kProcessesFile,
        "\xEF\xBB\xBF"
        "3 caf\xC3\xA9.exe\n");
  auto& machine = Machine();
  auto processes = machine.SnapshotProcesses();
  ASSERT_TRUE(processes);
  ASSERT_EQ(processes->size(), 1u);
  EXPECT_EQ(processes->front().exe_file, "café.exe");
  const ScopedFault fault(files_->faults(), FaultOperation::kCreateToolhelp32Snapshot, 1);
  EXPECT_FALSE(machine.SnapshotProcesses());
}

}  // namespace
}  // namespace platform::posix
