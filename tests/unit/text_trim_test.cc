// The one trim the emulator and docgen share: case files, help sources and
// style sheets come with tabs and Windows line ends as well as spaces.
#include <gtest/gtest.h>

#include "text/trim.h"

namespace text {
namespace {

TEST(TrimWhiteSpace, DropsEveryAsciiSpaceAtTheEndsAndKeepsTheInside) {
  EXPECT_EQ(TrimWhiteSpace(" \tFAST LEN \r"), "FAST LEN");
  EXPECT_EQ(TrimWhiteSpace("\n\v\fa  b\t\n"), "a  b");
  EXPECT_EQ(TrimWhiteSpace("x"), "x");
  EXPECT_EQ(TrimWhiteSpace(" \t\r\n"), "");
  EXPECT_EQ(TrimWhiteSpace(""), "");
  // Bytes past ASCII are text, not space, whatever the locale says.
  EXPECT_EQ(TrimWhiteSpace("\xa0z\x85"), "\xa0z\x85");
}

}  // namespace
}  // namespace text
