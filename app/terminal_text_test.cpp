#include "app/terminal_text.h"

#include <gtest/gtest.h>

namespace app {
namespace {

TEST(TerminalText, ControlsAreEscapedTheRestIsKept) {
  struct Case {
    std::string text, shown;
  };
  const Case cases[] = {
      {"Résolution de jeu : 1920 x 1080", "Résolution de jeu : 1920 x 1080"},
      {"a\tb\nc", "a\tb\nc"},
      {"\x1b]0;pwned\x07title", "\\x1B]0;pwned\\x07title"},
      {"\x1b[2J\rover", "\\x1B[2J\\x0Dover"},
      {std::string("nul\0here", 8), "nul\\x00here"},
      {"del\x7f", "del\\x7F"},
      {"\xc2\x9b"
       "31m",
       "\\u009B31m"},  // C1 CSI, as UTF-8
      {"raw \x9b"
       "31m",
       "raw \\x9B31m"},                        // a lone byte of no UTF-8
      {"cut \xe2\x82", "cut \\xE2\\x82"},      // a sequence cut short
      {"€ and \xc2\xa0", "€ and \xc2\xa0"},    // printable, kept
      {"C:\\Jeux\\RBR\\", "C:\\Jeux\\RBR\\"},  // backslashes are the machine's
  };
  for (const Case& c : cases) EXPECT_EQ(EscapeControls(c.text), c.shown) << c.shown;
}

}  // namespace
}  // namespace app
