#include "tests/real_runtime/print_to_file.h"

#include <cctype>
#include <sstream>
#include <string>
#include <vector>

#include "emulator/basic/basic_error.h"
#include "emulator/basic/lexer.h"

namespace real_runtime {
namespace {

using emulator::basic::BasicError;
using emulator::basic::Token;
using Tokens = std::vector<Token>;

constexpr char kLine[] = "PRINTED_LINE$";

bool IsSymbol(const Token& t, const char* text) {
  return t.kind == Token::kSymbol && t.text == text;
}
bool IsWord(const Token& t, const char* text) {
  return t.kind == Token::kWord && t.text == text;
}

// Whether `line` begins with `word` (upper case), in any case, after spaces.
bool StartsWithWord(const std::string& line, const std::string& word) {
  size_t at = line.find_first_not_of(" \t");
  if (at == std::string::npos || line.size() - at < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(line[at + i])) != word[i])
      return false;
  }
  return true;
}

// Where a token ends in its line: a string token lost its two quotes.
size_t EndOf(const Token& t) {
  return t.at + t.text.size() + (t.kind == Token::kString ? 2 : 0);
}

// The index of the ")" that closes the "(" at `open`, or `end`.
size_t CloserOf(const Tokens& t, size_t open, size_t end) {
  int depth = 0;
  for (size_t i = open; i < end; ++i) {
    if (IsSymbol(t[i], "(")) ++depth;
    if (IsSymbol(t[i], ")") && --depth == 0) return i;
  }
  return end;
}

// Whether the expression t[begin, end) gives a string. A comparison or a
// logical operator outside parentheses gives an integer; otherwise the first
// operand decides, as the runtime's "+" takes both operands of one type: a
// string literal, a name ending in "$" (the last word of a plug-in's
// several-word name, GET SPLIT WORD$), or a parenthesised string.
bool GivesString(const Tokens& t, size_t begin, size_t end) {
  if (begin >= end) return false;
  int depth = 0;
  for (size_t i = begin; i < end; ++i) {
    if (IsSymbol(t[i], "(")) ++depth;
    if (IsSymbol(t[i], ")")) --depth;
    if (depth != 0) continue;
    for (const char* op : {"=", "<>", "<", ">", "<=", ">="})
      if (IsSymbol(t[i], op)) return false;
    for (const char* op : {"AND", "OR", "NOT"})
      if (IsWord(t[i], op)) return false;
  }
  const Token& first = t[begin];
  if (first.kind == Token::kString) return true;
  if (IsSymbol(first, "("))
    return GivesString(t, begin + 1, CloserOf(t, begin, end));
  if (first.kind != Token::kWord) return false;
  size_t last = begin;
  while (last + 1 < end && t[last + 1].kind == Token::kWord) ++last;
  return t[last].text.back() == '$';
}

// The statement that replaces PRINT t[begin, end) of `line`.
std::string WritePrint(const std::string& line, const Tokens& t, size_t begin,
                       size_t end, int number) {
  std::string joined = kLine;
  bool ends_line = true;
  for (size_t item = begin + 1; item < end;) {
    size_t next = item;
    int depth = 0;
    for (; next < end; ++next) {
      if (IsSymbol(t[next], "(")) ++depth;
      if (IsSymbol(t[next], ")")) --depth;
      if (depth == 0 && (IsSymbol(t[next], ";") || IsSymbol(t[next], ",")))
        break;
    }
    if (next == item) throw BasicError("PRINT with an empty item", number);
    std::string text = line.substr(t[item].at, EndOf(t[next - 1]) - t[item].at);
    joined +=
        " + " + (GivesString(t, item, next) ? text : "STR$(" + text + ")");
    ends_line = next == end;
    item = next + 1;
  }
  if (!ends_line) return std::string(kLine) + " = " + joined;
  return "WRITE STRING 1, " + joined + " : " + kLine + " = \"\"";
}

// One line, its tokens `t`, with its PRINT, END and WAIT KEY statements
// replaced.
std::string RewriteLine(const std::string& line, const Tokens& t, int number) {
  for (const Token& token : t) {
    if (IsWord(token, kLine))
      throw BasicError(std::string("the program uses ") + kLine, number);
  }
  struct Edit {
    size_t from, to;
    std::string text;
  };
  std::vector<Edit> edits;
  for (size_t k = 0; k < t.size(); ++k) {
    bool starts = k == 0 || IsSymbol(t[k - 1], ":") ||
                  IsWord(t[k - 1], "THEN") || IsWord(t[k - 1], "ELSE");
    if (!starts) continue;
    if (IsWord(t[k], "PRINT")) {
      size_t end = k + 1;
      while (end < t.size() && !IsSymbol(t[end], ":")) ++end;
      edits.push_back(
          {t[k].at, EndOf(t[end - 1]), WritePrint(line, t, k, end, number)});
      k = end - 1;
    } else if (IsWord(t[k], "END")) {
      edits.push_back({t[k].at, EndOf(t[k]), "CLOSE FILE 1 : END"});
    } else if (IsWord(t[k], "WAIT") && k + 1 < t.size() &&
               IsWord(t[k + 1], "KEY")) {
      edits.push_back({t[k].at, EndOf(t[k + 1]), "WAIT 0"});
    }
  }
  std::string out = line;
  for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit)
    out.replace(edit->from, edit->to - edit->from, edit->text);
  return out;
}

}  // namespace

std::string PrintToFile(const std::string& source,
                        const std::string& file_name) {
  // The file opens on the first line, which keeps every line's number.
  std::string out = "OPEN TO WRITE 1, \"" + file_name + "\"";
  std::istringstream lines(source);
  bool in_remark_block = false;
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (++number == 1 && line.find_first_not_of(" \t") != std::string::npos)
      out += " : ";
    Tokens t;
    if (!in_remark_block) {
      t = emulator::basic::Tokenize(line, number);
      in_remark_block = !t.empty() && IsWord(t[0], "REMSTART");
    }
    if (in_remark_block) {
      // Remarks are not read, as the runtime's compiler does not read them.
      out += line;
      in_remark_block = !StartsWithWord(line, "REMEND");
    } else {
      out += RewriteLine(line, t, number);
    }
    out += "\r\n";
  }
  return out + "CLOSE FILE 1\r\n";
}

}  // namespace real_runtime
