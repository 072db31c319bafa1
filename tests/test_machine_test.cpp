#include "tests/test_machine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace test {
namespace {

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(TestMachine, EscapesStringsAsWineWritesThem) {
  EXPECT_EQ(WineRegString("C:\\Jeux"), "\"C:\\\\Jeux\"");
  EXPECT_EQ(WineRegString("a\"b"), "\"a\\\"b\"");
  // A character above 127 is padded to four digits only when a hex digit follows.
  EXPECT_EQ(WineRegString("é"), "\"\\xe9\"");
  EXPECT_EQ(WineRegString("éa"), "\"\\x00e9a\"");
  EXPECT_EQ(WineRegString("éz"), "\"\\xe9z\"");
  EXPECT_EQ(WineRegString("a\r\nb"), "\"a\\r\\nb\"");
}

TEST(TestMachine, StoresTheSoftwareKeysOfHklmInTheThirtyTwoBitView) {
  TestMachine machine;
  machine.SetRegistryString(Hive::kLocalMachine, "\\SOFTWARE\\SCi Games\\RBR\\InstallPath\\", "",
                            "C:\\Games\\RBR");
  machine.SetRegistryString(Hive::kCurrentUser, "Software\\VB and VBA Program Settings\\X",
                            "Profil", "guest");
  const std::string system = Slurp(machine.root() / "system.reg");
  EXPECT_NE(system.find("\n[Software\\\\Wow6432Node\\\\SCi Games\\\\RBR\\\\InstallPath] "),
            std::string::npos);
  EXPECT_NE(system.find("\n@=\"C:\\\\Games\\\\RBR\"\n"), std::string::npos);
  const std::string user = Slurp(machine.root() / "user.reg");
  EXPECT_NE(user.find("[Software\\\\VB and VBA Program Settings\\\\X] "), std::string::npos);
}

TEST(TestMachine, MapsDriveCPathsIntoThePrefix) {
  TestMachine machine;
  machine.AddTextFile("C:\\Games\\RBR\\liste.txt", "µ15\r\n");
  EXPECT_EQ(machine.HostPath("C:\\Games\\RBR\\liste.txt"),
            machine.root() / "drive_c" / "Games" / "RBR" / "liste.txt");
  EXPECT_EQ(machine.ReadFile("C:\\Games\\RBR\\liste.txt"),
            "\xB5"
            "15\r\n");
}

}  // namespace
}  // namespace test
