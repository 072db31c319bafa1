#include "app/shutdown.h"

namespace app {

std::string SelfRemovalCommand(std::string_view executable) {
  const std::string quote = "\"";
  return "C:\\Windows\\System32\\cmd.exe /C " + quote + "del " + quote + std::string(executable) +
         quote + quote;
}

}  // namespace app
