// The BASIC runner's parser on its own: how lines become statements and
// where each block statement jumps, which the interpreter trusts blindly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emulator/basic/basic_error.h"
#include "emulator/basic/parser.h"

namespace emulator::basic {
namespace {

// Each statement as its first token and its jump, "WORD>jump".
std::vector<std::string> Shape(const std::string& source) {
  std::vector<std::string> shape;
  for (const Statement& s : ParseProgram(source)) {
    shape.push_back(s.tokens[0].text + ">" + std::to_string(s.jump));
  }
  return shape;
}

// The line and message of the error the source is refused with.
std::string Refusal(const std::string& source) {
  try {
    ParseProgram(source);
  } catch (const BasicError& e) {
    return std::to_string(e.line()) + ": " + e.what();
  }
  return "accepted";
}

TEST(BasicParserTest, PairsBlocksInBothDirections) {
  EXPECT_EQ(Shape("print 0\n"
                  "for i = 1 to 2\n"
                  "  if i = 1\n"
                  "    while 0 : endwhile\n"
                  "  else\n"
                  "    repeat : until 1\n"
                  "  endif\n"
                  "next i\n"),
            (std::vector<std::string>{"PRINT>0", "FOR>9", "IF>5", "WHILE>4",
                                      "ENDWHILE>3", "ELSE>8", "REPEAT>7",
                                      "UNTIL>6", "ENDIF>0", "NEXT>1"}));
}

TEST(BasicParserTest, AOneLineIfJumpsPastItsWholeBody) {
  // The body is every statement after THEN on the line; a THEN with nothing
  // after it opens a block instead.
  EXPECT_EQ(Shape("if a then b = 1 : c = 2\nd = 3\n"
                  "if a then\nendif\n"),
            (std::vector<std::string>{"IF>3", "B>0", "C>0", "D>0", "IF>5",
                                      "ENDIF>0"}));
}

TEST(BasicParserTest, DropsRemarksAndComments) {
  EXPECT_EQ(Shape("remstart\nprint 1\nremend\n"
                  "print 2 : rem print 3\n"
                  "print 4 ` print 5\n"
                  "print \"rem ` kept\"\n"),
            (std::vector<std::string>{"PRINT>0", "PRINT>0", "PRINT>0"}));
}

TEST(BasicParserTest, NamesTheLineOfAMisplacedBlockStatement) {
  EXPECT_EQ(Refusal("print 1\nnext i\n"), "2: NEXT without FOR");
  EXPECT_EQ(Refusal("while 1\nuntil 1\n"), "2: UNTIL without REPEAT");
  EXPECT_EQ(Refusal("else\n"), "1: ELSE without IF");
  EXPECT_EQ(Refusal("\nendif\n"), "2: ENDIF without IF");
  EXPECT_EQ(Refusal("repeat\nif 1\n"), "2: IF is never closed");
  EXPECT_EQ(Refusal("print 1\nprint 2 @\n"), "2: unexpected character '@'");
}

}  // namespace
}  // namespace emulator::basic
