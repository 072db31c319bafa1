#include "app/command_line.h"

#include <gtest/gtest.h>

namespace app {
namespace {

struct Case {
  std::vector<std::string> arguments;
  std::string preset;
  bool no_ini;
  bool no_gate;
  bool help;
};

TEST(CommandLine, SwitchesByTheirFirstFourCharacters) {
  const Case cases[] = {
      {{"/dir:D:\\Jeux\\RBR"}, "D:\\Jeux\\RBR\\", false, false, false},
      {{"/DIR:D:\\Jeux\\RBR\\"}, "D:\\Jeux\\RBR\\\\", false, false, false},
      {{"/DIR"}, "\\", false, false, false},
      {{"/DIRX"}, "\\", false, false, false},
      {{"/VERSION"}, "", false, true, false},
      {{"/Help"}, "", false, false, false},
      {{"/h2"}, "", false, false, false},
      {{"/h"}, "", false, false, true},
      {{"/?"}, "", false, false, true},
      {{"/initial"}, "", true, false, false},
      {{"/ini", "/VER", "/ini"}, "", true, true, false},
      {{"/DIR:C:\\A", "/DIR:C:\\B"}, "C:\\B\\", false, false, false},
      // Odd arguments: empty, blanks, quotes left in, non-ASCII, very long.
      {{"", " ", "\"/ini\"", "/ïni", "/VÉR"}, "", false, false, false},
      {{"/DIR:C:\\Jeux é\\Dossier \"x\""}, "C:\\Jeux é\\Dossier \"x\"\\", false, false, false},
      {{"/DIR:" + std::string(5000, 'x')}, std::string(5000, 'x') + "\\", false, false, false},
      {{"/DIRé"}, "\\", false, false, false},
  };
  for (const Case& c : cases) {
    const ParsedCommandLine parsed = ParseCommandLine(c.arguments);
    SCOPED_TRACE(c.arguments.front());
    EXPECT_EQ(parsed.options.install_folder_preset, c.preset);
    EXPECT_EQ(parsed.options.NoIniDump, c.no_ini);
    EXPECT_EQ(parsed.options.NoUpdateGate, c.no_gate);
    EXPECT_EQ(parsed.show_help, c.help);
  }
}

TEST(CommandLine, TheFifthCharacterIsSkippedWhateverItIs) {
  // "/DIRé..." : the key is "/DIR", the é is the skipped fifth character.
  EXPECT_EQ(ParseCommandLine({"/DIRéC:\\X"}).options.install_folder_preset, "C:\\X\\");
}

TEST(CommandLine, HelpPanelHasSixteenLines) {
  const auto& lines = CommandLineHelpLines();
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines[0], "Paramètres utilisables : /DIR:, /ini , /?, /H");
  EXPECT_EQ(lines[6], "Pas de \"\\\" en fin de chemin, il sera rajouté par le logiciel.");
  EXPECT_EQ(lines[14], "Cliquer pour fermer cette aide");
  EXPECT_EQ(lines[15], "");
}

}  // namespace
}  // namespace app
