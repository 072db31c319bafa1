#include "analysis/install_location.h"

#include <gtest/gtest.h>

namespace analysis {
namespace {

TEST(InstallLocation, ProtectedFoldersUnderVistaAndSeven) {
  struct Case {
    std::string_view product, folder;
    std::optional<std::string> system;
  };
  const Case cases[] = {
      {"Windows Vista (TM) Home Premium", "c:\\program files\\RBR\\", "Windows Vista"},
      {"Windows Vista Business", "C:\\Program Files (x86)\\RBR\\", "Windows Vista"},
      {"Windows 7 Professional", "C:\\Users\\Pilote\\RBR\\", "Windows 7"},
      {"Windows 7 Professional", "c:\\utilisateurs\\Élodie\\RBR\\", "Windows 7"},
      {"Windows 7 Professional", "D:\\Program Files\\RBR\\", std::nullopt},
      {"Windows 7 Professional", "C:\\Program FilesRBR\\", std::nullopt},
      {"Windows 7 Professional", "C:\\Jeux\\RBR\\", std::nullopt},
      {"Windows XP Professional", "C:\\Program Files\\RBR\\", std::nullopt},
      {"Windows 10 Pro", "C:\\Program Files\\RBR\\", std::nullopt},
      {"Windows 7", "C:\\USERS", "Windows 7"},
      {"", "", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.product) + " / " + std::string(c.folder));
    EXPECT_EQ(ProtectedInstallSystem(c.product, c.folder), c.system);
  }
}

}  // namespace
}  // namespace analysis
