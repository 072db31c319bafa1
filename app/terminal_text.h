// Text from the machine shown on a terminal: INI values, list lines and
// process names may hold control and escape sequences, which a terminal would
// obey (move the cursor, retitle the window, rewrite what was shown).
#pragma once

#include <string>
#include <string_view>

namespace app {

// The text with every control character written as an escape: C0 controls
// but the line feed and the tab, and DEL, as "\xHH"; C1 controls as "\uHHHH";
// a byte that is not part of well-formed UTF-8 as "\xHH". Everything else is
// kept as it is.
std::string EscapeControls(std::string_view utf8);

}  // namespace app
