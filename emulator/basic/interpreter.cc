#include "emulator/basic/basic_program.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "emulator/audited_call.h"
#include "table/command_table.h"

namespace emulator {
namespace {

// Plug-in names have at most this many words ("GET SPLIT WORD POS").
constexpr size_t kMaxNameWords = 4;
// Stops a runaway loop in an example instead of hanging the check.
constexpr long kMaxSteps = 10'000'000;

struct Token {
  enum Kind { kWord, kString, kNumber, kSymbol } kind;
  std::string text;  // words upper-cased; strings without their quotes
};

struct Statement {
  int line = 0;
  std::vector<Token> tokens;
  size_t jump = 0;  // the matching statement of a block, or the end of a THEN body
  bool has_then_body = false;  // a one-line IF, its body the next statement
};

struct BasicValue {
  bool is_string = false;
  std::string text;
  int32_t number = 0;
};

class BasicError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool IsWordStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// One source line as tokens; comments end it.
std::vector<Token> Tokenize(const std::string& line) {
  std::vector<Token> tokens;
  for (size_t at = 0; at < line.size();) {
    char c = line[at];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++at;
    } else if (c == '`') {
      break;
    } else if (c == '"') {
      size_t close = line.find('"', at + 1);
      if (close == std::string::npos) throw BasicError("unterminated string");
      tokens.push_back({Token::kString, line.substr(at + 1, close - at - 1)});
      at = close + 1;
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      size_t end = at;
      while (end < line.size() && std::isdigit(static_cast<unsigned char>(line[end]))) ++end;
      tokens.push_back({Token::kNumber, line.substr(at, end - at)});
      at = end;
    } else if (IsWordStart(c)) {
      size_t end = at;
      while (end < line.size() && IsWordChar(line[end])) ++end;
      if (end < line.size() && line[end] == '$') ++end;
      std::string word = Upper(line.substr(at, end - at));
      // REM comments out the rest of its line.
      if (word == "REM" && (tokens.empty() || tokens.back().text == ":")) break;
      tokens.push_back({Token::kWord, word});
      at = end;
    } else {
      static const char* const kPairs[] = {"<>", "<=", ">="};
      std::string symbol(1, c);
      for (const char* pair : kPairs) {
        if (line.compare(at, 2, pair) == 0) symbol = pair;
      }
      if (std::string("+-*/()=<>,;:").find(c) == std::string::npos) {
        throw BasicError(std::string("unexpected character '") + c + "'");
      }
      tokens.push_back({Token::kSymbol, symbol});
      at += symbol.size();
    }
  }
  return tokens;
}

bool Is(const std::vector<Token>& tokens, size_t at, const char* text) {
  return at < tokens.size() && tokens[at].kind != Token::kString && tokens[at].text == text;
}

class Interpreter {
 public:
  explicit Interpreter(const LoadedModule& module) : module_(module) {}

  BasicRun Run(const std::string& source) {
    BasicRun run;
    try {
      Parse(source);
      MatchBlocks();
      Execute();
    } catch (const BasicError& e) {
      run.error = (line_ > 0 ? "line " + std::to_string(line_) + ": " : "") + e.what();
    }
    run.output = output_;
    return run;
  }

 private:
  // ---- program text -----------------------------------------------------

