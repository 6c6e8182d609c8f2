#include "emulator/basic/parser.h"

#include <algorithm>
#include <sstream>

#include "emulator/basic/basic_error.h"

namespace emulator::basic {
namespace {

bool Opens(const Statement& s, const char* word) {
  return IsToken(s.tokens, 0, word);
}

// The index of the first token of a one-line IF's body, or 0.
size_t ThenBodyStart(const std::vector<Token>& tokens) {
  if (!IsToken(tokens, 0, "IF")) return 0;
  auto then = std::find_if(tokens.begin(), tokens.end(), [](const Token& t) {
    return t.kind == Token::kWord && t.text == "THEN";
  });
  if (then == tokens.end() || then + 1 == tokens.end()) return 0;
  return then - tokens.begin() + 1;
}

// Appends one line's statements: "IF c THEN s1 : s2" becomes the IF, then
// s1 and s2 as statements of its body.
void AddLine(int number, const std::vector<Token>& tokens,
             std::vector<Statement>& program) {
  size_t then_at = ThenBodyStart(tokens);
  size_t if_index = program.size();
  program.push_back(Statement{number, {}, 0, then_at != 0});
  for (size_t k = 0; k < tokens.size(); ++k) {
    bool separator = tokens[k].kind == Token::kSymbol && tokens[k].text == ":";
    if (separator || (then_at != 0 && k == then_at)) {
      if (!program.back().tokens.empty())
        program.push_back(Statement{number, {}, 0, false});
      if (separator) continue;
    }
    program.back().tokens.push_back(tokens[k]);
  }
  if (program.back().tokens.empty()) program.pop_back();
  if (then_at != 0) program[if_index].jump = program.size();
}

// Pairs every block opener with its closer, in both directions.
void MatchBlocks(std::vector<Statement>& program) {
  std::vector<size_t> open;
  auto expect_open = [&](size_t i, const char* opener,
                         const std::string& closer) {
    if (open.empty() || !Opens(program[open.back()], opener)) {
      throw BasicError(closer + " without " + opener, program[i].line);
    }
  };
  for (size_t i = 0; i < program.size(); ++i) {
    Statement& s = program[i];
    if (Opens(s, "FOR") || Opens(s, "WHILE") || Opens(s, "REPEAT") ||
        IsBlockIf(s)) {
      open.push_back(i);
    } else if (Opens(s, "ELSE")) {
      expect_open(i, "IF", "ELSE");
      program[open.back()].jump = i;
      open.back() = i;  // ELSE now waits for the ENDIF
    } else if (Opens(s, "ENDIF")) {
      if (open.empty() || !(Opens(program[open.back()], "IF") ||
                            Opens(program[open.back()], "ELSE"))) {
        throw BasicError("ENDIF without IF", s.line);
      }
      program[open.back()].jump = i;
      open.pop_back();
    } else if (Opens(s, "NEXT") || Opens(s, "ENDWHILE") || Opens(s, "UNTIL")) {
      const char* opener = Opens(s, "NEXT")    ? "FOR"
                           : Opens(s, "UNTIL") ? "REPEAT"
                                               : "WHILE";
      expect_open(i, opener, s.tokens[0].text);
      program[open.back()].jump = i;
      s.jump = open.back();
      open.pop_back();
    }
  }
  if (!open.empty()) {
    const Statement& unclosed = program[open.back()];
    throw BasicError(unclosed.tokens[0].text + " is never closed",
                     unclosed.line);
  }
}

}  // namespace

std::vector<Statement> ParseProgram(const std::string& source) {
  std::vector<Statement> program;
  std::istringstream lines(source);
  bool in_remark_block = false;
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    std::vector<Token> tokens = Tokenize(line, ++number);
    if (!tokens.empty() && tokens[0].kind == Token::kWord) {
      if (tokens[0].text == "REMSTART") in_remark_block = true;
      if (tokens[0].text == "REMEND") {
        in_remark_block = false;
        continue;
      }
    }
    if (!in_remark_block) AddLine(number, tokens, program);
  }
  MatchBlocks(program);
  return program;
}

bool IsBlockIf(const Statement& statement) {
  return Opens(statement, "IF") && !statement.has_then_body;
}

}  // namespace emulator::basic
