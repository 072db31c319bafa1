#include "app/headless_script.h"

#include <gtest/gtest.h>

#include "app/headless_script.h"

namespace app {
namespace {

TEST(HeadlessScript, ReadsEveryKindOfAction) {
  auto actions = ParseScript(
      "# comment\r\n\r\nanswer yes\nanswer file C:\\Mes Jeux\\x.7z\nanalyse full\n"
      "click language\ndblclick ListBox2\nkey ctrl+alt+F1\nwait 2500\nclose\n");
  ASSERT_TRUE(actions.ok()) << actions.error().detail;
  ASSERT_EQ(actions->size(), 8u);
  const auto& a = *actions;
  EXPECT_EQ(a[0].answer.kind, ScriptedAnswer::Kind::kYes);
  EXPECT_EQ(a[1].answer.kind, ScriptedAnswer::Kind::kFile);
  EXPECT_EQ(a[1].answer.file, "C:\\Mes Jeux\\x.7z");
  EXPECT_EQ(a[2].control, "SpeedButton4");
  EXPECT_EQ(a[3].control, "language");
  EXPECT_EQ(a[4].kind, ScriptAction::Kind::kDoubleClick);
  EXPECT_EQ(a[5].virtual_key, 0x70);
  EXPECT_TRUE(a[5].ctrl && a[5].alt && !a[5].shift);
  EXPECT_EQ(a[6].ms, 2500);
  EXPECT_EQ(a[7].kind, ScriptAction::Kind::kClose);
  EXPECT_EQ(a[7].line, 10);
}

TEST(HeadlessScript, RefusesWhatItDoesNotUnderstandNamingTheLine) {
  for (const char* bad :
       {"analyse quick", "click NoSuchButton", "key hyper+f1", "key f99", "wait -5", "wait 10ms",
        "answer maybe", "answer file", "dblclick Panel3", "close now", "jump"}) {
    auto actions = ParseScript(std::string("wait 1\n") + bad + "\n");
    ASSERT_FALSE(actions.ok()) << bad;
    EXPECT_EQ(actions.error().detail, "line 2: not understood") << bad;
  }
}

TEST(HeadlessDriver, SplitsItsOwnOptionsFromTheToolsArguments) {
  std::string error;
  auto options = ParseDriverArguments(
      {"--machine", "/m", "--out", "o", "--", "--machine", "/DIR:C:\\X"}, error);
  ASSERT_TRUE(options);
  EXPECT_EQ(options->machine, "/m");
  EXPECT_EQ(options->out, "o");
  EXPECT_EQ(options->arguments, (std::vector<std::string>{"--machine", "/DIR:C:\\X"}));
  options = ParseDriverArguments({"/ini", "--out"}, error);
  ASSERT_TRUE(options);
  EXPECT_EQ(options->arguments, (std::vector<std::string>{"/ini", "--out"}));
  EXPECT_FALSE(ParseDriverArguments({"--script"}, error));
  EXPECT_FALSE(ParseDriverArguments({"--verbose"}, error));
}

}  // namespace
}  // namespace app
