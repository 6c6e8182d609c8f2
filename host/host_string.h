// The host string exchange: the one place where a command's result becomes a
// host allocation, where an old result goes back to the host and where a
// run-time error is stored.
#pragma once

#include <cstdint>
#include <string_view>

#include "host/core_interface.h"
#include "scan/byte_scan.h"

namespace vellum {

// Run-time error numbers the host reports to the BASIC program.
inline constexpr int32_t kErrorPositionTooLow = 110;  // below its lowest value
inline constexpr int32_t kErrorNegativeSize = 112;    // a size below 0

// A constant empty string, read in place of a null argument.
extern const char* const EmptyString;

// The bytes of a string argument up to its NUL; empty for null.
inline std::string_view ArgView(const char* text) {
  return text ? std::string_view(text, StringLength(text)) : std::string_view();
}

// Asks the host for a string of `size` bytes, the NUL included; the caller
// writes all of them. Every result size goes through here, computed in 64
// bits from 32-bit lengths so that the sum cannot wrap. Null, with nothing
// asked of the host, when the size is not a positive signed 32-bit count;
// null too when the host leaves the handle word at 0 or cannot be bound.
HostString AllocHostString(int64_t size);

// A host copy of `text` with a NUL after it; an empty `text` gives an
// allocated one-byte string. Null only when the allocation fails.
HostString MakeHostCopy(std::string_view text);

// Gives a host string back to the host; nothing happens for null.
void ReleaseHostString(HostString string);

// Stores a run-time error number into the host's error word.
void RaiseHostError(int32_t number);

// The last step of every string command: the old result goes back to the
// host only now, after the new result is complete, and `result` (possibly
// null) is returned.
inline HostString Finish(HostString old_result, HostString result) {
  // Tested here, as most calls pass no old result, to save them a call.
  if (old_result != nullptr) ReleaseHostString(old_result);
  return result;
}

// A failed argument check of a string command: stores `error`, gives the old
// result back and returns null.
inline HostString Fail(HostString old_result, int32_t error) {
  RaiseHostError(error);
  return Finish(old_result, nullptr);
}

// A failed argument check of an integer command: stores `error` and
// returns 0.
inline int32_t FailInteger(int32_t error) {
  RaiseHostError(error);
  return 0;
}

}  // namespace vellum
