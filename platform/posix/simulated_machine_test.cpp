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
    auto opened = SimulatedMachine::Open(root_, *files_, files_->faults());
    if (!opened) throw std::runtime_error(opened.error().Message());
    machine_ = std::move(*opened);
    return *machine_;
  }
  // The error of opening the machine with these facts ("" when it opens).
  Error Refusal(std::string_view facts) {
    Write(root_ / kMachineFactsFile, facts);
    files_ = std::make_unique<PrefixFileSystem>(root_);
    auto opened = SimulatedMachine::Open(root_, *files_, files_->faults());
    return opened ? Error{} : opened.error();
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
      "[Disks]\r\nC=52613349376 107374182400\r\nd=fail\r\n"
      "[Windows]\r\nFolder=C:\\WINNT\\\r\nServicePack=Service Pack 3\r\nXp64=1\r\n"
      "Administrator=0\r\n"
      "[Services]\r\nW32Time=4\r\nSpooler=unopenable\r\nOther=nomanager\r\n"
      "[Network]\r\nVersionURL=http://127.0.0.1:8080/curr_ver.txt\r\n"
      "[Faults]\r\nMoveFile=2\r\n");
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
  ASSERT_EQ(disks.size(), 2u);
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
  EXPECT_EQ(machine.FaultRules(),
            (std::vector<std::pair<FaultOperation, int>>{{FaultOperation::kMoveFile, 2}}));
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

TEST_F(SimulatedMachineTest, OddButRightFacts) {
  // Windows-1252 bytes, as the profile functions read them; comments; an
  // empty version (no version information); the fewest cores Windows reports.
  auto& machine = Machine(
      "; a comment\n[Self]\nFileVersion=\n[Locale]\nLanguageName=Fran\xE7"
      "ais\n[Memory]\nFail=1\nTotal=5\nFree=5\n"
      "[Processor]\nPhysicalCores=1\n[Display]\nMonitors=0\nWidth=0\n");
  EXPECT_FALSE(machine.ReadVersionInfo(machine.SelfExecutable()));
  EXPECT_EQ(machine.UserLocale().language_native_name, "Français");
  EXPECT_FALSE(machine.QueryMemory());
  EXPECT_EQ(machine.PhysicalCores(), 1);
  EXPECT_EQ(machine.MonitorCount(), 0);
  EXPECT_EQ(machine.PrimaryScreen().width, 0);
  EXPECT_EQ(machine.PrimaryScreen().height, 1080);  // absent: the default
}

