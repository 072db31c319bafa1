#include "platform/win32/process_snapshot.h"

#include "platform/win32/windows_api.h"

#include <tlhelp32.h>

#include "platform/win32/win32_error.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {

namespace {

using CreateSnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
using WalkFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32W*);

struct ToolHelp {
  CreateSnapshotFn create = nullptr;
  WalkFn first = nullptr;
  WalkFn next = nullptr;
};

template <class Fn>
Fn Lookup(HMODULE module, const char* name) {
  // GetProcAddress hands back a generic function pointer; the cast through
  // void* keeps GCC's -Wcast-function-type quiet.
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

ToolHelp LoadToolHelp() {
  ToolHelp functions;
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (!kernel) return functions;
  functions.create = Lookup<CreateSnapshotFn>(kernel, "CreateToolhelp32Snapshot");
  functions.first = Lookup<WalkFn>(kernel, "Process32FirstW");
  functions.next = Lookup<WalkFn>(kernel, "Process32NextW");
  return functions;
}

}  // namespace

Result<std::vector<ProcessEntry>> SnapshotProcessList() {
  static const ToolHelp functions = LoadToolHelp();
  if (!functions.create || !functions.first || !functions.next) {
    return MakeError(Errc::kNotSupported, "GetProcAddress", "CreateToolhelp32Snapshot",
                     ERROR_PROC_NOT_FOUND);
  }
  const HANDLE snapshot = functions.create(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return LastError("CreateToolhelp32Snapshot", "processes");
  std::vector<ProcessEntry> processes;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = functions.first(snapshot, &entry); more;
       more = functions.next(snapshot, &entry)) {
    processes.push_back(ProcessEntry{ToUtf8(entry.szExeFile, MAX_PATH),
                                     static_cast<std::uint32_t>(entry.th32ProcessID),
                                     static_cast<std::uint32_t>(entry.cntThreads)});
  }
  CloseHandle(snapshot);
  return processes;
}

}  // namespace platform::win32
