// A read position in one statement's tokens, with the checks that end a
// statement's reading in a BasicError when the next token is not what the
// grammar needs.
#pragma once

#include <string>
#include <vector>

#include "emulator/basic/lexer.h"

namespace emulator::basic {

class TokenCursor {
 public:
  explicit TokenCursor(const std::vector<Token>& tokens) : tokens_(tokens) {}

  const std::vector<Token>& tokens() const { return tokens_; }
  size_t position() const { return at_; }
  void MoveTo(size_t position) { at_ = position; }

  bool AtEnd() const { return at_ >= tokens_.size(); }
  // The token at the cursor; only when not AtEnd().
  const Token& Peek() const { return tokens_[at_]; }
  const Token& Take() { return tokens_[at_++]; }
  // Whether the word or symbol `offset` tokens ahead is `text`.
  bool Is(const char* text, size_t offset = 0) const {
    return IsToken(tokens_, at_ + offset, text);
  }
  // Moves past `text` when it is next.
  bool Accept(const char* text);

  void ExpectSymbol(const char* symbol);
  void ExpectWord(const char* word);
  void ExpectEnd() const;
  // A variable name; `string_allowed` false asks for an integer variable.
  std::string ExpectVariable(bool string_allowed);

 private:
  const std::vector<Token>& tokens_;
  size_t at_ = 0;
};

}  // namespace emulator::basic