// The facts file describes the machine: a file that is not one, or a value
// given but wrong, stops the machine before anything runs, naming the file,
// the line, the section and the key; nothing falls back to the host.
TEST_F(SimulatedMachineTest, WrongFactsAreRefusedNamingFileSectionAndKey) {
  struct Case {
    std::string facts;
    std::string detail;
  };
  const Case cases[] = {
      {"", "the file holds no section: it is empty or not a facts file"},
      {"\r\n  \r\n; only a comment\r\n", "the file holds no section"},
      {"\x7f"
       "ELF\x02\x01\x01",
       "line 1: a key before the first section"},
      {"garbage\n[Self]\n", "line 1: a key before the first section: \"garbage\""},
      {"[Self\nExe=C:\\R.exe\n", "line 1: neither a section, a key nor a comment: \"[Self\""},
      {"[Selph]\nExe=C:\\R.exe\n", "line 1: unknown section [Selph]"},
      {"[Memory]\nTotl=5\n", "line 2: [Memory] Totl: unknown key"},
      {"[Memory]\nTotal\n", "line 2: [Memory] Total: no \"=\" and no value"},
      {"[Memory]\nTotal=5\n[memory]\nFree=1\n", "line 3: section [Memory] given twice"},
      {"[Memory]\nTotal=5\ntotal=6\n", "line 3: [Memory] total: key given twice"},
      {"[Memory]\nTotal=-1\n", "line 2: [Memory] Total = \"-1\": not a whole number from 0 to"},
      {"[Memory]\nTotal=abc\n", "line 2: [Memory] Total = \"abc\": not a whole number"},
      {"[Memory]\nTotal=1e30\n", "line 2: [Memory] Total = \"1e30\": not a whole number"},
      {"[Memory]\nTotal=99999999999999999999\n", "[Memory] Total = \"99999999999999999999\""},
      {"[Memory]\nTotal=\n", "line 2: [Memory] Total = \"\": not a whole number"},
      {"[Memory]\nTotal=5\nFree=6\n",
       "line 3: [Memory] Free = \"6\": not a whole number from 0 to 5"},
      {"[Memory]\nFail=yes\n", "line 2: [Memory] Fail = \"yes\": not 0 or 1"},
      {"[Display]\nMonitors=-1\n",
       "line 2: [Display] Monitors = \"-1\": not a whole number from 0"},
      {"[Display]\nMonitors=two\n", "[Display] Monitors = \"two\""},
      {"[Display]\nWidth=-1920\n", "line 2: [Display] Width = \"-1920\""},
      {"[Display]\nHeight=1080.5\n", "line 2: [Display] Height = \"1080.5\""},
      {"[Processor]\nPhysicalCores=1000\n",
       "[Processor] PhysicalCores = \"1000\": not a whole number from 1 to 255"},
      {"[Processor]\nPhysicalCores=0\n", "[Processor] PhysicalCores = \"0\""},
      {"[Clock]\nNow=2023-02-30 10:00:00\n",
       "line 2: [Clock] Now = \"2023-02-30 10:00:00\": not a date"},
      {"[Clock]\nNow=2023-02-03 10:00:00 and more\n", "[Clock] Now"},
      {"[Locale]\nWeekdays=a b c\n", "line 2: [Locale] Weekdays = \"a b c\": not seven names"},
      {"[Self]\nExe=\n", "line 2: [Self] Exe = \"\": not a Windows path"},
      {"[Windows]\nFolder=\n", "line 2: [Windows] Folder = \"\""},
      {"[Windows]\nXp64=2\n", "line 2: [Windows] Xp64 = \"2\": not 0 or 1"},
      {"[Windows]\nAdministrator=-1\n", "[Windows] Administrator = \"-1\""},
      {"[Disks]\nE=12\n", "line 2: [Disks] E = \"12\": not a drive letter given"},
      {"[Disks]\nAB=1 2\n", "line 2: [Disks] AB = \"1 2\""},
      {"[Disks]\nC=2 1\n", "line 2: [Disks] C = \"2 1\""},  // more free than in all
      {"[Services]\nW32Time=running\n",
       "line 2: [Services] W32Time = \"running\": not a state code"},
      {"[Services]\nW32Time=0\n", "[Services] W32Time = \"0\""},
      {"[Faults]\nReadFile=x\n", "line 2: [Faults] ReadFile = \"x\": not a whole number from 1"},
      {"[Faults]\nReadFile=0\n", "[Faults] ReadFile = \"0\""},
      {"[Faults]\nDeleteSilently=1\n",
       "line 2: [Faults] DeleteSilently = \"1\": not a fault of an operation"},
      {"[Memory]\nTotal=" + std::string(100, '7') + "\n", "\"" + std::string(60, '7') + "...\""},
  };
  const std::string file = (root_ / kMachineFactsFile).string();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.facts);
    const Error error = Refusal(c.facts);
    EXPECT_EQ(error.code, Errc::kInvalidData);
    EXPECT_EQ(error.operation, "ReadMachineFacts");
    EXPECT_EQ(error.subject, file);
    EXPECT_NE(error.detail.find(c.detail), std::string::npos) << "got: " << error.detail;
  }
}

TEST_F(SimulatedMachineTest, AProcessesFileGoneWrongFailsTheSnapshotNamingIt) {
  Write(root_ / kProcessesFile, "3 a.exe\n");
  auto& machine = Machine();
  fs::remove(root_ / kProcessesFile);
  fs::create_directories(root_ / kProcessesFile);
  const auto processes = machine.SnapshotProcesses();
  ASSERT_FALSE(processes);
  EXPECT_EQ(processes.error().subject, (root_ / kProcessesFile).string());
  EXPECT_EQ(processes.error().detail, "a folder stands where this file should be");
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
