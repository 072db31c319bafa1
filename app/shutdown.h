// The self-removal entry registered when the main window closes.
#pragma once

#include <string>
#include <string_view>

// The RunOnce command that deletes the executable at the next logon:
// cmd.exe /C "del "<path>"". With more than two quotes cmd drops only the
// first and the last, so the inner pair keeps a path with blanks whole.
std::string SelfRemovalCommand(std::string_view executable);