  // Splits lines into statements at ":"; a one-line IF keeps everything after
  // its THEN as the statements of its body.
  void Parse(const std::string& source) {
    std::istringstream lines(source);
    bool in_remark_block = false;
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
      line_ = ++number;
      std::vector<Token> tokens = Tokenize(line);
      if (!tokens.empty() && tokens[0].kind == Token::kWord) {
        if (tokens[0].text == "REMSTART") in_remark_block = true;
        if (tokens[0].text == "REMEND") {
          in_remark_block = false;
          continue;
        }
      }
      if (in_remark_block) continue;
      // "IF c THEN s1 : s2": the IF, then s1 and s2 as statements of its body.
      size_t then_at = 0;
      if (Is(tokens, 0, "IF")) {
        auto then = std::find_if(tokens.begin(), tokens.end(), [](const Token& t) {
          return t.kind == Token::kWord && t.text == "THEN";
        });
        if (then != tokens.end() && then + 1 != tokens.end()) then_at = then - tokens.begin() + 1;
      }
      size_t if_index = program_.size();
      program_.push_back(Statement{number, {}, 0, then_at != 0});
      for (size_t k = 0; k < tokens.size(); ++k) {
        bool separator = tokens[k].kind == Token::kSymbol && tokens[k].text == ":";
        if (separator || (then_at != 0 && k == then_at)) {
          if (!program_.back().tokens.empty()) program_.push_back(Statement{number, {}, 0, false});
          if (separator) continue;
        }
        program_.back().tokens.push_back(tokens[k]);
      }
      if (program_.back().tokens.empty()) program_.pop_back();
      if (then_at != 0) program_[if_index].jump = program_.size();
    }
    line_ = 0;
  }

  static bool IsBlockIf(const Statement& s) { return Is(s.tokens, 0, "IF") && !s.has_then_body; }

  // Pairs every block opener with its closer, in both directions.
  void MatchBlocks() {
    std::vector<size_t> open;
    auto expect_open = [&](size_t i, const char* opener, const char* closer) {
      line_ = program_[i].line;
      if (open.empty() || !Is(program_[open.back()].tokens, 0, opener)) {
        throw BasicError(std::string(closer) + " without " + opener);
      }
    };
    for (size_t i = 0; i < program_.size(); ++i) {
      const std::vector<Token>& t = program_[i].tokens;
      if (Is(t, 0, "FOR") || Is(t, 0, "WHILE") || Is(t, 0, "REPEAT") || IsBlockIf(program_[i])) {
        open.push_back(i);
      } else if (Is(t, 0, "ELSE")) {
        expect_open(i, "IF", "ELSE");
        program_[open.back()].jump = i;
        open.back() = i;  // ELSE now waits for the ENDIF
      } else if (Is(t, 0, "ENDIF")) {
        if (open.empty() || !(Is(program_[open.back()].tokens, 0, "IF") ||
                              Is(program_[open.back()].tokens, 0, "ELSE"))) {
          line_ = program_[i].line;
          throw BasicError("ENDIF without IF");
        }
        program_[open.back()].jump = i;
        open.pop_back();
      } else if (Is(t, 0, "NEXT") || Is(t, 0, "ENDWHILE") || Is(t, 0, "UNTIL")) {
        const char* opener = Is(t, 0, "NEXT") ? "FOR" : Is(t, 0, "UNTIL") ? "REPEAT" : "WHILE";
        expect_open(i, opener, t[0].text.c_str());
        program_[open.back()].jump = i;
        program_[i].jump = open.back();
        open.pop_back();
      }
    }
    if (!open.empty()) {
      line_ = program_[open.back()].line;
      throw BasicError(program_[open.back()].tokens[0].text + " is never closed");
    }
    line_ = 0;
  }

  // ---- execution --------------------------------------------------------

  void Execute() {
    long steps = 0;
    for (size_t pc = 0; pc < program_.size();) {
      if (++steps > kMaxSteps) throw BasicError("the program runs too long");
      const Statement& s = program_[pc];
      line_ = s.line;
      tokens_ = &s.tokens;
      at_ = 0;
      pc = Step(pc);
    }
  }

