// Runs a parsed program statement by statement; expressions and plug-in
// calls are the evaluator's.
#include <map>
#include <string>
#include <vector>

#include "emulator/basic/basic_error.h"
#include "emulator/basic/basic_program.h"
#include "emulator/basic/expression.h"
#include "emulator/basic/parser.h"
#include "emulator/basic/plugin_call.h"

namespace emulator {
namespace {

using namespace basic;

// Stops a runaway loop in an example instead of hanging the check.
constexpr long kMaxSteps = 10'000'000;

class Interpreter {
 public:
  Interpreter(const LoadedModule& module, std::string& output)
      : module_(module), output_(output), evaluator_(module, variables_) {}

  void Run(const std::vector<Statement>& program) {
    program_ = &program;
    long steps = 0;
    int line = 0;
    for (size_t pc = 0; pc < program.size();) {
      if (++steps > kMaxSteps)
        throw BasicError("the program runs too long", line);
      line = program[pc].line;
      try {
        pc = Step(pc);
      } catch (const BasicError& e) {
        throw BasicError(e.what(), line);
      }
    }
  }

 private:
  struct ForLoop {
    int32_t limit = 0;
    int32_t step = 1;
  };

  static bool Continues(const ForLoop& loop, int32_t value) {
    return loop.step >= 0 ? value <= loop.limit : value >= loop.limit;
  }

  // Runs the statement at `pc`; returns the next one to run.
  size_t Step(size_t pc) {
    const Statement& s = (*program_)[pc];
    TokenCursor cursor(s.tokens);
    const std::string& word =
        s.tokens[0].kind == Token::kWord ? s.tokens[0].text : "";
    if (word == "PRINT") {
      cursor.Take();
      Print(cursor);
    } else if (word == "FOR") {
      if (!StartLoop(pc, cursor)) return s.jump + 1;
    } else if (word == "NEXT") {
      if (NextRound(s.jump)) return s.jump + 1;
    } else if (word == "IF") {
      cursor.Take();
      bool holds = evaluator_.Holds(cursor);
      cursor.Accept("THEN");
      cursor.ExpectEnd();
      if (!holds) return s.jump + (IsBlockIf(s) ? 1 : 0);
    } else if (word == "ELSE" || word == "ENDWHILE") {
      return s.jump;  // the end of the taken IF branch; the loop's head
    } else if (word == "WHILE" || word == "UNTIL") {
      cursor.Take();
      if (!evaluator_.Holds(cursor)) return s.jump + 1;
    } else if (word == "END") {
      return program_->size();
    } else if (word == "WAIT" || word == "REPEAT" || word == "ENDIF") {
      // WAIT KEY waits for nobody here; REPEAT and ENDIF only mark places.
    } else if (const table::CommandRow* row =
                   MatchPluginName(module_.rows(), cursor, false)) {
      evaluator_.CallPluginAt(cursor, *row);
      cursor.ExpectEnd();
    } else {
      Assign(cursor);
    }
    return pc + 1;
  }

  // FOR i = a TO b [STEP c]; false when the loop runs no round at all.
  bool StartLoop(size_t pc, TokenCursor& cursor) {
    cursor.Take();
    std::string name = cursor.ExpectVariable(false);
    cursor.ExpectSymbol("=");
    variables_[name] = Integer(evaluator_.Evaluate(cursor));
    cursor.ExpectWord("TO");
    ForLoop& loop = loops_[pc];
    loop.limit = Integer(evaluator_.Evaluate(cursor)).number;
    loop.step =
        cursor.Accept("STEP") ? Integer(evaluator_.Evaluate(cursor)).number : 1;
    cursor.ExpectEnd();
    return Continues(loop, variables_[name].number);
  }

  // Steps the loop headed at `head`; true when it runs another round.
  bool NextRound(size_t head) {
    const std::string& name = (*program_)[head].tokens[1].text;
    ForLoop& loop = loops_[head];
    int32_t value =
        Wrap(static_cast<int64_t>(variables_[name].number) + loop.step);
    variables_[name].number = value;
    return Continues(loop, value);
  }

  void Assign(TokenCursor& cursor) {
    cursor.Accept("LET");
    std::string name = cursor.ExpectVariable(true);
    cursor.ExpectSymbol("=");
    BasicValue value = evaluator_.Evaluate(cursor);
    if (IsStringName(name) != value.is_string) {
      throw BasicError("type mismatch in assignment to " + name);
    }
    variables_[name] = value;
    cursor.ExpectEnd();
  }

  // PRINT a; b, c — ";" or "," between items, and after the last one
  // keeps the line open.
  void Print(TokenCursor& cursor) {
    bool newline = true;
    while (!cursor.AtEnd()) {
      BasicValue value = evaluator_.Evaluate(cursor);
      output_ += value.is_string ? value.text : std::to_string(value.number);
      newline = !(cursor.Accept(";") || cursor.Accept(","));
      if (newline) break;
    }
    cursor.ExpectEnd();
    if (newline) output_ += '\n';
  }

  const LoadedModule& module_;
  std::string& output_;
  Variables variables_;
  Evaluator evaluator_;
  const std::vector<Statement>* program_ = nullptr;
  std::map<size_t, ForLoop> loops_;
};

}  // namespace

BasicRun RunBasicProgram(const LoadedModule& module,
                         const std::string& source) {
  BasicRun run;
  try {
    std::vector<basic::Statement> program = basic::ParseProgram(source);
    Interpreter(module, run.output).Run(program);
  } catch (const basic::BasicError& e) {
    run.error =
        (e.line() > 0 ? "line " + std::to_string(e.line()) + ": " : "") +
        e.what();
  }
  return run;
}

}  // namespace emulator
