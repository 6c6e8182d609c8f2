// The one trim the emulator and docgen share: case files, help sources and
// style sheets come with tabs and Windows line ends as well as spaces.
#include <gtest/gtest.h>

#include <string>

#include "text/trim.h"

namespace text {
namespace {

// Each inside text between each pair of ends: no space, one of each kind,
// and a run of every kind.
TEST(TrimWhiteSpace, DropsEveryAsciiSpaceAtTheEndsAndKeepsTheInside) {
  const std::string ends[] = {"", " ", "\t", "\r\n", "\n\v\f \t\r"};
  // Spaces inside stay; bytes past ASCII are text, not space, whatever the
  // locale says.
  const std::string insides[] = {"", "x", "FAST LEN", "a  b", "\xa0z\x85"};
  for (const std::string& inside : insides) {
    for (const std::string& before : ends) {
      for (const std::string& after : ends) {
        const std::string text = before + inside + after;
        EXPECT_EQ(TrimWhiteSpace(text), inside) << "of \"" << text << '"';
      }
    }
  }
}

}  // namespace
}  // namespace text