  // Runs the statement at `pc`; returns the next one to run.
  size_t Step(size_t pc) {
    const Statement& s = program_[pc];
    const std::string& word = s.tokens[0].kind == Token::kWord ? s.tokens[0].text : "";
    if (word == "PRINT") {
      ++at_;
      Print();
    } else if (word == "FOR") {
      ++at_;
      std::string name = ExpectVariable(false);
      ExpectSymbol("=");
      variables_[name] = Integer(Expression());
      ExpectWord("TO");
      ForLoop& loop = loops_[pc];
      loop.limit = Integer(Expression()).number;
      loop.step = 1;
      if (Is(*tokens_, at_, "STEP")) {
        ++at_;
        loop.step = Integer(Expression()).number;
      }
      ExpectEnd();
      if (!Continues(loop, variables_[name].number)) return s.jump + 1;
    } else if (word == "NEXT") {
      size_t head = s.jump;
      const std::string& name = program_[head].tokens[1].text;
      ForLoop& loop = loops_[head];
      int32_t value = Wrap(static_cast<int64_t>(variables_[name].number) + loop.step);
      variables_[name].number = value;
      if (Continues(loop, value)) return head + 1;
    } else if (word == "IF") {
      ++at_;
      bool holds = Condition();
      if (Is(*tokens_, at_, "THEN")) ++at_;
      ExpectEnd();
      if (!holds) return s.jump + (IsBlockIf(s) ? 1 : 0);
    } else if (word == "ELSE") {
      return s.jump;  // the end of the taken IF branch
    } else if (word == "WHILE") {
      ++at_;
      if (!Condition()) return s.jump + 1;
    } else if (word == "ENDWHILE") {
      return s.jump;
    } else if (word == "UNTIL") {
      ++at_;
      if (!Condition()) return s.jump + 1;
    } else if (word == "END") {
      return program_.size();
    } else if (word == "WAIT" || word == "REPEAT" || word == "ENDIF") {
      // WAIT KEY waits for nobody here; REPEAT and ENDIF only mark places.
    } else if (const table::CommandRow* row = MatchName(false)) {
      CallPlugin(*row);
      ExpectEnd();
    } else {
      if (word == "LET") ++at_;
      std::string name = ExpectVariable(true);
      ExpectSymbol("=");
      BasicValue value = Expression();
      if (IsStringName(name) != value.is_string) throw BasicError("type mismatch in assignment to " + name);
      variables_[name] = value;
      ExpectEnd();
    }
    return pc + 1;
  }

  struct ForLoop {
    int32_t limit = 0;
    int32_t step = 1;
  };

  static bool Continues(const ForLoop& loop, int32_t value) {
    return loop.step >= 0 ? value <= loop.limit : value >= loop.limit;
  }

  void Print() {
    bool newline = true;
    while (at_ < tokens_->size()) {
      BasicValue value = Expression();
      output_ += value.is_string ? value.text : std::to_string(value.number);
      newline = true;
      if (Is(*tokens_, at_, ";") || Is(*tokens_, at_, ",")) {
        ++at_;
        newline = false;
      } else {
        break;
      }
    }
    ExpectEnd();
    if (newline) output_ += '\n';
  }

  // ---- expressions ------------------------------------------------------

  BasicValue Expression() {
    BasicValue left = Conjunction();
    while (Is(*tokens_, at_, "OR")) {
      ++at_;
      BasicValue right = Conjunction();
      left = Truth(Integer(left).number != 0 || Integer(right).number != 0);
    }
    return left;
  }

  BasicValue Conjunction() {
    BasicValue left = Negation();
    while (Is(*tokens_, at_, "AND")) {
      ++at_;
      BasicValue right = Negation();
      left = Truth(Integer(left).number != 0 && Integer(right).number != 0);
    }
    return left;
  }

  BasicValue Negation() {
    if (Is(*tokens_, at_, "NOT")) {
      ++at_;
      return Truth(Integer(Negation()).number == 0);
    }
    return Comparison();
  }

  BasicValue Comparison() {
    BasicValue left = Sum();
    static const char* const kOperators[] = {"=", "<>", "<=", ">=", "<", ">"};
    for (const char* op : kOperators) {
      if (!Is(*tokens_, at_, op) || (*tokens_)[at_].kind != Token::kSymbol) continue;
      ++at_;
      BasicValue right = Sum();
      if (left.is_string != right.is_string) throw BasicError("type mismatch in comparison");
      int order = left.is_string ? left.text.compare(right.text)
                                 : (left.number > right.number) - (left.number < right.number);
      std::string o = op;
      bool holds = o == "=" ? order == 0 : o == "<>" ? order != 0 : o == "<=" ? order <= 0
                 : o == ">=" ? order >= 0 : o == "<" ? order < 0 : order > 0;
      return Truth(holds);
    }
    return left;
  }

