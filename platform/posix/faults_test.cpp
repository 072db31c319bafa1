#include "platform/posix/faults.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>

namespace platform::posix {
namespace {

// The names table follows the operations' order: every operation is found
// again by its own name, and no two share one.
TEST(Faults, EveryOperationHasItsOwnName) {
  std::set<std::string_view> names;
  for (std::size_t i = 0; i < kFaultOperationCount; ++i) {
    const auto operation = static_cast<FaultOperation>(i);
    EXPECT_EQ(FaultNamed(FaultName(operation)), operation) << FaultName(operation);
    names.insert(FaultName(operation));
  }
  EXPECT_EQ(names.size(), kFaultOperationCount);
  EXPECT_EQ(FaultNamed("DeleteSilently"), std::nullopt);  // a method, not the call it makes
  EXPECT_EQ(FaultNamed("movefile"), std::nullopt);        // names are exact
}

TEST(Faults, AScopedFaultFailsTheNthCallAndEndsWithItsScope) {
  FaultInjector faults;
  {
    const ScopedFault fault(faults, FaultOperation::kMoveFile, 2);
    EXPECT_FALSE(faults.ShouldFail(FaultOperation::kMoveFile));
    EXPECT_FALSE(faults.ShouldFail(FaultOperation::kReadFile));  // counted apart
    EXPECT_TRUE(faults.ShouldFail(FaultOperation::kMoveFile));
    EXPECT_FALSE(faults.ShouldFail(FaultOperation::kMoveFile));
  }
  {
    const ScopedFault fault(faults, FaultOperation::kReadFile);
    EXPECT_TRUE(faults.ShouldFail(FaultOperation::kReadFile));
    EXPECT_TRUE(faults.ShouldFail(FaultOperation::kReadFile));
  }
  EXPECT_FALSE(faults.ShouldFail(FaultOperation::kReadFile));
}

}  // namespace
}  // namespace platform::posix
