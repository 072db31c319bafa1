#include "runtime/lines.h"

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "runtime/errors.h"
#include "tests/test_machine.h"

namespace runtime {
namespace {

using Lines = std::vector<std::string>;

TEST(LoadLines, EveryLineEndAndTheCodePage) {
  test::TestMachine machine;
  machine.AddFile("C:\\t.txt", "a\r\nb\rc\nd\xE9\r\n");
  auto os = platform::OpenPlatform({machine.root().string()});
  ASSERT_TRUE(os) << os.error().Message();
  EXPECT_EQ(LoadLines((*os)->files(), "C:\\t.txt"), (Lines{"a", "b", "c", "dé"}));
}

// The message names the file as the caller asks; the platform's error travels
// with it, so that a missing file is told from a refused one.
TEST(LoadLines, AFileThatCannotBeReadRaisesTheFileErrorWithItsCause) {
  test::TestMachine machine;
  auto os = platform::OpenPlatform({machine.root().string()});
  ASSERT_TRUE(os) << os.error().Message();
  for (const char* name : {"", "LIST.TXT"}) {
    try {
      LoadLines((*os)->files(), "C:\\missing\\LIST.TXT", name);
      ADD_FAILURE() << "no error";
    } catch (const FileError& error) {
      EXPECT_EQ(error.what(),
                std::string("Cannot open file ") + (*name ? name : "C:\\missing\\LIST.TXT"));
      ASSERT_TRUE(error.cause());
      EXPECT_EQ(error.cause()->code, platform::Errc::kPathNotFound);
      EXPECT_EQ(error.cause()->subject, "C:\\missing\\LIST.TXT");
    }
  }
}

TEST(JoinLines, CrLfBetweenTheLines) {
  EXPECT_EQ(JoinLines({}), "");
  EXPECT_EQ(JoinLines({"one"}), "one");
  EXPECT_EQ(JoinLines({"a", "", "b"}), "a\r\n\r\nb");
}

}  // namespace
}  // namespace runtime
