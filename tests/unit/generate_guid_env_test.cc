#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <string_view>

#include "commands/generate/guid_env.h"
#include "host/platform.h"
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

// The stand-in takes what the platform takes: 32,767 characters and the NUL.
TEST_F(GenerateGuidEnvTest, PlatformRefusesSourcesOverItsLimit) {
  std::string longest(platform::kExpandSourceLimit - 1, 'a');
  std::string buffer(platform::kExpandSourceLimit, '-');
  EXPECT_EQ(platform::ExpandEnvironment(longest.c_str(), buffer.data(),
                                        platform::kExpandSourceLimit),
            platform::kExpandSourceLimit);
  EXPECT_EQ(buffer, longest + '\0');
  std::string too_long = longest + 'a';
  EXPECT_EQ(platform::ExpandEnvironment(too_long.c_str(), nullptr, 0), 0u);
}

// Sources around and far past the platform's limit, plain and with
// references placed so that they straddle it.
TEST_F(GenerateGuidEnvTest, ExactAtAnyLength) {
  setenv("VELLUM_TEST_ABC", "abc", 1);
  unsetenv("VELLUM_TEST_UNSET");
  const std::string set = "%VELLUM_TEST_ABC%";
  const std::string unset = "%VELLUM_TEST_UNSET%";
  for (size_t length : {32766, 32767, 32768, 40000, 1000000}) {
    SCOPED_TRACE(length);
    std::string plain(length, 'a');
    EXPECT_EQ(Expand(plain.c_str()), plain);
    for (size_t at : {size_t{0}, size_t{32760}, size_t{32766}, length - 20}) {
      SCOPED_TRACE(at);
      std::string source = plain, expected = plain;
      source.replace(at, set.size(), set);
      expected.replace(at, set.size(), "abc");
      EXPECT_EQ(Expand(source.c_str()), expected);
      source = plain;
      source.replace(at, unset.size(), unset);
      EXPECT_EQ(Expand(source.c_str()), source);
    }
  }
  std::string many, expected;
  while (many.size() < 1000000) {
    many += "x" + set + "%%" + unset + "%";
    expected += "xabc%%" + unset + "%";
  }
  EXPECT_EQ(Expand(many.c_str()), expected);
}

// Under the limit the scan agrees with the platform's own expansion of the
// whole source, on sources where percent signs keep colliding.
TEST_F(GenerateGuidEnvTest, AgreesWithThePlatformUnderItsLimit) {
  setenv("VELLUM_TEST_ABC", "a%VELLUM_TEST_UNSET%", 1);
  unsetenv("VELLUM_TEST_UNSET");
  const char* const kTokens[] = {"%",
                                 "%%",
                                 "x",
                                 "VELLUM_TEST_ABC",
                                 "VELLUM_TEST_UNSET",
                                 "%VELLUM_TEST_ABC%"};
  std::mt19937 random(1206);
  for (int i = 0; i < 3000; ++i) {
    std::string source;
    for (int n = random() % 10; n >= 0; --n) source += kTokens[random() % 6];
    std::string whole(platform::ExpandEnvironment(source.c_str(), nullptr, 0),
                      '\0');
    platform::ExpandEnvironment(source.c_str(), whole.data(), whole.size());
    whole.pop_back();  // the NUL
    ASSERT_EQ(Expand(source.c_str()), whole) << source;
  }
}

// A name longer than the platform takes names no variable: it stays, and
// its closing % opens the next reference.
TEST_F(GenerateGuidEnvTest, ReferenceLongerThanThePlatformTakesStays) {
  setenv("VELLUM_TEST_ABC", "abc", 1);
  std::string name(platform::kExpandSourceLimit, 'N');
  EXPECT_EQ(Expand(("%" + name + "%VELLUM_TEST_ABC%").c_str()),
            "%" + name + "abc");
}

// A variable whose value is its own reference reads as unset: the same
// text, but the scan goes on from the closing %.
TEST_F(GenerateGuidEnvTest, VariableHoldingItsOwnReferenceReadsAsUnset) {
  setenv("VELLUM_TEST_ABC", "abc", 1);
  setenv("VELLUM_TEST_SELF", "%VELLUM_TEST_SELF%", 1);
  EXPECT_EQ(Expand("%VELLUM_TEST_SELF%VELLUM_TEST_ABC%"),
            "%VELLUM_TEST_SELFabc");
}

TEST_F(GenerateGuidEnvTest, EmptyAndNullSourcesGiveAnAllocatedEmptyString) {
  EXPECT_EQ(Expand(""), "");
  EXPECT_EQ(Expand(nullptr), "");
}

}  // namespace
}  // namespace vellum
