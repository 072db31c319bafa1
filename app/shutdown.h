// The clean-up when the main window closes: its warning, and the
// self-removal entry it registers.
#pragma once

#include <string>
#include <string_view>

namespace app {

// Shown when a shipped list survived the clean-up.
inline constexpr char kCleanUpWarning[] =
    "Certains fichiers temporaires n'ont pas pu être supprimés.\rSome temporary files could not be "
    "deleted.";

// The RunOnce command that deletes the executable at the next logon:
// cmd.exe /C "del "<path>"". With more than two quotes cmd drops only the
// first and the last, so the inner pair keeps a path with blanks whole.
std::string SelfRemovalCommand(std::string_view executable);

}  // namespace app
