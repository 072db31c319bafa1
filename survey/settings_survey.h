// The settings part of the start-up survey, rows 19 to 31: what the control
// centre, the game folder, the registry and the time service say.
#pragma once

class TForm1;

namespace survey {

void WriteSettingsRows(TForm1& form);

}  // namespace survey
