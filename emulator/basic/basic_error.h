// Why a BASIC program cannot go on, and the source line it stopped at (0
// when no line is known yet; the interpreter adds it).
#pragma once

#include <stdexcept>
#include <string>

namespace emulator::basic {

class BasicError : public std::runtime_error {
 public:
  explicit BasicError(const std::string& what, int line = 0)
      : std::runtime_error(what), line_(line) {}
  int line() const { return line_; }

 private:
  int line_;
};

}  // namespace emulator::basic
