#include "analysis/export.h"

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "runtime/errors.h"
#include "tests/test_machine.h"

namespace analysis {
namespace {

// The message is the one the player knows; the platform's refusal travels
// with it, so that a folder in the way is told from a full disk.
TEST(ResultsFile, AFileThatCannotBeWrittenRaisesTheCreateErrorWithItsCause) {
  test::TestMachine machine;
  machine.AddFolder("C:\\Outil\\ListeDesFichiersManquants.txt");  // a folder in the way
  auto os = platform::OpenPlatform({machine.root().string()});
  ASSERT_TRUE(os) << os.error().Message();
  AnalysisReport report;
  report.AppendBoth("ligne");
  try {
    WriteResultsFile((*os)->files(), (*os)->machine(), report, "C:\\Outil\\");
    ADD_FAILURE() << "no error";
  } catch (const runtime::FileCreateError& error) {
    EXPECT_STREQ(error.what(), "Cannot create file C:\\Outil\\ListeDesFichiersManquants.txt");
    ASSERT_TRUE(error.cause());
    EXPECT_EQ(error.cause()->code, platform::Errc::kAccessDenied);
    EXPECT_EQ(error.cause()->subject, "C:\\Outil\\ListeDesFichiersManquants.txt");
  }
}

}  // namespace
}  // namespace analysis