  BasicValue Sum() {
    BasicValue left = Product();
    while (Is(*tokens_, at_, "+") || Is(*tokens_, at_, "-")) {
      bool plus = (*tokens_)[at_++].text == "+";
      BasicValue right = Product();
      if (plus && left.is_string && right.is_string) {
        left.text += right.text;
        continue;
      }
      int64_t r = Integer(right).number;
      left.number = Wrap(Integer(left).number + (plus ? r : -r));
    }
    return left;
  }

  BasicValue Product() {
    BasicValue left = Unary();
    while (Is(*tokens_, at_, "*") || Is(*tokens_, at_, "/") || Is(*tokens_, at_, "MOD")) {
      std::string op = (*tokens_)[at_++].text;
      int64_t l = Integer(left).number, r = Integer(Unary()).number;
      if (op != "*" && r == 0) throw BasicError("division by zero");
      left.number = Wrap(op == "*" ? l * r : op == "/" ? l / r : l % r);
    }
    return left;
  }

  BasicValue Unary() {
    if (Is(*tokens_, at_, "-")) {
      ++at_;
      BasicValue value = Integer(Unary());
      value.number = Wrap(-static_cast<int64_t>(value.number));
      return value;
    }
    return Primary();
  }

  BasicValue Primary() {
    if (at_ >= tokens_->size()) throw BasicError("expression expected");
    const Token& token = (*tokens_)[at_];
    if (token.kind == Token::kString) {
      ++at_;
      return Text(token.text);
    }
    if (token.kind == Token::kNumber) {
      ++at_;
      int64_t n = std::stoll(token.text.substr(0, 11));
      if (token.text.size() > 10 || n > INT32_MAX + 1LL) throw BasicError("number too large");
      return Number(static_cast<int32_t>(static_cast<uint32_t>(n)));
    }
    if (Is(*tokens_, at_, "(")) {
      ++at_;
      BasicValue value = Expression();
      ExpectSymbol(")");
      return value;
    }
    if (const table::CommandRow* row = MatchName(true)) return CallPlugin(*row);
    if (token.kind == Token::kWord && Is(*tokens_, at_ + 1, "(")) return CallBuiltIn(token.text);
    std::string name = ExpectVariable(true);
    auto found = variables_.find(name);
    if (found != variables_.end()) return found->second;
    return IsStringName(name) ? Text("") : Number(0);
  }

  BasicValue CallBuiltIn(const std::string& name) {
    at_ += 2;
    BasicValue arg = Expression();
    ExpectSymbol(")");
    if (name == "STR$") return Text(std::to_string(Integer(arg).number));
    if (name == "CHR$") return Text(std::string(1, static_cast<char>(Integer(arg).number)));
    const std::string& text = String(arg).text;
    if (name == "LEN") return Number(static_cast<int32_t>(text.size()));
    if (name == "ASC") return Number(text.empty() ? 0 : static_cast<unsigned char>(text[0]));
    if (name == "VAL") return Number(static_cast<int32_t>(std::strtol(text.c_str(), nullptr, 10)));
    throw BasicError("unknown function " + name);
  }

  // The longest plug-in name that the words at the cursor spell, for a
  // function (followed by "(") or a command; the cursor moves past it.
  const table::CommandRow* MatchName(bool function) {
    std::string name;
    const table::CommandRow* best = nullptr;
    size_t best_end = 0;
    for (size_t i = at_; i < tokens_->size() && i < at_ + kMaxNameWords; ++i) {
      if ((*tokens_)[i].kind != Token::kWord) break;
      name += (name.empty() ? "" : " ") + (*tokens_)[i].text;
      if (function && !Is(*tokens_, i + 1, "(")) continue;
      for (const table::CommandRow& row : module_.rows()) {
        if (row.name == name && row.is_function == function) {
          best = &row;
          best_end = i + 1;
        }
      }
    }
    if (best != nullptr) at_ = best_end;
    return best;
  }

