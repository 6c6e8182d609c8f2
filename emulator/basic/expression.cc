#include "emulator/basic/expression.h"

#include <cstdlib>
#include <vector>

#include "emulator/basic/basic_error.h"
#include "emulator/basic/plugin_call.h"

namespace emulator::basic {
namespace {

BasicValue Compare(const BasicValue& left, const std::string& op,
                   const BasicValue& right) {
  if (left.is_string != right.is_string)
    throw BasicError("type mismatch in comparison");
  int order = left.is_string
                  ? left.text.compare(right.text)
                  : (left.number > right.number) - (left.number < right.number);
  if (op == "=") return Truth(order == 0);
  if (op == "<>") return Truth(order != 0);
  if (op == "<=") return Truth(order <= 0);
  if (op == ">=") return Truth(order >= 0);
  if (op == "<") return Truth(order < 0);
  return Truth(order > 0);
}

BasicValue NumberLiteral(const std::string& digits) {
  int64_t n = std::stoll(digits.substr(0, 11));
  if (digits.size() > 10 || n > INT32_MAX + 1LL)
    throw BasicError("number too large");
  return Number(Wrap(n));
}

}  // namespace

BasicValue Evaluator::Evaluate(TokenCursor& cursor) const {
  BasicValue left = Conjunction(cursor);
  while (cursor.Accept("OR")) {
    BasicValue right = Conjunction(cursor);
    left = Truth(Integer(left).number != 0 || Integer(right).number != 0);
  }
  return left;
}

BasicValue Evaluator::Conjunction(TokenCursor& cursor) const {
  BasicValue left = Negation(cursor);
  while (cursor.Accept("AND")) {
    BasicValue right = Negation(cursor);
    left = Truth(Integer(left).number != 0 && Integer(right).number != 0);
  }
  return left;
}

BasicValue Evaluator::Negation(TokenCursor& cursor) const {
  if (cursor.Accept("NOT")) return Truth(Integer(Negation(cursor)).number == 0);
  return Comparison(cursor);
}

BasicValue Evaluator::Comparison(TokenCursor& cursor) const {
  BasicValue left = Sum(cursor);
  static const char* const kOperators[] = {"=", "<>", "<=", ">=", "<", ">"};
  for (const char* op : kOperators) {
    if (!cursor.Is(op) || cursor.Peek().kind != Token::kSymbol) continue;
    cursor.Take();
    return Compare(left, op, Sum(cursor));
  }
  return left;
}

BasicValue Evaluator::Sum(TokenCursor& cursor) const {
  BasicValue left = Product(cursor);
  while (cursor.Is("+") || cursor.Is("-")) {
    bool plus = cursor.Take().text == "+";
    BasicValue right = Product(cursor);
    if (plus && left.is_string && right.is_string) {
      left.text += right.text;
      continue;
    }
    int64_t r = Integer(right).number;
    left.number = Wrap(Integer(left).number + (plus ? r : -r));
  }
  return left;
}

BasicValue Evaluator::Product(TokenCursor& cursor) const {
  BasicValue left = Unary(cursor);
  while (cursor.Is("*") || cursor.Is("/") || cursor.Is("MOD")) {
    std::string op = cursor.Take().text;
    int64_t l = Integer(left).number, r = Integer(Unary(cursor)).number;
    if (op != "*" && r == 0) throw BasicError("division by zero");
    left.number = Wrap(op == "*" ? l * r : op == "/" ? l / r : l % r);
  }
  return left;
}

BasicValue Evaluator::Unary(TokenCursor& cursor) const {
  if (!cursor.Accept("-")) return Primary(cursor);
  BasicValue value = Integer(Unary(cursor));
  value.number = Wrap(-static_cast<int64_t>(value.number));
  return value;
}

BasicValue Evaluator::Primary(TokenCursor& cursor) const {
  if (cursor.AtEnd()) throw BasicError("expression expected");
  const Token& token = cursor.Peek();
  if (token.kind == Token::kString) return Text(cursor.Take().text);
  if (token.kind == Token::kNumber) return NumberLiteral(cursor.Take().text);
  if (cursor.Accept("(")) {
    BasicValue value = Evaluate(cursor);
    cursor.ExpectSymbol(")");
    return value;
  }
  if (const table::CommandRow* row =
          MatchPluginName(module_.rows(), cursor, true)) {
    return CallPluginAt(cursor, *row);
  }
  if (token.kind == Token::kWord && cursor.Is("(", 1))
    return CallBuiltIn(cursor);
  std::string name = cursor.ExpectVariable(true);
  auto found = variables_.find(name);
  if (found != variables_.end()) return found->second;
  return IsStringName(name) ? Text("") : Number(0);
}

// STR$, CHR$, LEN, ASC and VAL, each of one argument.
BasicValue Evaluator::CallBuiltIn(TokenCursor& cursor) const {
  std::string name = cursor.Take().text;
  cursor.Take();  // "("
  BasicValue arg = Evaluate(cursor);
  cursor.ExpectSymbol(")");
  if (name == "STR$") return Text(std::to_string(Integer(arg).number));
  if (name == "CHR$")
    return Text(std::string(1, static_cast<char>(Integer(arg).number)));
  const std::string& text = String(arg).text;
  if (name == "LEN") return Number(static_cast<int32_t>(text.size()));
  if (name == "ASC")
    return Number(text.empty() ? 0 : static_cast<unsigned char>(text[0]));
  if (name == "VAL")
    return Number(static_cast<int32_t>(std::strtol(text.c_str(), nullptr, 10)));
  throw BasicError("unknown function " + name);
}

BasicValue Evaluator::CallPluginAt(TokenCursor& cursor,
                                   const table::CommandRow& named) const {
  std::vector<BasicValue> args;
  bool parenthesised = named.is_function;
  if (parenthesised) cursor.ExpectSymbol("(");
  bool more = parenthesised ? !cursor.Is(")") : !cursor.AtEnd();
  while (more) {
    args.push_back(Evaluate(cursor));
    more = cursor.Accept(",");
  }
  if (parenthesised) cursor.ExpectSymbol(")");
  return CallPlugin(module_, named, args);
}

}  // namespace emulator::basic
