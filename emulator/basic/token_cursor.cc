#include "emulator/basic/token_cursor.h"

#include "emulator/basic/basic_error.h"
#include "emulator/basic/value.h"

namespace emulator::basic {

bool TokenCursor::Accept(const char* text) {
  if (!Is(text)) return false;
  ++at_;
  return true;
}

void TokenCursor::ExpectSymbol(const char* symbol) {
  if (!Accept(symbol))
    throw BasicError(std::string("'") + symbol + "' expected");
}

void TokenCursor::ExpectWord(const char* word) {
  if (!Accept(word)) throw BasicError(std::string(word) + " expected");
}

void TokenCursor::ExpectEnd() const {
  if (!AtEnd()) throw BasicError("unexpected '" + Peek().text + "'");
}

std::string TokenCursor::ExpectVariable(bool string_allowed) {
  if (AtEnd() || Peek().kind != Token::kWord)
    throw BasicError("variable expected");
  const std::string& name = Take().text;
  if (!string_allowed && IsStringName(name))
    throw BasicError("integer variable expected");
  return name;
}

}  // namespace emulator::basic