  // Calls the form of the row's name that takes the arguments at the cursor.
  BasicValue CallPlugin(const table::CommandRow& named) {
    std::vector<BasicValue> args;
    bool parenthesised = named.is_function;
    if (parenthesised) ExpectSymbol("(");
    bool more = parenthesised ? !Is(*tokens_, at_, ")") : at_ < tokens_->size();
    while (more) {
      args.push_back(Expression());
      more = Is(*tokens_, at_, ",");
      if (more) ++at_;
    }
    if (parenthesised) ExpectSymbol(")");
    const table::CommandRow* row = table::FindRow(module_.rows(), named.name, args.size());
    if (row == nullptr) {
      throw BasicError(named.name + " has no form with " + std::to_string(args.size()) + " parameters");
    }
    std::vector<Value> values;
    for (size_t i = 0; i < args.size(); ++i) {
      bool wants_string = row->param_types[i] == 'S';
      if (args[i].is_string != wants_string) {
        throw BasicError("parameter " + std::to_string(i + 1) + " of " + row->name + " must be " +
                         (wants_string ? "a string" : "an integer"));
      }
      Value value;
      // The runtime keeps an empty string as a null address.
      if (args[i].is_string && !args[i].text.empty()) {
        value.kind = Value::kString;
        value.text = args[i].text;
      } else if (!args[i].is_string) {
        value.kind = Value::kInteger;
        value.integer = args[i].number;
      }
      values.push_back(value);
    }
    CallOutcome outcome = RunAudited(module_, *row, values, true);
    if (!outcome.violations.empty()) {
      throw BasicError(row->name + " broke a host rule: " + outcome.violations[0]);
    }
    if (outcome.error != 0) {
      throw BasicError("run-time error " + std::to_string(outcome.error) + " in " + row->name);
    }
    if (row->returns_string()) return Text(outcome.is_null ? "" : outcome.text);
    return Number(outcome.integer);
  }

  // ---- small steps ------------------------------------------------------

  static BasicValue Text(std::string text) {
    BasicValue v;
    v.is_string = true;
    v.text = std::move(text);
    return v;
  }
  static BasicValue Number(int32_t n) {
    BasicValue v;
    v.number = n;
    return v;
  }
  static BasicValue Truth(bool holds) { return Number(holds ? 1 : 0); }
  // Integer arithmetic wraps at 32 bits, as the runtime's does.
  static int32_t Wrap(int64_t n) { return static_cast<int32_t>(static_cast<uint32_t>(n)); }
  static bool IsStringName(const std::string& name) { return name.back() == '$'; }

  static const BasicValue& Integer(const BasicValue& v) {
    if (v.is_string) throw BasicError("an integer is needed here, not a string");
    return v;
  }
  static const BasicValue& String(const BasicValue& v) {
    if (!v.is_string) throw BasicError("a string is needed here, not an integer");
    return v;
  }
  bool Condition() { return Integer(Expression()).number != 0; }

  std::string ExpectVariable(bool string_allowed) {
    if (at_ >= tokens_->size() || (*tokens_)[at_].kind != Token::kWord) {
      throw BasicError("variable expected");
    }
    const std::string& name = (*tokens_)[at_++].text;
    if (!string_allowed && IsStringName(name)) throw BasicError("integer variable expected");
    return name;
  }
  void ExpectSymbol(const char* symbol) {
    if (!Is(*tokens_, at_, symbol)) throw BasicError(std::string("'") + symbol + "' expected");
    ++at_;
  }
  void ExpectWord(const char* word) {
    if (!Is(*tokens_, at_, word)) throw BasicError(std::string(word) + " expected");
    ++at_;
  }
  void ExpectEnd() {
    if (at_ < tokens_->size()) throw BasicError("unexpected '" + (*tokens_)[at_].text + "'");
  }

  const LoadedModule& module_;
  std::vector<Statement> program_;
  std::map<std::string, BasicValue> variables_;
  std::map<size_t, ForLoop> loops_;
  std::string output_;
  const std::vector<Token>* tokens_ = nullptr;
  size_t at_ = 0;
  int line_ = 0;
};

}  // namespace

BasicRun RunBasicProgram(const LoadedModule& module, const std::string& source) {
  return Interpreter(module).Run(source);
}

}  // namespace emulator
