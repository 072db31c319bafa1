#include "platform/device_names.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(DeviceNames, AnyCaseAnyExtensionButOnlyTheWholeStem) {
  struct Case {
    const char* component;
    bool device;
  };
  const Case cases[] = {
      {"CON", true},      {"con", true},
      {"Aux.dll", true},  {"nul.tar.gz", true},
      {"PRN", true},      {"COM1", true},
      {"com9.log", true}, {"LPT0", true},
      {"COM¹", true},     {"lpt³.txt", true},
      {"CONIN$", true},   {"conout$.x", true},
      {"CON .txt", true}, {"NUL ", true},
      {"CON.", true},     {"", false},
      {"CONSOLE", false}, {"ACON", false},
      {"COM10", false},   {"COM", false},
      {"LPT", false},     {"COMa", false},
      {" CON", false},    {"NUL_.txt", false},
      {"COM⁴", false},    {"AUXILIARY.dll", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsDeviceName(c.component), c.device) << c.component;
}

TEST(DeviceNames, AnyComponentOfAPathWithEitherSeparator) {
  EXPECT_TRUE(NamesDevice("C:\\Games\\RBR\\Plugins\\AUX.dll"));
  EXPECT_TRUE(NamesDevice("sub/nul/a.txt"));
  EXPECT_TRUE(NamesDevice("CON"));
  EXPECT_FALSE(NamesDevice("C:\\Games\\RBR\\Plugins\\AUXI.dll"));
  EXPECT_FALSE(NamesDevice("C:\\Games\\RBR\\"));
}

}  // namespace
}  // namespace platform
