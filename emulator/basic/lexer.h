// Source lines of BASIC as tokens: words (upper-cased, a trailing "$"
// included), string literals, unsigned numbers and symbols.
#pragma once

#include <string>
#include <vector>

namespace emulator::basic {

struct Token {
  enum Kind { kWord, kString, kNumber, kSymbol } kind;
  std::string text;  // words upper-cased; strings without their quotes
  size_t at = 0;     // where the token begins in its line
};

// One source line as tokens; "`" and a REM at the start of a statement end
// it. Throws BasicError, naming `line_number`, on a stray character or an
// unterminated string.
std::vector<Token> Tokenize(const std::string& line, int line_number);

// Whether the word or symbol at `at` is `text`; a string literal never is.
bool IsToken(const std::vector<Token>& tokens, size_t at, const char* text);

}  // namespace emulator::basic
