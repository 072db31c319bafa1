/* A library planted beside Remedor.exe under the name of a system library.
   It exports nothing: loading it is the fault, and when it is loaded it
   leaves a file named after itself in the folder that
   REMEDOR_PLANTED_MARKERS names. Built at test time with MinGW-w64. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  WCHAR marker[2 * MAX_PATH];
  WCHAR module[MAX_PATH];
  const DWORD folder = GetEnvironmentVariableW(L"REMEDOR_PLANTED_MARKERS", marker, MAX_PATH);
  const DWORD length = GetModuleFileNameW(self, module, MAX_PATH);
  if (folder == 0 || folder >= MAX_PATH || length == 0 || length >= MAX_PATH) return TRUE;
  const WCHAR* name = module + length;
  while (name > module && name[-1] != L'\\') --name;
  lstrcatW(marker, L"\\");
  lstrcatW(marker, name);
  HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return TRUE;
}
