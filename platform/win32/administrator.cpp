#include "platform/win32/administrator.h"

#include "platform/win32/windows_api.h"

namespace platform::win32 {

bool TokenHasAdministratorsGroup() {
  HANDLE token = nullptr;
  if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token)) {
    if (GetLastError() != ERROR_NO_TOKEN) return false;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  }
  // A fixed buffer: a group list that does not fit means "not an administrator".
  alignas(TOKEN_GROUPS) BYTE buffer[1024];
  DWORD needed = 0;
  const BOOL read = GetTokenInformation(token, TokenGroups, buffer, sizeof buffer, &needed);
  CloseHandle(token);
  if (!read) return false;

  SID_IDENTIFIER_AUTHORITY nt_authority = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&nt_authority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators)) {
    return false;
  }
  const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer);
  bool found = false;
  for (DWORD i = 0; i < groups->GroupCount && !found; ++i) {
    found = EqualSid(groups->Groups[i].Sid, administrators) != FALSE;
  }
  FreeSid(administrators);
  return found;
}

}  // namespace platform::win32
