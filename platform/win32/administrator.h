// Whether the account running the program belongs to the local
// Administrators group.
#pragma once

namespace platform::win32 {

// The thread's token, else the process's; its groups read into 1024 bytes;
// true when one of them is S-1-5-32-544. The group's attributes are not
// looked at: an administrator without elevation counts as one.
bool TokenHasAdministratorsGroup();

}  // namespace platform::win32
