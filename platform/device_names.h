// The names Windows gives to devices rather than to files: CON, PRN, AUX, NUL,
// COM0 to COM9, LPT0 to LPT9 (and COM/LPT with a superscript 1, 2 or 3),
// CONIN$ and CONOUT$. A name is taken for its device in any letter case, with
// any extension ("nul.txt", "Aux.tar.gz") and with blanks before the dot
// ("CON .txt"), in any folder: opening "C:\Games\CON" opens the console.
// Such a name is never a file of an installation, nor one an archive may write.
#pragma once

#include <string_view>

namespace platform {

// One component of a path (no separator), in UTF-8.
bool IsDeviceName(std::string_view component);

// A path, either separator, one of whose components is a device name.
bool NamesDevice(std::string_view path);

}  // namespace platform
