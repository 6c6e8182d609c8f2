// The values a BASIC program computes with: strings and 32-bit integers
// (a truth value is the integer 1 or 0).
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "emulator/basic/basic_error.h"

namespace emulator::basic {

struct BasicValue {
  bool is_string = false;
  std::string text;
  int32_t number = 0;
};

inline BasicValue Text(std::string text) {
  BasicValue v;
  v.is_string = true;
  v.text = std::move(text);
  return v;
}

inline BasicValue Number(int32_t n) {
  BasicValue v;
  v.number = n;
  return v;
}

inline BasicValue Truth(bool holds) { return Number(holds ? 1 : 0); }

// Integer arithmetic wraps at 32 bits, as the runtime's does.
inline int32_t Wrap(int64_t n) {
  return static_cast<int32_t>(static_cast<uint32_t>(n));
}

// Variables named with a trailing "$" hold strings.
inline bool IsStringName(const std::string& name) { return name.back() == '$'; }

// The value itself when it is of the kind needed; a BasicError otherwise.
inline const BasicValue& Integer(const BasicValue& v) {
  if (v.is_string) throw BasicError("an integer is needed here, not a string");
  return v;
}
inline const BasicValue& String(const BasicValue& v) {
  if (!v.is_string) throw BasicError("a string is needed here, not an integer");
  return v;
}

}  // namespace emulator::basic
