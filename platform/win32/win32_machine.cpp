#include "platform/win32/win32_machine.h"

#include "platform/win32/windows_api.h"

#include <cpuid.h>

#include <cstring>
#include <vector>

#include "platform/win32/administrator.h"
#include "platform/win32/process_snapshot.h"
#include "platform/win32/version_resource.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

// RtlGetVersion tells the truth whatever the executable's manifest says;
// GetVersionExW is the fallback where ntdll lacks it.
OSVERSIONINFOEXW OsVersion() {
  OSVERSIONINFOEXW version{};
  version.dwOSVersionInfoSize = sizeof version;
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  const auto rtl_get_version = ntdll ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(
                                           GetProcAddress(ntdll, "RtlGetVersion")))
                                     : nullptr;
  if (rtl_get_version && rtl_get_version(&version) == 0) return version;
  version = OSVERSIONINFOEXW{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version));
#pragma GCC diagnostic pop
  return version;
}

std::string LocaleText(LCTYPE type) {
  const int size = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, nullptr, 0);
  if (size <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(size), L'\0');
  const int copied = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer.data(), size);
  if (copied <= 0) return {};
  return ToUtf8(buffer.data(), static_cast<std::size_t>(copied));
}

}  // namespace

Result<MemoryStatus> Win32Machine::QueryMemory() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return LastError("GlobalMemoryStatusEx", "memory");
  return MemoryStatus{status.ullTotalPhys, status.ullAvailPhys};
}

std::string Win32Machine::ProcessorBrand() {
  unsigned int regs[4];
  if (!__get_cpuid(0x80000000u, &regs[0], &regs[1], &regs[2], &regs[3]) || regs[0] < 0x80000004u) {
    return {};
  }
  // Leaves 0x80000002..4 hold the 48 bytes of the brand string.
  char brand[49] = {};
  for (unsigned int leaf = 0; leaf < 3; ++leaf) {
    __get_cpuid(0x80000002u + leaf, &regs[0], &regs[1], &regs[2], &regs[3]);
    std::memcpy(brand + leaf * 16, regs, sizeof regs);
  }
  return std::string(brand, strnlen(brand, 48));
}

int Win32Machine::PhysicalCores() {
  DWORD bytes = 0;
  GetLogicalProcessorInformation(nullptr, &bytes);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) return 0;
  std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> entries(
      bytes / sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION) + 1);
  bytes = static_cast<DWORD>(entries.size() * sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION));
  if (!GetLogicalProcessorInformation(entries.data(), &bytes)) return 0;
  entries.resize(bytes / sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION));
  int cores = 0;
  for (const auto& entry : entries) {
    if (entry.Relationship == RelationProcessorCore) ++cores;
  }
  return cores > 255 ? 255 : cores;
}

std::optional<std::string> Win32Machine::DisplayDevice0() {
  DISPLAY_DEVICEW device{};
  device.cb = sizeof device;
  if (!EnumDisplayDevicesW(nullptr, 0, &device, 0)) return std::nullopt;
  return ToUtf8(device.DeviceString, std::size(device.DeviceString));
}

int Win32Machine::MonitorCount() { return GetSystemMetrics(SM_CMONITORS); }

ScreenSize Win32Machine::PrimaryScreen() {
  DEVMODEW mode{};
  mode.dmSize = sizeof mode;
  if (!EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return {};
  return ScreenSize{static_cast<int>(mode.dmPelsWidth), static_cast<int>(mode.dmPelsHeight)};
}

std::string Win32Machine::ServicePack() {
  const OSVERSIONINFOEXW version = OsVersion();
  return ToUtf8(version.szCSDVersion, std::size(version.szCSDVersion));
}

// Windows XP Professional x64 Edition is NT 5.2 as a workstation (Windows
// Server 2003 shares the number) on a 64-bit processor architecture.
bool Win32Machine::IsWindowsXp64() {
  const OSVERSIONINFOEXW version = OsVersion();
  if (version.dwMajorVersion != 5 || version.dwMinorVersion != 2 ||
      version.wProductType != VER_NT_WORKSTATION) {
    return false;
  }
  SYSTEM_INFO system{};
  GetNativeSystemInfo(&system);
  return system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
         system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
}

bool Win32Machine::IsAdministrator() { return TokenHasAdministratorsGroup(); }

std::string Win32Machine::WindowsFolder() { return SystemFolder(GetWindowsDirectoryW); }

ServiceStatus Win32Machine::QueryService(std::string_view name) {
  ServiceStatus result;
  const auto wide = ToWide(name);
  const SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (!manager) return result;
  const SC_HANDLE service =
      wide ? OpenServiceW(manager, wide->c_str(), SERVICE_ALL_ACCESS) : nullptr;
  if (!service) {
    CloseServiceHandle(manager);
    result.outcome = ServiceStatus::Outcome::kServiceUnopenable;
    return result;
  }
  SERVICE_STATUS status{};
  if (QueryServiceStatus(service, &status)) {
    result.outcome = ServiceStatus::Outcome::kQueried;
    result.current_state = status.dwCurrentState;
  } else {
    result.outcome = ServiceStatus::Outcome::kQueryFailed;
  }
  CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return result;
}

Result<std::vector<ProcessEntry>> Win32Machine::SnapshotProcesses() {
  return SnapshotProcessList();
}

LocaleInfo Win32Machine::UserLocale() {
  LocaleInfo locale;
  locale.language_native_name = LocaleText(LOCALE_SNATIVELANGNAME);
  locale.decimal_separator = LocaleText(LOCALE_SDECIMAL);
  locale.date_separator = LocaleText(LOCALE_SDATE);
  locale.time_separator = LocaleText(LOCALE_STIME);
  // Windows numbers the days from Monday (LOCALE_SDAYNAME1) to Sunday
  // (LOCALE_SDAYNAME7); the program counts from Sunday.
  locale.weekday_names[0] = LocaleText(LOCALE_SDAYNAME7);
  for (int day = 1; day < 7; ++day) {
    locale.weekday_names[static_cast<std::size_t>(day)] =
        LocaleText(static_cast<LCTYPE>(LOCALE_SDAYNAME1 + day - 1));
  }
  return locale;
}

LocalTime Win32Machine::Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return LocalTime{now.wYear,   now.wMonth,  now.wDay,      now.wHour,
                   now.wMinute, now.wSecond, now.wDayOfWeek};
}

std::string Win32Machine::SelfExecutable() {
  // GetModuleFileNameW cuts the name silently when the buffer is too small;
  // it then fills it completely, so a full buffer means "try a larger one".
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return ToUtf8(std::wstring_view(buffer.data(), length));
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

std::string Win32Machine::BuildFolder() { return kBuildFolder; }

Win32Machine::~Win32Machine() {
  if (single_run_ != nullptr) CloseHandle(single_run_);
}

bool Win32Machine::ClaimSingleRun() {
  if (single_run_ != nullptr) return true;
  // One name for the user's session: a copy saved in another folder shares the
  // same game and the same temporary files.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\Remedor.SingleRun");
  if (mutex == nullptr) return true;  // no answer either way: let this copy run
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return false;
  }
  single_run_ = mutex;
  return true;
}

std::optional<VersionInfo> Win32Machine::ReadVersionInfo(std::string_view path) {
  return ReadVersionResource(path);
}

}  // namespace platform::win32
