#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <string_view>

#include "commands/generate/guid_env.h"
#include "tests/unit/host_fixture.h"

namespace vellum {
namespace {


class GenerateGuidEnvTest : public testing::HostTest {
 protected:
  // Runs `command` with an old result and checks the exchange: one
  // allocation of exactly length + 1, then the old result given back with
  // the new string complete.
  template <typename Command>
  std::string Exchange(Command command) {
    HostString old = FakeCoreMakeString("old");
    FakeCoreBeginCall();
    HostString result = command(old);
    EXPECT_NE(result, nullptr);
    if (result == nullptr) return {};
    EXPECT_EQ(FakeCoreEventCount(), 2);
    if (FakeCoreEventCount() == 2) {
      EXPECT_EQ(FakeCoreEventAt(0)->kind, kFakeCoreAlloc);
      EXPECT_EQ(FakeCoreEventAt(0)->size,
                static_cast<int32_t>(std::strlen(result) + 1));
      EXPECT_EQ(FakeCoreEventAt(1)->address, old);
      EXPECT_EQ(FakeCoreEventAt(1)->faults, 0);
    }
    return *FakeCoreTakeResult(result);
  }

  std::string Expand(const char* source) {
    return Exchange([&](HostString old) { return ExpandEnv(old, source); });
  }
};

// Groups of 8-4-4-4-12 lowercase hexadecimal digits joined by hyphens.
bool HasGuidShape(const std::string& text) {
  const std::string_view digits = "0123456789abcdef";
  if (text.size() != 36) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    bool hyphen = i == 8 || i == 13 || i == 18 || i == 23;
    if (hyphen ? text[i] != '-' : digits.find(text[i]) == digits.npos) {
      return false;
    }
  }
  return true;
}

TEST_F(GenerateGuidEnvTest, GuidShapeAndUniqueness) {
  std::set<std::string> seen;
  for (int i = 0; i < 1000; ++i) {
    std::string guid = Exchange(GenerateGuid);
    ASSERT_TRUE(HasGuidShape(guid)) << guid;
    ASSERT_TRUE(seen.insert(guid).second) << "repeated " << guid;
  }
}

TEST_F(GenerateGuidEnvTest, ExpandsSetVariables) {
  setenv("VELLUM_TEST_ABC", "abc", 1);
  EXPECT_EQ(Expand("x%VELLUM_TEST_ABC%y"), "xabcy");
  EXPECT_EQ(Expand("%VELLUM_TEST_ABC%%VELLUM_TEST_ABC%-%VELLUM_TEST_ABC%"),
            "abcabc-abc");
  // Much longer than the source it came from.
  std::string long_value(100000, 'v');
  setenv("VELLUM_TEST_LONG", long_value.c_str(), 1);
  EXPECT_EQ(Expand("<%VELLUM_TEST_LONG%>"), "<" + long_value + ">");
  setenv("VELLUM_TEST_EMPTY", "", 1);
  EXPECT_EQ(Expand("[%VELLUM_TEST_EMPTY%]"), "[]");
}

// Unset references and lone % stay as written; after an unset reference
// its closing % may open the next one.
TEST_F(GenerateGuidEnvTest, LeavesWhatIsNotAReference) {
  setenv("VELLUM_TEST_ABC", "abc", 1);
  unsetenv("VELLUM_TEST_UNSET");
  EXPECT_EQ(Expand("plain text"), "plain text");
  EXPECT_EQ(Expand("%VELLUM_TEST_UNSET%"), "%VELLUM_TEST_UNSET%");
  EXPECT_EQ(Expand("50% off"), "50% off");
  EXPECT_EQ(Expand("%VELLUM_TEST_UNSET%VELLUM_TEST_ABC%"),
            "%VELLUM_TEST_UNSETabc");
}

TEST_F(GenerateGuidEnvTest, EmptyAndNullSourcesGiveAnAllocatedEmptyString) {
  EXPECT_EQ(Expand(""), "");
  EXPECT_EQ(Expand(nullptr), "");
}

}  // namespace
}  // namespace vellum
