#include "emulator/basic/lexer.h"

#include <cctype>

#include "emulator/basic/basic_error.h"

namespace emulator::basic {
namespace {

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)); }
bool IsWordStart(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::string Upper(std::string s) {
  for (char& c : s)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// The symbol at `at`: a two-character comparison or one character.
std::string Symbol(const std::string& line, size_t at) {
  static const char* const kPairs[] = {"<>", "<=", ">="};
  for (const char* pair : kPairs) {
    if (line.compare(at, 2, pair) == 0) return pair;
  }
  return std::string(1, line[at]);
}

}  // namespace

std::vector<Token> Tokenize(const std::string& line, int line_number) {
  std::vector<Token> tokens;
  for (size_t at = 0; at < line.size();) {
    char c = line[at];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++at;
    } else if (c == '`') {
      break;
    } else if (c == '"') {
      size_t close = line.find('"', at + 1);
      if (close == std::string::npos)
        throw BasicError("unterminated string", line_number);
      tokens.push_back(
          {Token::kString, line.substr(at + 1, close - at - 1), at});
      at = close + 1;
    } else if (IsDigit(c)) {
      size_t end = at;
      while (end < line.size() && IsDigit(line[end])) ++end;
      tokens.push_back({Token::kNumber, line.substr(at, end - at), at});
      at = end;
    } else if (IsWordStart(c)) {
      size_t end = at;
      while (end < line.size() && IsWordChar(line[end])) ++end;
      if (end < line.size() && line[end] == '$') ++end;
      std::string word = Upper(line.substr(at, end - at));
      // REM comments out the rest of its line.
      if (word == "REM" && (tokens.empty() || tokens.back().text == ":")) break;
      tokens.push_back({Token::kWord, word, at});
      at = end;
    } else {
      if (std::string("+-*/()=<>,;:").find(c) == std::string::npos) {
        throw BasicError(std::string("unexpected character '") + c + "'",
                         line_number);
      }
      tokens.push_back({Token::kSymbol, Symbol(line, at), at});
      at += tokens.back().text.size();
    }
  }
  return tokens;
}

bool IsToken(const std::vector<Token>& tokens, size_t at, const char* text) {
  return at < tokens.size() && tokens[at].kind != Token::kString &&
         tokens[at].text == text;
}

}  // namespace emulator::basic
