#include "emulator/case_file.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "text/trim.h"

namespace emulator {
namespace {

class LineParser {
 public:
  explicit LineParser(const std::string& line) : line_(line) {}

  Call Parse() {
    Call call;
    size_t open = line_.find('(');
    if (open == std::string::npos) Error("no '('");
    call.name = text::TrimWhiteSpace(line_.substr(0, open));
    at_ = open + 1;
    SkipSpace();
    if (Peek() != ')') {
      for (;;) {
        call.arguments.push_back(ParseValue());
        SkipSpace();
        if (Peek() == ',') {
          ++at_;
          continue;
        }
        break;
      }
    }
    Expect(')');
    call.call_text = text::TrimWhiteSpace(line_.substr(0, at_));
    SkipSpace();
    if (Peek() == '=') {
      ++at_;
      if (Peek() == '~') {
        ++at_;
        call.expected_is_pattern = true;
      }
      call.expected = ParseValue();
      SkipSpace();
    }
    if (Peek() == '!') {
      ++at_;
      call.expected_error = static_cast<int>(ParseValue().integer);
      SkipSpace();
    }
    if (at_ != line_.size()) Error("unexpected text");
    return call;
  }

 private:
  [[noreturn]] void Error(const std::string& what) {
    throw std::runtime_error(what + " at column " + std::to_string(at_ + 1));
  }
  char Peek() const { return at_ < line_.size() ? line_[at_] : '\0'; }
  void SkipSpace() {
    while (at_ < line_.size() &&
           std::isspace(static_cast<unsigned char>(line_[at_])))
      ++at_;
  }
  void Expect(char c) {
    SkipSpace();
    if (Peek() != c) Error(std::string("expected '") + c + "'");
    ++at_;
  }
  Value ParseValue() {
    SkipSpace();
    Value value;
    if (line_.compare(at_, 4, "null") == 0) {
      at_ += 4;
      return value;
    }
    if (Peek() == '"') {
      value.kind = Value::kString;
      value.text = ParseString();
      SkipSpace();
      if (Peek() == '*') {
        ++at_;
        long long times = ParseInteger();
        std::string unit = value.text;
        value.text.clear();
        for (long long i = 0; i < times; ++i) value.text += unit;
      }
      return value;
    }
    value.kind = Value::kInteger;
    value.integer = ParseInteger();
    return value;
  }

  long long ParseInteger() {
    SkipSpace();
    size_t used = 0;
    long long n = 0;
    try {
      n = std::stoll(line_.substr(at_), &used);
    } catch (const std::exception&) {
      Error("expected a value");
    }
    at_ += used;
    return n;
  }

  std::string ParseString() {
    std::string out;
    ++at_;  // opening quote
    for (;;) {
      if (at_ >= line_.size()) Error("unterminated string");
      char c = line_[at_++];
      if (c == '"') return out;
      if (c != '\\') {
        out += c;
        continue;
      }
      char letter = Peek();
      ++at_;
      const Escape* escape = std::find_if(
          std::begin(kEscapes), std::end(kEscapes),
          [letter](const Escape& e) { return e.letter == letter; });
      if (escape != std::end(kEscapes)) {
        out += escape->byte;
      } else if (letter == 'x') {
        if (at_ + 2 > line_.size()) Error("bad \\x escape");
        out += static_cast<char>(std::stoi(line_.substr(at_, 2), nullptr, 16));
        at_ += 2;
      } else {
        Error("unknown escape");
      }
    }
  }

  const std::string& line_;
  size_t at_ = 0;
};

}  // namespace

std::vector<Call> ParseCaseFile(const std::string& text,
                                std::vector<std::string>& errors) {
  std::vector<Call> calls;
  std::istringstream lines(text);
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    try {
      Call call = LineParser(line).Parse();
      call.line = number;
      call.source = line.substr(first);
      calls.push_back(std::move(call));
    } catch (const std::exception& e) {
      errors.push_back("line " + std::to_string(number) + ": " + e.what());
    }
  }
  return calls;
}

}  // namespace emulator
