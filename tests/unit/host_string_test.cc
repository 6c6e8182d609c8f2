// The host string operations, in-process against the auditing fake core.
#include "host/host_string.h"

#include <climits>

#include "tests/unit/host_fixture.h"

namespace vellum::testing {
namespace {

class HostStringTest : public HostTest {};

TEST_F(HostStringTest, SizesThatAreNotAPositiveInt32NeverReachTheHost) {
  for (int64_t size : {int64_t{0}, int64_t{-1}, int64_t{INT32_MAX} + 1,
                       int64_t{INT64_MAX}, int64_t{INT64_MIN}}) {
    EXPECT_EQ(AllocHostString(size), nullptr) << size;
  }
  EXPECT_EQ(FakeCoreEventCount(), 0);
}

TEST_F(HostStringTest, CopyOfEmptyIsAnAllocatedEmptyString) {
  EXPECT_EQ(FakeCoreTakeResult(MakeHostCopy("")),
            std::optional<std::string>(""));
  EXPECT_EQ(FakeCoreTakeResult(MakeHostCopy(std::string_view("a\0b", 3))),
            std::optional<std::string>("a"));
}

TEST_F(HostStringTest, ReleasingNullAsksNothingOfTheHost) {
  ReleaseHostString(nullptr);
  EXPECT_EQ(FakeCoreEventCount(), 0);
}

TEST_F(HostStringTest, FailStoresTheErrorAndGivesTheOldResultBack) {
  HostString old_result = FakeCoreMakeString("old");
  int32_t live = FakeCoreLiveStrings();
  EXPECT_EQ(Fail(old_result, kErrorNegativeSize), nullptr);
  EXPECT_EQ(ErrorWord(), 112);
  EXPECT_EQ(FakeCoreLiveStrings(), live - 1);
}

}  // namespace
}  // namespace vellum::testing
