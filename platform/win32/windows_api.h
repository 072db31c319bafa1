// <windows.h> for the backend. The header maps generic names onto their A or
// W functions with macros; the ones that share a name with a method of the
// platform interface are removed, and the backend calls the W functions by
// their own names. Keep this include in a block of its own, before the other
// Windows headers: clang-format sorts the includes of a block, and headers
// such as <oleauto.h> or <bcrypt.h> need <windows.h> first.
#pragma once

#include <windows.h>

#undef CreateDirectory
#undef DeleteFile
#undef GetDiskFreeSpace
#undef MoveFile
#undef SetCurrentDirectory
